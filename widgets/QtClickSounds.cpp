#include "widgets/QtClickSounds.h"

#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

QtClickSounds::QtClickSounds(QObject* parent) : QObject(parent)
{
    // Loading the sound system costs more than painting the first window; it waits until that window is
    // up. No click can come sooner, and one that does loads the sounds itself.
    QTimer::singleShot(LoadDelayMs, this, &QtClickSounds::load);
}

void QtClickSounds::load()
{
    if (m_effects.front())
        return;
    // In the order of the kinds, 1 to 3. QSoundEffect decodes in the background; a machine without an audio
    // device only gets a warning from Qt and silent clicks.
    const char* const sources[] = {"qrc:/sounds/button.wav", "qrc:/sounds/list-or-check.wav",
                                   "qrc:/sounds/bar-or-slider.wav"};
    for (std::size_t i = 0; i < m_effects.size(); ++i) {
        m_effects[i] = new QSoundEffect(this);
        m_effects[i]->setSource(QUrl(QString::fromLatin1(sources[i])));
    }
}

QtClickSounds::~QtClickSounds() = default;

void QtClickSounds::PlayClickSound(ClickSound kind)
{
    // A kind outside the three (only a cast can make one) is silent.
    const auto slot = static_cast<std::size_t>(kind) - 1;
    if (slot >= m_effects.size())
        return;
    load();
    for (QSoundEffect* effect : m_effects)
        effect->stop();
    m_effects[slot]->play();
}
