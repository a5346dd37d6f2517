#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace TestSupport {

// Archives built and read with libzip directly, for the cases DemoGame::writeZip cannot make: raw names,
// links, folders, passwords, and a look at what each member holds, compressed and plain.
struct RawMember
{
    QByteArray name; // as stored, not checked
    QByteArray bytes = {};
    bool folder = false;
    bool link = false;  // Unix symbolic link whose target is bytes
    int encryption = 0; // a ZIP_EM_* method, 0 for none
    QByteArray password = {};
    bool stored = false; // not compressed, whatever the bytes
};

// Writes the archive (replacing any file there). Fails the current test when it cannot.
void writeRawZip(const QString& path, const QList<RawMember>& members);

struct StoredMember
{
    QByteArray name;
    int method = 0;
    int encryption = 0;
    QByteArray compressed; // the raw compressed (and encrypted) bytes as they stand in the archive
    QByteArray data;       // the plain bytes, read with password when given
};

// Every member in archive order; empty (and the test failed) when the archive cannot be read.
QList<StoredMember> readZip(const QString& path, const QByteArray& password = {});

QList<QByteArray> memberNames(const QList<StoredMember>& members);
// The plain bytes of the first member of that name (letter case ignored), or "<absent>".
QByteArray memberData(const QList<StoredMember>& members, const QByteArray& name);

// A field of a member's headers, by its offset in the local header and in the central directory entry.
struct HeaderField
{
    int local;
    int central;
};
inline constexpr HeaderField MethodField{8, 10};
inline constexpr HeaderField DosTimeField{10, 12}; // time, then date
inline constexpr HeaderField CrcField{14, 16};
inline constexpr HeaderField SizeField{22, 24}; // uncompressed

// Overwrites the field in both headers of the named member: the damage libzip will not write itself.
void patchMember(QByteArray& archive, const QByteArray& name, HeaderField field, const QByteArray& bytes);

// Turns the named AES member into the AE-2 form other archivers write: both CRC fields 0, as that form has them,
// and version 2 in the AES extra field of every member.
void makeAe2(QByteArray& archive, const QByteArray& name);

} // namespace TestSupport
