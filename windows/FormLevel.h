#pragma once

#include "levels/LevelSettings.h"
#include "widgets/SkinnedWindow.h"

#include <memory>
#include <vector>

class EditorContext;
class LevelWorkflow;
class Prompter;
class QLabel;
class QScrollBar;
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

    // The archive work behind the window; it lives as long as the window, for the whole run.
    LevelWorkflow& workflow() { return *m_workflow; }

signals:
    // Accepted, saved or cancelled: the main window comes back.
    void finished();

protected:
    void closeRequested() override;

private:
    struct ValueRow
    {
        const ValueDescriptor* value = nullptr;
        QLabel* label = nullptr;
        QScrollBar* bar = nullptr;
    };

    void bindValues();
    void setupControls();
    void setupConnections();
    void showSettings();
    void valueBarChanged(const ValueRow& row, int value);
    void toggleColdBreath();
    void save();

    std::unique_ptr<Ui::FormLevel> m_ui;
    EditorContext& m_context;
    // Message boxes shown during an open or a save, with the busy cursor lifted while they are up.
    std::unique_ptr<Prompter> m_prompter;
    std::unique_ptr<LevelWorkflow> m_workflow;
    // The label and bar of each number, in the order of Levels::levelValues(); filled once, never moved.
    std::vector<ValueRow> m_rows;
    // Set while the opening fills the bars, so that the bars do not write their clamped values back.
    bool m_filling = false;
};
