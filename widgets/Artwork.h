#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

// The editor's own artwork, painted by the program at the screen's device pixel ratio so that it stays
// crisp at any scale. Every image has the logical size its control has.
namespace Artwork {

// The dark textured surface of a window. The main window's carries its group plates and the grooves across
// them (each a black line over a white one along the groove's top), where the window's form places them;
// each plate's grain follows from its place in the list.
QPixmap MainBackground(const QList<QRect>& plates, const QList<QRect>& grooves, qreal dpr);
QPixmap DialogBackground(QSize size, qreal dpr);

// Button faces: light grey with the word in capitals; the pressed face is dark.
QPixmap ButtonFace(QSize size, const QString& word, bool pressed, qreal dpr);
// The main window's exit (a cross) and minimise (a bar) faces, 18 x 18.
QPixmap ExitFace(bool pressed, qreal dpr);
QPixmap MinimiseFace(bool pressed, qreal dpr);

// Check pictures, 16 x 16: a lit green square and a dark square.
QPixmap CheckOn(qreal dpr);
QPixmap CheckOff(qreal dpr);

// The slider track (181 x 19) and knob (22 x 15).
QPixmap SliderTrack(qreal dpr);
QPixmap SliderKnob(qreal dpr);

QIcon ApplicationIcon();

// The outline of a control the keyboard has reached: a dotted line in the skin's gold, inside box.
void DrawFocusRing(QPainter& painter, const QRect& box);

} // namespace Artwork
