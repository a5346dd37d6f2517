#include "app/Console.h"
#include "app/Editor.h"
#include "cli/CommandLine.h"
#include "startup/StartUp.h"
#include "widgets/TextStyle.h"

#include <QApplication>
#include <QSettings>

int main(int argc, char** argv)
{
    StartUp::prepareProcess();
    // Any argument asks for the command-line mode, which needs no display: no QApplication is made for it.
    if (argc > 1) {
        Console::attachToParent();
        const QCoreApplication app(argc, argv);
        return CommandLine::run(QCoreApplication::arguments());
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("GX3190 Editor"));
    // Ties the windows to the installed desktop entry (its icon and name in docks, the app id on Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.gx3190editor.GX3190Editor"));
    // The window icon follows once the first window has been painted (Editor).
    // Windows are hidden and shown, never closed; the program ends only when the user says so.
    QApplication::setQuitOnLastWindowClosed(false);
    TextStyle::install();

    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("GX3190_SP"),
                    QStringLiteral("GX3190_SP"));
    Editor editor;
    if (!editor.start(store))
        return 0;
    return QApplication::exec();
}
