#include "modfiles/ModFiles.h"
#include "modfiles/ModSettings.h"
#include "modfiles/ScoreKeys.h"
#include "tests/support/TestSupport.h"
#include "tools/demogame/DemoGame.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {

struct OpenMod
{
    DemoGameFolder game;
    ModSettings mod;
    LoadReport report;
    explicit OpenMod(const QString& name = DemoGame::CompleteMod)
    {
        mod.ModFolder = game.mod(name);
        report = ModFiles::LoadMod(mod);
    }
    QString file(ModFile which) const { return mod.filePath(which); }
    QString path(const QString& relative) const { return mod.ModFolder + QLatin1Char('/') + relative; }
    void reload()
    {
        mod.setSaveFlags(ModFileSet::all());
        report = ModFiles::LoadMod(mod);
    }
};

SaveReport saveAll(ModSettings& mod)
{
    return ModFiles::SaveMod(mod, ModFileSet::all());
}

QStringList leftovers(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".tmp"), Qt::CaseInsensitive);
}

} // namespace

class TestModFiles final : public QObject
{
    Q_OBJECT

private slots:
    void loadsTheCompleteDemoMod()
    {
        OpenMod open;
        ModSettings& mod = open.mod;
        QVERIFY(open.report.unreadableFiles.isEmpty());
        for (ModFile file : ModFiles::AllModFiles) {
            QVERIFY(mod.isPresent(file));
            QVERIFY(mod.saveFlag(file));
        }
        QCOMPARE(mod.BotNames(), DemoGame::BotNames);
        QCOMPARE(mod.MaxBots(), QString::number(DemoGame::MaxBots));
        QCOMPARE(mod.BotSkill(), QStringLiteral("50"));
        for (FriendlyFire which : ModFiles::AllFriendlyFire)
            QCOMPARE(mod.friendlyFire(which), QString::number(DemoGame::FriendlyFire[static_cast<int>(which)]));
        QCOMPARE(mod.ScoreLines().size(), ModFiles::ScoreKeyCount);
        QCOMPARE(mod.ScoreValues(), DemoGame::ScoreValues());
        QCOMPARE(mod.ScoreLines().at(1), QStringLiteral("SCORE_TEAMKILL = -4"));
        const ScoringFile scoring = ScoringFile::load(ReadBytes(open.file(ModFile::Scoring)));
        QVERIFY(scoring.ScoringHead().contains("from gx2 import Timer\r\n"));
        QVERIFY(scoring.ScoringTail().startsWith("\r\n\r\ng_lastReplenish0"));
    }

    void unchangedSaveKeepsEveryByte()
    {
        OpenMod open;
        QList<QByteArray> before;
        for (ModFile file : ModFiles::AllModFiles)
            before.append(ReadBytes(open.file(file)));
        for (int round = 0; round < 2; ++round) {
            const SaveReport report = saveAll(open.mod);
            QCOMPARE(report.failedFiles, QStringList());
            QCOMPARE(report.savedFiles.size(), 4);
            for (ModFile file : ModFiles::AllModFiles)
                QCOMPARE(ReadBytes(open.file(file)), before.at(static_cast<int>(file)));
            open.reload();
        }
        QCOMPARE(leftovers(open.path(QStringLiteral("AI"))), QStringList());
    }

    void changedValuesReplaceWholeTokensAndKeepCase()
    {
        OpenMod open;
        ModSettings& mod = open.mod;
        const QByteArray server = ReadBytes(open.file(ModFile::ServerSettings));
        const QByteArray ai = ReadBytes(open.file(ModFile::AIDefault));
        mod.setFriendlyFire(FriendlyFire::SoldierFF, QStringLiteral("50"));
        mod.setMaxBots(QStringLiteral("16"));
        mod.setBotSkill(QStringLiteral("75"));
        mod.setScoreValue(0, 3);
        QCOMPARE(mod.ScoreLines().at(0), QStringLiteral("SCORE_KILL = 3"));
        QCOMPARE(saveAll(mod).failedFiles, QStringList());

        QByteArray expectedServer = server;
        expectedServer.replace("sv.soldierFriendlyFire 100", "sv.soldierFriendlyFire 50");
        QCOMPARE(ReadBytes(open.file(ModFile::ServerSettings)), expectedServer);
        QVERIFY(expectedServer.contains("sv.serverName \"Gravix 3190 Skirmish\""));
        QByteArray expectedAi = ai;
        expectedAi.replace("setMaxNBots 32", "setMaxNBots 16").replace("setBotSkill 0.5", "setBotSkill 0.75");
        QCOMPARE(ReadBytes(open.file(ModFile::AIDefault)), expectedAi);
        const QByteArray scoring = ReadBytes(open.file(ModFile::Scoring));
        QVERIFY(scoring.contains("\r\nSCORE_KILL = 3\r\n"));
        QVERIFY(scoring.contains("# Titan mode\r\n")); // lines between constants stay

        // Again in the same run: the remembered value is the one just written.
        mod.setFriendlyFire(FriendlyFire::SoldierFF, QStringLiteral("75"));
        mod.setBotSkill(QStringLiteral("100"));
        QCOMPARE(saveAll(mod).failedFiles, QStringList());
        QVERIFY(ReadBytes(open.file(ModFile::ServerSettings)).contains("sv.soldierFriendlyFire 75\r\n"));
        QVERIFY(ReadBytes(open.file(ModFile::AIDefault)).contains("aiSettings.setBotSkill 1\r\n"));
        open.reload();
        QCOMPARE(mod.friendlyFire(FriendlyFire::SoldierFF), QStringLiteral("75"));
        QCOMPARE(mod.BotSkill(), QStringLiteral("100"));
        QCOMPARE(mod.MaxBots(), QStringLiteral("16"));
        QCOMPARE(mod.ScoreValues().at(0), 3);
    }

    void valuesAreWholeTokens()
    {
        OpenMod open;
        const QString server = open.file(ModFile::ServerSettings);
        QByteArray bytes = ReadBytes(server);
        bytes.replace("sv.soldierFriendlyFire 100", "sv.soldierFriendlyFire 1000")
            .replace("sv.vehicleFriendlyFire 50", "sv.vehicleFriendlyFire 10\r\nsv.vehicleFriendlyFire 100");
        WriteBytes(server, bytes);
        open.reload();
        QCOMPARE(open.mod.friendlyFire(FriendlyFire::SoldierFF), QStringLiteral("1000"));
        QCOMPARE(open.mod.friendlyFire(FriendlyFire::VehicleFF), QStringLiteral("10"));
        open.mod.setFriendlyFire(FriendlyFire::SoldierFF, QStringLiteral("7"));
        open.mod.setFriendlyFire(FriendlyFire::VehicleFF, QStringLiteral("20"));
        QCOMPARE(ModFiles::SaveMod(open.mod, {ModFile::ServerSettings}).failedFiles, QStringList());
        const QByteArray saved = ReadBytes(server);
        QVERIFY(saved.contains("sv.soldierFriendlyFire 7\r\n"));
        QVERIFY(saved.contains("sv.vehicleFriendlyFire 20\r\nsv.vehicleFriendlyFire 100\r\n"));
    }

    void decimalTokensMeanTheirWholePart_data()
    {
        QTest::addColumn<bool>("maxBots");
        QTest::addColumn<QByteArray>("token");
        QTest::addColumn<QString>("value");
        QTest::newRow("friendly fire 50.0") << false << QByteArray("50.0") << QStringLiteral("50");
        QTest::newRow("friendly fire 50.") << false << QByteArray("50.") << QStringLiteral("50");
        QTest::newRow("friendly fire 7.5") << false << QByteArray("7.5") << QStringLiteral("7");
        QTest::newRow("max bots 32.0") << true << QByteArray("32.0") << QStringLiteral("32");
    }
    void decimalTokensMeanTheirWholePart()
    {
        QFETCH(bool, maxBots);
        QFETCH(QByteArray, token);
        QFETCH(QString, value);
        OpenMod open;
        const QString path = open.file(maxBots ? ModFile::AIDefault : ModFile::ServerSettings);
        const QByteArray key = maxBots ? "aiSettings.setMaxNBots " : "sv.soldierFriendlyFire ";
        QByteArray bytes = ReadBytes(path);
        bytes.replace(key + (maxBots ? "32\r\n" : "100\r\n"), key + token + "\r\n");
        QVERIFY(bytes.contains(key + token));
        WriteBytes(path, bytes);
        open.reload();
        QCOMPARE(maxBots ? open.mod.MaxBots() : open.mod.friendlyFire(FriendlyFire::SoldierFF), value);
        // Unchanged, the token keeps its bytes; changed, the whole token gives way to the new number.
        QCOMPARE(saveAll(open.mod).failedFiles, QStringList());
        QCOMPARE(ReadBytes(path), bytes);
        if (maxBots)
            open.mod.setMaxBots(QStringLiteral("4"));
        else
            open.mod.setFriendlyFire(FriendlyFire::SoldierFF, QStringLiteral("4"));
        QCOMPARE(saveAll(open.mod).failedFiles, QStringList());
        QCOMPARE(ReadBytes(path), bytes.replace(key + token + "\r\n", key + "4\r\n"));
    }

    void botSkillIsReadAndWrittenAsAFraction_data()
    {
        QTest::addColumn<QByteArray>("token");
        QTest::addColumn<QString>("skill");
        QTest::newRow("0.5") << QByteArray("0.5") << QStringLiteral("50");
        QTest::newRow("1") << QByteArray("1") << QStringLiteral("100");
        QTest::newRow(".25") << QByteArray(".25") << QStringLiteral("25");
        QTest::newRow("0.50") << QByteArray("0.50") << QStringLiteral("50");
        QTest::newRow("no digits") << QByteArray("high") << QString();
    }
    void botSkillIsReadAndWrittenAsAFraction()
    {
        QFETCH(QByteArray, token);
        QFETCH(QString, skill);
        OpenMod open;
        const QString ai = open.file(ModFile::AIDefault);
        QByteArray bytes = ReadBytes(ai);
        bytes.replace("setBotSkill 0.5", "setBotSkill " + token);
        WriteBytes(ai, bytes);
        open.reload();
        QCOMPARE(open.mod.BotSkill(), skill);
        open.mod.setBotSkill(skill.isEmpty() ? QString() : QStringLiteral("5"));
        QCOMPARE(ModFiles::SaveMod(open.mod, {ModFile::AIDefault}).failedFiles, QStringList());
        QByteArray expected = bytes;
        if (!skill.isEmpty())
            expected.replace("setBotSkill " + token, "setBotSkill 0.05");
        QCOMPARE(ReadBytes(ai), expected);
    }

    void scoringScriptNeverLosesALine()
    {
        OpenMod open;
        const QString path = open.file(ModFile::Scoring);
        QByteArray bytes = ReadBytes(path);
        // Constant 20 missing, a spaced line with a comment, a fraction and a value beyond 16 bits.
        bytes.replace("SCORE_TEAMDAMAGE = ", "#SCORE_TEAMDAMAGE = ")
            .replace("SCORE_TEAMKILL = -4", "SCORE_TEAMKILL   =   -4   # harsh")
            .replace("SCORE_SUICIDE = -2", "SCORE_SUICIDE = -2.5")
            .replace("SCORE_REVIVE = ", "SCORE_REVIVE = 99999 #");
        WriteBytes(path, bytes);
        open.reload();
        ModSettings& mod = open.mod;
        QCOMPARE(mod.ScoreLines().size(), 20);
        QCOMPARE(mod.ScoreValues().at(1), -4);
        QCOMPARE(mod.ScoreValues().at(2), -2);
        QCOMPARE(mod.ScoreValues().at(3), 99999);
        QCOMPARE(ModFiles::SaveMod(mod, {ModFile::Scoring}).failedFiles, QStringList());
        QCOMPARE(ReadBytes(path), bytes);

        mod.setScoreValue(1, -5);
        mod.setScoreValue(19, 200);
        QCOMPARE(ModFiles::SaveMod(mod, {ModFile::Scoring}).failedFiles, QStringList());
        QByteArray expected = bytes;
        expected.replace("SCORE_TEAMKILL   =   -4   # harsh", "SCORE_TEAMKILL = -5")
            .replace("\r\nSCORE_DESTROYMISSILE = 19\r\n", "\r\nSCORE_DESTROYMISSILE = 200\r\n");
        const QByteArray savedBytes = ReadBytes(path);
        QCOMPARE(savedBytes, expected);
        QVERIFY(savedBytes.contains("#SCORE_TEAMDAMAGE = "));
        QVERIFY(savedBytes.endsWith("    addScore0(reviver, SCORE_REVIVE, 1)\r\n"));

        // Without the marker everything is head and nothing is a score row.
        WriteBytes(path, QByteArray("import host\r\nSCORE_KILL = 2\r\n"));
        open.reload();
        QCOMPARE(mod.ScoreLines().size(), 0);
        QCOMPARE(ScoringFile::load(ReadBytes(path)).ScoringHead(), QByteArray("import host\r\nSCORE_KILL = 2\r\n"));
    }

    void loneLineFeedsAndFilesDoNotGrow()
    {
        OpenMod open;
        const QString server = open.file(ModFile::ServerSettings);
        QByteArray bytes = ReadBytes(server);
        bytes.replace("\r\n", "\n");
        WriteBytes(server, bytes);
        open.reload();
        QCOMPARE(open.mod.friendlyFire(FriendlyFire::VehicleSplashFF), QStringLiteral("25"));
        QVERIFY(saveAll(open.mod).failedFiles.isEmpty());
        QByteArray crlf = bytes;
        crlf.replace("\n", "\r\n");
        QCOMPARE(ReadBytes(server), crlf);
        open.reload();
        QVERIFY(saveAll(open.mod).failedFiles.isEmpty());
        QCOMPARE(ReadBytes(server), crlf);
    }

    void missingKeysAreHarmless()
    {
        OpenMod open;
        const QString server = open.file(ModFile::ServerSettings);
        QByteArray bytes = ReadBytes(server);
        bytes.replace("sv.vehicleFriendlyFire 50", "sv.vehicleFriendlyFire none");
        bytes.replace("sv.soldierSplashFriendlyFire 75", "");
        bytes.prepend("sv.soldierSplashFriendlyFire 33\r\n"); // only before the start position
        WriteBytes(server, bytes);
        open.reload();
        QCOMPARE(open.mod.friendlyFire(FriendlyFire::VehicleFF), QString());
        QCOMPARE(open.mod.friendlyFire(FriendlyFire::SoldierSplashFF), QString());
        open.mod.setFriendlyFire(FriendlyFire::SoldierFF, QStringLiteral("1"));
        QVERIFY(ModFiles::SaveMod(open.mod, {ModFile::ServerSettings}).failedFiles.isEmpty());
        QByteArray expected = bytes;
        expected.replace("sv.soldierFriendlyFire 100", "sv.soldierFriendlyFire 1");
        QCOMPARE(ReadBytes(server), expected);

        const QString ai = open.file(ModFile::AIDefault);
        WriteBytes(ai, "aiSettings.setMaxNBots 8\r\nshort\r\n");
        open.reload();
        QCOMPARE(open.mod.MaxBots(), QString());
        QCOMPARE(open.mod.BotSkill(), QString());
        QVERIFY(ModFiles::SaveMod(open.mod, {ModFile::AIDefault}).failedFiles.isEmpty());
        QCOMPARE(ReadBytes(ai), QByteArray("aiSettings.setMaxNBots 8\r\nshort\r\n"));
    }

    void missingAndUnreadableFilesDisableTheirSections()
    {
        OpenMod names(DemoGame::NamesOnlyMod);
        QCOMPARE(names.mod.BotNames(), (QStringList{QStringLiteral("Solo"), QStringLiteral("Caf\u00e9 Racer")}));
        for (ModFile file : ModFiles::AllModFiles) {
            const bool usable = file == ModFile::BotNames;
            QVERIFY(names.mod.isPresent(file) == usable && names.mod.saveFlag(file) == usable);
        }
        QVERIFY(names.mod.ScoreLines().isEmpty());
        const SaveReport namesOnly = saveAll(names.mod);
        QCOMPARE(namesOnly.savedFiles.size(), 1);
        QVERIFY(!QFile::exists(names.path(QStringLiteral("AI/AIDefault.AI"))));
        // The name beyond ASCII keeps its byte.
        QVERIFY(ReadBytes(names.file(ModFile::BotNames)).contains("Caf\xe9 Racer\r\n"));

#ifdef Q_OS_LINUX
        // A file that exists but cannot be read, even by root.
        OpenMod open;
        const QString ai = open.file(ModFile::AIDefault);
        QFile::remove(ai);
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), ai));
        open.reload();
        QVERIFY(!open.mod.isPresent(ModFile::AIDefault));
        QVERIFY(!open.mod.saveFlag(ModFile::AIDefault));
        QCOMPARE(open.report.unreadableFiles, QStringList{QDir::toNativeSeparators(ai)});
        RecordingPrompter prompter;
        ModFiles::ReportLoad(open.report, prompter);
        QCOMPARE(prompter.kinds(), QStringList{QStringLiteral("critical")});
        QVERIFY(prompter.texts().first().contains(QDir::toNativeSeparators(ai)));
        QVERIFY(saveAll(open.mod).failedFiles.isEmpty());
        QVERIFY(QFileInfo(ai).isSymLink());
#endif
    }

    void failedWritesAreReportedAndLeaveTheOldFile()
    {
        OpenMod open;
        ModSettings& mod = open.mod;
        const QString server = open.file(ModFile::ServerSettings);
        const QByteArray serverBefore = ReadBytes(server);
        QVERIFY(QFile::setPermissions(server, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        // The AI folder replaced by a file after the load.
        QVERIFY(QDir(open.path(QStringLiteral("AI"))).removeRecursively());
        WriteBytes(open.path(QStringLiteral("AI")), "not a folder");

        mod.setFriendlyFire(FriendlyFire::SoldierFF, QStringLiteral("1"));
        mod.setMaxBots(QStringLiteral("9"));
        mod.setScoreValue(0, 1);
        const SaveReport report = saveAll(mod);
        QVERIFY2(report.failedFiles.size() == 3, qPrintable(report.failedFiles.join(QLatin1Char('|'))));
        QCOMPARE(report.savedFiles, QStringList{QDir::toNativeSeparators(open.file(ModFile::Scoring))});
        QCOMPARE(ReadBytes(server), serverBefore);

        RecordingPrompter prompter;
        ModFiles::ReportSave(report, prompter);
        QCOMPARE(prompter.kinds(), QStringList{QStringLiteral("critical")});
        QVERIFY(prompter.texts().first().contains(QDir::toNativeSeparators(server)));
        QVERIFY(!prompter.texts().first().contains(QStringLiteral("Data saved.")));

        // Once the file is writable again the same save succeeds.
        QVERIFY(QFile::setPermissions(server, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(ModFiles::SaveMod(mod, {ModFile::ServerSettings}).failedFiles.isEmpty());
        QVERIFY(ReadBytes(server).contains("sv.soldierFriendlyFire 1\r\n"));
        QCOMPARE(leftovers(open.path(QStringLiteral("Settings"))), QStringList());

        // A file deleted between load and save is written again whole from what the model holds.
        QVERIFY(QFile::remove(server));
        QVERIFY(ModFiles::SaveMod(mod, {ModFile::ServerSettings}).failedFiles.isEmpty());
        QVERIFY(ReadBytes(server).contains("sv.soldierFriendlyFire 1\r\nsv.vehicleFriendlyFire 50\r\n"));

        prompter.clear();
        ModFiles::ReportSave(ModFiles::SaveMod(mod, {}), prompter);
        QCOMPARE(prompter.boxes.size(), 0);
        ModFiles::ReportSave(ModFiles::SaveMod(mod, {ModFile::ServerSettings}), prompter);
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Data saved.")});
    }

    void loadRemovesOnlyLeftoversOfItsSaves_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("removed");
        // A save killed at the wrong moment leaves the file's name, a dot and six random ASCII letters.
        QTest::newRow("bot names") << QStringLiteral("AI/BotNames.AI.cLeMQk") << true;
        QTest::newRow("server settings") << QStringLiteral("Settings/ServerSettings.CON.xdlAJA") << true;
        QTest::newRow("bot settings") << QStringLiteral("AI/AIDefault.AI.ZZZZZZ") << true;
        QTest::newRow("scoring") << QStringLiteral("python/game/scoringCommon.py.abcdef") << true;
        QTest::newRow("a user's copy") << QStringLiteral("AI/BotNames.AI.bak") << false;
        QTest::newRow("five letters") << QStringLiteral("AI/BotNames.AI.cLeMQ") << false;
        QTest::newRow("seven letters") << QStringLiteral("AI/BotNames.AI.cLeMQkz") << false;
        QTest::newRow("a digit") << QStringLiteral("AI/BotNames.AI.cLe4Qk") << false;
        QTest::newRow("no dot") << QStringLiteral("AI/BotNames.AIxcLeMQk") << false;
        QTest::newRow("other letter case") << QStringLiteral("AI/botnames.ai.cLeMQk") << false;
        QTest::newRow("not a mod file's") << QStringLiteral("AI/Other.AI.cLeMQk") << false;
    }

    void loadRemovesOnlyLeftoversOfItsSaves()
    {
        QFETCH(QString, name);
        QFETCH(bool, removed);
        OpenMod open;
        const QString path = open.path(name);
        WriteBytes(path, "left behind");
        open.reload();
        QCOMPARE(QFileInfo::exists(path), !removed);
        QCOMPARE(open.mod.BotNames(), DemoGame::BotNames);
    }

    void pathsAreFoundWhateverTheirLetterCase()
    {
        OpenMod open(DemoGame::LowerCaseMod);
        ModSettings& mod = open.mod;
        for (ModFile file : ModFiles::AllModFiles)
            QVERIFY2(mod.isPresent(file), qPrintable(mod.filePath(file)));
        QCOMPARE(mod.friendlyFire(FriendlyFire::SoldierFF), QStringLiteral("100"));
        QCOMPARE(mod.MaxBots(), QStringLiteral("32"));
        mod.setFriendlyFire(FriendlyFire::SoldierFF, QStringLiteral("0"));
        mod.addBotName(QStringLiteral("New"));
        QVERIFY(saveAll(mod).failedFiles.isEmpty());
        QVERIFY(ReadBytes(open.path(QStringLiteral("settings/serversettings.con")))
                    .contains("sv.SoldierFRIENDLYfire 0\r\n"));
        QVERIFY(ReadBytes(open.path(QStringLiteral("ai/botnames.ai"))).endsWith("aiSettings.addBotName New\r\n"));
        QVERIFY(!QFileInfo::exists(open.path(QStringLiteral("AI"))));
    }

    void botNamesStayOneLineAndNotify()
    {
        ModSettings mod;
        QSignalSpy spy(&mod, &ModSettings::botNamesChanged);
        mod.addBotName(QStringLiteral("first\r\nsecond"));
        mod.addBotName(QStringLiteral(" "));
        mod.setBotName(1, QStringLiteral("x\ny"));
        QCOMPARE(mod.BotNames(), (QStringList{QStringLiteral("first"), QStringLiteral("x")}));
        // Characters the 8-bit file cannot hold are left out rather than saved as question marks.
        QCOMPARE(ModSettings::storableName(QStringLiteral("Caf\u00e9 \u03a9mega\u2028two")),
                 QStringLiteral("Caf\u00e9 mega"));
        // The file's code page is Windows-1252: the euro sign fits, the C1 control it displaced does not.
        QCOMPARE(ModSettings::storableName(QStringLiteral("\u20ac\u0080\u0152\u0081\u0100")),
                 QStringLiteral("\u20ac\u0152\u0081"));
        mod.removeBotName(0);
        mod.removeBotName(5);
        QCOMPARE(mod.BotNames(), QStringList{QStringLiteral("x")});
        QCOMPARE(spy.count(), 4);
    }

    void botNamesFileGrammar()
    {
        OpenMod open;
        const QString path = open.file(ModFile::BotNames);
        WriteBytes(path, "aiSettings.addBotName Alpha\r\n\r\naiSettings.addBotName Bravo Two\nshort\r\n");
        open.reload();
        QCOMPARE(open.mod.BotNames(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Bravo Two"), QString()}));

        // Windows-1252, whose five unassigned bytes come back as they were.
        const QByteArray names = "aiSettings.addBotName \x80\x8c\xe9\x81\x8d\x8f\x90\x9d\r\n"
                                 "aiSettings.addBotName x\r\n";
        WriteBytes(path, names);
        open.reload();
        QCOMPARE(open.mod.BotNames().first(), QStringLiteral("\u20ac\u0152\u00e9\u0081\u008d\u008f\u0090\u009d"));
        open.mod.setBotName(1, QStringLiteral("\u0153uvre \u2122"));
        QVERIFY(ModFiles::SaveMod(open.mod, {ModFile::BotNames}).failedFiles.isEmpty());
        QCOMPARE(ReadBytes(path), names.chopped(3) + "\x9cuvre \x99\r\n");

        open.mod.setBotNames({});
        QVERIFY(ModFiles::SaveMod(open.mod, {ModFile::BotNames}).failedFiles.isEmpty());
        QCOMPARE(QFileInfo(path).size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestModFiles)
#include "tst_modfiles.moc"
