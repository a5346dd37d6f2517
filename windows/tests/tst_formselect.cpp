#include "windows/FormSelect.h"

#include "modfiles/ModSettings.h"
#include "movies/IntroSwitch.h"
#include "startup/StartUp.h"
#include "tests/support/WindowTestSupport.h"
#include "tools/demogame/DemoGame.h"
#include "widgets/ImageButton.h"
#include "widgets/TextStyle.h"
#include "windows/EditorContext.h"
#include "windows/FormMain.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

class TestFormSelect final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DemoEditor> m_e;

    FormSelect* select() const { return m_e->windows.select; }
    QListWidget* list() const { return Control<QListWidget>(select(), "ListMods"); }
    ImageButton* edit() const { return Control<ImageButton>(select(), "PictureEdit"); }
    QPoint rowCentre(const QString& mod) const
    {
        const QList<QListWidgetItem*> found = list()->findItems(mod, Qt::MatchExactly);
        return found.isEmpty() ? QPoint() : list()->visualItemRect(found.constFirst()).center();
    }
    // Nothing opened: the selection is still the one window, with no mod chosen.
    void expectNothingOpened() const
    {
        QCOMPARE(VisibleOnly(m_e->editor), select());
        QVERIFY(m_e->mod().ModFolder.isEmpty());
        QVERIFY(m_e->prompter.boxes.isEmpty());
    }

private slots:
    void initTestCase() { TextStyle::Install(); }
    void init()
    {
        m_e = std::make_unique<DemoEditor>();
        m_e->mod().ModsPath = m_e->game.path + QStringLiteral("mods/");
        select()->setMods(StartUp::ListMods(m_e->mod().ModsPath));
        m_e->context.showOnly(select());
        QVERIFY(QTest::qWaitForWindowExposed(select()));
    }
    void cleanup() { m_e.reset(); }

    void layout()
    {
        QCOMPARE(select()->size(), QSize(137, 121));
        auto* label = Control<QLabel>(select(), "LabelLSelectMod");
        QCOMPARE(label->geometry(), QRect(8, 8, 121, 17));
        QCOMPARE(label->text(), QStringLiteral("Select Mod To Edit"));
        QVERIFY(label->font().bold());
        QCOMPARE(label->font().pointSizeF(), 9.75);
        QCOMPARE(list()->geometry(), QRect(8, 24, 121, 66));
        QCOMPARE(list()->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(list()->font().pointSizeF(), 8.25);
        QCOMPARE(edit()->geometry(), QRect(8, 96, 121, 18));
        QCOMPARE(edit()->word(), QStringLiteral("EDIT"));
        // Bare names, in the order start-up gave them, shown as rows.
        const QStringList mods{DemoGame::NamesOnlyMod, DemoGame::CompleteMod, DemoGame::LowerCaseMod};
        QCOMPARE(select()->mods(), mods);
        QCOMPARE(Rows(list()), mods);
        SaveScreenshot(select(), QStringLiteral("FormSelect.png"));
    }

    void clicksThatOpenNothing()
    {
        // EDIT without a selection only clicks.
        QVERIFY(list()->selectedItems().isEmpty());
        QTest::mouseClick(edit(), Qt::LeftButton, {}, QPoint(60, 9));
        QCOMPARE(m_e->sounds.played, QList<ClickSound>{ClickSound::Button});
        QVERIFY(!edit()->isDown());
        expectNothingOpened();

        // A double-click on the empty space under the rows opens nothing.
        DoubleClick(list()->viewport(), QPoint(60, 60));
        expectNothingOpened();

        // With a mod selected, the other mouse buttons on EDIT do nothing, not even a sound.
        m_e->sounds.played.clear();
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(DemoGame::CompleteMod));
        QTest::mouseClick(edit(), Qt::RightButton, {}, QPoint(60, 9));
        QTest::mouseClick(edit(), Qt::MiddleButton, {}, QPoint(60, 9));
        QVERIFY(m_e->sounds.played.isEmpty());
        expectNothingOpened();
    }

    void openTheMod_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("mod");
        QTest::addColumn<bool>("unreadable");
        QTest::newRow("double-click") << QStringLiteral("double-click") << DemoGame::CompleteMod << false;
        // Anywhere on the list, not only on a row.
        QTest::newRow("double-click below the rows")
            << QStringLiteral("double-click below") << DemoGame::CompleteMod << false;
        QTest::newRow("edit button") << QStringLiteral("edit") << DemoGame::CompleteMod << false;
        QTest::newRow("enter key") << QStringLiteral("enter") << DemoGame::CompleteMod << false;
        // The name is appended as listed, whatever its case.
        QTest::newRow("lower-case mod") << QStringLiteral("edit") << DemoGame::LowerCaseMod << false;
        QTest::newRow("mixed-case mod") << QStringLiteral("enter") << DemoGame::NamesOnlyMod << false;
#ifdef Q_OS_LINUX
        // The load's report comes over the main window, not over no window at all.
        QTest::newRow("unreadable file") << QStringLiteral("edit") << DemoGame::CompleteMod << true;
#endif
    }

    void openTheMod()
    {
        QFETCH(QString, how);
        QFETCH(QString, mod);
        QFETCH(bool, unreadable);
        if (unreadable) {
            const QString ai = m_e->game.mod(mod) + QStringLiteral("/AI/AIDefault.AI");
            QVERIFY(QFile::remove(ai) && QFile::link(QStringLiteral("/proc/self/mem"), ai));
        }
        // The selection window is gone before the mod is read, and the main window is up for any report.
        QList<QWidget*> shownAtLoad{select()};
        connect(&m_e->mod(), &ModSettings::loaded, select(),
                [this, &shownAtLoad] { shownAtLoad = m_e->editor.visibleWindows(); });
        QList<QWidget*> shownAtBox;
        m_e->prompter.onBox = [this, &shownAtBox](const RecordingPrompter::Box&) {
            shownAtBox = m_e->editor.visibleWindows();
        };
        const QPoint row = rowCentre(mod);
        QVERIFY(!row.isNull());
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, row);
        // This window plays only the button click; the main window's controls may click as they take the
        // loaded values, which is theirs to decide.
        if (how == QLatin1String("double-click")) {
            DoubleClick(list()->viewport(), row);
        } else if (how == QLatin1String("double-click below")) {
            QVERIFY(!list()->itemAt(QPoint(60, 60)));
            DoubleClick(list()->viewport(), QPoint(60, 60));
        } else if (how == QLatin1String("edit")) {
            QTest::mouseClick(edit(), Qt::LeftButton, {}, QPoint(60, 9));
            QCOMPARE(m_e->sounds.played.value(0), ClickSound::Button);
        } else {
            list()->setFocus();
            QTest::keyClick(list(), Qt::Key_Return);
        }
        QCOMPARE(m_e->sounds.played.count(ClickSound::Button), how == QLatin1String("edit") ? 1 : 0);
        QCOMPARE(m_e->mod().ModFolder, m_e->mod().ModsPath + mod);
        QCOMPARE(VisibleOnly(m_e->editor), m_e->windows.main);
        QCOMPARE(shownAtLoad, QList<QWidget*>());
        QCOMPARE(m_e->prompter.kinds(), unreadable ? QStringList{QStringLiteral("critical")} : QStringList());
        if (unreadable)
            QCOMPARE(shownAtBox, QList<QWidget*>{m_e->windows.main});
        if (mod == DemoGame::CompleteMod) {
            QCOMPARE(m_e->mod().BotNames(), DemoGame::BotNames);
            QVERIFY(m_e->context.intro.IntroOn());
        }
    }

    void closeRequestEndsTheProgram()
    {
        QSignalSpy quitting(QCoreApplication::instance(), &QCoreApplication::aboutToQuit);
        QTimer::singleShot(0, select(), [this] { select()->close(); });
        // Only a guard against hanging the run if the request were ignored; the result is what is checked.
        QTimer::singleShot(20000, QCoreApplication::instance(), [] { QCoreApplication::exit(2); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(quitting.count(), 1);
        QVERIFY(m_e->prompter.boxes.isEmpty());
    }
};

QTEST_MAIN(TestFormSelect)
#include "tst_formselect.moc"
