#pragma once

#include "widgets/SkinnedWindow.h"

#include <array>
#include <memory>
#include <utility>

class CheckPicture;
class EditorContext;
enum class ModFile;
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

signals:
    // Accepted, saved or cancelled: the main window comes back.
    void finished();

protected:
    void closeRequested() override;
    void showEvent(QShowEvent* event) override;

private:
    void setupControls();
    void setupConnections();
    // The four group checks as the model stands: its save flag, disabled when the file is missing.
    // The check of each mod file the save can write.
    std::array<std::pair<CheckPicture*, ModFile>, 4> fileChecks() const;
    void refreshChecks();
    void refreshIntro();
    void flipSaveFlag(CheckPicture* check, ModFile file);
    void switchIntro();
    void save();
    void cancel();

    std::unique_ptr<Ui::FormSave> m_ui;
    EditorContext& m_context;
};
