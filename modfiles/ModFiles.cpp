#include "modfiles/ModFiles.h"

#include "core/AtomicFile.h"
#include "core/FileSystem.h"
#include "core/Prompter.h"
#include "core/TextRules.h"
#include "modfiles/ModSettings.h"
#include "modfiles/ScoreKeys.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <limits>

namespace {

// The order in which a load reads and a save writes the files.
constexpr ModFile FileOrder[] = {ModFile::BotNames, ModFile::ServerSettings, ModFile::AIDefault, ModFile::Scoring};

constexpr QByteArrayView BotNamePrefix = "aiSettings.addBotName ";
constexpr qsizetype BotNameSkip = 22;
constexpr QByteArrayView ScoringMarker = "from gx2 i";

bool allDigits(const QByteArray& text)
{
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), [](char c) { return c >= '0' && c <= '9'; });
}

// A digit text without leading zeros, as the controls show numbers.
QString plainDecimal(const QByteArray& digits)
{
    qsizetype first = 0;
    while (first + 1 < digits.size() && digits.at(first) == '0')
        ++first;
    return QString::fromLatin1(digits.mid(first));
}

// The value of a key that the load can show: the digits of the whole token after it (of its whole part
// when it has a fraction), or empty.
QString digitValue(const ScriptText& text, QByteArrayView key, qsizetype start)
{
    const QByteArray digits = TextRules::KeepDigits(TextRules::WholePart(text.valueToken(key, start)));
    return allDigits(digits) ? plainDecimal(digits) : QString();
}

int toInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

// The value text of a score line: after the '=' that follows the key, or, when there is none, two
// characters after the first blank.
QByteArrayView scoreValueText(QByteArrayView line, qsizetype blank)
{
    qsizetype at = blank;
    while (at < line.size() && line[at] == ' ')
        ++at;
    if (at < line.size() && line[at] == '=')
        return line.sliced(at + 1);
    return blank + 2 <= line.size() ? line.sliced(blank + 2) : QByteArrayView();
}

void loadBotNames(ModSettings& mod, const QByteArray& bytes)
{
    QStringList names;
    for (const QByteArray& line : TextRules::SplitLines(bytes)) {
        if (!line.isEmpty())
            names.append(TextRules::FromWindows1252(line.mid(BotNameSkip)));
    }
    mod.setBotNames(names);
}

void loadFriendlyFire(ModSettings& mod, const QByteArray& bytes)
{
    mod.ServerSettingsText = ScriptText::fromFileBytes(bytes);
    for (FriendlyFire which : AllFriendlyFire) {
        const QString value = digitValue(mod.ServerSettingsText, FriendlyFireKey(which), FriendlyFireSearchStart);
        mod.setFriendlyFire(which, value);
        mod.OldFriendlyFire[static_cast<int>(which)] = value;
    }
}

void loadBotSettings(ModSettings& mod, const QByteArray& bytes)
{
    mod.AIDefaultText = ScriptText::fromFileBytes(bytes);
    // The file holds the skill divided by 100 (0.5); the editor shows it on the scale 0 to 100.
    const QByteArray skillToken = mod.AIDefaultText.valueToken(BotSkillKey, BotSettingsSearchStart);
    const bool hasDigit =
        std::any_of(skillToken.cbegin(), skillToken.cend(), [](char c) { return c >= '0' && c <= '9'; });
    const QString skill =
        hasDigit ? QString::number(toInt(TextRules::RoundHalfEven(TextRules::Val(skillToken) * 100.0))) : QString();
    mod.setBotSkill(skill);
    mod.setMaxBots(digitValue(mod.AIDefaultText, MaxBotsKey, BotSettingsSearchStart));
    mod.OldBotSkill = mod.BotSkill();
    mod.OldMaxBots = mod.MaxBots();
}

void loadScores(ModSettings& mod, const QByteArray& bytes)
{
    enum class State
    {
        Head,
        Scores,
        Tail
    };
    State state = State::Head;
    QList<int> values;
    QStringList rows;
    mod.ScoreLineIndex.clear();
    mod.ScoringLines = TextRules::SplitLines(bytes);
    for (qsizetype i = 0; i < mod.ScoringLines.size(); ++i) {
        const QByteArray& line = mod.ScoringLines.at(i);
        if (state == State::Head) {
            if (line.startsWith(ScoringMarker))
                state = State::Scores;
            continue;
        }
        if (state == State::Tail)
            continue;
        if (values.size() >= ScoreKeyCount) {
            state = State::Tail;
            continue;
        }
        const qsizetype blank = line.indexOf(' ');
        const QByteArray key = blank < 0 ? line : line.left(blank);
        if (key != mod.ScoreKeys().at(values.size()).toLatin1())
            continue; // not the next expected constant: kept in place, not a score row
        const double value = blank < 0 ? 0.0 : TextRules::Val(scoreValueText(line, blank));
        values.append(toInt(TextRules::RoundHalfEven(value)));
        rows.append(QString::fromLatin1(line));
        mod.ScoreLineIndex.append(static_cast<int>(i));
    }
    mod.LoadedScoreValues = values;
    mod.setScores(values, rows);
}

QString readFile(const QString& path, QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    return {};
}

QString nativeList(const QStringList& items)
{
    return items.join(QStringLiteral("\r\n"));
}

} // namespace

void LoadModFile(ModSettings& mod, ModFile file, const QByteArray& bytes)
{
    switch (file) {
    case ModFile::BotNames:
        loadBotNames(mod, bytes);
        break;
    case ModFile::ServerSettings:
        loadFriendlyFire(mod, bytes);
        break;
    case ModFile::AIDefault:
        loadBotSettings(mod, bytes);
        break;
    case ModFile::Scoring:
        loadScores(mod, bytes);
        break;
    }
}

QByteArray RenderModFile(const ModSettings& mod, ModFile file)
{
    switch (file) {
    case ModFile::BotNames: {
        QByteArray bytes;
        for (const QString& name : mod.BotNames()) {
            bytes.append(BotNamePrefix);
            bytes.append(TextRules::ToWindows1252(ModSettings::StorableName(name)));
            bytes.append("\r\n");
        }
        return bytes;
    }
    case ModFile::ServerSettings: {
        ScriptText text = mod.ServerSettingsText;
        for (FriendlyFire which : AllFriendlyFire) {
            const QString& value = mod.friendlyFire(which);
            const QByteArrayView key = FriendlyFireKey(which);
            const qsizetype at = text.find(key, FriendlyFireSearchStart);
            if (at < 0 || value.isEmpty() || value == mod.OldFriendlyFire[static_cast<int>(which)])
                continue;
            text.replaceToken(key, text.tokenAfter(at, key.size()), value.toLatin1());
        }
        return text.text();
    }
    case ModFile::AIDefault: {
        ScriptText text = mod.AIDefaultText;
        auto replace = [&text](QByteArrayView key, const QByteArray& token) {
            const qsizetype at = text.find(key, BotSettingsSearchStart);
            if (at >= 0)
                text.replaceToken(key, text.tokenAfter(at, key.size()), token);
        };
        if (!mod.MaxBots().isEmpty() && mod.MaxBots() != mod.OldMaxBots)
            replace(MaxBotsKey, mod.MaxBots().toLatin1());
        if (!mod.BotSkill().isEmpty() && mod.BotSkill() != mod.OldBotSkill)
            replace(BotSkillKey, TextRules::FormatNumber(mod.BotSkill().toDouble() / 100.0));
        return text.text();
    }
    case ModFile::Scoring: {
        // An unchanged constant keeps its line exactly as read; every other line stays in its place.
        QList<QByteArray> lines = mod.ScoringLines;
        const QList<int>& values = mod.ScoreValues();
        for (qsizetype i = 0; i < mod.ScoreLineIndex.size(); ++i) {
            if (values.at(i) != mod.LoadedScoreValues.at(i))
                lines[mod.ScoreLineIndex.at(i)] =
                    mod.ScoreKeys().at(i).toLatin1() + " = " + QByteArray::number(values.at(i));
        }
        return TextRules::JoinLines(lines);
    }
    }
    return {};
}

void CommitModFile(ModSettings& mod, ModFile file, const QByteArray& written)
{
    switch (file) {
    case ModFile::BotNames:
        break;
    case ModFile::ServerSettings:
        mod.ServerSettingsText = ScriptText(written);
        for (FriendlyFire which : AllFriendlyFire)
            mod.OldFriendlyFire[static_cast<int>(which)] = mod.friendlyFire(which);
        break;
    case ModFile::AIDefault:
        mod.AIDefaultText = ScriptText(written);
        mod.OldMaxBots = mod.MaxBots();
        mod.OldBotSkill = mod.BotSkill();
        break;
    case ModFile::Scoring:
        mod.ScoringLines = TextRules::SplitLines(written);
        mod.LoadedScoreValues = mod.ScoreValues();
        break;
    }
}

LoadReport LoadMod(ModSettings& mod)
{
    LoadReport report;
    mod.clearSections();
    for (ModFile file : FileOrder) {
        const QString path = FileSystem::ResolvePath(mod.ModFolder, ModFileRelativePath(file));
        mod.setFilePath(file, path);
        FileSystem::removeSaveLeftovers(path);
        QByteArray bytes;
        bool present = FileSystem::FileExists(path);
        if (present && !readFile(path, bytes).isEmpty()) {
            present = false;
            report.unreadableFiles.append(QDir::toNativeSeparators(path));
        }
        mod.setPresent(file, present);
        if (present)
            LoadModFile(mod, file, bytes);
        else
            mod.setSaveFlag(file, false);
    }
    emit mod.loaded();
    return report;
}

SaveReport SaveMod(ModSettings& mod, ModFileSet files)
{
    SaveReport report;
    for (ModFile file : FileOrder) {
        if (!files.contains(file) || !mod.isPresent(file))
            continue;
        const QString path = mod.filePath(file);
        const QByteArray bytes = RenderModFile(mod, file);
        const QString error = FileSystem::WriteFileAtomically(path, bytes);
        if (error.isEmpty()) {
            CommitModFile(mod, file, bytes);
            report.savedFiles.append(QDir::toNativeSeparators(path));
        } else {
            report.failedFiles.append(QDir::toNativeSeparators(path) + QStringLiteral(": ") + error);
        }
    }
    return report;
}

void ReportLoad(const LoadReport& report, Prompter& prompter)
{
    if (report.unreadableFiles.isEmpty())
        return;
    prompter.critical(QStringLiteral("These files could not be read; their settings are disabled and will not be "
                                     "saved:\r\n") +
                      nativeList(report.unreadableFiles));
}

void ReportSave(const SaveReport& report, Prompter& prompter)
{
    if (!report.failedFiles.isEmpty()) {
        QString text = QStringLiteral("Unable to save these files; they keep their old contents:\r\n") +
                       nativeList(report.failedFiles);
        if (!report.savedFiles.isEmpty())
            text += QStringLiteral("\r\n\r\nSaved:\r\n") + nativeList(report.savedFiles);
        prompter.critical(text);
        return;
    }
    if (!report.savedFiles.isEmpty())
        prompter.information(QStringLiteral("Data saved."));
}
