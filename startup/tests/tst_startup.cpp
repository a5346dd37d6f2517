#include "startup/StartUp.h"

#include "core/FileSystem.h"
#include "modfiles/ModSettings.h"
#include "tests/support/TestSupport.h"
#include "tools/demogame/DemoGame.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

// One start-up run against a settings file and program-files folders of the test's own.
struct Fixture
{
    QTemporaryDir root;
    QString settingsPath;
    ModSettings mod;
    RecordingPrompter prompter;
    QStringList log; // boxes and the window showing, in order

    Fixture()
    {
        settingsPath = root.path() + QStringLiteral("/settings.ini");
        prompter.onBox = [this](const RecordingPrompter::Box& box) {
            log.append(box.kind);
            // A loop that never ends would otherwise hang the run until the test timeout.
            if (prompter.boxes.size() > 40)
                qFatal("the start-up loop does not end: %s", qPrintable(log.join(QLatin1Char(' '))));
        };
    }

    QString folder(const QString& relative) const
    {
        const QString path = root.path() + QLatin1Char('/') + relative;
        QDir().mkpath(path);
        return FileSystem::withTrailingSlash(path);
    }

    // A demo game installed at relative; returns its folder with '/'.
    QString game(const QString& relative) const
    {
        const QString path = folder(relative);
        const QString error = DemoGame::Create(path);
        if (!error.isEmpty())
            qWarning() << error;
        return path;
    }

    QVariant stored(const char* key) const
    {
        return QSettings(settingsPath, QSettings::IniFormat).value(QLatin1String(key));
    }
    void store(const char* key, const QString& value) const
    {
        QSettings settings(settingsPath, QSettings::IniFormat);
        settings.setValue(QLatin1String(key), value);
    }

    StartUp::Outcome run(const QStringList& programFiles)
    {
        QSettings settings(settingsPath, QSettings::IniFormat);
        return StartUp::Run(mod, settings, prompter, programFiles, [this] { log.append(QStringLiteral("select")); });
    }
};

const QStringList DemoMods{DemoGame::NamesOnlyMod, DemoGame::CompleteMod, DemoGame::LowerCaseMod};

} // namespace

class TestStartUp final : public QObject
{
    Q_OBJECT

private slots:
    void storedFolderIsUsed()
    {
        Fixture f;
        const QString game = f.game(QStringLiteral("elsewhere/Gravix"));
        f.store(StartUp::GamePathKey, game);
        f.mod.setSaveFlags({ModFile::AIDefault, ModFile::ServerSettings});
        const StartUp::Outcome outcome = f.run({f.folder(QStringLiteral("pf"))});
        QVERIFY(!outcome.exit);
        QCOMPARE(outcome.mods, DemoMods);
        QCOMPARE(f.log, QStringList{QStringLiteral("select")});
        QCOMPARE(f.mod.GamePath, game);
        QCOMPARE(f.mod.ModsPath, game + QStringLiteral("mods/"));
        QVERIFY(!f.mod.PromptForGameFolder);
        QVERIFY(f.mod.saveFlags() == ModFileSet::all());
        // Detection did not run.
        QVERIFY(!f.stored(StartUp::ProgramFilesKey).isValid());
    }

    void detectionFindsTheDefaultInstall()
    {
        Fixture f;
        const QString programFiles = f.folder(QStringLiteral("drive_c/Program Files"));
        const QString programFilesX86 = f.folder(QStringLiteral("drive_c/Program Files (x86)"));
        // Installed in the second folder, in other letter case than the default place is spelt.
        const QString game = f.game(QStringLiteral("drive_c/Program Files (x86)/kelvane/GRAVIX 3190"));
        const StartUp::Outcome outcome = f.run({programFiles, programFilesX86});
        QVERIFY(!outcome.exit);
        QCOMPARE(outcome.mods, DemoMods);
        QCOMPARE(f.prompter.boxes.size(), 0);
        QCOMPARE(f.stored(StartUp::ProgramFilesKey).toString(), programFiles);
        QCOMPARE(f.stored(StartUp::GamePathKey).toString(), game);
        QCOMPARE(f.mod.GamePath, game);
        QCOMPARE(f.mod.ProgramFilesPath, programFiles);
        QVERIFY(!f.mod.PromptForGameFolder);
        QCOMPARE(f.mod.ModsPath, game + QStringLiteral("mods/"));
    }

    void pickedFolderIsNotStored()
    {
        Fixture f;
        const QString programFiles = f.folder(QStringLiteral("pf"));
        const QString game = f.game(QStringLiteral("games/Gravix 3190"));
        QString picked = game;
        picked.chop(1); // the dialog gives folders without a trailing separator
        f.prompter.folderAnswers = {picked};
        const StartUp::Outcome outcome = f.run({programFiles});
        QVERIFY(!outcome.exit);
        QCOMPARE(outcome.mods, DemoMods);
        QCOMPARE(f.prompter.kinds(), QStringList{QStringLiteral("folder")});
        QCOMPARE(f.prompter.texts().constFirst(),
                 QStringLiteral("Locate Gravix 3190 folder\r\nExample: C:\\Program Files\\Kelvane\\Gravix 3190\\"));
        QCOMPARE(f.mod.ModsPath, game + QStringLiteral("mods/"));
        QVERIFY(f.mod.PromptForGameFolder);
        QCOMPARE(f.stored(StartUp::ProgramFilesKey).toString(), programFiles);
        QVERIFY(!f.stored(StartUp::GamePathKey).isValid());
    }

    void cancelAnswers_data()
    {
        QTest::addColumn<bool>("exitAnswer");
        QTest::newRow("yes ends") << true;
        QTest::newRow("no asks again") << false;
    }

    void cancelAnswers()
    {
        QFETCH(bool, exitAnswer);
        Fixture f;
        f.prompter.questionAnswers = {exitAnswer};
        // While the question is up the game gets installed in its default place: only a loop that reads the
        // empty store and detects again finds it without the dialog.
        const QString programFiles = f.folder(QStringLiteral("pf"));
        const QString game = programFiles + QLatin1String(StartUp::DefaultInstallFolder);
        const auto recordBox = f.prompter.onBox;
        f.prompter.onBox = [&](const RecordingPrompter::Box& box) {
            recordBox(box);
            if (box.kind == QLatin1String("question"))
                QCOMPARE(DemoGame::Create(game), QString());
        };
        const StartUp::Outcome outcome = f.run({programFiles});
        QCOMPARE(f.prompter.boxes.constFirst().kind, QStringLiteral("folder"));
        QCOMPARE(f.prompter.boxes.at(1).text, QStringLiteral("Do you want to exit?"));
        if (exitAnswer) {
            QVERIFY(outcome.exit);
            QCOMPARE(f.log, QStringList({QStringLiteral("folder"), QStringLiteral("question")}));
        } else {
            QVERIFY(!outcome.exit);
            QCOMPARE(f.log,
                     QStringList({QStringLiteral("folder"), QStringLiteral("question"), QStringLiteral("select")}));
            QCOMPARE(outcome.mods, DemoMods);
            QCOMPARE(f.stored(StartUp::GamePathKey).toString(), game);
        }
    }

    // A folder that fails (no mods folder in it, or gone), picked in the dialog or found in the store: the error,
    // then the dialog, until a good one is picked.
    void badFolders_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<bool>("folderExists");
        QTest::newRow("picked folder without mods") << false << true;
        QTest::newRow("picked folder gone") << false << false;
        QTest::newRow("stored folder without mods") << true << true;
        QTest::newRow("stored folder gone") << true << false;
    }

    void badFolders()
    {
        QFETCH(bool, stored);
        QFETCH(bool, folderExists);
        Fixture f;
        const QString game = f.game(QStringLiteral("games/Gravix 3190"));
        const QString bad =
            folderExists ? f.folder(QStringLiteral("old/Gravix 3190")) : f.root.path() + QStringLiteral("/old/gone/");
        if (stored)
            f.store(StartUp::GamePathKey, bad);
        else
            f.prompter.folderAnswers = {bad};
        f.prompter.folderAnswers.push_back(game);
        const StartUp::Outcome outcome = f.run({f.folder(QStringLiteral("pf"))});
        QVERIFY(!outcome.exit);
        QCOMPARE(outcome.mods, DemoMods);
        QCOMPARE(f.mod.ModsPath, game + QStringLiteral("mods/"));
        // An existing folder brings up the selection window before its mods folder is looked at.
        QStringList expected;
        if (!stored)
            expected << QStringLiteral("folder");
        if (folderExists)
            expected << QStringLiteral("select");
        expected << QStringLiteral("critical") << QStringLiteral("folder") << QStringLiteral("select");
        QCOMPARE(f.log, expected);
        QCOMPARE(f.prompter.texts().at(stored ? 0 : 1), QStringLiteral("An error has occured!"));
        // The store keeps what it had; only detection ever writes the game folder.
        QCOMPARE(f.stored(StartUp::GamePathKey).toString(), stored ? bad : QString());
        QCOMPARE(f.stored(StartUp::ProgramFilesKey).isValid(), !stored); // a stored folder skips detection
    }

    void staleStoreCancelledThenExit()
    {
        Fixture f;
        f.store(StartUp::GamePathKey, f.root.path() + QStringLiteral("/gone/"));
        f.prompter.questionAnswers = {false, true};
        const StartUp::Outcome outcome = f.run({f.folder(QStringLiteral("pf"))});
        QVERIFY(outcome.exit);
        QCOMPARE(f.log, QStringList({QStringLiteral("critical"), QStringLiteral("folder"), QStringLiteral("question"),
                                     QStringLiteral("folder"), QStringLiteral("question")}));
    }

    void modsAreSortedBareNames()
    {
        QTemporaryDir dir;
        const QString mods = dir.path() + QStringLiteral("/mods/");
        for (const char* name : {"Zeta", "alpha", "beta two", "Beta", "v1.2 mod", "Alpha"})
            QVERIFY(QDir().mkpath(mods + QLatin1String(name) + QStringLiteral("/AI")));
        WriteBytes(mods + QStringLiteral("readme.txt"), "not a mod");
        QCOMPARE(StartUp::ListMods(mods),
                 QStringList({QStringLiteral("Alpha"), QStringLiteral("alpha"), QStringLiteral("Beta"),
                              QStringLiteral("beta two"), QStringLiteral("v1.2 mod"), QStringLiteral("Zeta")}));
        QVERIFY(QDir().mkpath(dir.path() + QStringLiteral("/empty")));
        QVERIFY(StartUp::ListMods(dir.path() + QStringLiteral("/empty/")).isEmpty());
    }

#ifndef Q_OS_WIN
    void wineProgramFiles()
    {
        QTemporaryDir prefix;
        QVERIFY(QDir().mkpath(prefix.path() + QStringLiteral("/drive_c/program files")));
        const QByteArray saved = qgetenv("WINEPREFIX");
        qputenv("WINEPREFIX", prefix.path().toLocal8Bit());
        const QStringList folders = StartUp::ProgramFilesFolders();
        if (saved.isEmpty())
            qunsetenv("WINEPREFIX");
        else
            qputenv("WINEPREFIX", saved);
        QCOMPARE(folders, QStringList({prefix.path() + QStringLiteral("/drive_c/program files/"),
                                       prefix.path() + QStringLiteral("/drive_c/Program Files (x86)/")}));
    }
#endif
};

QTEST_GUILESS_MAIN(TestStartUp)
#include "tst_startup.moc"
