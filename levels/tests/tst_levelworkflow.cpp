#include "levels/LevelWorkflow.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ZipTestSupport.h"
#include "tools/demogame/DemoGame.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <zip.h>

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
    void everyDemoLevelOpens();
    void saveReachesArchiveAndKeepsTheRest();
    void cancelledChangesAreGoneOnReopening();
    void letterCaseOnDisk();
    void openingFailures_data();
    void openingFailures();
    void saveFailuresAreReported();
    void hostileArchiveIsReportedAndHarmless();
    void damagedMembersLeaveTheLevelOpen();
    void saveReplacesTheInitConRead();
    void refusedPasswordAndLimit();
    void missingKeysStayUntouched();
};

void TestLevelWorkflow::everyDemoLevelOpens()
{
    QCOMPARE(Levels::LevelFolderNames(), DemoGame::LevelFolders());
    Level level;
    for (int i = 0; i < Levels::LevelCount; ++i) {
        QVERIFY2(level.open(i), qPrintable(level.prompter.texts().join(QLatin1Char('\n'))));
        QCOMPARE(level.busy, QList<bool>({true, false}));
        QCOMPARE(level.workflow.settings().LevelIndex, i);
        QCOMPARE(level.workflow.settings().MaxViewDistance, QString::number(600 + i * 25));
        QCOMPARE(level.workflow.initConPath(), level.folder(i) + QStringLiteral("TEMP/Init.CON"));
        QVERIFY(QFileInfo::exists(level.folder(i) + QStringLiteral("TEMP/Overgrowth/Overgrowth.con")));
    }
    QVERIFY(level.prompter.boxes.isEmpty());
}

void TestLevelWorkflow::saveReachesArchiveAndKeepsTheRest()
{
    Level level;
    const qsizetype members = ReadZip(level.archive(8)).size();
    QVERIFY(level.open(8));
    LevelSettings& settings = level.workflow.settings();
    settings.MaxViewDistance = QStringLiteral("999");
    settings.Tickets[0] = QStringLiteral("1");
    settings.ColdBreathOn = !settings.ColdBreathOn;
    QVERIFY(level.workflow.SaveLevel());
    QCOMPARE(level.box(), QStringLiteral("information: Level data saved."));

    const QList<StoredMember> after = ReadZip(level.archive(8));
    QCOMPARE(after.size(), members);
    const QByteArray written = ReadBytes(level.workflow.initConPath());
    QCOMPARE(MemberData(after, "Init.CON"), written);
    QVERIFY(written.contains("gameLogic.maximumLevelViewDistance 999\r\n"));
    QVERIFY(written.contains("gameLogic.setDefaultNumberOfTicketsEx 16 1 1\r\n"));
    QVERIFY(written.contains("gameLogic.useColdBreath 1\r\n")); // level 8 had it off
    // Everything else is the file as it came, letter case and line count included.
    QCOMPARE(written.count("\r\n"), DemoGame::InitCon(8).count("\r\n"));
    // Opening again reads the saved values from the archive.
    QVERIFY(level.open(8));
    QCOMPARE(level.workflow.settings().MaxViewDistance, QStringLiteral("999"));
    QCOMPARE(level.workflow.settings().ColdBreathOn, true);
}

void TestLevelWorkflow::cancelledChangesAreGoneOnReopening()
{
    Level level;
    QVERIFY(level.open(2));
    const QString original = level.workflow.settings().Tickets[3];
    level.workflow.settings().Tickets[3] = QStringLiteral("5");
    // Even a TEMP/Init.CON edited by hand is overwritten by the next opening.
    WriteBytes(level.workflow.initConPath(), "changed by hand");
    QVERIFY(level.open(2));
    QCOMPARE(level.workflow.settings().Tickets[3], original);
    QCOMPARE(ReadBytes(level.workflow.initConPath()), DemoGame::InitCon(2));
}

void TestLevelWorkflow::letterCaseOnDisk()
{
    Level level;
    const QString folder = level.folder(4);
    QVERIFY(
        QDir().rename(level.modFolder() + QStringLiteral("/Levels"), level.modFolder() + QStringLiteral("/levels")));
    const QString lowerFolder = level.modFolder() + QStringLiteral("/levels/Tovary/");
    QList<RawMember> raw;
    for (const StoredMember& m : ReadZip(lowerFolder + QStringLiteral("server.ZIP")))
        raw.append(RawMember(m.name == "Init.CON" ? QByteArray("init.con") : m.name, m.data));
    QVERIFY(QFile::remove(lowerFolder + QStringLiteral("server.ZIP")));
    WriteRawZip(lowerFolder + QStringLiteral("server.zip"), raw);
    QVERIFY(QDir().mkpath(lowerFolder + QStringLiteral("temp")));

    QVERIFY(level.open(4));
    QCOMPARE(level.workflow.paths().archive, lowerFolder + QStringLiteral("server.zip"));
    QCOMPARE(level.workflow.initConPath(), lowerFolder + QStringLiteral("temp/init.con"));
    level.workflow.settings().TicketLoss[1] = QStringLiteral("42");
    QVERIFY(level.workflow.SaveLevel());
    const QList<StoredMember> after = ReadZip(lowerFolder + QStringLiteral("server.zip"));
    QCOMPARE(after.size(), raw.size()); // replaced under its own name, not added beside it
    QVERIFY(MemberNames(after).contains("init.con"));
    QVERIFY(MemberData(after, "init.con").contains("gameLogic.setTicketLossPerMin 2 42\r\n"));
    QVERIFY(!QFileInfo::exists(folder));
}

void TestLevelWorkflow::openingFailures_data()
{
    QTest::addColumn<QString>("setup");
    QTest::newRow("no archive, no TEMP") << QStringLiteral("missing");
    QTest::newRow("no archive, stale TEMP") << QStringLiteral("stale");
    QTest::newRow("no Init.CON in the archive") << QStringLiteral("noinit");
    QTest::newRow("Init.CON is a folder") << QStringLiteral("folder");
    QTest::newRow("archive cut short, stale TEMP") << QStringLiteral("truncated");
}

void TestLevelWorkflow::openingFailures()
{
    QFETCH(QString, setup);
    Level level;
    const QString archive = level.archive(6);
    if (setup == QLatin1String("stale") || setup == QLatin1String("truncated"))
        QVERIFY(level.open(6)); // leaves TEMP/Init.CON behind
    if (setup == QLatin1String("missing") || setup == QLatin1String("stale"))
        QVERIFY(QFile::remove(archive));
    if (setup == QLatin1String("noinit"))
        QVERIFY(DemoGame::WriteZip(archive, {{QStringLiteral("Sounds.con"), "x"}}).isEmpty());
    if (setup == QLatin1String("folder"))
        WriteRawZip(archive, {{"Init.CON/", {}, true}});
    if (setup == QLatin1String("truncated"))
        WriteBytes(archive, ReadBytes(archive).left(300));

    QVERIFY(!level.open(6));
    QCOMPARE(level.busy, QList<bool>({true, false}));
    const QString box = level.box();
    if (setup == QLatin1String("truncated")) // with the reason after the message
        QVERIFY2(box.startsWith(QStringLiteral("critical: ") + ReadFailure + QStringLiteral("\r\n\r\n")),
                 qPrintable(box));
    else
        QCOMPARE(box, QStringLiteral("critical: ") + ReadFailure);
}

void TestLevelWorkflow::saveFailuresAreReported()
{
    Level level;
    const QString archive = level.archive(1);
    QVERIFY(level.open(1));
    level.workflow.settings().Tickets[0] = QStringLiteral("321");
    const QByteArray archiveBefore = ReadBytes(archive);

    // Init.CON cannot be written: a folder took its place.
    const QString initCon = level.workflow.initConPath();
    QVERIFY(QFile::remove(initCon));
    QVERIFY(QDir().mkpath(initCon));
    QVERIFY(!level.workflow.SaveLevel());
    QVERIFY(level.box().startsWith(QStringLiteral("critical: ") + SaveFailure));
    QCOMPARE(ReadBytes(archive), archiveBefore);
    QCOMPARE(level.workflow.settings().Tickets[0], QStringLiteral("321")); // the user's value is kept

    // The archive cannot be updated: it was damaged meanwhile, and stays as it is.
    QVERIFY(QDir(initCon).removeRecursively());
    WriteBytes(archive, "damaged");
    QVERIFY(!level.workflow.SaveLevel());
    QVERIFY(level.box().startsWith(QStringLiteral("critical: ") + SaveFailure));
    QCOMPARE(ReadBytes(archive), QByteArray("damaged"));

    // A retry once the archive is back succeeds and writes the value.
    WriteBytes(archive, archiveBefore);
    QVERIFY(level.workflow.SaveLevel());
    QCOMPARE(level.box(), QStringLiteral("information: Level data saved."));
    QVERIFY(MemberData(ReadZip(archive), "Init.CON").contains("gameLogic.setDefaultNumberOfTicketsEx 16 1 321\r\n"));
}

void TestLevelWorkflow::hostileArchiveIsReportedAndHarmless()
{
    Level level;
    WriteRawZip(level.archive(0),
                {{"../../../escaped.con", "x"}, {"Init.CON", DemoGame::InitCon(0)}, {"lnk", "/etc", false, true}});
    QVERIFY(level.open(0));
    QCOMPARE(level.prompter.kinds(), QStringList{QStringLiteral("warning")});
    QVERIFY(level.prompter.texts().first().contains(QLatin1String("../../../escaped.con")));
    QVERIFY(level.prompter.texts().first().contains(QLatin1String("lnk")));
    QVERIFY(!QFileInfo::exists(level.modFolder() + QStringLiteral("/escaped.con")));
    // The save keeps the members it did not unpack.
    QVERIFY(level.workflow.SaveLevel());
    QCOMPARE(MemberNames(ReadZip(level.archive(0))), QList<QByteArray>({"../../../escaped.con", "Init.CON", "lnk"}));

    // A TEMP that is a link is refused with a reason.
    const QString temp = level.folder(0) + QStringLiteral("TEMP");
    QVERIFY(QDir(temp).removeRecursively());
    QVERIFY(QFile::link(level.game.path, temp));
    level.prompter.clear();
    QVERIFY(!level.open(0));
    QVERIFY(level.box().startsWith(QStringLiteral("critical: ") + ReadFailure + QStringLiteral("\r\n\r\n")));
    QVERIFY(!QFileInfo::exists(level.game.path + QStringLiteral("Init.CON")));
}

void TestLevelWorkflow::damagedMembersLeaveTheLevelOpen()
{
    Level level;
    const QString archive = level.archive(3);
    WriteRawZip(archive, {{"Init.CON", DemoGame::InitCon(3)},
                          {"Bad.con", "damaged"},
                          {"Locked.con", "locked", false, false, ZIP_EM_TRAD_PKWARE, "pw"},
                          {"INIT.CON", "stale copy"}});
    QByteArray bytes = ReadBytes(archive);
    PatchMember(bytes, "Bad.con", CrcField, QByteArray(4, '\0'));
    WriteBytes(archive, bytes);
    const QList<StoredMember> before = ReadZip(archive);

    // One box, after the password is refused, for every member left out.
    const QString kept = QStringLiteral("These files of the level archive were not unpacked; the archive keeps them "
                                        "unchanged:\r\nBad.con: CRC error\r\n"
                                        "Locked.con: the file is protected by a password");
    QVERIFY(level.open(3));
    QCOMPARE(level.prompter.kinds(), QStringList({QStringLiteral("text"), QStringLiteral("warning")}));
    QCOMPARE(level.prompter.texts().last(),
             kept + QStringLiteral("\r\n\r\nThe archive holds more than one Init.CON. The one unpacked is edited, "
                                   "and saving removes these other copies, so that exactly one Init.CON holds the "
                                   "edit and the game cannot read a stale copy:\r\nINIT.CON: a second file of the "
                                   "same name"));
    QCOMPARE(level.workflow.settings().MaxViewDistance, QString::number(600 + 3 * 25));

    QVERIFY(level.workflow.SaveLevel());
    const QList<StoredMember> after = ReadZip(archive);
    QCOMPARE(MemberNames(after), QList<QByteArray>({"Init.CON", "Bad.con", "Locked.con"}));
    QCOMPARE(after.at(1).compressed, before.at(1).compressed);
    QCOMPARE(after.at(2).compressed, before.at(2).compressed);

    // Still damaged and still locked; the password is asked for again.
    level.prompter.clear();
    QVERIFY(level.open(3));
    QCOMPARE(level.prompter.kinds(), QStringList({QStringLiteral("text"), QStringLiteral("warning")}));
    QCOMPARE(level.prompter.texts().last(), kept);
}

void TestLevelWorkflow::saveReplacesTheInitConRead()
{
    // A link of the name comes first; the real Init.CON after it is the one read, edited and kept.
    Level level;
    WriteRawZip(level.archive(7), {{"INIT.CON", "../Init.CON", false, true}, {"Init.CON", DemoGame::InitCon(7)}});
    QVERIFY(level.open(7));
    QVERIFY(level.box().endsWith(QStringLiteral(":\r\nINIT.CON: a link")));
    level.workflow.settings().MaxViewDistance = QStringLiteral("999");
    QVERIFY(level.workflow.SaveLevel());
    QCOMPARE(MemberNames(ReadZip(level.archive(7))), QList<QByteArray>{"Init.CON"});
    QVERIFY(level.open(7));
    QCOMPARE(level.workflow.settings().MaxViewDistance, QStringLiteral("999"));
}

void TestLevelWorkflow::refusedPasswordAndLimit()
{
    Level level;
    WriteRawZip(level.archive(3), {{"Init.CON", DemoGame::InitCon(3), false, false, ZIP_EM_TRAD_PKWARE, "pw"}});
    QVERIFY(!level.open(3));
    QCOMPARE(level.prompter.kinds(), QStringList({QStringLiteral("text"), QStringLiteral("critical")}));
    QCOMPARE(level.prompter.texts().first(), QStringLiteral("Please Enter The Password!"));
    QVERIFY(level.prompter.texts().last().startsWith(ReadFailure));
    level.prompter.clear();
    QVERIFY(!level.open(3));
    QCOMPARE(level.prompter.kinds(), QStringList({QStringLiteral("text"), QStringLiteral("critical")})); // asked again
    level.prompter.clear();

    level.workflow.archive().setExtractLimit(1000);
    QVERIFY(!level.open(5));
    const QString box = level.box();
    QVERIFY2(box.startsWith(QStringLiteral("critical: ")) && box.contains(QLatin1String("MiB")), qPrintable(box));
}

void TestLevelWorkflow::missingKeysStayUntouched()
{
    Level level;
    QByteArray init = DemoGame::InitCon(10);
    init.replace("gameLogic.useColdBreath", "rem useColdBreath").replace("TicketLossPerMin 1", "TicketLossPerMin x");
    QVERIFY(DemoGame::WriteZip(level.archive(10), {{QStringLiteral("Init.CON"), init}}).isEmpty());
    QVERIFY(level.open(10));
    LevelSettings& settings = level.workflow.settings();
    QVERIFY(!settings.ColdBreathPresent);
    QVERIFY(settings.TicketLoss[0].isEmpty());
    settings.ColdBreathOn = true;
    settings.TicketLoss[1] = QStringLiteral("3");
    QVERIFY(level.workflow.SaveLevel());
    QCOMPARE(ReadBytes(level.workflow.initConPath()),
             QByteArray(init).replace("gameLogic.setTicketLossPerMin 2 10", "gameLogic.setTicketLossPerMin 2 3"));
}

QTEST_GUILESS_MAIN(TestLevelWorkflow)
#include "tst_levelworkflow.moc"
