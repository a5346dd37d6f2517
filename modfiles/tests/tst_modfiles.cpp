#include "modfiles/ModFiles.h"
#include "modfiles/ModSettings.h"
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
    SaveReport save(ModFileSet files = ModFileSet::all()) { return ModFiles::SaveMod(mod, files); }
};

// The values of the values table: the four friendly-fire values, then these two.
enum
{
    MaxBots = 4,
    BotSkill
};
constexpr int SoldierFF = int(FriendlyFire::SoldierFF);
constexpr int SplashFF = int(FriendlyFire::VehicleSplashFF);

QString valueOf(const ModSettings& mod, int which)
{
    return which == MaxBots    ? mod.MaxBots()
           : which == BotSkill ? mod.BotSkill()
                               : mod.friendlyFire(FriendlyFire(which));
}

void setValue(ModSettings& mod, int which, const QString& value)
{
    if (which == MaxBots)
        mod.setMaxBots(value);
    else if (which == BotSkill)
        mod.setBotSkill(value);
    else
        mod.setFriendlyFire(FriendlyFire(which), value);
}

} // namespace

class TestModFiles final : public QObject
{
    Q_OBJECT

private slots:
    void loadsTheCompleteDemoMod()
    {
        OpenMod open;
        const ModSettings& mod = open.mod;
        QVERIFY(open.report.unreadableFiles.isEmpty());
        for (ModFile file : ModFiles::AllModFiles)
            QVERIFY(mod.isPresent(file) && mod.saveFlag(file));
        QCOMPARE(mod.BotNames(), DemoGame::BotNames);
        QCOMPARE(mod.MaxBots(), QString::number(DemoGame::MaxBots));
        QCOMPARE(mod.BotSkill(), QString::number(DemoGame::BotSkill));
        for (FriendlyFire which : ModFiles::AllFriendlyFire)
            QCOMPARE(mod.friendlyFire(which), QString::number(DemoGame::FriendlyFire[static_cast<int>(which)]));
        QCOMPARE(mod.ScoreValues(), DemoGame::ScoreValues());
        QCOMPARE(mod.ScoreLines().at(1), QStringLiteral("SCORE_TEAMKILL = -4"));
        const ScoringFile scoring = ScoringFile::load(ReadBytes(open.file(ModFile::Scoring)));
        QVERIFY(scoring.ScoringHead().endsWith("from gx2 import Timer\r\n\r\n# Kills and support\r\n"));
        QVERIFY(scoring.ScoringTail().startsWith("\r\n\r\ng_lastReplenish0"));
    }

    // Saved unchanged, twice, every file keeps every byte and nothing is added beside them: lone line feeds
    // become CR LF once, and files found in another letter case are written where they are.
    void unchangedSavesKeepEveryByte_data()
    {
        QTest::addColumn<QString>("modName");
        QTest::addColumn<bool>("lineFeeds");
        QTest::newRow("complete") << DemoGame::CompleteMod << false;
        QTest::newRow("lone line feeds") << DemoGame::CompleteMod << true;
        QTest::newRow("other letter case") << DemoGame::LowerCaseMod << false;
    }
    void unchangedSavesKeepEveryByte()
    {
        QFETCH(QString, modName);
        QFETCH(bool, lineFeeds);
        OpenMod open(modName);
        const QMap<QString, QByteArray> before = FolderContents(open.mod.ModFolder);
        if (lineFeeds) {
            WriteBytes(open.file(ModFile::ServerSettings),
                       ReadBytes(open.file(ModFile::ServerSettings)).replace("\r\n", "\n"));
            open.reload();
        }
        for (ModFile file : ModFiles::AllModFiles)
            QVERIFY2(open.mod.isPresent(file), qPrintable(open.file(file)));
        for (int round = 0; round < 2; ++round) {
            const SaveReport report = open.save();
            QCOMPARE(report.failedFiles, QStringList());
            QCOMPARE(report.savedFiles.size(), 4);
            QCOMPARE(FolderContents(open.mod.ModFolder), before);
            open.reload();
        }
    }

    // A value is the whole token after its key's first occurrence from the search start; unchanged, the file
    // keeps the token's bytes, and a change replaces the whole token with the new number.
    void values_data()
    {
        QTest::addColumn<int>("setting");
        QTest::addColumn<QByteArray>("edited"); // in place of the line the demo mod holds the value on
        QTest::addColumn<QString>("read");
        QTest::addColumn<bool>("atStart"); // the line moved to the file's start, before the search start
        const auto row = [](const char* name, int setting, const char* edited, const char* read, bool atStart = false) {
            QTest::newRow(name) << setting << QByteArray(edited) << QString::fromLatin1(read) << atStart;
        };
        row("whole token", SoldierFF, "sv.soldierFriendlyFire 1000", "1000");
        row("zero fraction", SoldierFF, "sv.soldierFriendlyFire 50.0", "50");
        row("fraction", SoldierFF, "sv.soldierFriendlyFire 7.5", "7");
        row("zeros", SoldierFF, "sv.soldierFriendlyFire 00", "0");
        row("first of two", SplashFF, "sv.vehicleSplashFriendlyFire 10\r\nsv.vehicleSplashFriendlyFire 100", "10");
        row("not a number", SplashFF, "sv.vehicleSplashFriendlyFire none", "");
        row("before the start", SplashFF, "sv.vehicleSplashFriendlyFire 33", "", true);
        row("max bots", MaxBots, "aiSettings.setMaxNBots 32.0", "32");
        row("max bots before the start", MaxBots, "aiSettings.setMaxNBots 8", "", true);
        // The bot skill is a fraction in the file and a percentage on the slider.
        row("skill 0.5", BotSkill, "aiSettings.setBotSkill 0.5", "50");
        row("skill 1", BotSkill, "aiSettings.setBotSkill 1", "100");
        row("skill .9", BotSkill, "aiSettings.setBotSkill .9", "90");
        row("skill 0.50", BotSkill, "aiSettings.setBotSkill 0.50", "50");
        row("skill without digits", BotSkill, "aiSettings.setBotSkill high", "");
    }
    void values()
    {
        QFETCH(int, setting);
        QFETCH(QByteArray, edited);
        QFETCH(QString, read);
        QFETCH(bool, atStart);
        OpenMod open;
        const QString path = open.file(setting >= MaxBots ? ModFile::AIDefault : ModFile::ServerSettings);
        QByteArray bytes = ReadBytes(path);
        const QByteArray key = edited.left(edited.indexOf(' ') + 1);
        const qsizetype at = bytes.indexOf(key);
        QVERIFY(at > 0);
        bytes.remove(at, bytes.indexOf("\r\n", at) + 2 - at);
        bytes.insert(atStart ? 0 : at, edited + "\r\n");
        WriteBytes(path, bytes);
        open.reload();
        QCOMPARE(valueOf(open.mod, setting), read);
        QCOMPARE(open.save().failedFiles, QStringList());
        QCOMPARE(ReadBytes(path), bytes);
        if (read.isEmpty())
            return; // its control is disabled
        setValue(open.mod, setting, QStringLiteral("4"));
        QCOMPARE(open.save().failedFiles, QStringList());
        const QByteArray line = edited.split('\r').first() + "\r\n";
        QCOMPARE(ReadBytes(path), bytes.replace(line, key + (setting == BotSkill ? "0.04" : "4") + "\r\n"));
    }

    void scoringScriptNeverLosesALine()
    {
        OpenMod open;
        const QString path = open.file(ModFile::Scoring);
        QByteArray bytes = ReadBytes(path);
        // Constant 20 missing, a spaced line with a comment, a fraction without '=' and a value beyond 16 bits.
        bytes.replace("SCORE_TEAMDAMAGE = ", "#SCORE_TEAMDAMAGE = ")
            .replace("SCORE_TEAMKILL = -4", "SCORE_TEAMKILL   =   -4   # harsh")
            .replace("SCORE_SUICIDE = -2", "SCORE_SUICIDE  -2.5")
            .replace("SCORE_REVIVE = ", "SCORE_REVIVE = 99999 #");
        WriteBytes(path, bytes);
        open.reload();
        ModSettings& mod = open.mod;
        QCOMPARE(mod.ScoreLines().size(), 20);
        QCOMPARE(mod.ScoreValues().mid(1, 3), (QList<int>{-4, -2, 99999}));
        QCOMPARE(open.save({ModFile::Scoring}).failedFiles, QStringList());
        QCOMPARE(ReadBytes(path), bytes);

        mod.setScoreValue(1, -5);
        mod.setScoreValue(19, 200);
        QCOMPARE(mod.ScoreLines().at(1), QStringLiteral("SCORE_TEAMKILL = -5"));
        QCOMPARE(open.save({ModFile::Scoring}).failedFiles, QStringList());
        QCOMPARE(ReadBytes(path),
                 bytes.replace("SCORE_TEAMKILL   =   -4   # harsh", "SCORE_TEAMKILL = -5")
                     .replace("\r\nSCORE_DESTROYMISSILE = 19\r\n", "\r\nSCORE_DESTROYMISSILE = 200\r\n"));

        // Without the marker everything is head and nothing is a score row.
        WriteBytes(path, QByteArray("import host\r\nSCORE_KILL = 2\r\n"));
        open.reload();
        QCOMPARE(mod.ScoreLines().size(), 0);
        QCOMPARE(ScoringFile::load(ReadBytes(path)).ScoringHead(), QByteArray("import host\r\nSCORE_KILL = 2\r\n"));
    }

    void botNames()
    {
        OpenMod open;
        const QString path = open.file(ModFile::BotNames);
        // Empty lines are no names; a line too short for the prefix is an empty name. Bytes beyond ASCII are
        // Windows-1252.
        WriteBytes(path, "aiSettings.addBotName Alpha\r\n\r\naiSettings.addBotName Caf\xe9\nshort\r\n");
        open.reload();
        ModSettings& mod = open.mod;
        QCOMPARE(mod.BotNames(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Caf\u00e9"), QString()}));

        // Names stay one line, and characters the file cannot hold are left out rather than saved as '?'.
        QSignalSpy spy(&mod, &ModSettings::botNamesChanged);
        mod.addBotName(QStringLiteral("first\r\nsecond"));
        mod.setBotName(2, QStringLiteral("\u20ac \u03a9mega\u2028two"));
        for (int outside : {-1, 5}) {
            mod.setBotName(outside, QStringLiteral("nobody"));
            mod.removeBotName(outside);
        }
        mod.removeBotName(0);
        QCOMPARE(spy.count(), 3);
        QCOMPARE(mod.BotNames(),
                 (QStringList{QStringLiteral("Caf\u00e9"), QStringLiteral("\u20ac mega"), QStringLiteral("first")}));
        QCOMPARE(open.save({ModFile::BotNames}).failedFiles, QStringList());
        QCOMPARE(ReadBytes(path), QByteArray("aiSettings.addBotName Caf\xe9\r\naiSettings.addBotName \x80 mega\r\n"
                                             "aiSettings.addBotName first\r\n"));
        mod.setBotNames({});
        QCOMPARE(open.save({ModFile::BotNames}).failedFiles, QStringList());
        QCOMPARE(QFileInfo(path).size(), 0);
    }

    // A missing or unreadable file disables its section, which no save writes or makes.
    void missingAndUnreadableFiles()
    {
        OpenMod names(DemoGame::NamesOnlyMod);
        for (ModFile file : ModFiles::AllModFiles) {
            const bool usable = file == ModFile::BotNames;
            QVERIFY(names.mod.isPresent(file) == usable && names.mod.saveFlag(file) == usable);
        }
        QCOMPARE(names.save().savedFiles, QStringList{QDir::toNativeSeparators(names.file(ModFile::BotNames))});
        QCOMPARE(FolderContents(names.mod.ModFolder).keys(),
                 (QStringList{QStringLiteral("AI"), QStringLiteral("AI/BotNames.AI")}));

#ifdef Q_OS_LINUX
        // A file that exists but cannot be read, even by root.
        OpenMod open;
        const QString ai = open.file(ModFile::AIDefault);
        QFile::remove(ai);
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), ai));
        open.reload();
        QVERIFY(!open.mod.isPresent(ModFile::AIDefault) && !open.mod.saveFlag(ModFile::AIDefault));
        QCOMPARE(open.report.unreadableFiles, QStringList{QDir::toNativeSeparators(ai)});
        RecordingPrompter prompter;
        ModFiles::ReportLoad(open.report, prompter);
        QCOMPARE(prompter.kinds(), QStringList{QStringLiteral("critical")});
        QVERIFY(prompter.texts().first().contains(QDir::toNativeSeparators(ai)));
        QCOMPARE(open.save().savedFiles.size(), 3);
        QVERIFY(QFileInfo(ai).isSymLink());
#endif
    }

    void failedSavesAreReportedAndTheOthersWritten()
    {
        OpenMod open;
        ModSettings& mod = open.mod;
        const QString server = open.file(ModFile::ServerSettings);
        QVERIFY(QFile::setPermissions(server, QFileDevice::ReadOwner));
        mod.setFriendlyFire(FriendlyFire::SoldierFF, QStringLiteral("1"));
        const SaveReport report = open.save();
        QCOMPARE(report.failedFiles.size(), 1);
        QCOMPARE(report.savedFiles.size(), 3);
        RecordingPrompter prompter;
        ModFiles::ReportSave(report, prompter);
        QCOMPARE(prompter.kinds(), QStringList{QStringLiteral("critical")});
        QVERIFY(prompter.texts().first().startsWith(QStringLiteral("Unable to save these files")));
        QVERIFY(prompter.texts().first().contains(QDir::toNativeSeparators(server) + QStringLiteral(": ")));
        QVERIFY(prompter.texts().first().contains(QStringLiteral("\r\n\r\nSaved:\r\n")));

        // Once the file is writable again the same save writes the value; a file deleted since the load is
        // written whole from what the model holds.
        QVERIFY(QFile::setPermissions(server, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(open.save({ModFile::ServerSettings}).failedFiles, QStringList());
        QVERIFY(ReadBytes(server).contains("sv.soldierFriendlyFire 1\r\n"));
        QVERIFY(QFile::remove(server));
        prompter.clear();
        ModFiles::ReportSave(open.save({ModFile::ServerSettings}), prompter);
        QVERIFY(ReadBytes(server).contains("sv.soldierFriendlyFire 1\r\nsv.vehicleFriendlyFire 50\r\n"));
        ModFiles::ReportSave(open.save({}), prompter);
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Data saved.")});
    }

    void loadRemovesOnlyLeftoversOfItsSaves_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("removed");
        // A save killed at the wrong moment leaves the file's name, a dot and six random ASCII letters.
        QTest::newRow("bot names") << QStringLiteral("AI/BotNames.AI.cLeMQk") << true;
        QTest::newRow("scoring") << QStringLiteral("python/game/scoringCommon.py.azAZyk") << true;
        QTest::newRow("a user's copy") << QStringLiteral("AI/BotNames.AI.bak") << false;
        QTest::newRow("five letters") << QStringLiteral("AI/BotNames.AI.cLeMQ") << false;
        QTest::newRow("seven letters") << QStringLiteral("AI/BotNames.AI.cLeMQkz") << false;
        QTest::newRow("a digit") << QStringLiteral("AI/BotNames.AI.cLe4Qk") << false;
        QTest::newRow("other letter case") << QStringLiteral("AI/botnames.ai.cLeMQk") << false;
        QTest::newRow("not a mod file's") << QStringLiteral("AI/Other.AI.cLeMQk") << false;
    }
    void loadRemovesOnlyLeftoversOfItsSaves()
    {
        QFETCH(QString, name);
        QFETCH(bool, removed);
        OpenMod open;
        WriteBytes(open.path(name), "left behind");
        open.reload();
        QCOMPARE(QFileInfo::exists(open.path(name)), !removed);
        QCOMPARE(open.mod.BotNames(), DemoGame::BotNames);
    }
};

QTEST_GUILESS_MAIN(TestModFiles)
#include "tst_modfiles.moc"
