#pragma once

#include "shell/SkinnedWindow.h"

#include <memory>

class EditorContext;
namespace Ui {
class FormSave;
}

// The dialog that chooses which groups to save, confirms and saves; it also carries the intro switch.
class FormSave final : public SkinnedWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FormSave)

public:
    explicit FormSave(EditorContext& context, QWidget* parent = nullptr);
    ~FormSave() override;

protected:
    void closeRequested() override;

private:
    std::unique_ptr<Ui::FormSave> m_ui;
    EditorContext& m_context;
};
