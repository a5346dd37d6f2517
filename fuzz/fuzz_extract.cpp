// Archive extraction from arbitrary bytes into a scratch folder: whatever the archive holds, nothing may
// appear outside the folder, and the extraction must end (with files or with an error), never crash.
#include "levels/ZipArchive.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir scratch;
    static ZipArchive zip; // no password source: protected members are skipped
    zip.setExtractLimit(qint64(64) << 20);
    const QString root = scratch.path();
    const QString archive = root + QStringLiteral("/server.ZIP");
    const QString temp = root + QStringLiteral("/level/TEMP/");
    QDir(root + QStringLiteral("/level")).removeRecursively();
    {
        QFile file(archive);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) != static_cast<qint64>(size))
            std::abort();
    }
    zip.ExtractArchive(archive, temp);
    // Only the archive and the level folder may exist in the scratch folder.
    const QStringList top = QDir(root).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : top) {
        if (name != QLatin1String("server.ZIP") && name != QLatin1String("level"))
            std::abort();
    }
    const QStringList level = QDir(root + QStringLiteral("/level"))
                                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (level.size() > 1 || (level.size() == 1 && level.first() != QLatin1String("TEMP")))
        std::abort();
    // No link was made inside TEMP either: every entry is a plain file or folder.
    QDirIterator it(temp, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        if (it.nextFileInfo().isSymLink())
            std::abort();
    }
    return 0;
}
