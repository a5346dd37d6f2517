#include "levels/ZipArchive.h"
#include "levels/ZipLibrary.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cerrno>

using namespace Levels::Zip;

namespace {

// Big enough that a large member streams in few calls, small enough never to hold a member whole.
constexpr qsizetype ChunkSize = 256 * 1024;

bool isDeviceName(const QString& part)
{
    static const QSet<QString> devices{QStringLiteral("con"), QStringLiteral("prn"), QStringLiteral("aux"),
                                       QStringLiteral("nul")};
    const QString base = part.section(QLatin1Char('.'), 0, 0).toLower();
    if (devices.contains(base))
        return true;
    return base.size() == 4 && (base.startsWith(QLatin1String("com")) || base.startsWith(QLatin1String("lpt"))) &&
           base.at(3).isDigit();
}

bool isAes(const zip_stat_t& stat)
{
    return (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) &&
           (stat.encryption_method == ZIP_EM_AES_128 || stat.encryption_method == ZIP_EM_AES_192 ||
            stat.encryption_method == ZIP_EM_AES_256);
}

// An AES member in AE-2 form stores a CRC of 0 and vouches for its data by its authentication code alone, yet
// libzip 1.7 checks the CRC of every such member of 20 bytes or more, and fails it. The code is checked when the
// member is read decrypted but still compressed, which libzip does without a CRC: if it holds, the bytes
// inflated from that data are the member's. Returns the reason the member is not whole, or an empty text.
QString checkAuthentication(zip_t* archive, zip_uint64_t index, const zip_stat_t& stat, const QByteArray& password)
{
    // A stored member's plain data is its compressed data, which libzip reads only through the CRC check.
    if (stat.comp_method == ZIP_CM_STORE)
        return QStringLiteral("the file's AES encryption cannot be checked by this build");
    MemberHandle member(zip_fopen_index_encrypted(archive, index, ZIP_FL_COMPRESSED,
                                                  password.isEmpty() ? nullptr : password.constData()));
    if (!member)
        return libraryText(zip_strerror(archive));
    QByteArray buffer(ChunkSize, Qt::Uninitialized);
    for (;;) {
        const zip_int64_t got = zip_fread(member.get(), buffer.data(), static_cast<zip_uint64_t>(buffer.size()));
        if (got == 0)
            return {};
        if (got < 0)
            return libraryText(zip_file_strerror(member.get()));
    }
}

// Makes the folders of a relative path under root once each, refusing to pass through a link that might
// lead elsewhere. Returns an empty text or the reason.
class FolderMaker
{
public:
    explicit FolderMaker(QString root) : m_root(std::move(root)) {}

    QString make(const QString& relative)
    {
        if (relative.isEmpty() || m_made.contains(relative))
            return {};
        QString path = m_root;
        QString walked;
        for (const QString& part : relative.split(QLatin1Char('/'))) {
            walked += walked.isEmpty() ? part : QLatin1Char('/') + part;
            path += QLatin1Char('/') + part;
            if (m_made.contains(walked))
                continue;
            const QFileInfo info(path);
            if (info.isSymLink())
                return QStringLiteral("the folder %1 is a link").arg(walked);
            if (info.exists() && !info.isDir())
                return QStringLiteral("a file stands where the folder %1 belongs").arg(walked);
            if (!info.exists() && !QDir().mkdir(path))
                return QStringLiteral("cannot make the folder %1").arg(walked);
            m_made.insert(walked);
        }
        return {};
    }

private:
    QString m_root;
    QSet<QString> m_made;
};

} // namespace

QString Levels::safeMemberPath(const QString& memberName)
{
    QString name = memberName;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.startsWith(QLatin1Char('/')))
        return {};
    QStringList kept;
    for (const QString& part : name.split(QLatin1Char('/'))) {
        if (part.isEmpty() || part == QLatin1String("."))
            continue;
        if (part == QLatin1String(".."))
            return {};
        // A colon names a drive or a stream on Windows; trailing dots and blanks are dropped by Windows, so
        // ".. " would climb out there.
        if (part.contains(QLatin1Char(':')) || part.endsWith(QLatin1Char('.')) || part.endsWith(QLatin1Char(' ')))
            return {};
        for (const QChar c : part) {
            if (c.unicode() < 0x20)
                return {};
        }
        if (isDeviceName(part))
            return {};
        kept.append(part);
    }
    return kept.join(QLatin1Char('/'));
}

zip_file* ZipArchive::openMember(zip* archive, quint64 index, const QString& name, QString& refusal,
                                 QByteArray& password, QString& error)
{
    zip_file_t* file = zip_fopen_index(archive, index, 0);
    while (!file) {
        const int code = zip_error_code_zip(zip_get_error(archive));
        if (code != ZIP_ER_NOPASSWD && code != ZIP_ER_WRONGPASSWD) {
            error = libraryText(zip_strerror(archive));
            return nullptr;
        }
        if (!refusal.isEmpty()) {
            error = refusal;
            return nullptr;
        }
        const std::optional<QString> answer = m_passwords ? m_passwords(name) : std::nullopt;
        if (!answer || answer->isEmpty()) {
            // A password typed before the refusal is why it was still asked for, and the reason for every
            // protected member after this one too.
            refusal = password.isEmpty() ? QStringLiteral("the file is protected by a password")
                                         : QStringLiteral("the password was not accepted");
            error = refusal;
            return nullptr;
        }
        password = answer->toUtf8();
        zip_error_clear(archive);
        file = zip_fopen_index_encrypted(archive, index, 0, password.constData());
    }
    return file;
}

ExtractResult ZipArchive::ExtractArchive(const QString& archivePath, const QString& destinationFolder)
{
    ExtractResult result;
    const auto stop = [&result](ExtractResult::Failure failure, const QString& reason) {
        result.failure = failure;
        result.error = reason;
        return result;
    };
    if (!QFileInfo(archivePath).isFile())
        return stop(ExtractResult::Failure::ArchiveMissing,
                    QStringLiteral("%1 does not exist.").arg(QDir::toNativeSeparators(archivePath)));
    QString destination = destinationFolder;
    while (destination.size() > 1 &&
           (destination.endsWith(QLatin1Char('/')) || destination.endsWith(QLatin1Char('\\'))))
        destination.chop(1);
    const QFileInfo destinationInfo(destination);
    if (destinationInfo.isSymLink())
        return stop(
            ExtractResult::Failure::DestinationIsLink,
            QStringLiteral("The folder %1 is a link; it is not followed.").arg(QDir::toNativeSeparators(destination)));
    if (destinationInfo.exists() && !destinationInfo.isDir())
        return stop(ExtractResult::Failure::DestinationUnusable,
                    QStringLiteral("%1 is not a folder.").arg(QDir::toNativeSeparators(destination)));
    if (!QDir().mkpath(destination))
        return stop(ExtractResult::Failure::DestinationUnusable,
                    QStringLiteral("Cannot make the folder %1.").arg(QDir::toNativeSeparators(destination)));

    QString failure;
    ArchiveHandle archive(openArchive(archivePath, ZIP_RDONLY, failure));
    if (!archive)
        return stop(ExtractResult::Failure::ArchiveUnreadable,
                    QStringLiteral("%1 cannot be opened: %2").arg(QDir::toNativeSeparators(archivePath), failure));
    // Tried first on every protected member; a password typed that reads one whole takes its place.
    QByteArray known = m_memory->password();
    if (!known.isEmpty())
        zip_set_default_password(archive.get(), known.constData());

    FolderMaker folders(destination);
    // Case-folded paths, so that names differing in case only cannot clash. The first member of a name
    // claims it even when it fails, so that the file read is always the entry that a save replaces.
    QSet<QString> claimed;
    // One refusal covers the rest of this archive, with its reason; the next extraction asks again.
    QString refusal;
    QByteArray buffer;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_uint64_t index = 0; index < static_cast<zip_uint64_t>(count < 0 ? 0 : count); ++index) {
        const QString name = memberName(archive.get(), index);
        const QString relative = Levels::safeMemberPath(name);
        if (relative.isEmpty()) {
            result.skipped.append({name, QStringLiteral("the name leads outside the folder")});
            continue;
        }
        if (isLink(archive.get(), index)) {
            result.skipped.append({name, QStringLiteral("a link")});
            continue;
        }
        if (name.endsWith(QLatin1Char('/')) || name.endsWith(QLatin1Char('\\'))) {
            const QString error = folders.make(relative);
            if (!error.isEmpty())
                result.skipped.append({name, error});
            continue;
        }
        const QString key = relative.toCaseFolded();
        if (claimed.contains(key)) {
            result.skipped.append({name, QStringLiteral("a second file of the same name")});
            continue;
        }
        claimed.insert(key);
        const qsizetype slash = relative.lastIndexOf(QLatin1Char('/'));
        if (slash > 0) {
            const QString error = folders.make(relative.left(slash));
            if (!error.isEmpty()) {
                result.skipped.append({name, error});
                continue;
            }
        }

        zip_stat_t stat;
        zip_stat_init(&stat);
        zip_stat_index(archive.get(), index, 0, &stat);
        const auto limitText = [this] {
            return QStringLiteral("The archive would unpack to more than %1 MiB; it is not extracted further.")
                .arg(m_extractLimit / (1024 * 1024));
        };
        if ((stat.valid & ZIP_STAT_SIZE) && stat.size > static_cast<zip_uint64_t>(m_extractLimit - result.bytesWritten))
            return stop(ExtractResult::Failure::TooLarge, limitText());

        const QString target = destination + QLatin1Char('/') + relative;
        const QFileInfo targetInfo(target);
        if (targetInfo.isSymLink())
            QFile::remove(target); // the link itself, never what it points to
        else if (targetInfo.isDir()) {
            result.skipped.append({name, QStringLiteral("a folder stands where the file belongs")});
            continue;
        }
        // Neither a half-written file nor one left by an earlier extraction may pass for a member that failed.
        const auto skip = [&result, &name, &target](const QString& reason) {
            QFile::remove(target);
            result.skipped.append({name, reason});
        };

        QString error;
        QByteArray password; // typed for this member; kept only once the member has been read whole with it
        MemberHandle member(openMember(archive.get(), index, name, refusal, password, error));
        if (!member) {
            skip(error);
            continue;
        }
        // The buffer grows to the largest member read so far, up to one chunk: most members are small.
        const zip_uint64_t declared = (stat.valid & ZIP_STAT_SIZE) ? stat.size : zip_uint64_t(ChunkSize);
        const auto wanted = qsizetype(std::clamp<zip_uint64_t>(declared, 4096, zip_uint64_t(ChunkSize)));
        if (buffer.size() < wanted)
            buffer.resize(wanted);
        QFile out(target);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
            skip(out.errorString());
            continue;
        }
        bool overLimit = false;
        bool crcFailed = false;
        zip_uint64_t memberBytes = 0;
        for (;;) {
            const zip_int64_t got = zip_fread(member.get(), buffer.data(), static_cast<zip_uint64_t>(buffer.size()));
            if (got == 0)
                break;
            if (got < 0) {
                error = libraryText(zip_file_strerror(member.get()));
                crcFailed = zip_error_code_zip(zip_file_get_error(member.get())) == ZIP_ER_CRC;
            } else if (got > m_extractLimit - result.bytesWritten) {
                overLimit = true;
                error = limitText();
            } else if (out.write(buffer.constData(), got) != got) {
                // A write cut short (a full disk) leaves no error on the file; errno holds the reason.
                error = out.error() == QFileDevice::NoError ? qt_error_string(errno) : out.errorString();
            }
            if (!error.isEmpty())
                break;
            result.bytesWritten += got;
            memberBytes += static_cast<zip_uint64_t>(got);
        }
        if (crcFailed && isAes(stat) && (stat.valid & ZIP_STAT_CRC) && stat.crc == 0 && (stat.valid & ZIP_STAT_SIZE) &&
            memberBytes == stat.size)
            error = checkAuthentication(archive.get(), index, stat, password);
        // Set while the file is open: a closed QFile has no handle to set it through.
        if (error.isEmpty() && (stat.valid & ZIP_STAT_MTIME))
            out.setFileTime(QDateTime::fromSecsSinceEpoch(stat.mtime), QFileDevice::FileModificationTime);
        out.close();
        if (overLimit) {
            QFile::remove(target);
            return stop(ExtractResult::Failure::TooLarge, name + QStringLiteral(": ") + error);
        }
        if (!error.isEmpty()) {
            // The traditional method's check lets one wrong password in 256 through, to fail on the data.
            const bool traditional =
                (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method == ZIP_EM_TRAD_PKWARE;
            skip(traditional ? error + QStringLiteral("; the password may be wrong") : error);
            continue;
        }
        if (!password.isEmpty()) {
            known = password;
            m_memory->remember(known);
            zip_set_default_password(archive.get(), known.constData()); // the other members share it
        }
        if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
            m_savePassword = known;
        result.files.append({name, target});
    }
    return result;
}
