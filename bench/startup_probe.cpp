// The editor's start as app/main.cpp makes it, ending as soon as the mod selection window has painted
// (or, with --open-mod, once the demo mod is opened through that window and the main window has painted),
// so that a parent can time the whole process and read its peak memory.
#include "app/Editor.h"
#include "startup/StartUp.h"
#include "tools/demogame/DemoGame.h"
#include "widgets/TextStyle.h"
#include "windows/FormMain.h"
#include "windows/FormSelect.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QSettings>
#include <QTimer>

namespace {

// Watches the whole program, since the main window does not exist before the mod selection is on screen.
class FirstPaint final : public QObject
{
public:
    FirstPaint(std::function<QWidget*()> window, std::function<void()> then)
        : m_window(std::move(window)), m_then(std::move(then))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_then && watched == m_window()) {
            // After this paint has finished, as a user would see it.
            QTimer::singleShot(0, m_then);
            m_then = nullptr;
        }
        return false;
    }

private:
    std::function<QWidget*()> m_window;
    std::function<void()> m_then;
};

} // namespace

int main(int argc, char** argv)
{
    StartUp::prepareProcess();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("GX3190 Editor"));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.gx3190editor.GX3190Editor"));
    QApplication::setQuitOnLastWindowClosed(false);
    TextStyle::install();
    const bool openMod = app.arguments().contains(QLatin1String("--open-mod"));

    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("GX3190_SP"),
                    QStringLiteral("GX3190_SP"));
    Editor editor;
    FormSelect* select = editor.madeWindows().select;
    // Anything that waits for the user (a message box, the folder dialog) means the start went wrong.
    QTimer::singleShot(20000, [] { QCoreApplication::exit(3); });

    FirstPaint mainPainted([&editor] { return editor.madeWindows().main; }, [] { QCoreApplication::exit(0); });
    // With --open-mod, the demo mod is opened through the list, as Enter on it does.
    const auto openDemoMod = [select, openMod] {
        if (!openMod) {
            QCoreApplication::exit(0);
            return;
        }
        auto* list = select->findChild<QListWidget*>(QStringLiteral("ListMods"));
        const QList<QListWidgetItem*> found =
            list ? list->findItems(DemoGame::CompleteMod, Qt::MatchExactly) : QList<QListWidgetItem*>();
        if (found.isEmpty()) {
            QCoreApplication::exit(4);
            return;
        }
        list->setCurrentItem(found.constFirst());
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(list, &enter);
    };
    FirstPaint selectPainted([select] { return select; }, openDemoMod);
    if (!editor.start(store))
        return 2;
    return QApplication::exec();
}
