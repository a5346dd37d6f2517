#pragma once

#include "core/ScriptText.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace ModFiles {

// The 1-based character position from which the keys of AIDefault.AI are looked for.
inline constexpr qsizetype BotSettingsSearchStart = 20;

} // namespace ModFiles

// AI/AIDefault.AI: a settings script held whole, of which the editor changes the maximum number of bots and
// the bots' skill. The file holds the skill divided by 100 (0.5); the editor shows it on the scale 0 to 100.
// A save replaces the whole token after the key of a changed value and keeps every other byte.
class AIDefaultFile final
{
public:
    // Holds the file as lines each followed by CR LF; a value is read from the whole token after its key.
    static AIDefaultFile load(QByteArrayView bytes);
    // The held text with every changed value in place of the token the file holds for it.
    QByteArray render() const;
    // Takes the bytes just written as the held text, and the values in them as the ones the file holds.
    void commit(const QByteArray& written);

    // Texts of whole numbers, empty when the file holds no number for the key.
    const QString& MaxBots() const { return m_maxBots; }
    const QString& BotSkill() const { return m_botSkill; }
    // Each answers whether the value changed.
    bool setMaxBots(const QString& value);
    bool setBotSkill(const QString& value);
    // Where a key stands in the held text, counted from 0, or -1 when it is not found from the search start.
    qsizetype maxBotsKeyAt() const;
    qsizetype botSkillKeyAt() const;

private:
    ScriptText m_text;
    QString m_maxBots;
    QString m_botSkill;
    // The values the file holds, so that a save replaces only what was changed.
    QString m_oldMaxBots;
    QString m_oldBotSkill;
};
