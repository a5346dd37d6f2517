#pragma once

#include <QString>

class QWidget;

// Screen-reader names for the skinned windows, whose controls are pictures and bare labels that carry no
// name of their own. Controls are paired with their captions by the naming scheme of the forms: the
// caption of LabelSFD, VScrollSFD, PictureColdBreath, ListBotNames and the like is LabelL + the same name.
namespace Accessibility {

// Names every control of the window after its caption (a name the window set itself is kept), gives a
// window without a title the program's name, and renames again each time the window is shown, because
// some captions change with what the window edits.
void nameControls(QWidget* window);

// Makes picture buttons known to assistive tools as push buttons (with a press action) and check pictures
// as check boxes (with their checked state and a toggle action). Idempotent; the widgets call it.
void installInterfaces();

// The caption as it is spoken: without the trailing colon and blanks, a doubled "&" read as one.
QString spokenCaption(const QString& caption);

} // namespace Accessibility
