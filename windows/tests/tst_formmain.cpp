#include "modfiles/ModFiles.h"
#include "modfiles/ModSettings.h"
#include "modfiles/SliderMath.h"
#include "tests/support/WindowTestSupport.h"
#include "tools/demogame/DemoGame.h"
#include "widgets/BotSlider.h"
#include "windows/EditorContext.h"
#include "windows/FormEdit.h"
#include "windows/FormMain.h"
#include "windows/FormSave.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// Rewrites a file of a mod, replacing a pattern (case-insensitive) by a text.
void Rewrite(const QString& path, const QString& pattern, const QString& replacement)
{
    QString text = QString::fromLatin1(ReadBytes(path));
    const QString before = text;
    text.replace(QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption), replacement);
    QVERIFY2(text != before, qPrintable(pattern));
    WriteBytes(path, text.toLatin1());
}

void Click(QWidget* widget, QPoint at = {}, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(widget, button, Qt::NoModifier, at.isNull() ? widget->rect().center() : at);
}

void PressAndRelease(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(widget, button, {}, at);
    QTest::mouseRelease(widget, button, {}, at);
}

const QPoint UpperArrow(8, 4);
const QPoint LowerArrow(8, 12);

} // namespace

class TestFormMain final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DemoEditor> m_e;

    FormMain* main() const { return m_e->windows.main; }
    template <typename T = QWidget> T* find(const char* name) const { return Control<T>(main(), name); }
    QString text(const char* label) const { return Caption(main(), label); }
    // A value label and its shadow twin both show this.
    void expectValue(const char* label, const QString& value) const
    {
        QCOMPARE(text(label), value);
        QCOMPARE(Caption(main(), QByteArray(label).append('2').constData()), value);
    }
    QString completeMod() const { return m_e->game.mod(DemoGame::CompleteMod); }

private slots:
    void init()
    {
        m_e = std::make_unique<DemoEditor>();
        m_e->context.showOnly(main());
        QVERIFY(QTest::qWaitForWindowExposed(main()));
    }
    void cleanup() { m_e.reset(); }

    void controlsAtTheirPlaces()
    {
        const struct
        {
            const char* name;
            QRect place;
            const char* caption;
        } controls[] = {{"LabelLSettings", {16, 80, 57, 17}, "Settings"},
                        {"LabelLSFD", {16, 104, 145, 17}, "Soldier Friendly Damage:"},
                        {"LabelLVFD", {16, 128, 145, 17}, "Vehicle Friendly Damage:"},
                        {"LabelLSSD", {16, 152, 145, 17}, "Soldier Splash Damage:"},
                        {"LabelLVSD", {16, 176, 145, 17}, "Vehicle Splash Damage:"},
                        {"LabelSFD", {176, 104, 33, 17}, "0"},
                        {"LabelVFD", {176, 128, 33, 17}, "0"},
                        {"LabelSSD", {176, 152, 33, 17}, "0"},
                        {"LabelVSD", {176, 176, 33, 17}, "0"},
                        {"VScrollSFD", {216, 104, 17, 17}, nullptr},
                        {"VScrollVFD", {216, 128, 17, 17}, nullptr},
                        {"VScrollSSD", {216, 152, 17, 17}, nullptr},
                        {"VScrollVSD", {216, 176, 17, 17}, nullptr},
                        {"Label9", {256, 80, 41, 17}, "Bots"},
                        {"LabelLBotSkill", {256, 104, 57, 17}, "Bot Skill:"},
                        {"PictureSliderBGBS", {254, 120, 181, 19}, nullptr},
                        {"PictureSliderBoxBS", {2, 2, 22, 15}, nullptr},
                        {"LabelBotSkill", {392, 104, 41, 17}, "0"},
                        {"LabelLMaxBots", {256, 152, 57, 17}, "Max Bots:"},
                        {"PictureSliderBGMB", {254, 168, 181, 19}, nullptr},
                        {"PictureSliderBoxMB", {2, 2, 22, 15}, nullptr},
                        {"LabelMaxBots", {392, 152, 41, 17}, "0"},
                        {"LabelLBotNames", {256, 200, 73, 17}, "Bot Names:"},
                        {"LabelBotNames", {361, 200, 73, 17}, "0"},
                        {"ListBotNames", {256, 216, 177, 95}, nullptr},
                        {"LabelLNewBot", {257, 312, 112, 17}, "Add New Bot Name:"},
                        {"TextNewBot", {256, 328, 105, 19}, nullptr},
                        {"PictureAdd", {368, 328, 67, 18}, nullptr},
                        {"LabelLEditScores", {16, 200, 73, 17}, "Edit Scores:"},
                        {"ListScores", {16, 216, 217, 95}, nullptr},
                        {"Label12", {16, 312, 104, 17}, "Edit Level Settings:"},
                        {"PictureEdit", {144, 328, 91, 18}, nullptr},
                        {"PictureSave", {350, 70, 91, 18}, nullptr},
                        {"PictureMini", {400, 8, 18, 18}, nullptr},
                        {"PictureExit", {424, 8, 18, 18}, nullptr},
                        {"PictureWarning", {168, 128, 145, 41}, nullptr},
                        {"LabelLoading", {8, 8, 129, 17}, "Loading... Please Wait"}};
        for (const auto& c : controls) {
            const QWidget* control = find(c.name);
            QVERIFY(control);
            QVERIFY2(control->geometry() == c.place, c.name);
            if (c.caption)
                QCOMPARE(text(c.name), QString::fromLatin1(c.caption));
        }
        QCOMPARE(main()->size(), QSize(449, 360));
        QVERIFY(main()->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(main()->windowTitle(), QStringLiteral("GX3190 Editor"));

        // Every caption and value label has a grey twin one pixel left and lower, beneath it (the value labels'
        // twins are named after them with a 2, which the value checks below read).
        int captions = 0;
        const QList<QLabel*> labels = main()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
        for (const QLabel* label : labels) {
            if (label->palette().color(QPalette::WindowText) != Qt::black)
                continue;
            ++captions;
            const auto twin = std::find_if(labels.begin(), labels.end(), [label](const QLabel* other) {
                return other->geometry() == label->geometry().translated(-1, 1) && other->text() == label->text();
            });
            QVERIFY2(twin != labels.end(), qPrintable(label->objectName()));
            QVERIFY(main()->children().indexOf(*twin) < main()->children().indexOf(const_cast<QLabel*>(label)));
            QCOMPARE(label->font().family(), QStringLiteral("Palatino Linotype"));
            QVERIFY(label->font().bold());
            QCOMPARE(label->font().pointSizeF(), 9.0);
        }
        QCOMPARE(captions, 19);
        QVERIFY(find<QLabel>("LabelSFD")->alignment() & Qt::AlignRight);
        QCOMPARE(find<QListWidget>("ListBotNames")->selectionMode(), QAbstractItemView::SingleSelection);
        QVERIFY(!find<QListWidget>("ListBotNames")->isSortingEnabled());
        QCOMPARE(find("ListBotNames")->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(main()->busyPanel(), find("PictureWarning"));
        QVERIFY(!main()->busyPanel()->isVisible());
        QCOMPARE(main()->busyPanel()->palette().color(QPalette::Window), QColor(Qt::black));
        QCOMPARE(find("LabelLoading")->palette().color(QPalette::WindowText), QColor(Qt::white));

        const auto* levels = find<QComboBox>("ComboLevels");
        QCOMPARE(levels->geometry().topLeft(), QPoint(16, 328));
        QCOMPARE(levels->width(), 121);
        QCOMPARE(levels->count(), 13);
        QCOMPARE(levels->currentIndex(), 0);
        QCOMPARE(levels->itemText(0), QStringLiteral("Varnholm"));
        QCOMPARE(levels->itemText(12), QStringLiteral("Orvane Island 3190"));
        m_e->load(DemoGame::CompleteMod);
        SaveScreenshot(main(), QStringLiteral("FormMain.png"));
    }

    void loadsWhatTheFilesHold()
    {
        m_e->load(DemoGame::CompleteMod);
        QCOMPARE(Rows(find("ListBotNames")), DemoGame::BotNames);
        expectValue("LabelBotNames", QStringLiteral("6"));
        const char* ff[] = {"SFD", "VFD", "SSD", "VSD"};
        for (int i = 0; i < 4; ++i) {
            expectValue(QByteArray("Label").append(ff[i]).constData(), QString::number(DemoGame::FriendlyFire[i]));
            QCOMPARE(find<QScrollBar>(QByteArray("VScroll").append(ff[i]).constData())->value(),
                     DemoGame::FriendlyFire[i]);
        }
        // Each bar that moved from 0 played its change sound.
        QCOMPARE(m_e->sounds.played, QList<ClickSound>(4, ClickSound::BarOrSlider));
        expectValue("LabelMaxBots", QStringLiteral("32"));
        expectValue("LabelBotSkill", QStringLiteral("50"));
        auto* maxBots = find<BotSlider>("PictureSliderBGMB");
        QVERIFY(maxBots->knobLeft() > 19.45f && maxBots->knobLeft() < 19.46f);
        QCOMPARE(find("PictureSliderBoxMB")->x(), 19);
        QCOMPARE(find<BotSlider>("PictureSliderBGBS")->knobLeft(), 50.0f / SliderMath::BotSkillScale);
        QCOMPARE(Rows(find("ListScores")), m_e->mod().ScoreLines());
        QCOMPARE(Rows(find("ListScores")).size(), 68);
        for (const char* name : {"VScrollSFD", "PictureSliderBGBS", "PictureSliderBGMB", "ListScores", "ListBotNames"})
            QVERIFY2(find(name)->isEnabled(), name);
        QVERIFY(m_e->prompter.boxes.isEmpty());

        // A mod with bot names only: every other control is off, shows 0 and takes no clicks.
        m_e->load(DemoGame::NamesOnlyMod);
        m_e->sounds.played.clear();
        QVERIFY(find("ListBotNames")->isEnabled());
        expectValue("LabelBotNames", QString::number(m_e->mod().BotNames().size()));
        for (const char* name : {"VScrollSFD", "VScrollVFD", "VScrollSSD", "VScrollVSD", "PictureSliderBGBS",
                                 "PictureSliderBGMB", "ListScores"})
            QVERIFY2(!find(name)->isEnabled(), name);
        QVERIFY(Rows(find("ListScores")).isEmpty());
        for (const char* label : {"LabelSFD", "LabelVSD", "LabelBotSkill", "LabelMaxBots2"})
            QCOMPARE(text(label), QStringLiteral("0"));
        Click(find("VScrollSFD"), LowerArrow);
        QTest::mousePress(find("PictureSliderBGBS"), Qt::LeftButton, {}, QPoint(100, 9));
        QCOMPARE(text("LabelSFD"), QStringLiteral("0"));
        QCOMPARE(text("LabelBotSkill"), QStringLiteral("0"));
        QVERIFY(m_e->sounds.played.isEmpty());
    }

    void keysNotFoundDisableTheirControls()
    {
        Rewrite(completeMod() + QStringLiteral("/Settings/ServerSettings.CON"),
                QStringLiteral("sv.vehicleFriendlyFire"), QStringLiteral("sv.vehicleFriendlyFireX"));
        Rewrite(completeMod() + QStringLiteral("/Settings/ServerSettings.CON"),
                QStringLiteral("(?<=sv.soldierSplashFriendlyFire )75"), QStringLiteral("none"));
        Rewrite(completeMod() + QStringLiteral("/AI/AIDefault.AI"), QStringLiteral("setMaxNBots"),
                QStringLiteral("setMaxNBotz"));
        m_e->load(DemoGame::CompleteMod);
        // "-", as the level window shows a value it did not find, and the tip says where it was looked for.
        QVERIFY(!find("VScrollVFD")->isEnabled());
        expectValue("LabelVFD", QStringLiteral("-"));
        QCOMPARE(find("LabelVFD")->toolTip(), QStringLiteral("Not found from character 450 on"));
        QVERIFY(!find("VScrollSSD")->isEnabled());
        expectValue("LabelSSD", QStringLiteral("-"));
        const qsizetype at = ReadBytes(completeMod() + QStringLiteral("/Settings/ServerSettings.CON"))
                                 .toLower()
                                 .indexOf("sv.soldiersplashfriendlyfire ", 449);
        QCOMPARE(find("LabelSSD")->toolTip(), QStringLiteral("No number after the key at character %1").arg(at + 1));
        QVERIFY(find("VScrollSFD")->isEnabled());
        QVERIFY(find("LabelSFD")->toolTip().isEmpty());
        QVERIFY(!find("PictureSliderBGMB")->isEnabled());
        expectValue("LabelMaxBots", QStringLiteral("-"));
        QCOMPARE(find("LabelMaxBots")->toolTip(), QStringLiteral("Not found from character 20 on"));
        QVERIFY(find("PictureSliderBGBS")->isEnabled());

        // The reset of a row the file does not hold writes nothing into the model.
        DoubleClick(find("LabelVFD"));
        QVERIFY(m_e->mod().friendlyFire(FriendlyFire::VehicleFF).isEmpty());
    }

    void friendlyFireArrowsAndReset()
    {
        auto* bar = find<QScrollBar>("VScrollSFD");
        Click(bar, UpperArrow);
        QCOMPARE(bar->value(), 0);
        QVERIFY(m_e->sounds.played.isEmpty());
        for (int i = 0; i < 10; ++i)
            Click(bar, LowerArrow);
        expectValue("LabelSFD", QStringLiteral("10"));
        QCOMPARE(m_e->mod().friendlyFire(FriendlyFire::SoldierFF), QStringLiteral("10"));
        QCOMPARE(m_e->sounds.played, QList<ClickSound>(10, ClickSound::BarOrSlider));
        Click(bar, UpperArrow);
        QCOMPARE(text("LabelSFD"), QStringLiteral("9"));
        // Only the left button steps.
        Click(bar, LowerArrow, Qt::RightButton);
        QCOMPARE(bar->value(), 9);

        // The top end holds, silently.
        bar->setValue(100);
        m_e->sounds.played.clear();
        Click(bar, LowerArrow);
        QCOMPARE(text("LabelSFD"), QStringLiteral("100"));
        QVERIFY(m_e->sounds.played.isEmpty());

        // A double-click on the value resets it to 0, with one sound; a second one changes nothing.
        DoubleClick(find("LabelSFD"));
        expectValue("LabelSFD", QStringLiteral("0"));
        QCOMPARE(bar->value(), 0);
        QCOMPARE(m_e->mod().friendlyFire(FriendlyFire::SoldierFF), QStringLiteral("0"));
        QCOMPARE(m_e->sounds.played, QList<ClickSound>{ClickSound::BarOrSlider});
        DoubleClick(find("LabelSFD"));
        QCOMPARE(m_e->sounds.played, QList<ClickSound>{ClickSound::BarOrSlider});
    }

    void friendlyFireAboveTheRangeIsKept()
    {
        const QString path = completeMod() + QStringLiteral("/Settings/ServerSettings.CON");
        Rewrite(path, QStringLiteral("(?<=sv.soldierFriendlyFire )100"), QStringLiteral("150"));
        m_e->load(DemoGame::CompleteMod);
        expectValue("LabelSFD", QStringLiteral("150"));
        QCOMPARE(find<QScrollBar>("VScrollSFD")->value(), 100);

        // Another row changes; the untouched one is written back as it was read.
        Click(find("VScrollVFD"), LowerArrow);
        QVERIFY(ModFiles::SaveMod(m_e->mod(), {ModFile::ServerSettings}).failedFiles.isEmpty());
        const QByteArray saved = ReadBytes(path).toLower();
        QVERIFY(saved.contains("sv.soldierfriendlyfire 150\r\n"));
        QVERIFY(saved.contains("sv.vehiclefriendlyfire 51\r\n"));

        // Stepping down from the top end takes the row into the range.
        Click(find("VScrollSFD"), UpperArrow);
        QCOMPARE(text("LabelSFD"), QStringLiteral("99"));
    }

    void botNamesEditAndDelete()
    {
        m_e->load(DemoGame::CompleteMod);
        m_e->sounds.played.clear();
        auto* list = find<QListWidget>("ListBotNames");

        // Nothing selected: a double-click below the rows and Delete do nothing.
        m_e->mod().setBotNames({QStringLiteral("Alpha"), QStringLiteral("Bravo"), QStringLiteral("Charlie")});
        QCOMPARE(list->selectedItems().size(), 0);
        DoubleClick(list->viewport(), QPoint(60, 85));
        QVERIFY(main()->isVisible());
        QTest::keyClick(list, Qt::Key_Delete);
        QVERIFY(m_e->prompter.boxes.isEmpty());

        // Delete, answered No; other keys ask nothing.
        const QPoint second = list->visualItemRect(list->item(1)).center();
        Click(list->viewport(), second);
        m_e->prompter.questionAnswers = {false};
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(m_e->prompter.texts(), QStringList{QStringLiteral("Delete this bot name?")});
        QCOMPARE(m_e->prompter.kinds(), QStringList{QStringLiteral("question")});
        for (Qt::Key other : {Qt::Key_Backspace, Qt::Key_A, Qt::Key_Space, Qt::Key_Return})
            QTest::keyClick(list, other);
        QCOMPARE(m_e->prompter.boxes.size(), 1);
        QCOMPARE(Rows(list).size(), 3);

        // Letter keys move the selection (the list's own search), so choose the second row again; Yes.
        Click(list->viewport(), second);
        m_e->prompter.questionAnswers = {true};
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(Rows(list), QStringList({QStringLiteral("Alpha"), QStringLiteral("Charlie")}));
        QCOMPARE(m_e->mod().BotNames(), Rows(list));
        expectValue("LabelBotNames", QStringLiteral("2"));
        QVERIFY(list->selectedItems().isEmpty());
        QVERIFY(m_e->sounds.played.isEmpty());

        // The row that moved up is the one a double-click now edits.
        DoubleClick(list->viewport(), second);
        QCOMPARE(m_e->sounds.played, QList<ClickSound>{ClickSound::ListOrCheck});
        QCOMPARE(VisibleOnly(m_e->editor), m_e->windows.edit);
        QVERIFY(m_e->windows.edit->EditingBotName());
        QCOMPARE(m_e->windows.edit->EditIndex(), 1);
        QCOMPARE(Control<QLineEdit>(m_e->windows.edit, "TextBotName")->text(), QStringLiteral("Charlie"));
        m_e->context.showOnly(main());

        // Deleting the last rows leaves "0".
        for (int i = 0; i < 2; ++i) {
            Click(list->viewport(), list->visualItemRect(list->item(0)).center());
            m_e->prompter.questionAnswers = {true};
            QTest::keyClick(list, Qt::Key_Delete);
        }
        QCOMPARE(list->count(), 0);
        expectValue("LabelBotNames", QStringLiteral("0"));
    }

    void botNamesAdd()
    {
        m_e->load(DemoGame::CompleteMod);
        m_e->sounds.played.clear();
        auto* add = find("PictureAdd");
        auto* box = find<QLineEdit>("TextNewBot");
        QVERIFY(box->maxLength() >= 1000000);

        Click(add);
        QCOMPARE(m_e->prompter.kinds(), QStringList{QStringLiteral("warning")});
        QCOMPARE(m_e->prompter.texts(), QStringList{QStringLiteral("No name entered.")});
        QCOMPARE(m_e->mod().BotNames(), DemoGame::BotNames);
        QCOMPARE(m_e->sounds.played, QList<ClickSound>{ClickSound::Button});

        // A blank is a name; a name stays in the box and can be added twice.
        QTest::keyClicks(box, QStringLiteral(" "));
        Click(add);
        box->clear();
        QTest::keyClicks(box, QStringLiteral("Nova"));
        Click(add);
        Click(add);
        QCOMPARE(box->text(), QStringLiteral("Nova"));
        QCOMPARE(Rows(find("ListBotNames")).mid(6),
                 QStringList({QStringLiteral(" "), QStringLiteral("Nova"), QStringLiteral("Nova")}));
        QCOMPARE(m_e->mod().BotNames(), Rows(find("ListBotNames")));
        expectValue("LabelBotNames", QStringLiteral("9"));
        QCOMPARE(m_e->prompter.boxes.size(), 1);

        // A pasted text keeps its first line, without what the 8-bit file cannot hold.
        box->clear();
        QApplication::clipboard()->setText(QStringLiteral("J\u00f6rg \u4e2d\u0141ux\r\nSecond"));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), QStringLiteral("J\u00f6rg ux"));

        // A name just added can be edited at once.
        auto* list = find<QListWidget>("ListBotNames");
        list->scrollToBottom();
        DoubleClick(list->viewport(), list->visualItemRect(list->item(8)).center());
        QCOMPARE(Control<QLineEdit>(m_e->windows.edit, "TextBotName")->text(), QStringLiteral("Nova"));
        QCOMPARE(m_e->windows.edit->EditIndex(), 8);
    }

    void sliderJumps()
    {
        m_e->load(DemoGame::CompleteMod);
        // Track pixel, knob place, bot skill, max bots: both ends clamp, and a press on the knob's reach is a jump.
        const struct
        {
            int x, knobX;
            const char* botSkill;
            const char* maxBots;
        } jumps[] = {{100, 89, "56", "144"}, {13, 2, "0", "1"},        {23, 2, "0", "1"},
                     {24, 13, "7", "19"},    {168, 157, "100", "256"}, {179, 157, "100", "256"}};
        for (const char* track : {"BS", "MB"}) {
            const bool skill = track[0] == 'B';
            auto* slider = find<BotSlider>(QByteArray("PictureSliderBG").append(track).constData());
            QWidget* knob = find(QByteArray("PictureSliderBox").append(track).constData());
            const char* label = skill ? "LabelBotSkill" : "LabelMaxBots";
            for (const auto& jump : jumps) {
                // From the far end, so that every jump lands on a free part of the track.
                PressAndRelease(slider, QPoint(jump.x < 90 ? 175 : 5, 9));
                m_e->sounds.played.clear();
                PressAndRelease(slider, QPoint(jump.x, 9));
                const QString value = QString::fromLatin1(skill ? jump.botSkill : jump.maxBots);
                const QByteArray where = QByteArray(track) + " at " + QByteArray::number(jump.x);
                QVERIFY2(m_e->sounds.played == QList<ClickSound>{ClickSound::BarOrSlider}, where);
                QVERIFY2(knob->x() == jump.knobX && slider->knobLeft() == float(jump.knobX), where);
                expectValue(label, value);
                QCOMPARE(skill ? m_e->mod().BotSkill() : m_e->mod().MaxBots(), value);
            }
        }
    }

    void sliderPressesThatChangeNothing()
    {
        m_e->load(DemoGame::CompleteMod);
        m_e->sounds.played.clear();
        auto* slider = find<BotSlider>("PictureSliderBGMB");
        QWidget* knob = find("PictureSliderBoxMB");
        const float left = slider->knobLeft();
        for (int x : {1, 180})
            PressAndRelease(slider, QPoint(x, 9));
        QCOMPARE(m_e->sounds.played, QList<ClickSound>(2, ClickSound::BarOrSlider));
        QCOMPARE(slider->knobLeft(), left);
        QCOMPARE(text("LabelMaxBots"), QStringLiteral("32"));

        // The right button does nothing at all, on the track or on the knob.
        m_e->sounds.played.clear();
        PressAndRelease(slider, QPoint(100, 9), Qt::RightButton);
        QTest::mousePress(knob, Qt::RightButton, {}, QPoint(5, 7));
        MoveHeld(knob, QPoint(60, 7), Qt::RightButton);
        QTest::mouseRelease(knob, Qt::RightButton, {}, QPoint(60, 7));
        QVERIFY(m_e->sounds.played.isEmpty());
        QCOMPARE(slider->knobLeft(), left);
        QCOMPARE(text("LabelMaxBots"), QStringLiteral("32"));
    }

    void sliderDrags()
    {
        m_e->load(DemoGame::CompleteMod);
        auto* slider = find<BotSlider>("PictureSliderBGBS");
        QWidget* knob = find("PictureSliderBoxBS");
        PressAndRelease(slider, QPoint(100, 9));
        m_e->sounds.played.clear();

        // Grab the knob 11 pixels from its left edge (track pixel 100) and move right by 5.
        auto onTrack = [&](int x) { return knob->mapFrom(slider, QPoint(x, 9)); };
        QTest::mousePress(knob, Qt::LeftButton, {}, onTrack(100));
        QCOMPARE(m_e->sounds.played, QList<ClickSound>{ClickSound::BarOrSlider});
        MoveHeld(knob, onTrack(105));
        QCOMPARE(slider->knobLeft(), 94.0f);
        QCOMPARE(knob->x(), 94);
        expectValue("LabelBotSkill", QString::number(SliderMath::value(SliderMath::Slider::BotSkill, 94.0f)));

        // No drag without exactly the left button held.
        MoveHeld(knob, onTrack(130), Qt::NoButton);
        MoveHeld(knob, onTrack(130), Qt::LeftButton | Qt::RightButton);
        QCOMPARE(slider->knobLeft(), 94.0f);

        MoveHeld(knob, onTrack(-400));
        QCOMPARE(slider->knobLeft(), 2.0f);
        QCOMPARE(text("LabelBotSkill"), QStringLiteral("0"));
        MoveHeld(knob, onTrack(900));
        QCOMPARE(slider->knobLeft(), 157.0f);
        QCOMPARE(m_e->mod().BotSkill(), QStringLiteral("100"));
        QTest::mouseRelease(knob, Qt::LeftButton, {}, onTrack(900));
        QCOMPARE(m_e->sounds.played, QList<ClickSound>{ClickSound::BarOrSlider});

        // After the release, moves do not drag.
        MoveHeld(knob, onTrack(50));
        QCOMPARE(slider->knobLeft(), 157.0f);
    }

    void loadedKnobsOutsideTheTrack()
    {
        const QString path = completeMod() + QStringLiteral("/AI/AIDefault.AI");
        Rewrite(path, QStringLiteral("(?<=setBotSkill )0\\.5"), QStringLiteral("0"));
        Rewrite(path, QStringLiteral("(?<=setMaxNBots )32"), QStringLiteral("999"));
        m_e->load(DemoGame::CompleteMod);
        auto* skill = find<BotSlider>("PictureSliderBGBS");
        QWidget* skillKnob = find("PictureSliderBoxBS");
        QCOMPARE(text("LabelBotSkill"), QStringLiteral("0"));
        QCOMPARE(skill->knobLeft(), 0.0f);
        auto* bots = find<BotSlider>("PictureSliderBGMB");
        QWidget* botsKnob = find("PictureSliderBoxMB");
        expectValue("LabelMaxBots", QStringLiteral("999"));
        QVERIFY(bots->knobLeft() > 600.0f);
        // The knob is the track's child, so what lies outside the track is never painted.
        QCOMPARE(botsKnob->parentWidget(), bots);
        QVERIFY(!bots->rect().intersects(botsKnob->geometry()));

        // The knob left of 2 snaps to 2 on the first drag step, wherever the pointer goes.
        auto onTrack = [&](int x) { return skillKnob->mapFrom(skill, QPoint(x, 9)); };
        QTest::mousePress(skillKnob, Qt::LeftButton, {}, onTrack(5));
        MoveHeld(skillKnob, onTrack(60));
        QCOMPARE(skill->knobLeft(), 2.0f);
        QCOMPARE(skillKnob->x(), 2);
        QCOMPARE(text("LabelBotSkill"), QStringLiteral("0"));
        QTest::mouseRelease(skillKnob, Qt::LeftButton, {}, onTrack(60));

        // The out-of-range max bots comes back with a jump.
        QTest::mousePress(bots, Qt::LeftButton, {}, QPoint(100, 9));
        QCOMPARE(text("LabelMaxBots"), QStringLiteral("144"));
        QCOMPARE(botsKnob->x(), 89);
    }

    void windowButtons()
    {
        m_e->load(DemoGame::CompleteMod);
        RecordingPrompter& prompter = m_e->prompter;
        prompter.questionAnswers = {false};
        Click(find("PictureExit"));
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Do you want to exit?")});
        QCOMPARE(prompter.kinds(), QStringList{QStringLiteral("question")});
        QVERIFY(main()->isVisible());
        QCOMPARE(text("LabelBotNames"), QStringLiteral("6"));

        // Closing through the window system asks the same.
        prompter.clear();
        QVERIFY(!main()->close());
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Do you want to exit?")});
        QVERIFY(main()->isVisible());

        prompter.clear();
        find<QComboBox>("ComboLevels")->setCurrentIndex(-1);
        Click(find("PictureEdit"));
        QCOMPARE(prompter.kinds(), QStringList{QStringLiteral("warning")});
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("No level selected.")});
        QVERIFY(main()->isVisible());

        m_e->sounds.played.clear();
        Click(find("PictureSave"));
        QCOMPARE(m_e->sounds.played, QList<ClickSound>{ClickSound::Button});
        QCOMPARE(VisibleOnly(m_e->editor), m_e->windows.save);
        m_e->context.showOnly(main());

        Click(find("PictureMini"));
        QVERIFY(main()->isMinimized());
    }

    // Last: a Yes ends the application's event loops, which is not undone for later tests.
    void exitYesEndsTheProgram()
    {
        m_e->prompter.questionAnswers = {true};
        QEventLoop loop;
        QTimer::singleShot(0, main(), [&] {
            Click(find("PictureExit"));
            // Had the program not ended, this would end the loop with another code.
            QTimer::singleShot(0, &loop, [&] { loop.exit(7); });
        });
        QCOMPARE(loop.exec(), 0);
        QCOMPARE(m_e->prompter.texts(), QStringList{QStringLiteral("Do you want to exit?")});
    }
};

QTEST_MAIN(TestFormMain)
#include "tst_formmain.moc"
