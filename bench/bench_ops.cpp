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
#include <QTemporaryDir>

#include <cstdio>

using namespace Bench;

namespace {

QString ratio(double candidate, double anchor, int decimals = 2)
{
    return anchor > 0 ? QString::number(candidate / anchor, 'f', decimals) + QLatin1Char('x') : QString();
}

QString verdict(double candidate, double anchor, double limit)
{
    return candidate <= anchor * limit ? QStringLiteral("yes") : QStringLiteral("NO");
}

void writeOrFail(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        Fail(path + QStringLiteral(": ") + file.errorString());
}

void removeTree(const QString& path)
{
    QDir dir(path);
    if (dir.exists() && !dir.removeRecursively())
        Fail(QStringLiteral("cannot remove ") + path);
}

// Reads a file once so that both sides start from the page cache.
void warm(const QString& path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        QByteArray block(1 << 20, Qt::Uninitialized);
        while (file.read(block.data(), block.size()) > 0) {
        }
    }
}

// Level script text, varied enough that deflate works as on real level files.
QByteArray levelText(QRandomGenerator& random, qsizetype size)
{
    static const char* const verbs[] = {"ObjectTemplate.create", "Object.absolutePosition",
                                        "Object.rotation",       "ObjectTemplate.setNetworkableInfo",
                                        "Overgrowth.density",    "gameLogic.setDefaultNumberOfTicketsEx",
                                        "SoundSettings.ambient"};
    QByteArray text;
    text.reserve(size + 128);
    while (text.size() < size) {
        text += verbs[random.bounded(7)];
        text += ' ';
        text += QByteArray::number(random.bounded(4000));
        text += '/';
        text += QByteArray::number(random.bounded(200));
        text += '/';
        text += QByteArray::number(random.bounded(4000));
        text += "\r\n";
    }
    text.truncate(size);
    return text;
}

QByteArray noise(QRandomGenerator& random, qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

struct LevelArchive
{
    QString label;
    QString path;
    int members = 0;
};

// Two thirds script text, one third incompressible (textures, sounds), in ten folders, plus Init.CON.
LevelArchive makeArchive(const QString& folder, const QString& label, int members, qint64 contentBytes)
{
    QRandomGenerator random{static_cast<quint32>(members)};
    QList<QPair<QString, QByteArray>> entries;
    entries.append({QStringLiteral("Init.CON"), DemoGame::InitCon(0)});
    const qsizetype each = contentBytes / members;
    for (int i = 1; i < members; ++i) {
        const QString name = QStringLiteral("Part%1/Object%2.%3")
                                 .arg(i % 10)
                                 .arg(i)
                                 .arg(i % 3 ? QStringLiteral("con") : QStringLiteral("dds"));
        entries.append({name, i % 3 ? levelText(random, each) : noise(random, each)});
    }
    LevelArchive archive{label, folder + QStringLiteral("/server-") + label + QStringLiteral(".ZIP"), members};
    const QString error = DemoGame::WriteZip(archive.path, entries);
    if (!error.isEmpty())
        Fail(error);
    return archive;
}

QString sizeText(const QString& path)
{
    return QString::number(double(QFileInfo(path).size()) / (1024.0 * 1024.0), 'f', 1) + QStringLiteral(" MB");
}

void levelOpen(const QString& work, const LevelArchive& archive, int runs)
{
    ZipArchive zip;
    const QString mine = work + QStringLiteral("/open-editor");
    const QString theirs = work + QStringLiteral("/open-unzip");
    warm(archive.path);
    const Pair pair = MeasurePairs(
        runs,
        [&](bool) {
            removeTree(mine);
            removeTree(theirs);
            QDir().mkpath(mine);
            QDir().mkpath(theirs);
        },
        [&] {
            ExtractResult result;
            const double ms = Time([&] { result = zip.ExtractArchive(archive.path, mine); });
            if (!result.ok() || result.files.size() != archive.members)
                Fail(QStringLiteral("extract failed: ") + result.error);
            return ms;
        },
        [&] {
            const ProcessRun run = Run({QStringLiteral("unzip"), QStringLiteral("-o"), QStringLiteral("-q"),
                                        archive.path, QStringLiteral("-d"), theirs});
            if (run.exitCode != 0)
                Fail(QStringLiteral("unzip failed"));
            return run.ms;
        });
    removeTree(mine);
    removeTree(theirs);
    const Stats c = Summarise(pair.candidate);
    const Stats a = Summarise(pair.anchor);
    PrintRow(QStringLiteral("Level open %1 (%2, %3 members)")
                 .arg(archive.label, sizeText(archive.path))
                 .arg(archive.members),
             c, QStringLiteral("unzip -o -q"), &a, ratio(c.median, a.median), QStringLiteral("<= 1.0x"),
             verdict(c.median, a.median, 1.0));
}

void levelSave(const QString& work, const LevelArchive& archive, int runs)
{
    ZipArchive zip;
    const QString folder = work + QStringLiteral("/save");
    QDir().mkpath(folder);
    const QString init = folder + QStringLiteral("/Init.CON");
    writeOrFail(init, DemoGame::InitCon(3).replace("rem end", "rem edited end"));
    // zip -u replaces only what is newer than the entry.
    QFile initFile(init);
    initFile.open(QIODevice::ReadWrite);
    initFile.setFileTime(QDateTime::currentDateTime().addSecs(120), QFileDevice::FileModificationTime);
    initFile.close();
    const QString mine = folder + QStringLiteral("/editor.ZIP");
    const QString theirs = folder + QStringLiteral("/zip.ZIP");
    warm(archive.path);
    const Pair pair = MeasurePairs(
        runs,
        [&](bool candidateNext) {
            const QString copy = candidateNext ? mine : theirs;
            QFile::remove(copy);
            if (!QFile::copy(archive.path, copy))
                Fail(QStringLiteral("cannot copy the archive"));
            warm(copy);
        },
        [&] {
            UpdateResult result;
            const double ms = Time([&] { result = zip.UpdateArchive(mine, folder, QStringLiteral("Init.CON")); });
            if (!result.ok())
                Fail(QStringLiteral("update failed: ") + result.error);
            return ms;
        },
        [&] {
            const ProcessRun run = Run({QStringLiteral("zip"), QStringLiteral("-9"), QStringLiteral("-u"),
                                        QStringLiteral("-q"), theirs, QStringLiteral("Init.CON")},
                                       folder);
            if (run.exitCode != 0)
                Fail(QStringLiteral("zip -u did not update (exit %1)").arg(run.exitCode));
            return run.ms;
        });
    removeTree(folder);
    const Stats c = Summarise(pair.candidate);
    const Stats a = Summarise(pair.anchor);
    PrintRow(QStringLiteral("Level save %1 (replace Init.CON)").arg(archive.label), c, QStringLiteral("zip -9 -u"), &a,
             ratio(c.median, a.median), QStringLiteral("<= 1.0x"), verdict(c.median, a.median, 1.0));
}

void writeModFiles(const QString& mod, int scale)
{
    QStringList names;
    for (int i = 0; i < scale; ++i) {
        for (const QString& name : DemoGame::BotNames)
            names.append(scale > 1 ? name + QString::number(i) : name);
    }
    writeOrFail(mod + QStringLiteral("/AI/BotNames.AI"), DemoGame::BotNamesFile(names));
    writeOrFail(mod + QStringLiteral("/AI/AIDefault.AI"), DemoGame::AIDefault(scale));
    writeOrFail(mod + QStringLiteral("/Settings/ServerSettings.CON"), DemoGame::ServerSettings(scale));
    writeOrFail(mod + QStringLiteral("/python/game/scoringCommon.py"), DemoGame::ScoringScript(scale));
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
    const QString error = DemoGame::Create(game);
    if (!error.isEmpty())
        Fail(error);
    const QString mod = game + QStringLiteral("/mods/") + DemoGame::CompleteMod;
    double loadAtOne = 0;
    double saveAtOne = 0;
    for (const int scale : {1, 10, 100}) {
        writeModFiles(mod, scale);
        const qint64 bytes = modBytes(mod);
        ModSettings settings;
        settings.ModFolder = mod;
        QList<double> loads;
        QList<double> saves;
        for (int run = 0; run < runs; ++run) {
            LoadReport loaded;
            loads.append(Time([&] { loaded = ModFiles::LoadMod(settings); }));
            if (!loaded.unreadableFiles.isEmpty() || settings.BotNames().size() != 6 * scale)
                Fail(QStringLiteral("the mod did not load"));
            // Every save really changes every section, so the replacements run and all four files are written.
            const QString value = QString::number(run % 2 ? 40 : 60);
            for (FriendlyFire which : ModFiles::AllFriendlyFire)
                settings.setFriendlyFire(which, value);
            settings.setMaxBots(value);
            settings.setBotSkill(value);
            settings.setScoreValue(0, run);
            sync();
            SaveReport saved;
            saves.append(Time([&] { saved = ModFiles::SaveMod(settings, ModFileSet::all()); }));
            if (!saved.failedFiles.isEmpty() || saved.savedFiles.size() != 4)
                Fail(QStringLiteral("the mod did not save: ") + saved.failedFiles.join(QLatin1Char(' ')));
        }
        const Stats load = Summarise(loads);
        const Stats save = Summarise(saves);
        const QString size = QString::number(double(bytes) / 1024.0, 'f', 0) + QStringLiteral(" KB");
        if (scale == 1) {
            loadAtOne = load.median;
            saveAtOne = save.median;
            PrintRow(QStringLiteral("Mod load 1x (%1, four files)").arg(size), load, {}, nullptr, {},
                     QStringLiteral("<= 5 ms"), load.median <= 5 ? QStringLiteral("yes") : QStringLiteral("NO"));
            PrintRow(QStringLiteral("Mod save 1x (%1, four files, each fsynced)").arg(size), save, {}, nullptr, {},
                     QStringLiteral("<= 5 ms"), save.median <= 5 ? QStringLiteral("yes") : QStringLiteral("NO"));
        } else {
            const auto growth = [scale](double at, double one) {
                return QStringLiteral("%1x of 1x").arg(one > 0 ? at / one : 0, 0, 'f', 1);
            };
            const QString linear = QStringLiteral("<= %1x of 1x").arg(scale);
            PrintRow(QStringLiteral("Mod load %1x (%2)").arg(scale).arg(size), load, {}, nullptr,
                     growth(load.median, loadAtOne), linear,
                     load.median <= loadAtOne * scale ? QStringLiteral("yes") : QStringLiteral("NO"));
            PrintRow(QStringLiteral("Mod save %1x (%2, fsynced)").arg(scale).arg(size), save, {}, nullptr,
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
            Fail(file.fileName() + QStringLiteral(": ") + file.errorString());
        for (qint64 written = 0; written < movieBytes; written += block.size()) {
            QByteArray piece = block;
            piece[0] = char(written >> 20); // no two blocks alike
            if (file.write(piece) != piece.size())
                Fail(file.fileName() + QStringLiteral(": ") + file.errorString());
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
            const ProcessRun run = Run({QStringLiteral("cp"), sources.at(i), cpNames.at(i)});
            if (run.exitCode != 0)
                Fail(QStringLiteral("cp failed"));
            total += run.ms;
        }
        return total;
    };
    // The switch itself (the renames and the folder's sync), failing the benchmark when any movie was not
    // moved whole. The switch writes no movie data, so against cp the goal is a small share of it.
    const Pair pair = MeasurePairs(
        runs, [&](bool) { reset(); },
        [&] {
            QStringList failures;
            const double ms = Time([&] { failures = intro.RemoveIntro(mod); });
            if (!failures.isEmpty())
                Fail(failures.join(QLatin1Char(' ')));
            for (qsizetype i = 0; i < sources.size(); ++i) {
                if (QFileInfo(offNames.at(i)).size() != movieBytes || QFile::exists(sources.at(i)))
                    Fail(QStringLiteral("a movie was not moved whole"));
            }
            return ms;
        },
        cpAll);
    removeTree(mod);
    const Stats c = Summarise(pair.candidate);
    const Stats a = Summarise(pair.anchor);
    PrintRow(QStringLiteral("Intro switch off (5 x %1 MB)").arg(movieBytes >> 20), c, QStringLiteral("cp x5"), &a,
             ratio(c.median, a.median, 3), QStringLiteral("<= 0.05x"), verdict(c.median, a.median, 0.05));
}

#if defined(GX_STARTUP_PROBE) && defined(GX_BARE_WINDOW) && defined(GX_TEXT_WINDOW)
void startUp(const QString& work, int runs)
{
    const QString game = work + QStringLiteral("/startup-game");
    const QString error = DemoGame::Create(game);
    if (!error.isEmpty())
        Fail(error);
    const QString config = work + QStringLiteral("/startup-config");
    writeOrFail(config + QStringLiteral("/GX3190_SP/GX3190_SP.conf"),
                QByteArray("[Paths]\nGXPath=") + QFile::encodeName(game) + "/\n");
    const QStringList environment{QStringLiteral("QT_QPA_PLATFORM=offscreen"),
                                  QStringLiteral("XDG_CONFIG_HOME=") + config};
    const QString probe = QStringLiteral(GX_STARTUP_PROBE);
    const QString text = QStringLiteral(GX_TEXT_WINDOW);
    const QString bare = QStringLiteral(GX_BARE_WINDOW);
    const auto launch = [&](const QStringList& argv, long* rss) {
        const ProcessRun run = Run(argv, {}, environment);
        if (run.exitCode != 0)
            Fail(QStringLiteral("%1 ended with %2").arg(argv.join(QLatin1Char(' '))).arg(run.exitCode));
        if (rss)
            *rss = std::max(*rss, run.maxRssKb);
        return run.ms;
    };
    // The first runs load the libraries from disk; the user's second start is what is timed.
    launch({probe}, nullptr);
    launch({text}, nullptr);
    launch({bare}, nullptr);
    long probeRss = 0;
    long textRss = 0;
    long bareRss = 0;
    long openRss = 0;
    // The three in turn, each of them first in a third of the rounds, so that none always runs after the same one.
    QList<double> probes;
    QList<double> texts;
    QList<double> bares;
    for (int run = 0; run < runs; ++run) {
        for (int step = 0; step < 3; ++step) {
            switch ((run + step) % 3) {
            case 0:
                probes.append(launch({probe}, &probeRss));
                break;
            case 1:
                texts.append(launch({text}, &textRss));
                break;
            default:
                bares.append(launch({bare}, &bareRss));
                break;
            }
        }
    }
    QList<double> opens;
    for (int run = 0; run < runs; ++run)
        opens.append(launch({probe, QStringLiteral("--open-mod")}, &openRss));
    removeTree(game);
    removeTree(config);
    const Stats c = Summarise(probes);
    const Stats t = Summarise(texts);
    const Stats a = Summarise(bares);
    const QString textName = QStringLiteral("window with text");
    const QString bareName = QStringLiteral("bare Qt window");
    PrintRow(QStringLiteral("Start-up to the mod selection shown"), c, textName, &t, ratio(c.median, t.median),
             QStringLiteral("<= 1.3x"), verdict(c.median, t.median, 1.3));
    PrintRow(QStringLiteral("Start-up to the mod selection shown"), c, bareName, &a, ratio(c.median, a.median),
             QStringLiteral("<= 2.0x"), verdict(c.median, a.median, 2.0));
    const Stats open = Summarise(opens);
    PrintRow(QStringLiteral("Start-up and demo mod opened (main window shown)"), open, bareName, &a,
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
    StartUp::PrepareProcess();
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
        Fail(QStringLiteral("cannot make a work folder in ") + base);
    const QString work = dir.path();

    PrintHeader();
    if (wanted("level")) {
        const QString archives = work + QStringLiteral("/archives");
        const QList<LevelArchive> sizes{makeArchive(archives, QStringLiteral("small"), 50, qint64(2) << 20),
                                        makeArchive(archives, QStringLiteral("medium"), 500, qint64(40) << 20),
                                        makeArchive(archives, QStringLiteral("large"), 5000, qint64(200) << 20)};
        for (const LevelArchive& archive : sizes)
            levelOpen(work, archive, runs);
        for (const LevelArchive& archive : sizes)
            levelSave(work, archive, runs);
        removeTree(archives);
    }
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
