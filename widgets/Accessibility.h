#pragma once

#include <QString>

#include <initializer_list>

class QLabel;
class QWidget;

// The skinned windows' pictures for assistive tools. Their names come from the forms: a caption's buddy, or
// an accessible name where the caption reads differently from what is spoken.
namespace Accessibility {

// Makes picture buttons known to assistive tools as push buttons (with a press action) and check pictures
// as check boxes (with their checked state and a toggle action). Idempotent; the widgets call it.
void installInterfaces();

// Shows a value's caption (with its colon) and names the value's controls after it, so that what is seen and
// what is heard both come from the value's one descriptor.
void captionValue(QLabel* caption, const QString& text, std::initializer_list<QWidget*> controls);

} // namespace Accessibility
