#pragma once

#include "core/ScriptText.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>

// The four friendly-fire values of ServerSettings.CON, in the order they are read and written.
enum class FriendlyFire
{
    SoldierFF,
    VehicleFF,
    SoldierSplashFF,
    VehicleSplashFF
};
namespace ModFiles {

inline constexpr std::array AllFriendlyFire{FriendlyFire::SoldierFF, FriendlyFire::VehicleFF,
                                            FriendlyFire::SoldierSplashFF, FriendlyFire::VehicleSplashFF};

// The 1-based character position from which the friendly-fire keys are looked for.
inline constexpr qsizetype FriendlyFireSearchStart = 450;

} // namespace ModFiles

// Settings/ServerSettings.CON: a settings script held whole, of which the editor changes only the four
// friendly-fire values. A save replaces the whole token after the key of a changed value and keeps every
// other byte, the file's own letter case included.
class ServerSettingsFile final
{
public:
    // Holds the file as lines each followed by CR LF; a value is the digits of the whole token after its key.
    static ServerSettingsFile load(QByteArrayView bytes);
    // The held text with every changed value in place of the token the file holds for it.
    QByteArray render() const;
    // Takes the bytes just written as the held text, and the values in them as the ones the file holds.
    void commit(const QByteArray& written);

    // Texts of whole numbers, empty when the file holds no number for the key.
    const QString& friendlyFire(FriendlyFire which) const { return m_values.at(static_cast<int>(which)); }
    // Answers whether the value changed.
    bool setFriendlyFire(FriendlyFire which, const QString& value);
    // Where the key stands in the held text, counted from 0, or -1 when it is not found from the search start.
    qsizetype friendlyFireKeyAt(FriendlyFire which) const;

private:
    ScriptText m_text;
    std::array<QString, ModFiles::AllFriendlyFire.size()> m_values;
    // The values the file holds, so that a save replaces only what was changed.
    std::array<QString, ModFiles::AllFriendlyFire.size()> m_oldValues;
};
