#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Builds a demo game folder: the program file, and a mods folder with a complete mod (four settings files,
// thirteen level archives, five movies), a mod with bot names only and a mod whose files use other letter
// case on disk. The files read like the game's own scripts. Tests, fuzz seeds, benchmarks and the run
// script all start from it.
namespace DemoGame {

inline const QString CompleteMod = QStringLiteral("gx3190");
inline const QString NamesOnlyMod = QStringLiteral("Bot Names Only");
inline const QString LowerCaseMod = QStringLiteral("lower.case mod");

// The values the complete mod holds.
inline const QStringList BotNames{QStringLiteral("Kestrel"), QStringLiteral("Vargo Ash"), QStringLiteral("Mira-7"),
                                  QStringLiteral("Old Tom"), QStringLiteral("Brannoch"),  QStringLiteral("Zell")};
inline constexpr int MaxBots = 32;
inline constexpr int BotSkill = 50; // the file holds 0.5
inline constexpr int FriendlyFire[4] = {100, 50, 75, 25};

// The tickets a level's archive holds for a game of players (16, 32, 64 or 128) and a team (1 or 2).
int tickets(int levelIndex, int players, int team);

// The score constant values of the complete mod, in table order.
QList<int> scoreValues();

// Text builders, also used for fuzz seeds and scaled benchmark files. scale repeats the filler lines.
QByteArray serverSettings(int scale = 1, bool mixedCase = true);
QByteArray aiDefault(int scale = 1);
QByteArray botNamesFile(const QStringList& names);
QByteArray scoringScript(int scale = 1);
QByteArray initCon(int levelIndex);

// Writes a ZIP archive with the given members (name, bytes); names may hold folders ("a/b.con").
QString writeZip(const QString& path, const QList<QPair<QString, QByteArray>>& members);

// Seed inputs for the fuzz harnesses, one folder per harness (fuzz_modfiles: the file kind byte and
// the file; fuzz_textrules: value tokens; fuzz_initcon: level scripts; fuzz_extract: level archives).
QString writeFuzzSeeds(const QString& folder);

// Creates the demo game in folder (which may exist). Returns an empty text on success, else the error.
QString create(const QString& folder);

} // namespace DemoGame
