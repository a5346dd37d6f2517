#include "cli/CommandLine.h"

#include "cli/Commands.h"
#include "cli/TerminalPrompter.h"
#include "core/FileSystem.h"
#include "levels/LevelWorkflow.h"
#include "modfiles/ModValues.h"
#include "startup/StartUp.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace CommandLine {

namespace {

const QString ListModsCommand = QStringLiteral("list-mods");
const QString ListGamesCommand = QStringLiteral("list-games");
const QString ShowCommand = QStringLiteral("show");
const QString SetCommand = QStringLiteral("set");
const QString BotNamesCommand = QStringLiteral("bot-names");
const QString LevelCommand = QStringLiteral("level");
const QString IntroCommand = QStringLiteral("intro");
const QString AllLevels = QStringLiteral("all");

int usage(const QString& error)
{
    printError(error);
    printError(
        QStringLiteral("Try '%1 --help'.").arg(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName()));
    return UsageError;
}

QString indented(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += QStringLiteral("  ") + line + QLatin1Char('\n');
    return text;
}

QString helpText(const QCommandLineParser& parser)
{
    QStringList levels;
    for (const Levels::LevelEntry& level : Levels::LevelTable) {
        const QString folder = QString::fromLatin1(level.folderName);
        const QString shown = QString::fromLatin1(level.displayName);
        levels.append(folder == shown ? folder : QStringLiteral("%1 (\"%2\")").arg(folder, shown));
    }
    QStringList levelLines;
    for (qsizetype i = 0; i < levels.size(); i += 3)
        levelLines.append(levels.mid(i, 3).join(QStringLiteral(", ")));
    const QString gap(35, QLatin1Char(' '));
    return parser.helpText() + QStringLiteral("\nCommands:\n") +
           indented({QStringLiteral("list-mods                          the game's mods, one a line"),
                     QStringLiteral("list-games                         every install of the game found, one a line, "
                                    "in fields:"),
                     gap + QStringLiteral("* on the one used when no folder is stored, the prefix manager, the folder"),
                     QStringLiteral("show MOD [--json]                  every value the windows show, and each level's "
                                    "settings"),
                     gap + QStringLiteral("(reading a level unpacks its archive into its TEMP folder)"),
                     QStringLiteral("set MOD NAME=VALUE...              change the mod's values"),
                     QStringLiteral("bot-names MOD [--remove NAME]... [--add NAME]..."),
                     gap + QStringLiteral("remove the first bot of each name, then add names at the end"),
                     QStringLiteral("level MOD LEVEL|all NAME=VALUE...  change one level (by folder or shown name) or "
                                    "all"),
                     gap + QStringLiteral("thirteen, with one result line for each"),
                     QStringLiteral("intro MOD on|off                   switch the start-up movies")}) +
           QStringLiteral(
               "\nEvery argument is checked before anything is written: a value outside the range of its control "
               "is\nrefused unless the file already holds it, and so is a value the file does not hold. Each "
               "file is then\nsaved whole and atomically; a file that fails is named and keeps its old contents. "
               "The questions the\nwindows ask (the level edit warning, \"Remove Intro?\") are answered Yes: the "
               "command is the answer.\nA password-protected level archive asks for its password on the terminal; "
               "--no-input refuses it.\n") +
           QStringLiteral("\nMod values (set; show also lists bot-names and intro, on or off):\n") +
           indented(describeNames(ModFiles::modValues())) + QStringLiteral("\nLevel values (level):\n") +
           indented(describeNames(Levels::levelValues())) + QStringLiteral("\nLevels:\n") + indented(levelLines) +
           QStringLiteral("\nExit status: 0 done, 1 a failed or refused operation, 2 a usage error. Messages go to "
                          "standard\nerror; data (list-mods, list-games, show) to standard output.\n");
}

// The game's mods folder as the windows find it, without the dialog: --game, else the stored folder, else
// the default install place (which detection stores, as the windows do).
std::optional<QString> findModsFolder(const QString& given)
{
    QString game = given.isEmpty() ? QString() : FileSystem::withTrailingSlash(QDir::fromNativeSeparators(given));
    if (game.isEmpty()) {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("GX3190_SP"),
                        QStringLiteral("GX3190_SP"));
        game = StartUp::locateGame(store, StartUp::gamePlaces).gameFolder;
        if (game.isEmpty()) {
            printError(QStringLiteral("No game folder found: none is stored and the game is not in its default place "
                                      "under %1. Name it with --game DIR.")
                           .arg(QDir::toNativeSeparators(StartUp::programFilesFolders().join(QStringLiteral(" or ")))));
            return std::nullopt;
        }
    }
    const QString mods = FileSystem::withTrailingSlash(FileSystem::resolvePath(game, QStringLiteral("mods")));
    if (!FileSystem::FolderExists(mods)) {
        printError(
            QStringLiteral("%1 is not a game folder: it has no mods folder.").arg(QDir::toNativeSeparators(game)));
        return std::nullopt;
    }
    return mods;
}

// Every install the search finds, in its order, tab-separated: "*" on the first (the one start-up takes when no
// folder is stored), the prefix manager, the folder.
int listGames()
{
    const QList<StartUp::GameInstall> installs = StartUp::findInstalls(StartUp::gamePlaces());
    if (installs.isEmpty()) {
        printError(QStringLiteral("No install of the game found."));
        return Failed;
    }
    for (const StartUp::GameInstall& install : installs)
        printOut(QStringLiteral("%1\t%2\t%3\n")
                     .arg(&install == &installs.first() ? QStringLiteral("*") : QString(), install.manager,
                          QDir::toNativeSeparators(install.gameFolder)));
    return Success;
}

// The mod's folder name as it is on disk: exactly as given, else ignoring letter case.
std::optional<QString> findMod(const QString& modsFolder, const QString& name)
{
    const QStringList mods = StartUp::ListMods(modsFolder);
    if (mods.contains(name))
        return name;
    for (const QString& mod : mods) {
        if (mod.compare(name, Qt::CaseInsensitive) == 0)
            return mod;
    }
    printError(QStringLiteral("No mod named \"%1\" in %2.").arg(name, QDir::toNativeSeparators(modsFolder)));
    return std::nullopt;
}

std::optional<QList<int>> findLevels(const QString& name)
{
    QList<int> levels;
    for (int i = 0; i < Levels::LevelCount; ++i) {
        if (name.compare(AllLevels, Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String(Levels::LevelTable.at(i).folderName), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String(Levels::LevelTable.at(i).displayName), Qt::CaseInsensitive) == 0)
            levels.append(i);
    }
    if (levels.isEmpty())
        return std::nullopt;
    return levels;
}

// What the command line asks for, its form checked.
struct Request
{
    QString command;
    QString mod;
    QList<Assignment> assignments;
    QList<int> levels;
    bool on = false;
};

// Reads the command and its arguments (after the options). Returns the usage error, or an empty text.
QString readRequest(QStringList rest, bool json, bool botNameEdits, Request& request)
{
    if (rest.isEmpty())
        return QStringLiteral("No command given.");
    request.command = rest.takeFirst();
    const QString& command = request.command;
    const QStringList commands{ListModsCommand, ListGamesCommand, ShowCommand, SetCommand,
                               BotNamesCommand, LevelCommand,     IntroCommand};
    if (!commands.contains(command))
        return QStringLiteral("Unknown command \"%1\".").arg(command);
    if (json && command != ShowCommand)
        return QStringLiteral("--json belongs to show.");
    if (botNameEdits != (command == BotNamesCommand))
        return botNameEdits ? QStringLiteral("--add and --remove belong to bot-names.")
                            : QStringLiteral("bot-names: nothing to do without --add or --remove.");
    const bool onTheGame = command == ListModsCommand || command == ListGamesCommand;
    if (!onTheGame) {
        if (rest.isEmpty())
            return QStringLiteral("%1: which mod? (list-mods lists them)").arg(command);
        request.mod = rest.takeFirst();
    }

    if (onTheGame || command == ShowCommand || command == BotNamesCommand)
        return rest.isEmpty() ? QString() : QStringLiteral("%1: unexpected \"%2\".").arg(command, rest.first());
    if (command == IntroCommand) {
        const std::optional<bool> on = rest.size() == 1 ? parseSwitch(rest.first()) : std::nullopt;
        request.on = on.value_or(false);
        return on ? QString() : QStringLiteral("intro: expected on or off.");
    }
    if (command == LevelCommand) {
        if (rest.isEmpty())
            return QStringLiteral("level: which level? (a name, or all)");
        const std::optional<QList<int>> levels = findLevels(rest.first());
        if (!levels)
            return QStringLiteral("level: no level named \"%1\" (--help lists them).").arg(rest.first());
        request.levels = *levels;
        rest.removeFirst();
    }
    if (rest.isEmpty())
        return QStringLiteral("%1: no NAME=VALUE given.").arg(command);
    QString error;
    const std::optional<QList<Assignment>> assignments =
        parseAssignments(rest, command == SetCommand ? ModFiles::modValues() : Levels::levelValues(), error);
    request.assignments = assignments.value_or(QList<Assignment>());
    return error;
}

} // namespace

int run(const QStringList& arguments)
{
    attachToConsole();
    QCoreApplication::setApplicationName(QStringLiteral("GX3190 Editor"));
    QCoreApplication::setApplicationVersion(QStringLiteral(GX_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("GX3190 Editor. Without arguments the windows start; with them, this command-line mode\n"
                       "reads and changes the same settings through the same rules, with no window shown."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption game(QStringLiteral("game"),
                                  QStringLiteral("The game folder (the one with the mods folder). Default: the "
                                                 "one the windows use, stored or found in its default place."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption noInput(QStringLiteral("no-input"),
                                     QStringLiteral("Never read from the terminal: a password-protected level "
                                                    "archive is refused."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("show: one JSON object, levels nested."));
    const QCommandLineOption add(QStringLiteral("add"), QStringLiteral("bot-names: a name to add."),
                                 QStringLiteral("NAME"));
    const QCommandLineOption remove(QStringLiteral("remove"), QStringLiteral("bot-names: a name to remove."),
                                    QStringLiteral("NAME"));
    for (const QCommandLineOption& option : {game, noInput, json, add, remove})
        parser.addOption(option);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("One of the commands below."));
    parser.addPositionalArgument(QStringLiteral("arguments"), QStringLiteral("The command's arguments."),
                                 QStringLiteral("[arguments...]"));

    if (!parser.parse(arguments))
        return usage(parser.errorText());
    if (parser.isSet(help)) {
        printOut(helpText(parser));
        return Success;
    }
    if (parser.isSet(version)) {
        printOut(QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion() +
                 QLatin1Char('\n'));
        return Success;
    }

    Request request;
    const QString error = readRequest(parser.positionalArguments(), parser.isSet(json),
                                      parser.isSet(add) || parser.isSet(remove), request);
    if (!error.isEmpty())
        return usage(error);

    if (request.command == ListGamesCommand)
        return listGames();
    const std::optional<QString> modsFolder = findModsFolder(parser.value(game));
    if (!modsFolder)
        return Failed;
    if (request.command == ListModsCommand) {
        for (const QString& mod : StartUp::ListMods(*modsFolder))
            printOut(mod + QLatin1Char('\n'));
        return Success;
    }
    const std::optional<QString> mod = findMod(*modsFolder, request.mod);
    if (!mod)
        return Failed;

    TerminalPrompter prompter(!parser.isSet(noInput));
    Context context{prompter, *mod, *modsFolder + *mod};
    if (request.command == ShowCommand)
        return showMod(context, parser.isSet(json));
    if (request.command == SetCommand)
        return setValues(context, request.assignments);
    if (request.command == BotNamesCommand)
        return editBotNames(context, parser.values(add), parser.values(remove));
    if (request.command == LevelCommand)
        return editLevels(context, request.levels, request.assignments);
    return switchIntro(context, request.on);
}

} // namespace CommandLine
