#pragma once

#include "core/ClickSoundPlayer.h"

#include <QObject>

#include <array>

class QSoundEffect;

// The three click sounds, each decoded once from the program's resources and kept ready, so that a click
// plays at once and never touches the disk. A new sound cuts off the one playing.
class QtClickSounds final : public QObject, public ClickSoundPlayer
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QtClickSounds)

public:
    explicit QtClickSounds(QObject* parent = nullptr);
    ~QtClickSounds() override;

    void PlayClickSound(ClickSound kind) override;

private:
    static constexpr int LoadDelayMs = 300;
    void load();

    std::array<QSoundEffect*, 3> m_effects{};
};
