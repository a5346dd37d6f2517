#pragma once

// The skinned windows' pictures for assistive tools. Their names come from the forms: a caption's buddy, or
// an accessible name where the caption reads differently from what is spoken.
namespace Accessibility {

// Makes picture buttons known to assistive tools as push buttons (with a press action) and check pictures
// as check boxes (with their checked state and a toggle action). Idempotent; the widgets call it.
void installInterfaces();

} // namespace Accessibility
