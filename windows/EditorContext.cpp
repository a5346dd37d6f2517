#include "windows/EditorContext.h"

#include "windows/FormMain.h"

#include <QWidget>

void EditorContext::showOnly(QWidget* window) const
{
    for (QWidget* other : m_windows) {
        if (other != window)
            other->hide();
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void EditorContext::returnToMain(QWidget* dialog) const
{
    if (main)
        showOnly(main);
    else
        dialog->hide();
}

QList<QWidget*> EditorContext::visibleWindows() const
{
    QList<QWidget*> visible;
    for (QWidget* window : m_windows) {
        if (window->isVisible())
            visible.append(window);
    }
    return visible;
}
