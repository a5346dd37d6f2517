#include "tools/demogame/DemoGame.h"

#include "levels/LevelWorkflow.h"
#include "modfiles/ScoreKeys.h"
#include "movies/IntroSwitch.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <zip.h>

#include <bit>

namespace DemoGame {

namespace {

QByteArray crlf(const QStringList& lines)
{
    QByteArray out;
    for (const QString& line : lines) {
        out.append(line.toLatin1());
        out.append("\r\n");
    }
    return out;
}

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return path + QStringLiteral(": ") + file.errorString();
    return {};
}

QStringList serverFiller(int scale)
{
    QStringList lines;
    for (int i = 0; i < scale; ++i) {
        const QString n = scale > 1 ? QString::number(i) : QString();
        lines << QStringLiteral("rem -------------------------------------------------------------------%1").arg(n)
              << QStringLiteral("rem Server settings. Lines starting with rem are comments.")
              << QStringLiteral("sv.serverName \"Gravix 3190 Skirmish%1\"").arg(n)
              << QStringLiteral("sv.password \"Secret%1Word\"").arg(n) << QStringLiteral("sv.internet 0")
              << QStringLiteral("sv.bandwidthChoke 0") << QStringLiteral("sv.serverIP \"\"")
              << QStringLiteral("sv.serverPort 16567")
              << QStringLiteral("sv.welcomeMessage \"Welcome To The Front, Soldier!\"")
              << QStringLiteral("sv.punkBuster 0") << QStringLiteral("sv.allowFreeCam 0")
              << QStringLiteral("sv.allowExternalViews 1") << QStringLiteral("sv.allowNoseCam 1")
              << QStringLiteral("sv.hitIndicator 1") << QStringLiteral("sv.maxPlayers 64")
              << QStringLiteral("sv.numPlayersNeededToStart 1") << QStringLiteral("sv.notEnoughPlayersRestartDelay 15")
              << QStringLiteral("sv.startDelay 15") << QStringLiteral("sv.endDelay 15")
              << QStringLiteral("sv.spawnTime 15") << QStringLiteral("sv.manDownTime 15")
              << QStringLiteral("sv.endOfRoundDelay 15") << QStringLiteral("sv.ticketRatio 100")
              << QStringLiteral("sv.roundsPerMap 3") << QStringLiteral("sv.timeLimit 0")
              << QStringLiteral("sv.scoreLimit 0") << QStringLiteral("sv.teamRatioPercent 100");
    }
    return lines;
}

} // namespace

int tickets(int levelIndex, int players, int team)
{
    // Each size of game has a step more than the one half its size; team 2 has ten a step fewer.
    const int steps = std::bit_width(unsigned(players / 16));
    return steps * (100 + levelIndex * 10 - (team - 1) * 10);
}

QList<int> scoreValues()
{
    QList<int> values;
    for (int i = 0; i < ModFiles::ScoreKeyCount; ++i)
        values.append(i == 1 ? -4 : i == 2 ? -2 : (i * 7) % 23 + 1);
    return values;
}

QByteArray serverSettings(int scale, bool mixedCase)
{
    QStringList lines = serverFiller(scale);
    const char* keys[4] = {"sv.soldierFriendlyFire", "sv.vehicleFriendlyFire", "sv.soldierSplashFriendlyFire",
                           "sv.vehicleSplashFriendlyFire"};
    for (int i = 0; i < 4; ++i) {
        const QString key = mixedCase ? QString::fromLatin1(keys[i]) : QString::fromLatin1(keys[i]).toLower();
        lines << key + QLatin1Char(' ') + QString::number(FriendlyFire[i]);
    }
    lines << QStringLiteral("sv.useGlobalRank 0") << QStringLiteral("sv.useGlobalUnlocks 0")
          << QStringLiteral("sv.voipEnabled 1") << QStringLiteral("sv.autoBalanceTeam 1")
          << QStringLiteral("sv.sponsorText \"Hosted by the Kelvane Ladder\"")
          << QStringLiteral("sv.communityLogoURL \"\"") << QStringLiteral("sv.radioSpamInterval 6")
          << QStringLiteral("sv.radioMaxSpamFlagCount 6") << QStringLiteral("sv.radioBlockedDurationTime 30");
    return crlf(lines);
}

QByteArray aiDefault(int scale)
{
    QStringList lines{QStringLiteral("rem *** Bot defaults ***")};
    for (int i = 0; i < scale; ++i) {
        lines << QStringLiteral("aiSettings.setViewDistanceVehicle 200")
              << QStringLiteral("aiSettings.overrideMenuSettings 1") << QStringLiteral("aiSettings.setBotTeamRatio 1.0")
              << QStringLiteral("aiSettings.setInformationGridDimension 32")
              << QStringLiteral("rem the bot count and skill follow at the end")
              << QStringLiteral("aiSettings.maxBotsIncludeHumans 1") << QStringLiteral("aiSettings.setAutoSpawnBots 1")
              << QStringLiteral("aiSettings.setBotSpawnDelay 2");
    }
    lines << QStringLiteral("aiSettings.setMaxNBots %1").arg(MaxBots) << QStringLiteral("aiSettings.setBotSkill 0.5")
          << QStringLiteral("aiSettings.setNSides 2") << QStringLiteral("aiSettings.setAutoBalance 1")
          << QStringLiteral("rem end of file");
    return crlf(lines);
}

QByteArray botNamesFile(const QStringList& names)
{
    QByteArray out;
    for (const QString& name : names)
        out.append("aiSettings.addBotName " + name.toLatin1() + "\r\n");
    return out;
}

QByteArray scoringScript(int scale)
{
    QStringList lines{QStringLiteral("# ------------------------------------------------------------------------"),
                      QStringLiteral("# scoringCommon.py"),
                      QStringLiteral("#"),
                      QStringLiteral("# Score constants shared by every game mode."),
                      QStringLiteral("# Copyright Kelvane. All rights reserved."),
                      QStringLiteral("# ------------------------------------------------------------------------"),
                      QString(),
                      QStringLiteral("import host"),
                      QStringLiteral("import gx2.GameLogic"),
                      QStringLiteral("from gx2 import Timer")};
    const QStringList keys = ModFiles::BuildScoreKeys();
    const QList<int> values = scoreValues();
    for (int i = 0; i < ModFiles::ScoreKeyCount; ++i) {
        if (i == 0)
            lines << QString() << QStringLiteral("# Kills and support");
        else if (i == 9)
            lines << QString() << QStringLiteral("# Titan mode");
        else if (i == 29)
            lines << QString() << QStringLiteral("# Squad orders (SO) and squad member (SM) bonuses");
        else if (i == 49)
            lines << QString() << QStringLiteral("# Distances");
        else if (i == 55)
            lines << QString() << QStringLiteral("# Limits and modifiers");
        lines << keys.at(i) + QStringLiteral(" = ") + QString::number(values.at(i));
    }
    lines << QString() << QString();
    for (int i = 0; i < scale; ++i) {
        const QString n = QString::number(i);
        lines << QStringLiteral("g_lastReplenish%1 = {}").arg(n) << QString()
              << QStringLiteral("def addScore%1(player, points, scoreType=0):").arg(n)
              << QStringLiteral("    # Adds points to a player's score and to the squad leader's bonus.")
              << QStringLiteral("    if player == None or not player.isValid():") << QStringLiteral("        return")
              << QStringLiteral("    player.score.score += points")
              << QStringLiteral("    if scoreType == 1 and player.isSquadLeader():")
              << QStringLiteral("        player.score.score += int(points * SQUADLEADER_BONUS_MOD)")
              << QStringLiteral("    g_lastReplenish%1[player.index] = host.timer_getWallTime()").arg(n) << QString();
    }
    lines << QStringLiteral("def onPlayerRevived(player, reviver):")
          << QStringLiteral("    addScore0(reviver, SCORE_REVIVE, 1)");
    return crlf(lines);
}

QByteArray initCon(int levelIndex)
{
    QStringList lines{QStringLiteral("rem ********************************************************************"),
                      QStringLiteral("rem Level init script: %1")
                          .arg(QString::fromLatin1(Levels::LevelTable.at(levelIndex).folderName)),
                      QStringLiteral("rem ********************************************************************")};
    // Object templates first, as the game writes them: the settings keys stand well past character 2300.
    for (int i = 0; lines.join(QStringLiteral("\r\n")).size() < 2600; ++i) {
        lines << QStringLiteral("ObjectTemplate.create SimpleObject Prop_%1_%2").arg(levelIndex).arg(i)
              << QStringLiteral("ObjectTemplate.geometry prop_geometry_%1").arg(i)
              << QStringLiteral("ObjectTemplate.setHasCollisionPhysics 1");
    }
    lines << QStringLiteral("gameLogic.maximumLevelViewDistance %1").arg(600 + levelIndex * 25)
          << QStringLiteral("gameLogic.useColdBreath %1").arg(levelIndex % 3 == 0 ? 1 : 0);
    for (const int players : {16, 32, 64, 128})
        for (const int team : {1, 2})
            lines << QStringLiteral("gameLogic.setDefaultNumberOfTicketsEx %1 %2 %3")
                         .arg(players)
                         .arg(team)
                         .arg(tickets(levelIndex, players, team));
    lines << QStringLiteral("gameLogic.setTicketLossPerMin 1 %1").arg(5 + levelIndex % 4)
          << QStringLiteral("gameLogic.setTicketLossPerMin 2 %1").arg(10 + levelIndex % 5)
          << QStringLiteral("rem end of level settings");
    return crlf(lines);
}

QString writeZip(const QString& path, const QList<QPair<QString, QByteArray>>& members)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return path + QStringLiteral(": cannot create archive");
    // libzip reads the sources when the archive is closed, so the bytes must live until then.
    QList<QByteArray> keep;
    for (const auto& [name, bytes] : members) {
        keep.append(bytes);
        zip_source_t* source =
            zip_source_buffer(archive, keep.last().constData(), static_cast<zip_uint64_t>(bytes.size()), 0);
        if (!source ||
            zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return path + QStringLiteral(": cannot add ") + name;
        }
    }
    if (zip_close(archive) < 0) {
        zip_discard(archive);
        return path + QStringLiteral(": cannot write archive");
    }
    return {};
}

QString writeFuzzSeeds(const QString& folder)
{
    QStringList errors;
    auto add = [&errors](const QString& error) {
        if (!error.isEmpty())
            errors.append(error);
    };
    const QString root = QDir(folder).absolutePath() + QLatin1Char('/');
    const QByteArray files[4] = {botNamesFile(BotNames), aiDefault(), serverSettings(), scoringScript()};
    for (int kind = 0; kind < 4; ++kind)
        add(writeFile(root + QStringLiteral("fuzz_modfiles/seed%1").arg(kind), char(kind) + files[kind]));
    int n = 0;
    for (const char* token : {"0.5", "050\r", " 7\r", "&HFFFF", "-2.5E1", "1 2 3", "a.b", ".25"})
        add(writeFile(root + QStringLiteral("fuzz_textrules/seed%1").arg(n++), QByteArray(token)));
    for (int level = 0; level < 3; ++level) {
        add(writeFile(root + QStringLiteral("fuzz_initcon/seed%1").arg(level), initCon(level)));
        const QString zip = root + QStringLiteral("fuzz_extract/seed%1").arg(level);
        add(writeZip(zip, {{QStringLiteral("Init.CON"), initCon(level)},
                           {QStringLiteral("Sub/Other.con"), QByteArray("rem other\r\n")}}));
    }
    return errors.join(QLatin1Char('\n'));
}

QString create(const QString& folder)
{
    const QString game = QDir(folder).absolutePath() + QLatin1Char('/');
    QStringList errors;
    auto add = [&errors](const QString& error) {
        if (!error.isEmpty())
            errors.append(error);
    };
    add(writeFile(game + QStringLiteral("gx3190.exe"), QByteArray("MZ demo program, not runnable\r\n")));

    const QString complete = game + QStringLiteral("mods/") + CompleteMod + QLatin1Char('/');
    add(writeFile(complete + QStringLiteral("AI/BotNames.AI"), botNamesFile(BotNames)));
    add(writeFile(complete + QStringLiteral("AI/AIDefault.AI"), aiDefault()));
    add(writeFile(complete + QStringLiteral("Settings/ServerSettings.CON"), serverSettings()));
    add(writeFile(complete + QStringLiteral("python/game/scoringCommon.py"), scoringScript()));
    const QStringList levels = Levels::LevelFolderNames();
    for (int i = 0; i < levels.size(); ++i) {
        const QString level = complete + QStringLiteral("Levels/") + levels.at(i) + QLatin1Char('/');
        add(writeZip(level + QStringLiteral("server.ZIP"),
                     {{QStringLiteral("Init.CON"), initCon(i)},
                      {QStringLiteral("GamePlayObjects.con"),
                       QByteArray("rem game play objects\r\nObjectTemplate.create ControlPoint CP_1\r\n").repeated(40)},
                      {QStringLiteral("StaticObjects.con"),
                       QByteArray("Object.create static_bunker\r\nObject.absolutePosition 10/20/30\r\n").repeated(60)},
                      {QStringLiteral("Overgrowth/Overgrowth.con"),
                       QByteArray("rem overgrowth\r\nOvergrowth.density 0.8\r\n").repeated(20)},
                      {QStringLiteral("Sounds.con"), QByteArray("SoundSettings.ambient wind_loop\r\n")}}));
    }
    for (const QString& movie : IntroSwitch::IntroMovies)
        add(writeFile(complete + movie, QByteArray("BIKi demo movie ") + QFileInfo(movie).fileName().toLatin1() +
                                            QByteArray(4096, '\x5a')));

    add(writeFile(game + QStringLiteral("mods/") + NamesOnlyMod + QStringLiteral("/AI/BotNames.AI"),
                  botNamesFile({QStringLiteral("Solo")}) + "\r\n" + botNamesFile({QStringLiteral("Caf\u00e9 Racer")})));

    const QString lower = game + QStringLiteral("mods/") + LowerCaseMod + QLatin1Char('/');
    add(writeFile(lower + QStringLiteral("ai/botnames.ai"),
                  botNamesFile({QStringLiteral("Lowkey"), QStringLiteral("Quiet One")})));
    add(writeFile(lower + QStringLiteral("ai/aidefault.ai"), aiDefault().replace("setMaxNBots", "SETMAXNBOTS")));
    add(writeFile(lower + QStringLiteral("settings/serversettings.con"),
                  serverSettings(1, true).replace("soldierFriendlyFire", "SoldierFRIENDLYfire")));
    add(writeFile(lower + QStringLiteral("python/game/scoringcommon.py"), scoringScript()));
    return errors.join(QLatin1Char('\n'));
}

} // namespace DemoGame
