#pragma once

#include "core/ScriptText.h"
#include "modfiles/ModFile.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The four friendly-fire values of ServerSettings.CON, in the order they are read and written.
enum class FriendlyFire
{
    SoldierFF,
    VehicleFF,
    SoldierSplashFF,
    VehicleSplashFF
};
inline constexpr std::array AllFriendlyFire{FriendlyFire::SoldierFF, FriendlyFire::VehicleFF,
                                            FriendlyFire::SoldierSplashFF, FriendlyFire::VehicleSplashFF};

// The key of a friendly-fire value, lower case with its trailing blank.
QByteArrayView FriendlyFireKey(FriendlyFire which);

// The 1-based character positions from which the keys of ServerSettings.CON and AIDefault.AI are looked for.
inline constexpr qsizetype FriendlyFireSearchStart = 450;
inline constexpr qsizetype BotSettingsSearchStart = 20;
inline constexpr QByteArrayView MaxBotsKey = "aisettings.setmaxnbots ";
inline constexpr QByteArrayView BotSkillKey = "aisettings.setbotskill ";

// The range a control allows for a value. A value the file holds outside it is kept as it is; only a change
// must lie within it.
struct ValueRange
{
    int minimum;
    int maximum;
    constexpr bool contains(qint64 value) const { return value >= minimum && value <= maximum; }
};
// The main window's controls: the friendly-fire spin bars, the two sliders between the ends of their travel
// and the score spin bar of the value edit window.
inline constexpr ValueRange FriendlyFireRange{0, 100};
inline constexpr ValueRange BotSkillRange{0, 100};
inline constexpr ValueRange MaxBotsRange{1, 256};
inline constexpr ValueRange ScoreRange{-200, 200};

// The one model of the open mod, shared by every window for the whole run. Windows show it and change it
// through the setters; each setter tells the views through a signal. Values are kept as the texts the
// files hold (an empty text means the key was not found, so its control is disabled and the save leaves
// that text alone).
class ModSettings final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ModSettings)

public:
    explicit ModSettings(QObject* parent = nullptr);

    // Paths, set by start-up and the mod selection. GamePath and ModsPath end with '/', ModFolder does not.
    QString GamePath;
    QString ProgramFilesPath;
    bool PromptForGameFolder = false;
    QString ModsPath;
    QString ModFolder;

    // Presence: the file exists and could be read. A section whose file is absent is never saved.
    bool isPresent(ModFile file) const { return m_present.contains(file); }
    void setPresent(ModFile file, bool present) { m_present.set(file, present); }

    // Which sections the save writes; the save window switches them.
    bool saveFlag(ModFile file) const { return m_saveFlags.contains(file); }
    void setSaveFlag(ModFile file, bool save) { m_saveFlags.set(file, save); }
    ModFileSet saveFlags() const { return m_saveFlags; }
    void setSaveFlags(ModFileSet files) { m_saveFlags = files; }

    // The path of each file as found on disk (letter case resolved), set by the load.
    QString filePath(ModFile file) const { return m_paths.at(static_cast<int>(file)); }
    void setFilePath(ModFile file, const QString& path) { m_paths[static_cast<int>(file)] = path; }

    // Bot names.
    const QStringList& BotNames() const { return m_botNames; }
    void setBotNames(const QStringList& names);
    void addBotName(const QString& name);
    void setBotName(int row, const QString& name);
    void removeBotName(int row);
    // A name as the file can hold it: its first line only, and only characters of the file's code page
    // (Windows-1252), since anything else would be written as a question mark.
    static QString StorableName(const QString& name);

    // Bot settings: texts of whole numbers, empty when unknown.
    const QString& MaxBots() const { return m_maxBots; }
    const QString& BotSkill() const { return m_botSkill; }
    void setMaxBots(const QString& value);
    void setBotSkill(const QString& value);
    // Where the key of a value stands in its file, counted from 0, or -1 when it is not found from the
    // search start; the main window tells the user why it cannot show a value.
    qsizetype maxBotsKeyAt() const;
    qsizetype botSkillKeyAt() const;
    QString OldMaxBots;
    QString OldBotSkill;
    ScriptText AIDefaultText;

    // Friendly fire: texts of whole numbers, empty when unknown.
    const QString& friendlyFire(FriendlyFire which) const { return m_ff.at(static_cast<int>(which)); }
    void setFriendlyFire(FriendlyFire which, const QString& value);
    qsizetype friendlyFireKeyAt(FriendlyFire which) const;
    std::array<QString, 4> OldFriendlyFire;
    ScriptText ServerSettingsText;

    // Score constants. ScoreLines is a prefix of ScoreKeys: row i belongs to ScoreKeys[i].
    const QStringList& ScoreKeys() const { return m_scoreKeys; }
    const QList<int>& ScoreValues() const { return m_scoreValues; }
    const QStringList& ScoreLines() const { return m_scoreLines; }
    void setScoreValue(int row, int value);
    // The scoring script as read, line by line; ScoreLineIndex[i] is the line of constant i, and
    // LoadedScoreValues[i] its value as read, so that an unchanged constant keeps its line exactly.
    QList<QByteArray> ScoringLines;
    QList<int> ScoreLineIndex;
    QList<int> LoadedScoreValues;
    QByteArray ScoringHead() const;
    QByteArray ScoringTail() const;

    // Clears every section before a load.
    void clearSections();
    // Fills the score rows after a load.
    void setScores(const QList<int>& values, const QStringList& lines);

signals:
    void botNamesChanged();
    void botSettingsChanged();
    void friendlyFireChanged(FriendlyFire which);
    void scoreChanged(int row);
    // The whole model was replaced by a load: views refresh everything.
    void loaded();

private:
    const QStringList m_scoreKeys;
    ModFileSet m_present;
    ModFileSet m_saveFlags = ModFileSet::all();
    std::array<QString, AllModFiles.size()> m_paths;
    QStringList m_botNames;
    QString m_maxBots;
    QString m_botSkill;
    std::array<QString, 4> m_ff;
    QList<int> m_scoreValues;
    QStringList m_scoreLines;
};
