#pragma once

#include <QList>

#include <memory>

class ClickSoundPlayer;
class EditorContext;
class FormEdit;
class FormLevel;
class FormMain;
class FormSave;
class FormSelect;
class Prompter;
class QSettings;
class QWidget;

// The program: the one model, the Qt answers and sounds, the movie switch and the five windows, each made
// once for the whole run: the mod selection at once, the other four (and, with Qt's parts, the program's
// icon) as soon as it has been painted. The one place that knows every window: it connects what one window
// asks for to the window that does it.
class Editor final
{
public:
    struct Windows
    {
        FormMain* main;
        FormEdit* edit;
        FormSave* save;
        FormLevel* level;
        FormSelect* select;
    };

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
    // The windows, for the tests and tools that drive them; those not made yet are made first.
    Windows windows();
    // The windows made so far: the other four are null until the mod selection has been painted or a mod
    // chosen.
    Windows madeWindows() const;
    // The windows shown now: exactly one between two user actions.
    QList<QWidget*> visibleWindows() const;

private:
    void makeParts(Prompter& prompter, ClickSoundPlayer& sounds);
    void makeOtherWindows();
    void connectWindows();

    struct Parts;
    struct QtParts;
    // Declared first so that it outlives the windows that use it.
    std::unique_ptr<QtParts> m_qt;
    std::unique_ptr<Parts> m_parts;
};
