#include "modfiles/ModSettings.h"

#include "modfiles/ScoreKeys.h"

#include <utility>

ModSettings::ModSettings(QObject* parent) : QObject(parent) {}

void ModSettings::setBotNames(const QStringList& names)
{
    m_botNames.setBotNames(names);
    emit botNamesChanged();
}

void ModSettings::addBotName(const QString& name)
{
    m_botNames.addBotName(name);
    emit botNamesChanged();
}

void ModSettings::setBotName(int row, const QString& name)
{
    if (m_botNames.setBotName(row, name))
        emit botNamesChanged();
}

void ModSettings::removeBotName(int row)
{
    if (m_botNames.removeBotName(row))
        emit botNamesChanged();
}

void ModSettings::setMaxBots(const QString& value)
{
    if (m_aiDefault.setMaxBots(value))
        emit botSettingsChanged();
}

void ModSettings::setBotSkill(const QString& value)
{
    if (m_aiDefault.setBotSkill(value))
        emit botSettingsChanged();
}

void ModSettings::setFriendlyFire(FriendlyFire which, const QString& value)
{
    if (m_serverSettings.setFriendlyFire(which, value))
        emit friendlyFireChanged(which);
}

const QStringList& ModSettings::ScoreKeys() const
{
    return ModFiles::BuildScoreKeys();
}

void ModSettings::setScoreValue(int row, int value)
{
    if (m_scoring.setScoreValue(row, value))
        emit scoreChanged(row);
}

void ModSettings::clearSections()
{
    m_botNames = {};
    m_aiDefault = {};
    m_serverSettings = {};
    m_scoring = {};
}

void ModSettings::loadFile(ModFile file, QByteArrayView bytes)
{
    switch (file) {
    case ModFile::BotNames:
        m_botNames = BotNamesFile::load(bytes);
        emit botNamesChanged();
        break;
    case ModFile::AIDefault: {
        const AIDefaultFile before = std::exchange(m_aiDefault, AIDefaultFile::load(bytes));
        if (MaxBots() != before.MaxBots() || BotSkill() != before.BotSkill())
            emit botSettingsChanged();
        break;
    }
    case ModFile::ServerSettings: {
        const ServerSettingsFile before = std::exchange(m_serverSettings, ServerSettingsFile::load(bytes));
        for (FriendlyFire which : ModFiles::AllFriendlyFire) {
            if (friendlyFire(which) != before.friendlyFire(which))
                emit friendlyFireChanged(which);
        }
        break;
    }
    case ModFile::Scoring:
        // No signal of its own for a whole new list of rows: views take the rows up on loaded().
        m_scoring = ScoringFile::load(bytes);
        break;
    }
}

QByteArray ModSettings::renderFile(ModFile file) const
{
    switch (file) {
    case ModFile::BotNames:
        return m_botNames.render();
    case ModFile::AIDefault:
        return m_aiDefault.render();
    case ModFile::ServerSettings:
        return m_serverSettings.render();
    case ModFile::Scoring:
        return m_scoring.render();
    }
    return {};
}

void ModSettings::commitFile(ModFile file, const QByteArray& written)
{
    switch (file) {
    case ModFile::BotNames:
        break; // the names are all the file holds
    case ModFile::AIDefault:
        m_aiDefault.commit(written);
        break;
    case ModFile::ServerSettings:
        m_serverSettings.commit(written);
        break;
    case ModFile::Scoring:
        m_scoring.commit(written);
        break;
    }
}
