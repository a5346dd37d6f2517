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
#include <functional>
#include <memory>
#include <optional>
#include <tuple>

using namespace TestSupport;

namespace {

// A field of a member's headers, by its offset in the local header and in the central directory entry.
struct HeaderField
{
    int local;
    int central;
};
constexpr HeaderField MethodField{8, 10};
constexpr HeaderField DosTimeField{10, 12}; // time, then date
constexpr HeaderField CrcField{14, 16};
constexpr HeaderField SizeField{22, 24}; // uncompressed

// Overwrites the field in both headers of the named member: the damage libzip will not write itself.
void patchMember(QByteArray& archive, const QByteArray& name, HeaderField field, const QByteArray& bytes)
{
    int patched = 0;
    for (const auto& [signature, nameAt, lengthAt, offset] :
         {std::tuple("PK\x03\x04", 30, 26, field.local), std::tuple("PK\x01\x02", 46, 28, field.central)}) {
        for (qsizetype at = archive.indexOf(signature); at >= 0; at = archive.indexOf(signature, at + 4)) {
            const int length = quint8(archive.at(at + lengthAt)) | quint8(archive.at(at + lengthAt + 1)) << 8;
            if (archive.mid(at + nameAt, length) == name) {
                archive.replace(at + offset, bytes.size(), bytes);
                ++patched;
            }
        }
    }
    QCOMPARE(patched, 2);
}

// Turns the named AES member into the AE-2 form other archivers write: both CRC fields 0, as that form has them,
// and version 2 in the AES extra field of every member.
void makeAe2(QByteArray& archive, const QByteArray& name)
{
    patchMember(archive, name, CrcField, QByteArray(4, '\0'));
    const QByteArray field("\x01\x99\x07\0", 4); // the AES extra field's id and length; its version comes next
    archive.replace(field + QByteArray("\x01\0", 2), field + QByteArray("\x02\0", 2));
    QVERIFY(archive.count(field + QByteArray("\x02\0", 2)) >= 2);
}

// A wrong password for the encrypted member at index, found by trying: one that fails the check, or one that
// passes it.
QByteArray wrongPassword(const QString& path, zip_uint64_t index, bool passes)
{
    for (int i = 0; i < 100000; ++i) {
        const QByteArray candidate = "wrong" + QByteArray::number(i);
        if (passesCheck(path, index, candidate) == passes)
            return candidate;
    }
    QTest::qFail("no such password", __FILE__, __LINE__);
    return {};
}

// A row's own step, run by a body of one shape for every row.
using Step = std::function<void()>;

} // namespace

Q_DECLARE_METATYPE(Step)
Q_DECLARE_METATYPE(TestSupport::RawMember)

class TestZipArchive final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_level; // a level folder: server.ZIP and TEMP go in here
    RecordingPrompter m_prompter;
    std::shared_ptr<Levels::PasswordMemory> m_memory;
    std::unique_ptr<ZipArchive> m_zip;
    std::shared_ptr<void> m_held; // what a row's step keeps alive while the test runs, such as a file size limit
    // Each question is recorded as the name of the member asked about.
    ZipArchive::PasswordSource asked()
    {
        return [this](const QString& member) { return m_prompter.askPassword(member); };
    }
    QString archive() const { return m_level + QStringLiteral("server.ZIP"); }
    QString temp(const char* file = "") const { return m_level + QStringLiteral("TEMP") + QLatin1String(file); }
    ExtractResult extract() { return m_zip->ExtractArchive(archive(), temp()); }
    // Rewrites the archive as change leaves its bytes: the damage libzip will not write itself.
    void patchArchive(const std::function<void(QByteArray&)>& change)
    {
        QByteArray bytes = readBytes(archive());
        change(bytes);
        writeBytes(archive(), bytes);
    }

private slots:
    void init()
    {
        m_held.reset();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_level = m_dir->filePath(QStringLiteral("mod/Levels/Varnholm/"));
        QVERIFY(QDir().mkpath(m_level));
        m_prompter = RecordingPrompter();
        m_memory = std::make_shared<Levels::PasswordMemory>();
        m_zip = std::make_unique<ZipArchive>(asked(), m_memory);
    }

    void safeMemberPath_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        const auto row = [](const char* name, const char* path = "") {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(path);
        };
        row("Overgrowth\\a.con", "Overgrowth/a.con");
        row("./a//b/./c", "a/b/c");
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
        const QList<RawMember> raw{{"Init.CON", "init\r\n"},
                                   {"Overgrowth/Deep/Overgrowth.con", "grow\r\n"},
                                   {"Sounds.con", QByteArray(600000, 's')}};
        writeRawZip(archive(), raw + QList<RawMember>{{"Empty/", {}, true}});
        // The members' DOS time is 2004-06-15 12:34:56, which a file keeps as local time.
        patchArchive([&raw](QByteArray& bytes) {
            for (const RawMember& member : raw)
                patchMember(bytes, member.name, DosTimeField, "\x5c\x64\xcf\x30");
        });
        QMap<QString, QByteArray> expected{{QStringLiteral("Empty"), "<folder>"},
                                           {QStringLiteral("Overgrowth"), "<folder>"},
                                           {QStringLiteral("Overgrowth/Deep"), "<folder>"}};
        for (const RawMember& member : raw)
            expected.insert(QString::fromUtf8(member.name), member.bytes);
        // Missing, and given with a trailing separator; then again over the first one's files, a read-only and
        // longer one included, without a question.
        for (const QString& destination : {temp("/"), temp()}) {
            const ExtractResult result = m_zip->ExtractArchive(archive(), destination);
            QVERIFY2(result.ok() && result.skipped.isEmpty(), qPrintable(result.error));
            QCOMPARE(folderContents(temp()), expected); // the large member streamed in pieces, whole at the end
            for (const RawMember& member : raw)
                QCOMPARE(QFileInfo(temp("/") + QString::fromUtf8(member.name)).lastModified(),
                         QDateTime(QDate(2004, 6, 15), QTime(12, 34, 56)));
            writeBytes(temp("/Init.CON"), "old and longer");
            QVERIFY(QFile::setPermissions(temp("/Init.CON"), QFileDevice::ReadOwner));
        }
        QVERIFY(m_prompter.boxes.isEmpty());
    }

    // Members not unpacked: names that lead outside (even into the test's own folder, ROOT), links, later ones of
    // a name, and a Bad.con whose member is bad, spoilt by the row's damage once the archive is written. Member i
    // holds the digit i. planted: links made in TEMP first, name then target; extracted: TEMP afterwards, each
    // entry with what it holds; asks: the passwords asked for in each run. Nothing outside TEMP changes, and a
    // second run gives the same: a refused or wrong password is asked for again, not remembered.
    void membersLeftOut_data()
    {
        QTest::addColumn<QList<QByteArray>>("names");
        QTest::addColumn<QStringList>("planted");
        QTest::addColumn<QStringList>("extracted");
        QTest::addColumn<QStringList>("skipped");
        QTest::addColumn<QString>("reason"); // how the first one's reason ends
        QTest::addColumn<RawMember>("bad");
        QTest::addColumn<Step>("damage");
        QTest::addColumn<int>("asks");
        const auto row = [](const char* name, const QList<QByteArray>& names,
                            std::initializer_list<const char*> planted, std::initializer_list<const char*> extracted,
                            std::initializer_list<const char*> skipped) {
            QTest::newRow(name) << names << texts(planted) << texts(extracted) << texts(skipped) << QString()
                                << RawMember() << Step([] {}) << 0;
        };
        for (const char* name : {"sub\\..\\..\\escaped.txt", "ROOT/escaped.txt", "link"})
            row(name, {"Init.CON", name, "Sounds.con"}, {}, {"Init.CON 0", "Sounds.con 2"}, {name});
        // The first of a name, whatever its letter case, wins on every platform, so that the file read is the
        // entry that a save replaces.
        row("same names", {"Init.CON", "Init.CON", "init.con", "Sub/A.con", "sub/a.CON"}, {},
            {"Init.CON 0", "Sub <folder>", "Sub/A.con 3"}, {"Init.CON", "init.con", "sub/a.CON"});
        // A folder link planted in TEMP is not passed through; a file link is replaced by the file.
        row("planted links", {"inside/victim.txt", "victim.txt"}, {"inside", "ROOT", "victim.txt", "ROOT/victim.txt"},
            {"inside -> ROOT", "victim.txt 1"}, {"inside/victim.txt"});
        // Neither a partial Bad.con nor an earlier copy is left.
        const auto damaged = [this](const char* name, const RawMember& bad, int asks, const char* reason,
                                    const Step& damage) {
            QTest::newRow(name) << QList<QByteArray>{"Init.CON", "Bad.con", "After.con"} << QStringList()
                                << texts({"After.con 2", "Init.CON 0"}) << texts({"Bad.con"})
                                << QString::fromLatin1(reason) << bad << Step([this, damage] {
                                       writeBytes(temp("/Bad.con"), "left by an earlier extraction");
                                       damage();
                                   })
                                << asks;
        };
        const auto patch = [this](HeaderField field, const QByteArray& bytes) {
            return Step([this, field, bytes] {
                patchArchive([&](QByteArray& archive) { patchMember(archive, "Bad.con", field, bytes); });
            });
        };
        // Bad.con is large: past the first piece of a full disk, and more than a wrong key can decrypt to the right
        // bytes by chance (one byte would, one time in 256).
        const RawMember plain{"Bad.con", QByteArray(600000, 'b')};
        const RawMember locked{plain.name, plain.bytes, false, false, ZIP_EM_TRAD_PKWARE, "s3cret"};
        damaged("bad CRC", plain, 0, "CRC error", patch(CrcField, QByteArray(4, '\0')));
        // Imploded, which libzip cannot read.
        damaged("unsupported method", plain, 0, "not supported", patch(MethodField, QByteArray("\x06\0", 2)));
        damaged("password refused", locked, 1, "protected by a password", [] {});
        damaged("password empty", locked, 1, "protected by a password", [this] {
            m_prompter.passwordAnswers = {QString(), QString()};
        });
        damaged("wrong password passing the check", locked, 1, "the password may be wrong", [this] {
            const QString wrong = QString::fromLatin1(wrongPassword(archive(), 1, true));
            m_prompter.passwordAnswers = {wrong, wrong};
        });
        // AES members in the AE-2 form, the right password given: the authentication code is what checks them.
        if (zip_encryption_method_supported(ZIP_EM_AES_256, 1)) {
            const Step ae2 = [this] {
                patchArchive([](QByteArray& archive) { makeAe2(archive, "Bad.con"); });
                m_prompter.passwordAnswers = {QStringLiteral("s3cret"), QStringLiteral("s3cret")};
            };
            RawMember aes{plain.name, plain.bytes, false, false, ZIP_EM_AES_256, "s3cret"};
            damaged("AE-2, authentication code damaged", aes, 1, "CRC error", [this, ae2] {
                ae2();
                patchArchive([](QByteArray& archive) { // its last byte, just before the next member
                    archive[archive.indexOf("PK\x03\x04", archive.indexOf("Bad.con")) - 1] ^= 1;
                });
            });
            aes.stored = true;
            damaged("AE-2, stored", aes, 1, "the file's AES encryption cannot be checked by this build", ae2);
        }
#ifdef Q_OS_UNIX
        // Full after the member's first piece.
        damaged("disk full", plain, 0, "File too large", [this] { m_held = std::make_shared<FileSizeLimit>(300000); });
#endif
    }

    void membersLeftOut()
    {
        QFETCH(QList<QByteArray>, names);
        QFETCH(QStringList, planted);
        QFETCH(QStringList, extracted);
        QFETCH(QStringList, skipped);
        QFETCH(QString, reason);
        QFETCH(RawMember, bad);
        QFETCH(Step, damage);
        QFETCH(int, asks);
        const QString root = m_dir->path();
        QList<RawMember> members;
        for (QByteArray& name : names) {
            name.replace("ROOT", QFile::encodeName(root));
            // libzip will not store a name twice, so a second one is spelled apart and patched afterwards.
            const QByteArray stored = names.count(name) > 1 && members.size() > 0 ? name.chopped(1) + '#' : name;
            members.append(
                name == "Bad.con" ? bad : RawMember{stored, QByteArray::number(members.size()), false, name == "link"});
        }
        writeRawZip(archive(), members);
        patchArchive([](QByteArray& bytes) { bytes.replace("Init.CO#", "Init.CON"); });
        writeBytes(root + QStringLiteral("/victim.txt"), "keep me");
        QVERIFY(QDir().mkpath(temp()));
        for (qsizetype i = 0; i < planted.size(); i += 2)
            QVERIFY(QFile::link(QString(planted.at(i + 1)).replace(QStringLiteral("ROOT"), root),
                                temp("/") + planted.at(i)));
        damage();
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
            const ExtractResult result = extract();
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
            QCOMPARE(m_prompter.kinds(), QStringList(asks, QStringLiteral("password")));
            m_prompter.clear();
        }
        m_held.reset();
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
            QVERIFY(!QFileInfo::exists(temp("/b.bin")));
        }
        m_zip->setExtractLimit(ZipArchive::DefaultExtractLimit);
        QVERIFY(extract().ok());
        QCOMPARE(readBytes(temp("/b.bin")), QByteArray(700000, 'b'));
    }

    void passwords_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<bool>("ae2");     // the members patched to the AE-2 form: CRC 0, checked by their code alone
        QTest::addColumn<QString>("next"); // the next archive's password
        const auto rows = [](const char* name, int method, bool ae2) {
            QTest::addRow("%s, the same password next", name) << method << ae2 << QStringLiteral("s3cret");
            QTest::addRow("%s, another password next", name) << method << ae2 << QStringLiteral("other");
        };
        rows("traditional", ZIP_EM_TRAD_PKWARE, false);
        if (zip_encryption_method_supported(ZIP_EM_AES_256, 1)) {
            rows("aes-256", ZIP_EM_AES_256, false);
            rows("aes-256 AE-2", ZIP_EM_AES_256, true);
        }
    }

    void passwords()
    {
        QFETCH(int, method);
        QFETCH(bool, ae2);
        QFETCH(QString, next);
        // Init.CON and Other.con hold more than the 20 bytes under which libzip 1.7 leaves an AE-2 CRC unchecked.
        const QByteArray init = QByteArray("secret init\r\n").repeated(4);
        const QByteArray other = QByteArray("secret other\r\n").repeated(4);
        writeRawZip(archive(), {{"Init.CON", init, false, false, method, "s3cret"},
                                {"Other.con", other, false, false, method, "s3cret"},
                                {"Plain.con", "plain"}});
        if (ae2) {
            patchArchive([](QByteArray& bytes) {
                makeAe2(bytes, "Init.CON");
                makeAe2(bytes, "Other.con");
            });
        }
        // Computed to fail the method's check: a wrong password that passes it fails later, on the data. A refusal
        // after it is the reason for every protected member left out, not only the one it was typed for.
        const QString wrong = QString::fromLatin1(wrongPassword(archive(), 0, false));
        m_prompter.passwordAnswers = {wrong, std::nullopt};
        const QString reason = QStringLiteral("the password was not accepted");
        QCOMPARE(extract().skipped, (QList<QPair<QString, QString>>{{QStringLiteral("Init.CON"), reason},
                                                                    {QStringLiteral("Other.con"), reason}}));
        m_prompter.clear();
        m_prompter.passwordAnswers = {wrong, QStringLiteral("s3cret")};
        const ExtractResult result = extract();
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(folderContents(temp()), (QMap<QString, QByteArray>{{QStringLiteral("Init.CON"), init},
                                                                    {QStringLiteral("Other.con"), other},
                                                                    {QStringLiteral("Plain.con"), "plain"}}));
        // The wrong answer is asked again; once right, the other member needs no question.
        QCOMPARE(m_prompter.texts(), QStringList(2, QStringLiteral("Init.CON")));

        // The password that read a member whole is tried on the next archive, and only where it fails is the user
        // asked. Another password must fail the remembered one's check, which passes one password in 256 (AES: in
        // 65536) by chance.
        const QString nextArchive = m_dir->filePath(QStringLiteral("mod/Levels/Tovary/server.ZIP"));
        do
            writeRawZip(nextArchive, {{"Init.CON", "next init", false, false, method, next.toUtf8()}});
        while (next != QLatin1String("s3cret") && passesCheck(nextArchive, 0, "s3cret"));
        m_prompter.clear();
        m_prompter.passwordAnswers = {next};
        ZipArchive nextZip(asked(), m_memory);
        const QString nextTemp = m_dir->filePath(QStringLiteral("mod/Levels/Tovary/TEMP"));
        QVERIFY(nextZip.ExtractArchive(nextArchive, nextTemp).ok());
        QCOMPARE(readBytes(nextTemp + QStringLiteral("/Init.CON")), QByteArray("next init"));
        QCOMPARE(m_prompter.texts(), QStringList(next == QLatin1String("s3cret") ? 0 : 1, QStringLiteral("Init.CON")));
        QCOMPARE(m_memory->password(), next.toUtf8());

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
        // The entry is found whatever its letter case and keeps its own spelling. Incompressible members larger than
        // the archive layer's 1 MB blocks make its reads and writes cross block edges at odd offsets.
        const QList<QByteArray> large{"Big1.con", "init.con", "Big2.con", "Overgrowth/Overgrowth.con", "Big3.con"};
        QTest::newRow("replaced, large members") << large << large;
        QTest::newRow("added") << QList<QByteArray>{"Sounds.con", "Overgrowth/Overgrowth.con"}
                               << QList<QByteArray>{"Sounds.con", "Overgrowth/Overgrowth.con", "Init.CON"};
        // Other entries of the name give way to the one that extraction reads.
        QTest::newRow("duplicates") << QList<QByteArray>{"Init.CON", "Other.con", "INIT.CON"}
                                    << QList<QByteArray>{"Init.CON", "Other.con"};
        QTest::newRow("archive made") << QList<QByteArray>() << QList<QByteArray>{"Init.CON"};
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
        // A file that cannot be read is reported, and the archive is left alone.
        const QByteArray unsaved = readBytes(archive());
        QVERIFY(!m_zip->UpdateArchive(archive(), temp(), temp("/Init.CON")).ok());
        QCOMPARE(readBytes(archive()), unsaved);
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
    }
};

QTEST_GUILESS_MAIN(TestZipArchive)
#include "tst_ziparchive.moc"
