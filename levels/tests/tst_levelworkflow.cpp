#include "levels/LevelWorkflow.h"
#include "levels/tests/ZipTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tools/demogame/DemoGame.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <zip.h>

namespace {

const QString ReadFailure = QStringLiteral("Unable to read level data.");

struct Level
{
    DemoGameFolder game;
    RecordingPrompter prompter;
    LevelWorkflow workflow{prompter};
    QList<bool> busy;
    QString modFolder() const { return game.mod(DemoGame::CompleteMod); }
    QString folder(int index) const
    {
        return modFolder() + QStringLiteral("/Levels/") + QString::fromLatin1(LevelTable.at(index).folderName) +
               QLatin1Char('/');
    }
    bool open(int index)
    {
        return workflow.OpenLevel(modFolder(), index, [this](bool shown) { busy.append(shown); });
    }
};

QByteArray member(const QList<StoredMember>& members, const QByteArray& name)
{
    for (const StoredMember& m : members) {
        if (m.name == name)
            return m.data;
    }
    return "<absent>";
}

} // namespace

class TestLevelWorkflow final : public QObject
{
    Q_OBJECT

private slots:
    void levelTable();
    void everyDemoLevelOpens();
    void saveReachesArchiveAndKeepsTheRest();
    void cancelledChangesAreGoneOnReopening();
    void letterCaseOnDisk();
    void openingFailures_data();
    void openingFailures();
    void saveFailuresAreReported();
    void hostileArchiveIsReportedAndHarmless();
    void refusedPasswordAndLimit();
    void missingKeysStayUntouched();
};

void TestLevelWorkflow::levelTable()
{
    QCOMPARE(LevelFolderNames(), DemoGame::LevelFolders());
    QCOMPARE(LevelDisplayNames().at(8), QStringLiteral("Merrow Harbour"));
    QCOMPARE(LevelFolderNames().at(8), QStringLiteral("Merrow_Harbor"));
    QCOMPARE(LevelDisplayNames().at(12), QStringLiteral("Orvane Island 3190"));
    QCOMPARE(LevelEditWarning(), QStringLiteral("Opening & changing ANY files will prevent online play with this "
                                                "mod.\r\nDo you still want to edit this level?"));
}

void TestLevelWorkflow::everyDemoLevelOpens()
{
    Level level;
    for (int i = 0; i < LevelCount; ++i) {
        level.busy.clear();
        QVERIFY2(level.open(i), qPrintable(level.prompter.texts().join(QLatin1Char('\n'))));
        QCOMPARE(level.busy, QList<bool>({true, false}));
        QCOMPARE(level.workflow.settings().LevelIndex, i);
        QCOMPARE(level.workflow.settings().MaxViewDistance, QString::number(600 + i * 25));
        QCOMPARE(level.workflow.paths().tempFolder, level.folder(i) + QStringLiteral("TEMP"));
        QCOMPARE(level.workflow.initConPath(), level.folder(i) + QStringLiteral("TEMP/Init.CON"));
        QVERIFY(QFileInfo::exists(level.folder(i) + QStringLiteral("TEMP/Overgrowth/Overgrowth.con")));
    }
    QVERIFY(level.prompter.boxes.isEmpty());
}

void TestLevelWorkflow::saveReachesArchiveAndKeepsTheRest()
{
    Level level;
    const QString archive = level.folder(8) + QStringLiteral("server.ZIP");
    const QList<StoredMember> before = ReadZip(archive);
    QVERIFY(level.open(8));
    LevelSettings& settings = level.workflow.settings();
    settings.MaxViewDistance = QStringLiteral("999");
    settings.Tickets[0] = QStringLiteral("1");
    settings.ColdBreathOn = !settings.ColdBreathOn;
    QVERIFY(level.workflow.SaveLevel());
    QCOMPARE(level.prompter.texts(), QStringList{QStringLiteral("Level data saved.")});
    QCOMPARE(level.prompter.kinds(), QStringList{QStringLiteral("information")});

    const QList<StoredMember> after = ReadZip(archive);
    QCOMPARE(after.size(), before.size());
    const QByteArray written = ReadBytes(level.workflow.initConPath());
    QCOMPARE(member(after, "Init.CON"), written);
    QVERIFY(written.contains("gameLogic.maximumLevelViewDistance 999\r\n"));
    QVERIFY(written.contains("gameLogic.setDefaultNumberOfTicketsEx 16 1 1\r\n"));
    QVERIFY(written.contains("gameLogic.useColdBreath 1\r\n")); // level 8 had it off
    // Everything else is the file as it came, letter case and line count included.
    QCOMPARE(written.count("\r\n"), DemoGame::InitCon(8).count("\r\n"));
    for (qsizetype i = 0; i < after.size(); ++i) {
        if (after.at(i).name != "Init.CON")
            QCOMPARE(after.at(i).compressed, before.at(i).compressed);
    }
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
    const QString levels = level.modFolder() + QStringLiteral("/Levels");
    QVERIFY(QDir().rename(levels, level.modFolder() + QStringLiteral("/levels")));
    const QString lowerFolder = level.modFolder() + QStringLiteral("/levels/Tovary/");
    const QList<StoredMember> members = ReadZip(lowerFolder + QStringLiteral("server.ZIP"));
    QList<RawMember> raw;
    for (const StoredMember& m : members)
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
    QCOMPARE(after.size(), members.size()); // replaced under its own name, not added beside it
    QVERIFY(member(after, "init.con").contains("gameLogic.setTicketLossPerMin 2 42\r\n"));
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
    const QString archive = level.folder(6) + QStringLiteral("server.ZIP");
    if (setup == QLatin1String("stale") || setup == QLatin1String("truncated")) {
        QVERIFY(level.open(6)); // leaves TEMP/Init.CON behind
        level.prompter.clear();
    }
    if (setup == QLatin1String("missing") || setup == QLatin1String("stale"))
        QVERIFY(QFile::remove(archive));
    if (setup == QLatin1String("noinit"))
        QVERIFY(DemoGame::WriteZip(archive, {{QStringLiteral("Sounds.con"), "x"}}).isEmpty());
    if (setup == QLatin1String("folder"))
        WriteRawZip(archive, {{"Init.CON/", {}, true}});
    if (setup == QLatin1String("truncated"))
        WriteBytes(archive, ReadBytes(archive).left(300));

    level.busy.clear();
    QVERIFY(!level.open(6));
    QCOMPARE(level.busy, QList<bool>({true, false}));
    QCOMPARE(level.prompter.kinds(), QStringList{QStringLiteral("critical")});
    QVERIFY(level.prompter.texts().first().startsWith(ReadFailure));
    if (setup != QLatin1String("truncated"))
        QCOMPARE(level.prompter.texts().first(), ReadFailure);
}

void TestLevelWorkflow::saveFailuresAreReported()
{
    Level level;
    const QString archive = level.folder(1) + QStringLiteral("server.ZIP");
    QVERIFY(level.open(1));
    level.workflow.settings().Tickets[0] = QStringLiteral("321");
    const QByteArray archiveBefore = ReadBytes(archive);

    // Init.CON cannot be written: a folder took its place.
    const QString initCon = level.workflow.initConPath();
    QVERIFY(QFile::remove(initCon));
    QVERIFY(QDir().mkpath(initCon));
    QVERIFY(!level.workflow.SaveLevel());
    QCOMPARE(level.prompter.kinds(), QStringList{QStringLiteral("critical")});
    QVERIFY(level.prompter.texts().first().startsWith(QLatin1String("Unable to save level data.")));
    QCOMPARE(ReadBytes(archive), archiveBefore);
    QCOMPARE(level.workflow.settings().Tickets[0], QStringLiteral("321")); // the user's value is kept

    // The archive cannot be updated: it was damaged meanwhile, and stays as it is.
    QVERIFY(QDir(initCon).removeRecursively());
    WriteBytes(archive, "damaged");
    level.prompter.clear();
    QVERIFY(!level.workflow.SaveLevel());
    QCOMPARE(level.prompter.kinds(), QStringList{QStringLiteral("critical")});
    QVERIFY(level.prompter.texts().first().startsWith(QLatin1String("Unable to save level data.")));
    QCOMPARE(ReadBytes(archive), QByteArray("damaged"));

    // A retry once the archive is back succeeds and writes the value.
    WriteBytes(archive, archiveBefore);
    level.prompter.clear();
    QVERIFY(level.workflow.SaveLevel());
    QCOMPARE(level.prompter.texts(), QStringList{QStringLiteral("Level data saved.")});
    QVERIFY(member(ReadZip(archive), "Init.CON").contains("gameLogic.setDefaultNumberOfTicketsEx 16 1 321\r\n"));
}

void TestLevelWorkflow::hostileArchiveIsReportedAndHarmless()
{
    Level level;
    const QString archive = level.folder(0) + QStringLiteral("server.ZIP");
    WriteRawZip(archive,
                {{"../../../escaped.con", "x"}, {"Init.CON", DemoGame::InitCon(0)}, {"lnk", "/etc", false, true}});
    QVERIFY(level.open(0));
    QCOMPARE(level.prompter.kinds(), QStringList{QStringLiteral("warning")});
    QVERIFY(level.prompter.texts().first().contains(QLatin1String("../../../escaped.con")));
    QVERIFY(level.prompter.texts().first().contains(QLatin1String("lnk")));
    QVERIFY(!QFileInfo::exists(level.modFolder() + QStringLiteral("/escaped.con")));
    // The save keeps the members it did not unpack.
    QVERIFY(level.workflow.SaveLevel());
    const QList<StoredMember> after = ReadZip(archive);
    QCOMPARE(after.size(), 3);
    QCOMPARE(after.first().name, QByteArray("../../../escaped.con"));

    // A TEMP that is a link is refused with a reason.
    const QString temp = level.folder(0) + QStringLiteral("TEMP");
    QVERIFY(QDir(temp).removeRecursively());
    QVERIFY(QFile::link(level.game.path, temp));
    level.prompter.clear();
    QVERIFY(!level.open(0));
    QCOMPARE(level.prompter.kinds(), QStringList{QStringLiteral("critical")});
    QVERIFY(level.prompter.texts().first().startsWith(ReadFailure + QStringLiteral("\r\n\r\n")));
    QVERIFY(!QFileInfo::exists(level.game.path + QStringLiteral("Init.CON")));
}

void TestLevelWorkflow::refusedPasswordAndLimit()
{
    Level level;
    const QString archive = level.folder(3) + QStringLiteral("server.ZIP");
    WriteRawZip(archive, {{"Init.CON", DemoGame::InitCon(3), false, false, ZIP_EM_TRAD_PKWARE, "pw"}});
    QVERIFY(!level.open(3));
    QCOMPARE(level.prompter.kinds(), QStringList({QStringLiteral("text"), QStringLiteral("critical")}));
    QCOMPARE(level.prompter.texts().first(), QStringLiteral("Please Enter The Password!"));
    QVERIFY(level.prompter.texts().last().startsWith(ReadFailure));
    level.prompter.clear();
    QVERIFY(!level.open(3));
    QCOMPARE(level.prompter.kinds(), QStringList{QStringLiteral("critical")}); // not asked again

    Level second;
    second.prompter.textAnswers = {QStringLiteral("pw")};
    WriteRawZip(second.folder(3) + QStringLiteral("server.ZIP"),
                {{"Init.CON", DemoGame::InitCon(3), false, false, ZIP_EM_TRAD_PKWARE, "pw"}});
    QVERIFY(second.open(3));
    QCOMPARE(second.workflow.settings().MaxViewDistance, QString::number(600 + 3 * 25));

    Level big;
    big.workflow.archive().setExtractLimit(1000);
    QVERIFY(!big.open(5));
    QCOMPARE(big.prompter.kinds(), QStringList{QStringLiteral("critical")});
    QVERIFY(big.prompter.texts().first().contains(QLatin1String("MiB")));
}

void TestLevelWorkflow::missingKeysStayUntouched()
{
    Level level;
    const QString archive = level.folder(10) + QStringLiteral("server.ZIP");
    QByteArray init = DemoGame::InitCon(10);
    init.replace("gameLogic.useColdBreath", "rem useColdBreath").replace("TicketLossPerMin 1", "TicketLossPerMin x");
    QVERIFY(DemoGame::WriteZip(archive, {{QStringLiteral("Init.CON"), init}}).isEmpty());
    QVERIFY(level.open(10));
    LevelSettings& settings = level.workflow.settings();
    QVERIFY(!settings.ColdBreathPresent);
    QVERIFY(settings.TicketLoss[0].isEmpty());
    settings.ColdBreathOn = true;
    settings.TicketLoss[1] = QStringLiteral("3");
    QVERIFY(level.workflow.SaveLevel());
    QByteArray expected = init;
    expected.replace("gameLogic.setTicketLossPerMin 2 10", "gameLogic.setTicketLossPerMin 2 3");
    QCOMPARE(ReadBytes(level.workflow.initConPath()), expected);
}

QTEST_GUILESS_MAIN(TestLevelWorkflow)
#include "tst_levelworkflow.moc"
