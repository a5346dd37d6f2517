#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

// How each of the artwork's pictures is painted, at a device pixel ratio. Only Artwork calls these: it names
// the pictures, keeps them for the run and loads the build's copies instead where it holds them.
namespace ArtworkPainting {

QImage paintWordButton(QSize size, const QString& word, bool pressed, qreal dpr);
QImage paintWindowFace(bool pressed, bool cross, qreal dpr);
QImage paintCheck(bool on, qreal dpr);
QImage paintTrack(qreal dpr);
QImage paintKnob(qreal dpr);
QImage paintMainBackground(const QList<QRect>& plates, const QList<QRect>& grooves, qreal dpr);
QImage paintDialogBackground(QSize size, qreal dpr);
QImage paintIcon(int side);

} // namespace ArtworkPainting
