#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/TerminalPrompter.h"
#include "core/FileSystem.h"
#include "levels/LevelWorkflow.h"

#include <memory>
#include <vector>

namespace CommandLine {

namespace {

QString shownName(int level)
{
    return QString::fromLatin1(Levels::LevelTable.at(level).displayName);
}

// Applies one value to a level's settings as its window would take it. Returns the refusal, or empty.
QString apply(KeyedScript& settings, const Assignment& assignment)
{
    const std::optional<qint64> current = settings.value(assignment.value.row);
    if (!current && assignment.value.isSwitch)
        return QStringLiteral("%1: Init.CON has no cold-breath line with a number to switch.").arg(assignment.argument);
    if (!current)
        return QStringLiteral("%1: Init.CON does not hold this value (\"%2\" is missing or without a plain number).")
            .arg(assignment.argument,
                 QString::fromLatin1(Levels::InitConKeys.at(static_cast<size_t>(assignment.value.row)).key).trimmed());
    const QString refusal = assignment.value.isSwitch ? QString() : checkNumber(assignment, *current);
    if (refusal.isEmpty())
        settings.setValue(assignment.value.row, assignment.number);
    return refusal;
}

} // namespace

std::optional<KeyedScript> readLevel(Context& context, LevelWorkflow& workflow, int level, bool& failed)
{
    if (!FileSystem::FileExists(Levels::levelPathsFor(context.modFolder, level).archive))
        return std::nullopt;
    context.prompter.setSubject(shownName(level));
    const bool opened = workflow.OpenLevel(context.modFolder, level, {});
    context.prompter.setSubject({});
    if (!opened) {
        failed = true;
        return std::nullopt;
    }
    return workflow.settings();
}

int editLevels(Context& context, const QList<int>& levels, const QList<Assignment>& assignments)
{
    TerminalPrompter& prompter = context.prompter;
    prompter.question(Levels::levelEditWarning());

    // Every level is read before any is written, so that a refused value leaves them all as they were. Each
    // keeps its own workflow (its archive and held Init.CON) until the saves; they share the password memory.
    struct Opened
    {
        int level;
        std::unique_ptr<LevelWorkflow> workflow;
    };
    std::vector<Opened> opened;
    bool failed = false;
    for (int level : levels) {
        auto workflow = std::make_unique<LevelWorkflow>(prompter, context.passwords);
        prompter.setSubject(shownName(level));
        if (workflow->OpenLevel(context.modFolder, level, {}))
            opened.push_back({level, std::move(workflow)});
        else
            failed = true;
    }
    prompter.setSubject({});

    QStringList refusals;
    for (Opened& each : opened) {
        for (const Assignment& assignment : assignments) {
            const QString refusal = apply(each.workflow->settings(), assignment);
            if (!refusal.isEmpty())
                refusals.append(shownName(each.level) + QStringLiteral(": ") + refusal);
        }
    }
    if (!refusals.isEmpty()) {
        for (const QString& refusal : refusals)
            printError(refusal);
        printError(QStringLiteral("Nothing was saved."));
        return Failed;
    }

    for (Opened& each : opened) {
        prompter.setSubject(shownName(each.level));
        if (!each.workflow->settings().isChanged())
            prompter.information(QStringLiteral("Nothing to save: the level already holds these values."));
        else if (!each.workflow->SaveLevel())
            failed = true;
    }
    prompter.setSubject({});
    return failed ? Failed : Success;
}

} // namespace CommandLine
