#include "levels/ZipArchive.h"
#include "levels/tests/ZipTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tools/demogame/DemoGame.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <zip.h>

namespace {

// Every file and folder under a folder, relative, sorted; links are listed, never followed.
QStringList tree(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.append(QDir(folder).relativeFilePath(it.next()));
    entries.sort();
    return entries;
}

QByteArray memberData(const QList<StoredMember>& members, const QByteArray& name)
{
    for (const StoredMember& member : members) {
        if (member.name == name)
            return member.data;
    }
    return "<absent>";
}

QList<QByteArray> names(const QList<StoredMember>& members)
{
    QList<QByteArray> result;
    for (const StoredMember& member : members)
        result.append(member.name);
    return result;
}

// Sets the declared uncompressed size of every member, in the local and the central headers.
void declareSize(QByteArray& archive, quint32 size)
{
    const auto put = [&archive, size](qsizetype at) {
        for (int i = 0; i < 4; ++i)
            archive[at + i] = static_cast<char>((size >> (8 * i)) & 0xff);
    };
    for (qsizetype at = archive.indexOf("PK\x03\x04"); at >= 0; at = archive.indexOf("PK\x03\x04", at + 4))
        put(at + 22);
    for (qsizetype at = archive.indexOf("PK\x01\x02"); at >= 0; at = archive.indexOf("PK\x01\x02", at + 4))
        put(at + 24);
}

} // namespace

class TestZipArchive final : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void safeMemberPath_data();
    void safeMemberPath();

    void extractsIntoMissingFolderWithSubfolders();
    void extractOverwritesEarlierFiles();
    void hostileNamesStayInside_data();
    void hostileNamesStayInside();
    void linksAreNeverFollowed();
    void duplicateAndCaseVariantNames();
    void damagedArchivesFail();
    void extractLimitCountsWrittenBytes();
    void passwords_data();
    void passwords();
    void refusedPasswordIsNotAskedAgain();

    void updateReplacesEntryAndCopiesOthersRaw();
    void updateAddsMissingEntryAndCreatesMissingArchive();
    void updateNeverDamagesWhatIsNotAnArchive();
    void updateKeepsKnownPassword();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_level; // a level folder: server.ZIP and TEMP go in here
    QString archive() const { return m_level + QStringLiteral("server.ZIP"); }
    QString temp() const { return m_level + QStringLiteral("TEMP"); }
};

void TestZipArchive::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_level = m_dir->filePath(QStringLiteral("mod/Levels/Varnholm/"));
    QVERIFY(QDir().mkpath(m_level));
}

void TestZipArchive::safeMemberPath_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    const QString refused;
    QTest::newRow("plain") << QStringLiteral("Init.CON") << QStringLiteral("Init.CON");
    QTest::newRow("folder") << QStringLiteral("Overgrowth/Overgrowth.con")
                            << QStringLiteral("Overgrowth/Overgrowth.con");
    QTest::newRow("backslashes") << QStringLiteral("Overgrowth\\a.con") << QStringLiteral("Overgrowth/a.con");
    QTest::newRow("dot parts") << QStringLiteral("./a//b/./c") << QStringLiteral("a/b/c");
    QTest::newRow("folder entry") << QStringLiteral("Empty/") << QStringLiteral("Empty");
    QTest::newRow("dot dot") << QStringLiteral("../evil") << refused;
    QTest::newRow("dot dot inside") << QStringLiteral("a/../../evil") << refused;
    QTest::newRow("dot dot backslash") << QStringLiteral("a\\..\\..\\evil") << refused;
    QTest::newRow("absolute") << QStringLiteral("/tmp/evil") << refused;
    QTest::newRow("absolute backslash") << QStringLiteral("\\Windows\\evil") << refused;
    QTest::newRow("drive") << QStringLiteral("C:/evil") << refused;
    QTest::newRow("drive relative") << QStringLiteral("C:evil") << refused;
    QTest::newRow("stream") << QStringLiteral("a.con:hidden") << refused;
    QTest::newRow("trailing dots") << QStringLiteral(".. /evil") << refused;
    QTest::newRow("device") << QStringLiteral("sub/NUL.txt") << refused;
    QTest::newRow("com port") << QStringLiteral("com1") << refused;
    QTest::newRow("control") << QStringLiteral("a\nb") << refused;
    QTest::newRow("nothing") << QStringLiteral("/") << refused;
}

void TestZipArchive::safeMemberPath()
{
    QFETCH(QString, name);
    QFETCH(QString, path);
    QCOMPARE(SafeMemberPath(name), path);
}

void TestZipArchive::extractsIntoMissingFolderWithSubfolders()
{
    QVERIFY(DemoGame::WriteZip(archive(), {{QStringLiteral("Init.CON"), "init\r\n"},
                                           {QStringLiteral("Overgrowth/Deep/Overgrowth.con"), "grow\r\n"},
                                           {QStringLiteral("Sounds.con"), QByteArray(600000, 's')}})
                .isEmpty());
    RecordingPrompter prompter;
    ZipArchive zip(prompter);
    const ExtractResult result = zip.ExtractArchive(archive(), temp() + QLatin1Char('/'));
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(tree(temp()),
             QStringList({QStringLiteral("Init.CON"), QStringLiteral("Overgrowth"), QStringLiteral("Overgrowth/Deep"),
                          QStringLiteral("Overgrowth/Deep/Overgrowth.con"), QStringLiteral("Sounds.con")}));
    QCOMPARE(ReadBytes(temp() + QStringLiteral("/Overgrowth/Deep/Overgrowth.con")), QByteArray("grow\r\n"));
    // Larger than one chunk: streamed in pieces, whole at the end.
    QCOMPARE(ReadBytes(temp() + QStringLiteral("/Sounds.con")), QByteArray(600000, 's'));
    QCOMPARE(result.files.size(), 3);
    QCOMPARE(result.files.first().first, QStringLiteral("Init.CON"));
    QCOMPARE(result.files.first().second, temp() + QStringLiteral("/Init.CON"));
    QCOMPARE(result.bytesWritten, qint64(600000 + 12));
    QVERIFY(result.skipped.isEmpty());
    QVERIFY(prompter.boxes.isEmpty());
}

void TestZipArchive::extractOverwritesEarlierFiles()
{
    QVERIFY(DemoGame::WriteZip(archive(), {{QStringLiteral("Init.CON"), "new"}}).isEmpty());
    QVERIFY(QDir().mkpath(temp()));
    WriteBytes(temp() + QStringLiteral("/Init.CON"), "old and longer");
    QFile::setPermissions(temp() + QStringLiteral("/Init.CON"), QFileDevice::ReadOwner);
    RecordingPrompter prompter;
    ZipArchive zip(prompter);
    const ExtractResult result = zip.ExtractArchive(archive(), temp());
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(ReadBytes(temp() + QStringLiteral("/Init.CON")), QByteArray("new"));
    QVERIFY(prompter.boxes.isEmpty()); // overwritten without a question
}

void TestZipArchive::hostileNamesStayInside_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("climbs") << QByteArray("../escaped.txt");
    QTest::newRow("climbs twice") << QByteArray("../../escaped.txt");
    QTest::newRow("climbs from a folder") << QByteArray("sub/../../escaped.txt");
    QTest::newRow("backslashes climb") << QByteArray("sub\\..\\..\\escaped.txt");
    QTest::newRow("absolute") << QByteArray("/tmp/gx3190-escaped.txt");
    QTest::newRow("drive letter") << QByteArray("C:\\escaped.txt");
}

void TestZipArchive::hostileNamesStayInside()
{
    QFETCH(QByteArray, name);
    WriteRawZip(archive(), {{"Init.CON", "init\r\n"}, {name, "payload"}, {"Sounds.con", "sounds"}});
    const QString outside = m_dir->path();
    const QStringList before = tree(outside);
    RecordingPrompter prompter;
    ZipArchive zip(prompter);
    const ExtractResult result = zip.ExtractArchive(archive(), temp());
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.skipped.size(), 1);
    QVERIFY(result.skipped.first().startsWith(QString::fromUtf8(name)));
    QVERIFY(!QFileInfo::exists(QStringLiteral("/tmp/gx3190-escaped.txt")));
    QStringList expected = before;
    expected << QStringLiteral("mod/Levels/Varnholm/TEMP") << QStringLiteral("mod/Levels/Varnholm/TEMP/Init.CON")
             << QStringLiteral("mod/Levels/Varnholm/TEMP/Sounds.con");
    expected.sort();
    QCOMPARE(tree(outside), expected);
}

void TestZipArchive::linksAreNeverFollowed()
{
    const QString outside = m_dir->filePath(QStringLiteral("outside"));
    QVERIFY(QDir().mkpath(outside));
    WriteBytes(outside + QStringLiteral("/victim.txt"), "keep me");
    WriteRawZip(archive(), {{"Init.CON", "init\r\n"},
                            {"link", "../../../../outside/victim.txt", false, true},
                            {"inside/victim.txt", "through a planted link"},
                            {"victim.txt", "over a planted link"}});
    RecordingPrompter prompter;
    ZipArchive zip(prompter);

    // A TEMP that is itself a link is refused before anything is written.
    QVERIFY(QFile::link(outside, temp()));
    ExtractResult result = zip.ExtractArchive(archive(), temp());
    QVERIFY(!result.ok());
    QVERIFY(result.error.contains(QLatin1String("link")));
    QCOMPARE(tree(outside), QStringList{QStringLiteral("victim.txt")});
    QVERIFY(QFile::remove(temp()));

    // Links planted inside TEMP: a folder link is not passed through, a file link is replaced by the file.
    QVERIFY(QDir().mkpath(temp()));
    QVERIFY(QFile::link(outside, temp() + QStringLiteral("/inside")));
    QVERIFY(QFile::link(outside + QStringLiteral("/victim.txt"), temp() + QStringLiteral("/victim.txt")));
    result = zip.ExtractArchive(archive(), temp());
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(ReadBytes(outside + QStringLiteral("/victim.txt")), QByteArray("keep me"));
    QCOMPARE(tree(outside), QStringList{QStringLiteral("victim.txt")});
    QCOMPARE(result.skipped.size(), 2); // the link member and the member behind the planted folder link
    QVERIFY(result.skipped.at(0).startsWith(QLatin1String("link:")));
    QVERIFY(result.skipped.at(1).startsWith(QLatin1String("inside/victim.txt:")));
    QVERIFY(!QFileInfo(temp() + QStringLiteral("/victim.txt")).isSymLink());
    QCOMPARE(ReadBytes(temp() + QStringLiteral("/victim.txt")), QByteArray("over a planted link"));
    QVERIFY(!QFileInfo::exists(temp() + QStringLiteral("/link")));
}

void TestZipArchive::duplicateAndCaseVariantNames()
{
    // libzip will not store a name twice, so the second one is spelled apart and patched afterwards.
    WriteRawZip(
        archive(),
        {{"Init.CON", "first"}, {"Init.CO2", "second"}, {"init.con", "lower"}, {"Sub/A.con", "a"}, {"sub/a.CON", "b"}});
    WriteBytes(archive(), ReadBytes(archive()).replace("Init.CO2", "Init.CON"));
    RecordingPrompter prompter;
    ZipArchive zip(prompter);
    const ExtractResult result = zip.ExtractArchive(archive(), temp());
    QVERIFY2(result.ok(), qPrintable(result.error));
    // The first of a name wins on every platform, so the file read is the entry that a save replaces.
    QCOMPARE(ReadBytes(temp() + QStringLiteral("/Init.CON")), QByteArray("first"));
    QCOMPARE(ReadBytes(temp() + QStringLiteral("/Sub/A.con")), QByteArray("a"));
    QCOMPARE(result.files.size(), 2);
    QCOMPARE(result.skipped.size(), 3);
    QVERIFY(!QFileInfo::exists(temp() + QStringLiteral("/init.con")));
}

void TestZipArchive::damagedArchivesFail()
{
    RecordingPrompter prompter;
    ZipArchive zip(prompter);

    ExtractResult result = zip.ExtractArchive(archive(), temp());
    QVERIFY(!result.ok());
    QVERIFY(result.missing);

    // Cut short: the directory at its end is gone.
    QVERIFY(DemoGame::WriteZip(archive(), {{QStringLiteral("Init.CON"), DemoGame::InitCon(0)}}).isEmpty());
    const QByteArray whole = ReadBytes(archive());
    WriteBytes(archive(), whole.left(whole.size() / 2));
    result = zip.ExtractArchive(archive(), temp());
    QVERIFY(!result.ok());
    QVERIFY(!result.missing);
    QVERIFY(!QFileInfo::exists(temp() + QStringLiteral("/Init.CON")));

    // Damaged data inside an intact directory: the member fails and leaves no half-written file.
    QByteArray corrupt = whole;
    for (qsizetype i = 60; i < 200; ++i)
        corrupt[i] = static_cast<char>(corrupt.at(i) ^ 0x5a);
    WriteBytes(archive(), corrupt);
    result = zip.ExtractArchive(archive(), temp());
    QVERIFY(!result.ok());
    QVERIFY(result.error.startsWith(QLatin1String("Init.CON:")));
    QVERIFY(!QFileInfo::exists(temp() + QStringLiteral("/Init.CON")));

    // A member named Init.CON that is a folder is made as a folder; nothing else happens.
    WriteRawZip(archive(), {{"Init.CON/", {}, true}, {"Init.CON/inner.con", "x"}});
    result = zip.ExtractArchive(archive(), temp());
    QVERIFY2(result.ok(), qPrintable(result.error));
    QVERIFY(QFileInfo(temp() + QStringLiteral("/Init.CON")).isDir());
    QCOMPARE(result.files.size(), 1);
    QCOMPARE(result.files.first().first, QStringLiteral("Init.CON/inner.con"));

    // A TEMP that is a file is not replaced.
    QVERIFY(QDir(temp()).removeRecursively());
    WriteBytes(temp(), "a file");
    result = zip.ExtractArchive(archive(), temp());
    QVERIFY(!result.ok());
    QCOMPARE(ReadBytes(temp()), QByteArray("a file"));
}

void TestZipArchive::extractLimitCountsWrittenBytes()
{
    RecordingPrompter prompter;
    ZipArchive zip(prompter);
    zip.setExtractLimit(1024 * 1024);

    // Honest sizes: the sum of the declared sizes passes the limit.
    WriteRawZip(archive(),
                {{"Init.CON", "init"}, {"a.bin", QByteArray(700000, 'a')}, {"b.bin", QByteArray(700000, 'b')}});
    ExtractResult result = zip.ExtractArchive(archive(), temp());
    QVERIFY(!result.ok());
    QVERIFY(result.error.contains(QLatin1String("more than 1 MiB")));
    QVERIFY(result.bytesWritten <= 1024 * 1024);
    QVERIFY(!QFileInfo::exists(temp() + QStringLiteral("/b.bin")));

    // Lying sizes: every member claims 10 bytes, so only the count of written bytes can stop it.
    WriteRawZip(archive(), {{"big.bin", QByteArray(3 * 1024 * 1024, '\0')}});
    QByteArray bytes = ReadBytes(archive());
    declareSize(bytes, 10);
    WriteBytes(archive(), bytes);
    result = zip.ExtractArchive(archive(), temp());
    QVERIFY(!result.ok());
    QVERIFY2(result.error.contains(QLatin1String("more than 1 MiB")), qPrintable(result.error));
    QVERIFY(result.bytesWritten <= 1024 * 1024);
    QVERIFY(!QFileInfo::exists(temp() + QStringLiteral("/big.bin")));

    zip.setExtractLimit(ZipArchive::DefaultExtractLimit);
    WriteRawZip(archive(), {{"big.bin", QByteArray(3 * 1024 * 1024, '\0')}});
    result = zip.ExtractArchive(archive(), temp());
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(QFileInfo(temp() + QStringLiteral("/big.bin")).size(), qint64(3 * 1024 * 1024));
}

void TestZipArchive::passwords_data()
{
    QTest::addColumn<int>("method");
    QTest::newRow("traditional") << int(ZIP_EM_TRAD_PKWARE);
    if (zip_encryption_method_supported(ZIP_EM_AES_256, 1))
        QTest::newRow("aes-256") << int(ZIP_EM_AES_256);
}

void TestZipArchive::passwords()
{
    QFETCH(int, method);
    WriteRawZip(archive(), {{"Init.CON", "secret init", false, false, method, "s3cret"},
                            {"Other.con", "secret other", false, false, method, "s3cret"},
                            {"Plain.con", "plain"}});
    RecordingPrompter prompter;
    prompter.textAnswers = {QStringLiteral("wrong"), QStringLiteral("s3cret")};
    ZipArchive zip(prompter);
    const ExtractResult result = zip.ExtractArchive(archive(), temp());
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(ReadBytes(temp() + QStringLiteral("/Init.CON")), QByteArray("secret init"));
    QCOMPARE(ReadBytes(temp() + QStringLiteral("/Other.con")), QByteArray("secret other"));
    QCOMPARE(ReadBytes(temp() + QStringLiteral("/Plain.con")), QByteArray("plain"));
    // The wrong answer is asked again; once right, the other member needs no question.
    if (method == ZIP_EM_AES_256) {
        QCOMPARE(prompter.texts(), QStringList(2, QStringLiteral("Please Enter The Password!")));
    } else {
        // The traditional check byte lets one wrong password in 256 through, to fail later on the data.
        QVERIFY(!prompter.texts().isEmpty());
    }
    QCOMPARE(prompter.kinds(), QStringList(prompter.boxes.size(), QStringLiteral("text")));
    QVERIFY(!zip.passwordRefused());
}

void TestZipArchive::refusedPasswordIsNotAskedAgain()
{
    WriteRawZip(archive(), {{"Init.CON", "secret init", false, false, ZIP_EM_TRAD_PKWARE, "s3cret"}});
    RecordingPrompter prompter;
    prompter.textAnswers = {QString()}; // an empty answer refuses
    ZipArchive zip(prompter);
    ExtractResult result = zip.ExtractArchive(archive(), temp());
    QVERIFY(!result.ok());
    QVERIFY(zip.passwordRefused());
    QVERIFY(!QFileInfo::exists(temp() + QStringLiteral("/Init.CON")));
    result = zip.ExtractArchive(archive(), temp());
    QVERIFY(!result.ok());
    QCOMPARE(prompter.kinds(), QStringList{QStringLiteral("text")}); // asked once for the whole run

    RecordingPrompter cancelling; // Cancel refuses too
    ZipArchive other(cancelling);
    QVERIFY(!other.ExtractArchive(archive(), temp()).ok());
    QVERIFY(other.passwordRefused());
    QCOMPARE(cancelling.boxes.size(), 1);
}

void TestZipArchive::updateReplacesEntryAndCopiesOthersRaw()
{
    QVERIFY(DemoGame::Create(m_dir->filePath(QStringLiteral("game"))).isEmpty());
    const QString level = m_dir->filePath(QStringLiteral("game/mods/gx3190/Levels/Tovary/"));
    const QString zipPath = level + QStringLiteral("server.ZIP");
    // The entry is found whatever its letter case and keeps its own spelling.
    {
        QList<StoredMember> members = ReadZip(zipPath);
        QList<RawMember> raw;
        for (const StoredMember& member : members)
            raw.append(RawMember(member.name == "Init.CON" ? QByteArray("init.con") : member.name, member.data));
        WriteRawZip(zipPath, raw);
    }
    const QList<StoredMember> before = ReadZip(zipPath);
    QVERIFY(names(before).contains("init.con"));

    const QString file = level + QStringLiteral("TEMP/Init.CON");
    QVERIFY(QDir().mkpath(level + QStringLiteral("TEMP")));
    const QByteArray content = QByteArray("rem changed\r\n").repeated(300);
    WriteBytes(file, content);
    // Older than the entry: a save must reach the archive whatever the times.
    QFile stamp(file);
    QVERIFY(stamp.open(QIODevice::ReadWrite));
    QVERIFY(stamp.setFileTime(QDateTime::currentDateTime().addYears(-20), QFileDevice::FileModificationTime));
    stamp.close();

    RecordingPrompter prompter;
    ZipArchive zip(prompter);
    const UpdateResult result = zip.UpdateArchive(zipPath, level + QStringLiteral("TEMP"), QStringLiteral("Init.CON"));
    QVERIFY2(result.ok(), qPrintable(result.error));

    const QList<StoredMember> after = ReadZip(zipPath);
    QCOMPARE(names(after), names(before));
    for (qsizetype i = 0; i < after.size(); ++i) {
        if (after.at(i).name == "init.con") {
            QCOMPARE(after.at(i).data, content);
            QCOMPARE(after.at(i).method, int(ZIP_CM_DEFLATE));
            QVERIFY(after.at(i).compressedSize < quint64(content.size()));
            continue;
        }
        QCOMPARE(after.at(i).data, before.at(i).data);
        QCOMPARE(after.at(i).crc, before.at(i).crc);
        QCOMPARE(after.at(i).compressedSize, before.at(i).compressedSize);
        QCOMPARE(after.at(i).compressed, before.at(i).compressed);
    }
    QVERIFY(tree(level).filter(QStringLiteral("server.ZIP.")).isEmpty()); // no temporary file left beside it

    // Duplicate entries of the name give way to the one new entry.
    WriteRawZip(zipPath, {{"Init.CON", "one"}, {"Other.con", "other"}, {"INIT.CON", "two"}});
    QVERIFY(zip.UpdateArchive(zipPath, level + QStringLiteral("TEMP"), file).ok());
    const QList<StoredMember> deduplicated = ReadZip(zipPath);
    QCOMPARE(names(deduplicated), QList<QByteArray>({"Init.CON", "Other.con"}));
    QCOMPARE(memberData(deduplicated, "Init.CON"), content);
}

void TestZipArchive::updateAddsMissingEntryAndCreatesMissingArchive()
{
    RecordingPrompter prompter;
    ZipArchive zip(prompter);
    QVERIFY(QDir().mkpath(temp()));
    WriteBytes(temp() + QStringLiteral("/Init.CON"), "fresh\r\n");

    WriteRawZip(archive(), {{"Sounds.con", "sounds"}, {"Overgrowth/Overgrowth.con", "grow"}});
    const QList<StoredMember> before = ReadZip(archive());
    QVERIFY(zip.UpdateArchive(archive(), temp(), temp() + QStringLiteral("/Init.CON")).ok());
    const QList<StoredMember> after = ReadZip(archive());
    QCOMPARE(names(after), QList<QByteArray>({"Sounds.con", "Overgrowth/Overgrowth.con", "Init.CON"}));
    QCOMPARE(after.at(0).compressed, before.at(0).compressed);
    QCOMPARE(after.at(1).compressed, before.at(1).compressed);
    QCOMPARE(after.at(2).data, QByteArray("fresh\r\n"));

    const QString missing = m_level + QStringLiteral("new/server.ZIP");
    QVERIFY(QDir().mkpath(m_level + QStringLiteral("new")));
    QVERIFY(zip.UpdateArchive(missing, temp(), QStringLiteral("Init.CON")).ok());
    const QList<StoredMember> created = ReadZip(missing);
    QCOMPARE(names(created), QList<QByteArray>{"Init.CON"});
    QCOMPARE(created.first().data, QByteArray("fresh\r\n"));
    QCOMPARE(created.first().method, int(ZIP_CM_DEFLATE));
}

void TestZipArchive::updateNeverDamagesWhatIsNotAnArchive()
{
    RecordingPrompter prompter;
    ZipArchive zip(prompter);
    QVERIFY(QDir().mkpath(temp()));
    WriteBytes(temp() + QStringLiteral("/Init.CON"), "fresh\r\n");
    WriteBytes(archive(), "this is not an archive, and it stays what it is");
    const UpdateResult result = zip.UpdateArchive(archive(), temp(), QStringLiteral("Init.CON"));
    QVERIFY(!result.ok());
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(ReadBytes(archive()), QByteArray("this is not an archive, and it stays what it is"));

    // A file that cannot be read is reported, and the archive is left alone.
    WriteRawZip(archive(), {{"Init.CON", "old"}});
    const QByteArray old = ReadBytes(archive());
    QVERIFY(!zip.UpdateArchive(archive(), temp(), QStringLiteral("Missing.CON")).ok());
    QCOMPARE(ReadBytes(archive()), old);
}

void TestZipArchive::updateKeepsKnownPassword()
{
    WriteRawZip(archive(), {{"Init.CON", "secret", false, false, ZIP_EM_TRAD_PKWARE, "pw"}, {"Plain.con", "plain"}});
    RecordingPrompter prompter;
    prompter.textAnswers = {QStringLiteral("pw")};
    ZipArchive zip(prompter);
    QVERIFY(zip.ExtractArchive(archive(), temp()).ok());
    WriteBytes(temp() + QStringLiteral("/Init.CON"), "changed");
    const UpdateResult result = zip.UpdateArchive(archive(), temp(), QStringLiteral("Init.CON"));
    QVERIFY2(result.ok(), qPrintable(result.error));
    const QList<StoredMember> after = ReadZip(archive(), "pw");
    QCOMPARE(after.first().encryption, int(ZIP_EM_TRAD_PKWARE));
    QCOMPARE(after.first().data, QByteArray("changed"));
    QCOMPARE(after.at(1).data, QByteArray("plain"));

    // Without a known password the new entry is stored plainly rather than lost.
    RecordingPrompter other;
    ZipArchive fresh(other);
    WriteBytes(temp() + QStringLiteral("/Init.CON"), "plain now");
    QVERIFY(fresh.UpdateArchive(archive(), temp(), QStringLiteral("Init.CON")).ok());
    const QList<StoredMember> plain = ReadZip(archive());
    QCOMPARE(plain.first().encryption, int(ZIP_EM_NONE));
    QCOMPARE(plain.first().data, QByteArray("plain now"));
}

QTEST_GUILESS_MAIN(TestZipArchive)
#include "tst_ziparchive.moc"
