#include "widgets/SoundEffects.h"

#include <QSoundEffect>
#include <QUrl>

SoundEffects::SoundEffects()
{
    // In the order of the kinds, 1 to 3. QSoundEffect decodes in the background; a machine without an audio
    // device only gets a warning from Qt and silent clicks.
    const char* const sources[] = {"qrc:/sounds/button.wav", "qrc:/sounds/list-or-check.wav",
                                   "qrc:/sounds/bar-or-slider.wav"};
    for (std::size_t i = 0; i < m_effects.size(); ++i) {
        m_effects[i] = new QSoundEffect(this);
        m_effects[i]->setSource(QUrl(QString::fromLatin1(sources[i])));
    }
}

SoundEffects::~SoundEffects() = default;

void SoundEffects::PlayClickSound(ClickSound kind)
{
    // A kind outside the three (only a cast can make one) is silent.
    const auto slot = static_cast<std::size_t>(kind) - 1;
    if (slot >= m_effects.size())
        return;
    for (QSoundEffect* effect : m_effects)
        effect->stop();
    m_effects[slot]->play();
}

ClickSoundPlayer* gx3190MakeSoundEffects()
{
    return new SoundEffects;
}
