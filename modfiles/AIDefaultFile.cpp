#include "modfiles/AIDefaultFile.h"

#include "core/TextRules.h"
#include "modfiles/FileNumbers.h"

#include <algorithm>

namespace {

constexpr QByteArrayView MaxBotsKey = "aisettings.setmaxnbots ";
constexpr QByteArrayView BotSkillKey = "aisettings.setbotskill ";

bool setIfChanged(QString& current, const QString& value)
{
    if (current == value)
        return false;
    current = value;
    return true;
}

} // namespace

AIDefaultFile AIDefaultFile::load(QByteArrayView bytes)
{
    AIDefaultFile file;
    file.m_text = ScriptText::fromFileBytes(bytes);
    const QByteArray skillToken = file.m_text.valueToken(BotSkillKey, ModFiles::BotSettingsSearchStart);
    const bool hasDigit =
        std::any_of(skillToken.cbegin(), skillToken.cend(), [](char c) { return c >= '0' && c <= '9'; });
    if (hasDigit)
        file.m_botSkill =
            QString::number(ModFiles::toInt(TextRules::roundHalfEven(TextRules::Val(skillToken) * 100.0)));
    file.m_maxBots = ModFiles::digitValue(file.m_text, MaxBotsKey, ModFiles::BotSettingsSearchStart);
    file.m_oldBotSkill = file.m_botSkill;
    file.m_oldMaxBots = file.m_maxBots;
    return file;
}

QByteArray AIDefaultFile::render() const
{
    ScriptText text = m_text;
    auto replace = [&text](QByteArrayView key, const QByteArray& token) {
        const qsizetype at = text.find(key, ModFiles::BotSettingsSearchStart);
        if (at >= 0)
            text.replaceToken(key, text.tokenAfter(at, key.size()), token);
    };
    if (!m_maxBots.isEmpty() && m_maxBots != m_oldMaxBots)
        replace(MaxBotsKey, m_maxBots.toLatin1());
    if (!m_botSkill.isEmpty() && m_botSkill != m_oldBotSkill)
        replace(BotSkillKey, TextRules::formatNumber(m_botSkill.toDouble() / 100.0));
    return text.text();
}

void AIDefaultFile::commit(const QByteArray& written)
{
    m_text = ScriptText(written);
    m_oldMaxBots = m_maxBots;
    m_oldBotSkill = m_botSkill;
}

bool AIDefaultFile::setMaxBots(const QString& value)
{
    return setIfChanged(m_maxBots, value);
}

bool AIDefaultFile::setBotSkill(const QString& value)
{
    return setIfChanged(m_botSkill, value);
}

qsizetype AIDefaultFile::maxBotsKeyAt() const
{
    return m_text.find(MaxBotsKey, ModFiles::BotSettingsSearchStart);
}

qsizetype AIDefaultFile::botSkillKeyAt() const
{
    return m_text.find(BotSkillKey, ModFiles::BotSettingsSearchStart);
}
