#pragma once

#include "core/ClickSoundPlayer.h"

#include <QObject>

#include <memory>

// The program's click sounds (SoundEffects). The sound system costs more to load than the first window
// costs to paint, so it waits until that window is up; no click can come sooner, and one that does loads
// it at once. Where the build makes the sounds a module of their own, it is loaded then, beside the program.
class QtClickSounds final : public QObject, public ClickSoundPlayer
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QtClickSounds)

public:
    explicit QtClickSounds(QObject* parent = nullptr);
    ~QtClickSounds() override;

    void PlayClickSound(ClickSound kind) override;
    // Loads the sounds now, if not yet; false when they cannot be had (the module is missing).
    bool load();

private:
    static constexpr int LoadDelayMs = 300;

    bool m_tried = false;
    std::unique_ptr<ClickSoundPlayer> m_player;
};
