// Fault injection for the editor's writes, reported as figures:
//   gx3190-faults kill-saves [COUNT [DIR]]   mod saves killed with SIGKILL at random moments
//   gx3190-faults kill-level [COUNT [DIR]]   level archive updates killed the same way
//   gx3190-faults kill-intro [COUNT [DIR]]   the intro switch killed the same way
//   gx3190-faults disk-full DIR              saves on a full file system (DIR on a tiny tmpfs)
// After every kill each file must be the old or the new version, whole. Exit status 0 when nothing was
// torn or lost. A kill run works in a temporary folder of its own unless DIR is given, and keeps it when it
// found something. Each kill run prints the seed of its kill moments; GX_FAULT_SEED=N runs with seed N.
#include "core/AtomicFile.h"
#include "levels/ZipArchive.h"
#include "modfiles/ModFiles.h"
#include "modfiles/ModSettings.h"
#include "movies/IntroSwitch.h"
#include "tools/demogame/DemoGame.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <csignal>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QTextStream out(stdout);

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QString makeGame(const QString& dir)
{
    QDir(dir).removeRecursively();
    const QString error = DemoGame::create(dir);
    if (!error.isEmpty()) {
        out << "cannot make the demo game: " << error << Qt::endl;
        std::exit(2);
    }
    return QDir(dir).absolutePath() + QStringLiteral("/mods/") + DemoGame::CompleteMod;
}

// The kill moments of a run come from one seed, printed first, so that a run that found something can be
// replayed: GX_FAULT_SEED set to the printed number draws the same moments again.
QRandomGenerator killMoments(const char* kind)
{
    bool given = false;
    quint32 seed = qEnvironmentVariable("GX_FAULT_SEED").toUInt(&given);
    if (!given)
        seed = QRandomGenerator::system()->generate();
    out << kind << ": seed " << seed << " (GX_FAULT_SEED=" << seed << " replays these kill moments)" << Qt::endl;
    return QRandomGenerator(seed);
}

// Runs step() in a child process forever and kills it after a random delay, count times; check() is
// called after each kill and returns the number of torn or lost files it found. The delays spread over a
// few rounds of step(), timed here first, so that kills land at every point of a save. Each delay is drawn
// as a share of those rounds, so a replay kills at the same points of the work as far as timing allows.
int killLoop(const char* kind, int count, const std::function<void(int)>& step, const std::function<int()>& check)
{
    QRandomGenerator random = killMoments(kind);
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; round < 4; ++round)
        step(round);
    const qint64 roundUs = std::max<qint64>(timer.nsecsElapsed() / 4000, 50);
    int torn = 0;
    for (int i = 0; i < count; ++i) {
        const pid_t child = fork();
        if (child == 0) {
            for (int round = 0;; ++round)
                step(round);
        }
        usleep(static_cast<useconds_t>(random.generateDouble() * double(roundUs * 3)));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        torn += check();
    }
    out << "  (one round " << roundUs << " us, kills spread over 0.." << roundUs * 3 << " us)" << Qt::endl;
    return torn;
}

void setVersion(ModSettings& mod, int version)
{
    const int v = version ? 60 : 40;
    for (FriendlyFire which : ModFiles::AllFriendlyFire)
        mod.setValue(ModFiles::friendlyFireValue(which), v);
    mod.setValue(ModFiles::maxBotsValue(), version ? 64 : 16);
    mod.setValue(ModFiles::botSkillValue(), version ? 90 : 10);
    mod.setScoreValue(0, version ? 9 : -9);
    QStringList names = DemoGame::BotNames;
    if (version)
        names.append(QStringLiteral("Version B"));
    mod.setBotNames(names);
}

int killSaves(const QString& dir, int count)
{
    const QString modFolder = makeGame(dir);
    ModSettings mod;
    ModFiles::LoadMod(mod, modFolder);
    // The two versions every file may hold after a kill.
    QList<QByteArray> versions[4];
    for (int version : {1, 0}) {
        setVersion(mod, version);
        ModFiles::SaveMod(mod, ModFileSet::all());
        for (ModFile file : ModFiles::AllModFiles)
            versions[static_cast<int>(file)].append(readBytes(mod.filePath(file)));
    }
    // The files beside the four mod files that are not one of them.
    const auto strayFiles = [&mod] {
        QSet<QString> folders;
        QSet<QString> modFiles;
        for (ModFile file : ModFiles::AllModFiles) {
            const QFileInfo info(mod.filePath(file));
            folders.insert(info.absolutePath());
            modFiles.insert(info.absoluteFilePath());
        }
        QSet<QString> stray;
        for (const QString& folder : folders) {
            for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
                if (!modFiles.contains(folder + QLatin1Char('/') + name))
                    stray.insert(folder + QLatin1Char('/') + name);
            }
        }
        return stray;
    };
    QSet<QString> leftBehind; // each counted once, though a kill may come before the load that removes it
    const int torn = killLoop(
        "kill-saves", count,
        [&](int round) {
            ModSettings child;
            ModFiles::LoadMod(child, modFolder);
            setVersion(child, round % 2);
            ModFiles::SaveMod(child, ModFileSet::all());
        },
        [&] {
            int bad = 0;
            for (ModFile file : ModFiles::AllModFiles) {
                if (!versions[static_cast<int>(file)].contains(readBytes(mod.filePath(file))))
                    ++bad;
            }
            leftBehind.unite(strayFiles());
            return bad;
        });
    // Each round's load has removed what the kill before it left; the last kill's leftovers go with the next.
    ModFiles::LoadMod(mod, modFolder);
    const auto remaining = static_cast<int>(strayFiles().size());
    out << "kill-saves: " << count << " kills, " << torn << " torn files, " << leftBehind.size()
        << " temporary files left by the kills, " << remaining << " after the next load" << Qt::endl;
    return torn + remaining;
}

int killLevel(const QString& dir, int count)
{
    const QString modFolder = makeGame(dir);
    const QString level = modFolder + QStringLiteral("/Levels/Varnholm/");
    const QString archive = level + QStringLiteral("server.ZIP");
    const QString temp = level + QStringLiteral("TEMP/");
    ZipArchive zip;
    const QByteArray initA = DemoGame::initCon(0);
    const QByteArray initB = QByteArray(initA).replace("TicketsEx 16 1 100", "TicketsEx 16 1 999");
    QList<QByteArray> members; // the other members, which must survive every kill
    if (!zip.ExtractArchive(archive, temp).ok())
        return 1;
    for (const QString& name : QDir(temp).entryList(QDir::Files))
        members.append(readBytes(temp + name));
    // The new archives that kills left beside the old one, by the mark of the program's saves.
    const auto leftovers = [&level] {
        const QStringList names = QDir(level).entryList(
            {QStringLiteral("server.ZIP") + FileSystem::SaveTemporaryMark + QLatin1Char('*')}, QDir::Files);
        return QSet<QString>(names.cbegin(), names.cend());
    };
    QSet<QString> leftBehind;
    const int torn = killLoop(
        "kill-level", count,
        [&](int round) {
            const QString work = level + QStringLiteral("WORK/");
            QDir().mkpath(work);
            writeBytes(work + QStringLiteral("Init.CON"), round % 2 ? initA : initB);
            zip.UpdateArchive(archive, work, work + QStringLiteral("Init.CON"));
        },
        [&] {
            const QString check = level + QStringLiteral("CHECK/");
            QDir(check).removeRecursively();
            const ExtractResult result = zip.ExtractArchive(archive, check);
            leftBehind.unite(leftovers());
            const QByteArray init = readBytes(check + QStringLiteral("Init.CON"));
            // A member skipped as damaged counts as torn: extraction goes on past it.
            if (!result.ok() || !result.skipped.isEmpty() || (init != initA && init != initB))
                return 1;
            QList<QByteArray> now;
            for (const QString& name : QDir(check).entryList(QDir::Files))
                now.append(name == QStringLiteral("Init.CON") ? readBytes(temp + name) : readBytes(check + name));
            return now == members ? 0 : 1;
        });
    // What the next opening of the level removes before it extracts (LevelWorkflow::OpenLevel).
    FileSystem::removeSaveLeftovers(archive);
    const auto remaining = static_cast<int>(leftovers().size());
    out << "kill-level: " << count << " kills, " << torn << " torn archives, " << leftBehind.size()
        << " temporary files left by the kills, " << remaining << " after the next opening" << Qt::endl;
    return torn + remaining;
}

int killIntro(const QString& dir, int count)
{
    const QString modFolder = makeGame(dir);
    QMap<QString, QByteArray> contents;
    for (const QString& movie : IntroSwitch::IntroMovies)
        contents[movie] = readBytes(modFolder + QLatin1Char('/') + movie);
    const int lost = killLoop(
        "kill-intro", count,
        [&](int round) {
            IntroSwitch intro;
            if (round % 2 == 0)
                intro.RemoveIntro(modFolder);
            else
                intro.RestoreIntro(modFolder);
        },
        [&] {
            int bad = 0;
            for (const QString& movie : IntroSwitch::IntroMovies) {
                const QString on = modFolder + QLatin1Char('/') + movie;
                const QString off = on + QStringLiteral(".OFF");
                const bool onWhole = QFile::exists(on) && readBytes(on) == contents[movie];
                const bool offWhole = QFile::exists(off) && readBytes(off) == contents[movie];
                // Lost when neither name holds it whole, torn when a present name holds something else.
                if ((!onWhole && !offWhole) || (QFile::exists(on) && !onWhole) || (QFile::exists(off) && !offWhole))
                    ++bad;
            }
            return bad;
        });
    out << "kill-intro: " << count << " kills, " << lost << " movies lost or torn" << Qt::endl;
    return lost;
}

int diskFull(const QString& dir)
{
    // Only the four files and one level: the whole demo game would not fit the tiny file system.
    const QString modFolder = QDir(dir).absolutePath() + QStringLiteral("/mod");
    QDir().mkpath(modFolder + QStringLiteral("/AI"));
    QDir().mkpath(modFolder + QStringLiteral("/Settings"));
    QDir().mkpath(modFolder + QStringLiteral("/python/game"));
    QDir().mkpath(modFolder + QStringLiteral("/Levels/Tovary"));
    writeBytes(modFolder + QStringLiteral("/AI/BotNames.AI"), DemoGame::botNamesFile(DemoGame::BotNames));
    writeBytes(modFolder + QStringLiteral("/AI/AIDefault.AI"), DemoGame::aiDefault());
    writeBytes(modFolder + QStringLiteral("/Settings/ServerSettings.CON"), DemoGame::serverSettings());
    writeBytes(modFolder + QStringLiteral("/python/game/scoringCommon.py"), DemoGame::scoringScript());
    QDir().mkpath(modFolder + QStringLiteral("/Movies"));
    const QByteArray movie(20000, 'm');
    writeBytes(modFolder + QStringLiteral("/Movies/Intro.bik"), movie);
    writeBytes(modFolder + QStringLiteral("/Movies/KV.bik"), movie);
    const QString archive = modFolder + QStringLiteral("/Levels/Tovary/server.ZIP");
    DemoGame::writeZip(archive, {{QStringLiteral("Init.CON"), DemoGame::initCon(4)}});

    ModSettings mod;
    ModFiles::LoadMod(mod, modFolder);
    QList<QByteArray> before;
    for (ModFile file : ModFiles::AllModFiles)
        before.append(readBytes(mod.filePath(file)));
    const QByteArray archiveBefore = readBytes(archive);
    setVersion(mod, 1);

    // Fill the file system to the last byte.
    const QString filler = dir + QStringLiteral("/filler");
    {
        QFile file(filler);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return 1;
        const QByteArray block(4096, 'x');
        while (file.write(block) == block.size()) {
        }
        while (file.write("x", 1) == 1) {
        }
    }
    out << "disk-full: filled the file system with " << QFileInfo(filler).size() << " bytes" << Qt::endl;
    const SaveReport full = ModFiles::SaveMod(mod, ModFileSet::all());
    for (const QString& line : full.failedFiles)
        out << "  not saved: " << line << Qt::endl;
    ZipArchive zip;
    const QString work = modFolder + QStringLiteral("/work/");
    QDir().mkpath(work);
    QByteArray newInit = DemoGame::initCon(4).replace("TicketsEx 16 1 140", "TicketsEx 16 1 777");
    const bool initWritten = FileSystem::writeFileAtomically(work + QStringLiteral("Init.CON"), newInit).isEmpty();
    const UpdateResult fullUpdate = zip.UpdateArchive(archive, work, work + QStringLiteral("Init.CON"));
    // The intro switch renames, which needs no room: each movie must be moved, or kept whole and reported.
    IntroSwitch intro;
    const QStringList introFailures = intro.RemoveIntro(modFolder).failures;
    int moviesMoved = 0;
    int moviesKept = 0;
    for (const char* name : {"Intro.bik", "KV.bik"}) {
        const QString on = modFolder + QStringLiteral("/Movies/") + QLatin1String(name);
        const QString off = on + QStringLiteral(".OFF");
        moviesMoved += readBytes(off) == movie && !QFile::exists(on) ? 1 : 0;
        moviesKept += readBytes(on) == movie && !QFile::exists(off) ? 1 : 0;
    }
    const bool introOk = moviesMoved + moviesKept == 2 && introFailures.size() == moviesKept;
    out << "disk-full: intro switch moved " << moviesMoved << " of 2 movies whole, kept " << moviesKept
        << " whole under their old names and reported " << introFailures.size() << Qt::endl;
    int whole = 0;
    for (ModFile file : ModFiles::AllModFiles)
        whole += readBytes(mod.filePath(file)) == before.at(static_cast<int>(file)) ? 1 : 0;
    const bool archiveWhole = readBytes(archive) == archiveBefore;
    out << "disk-full: " << full.failedFiles.size() << " of 4 mod files reported as not saved, " << whole
        << " of 4 kept whole; Init.CON written: " << (initWritten ? "yes" : "no") << ", archive update "
        << (fullUpdate.ok() ? "reported success" : "reported failure")
        << ", archive whole: " << (archiveWhole ? "yes" : "no") << Qt::endl;

    QFile::remove(filler);
    const SaveReport again = ModFiles::SaveMod(mod, ModFileSet::all());
    writeBytes(work + QStringLiteral("Init.CON"), newInit);
    const UpdateResult againUpdate = zip.UpdateArchive(archive, work, work + QStringLiteral("Init.CON"));
    out << "disk-full: with space back, " << again.savedFiles.size() << " of 4 saved, archive update "
        << (againUpdate.ok() ? "succeeded" : "failed") << Qt::endl;
    // On a full disk every save must fail and leave its file whole, and each movie be moved or reported; with
    // space back all saves must succeed.
    const bool ok = full.failedFiles.size() == 4 && whole == 4 && !initWritten && (fullUpdate.ok() || archiveWhole) &&
                    introOk && again.savedFiles.size() == 4 && againUpdate.ok();
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString command = args.value(1);
    if (command == QLatin1String("disk-full") && args.size() == 3)
        return diskFull(args.at(2));
    const QMap<QString, int (*)(const QString&, int)> kills{{QStringLiteral("kill-saves"), killSaves},
                                                            {QStringLiteral("kill-level"), killLevel},
                                                            {QStringLiteral("kill-intro"), killIntro}};
    if (kills.contains(command) && args.size() <= 4) {
        QTemporaryDir scratch;
        const QString dir = args.size() > 3 ? args.at(3) : scratch.filePath(QStringLiteral("game"));
        if (kills.value(command)(dir, args.size() > 2 ? args.at(2).toInt() : 1000) == 0)
            return 0;
        if (args.size() <= 3) {
            scratch.setAutoRemove(false);
            out << command << ": the files are kept in " << dir << Qt::endl;
        }
        return 1;
    }
    out << "usage: gx3190-faults kill-saves|kill-level|kill-intro [COUNT [DIR]] | disk-full DIR" << Qt::endl;
    return 2;
}
