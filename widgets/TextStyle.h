#pragma once

#include <QColor>
#include <QFont>

class QLabel;
class QWidget;

// The editor's text style: "Palatino Linotype" bold (a Palatino-like face where it is missing), white
// labels without a background of their own, grey shadow twins on the main window.
namespace TextStyle {

// Registers the face substitutions once; call before any window is made.
void install();

QFont font(qreal pointSize, bool bold = true);
// Gives a label the face at this size and this text colour.
void styleLabel(QLabel* label, qreal pointSize, const QColor& colour, bool bold = true);

inline const QColor ShadowGrey{128, 128, 128};

// Makes a grey twin of the label one pixel to the left and one lower, beneath it, named name + "2"
// when name is given. The twin's caption follows the label's through SetCaption.
QLabel* addShadow(QLabel* label, const QString& twinName = {});

// Sets a label's caption and its twin's (if it has one) together.
void setCaption(QLabel* label, const QString& caption);

} // namespace TextStyle
