#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QRandomGenerator;

namespace Bench {

struct Stats
{
    double median = 0;
    double min = 0;
    double max = 0;
};

Stats summarise(QList<double> samples);

struct ProcessRun
{
    double ms = 0;
    int exitCode = -1; // -1 when the process did not end normally
    long maxRssKb = 0; // the child's peak resident set
};

// Runs a program (searched in PATH) in folder with extra environment entries ("NAME=value"), its output
// discarded, and times it from spawn to reaped, wall clock.
ProcessRun runProcess(const QStringList& argv, const QString& folder = QString(), const QStringList& environment = {});

// Milliseconds spent in work.
double time(const std::function<void()>& work);

// One candidate against one anchor, measured in pairs whose order alternates so that neither always
// runs with the page cache or the write-back the other left. prepare runs before each timed step,
// outside the timing, and gets whether the candidate comes next.
struct Pair
{
    QList<double> candidate;
    QList<double> anchor;
};
Pair measurePairs(int runs, const std::function<void(bool candidateNext)>& prepare,
                  const std::function<double()>& candidate, const std::function<double()>& anchor);

// One row of the table: fields separated by '|', printed at once so rows from several programs merge.
void printRow(const QString& scenario, const Stats& candidate, const QString& anchorName, const Stats* anchor,
              const QString& ratioText, const QString& goal, const QString& verdict);
void printHeader();

QString ms(double ms);

// The candidate's median against the anchor's, and whether it is within limit times the anchor.
QString ratio(double candidate, double anchor, int decimals = 2);
QString verdict(double candidate, double anchor, double limit);

void writeOrFail(const QString& path, const QByteArray& bytes);
void removeTree(const QString& path);
// Reads a file once so that both sides start from the page cache.
void warm(const QString& path);
// Incompressible bytes.
QByteArray noise(QRandomGenerator& random, qsizetype size);

// Opening and saving level archives of three sizes.
void levelScenario(const QString& work, int runs);
// Saving a level through the editor's archive source and through libzip's own, both flushed.
void levelSourceScenario(const QString& work, int runs);

[[noreturn]] void fail(const QString& what);

} // namespace Bench
