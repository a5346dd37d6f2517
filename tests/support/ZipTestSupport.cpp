#include "tests/support/ZipTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <zip.h>

namespace TestSupport {

void writeRawZip(const QString& path, const QList<RawMember>& members)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    QVERIFY2(archive, "cannot create the test archive");
    for (const RawMember& member : members) {
        zip_int64_t index = -1;
        if (member.folder) {
            index = zip_dir_add(archive, member.name.constData(), ZIP_FL_ENC_RAW);
        } else {
            zip_source_t* source =
                zip_source_buffer(archive, member.bytes.constData(), static_cast<zip_uint64_t>(member.bytes.size()), 0);
            index = zip_file_add(archive, member.name.constData(), source, ZIP_FL_ENC_RAW);
            if (index < 0)
                zip_source_free(source);
        }
        QVERIFY2(index >= 0, zip_strerror(archive));
        const auto at = static_cast<zip_uint64_t>(index);
        if (member.link)
            QVERIFY(zip_file_set_external_attributes(archive, at, 0, ZIP_OPSYS_UNIX, (0120000u | 0777u) << 16) == 0);
        if (member.stored)
            QVERIFY(zip_set_file_compression(archive, at, ZIP_CM_STORE, 0) == 0);
        if (member.encryption != 0)
            QVERIFY2(zip_file_set_encryption(archive, at, static_cast<zip_uint16_t>(member.encryption),
                                             member.password.constData()) == 0,
                     zip_strerror(archive));
    }
    QVERIFY2(zip_close(archive) == 0, zip_strerror(archive));
}

QList<StoredMember> readZip(const QString& path, const QByteArray& password)
{
    QList<StoredMember> members;
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!archive) {
        QTest::qFail("cannot open the archive", __FILE__, __LINE__);
        return members;
    }
    if (!password.isEmpty())
        zip_set_default_password(archive, password.constData());
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t stat;
        zip_stat_index(archive, index, ZIP_FL_ENC_RAW, &stat);
        StoredMember member;
        member.name = stat.name;
        member.method = stat.comp_method;
        member.encryption = stat.encryption_method;
        auto readAll = [&](zip_flags_t flags, quint64 size) {
            QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
            zip_file_t* file = zip_fopen_index(archive, index, flags);
            if (!file)
                return QByteArray();
            const zip_int64_t got = zip_fread(file, bytes.data(), size);
            zip_fclose(file);
            return got == static_cast<zip_int64_t>(size) ? bytes : QByteArray();
        };
        member.compressed = readAll(ZIP_FL_COMPRESSED | (member.encryption ? ZIP_FL_ENCRYPTED : 0), stat.comp_size);
        member.data = readAll(0, stat.size);
        members.append(member);
    }
    zip_discard(archive);
    return members;
}

bool passesCheck(const QString& path, quint64 index, const QByteArray& password)
{
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, nullptr);
    zip_file_t* file = archive ? zip_fopen_index_encrypted(archive, index, 0, password.constData()) : nullptr;
    if (file)
        zip_fclose(file);
    if (archive)
        zip_discard(archive);
    return file != nullptr;
}

QList<QByteArray> memberNames(const QList<StoredMember>& members)
{
    QList<QByteArray> names;
    for (const StoredMember& member : members)
        names.append(member.name);
    return names;
}

QByteArray memberData(const QList<StoredMember>& members, const QByteArray& name)
{
    for (const StoredMember& member : members) {
        if (member.name.compare(name, Qt::CaseInsensitive) == 0)
            return member.data;
    }
    return "<absent>";
}

} // namespace TestSupport
