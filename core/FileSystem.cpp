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
        if (searching && !QFileInfo::exists(exact)) {
            const QStringList names =
                QDir(current).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            const auto match = std::find_if(names.cbegin(), names.cend(), [&part](const QString& name) {
                return name.compare(part, Qt::CaseInsensitive) == 0;
            });
            if (match != names.cend()) {
                current += QLatin1Char('/') + *match;
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
