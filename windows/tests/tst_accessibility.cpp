// The editor without a mouse: every control of the real windows made by Editor reachable with Tab and named for
// a screen reader after its caption; the pictures act through the assistive tools, the sliders by the keys.
#include "modfiles/ModSettings.h"
#include "tests/support/WindowTestSupport.h"
#include "tools/demogame/DemoGame.h"
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
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

using namespace TestSupport;

namespace {

QString SpokenName(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

} // namespace

class TestAccessibility final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TextStyle::install(); }

    // What a screen reader says where a name is more than a form's accessible name: the mod list takes its caption's
    // text, the minimise picture (no word on it) the name its window gives it, a check picture its buddy caption's
    // with the doubled "&" read as one, and a drop-down list has its caption through the label relation. And no
    // control of the five windows goes unnamed.
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
                    {c.main, "ComboLevels", "Edit Level Settings:"},
                    {c.main, "PictureMini", "Minimise"},
                    {c.save, "PictureBSMB", "Bot Skill & Max Bots"}};
        for (const auto& row : rows) {
            QWidget* widget = control<QWidget>(row.window, row.control);
            QVERIFY(widget);
            // A drop-down list on Linux speaks its current entry as its name and its caption, as written, as its
            // label.
            QStringList heard;
            if (qobject_cast<QComboBox*>(widget)) {
                for (const auto& relation :
                     QAccessible::queryAccessibleInterface(widget)->relations(QAccessible::Label))
                    heard.append(relation.first->text(QAccessible::Name));
            } else {
                heard.append(SpokenName(widget));
            }
            QCOMPARE(heard, QStringList{QString::fromLatin1(row.name)});
        }

        // No control a user can act on, or whose value the user reads, is left without a name, speaks its caption's
        // colon, or is out of Tab's reach. The score edit window is seen as it comes up, editing a score.
        e.load(DemoGame::CompleteMod);
        c.edit->BeginScoreEdit(0);
        QStringList nameless;
        for (QWidget* window :
             {static_cast<QWidget*>(c.main), static_cast<QWidget*>(c.select), static_cast<QWidget*>(c.edit),
              static_cast<QWidget*>(c.save), static_cast<QWidget*>(c.level)}) {
            QVERIFY2(!SpokenName(window).isEmpty(), qPrintable(window->objectName()));
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
                    nameless.append(window->objectName() + QLatin1Char('.') + id);
                // Every control is reached with Tab.
                if (control && !(widget->focusPolicy() & Qt::TabFocus))
                    nameless.append(window->objectName() + QLatin1Char('.') + id + QStringLiteral(" (no Tab)"));
            }
        }
        QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(QStringLiteral(", "))));
    }

    // The score edit window's spin bar and value are named after the score being edited; pictures act through the
    // tool.
    void namesAndActionsFollowTheState()
    {
        DemoEditor e;
        e.load(DemoGame::CompleteMod);
        FormEdit* edit = e.windows.edit;
        auto* caption = control<QLabel>(edit, "LabelLScore");
        auto* bar = control<QWidget>(edit, "VScrollNum");
        auto* value = control<QWidget>(edit, "LabelScore");
        QStringList heard;
        for (const int row : {0, 5}) {
            edit->BeginScoreEdit(row);
            QCOMPARE(SpokenName(bar), caption->text());
            QCOMPARE(SpokenName(value), caption->text());
            heard.append(SpokenName(bar));
            QTest::keyClick(control<QWidget>(edit, "PictureCancel"), Qt::Key_Space);
        }
        QVERIFY2(heard.at(0) != heard.at(1), qPrintable(heard.join(QStringLiteral(" / "))));

        // Assistive tools see push buttons and check boxes, and pressing them through the tool acts as a click.
        e.context.showOnly(e.windows.main);
        QAccessibleInterface* save =
            QAccessible::queryAccessibleInterface(control<QWidget>(e.windows.main, "PictureSave"));
        QVERIFY(save && save->actionInterface());
        QCOMPARE(save->role(), QAccessible::Button);
        QCOMPARE(save->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
        e.sounds.played.clear();
        save->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(e.sounds.played, QList<ClickSound>{ClickSound::Button});
        QCOMPARE(visibleOnly(e.editor), e.windows.save);

        auto* friendlyFire = control<CheckPicture>(e.windows.save, "PictureFF");
        QAccessibleInterface* check = QAccessible::queryAccessibleInterface(friendlyFire);
        QVERIFY(check && check->actionInterface());
        QCOMPARE(check->role(), QAccessible::CheckBox);
        QVERIFY(check->state().checkable && check->state().checked);
        e.sounds.played.clear();
        check->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(!check->state().checked && !friendlyFire->isOn() && !e.context.mod.saveFlag(ModFile::ServerSettings));
        QCOMPARE(e.sounds.played, QList<ClickSound>{ClickSound::ListOrCheck});
    }

    // The slider steps from the knob's drawn place, with its sound, and stops at the track's ends.
    void slidersByKeyboard()
    {
        DemoEditor e;
        e.load(DemoGame::CompleteMod);
        auto* bots = control<BotSlider>(e.windows.main, "PictureSliderBGMB");
        e.sounds.played.clear();
        // Max bots was loaded between pixels (32 bots); a step lands on the next whole pixel.
        QTest::keyClick(bots, Qt::Key_Right);
        QCOMPARE(bots->knobLeft(), 20.0f);
        QCOMPARE(e.context.mod.value(ModFiles::maxBotsValue()), SliderMath::value(SliderMath::Slider::MaxBots, 20.0f));
        QTest::keyClick(bots, Qt::Key_End);
        QCOMPARE(caption(e.windows.main, "LabelMaxBots"), QStringLiteral("256"));
        QTest::keyClick(bots, Qt::Key_PageUp);
        QCOMPARE(bots->knobLeft(), SliderMath::RightEnd);
        QTest::keyClick(bots, Qt::Key_Home);
        QTest::keyClick(bots, Qt::Key_Left);
        QCOMPARE(e.context.mod.value(ModFiles::maxBotsValue()), 1);
        QCOMPARE(e.sounds.played, QList<ClickSound>(5, ClickSound::BarOrSlider));
        QTest::keyClick(bots, Qt::Key_A);
        QCOMPARE(e.sounds.played.size(), 5);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
