#include "core/FileSystem.h"

#include <QDir>
#include <QFileInfo>

namespace FileSystem {

bool FolderExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

namespace {

#ifdef Q_OS_WIN
constexpr bool CaseBlindDisk = true;
#else
constexpr bool CaseBlindDisk = false;
#endif

// The entry of folder named name ignoring letter case, as the disk spells it (the exact spelling first, where
// several differ only in case); empty when there is none.
QString spellingOnDisk(const QString& folder, const QString& name)
{
    const QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (names.contains(name))
        return name;
    const auto match = std::find_if(names.cbegin(), names.cend(), [&name](const QString& entry) {
        return entry.compare(name, Qt::CaseInsensitive) == 0;
    });
    return match != names.cend() ? *match : QString();
}

} // namespace

QString resolvePath(const QString& base, const QString& relative)
{
    QString current = base;
    if (current.endsWith(QLatin1Char('/')) || current.endsWith(QLatin1Char('\\')))
        current.chop(1);
    bool searching = true;
    const QStringList parts =
        QString(relative).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const QString exact = current + QLatin1Char('/') + part;
        // Windows finds a name in any letter case, so there only the folder's listing gives the disk's spelling,
        // which the paths shown and stored keep on every platform.
        if (searching && (CaseBlindDisk || !QFileInfo::exists(exact))) {
            const QString match = spellingOnDisk(current, part);
            if (!match.isEmpty()) {
                current += QLatin1Char('/') + match;
                continue;
            }
            searching = false;
        }
        current = exact;
    }
    return current;
}

QString withTrailingSlash(const QString& path)
{
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\')))
        return path;
    return path + QLatin1Char('/');
}

} // namespace FileSystem
