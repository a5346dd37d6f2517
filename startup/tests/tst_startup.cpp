#include "startup/StartUp.h"

#include "modfiles/ModSettings.h"
#include "tests/support/TestSupport.h"
#include "tools/demogame/DemoGame.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

class TestStartUp final : public QObject
{
    Q_OBJECT

private slots:
    // The stored folder, else the default place under a program-files folder, else the one picked, until a
    // folder with a mods folder is found or the user ends the program. In the rows GAME is a game folder, EMPTY
    // a folder without mods, GONE a folder that does not exist, an empty text a cancelled dialog and INSTALLED
    // the default place (in the second program-files folder, in other letter case than it is spelt), where
    // the game is installed before the run or while the exit question is up.
    void gameFolderLoop_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("pickedFolders");
        QTest::addColumn<QList<bool>>("exitAnswers");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("log");
        QTest::addColumn<QString>("storedAfter");
        const auto row = [](const char* name, const char* stored, const QStringList& picked, const QList<bool>& exit,
                            const char* log, const char* after = "", bool installed = false) {
            QTest::newRow(name) << QString::fromLatin1(stored) << picked << exit << installed
                                << QString::fromLatin1(log) << QString::fromLatin1(after);
        };
        const QString game = QStringLiteral("GAME");
        row("stored", "GAME", {}, {}, "select", "GAME");
        row("detected", "", {}, {}, "select", "INSTALLED", true);
        row("picked", "", {game}, {}, "folder select");
        // An existing folder brings up the selection window before its mods folder is looked at.
        row("picked without mods", "", {QStringLiteral("EMPTY"), game}, {}, "folder select critical folder select");
        row("picked gone", "", {QStringLiteral("GONE"), game}, {}, "folder critical folder select");
        // The store keeps a folder that fails, but it is not tried again in this run.
        row("stored without mods", "EMPTY", {game}, {}, "select critical folder select", "EMPTY");
        row("stored gone", "GONE", {game}, {}, "critical folder select", "GONE");
        row("stored gone, cancelled twice", "GONE", {}, {false, true}, "critical folder question folder question exit",
            "GONE");
        row("cancelled, yes", "", {}, {true}, "folder question exit");
        // Only a loop that reads the empty store and detects again finds the new install without the dialog.
        row("cancelled, no", "", {}, {false}, "folder question select", "INSTALLED");
    }
    void gameFolderLoop()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, pickedFolders);
        QFETCH(QList<bool>, exitAnswers);
        QFETCH(bool, installed);
        QFETCH(QString, log);
        QFETCH(QString, storedAfter);
        QTemporaryDir root;
        const auto folder = [&root](const char* relative) {
            const QString path = root.path() + QLatin1Char('/') + QLatin1String(relative) + QLatin1Char('/');
            QDir().mkpath(path);
            return path;
        };
        const QStringList programFiles{folder("drive_c/Program Files"), folder("drive_c/Program Files (x86)")};
        const QString install = programFiles.last() + QStringLiteral("kelvane/GRAVIX 3190/");
        const QString game = folder("games/Gravix 3190");
        QCOMPARE(DemoGame::create(game), QString());
        const auto place = [&](QString name) {
            return name.replace(QStringLiteral("GAME"), game)
                .replace(QStringLiteral("EMPTY"), folder("old/Gravix 3190"))
                .replace(QStringLiteral("GONE"), root.path() + QStringLiteral("/gone/"))
                .replace(QStringLiteral("INSTALLED"), install);
        };
        QSettings store(root.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        if (!stored.isEmpty())
            store.setValue(QLatin1String(StartUp::GamePathKey), place(stored));
        RecordingPrompter prompter;
        // The dialog gives folders without a trailing separator.
        for (const QString& picked : pickedFolders)
            prompter.folderAnswers.push_back(place(picked).chopped(1));
        prompter.questionAnswers.assign(exitAnswers.cbegin(), exitAnswers.cend());
        if (installed)
            QCOMPARE(DemoGame::create(install), QString());
        QStringList steps; // boxes and the window showing, in order
        prompter.onBox = [&](const RecordingPrompter::Box& box) {
            steps.append(box.kind);
            if (box.kind == QLatin1String("question"))
                QCOMPARE(DemoGame::create(install), QString());
            // A loop that never ends would otherwise hang the run until the test timeout.
            if (steps.size() > 40)
                qFatal("the start-up loop does not end: %s", qPrintable(steps.join(QLatin1Char(' '))));
        };
        ModSettings mod;
        mod.setSaveFlags({ModFile::AIDefault});
        const StartUp::Outcome outcome =
            StartUp::run(mod, store, prompter, programFiles, [&steps] { steps.append(QStringLiteral("select")); });
        if (outcome.exit)
            steps.append(QStringLiteral("exit"));
        QCOMPARE(steps.join(QLatin1Char(' ')), log);
        // Only detection writes to the store: the first program-files folder always, the game when found.
        QCOMPARE(store.value(QLatin1String(StartUp::GamePathKey)).toString(), place(storedAfter));
        QCOMPARE(store.value(QLatin1String(StartUp::ProgramFilesKey)).toString(),
                 stored.isEmpty() ? programFiles.first() : QString());
        const QMap<QString, QString> texts{
            {QStringLiteral("critical"), QStringLiteral("An error has occured!")},
            {QStringLiteral("question"), QStringLiteral("Do you want to exit?")},
            {QStringLiteral("folder"),
             QStringLiteral("Locate Gravix 3190 folder\r\nExample: C:\\Program Files\\Kelvane\\Gravix 3190\\")}};
        for (const RecordingPrompter::Box& box : prompter.boxes)
            QCOMPARE(box.text, texts.value(box.kind));
        if (outcome.exit)
            return;
        QCOMPARE(outcome.mods, (QStringList{DemoGame::NamesOnlyMod, DemoGame::CompleteMod, DemoGame::LowerCaseMod}));
        QCOMPARE(outcome.modsFolder,
                 place(storedAfter == QLatin1String("INSTALLED") ? storedAfter : game) + QStringLiteral("mods/"));
        QVERIFY(mod.saveFlags() == ModFileSet::all());
    }

    void modsAreSortedBareNames()
    {
        QTemporaryDir dir;
        const QString mods = dir.path() + QStringLiteral("/mods/");
        for (const char* name : {"Zeta", "alpha", "beta two", "Beta", "v1.2 mod", "Alpha"})
            QVERIFY(QDir().mkpath(mods + QLatin1String(name) + QStringLiteral("/AI")));
        writeBytes(mods + QStringLiteral("readme.txt"), "not a mod");
#ifdef Q_OS_WIN
        // A disk that ignores letter case holds "alpha" and "Alpha" as one folder, under the first spelling.
        QCOMPARE(StartUp::ListMods(mods), texts({"alpha", "Beta", "beta two", "v1.2 mod", "Zeta"}));
#else
        QCOMPARE(StartUp::ListMods(mods), texts({"Alpha", "alpha", "Beta", "beta two", "v1.2 mod", "Zeta"}));
#endif
    }

#ifndef Q_OS_WIN
    void wineProgramFiles()
    {
        QTemporaryDir prefix;
        QVERIFY(QDir().mkpath(prefix.path() + QStringLiteral("/drive_c/program files")));
        const QByteArray saved = qgetenv("WINEPREFIX");
        qputenv("WINEPREFIX", prefix.path().toLocal8Bit());
        const QStringList folders = StartUp::programFilesFolders();
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
