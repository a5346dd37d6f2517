// The editor without a mouse: the real windows made by Editor, reached with Tab and driven with Space and
// Enter, and every control named for a screen reader after its caption.
#include "modfiles/ModSettings.h"
#include "tests/support/WindowTestSupport.h"
#include "tools/demogame/DemoGame.h"
#include "widgets/Accessibility.h"
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
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <QTest>

namespace {

QString SpokenName(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

// Presses Tab until the focus is on the target, as a user would; false when a whole round never reaches it.
bool TabTo(QWidget* window, QWidget* target)
{
    const int controls = int(window->findChildren<QWidget*>().size());
    for (int presses = 0; presses <= controls; ++presses) {
        if (QApplication::focusWidget() == target)
            return true;
        QWidget* from = QApplication::focusWidget() ? QApplication::focusWidget() : window;
        QTest::keyClick(from, Qt::Key_Tab);
    }
    return QApplication::focusWidget() == target;
}

bool Activate(QWidget* window)
{
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// Space or Enter on the focused button: the pressed face while the key is down, then the click.
void PressAndRelease(ImageButton* button, Qt::Key key)
{
    QTest::keyPress(button, key);
    QVERIFY2(button->isDown(), "the face is not pressed while the key is down");
    QTest::keyRelease(button, key);
    QVERIFY(!button->isDown());
}

} // namespace

class TestAccessibility final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TextStyle::Install(); }

    void spokenCaption_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("spoken");
        QTest::newRow("colon") << QStringLiteral("Soldier Friendly Damage:")
                               << QStringLiteral("Soldier Friendly Damage");
        QTest::newRow("ampersand") << QStringLiteral("Bot Skill && Max Bots") << QStringLiteral("Bot Skill & Max Bots");
        QTest::newRow("trailing blank") << QStringLiteral("Editing Score: ") << QStringLiteral("Editing Score");
        QTest::newRow("brackets kept") << QStringLiteral("Pac Tickets (16):") << QStringLiteral("Pac Tickets (16)");
        QTest::newRow("plain") << QStringLiteral("Intro") << QStringLiteral("Intro");
    }

    void spokenCaption()
    {
        QFETCH(QString, caption);
        QFETCH(QString, spoken);
        QCOMPARE(Accessibility::SpokenCaption(caption), spoken);
    }

    // What a screen reader says for the controls of the five windows.
    void namesAfterCaptions()
    {
        DemoEditor e;
        const Editor::Windows c = e.windows;
        const struct
        {
            QWidget* window;
            const char* control;
            const char* name;
        } rows[] = {{c.select, "ListMods", "Select Mod To Edit"},
                    {c.select, "PictureEdit", "Edit"},
                    {c.main, "LabelSFD", "Soldier Friendly Damage"},
                    {c.main, "VScrollSFD", "Soldier Friendly Damage"},
                    {c.main, "VScrollVFD", "Vehicle Friendly Damage"},
                    {c.main, "LabelSSD", "Soldier Splash Damage"},
                    {c.main, "VScrollVSD", "Vehicle Splash Damage"},
                    {c.main, "LabelBotSkill", "Bot Skill"},
                    {c.main, "PictureSliderBGBS", "Bot Skill"},
                    {c.main, "PictureSliderBGMB", "Max Bots"},
                    {c.main, "ListBotNames", "Bot Names"},
                    {c.main, "TextNewBot", "Add New Bot Name"},
                    {c.main, "ListScores", "Edit Scores"},
                    {c.main, "ComboLevels", "Edit Level Settings"},
                    {c.main, "PictureAdd", "Add"},
                    {c.main, "PictureSave", "Save"},
                    {c.main, "PictureExit", "Exit"},
                    {c.main, "PictureMini", "Minimise"},
                    {c.save, "PictureFF", "Friendly Fire"},
                    {c.save, "PictureScore", "Score List"},
                    {c.save, "PictureBSMB", "Bot Skill & Max Bots"},
                    {c.save, "PictureBotNames", "Bot Names"},
                    {c.save, "PictureIntro", "Intro"},
                    {c.save, "PictureCancel", "Cancel"},
                    {c.edit, "PictureAccept", "Accept"},
                    {c.level, "PictureColdBreath", "Cold Breath"},
                    {c.level, "VScrollMaxView", "Max View Distance"},
                    {c.level, "LabelPT16", "Pac Tickets (16)"},
                    {c.level, "VScrollET128", "EU Tickets (128)"},
                    {c.level, "VScrollELPM", "EU Ticket Loss P/Min"},
                    {c.level, "LabelLevel", "Editing"}};
        for (const auto& row : rows) {
            QWidget* widget = Control<QWidget>(row.window, row.control);
            QVERIFY(widget);
            const QString name = QString::fromLatin1(row.name);
            QVERIFY2(widget->accessibleName() == name, row.control);
            // A drop-down list on Linux speaks its current entry as its name and its caption as its label.
            if (qobject_cast<QComboBox*>(widget)) {
                QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
                QVERIFY(face);
                QStringList labels;
                for (const auto& relation : face->relations(QAccessible::Label))
                    labels.append(Accessibility::SpokenCaption(relation.first->text(QAccessible::Name)));
                QCOMPARE(labels, QStringList{name});
            } else {
                QVERIFY2(SpokenName(widget) == name, row.control);
            }
        }
    }

    // No control a user can act on, or whose value the user reads, is left without a name.
    void everyControlHasAName()
    {
        DemoEditor e;
        const Editor::Windows windows = e.windows;
        QStringList nameless;
        QStringList windowNames;
        for (QWidget* window : {static_cast<QWidget*>(windows.main), static_cast<QWidget*>(windows.select),
                                static_cast<QWidget*>(windows.edit), static_cast<QWidget*>(windows.save),
                                static_cast<QWidget*>(windows.level)}) {
            QVERIFY(window);
            windowNames.append(window->objectName());
            QVERIFY2(!SpokenName(window).isEmpty(), qPrintable(window->objectName()));
            for (QWidget* widget : window->findChildren<QWidget*>()) {
                const QString id = widget->objectName();
                // The parts Qt makes inside a list or a drop-down (scroll bars, viewport) speak for it.
                if (id.isEmpty() || id.startsWith(QLatin1String("qt_")))
                    continue;
                const bool control = qobject_cast<ImageButton*>(widget) || qobject_cast<CheckPicture*>(widget) ||
                                     qobject_cast<QAbstractSlider*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                                     qobject_cast<QComboBox*>(widget) || qobject_cast<QListWidget*>(widget) ||
                                     id.startsWith(QLatin1String("PictureSliderBG"));
                // A value label is one with a caption of its own: LabelSFD beside LabelLSFD.
                const bool valueLabel = qobject_cast<QLabel*>(widget) && id.startsWith(QLatin1String("Label")) &&
                                        !id.startsWith(QLatin1String("LabelL")) &&
                                        window->findChild<QLabel*>(QStringLiteral("LabelL") + id.mid(5));
                if ((control || valueLabel) && widget->accessibleName().isEmpty())
                    nameless.append(window->objectName() + QLatin1Char('.') + id);
            }
        }
        QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(QStringLiteral(", "))));
        QCOMPARE(windowNames,
                 QStringList({QStringLiteral("FormMain"), QStringLiteral("FormSelect"), QStringLiteral("FormEdit"),
                              QStringLiteral("FormSave"), QStringLiteral("FormLevel")}));
        // The windows are frameless, so their titles never show; they name the program to the desktop.
        QCOMPARE(windows.select->windowTitle(), QStringLiteral("GX3190 Editor"));
    }

    // The score edit window's spin bar is named after the score being edited; pictures act through the tool.
    void namesAndActionsFollowTheState()
    {
        DemoEditor e;
        e.load(DemoGame::CompleteMod);
        FormEdit* edit = e.windows.edit;
        auto* caption = Control<QLabel>(edit, "LabelLScore");
        auto* bar = Control<QWidget>(edit, "VScrollNum");
        QStringList heard;
        for (const int row : {0, 5}) {
            edit->BeginScoreEdit(row);
            QVERIFY(!caption->text().isEmpty());
            QCOMPARE(SpokenName(bar), Accessibility::SpokenCaption(caption->text()));
            heard.append(SpokenName(bar));
            QTest::keyClick(Control<QWidget>(edit, "PictureCancel"), Qt::Key_Space);
            QCOMPARE(VisibleOnly(e.editor), e.windows.main);
        }
        QVERIFY2(heard.at(0) != heard.at(1), qPrintable(heard.join(QStringLiteral(" / "))));

        // Assistive tools see push buttons and check boxes, and pressing them through the tool acts as a click.
        e.context.showOnly(e.windows.main);
        QAccessibleInterface* save =
            QAccessible::queryAccessibleInterface(Control<QWidget>(e.windows.main, "PictureSave"));
        QVERIFY(save && save->actionInterface());
        QCOMPARE(save->role(), QAccessible::Button);
        QCOMPARE(save->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
        e.sounds.played.clear();
        save->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(e.sounds.played, QList<ClickSound>{ClickSound::Button});
        QCOMPARE(VisibleOnly(e.editor), e.windows.save);

        auto* friendlyFire = Control<CheckPicture>(e.windows.save, "PictureFF");
        QAccessibleInterface* check = QAccessible::queryAccessibleInterface(friendlyFire);
        QVERIFY(check && check->actionInterface());
        QCOMPARE(check->role(), QAccessible::CheckBox);
        QVERIFY(check->state().checkable);
        for (const bool wasOn : {true, false}) {
            QCOMPARE(friendlyFire->isOn(), wasOn);
            QCOMPARE(bool(check->state().checked), wasOn);
            e.sounds.played.clear();
            check->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            QCOMPARE(bool(check->state().checked), !wasOn);
            QCOMPARE(e.sounds.played, QList<ClickSound>{ClickSound::ListOrCheck});
        }
        QCOMPARE(friendlyFire->isOn(), e.mod().saveFlag(ModFile::ServerSettings));
    }

    // From the mod selection to the save window and back, with the keyboard alone.
    void keyboardOnlyRound()
    {
        DemoEditor e;
        QTemporaryDir storeDir;
        QSettings store(storeDir.path() + QStringLiteral("/store.ini"), QSettings::IniFormat);
        store.setValue(QStringLiteral("Paths/GXPath"), e.game.path);
        QVERIFY(e.editor.start(store));
        const Editor::Windows windows = e.windows;
        FormSelect* select = windows.select;
        QVERIFY(Activate(select));

        // Down arrow selects a mod, Tab reaches EDIT, Space opens the mod.
        auto* mods = Control<QListWidget>(select, "ListMods");
        QVERIFY(TabTo(select, mods));
        const int wanted = mods->row(mods->findItems(DemoGame::CompleteMod, Qt::MatchExactly).value(0));
        QVERIFY(wanted >= 0);
        for (int step = 0; step < mods->count() && mods->currentRow() < wanted; ++step)
            QTest::keyClick(mods, Qt::Key_Down);
        QCOMPARE(mods->currentRow(), wanted);
        auto* open = Control<ImageButton>(select, "PictureEdit");
        QVERIFY(TabTo(select, open));
        e.sounds.played.clear();
        PressAndRelease(open, Qt::Key_Space);
        // The button's click comes first; showing the loaded values may add the spin bars' own.
        QCOMPARE(e.sounds.played.value(0), ClickSound::Button);
        QCOMPARE(VisibleOnly(e.editor), windows.main);
        QCOMPARE(e.mod().ModFolder, e.game.mod(DemoGame::CompleteMod));

        // Exit by keyboard asks the question; No keeps everything.
        FormMain* main = windows.main;
        QVERIFY(Activate(main));
        auto* exitButton = Control<ImageButton>(main, "PictureExit");
        QVERIFY(TabTo(main, exitButton));
        e.prompter.questionAnswers.push_back(false);
        PressAndRelease(exitButton, Qt::Key_Return);
        QCOMPARE(e.prompter.texts(), QStringList{QStringLiteral("Do you want to exit?")});
        QCOMPARE(VisibleOnly(e.editor), main);

        // Enter on SAVE opens the save window.
        auto* save = Control<ImageButton>(main, "PictureSave");
        QVERIFY(TabTo(main, save));
        e.sounds.played.clear();
        PressAndRelease(save, Qt::Key_Enter);
        QCOMPARE(e.sounds.played, QList<ClickSound>{ClickSound::Button});
        FormSave* saveWindow = windows.save;
        QCOMPARE(VisibleOnly(e.editor), saveWindow);
        QVERIFY(Activate(saveWindow));

        // A save check turns over on Space and Return with its sound, as on a click.
        auto* friendlyFire = Control<CheckPicture>(saveWindow, "PictureFF");
        QVERIFY(TabTo(saveWindow, friendlyFire));
        const bool wasOn = friendlyFire->isOn();
        e.sounds.played.clear();
        QTest::keyClick(friendlyFire, Qt::Key_Space);
        QCOMPARE(friendlyFire->isOn(), !wasOn);
        QCOMPARE(e.sounds.played, QList<ClickSound>{ClickSound::ListOrCheck});
        QTest::keyClick(friendlyFire, Qt::Key_Return);
        QCOMPARE(friendlyFire->isOn(), wasOn);

        // CANCEL by keyboard goes home without writing anything.
        const QString server = e.game.mod(DemoGame::CompleteMod) + QStringLiteral("/Settings/ServerSettings.CON");
        const QByteArray serverBefore = ReadBytes(server);
        auto* cancel = Control<ImageButton>(saveWindow, "PictureCancel");
        QVERIFY(TabTo(saveWindow, cancel));
        PressAndRelease(cancel, Qt::Key_Space);
        QCOMPARE(VisibleOnly(e.editor), main);
        QCOMPARE(ReadBytes(server), serverBefore);
    }

    // The spin bars and sliders answer the keys with the sound and the value their arrows and track give.
    void spinBarsAndSlidersByKeyboard()
    {
        DemoEditor e;
        e.load(DemoGame::CompleteMod);
        FormMain* main = e.windows.main;
        e.context.showOnly(main);
        QVERIFY(Activate(main));

        auto* bar = Control<QAbstractSlider>(main, "VScrollVFD");
        const int before = bar->value();
        QVERIFY(TabTo(main, bar));
        e.sounds.played.clear();
        QTest::keyClick(bar, Qt::Key_Down);
        QCOMPARE(e.mod().friendlyFire(FriendlyFire::VehicleFF), QString::number(before + 1));
        QCOMPARE(e.sounds.played, QList<ClickSound>{ClickSound::BarOrSlider});
        QTest::keyClick(bar, Qt::Key_Up);
        QTest::keyClick(bar, Qt::Key_End);
        QCOMPARE(Caption(main, "LabelVFD"), QStringLiteral("100"));
        QTest::keyClick(bar, Qt::Key_Home);
        QCOMPARE(e.mod().friendlyFire(FriendlyFire::VehicleFF), QStringLiteral("0"));

        // Max bots was loaded between pixels (32 bots); a step lands on the next whole pixel.
        auto* bots = Control<BotSlider>(main, "PictureSliderBGMB");
        QVERIFY(TabTo(main, bots));
        e.sounds.played.clear();
        QTest::keyClick(bots, Qt::Key_Right);
        QCOMPARE(bots->knobLeft(), 20.0f);
        QCOMPARE(e.mod().MaxBots(), QString::number(SliderMath::value(SliderMath::Slider::MaxBots, 20.0f)));
        QTest::keyClick(bots, Qt::Key_End);
        QCOMPARE(Caption(main, "LabelMaxBots"), QStringLiteral("256"));
        QTest::keyClick(bots, Qt::Key_PageUp);
        QCOMPARE(bots->knobLeft(), SliderMath::RightEnd);
        QTest::keyClick(bots, Qt::Key_Home);
        QTest::keyClick(bots, Qt::Key_Left);
        QCOMPARE(e.mod().MaxBots(), QStringLiteral("1"));
        QCOMPARE(e.sounds.played, QList<ClickSound>(5, ClickSound::BarOrSlider));

        // A section the mod does not hold is passed over.
        e.load(DemoGame::NamesOnlyMod);
        QVERIFY(!TabTo(main, bar));
        QVERIFY(!TabTo(main, bots));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
