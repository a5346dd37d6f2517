#include "widgets/ArtworkPainting.h"

#include "widgets/TextStyle.h"

#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <algorithm>
#include <array>
#include <cmath>

// Everything is painted in device pixels where texture is concerned (so grain stays one pixel fine at any
// scale) and in logical units for shapes and text (so they keep their place). The noise is a hash of the
// pixel position, so every run and every machine paints the same picture.
namespace {

quint32 Hash(quint32 x, quint32 y, quint32 seed)
{
    quint32 h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return h;
}

// A value in [-1, 1].
float Noise(int x, int y, quint32 seed)
{
    return static_cast<float>(Hash(static_cast<quint32>(x), static_cast<quint32>(y), seed) & 0xffffu) / 32767.5f - 1.0f;
}

// Smooth noise: the hash on a coarse grid, blended between the grid points.
float ValueNoise(float x, float y, float cell, quint32 seed)
{
    const float gx = x / cell;
    const float gy = y / cell;
    const int x0 = static_cast<int>(std::floor(gx));
    const int y0 = static_cast<int>(std::floor(gy));
    const float fx = gx - static_cast<float>(x0);
    const float fy = gy - static_cast<float>(y0);
    const float sx = fx * fx * (3.0f - 2.0f * fx);
    const float sy = fy * fy * (3.0f - 2.0f * fy);
    const float top = Noise(x0, y0, seed) + (Noise(x0 + 1, y0, seed) - Noise(x0, y0, seed)) * sx;
    const float bottom = Noise(x0, y0 + 1, seed) + (Noise(x0 + 1, y0 + 1, seed) - Noise(x0, y0 + 1, seed)) * sx;
    return top + (bottom - top) * sy;
}

int Clamp8(float v)
{
    return std::clamp(static_cast<int>(std::lround(v)), 0, 255);
}

QImage Canvas(QSize logical, qreal dpr)
{
    QImage image(qMax(1, qRound(logical.width() * dpr)), qMax(1, qRound(logical.height() * dpr)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    return image;
}

QRect DeviceRect(const QRectF& logical, qreal dpr)
{
    return QRect(QPoint(qRound(logical.left() * dpr), qRound(logical.top() * dpr)),
                 QPoint(qRound(logical.right() * dpr) - 1, qRound(logical.bottom() * dpr) - 1));
}

// Dark cast metal: fine grain over slow blotches.
void FillDarkTexture(QImage& image, const QRect& area, QColor base, quint32 seed)
{
    const QRect r = area.intersected(image.rect());
    const float dpr = static_cast<float>(image.devicePixelRatio());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = r.left(); x <= r.right(); ++x) {
            const float lx = static_cast<float>(x) / dpr;
            const float ly = static_cast<float>(y) / dpr;
            const float blotch = ValueNoise(lx, ly, 23.0f, seed) * 7.0f + ValueNoise(lx, ly, 7.0f, seed + 1) * 3.0f;
            const float grain = Noise(x, y, seed + 2) * 5.0f;
            const float scratch = Noise(x / 9, y, seed + 3) > 0.93f ? 6.0f : 0.0f;
            const float shift = blotch + grain + scratch;
            line[x] =
                qRgb(Clamp8(static_cast<float>(base.red()) + shift), Clamp8(static_cast<float>(base.green()) + shift),
                     Clamp8(static_cast<float>(base.blue()) + shift * 1.1f));
        }
    }
}

// Brushed metal: streaks along the rows, each row a little lighter or darker than the next.
void FillBrushed(QImage& image, const QRect& area, QColor top, QColor bottom, float strength, quint32 seed)
{
    const QRect r = area.intersected(image.rect());
    if (r.isEmpty())
        return;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const float t = r.height() > 1 ? static_cast<float>(y - r.top()) / static_cast<float>(r.height() - 1) : 0.0f;
        const float br = static_cast<float>(top.red()) + (static_cast<float>(bottom.red() - top.red())) * t;
        const float bg = static_cast<float>(top.green()) + (static_cast<float>(bottom.green() - top.green())) * t;
        const float bb = static_cast<float>(top.blue()) + (static_cast<float>(bottom.blue() - top.blue())) * t;
        const float row = Noise(0, y, seed) * strength * 0.6f;
        float streak = Noise(r.left() - 1, y, seed + 1);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = r.left(); x <= r.right(); ++x) {
            streak = streak * 0.92f + Noise(x, y, seed + 1) * 0.08f;
            const float shift = row + streak * strength * 2.2f + Noise(x, y, seed + 2) * strength * 0.25f;
            line[x] = qRgb(Clamp8(br + shift), Clamp8(bg + shift), Clamp8(bb + shift));
        }
    }
}

void Vignette(QPainter& painter, const QRectF& area, int alpha)
{
    QRadialGradient shade(area.center(), std::hypot(area.width(), area.height()) * 0.55);
    shade.setColorAt(0.0, QColor(0, 0, 0, 0));
    shade.setColorAt(0.6, QColor(0, 0, 0, 0));
    shade.setColorAt(1.0, QColor(0, 0, 0, alpha));
    painter.fillRect(area, shade);
}

// A raised edge: light along the top and left, dark along the bottom and right (or the other way round).
void Bevel(QPainter& painter, const QRectF& r, QColor light, QColor dark, bool sunken = false)
{
    const QColor first = sunken ? dark : light;
    const QColor second = sunken ? light : dark;
    painter.setPen(QPen(first, 1.0));
    painter.drawLine(QPointF(r.left() + 0.5, r.bottom() - 0.5), QPointF(r.left() + 0.5, r.top() + 0.5));
    painter.drawLine(QPointF(r.left() + 0.5, r.top() + 0.5), QPointF(r.right() - 0.5, r.top() + 0.5));
    painter.setPen(QPen(second, 1.0));
    painter.drawLine(QPointF(r.right() - 0.5, r.top() + 0.5), QPointF(r.right() - 0.5, r.bottom() - 0.5));
    painter.drawLine(QPointF(r.right() - 0.5, r.bottom() - 0.5), QPointF(r.left() + 0.5, r.bottom() - 0.5));
}

void Rivet(QPainter& painter, QPointF centre)
{
    QRadialGradient head(centre - QPointF(0.7, 0.7), 2.6);
    head.setColorAt(0.0, QColor(235, 237, 240));
    head.setColorAt(0.5, QColor(140, 144, 150));
    head.setColorAt(1.0, QColor(40, 42, 46));
    painter.setPen(QPen(QColor(0, 0, 0, 150), 0.6));
    painter.setBrush(head);
    painter.drawEllipse(centre, 2.0, 2.0);
}

// A light brushed panel where black labels sit, edged by the white and black frame lines.
void Panel(QImage& image, const QRect& logical, quint32 seed)
{
    const qreal dpr = image.devicePixelRatio();
    FillBrushed(image, DeviceRect(logical, dpr), QColor(206, 209, 214), QColor(176, 180, 187), 7.0f, seed);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QLinearGradient sheen(logical.topLeft(), logical.bottomRight());
    sheen.setColorAt(0.0, QColor(255, 255, 255, 40));
    sheen.setColorAt(0.45, QColor(255, 255, 255, 0));
    sheen.setColorAt(1.0, QColor(0, 0, 0, 28));
    painter.fillRect(logical, sheen);
    const QRectF r(logical);
    // The frame line: black outside, white inside, so each group reads as a pressed-in plate.
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
    Bevel(painter, r.adjusted(1, 1, -1, -1), Qt::white, QColor(110, 114, 120));
    painter.setRenderHint(QPainter::Antialiasing, true);
    Rivet(painter, r.topLeft() + QPointF(5, 5));
    Rivet(painter, r.topRight() + QPointF(-5, 5));
    Rivet(painter, r.bottomLeft() + QPointF(5, -5));
    Rivet(painter, r.bottomRight() + QPointF(-5, -5));
}

// A dividing groove across a panel: a black line with a white one under it.
void Divider(QImage& image, int left, int right, int y)
{
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, 1.0));
    painter.drawLine(QPointF(left, y + 0.5), QPointF(right, y + 0.5));
    painter.setPen(QPen(Qt::white, 1.0));
    painter.drawLine(QPointF(left, y + 1.5), QPointF(right, y + 1.5));
}

void DrawLogo(QPainter& painter, const QRectF& area)
{
    QFont font = TextStyle::Font(10, true);
    font.setPixelSize(30);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 2.0);
    QFont small = TextStyle::Font(10, true);
    small.setPixelSize(13);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 5.0);

    QPainterPath big;
    big.addText(0, 0, font, QStringLiteral("GX3190"));
    QPainterPath word;
    word.addText(0, 0, small, QStringLiteral("EDITOR"));
    const QRectF bigBox = big.boundingRect();
    const QRectF wordBox = word.boundingRect();
    const qreal total = bigBox.width() + 10 + wordBox.width();
    const qreal left = area.left() + (area.width() - total) / 2.0;
    const qreal baseline = area.center().y() + bigBox.height() / 2.0 - 3;
    big.translate(left - bigBox.left(), baseline);
    word.translate(left + bigBox.width() + 10 - wordBox.left(), baseline - 2);

    painter.setRenderHint(QPainter::Antialiasing, true);
    // Drop shadow, then a chrome fill with a hard horizon, then a dark outline.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 170));
    painter.drawPath(big.translated(2, 2));
    painter.drawPath(word.translated(1.5, 1.5));
    const QRectF box = big.boundingRect();
    QLinearGradient chrome(box.topLeft(), box.bottomLeft());
    chrome.setColorAt(0.0, QColor(255, 255, 255));
    chrome.setColorAt(0.48, QColor(196, 202, 212));
    chrome.setColorAt(0.5, QColor(92, 98, 110));
    chrome.setColorAt(0.75, QColor(150, 158, 170));
    chrome.setColorAt(1.0, QColor(226, 230, 236));
    painter.setBrush(chrome);
    painter.setPen(QPen(QColor(8, 10, 12), 1.0));
    painter.drawPath(big);
    QLinearGradient lime(word.boundingRect().topLeft(), word.boundingRect().bottomLeft());
    lime.setColorAt(0.0, QColor(200, 255, 170));
    lime.setColorAt(1.0, QColor(70, 190, 60));
    painter.setBrush(lime);
    painter.setPen(QPen(QColor(8, 20, 8), 0.8));
    painter.drawPath(word);
    // An underline rule that fades out at both ends.
    QLinearGradient rule(QPointF(area.left() + 20, 0), QPointF(area.right() - 20, 0));
    rule.setColorAt(0.0, QColor(120, 220, 100, 0));
    rule.setColorAt(0.5, QColor(120, 220, 100, 200));
    rule.setColorAt(1.0, QColor(120, 220, 100, 0));
    painter.setPen(QPen(QBrush(rule), 1.0));
    painter.drawLine(QPointF(area.left() + 20, baseline + 7.5), QPointF(area.right() - 20, baseline + 7.5));
}

QImage PaintButton(QSize size, bool pressed, qreal dpr)
{
    QImage image = Canvas(size, dpr);
    const QRect device = image.rect();
    if (pressed)
        FillBrushed(image, device, QColor(74, 78, 86), QColor(40, 42, 48), 5.0f, 71);
    else
        FillBrushed(image, device, QColor(228, 230, 234), QColor(168, 172, 180), 6.0f, 70);
    QPainter painter(&image);
    const QRectF r(QPointF(0, 0), QSizeF(size));
    painter.setPen(QPen(QColor(12, 12, 14), 1.0));
    painter.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
    if (pressed)
        Bevel(painter, r.adjusted(1, 1, -1, -1), QColor(110, 114, 122), QColor(8, 8, 10), true);
    else
        Bevel(painter, r.adjusted(1, 1, -1, -1), Qt::white, QColor(96, 100, 108));
    return image;
}

} // namespace

namespace ArtworkPainting {

QImage PaintWordButton(QSize size, const QString& word, bool pressed, qreal dpr)
{
    QImage image = PaintButton(size, pressed, dpr);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QFont font = TextStyle::Font(8, true);
    font.setPixelSize(qBound(7, size.height() - 7, 14));
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.8);
    painter.setFont(font);
    // Pressed, the face sinks: the word moves down and right by a pixel and is lit from below.
    const QRectF textArea = QRectF(QPointF(0, 0), QSizeF(size)).translated(pressed ? 1 : 0, pressed ? 1 : 0);
    const QString caps = word.toUpper();
    if (pressed) {
        painter.setPen(QColor(0, 0, 0, 200));
        painter.drawText(textArea.translated(0, -1), Qt::AlignCenter, caps);
        painter.setPen(QColor(236, 238, 242));
    } else {
        painter.setPen(QColor(255, 255, 255, 220));
        painter.drawText(textArea.translated(0, 1), Qt::AlignCenter, caps);
        painter.setPen(QColor(26, 28, 32));
    }
    painter.drawText(textArea, Qt::AlignCenter, caps);
    painter.end();
    return image;
}

QImage PaintWindowFace(bool pressed, bool cross, qreal dpr)
{
    const QSize size(18, 18);
    QImage image = PaintButton(size, pressed, dpr);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QPointF shift(pressed ? 1.0 : 0.0, pressed ? 1.0 : 0.0);
    const QColor ink = pressed ? QColor(236, 238, 242) : QColor(26, 28, 32);
    const QColor lift = pressed ? QColor(0, 0, 0, 180) : QColor(255, 255, 255, 200);
    auto draw = [&](QColor colour, QPointF offset) {
        QPen pen(colour, 2.2, Qt::SolidLine, Qt::FlatCap);
        painter.setPen(pen);
        if (cross) {
            painter.drawLine(QPointF(5, 5) + offset, QPointF(13, 13) + offset);
            painter.drawLine(QPointF(13, 5) + offset, QPointF(5, 13) + offset);
        } else {
            painter.drawLine(QPointF(5, 12.5) + offset, QPointF(13, 12.5) + offset);
        }
    };
    draw(lift, shift + QPointF(0, pressed ? -1.0 : 1.0));
    draw(ink, shift);
    painter.end();
    return image;
}

QImage PaintCheck(bool on, qreal dpr)
{
    QImage image = Canvas(QSize(16, 16), dpr);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF outer(0, 0, 16, 16);
    // A recessed socket: dark rim, lighter lip at the bottom right.
    painter.fillRect(outer, QColor(14, 15, 17));
    Bevel(painter, outer, QColor(0, 0, 0), QColor(150, 154, 160), true);
    const QRectF lamp = outer.adjusted(2, 2, -2, -2);
    if (on) {
        QRadialGradient glow(lamp.center() - QPointF(1.2, 1.2), 8.0);
        glow.setColorAt(0.0, QColor(214, 255, 190));
        glow.setColorAt(0.35, QColor(96, 232, 80));
        glow.setColorAt(0.8, QColor(24, 150, 30));
        glow.setColorAt(1.0, QColor(8, 80, 14));
        painter.fillRect(lamp, glow);
        QRadialGradient halo(lamp.center(), 9.0);
        halo.setColorAt(0.6, QColor(120, 255, 100, 0));
        halo.setColorAt(1.0, QColor(120, 255, 100, 90));
        painter.fillRect(outer.adjusted(1, 1, -1, -1), halo);
    } else {
        QLinearGradient glass(lamp.topLeft(), lamp.bottomRight());
        glass.setColorAt(0.0, QColor(44, 58, 46));
        glass.setColorAt(1.0, QColor(12, 20, 14));
        painter.fillRect(lamp, glass);
    }
    // The glass catches the light at its top left either way.
    QLinearGradient shine(lamp.topLeft(), QPointF(lamp.left(), lamp.center().y()));
    shine.setColorAt(0.0, QColor(255, 255, 255, on ? 150 : 60));
    shine.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shine);
    painter.drawRoundedRect(lamp.adjusted(1, 1, -1, -lamp.height() / 2), 1.5, 1.5);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 0, 0, 200), 1.0));
    painter.drawRect(lamp.adjusted(-0.5, -0.5, 0.5, 0.5));
    painter.end();
    return image;
}

QImage PaintTrack(qreal dpr)
{
    const QSize size(181, 19);
    QImage image = Canvas(size, dpr);
    FillDarkTexture(image, image.rect(), QColor(22, 23, 26), 40);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF r(QPointF(0, 0), QSizeF(size));
    // The groove is cut into the plate: shadow falls on its top and left inner edges.
    QLinearGradient depth(r.topLeft(), r.bottomLeft());
    depth.setColorAt(0.0, QColor(0, 0, 0, 150));
    depth.setColorAt(0.3, QColor(0, 0, 0, 30));
    depth.setColorAt(1.0, QColor(255, 255, 255, 18));
    painter.fillRect(r, depth);
    painter.setRenderHint(QPainter::Antialiasing, false);
    Bevel(painter, r, QColor(0, 0, 0), QColor(232, 234, 238), true);
    Bevel(painter, r.adjusted(1, 1, -1, -1), QColor(50, 52, 56), QColor(120, 124, 130), true);
    // A centre slot with tick marks every tenth of the travel.
    painter.setPen(QPen(QColor(0, 0, 0), 1.0));
    painter.drawLine(QPointF(8, 9.5), QPointF(173, 9.5));
    painter.setPen(QPen(QColor(90, 94, 100), 1.0));
    painter.drawLine(QPointF(8, 10.5), QPointF(173, 10.5));
    for (int i = 0; i <= 10; ++i) {
        const qreal x = 13.0 + i * 15.5;
        painter.setPen(QPen(QColor(120, 200, 110, i % 5 == 0 ? 200 : 110), 1.0));
        painter.drawLine(QPointF(x + 0.5, i % 5 == 0 ? 4.0 : 5.5), QPointF(x + 0.5, 7.5));
    }
    painter.end();
    return image;
}

QImage PaintKnob(qreal dpr)
{
    const QSize size(22, 15);
    QImage image = Canvas(size, dpr);
    FillBrushed(image, image.rect(), QColor(236, 238, 242), QColor(150, 154, 162), 6.0f, 50);
    QPainter painter(&image);
    const QRectF r(QPointF(0, 0), QSizeF(size));
    painter.setPen(QPen(QColor(10, 10, 12), 1.0));
    painter.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
    Bevel(painter, r.adjusted(1, 1, -1, -1), Qt::white, QColor(80, 84, 92));
    // Three grip grooves.
    for (int i = 0; i < 3; ++i) {
        const qreal x = 7.5 + i * 3.0;
        painter.setPen(QPen(QColor(60, 64, 70), 1.0));
        painter.drawLine(QPointF(x, 4), QPointF(x, 11));
        painter.setPen(QPen(QColor(255, 255, 255, 220), 1.0));
        painter.drawLine(QPointF(x + 1, 4), QPointF(x + 1, 11));
    }
    painter.end();
    return image;
}

QImage PaintMainBackground(const QList<QRect>& plates, const QList<QRect>& grooves, qreal dpr)
{
    const QSize size(449, 360);
    QImage image = Canvas(size, dpr);
    FillDarkTexture(image, image.rect(), QColor(38, 40, 45), 10);
    // The title banner: a darker brushed band with a bright lower edge.
    FillBrushed(image, DeviceRect(QRectF(1, 1, 447, 59), dpr), QColor(58, 62, 70), QColor(24, 26, 30), 4.0f, 11);
    {
        QPainter painter(&image);
        Vignette(painter, QRectF(QPointF(0, 0), QSizeF(size)), 150);
        painter.setPen(QPen(QColor(0, 0, 0), 1.0));
        painter.drawLine(QPointF(1, 59.5), QPointF(448, 59.5));
        painter.setPen(QPen(QColor(150, 156, 166), 1.0));
        painter.drawLine(QPointF(1, 60.5), QPointF(448, 60.5));
        // Hazard marks at the banner's left end.
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setClipRect(QRectF(10, 12, 34, 36));
        for (int i = -2; i < 6; ++i) {
            QPainterPath stripe;
            const qreal x = 10 + i * 9.0;
            stripe.moveTo(x, 48);
            stripe.lineTo(x + 4.5, 48);
            stripe.lineTo(x + 4.5 + 18, 12);
            stripe.lineTo(x + 18, 12);
            stripe.closeSubpath();
            painter.fillPath(stripe, QColor(200, 170, 40, 150));
        }
        painter.setClipping(false);
        painter.setPen(QPen(QColor(0, 0, 0, 200), 1.0));
        painter.drawRect(QRectF(10.5, 12.5, 33, 35));
        DrawLogo(painter, QRectF(48, 2, 340, 56));
    }
    // The group plates where the labels sit.
    quint32 seed = 21;
    for (const QRect& plate : plates)
        Panel(image, plate, seed++);
    for (const QRect& groove : grooves)
        Divider(image, groove.left(), groove.right(), groove.top());
    {
        QPainter painter(&image);
        // The client area's white edge, as on every window of the editor.
        painter.setPen(QPen(Qt::white, 1.0));
        painter.drawRect(QRectF(0.5, 0.5, 448, 359));
    }
    return image;
}

QImage PaintDialogBackground(QSize size, qreal dpr)
{
    QImage image = Canvas(size, dpr);
    FillDarkTexture(image, image.rect(), QColor(40, 42, 47), 12);
    QPainter painter(&image);
    const QRectF r(QPointF(0, 0), QSizeF(size));
    Vignette(painter, r, 130);
    // A faint top light so that the white titles sit on a slightly brighter band.
    QLinearGradient light(r.topLeft(), QPointF(0, qMin<qreal>(40, r.height())));
    light.setColorAt(0.0, QColor(255, 255, 255, 22));
    light.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.fillRect(r, light);
    painter.end();
    return image;
}

QImage PaintIcon(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const qreal s = side;
    const QRectF plate(s * 0.04, s * 0.04, s * 0.92, s * 0.92);
    QLinearGradient metal(plate.topLeft(), plate.bottomLeft());
    metal.setColorAt(0.0, QColor(92, 98, 110));
    metal.setColorAt(1.0, QColor(22, 24, 28));
    painter.setPen(QPen(QColor(0, 0, 0), qMax(1.0, s / 32)));
    painter.setBrush(metal);
    painter.drawRoundedRect(plate, s * 0.16, s * 0.16);
    painter.setPen(QPen(QColor(255, 255, 255, 90), qMax(1.0, s / 48)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(plate.adjusted(s * 0.04, s * 0.04, -s * 0.04, -s * 0.04), s * 0.12, s * 0.12);
    QFont font = TextStyle::Font(10, true);
    font.setPixelSize(qMax(6, qRound(s * 0.5)));
    QPainterPath text;
    text.addText(0, 0, font, QStringLiteral("GX"));
    const QRectF box = text.boundingRect();
    text.translate(plate.center() - box.center());
    QLinearGradient lime(text.boundingRect().topLeft(), text.boundingRect().bottomLeft());
    lime.setColorAt(0.0, QColor(214, 255, 190));
    lime.setColorAt(1.0, QColor(60, 190, 50));
    painter.setPen(QPen(QColor(0, 0, 0), qMax(0.8, s / 40)));
    painter.setBrush(lime);
    painter.drawPath(text);
    painter.end();
    return image;
}

} // namespace ArtworkPainting
