#include "levels/ZipArchive.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ZipTestSupport.h"
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

// Sets the declared uncompressed size of every member, in the local and the central headers.
void declareSize(QByteArray& archive, quint32 size)
{
    for (const char* signature : {"PK\x03\x04", "PK\x01\x02"}) {
        const qsizetype offset = signature[2] == '\x03' ? 22 : 24;
        for (qsizetype at = archive.indexOf(signature); at >= 0; at = archive.indexOf(signature, at + 4)) {
            for (int i = 0; i < 4; ++i)
                archive[at + offset + i] = static_cast<char>((size >> (8 * i)) & 0xff);
        }
    }
}

// A wrong password for the encrypted member at index, found by trying: one that fails the method's check,
// or one that passes it, as one in 256 do for the traditional method.
QByteArray wrongPassword(const QString& path, zip_uint64_t index, bool passesCheck)
{
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    for (int i = 0; archive && i < 100000; ++i) {
        const QByteArray candidate = "wrong" + QByteArray::number(i);
        zip_file_t* file = zip_fopen_index_encrypted(archive, index, 0, candidate.constData());
        if (file)
            zip_fclose(file);
        if ((file != nullptr) == passesCheck) {
            zip_discard(archive);
            return candidate;
        }
    }
    if (archive)
        zip_discard(archive);
    QTest::qFail("no such password", __FILE__, __LINE__);
    return {};
}

QByteArray littleEndian16(int value)
{
    const char bytes[] = {static_cast<char>(value & 0xff), static_cast<char>(value >> 8)};
    return QByteArray(bytes, 2);
}

} // namespace

class TestZipArchive final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void safeMemberPath_data();
    void safeMemberPath();
    void extractsFoldersAndOverwrites();
    void hostileNamesStayInside_data();
    void hostileNamesStayInside();
    void linksAreNeverFollowed();
    void duplicateAndCaseVariantNames();
    void damagedArchivesFail();
    void extractLimitCountsWrittenBytes();
    void failedMembersAreSkipped_data();
    void failedMembersAreSkipped();
    void passwords_data();
    void passwords();
    void updateReplacesEntryAndCopiesOthersRaw();
    void updateAddsMissingEntryAndCreatesMissingArchive();
    void updateNeverDamagesWhatIsNotAnArchive();
    void updateKeepsKnownPassword();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_level; // a level folder: server.ZIP and TEMP go in here
    RecordingPrompter m_prompter;
    std::unique_ptr<ZipArchive> m_zip;
    QString archive() const { return m_level + QStringLiteral("server.ZIP"); }
    QString temp(const char* file = "") const { return m_level + QStringLiteral("TEMP") + QLatin1String(file); }
    ExtractResult extract() { return m_zip->ExtractArchive(archive(), temp()); }
};

void TestZipArchive::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_level = m_dir->filePath(QStringLiteral("mod/Levels/Varnholm/"));
    QVERIFY(QDir().mkpath(m_level));
    m_prompter = RecordingPrompter();
    // Each question is recorded as the name of the member asked about.
    m_zip = std::make_unique<ZipArchive>([this](const QString& member) { return m_prompter.askText(member); });
}

void TestZipArchive::safeMemberPath_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    const auto row = [](const char* name, const char* path = "") {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(path);
    };
    row("Init.CON", "Init.CON");
    row("Overgrowth\\a.con", "Overgrowth/a.con");
    row("./a//b/./c", "a/b/c");
    row("Empty/", "Empty");
    for (const char* refused : {"../evil", "a/../../evil", "a\\..\\..\\evil", "/tmp/evil", "\\Windows\\evil", "C:/evil",
                                "C:evil", "a.con:hidden", ".. /evil", "sub/NUL.txt", "com1", "a\tb", "/"})
        row(refused);
}

void TestZipArchive::safeMemberPath()
{
    QFETCH(QString, name);
    QFETCH(QString, path);
    QCOMPARE(Levels::safeMemberPath(name), path);
}

void TestZipArchive::extractsFoldersAndOverwrites()
{
    QVERIFY(DemoGame::WriteZip(archive(), {{QStringLiteral("Init.CON"), "init\r\n"},
                                           {QStringLiteral("Overgrowth/Deep/Overgrowth.con"), "grow\r\n"},
                                           {QStringLiteral("Sounds.con"), QByteArray(600000, 's')}})
                .isEmpty());
    // The members' DOS time is 2004-06-15 12:34:56, which a file keeps as local time.
    QByteArray bytes = ReadBytes(archive());
    for (const char* name : {"Init.CON", "Overgrowth/Deep/Overgrowth.con", "Sounds.con"})
        PatchMember(bytes, name, DosTimeField,
                    littleEndian16(12 << 11 | 34 << 5 | 56 / 2) + littleEndian16((2004 - 1980) << 9 | 6 << 5 | 15));
    WriteBytes(archive(), bytes);
    const QDateTime stamp(QDate(2004, 6, 15), QTime(12, 34, 56));
    const QString destination = temp("/"); // missing, and given with a trailing separator
    ExtractResult result = m_zip->ExtractArchive(archive(), destination);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(tree(temp()),
             QStringList({QStringLiteral("Init.CON"), QStringLiteral("Overgrowth"), QStringLiteral("Overgrowth/Deep"),
                          QStringLiteral("Overgrowth/Deep/Overgrowth.con"), QStringLiteral("Sounds.con")}));
    QCOMPARE(ReadBytes(temp("/Overgrowth/Deep/Overgrowth.con")), QByteArray("grow\r\n"));
    QCOMPARE(ReadBytes(temp("/Sounds.con")), QByteArray(600000, 's')); // streamed in pieces, whole at the end
    for (const char* file : {"/Init.CON", "/Overgrowth/Deep/Overgrowth.con", "/Sounds.con"})
        QCOMPARE(QFileInfo(temp(file)).lastModified(), stamp);
    QCOMPARE(result.files.size(), 3);
    QCOMPARE(result.files.first(), qMakePair(QStringLiteral("Init.CON"), temp("/Init.CON")));
    QCOMPARE(result.bytesWritten, qint64(600000 + 12));
    QVERIFY(result.skipped.isEmpty());

    // A later extraction overwrites, read-only and longer files included, without a question.
    WriteBytes(temp("/Init.CON"), "old and longer");
    QFile::setPermissions(temp("/Init.CON"), QFileDevice::ReadOwner);
    result = extract();
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(ReadBytes(temp("/Init.CON")), QByteArray("init\r\n"));
    QCOMPARE(QFileInfo(temp("/Init.CON")).lastModified(), stamp);
    QVERIFY(m_prompter.boxes.isEmpty());
}

void TestZipArchive::hostileNamesStayInside_data()
{
    QTest::addColumn<QByteArray>("name");
    for (const char* name : {"../escaped.txt", "sub/../../escaped.txt", "sub\\..\\..\\escaped.txt",
                             "/tmp/gx3190-escaped.txt", "C:\\escaped.txt"})
        QTest::newRow(name) << QByteArray(name);
}

void TestZipArchive::hostileNamesStayInside()
{
    QFETCH(QByteArray, name);
    WriteRawZip(archive(), {{"Init.CON", "init\r\n"}, {name, "payload"}, {"Sounds.con", "sounds"}});
    const QStringList before = tree(m_dir->path());
    const ExtractResult result = extract();
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.skipped.size(), 1);
    QCOMPARE(result.skipped.first().first, QString::fromUtf8(name));
    QVERIFY(!QFileInfo::exists(QStringLiteral("/tmp/gx3190-escaped.txt")));
    QStringList expected = before;
    for (const char* made : {"", "/Init.CON", "/Sounds.con"})
        expected << QStringLiteral("mod/Levels/Varnholm/TEMP") + QLatin1String(made);
    expected.sort();
    QCOMPARE(tree(m_dir->path()), expected);
}

void TestZipArchive::linksAreNeverFollowed()
{
    const QString outside = m_dir->filePath(QStringLiteral("outside"));
    WriteBytes(outside + QStringLiteral("/victim.txt"), "keep me");
    WriteRawZip(archive(), {{"Init.CON", "init\r\n"},
                            {"link", "../../../../outside/victim.txt", false, true},
                            {"inside/victim.txt", "through a planted link"},
                            {"victim.txt", "over a planted link"}});

    // A TEMP that is itself a link is refused before anything is written.
    QVERIFY(QFile::link(outside, temp()));
    ExtractResult result = extract();
    QCOMPARE(result.failure, ExtractResult::Failure::DestinationIsLink);
    QCOMPARE(tree(outside), QStringList{QStringLiteral("victim.txt")});
    QVERIFY(QFile::remove(temp()));

    // Links planted inside TEMP: a folder link is not passed through, a file link is replaced by the file.
    QVERIFY(QDir().mkpath(temp()));
    QVERIFY(QFile::link(outside, temp("/inside")));
    QVERIFY(QFile::link(outside + QStringLiteral("/victim.txt"), temp("/victim.txt")));
    result = extract();
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(ReadBytes(outside + QStringLiteral("/victim.txt")), QByteArray("keep me"));
    QCOMPARE(tree(outside), QStringList{QStringLiteral("victim.txt")});
    QCOMPARE(result.skipped.size(), 2); // the link member and the member behind the planted folder link
    QCOMPARE(result.skipped.at(0).first, QStringLiteral("link"));
    QCOMPARE(result.skipped.at(1).first, QStringLiteral("inside/victim.txt"));
    QVERIFY(!QFileInfo(temp("/victim.txt")).isSymLink());
    QCOMPARE(ReadBytes(temp("/victim.txt")), QByteArray("over a planted link"));
    QVERIFY(!QFileInfo::exists(temp("/link")));
}

void TestZipArchive::duplicateAndCaseVariantNames()
{
    // libzip will not store a name twice, so the second one is spelled apart and patched afterwards.
    WriteRawZip(
        archive(),
        {{"Init.CON", "first"}, {"Init.CO2", "second"}, {"init.con", "lower"}, {"Sub/A.con", "a"}, {"sub/a.CON", "b"}});
    WriteBytes(archive(), ReadBytes(archive()).replace("Init.CO2", "Init.CON"));
    const ExtractResult result = extract();
    QVERIFY2(result.ok(), qPrintable(result.error));
    // The first of a name wins on every platform, so the file read is the entry that a save replaces.
    QCOMPARE(ReadBytes(temp("/Init.CON")), QByteArray("first"));
    QCOMPARE(ReadBytes(temp("/Sub/A.con")), QByteArray("a"));
    QCOMPARE(result.files.size(), 2);
    QCOMPARE(result.skipped.size(), 3);
    QVERIFY(!QFileInfo::exists(temp("/init.con")));
}

void TestZipArchive::damagedArchivesFail()
{
    ExtractResult result = extract();
    QCOMPARE(result.failure, ExtractResult::Failure::ArchiveMissing);

    // Cut short: the directory at its end is gone.
    QVERIFY(DemoGame::WriteZip(archive(), {{QStringLiteral("Init.CON"), DemoGame::InitCon(0)}}).isEmpty());
    const QByteArray whole = ReadBytes(archive());
    WriteBytes(archive(), whole.left(whole.size() / 2));
    result = extract();
    QCOMPARE(result.failure, ExtractResult::Failure::ArchiveUnreadable);
    QVERIFY(!QFileInfo::exists(temp("/Init.CON")));

    // Damaged data inside an intact directory: the member is skipped and leaves no half-written file.
    QByteArray corrupt = whole;
    for (qsizetype i = 60; i < 200; ++i)
        corrupt[i] = static_cast<char>(corrupt.at(i) ^ 0x5a);
    WriteBytes(archive(), corrupt);
    result = extract();
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.skipped.size(), 1);
    QCOMPARE(result.skipped.first().first, QStringLiteral("Init.CON"));
    QVERIFY(!QFileInfo::exists(temp("/Init.CON")));

    // A member named Init.CON that is a folder is made as a folder; nothing else happens.
    WriteRawZip(archive(), {{"Init.CON/", {}, true}, {"Init.CON/inner.con", "x"}});
    result = extract();
    QVERIFY2(result.ok(), qPrintable(result.error));
    QVERIFY(QFileInfo(temp("/Init.CON")).isDir());
    QCOMPARE(result.files.size(), 1);

    // A TEMP that is a file is not replaced.
    QVERIFY(QDir(temp()).removeRecursively());
    WriteBytes(temp(), "a file");
    QVERIFY(!extract().ok());
    QCOMPARE(ReadBytes(temp()), QByteArray("a file"));
}

void TestZipArchive::extractLimitCountsWrittenBytes()
{
    m_zip->setExtractLimit(1024 * 1024);
    // Honest sizes: the sum of the declared sizes passes the limit.
    WriteRawZip(archive(),
                {{"Init.CON", "init"}, {"a.bin", QByteArray(700000, 'a')}, {"b.bin", QByteArray(700000, 'b')}});
    ExtractResult result = extract();
    QVERIFY2(result.error.contains(QLatin1String("more than 1 MiB")), qPrintable(result.error));
    QVERIFY(result.bytesWritten <= 1024 * 1024);
    QVERIFY(!QFileInfo::exists(temp("/b.bin")));

    // Lying sizes: every member claims 10 bytes, so only the count of written bytes can stop it.
    WriteRawZip(archive(), {{"big.bin", QByteArray(3 * 1024 * 1024, '\0')}});
    const QByteArray honest = ReadBytes(archive());
    QByteArray lying = honest;
    declareSize(lying, 10);
    WriteBytes(archive(), lying);
    result = extract();
    QVERIFY2(result.error.contains(QLatin1String("more than 1 MiB")), qPrintable(result.error));
    QVERIFY(result.bytesWritten <= 1024 * 1024);
    QVERIFY(!QFileInfo::exists(temp("/big.bin")));

    m_zip->setExtractLimit(ZipArchive::DefaultExtractLimit);
    WriteBytes(archive(), honest);
    result = extract();
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(QFileInfo(temp("/big.bin")).size(), qint64(3 * 1024 * 1024));
}

void TestZipArchive::failedMembersAreSkipped_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("reason"); // how the reason ends
    QTest::newRow("bad CRC") << QStringLiteral("crc") << QStringLiteral("CRC error");
    QTest::newRow("unsupported method") << QStringLiteral("method") << QStringLiteral("not supported");
    QTest::newRow("password refused") << QStringLiteral("cancel") << QStringLiteral("protected by a password");
    QTest::newRow("password empty") << QStringLiteral("empty") << QStringLiteral("protected by a password");
    QTest::newRow("wrong password passing the check")
        << QStringLiteral("wrong") << QStringLiteral("the password may be wrong");
}

void TestZipArchive::failedMembersAreSkipped()
{
    QFETCH(QString, damage);
    QFETCH(QString, reason);
    const bool locked = damage != QLatin1String("crc") && damage != QLatin1String("method");
    WriteRawZip(archive(), {{"Init.CON", "init"},
                            {"Bad.con", "damaged", false, false, locked ? ZIP_EM_TRAD_PKWARE : 0, "s3cret"},
                            {"After.con", "after"}});
    QByteArray bytes = ReadBytes(archive());
    if (damage == QLatin1String("crc"))
        PatchMember(bytes, "Bad.con", CrcField, QByteArray(4, '\0'));
    if (damage == QLatin1String("method"))
        PatchMember(bytes, "Bad.con", MethodField, littleEndian16(6)); // imploded, which libzip cannot read
    WriteBytes(archive(), bytes);
    if (damage == QLatin1String("empty"))
        m_prompter.textAnswers = {QString(), QString()};
    if (damage == QLatin1String("wrong")) {
        const QString wrong = QString::fromLatin1(wrongPassword(archive(), 1, true));
        m_prompter.textAnswers = {wrong, wrong};
    }
    WriteBytes(temp("/Bad.con"), "left by an earlier extraction");

    // Twice: a refused or wrong password is asked for again next time, not remembered.
    for (int round = 0; round < 2; ++round) {
        const ExtractResult result = extract();
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.files.size(), 2);
        QCOMPARE(ReadBytes(temp("/After.con")), QByteArray("after"));
        QCOMPARE(result.skipped.size(), 1);
        QCOMPARE(result.skipped.first().first, QStringLiteral("Bad.con"));
        QVERIFY2(result.skipped.first().second.endsWith(reason), qPrintable(result.skipped.first().second));
        QVERIFY(!QFileInfo::exists(temp("/Bad.con"))); // neither a partial nor an earlier copy
        QCOMPARE(m_prompter.kinds(), QStringList(locked ? 1 : 0, QStringLiteral("text")));
        m_prompter.clear();
    }
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
    // Computed to fail the method's check: a wrong password that passes it fails later, on the data.
    m_prompter.textAnswers = {QString::fromLatin1(wrongPassword(archive(), 0, false)), QStringLiteral("s3cret")};
    const ExtractResult result = extract();
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(ReadBytes(temp("/Init.CON")), QByteArray("secret init"));
    QCOMPARE(ReadBytes(temp("/Other.con")), QByteArray("secret other"));
    QCOMPARE(ReadBytes(temp("/Plain.con")), QByteArray("plain"));
    // The wrong answer is asked again; once right, the other member needs no question.
    QCOMPARE(m_prompter.texts(), QStringList(2, QStringLiteral("Init.CON")));
    QCOMPARE(m_prompter.kinds(), QStringList(2, QStringLiteral("text")));
}

void TestZipArchive::updateReplacesEntryAndCopiesOthersRaw()
{
    QVERIFY(DemoGame::Create(m_dir->filePath(QStringLiteral("game"))).isEmpty());
    const QString level = m_dir->filePath(QStringLiteral("game/mods/gx3190/Levels/Tovary/"));
    const QString zipPath = level + QStringLiteral("server.ZIP");
    // The entry is found whatever its letter case and keeps its own spelling.
    QList<RawMember> raw;
    for (const StoredMember& member : ReadZip(zipPath))
        raw.append(RawMember(member.name == "Init.CON" ? QByteArray("init.con") : member.name, member.data));
    WriteRawZip(zipPath, raw);
    const QList<StoredMember> before = ReadZip(zipPath);

    const QString file = level + QStringLiteral("TEMP/Init.CON");
    const QByteArray content = QByteArray("rem changed\r\n").repeated(300);
    WriteBytes(file, content);
    // Older than the entry: a save must reach the archive whatever the times.
    QFile stamp(file);
    QVERIFY(stamp.open(QIODevice::ReadWrite));
    QVERIFY(stamp.setFileTime(QDateTime::currentDateTime().addYears(-20), QFileDevice::FileModificationTime));
    stamp.close();

    const UpdateResult result =
        m_zip->UpdateArchive(zipPath, level + QStringLiteral("TEMP"), QStringLiteral("Init.CON"));
    QVERIFY2(result.ok(), qPrintable(result.error));
    const QList<StoredMember> after = ReadZip(zipPath);
    QCOMPARE(MemberNames(after), MemberNames(before));
    QVERIFY(MemberNames(after).contains("init.con"));
    for (qsizetype i = 0; i < after.size(); ++i) {
        if (after.at(i).name == "init.con") {
            QCOMPARE(after.at(i).data, content);
            QCOMPARE(after.at(i).method, int(ZIP_CM_DEFLATE));
            QVERIFY(after.at(i).compressed.size() < content.size());
        } else {
            QCOMPARE(after.at(i).data, before.at(i).data);
            QCOMPARE(after.at(i).compressed, before.at(i).compressed); // copied, not compressed again
        }
    }
    QVERIFY(tree(level).filter(QStringLiteral("server.ZIP.")).isEmpty()); // no temporary file left beside it

    // Duplicate entries of the name give way to the one new entry; an absolute path is taken as it is.
    WriteRawZip(zipPath, {{"Init.CON", "one"}, {"Other.con", "other"}, {"INIT.CON", "two"}});
    QVERIFY(m_zip->UpdateArchive(zipPath, level + QStringLiteral("TEMP"), file).ok());
    const QList<StoredMember> deduplicated = ReadZip(zipPath);
    QCOMPARE(MemberNames(deduplicated), QList<QByteArray>({"Init.CON", "Other.con"}));
    QCOMPARE(MemberData(deduplicated, "Init.CON"), content);
}

void TestZipArchive::updateAddsMissingEntryAndCreatesMissingArchive()
{
    WriteBytes(temp("/Init.CON"), "fresh\r\n");
    WriteRawZip(archive(), {{"Sounds.con", "sounds"}, {"Overgrowth/Overgrowth.con", "grow"}});
    const QList<StoredMember> before = ReadZip(archive());
    QVERIFY(m_zip->UpdateArchive(archive(), temp(), temp("/Init.CON")).ok());
    const QList<StoredMember> after = ReadZip(archive());
    QCOMPARE(MemberNames(after), QList<QByteArray>({"Sounds.con", "Overgrowth/Overgrowth.con", "Init.CON"}));
    QCOMPARE(after.at(0).compressed, before.at(0).compressed);
    QCOMPARE(after.at(1).compressed, before.at(1).compressed);
    QCOMPARE(after.at(2).data, QByteArray("fresh\r\n"));

    const QString missing = m_level + QStringLiteral("new/server.ZIP");
    QVERIFY(QDir().mkpath(m_level + QStringLiteral("new")));
    QVERIFY(m_zip->UpdateArchive(missing, temp(), QStringLiteral("Init.CON")).ok());
    const QList<StoredMember> created = ReadZip(missing);
    QCOMPARE(MemberNames(created), QList<QByteArray>{"Init.CON"});
    QCOMPARE(created.first().data, QByteArray("fresh\r\n"));
    QCOMPARE(created.first().method, int(ZIP_CM_DEFLATE));
}

void TestZipArchive::updateNeverDamagesWhatIsNotAnArchive()
{
    WriteBytes(temp("/Init.CON"), "fresh\r\n");
    const QByteArray notAnArchive = "this is not an archive, and it stays what it is";
    WriteBytes(archive(), notAnArchive);
    const UpdateResult result = m_zip->UpdateArchive(archive(), temp(), QStringLiteral("Init.CON"));
    QVERIFY(!result.ok() && !result.error.isEmpty());
    QCOMPARE(ReadBytes(archive()), notAnArchive);

    // A file that cannot be read is reported, and the archive is left alone.
    WriteRawZip(archive(), {{"Init.CON", "old"}});
    const QByteArray old = ReadBytes(archive());
    QVERIFY(!m_zip->UpdateArchive(archive(), temp(), QStringLiteral("Missing.CON")).ok());
    QCOMPARE(ReadBytes(archive()), old);
}

void TestZipArchive::updateKeepsKnownPassword()
{
    WriteRawZip(archive(), {{"Init.CON", "secret", false, false, ZIP_EM_TRAD_PKWARE, "pw"}, {"Plain.con", "plain"}});
    m_prompter.textAnswers = {QStringLiteral("pw")};
    QVERIFY(extract().ok());
    WriteBytes(temp("/Init.CON"), "changed");
    const UpdateResult result = m_zip->UpdateArchive(archive(), temp(), QStringLiteral("Init.CON"));
    QVERIFY2(result.ok(), qPrintable(result.error));
    const QList<StoredMember> after = ReadZip(archive(), "pw");
    QCOMPARE(after.first().encryption, int(ZIP_EM_TRAD_PKWARE));
    QCOMPARE(after.first().data, QByteArray("changed"));
    QCOMPARE(after.at(1).data, QByteArray("plain"));

    // Without a known password the new entry is stored plainly rather than lost.
    ZipArchive fresh;
    WriteBytes(temp("/Init.CON"), "plain now");
    QVERIFY(fresh.UpdateArchive(archive(), temp(), QStringLiteral("Init.CON")).ok());
    const QList<StoredMember> plain = ReadZip(archive());
    QCOMPARE(plain.first().encryption, int(ZIP_EM_NONE));
    QCOMPARE(plain.first().data, QByteArray("plain now"));
}

QTEST_GUILESS_MAIN(TestZipArchive)
#include "tst_ziparchive.moc"
