#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/TerminalPrompter.h"
#include "core/FileSystem.h"
#include "levels/LevelWorkflow.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace CommandLine {

namespace {

QString shownName(int level)
{
    return QString::fromLatin1(Levels::LevelTable.at(level).displayName);
}

// Applies one value to a level's settings as its window would take it. Returns the refusal, or empty.
QString apply(LevelSettings& settings, const Assignment& assignment)
{
    if (assignment.value.kind == ValueKind::ColdBreath) {
        if (!settings.ColdBreathPresent)
            return QStringLiteral("%1: Init.CON has no cold-breath line with a number to switch.")
                .arg(assignment.argument);
        settings.ColdBreathOn = assignment.on;
        return {};
    }
    const Levels::LevelValueInfo& info = Levels::LevelValues.at(static_cast<size_t>(assignment.value.index));
    QString& value = settings.value(info.which);
    if (value.isEmpty())
        return QStringLiteral("%1: Init.CON does not hold this value (\"%2\" is missing or without a plain number).")
            .arg(assignment.argument, QString::fromLatin1(info.key).trimmed());
    const QString refusal = checkNumber(assignment, value);
    if (refusal.isEmpty() && fileNumber(value) != assignment.number)
        value = QString::number(assignment.number);
    return refusal;
}

bool changed(const LevelSettings& before, const LevelSettings& after)
{
    return before.ColdBreathOn != after.ColdBreathOn ||
           std::any_of(
               Levels::LevelValues.cbegin(), Levels::LevelValues.cend(),
               [&](const Levels::LevelValueInfo& info) { return before.value(info.which) != after.value(info.which); });
}

} // namespace

std::optional<LevelSettings> readLevel(Context& context, LevelWorkflow& workflow, int level, bool& failed)
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
        LevelSettings before;
    };
    std::vector<Opened> opened;
    bool failed = false;
    for (int level : levels) {
        auto workflow = std::make_unique<LevelWorkflow>(prompter, context.passwords);
        prompter.setSubject(shownName(level));
        if (workflow->OpenLevel(context.modFolder, level, {}))
            opened.push_back({level, std::move(workflow), {}});
        else
            failed = true;
    }
    prompter.setSubject({});

    QStringList refusals;
    for (Opened& each : opened) {
        each.before = each.workflow->settings();
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
        if (!changed(each.before, each.workflow->settings()))
            prompter.information(QStringLiteral("Nothing to save: the level already holds these values."));
        else if (!each.workflow->SaveLevel())
            failed = true;
    }
    prompter.setSubject({});
    return failed ? Failed : Success;
}

} // namespace CommandLine
