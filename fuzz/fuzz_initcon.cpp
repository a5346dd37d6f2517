// A level's Init.CON on arbitrary bytes: read, write unchanged, change every value, write, read again.
// Unchanged values leave the held text as it was; changed ones are read back as written.
#include "levels/LevelSettings.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const ScriptText text =
        ScriptText::fromFileBytes(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const LevelSettings read = Levels::readLevelSettings(text);
    // Unchanged values leave the text as it was; only cold breath is always written as 1 or 0.
    const QByteArray coldBreath = text.valueToken(Levels::ColdBreathKey, Levels::SearchStart);
    const bool coldBreathPlain = coldBreath.isEmpty() || coldBreath == "0" || coldBreath == "1";
    if (coldBreathPlain && Levels::writeLevelSettings(text, read).text() != text.text())
        std::abort();

    LevelSettings changed = read;
    int n = 0;
    for (const Levels::LevelValueInfo& info : Levels::LevelValues) {
        if (!changed.value(info.which).isEmpty())
            changed.value(info.which) = QString::number(info.minimum + 7 + n++);
    }
    changed.ColdBreathOn = !changed.ColdBreathOn;
    const ScriptText written = Levels::writeLevelSettings(text, changed);
    // A key that also stands before the start position is replaced there too, which shifts the text and
    // may carry a later key across the start position: by design, so the read-back check skips such files.
    bool keysOnlyAfterStart =
        text.find(Levels::ColdBreathKey, 1) == text.find(Levels::ColdBreathKey, Levels::SearchStart);
    for (const Levels::LevelValueInfo& info : Levels::LevelValues)
        keysOnlyAfterStart = keysOnlyAfterStart && text.find(info.key, 1) == text.find(info.key, Levels::SearchStart);
    if (!keysOnlyAfterStart)
        return 0;
    const LevelSettings again = Levels::readLevelSettings(written);
    // Every value the first reading saw is seen again with its new value, and no key appears or disappears.
    for (const Levels::LevelValueInfo& info : Levels::LevelValues) {
        if (again.value(info.which) != changed.value(info.which))
            std::abort();
    }
    if (again.ColdBreathPresent != read.ColdBreathPresent ||
        (read.ColdBreathPresent && again.ColdBreathOn != changed.ColdBreathOn))
        std::abort();
    return 0;
}
