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

} // namespace

class TestModFiles final : public QObject
{
    Q_OBJECT

private slots:
    // Each value of the table reaches its own file and row, read once by the load; each view is told once for
    // each change, and only the files that hold changed values render differently.
    void valuesReachTheirFiles()
    {
        ModSettings mod;
        QStringList told;
        QObject::connect(&mod, &ModSettings::botSettingsChanged, [&told] { told.append(QStringLiteral("bots")); });
        QObject::connect(&mod, &ModSettings::friendlyFireChanged,
                         [&told](FriendlyFire which) { told.append(QString::number(static_cast<int>(which))); });
        QObject::connect(&mod, &ModSettings::scoreChanged,
                         [&told](int row) { told.append(QStringLiteral("score ") + QString::number(row)); });
        const QList<ModFile> files{ModFile::ServerSettings, ModFile::AIDefault, ModFile::Scoring};
        const QByteArray bytes[] = {DemoGame::serverSettings(), DemoGame::aiDefault(), DemoGame::scoringScript()};
        for (int i = 0; i < 3; ++i)
            mod.loadFile(files[i], bytes[i]);
        QCOMPARE(told, texts({"0", "1", "2", "3", "bots"}));
        QList<qint64> expected(std::begin(DemoGame::FriendlyFire), std::end(DemoGame::FriendlyFire));
        expected << DemoGame::BotSkill << DemoGame::MaxBots;
        for (int score : DemoGame::scoreValues())
            expected << score;
        QList<qint64> values;
        for (const ValueDescriptor& value : ModFiles::modValues())
            values << mod.value(value).value_or(-999);
        QCOMPARE(values, expected);

        told.clear();
        mod.setValue(ModFiles::friendlyFireValue(FriendlyFire::VehicleFF), 7);
        mod.setValue(ModFiles::maxBotsValue(), 9);
        mod.setValue(ModFiles::scoreValue(2), 3);
        QCOMPARE(told, texts({"1", "bots", "score 2"}));
        QCOMPARE(mod.renderFile(ModFile::ServerSettings),
                 QByteArray(bytes[0]).replace("FriendlyFire 50\r", "FriendlyFire 7\r"));
        QVERIFY(mod.renderFile(ModFile::AIDefault).contains("setMaxNBots 9\r\n"));
        // A file loaded again tells only what it changed.
        told.clear();
        mod.loadFile(ModFile::AIDefault, bytes[1]);
        mod.loadFile(ModFile::ServerSettings, mod.renderFile(ModFile::ServerSettings));
        QCOMPARE(told, texts({"bots"}));
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
        open.mod.setValue(ModFiles::friendlyFireValue(FriendlyFire::SoldierFF), 1);
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
