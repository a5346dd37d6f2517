// Long level actions show the wait cursor for their whole length and give it back on every way out,
// failures included; a box shown in between gets the normal pointer (which the level window pushes only
// over a busy cursor, so seeing it inside a box proves the busy cursor was up).
#include "tests/support/TestSupport.h"
#include "tests/support/WindowTestSupport.h"
#include "tools/demogame/DemoGame.h"
#include "windows/EditorContext.h"
#include "windows/FormLevel.h"
#include "windows/FormMain.h"

#include <QApplication>
#include <QDir>
#include <QTest>

namespace {

int currentCursor()
{
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor ? int(cursor->shape()) : -1;
}

// Notes the cursor whenever the busy panel is shown, which happens while the archive is being extracted.
class ShowWatcher final : public QObject
{
public:
    QList<int> cursors;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            cursors.append(currentCursor());
        return false;
    }
};

} // namespace

class TestBusyCursor final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_editor = std::make_unique<DemoEditor>();
        m_editor->load(DemoGame::CompleteMod);
        m_main = m_editor->windows.main;
        m_level = m_editor->windows.level;
        m_editor->context.showOnly(m_main);
        m_editor->prompter.clear();
        m_boxCursors.clear();
        m_editor->prompter.onBox = [this](const RecordingPrompter::Box& box) {
            m_boxCursors.append({box.kind, currentCursor()});
        };
    }

    void cleanup() { m_editor.reset(); }

    void openShowsTheWaitCursorWhileExtracting()
    {
        QWidget panel;
        ShowWatcher watcher;
        panel.installEventFilter(&watcher);
        m_editor->prompter.questionAnswers = {true};
        m_level->editLevel(0, QStringLiteral("Varnholm"), &panel);
        QVERIFY(m_level->isVisible());
        QVERIFY(!watcher.cursors.isEmpty());
        QCOMPARE(watcher.cursors.constFirst(), int(Qt::WaitCursor));
        QCOMPARE(currentCursor(), -1);
    }

    void failedOpenAndSaveGiveTheCursorBack()
    {
        // A damaged archive: the open fails with a message, and the cursor is gone afterwards.
        const QString archive = levelArchive(1);
        WriteBytes(archive, QByteArray("not an archive at all"));
        m_editor->prompter.questionAnswers = {true};
        m_level->editLevel(1, QStringLiteral("Camp Ostrel"), m_main->busyPanel());
        QVERIFY(!m_level->isVisible());
        QVERIFY2(hasBusyBox(QStringLiteral("critical")), qPrintable(m_editor->prompter.texts().join(QLatin1Char('|'))));
        QCOMPARE(currentCursor(), -1);

        // A save whose archive cannot be replaced (a folder now stands in its place) fails the same way.
        m_boxCursors.clear();
        m_editor->prompter.clear();
        m_editor->prompter.questionAnswers = {true};
        m_level->editLevel(2, QStringLiteral("Quarrin Landing"), m_main->busyPanel());
        QVERIFY(m_level->isVisible());
        const QString saved = levelArchive(2);
        QVERIFY(QFile::remove(saved));
        QVERIFY(QDir().mkpath(saved + QStringLiteral("/blocker")));
        m_boxCursors.clear();
        m_editor->prompter.clear();
        auto* saveButton = m_level->findChild<QWidget*>(QStringLiteral("PictureSave"));
        QVERIFY(saveButton);
        QTest::mouseClick(saveButton, Qt::LeftButton, {}, saveButton->rect().center());
        QVERIFY2(hasBusyBox(QStringLiteral("critical")), qPrintable(m_editor->prompter.texts().join(QLatin1Char('|'))));
        QCOMPARE(currentCursor(), -1);
    }

private:
    QString levelArchive(int index) const
    {
        return m_editor->game.mod(DemoGame::CompleteMod) + QStringLiteral("/Levels/") +
               DemoGame::LevelFolders().at(index) + QStringLiteral("/server.ZIP");
    }

    bool hasBusyBox(const QString& kind) const
    {
        for (const auto& [boxKind, cursor] : m_boxCursors) {
            if (boxKind == kind && cursor == int(Qt::ArrowCursor))
                return true;
        }
        return false;
    }

    std::unique_ptr<DemoEditor> m_editor;
    FormMain* m_main = nullptr;
    FormLevel* m_level = nullptr;
    QList<QPair<QString, int>> m_boxCursors;
};

QTEST_MAIN(TestBusyCursor)
#include "tst_busycursor.moc"
