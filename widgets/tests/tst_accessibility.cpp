// The editor without a mouse: every control of the real windows made by Editor reachable with Tab and named for
// a screen reader after its caption; the pictures act through the assistive tools, the sliders by the keys.
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

    // What a screen reader says for the controls of the five windows, and that none goes unnamed.
    void namesAfterCaptions()
    {
        DemoEditor e;
        const Editor::Windows c = e.windows;
        const struct
        {
            QWidget* window;
            const char* control;
            const char* name;
        } rows[] = {{c.select, "ListMods", "Select Mod To Edit"},    {c.main, "LabelSFD", "Soldier Friendly Damage"},
                    {c.main, "VScrollVSD", "Vehicle Splash Damage"}, {c.main, "PictureSliderBGMB", "Max Bots"},
                    {c.main, "TextNewBot", "Add New Bot Name"},      {c.main, "ListScores", "Edit Scores"},
                    {c.main, "ComboLevels", "Edit Level Settings"},  {c.main, "PictureMini", "Minimise"},
                    {c.save, "PictureBSMB", "Bot Skill & Max Bots"}, {c.level, "LabelLevel", "Editing"}};
        for (const auto& row : rows) {
            QWidget* widget = control<QWidget>(row.window, row.control);
            QVERIFY(widget);
            const QString name = QString::fromLatin1(row.name);
            QVERIFY2(widget->accessibleName() == name, row.control);
            // A drop-down list on Linux speaks its current entry as its name and its caption as its label.
            if (qobject_cast<QComboBox*>(widget)) {
                QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
                QVERIFY(face);
                QStringList labels;
                for (const auto& relation : face->relations(QAccessible::Label))
                    labels.append(Accessibility::spokenCaption(relation.first->text(QAccessible::Name)));
                QCOMPARE(labels, QStringList{name});
            } else {
                QVERIFY2(SpokenName(widget) == name, row.control);
            }
        }
        QCOMPARE(Accessibility::spokenCaption(QStringLiteral("Editing Score: ")), QStringLiteral("Editing Score"));

        // No control a user can act on, or whose value the user reads, is left without a name or out of Tab's reach.
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
                                     id.startsWith(QLatin1String("PictureSliderBG"));
                // A value label is one with a caption of its own: LabelSFD beside LabelLSFD.
                const bool valueLabel = qobject_cast<QLabel*>(widget) && id.startsWith(QLatin1String("Label")) &&
                                        !id.startsWith(QLatin1String("LabelL")) &&
                                        window->findChild<QLabel*>(QStringLiteral("LabelL") + id.mid(5));
                if ((control || valueLabel) && widget->accessibleName().isEmpty())
                    nameless.append(window->objectName() + QLatin1Char('.') + id);
                // Every control is reached with Tab.
                if (control && !(widget->focusPolicy() & Qt::TabFocus) &&
                    !id.startsWith(QLatin1String("PictureSliderBox")))
                    nameless.append(window->objectName() + QLatin1Char('.') + id + QStringLiteral(" (no Tab)"));
            }
        }
        QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(QStringLiteral(", "))));
    }

    // The score edit window's spin bar is named after the score being edited; pictures act through the tool.
    void namesAndActionsFollowTheState()
    {
        DemoEditor e;
        e.load(DemoGame::CompleteMod);
        FormEdit* edit = e.windows.edit;
        auto* caption = control<QLabel>(edit, "LabelLScore");
        auto* bar = control<QWidget>(edit, "VScrollNum");
        QStringList heard;
        for (const int row : {0, 5}) {
            edit->BeginScoreEdit(row);
            QCOMPARE(SpokenName(bar), Accessibility::spokenCaption(caption->text()));
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
