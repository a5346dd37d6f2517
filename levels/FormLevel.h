#pragma once

#include "shell/SkinnedWindow.h"

#include <memory>

class EditorContext;
namespace Ui {
class FormLevel;
}

// The dialog that edits one level's view distance, cold breath, tickets and ticket loss.
class FormLevel final : public SkinnedWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FormLevel)

public:
    explicit FormLevel(EditorContext& context, QWidget* parent = nullptr);
    ~FormLevel() override;

    // The main window's level Edit button, after its sound, with a level chosen: the warning, then the
    // extraction with the busy panel shown, then this window (or "Unable to read level data.").
    void editLevel(int levelIndex, const QString& displayName, QWidget* busyPanel);

protected:
    void closeRequested() override;

private:
    std::unique_ptr<Ui::FormLevel> m_ui;
    EditorContext& m_context;
};
