#pragma once

#include <QString>

#include <array>
#include <initializer_list>

// The four files of a mod, relative to the mod folder.
enum class ModFile
{
    BotNames,
    AIDefault,
    ServerSettings,
    Scoring
};
namespace ModFiles {

inline constexpr std::array AllModFiles{ModFile::BotNames, ModFile::AIDefault, ModFile::ServerSettings,
                                        ModFile::Scoring};
// The path of a file relative to the mod folder, in the letter case the game writes.
QString modFileRelativePath(ModFile file);

} // namespace ModFiles

// A set of the mod's files: those present, those a save writes.
class ModFileSet final
{
public:
    constexpr ModFileSet() = default;
    constexpr ModFileSet(std::initializer_list<ModFile> files)
    {
        for (ModFile file : files)
            set(file, true);
    }
    // Every file of a mod.
    static constexpr ModFileSet all()
    {
        return {ModFile::BotNames, ModFile::AIDefault, ModFile::ServerSettings, ModFile::Scoring};
    }

    constexpr bool contains(ModFile file) const { return (m_bits & bit(file)) != 0; }
    constexpr bool isEmpty() const { return m_bits == 0; }
    // Adds the file when on is true, takes it out otherwise.
    constexpr void set(ModFile file, bool on) { m_bits = on ? m_bits | bit(file) : m_bits & ~bit(file); }
    constexpr void insert(ModFile file) { set(file, true); }

    friend constexpr bool operator==(ModFileSet, ModFileSet) = default;

private:
    static constexpr unsigned bit(ModFile file) { return 1u << static_cast<unsigned>(file); }
    unsigned m_bits = 0;
};
