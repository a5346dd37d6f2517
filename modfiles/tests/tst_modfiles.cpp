#include "modfiles/ModFiles.h"
#include "modfiles/ModSettings.h"
#include "tests/support/TestSupport.h"
#include "tools/demogame/DemoGame.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace TestSupport;

namespace {

struct OpenMod
{
    DemoGameFolder game;
    ModSettings mod;
    LoadReport report;
    explicit OpenMod(const QString& name = DemoGame::CompleteMod) { report = ModFiles::LoadMod(mod, game.mod(name)); }
    QString file(ModFile which) const { return mod.filePath(which); }
    void reload()
    {
        mod.setSaveFlags(ModFileSet::all());
        report = ModFiles::LoadMod(mod, mod.modFolder());
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
    // A value is the whole token after its key's first occurrence from the search start; unchanged, the file
    // keeps the token's bytes, and a change replaces the whole token with the new number.
    void values_data()
    {
        QTest::addColumn<int>("setting");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("read");
        QTest::addColumn<bool>("atStart"); // the line stands before the search start
        const auto row = [](const char* name, int setting, const char* line, const char* read, bool atStart = false) {
            QTest::newRow(name) << setting << QByteArray(line) << QString::fromLatin1(read) << atStart;
        };
        row("whole token", SoldierFF, "sv.soldierFriendlyFire 1000", "1000");
        row("fraction", SoldierFF, "sv.soldierFriendlyFire 7.5", "7");
        row("zeros", SoldierFF, "sv.soldierFriendlyFire 00", "0");
        row("first of two", SplashFF, "sv.vehicleSplashFriendlyFire 10\r\nsv.vehicleSplashFriendlyFire 100", "10");
        row("not a number", SplashFF, "sv.vehicleSplashFriendlyFire none", "");
        row("before the start", SplashFF, "sv.vehicleSplashFriendlyFire 33", "", true);
        row("max bots", MaxBots, "aiSettings.setMaxNBots 32.0", "32");
        row("max bots before the start", MaxBots, "aiSettings.setMaxNBots 8", "", true);
        // The bot skill is a fraction in the file and a percentage on the slider.
        row("skill 1", BotSkill, "aiSettings.setBotSkill 1", "100");
        row("skill .9", BotSkill, "aiSettings.setBotSkill .9", "90");
        row("skill 0.50", BotSkill, "aiSettings.setBotSkill 0.50", "50");
        row("skill without digits", BotSkill, "aiSettings.setBotSkill high", "");
    }
    void values()
    {
        QFETCH(int, setting);
        QFETCH(QByteArray, line);
        QFETCH(QString, read);
        QFETCH(bool, atStart);
        const ModFile file = setting >= MaxBots ? ModFile::AIDefault : ModFile::ServerSettings;
        const QByteArray filler = "rem " + QByteArray(500, '*') + "\r\n";
        const QByteArray text = atStart ? line + "\r\n" + filler : filler + line + "\r\n";
        ModSettings mod;
        int changes = 0; // the windows follow these signals, once for each value that changed
        QObject::connect(&mod, &ModSettings::botSettingsChanged, [&changes] { ++changes; });
        QObject::connect(&mod, &ModSettings::friendlyFireChanged, [&changes] { ++changes; });
        mod.loadFile(file, text);
        QCOMPARE(valueOf(mod, setting), read);
        QCOMPARE(mod.renderFile(file), text);
        QCOMPARE(changes, read.isEmpty() ? 0 : 1);
        if (read.isEmpty())
            return; // its control is disabled
        setValue(mod, setting, QStringLiteral("4"));
        setValue(mod, setting, QStringLiteral("4"));
        QCOMPARE(changes, 2);
        const QByteArray first = line.split('\r').first();
        const QByteArray written = first.left(first.indexOf(' ') + 1) + (setting == BotSkill ? "0.04" : "4");
        QCOMPARE(mod.renderFile(file), QByteArray(text).replace(first + "\r\n", written + "\r\n"));
    }

    void scoringScriptNeverLosesALine()
    {
        QByteArray bytes = DemoGame::scoringScript();
        const ScoringFile demo = ScoringFile::load(bytes);
        QCOMPARE(demo.ScoreValues(), DemoGame::scoreValues());
        // Constant 20 missing, a spaced line with a comment, a fraction without '=' and a value beyond 16 bits.
        bytes.replace("SCORE_TEAMDAMAGE = ", "#SCORE_TEAMDAMAGE = ")
            .replace("SCORE_TEAMKILL = -4", "SCORE_TEAMKILL   =   -4   # harsh")
            .replace("SCORE_SUICIDE = -2", "SCORE_SUICIDE  -2.5")
            .replace("SCORE_REVIVE = ", "SCORE_REVIVE = 99999 #");
        ModSettings mod;
        mod.loadFile(ModFile::Scoring, bytes);
        QCOMPARE(mod.ScoreLines().size(), 20);
        QCOMPARE(mod.ScoreValues().mid(1, 3), (QList<int>{-4, -2, 99999}));
        QCOMPARE(mod.renderFile(ModFile::Scoring), bytes);
        mod.setScoreValue(1, -5);
        mod.setScoreValue(19, 200);
        QCOMPARE(mod.ScoreLines().at(1), QStringLiteral("SCORE_TEAMKILL = -5"));
        QCOMPARE(mod.renderFile(ModFile::Scoring),
                 bytes.replace("SCORE_TEAMKILL   =   -4   # harsh", "SCORE_TEAMKILL = -5")
                     .replace("\r\nSCORE_DESTROYMISSILE = 19\r\n", "\r\nSCORE_DESTROYMISSILE = 200\r\n"));
        // Without the marker nothing is a score row.
        const ScoringFile unmarked = ScoringFile::load("import host\r\nSCORE_KILL = 2\r\n");
        QCOMPARE(unmarked.ScoreLines().size(), 0);
    }

    void botNames()
    {
        // Empty lines are no names; a line too short for the prefix is an empty name. Bytes beyond ASCII are
        // Windows-1252.
        ModSettings mod;
        mod.loadFile(ModFile::BotNames, "aiSettings.addBotName Alpha\r\n\r\naiSettings.addBotName Caf\xe9\nshort\r\n");
        QCOMPARE(mod.BotNames(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Caf\u00e9"), QString()}));
        // Names stay one line, and characters the file cannot hold are left out rather than saved as '?'.
        QSignalSpy spy(&mod, &ModSettings::botNamesChanged);
        mod.addBotName(QStringLiteral("first\r\nsecond"));
        mod.setBotName(2, QStringLiteral("\u20ac \u03a9mega\u2028two"));
        for (int outside : {-1, 4}) {
            mod.setBotName(outside, QStringLiteral("nobody"));
            mod.removeBotName(outside);
        }
        mod.removeBotName(3);
        QCOMPARE(spy.count(), 3);
        QCOMPARE(mod.renderFile(ModFile::BotNames), QByteArray("aiSettings.addBotName Alpha\r\n"
                                                               "aiSettings.addBotName Caf\xe9\r\n"
                                                               "aiSettings.addBotName \x80 mega\r\n"));
        mod.setBotNames({});
        QCOMPARE(mod.renderFile(ModFile::BotNames), QByteArray());
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
        const QMap<QString, QByteArray> before = folderContents(open.mod.modFolder());
        const QString server = open.file(ModFile::ServerSettings);
        if (lineFeeds)
            writeBytes(server, readBytes(server).replace("\r\n", "\n"));
        for (int round = 0; round < 2; ++round) {
            open.reload();
            QCOMPARE(open.save().savedFiles.size(), 4);
            QCOMPARE(folderContents(open.mod.modFolder()), before);
        }
    }

    // A missing or unreadable file disables its section, which no save writes or makes.
    void missingAndUnreadableFiles()
    {
        OpenMod names(DemoGame::NamesOnlyMod);
        for (ModFile file : ModFiles::AllModFiles)
            QCOMPARE(names.mod.isPresent(file) && names.mod.saveFlag(file), file == ModFile::BotNames);
        QCOMPARE(names.save().savedFiles, QStringList{QDir::toNativeSeparators(names.file(ModFile::BotNames))});
        QCOMPARE(folderContents(names.mod.modFolder()).keys(), texts({"AI", "AI/BotNames.AI"}));
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
        ModFiles::reportLoad(open.report, prompter);
        QCOMPARE(prompter.kinds(), QStringList{QStringLiteral("critical")});
        QVERIFY(prompter.texts().first().contains(QDir::toNativeSeparators(ai)));
        QCOMPARE(open.save().savedFiles.size(), 3);
        QVERIFY(QFileInfo(ai).isSymLink());
#endif
    }

    void failedSavesAreReportedAndTheOthersWritten()
    {
        OpenMod open;
        const QString server = open.file(ModFile::ServerSettings);
        QVERIFY(QFile::setPermissions(server, QFileDevice::ReadOwner));
        open.mod.setFriendlyFire(FriendlyFire::SoldierFF, QStringLiteral("1"));
        const SaveReport report = open.save();
        QCOMPARE(report.failedFiles.size(), 1);
        QCOMPARE(report.savedFiles.size(), 3);
        RecordingPrompter prompter;
        ModFiles::reportSave(report, prompter);
        QCOMPARE(prompter.kinds(), QStringList{QStringLiteral("critical")});
        const QString text = prompter.texts().first();
        QVERIFY(text.startsWith(QStringLiteral("Unable to save these files")));
        QVERIFY(text.contains(QDir::toNativeSeparators(server) + QStringLiteral(": ")));
        QVERIFY(text.contains(QStringLiteral("\r\n\r\nSaved:\r\n")));
        // Once the file is writable again the same save writes the value; a file deleted since the load is
        // written whole from what the model holds.
        QVERIFY(QFile::setPermissions(server, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(open.save({ModFile::ServerSettings}).failedFiles, QStringList());
        QVERIFY(readBytes(server).contains("sv.soldierFriendlyFire 1\r\n"));
        QVERIFY(QFile::remove(server));
        prompter.clear();
        ModFiles::reportSave(open.save({ModFile::ServerSettings}), prompter);
        QVERIFY(readBytes(server).contains("sv.soldierFriendlyFire 1\r\nsv.vehicleFriendlyFire 50\r\n"));
        ModFiles::reportSave(open.save({}), prompter);
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Data saved.")});
    }

    void loadRemovesOnlyLeftoversOfItsSaves()
    {
        OpenMod open;
        // A save killed at the wrong moment leaves the file's name, the program's mark and six random letters or
        // digits. Everything else is the user's, a backup in the shape of the old temporary names included.
        const QStringList leftovers =
            texts({"AI/BotNames.AI.gx3190-save-cLeMQk", "python/game/scoringCommon.py.gx3190-save-azAZ09",
                   "AI/botnames.ai.gx3190-save-cLeMQk"});
        const QStringList others = texts({"Settings/ServerSettings.CON.backup", "AI/BotNames.AI.before",
                                          "AI/AIDefault.AI.orig", "AI/BotNames.AI.bak", "AI/BotNames.AI.cLeMQk",
                                          "AI/BotNames.AI.gx3190-save-cLeMQ", "AI/BotNames.AI.gx3190-save-cLeMQkz",
                                          "AI/BotNames.AI.gx3190-save-cLe_Qk", "AI/Other.AI.gx3190-save-cLeMQk"});
        const QMap<QString, QByteArray> before = folderContents(open.mod.modFolder());
        for (const QString& name : leftovers + others)
            writeBytes(open.mod.modFolder() + QLatin1Char('/') + name, "left behind");
        open.reload();
        QMap<QString, QByteArray> expected = before;
        for (const QString& name : others)
            expected.insert(name, "left behind");
        QCOMPARE(folderContents(open.mod.modFolder()), expected);
    }
};

QTEST_GUILESS_MAIN(TestModFiles)
#include "tst_modfiles.moc"
