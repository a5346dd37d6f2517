#pragma once

#include <memory>

class EditorContext;
class QSettings;

// The program: the one model, the Qt answers and sounds, the movie switch and the five windows, each made
// once for the whole run.
class Editor final
{
public:
    Editor();
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // Finds the game folder and shows the mod selection. False when the user chose to exit instead.
    bool start(QSettings& store);

    EditorContext& context();

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};
