// The five windows as the user meets them: made by Editor on a fresh demo game, driven by real mouse and key
// events at the windows' places, with the boxes and sounds recorded and the files read back, and as a screen
// reader and the keyboard alone meet them.
#include "levels/LevelWorkflow.h"
#include "modfiles/ModFiles.h"
#include "modfiles/ModSettings.h"
#include "modfiles/SliderMath.h"
#include "movies/IntroSwitch.h"
#include "startup/StartUp.h"
#include "tests/support/WindowTestSupport.h"
#include "tests/support/ZipTestSupport.h"
#include "tools/demogame/DemoGame.h"
#include "widgets/BotNameInput.h"
#include "widgets/BotSlider.h"
#include "widgets/CheckPicture.h"
#include "widgets/ImageButton.h"
#include "widgets/TextStyle.h"
#include "windows/EditorContext.h"
#include "windows/FormEdit.h"
#include "windows/FormLevel.h"
#include "windows/FormMain.h"
#include "windows/FormSave.h"
#include "windows/FormSelect.h"

#include <QAbstractSlider>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <functional>
#include <memory>

using namespace TestSupport;

namespace {

// The places a user clicks, in window pixels.
const QPoint EditAccept{149, 65}, EditCancel{53, 65}, EditUp{184, 36}, EditDown{184, 45};
const QPoint SaveSave{149, 161}, SaveCancel{53, 161}, SaveIntro{184, 136};
const QPoint SaveFF{184, 40}, SaveScore{184, 64}, SaveBSMB{184, 88}, SaveNames{184, 112};
const QPoint LevelSave{149, 273}, LevelCancel{53, 273}, LevelColdBreath{184, 72};
// The arrows of the level window's bar whose row starts at this height.
const auto LevelUp = [](int top) { return QPoint(184, top + 4); };
const auto LevelDown = [](int top) { return QPoint(184, top + 13); };
// The upper arrow of a main window bar, in the bar's pixels.
const QPoint UpperArrow(8, 4);

void Click(QWidget* widget, QPoint at = {}, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(widget, button, Qt::NoModifier, at.isNull() ? widget->rect().center() : at);
}

// Rewrites a file of a mod, replacing a piece that must be there.
void Rewrite(const QString& path, const QByteArray& from, const QByteArray& to)
{
    const QByteArray bytes = readBytes(path);
    QVERIFY2(bytes.contains(from), from.constData());
    writeBytes(path, QByteArray(bytes).replace(from, to));
}

QMap<ModFile, QByteArray> ModBytes(const ModSettings& mod)
{
    QMap<ModFile, QByteArray> bytes;
    for (ModFile file : ModFiles::AllModFiles)
        bytes.insert(file, readBytes(mod.filePath(file)));
    return bytes;
}

int CurrentCursor()
{
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor ? int(cursor->shape()) : -1;
}

QString SpokenName(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

// Notes the cursor whenever the busy panel is shown, which happens while an archive is being extracted.
class ShowWatcher final : public QObject
{
public:
    QList<int> cursors;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            cursors.append(CurrentCursor());
        return false;
    }
};

// A row's own steps, run by a body of one shape for every row.
using Step = std::function<void()>;
using Open = std::function<QWidget*()>;

} // namespace

Q_DECLARE_METATYPE(Step)
Q_DECLARE_METATYPE(Open)

// Every test starts on the main window with the demo game's complete mod loaded, as after the mod selection.
class TestWindows final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DemoEditor> m_e;

    FormSelect* select() const { return m_e->windows.select; }
    FormMain* main() const { return m_e->windows.main; }
    FormEdit* edit() const { return m_e->windows.edit; }
    FormSave* save() const { return m_e->windows.save; }
    FormLevel* level() const { return m_e->windows.level; }
    ModSettings& mod() const { return m_e->context.mod; }
    RecordingPrompter& prompter() const { return m_e->prompter; }
    QList<ClickSound>& sounds() const { return m_e->sounds.played; }
    void expectShown(QWidget* window) const { QCOMPARE(visibleOnly(m_e->editor), window); }
    QString modFile(const char* name) const { return mod().modFolder() + QLatin1Char('/') + QLatin1String(name); }

    // The main window.
    template <typename T = QWidget> T* find(const char* name) const { return control<T>(main(), name); }
    QString text(const char* label) const { return caption(main(), label); }
    // A value label and its shadow twin both show this.
    void expectValue(const char* label, const QString& value) const
    {
        QCOMPARE(text(label), value);
        QCOMPARE(caption(main(), QByteArray(label).append('2').constData()), value);
    }

    // The edit window.
    QLineEdit* nameBox() const { return control<QLineEdit>(edit(), "TextBotName"); }
    void setName(const QString& name) const
    {
        QTest::keyClick(nameBox(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(nameBox(), Qt::Key_Delete);
        QTest::keyClicks(nameBox(), name);
        QCOMPARE(nameBox()->text(), name);
    }

    // The save window, reached by the main window's Save button.
    CheckPicture* check(const char* name) const { return control<CheckPicture>(save(), name); }
    void openSave() const
    {
        Click(find("PictureSave"));
        QCOMPARE(visibleOnly(m_e->editor), save());
        sounds().clear();
    }
    QList<bool> flags() const
    {
        return {mod().saveFlag(ModFile::ServerSettings), mod().saveFlag(ModFile::Scoring),
                mod().saveFlag(ModFile::AIDefault), mod().saveFlag(ModFile::BotNames)};
    }
    QList<bool> checks() const
    {
        return {check("PictureFF")->isOn(), check("PictureScore")->isOn(), check("PictureBSMB")->isOn(),
                check("PictureBotNames")->isOn()};
    }

    // The level window.
    QString archive(int index) const
    {
        return mod().modFolder() + QStringLiteral("/Levels/") +
               QString::fromLatin1(Levels::LevelTable.at(index).folderName) + QStringLiteral("/server.ZIP");
    }
    QByteArray savedInitCon(int index) const { return memberData(readZip(archive(index)), "Init.CON"); }
    FormLevel* openLevel(int index) const
    {
        prompter().questionAnswers = {true};
        level()->editLevel(index, QString::fromLatin1(Levels::LevelTable.at(index).displayName), main()->busyPanel());
        return level();
    }
    QString levelValue(const char* name) const
    {
        return caption(level(), QByteArray("Label").append(name).constData());
    }
    QScrollBar* levelBar(const char* name) const
    {
        return control<QScrollBar>(level(), QByteArray("VScroll").append(name).constData());
    }
    CheckPicture* coldBreath() const { return control<CheckPicture>(level(), "PictureColdBreath"); }

    // The mod selection of a fresh demo game, before any mod is chosen.
    QListWidget* modList() const { return control<QListWidget>(select(), "ListMods"); }
    void freshSelection()
    {
        m_e = std::make_unique<DemoEditor>();
        const QString modsFolder = m_e->game.path + QStringLiteral("mods/");
        select()->setMods(modsFolder, StartUp::ListMods(modsFolder));
        m_e->context.showOnly(select());
        QVERIFY(QTest::qWaitForWindowExposed(select()));
    }

private slots:
    void initTestCase() { TextStyle::install(); }
    void init()
    {
        m_e = std::make_unique<DemoEditor>();
        m_e->load(DemoGame::CompleteMod);
        m_e->context.showOnly(main());
        QVERIFY(QTest::qWaitForWindowExposed(main()));
        sounds().clear();
    }
    void cleanup()
    {
        m_e.reset();
        QCOMPARE(QApplication::overrideCursor(), nullptr); // the busy cursor never outlives an open or a save
    }

    // Every control of the forms is where the form puts it and is what a click at its centre reaches. And no control
    // a user can act on, or whose value the user reads, is left without a name, speaks its caption's colon, or is
    // out of Tab's reach.
    void layout_data()
    {
        QTest::addColumn<Open>("open");
        QTest::addColumn<QString>("hidden");
        QTest::newRow("FormSelect") << Open([this] {
            m_e->context.showOnly(select());
            return select();
        }) << QString();
        // The main window's plates and grooves only mark where the background painting puts them.
        QTest::newRow("FormMain") << Open([this] { return main(); })
                                  << QStringLiteral("PictureWarning LabelLoading PlateSettings PlateScores PlateLevel "
                                                    "PlateBots GrooveBotSkill GrooveMaxBots");
        // Switched from the other mode, which must leave nothing of its own showing.
        QTest::newRow("FormEdit-name") << Open([this] {
            edit()->BeginScoreEdit(0);
            edit()->BeginBotNameEdit(0);
            return edit();
        }) << QStringLiteral("LabelLScore LabelScore VScrollNum");
        QTest::newRow("FormEdit-score") << Open([this] {
            edit()->BeginBotNameEdit(0);
            edit()->BeginScoreEdit(0);
            return edit();
        }) << QStringLiteral("TextBotName");
        QTest::newRow("FormSave") << Open([this] {
            openSave();
            return save();
        }) << QString();
        QTest::newRow("FormLevel") << Open([this] { return openLevel(8); }) << QString();
    }
    void layout()
    {
        QFETCH(Open, open);
        QFETCH(QString, hidden);
        QWidget* window = open();
        expectShown(window);
        QStringList wrong =
            misplacedControls(window, hidden.split(QLatin1Char(' ')),
                              {QStringLiteral("PictureSliderBoxBS"), QStringLiteral("PictureSliderBoxMB")});
        if (SpokenName(window).isEmpty())
            wrong.append(window->objectName() + QStringLiteral(" nameless"));
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            const QString id = widget->objectName();
            // The parts Qt makes inside a list or a drop-down (scroll bars, viewport) speak for it.
            if (id.isEmpty() || id.startsWith(QLatin1String("qt_")))
                continue;
            const bool control = qobject_cast<ImageButton*>(widget) || qobject_cast<CheckPicture*>(widget) ||
                                 qobject_cast<QAbstractSlider*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                                 qobject_cast<QComboBox*>(widget) || qobject_cast<QListWidget*>(widget) ||
                                 qobject_cast<BotSlider*>(widget);
            // A value label is one with a caption of its own: LabelSFD beside LabelLSFD.
            const bool valueLabel = qobject_cast<QLabel*>(widget) && id.startsWith(QLatin1String("Label")) &&
                                    !id.startsWith(QLatin1String("LabelL")) &&
                                    window->findChild<QLabel*>(QStringLiteral("LabelL") + id.mid(5));
            // A label speaks its own text, so a value label is named only by an accessible name of its own.
            const QString spoken = valueLabel ? widget->accessibleName() : SpokenName(widget);
            if ((control || valueLabel) && (spoken.isEmpty() || spoken.endsWith(QLatin1Char(':'))))
                wrong.append(id + QStringLiteral(" nameless"));
            if (control && !(widget->focusPolicy() & Qt::TabFocus))
                wrong.append(id + QStringLiteral(" out of Tab's reach"));
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral(", "))));
        QCOMPARE(QColor(window->grab().toImage().pixel(0, 0)), QColor(Qt::white)); // the frame line
    }

    // The score edit window's value is named after the score being edited (its bar by its buddy caption, which is
    // Qt's); pictures act through the tool.
    void namesAndActionsFollowTheState()
    {
        auto* scoreName = control<QLabel>(edit(), "LabelLScore");
        auto* value = control<QWidget>(edit(), "LabelScore");
        edit()->BeginScoreEdit(5);
        QCOMPARE(SpokenName(value), scoreName->text());
        QTest::keyClick(control<QWidget>(edit(), "PictureCancel"), Qt::Key_Space);

        // Assistive tools see push buttons and check boxes, and pressing them through the tool acts as a click.
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(find("PictureSave"));
        QVERIFY(button && button->actionInterface());
        QCOMPARE(button->role(), QAccessible::Button);
        sounds().clear();
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(sounds(), QList<ClickSound>{ClickSound::Button});
        expectShown(save());

        // A check picture speaks its buddy caption, with the doubled "&" read as one.
        QCOMPARE(SpokenName(check("PictureBSMB")), QStringLiteral("Bot Skill & Max Bots"));
        QAccessibleInterface* box = QAccessible::queryAccessibleInterface(check("PictureFF"));
        QVERIFY(box && box->actionInterface());
        QCOMPARE(box->role(), QAccessible::CheckBox);
        QVERIFY(box->state().checkable && box->state().checked);
        sounds().clear();
        box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(!box->state().checked && !check("PictureFF")->isOn() && !mod().saveFlag(ModFile::ServerSettings));
        QCOMPARE(sounds(), QList<ClickSound>{ClickSound::ListOrCheck});
    }

    // The slider steps from the knob's drawn place, with its sound, and stops at the track's ends.
    void slidersByKeyboard()
    {
        auto* bots = find<BotSlider>("PictureSliderBGMB");
        // Max bots was loaded between pixels (32 bots); a step lands on the next whole pixel.
        QTest::keyClick(bots, Qt::Key_Right);
        QCOMPARE(bots->knobLeft(), 20.0f);
        QCOMPARE(mod().value(ModFiles::maxBotsValue()), SliderMath::value(SliderMath::Slider::MaxBots, 20.0f));
        QTest::keyClick(bots, Qt::Key_End);
        QCOMPARE(text("LabelMaxBots"), QStringLiteral("256"));
        QTest::keyClick(bots, Qt::Key_PageUp);
        QCOMPARE(bots->knobLeft(), SliderMath::RightEnd);
        QTest::keyClick(bots, Qt::Key_Home);
        QTest::keyClick(bots, Qt::Key_Left);
        QCOMPARE(mod().value(ModFiles::maxBotsValue()), 1);
        QCOMPARE(sounds(), QList<ClickSound>(5, ClickSound::BarOrSlider));
    }

    // A group of settings the mod does not hold: its controls are off and take no clicks. The complete mod loaded
    // after it shows its files.
    void missingSectionsDisableTheirControls()
    {
        m_e->load(DemoGame::NamesOnlyMod);
        sounds().clear();
        QVERIFY(find("ListBotNames")->isEnabled());
        expectValue("LabelBotNames", QString::number(mod().BotNames().size()));
        for (const char* name : {"VScrollSFD", "VScrollVFD", "VScrollSSD", "VScrollVSD", "PictureSliderBGBS",
                                 "PictureSliderBGMB", "ListScores"})
            QVERIFY2(!find(name)->isEnabled(), name);
        QVERIFY(rows(find("ListScores")).isEmpty());
        for (const char* label : {"LabelSFD", "LabelVSD", "LabelBotSkill", "LabelMaxBots2"})
            QCOMPARE(text(label), QStringLiteral("0"));

        // The load itself refreshes the save checks, without the window being shown.
        for (const char* name : {"PictureFF", "PictureScore", "PictureBSMB"})
            QVERIFY2(!check(name)->isOn() && !check(name)->isEnabled(), name);
        QVERIFY(check("PictureBotNames")->isOn() && check("PictureBotNames")->isEnabled());
        openSave();
        for (const QPoint& place : {SaveFF, SaveScore, SaveBSMB})
            clickAt(save(), place);
        QVERIFY(sounds().isEmpty());
        QCOMPARE(flags(), (QList<bool>{false, false, false, true}));

        // From a mod that sets every bar to 0, so that each bar that moves plays its change sound.
        m_e->load(DemoGame::CompleteMod);
        QCOMPARE(sounds(), QList<ClickSound>(4, ClickSound::BarOrSlider));
        QCOMPARE(find<BotSlider>("PictureSliderBGBS")->knobLeft(), 50.0f / SliderMath::BotSkillScale);
    }

    void keysNotFoundDisableTheirControls()
    {
        const QString server = modFile("Settings/ServerSettings.CON");
        Rewrite(server, "sv.vehicleFriendlyFire", "sv.vehicleFriendlyFireX");
        Rewrite(server, "sv.soldierSplashFriendlyFire 75", "sv.soldierSplashFriendlyFire none");
        Rewrite(modFile("AI/AIDefault.AI"), "setMaxNBots", "setMaxNBotz");
        m_e->load(DemoGame::CompleteMod);
        // "-", as the level window shows a value it did not find, and the tip says where it was looked for.
        QVERIFY(!find("VScrollVFD")->isEnabled());
        expectValue("LabelVFD", QStringLiteral("-"));
        QCOMPARE(find("LabelVFD")->toolTip(), QStringLiteral("Not found from character 450 on"));
        QVERIFY(!find("VScrollSSD")->isEnabled());
        expectValue("LabelSSD", QStringLiteral("-"));
        const qsizetype at = readBytes(server).toLower().indexOf("sv.soldiersplashfriendlyfire ", 449);
        QCOMPARE(find("LabelSSD")->toolTip(), QStringLiteral("No number after the key at character %1").arg(at + 1));
        QVERIFY(find("VScrollSFD")->isEnabled());
        QVERIFY(find("LabelSFD")->toolTip().isEmpty());
        QVERIFY(!find("PictureSliderBGMB")->isEnabled());
        expectValue("LabelMaxBots", QStringLiteral("-"));
        QCOMPARE(find("LabelMaxBots")->toolTip(), QStringLiteral("Not found from character 20 on"));
        QVERIFY(find("PictureSliderBGBS")->isEnabled());

        // The reset of a row the file does not hold writes nothing into the model.
        doubleClick(find("LabelVFD"));
        QVERIFY(!mod().value(ModFiles::friendlyFireValue(FriendlyFire::VehicleFF)));
    }

    // A value beyond what its bar or slider reaches, or a key the file lacks, is shown as it is and, untouched,
    // written back as it was read by a save through the window. look shows the value where the user sees it.
    void outOfRangeValuesSurvive_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<Step>("look");
        const auto onMain = [this](const char* label, const char* shown) {
            return Step([this, label, shown] { expectValue(label, QString::fromLatin1(shown)); });
        };
        const auto onEdit = [this](int score, const char* shown) {
            return Step([this, score, shown] {
                edit()->BeginScoreEdit(score);
                QCOMPARE(caption(edit(), "LabelScore"), QString::fromLatin1(shown));
                clickAt(edit(), EditAccept);
            });
        };
        const auto row = [](const char* name, const char* from, const char* to, const Step& look) {
            QTest::newRow(name) << QByteArray(from) << QByteArray(to) << look;
        };
        row("friendly fire above 100", "soldierFriendlyFire 100", "soldierFriendlyFire 150", onMain("LabelSFD", "150"));
        row("max bots above 256", "setMaxNBots 32", "setMaxNBots 999", onMain("LabelMaxBots", "999"));
        row("bot skill left of the track", "setBotSkill 0.5", "setBotSkill 0", onMain("LabelBotSkill", "0"));
        row("score below -200", "SCORE_TEAMKILL = -4", "SCORE_TEAMKILL = -1000", onEdit(1, "-1000"));
    }
    void outOfRangeValuesSurvive()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(Step, look);
        QString path;
        for (ModFile file : ModFiles::AllModFiles) {
            if (readBytes(mod().filePath(file)).contains(from))
                path = mod().filePath(file);
        }
        const QByteArray bytes = readBytes(path).replace(from, to);
        writeBytes(path, bytes);
        m_e->load(DemoGame::CompleteMod);
        look();
        openSave();
        prompter().questionAnswers = {true};
        clickAt(save(), SaveSave);
        QCOMPARE(prompter().texts().last(), QStringLiteral("Data saved."));
        QCOMPARE(readBytes(path), bytes);
    }

    // The same in the level window, on level 2, which saves by itself; a value not found has no control to move.
    void outOfRangeLevelValuesSurvive_data()
    {
        QTest::addColumn<QString>("from"); // a pattern
        QTest::addColumn<QString>("to");
        QTest::addColumn<Step>("look");
        const auto shows = [this](const char* label, const char* shown) {
            return Step([this, label, shown] { QCOMPARE(levelValue(label), QString::fromLatin1(shown)); });
        };
        const auto row = [](const char* name, const char* from, const char* to, const Step& look) {
            QTest::newRow(name) << QString::fromLatin1(from) << QString::fromLatin1(to) << look;
        };
        row("view distance above 999", "(?<=ViewDistance )\\d+", "1500", shows("MaxView", "1500"));
        // The bars take their ranges from the value table; the tip tells the range a value is outside of.
        row("tickets at 0", "(?<=TicketsEx 16 1 )\\d+", "0", Step([this] {
                QCOMPARE(levelValue("PT16"), QStringLiteral("0"));
                QCOMPARE(control<QLabel>(level(), "LabelPT16")->toolTip(),
                         QStringLiteral("Outside 1 to 999; kept unless you change it."));
            }));
        row("tickets with a leading 0", "(?<=TicketsEx 16 2 )\\d+", "050", shows("ET16", "50"));
        row("ticket loss not found", "setTicketLossPerMin 2", "rem setTicketLossPerMin 2", Step([this] {
                QCOMPARE(levelValue("ELPM"), QStringLiteral("-"));
                QVERIFY(!levelBar("ELPM")->isEnabled());
                clickAt(level(), LevelDown(240));
            }));
        // The check is off and takes no clicks; the save adds no line.
        row("cold breath not found", "gameLogic.useColdBreath \\d\r\n", "", Step([this] {
                QVERIFY(!coldBreath()->isOn() && !coldBreath()->isEnabled());
                clickAt(level(), LevelColdBreath);
            }));
    }
    void outOfRangeLevelValuesSurvive()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(Step, look);
        const QByteArray init =
            QString::fromLatin1(DemoGame::initCon(2)).replace(QRegularExpression(from), to).toLatin1();
        QVERIFY(init != DemoGame::initCon(2));
        QVERIFY(DemoGame::writeZip(archive(2), {{QStringLiteral("Init.CON"), init}}).isEmpty());
        openLevel(2);
        look();
        clickAt(level(), LevelSave);
        QCOMPARE(savedInitCon(2), init);
    }

    // The first move of such a value takes it into the range, and the file then gets the new value whole.
    void outOfRangeValuesMoveIntoTheRange()
    {
        Rewrite(modFile("Settings/ServerSettings.CON"), "sv.soldierFriendlyFire 100", "sv.soldierFriendlyFire 150");
        Rewrite(mod().filePath(ModFile::Scoring), "SCORE_KILL = 1\r", "SCORE_KILL = 500\r");
        m_e->load(DemoGame::CompleteMod);
        Click(find("VScrollSFD"), UpperArrow);
        QCOMPARE(text("LabelSFD"), QStringLiteral("99"));

        // The score's bar reaches it only for its own edit.
        edit()->BeginScoreEdit(0);
        clickAt(edit(), EditUp);
        QCOMPARE(caption(edit(), "LabelScore"), QStringLiteral("499"));
        clickAt(edit(), EditAccept);
        edit()->BeginScoreEdit(2);
        QCOMPARE(control<QScrollBar>(edit(), "VScrollNum")->maximum(), 200);
        clickAt(edit(), EditCancel);

        const QByteArray init = DemoGame::initCon(2).replace("ViewDistance 650", "ViewDistance 1500");
        QVERIFY(DemoGame::writeZip(archive(2), {{QStringLiteral("Init.CON"), init}}).isEmpty());
        openLevel(2);
        clickAt(level(), LevelUp(40));
        QCOMPARE(levelValue("MaxView"), QStringLiteral("998"));
        clickAt(level(), LevelSave);
        QCOMPARE(savedInitCon(2), QByteArray(init).replace("ViewDistance 1500", "ViewDistance 998"));
    }

    void botNamesDelete()
    {
        auto* list = find<QListWidget>("ListBotNames");
        mod().setBotNames({QStringLiteral("Alpha"), QStringLiteral("Bravo"), QStringLiteral("Charlie")});

        QTest::keyClick(list, Qt::Key_Delete);
        QVERIFY(prompter().boxes.isEmpty());

        // Delete asks, and No keeps the name; other keys ask nothing.
        const QPoint second = list->visualItemRect(list->item(1)).center();
        Click(list->viewport(), second);
        QTest::keyClick(list, Qt::Key_Delete);
        QTest::keyClick(list, Qt::Key_Backspace);
        QCOMPARE(prompter().texts(), QStringList{QStringLiteral("Delete this bot name?")});
        QCOMPARE(prompter().kinds(), QStringList{QStringLiteral("question")});
        QCOMPARE(rows(list).size(), 3);

        prompter().questionAnswers = {true};
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(rows(list), QStringList({QStringLiteral("Alpha"), QStringLiteral("Charlie")}));
        expectValue("LabelBotNames", QStringLiteral("2"));
        QVERIFY(list->selectedItems().isEmpty());
        QVERIFY(sounds().isEmpty());

        // The row that moved up is the one a double-click now edits.
        doubleClick(list->viewport(), second);
        QCOMPARE(sounds(), QList<ClickSound>{ClickSound::ListOrCheck});
        expectShown(edit());
        QCOMPARE(edit()->EditIndex(), 1);
        QCOMPARE(nameBox()->text(), QStringLiteral("Charlie"));
    }

    void botNamesAdd()
    {
        auto* add = find("PictureAdd");
        auto* box = find<QLineEdit>("TextNewBot");
        Click(add);
        QCOMPARE(prompter().kinds(), QStringList{QStringLiteral("warning")});
        QCOMPARE(prompter().texts(), QStringList{QStringLiteral("No name entered.")});
        QCOMPARE(sounds(), QList<ClickSound>{ClickSound::Button});

        // A blank is a name; a name stays in the box and can be added twice.
        QTest::keyClicks(box, QStringLiteral(" "));
        Click(add);
        box->clear();
        QTest::keyClicks(box, QStringLiteral("Nova"));
        Click(add);
        Click(add);
        QCOMPARE(box->text(), QStringLiteral("Nova"));
        QCOMPARE(rows(find("ListBotNames")).mid(6),
                 QStringList({QStringLiteral(" "), QStringLiteral("Nova"), QStringLiteral("Nova")}));
        QCOMPARE(mod().BotNames(), rows(find("ListBotNames")));
        expectValue("LabelBotNames", QStringLiteral("9"));
        QCOMPARE(prompter().boxes.size(), 1);
        // The box takes only what the 8-bit file can hold, as the edit window's does.
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QStringLiteral("\u0141"), Qt::NoModifier);
        QCOMPARE(box->text(), QStringLiteral("Nova"));
    }

    // A press on the track or a drag of the knob (the end-to-end test does both) moves nothing with another button
    // or outside the track's active part, and a drag ends with the left button's release.
    void slidersSetTheirValues()
    {
        auto* slider = find<BotSlider>("PictureSliderBGBS");
        QWidget* knob = find("PictureSliderBoxBS");
        Click(slider, QPoint(100, 9));
        Click(slider, QPoint(1, 9));
        Click(slider, QPoint(150, 9), Qt::RightButton);
        QTest::mousePress(knob, Qt::RightButton, {}, QPoint(5, 7));
        moveHeld(knob, QPoint(60, 7), Qt::RightButton);
        QTest::mouseRelease(knob, Qt::RightButton, {}, QPoint(60, 7));
        QCOMPARE(knob->x(), 89);

        // Grab the knob 11 pixels from its left edge (track pixel 100): one sound for the whole drag.
        sounds().clear();
        auto onTrack = [&](int x) { return knob->mapFrom(slider, QPoint(x, 9)); };
        QTest::mousePress(knob, Qt::LeftButton, {}, onTrack(100));
        moveHeld(knob, onTrack(105));
        moveHeld(knob, onTrack(130), Qt::LeftButton | Qt::RightButton);
        QCOMPARE(knob->x(), 94);
        expectValue("LabelBotSkill", QString::number(SliderMath::value(SliderMath::Slider::BotSkill, 94.0f)));
        QTest::mouseRelease(knob, Qt::LeftButton, {}, onTrack(105));
        moveHeld(knob, onTrack(50));
        QCOMPARE(knob->x(), 94);
        QCOMPARE(sounds(), QList<ClickSound>{ClickSound::BarOrSlider});
    }

    void mainWindowButtons()
    {
        // No to the exit, asked here by a close through the window system, keeps the window (the Exit button asks
        // the same in theProgramEnds).
        QVERIFY(!main()->close());
        QCOMPARE(prompter().texts(), QStringList{QStringLiteral("Do you want to exit?")});

        prompter().clear();
        find<QComboBox>("ComboLevels")->setCurrentIndex(-1);
        Click(find("PictureEdit"));
        QCOMPARE(prompter().kinds(), QStringList{QStringLiteral("warning")});
        QCOMPARE(prompter().texts(), QStringList{QStringLiteral("No level selected.")});

        // The frameless main window moves by its background with the left button, not by a label or the right.
        const QPoint before = main()->pos();
        const auto drag = [](QWidget* on, Qt::MouseButton button, QPoint from) {
            QTest::mousePress(on, button, {}, from);
            QTest::mouseMove(on, from + QPoint(10, 5));
            QTest::mouseRelease(on, button, {}, from + QPoint(10, 5));
        };
        drag(main(), Qt::LeftButton, QPoint(200, 40));
        drag(find("LabelLSFD"), Qt::LeftButton, QPoint(5, 5));
        drag(main(), Qt::RightButton, QPoint(200, 40));
        QCOMPARE(main()->pos(), before + QPoint(10, 5));

        Click(find("PictureMini"));
        QVERIFY(main()->isMinimized());
    }

    // Yes to the exit, or closing the selection, ends the program's event loop, which runs here (exit code 7 when
    // it does not end), so that nothing of it outlives the test.
    void theProgramEnds_data()
    {
        QTest::addColumn<bool>("fromSelection");
        QTest::newRow("exit, Yes") << false;
        QTest::newRow("selection closed") << true;
    }
    void theProgramEnds()
    {
        QFETCH(bool, fromSelection);
        if (fromSelection)
            freshSelection();
        prompter().questionAnswers = {true};
        QTimer::singleShot(0, main(), [&] { fromSelection ? void(select()->close()) : Click(find("PictureExit")); });
        QTimer::singleShot(10000, main(), [] { QCoreApplication::exit(7); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(prompter().texts(),
                 fromSelection ? QStringList() : QStringList{QStringLiteral("Do you want to exit?")});
    }

    // Cancel, a close by the window system, Escape, No, and a save of nothing write nothing and change nothing the
    // user had. open changes something in a window and gives it; leave is the way out of it, which stays
    // on it only for No.
    void cancelWritesNothing_data()
    {
        QTest::addColumn<Step>("open");
        QTest::addColumn<Step>("leave");
        QTest::addColumn<bool>("stays");
        const Step name = [this] {
            edit()->BeginBotNameEdit(2);
            setName(QStringLiteral("Someone Else"));
        };
        const Step score = [this] {
            edit()->BeginScoreEdit(3);
            clickAt(edit(), EditDown);
            QCOMPARE(caption(edit(), "LabelScore"), QString::number(mod().ScoreValues().at(3) + 1));
        };
        const Step levelWindow = [this] {
            clickAt(openLevel(0), LevelDown(40));
            clickAt(level(), LevelColdBreath);
        };
        const Step saveWindow = [this] {
            mod().setValue(ModFiles::friendlyFireValue(FriendlyFire::SoldierFF), 10);
            openSave();
        };
        const auto cancelAt = [this](QPoint button) {
            return Step([this, button] {
                clickAt(visibleOnly(m_e->editor), button);
                QCOMPARE(sounds(), QList<ClickSound>{ClickSound::Button});
            });
        };
        const Step close = [this] { visibleOnly(m_e->editor)->close(); };
        const Step escape = [this] { QTest::keyClick(nameBox(), Qt::Key_Escape); };
        // No to "Save?", or Yes with every group off: nothing more is said.
        const Step saveAnsweredNo = [this] {
            clickAt(save(), SaveSave);
            QCOMPARE(prompter().texts(), QStringList{QStringLiteral("Save?")});
            prompter().clear();
        };
        const Step saveOfNothing = [this, saveAnsweredNo] {
            for (const QPoint place : {SaveFF, SaveScore, SaveBSMB, SaveNames})
                clickAt(save(), place);
            prompter().questionAnswers = {true};
            saveAnsweredNo();
        };
        QTest::newRow("bot name, close") << name << close << false;
        QTest::newRow("bot name, Escape") << name << escape << false;
        QTest::newRow("score, Cancel") << score << cancelAt(EditCancel) << false;
        QTest::newRow("level, Cancel") << levelWindow << cancelAt(LevelCancel) << false;
        QTest::newRow("level, close") << levelWindow << close << false;
        QTest::newRow("save, Cancel") << saveWindow << cancelAt(SaveCancel) << false;
        QTest::newRow("save, close") << saveWindow << close << false;
        QTest::newRow("save, No") << saveWindow << saveAnsweredNo << true;
        QTest::newRow("save, Yes, nothing chosen") << saveWindow << saveOfNothing << false;
    }
    void cancelWritesNothing()
    {
        QFETCH(Step, open);
        QFETCH(Step, leave);
        QFETCH(bool, stays);
        const QMap<ModFile, QByteArray> files = ModBytes(mod());
        const QByteArray levelBefore = readBytes(archive(0));
        const QStringList model = mod().BotNames() + mod().ScoreLines();
        open();
        QWidget* const shown = visibleOnly(m_e->editor);
        QVERIFY(shown && shown != main());
        sounds().clear();
        prompter().clear();
        leave();
        expectShown(stays ? shown : main());
        QVERIFY(prompter().boxes.isEmpty());
        QCOMPARE(ModBytes(mod()), files);
        QCOMPARE(readBytes(archive(0)), levelBefore);
        QCOMPARE(mod().BotNames() + mod().ScoreLines(), model);
        // Opened again, the level shows the archive's values, not any cancelled ones.
        openLevel(0);
        QCOMPARE(levelValue("MaxView"), QStringLiteral("600"));
        QVERIFY(coldBreath()->isOn());
        clickAt(level(), LevelCancel);
    }

    void editsABotName()
    {
        // An empty name is refused without a box; the window stays up.
        edit()->BeginBotNameEdit(1);
        QCOMPARE(nameBox()->text(), QStringLiteral("Vargo Ash"));
        QCOMPARE(caption(edit(), "LabelLEditing"), QStringLiteral("Editing Bot Name: "));
        setName(QString());
        clickAt(edit(), EditAccept);
        QCOMPARE(sounds(), QList<ClickSound>{ClickSound::Button});
        expectShown(edit());

        // Blanks alone are a name too, kept exactly as typed; the scores stay as they were.
        const QStringList lines = mod().ScoreLines();
        setName(QStringLiteral("   "));
        clickAt(edit(), EditAccept);
        expectShown(main());
        QCOMPARE(rows(find("ListBotNames")).at(1), QStringLiteral("   "));
        QStringList expected = DemoGame::BotNames;
        expected[1] = QStringLiteral("   ");
        QCOMPARE(mod().BotNames(), expected);
        QCOMPARE(mod().ScoreLines(), lines);

        // Return in the box accepts as well.
        edit()->BeginBotNameEdit(5);
        setName(QStringLiteral("Zell the Younger"));
        QTest::keyClick(nameBox(), Qt::Key_Return);
        expectShown(main());
        expected[5] = QStringLiteral("Zell the Younger");
        QCOMPARE(mod().BotNames(), expected);
        QVERIFY(prompter().boxes.isEmpty());
    }

    void nameBoxTakesOneWindows1252Line()
    {
        edit()->BeginBotNameEdit(0);
        setName(QStringLiteral("Caf"));
        QTest::sendKeyEvent(QTest::Click, nameBox(), Qt::Key_unknown, QStringLiteral("\u00e9"), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Click, nameBox(), Qt::Key_unknown, QStringLiteral("\u20ac"), Qt::NoModifier);
        QCOMPARE(nameBox()->text(), QStringLiteral("Caf\u00e9\u20ac"));

        // A character the 8-bit file cannot hold is left out, and the user is told why.
        QToolTip::hideText();
        QTest::sendKeyEvent(QTest::Click, nameBox(), Qt::Key_unknown, QStringLiteral("\u0141"), Qt::NoModifier);
        QCOMPARE(nameBox()->text(), QStringLiteral("Caf\u00e9\u20ac"));
        QCOMPARE(QToolTip::text(), BotNameInput::hint());

        // A pasted text keeps its first line, without the characters the file cannot hold.
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            QSKIP("the paste would overwrite the user's clipboard");
        QGuiApplication::clipboard()->setText(QStringLiteral(" R\u00f6\u0107k\r\nsecond line"));
        QTest::keyClick(nameBox(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(nameBox()->text(), QStringLiteral("Caf\u00e9\u20ac R\u00f6k"));
        QCOMPARE(nameBox()->cursorPosition(), 9);
        QTest::keyClicks(nameBox(), QStringLiteral("!"));
        clickAt(edit(), EditAccept);
        QCOMPARE(mod().BotNames().first(), QStringLiteral("Caf\u00e9\u20ac R\u00f6k!"));
    }

    void editsAScore()
    {
        edit()->BeginScoreEdit(0);
        QCOMPARE(caption(edit(), "LabelLEditing"), QStringLiteral("Editing Score: "));
        QCOMPARE(caption(edit(), "LabelLScore"), QStringLiteral("SCORE_KILL"));
        QCOMPARE(caption(edit(), "LabelScore"), QStringLiteral("1"));

        // The lower arrow raises, the upper arrow lowers; each change plays the bar's sound.
        sounds().clear();
        for (QPoint arrow : {EditDown, EditDown, EditDown, EditUp})
            clickAt(edit(), arrow);
        QCOMPARE(sounds(), QList<ClickSound>(4, ClickSound::BarOrSlider));
        clickAt(edit(), EditAccept);

        // Opening plays the bar's sound only when the shown value changes (rows 3 and 26 both hold 22).
        edit()->BeginScoreEdit(3);
        clickAt(edit(), EditCancel);
        sounds().clear();
        edit()->BeginScoreEdit(26);
        QVERIFY(sounds().isEmpty());
        clickAt(edit(), EditCancel);

        // The arrows stop at the ends, silently past them.
        mod().setScoreValue(4, -199);
        edit()->BeginScoreEdit(4);
        sounds().clear();
        for (int i = 0; i < 3; ++i)
            clickAt(edit(), EditUp);
        QCOMPARE(caption(edit(), "LabelScore"), QStringLiteral("-200"));
        QCOMPARE(sounds(), QList<ClickSound>{ClickSound::BarOrSlider});
    }

    void saveChecksFlipTheirFlags()
    {
        openSave();
        const QPoint places[] = {SaveFF, SaveScore, SaveBSMB, SaveNames};
        for (int i = 0; i < 4; ++i) {
            sounds().clear();
            clickAt(save(), places[i]);
            QCOMPARE(sounds(), QList<ClickSound>{ClickSound::ListOrCheck});
            // Only its own flag changed, in the model and on the screen.
            QList<bool> expected(4, true);
            expected[i] = false;
            QCOMPARE(flags(), expected);
            QCOMPARE(checks(), expected);
            clickAt(save(), places[i]);
            QCOMPARE(flags(), QList<bool>(4, true));
        }

        // Cancel goes home and keeps the chosen flags, shown again as they were.
        clickAt(save(), SaveFF);
        clickAt(save(), SaveBSMB);
        clickAt(save(), SaveCancel);
        m_e->context.showOnly(save());
        QCOMPARE(checks(), (QList<bool>{false, true, false, true}));
        QCOMPARE(flags(), checks());
    }

    // The files are written before any message, with the busy cursor gone by then, and the flags stay as chosen
    // for the next save. (That a group turned off is not written, the end-to-end test checks byte for byte.)
    void savesExactlyTheChosenGroups()
    {
        openSave();
        mod().setBotName(0, QStringLiteral("Changed"));
        clickAt(save(), SaveBSMB);
        prompter().questionAnswers = {true};
        bool cursorDuringBox = true;
        QMap<ModFile, QByteArray> whenTold;
        prompter().onBox = [&](const RecordingPrompter::Box&) {
            cursorDuringBox = QApplication::overrideCursor() != nullptr;
            whenTold = ModBytes(mod());
        };
        clickAt(save(), SaveSave);
        prompter().onBox = nullptr;
        QCOMPARE(prompter().kinds().last(), QStringLiteral("information"));
        QVERIFY(!cursorDuringBox);
        const QMap<ModFile, QByteArray> after = ModBytes(mod());
        QCOMPARE(whenTold, after);
        QVERIFY(after.value(ModFile::BotNames).contains("Changed"));
        QCOMPARE(flags(), (QList<bool>{true, true, false, true}));
    }

    void aFailedSaveIsReported()
    {
        openSave();
        const QString names = mod().filePath(ModFile::BotNames);
        QVERIFY(QFile::setPermissions(names, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        mod().setBotName(0, QStringLiteral("Changed"));
        prompter().questionAnswers = {true};
        clickAt(save(), SaveSave);
        // The report's wording is the save's own test's.
        QCOMPARE(prompter().kinds(), (QStringList{QStringLiteral("question"), QStringLiteral("critical")}));
        QVERIFY(!save()->isVisible());
    }

    void saveSwitchesTheIntroMovies()
    {
        openSave();
        // The check and its tool tips tell the switch's state (whose files, and whose state after a switch that
        // cannot finish, the switch's own test follows).
        const auto expectIntro = [&](bool on) {
            const QString tip = on ? QStringLiteral("Intro is ON") : QStringLiteral("Intro is OFF");
            QCOMPARE(check("PictureIntro")->isOn(), on);
            QCOMPARE(check("PictureIntro")->toolTip(), tip);
            QCOMPARE(control<QLabel>(save(), "LabelLIntro")->toolTip(), tip);
        };
        expectIntro(true);

        // No: the sound has played, and nothing else happens.
        clickAt(save(), SaveIntro);
        QCOMPARE(sounds(), QList<ClickSound>{ClickSound::Button});
        QCOMPARE(prompter().texts(), QStringList{QStringLiteral("Remove Intro?")});
        expectIntro(true);

        prompter().clear();
        prompter().questionAnswers = {true};
        clickAt(save(), SaveIntro);
        expectIntro(false);
        // The switch is not part of the save, and the window stays.
        QVERIFY(save()->isVisible());
        QCOMPARE(flags(), QList<bool>(4, true));
    }

    void levelOpens()
    {
        ShowWatcher watcher;
        main()->busyPanel()->installEventFilter(&watcher);
        const QList<QScrollBar*> bars = level()->findChildren<QScrollBar*>();
        QList<int> previous;
        for (const QScrollBar* bar : bars)
            previous.append(bar->value());
        find<QComboBox>("ComboLevels")->setCurrentIndex(8);
        // Answered No, an open extracts nothing and stays on the main window.
        Click(find("PictureEdit"));
        QCOMPARE(prompter().kinds(), QStringList{QStringLiteral("question")});
        QVERIFY(!QFileInfo::exists(QFileInfo(archive(8)).path() + QStringLiteral("/TEMP")));
        expectShown(main());
        QVERIFY(!main()->busyPanel()->isVisibleTo(main()));

        prompter().clear();
        sounds().clear();
        prompter().questionAnswers = {true};
        Click(find("PictureEdit"));
        QCOMPARE(prompter().texts(), QStringList{QStringLiteral("Opening & changing ANY files will prevent online "
                                                                "play with this mod.\r\nDo you still want to edit "
                                                                "this level?")});
        expectShown(level());
        // The wait cursor is up while the archive is extracted, the busy panel gone after it.
        QCOMPARE(watcher.cursors.value(0), int(Qt::WaitCursor));
        QVERIFY(!main()->busyPanel()->isVisibleTo(main()));
        QCOMPARE(caption(level(), "LabelLevel"), QStringLiteral("Merrow Harbour"));
        QCOMPARE(levelValue("MaxView"), QStringLiteral("800")); // the chosen level's own archive
        QVERIFY(!coldBreath()->isOn());
        // The bar's sound once for every bar whose value the opening changed, and for no other.
        qsizetype changed = 0;
        for (qsizetype i = 0; i < bars.size(); ++i)
            changed += bars.at(i)->value() != previous.at(i);
        QCOMPARE(sounds().mid(1), QList<ClickSound>(changed, ClickSound::BarOrSlider));

        // The cold breath check, off in the file, flips with each click, and the save writes it.
        sounds().clear();
        for (int i = 0; i < 3; ++i)
            clickAt(level(), LevelColdBreath);
        QVERIFY(coldBreath()->isOn());
        QCOMPARE(sounds(), QList<ClickSound>(3, ClickSound::ListOrCheck));
        clickAt(level(), LevelSave);
        expectShown(main());
        QVERIFY(savedInitCon(8).contains("gameLogic.useColdBreath 1\r\n"));
    }

    // An open or a save that fails is reported over the normal pointer (which the level window pushes only over
    // a busy cursor, so seeing it in the box proves the busy cursor was up), and gives the cursor back. A failed
    // save keeps the window and what the user set; a failed open stays on the main window. fail gives the window
    // left showing.
    void levelFailures_data()
    {
        QTest::addColumn<Step>("prepare");
        QTest::addColumn<Open>("fail");
        QTest::newRow("open of a damaged archive") << Step([] {}) << Open([this] {
            openLevel(5);
            return main();
        });
        QTest::newRow("save over a damaged archive") << Step([this] {
            openLevel(5);
            clickAt(level(), LevelDown(88));
        }) << Open([this] {
            clickAt(level(), LevelSave);
            return level();
        });
    }
    void levelFailures()
    {
        QFETCH(Step, prepare);
        QFETCH(Open, fail);
        prepare();
        const QString value = levelValue("PT16");
        writeBytes(archive(5), "damaged meanwhile");
        const QByteArray archiveBefore = readBytes(archive(5));
        prompter().clear();
        int boxCursor = 0;
        prompter().onBox = [&boxCursor](const RecordingPrompter::Box&) { boxCursor = CurrentCursor(); };
        QWidget* const shown = fail();
        prompter().onBox = nullptr;

        QCOMPARE(prompter().kinds().last(), QStringLiteral("critical")); // its wording is the workflow's test's
        QCOMPARE(boxCursor, int(Qt::ArrowCursor));
        expectShown(shown);
        QVERIFY(!main()->busyPanel()->isVisibleTo(main()));
        QCOMPARE(levelValue("PT16"), value);
        QCOMPARE(readBytes(archive(5)), archiveBefore);
    }

    // choose opens the mod once its row is clicked; EDIT before that only clicks.
    void selectionOpensTheMod_data()
    {
        QTest::addColumn<Step>("choose");
        QTest::addColumn<int>("buttonClicks");
        QTest::addColumn<QString>("modName");
        QTest::addColumn<bool>("unreadable");
        const Step doubleClickBelow = [this] {
            QVERIFY(!modList()->itemAt(QPoint(60, 60)));
            doubleClick(modList()->viewport(), QPoint(60, 60));
        };
        const Step editButton = [this] { Click(control<QWidget>(select(), "PictureEdit")); };
        const Step enter = [this] { QTest::keyClick(modList(), Qt::Key_Return); };
        // Anywhere on the list, not only on a row.
        QTest::newRow("double-click below the rows") << doubleClickBelow << 0 << DemoGame::CompleteMod << false;
        // The name is appended as listed, whatever its case.
        QTest::newRow("mixed-case mod, Enter") << enter << 0 << DemoGame::NamesOnlyMod << false;
#ifdef Q_OS_LINUX
        // The load's report comes over the main window, not over no window at all.
        QTest::newRow("unreadable file") << editButton << 1 << DemoGame::CompleteMod << true;
#endif
    }
    void selectionOpensTheMod()
    {
        QFETCH(Step, choose);
        QFETCH(int, buttonClicks);
        QFETCH(QString, modName);
        QFETCH(bool, unreadable);
        freshSelection();
        Click(control<QWidget>(select(), "PictureEdit"));
        QCOMPARE(sounds(), QList<ClickSound>{ClickSound::Button});
        expectShown(select());
        QVERIFY(prompter().boxes.isEmpty());
        sounds().clear();
        if (unreadable) {
            const QString ai = m_e->game.mod(modName) + QStringLiteral("/AI/AIDefault.AI");
            QVERIFY(QFile::remove(ai) && QFile::link(QStringLiteral("/proc/self/mem"), ai));
        }
        // The selection window is gone before the mod is read, and the main window is up for any report.
        QList<QWidget*> shownAtLoad{select()};
        connect(&mod(), &ModSettings::loaded, select(), [&] { shownAtLoad = m_e->editor.visibleWindows(); });
        QList<QWidget*> shownAtBox;
        prompter().onBox = [&](const RecordingPrompter::Box&) { shownAtBox = m_e->editor.visibleWindows(); };
        const QList<QListWidgetItem*> item = modList()->findItems(modName, Qt::MatchExactly);
        QVERIFY(!item.isEmpty());
        Click(modList()->viewport(), modList()->visualItemRect(item.first()).center());
        choose();
        // This window plays only the button click; the main window's bars may click as they take the values.
        QCOMPARE(sounds().count(ClickSound::Button), buttonClicks);
        QCOMPARE(mod().modFolder(), m_e->game.path + QStringLiteral("mods/") + modName);
        expectShown(main());
        QCOMPARE(shownAtLoad, QList<QWidget*>());
        QCOMPARE(prompter().kinds(), unreadable ? QStringList{QStringLiteral("critical")} : QStringList());
        if (unreadable)
            QCOMPARE(shownAtBox, QList<QWidget*>{main()});
        if (modName == DemoGame::CompleteMod) {
            QCOMPARE(mod().BotNames(), DemoGame::BotNames);
            QVERIFY(m_e->context.intro.IntroOn());
        }
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
