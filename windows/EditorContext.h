#pragma once

#include <QList>

class ClickSoundPlayer;
class ModSettings;
class Prompter;
class QWidget;
class FormMain;
class FormSelect;
class FormEdit;
class FormSave;
class FormLevel;
class IntroSwitch;

// What every window shares: the one model, the user's answers, the click sounds, the intro switch, and the
// five windows, of which exactly one is visible at a time. Each window is made once as
// FormX(EditorContext&, QWidget* parent = nullptr), registers itself, and afterwards is only hidden and
// shown.
class EditorContext final
{
public:
    EditorContext(ModSettings& model, Prompter& answers, ClickSoundPlayer& clickSounds, IntroSwitch& introSwitch)
        : mod(model), prompter(answers), sounds(clickSounds), intro(introSwitch)
    {
    }

    ModSettings& mod;
    Prompter& prompter;
    ClickSoundPlayer& sounds;
    IntroSwitch& intro;

    // Set by whoever makes the windows.
    FormMain* main = nullptr;
    FormSelect* select = nullptr;
    FormEdit* edit = nullptr;
    FormSave* save = nullptr;
    FormLevel* level = nullptr;

    void registerWindow(QWidget* window) { m_windows.append(window); }
    // Hides every other window first, then shows this one.
    void showOnly(QWidget* window) const;
    // A dialog closing: the main window comes back (before it exists, the dialog only hides).
    void returnToMain(QWidget* dialog) const;
    QList<QWidget*> visibleWindows() const;

private:
    QList<QWidget*> m_windows;
};
