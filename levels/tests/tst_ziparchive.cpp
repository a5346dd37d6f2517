#include "levels/ZipArchive.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ZipTestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <zip.h>

#include <chrono>
#include <filesystem>
#include <optional>

using namespace TestSupport;

namespace {

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

} // namespace

class TestZipArchive final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_level; // a level folder: server.ZIP and TEMP go in here
    RecordingPrompter m_prompter;
    std::unique_ptr<ZipArchive> m_zip;
    QString archive() const { return m_level + QStringLiteral("server.ZIP"); }
    QString temp(const char* file = "") const { return m_level + QStringLiteral("TEMP") + QLatin1String(file); }
    ExtractResult extract() { return m_zip->ExtractArchive(archive(), temp()); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_level = m_dir->filePath(QStringLiteral("mod/Levels/Varnholm/"));
        QVERIFY(QDir().mkpath(m_level));
        m_prompter = RecordingPrompter();
        // Each question is recorded as the name of the member asked about.
        m_zip = std::make_unique<ZipArchive>([this](const QString& member) { return m_prompter.askText(member); });
    }

    void safeMemberPath_data()
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
        for (const char* refused : {"../evil", "a/../../evil", "a\\..\\..\\evil", "/evil", "\\Windows\\evil", "C:/evil",
                                    "C:evil", "a.con:hidden", ".. /evil", "sub/NUL.txt", "com1", "a\tb", "/"})
            row(refused);
    }

    void safeMemberPath()
    {
        QFETCH(QString, name);
        QFETCH(QString, path);
        QCOMPARE(Levels::safeMemberPath(name), path);
    }

    void extractsFoldersAndOverwrites()
    {
        const QMap<QString, QByteArray> members{{QStringLiteral("Init.CON"), "init\r\n"},
                                                {QStringLiteral("Overgrowth/Deep/Overgrowth.con"), "grow\r\n"},
                                                {QStringLiteral("Sounds.con"), QByteArray(600000, 's')}};
        QList<RawMember> raw;
        for (auto member = members.cbegin(); member != members.cend(); ++member)
            raw.append(RawMember(member.key().toUtf8(), member.value()));
        writeRawZip(archive(), raw + QList<RawMember>{{"Empty/", {}, true}});
        // The members' DOS time is 2004-06-15 12:34:56, which a file keeps as local time.
        QByteArray bytes = readBytes(archive());
        for (const RawMember& member : raw)
            patchMember(bytes, member.name, DosTimeField, "\x5c\x64\xcf\x30");
        writeBytes(archive(), bytes);
        QMap<QString, QByteArray> expected = members;
        expected.insert(QStringLiteral("Overgrowth"), "<folder>");
        expected.insert(QStringLiteral("Overgrowth/Deep"), "<folder>");
        expected.insert(QStringLiteral("Empty"), "<folder>");
        // Missing, and given with a trailing separator; then again over the first one's files, a read-only and
        // longer one included, without a question.
        for (const QString& destination : {temp("/"), temp()}) {
            const ExtractResult result = m_zip->ExtractArchive(archive(), destination);
            QVERIFY2(result.ok() && result.skipped.isEmpty(), qPrintable(result.error));
            QCOMPARE(folderContents(temp()), expected); // the large member streamed in pieces, whole at the end
            for (const RawMember& member : raw)
                QCOMPARE(QFileInfo(temp("/") + QString::fromUtf8(member.name)).lastModified(),
                         QDateTime(QDate(2004, 6, 15), QTime(12, 34, 56)));
            QCOMPARE(result.bytesWritten, qint64(600000 + 12));
            writeBytes(temp("/Init.CON"), "old and longer");
            QVERIFY(QFile::setPermissions(temp("/Init.CON"), QFileDevice::ReadOwner));
        }
        QVERIFY(m_prompter.boxes.isEmpty());
    }

    // Members not unpacked: names that lead outside (even into the test's own folder, ROOT), links, later ones of
    // a name, and a Bad.con that fails as damage says. Member i holds the digit i. planted: links made in TEMP
    // first, name then target; extracted: TEMP afterwards, each entry with what it holds. Nothing outside TEMP
    // changes, and a second run gives the same: a refused or wrong password is asked for again, not remembered.
    void membersLeftOut_data()
    {
        QTest::addColumn<QList<QByteArray>>("names");
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QStringList>("planted");
        QTest::addColumn<QStringList>("extracted");
        QTest::addColumn<QStringList>("skipped");
        QTest::addColumn<QString>("reason"); // how the first one's reason ends
        const auto row = [](const char* name, const QList<QByteArray>& names, const char* damage,
                            std::initializer_list<const char*> planted, std::initializer_list<const char*> extracted,
                            std::initializer_list<const char*> skipped, const char* reason = "") {
            QTest::newRow(name) << names << QString::fromLatin1(damage) << texts(planted) << texts(extracted)
                                << texts(skipped) << QString::fromLatin1(reason);
        };
        for (const char* name : {"sub\\..\\..\\escaped.txt", "ROOT/escaped.txt", "link"})
            row(name, {"Init.CON", name, "Sounds.con"}, "", {}, {"Init.CON 0", "Sounds.con 2"}, {name});
        // The first of a name, whatever its letter case, wins on every platform, so that the file read is the
        // entry that a save replaces.
        row("same names", {"Init.CON", "Init.CON", "init.con", "Sub/A.con", "sub/a.CON"}, "", {},
            {"Init.CON 0", "Sub <folder>", "Sub/A.con 3"}, {"Init.CON", "init.con", "sub/a.CON"});
        // A folder link planted in TEMP is not passed through; a file link is replaced by the file.
        row("planted links", {"inside/victim.txt", "victim.txt"}, "",
            {"inside", "ROOT", "victim.txt", "ROOT/victim.txt"}, {"inside -> ROOT", "victim.txt 1"},
            {"inside/victim.txt"});
        // Neither a partial Bad.con nor an earlier copy is left.
        const QList<QByteArray> bad{"Init.CON", "Bad.con", "After.con"};
        const auto damaged = [&](const char* name, const char* damage, const char* reason) {
            row(name, bad, damage, {}, {"After.con 2", "Init.CON 0"}, {"Bad.con"}, reason);
        };
        damaged("bad CRC", "crc", "CRC error");
        damaged("unsupported method", "method", "not supported");
        damaged("password refused", "cancel", "protected by a password");
        damaged("password empty", "empty", "protected by a password");
        damaged("wrong password passing the check", "wrong", "the password may be wrong");
#ifdef Q_OS_UNIX
        damaged("disk full", "full", "File too large"); // after the member's first piece
#endif
    }

    void membersLeftOut()
    {
        QFETCH(QList<QByteArray>, names);
        QFETCH(QString, damage);
        QFETCH(QStringList, planted);
        QFETCH(QStringList, extracted);
        QFETCH(QStringList, skipped);
        QFETCH(QString, reason);
        const QString root = m_dir->path();
        const bool locked =
            damage == QLatin1String("cancel") || damage == QLatin1String("empty") || damage == QLatin1String("wrong");
        QList<RawMember> members;
        for (QByteArray& name : names) {
            name.replace("ROOT", QFile::encodeName(root));
            // libzip will not store a name twice, so a second one is spelled apart and patched afterwards.
            const QByteArray stored = names.count(name) > 1 && members.size() > 0 ? name.chopped(1) + '#' : name;
            const bool bad = name == "Bad.con";
            // Bad.con is large: past the first piece of a full disk, and more than a wrong key can decrypt to the
            // right bytes by chance (one byte would, one time in 256).
            members.append({stored, bad ? QByteArray(600000, 'b') : QByteArray::number(members.size()), false,
                            name == "link", bad && locked ? ZIP_EM_TRAD_PKWARE : 0, "s3cret"});
        }
        writeRawZip(archive(), members);
        QByteArray bytes = readBytes(archive()).replace("Init.CO#", "Init.CON");
        if (damage == QLatin1String("crc"))
            patchMember(bytes, "Bad.con", CrcField, QByteArray(4, '\0'));
        if (damage == QLatin1String("method"))
            patchMember(bytes, "Bad.con", MethodField, QByteArray("\x06\0", 2)); // imploded, which libzip cannot read
        writeBytes(archive(), bytes);
        if (damage == QLatin1String("empty"))
            m_prompter.textAnswers = {QString(), QString()};
        if (damage == QLatin1String("wrong")) {
            const QString wrong = QString::fromLatin1(wrongPassword(archive(), 1, true));
            m_prompter.textAnswers = {wrong, wrong};
        }
        writeBytes(root + QStringLiteral("/victim.txt"), "keep me");
        QVERIFY(QDir().mkpath(temp()));
        if (names.contains("Bad.con"))
            writeBytes(temp("/Bad.con"), "left by an earlier extraction");
        for (qsizetype i = 0; i < planted.size(); i += 2)
            QVERIFY(QFile::link(QString(planted.at(i + 1)).replace(QStringLiteral("ROOT"), root),
                                temp("/") + planted.at(i)));
#ifdef Q_OS_WIN
        // Qt's link on Windows is a shortcut: a file of its own that no path passes through, so it stays as made.
        for (QString& entry : extracted) {
            const QString name = entry.section(QStringLiteral(" -> "), 0, 0);
            if (name != entry)
                entry = name + QLatin1Char(' ') + QString::fromLatin1(readBytes(temp("/") + name));
        }
#endif
        skipped.replaceInStrings(QStringLiteral("ROOT"), root);
        extracted.replaceInStrings(QStringLiteral("ROOT"), root);
        const auto outside = [&] {
            QMap<QString, QByteArray> contents = folderContents(root);
            contents.removeIf([](auto entry) { return entry.key().contains(QLatin1String("/TEMP")); });
            return contents;
        };
        const QMap<QString, QByteArray> before = outside();
        for (int round = 0; round < 2; ++round) {
            ExtractResult result;
            {
#ifdef Q_OS_UNIX
                std::optional<FileSizeLimit> full;
                if (damage == QLatin1String("full"))
                    full.emplace(300000);
#endif
                result = extract();
            }
            QVERIFY2(result.ok(), qPrintable(result.error));
            QStringList left;
            for (const auto& [name, why] : result.skipped)
                left.append(name);
            QCOMPARE(left, skipped);
            QVERIFY2(result.skipped.first().second.endsWith(reason), qPrintable(result.skipped.first().second));
            QStringList found;
            const QMap<QString, QByteArray> contents = folderContents(temp());
            for (auto entry = contents.cbegin(); entry != contents.cend(); ++entry)
                found.append(entry.key() + QLatin1Char(' ') + QString::fromLatin1(entry.value()));
            QCOMPARE(found, extracted);
            QCOMPARE(m_prompter.kinds(), QStringList(locked ? 1 : 0, QStringLiteral("text")));
            m_prompter.clear();
        }
        QCOMPARE(outside(), before);
    }

    void extractLimitCountsWrittenBytes()
    {
        writeRawZip(archive(), {{"a.bin", QByteArray(700000, 'a')}, {"b.bin", QByteArray(700000, 'b')}});
        QByteArray lying = readBytes(archive());
        for (const char* name : {"a.bin", "b.bin"})
            patchMember(lying, name, SizeField, QByteArray("\x0a\0\0\0", 4));
        // Honest sizes pass the limit in their sum; lying ones (each member claims 10 bytes) only in the bytes
        // written. Under the usual limit the lying archive unpacks whole.
        m_zip->setExtractLimit(1024 * 1024);
        for (const QByteArray& bytes : {readBytes(archive()), lying}) {
            writeBytes(archive(), bytes);
            const ExtractResult result = extract();
            QCOMPARE(result.failure, ExtractResult::Failure::TooLarge);
            QVERIFY2(result.error.contains(QLatin1String("more than 1 MiB")), qPrintable(result.error));
            QVERIFY(result.bytesWritten <= 1024 * 1024);
            QVERIFY(!QFileInfo::exists(temp("/b.bin")));
        }
        m_zip->setExtractLimit(ZipArchive::DefaultExtractLimit);
        QVERIFY(extract().ok());
        QCOMPARE(readBytes(temp("/b.bin")), QByteArray(700000, 'b'));
    }

    void passwords_data()
    {
        QTest::addColumn<int>("method");
        QTest::newRow("traditional") << int(ZIP_EM_TRAD_PKWARE);
        if (zip_encryption_method_supported(ZIP_EM_AES_256, 1))
            QTest::newRow("aes-256") << int(ZIP_EM_AES_256);
    }

    void passwords()
    {
        QFETCH(int, method);
        writeRawZip(archive(), {{"Init.CON", "secret init", false, false, method, "s3cret"},
                                {"Other.con", "secret other", false, false, method, "s3cret"},
                                {"Plain.con", "plain"}});
        // Computed to fail the method's check: a wrong password that passes it fails later, on the data.
        m_prompter.textAnswers = {QString::fromLatin1(wrongPassword(archive(), 0, false)), QStringLiteral("s3cret")};
        const ExtractResult result = extract();
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(folderContents(temp()), (QMap<QString, QByteArray>{{QStringLiteral("Init.CON"), "secret init"},
                                                                    {QStringLiteral("Other.con"), "secret other"},
                                                                    {QStringLiteral("Plain.con"), "plain"}}));
        // The wrong answer is asked again; once right, the other member needs no question.
        QCOMPARE(m_prompter.texts(), QStringList(2, QStringLiteral("Init.CON")));

        // The password known, a saved Init.CON stays protected; unknown, it is stored plainly rather than lost.
        writeBytes(temp("/Init.CON"), "changed");
        QVERIFY(m_zip->UpdateArchive(archive(), temp(), temp("/Init.CON")).ok());
        StoredMember saved = readZip(archive(), "s3cret").first();
        QVERIFY(saved.encryption == method && saved.data == "changed");
        QVERIFY(ZipArchive().UpdateArchive(archive(), temp(), temp("/Init.CON")).ok());
        saved = readZip(archive()).first();
        QVERIFY(saved.encryption == ZIP_EM_NONE && saved.data == "changed");
    }

    void update_data()
    {
        QTest::addColumn<QList<QByteArray>>("before"); // each member holds its name many times, a Big one random bytes
        QTest::addColumn<QList<QByteArray>>("after");
        // The entry is found whatever its letter case and keeps its own spelling.
        QTest::newRow("replaced") << QList<QByteArray>{"Sounds.con", "init.con", "Overgrowth/Overgrowth.con"}
                                  << QList<QByteArray>{"Sounds.con", "init.con", "Overgrowth/Overgrowth.con"};
        QTest::newRow("added") << QList<QByteArray>{"Sounds.con", "Overgrowth/Overgrowth.con"}
                               << QList<QByteArray>{"Sounds.con", "Overgrowth/Overgrowth.con", "Init.CON"};
        // Other entries of the name give way to the one that extraction reads.
        QTest::newRow("duplicates") << QList<QByteArray>{"Init.CON", "Other.con", "INIT.CON"}
                                    << QList<QByteArray>{"Init.CON", "Other.con"};
        QTest::newRow("archive made") << QList<QByteArray>() << QList<QByteArray>{"Init.CON"};
        // Incompressible members larger than the archive layer's 1 MB blocks, so that its reads and writes cross
        // block edges at odd offsets.
        const QList<QByteArray> large{"Big1.con", "Init.CON", "Big2.con", "Sounds.con", "Big3.con"};
        QTest::newRow("large members") << large << large;
    }

    void update()
    {
        QFETCH(QList<QByteArray>, before);
        QFETCH(QList<QByteArray>, after);
        QRandomGenerator random(3190);
        QList<RawMember> members;
        for (const QByteArray& name : before) {
            QByteArray bytes = name.repeated(100);
            if (name.startsWith("Big")) {
                bytes.resize(3 * 1024 * 1024 + 777 * members.size() + 13);
                for (char& c : bytes)
                    c = char(random.bounded(256));
            }
            members.append(RawMember(name, bytes));
        }
        writeBytes(m_level + QStringLiteral("reference"), {}); // the permission bits a new file gets
        if (!members.isEmpty()) {
            writeRawZip(archive(), members);
            QVERIFY(QFile::setPermissions(archive(),
                                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
        }
        const QFileDevice::Permissions bits =
            QFile::permissions(members.isEmpty() ? m_level + QStringLiteral("reference") : archive());
        const QList<StoredMember> old = members.isEmpty() ? QList<StoredMember>() : readZip(archive());
        const QByteArray content = QByteArray("rem changed\r\n").repeated(300);
        writeBytes(temp("/Init.CON"), content);
        // Older than the entry: a save must reach the archive whatever the times.
        std::filesystem::last_write_time(QFileInfo(temp("/Init.CON")).filesystemFilePath(),
                                         std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 7300));

        const UpdateResult result = m_zip->UpdateArchive(archive(), temp(), temp("/Init.CON"));
        QVERIFY2(result.ok(), qPrintable(result.error));
        const QList<StoredMember> stored = readZip(archive());
        QCOMPARE(memberNames(stored), after);
        for (const StoredMember& member : stored) {
            if (member.name.compare("Init.CON", Qt::CaseInsensitive) == 0) {
                QCOMPARE(member.data, content);
                QCOMPARE(member.method, int(ZIP_CM_DEFLATE));
            } else { // copied, not compressed again
                QVERIFY2(member.compressed == old.at(before.indexOf(member.name)).compressed, member.name.constData());
            }
        }
        QCOMPARE(QFile::permissions(archive()), bits);
        QCOMPARE(folderContents(m_level).keys(), texts({"TEMP", "TEMP/Init.CON", "reference", "server.ZIP"}));
        // Every byte comes back out.
        QVERIFY(QDir(temp()).removeRecursively());
        QVERIFY(extract().ok());
        for (const StoredMember& member : stored)
            QVERIFY2(readBytes(temp("/") + QString::fromUtf8(member.name)) == member.data, member.name.constData());
    }

    // A file that cannot be read is reported, and the archive is left alone.
    void updateOfAnUnreadableFile()
    {
        writeRawZip(archive(), {{"Init.CON", "old"}});
        const QByteArray old = readBytes(archive());
        QVERIFY(!m_zip->UpdateArchive(archive(), temp(), QStringLiteral("Missing.CON")).ok());
        QCOMPARE(readBytes(archive()), old);
    }
};

QTEST_GUILESS_MAIN(TestZipArchive)
#include "tst_ziparchive.moc"
