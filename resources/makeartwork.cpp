#include "widgets/Artwork.h"
#include "widgets/TextStyle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>
#include <QTextStream>
#include <QXmlStreamReader>

#include <algorithm>
#include <functional>

// gx3190-makeartwork FOLDER FORM: paints every picture the program embeds (Artwork::picturesToBuild) into
// FOLDER/<percent>/<name>.argb (Artwork::pictureBytes) and lists them in FOLDER/artwork.qrc, from which the
// build makes the bundle the program loads them from. FORM is the main window's form file: the places of its
// group plates and grooves are read from it, so that the form stays the one place that holds them.
namespace {

bool Write(const QString& path, const std::function<bool(QSaveFile&)>& fill)
{
    QSaveFile file(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !file.open(QIODevice::WriteOnly) || !fill(file) ||
        !file.commit()) {
        QTextStream(stderr) << "cannot write " << path << ": " << file.errorString() << '\n';
        return false;
    }
    return true;
}

// A rectangle as the form writes one: its x, y, width and height elements.
QRect ReadRect(QXmlStreamReader& xml)
{
    int n[4] = {};
    const char* const names[] = {"x", "y", "width", "height"};
    while (xml.readNextStartElement()) {
        const auto at = std::find_if(std::begin(names), std::end(names),
                                     [&xml](const char* name) { return xml.name() == QLatin1String(name); });
        const int value = xml.readElementText().toInt();
        if (at != std::end(names))
            n[at - std::begin(names)] = value;
    }
    return QRect(n[0], n[1], n[2], n[3]);
}

// The geometry of the form's hidden placeholders, in the form's order: those named Plate... are the group
// plates and those named Groove... the grooves, as the main window hands them to Artwork::mainBackground.
bool ReadPlaces(const QString& path, QList<QRect>& plates, QList<QRect>& grooves)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QXmlStreamReader xml(&file);
    QList<QRect>* places = nullptr;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.attributes().value(QLatin1String("name")).toString();
        if (xml.name() == QLatin1String("widget")) {
            places = name.startsWith(QLatin1String("Plate"))    ? &plates
                     : name.startsWith(QLatin1String("Groove")) ? &grooves
                                                                : nullptr;
        } else if (places && xml.name() == QLatin1String("property") && name == QLatin1String("geometry") &&
                   xml.readNextStartElement() && xml.name() == QLatin1String("rect")) {
            places->append(ReadRect(xml));
            places = nullptr;
        }
    }
    return !xml.hasError() && !plates.isEmpty();
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        QTextStream(stderr) << "usage: gx3190-makeartwork FOLDER FORM\n";
        return 2;
    }
    QList<QRect> plates;
    QList<QRect> grooves;
    if (!ReadPlaces(args.at(2), plates, grooves)) {
        QTextStream(stderr) << "no plates read from " << args.at(2) << '\n';
        return 1;
    }
    TextStyle::install();
    QString list;
    for (const auto& [name, dpr] : Artwork::picturesToBuild(plates, grooves)) {
        const QString relative = QStringLiteral("%1/").arg(qRound(dpr * 100)) + name + QStringLiteral(".argb");
        const QImage image = Artwork::paintPicture(name, dpr);
        if (image.isNull()) {
            QTextStream(stderr) << "no picture " << relative << '\n';
            return 1;
        }
        const QByteArray bytes = Artwork::pictureBytes(image);
        if (!Write(args.at(1) + QLatin1Char('/') + relative,
                   [&bytes](QSaveFile& file) { return file.write(bytes) == bytes.size(); }))
            return 1;
        list += QStringLiteral("<file>") + relative + QStringLiteral("</file>\n");
    }
    const QByteArray qrc = "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/artwork\">\n" + list.toUtf8() +
                           "</qresource>\n</RCC>\n";
    return Write(args.at(1) + QStringLiteral("/artwork.qrc"),
                 [&qrc](QSaveFile& file) { return file.write(qrc) == qrc.size(); })
               ? 0
               : 1;
}
