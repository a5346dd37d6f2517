#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/TerminalPrompter.h"
#include "modfiles/ModFiles.h"
#include "modfiles/ModSettings.h"
#include "movies/IntroSwitch.h"
#include "startup/StartUp.h"

#include <QDir>

namespace CommandLine {

namespace {

QString nativePath(const ModSettings& mod, ModFile file)
{
    return QDir::toNativeSeparators(mod.filePath(file));
}

int refuse(const QStringList& refusals)
{
    for (const QString& refusal : refusals)
        printError(refusal);
    printError(QStringLiteral("Nothing was saved."));
    return Failed;
}

// Saves the files whose sections changed, each atomically, and tells the outcome as the save window does.
int save(Context& context, ModSettings& mod, ModFileSet changed)
{
    if (changed.isEmpty()) {
        printError(QStringLiteral("Nothing to save: the files already hold these values."));
        return Success;
    }
    const SaveReport report = ModFiles::SaveMod(mod, changed);
    ModFiles::reportSave(report, context.prompter);
    return report.failedFiles.isEmpty() ? Success : Failed;
}

} // namespace

void loadForCommand(Context& context, ModSettings& mod)
{
    StartUp::openMod(mod, context.modFolder, context.prompter);
}

int setValues(Context& context, const QList<Assignment>& assignments)
{
    ModSettings mod;
    loadForCommand(context, mod);
    QStringList refusals;
    ModFileSet changed;
    for (const Assignment& assignment : assignments) {
        const ModFile file = *assignment.value.file;
        const std::optional<qint64> current = mod.value(assignment.value);
        QString refusal;
        if (!mod.isPresent(file))
            refusal =
                QStringLiteral("%1: %2 is missing or cannot be read.").arg(assignment.argument, nativePath(mod, file));
        else if (!current)
            refusal = QStringLiteral("%1: %2 does not hold this value (its key is missing, out of order or without a "
                                     "number).")
                          .arg(assignment.argument, nativePath(mod, file));
        else
            refusal = checkNumber(assignment, *current);
        if (!refusal.isEmpty()) {
            refusals.append(refusal);
            continue;
        }
        if (*current != assignment.number) {
            mod.setValue(assignment.value, assignment.number);
            changed.insert(file);
        }
    }
    if (!refusals.isEmpty())
        return refuse(refusals);
    return save(context, mod, changed);
}

int editBotNames(Context& context, const QStringList& additions, const QStringList& removals)
{
    ModSettings mod;
    loadForCommand(context, mod);
    if (!mod.isPresent(ModFile::BotNames))
        return refuse({QStringLiteral("%1 is missing or cannot be read.").arg(nativePath(mod, ModFile::BotNames))});
    QStringList names = mod.BotNames();
    QStringList refusals;
    for (const QString& name : removals) {
        const qsizetype row = names.indexOf(name);
        if (row < 0)
            refusals.append(QStringLiteral("--remove \"%1\": no bot of that name.").arg(name));
        else
            names.removeAt(row);
    }
    for (const QString& name : additions) {
        const QString stored = ModSettings::storableName(name);
        if (stored.isEmpty()) {
            refusals.append(QStringLiteral("--add \"%1\": No name entered.").arg(name));
            continue;
        }
        if (stored != name)
            printError(QStringLiteral("--add \"%1\": stored as \"%2\": a bot name is one line of the characters the "
                                      "file can hold.")
                           .arg(name, stored));
        names.append(stored);
    }
    if (!refusals.isEmpty())
        return refuse(refusals);
    mod.setBotNames(names);
    return save(context, mod, {ModFile::BotNames});
}

int switchIntro(Context& context, bool on)
{
    // Intro.bik alone decides the state shown, but a mod may lack it while its other movies still play.
    if (!IntroSwitch::wouldSwitch(context.modFolder, on)) {
        printError(on ? QStringLiteral("Intro is ON") : QStringLiteral("Intro is OFF"));
        return Success;
    }
    IntroSwitch intro;
    const std::optional<IntroSwitch::Result> result = intro.switchTo(on, context.modFolder, context.prompter);
    return result && result->succeeded() ? Success : Failed;
}

} // namespace CommandLine
