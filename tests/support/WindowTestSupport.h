#pragma once

#include "tests/support/TestSupport.h"

#include "app/Editor.h"

#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>

class EditorContext;

namespace TestSupport {

// The named control of a window; records a failure naming it when there is none.
QWidget* findControl(const QWidget* window, const char* name);
template <typename T> T* control(const QWidget* window, const char* name)
{
    return qobject_cast<T*>(findControl(window, name));
}
// The window when not of its form's size, and every control the form places, where it is not at its place, or a click
// at its centre would not reach it (hidden, covered, or stacked beneath another). Empty when all is well. The controls
// named in hidden are meant to be hidden now; those in sliding move along their row with the value, so only their row
// and size are checked.
QStringList misplacedControls(const QWidget* window, const QStringList& hidden = {}, const QStringList& sliding = {});
QString caption(const QWidget* window, const char* name);
QStringList rows(const QWidget* list);

// A left click where the user would click: on whatever control covers that pixel of the window.
void clickAt(QWidget* window, QPoint at);
// A real double-click as the platform delivers it: a click, the double-click press, its release.
void doubleClick(QWidget* widget, QPoint at = {});
// A pointer move with these buttons held (QTest::mouseMove carries no buttons).
void moveHeld(QWidget* widget, QPoint at, Qt::MouseButtons buttons = Qt::LeftButton);
// The window shown when exactly one is; nullptr otherwise.
QWidget* visibleOnly(const Editor& editor);
// Starts the program as the user does, with the demo game's folder already remembered.
bool startOn(Editor& editor, const DemoGameFolder& game);

// The program's five windows on a fresh demo game, with the boxes and sounds recorded.
struct DemoEditor
{
    DemoGameFolder game;
    RecordingPrompter prompter;
    RecordingSounds sounds;
    Editor editor{prompter, sounds};
    EditorContext& context = editor.context();
    const Editor::Windows windows = editor.windows();

    // What the mod selection does for this mod of the demo game: loads it and reads its intro state.
    void load(const QString& modName);
};

} // namespace TestSupport
