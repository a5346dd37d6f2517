#pragma once

#include "modfiles/ModSettings.h"
#include "widgets/SkinnedWindow.h"

#include <memory>

class EditorContext;
class QLabel;
class QScrollBar;
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

signals:
    // A double-click on a selected row, after its sound.
    void botNameEditRequested(int row);
    void scoreEditRequested(int row);
    // The level Edit button, after its sound, with a level chosen.
    void levelEditRequested(int levelIndex, const QString& displayName);
    // The Save button, after its sound.
    void saveRequested();

protected:
    void closeRequested() override;
    QPixmap backgroundPicture(qreal dpr) const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct FriendlyFireRow
    {
        QLabel* caption;
        QLabel* label;
        QScrollBar* bar;
    };
    FriendlyFireRow row(FriendlyFire which) const;

    void setupControls();
    // The window's wiring: the model to the controls, the controls to the model and to the signals.
    void setupConnections();

    // Model to controls.
    void showLoadedMod();
    void showBotNames();
    void showBotSettings();
    void showFriendlyFire(FriendlyFire which);
    void showScore(int row);
    void showScores();

    // User actions.
    void friendlyFireBarChanged(FriendlyFire which, int value);
    void resetFriendlyFire(FriendlyFire which);
    void editSelectedBotName();
    void deleteSelectedBotName();
    void addBotName();
    void editSelectedScore();
    void editSelectedLevel();
    void askToExit();

    std::unique_ptr<Ui::FormMain> m_ui;
    EditorContext& m_context;
    // Set while a bar follows the model, so that its change does not write the model back.
    bool m_barFollowsModel = false;
};
