#include "widgets/SoundEffects.h"

#include <QSoundEffect>
#include <QUrl>

#include <array>

struct SoundEffects::Sounds
{
    std::array<QSoundEffect*, 3> effects{};
};

SoundEffects::SoundEffects() : m_sounds(std::make_unique<Sounds>())
{
    // In the order of the kinds, 1 to 3. QSoundEffect decodes in the background; a machine without an audio
    // device only gets a warning from Qt and silent clicks.
    const char* const sources[] = {"qrc:/sounds/button.wav", "qrc:/sounds/list-or-check.wav",
                                   "qrc:/sounds/bar-or-slider.wav"};
    auto& effects = m_sounds->effects;
    for (std::size_t i = 0; i < effects.size(); ++i) {
        effects[i] = new QSoundEffect(this);
        effects[i]->setSource(QUrl(QString::fromLatin1(sources[i])));
    }
}

SoundEffects::~SoundEffects() = default;

void SoundEffects::PlayClickSound(ClickSound kind)
{
    // A kind outside the three (only a cast can make one) is silent.
    const auto slot = static_cast<std::size_t>(kind) - 1;
    const auto& effects = m_sounds->effects;
    if (slot >= effects.size())
        return;
    for (QSoundEffect* effect : effects)
        effect->stop();
    effects[slot]->play();
}

ClickSoundPlayer* gx3190MakeSoundEffects()
{
    return new SoundEffects;
}
