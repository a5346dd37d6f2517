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

namespace {

// Each member's compressed size and checksum, by name.
QHash<QString, QPair<quint64, quint32>> storedEntries(const QString& path)
{
    QHash<QString, QPair<quint64, quint32>> stored;
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    for (zip_int64_t i = 0; archive && i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t st;
        if (zip_stat_index(archive, zip_uint64_t(i), 0, &st) == 0)
            stored.insert(QString::fromUtf8(st.name), {st.comp_size, st.crc});
    }
    if (archive)
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
        QRandomGenerator random(3190);
        QList<QPair<QString, QByteArray>> members{{QStringLiteral("Init.CON"), DemoGame::InitCon(2)}};
        for (int i = 0; i < 300; ++i) {
            // Every tenth member is incompressible and larger than one 1 MB block, so reads and writes cross
            // block edges at odd offsets.
            QByteArray bytes = QByteArray("ObjectTemplate.create part ") + QByteArray::number(i) + "\r\n";
            bytes = bytes.repeated(200 + i);
            if (i % 10 == 0) {
                bytes.resize(3 * 1024 * 1024 + 777 * i + 13);
                for (char& c : bytes)
                    c = char(random.bounded(256));
            }
            members.append({QStringLiteral("Part%1/Object%2.con").arg(i % 7).arg(i), bytes});
        }
        const QString archivePath = dir.filePath(QStringLiteral("server.ZIP"));
        QCOMPARE(DemoGame::WriteZip(archivePath, members), QString());
        QVERIFY(QFile::setPermissions(archivePath,
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
        const QFileDevice::Permissions bits = QFile::permissions(archivePath);
        const auto before = storedEntries(archivePath);
        QCOMPARE(before.size(), members.size());

        const QString work = dir.filePath(QStringLiteral("work"));
        members.first().second.replace("rem end", "rem edited end");
        WriteBytes(work + QStringLiteral("/Init.CON"), members.first().second);
        ZipArchive zip;
        const UpdateResult updated = zip.UpdateArchive(archivePath, work, QStringLiteral("Init.CON"));
        QVERIFY2(updated.ok(), qPrintable(updated.error));

        // Members that were not replaced are copied as stored: same compressed size, same checksum.
        auto after = storedEntries(archivePath);
        QVERIFY(after.take(QStringLiteral("Init.CON")) != before.value(QStringLiteral("Init.CON")));
        for (auto entry = after.cbegin(); entry != after.cend(); ++entry)
            QVERIFY2(entry.value() == before.value(entry.key()), qPrintable(entry.key()));
        QCOMPARE(after.size(), members.size() - 1);
        QCOMPARE(QFile::permissions(archivePath), bits);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("server.ZIP")});

        // Every byte comes back out, the new Init.CON included.
        const QString out = dir.filePath(QStringLiteral("TEMP"));
        const ExtractResult extracted = zip.ExtractArchive(archivePath, out);
        QVERIFY2(extracted.ok(), qPrintable(extracted.error));
        QCOMPARE(extracted.files.size(), members.size());
        for (const auto& [name, bytes] : members)
            QVERIFY2(ReadBytes(out + QLatin1Char('/') + name) == bytes, qPrintable(name));
    }
};

QTEST_GUILESS_MAIN(TestLargeArchive)
#include "tst_largearchive.moc"
