// The four mod file formats on arbitrary bytes: load, render unchanged, change every value, render, load
// again. An unchanged load and save gives the held form of the file back byte for byte (lines ended by
// CR LF), and changed score constants are read back as written.
#include "core/TextRules.h"
#include "modfiles/ModSettings.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const auto file = static_cast<ModFile>(data[0] % 4);
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

    ModSettings mod;
    mod.loadFile(file, bytes);
    const QByteArray unchanged = mod.renderFile(file);
    if (file == ModFile::BotNames) {
        ModSettings again;
        again.loadFile(file, unchanged);
        if (again.BotNames() != mod.BotNames())
            std::abort();
    } else if (unchanged != TextRules::joinLines(TextRules::splitLines(bytes))) {
        std::abort();
    }
    mod.commitFile(file, unchanged);

    for (FriendlyFire which : ModFiles::AllFriendlyFire)
        mod.setValue(ModFiles::friendlyFireValue(which), 42);
    mod.setValue(ModFiles::maxBotsValue(), 7);
    mod.setValue(ModFiles::botSkillValue(), 33);
    for (int row = 0; row < mod.ScoreLines().size(); ++row)
        mod.setScoreValue(row, -row);
    mod.addBotName(QStringLiteral("Fuzz Bot"));
    const QByteArray changed = mod.renderFile(file);
    mod.commitFile(file, changed);

    ModSettings reread;
    reread.loadFile(file, changed);
    // The rewritten lines keep their keys, so the same constants are recognised with their new values.
    if (reread.ScoreLines().size() != mod.ScoreLines().size())
        std::abort();
    for (int row = 0; row < reread.ScoreLines().size(); ++row) {
        if (reread.ScoreValues().at(row) != -row)
            std::abort();
    }
    if (file == ModFile::BotNames && reread.BotNames() != mod.BotNames())
        std::abort();
    // Rendering what was just committed writes the same bytes again: nothing grows per save.
    if (mod.renderFile(file) != changed)
        std::abort();
    return 0;
}
