#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QPair>
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
QPixmap mainBackground(const QList<QRect>& plates, const QList<QRect>& grooves, qreal dpr);
QPixmap dialogBackground(QSize size, qreal dpr);

// Button faces: light grey with the word in capitals; the pressed face is dark.
QPixmap buttonFace(QSize size, const QString& word, bool pressed, qreal dpr);
// The main window's exit (a cross) and minimise (a bar) faces, 18 x 18.
QPixmap exitFace(bool pressed, qreal dpr);
QPixmap minimiseFace(bool pressed, qreal dpr);

// Check pictures, 16 x 16: a lit green square and a dark square.
QPixmap checkOn(qreal dpr);
QPixmap checkOff(qreal dpr);

// The slider track (181 x 19) and knob (22 x 15).
QPixmap sliderTrack(qreal dpr);
QPixmap sliderKnob(qreal dpr);

QIcon applicationIcon();
// Gives the program its icon, unless it has one already: once the first window is up, or before a box or
// dialog that comes sooner. Its seven pictures are not needed before that.
void giveApplicationIcon();
inline constexpr int IconSides[] = {16, 24, 32, 48, 64, 128, 256};

// The outline of a control the keyboard has reached: a dotted line in the skin's gold, inside box.
void drawFocusRing(QPainter& painter, const QRect& box);

// The build paints the fixed-size pictures the windows show (backgrounds, button faces, checks, slider parts)
// at the scales most screens run at, and the icon, and embeds them; the program loads those instead of
// painting them, pixel for pixel the same, and paints only other sizes and scales. A build without them
// paints everything at run time.
inline constexpr int BuiltPercents[] = {100, 150, 200};
// Every picture the build paints, by name and device pixel ratio, the main window's background with the places
// its form gives the plates and grooves (the build reads them from the form's file).
QList<QPair<QString, qreal>> picturesToBuild(const QList<QRect>& mainPlates, const QList<QRect>& mainGrooves);
// Every picture this program holds from the build.
QList<QPair<QString, qreal>> builtPictures();
// One of them painted anew, never loaded: what the build embeds, and what a test compares the embedded with.
QImage paintPicture(const QString& name, qreal dpr);
// The embedded copy as it was painted, or a null image where the program holds none.
QImage builtPicture(const QString& name, qreal dpr);
// How the build stores a picture: its width and height, then its pixels as painted, row by row, in the byte
// order of the machine (the build's own, which is the program's). Packed with zstd, that is smaller than a
// PNG of the same picture and unpacks many times faster.
QByteArray pictureBytes(const QImage& image);
bool hasBuiltPictures();
// "name@ratio" of every picture painted at run time so far because the program holds no built copy.
QStringList paintedAtRunTime();

} // namespace Artwork
