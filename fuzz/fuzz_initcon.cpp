// A level's Init.CON on arbitrary bytes: read, write unchanged, change every value, write, read again.
// Unchanged values leave the held text as it was; changed ones are read back as written.
#include "levels/LevelSettings.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    KeyedScript read(Levels::InitConKeys);
    read.load(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const QByteArray text = read.text();
    if (read.render() != text)
        std::abort();

    KeyedScript changed = read;
    for (qsizetype row = 0; row < std::ssize(Levels::InitConKeys); ++row) {
        if (const std::optional<qint64> value = changed.value(row))
            changed.setValue(row, Levels::InitConKeys[row].form == ValueForm::Switch ? !*value : 8 + row);
    }
    const QByteArray written = changed.render();
    // A key that also stands before the start position is replaced there too, which shifts the text and
    // may carry a later key across the start position: by design, so the read-back check skips such files.
    const QByteArray lowered = text.toLower();
    for (const ScriptKey& key : Levels::InitConKeys) {
        if (lowered.indexOf(key.key) != read.keyAt(&key - Levels::InitConKeys.data()))
            return 0;
    }
    KeyedScript again(Levels::InitConKeys);
    again.load(written);
    // Every value the first reading saw is seen again with its new value, and no key appears or disappears.
    for (qsizetype row = 0; row < std::ssize(Levels::InitConKeys); ++row) {
        if (again.value(row) != changed.value(row))
            std::abort();
    }
    return 0;
}
