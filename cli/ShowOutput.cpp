#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/TerminalPrompter.h"
#include "levels/LevelWorkflow.h"
#include "modfiles/ModSettings.h"
#include "movies/IntroSwitch.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace CommandLine {

namespace {

// The values in the windows' order, each under its script name. A value the files do not hold is null.
using Values = QList<QPair<QString, QJsonValue>>;

QJsonValue number(const std::optional<qint64>& value)
{
    return value ? QJsonValue(*value) : QJsonValue();
}

Values modValues(const ModSettings& mod, bool introOn)
{
    Values values;
    values.append({BotNamesName, mod.isPresent(ModFile::BotNames)
                                     ? QJsonValue(QJsonArray::fromStringList(mod.BotNames()))
                                     : QJsonValue()});
    for (const ValueDescriptor& value : ModFiles::modValues())
        values.append({value.name, mod.isPresent(*value.file) ? number(mod.value(value)) : QJsonValue()});
    values.append({IntroName, introOn});
    return values;
}

Values levelValues(const KeyedScript& settings)
{
    Values values;
    for (const ValueDescriptor& value : Levels::levelValues()) {
        const std::optional<qint64> held = settings.value(value.row);
        values.append({value.name, held && value.isSwitch ? QJsonValue(*held != 0) : number(held)});
    }
    return values;
}

QJsonObject toObject(const Values& values)
{
    QJsonObject object;
    for (const auto& [name, value] : values)
        object.insert(name, value);
    return object;
}

QString toText(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("on") : QStringLiteral("off");
    case QJsonValue::Double:
        return QString::number(value.toInteger());
    case QJsonValue::String:
        return value.toString();
    default:
        return QStringLiteral("(not found)");
    }
}

// One "name = value" line per value; a list gives one line per entry.
QString textLines(const QString& prefix, const Values& values)
{
    QString text;
    for (const auto& [name, value] : values) {
        const QJsonArray entries = value.isArray() ? value.toArray() : QJsonArray{value};
        for (const QJsonValue& entry : entries)
            text += prefix + name + QStringLiteral(" = ") + toText(entry) + QLatin1Char('\n');
    }
    return text;
}

} // namespace

int showMod(Context& context, bool json)
{
    ModSettings mod;
    loadForCommand(context, mod);
    IntroSwitch intro;
    const Values values = modValues(mod, intro.ReadIntroStatus(context.modFolder));

    // One workflow for every level, as one run of the windows has.
    LevelWorkflow workflow(context.prompter, context.passwords);
    bool failed = false;
    QJsonObject levelObjects;
    QString levelText;
    for (int level = 0; level < Levels::LevelCount; ++level) {
        const QString folder = QString::fromLatin1(Levels::LevelTable.at(level).folderName);
        const QString prefix = QStringLiteral("levels.") + folder;
        const std::optional<KeyedScript> settings = readLevel(context, workflow, level, failed);
        if (!settings) {
            levelObjects.insert(folder, QJsonValue());
            levelText += prefix + QStringLiteral(" = (not found)\n");
            continue;
        }
        const Values shown =
            Values{{QStringLiteral("name"), QString::fromLatin1(Levels::LevelTable.at(level).displayName)}} +
            levelValues(*settings);
        levelObjects.insert(folder, toObject(shown));
        levelText += textLines(prefix + QLatin1Char('.'), shown);
    }

    const Values about{{QStringLiteral("mod"), context.modName},
                       {QStringLiteral("folder"), QDir::toNativeSeparators(context.modFolder)}};
    if (json) {
        QJsonObject object = toObject(about + values);
        object.insert(QStringLiteral("levels"), levelObjects);
        printOut(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)));
    } else {
        printOut(textLines({}, about + values) + levelText);
    }
    return failed || context.prompter.errors() > 0 ? Failed : Success;
}

} // namespace CommandLine
