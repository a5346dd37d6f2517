// The whole program as a user drives it: from the mod selection of the demo game, the main window's values
// changed with real mouse and key events at the controls' places, a save with some groups on and some off,
// and every file on disk checked byte for byte. The bot names' edits and a level's are the window test's.
#include "app/Editor.h"
#include "modfiles/SliderMath.h"
#include "tests/support/WindowTestSupport.h"
#include "tools/demogame/DemoGame.h"
#include "widgets/QtPrompter.h"
#include "windows/FormEdit.h"
#include "windows/FormMain.h"
#include "windows/FormSave.h"
#include "windows/FormSelect.h"

#include <QApplication>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

using namespace TestSupport;

class TestEndToEnd final : public QObject
{
    Q_OBJECT

private slots:
    void editSaveAndCheckEveryFile()
    {
        DemoEditor e;
        const QString mod = e.game.mod(DemoGame::CompleteMod);
        const QByteArray serverBefore = readBytes(mod + QStringLiteral("/Settings/ServerSettings.CON"));
        const QByteArray aiBefore = readBytes(mod + QStringLiteral("/AI/AIDefault.AI"));
        const QByteArray scoringBefore = readBytes(mod + QStringLiteral("/python/game/scoringCommon.py"));
        QVERIFY(startOn(e.editor, e.game));
        const Editor::Windows windows = e.windows;
        const Editor& editor = e.editor;
        RecordingPrompter& prompter = e.prompter;

        // The mod selection: the complete mod, then EDIT.
        QWidget* select = windows.select;
        auto* mods = control<QListWidget>(select, "ListMods");
        QTest::mouseClick(mods->viewport(), Qt::LeftButton, {}, mods->visualItemRect(mods->item(1)).center());
        clickAt(select, QPoint(60, 104));
        QWidget* main = windows.main;

        // Friendly fire: arrows and a double-click reset, each change with the bar's sound. Only the left button
        // steps, and a second reset changes nothing.
        e.sounds.played.clear();
        for (int i = 0; i < 3; ++i)
            clickAt(main, QPoint(224, 107)); // upper arrow of VScrollSFD
        QTest::mouseClick(control<QWidget>(main, "VScrollSFD"), Qt::RightButton, {}, QPoint(8, 12));
        for (int i = 0; i < 2; ++i)
            clickAt(main, QPoint(224, 137)); // lower arrow of VScrollVFD
        doubleClick(control<QWidget>(main, "LabelSSD"));
        doubleClick(control<QWidget>(main, "LabelSSD"));
        for (int i = 0; i < 5; ++i)
            clickAt(main, QPoint(224, 179)); // upper arrow of VScrollVSD
        QCOMPARE(e.sounds.played, QList<ClickSound>(11, ClickSound::BarOrSlider));
        // Each row's value, and its shadow twin, follows its own bar; a reset moves the bar too.
        QCOMPARE(caption(main, "LabelSFD2"), QStringLiteral("97"));
        QCOMPARE(caption(main, "LabelVFD"), QStringLiteral("52"));
        QCOMPARE(caption(main, "LabelSSD"), QStringLiteral("0"));
        QCOMPARE(control<QScrollBar>(main, "VScrollSSD")->value(), 0);
        QCOMPARE(caption(main, "LabelVSD"), QStringLiteral("20"));

        // Bot skill by a jump at track X = 100; max bots by dragging the knob to the right end and back.
        clickAt(main, QPoint(254 + 100, 120 + 9));
        QWidget* knob = main->findChild<QWidget*>(QStringLiteral("PictureSliderBoxMB"));
        QTest::mousePress(knob, Qt::LeftButton, {}, QPoint(11, 7));
        moveHeld(knob, QPoint(400, 7));
        QTest::mouseRelease(knob, Qt::LeftButton, {}, QPoint(400, 7));
        QTest::mousePress(knob, Qt::LeftButton, {}, QPoint(11, 7));
        moveHeld(knob, QPoint(11 - 40, 7));
        QTest::mouseRelease(knob, Qt::LeftButton, {}, QPoint(11 - 40, 7));
        const QString maxBots = QString::number(SliderMath::value(SliderMath::Slider::MaxBots, 117.0f));

        // A score: SCORE_KILL from 1 to 3 with the edit window's lower arrow.
        QWidget* edit = windows.edit;
        auto* scores = main->findChild<QListWidget*>(QStringLiteral("ListScores"));
        doubleClick(scores->viewport(), scores->visualItemRect(scores->item(0)).center());
        clickAt(edit, QPoint(184, 45));
        clickAt(edit, QPoint(184, 45));
        clickAt(edit, QPoint(150, 65));
        QCOMPARE(scores->item(0)->text(), QStringLiteral("SCORE_KILL = 3"));

        // Save friendly fire, bot settings and the bot names; leave the scores out.
        clickAt(main, QPoint(395, 79));
        QWidget* save = windows.save;
        clickAt(save, QPoint(184, 64)); // PictureScore off
        prompter.clear();
        prompter.questionAnswers.push_back(true);
        clickAt(save, QPoint(150, 161));
        QCOMPARE(visibleOnly(editor), main);

        QByteArray server = serverBefore;
        server.replace("sv.soldierFriendlyFire 100", "sv.soldierFriendlyFire 97")
            .replace("sv.vehicleFriendlyFire 50", "sv.vehicleFriendlyFire 52")
            .replace("sv.soldierSplashFriendlyFire 75", "sv.soldierSplashFriendlyFire 0")
            .replace("sv.vehicleSplashFriendlyFire 25", "sv.vehicleSplashFriendlyFire 20");
        QCOMPARE(readBytes(mod + QStringLiteral("/Settings/ServerSettings.CON")), server);
        QByteArray ai = aiBefore;
        ai.replace("aiSettings.setMaxNBots 32", "aiSettings.setMaxNBots " + maxBots.toLatin1())
            .replace("aiSettings.setBotSkill 0.5", "aiSettings.setBotSkill 0.56");
        QCOMPARE(readBytes(mod + QStringLiteral("/AI/AIDefault.AI")), ai);
        QCOMPARE(readBytes(mod + QStringLiteral("/AI/BotNames.AI")), DemoGame::botNamesFile(DemoGame::BotNames));
        QCOMPARE(readBytes(mod + QStringLiteral("/python/game/scoringCommon.py")), scoringBefore);
    }

    // The mod selection comes up alone: the other four windows cost more to make than it does, so they are
    // made once it has been painted (the program icon test sees that), or at once when a mod is chosen sooner,
    // before the load they follow.
    void otherWindowsMadeByAnEarlyChoice()
    {
        DemoGameFolder game;
        RecordingPrompter prompter;
        RecordingSounds sounds;
        Editor editor(prompter, sounds);
        QVERIFY(startOn(editor, game));
        const Editor::Windows before = editor.madeWindows();
        QVERIFY(!before.main && !before.edit && !before.save && !before.level);
        auto* mods = before.select->findChild<QListWidget*>(QStringLiteral("ListMods"));
        mods->setCurrentItem(mods->findItems(DemoGame::CompleteMod, Qt::MatchExactly).value(0));
        QTest::keyClick(mods, Qt::Key_Return);
        FormMain* main = editor.madeWindows().main;
        QCOMPARE(visibleOnly(editor), static_cast<QWidget*>(main));
        QCOMPARE(main->findChild<QListWidget*>(QStringLiteral("ListBotNames"))->count(), DemoGame::BotNames.size());
    }

    void programIcon_data()
    {
        QTest::addColumn<bool>("boxFirst");
        QTest::newRow("once the mod selection is painted") << false;
        QTest::newRow("with a box that comes first") << true;
    }

    // The program's icon is given once its first window is painted (not needed before, which keeps the start
    // fast), or before a box or dialog that comes first. The other four windows are made with it, none shown.
    void programIcon()
    {
        QFETCH(bool, boxFirst);
        QGuiApplication::setWindowIcon(QIcon());
        if (boxFirst) {
            QtPrompter prompter;
            QTimer::singleShot(0, [] {
                if (QWidget* box = QApplication::activeModalWidget())
                    box->close();
            });
            prompter.critical(QStringLiteral("An error has occured!"));
        } else {
            DemoGameFolder game;
            Editor editor;
            QVERIFY(startOn(editor, game));
            QVERIFY(QTest::qWaitForWindowExposed(editor.madeWindows().select));
            QTRY_VERIFY(!QGuiApplication::windowIcon().isNull());
            const Editor::Windows made = editor.madeWindows();
            QVERIFY(made.main && made.edit && made.save && made.level);
            QCOMPARE(visibleOnly(editor), static_cast<QWidget*>(made.select));
        }
        const QList<QSize> sizes = QGuiApplication::windowIcon().availableSizes();
        QVERIFY(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(256, 256)));
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
