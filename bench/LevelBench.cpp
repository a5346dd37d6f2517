// Opening and saving a level, each against the tool a user would otherwise run on the archive.
#include "bench/BenchTiming.h"

#include "core/DiskSync.h"
#include "levels/ZipArchive.h"
#include "tools/demogame/DemoGame.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <zip.h>

#include <functional>

namespace Bench {

namespace {

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
    entries.append({QStringLiteral("Init.CON"), DemoGame::initCon(0)});
    const qsizetype each = contentBytes / members;
    for (int i = 1; i < members; ++i) {
        const QString name = QStringLiteral("Part%1/Object%2.%3")
                                 .arg(i % 10)
                                 .arg(i)
                                 .arg(i % 3 ? QStringLiteral("con") : QStringLiteral("dds"));
        entries.append({name, i % 3 ? levelText(random, each) : noise(random, each)});
    }
    LevelArchive archive{label, folder + QStringLiteral("/server-") + label + QStringLiteral(".ZIP"), members};
    const QString error = DemoGame::writeZip(archive.path, entries);
    if (!error.isEmpty())
        fail(error);
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
    const Pair pair = measurePairs(
        runs,
        [&](bool) {
            removeTree(mine);
            removeTree(theirs);
            QDir().mkpath(mine);
            QDir().mkpath(theirs);
        },
        [&] {
            ExtractResult result;
            const double ms = time([&] { result = zip.ExtractArchive(archive.path, mine); });
            if (!result.ok() || result.files.size() != archive.members)
                fail(QStringLiteral("extract failed: ") + result.error);
            return ms;
        },
        [&] {
            const ProcessRun run = runProcess({QStringLiteral("unzip"), QStringLiteral("-o"), QStringLiteral("-q"),
                                               archive.path, QStringLiteral("-d"), theirs});
            if (run.exitCode != 0)
                fail(QStringLiteral("unzip failed"));
            return run.ms;
        });
    removeTree(mine);
    removeTree(theirs);
    const Stats c = summarise(pair.candidate);
    const Stats a = summarise(pair.anchor);
    printRow(QStringLiteral("Level open %1 (%2, %3 members)")
                 .arg(archive.label, sizeText(archive.path))
                 .arg(archive.members),
             c, QStringLiteral("unzip -o -q"), &a, ratio(c.median, a.median), QStringLiteral("<= 1.0x"),
             verdict(c.median, a.median, 1.0));
}

// Times the editor's save of the Init.CON in folder into a fresh copy of the archive against anchor's update of
// another fresh copy (named theirsName in folder), run by run in turn.
Pair measureEditorSave(const LevelArchive& archive, const QString& folder, const QString& theirsName, int runs,
                       const std::function<double(const QString& theirs)>& anchor)
{
    ZipArchive zip;
    const QString mine = folder + QStringLiteral("/editor.ZIP");
    const QString theirs = folder + QLatin1Char('/') + theirsName;
    warm(archive.path);
    return measurePairs(
        runs,
        [&](bool candidateNext) {
            const QString copy = candidateNext ? mine : theirs;
            QFile::remove(copy);
            if (!QFile::copy(archive.path, copy))
                fail(QStringLiteral("cannot copy the archive"));
            warm(copy);
        },
        [&] {
            UpdateResult result;
            const double ms = time([&] { result = zip.UpdateArchive(mine, folder, QStringLiteral("Init.CON")); });
            if (!result.ok())
                fail(QStringLiteral("update failed: ") + result.error);
            return ms;
        },
        [&] { return anchor(theirs); });
}

void levelSave(const QString& work, const LevelArchive& archive, int runs)
{
    const QString folder = work + QStringLiteral("/save");
    QDir().mkpath(folder);
    const QString init = folder + QStringLiteral("/Init.CON");
    writeOrFail(init, DemoGame::initCon(3).replace("rem end", "rem edited end"));
    // zip -u replaces only what is newer than the entry.
    QFile initFile(init);
    initFile.open(QIODevice::ReadWrite);
    initFile.setFileTime(QDateTime::currentDateTime().addSecs(120), QFileDevice::FileModificationTime);
    initFile.close();
    const Pair pair = measureEditorSave(archive, folder, QStringLiteral("zip.ZIP"), runs, [&](const QString& theirs) {
        const ProcessRun run = runProcess({QStringLiteral("zip"), QStringLiteral("-9"), QStringLiteral("-u"),
                                           QStringLiteral("-q"), theirs, QStringLiteral("Init.CON")},
                                          folder);
        if (run.exitCode != 0)
            fail(QStringLiteral("zip -u did not update (exit %1)").arg(run.exitCode));
        return run.ms;
    });
    removeTree(folder);
    const Stats c = summarise(pair.candidate);
    const Stats a = summarise(pair.anchor);
    printRow(QStringLiteral("Level save %1 (replace Init.CON)").arg(archive.label), c, QStringLiteral("zip -9 -u"), &a,
             ratio(c.median, a.median), QStringLiteral("<= 1.0x"), verdict(c.median, a.median, 1.0));
}

// The steps of ZipArchive::UpdateArchive for an archive with one Init.CON, through libzip's own file source
// (zip_source_file_create, what Windows uses through zip_source_win32w_create). That source renames its
// temporary file over the archive inside zip_close and cannot flush it first, so the result is flushed after
// the close, and its folder synced, as the editor's own source does before and after its rename.
void updateThroughLibzipSource(const QString& archivePath, const QByteArray& bytes, const QDateTime& modified)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* file = zip_source_file_create(QFile::encodeName(archivePath).constData(), 0, -1, &error);
    zip_t* archive = file ? zip_open_from_source(file, 0, &error) : nullptr;
    if (!archive)
        fail(QStringLiteral("libzip cannot open the archive: ") + QString::fromLocal8Bit(zip_error_strerror(&error)));
    zip_error_fini(&error);
    QList<zip_uint64_t> matches;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_uint64_t index = 0; index < static_cast<zip_uint64_t>(count); ++index) {
        if (QString::fromUtf8(zip_get_name(archive, index, ZIP_FL_ENC_GUESS))
                .compare(QLatin1String("Init.CON"), Qt::CaseInsensitive) == 0)
            matches.append(index);
    }
    zip_source_t* data = zip_source_buffer(archive, bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0);
    if (matches.size() != 1 || !data || zip_file_replace(archive, matches.first(), data, 0) < 0 ||
        zip_set_file_compression(archive, matches.first(), ZIP_CM_DEFLATE, 9) < 0 ||
        zip_file_set_mtime(archive, matches.first(), static_cast<time_t>(modified.toSecsSinceEpoch()), 0) < 0 ||
        zip_close(archive) < 0)
        fail(QStringLiteral("libzip cannot update the archive: ") + QString::fromLocal8Bit(zip_strerror(archive)));
    QFile result(archivePath);
    if (!result.open(QIODevice::ReadOnly) || FileSystem::syncFileHandle(result.handle()) ||
        FileSystem::syncFolder(QFileInfo(archivePath).absolutePath()))
        fail(QStringLiteral("cannot flush the archive"));
}

// The level save through the editor's archive source against libzip's own file source, both flushed, so that
// the buffered source earns its place by what it saves in calls.
void levelSaveSources(const QString& work, const LevelArchive& archive, int runs)
{
    const QString folder = work + QStringLiteral("/sources");
    QDir().mkpath(folder);
    const QString init = folder + QStringLiteral("/Init.CON");
    const QByteArray bytes = DemoGame::initCon(3).replace("rem end", "rem edited end");
    writeOrFail(init, bytes);
    const QDateTime modified = QFileInfo(init).lastModified();
    const Pair pair =
        measureEditorSave(archive, folder, QStringLiteral("libzip.ZIP"), runs, [&](const QString& theirs) {
            return time([&] { updateThroughLibzipSource(theirs, bytes, modified); });
        });
    removeTree(folder);
    const Stats c = summarise(pair.candidate);
    const Stats a = summarise(pair.anchor);
    printRow(QStringLiteral("Level save %1 (%2), editor's source, flushed before the rename")
                 .arg(archive.label, sizeText(archive.path)),
             c, QStringLiteral("libzip source + fsync"), &a, ratio(c.median, a.median), QStringLiteral("<= 0.8x"),
             verdict(c.median, a.median, 0.8));
}

} // namespace

void levelScenario(const QString& work, int runs)
{
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

void levelSourceScenario(const QString& work, int runs)
{
    const QString archives = work + QStringLiteral("/archives");
    for (const LevelArchive& archive : {makeArchive(archives, QStringLiteral("small"), 50, qint64(2) << 20),
                                        makeArchive(archives, QStringLiteral("medium"), 500, qint64(40) << 20),
                                        makeArchive(archives, QStringLiteral("large"), 5000, qint64(200) << 20)})
        levelSaveSources(work, archive, runs);
    removeTree(archives);
}

} // namespace Bench
