// The editor without a mouse: the real windows made by Editor, reached with Tab and driven with Space and
// Enter, and every control named for a screen reader after its caption.
#include "levels/FormLevel.h"
#include "mainwindow/FormEdit.h"
#include "mainwindow/FormMain.h"
#include "mainwindow/FormSave.h"
#include "movies/IntroSwitch.h"
#include "shell/Accessibility.h"
#include "shell/CheckPicture.h"
#include "shell/Editor.h"
#include "shell/EditorContext.h"
#include "shell/FormSelect.h"
#include "shell/ImageButton.h"
#include "shell/TextStyle.h"
#include "tests/support/TestSupport.h"
#include "tools/demogame/DemoGame.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <QTest>

#include <memory>

namespace {

// The program as it starts on the demo game, with the boxes and sounds recorded.
struct Program
{
    DemoGameFolder game;
    QTemporaryDir storeDir;
    RecordingPrompter prompter;
    RecordingSounds sounds;
    std::unique_ptr<QSettings> store;
    std::unique_ptr<Editor> editor;

    Program()
    {
        store = std::make_unique<QSettings>(storeDir.path() + QStringLiteral("/store.ini"), QSettings::IniFormat);
        store->setValue(QStringLiteral("Paths/GXPath"), game.path);
        editor = std::make_unique<Editor>(prompter, sounds);
    }

    EditorContext& context() const { return editor->context(); }

    QWidget* visibleOnly() const
    {
        const QList<QWidget*> visible = context().visibleWindows();
        return visible.size() == 1 ? visible.first() : nullptr;
    }
};

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
    void namesAfterCaptions_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        const auto row = [](const char* window, const char* control, const char* name) {
            QTest::addRow("%s %s", window, control)
                << QString::fromLatin1(window) << QString::fromLatin1(control) << QString::fromLatin1(name);
        };
        row("FormSelect", "ListMods", "Select Mod To Edit");
        row("FormSelect", "PictureEdit", "Edit");
        row("FormMain", "LabelSFD", "Soldier Friendly Damage");
        row("FormMain", "VScrollSFD", "Soldier Friendly Damage");
        row("FormMain", "VScrollVFD", "Vehicle Friendly Damage");
        row("FormMain", "LabelSSD", "Soldier Splash Damage");
        row("FormMain", "VScrollVSD", "Vehicle Splash Damage");
        row("FormMain", "LabelBotSkill", "Bot Skill");
        row("FormMain", "PictureSliderBGBS", "Bot Skill");
        row("FormMain", "PictureSliderBGMB", "Max Bots");
        row("FormMain", "ListBotNames", "Bot Names");
        row("FormMain", "TextNewBot", "Add New Bot Name");
        row("FormMain", "ListScores", "Edit Scores");
        row("FormMain", "ComboLevels", "Edit Level Settings");
        row("FormMain", "PictureAdd", "Add");
        row("FormMain", "PictureSave", "Save");
        row("FormMain", "PictureExit", "Exit");
        row("FormMain", "PictureMini", "Minimise");
        row("FormSave", "PictureFF", "Friendly Fire");
        row("FormSave", "PictureScore", "Score List");
        row("FormSave", "PictureBSMB", "Bot Skill & Max Bots");
        row("FormSave", "PictureBotNames", "Bot Names");
        row("FormSave", "PictureIntro", "Intro");
        row("FormSave", "PictureCancel", "Cancel");
        row("FormEdit", "PictureAccept", "Accept");
        row("FormLevel", "PictureColdBreath", "Cold Breath");
        row("FormLevel", "VScrollMaxView", "Max View Distance");
        row("FormLevel", "LabelPT16", "Pac Tickets (16)");
        row("FormLevel", "VScrollET128", "EU Tickets (128)");
        row("FormLevel", "VScrollELPM", "EU Ticket Loss P/Min");
        row("FormLevel", "LabelLevel", "Editing");
    }

    void namesAfterCaptions()
    {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QString, name);
        Program program;
        QWidget* form = nullptr;
        for (QWidget* candidate : QApplication::topLevelWidgets()) {
            if (candidate->objectName() == window)
                form = candidate;
        }
        QVERIFY2(form, qPrintable(window));
        QWidget* widget = form->findChild<QWidget*>(control);
        QVERIFY2(widget, qPrintable(control));
        QCOMPARE(widget->accessibleName(), name);
        // A drop-down list on Linux speaks its current entry as its name and its caption as its label.
        if (qobject_cast<QComboBox*>(widget)) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
            QVERIFY(face);
            QStringList labels;
            for (const auto& relation : face->relations(QAccessible::Label))
                labels.append(Accessibility::SpokenCaption(relation.first->text(QAccessible::Name)));
            QCOMPARE(labels, QStringList{name});
        } else {
            QCOMPARE(SpokenName(widget), name);
        }
    }

    // No control a user can act on, or whose value the user reads, is left without a name.
    void everyControlHasAName()
    {
        Program program;
        const EditorContext& context = program.context();
        const QList<QWidget*> windows{context.main, context.select, context.edit, context.save, context.level};
        QStringList nameless;
        for (QWidget* window : windows) {
            QVERIFY(window);
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
        // The windows are frameless, so their titles never show; they name the program to the desktop.
        QCOMPARE(context.select->windowTitle(), QStringLiteral("GX3190 Editor"));
    }

    // The score edit window's caption is the score being edited, and its spin bar is named after it.
    void scoreNameFollowsTheEditedScore()
    {
        Program program;
        QVERIFY(program.editor->start(*program.store));
        FormSelect* select = program.context().select;
        auto* mods = select->findChild<QListWidget*>(QStringLiteral("ListMods"));
        const QList<QListWidgetItem*> found = mods->findItems(DemoGame::CompleteMod, Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        mods->setCurrentItem(found.constFirst());
        QTest::keyClick(mods, Qt::Key_Return);
        QCOMPARE(program.visibleOnly(), static_cast<QWidget*>(program.context().main));

        FormEdit* edit = program.context().edit;
        auto* caption = edit->findChild<QLabel*>(QStringLiteral("LabelLScore"));
        auto* bar = edit->findChild<QWidget*>(QStringLiteral("VScrollNum"));
        QVERIFY(caption && bar);
        QStringList heard;
        for (const int row : {0, 5}) {
            edit->BeginScoreEdit(row);
            QCOMPARE(program.visibleOnly(), static_cast<QWidget*>(edit));
            QVERIFY(!caption->text().isEmpty());
            QCOMPARE(SpokenName(bar), Accessibility::SpokenCaption(caption->text()));
            heard.append(SpokenName(bar));
            QTest::keyClick(edit->findChild<ImageButton*>(QStringLiteral("PictureCancel")), Qt::Key_Space);
            QCOMPARE(program.visibleOnly(), static_cast<QWidget*>(program.context().main));
        }
        QVERIFY2(heard.at(0) != heard.at(1), qPrintable(heard.join(QStringLiteral(" / "))));
    }

    // Assistive tools see push buttons and check boxes, and pressing them through the tool acts as a click.
    void picturesAreButtonsAndChecks()
    {
        Program program;
        QVERIFY(program.editor->start(*program.store));
        EditorContext& context = program.context();
        auto* mods = context.select->findChild<QListWidget*>(QStringLiteral("ListMods"));
        mods->setCurrentItem(mods->findItems(DemoGame::CompleteMod, Qt::MatchExactly).value(0));
        QTest::keyClick(mods, Qt::Key_Return);
        QCOMPARE(program.visibleOnly(), static_cast<QWidget*>(context.main));

        QAccessibleInterface* save =
            QAccessible::queryAccessibleInterface(context.main->findChild<ImageButton*>(QStringLiteral("PictureSave")));
        QVERIFY(save && save->actionInterface());
        QCOMPARE(save->role(), QAccessible::Button);
        QCOMPARE(save->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
        program.sounds.played.clear();
        save->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(program.sounds.played, QList<int>{1});
        QCOMPARE(program.visibleOnly(), static_cast<QWidget*>(context.save));

        auto* friendlyFire = context.save->findChild<CheckPicture*>(QStringLiteral("PictureFF"));
        QAccessibleInterface* check = QAccessible::queryAccessibleInterface(friendlyFire);
        QVERIFY(check && check->actionInterface());
        QCOMPARE(check->role(), QAccessible::CheckBox);
        QVERIFY(check->state().checkable);
        for (int turn = 0; turn < 2; ++turn) {
            const bool wasOn = friendlyFire->isOn();
            QCOMPARE(bool(check->state().checked), wasOn);
            program.sounds.played.clear();
            check->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            QCOMPARE(friendlyFire->isOn(), !wasOn);
            QCOMPARE(bool(check->state().checked), !wasOn);
            QCOMPARE(program.sounds.played, QList<int>{2});
        }
    }

    // From the mod selection to the save window and back, with the keyboard alone.
    void keyboardOnlyRound()
    {
        Program program;
        QVERIFY(program.editor->start(*program.store));
        EditorContext& context = program.context();
        FormSelect* select = context.select;
        QVERIFY(Activate(select));

        // Down arrow selects a mod, Tab reaches EDIT, Space opens the mod.
        auto* mods = select->findChild<QListWidget*>(QStringLiteral("ListMods"));
        QVERIFY(TabTo(select, mods));
        const int wanted = mods->row(mods->findItems(DemoGame::CompleteMod, Qt::MatchExactly).value(0));
        QVERIFY(wanted >= 0);
        for (int step = 0; step < mods->count() && mods->currentRow() < wanted; ++step)
            QTest::keyClick(mods, Qt::Key_Down);
        QCOMPARE(mods->currentRow(), wanted);
        auto* open = select->findChild<ImageButton*>(QStringLiteral("PictureEdit"));
        QVERIFY(TabTo(select, open));
        program.sounds.played.clear();
        PressAndRelease(open, Qt::Key_Space);
        // The button's click comes first; showing the loaded values may add the spin bars' own.
        QVERIFY(!program.sounds.played.isEmpty());
        QCOMPARE(program.sounds.played.first(), 1);
        QCOMPARE(program.visibleOnly(), static_cast<QWidget*>(context.main));
        QCOMPARE(program.context().mod.ModFolder, program.game.mod(DemoGame::CompleteMod));

        // Exit by keyboard asks the described question; No keeps everything.
        FormMain* main = context.main;
        QVERIFY(Activate(main));
        auto* exitButton = main->findChild<ImageButton*>(QStringLiteral("PictureExit"));
        QVERIFY(TabTo(main, exitButton));
        program.prompter.questionAnswers.push_back(false);
        PressAndRelease(exitButton, Qt::Key_Return);
        QCOMPARE(program.prompter.texts(), QStringList{QStringLiteral("Do you want to exit?")});
        QCOMPARE(program.prompter.kinds(), QStringList{QStringLiteral("question")});
        QCOMPARE(program.visibleOnly(), static_cast<QWidget*>(main));

        // Enter on SAVE opens the save window.
        auto* save = main->findChild<ImageButton*>(QStringLiteral("PictureSave"));
        QVERIFY(TabTo(main, save));
        program.sounds.played.clear();
        PressAndRelease(save, Qt::Key_Enter);
        QCOMPARE(program.sounds.played, QList<int>{1});
        FormSave* saveWindow = context.save;
        QCOMPARE(program.visibleOnly(), static_cast<QWidget*>(saveWindow));
        QVERIFY(Activate(saveWindow));

        // A save check turns over on Space with sound 2, the intro switch with sound 1, as on a click.
        auto* friendlyFire = saveWindow->findChild<CheckPicture*>(QStringLiteral("PictureFF"));
        QVERIFY(TabTo(saveWindow, friendlyFire));
        const bool wasOn = friendlyFire->isOn();
        program.sounds.played.clear();
        QTest::keyClick(friendlyFire, Qt::Key_Space);
        QCOMPARE(friendlyFire->isOn(), !wasOn);
        QCOMPARE(program.sounds.played, QList<int>{2});
        QTest::keyClick(friendlyFire, Qt::Key_Return);
        QCOMPARE(friendlyFire->isOn(), wasOn);

        auto* intro = saveWindow->findChild<CheckPicture*>(QStringLiteral("PictureIntro"));
        QVERIFY(TabTo(saveWindow, intro));
        program.sounds.played.clear();
        program.prompter.clear();
        const bool introWasOn = intro->isOn();
        // Whatever the switch asks first, the user says yes.
        program.prompter.questionAnswers.assign(2, true);
        QTest::keyClick(intro, Qt::Key_Space);
        QCOMPARE(program.sounds.played.value(0), 1);
        QCOMPARE(intro->isOn(), !introWasOn);
        QCOMPARE(intro->isOn(), context.intro.IntroOn());

        // CANCEL by keyboard goes home without writing anything.
        const QByteArray serverBefore =
            ReadBytes(program.game.mod(DemoGame::CompleteMod) + QStringLiteral("/Settings/ServerSettings.CON"));
        auto* cancel = saveWindow->findChild<ImageButton*>(QStringLiteral("PictureCancel"));
        QVERIFY(TabTo(saveWindow, cancel));
        PressAndRelease(cancel, Qt::Key_Space);
        QCOMPARE(program.visibleOnly(), static_cast<QWidget*>(main));
        QCOMPARE(ReadBytes(program.game.mod(DemoGame::CompleteMod) + QStringLiteral("/Settings/ServerSettings.CON")),
                 serverBefore);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
