#include "widgets/QtClickSounds.h"

#include <QTimer>

#ifdef GX_SOUNDS_MODULE
#include <QCoreApplication>
#include <QLibrary>
#else
#include "widgets/SoundEffects.h"
#endif

QtClickSounds::QtClickSounds(QObject* parent) : QObject(parent)
{
    QTimer::singleShot(LoadDelayMs, this, &QtClickSounds::load);
}

QtClickSounds::~QtClickSounds() = default;

bool QtClickSounds::load()
{
    if (m_tried)
        return m_player != nullptr;
    m_tried = true;
#ifdef GX_SOUNDS_MODULE
    // Where the program is installed, and in the build folder, the module lies at the same place relative to
    // it. It stays loaded for the rest of the run.
    QLibrary module(QCoreApplication::applicationDirPath() + QLatin1Char('/') + QStringLiteral(GX_SOUNDS_MODULE));
    using Make = ClickSoundPlayer* (*)();
    if (const auto make = reinterpret_cast<Make>(module.resolve("gx3190MakeSoundEffects")))
        m_player.reset(make());
    else
        qWarning("The click sounds are silent: %s", qPrintable(module.errorString()));
#else
    m_player = std::make_unique<SoundEffects>();
#endif
    return m_player != nullptr;
}

void QtClickSounds::PlayClickSound(ClickSound kind)
{
    if (load())
        m_player->PlayClickSound(kind);
}
