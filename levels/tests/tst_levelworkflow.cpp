#include "levels/LevelWorkflow.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ZipTestSupport.h"
#include "tools/demogame/DemoGame.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <zip.h>

using namespace TestSupport;

namespace {

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

} // namespace

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
        QCOMPARE(level.busy, QList<bool>({true, false}));
        QCOMPARE(level.workflow.initConPath(), level.folder(8) + QStringLiteral("TEMP/Init.CON"));
        QVERIFY(QFileInfo::exists(level.folder(8) + QStringLiteral("TEMP/Overgrowth/Overgrowth.con")));
        LevelSettings& settings = level.workflow.settings();
        QCOMPARE(settings.LevelIndex, 8);
        settings.MaxViewDistance = QStringLiteral("999");
        settings.Tickets[0] = QStringLiteral("1");
        settings.ColdBreathOn = !settings.ColdBreathOn;
        QVERIFY(level.workflow.SaveLevel());
        QCOMPARE(level.box(), QStringLiteral("information: Level data saved."));

        // Everything else is the file as it came, letter case and line count included; level 8 had cold breath off.
        const QByteArray written = readBytes(level.workflow.initConPath());
        QCOMPARE(written, DemoGame::initCon(8)
                              .replace("Distance 800\r", "Distance 999\r")
                              .replace("16 1 180\r", "16 1 1\r")
                              .replace("ColdBreath 0\r", "ColdBreath 1\r"));
        QCOMPARE(memberData(readZip(level.archive(8)), "Init.CON"), written);
        // Opening again reads what the archive holds: not a change left unsaved, nor a TEMP/Init.CON edited by hand.
        level.workflow.settings().Tickets[3] = QStringLiteral("5");
        writeBytes(level.workflow.initConPath(), "changed by hand");
        QVERIFY(level.open(8));
        QCOMPARE(readBytes(level.workflow.initConPath()), written);
        QCOMPARE(level.workflow.settings().MaxViewDistance, QStringLiteral("999"));
        QCOMPARE(level.workflow.settings().Tickets[3], QStringLiteral("340"));
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
        QCOMPARE(level.workflow.paths().archive, lower + QStringLiteral("server.zip"));
        QCOMPARE(level.workflow.initConPath(), lower + QStringLiteral("temp/Init.CON"));
        level.workflow.settings().TicketLoss[1] = QStringLiteral("42");
        QVERIFY(level.workflow.SaveLevel());
        QVERIFY(memberData(readZip(lower + QStringLiteral("server.zip")), "Init.CON")
                    .contains("gameLogic.setTicketLossPerMin 2 42\r\n"));
        QCOMPARE(folderContents(level.modFolder()).keys().filter(QStringLiteral("Levels")), QStringList());
    }

    void openingFailures_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<bool>("reason"); // given after the message
        const QStringList critical{QStringLiteral("critical")};
        QTest::newRow("no archive, no TEMP") << QStringLiteral("missing") << critical << false;
        QTest::newRow("no archive, stale TEMP") << QStringLiteral("stale") << critical << false;
        QTest::newRow("no Init.CON in the archive") << QStringLiteral("noinit") << critical << false;
        QTest::newRow("Init.CON is a folder") << QStringLiteral("folder") << critical << false;
        QTest::newRow("archive cut short, stale TEMP") << QStringLiteral("truncated") << critical << true;
        QTest::newRow("TEMP is a link") << QStringLiteral("link") << critical << true;
        QTest::newRow("TEMP is a file") << QStringLiteral("file") << critical << true;
        QTest::newRow("over the extract limit") << QStringLiteral("limit") << critical << true;
        QTest::newRow("password refused") << QStringLiteral("password") << texts({"text", "critical"}) << true;
    }

    void openingFailures()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, boxes);
        QFETCH(bool, reason);
        Level level;
        const QString archive = level.archive(6);
        if (setup == QLatin1String("stale") || setup == QLatin1String("truncated"))
            QVERIFY(level.open(6)); // leaves TEMP/Init.CON behind
        if (setup == QLatin1String("missing") || setup == QLatin1String("stale"))
            QVERIFY(QFile::remove(archive));
        if (setup == QLatin1String("noinit"))
            writeRawZip(archive, {{"Sounds.con", "x"}});
        if (setup == QLatin1String("folder"))
            writeRawZip(archive, {{"Init.CON/", {}, true}});
        if (setup == QLatin1String("truncated"))
            writeBytes(archive, readBytes(archive).left(300));
        if (setup == QLatin1String("link"))
            QVERIFY(QFile::link(level.game.path, level.folder(6) + QStringLiteral("TEMP")));
        if (setup == QLatin1String("file"))
            writeBytes(level.folder(6) + QStringLiteral("TEMP"), "a file");
        if (setup == QLatin1String("limit"))
            level.workflow.archive().setExtractLimit(1000);
        if (setup == QLatin1String("password"))
            writeRawZip(archive, {{"Init.CON", DemoGame::initCon(6), false, false, ZIP_EM_TRAD_PKWARE, "pw"}});
        level.prompter.clear();

        QVERIFY(!level.open(6));
        QCOMPARE(level.busy, QList<bool>({true, false}));
        QCOMPARE(level.prompter.kinds(), boxes);
        const QString box = level.prompter.texts().last();
        QVERIFY2(reason ? box.startsWith(ReadFailure + QStringLiteral("\r\n\r\n")) : box == ReadFailure,
                 qPrintable(box));
        // Nothing was written through the link, nor over the file.
        QVERIFY(!QFileInfo::exists(level.game.path + QStringLiteral("Init.CON")));
        if (setup == QLatin1String("file"))
            QCOMPARE(readBytes(level.folder(6) + QStringLiteral("TEMP")), QByteArray("a file"));
    }

    void saveFailuresAreReported()
    {
        Level level;
        const QString archive = level.archive(1);
        QVERIFY(level.open(1));
        level.workflow.settings().Tickets[0] = QStringLiteral("321");
        const QByteArray archiveBefore = readBytes(archive);

        // Init.CON cannot be written: a folder took its place.
        const QString initCon = level.workflow.initConPath();
        QVERIFY(QFile::remove(initCon));
        QVERIFY(QDir().mkpath(initCon));
        QVERIFY(!level.workflow.SaveLevel());
        QVERIFY(level.box().startsWith(QStringLiteral("critical: ") + SaveFailure));
        QCOMPARE(readBytes(archive), archiveBefore);
        QCOMPARE(level.workflow.settings().Tickets[0], QStringLiteral("321")); // the user's value is kept

        // The archive cannot be updated: it was damaged meanwhile, and stays as it is.
        QVERIFY(QDir(initCon).removeRecursively());
        writeBytes(archive, "damaged");
        QVERIFY(!level.workflow.SaveLevel());
        QVERIFY(level.box().startsWith(QStringLiteral("critical: ") + SaveFailure));
        QCOMPARE(readBytes(archive), QByteArray("damaged"));

        // A retry once the archive is back succeeds and writes the value.
        writeBytes(archive, archiveBefore);
        QVERIFY(level.workflow.SaveLevel());
        QCOMPARE(level.box(), QStringLiteral("information: Level data saved."));
        QVERIFY(
            memberData(readZip(archive), "Init.CON").contains("gameLogic.setDefaultNumberOfTicketsEx 16 1 321\r\n"));
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
        const QList<StoredMember> before = readZip(archive);

        // One box, after the password is refused, for every member left out.
        const QString kept =
            QStringLiteral("These files of the level archive were not unpacked; the archive keeps them "
                           "unchanged:\r\n../../../escaped.con: the name leads outside the folder\r\n"
                           "Locked.con: the file is protected by a password");
        QVERIFY(level.open(3));
        QCOMPARE(level.prompter.kinds(), texts({"text", "warning"}));
        QCOMPARE(level.prompter.texts().last(),
                 kept + QStringLiteral("\r\n\r\nThe archive holds more than one Init.CON. The one unpacked is edited, "
                                       "and saving removes these other copies, so that exactly one Init.CON holds the "
                                       "edit and the game cannot read a stale copy:\r\ninit.con: a link\r\n"
                                       "INIT.CON: a second file of the same name"));

        level.workflow.settings().MaxViewDistance = QStringLiteral("999");
        QVERIFY(level.workflow.SaveLevel());
        const QList<StoredMember> after = readZip(archive);
        QCOMPARE(memberNames(after), QList<QByteArray>({"../../../escaped.con", "Init.CON", "Locked.con"}));
        for (const StoredMember& member : after) {
            if (member.name != "Init.CON") // copied as they were
                QCOMPARE(member.compressed, before.at(memberNames(before).indexOf(member.name)).compressed);
        }

        // The edit is what opens next; still locked, and the password is asked for again.
        level.prompter.clear();
        QVERIFY(level.open(3));
        QCOMPARE(level.workflow.settings().MaxViewDistance, QStringLiteral("999"));
        QCOMPARE(level.prompter.kinds(), texts({"text", "warning"}));
        QCOMPARE(level.prompter.texts().last(), kept);
    }
};

QTEST_GUILESS_MAIN(TestLevelWorkflow)
#include "tst_levelworkflow.moc"
