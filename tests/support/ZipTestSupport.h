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

// Whether password passes the method's check of the encrypted member at index, as one wrong password in 256 does
// for the traditional method and one in 65536 for AES.
bool passesCheck(const QString& path, quint64 index, const QByteArray& password);

QList<QByteArray> memberNames(const QList<StoredMember>& members);
// The plain bytes of the first member of that name (letter case ignored), or "<absent>".
QByteArray memberData(const QList<StoredMember>& members, const QByteArray& name);

} // namespace TestSupport
