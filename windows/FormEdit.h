#pragma once

#include "widgets/SkinnedWindow.h"

#include <memory>

class EditorContext;
namespace Ui {
class FormEdit;
}

// The small dialog that edits one bot name or one score value of the main window's lists.
class FormEdit final : public SkinnedWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FormEdit)

public:
    explicit FormEdit(EditorContext& context, QWidget* parent = nullptr);
    ~FormEdit() override;

    // Prepare for the row, hide the main window and show this one.
    void BeginBotNameEdit(int row);
    void BeginScoreEdit(int row);

    bool EditingBotName() const { return m_editingBotName; }
    int EditIndex() const { return m_editIndex; }

signals:
    // Accepted, saved or cancelled: the main window comes back.
    void finished();

protected:
    void closeRequested() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setupControls();
    void setupConnections();
    void scoreBarChanged(int value);
    void accept();
    void cancel();

    std::unique_ptr<Ui::FormEdit> m_ui;
    EditorContext& m_context;
    bool m_editingBotName = false;
    int m_editIndex = 0;
};
