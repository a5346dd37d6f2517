#include "levels/ZipArchive.h"
#include "levels/ZipLibrary.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

using namespace Levels::Zip;

UpdateResult ZipArchive::UpdateArchive(const QString& archivePath, const QString& rootFolder, const QString& filePath)
{
    UpdateResult result;
    const QString path = QDir(rootFolder).filePath(filePath);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        return result;
    }
    // libzip reads the data when the archive is closed, so it lives until then.
    const QByteArray bytes = file.readAll();
    const QString bareName = QFileInfo(path).fileName();
    const QDateTime modified = QFileInfo(path).lastModified();
    file.close();

    QString failure;
    ArchiveHandle archive(openArchive(archivePath, ZIP_CREATE, failure));
    if (!archive) {
        result.error = QStringLiteral("%1 cannot be opened: %2").arg(QDir::toNativeSeparators(archivePath), failure);
        return result;
    }
    auto fail = [&archive, &result] {
        result.error = libraryText(zip_strerror(archive.get()));
        return result;
    };

    QList<zip_uint64_t> matches;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_uint64_t index = 0; index < static_cast<zip_uint64_t>(count < 0 ? 0 : count); ++index) {
        if (memberName(archive.get(), index).compare(bareName, Qt::CaseInsensitive) == 0)
            matches.append(index);
    }

    zip_error_t sourceError;
    zip_error_init(&sourceError);
    zip_source_t* source =
        zip_source_buffer_create(bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0, &sourceError);
    if (!source) {
        result.error = errorText(&sourceError);
        zip_error_fini(&sourceError);
        return result;
    }
    zip_error_fini(&sourceError);

    // The entry replaced is the one that extraction reads, the first of the name that is not a link, so that
    // the next opening finds the edit.
    const qsizetype read = std::find_if(matches.cbegin(), matches.cend(),
                                        [&archive](zip_uint64_t match) { return !isLink(archive.get(), match); }) -
                           matches.cbegin();
    // Any other entry of the name would leave the game a choice between old and new values. Removed first,
    // so that an added entry cannot clash with a link of the same spelling.
    for (qsizetype other = 0; other < matches.size(); ++other) {
        if (other != read && zip_delete(archive.get(), matches.at(other)) < 0) {
            zip_source_free(source);
            return fail();
        }
    }
    zip_uint64_t index = 0;
    if (read == matches.size()) {
        const zip_int64_t added = zip_file_add(archive.get(), bareName.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        if (added < 0) {
            zip_source_free(source);
            return fail();
        }
        index = static_cast<zip_uint64_t>(added);
    } else {
        index = matches.at(read);
        if (zip_file_replace(archive.get(), index, source, 0) < 0) {
            zip_source_free(source);
            return fail();
        }
        // A protected entry stays protected when the password is known; otherwise it is stored plainly
        // rather than not at all.
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive.get(), index, ZIP_FL_UNCHANGED, &stat) == 0 &&
            (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) {
            const bool keep = !m_savePassword.isEmpty() && zip_encryption_method_supported(stat.encryption_method, 1);
            if (zip_file_set_encryption(archive.get(), index, keep ? stat.encryption_method : ZIP_EM_NONE,
                                        keep ? m_savePassword.constData() : nullptr) < 0)
                return fail();
        }
    }
    if (zip_set_file_compression(archive.get(), index, ZIP_CM_DEFLATE, 9) < 0)
        return fail();
    if (modified.isValid())
        zip_file_set_mtime(archive.get(), index, static_cast<time_t>(modified.toSecsSinceEpoch()), 0);
    if (zip_close(archive.get()) < 0)
        return fail();
    archive.release();
    return result;
}
