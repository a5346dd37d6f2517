#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

// How each of the artwork's pictures is painted, at a device pixel ratio. Only Artwork calls these: it names
// the pictures, keeps them for the run and loads the build's copies instead where it holds them.
namespace ArtworkPainting {

QImage PaintWordButton(QSize size, const QString& word, bool pressed, qreal dpr);
QImage PaintWindowFace(bool pressed, bool cross, qreal dpr);
QImage PaintCheck(bool on, qreal dpr);
QImage PaintTrack(qreal dpr);
QImage PaintKnob(qreal dpr);
QImage PaintMainBackground(const QList<QRect>& plates, const QList<QRect>& grooves, qreal dpr);
QImage PaintDialogBackground(QSize size, qreal dpr);
QImage PaintIcon(int side);

} // namespace ArtworkPainting
