#include "modfiles/ModSettings.h"

#include "core/TextRules.h"
#include "modfiles/ScoreKeys.h"

#include <algorithm>

QByteArrayView FriendlyFireKey(FriendlyFire which)
{
    switch (which) {
    case FriendlyFire::SoldierFF:
        return "sv.soldierfriendlyfire ";
    case FriendlyFire::VehicleFF:
        return "sv.vehiclefriendlyfire ";
    case FriendlyFire::SoldierSplashFF:
        return "sv.soldiersplashfriendlyfire ";
    case FriendlyFire::VehicleSplashFF:
        return "sv.vehiclesplashfriendlyfire ";
    }
    return {};
}

ModSettings::ModSettings(QObject* parent) : QObject(parent), m_scoreKeys(BuildScoreKeys()) {}

QString ModSettings::StorableName(const QString& name)
{
    QString line;
    line.reserve(name.size());
    for (QChar c : name) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            break;
        if (TextRules::IsWindows1252(c))
            line.append(c);
    }
    return line;
}

void ModSettings::setBotNames(const QStringList& names)
{
    m_botNames.clear();
    for (const QString& name : names)
        m_botNames.append(StorableName(name));
    emit botNamesChanged();
}

void ModSettings::addBotName(const QString& name)
{
    m_botNames.append(StorableName(name));
    emit botNamesChanged();
}

void ModSettings::setBotName(int row, const QString& name)
{
    if (row < 0 || row >= m_botNames.size())
        return;
    m_botNames[row] = StorableName(name);
    emit botNamesChanged();
}

void ModSettings::removeBotName(int row)
{
    if (row < 0 || row >= m_botNames.size())
        return;
    m_botNames.removeAt(row);
    emit botNamesChanged();
}

void ModSettings::setMaxBots(const QString& value)
{
    if (m_maxBots == value)
        return;
    m_maxBots = value;
    emit botSettingsChanged();
}

void ModSettings::setBotSkill(const QString& value)
{
    if (m_botSkill == value)
        return;
    m_botSkill = value;
    emit botSettingsChanged();
}

qsizetype ModSettings::maxBotsKeyAt() const
{
    return AIDefaultText.find(MaxBotsKey, BotSettingsSearchStart);
}

qsizetype ModSettings::botSkillKeyAt() const
{
    return AIDefaultText.find(BotSkillKey, BotSettingsSearchStart);
}

qsizetype ModSettings::friendlyFireKeyAt(FriendlyFire which) const
{
    return ServerSettingsText.find(FriendlyFireKey(which), FriendlyFireSearchStart);
}

void ModSettings::setFriendlyFire(FriendlyFire which, const QString& value)
{
    QString& current = m_ff[static_cast<int>(which)];
    if (current == value)
        return;
    current = value;
    emit friendlyFireChanged(which);
}

void ModSettings::setScoreValue(int row, int value)
{
    if (row < 0 || row >= m_scoreLines.size() || row >= m_scoreKeys.size())
        return;
    m_scoreValues[row] = value;
    m_scoreLines[row] = m_scoreKeys.at(row) + QStringLiteral(" = ") + QString::number(value);
    emit scoreChanged(row);
}

QByteArray ModSettings::ScoringHead() const
{
    const qsizetype headEnd = ScoreLineIndex.isEmpty() ? ScoringLines.size() : ScoreLineIndex.first();
    return TextRules::JoinLines(ScoringLines.mid(0, headEnd));
}

QByteArray ModSettings::ScoringTail() const
{
    return ScoreLineIndex.isEmpty() ? QByteArray() : TextRules::JoinLines(ScoringLines.mid(ScoreLineIndex.last() + 1));
}

void ModSettings::clearSections()
{
    m_botNames.clear();
    m_maxBots.clear();
    m_botSkill.clear();
    OldMaxBots.clear();
    OldBotSkill.clear();
    AIDefaultText = ScriptText();
    m_ff = {};
    OldFriendlyFire = {};
    ServerSettingsText = ScriptText();
    m_scoreValues.clear();
    m_scoreLines.clear();
    ScoringLines.clear();
    ScoreLineIndex.clear();
    LoadedScoreValues.clear();
}

void ModSettings::setScores(const QList<int>& values, const QStringList& lines)
{
    m_scoreValues = values;
    m_scoreLines = lines;
}
