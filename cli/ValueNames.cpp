#include "cli/ValueNames.h"

#include "modfiles/ModValues.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>

namespace CommandLine {

namespace {

QString rangeText(const ValueRange& range)
{
    return QStringLiteral("%1 to %2").arg(range.minimum).arg(range.maximum);
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

std::optional<QList<Assignment>> parseAssignments(const QStringList& arguments, const QList<ValueDescriptor>& values,
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
        const auto found = std::find_if(values.cbegin(), values.cend(), [&name](const ValueDescriptor& v) {
            return v.name.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (found == values.cend()) {
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
        if (found->isSwitch) {
            const std::optional<bool> on = parseSwitch(text);
            if (!on) {
                error = QStringLiteral("%1: expected on or off.").arg(argument);
                return std::nullopt;
            }
            assignment.number = *on ? 1 : 0;
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

QString checkNumber(const Assignment& assignment, qint64 fileValue)
{
    const ValueRange& range = assignment.value.range;
    if (range.contains(assignment.number) || fileValue == assignment.number)
        return {};
    return QStringLiteral("%1: outside %2 (the file holds %3).")
        .arg(assignment.argument, rangeText(range), QString::number(fileValue));
}

QStringList describeNames(const QList<ValueDescriptor>& values)
{
    QStringList lines;
    QStringList scores{QString()};
    for (const ValueDescriptor& value : values) {
        if (value.file == ModFile::Scoring) {
            // The 68 scores share their range; their names are listed as they fit.
            if (!scores.last().isEmpty() && scores.last().size() + value.name.size() > 96)
                scores.append(QString());
            scores.last() += value.name + QStringLiteral("  ");
            continue;
        }
        const QString what = value.isSwitch ? QStringLiteral("on or off") : rangeText(value.range);
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
