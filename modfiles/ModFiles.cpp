#include "modfiles/ModFiles.h"

#include "core/AtomicFile.h"
#include "core/FileSystem.h"
#include "core/Prompter.h"
#include "modfiles/ModSettings.h"

#include <QDir>
#include <QFile>

namespace {

// The order in which a load reads and a save writes the files.
constexpr ModFile FileOrder[] = {ModFile::BotNames, ModFile::ServerSettings, ModFile::AIDefault, ModFile::Scoring};

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

namespace ModFiles {

LoadReport LoadMod(ModSettings& mod, const QString& modFolder)
{
    LoadReport report;
    mod.setModFolder(modFolder);
    mod.clearSections();
    for (ModFile file : FileOrder) {
        const QString path = FileSystem::resolvePath(modFolder, modFileRelativePath(file));
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
            mod.loadFile(file, bytes);
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
        const QByteArray bytes = mod.renderFile(file);
        const QString error = FileSystem::writeFileAtomically(path, bytes);
        if (error.isEmpty()) {
            mod.commitFile(file, bytes);
            report.savedFiles.append(QDir::toNativeSeparators(path));
        } else {
            report.failedFiles.append(QDir::toNativeSeparators(path) + QStringLiteral(": ") + error);
        }
    }
    return report;
}

void reportLoad(const LoadReport& report, Prompter& prompter)
{
    if (report.unreadableFiles.isEmpty())
        return;
    prompter.critical(QStringLiteral("These files could not be read; their settings are disabled and will not be "
                                     "saved:\r\n") +
                      nativeList(report.unreadableFiles));
}

void reportSave(const SaveReport& report, Prompter& prompter)
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

} // namespace ModFiles
