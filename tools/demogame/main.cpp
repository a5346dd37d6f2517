#include "tools/demogame/DemoGame.h"

#include <QCoreApplication>
#include <QTextStream>

// gx3190-makedemo FOLDER: writes the demo game folder.
// gx3190-makedemo --fuzz-seeds FOLDER: writes seed inputs for the fuzz harnesses into FOLDER/<harness>/.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("--fuzz-seeds")) {
        const QString error = DemoGame::writeFuzzSeeds(args.at(2));
        if (!error.isEmpty()) {
            QTextStream(stderr) << error << '\n';
            return 1;
        }
        return 0;
    }
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: gx3190-makedemo FOLDER | --fuzz-seeds FOLDER\n";
        return 2;
    }
    const QString error = DemoGame::create(args.at(1));
    if (!error.isEmpty()) {
        QTextStream(stderr) << error << '\n';
        return 1;
    }
    return 0;
}
