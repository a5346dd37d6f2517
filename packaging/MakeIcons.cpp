#include "widgets/Artwork.h"
#include "widgets/TextStyle.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>
#include <QTextStream>

// gx3190-icons FOLDER ID: writes FOLDER/<n>x<n>/apps/ID.png for every size of the program's own icon, so
// that the desktop shows exactly the picture the windows carry.
int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        QTextStream(stderr) << "usage: gx3190-icons FOLDER ID\n";
        return 2;
    }
    TextStyle::install();
    const QIcon icon = Artwork::applicationIcon();
    for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
        const QImage image = icon.pixmap(QSize(side, side), 1.0).toImage();
        // A size the icon does not hold would come back scaled from another one: blurry, so refused.
        if (image.size() != QSize(side, side)) {
            QTextStream(stderr) << "the application icon has no " << side << " x " << side << " picture\n";
            return 1;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args.at(1)).arg(side);
        QSaveFile file(folder + QLatin1Char('/') + args.at(2) + QStringLiteral(".png"));
        if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
            QTextStream(stderr) << "cannot write " << file.fileName() << ": " << file.errorString() << '\n';
            return 1;
        }
    }
    return 0;
}
