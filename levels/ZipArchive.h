#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

struct zip;
struct zip_file;

struct ExtractResult
{
    // Why the extraction stopped, so that callers decide on the kind and show error only as the reason.
    enum class Failure
    {
        None,
        ArchiveMissing,
        ArchiveUnreadable,
        DestinationIsLink,   // never followed: it could lead anywhere
        DestinationUnusable, // not a folder, or it cannot be made
        TooLarge,            // over the extract limit
    };
    Failure failure = Failure::None;
    QString error;                          // the reason for the user; empty on success
    QList<QPair<QString, QString>> skipped; // members left out: member name, reason
    QList<QPair<QString, QString>> files;   // every file written: member name, path on disk
    qint64 bytesWritten = 0;
    bool ok() const { return failure == Failure::None; }
};

struct UpdateResult
{
    QString error; // empty on success
    bool ok() const { return error.isEmpty(); }
};

namespace Levels {

// The member's name as a '/'-separated path inside the destination folder, or an empty text when the name
// could lead outside it (a ".." part, an absolute name, a drive letter, backslashes that climb out, a
// device name) or names nothing. Backslashes count as separators, as they do on Windows.
QString safeMemberPath(const QString& memberName);

// The password that last read a protected member whole, the one the user is spared typing again: every archive
// of a run shares one, and the next archive tries it on its protected members before the user is asked. An
// answer that reads nothing whole is never kept.
class PasswordMemory final
{
public:
    const QByteArray& password() const { return m_password; }
    void remember(const QByteArray& password) { m_password = password; }

private:
    QByteArray m_password;
};

} // namespace Levels

// The level archives. Every read and write of a ZIP file in the program goes through this class.
class ZipArchive final
{
public:
    // What one archive may extract in total, whatever its members declare.
    static constexpr qint64 DefaultExtractLimit = qint64(2) << 30;

    // Asked for the password of a protected member, by the member's name: the password, or nothing (or an
    // empty text) when the user refuses, which skips that member and, in the same extraction, every
    // protected member after it.
    using PasswordSource = std::function<std::optional<QString>(const QString& memberName)>;

    // Without a password source every protected member is skipped. The memory is shared with the run's other
    // archives; without one the archive has a memory of its own.
    explicit ZipArchive(PasswordSource passwords = {},
                        std::shared_ptr<Levels::PasswordMemory> memory = std::make_shared<Levels::PasswordMemory>())
        : m_passwords(std::move(passwords)), m_memory(std::move(memory))
    {
    }

    // Extracts every member into the destination folder (made when missing), recreating stored folders
    // and overwriting existing files; each file keeps its member's time. Members that could lead outside
    // the folder, links, later duplicates of a name (ignoring letter case) and members that fail (damaged,
    // an unknown method, a password refused or wrong) are skipped and listed, and leave no file behind. A
    // destination that is itself a link is refused, and so is an archive that would write more than the
    // extract limit.
    ExtractResult ExtractArchive(const QString& archivePath, const QString& destinationFolder);

    // Adds the file (relative paths count from rootFolder) under its bare name, or replaces the entry of
    // that name that extraction reads (ignoring letter case, keeping the entry's own spelling), deflated at
    // level 9; the other entries of the name, links included, are removed. Every other member is copied as
    // it is. A missing archive is made. The new archive is written beside the old one and renamed over it,
    // so a failure leaves the old archive whole.
    UpdateResult UpdateArchive(const QString& archivePath, const QString& rootFolder, const QString& filePath);

    void setExtractLimit(qint64 bytes) { m_extractLimit = bytes; }

private:
    // Opens a member for reading, asking for the password when it needs one, until the user refuses
    // (which sets refusal to the reason the members left out are given). password is what the user typed for
    // this member, if anything.
    zip_file* openMember(zip* archive, quint64 index, const QString& name, QString& refusal, QByteArray& password,
                         QString& error);

    PasswordSource m_passwords;
    std::shared_ptr<Levels::PasswordMemory> m_memory;
    qint64 m_extractLimit = DefaultExtractLimit;
    // The password that last read a member whole here, which a save keeps the entry it replaces protected with.
    // Not the memory's: the command line opens every level before it saves any, so by then the memory may hold
    // another archive's password.
    QByteArray m_savePassword;
};
