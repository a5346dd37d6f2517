#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QRectF>
#include <QSize>

class QPainter;

// The surfaces the artwork's pictures are made of: cast and brushed metal, bevels, the label panels.
namespace ArtworkSurfaces {

QImage canvas(QSize logical, qreal dpr);
QRect deviceRect(const QRectF& logical, qreal dpr);
// Dark cast metal: fine grain over slow blotches.
void fillDarkTexture(QImage& image, const QRect& area, QColor base, quint32 seed);
// Brushed metal: streaks along the rows, each row a little lighter or darker than the next.
void fillBrushed(QImage& image, const QRect& area, QColor top, QColor bottom, float strength, quint32 seed);
void vignette(QPainter& painter, const QRectF& area, int alpha);
// A raised edge: light along the top and left, dark along the bottom and right (or the other way round).
void bevel(QPainter& painter, const QRectF& r, QColor light, QColor dark, bool sunken = false);
// A light brushed panel where black labels sit, edged by the white and black frame lines.
void panel(QImage& image, const QRect& logical, quint32 seed);
// A dividing groove across a panel: a black line with a white one under it.
void divider(QImage& image, int left, int right, int y);

} // namespace ArtworkSurfaces
