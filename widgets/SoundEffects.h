#pragma once

#include "core/ClickSoundPlayer.h"

#include <QObject>

#include <memory>

// The three click sounds, each decoded once from the program's resources and kept ready, so that a click
// plays at once and never touches the disk. A new sound cuts off the one playing. This is the one part of
// the program that uses the sound system; where the build makes it a module of its own, the program loads
// it when the first click is near (QtClickSounds) and the sound system's libraries with it. Each platform
// plays them its own way, in a file of its own: Qt Multimedia (SoundEffects.cpp), or on Windows the system's
// call for short sounds (SoundEffectsWin.cpp), which needs no Qt Multimedia.
class SoundEffects final : public QObject, public ClickSoundPlayer
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SoundEffects)

public:
    SoundEffects();
    ~SoundEffects() override;

    void PlayClickSound(ClickSound kind) override;

private:
    struct Sounds;
    std::unique_ptr<Sounds> m_sounds;
};

// The module's entry point: a new player, owned by the caller.
extern "C" Q_DECL_EXPORT ClickSoundPlayer* gx3190MakeSoundEffects();
