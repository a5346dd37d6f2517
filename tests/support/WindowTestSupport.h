#pragma once

#include "tests/support/TestSupport.h"

#include "app/Editor.h"

#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>

class EditorContext;
class ModSettings;

// The named control of a window; records a failure naming it when there is none.
QWidget* FindControl(const QWidget* window, const QString& name);
template <typename T> T* Control(const QWidget* window, const QString& name)
{
    return qobject_cast<T*>(FindControl(window, name));
}
template <typename T> T* Control(const QWidget* window, const char* name)
{
    return Control<T>(window, QString::fromLatin1(name));
}
// The text of a label of the window.
QString Caption(const QWidget* window, const char* name);
// The rows of a list, top to bottom.
QStringList Rows(const QWidget* list);

// A left click where the user would click: on whatever control covers that pixel of the window.
void ClickAt(QWidget* window, QPoint at);
// A real double-click as the platform delivers it: a click, the double-click press, its release.
void DoubleClick(QWidget* widget, QPoint at = {});
// A pointer move with these buttons held (QTest::mouseMove carries no buttons).
void MoveHeld(QWidget* widget, QPoint at, Qt::MouseButtons buttons = Qt::LeftButton);
// The window shown when exactly one is; nullptr otherwise.
QWidget* VisibleOnly(const Editor& editor);
// Saves a picture of the widget into GX_ARTIFACTS, when set, for the record.
void SaveScreenshot(QWidget* widget, const QString& fileName);

// The program's five windows on a fresh demo game, with the boxes and sounds recorded.
struct DemoEditor
{
    DemoGameFolder game;
    RecordingPrompter prompter;
    RecordingSounds sounds;
    Editor editor{prompter, sounds};
    EditorContext& context = editor.context();
    const Editor::Windows windows = editor.windows();

    ModSettings& mod() const;
    // What the mod selection does for this mod of the demo game: loads it and reads its intro state.
    void load(const QString& modName);
};
