#pragma once

#include "widgets/SkinnedWindow.h"

#include <QString>

#include <memory>

class EditorContext;
namespace Ui {
class FormSelect;
}

// The small window in which the user picks the mod to edit in this run.
class FormSelect final : public SkinnedWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FormSelect)

public:
    explicit FormSelect(EditorContext& context, QWidget* parent = nullptr);
    ~FormSelect() override;

    // Fills ListMods with the names of the mod folders under modsFolder (ending with '/'); start-up does this
    // before showing the window.
    void setMods(const QString& modsFolder, const QStringList& names);

    // The names shown, in order.
    QStringList mods() const;

signals:
    // A mod was chosen and is about to be loaded: what follows the load as it happens must be there now.
    void modChosen();
    // A mod was opened: the main window is to come up (before any report of the load).
    void modOpened();

protected:
    void closeRequested() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setupControls();
    void setupConnections();
    // Hides this window and opens the chosen mod; the main window is up before any report of the load.
    void openSelectedMod();

    std::unique_ptr<Ui::FormSelect> m_ui;
    EditorContext& m_context;
    QString m_modsFolder;
};
