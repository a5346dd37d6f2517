#include "levels/LevelWorkflow.h"
#include "movies/IntroSwitch.h"
#include "startup/StartUp.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ZipTestSupport.h"
#include "tools/demogame/DemoGame.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTest>
#include <QThread>

#include <zip.h>

#include <functional>

#ifdef Q_OS_LINUX
#include <csignal>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#endif

using namespace TestSupport;

namespace {

// Every file of the mod but those extracted, by its path in the mod folder, and each level's Init.CON from its
// archive (as Levels/<folder>/Init.CON).
using Snapshot = QMap<QString, QByteArray>;
using Change = std::function<void(Snapshot&)>;
const QString Server = QStringLiteral("Settings/ServerSettings.CON");
const QString AIDefault = QStringLiteral("AI/AIDefault.AI");

#ifdef Q_OS_WIN
// On Windows the settings store is the user's registry, which cannot be given to a child apart: a run uses it,
// and what it held is put back afterwards.
class RegistryStore final
{
public:
    RegistryStore()
    {
        for (const QString& key : m_store.allKeys())
            m_saved.insert(key, m_store.value(key));
        m_store.clear();
        m_store.sync();
    }
    ~RegistryStore()
    {
        m_store.clear();
        for (auto value = m_saved.cbegin(); value != m_saved.cend(); ++value)
            m_store.setValue(value.key(), value.value());
        m_store.sync();
    }
    Q_DISABLE_COPY_MOVE(RegistryStore)

    QSettings& store() { return m_store; }

private:
    QSettings m_store{QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("GX3190_SP"),
                      QStringLiteral("GX3190_SP")};
    QMap<QString, QVariant> m_saved;
};
#endif

struct Game
{
    DemoGameFolder demo;
    QTemporaryDir home; // the child's home, settings store and Wine prefix
#ifdef Q_OS_WIN
    RegistryStore registry;
#endif
    QString mod(const QString& relative) const
    {
        return demo.mod(DemoGame::CompleteMod) + QLatin1Char('/') + relative;
    }
    QString archive(int level) const
    {
        return mod(QStringLiteral("Levels/") + Levels::LevelFolderNames().at(level) + QStringLiteral("/server.ZIP"));
    }
    Snapshot snapshot() const
    {
        Snapshot files = folderContents(mod({}));
        files.removeIf([](Snapshot::iterator file) { return file.key().contains(QLatin1String("/TEMP")); });
        for (int level = 0; level < Levels::LevelFolderNames().size(); ++level) {
            const QByteArray bytes = readBytes(archive(level));
            files.insert(QStringLiteral("Levels/%1/Init.CON").arg(Levels::LevelFolderNames().at(level)),
                         bytes.startsWith("PK")
                             ? memberData(readZip(archive(level), level == 2 ? "pw2" : "pw"), "Init.CON")
                             : bytes);
        }
        return files;
    }
};
using Prepare = std::function<void(Game&)>;

struct Result
{
    int status = -1;
    QString out;
    QString err;
};

// Runs the program itself, with no display (the command line must not need one) and a home, settings store and
// Wine prefix of its own. "GAME" in an argument stands for the demo game folder.
Result run(Game& game, QStringList arguments, const QByteArray& input = {})
{
    arguments.replaceInStrings(QStringLiteral("GAME"), game.demo.path);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), game.home.path() + QStringLiteral("/config"));
    environment.insert(QStringLiteral("WINEPREFIX"), game.home.path() + QStringLiteral("/wine"));
    environment.insert(QStringLiteral("HOME"), game.home.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(GX_EDITOR_PROGRAM), arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, {}, process.errorString()};
    // A Windows program writes its text lines ending in CR LF.
    const auto text = [](QByteArray bytes) {
#ifdef Q_OS_WIN
        bytes.replace("\r\n", "\n");
#endif
        return QString::fromUtf8(bytes);
    };
    return {process.exitCode(), text(process.readAllStandardOutput()), text(process.readAllStandardError())};
}

// The file's bytes with one piece replaced; the piece must be there.
Change replace(const QString& file, const QByteArray& from, const QByteArray& to)
{
    return [=](Snapshot& files) {
        QVERIFY2(files[file].contains(from), qPrintable(file + QStringLiteral(": ") + QString::fromLatin1(from)));
        files[file].replace(from, to);
    };
}

// A level whose Init.CON changes: its archive is rebuilt, so the member is compared, not the archive.
Change level(int index, const QByteArray& from, const QByteArray& to)
{
    const QString folder = QStringLiteral("Levels/") + Levels::LevelFolderNames().at(index);
    return [=](Snapshot& files) {
        files.remove(folder + QStringLiteral("/server.ZIP"));
        replace(folder + QStringLiteral("/Init.CON"), from, to)(files);
    };
}

// Changes a file of the game before the command runs.
Prepare rewrite(const QString& file, const QByteArray& from, const QByteArray& to)
{
    return [=](Game& game) { writeBytes(game.mod(file), readBytes(game.mod(file)).replace(from, to)); };
}

const Prepare Stored = [](Game& game) {
#ifdef Q_OS_WIN
    game.registry.store().setValue(QLatin1String(StartUp::GamePathKey), game.demo.path);
    game.registry.store().sync();
#else
    writeBytes(game.home.path() + QStringLiteral("/config/GX3190_SP/GX3190_SP.conf"),
               "[Paths]\nGXPath=" + game.demo.path.toUtf8() + "\n");
#endif
};
// Writes the level's archive with its Init.CON and the other members given, each protected by its password. A
// member of a password other than "pw" must fail the check of "pw", which one password in 256 passes by chance:
// the archive is written again until it does.
void protect(Game& game, int level, const QByteArray& password, const QList<RawMember>& others = {})
{
    const QList<RawMember> members =
        QList<RawMember>{{"Init.CON", DemoGame::initCon(level), false, false, ZIP_EM_TRAD_PKWARE, password}} + others;
    for (bool passes = true; passes;) {
        writeRawZip(game.archive(level), members);
        passes = false;
        for (qsizetype i = 0; i < members.size(); ++i)
            passes = passes || (members.at(i).password != "pw" && passesCheck(game.archive(level), i, "pw"));
    }
}

const Prepare Password = [](Game& game) { protect(game, 0, "pw"); };
// A member of the first archive left out with an empty answer; the next archive read with the password typed for
// the first, without a question, as the levels share it; then an archive with a password of its own: the one
// remembered is tried once, then the user is asked for it, not refused by that empty answer.
const Prepare Passwords = [](Game& game) {
    protect(game, 0, "pw", {{"Locked.con", "locked", false, false, ZIP_EM_TRAD_PKWARE, "pw3"}});
    protect(game, 1, "pw");
    protect(game, 2, "pw2");
};
const QString Mods = QStringLiteral("Bot Names Only\ngx3190\nlower.case mod\n");

} // namespace

Q_DECLARE_METATYPE(QList<Change>)
Q_DECLARE_METATYPE(Prepare)

class TestCommandLine final : public QObject
{
    Q_OBJECT

private slots:
    void commands_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Prepare>("prepare");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QList<Change>>("changes");
        const auto row = [](const char* name, std::initializer_list<const char*> arguments, int status,
                            std::initializer_list<const char*> messages, const QList<Change>& changes = {},
                            const Prepare& prepare = {}, const QString& out = {}, const QByteArray& input = {}) {
            // Rows name the game folder, but for those about finding it.
            QStringList given = texts(arguments);
            if (!given.removeOne(QStringLiteral("FIND")))
                given.prepend(QStringLiteral("--game=GAME"));
            QTest::newRow(name) << given << prepare << input << status << out << texts(messages) << changes;
        };
        QStringList names = DemoGame::BotNames;
        names.removeOne(QStringLiteral("Old Tom"));
        names.removeOne(QStringLiteral("Brannoch"));
        const QByteArray botNames = DemoGame::botNamesFile(names << QStringLiteral("Brannoch"));

        row("usage: unknown command", {"frobnicate", "gx3190"}, 2, {"Unknown command \"frobnicate\"."});
        row("usage: unknown value name", {"set", "gx3190", "soldier-ff=1", "nosuch=1"}, 2, {"nosuch: no value"});
        row("usage: not a number", {"level", "gx3190", "all", "max-view=9x"}, 2, {"max-view=9x: expected a whole"});
        row("set several values",
            {"set", "gx3190", "soldier-ff=0", "vehicle-ff=0", "bot-skill=80", "max-bots=12", "score.SCORE_KILL=3"}, 0,
            {"Data saved."},
            {replace(Server, "FriendlyFire 100\r", "FriendlyFire 0\r"),
             replace(Server, "FriendlyFire 50\r", "FriendlyFire 0\r"),
             replace(AIDefault, "setMaxNBots 32", "setMaxNBots 12"),
             replace(AIDefault, "setBotSkill 0.5", "setBotSkill 0.8"),
             replace(QStringLiteral("python/game/scoringCommon.py"), "SCORE_KILL = 1\r", "SCORE_KILL = 3\r")});
        row("out of range: nothing written", {"set", "gx3190", "soldier-ff=0", "vehicle-ff=101", "max-bots=257"}, 1,
            {"vehicle-ff=101: outside 0 to 100 (the file holds 50).", "max-bots=257: outside 1 to 256",
             "Nothing was saved."});
        row("out of range but already in the file: kept", {"set", "gx3190", "soldier-ff=150", "vehicle-ff=10"}, 0,
            {"Data saved."}, {replace(Server, "vehicleFriendlyFire 50", "vehicleFriendlyFire 10")},
            rewrite(Server, "FriendlyFire 100", "FriendlyFire 150"));
        row("a key the file lacks", {"set", "gx3190", "vehicle-ff=1"}, 1, {"does not hold this value"}, {},
            rewrite(Server, "sv.vehicleFriendlyFire", "rem vehicle"));
        row("read-only file named, the others saved", {"set", "gx3190", "soldier-ff=1", "max-bots=20"}, 1,
            {"ServerSettings.CON: the file is read-only"}, {replace(AIDefault, "setMaxNBots 32", "setMaxNBots 20")},
            [](Game& game) { QVERIFY(QFile::setPermissions(game.mod(Server), QFileDevice::ReadOwner)); });
        row("bot names", {"bot-names", "gx3190", "--add", "Brannoch", "--remove", "Old Tom", "--remove", "Brannoch"}, 0,
            {"Data saved."}, {[botNames](Snapshot& files) { files[QStringLiteral("AI/BotNames.AI")] = botNames; }});
        row("bot name not there", {"bot-names", "gx3190", "--remove", "Nobody", "--add", "New"}, 1,
            {"--remove \"Nobody\": no bot of that name.", "Nothing was saved."});
        // Each movie there but kept moves to its ".OFF" name.
        const auto moviesOff = [](const QString& kept = {}) -> Change {
            return [kept](Snapshot& files) {
                for (const QString& movie : IntroSwitch::IntroMovies)
                    if (movie != kept && files.contains(movie))
                        files.insert(movie + QStringLiteral(".OFF"), files.take(movie));
            };
        };
        const QString intro = QStringLiteral("Movies/Intro.bik");
        // Intro.bik alone gives the state shown, but the other movies play without it.
        row("intro off without Intro.bik", {"intro", "gx3190", "off"}, 0, {"Remove Intro? Yes", "Intro removed."},
            {moviesOff()}, [intro](Game& game) { QVERIFY(QFile::remove(game.mod(intro))); });
        row("intro off, a movie that cannot move", {"intro", "gx3190", "off"}, 1,
            {"Remove Intro? Yes", "could not be switched off", "Intro.bik: "}, {moviesOff(intro)},
            [intro](Game& game) { QVERIFY(QDir().mkpath(game.mod(intro + QStringLiteral(".OFF")))); });
        row("one level by its shown name", {"level", "gx3190", "merrow harbour", "max-view=900", "cold-breath=on"}, 0,
            {"Merrow Harbour: Level data saved."},
            {level(8, "Distance 800\r", "Distance 900\r"), level(8, "ColdBreath 0\r", "ColdBreath 1\r")});
        row("level value out of range", {"level", "gx3190", "all", "pac-ticket-loss=1000"}, 1,
            {"Orvane Island 3190: pac-ticket-loss=1000: outside 0 to 999 (the file holds 5).", "Nothing was saved."});
        QList<Change> tickets;
        for (int i = 0; i < 13; ++i)
            tickets.append(level(i, "32 2 " + QByteArray::number(DemoGame::tickets(i, 32, 2)) + "\r", "32 2 250\r"));
        // Each line of input answers one prompt.
        row("all levels: a password shared, a file refused, another password",
            {"level", "gx3190", "all", "eu-tickets-32=250"}, 0,
            {"Varnholm: Please Enter The Password!", "Varnholm: These files of the level archive were not unpacked",
             "Quarrin Landing: Please Enter The Password!"},
            tickets, Passwords, {}, "pw\r\n\r\npw2\r\n");
        tickets.removeAt(4);
        row("all levels, one archive damaged", {"level", "gx3190", "all", "eu-tickets-32=250"}, 1,
            {"Tovary: Unable to read level data.", "Not a zip archive"}, tickets,
            [](Game& game) { writeBytes(game.archive(4), "not an archive"); });
        row("password refused with --no-input", {"--no-input", "level", "gx3190", "Varnholm", "max-view=700"}, 1,
            {"Varnholm: Unable to read level data.", "protected by a password"}, {}, Password);
        row("no game folder found", {"FIND", "list-mods"}, 1, {"No game folder found"});
        row("the stored game folder", {"FIND", "list-mods"}, 0, {}, {}, Stored, Mods);
#ifndef Q_OS_WIN
        // HOME in the output stands for the child's home.
        row(
            "list-games: every install, the first marked", {"FIND", "list-games"}, 0, {}, {},
            [](Game& game) {
                for (const char* folder : {"/wine/drive_c/Program Files/Kelvane/Gravix 3190",
                                           "/Games/other/drive_c/Program Files (x86)/Games/Gravix"})
                    QCOMPARE(DemoGame::create(game.home.path() + QLatin1String(folder)), QString());
            },
            QStringLiteral("*\tWine\tHOME/wine/drive_c/Program Files/Kelvane/Gravix 3190/\n"
                           "\tLutris\tHOME/Games/other/drive_c/Program Files (x86)/Games/Gravix/\n"));
#endif
    }

    void commands()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Prepare, prepare);
        QFETCH(QByteArray, input);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QStringList, messages);
        QFETCH(QList<Change>, changes);
        Game game;
        out.replace(QStringLiteral("HOME"), game.home.path());
        if (prepare)
            prepare(game);
        Snapshot expected = game.snapshot();
        for (const Change& change : changes)
            change(expected);

        const Result result = run(game, arguments, input);
        QVERIFY2(result.status == status, qPrintable(result.err));
        QCOMPARE(result.out, out);
        for (const QString& message : messages)
            QVERIFY2(result.err.contains(message), qPrintable(message + QStringLiteral("\n---\n") + result.err));
        QCOMPARE(result.err.count(QStringLiteral("Please Enter The Password!")), input.count('\n'));
        // Each level saved says so on its own line, and every file not expected to change keeps its bytes.
        const Snapshot after = game.snapshot();
        QCOMPARE(result.err.count(QStringLiteral("Level data saved.")), after.size() - expected.size());
        for (auto file = expected.cbegin(); file != expected.cend(); ++file)
            QVERIFY2(after.contains(file.key()) && after.value(file.key()) == file.value(), qPrintable(file.key()));
    }

    void showNamesEveryValueAsSetAndHelpDo()
    {
        Game game;
        const Snapshot before = game.snapshot();
        const Result json = run(game, texts({"--game=GAME", "show", "gx3190", "--json"}));
        const Result text = run(game, texts({"--game=GAME", "show", "gx3190"}));
        const Result help = run(game, texts({"--help"}));
        QCOMPARE(QList<int>({json.status, text.status, help.status}), QList<int>({0, 0, 0}));
        QVERIFY(run(game, texts({"--version"})).out.startsWith(QStringLiteral("GX3190 Editor ")));

        const auto parse = [](const QString& source) { return QJsonDocument::fromJson(source.toUtf8()).object(); };
        const QJsonObject mod = parse(json.out);
        const QJsonObject merrow =
            mod.value(QStringLiteral("levels")).toObject().value(QStringLiteral("Merrow_Harbor")).toObject();
        QCOMPARE(mod.value(QStringLiteral("bot-names")).toArray(), QJsonArray::fromStringList(DemoGame::BotNames));
        const QJsonObject some = parse(QStringLiteral(
            R"({"soldier-ff": 100, "vehicle-splash-ff": 25, "bot-skill": 50, "max-bots": 32, "intro": true,
                "score.SCORE_KILL": 1, "score.SCORE_TEAMKILL": -4, "score.MAX_EMP_TIME": 10})"));
        for (const QString& name : some.keys())
            QVERIFY2(mod.value(name) == some.value(name), qPrintable(name));
        QJsonObject merrowShown = parse(QStringLiteral(R"({"name": "Merrow Harbour", "max-view": 800,
            "cold-breath": false, "pac-ticket-loss": 5, "eu-ticket-loss": 13})"));
        for (const int players : {16, 32, 64, 128})
            for (const int team : {1, 2})
                merrowShown.insert(QStringLiteral("%1-tickets-%2")
                                       .arg(team == 1 ? QLatin1String("pac") : QLatin1String("eu"))
                                       .arg(players),
                                   DemoGame::tickets(8, players, team));
        QCOMPARE(merrow, merrowShown);

        // The text lists the same values under the same names, --help names every one, and set and level take
        // every one back: writing back what show read changes nothing.
        const QStringList lines = text.out.split(QLatin1Char('\n'));
        QStringList modValues = texts({"--game=GAME", "set", "gx3190"});
        QStringList levelValues = texts({"--game=GAME", "level", "gx3190", "Merrow_Harbor"});
        const auto check = [&](const QString& prefix, const QJsonObject& object, QStringList& assignments) {
            for (const QString& name : object.keys()) {
                const QJsonValue value = object.value(name);
                const QString shown = value.isBool()     ? QString::fromLatin1(value.toBool() ? "on" : "off")
                                      : value.isDouble() ? QString::number(value.toInteger())
                                                         : value.toString();
                if (!value.isObject() && !value.isArray())
                    QVERIFY2(lines.contains(prefix + name + QStringLiteral(" = ") + shown), qPrintable(name));
                if (name == QLatin1String("mod") || name == QLatin1String("folder") || name == QLatin1String("name"))
                    continue;
                QVERIFY2(help.out.contains(name), qPrintable(name));
                if (value.isDouble() || (value.isBool() && name != QLatin1String("intro")))
                    assignments.append(name + QLatin1Char('=') + shown);
            }
        };
        check({}, mod, modValues);
        check(QStringLiteral("levels.Merrow_Harbor."), merrow, levelValues);
        QCOMPARE(modValues.size(), 3 + 6 + 68);
        for (const QStringList& back : {modValues, levelValues}) {
            const Result result = run(game, back);
            QVERIFY2(result.status == 0 && result.err.contains(QStringLiteral("Nothing to save")),
                     qPrintable(result.err));
        }
        QVERIFY(game.snapshot() == before);
    }

#ifdef Q_OS_LINUX
    // Ctrl-C at the password prompt ends the program with the terminal's echo given back, not left off.
    void interruptAtPasswordPromptGivesEchoBack()
    {
        Game game;
        Password(game);
        const QByteArray gameFolder = game.demo.path.toLocal8Bit();
        const QByteArray home = game.home.path().toLocal8Bit();
        int terminal = -1;
        const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
        QVERIFY(child >= 0);
        if (child == 0) {
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            ::setenv("XDG_CONFIG_HOME", (home + "/config").constData(), 1);
            ::setenv("WINEPREFIX", (home + "/wine").constData(), 1);
            ::execl(GX_EDITOR_PROGRAM, GX_EDITOR_PROGRAM, "--game", gameFolder.constData(), "level", "gx3190",
                    "Varnholm", "max-view=700", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        // The prompt is printed before echo goes off and the handlers are in place: a signal sent at once could
        // end the program before there is anything to give back. The master side reads the terminal's mode.
        termios mode{};
        QDeadlineTimer echoOff(30000);
        while (::tcgetattr(terminal, &mode) == 0 && (mode.c_lflag & ECHO) && !echoOff.hasExpired())
            QThread::msleep(10);
        const bool hidden = !(mode.c_lflag & ECHO);
        QByteArray shown(4096, '\0');
        pollfd ready{terminal, POLLIN, 0};
        const ssize_t got = ::poll(&ready, 1, 1000) > 0 ? ::read(terminal, shown.data(), shown.size()) : 0;
        shown.truncate(qMax<qsizetype>(got, 0));
        ::kill(child, SIGINT);
        int status = 0;
        ::waitpid(child, &status, 0);
        QVERIFY(::tcgetattr(terminal, &mode) == 0);
        ::close(terminal);
        QVERIFY2(shown.contains("Password"), shown.constData());
        QVERIFY(hidden);
        QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
        QVERIFY(mode.c_lflag & ECHO);
    }
#endif
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
