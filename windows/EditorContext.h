#pragma once

#include <functional>

class ClickSoundPlayer;
class IntroSwitch;
class ModSettings;
class Prompter;
class QWidget;

// What every window shares: the one model, the user's answers, the click sounds, the intro switch, and the
// call that shows one window and hides the others, as exactly one is visible at a time. Each window is made
// once as FormX(EditorContext&, QWidget* parent = nullptr) and afterwards only hidden and shown. No window
// knows another: what it needs of one it asks for with a signal, and the program connects them.
class EditorContext final
{
public:
    ModSettings& mod;
    Prompter& prompter;
    ClickSoundPlayer& sounds;
    IntroSwitch& intro;
    // Hides every other window first, then shows this one.
    std::function<void(QWidget*)> showOnly;
};
