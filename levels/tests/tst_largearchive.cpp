// The archive file layer with members larger than its buffers and many of them: an update must copy every
// other member unchanged (not recompress it), keep the archive's permissions and leave no temporary file.
#include "levels/ZipArchive.h"
#include "tests/support/TestSupport.h"
#include "tools/demogame/DemoGame.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <zip.h>

#include <sys/stat.h>

namespace {

struct Entry
{
    QString name;
    QByteArray bytes;
};

QList<Entry> makeEntries()
{
    QRandomGenerator random(3190);
    QList<Entry> entries{{QStringLiteral("Init.CON"), DemoGame::InitCon(2)}};
    for (int i = 0; i < 300; ++i) {
        // Every tenth member is incompressible and larger than one 1 MB block, so reads and writes cross
        // block edges at odd offsets.
        QByteArray bytes;
        if (i % 10 == 0) {
            bytes.resize(3 * 1024 * 1024 + 777 * i + 13);
            for (char& c : bytes)
                c = char(random.bounded(256));
        } else {
            bytes = QByteArray("ObjectTemplate.create part ") + QByteArray::number(i) + "\r\n";
            bytes = bytes.repeated(200 + i);
        }
        entries.append({QStringLiteral("Part%1/Object%2.con").arg(i % 7).arg(i), bytes});
    }
    return entries;
}

struct Stored
{
    quint64 compressedSize = 0;
    quint32 crc = 0;
};

QHash<QString, Stored> storedEntries(const QString& path)
{
    QHash<QString, Stored> stored;
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!archive)
        return stored;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t st;
        if (zip_stat_index(archive, zip_uint64_t(i), 0, &st) == 0)
            stored.insert(QString::fromUtf8(st.name), {st.comp_size, st.crc});
    }
    zip_discard(archive);
    return stored;
}

} // namespace

class TestLargeArchive final : public QObject
{
    Q_OBJECT

private slots:
    void updateCopiesOtherMembersAndKeepsTheFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QList<Entry> entries = makeEntries();
        QList<QPair<QString, QByteArray>> members;
        for (const Entry& entry : entries)
            members.append({entry.name, entry.bytes});
        const QString archivePath = dir.filePath(QStringLiteral("server.ZIP"));
        QCOMPARE(DemoGame::WriteZip(archivePath, members), QString());
        QVERIFY(::chmod(QFile::encodeName(archivePath).constData(), 0640) == 0);
        const QHash<QString, Stored> before = storedEntries(archivePath);
        QCOMPARE(before.size(), entries.size());

        const QString work = dir.filePath(QStringLiteral("work"));
        QVERIFY(QDir().mkpath(work));
        const QByteArray edited = DemoGame::InitCon(2).replace("rem end", "rem edited end");
        WriteBytes(work + QStringLiteral("/Init.CON"), edited);

        ZipArchive zip;
        const UpdateResult updated = zip.UpdateArchive(archivePath, work, QStringLiteral("Init.CON"));
        QVERIFY2(updated.ok(), qPrintable(updated.error));

        // Members that were not replaced are copied as stored: same compressed bytes, same checksum.
        const QHash<QString, Stored> after = storedEntries(archivePath);
        QCOMPARE(after.size(), before.size());
        for (const Entry& entry : entries) {
            if (entry.name == QLatin1String("Init.CON"))
                continue;
            QCOMPARE(after.value(entry.name).compressedSize, before.value(entry.name).compressedSize);
            QCOMPARE(after.value(entry.name).crc, before.value(entry.name).crc);
        }

        struct stat info;
        QVERIFY(::stat(QFile::encodeName(archivePath).constData(), &info) == 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0640));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("server.ZIP")});

        // Every byte comes back out, the new Init.CON included.
        const QString out = dir.filePath(QStringLiteral("TEMP"));
        const ExtractResult extracted = zip.ExtractArchive(archivePath, out);
        QVERIFY2(extracted.ok(), qPrintable(extracted.error));
        QCOMPARE(extracted.files.size(), entries.size());
        for (const Entry& entry : entries) {
            const QByteArray expected = entry.name == QLatin1String("Init.CON") ? edited : entry.bytes;
            QVERIFY2(ReadBytes(out + QLatin1Char('/') + entry.name) == expected, qPrintable(entry.name));
        }
    }

    void missingArchiveIsMadeWithTheUsualPermissions()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        WriteBytes(dir.filePath(QStringLiteral("Init.CON")), DemoGame::InitCon(0));
        const QString archivePath = dir.filePath(QStringLiteral("new/server.ZIP"));
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("new"))));
        ZipArchive zip;
        const UpdateResult updated = zip.UpdateArchive(archivePath, dir.path(), QStringLiteral("Init.CON"));
        QVERIFY2(updated.ok(), qPrintable(updated.error));
        QCOMPARE(storedEntries(archivePath).keys(), QStringList{QStringLiteral("Init.CON")});
        const mode_t mask = ::umask(0);
        ::umask(mask);
        struct stat info;
        QVERIFY(::stat(QFile::encodeName(archivePath).constData(), &info) == 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0666 & ~mask));
        QCOMPARE(QDir(dir.filePath(QStringLiteral("new"))).entryList(QDir::Files),
                 QStringList{QStringLiteral("server.ZIP")});
    }
};

QTEST_GUILESS_MAIN(TestLargeArchive)
#include "tst_largearchive.moc"
