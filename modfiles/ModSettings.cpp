#include "modfiles/ModSettings.h"

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

template <typename Self>
auto ModSettings::script(Self& self, const ValueDescriptor& value) -> decltype(&self.m_aiDefault)
{
    if (value.file == ModFile::AIDefault)
        return &self.m_aiDefault;
    if (value.file == ModFile::ServerSettings)
        return &self.m_serverSettings;
    return nullptr;
}

std::optional<qint64> ModSettings::value(const ValueDescriptor& value) const
{
    if (const KeyedScript* held = script(*this, value))
        return held->value(value.row);
    if (value.file == ModFile::Scoring && value.row < ScoreLines().size())
        return ScoreValues().at(value.row);
    return std::nullopt;
}

void ModSettings::setValue(const ValueDescriptor& value, qint64 number)
{
    if (value.file == ModFile::Scoring) {
        setScoreValue(static_cast<int>(value.row), static_cast<int>(number));
        return;
    }
    KeyedScript* held = script(*this, value);
    if (!held || !held->setValue(value.row, number))
        return;
    if (value.file == ModFile::AIDefault)
        emit botSettingsChanged();
    else
        emit friendlyFireChanged(static_cast<FriendlyFire>(value.row));
}

qsizetype ModSettings::keyAt(const ValueDescriptor& value) const
{
    const KeyedScript* held = script(*this, value);
    return held ? held->keyAt(value.row) : -1;
}

void ModSettings::setScoreValue(int row, int value)
{
    if (m_scoring.setScoreValue(row, value))
        emit scoreChanged(row);
}

void ModSettings::clearSections()
{
    m_botNames = {};
    m_aiDefault = KeyedScript(ModFiles::AIDefaultKeys);
    m_serverSettings = KeyedScript(ModFiles::ServerSettingsKeys);
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
        const KeyedScript before = m_aiDefault;
        m_aiDefault.load(bytes);
        if (m_aiDefault.value(ModFiles::MaxBotsRow) != before.value(ModFiles::MaxBotsRow) ||
            m_aiDefault.value(ModFiles::BotSkillRow) != before.value(ModFiles::BotSkillRow))
            emit botSettingsChanged();
        break;
    }
    case ModFile::ServerSettings: {
        const KeyedScript before = m_serverSettings;
        m_serverSettings.load(bytes);
        for (FriendlyFire which : ModFiles::AllFriendlyFire) {
            const int row = static_cast<int>(which);
            if (m_serverSettings.value(row) != before.value(row))
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
