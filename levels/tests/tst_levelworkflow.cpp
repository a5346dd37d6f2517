#include "levels/LevelWorkflow.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ZipTestSupport.h"
#include "tools/demogame/DemoGame.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <zip.h>

#include <functional>

#ifdef Q_OS_LINUX
#include <dlfcn.h>
#include <unistd.h>
#endif

using namespace TestSupport;
using Levels::LevelValue;

namespace {

qsizetype row(LevelValue which)
{
    return static_cast<qsizetype>(which);
}

// While recording, the calls that bring a save to the disk, in their order: "sync PATH" for a file or a folder,
// "rename FROM -> TO". Paths are canonical, read back from the system. Recorded on Linux only.
bool recording = false;
QString diskCalls;

#ifdef Q_OS_LINUX
template <typename Function> Function nextDefinition(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

int recordedSync(int fd, const char* name)
{
    if (recording)
        diskCalls +=
            QStringLiteral("sync %1\n").arg(QFileInfo(QStringLiteral("/proc/self/fd/%1").arg(fd)).symLinkTarget());
    return nextDefinition<int (*)(int)>(name)(fd);
}

QString canonicalPath(const char* path)
{
    const QFileInfo file(QFile::decodeName(path));
    return QFileInfo(file.absolutePath()).canonicalFilePath() + QLatin1Char('/') + file.fileName();
}
#endif

const QString ReadFailure = QStringLiteral("Unable to read level data.");
const QString SaveFailure = QStringLiteral("Unable to save level data.");

struct Level
{
    DemoGameFolder game;
    RecordingPrompter prompter;
    LevelWorkflow workflow{prompter};
    QList<bool> busy;
    QString modFolder() const { return game.mod(DemoGame::CompleteMod); }
    QString folder(int index) const
    {
        return modFolder() + QStringLiteral("/Levels/") + QString::fromLatin1(Levels::LevelTable.at(index).folderName) +
               QLatin1Char('/');
    }
    QString archive(int index) const { return folder(index) + QStringLiteral("server.ZIP"); }
    bool open(int index)
    {
        busy.clear();
        return workflow.OpenLevel(modFolder(), index, [this](bool shown) { busy.append(shown); });
    }
    // The one box shown since the last look, as "kind: text".
    QString box()
    {
        const QString seen = prompter.boxes.size() == 1
                                 ? prompter.boxes.first().kind + QStringLiteral(": ") + prompter.boxes.first().text
                                 : prompter.kinds().join(QLatin1Char(' '));
        prompter.clear();
        return seen;
    }
};

// A row's own step, run by a body of one shape for every row.
using Setup = std::function<void(Level&)>;

} // namespace

Q_DECLARE_METATYPE(Setup)

#ifdef Q_OS_LINUX
// Defined here, these stand in front of the C library's for the whole test program, libraries included.
extern "C" int fsync(int fd)
{
    return recordedSync(fd, "fsync");
}

extern "C" int fdatasync(int fd)
{
    return recordedSync(fd, "fdatasync");
}

extern "C" int rename(const char* from, const char* to) noexcept
{
    if (recording)
        diskCalls += QStringLiteral("rename %1 -> %2\n").arg(canonicalPath(from), canonicalPath(to));
    return nextDefinition<int (*)(const char*, const char*)>("rename")(from, to);
}
#endif

class TestLevelWorkflow final : public QObject
{
    Q_OBJECT

private slots:
    void saveReachesArchiveAndKeepsTheRest()
    {
        Level level;
        for (int outside : {-1, Levels::LevelCount})
            QVERIFY(!level.open(outside) && level.busy.isEmpty() && level.prompter.boxes.isEmpty());
        QVERIFY(level.open(8));
        KeyedScript& settings = level.workflow.settings();
        QVERIFY(settings.setValue(row(LevelValue::MaxViewDistance), 999));
        QVERIFY(settings.setValue(row(LevelValue::PT16), 1));
        QVERIFY(settings.setValue(row(LevelValue::ColdBreath), 1));
        // Through an Init.CON left read-only, as the game's own tools leave it; the one written is writable.
        QVERIFY(QFile::setPermissions(level.workflow.initConPath(), QFileDevice::ReadOwner | QFileDevice::ReadUser));
        diskCalls.clear();
        recording = true;
        const bool saved = level.workflow.SaveLevel();
        recording = false;
        QVERIFY(saved);
        QCOMPARE(level.box(), QStringLiteral("information: Level data saved."));
        QVERIFY(QFile::permissions(level.workflow.initConPath()) & QFileDevice::WriteOwner);
#ifdef Q_OS_LINUX
        // Both files of a level save are on the disk before their names are: the new file beside the old one, its
        // data synced, renamed over the old one, the folder synced after.
        for (const QString& file : {level.workflow.initConPath(), level.archive(8)}) {
            const QFileInfo target(QFileInfo(file).canonicalFilePath());
            const QString name = QRegularExpression::escape(target.filePath());
            const QRegularExpression order(
                QStringLiteral("^sync (%1\\.gx3190-save-[^\n]+)\n(.*\n)*rename \\1 -> %1\n(.*\n)*sync %2\n")
                    .arg(name, QRegularExpression::escape(target.absolutePath())),
                QRegularExpression::MultilineOption);
            QVERIFY2(order.match(diskCalls).hasMatch(), qPrintable(diskCalls));
        }
#endif

        // Everything else is the file as it came, letter case and line count included; level 8 had cold breath off.
        const QByteArray written = readBytes(level.workflow.initConPath());
        QCOMPARE(written, DemoGame::initCon(8)
                              .replace("Distance 800\r", "Distance 999\r")
                              .replace("16 1 " + QByteArray::number(DemoGame::tickets(8, 16, 1)) + '\r', "16 1 1\r")
                              .replace("ColdBreath 0\r", "ColdBreath 1\r"));
        QCOMPARE(memberData(readZip(level.archive(8)), "Init.CON"), written);
        // Opening again reads what the archive holds: not a change left unsaved, nor a TEMP/Init.CON edited by hand.
        // A save killed before its rename leaves a file with the program's mark beside the archive or Init.CON,
        // which the opening removes; a file of any other name could be the user's and stays. Which names are the
        // program's is the mod files' test; here, that opening looks in both places.
        level.workflow.settings().setValue(row(LevelValue::ET32), 5);
        writeBytes(level.workflow.initConPath(), "changed by hand");
        QMap<QString, QByteArray> expected = folderContents(level.folder(8));
        expected.insert(QStringLiteral("TEMP/Init.CON"), written);
        const QStringList leftovers = texts({"server.ZIP.gx3190-save-aB3xYz", "TEMP/Init.CON.gx3190-save-QwErTy"});
        const QStringList others = texts({"server.ZIP.backup", "TEMP/Init.CON.backup"});
        for (const QString& name : leftovers + others)
            writeBytes(level.folder(8) + name, "left behind");
        for (const QString& name : others)
            expected.insert(name, "left behind");
        QVERIFY(level.open(8));
        QCOMPARE(folderContents(level.folder(8)), expected);
        QCOMPARE(level.workflow.settings().value(row(LevelValue::ET32)), DemoGame::tickets(8, 32, 2));
        QVERIFY(!Levels::readLevelFile(level.folder(8) + QStringLiteral("missing"), settings).isEmpty());

        // A save that fails is reported and keeps the user's value. First Init.CON cannot be written: a folder took
        // its place.
        const QString archive = level.archive(8);
        level.workflow.settings().setValue(row(LevelValue::PT16), 321);
        const QByteArray archiveBefore = readBytes(archive);
        const QString initCon = level.workflow.initConPath();
        QVERIFY(QFile::remove(initCon));
        QVERIFY(QDir().mkpath(initCon));
        QVERIFY(!level.workflow.SaveLevel());
        QVERIFY(level.box().startsWith(QStringLiteral("critical: ") + SaveFailure));
        QCOMPARE(readBytes(archive), archiveBefore);
        QCOMPARE(level.workflow.settings().value(row(LevelValue::PT16)), 321);

        // The archive cannot be updated: it was damaged meanwhile, and stays as it is.
        QVERIFY(QDir(initCon).removeRecursively());
        writeBytes(archive, "damaged");
        QVERIFY(!level.workflow.SaveLevel());
        QVERIFY(level.box().startsWith(QStringLiteral("critical: ") + SaveFailure));
        QCOMPARE(readBytes(archive), QByteArray("damaged"));

        // A retry once the archive is back succeeds and writes the value.
        writeBytes(archive, archiveBefore);
        QVERIFY(level.workflow.SaveLevel());
        QVERIFY(
            memberData(readZip(archive), "Init.CON").contains("gameLogic.setDefaultNumberOfTicketsEx 16 1 321\r\n"));
    }

    void letterCaseOnDisk()
    {
        Level level;
        const QString lower = level.modFolder() + QStringLiteral("/levels/Tovary/");
        // Through a name of its own: Wine does not carry out a rename that changes the letter case alone.
        const auto respell = [](const QString& from, const QString& to) {
            return QDir().rename(from, from + QStringLiteral(".respelt")) &&
                   QDir().rename(from + QStringLiteral(".respelt"), to);
        };
        QVERIFY(respell(level.modFolder() + QStringLiteral("/Levels"), level.modFolder() + QStringLiteral("/levels")));
        QVERIFY(respell(lower + QStringLiteral("server.ZIP"), lower + QStringLiteral("server.zip")));
        QVERIFY(QDir().mkpath(lower + QStringLiteral("temp")));
        QVERIFY(level.open(4));
        QCOMPARE(level.workflow.initConPath(), lower + QStringLiteral("temp/Init.CON"));
        level.workflow.settings().setValue(row(LevelValue::ELPM), 42);
        QVERIFY(level.workflow.SaveLevel());
        QVERIFY(memberData(readZip(lower + QStringLiteral("server.zip")), "Init.CON")
                    .contains("gameLogic.setTicketLossPerMin 2 42\r\n"));
    }

    void openingFailures_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<bool>("reason"); // given after the message
        const QStringList critical{QStringLiteral("critical")};
        const auto row = [](const char* name, bool reason, const QStringList& boxes, const Setup& setup) {
            QTest::newRow(name) << setup << boxes << reason;
        };
        const Setup missing = [](Level& level) { QVERIFY(QFile::remove(level.archive(6))); };
        const Setup stale = [](Level& level) { QVERIFY(level.open(6)); }; // leaves TEMP/Init.CON behind
        const auto archive = [](const QList<RawMember>& members) {
            return Setup([members](Level& level) { writeRawZip(level.archive(6), members); });
        };
        row("no archive, no TEMP", false, critical, missing);
        row("no Init.CON in the archive", false, critical, archive({{"Sounds.con", "x"}}));
        row("Init.CON is a folder", false, critical, archive({{"Init.CON/", {}, true}}));
        row("archive cut short, stale TEMP", true, critical, [=](Level& level) {
            stale(level);
            writeBytes(level.archive(6), readBytes(level.archive(6)).left(300));
        });
        row("TEMP is a link", true, critical,
            [](Level& level) { QVERIFY(QFile::link(level.game.path, level.folder(6) + QStringLiteral("TEMP"))); });
        row("TEMP is a file", true, critical,
            [](Level& level) { writeBytes(level.folder(6) + QStringLiteral("TEMP"), "a file"); });
        row("password refused", true, texts({"password", "critical"}),
            archive({{"Init.CON", DemoGame::initCon(6), false, false, ZIP_EM_TRAD_PKWARE, "pw"}}));
    }

    void openingFailures()
    {
        QFETCH(Setup, setup);
        QFETCH(QStringList, boxes);
        QFETCH(bool, reason);
        Level level;
        setup(level);
        const QMap<QString, QByteArray> before = folderContents(level.folder(6));
        level.prompter.clear();

        QVERIFY(!level.open(6));
        QCOMPARE(level.busy, QList<bool>({true, false}));
        QCOMPARE(level.prompter.kinds(), boxes);
        const QString box = level.prompter.texts().last();
        QVERIFY2(reason ? box.startsWith(ReadFailure + QStringLiteral("\r\n\r\n")) : box == ReadFailure,
                 qPrintable(box));
        // Nothing was written through the link, nor over what the level's folder held: a TEMP that is a file, an
        // earlier opening's files, the archive.
        QVERIFY(!QFileInfo::exists(level.game.path + QStringLiteral("Init.CON")));
        const QMap<QString, QByteArray> after = folderContents(level.folder(6));
        for (auto entry = before.cbegin(); entry != before.cend(); ++entry)
            QCOMPARE(after.value(entry.key()), entry.value());
    }

    void membersLeftOutStayInTheArchive()
    {
        Level level;
        const QString archive = level.archive(3);
        // Before the real Init.CON a link of its name, after it a stale copy: the real one is read, edited and kept.
        writeRawZip(archive, {{"../../../escaped.con", "x"},
                              {"init.con", "../Init.CON", false, true},
                              {"Init.CON", DemoGame::initCon(3)},
                              {"Locked.con", "locked", false, false, ZIP_EM_TRAD_PKWARE, "pw"},
                              {"INIT.CON", "stale copy"}});

        // One box, after the password is refused, for every member left out.
        QVERIFY(level.open(3));
        QCOMPARE(level.prompter.kinds(), texts({"password", "warning"}));
        QCOMPARE(level.prompter.texts().last(),
                 QStringLiteral("These files of the level archive were not unpacked; the archive keeps them "
                                "unchanged:\r\n../../../escaped.con: the name leads outside the folder\r\n"
                                "Locked.con: the file is protected by a password\r\n\r\nThe archive holds more than "
                                "one Init.CON. The one unpacked is edited, and saving removes these other copies, so "
                                "that exactly one Init.CON holds the edit and the game cannot read a stale "
                                "copy:\r\ninit.con: a link\r\nINIT.CON: a second file of the same name"));

        level.workflow.settings().setValue(row(LevelValue::MaxViewDistance), 999);
        QVERIFY(level.workflow.SaveLevel());
        const QList<StoredMember> after = readZip(archive);
        QCOMPARE(memberNames(after), QList<QByteArray>({"../../../escaped.con", "Init.CON", "Locked.con"}));
        QVERIFY(memberData(after, "Init.CON").contains("Distance 999\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestLevelWorkflow)
#include "tst_levelworkflow.moc"
