#include "cli/ValueNames.h"

#include "levels/LevelSettings.h"
#include "modfiles/ScoreKeys.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>

namespace CommandLine {

namespace {

QString rangeText(const ValueRange& range)
{
    return QStringLiteral("%1 to %2").arg(range.minimum).arg(range.maximum);
}

QString levelValueName(Levels::LevelValue which)
{
    switch (which) {
    case Levels::LevelValue::MaxViewDistance:
        return QStringLiteral("max-view");
    case Levels::LevelValue::PT16:
        return QStringLiteral("pac-tickets-16");
    case Levels::LevelValue::ET16:
        return QStringLiteral("eu-tickets-16");
    case Levels::LevelValue::PT32:
        return QStringLiteral("pac-tickets-32");
    case Levels::LevelValue::ET32:
        return QStringLiteral("eu-tickets-32");
    case Levels::LevelValue::PT64:
        return QStringLiteral("pac-tickets-64");
    case Levels::LevelValue::ET64:
        return QStringLiteral("eu-tickets-64");
    case Levels::LevelValue::PT128:
        return QStringLiteral("pac-tickets-128");
    case Levels::LevelValue::ET128:
        return QStringLiteral("eu-tickets-128");
    case Levels::LevelValue::PLPM:
        return QStringLiteral("pac-ticket-loss");
    case Levels::LevelValue::ELPM:
        return QStringLiteral("eu-ticket-loss");
    }
    return {};
}

QString levelCaption(Levels::LevelValue which)
{
    switch (which) {
    case Levels::LevelValue::MaxViewDistance:
        return QStringLiteral("Max View Distance");
    case Levels::LevelValue::PLPM:
        return QStringLiteral("Pac Ticket Loss P/Min");
    case Levels::LevelValue::ELPM:
        return QStringLiteral("EU Ticket Loss P/Min");
    default:
        break;
    }
    const int i = static_cast<int>(which) - static_cast<int>(Levels::LevelValue::PT16);
    return QStringLiteral("%1 Tickets (%2)")
        .arg(i % 2 == 0 ? QStringLiteral("Pac") : QStringLiteral("EU"))
        .arg(16 << (i / 2));
}

std::optional<qint64> parseNumber(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^[-+]?[0-9]+$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (ok)
        return value;
    return text.startsWith(QLatin1Char('-')) ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
}

} // namespace

const QList<ValueName>& modValueNames()
{
    static const QList<ValueName> names = [] {
        const QString ffNames[] = {QStringLiteral("soldier-ff"), QStringLiteral("vehicle-ff"),
                                   QStringLiteral("soldier-splash-ff"), QStringLiteral("vehicle-splash-ff")};
        const QString ffCaptions[] = {QStringLiteral("Soldier Friendly Damage"),
                                      QStringLiteral("Vehicle Friendly Damage"),
                                      QStringLiteral("Soldier Splash Damage"), QStringLiteral("Vehicle Splash Damage")};
        QList<ValueName> list;
        for (FriendlyFire which : ModFiles::AllFriendlyFire) {
            const int i = static_cast<int>(which);
            list.append({ffNames[i], ValueKind::FriendlyFire, i, ModFiles::FriendlyFireRange, ffCaptions[i]});
        }
        list.append({QStringLiteral("bot-skill"), ValueKind::BotSkill, 0, ModFiles::BotSkillRange,
                     QStringLiteral("Bot Skill")});
        list.append(
            {QStringLiteral("max-bots"), ValueKind::MaxBots, 0, ModFiles::MaxBotsRange, QStringLiteral("Max Bots")});
        const QStringList keys = ModFiles::BuildScoreKeys();
        for (int row = 0; row < keys.size(); ++row)
            list.append(
                {QStringLiteral("score.") + keys.at(row), ValueKind::Score, row, ModFiles::ScoreRange, keys.at(row)});
        return list;
    }();
    return names;
}

const QList<ValueName>& levelValueNames()
{
    static const QList<ValueName> names = [] {
        QList<ValueName> list;
        for (const Levels::LevelValueInfo& info : Levels::LevelValues) {
            list.append({levelValueName(info.which), ValueKind::LevelNumber, static_cast<int>(info.which),
                         ValueRange{info.minimum, info.maximum}, levelCaption(info.which)});
            if (info.which == Levels::LevelValue::MaxViewDistance)
                list.append(
                    {QStringLiteral("cold-breath"), ValueKind::ColdBreath, 0, {0, 0}, QStringLiteral("Cold Breath")});
        }
        return list;
    }();
    return names;
}

std::optional<QList<Assignment>> parseAssignments(const QStringList& arguments, const QList<ValueName>& names,
                                                  QString& error)
{
    QList<Assignment> assignments;
    for (const QString& argument : arguments) {
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        if (equals < 0) {
            error = QStringLiteral("%1: expected NAME=VALUE.").arg(argument);
            return std::nullopt;
        }
        const QString name = argument.left(equals);
        const QString text = argument.mid(equals + 1);
        const auto found = std::find_if(names.cbegin(), names.cend(), [&name](const ValueName& v) {
            return v.name.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (found == names.cend()) {
            error = QStringLiteral("%1: no value of that name here (--help lists them).").arg(name);
            return std::nullopt;
        }
        const bool twice = std::any_of(assignments.cbegin(), assignments.cend(),
                                       [&found](const Assignment& a) { return a.value.name == found->name; });
        if (twice) {
            error = QStringLiteral("%1: given twice.").arg(found->name);
            return std::nullopt;
        }
        Assignment assignment{*found, argument};
        if (found->kind == ValueKind::ColdBreath) {
            const std::optional<bool> on = parseSwitch(text);
            if (!on) {
                error = QStringLiteral("%1: expected on or off.").arg(argument);
                return std::nullopt;
            }
            assignment.on = *on;
        } else {
            const std::optional<qint64> number = parseNumber(text);
            if (!number) {
                error = QStringLiteral("%1: expected a whole number.").arg(argument);
                return std::nullopt;
            }
            assignment.number = *number;
        }
        assignments.append(assignment);
    }
    return assignments;
}

std::optional<bool> parseSwitch(const QString& text)
{
    if (text.compare(QLatin1String("on"), Qt::CaseInsensitive) == 0 ||
        text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0 ||
        text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

std::optional<qint64> fileNumber(const QString& text)
{
    return text.isEmpty() ? std::nullopt : parseNumber(text);
}

QString checkNumber(const Assignment& assignment, const QString& fileValue)
{
    const ValueRange& range = assignment.value.range;
    if (range.contains(assignment.number) || fileNumber(fileValue) == assignment.number)
        return {};
    return QStringLiteral("%1: outside %2 (the file holds %3).").arg(assignment.argument, rangeText(range), fileValue);
}

QStringList describeNames(const QList<ValueName>& names)
{
    QStringList lines;
    QStringList scores{QString()};
    for (const ValueName& value : names) {
        if (value.kind == ValueKind::Score) {
            // The 68 scores share their range; their names are listed as they fit.
            if (!scores.last().isEmpty() && scores.last().size() + value.name.size() > 96)
                scores.append(QString());
            scores.last() += value.name + QStringLiteral("  ");
            continue;
        }
        const QString what = value.kind == ValueKind::ColdBreath ? QStringLiteral("on or off") : rangeText(value.range);
        lines.append(QStringLiteral("%1 %2, %3").arg(value.name.leftJustified(18), value.caption, what));
    }
    if (!scores.first().isEmpty()) {
        lines.append(QStringLiteral("The scores, each %1:").arg(rangeText(ModFiles::ScoreRange)));
        for (const QString& line : scores)
            lines.append(QStringLiteral("  ") + line.trimmed());
    }
    return lines;
}

} // namespace CommandLine
