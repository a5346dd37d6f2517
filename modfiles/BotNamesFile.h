#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// AI/BotNames.AI: one bot name a line after the prefix the game writes, in the Windows-1252 code page. The
// names are all the file holds, so a save has nothing to take over once it is written.
class BotNamesFile final
{
public:
    // Every non-empty line is a name: the line from its 23rd character on, whatever the first 22 are.
    static BotNamesFile load(QByteArrayView bytes);
    // One prefixed line per name, each followed by CR LF; no names give an empty file.
    QByteArray render() const;

    const QStringList& BotNames() const { return m_names; }
    // Every name is kept as storableName makes it. The row setters answer false for a row that does not exist.
    void setBotNames(const QStringList& names);
    void addBotName(const QString& name);
    bool setBotName(int row, const QString& name);
    bool removeBotName(int row);

    // A name as the file can hold it: its first line only, and only characters of the file's code page
    // (Windows-1252), since anything else would be written as a question mark.
    static QString storableName(const QString& name);

private:
    QStringList m_names;
};
