#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QRectF>
#include <QSize>

class QPainter;

// The surfaces the artwork's pictures are made of: cast and brushed metal, bevels, the label panels.
namespace ArtworkSurfaces {

QImage Canvas(QSize logical, qreal dpr);
QRect DeviceRect(const QRectF& logical, qreal dpr);
// Dark cast metal: fine grain over slow blotches.
void FillDarkTexture(QImage& image, const QRect& area, QColor base, quint32 seed);
// Brushed metal: streaks along the rows, each row a little lighter or darker than the next.
void FillBrushed(QImage& image, const QRect& area, QColor top, QColor bottom, float strength, quint32 seed);
void Vignette(QPainter& painter, const QRectF& area, int alpha);
// A raised edge: light along the top and left, dark along the bottom and right (or the other way round).
void Bevel(QPainter& painter, const QRectF& r, QColor light, QColor dark, bool sunken = false);
// A light brushed panel where black labels sit, edged by the white and black frame lines.
void Panel(QImage& image, const QRect& logical, quint32 seed);
// A dividing groove across a panel: a black line with a white one under it.
void Divider(QImage& image, int left, int right, int y);

} // namespace ArtworkSurfaces
