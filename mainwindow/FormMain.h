#pragma once

#include "shell/SkinnedWindow.h"

#include <memory>

class EditorContext;
namespace Ui {
class FormMain;
}

// The editing window of the open mod: friendly fire, the two bot sliders, bot names, scores, the level
// entry and the Save button, on one fixed skinned surface. Its controls show the model and change it.
class FormMain final : public SkinnedWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FormMain)

public:
    explicit FormMain(EditorContext& context, QWidget* parent = nullptr);
    ~FormMain() override;

    // The black "Loading... Please Wait" panel the level workflow shows while it extracts.
    QWidget* busyPanel() const;

protected:
    void closeRequested() override;
    QPixmap backgroundPicture(qreal dpr) const override;

private:
    std::unique_ptr<Ui::FormMain> m_ui;
    EditorContext& m_context;
};
