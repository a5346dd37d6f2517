#include "widgets/Artwork.h"
#include "widgets/TextStyle.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>
#include <QTextStream>
#include <QtEndian>

#include <vector>

namespace {

void appendLittleEndian16(QByteArray& bytes, int value)
{
    char data[2];
    qToLittleEndian(static_cast<quint16>(value), data);
    bytes.append(data, 2);
}

void appendLittleEndian32(QByteArray& bytes, qsizetype value)
{
    char data[4];
    qToLittleEndian(static_cast<quint32>(value), data);
    bytes.append(data, 4);
}

} // namespace

// gx3190-ico FILE: writes the program's own icon as a Windows icon file, every size as a PNG picture (which
// Windows reads since Vista), for the executable's resources; the same pictures as the Linux menu icons.
int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: gx3190-ico FILE\n";
        return 2;
    }
    TextStyle::install();
    const QIcon icon = Artwork::applicationIcon();
    const int sides[] = {16, 24, 32, 48, 64, 128, 256};
    std::vector<QByteArray> pictures;
    for (const int side : sides) {
        const QImage image = icon.pixmap(QSize(side, side), 1.0).toImage();
        if (image.size() != QSize(side, side)) {
            QTextStream(stderr) << "the application icon has no " << side << " x " << side << " picture\n";
            return 1;
        }
        QByteArray png;
        QBuffer buffer(&png);
        if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
            QTextStream(stderr) << "cannot encode the " << side << " x " << side << " picture\n";
            return 1;
        }
        pictures.push_back(png);
    }

    // The icon file: a header, one directory entry per picture, then the pictures.
    QByteArray ico;
    appendLittleEndian16(ico, 0);
    appendLittleEndian16(ico, 1);
    appendLittleEndian16(ico, static_cast<int>(pictures.size()));
    qsizetype offset = 6 + 16 * static_cast<qsizetype>(pictures.size());
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        // A side of 256 does not fit the byte; 0 stands for it.
        ico.append(static_cast<char>(sides[i] % 256));
        ico.append(static_cast<char>(sides[i] % 256));
        ico.append('\0');
        ico.append('\0');
        appendLittleEndian16(ico, 1);
        appendLittleEndian16(ico, 32);
        appendLittleEndian32(ico, pictures[i].size());
        appendLittleEndian32(ico, offset);
        offset += pictures[i].size();
    }
    for (const QByteArray& png : pictures)
        ico.append(png);

    QSaveFile file(args.at(1));
    if (!file.open(QIODevice::WriteOnly) || file.write(ico) != ico.size() || !file.commit()) {
        QTextStream(stderr) << "cannot write " << file.fileName() << ": " << file.errorString() << '\n';
        return 1;
    }
    return 0;
}
