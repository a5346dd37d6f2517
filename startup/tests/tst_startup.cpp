#include "startup/StartUp.h"

#include "modfiles/ModSettings.h"
#include "tests/support/TestSupport.h"
#include "tools/demogame/DemoGame.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

using namespace TestSupport;

#ifndef Q_OS_WIN
namespace {

// The search's view of the user while it lives: home is the home folder, no $WINEPREFIX unless a test sets one.
class FakeHome final
{
public:
    explicit FakeHome(const QString& home) : m_home(qgetenv("HOME")), m_prefix(qgetenv("WINEPREFIX"))
    {
        qputenv("HOME", QFile::encodeName(home));
        qunsetenv("WINEPREFIX");
    }
    ~FakeHome()
    {
        qputenv("HOME", m_home);
        if (m_prefix.isEmpty())
            qunsetenv("WINEPREFIX");
        else
            qputenv("WINEPREFIX", m_prefix);
    }
    Q_DISABLE_COPY_MOVE(FakeHome)

private:
    QByteArray m_home;
    QByteArray m_prefix;
};

} // namespace
#endif

class TestStartUp final : public QObject
{
    Q_OBJECT

private slots:
    // The stored folder, else the default place under a program-files folder, else the one picked, until a
    // folder with a mods folder is found or the user ends the program. In the rows GAME is a game folder, EMPTY
    // a folder without mods, GONE a folder that does not exist, an empty text a cancelled dialog and INSTALLED
    // the default place (in the second program-files folder, in other letter case than it is spelt), where
    // the game is installed while the exit question is up.
    void gameFolderLoop_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("pickedFolders");
        QTest::addColumn<QList<bool>>("exitAnswers");
        QTest::addColumn<QString>("log");
        QTest::addColumn<QString>("storedAfter");
        const auto row = [](const char* name, const char* stored, const QStringList& picked, const QList<bool>& exit,
                            const char* log, const char* after = "") {
            QTest::newRow(name) << QString::fromLatin1(stored) << picked << exit << QString::fromLatin1(log)
                                << QString::fromLatin1(after);
        };
        const QString game = QStringLiteral("GAME");
        row("stored", "GAME", {}, {}, "select", "GAME");
        // An existing folder brings up the selection window before its mods folder is looked at.
        row("picked without mods", "", {QStringLiteral("EMPTY"), game}, {}, "folder select critical folder select");
        // The store keeps a folder that fails, but it is not tried again in this run.
        row("stored without mods", "EMPTY", {game}, {}, "select critical folder select", "EMPTY");
        row("stored gone, cancelled twice", "GONE", {}, {false, true}, "critical folder question folder question exit",
            "GONE");
        // Only a loop that reads the empty store and detects again finds the new install without the dialog.
        row("cancelled, no", "", {}, {false}, "folder question select", "INSTALLED");
    }
    void gameFolderLoop()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, pickedFolders);
        QFETCH(QList<bool>, exitAnswers);
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
        const StartUp::Outcome outcome = StartUp::run(
            mod, store, prompter,
            [&] {
                return QList<StartUp::GamePlace>{{QStringLiteral("Wine"), programFiles}};
            },
            [&steps] { steps.append(QStringLiteral("select")); });
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
    // Where players keep the game on Linux, one fake home per layout with nothing stored. A layout entry is an
    // install "folder/" (its executable, in the letter case after the '|' if one is given, and a mods folder),
    // a file "path=text", a link "path->target", a pipe "path|" or an unreadable folder "path/!"; "HOME" stands
    // for the home. The first install expected is chosen and stored; once that has gone, the folder dialog
    // offers every one.
    void findsTheGameWherePlayersKeepIt_data()
    {
        QTest::addColumn<QStringList>("layout");
        QTest::addColumn<QStringList>("installs");
        const QString game = QStringLiteral("/drive_c/Program Files/Kelvane/Gravix 3190/");
        const QString x86 = QStringLiteral("/drive_c/Program Files (x86)/");
        const auto row = [](const char* name, const QStringList& layout, const QStringList& installs) {
            QTest::newRow(name) << layout << installs;
        };
        // The install is the layout's last entry, without what follows its '/'.
        const auto one = [&row](const char* name, QStringList layout) {
            row(name, layout, {layout.last().section(QLatin1Char('|'), 0, 0)});
        };
        const auto vdf = [](const QString& root, const QString& library) {
            return root + QStringLiteral("/steamapps/libraryfolders.vdf=\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t"
                                         "\"path\"\t\t\"HOME/%1\"\n\t}\n}\n")
                              .arg(library);
        };
        const QString steam = QStringLiteral(".var/app/com.valvesoftware.Steam/.local/share/Steam");
        const QString heroic = QStringLiteral("Games/Heroic/Prefixes/");
        one("Lutris configuration, another folder name",
            {QStringLiteral(".config/lutris/games/gx.yml=game:\n  exe: x.exe\n  prefix: 'HOME/pfx/one'\n"),
             QStringLiteral("pfx/one") + x86 + QStringLiteral("GX3190/|GX3190.EXE")});
        one("Lutris configuration under ~/.local",
            {QStringLiteral(".local/share/lutris/games/gx.yaml=prefix: \"~/pfx/two\""),
             QStringLiteral("pfx/two") + game});
        one("Lutris, ~/Games", {QStringLiteral("Games/gx/drive_c/Program Files/Studio/Gx3190/|Gx3190.Exe")});
        one("Bottles, sandboxed", {QStringLiteral(".var/app/com.usebottles.bottles/data/bottles/bottles/b") + game});
        one("PlayOnLinux", {QStringLiteral(".PlayOnLinux/wineprefix/GX") + game});
        one("Steam, a second library",
            {vdf(QStringLiteral(".local/share/Steam"), QStringLiteral("lib")),
             QStringLiteral("lib/steamapps/compatdata/4711/pfx") + x86 + QStringLiteral("Games/GX/")});
        one("Steam, sandboxed", {vdf(steam, steam), steam + QStringLiteral("/steamapps/compatdata/1/pfx") + game});
        one("Steam, ~/.steam", {vdf(QStringLiteral(".steam/steam"), QStringLiteral(".steam/steam")),
                                QStringLiteral(".steam/steam/steamapps/compatdata/9/pfx") + game});
        one("Heroic", {heroic + QStringLiteral("gx") + game});
        const QString bottle = QStringLiteral(".local/share/bottles/bottles/b") + x86 + QStringLiteral("Other/GX/");
        row("two installs: the first in order is used", {QStringLiteral(".cxoffice/b") + game, bottle},
            {bottle, QStringLiteral(".cxoffice/b") + game});
        const QString wineX86 = QStringLiteral(".wine") + x86 + QStringLiteral("kelvane/gravix 3190/");
        row("in a prefix the default place comes first",
            {QStringLiteral(".wine/drive_c/Program Files/A/GX/"), wineX86 + QStringLiteral("|GX3190.exe")},
            {wineX86, QStringLiteral(".wine/drive_c/Program Files/A/GX/")});
        row("nothing found: three levels down", {QStringLiteral(".wine/drive_c/Program Files/a/b/c/")}, {});
        // Skipped without a word: a link loop, a link up, an unreadable folder, garbage configurations, a pipe.
        one("bad input skipped",
            {QStringLiteral("Games/loop->loop"), QStringLiteral("Games/up->.."),
             QStringLiteral(".PlayOnLinux/wineprefix/!"),
             QStringLiteral(".local/share/Steam/steamapps/libraryfolders.vdf=\"path\" \"HOME/\x01\\"),
             QStringLiteral(".config/lutris/games/a.yml=prefix: [\n  :"), QStringLiteral(".config/lutris/games/b.yml|"),
             heroic + QStringLiteral("default/gx") + game});
    }
    void findsTheGameWherePlayersKeepIt()
    {
        QFETCH(QStringList, layout);
        QFETCH(QStringList, installs);
        QTemporaryDir home;
        for (QString entry : layout) {
            entry.replace(QStringLiteral("HOME"), home.path());
            static const QRegularExpression end(QStringLiteral("=|->|\\||!$"));
            const QString path = home.path() + QLatin1Char('/') + entry.left(entry.indexOf(end));
            QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
            if (entry.contains(QLatin1String("->")))
                QVERIFY(QFile::link(entry.section(QLatin1String("->"), 1), path));
            else if (entry.contains(QLatin1Char('=')))
                writeBytes(path, entry.section(QLatin1Char('='), 1).toUtf8());
            else if (entry.endsWith(QLatin1Char('|')))
                QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            else if (entry.endsWith(QLatin1Char('!')))
                QVERIFY(QFile::setPermissions(path, {}));
            else
                writeBytes(path + (entry.contains(QLatin1Char('|')) ? entry.section(QLatin1Char('|'), 1)
                                                                    : QStringLiteral("gx3190.exe")),
                           "MZ");
            if (entry.endsWith(QLatin1Char('/')) || entry.contains(QLatin1String("/|")))
                QVERIFY(QDir().mkpath(path + QStringLiteral("mods")));
        }
        const FakeHome user(home.path());
        QStringList expected;
        for (const QString& install : installs)
            expected.append(home.path() + QLatin1Char('/') + install);
        QSettings store(home.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        struct Start
        {
            StartUp::Outcome outcome;
            QStringList kinds;
            QList<QStringList> shortcuts;
        };
        const auto start = [&store] {
            RecordingPrompter prompter;
            prompter.questionAnswers = {true};
            ModSettings mod;
            const StartUp::Outcome outcome = StartUp::run(mod, store, prompter, StartUp::gamePlaces, {});
            return Start{outcome, prompter.kinds(), prompter.folderShortcuts};
        };
        const Start first = start();
        QCOMPARE(first.kinds, expected.isEmpty() ? texts({"folder", "question"}) : QStringList());
        QCOMPARE(first.shortcuts, expected.isEmpty() ? QList<QStringList>{{}} : QList<QStringList>());
        QCOMPARE(store.value(QLatin1String(StartUp::GamePathKey)).toString(), expected.value(0));
        QCOMPARE(store.value(QLatin1String(StartUp::ProgramFilesKey)).toString(),
                 home.path() + QStringLiteral("/.wine/drive_c/Program Files/"));
        QCOMPARE(first.outcome.modsFolder, expected.isEmpty() ? QString() : expected.first() + QStringLiteral("mods/"));
        store.setValue(QLatin1String(StartUp::GamePathKey), home.filePath(QStringLiteral("gone/")));
        const Start again = start();
        QCOMPARE(again.kinds, texts({"critical", "folder", "question"}));
        QCOMPARE(again.shortcuts, QList<QStringList>{expected});
    }

    // Configuration files of random text made of their own syntax, and links to anywhere in ~/Games, never
    // stop the search (or crash or hang it) before the install beside them.
    void searchSurvivesRandomHomes()
    {
        QRandomGenerator random(3190);
        const QByteArray alphabet = "\"{}\\ \t\n:'~/.path prefix 0";
        for (int round = 0; round < 40; ++round) {
            QTemporaryDir home;
            const QString install = home.path() + QStringLiteral("/.cxoffice/b/drive_c/Program Files/x/Gravix/");
            writeBytes(install + QStringLiteral("gx3190.exe"), "MZ");
            for (const char* file : {"/.local/share/Steam/steamapps/libraryfolders.vdf",
                                     "/.steam/steam/steamapps/libraryfolders.vdf", "/.config/lutris/games/g.yml"}) {
                QByteArray text;
                for (int i = random.bounded(300); i > 0; --i)
                    text += random.bounded(8) ? QByteArray(1, alphabet.at(random.bounded(int(alphabet.size()))))
                                              : QFile::encodeName(home.path());
                writeBytes(home.path() + QLatin1String(file), text);
            }
            QVERIFY(QDir().mkpath(home.path() + QStringLiteral("/Games")));
            for (const char* target : {".", "..", "/", "loop", "../Games/x", "../.cxoffice/b"})
                QFile::link(QLatin1String(target),
                            home.path() + QStringLiteral("/Games/") + QString::number(random.bounded(4)));
            const FakeHome user(home.path());
            QList<StartUp::GameInstall> found = StartUp::findInstalls(StartUp::gamePlaces());
            QVERIFY(!found.isEmpty());
            QCOMPARE(found.constFirst().gameFolder, install);
        }
    }

    void wineProgramFiles()
    {
        QTemporaryDir prefix;
        QVERIFY(QDir().mkpath(prefix.path() + QStringLiteral("/drive_c/program files")));
        const FakeHome user(prefix.path());
        qputenv("WINEPREFIX", QFile::encodeName(prefix.path()));
        QCOMPARE(StartUp::programFilesFolders(),
                 QStringList({prefix.path() + QStringLiteral("/drive_c/program files/"),
                              prefix.path() + QStringLiteral("/drive_c/Program Files (x86)/")}));
    }
#endif
};

QTEST_GUILESS_MAIN(TestStartUp)
#include "tst_startup.moc"
