#pragma once

#include "core/KeyedScript.h"
#include "modfiles/BotNamesFile.h"
#include "modfiles/ModFile.h"
#include "modfiles/ModValues.h"
#include "modfiles/ScoringFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The one model of the open mod, shared by every window for the whole run. It holds one value per mod file,
// each of which reads, renders and takes over its own file; windows show the values and change them through
// the setters, and each setter tells the views through a signal. Values are numbers, read once by their file;
// a value the file does not hold is nothing, so its control is disabled and the save leaves that text alone.
class ModSettings final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ModSettings)

public:
    explicit ModSettings(QObject* parent = nullptr);

    // The open mod's folder (without a trailing '/'); ModFiles::LoadMod alone sets it. Before the first load
    // no mod is open.
    const QString& modFolder() const { return m_modFolder; }
    bool isOpen() const { return !m_modFolder.isEmpty(); }
    void setModFolder(const QString& folder) { m_modFolder = folder; }

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
    const QStringList& BotNames() const { return m_botNames.BotNames(); }
    void setBotNames(const QStringList& names);
    void addBotName(const QString& name);
    void setBotName(int row, const QString& name);
    void removeBotName(int row);
    // A name as the file can hold it (BotNamesFile::storableName).
    static QString storableName(const QString& name) { return BotNamesFile::storableName(name); }

    // A value of the friendly-fire, bot or score table; nothing when its file does not hold it.
    std::optional<qint64> value(const ValueDescriptor& value) const;
    // Changes a value the file holds; the views are told when it changed.
    void setValue(const ValueDescriptor& value, qint64 number);
    // Where a value's key stands in its script, counted from 0, or -1 when it is not found from the search
    // start; the main window tells the user why it cannot show a value.
    qsizetype keyAt(const ValueDescriptor& value) const;

    // Score constants. ScoreLines is a prefix of ModFiles::BuildScoreKeys(): row i belongs to its key i.
    const QList<int>& ScoreValues() const { return m_scoring.ScoreValues(); }
    const QStringList& ScoreLines() const { return m_scoring.ScoreLines(); }
    void setScoreValue(int row, int value);

    // Clears every section before a load.
    void clearSections();
    // One file's bytes read into its section; the views of the values that change are told.
    void loadFile(ModFile file, QByteArrayView bytes);
    // The bytes a save writes for a file.
    QByteArray renderFile(ModFile file) const;
    // Takes the bytes once they are on disk as the file's content, so that the next save starts from them.
    void commitFile(ModFile file, const QByteArray& written);

signals:
    void botNamesChanged();
    void botSettingsChanged();
    void friendlyFireChanged(FriendlyFire which);
    void scoreChanged(int row);
    // The whole model was replaced by a load: views refresh everything.
    void loaded();

private:
    // The script that holds a value, when it is one of the two key-based scripts; for both constnesses.
    template <typename Self>
    static auto script(Self& self, const ValueDescriptor& value) -> decltype(&self.m_aiDefault);

    QString m_modFolder;
    ModFileSet m_present;
    ModFileSet m_saveFlags = ModFileSet::all();
    std::array<QString, ModFiles::AllModFiles.size()> m_paths;
    BotNamesFile m_botNames;
    KeyedScript m_aiDefault{ModFiles::AIDefaultKeys};
    KeyedScript m_serverSettings{ModFiles::ServerSettingsKeys};
    ScoringFile m_scoring;
};
