// Whole operations of the editor, each timed against what a user would otherwise run, in the same process
// run and with the same cache state, printed as rows of one table (tools/bench.sh joins and aligns them).
#include "bench/BenchTiming.h"

#include "levels/ZipArchive.h"
#include "modfiles/ModFiles.h"
#include "modfiles/ModSettings.h"
#include "movies/IntroSwitch.h"
#include "startup/StartUp.h"
#include "tools/demogame/DemoGame.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

using namespace Bench;

namespace {

void writeModFiles(const QString& mod, int scale)
{
    QStringList names;
    for (int i = 0; i < scale; ++i) {
        for (const QString& name : DemoGame::BotNames)
            names.append(scale > 1 ? name + QString::number(i) : name);
    }
    writeOrFail(mod + QStringLiteral("/AI/BotNames.AI"), DemoGame::botNamesFile(names));
    writeOrFail(mod + QStringLiteral("/AI/AIDefault.AI"), DemoGame::aiDefault(scale));
    writeOrFail(mod + QStringLiteral("/Settings/ServerSettings.CON"), DemoGame::serverSettings(scale));
    writeOrFail(mod + QStringLiteral("/python/game/scoringCommon.py"), DemoGame::scoringScript(scale));
}

qint64 modBytes(const QString& mod)
{
    qint64 total = 0;
    for (ModFile file : {ModFile::BotNames, ModFile::ServerSettings, ModFile::AIDefault, ModFile::Scoring})
        total += QFileInfo(mod + QLatin1Char('/') + ModFiles::modFileRelativePath(file)).size();
    return total;
}

void modLoadSave(const QString& work, int runs)
{
    const QString game = work + QStringLiteral("/game");
    const QString error = DemoGame::create(game);
    if (!error.isEmpty())
        fail(error);
    const QString mod = game + QStringLiteral("/mods/") + DemoGame::CompleteMod;
    double loadAtOne = 0;
    double saveAtOne = 0;
    for (const int scale : {1, 10, 100}) {
        writeModFiles(mod, scale);
        const qint64 bytes = modBytes(mod);
        ModSettings settings;
        QList<double> loads;
        QList<double> saves;
        for (int run = 0; run < runs; ++run) {
            LoadReport loaded;
            loads.append(time([&] { loaded = ModFiles::LoadMod(settings, mod); }));
            if (!loaded.unreadableFiles.isEmpty() || settings.BotNames().size() != 6 * scale)
                fail(QStringLiteral("the mod did not load"));
            // Every save really changes every section, so the replacements run and all four files are written.
            const int value = run % 2 ? 40 : 60;
            for (FriendlyFire which : ModFiles::AllFriendlyFire)
                settings.setValue(ModFiles::friendlyFireValue(which), value);
            settings.setValue(ModFiles::maxBotsValue(), value);
            settings.setValue(ModFiles::botSkillValue(), value);
            settings.setScoreValue(0, run);
            sync();
            SaveReport saved;
            saves.append(time([&] { saved = ModFiles::SaveMod(settings, ModFileSet::all()); }));
            if (!saved.failedFiles.isEmpty() || saved.savedFiles.size() != 4)
                fail(QStringLiteral("the mod did not save: ") + saved.failedFiles.join(QLatin1Char(' ')));
        }
        const Stats load = summarise(loads);
        const Stats save = summarise(saves);
        const QString size = QString::number(double(bytes) / 1024.0, 'f', 0) + QStringLiteral(" KB");
        if (scale == 1) {
            loadAtOne = load.median;
            saveAtOne = save.median;
            printRow(QStringLiteral("Mod load 1x (%1, four files)").arg(size), load, {}, nullptr, {},
                     QStringLiteral("<= 5 ms"), load.median <= 5 ? QStringLiteral("yes") : QStringLiteral("NO"));
            printRow(QStringLiteral("Mod save 1x (%1, four files, each fsynced)").arg(size), save, {}, nullptr, {},
                     QStringLiteral("<= 5 ms"), save.median <= 5 ? QStringLiteral("yes") : QStringLiteral("NO"));
        } else {
            const auto growth = [scale](double at, double one) {
                return QStringLiteral("%1x of 1x").arg(one > 0 ? at / one : 0, 0, 'f', 1);
            };
            const QString linear = QStringLiteral("<= %1x of 1x").arg(scale);
            printRow(QStringLiteral("Mod load %1x (%2)").arg(scale).arg(size), load, {}, nullptr,
                     growth(load.median, loadAtOne), linear,
                     load.median <= loadAtOne * scale ? QStringLiteral("yes") : QStringLiteral("NO"));
            printRow(QStringLiteral("Mod save %1x (%2, fsynced)").arg(scale).arg(size), save, {}, nullptr,
                     growth(save.median, saveAtOne), linear,
                     save.median <= saveAtOne * scale ? QStringLiteral("yes") : QStringLiteral("NO"));
        }
    }
    removeTree(game);
}

void introSwitch(const QString& work, int runs, qint64 movieBytes)
{
    const QString mod = work + QStringLiteral("/intro");
    const QString movies = mod + QStringLiteral("/Movies/");
    QRandomGenerator random(3190);
    const QByteArray block = noise(random, 1 << 20);
    for (const QString& movie : IntroSwitch::IntroMovies) {
        QFile file(mod + QLatin1Char('/') + movie);
        QDir().mkpath(movies);
        if (!file.open(QIODevice::WriteOnly))
            fail(file.fileName() + QStringLiteral(": ") + file.errorString());
        for (qint64 written = 0; written < movieBytes; written += block.size()) {
            QByteArray piece = block;
            piece[0] = char(written >> 20); // no two blocks alike
            if (file.write(piece) != piece.size())
                fail(file.fileName() + QStringLiteral(": ") + file.errorString());
        }
    }
    const auto paths = [&](const QString& suffix) {
        QStringList list;
        for (const QString& movie : IntroSwitch::IntroMovies)
            list.append(mod + QLatin1Char('/') + movie + suffix);
        return list;
    };
    const QStringList sources = paths({});
    const QStringList offNames = paths(QStringLiteral(".OFF"));
    const QStringList cpNames = paths(QStringLiteral(".cp"));
    IntroSwitch intro;
    const auto reset = [&] {
        // Back to the start by renaming, so the movies keep their cached pages.
        for (qsizetype i = 0; i < sources.size(); ++i) {
            if (QFile::exists(offNames.at(i)) && !QFile::exists(sources.at(i)))
                QFile::rename(offNames.at(i), sources.at(i));
            QFile::remove(cpNames.at(i));
            QFile::remove(offNames.at(i));
            warm(sources.at(i));
        }
    };
    const auto cpAll = [&] {
        double total = 0;
        for (qsizetype i = 0; i < sources.size(); ++i) {
            const ProcessRun run = runProcess({QStringLiteral("cp"), sources.at(i), cpNames.at(i)});
            if (run.exitCode != 0)
                fail(QStringLiteral("cp failed"));
            total += run.ms;
        }
        return total;
    };
    // The switch itself (the renames and the folder's sync), failing the benchmark when any movie was not
    // moved whole. The switch writes no movie data, so against cp the goal is a small share of it.
    const Pair pair = measurePairs(
        runs, [&](bool) { reset(); },
        [&] {
            QStringList failures;
            const double ms = time([&] { failures = intro.RemoveIntro(mod).failures; });
            if (!failures.isEmpty())
                fail(failures.join(QLatin1Char(' ')));
            for (qsizetype i = 0; i < sources.size(); ++i) {
                if (QFileInfo(offNames.at(i)).size() != movieBytes || QFile::exists(sources.at(i)))
                    fail(QStringLiteral("a movie was not moved whole"));
            }
            return ms;
        },
        cpAll);
    removeTree(mod);
    const Stats c = summarise(pair.candidate);
    const Stats a = summarise(pair.anchor);
    printRow(QStringLiteral("Intro switch off (5 x %1 MB)").arg(movieBytes >> 20), c, QStringLiteral("cp x5"), &a,
             ratio(c.median, a.median, 3), QStringLiteral("<= 0.05x"), verdict(c.median, a.median, 0.05));
}

#if defined(GX_STARTUP_PROBE) && defined(GX_BARE_WINDOW) && defined(GX_TEXT_WINDOW)
// A home with 200 prefixes in the folders of every manager the search looks in, each holding what a new Wine
// prefix holds under its program-files folders, and the game in the default place of the last one: with no
// folder stored, start-up searches them all before the window is shown. One more prefix, for $WINEPREFIX,
// holds the game too: named, it is the first place looked at.
void makePrefixHome(const QString& home)
{
    const auto prefix = [](const QString& folder) {
        for (const char* programFiles : {"Program Files", "Program Files (x86)"}) {
            const QString base = folder + QStringLiteral("/drive_c/") + QLatin1String(programFiles);
            for (const char* sub :
                 {"/Common Files/Microsoft Shared", "/Common Files/System", "/Windows NT/Accessories"})
                QDir().mkpath(base + QLatin1String(sub));
            writeOrFail(base + QStringLiteral("/Internet Explorer/iexplore.exe"), "MZ");
            writeOrFail(base + QStringLiteral("/Windows Media Player/wmplayer.exe"), "MZ");
            writeOrFail(base + QStringLiteral("/Windows NT/Accessories/wordpad.exe"), "MZ");
        }
        return folder;
    };
    QByteArray vdf = "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + QFile::encodeName(home) +
                     "/.local/share/Steam\"\n\t}\n}\n";
    writeOrFail(home + QStringLiteral("/.local/share/Steam/steamapps/libraryfolders.vdf"), vdf);
    for (int i = 0; i < 200; ++i) {
        const QString n = QString::number(i);
        switch (i / 25) {
        case 0:
            writeOrFail(home + QStringLiteral("/.config/lutris/games/game-%1.yml").arg(n),
                        "game:\n  exe: game.exe\n  prefix: " +
                            QFile::encodeName(prefix(home + QStringLiteral("/lutris/game-") + n)) + "\n");
            break;
        case 1:
            prefix(home + QStringLiteral("/Games/game-") + n);
            break;
        case 2:
            prefix(home + QStringLiteral("/.local/share/bottles/bottles/bottle-") + n);
            break;
        case 3:
            prefix(home + QStringLiteral("/.PlayOnLinux/wineprefix/prefix-") + n);
            break;
        case 4:
        case 5:
            prefix(home + QStringLiteral("/.local/share/Steam/steamapps/compatdata/") + QString::number(1000 + i) +
                   QStringLiteral("/pfx"));
            break;
        case 6:
            prefix(home + QStringLiteral("/.cxoffice/bottle-") + n);
            break;
        default:
            prefix(home + QStringLiteral("/Games/Heroic/Prefixes/default/game-") + n);
            break;
        }
    }
    for (const char* installed : {"/Games/Heroic/Prefixes/default/game-199", "/wineprefix"}) {
        const QString error =
            DemoGame::create(home + QLatin1String(installed) + QStringLiteral("/drive_c/Program Files/") +
                             QLatin1String(StartUp::DefaultInstallFolder));
        if (!error.isEmpty())
            fail(error);
    }
}

void startUp(const QString& work, int runs)
{
    const QString game = work + QStringLiteral("/startup-game");
    const QString error = DemoGame::create(game);
    if (!error.isEmpty())
        fail(error);
    const QString config = work + QStringLiteral("/startup-config");
    writeOrFail(config + QStringLiteral("/GX3190_SP/GX3190_SP.conf"),
                QByteArray("[Paths]\nGXPath=") + QFile::encodeName(game) + "/\n");
    const QStringList environment{QStringLiteral("QT_QPA_PLATFORM=offscreen"),
                                  QStringLiteral("XDG_CONFIG_HOME=") + config};
    const QString home = work + QStringLiteral("/startup-home");
    makePrefixHome(home);
    const QString last = home + QStringLiteral("/Games/Heroic/Prefixes/default/game-199/drive_c/Program Files/") +
                         QLatin1String(StartUp::DefaultInstallFolder);
    const QString storedConfig = work + QStringLiteral("/startup-stored-config");
    writeOrFail(storedConfig + QStringLiteral("/GX3190_SP/GX3190_SP.conf"),
                QByteArray("[Paths]\nGXPath=") + QFile::encodeName(last) + "\n");
    const QString searchConfig = work + QStringLiteral("/startup-search-config");
    const QString searchStore = searchConfig + QStringLiteral("/GX3190_SP/GX3190_SP.conf");
    const auto homeEnvironment = [&](const QString& configFolder, const QString& winePrefix) {
        return QStringList{QStringLiteral("QT_QPA_PLATFORM=offscreen"),
                           QStringLiteral("XDG_CONFIG_HOME=") + configFolder, QStringLiteral("HOME=") + home,
                           QStringLiteral("WINEPREFIX=") + winePrefix};
    };
    const QString probe = QStringLiteral(GX_STARTUP_PROBE);
    const QString text = QStringLiteral(GX_TEXT_WINDOW);
    const QString bare = QStringLiteral(GX_BARE_WINDOW);
    const auto launchIn = [&](const QStringList& argv, long* rss, const QStringList& env) {
        const ProcessRun run = runProcess(argv, {}, env);
        if (run.exitCode != 0)
            fail(QStringLiteral("%1 ended with %2").arg(argv.join(QLatin1Char(' '))).arg(run.exitCode));
        if (rss)
            *rss = std::max(*rss, run.maxRssKb);
        return run.ms;
    };
    const auto launch = [&](const QStringList& argv, long* rss) { return launchIn(argv, rss, environment); };
    // Nothing is stored, so each start searches again, as the first start after an install does: in the last
    // of the 200 prefixes, or in the one $WINEPREFIX names.
    const auto launchSearch = [&](bool inLast) {
        QFile::remove(searchStore);
        const double ms = launchIn(
            {probe}, nullptr, homeEnvironment(searchConfig, inLast ? QString() : home + QStringLiteral("/wineprefix")));
        QSettings found(searchStore, QSettings::IniFormat);
        const QString stored = found.value(QLatin1String(StartUp::GamePathKey)).toString();
        if (!stored.contains(inLast ? QLatin1String("/game-199/") : QLatin1String("/wineprefix/")))
            fail(QStringLiteral("the search found the game in ") + stored);
        return ms;
    };
    // The first runs load the libraries from disk; the user's second start is what is timed.
    launch({probe}, nullptr);
    launchSearch(true);
    launch({text}, nullptr);
    launch({bare}, nullptr);
    long probeRss = 0;
    long textRss = 0;
    long bareRss = 0;
    long openRss = 0;
    // Each in turn, each of them first in as many rounds, so that none always runs after the same one.
    struct Kind
    {
        std::function<double()> launch;
        QList<double> samples;
    };
    QList<Kind> kinds{{[&] { return launch({probe}, &probeRss); }, {}},
                      {[&] { return launch({text}, &textRss); }, {}},
                      {[&] { return launch({bare}, &bareRss); }, {}},
                      {[&] { return launchIn({probe}, nullptr, homeEnvironment(storedConfig, {})); }, {}},
                      {[&] { return launchSearch(false); }, {}},
                      {[&] { return launchSearch(true); }, {}}};
    for (int run = 0; run < runs; ++run) {
        for (qsizetype step = 0; step < kinds.size(); ++step) {
            Kind& kind = kinds[(run + step) % kinds.size()];
            kind.samples.append(kind.launch());
        }
    }
    QList<double> opens;
    for (int run = 0; run < runs; ++run)
        opens.append(launch({probe, QStringLiteral("--open-mod")}, &openRss));
    removeTree(game);
    removeTree(config);
    removeTree(home);
    removeTree(storedConfig);
    removeTree(searchConfig);
    const Stats c = summarise(kinds.at(0).samples);
    const Stats t = summarise(kinds.at(1).samples);
    const Stats a = summarise(kinds.at(2).samples);
    const QString textName = QStringLiteral("window with text");
    const QString bareName = QStringLiteral("bare Qt window");
    printRow(QStringLiteral("Start-up to the mod selection shown"), c, textName, &t, ratio(c.median, t.median),
             QStringLiteral("<= 1.3x"), verdict(c.median, t.median, 1.3));
    const char* withPrefixes[] = {"Start-up, 200 prefixes present, the folder stored",
                                  "First start (nothing stored), 200 prefixes, the game in $WINEPREFIX",
                                  "First start (nothing stored), 200 prefixes, the game in the last one"};
    for (int i = 0; i < 3; ++i) {
        const Stats p = summarise(kinds.at(3 + i).samples);
        printRow(QLatin1String(withPrefixes[i]), p, textName, &t, ratio(p.median, t.median), QStringLiteral("<= 1.3x"),
                 verdict(p.median, t.median, 1.3));
    }
    printRow(QStringLiteral("Start-up to the mod selection shown"), c, bareName, &a, ratio(c.median, a.median),
             QStringLiteral("<= 2.0x"), verdict(c.median, a.median, 2.0));
    const Stats open = summarise(opens);
    printRow(QStringLiteral("Start-up and demo mod opened (main window shown)"), open, bareName, &a,
             ratio(open.median, a.median), {}, {});
    const auto mb = [](long kb) { return QString::number(double(kb) / 1024.0, 'f', 1); };
    std::printf("Peak memory (the ratio: demo mod open against the bare window): mod selection shown %s MB, demo mod "
                "open %s MB, window with text %s MB, bare Qt window %s MB|-|-|-|%s|-|-|-|%s|<= 1.6x|%s\n",
                qPrintable(mb(probeRss)), qPrintable(mb(openRss)), qPrintable(mb(textRss)), qPrintable(mb(bareRss)),
                qPrintable(bareName), qPrintable(ratio(double(openRss), double(bareRss))),
                qPrintable(verdict(double(openRss), double(bareRss), 1.6)));
}
#endif

} // namespace

int main(int argc, char** argv)
{
    // The program starts this way, so the operations are timed as it runs them.
    StartUp::prepareProcess();
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const auto wanted = [&args](const char* name) { return args.isEmpty() || args.contains(QLatin1String(name)); };
    const int runs =
        qEnvironmentVariableIntValue("GX_BENCH_RUNS") > 0 ? qEnvironmentVariableIntValue("GX_BENCH_RUNS") : 9;
    const qint64 movieMb =
        qEnvironmentVariableIntValue("GX_BENCH_MOVIE_MB") > 0 ? qEnvironmentVariableIntValue("GX_BENCH_MOVIE_MB") : 100;
    const QString base =
        qEnvironmentVariableIsSet("GX_BENCH_DIR") ? qEnvironmentVariable("GX_BENCH_DIR") : QDir::tempPath();
    QTemporaryDir dir(base + QStringLiteral("/gx3190-bench-XXXXXX"));
    if (!dir.isValid())
        fail(QStringLiteral("cannot make a work folder in ") + base);
    const QString work = dir.path();

    printHeader();
    if (wanted("level"))
        levelScenario(work, runs);
    if (wanted("level-source"))
        levelSourceScenario(work, runs);
    if (wanted("mod"))
        modLoadSave(work, std::max(runs, 15));
    if (wanted("intro"))
        introSwitch(work, std::max(3, runs / 2), movieMb << 20);
#if defined(GX_STARTUP_PROBE) && defined(GX_BARE_WINDOW) && defined(GX_TEXT_WINDOW)
    if (wanted("startup"))
        startUp(work, std::max(runs, 15));
#endif
    return 0;
}
