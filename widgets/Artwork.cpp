#include "widgets/Artwork.h"

#include "widgets/ArtworkPainting.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QResource>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>

using namespace ArtworkPainting;

namespace {

QPixmap Finish(QImage image)
{
    const qreal dpr = image.devicePixelRatio();
    // Handed over, not shared: a shared image would be copied whole into the pixmap.
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(dpr);
    return pixmap;
}

QString DialogName(QSize size)
{
    return QStringLiteral("dialog-%1x%2").arg(size.width()).arg(size.height());
}

QString ButtonName(QSize size, const QString& word, bool pressed)
{
    return QStringLiteral("button-%1x%2-").arg(size.width()).arg(size.height()) + word +
           (pressed ? QStringLiteral("-pressed") : QString());
}

QString FaceName(const char* kind, bool pressed)
{
    return QLatin1String(kind) + (pressed ? QStringLiteral("-pressed") : QString());
}

QString IconName(int side)
{
    return QStringLiteral("icon-%1").arg(side);
}

// The main window's background is named after the places it was painted with, "main_" and the plates, then
// "_" and the grooves, each rectangle "x,y,width,height", joined by "+": a form whose places differ from
// those the build read finds no built picture and has its own painted, never a stale one.
QString Places(const QList<QRect>& rects)
{
    QStringList texts;
    for (const QRect& r : rects)
        texts.append(QStringLiteral("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()));
    return texts.join(QLatin1Char('+'));
}

QString MainName(const QList<QRect>& plates, const QList<QRect>& grooves)
{
    return QStringLiteral("main_") + Places(plates) + QLatin1Char('_') + Places(grooves);
}

std::optional<QList<QRect>> ParsePlaces(const QString& text)
{
    QList<QRect> rects;
    for (const QString& rect : text.split(QLatin1Char('+'), Qt::SkipEmptyParts)) {
        const QStringList numbers = rect.split(QLatin1Char(','));
        std::array<int, 4> n{};
        bool ok = numbers.size() == 4;
        for (qsizetype i = 0; ok && i < 4; ++i)
            n[static_cast<std::size_t>(i)] = numbers.at(i).toInt(&ok);
        if (!ok)
            return std::nullopt;
        rects.append(QRect(n[0], n[1], n[2], n[3]));
    }
    return rects;
}

// The main window's background a name stands for, painted; a null image when the name is not one.
QImage PaintMainNamed(const QString& name, qreal dpr)
{
    const QStringList parts = name.split(QLatin1Char('_'));
    if (parts.size() != 3 || parts.at(0) != QLatin1String("main"))
        return {};
    const std::optional<QList<QRect>> plates = ParsePlaces(parts.at(1));
    const std::optional<QList<QRect>> grooves = ParsePlaces(parts.at(2));
    if (!plates || !grooves)
        return {};
    return paintMainBackground(*plates, *grooves, dpr);
}

struct Look
{
    QString name;
    std::function<QImage(qreal dpr)> paint;
};

// The pictures of fixed size that the windows show, but for the main window's background (MainName): the
// backgrounds of the dialog sizes, the word buttons at their sizes, the window buttons, checks and slider
// parts. The screenshot run fails when a window shows a picture at a built scale that is missing here.
const QList<Look>& Looks()
{
    static const QList<Look> looks = [] {
        QList<Look> list;
        for (const QSize size : {QSize(137, 121), QSize(201, 81), QSize(201, 177), QSize(201, 289)})
            list.append({DialogName(size), [size](qreal dpr) { return paintDialogBackground(size, dpr); }});
        const QList<QPair<QSize, QString>> buttons{
            {QSize(121, 18), QStringLiteral("EDIT")},  {QSize(91, 18), QStringLiteral("EDIT")},
            {QSize(91, 18), QStringLiteral("SAVE")},   {QSize(91, 18), QStringLiteral("CANCEL")},
            {QSize(91, 18), QStringLiteral("ACCEPT")}, {QSize(67, 18), QStringLiteral("ADD")}};
        for (const auto& [size, word] : buttons) {
            for (const bool pressed : {false, true})
                list.append({ButtonName(size, word, pressed),
                             [size, word, pressed](qreal dpr) { return paintWordButton(size, word, pressed, dpr); }});
        }
        for (const bool pressed : {false, true}) {
            list.append(
                {FaceName("exit", pressed), [pressed](qreal dpr) { return paintWindowFace(pressed, true, dpr); }});
            list.append(
                {FaceName("minimise", pressed), [pressed](qreal dpr) { return paintWindowFace(pressed, false, dpr); }});
        }
        list.append({QStringLiteral("check-on"), [](qreal dpr) { return paintCheck(true, dpr); }});
        list.append({QStringLiteral("check-off"), [](qreal dpr) { return paintCheck(false, dpr); }});
        list.append({QStringLiteral("track"), paintTrack});
        list.append({QStringLiteral("knob"), paintKnob});
        return list;
    }();
    return looks;
}

QStringList& PaintedKeys()
{
    static QStringList keys;
    return keys;
}

QString Key(const QString& name, qreal dpr)
{
    return name + QLatin1Char('@') + QString::number(dpr, 'f', 3);
}

QImage PictureFromBytes(const QByteArray& bytes, qreal dpr)
{
    quint32 size[2] = {};
    if (bytes.size() < qsizetype(sizeof size))
        return {};
    std::memcpy(size, bytes.constData(), sizeof size);
    const qsizetype row = qsizetype(size[0]) * 4;
    if (size[0] == 0 || size[1] == 0 || bytes.size() != qsizetype(sizeof size) + row * size[1])
        return {};
    QImage image(static_cast<int>(size[0]), static_cast<int>(size[1]), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), bytes.constData() + sizeof size + row * y, row);
    image.setDevicePixelRatio(dpr);
    return image;
}

// The build's pictures travel as one resource bundle inside the program, opened on first use.
bool MountBuiltPictures()
{
    static const bool mounted = [] {
        const QResource bundle(QStringLiteral(":/artwork.rcc"));
        return bundle.isValid() && bundle.compressionAlgorithm() == QResource::NoCompression &&
               QResource::registerResource(bundle.data());
    }();
    return mounted;
}

// The built copy where the program holds one, else painted now (and noted).
QImage BuiltOrPainted(const QString& name, qreal dpr, const std::function<QImage()>& paint)
{
    QImage image = Artwork::builtPicture(name, dpr);
    if (image.isNull()) {
        image = paint();
        PaintedKeys().append(Key(name, dpr));
    }
    return image;
}

QPixmap Picture(const QString& name, qreal dpr, const std::function<QImage()>& paint)
{
    // One picture per look and scale for the whole run: windows and buttons ask for them on every paint.
    static QHash<QString, QPixmap> cache;
    const QString key = Key(name, dpr);
    const auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return *found;
    QPixmap pixmap = Finish(BuiltOrPainted(name, dpr, paint));
    cache.insert(key, pixmap);
    return pixmap;
}

} // namespace

namespace Artwork {

QPixmap mainBackground(const QList<QRect>& plates, const QList<QRect>& grooves, qreal dpr)
{
    return Picture(MainName(plates, grooves), dpr, [=] { return paintMainBackground(plates, grooves, dpr); });
}

QPixmap dialogBackground(QSize size, qreal dpr)
{
    return Picture(DialogName(size), dpr, [size, dpr] { return paintDialogBackground(size, dpr); });
}

QPixmap buttonFace(QSize size, const QString& word, bool pressed, qreal dpr)
{
    return Picture(ButtonName(size, word, pressed), dpr, [=] { return paintWordButton(size, word, pressed, dpr); });
}

QPixmap exitFace(bool pressed, qreal dpr)
{
    return Picture(FaceName("exit", pressed), dpr, [=] { return paintWindowFace(pressed, true, dpr); });
}

QPixmap minimiseFace(bool pressed, qreal dpr)
{
    return Picture(FaceName("minimise", pressed), dpr, [=] { return paintWindowFace(pressed, false, dpr); });
}

QPixmap checkOn(qreal dpr)
{
    return Picture(QStringLiteral("check-on"), dpr, [dpr] { return paintCheck(true, dpr); });
}

QPixmap checkOff(qreal dpr)
{
    return Picture(QStringLiteral("check-off"), dpr, [dpr] { return paintCheck(false, dpr); });
}

QPixmap sliderTrack(qreal dpr)
{
    return Picture(QStringLiteral("track"), dpr, [dpr] { return paintTrack(dpr); });
}

QPixmap sliderKnob(qreal dpr)
{
    return Picture(QStringLiteral("knob"), dpr, [dpr] { return paintKnob(dpr); });
}

QIcon applicationIcon()
{
    QIcon icon;
    for (const int side : IconSides)
        icon.addPixmap(QPixmap::fromImage(BuiltOrPainted(IconName(side), 1.0, [side] { return paintIcon(side); })));
    return icon;
}

void giveApplicationIcon()
{
    if (QGuiApplication::windowIcon().isNull())
        QGuiApplication::setWindowIcon(applicationIcon());
}

QList<QPair<QString, qreal>> picturesToBuild(const QList<QRect>& mainPlates, const QList<QRect>& mainGrooves)
{
    QList<QPair<QString, qreal>> pictures;
    for (const int percent : BuiltPercents) {
        pictures.append({MainName(mainPlates, mainGrooves), percent / 100.0});
        for (const Look& look : Looks())
            pictures.append({look.name, percent / 100.0});
    }
    for (const int side : IconSides)
        pictures.append({IconName(side), 1.0});
    return pictures;
}

QList<QPair<QString, qreal>> builtPictures()
{
    QList<QPair<QString, qreal>> pictures;
    if (!MountBuiltPictures())
        return pictures;
    for (const int percent : BuiltPercents) {
        const QStringList names = QDir(QStringLiteral(":/artwork/%1").arg(percent)).entryList(QDir::Files, QDir::Name);
        for (const QString& file : names)
            pictures.append({QFileInfo(file).completeBaseName(), percent / 100.0});
    }
    return pictures;
}

QImage paintPicture(const QString& name, qreal dpr)
{
    for (const Look& look : Looks()) {
        if (look.name == name)
            return look.paint(dpr);
    }
    for (const int side : IconSides) {
        if (name == IconName(side) && dpr == 1.0)
            return paintIcon(side);
    }
    return PaintMainNamed(name, dpr);
}

QImage builtPicture(const QString& name, qreal dpr)
{
    const int percent = qRound(dpr * 100);
    const bool built =
        std::find(std::begin(BuiltPercents), std::end(BuiltPercents), percent) != std::end(BuiltPercents);
    if (!built || !qFuzzyCompare(dpr * 100, qreal(percent)) || !MountBuiltPictures())
        return {};
    const QResource file(QStringLiteral(":/artwork/%1/").arg(percent) + name + QStringLiteral(".argb"));
    if (!file.isValid())
        return {};
    return PictureFromBytes(file.uncompressedData(), dpr);
}

QByteArray pictureBytes(const QImage& image)
{
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const quint32 size[2] = {quint32(pixels.width()), quint32(pixels.height())};
    QByteArray bytes(reinterpret_cast<const char*>(size), sizeof size);
    for (int y = 0; y < pixels.height(); ++y)
        bytes.append(reinterpret_cast<const char*>(pixels.constScanLine(y)), qsizetype(pixels.width()) * 4);
    return bytes;
}

bool hasBuiltPictures()
{
    return MountBuiltPictures();
}

QStringList paintedAtRunTime()
{
    return PaintedKeys();
}

void drawFocusRing(QPainter& painter, const QRect& box)
{
    painter.save();
    painter.setOpacity(1.0);
    QPen pen(QColor(255, 214, 90));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);
    painter.restore();
}

} // namespace Artwork
