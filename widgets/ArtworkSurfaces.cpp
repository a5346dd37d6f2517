#include "widgets/ArtworkSurfaces.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
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

} // namespace

namespace ArtworkSurfaces {

QImage canvas(QSize logical, qreal dpr)
{
    QImage image(qMax(1, qRound(logical.width() * dpr)), qMax(1, qRound(logical.height() * dpr)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    return image;
}

QRect deviceRect(const QRectF& logical, qreal dpr)
{
    return QRect(QPoint(qRound(logical.left() * dpr), qRound(logical.top() * dpr)),
                 QPoint(qRound(logical.right() * dpr) - 1, qRound(logical.bottom() * dpr) - 1));
}

// Dark cast metal: fine grain over slow blotches.
void fillDarkTexture(QImage& image, const QRect& area, QColor base, quint32 seed)
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
void fillBrushed(QImage& image, const QRect& area, QColor top, QColor bottom, float strength, quint32 seed)
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

void vignette(QPainter& painter, const QRectF& area, int alpha)
{
    QRadialGradient shade(area.center(), std::hypot(area.width(), area.height()) * 0.55);
    shade.setColorAt(0.0, QColor(0, 0, 0, 0));
    shade.setColorAt(0.6, QColor(0, 0, 0, 0));
    shade.setColorAt(1.0, QColor(0, 0, 0, alpha));
    painter.fillRect(area, shade);
}

// A raised edge: light along the top and left, dark along the bottom and right (or the other way round).
void bevel(QPainter& painter, const QRectF& r, QColor light, QColor dark, bool sunken)
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

// A light brushed panel where black labels sit, edged by the white and black frame lines.
void panel(QImage& image, const QRect& logical, quint32 seed)
{
    const qreal dpr = image.devicePixelRatio();
    fillBrushed(image, deviceRect(logical, dpr), QColor(206, 209, 214), QColor(176, 180, 187), 7.0f, seed);
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
    bevel(painter, r.adjusted(1, 1, -1, -1), Qt::white, QColor(110, 114, 120));
    painter.setRenderHint(QPainter::Antialiasing, true);
    Rivet(painter, r.topLeft() + QPointF(5, 5));
    Rivet(painter, r.topRight() + QPointF(-5, 5));
    Rivet(painter, r.bottomLeft() + QPointF(5, -5));
    Rivet(painter, r.bottomRight() + QPointF(-5, -5));
}

// A dividing groove across a panel: a black line with a white one under it.
void divider(QImage& image, int left, int right, int y)
{
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, 1.0));
    painter.drawLine(QPointF(left, y + 0.5), QPointF(right, y + 0.5));
    painter.setPen(QPen(Qt::white, 1.0));
    painter.drawLine(QPointF(left, y + 1.5), QPointF(right, y + 1.5));
}

} // namespace ArtworkSurfaces
