// On Windows the game is installed in the system's own program-files folders.
#include "startup/StartUp.h"

#include "core/FileSystem.h"

#include <QDir>

#include <qt_windows.h>
#include <shlobj.h>

namespace StartUp {

namespace {

QString KnownFolder(REFKNOWNFOLDERID id)
{
    PWSTR path = nullptr;
    QString result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path)))
        result = QDir::fromNativeSeparators(QString::fromWCharArray(path));
    CoTaskMemFree(path);
    return result;
}

void AppendFolder(QStringList& folders, const QString& folder)
{
    if (folder.isEmpty())
        return;
    const QString withSlash = FileSystem::withTrailingSlash(folder);
    if (!folders.contains(withSlash, Qt::CaseInsensitive))
        folders.append(withSlash);
}

} // namespace

QStringList programFilesFolders()
{
    QStringList folders;
    // The game is a 32-bit program, so a 64-bit system puts it in the x86 folder; both are looked at.
    AppendFolder(folders, KnownFolder(FOLDERID_ProgramFiles));
    AppendFolder(folders, KnownFolder(FOLDERID_ProgramFilesX86));
    return folders;
}

QList<GamePlace> gamePlaces()
{
    return {{QStringLiteral("Windows"), programFilesFolders()}};
}

} // namespace StartUp
