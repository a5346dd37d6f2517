#include "bench/BenchTiming.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Bench {

Stats summarise(QList<double> samples)
{
    Stats stats;
    if (samples.isEmpty())
        return stats;
    std::sort(samples.begin(), samples.end());
    const qsizetype n = samples.size();
    stats.median = n % 2 ? samples.at(n / 2) : (samples.at(n / 2 - 1) + samples.at(n / 2)) / 2.0;
    stats.min = samples.constFirst();
    stats.max = samples.constLast();
    return stats;
}

double time(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

ProcessRun runProcess(const QStringList& argv, const QString& folder, const QStringList& environment)
{
    QList<QByteArray> args;
    for (const QString& arg : argv)
        args.append(QFile::encodeName(arg));
    std::vector<char*> argp;
    for (QByteArray& arg : args)
        argp.push_back(arg.data());
    argp.push_back(nullptr);

    QList<QByteArray> env;
    for (char** e = environ; *e; ++e)
        env.append(QByteArray(*e));
    for (const QString& entry : environment) {
        const QByteArray name = entry.section(QLatin1Char('='), 0, 0).toLocal8Bit() + '=';
        env.removeIf([&name](const QByteArray& e) { return e.startsWith(name); });
        env.append(entry.toLocal8Bit());
    }
    std::vector<char*> envp;
    for (QByteArray& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    // Qt's platform chatter (no audio device, no runtime folder) would tear the table apart.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const QByteArray dir = QFile::encodeName(folder);
    if (!folder.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, dir.constData());

    ProcessRun result;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, argp.front(), &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        fail(QStringLiteral("cannot start %1").arg(argv.constFirst()));
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    result.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.maxRssKb = usage.ru_maxrss;
    return result;
}

Pair measurePairs(int runs, const std::function<void(bool)>& prepare, const std::function<double()>& candidate,
                  const std::function<double()>& anchor)
{
    Pair pair;
    for (int run = 0; run < runs; ++run) {
        const bool candidateFirst = run % 2 == 0;
        for (int step = 0; step < 2; ++step) {
            const bool candidateNow = (step == 0) == candidateFirst;
            prepare(candidateNow);
            // Write-back left by the step before must not land inside this one.
            sync();
            if (candidateNow)
                pair.candidate.append(candidate());
            else
                pair.anchor.append(anchor());
        }
    }
    return pair;
}

QString ms(double ms)
{
    return ms < 10 ? QString::number(ms, 'f', 3) : QString::number(ms, 'f', 1);
}

void printHeader()
{
    std::printf("Scenario|Median ms|Min ms|Max ms|Anchor|Anchor median ms|Anchor min ms|Anchor max ms|Ratio|Goal|"
                "Met\n");
    std::fflush(stdout);
}

void printRow(const QString& scenario, const Stats& candidate, const QString& anchorName, const Stats* anchor,
              const QString& ratioText, const QString& goal, const QString& verdict)
{
    const QString dash = QStringLiteral("-");
    const QStringList fields{scenario,
                             ms(candidate.median),
                             ms(candidate.min),
                             ms(candidate.max),
                             anchorName.isEmpty() ? dash : anchorName,
                             anchor ? ms(anchor->median) : dash,
                             anchor ? ms(anchor->min) : dash,
                             anchor ? ms(anchor->max) : dash,
                             ratioText.isEmpty() ? dash : ratioText,
                             goal.isEmpty() ? dash : goal,
                             verdict.isEmpty() ? dash : verdict};
    std::printf("%s\n", fields.join(QLatin1Char('|')).toUtf8().constData());
    std::fflush(stdout);
}

QString ratio(double candidate, double anchor, int decimals)
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
        fail(path + QStringLiteral(": ") + file.errorString());
}

void removeTree(const QString& path)
{
    QDir dir(path);
    if (dir.exists() && !dir.removeRecursively())
        fail(QStringLiteral("cannot remove ") + path);
}

void warm(const QString& path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        QByteArray block(1 << 20, Qt::Uninitialized);
        while (file.read(block.data(), block.size()) > 0) {
        }
    }
}

QByteArray noise(QRandomGenerator& random, qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

void fail(const QString& what)
{
    std::fprintf(stderr, "bench: %s\n", what.toLocal8Bit().constData());
    std::exit(1);
}

} // namespace Bench
