#pragma once

#include <memory>

class ClickSoundPlayer;
class EditorContext;
class Prompter;
class QSettings;

// The program: the one model, the Qt answers and sounds, the movie switch and the five windows, each made
// once for the whole run.
class Editor final
{
public:
    // With Qt's message boxes, folder dialog and sounds.
    Editor();
    // With the given ones, so that a test can answer the boxes and hear the clicks.
    Editor(Prompter& prompter, ClickSoundPlayer& sounds);
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // Finds the game folder and shows the mod selection. False when the user chose to exit instead.
    bool start(QSettings& store);

    EditorContext& context();

private:
    void makeWindows(Prompter& prompter, ClickSoundPlayer& sounds);

    struct Parts;
    struct QtParts;
    // Declared first so that it outlives the windows that use it.
    std::unique_ptr<QtParts> m_qt;
    std::unique_ptr<Parts> m_parts;
};
