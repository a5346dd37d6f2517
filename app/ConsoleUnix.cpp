#include "app/Console.h"

namespace Console {

void attachToParent()
{
    // A program started from a terminal has its streams; one started from a menu has none to find.
}

} // namespace Console
