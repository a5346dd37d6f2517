#include "widgets/SoundEffects.h"

#include <QByteArray>
#include <QFile>

#include <array>

#include <qt_windows.h>

// After the types it uses.
#include <mmsystem.h>

struct SoundEffects::Sounds
{
    // The whole WAVE images, read once: PlaySound plays from this memory while it runs, so it must outlive
    // every sound started.
    std::array<QByteArray, 3> images;
};

SoundEffects::SoundEffects() : m_sounds(std::make_unique<Sounds>())
{
    // In the order of the kinds, 1 to 3. A sound that cannot be read stays silent, as a missing audio device
    // does.
    const char* const sources[] = {":/sounds/button.wav", ":/sounds/list-or-check.wav", ":/sounds/bar-or-slider.wav"};
    for (std::size_t i = 0; i < m_sounds->images.size(); ++i) {
        QFile file(QString::fromLatin1(sources[i]));
        if (file.open(QIODevice::ReadOnly))
            m_sounds->images[i] = file.readAll();
        else
            qWarning("The click sound %s cannot be read: %s", sources[i], qPrintable(file.errorString()));
    }
}

SoundEffects::~SoundEffects()
{
    // The images go with this object, so the sound playing from them ends first.
    PlaySoundW(nullptr, nullptr, 0);
}

void SoundEffects::PlayClickSound(ClickSound kind)
{
    // A kind outside the three (only a cast can make one) is silent.
    const auto slot = static_cast<std::size_t>(kind) - 1;
    if (slot >= m_sounds->images.size() || m_sounds->images[slot].isEmpty())
        return;
    // Asynchronous, so the click returns at once; a new sound cuts off the one playing, as the system's
    // call does by itself. No default beep when the device refuses: then the click is silent.
    PlaySoundW(reinterpret_cast<LPCWSTR>(m_sounds->images[slot].constData()), nullptr,
               SND_MEMORY | SND_ASYNC | SND_NODEFAULT);
}

ClickSoundPlayer* gx3190MakeSoundEffects()
{
    return new SoundEffects;
}
