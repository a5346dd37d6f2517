#include "modfiles/ServerSettingsFile.h"

#include "modfiles/FileNumbers.h"

namespace {

// The key of a friendly-fire value, lower case with its trailing blank.
QByteArrayView friendlyFireKey(FriendlyFire which)
{
    switch (which) {
    case FriendlyFire::SoldierFF:
        return "sv.soldierfriendlyfire ";
    case FriendlyFire::VehicleFF:
        return "sv.vehiclefriendlyfire ";
    case FriendlyFire::SoldierSplashFF:
        return "sv.soldiersplashfriendlyfire ";
    case FriendlyFire::VehicleSplashFF:
        return "sv.vehiclesplashfriendlyfire ";
    }
    return {};
}

} // namespace

ServerSettingsFile ServerSettingsFile::load(QByteArrayView bytes)
{
    ServerSettingsFile file;
    file.m_text = ScriptText::fromFileBytes(bytes);
    for (FriendlyFire which : ModFiles::AllFriendlyFire) {
        const int i = static_cast<int>(which);
        file.m_values[i] = ModFiles::digitValue(file.m_text, friendlyFireKey(which), ModFiles::FriendlyFireSearchStart);
        file.m_oldValues[i] = file.m_values[i];
    }
    return file;
}

QByteArray ServerSettingsFile::render() const
{
    ScriptText text = m_text;
    for (FriendlyFire which : ModFiles::AllFriendlyFire) {
        const QString& value = friendlyFire(which);
        const QByteArrayView key = friendlyFireKey(which);
        const qsizetype at = text.find(key, ModFiles::FriendlyFireSearchStart);
        if (at < 0 || value.isEmpty() || value == m_oldValues.at(static_cast<int>(which)))
            continue;
        text.replaceToken(key, text.tokenAfter(at, key.size()), value.toLatin1());
    }
    return text.text();
}

void ServerSettingsFile::commit(const QByteArray& written)
{
    m_text = ScriptText(written);
    m_oldValues = m_values;
}

bool ServerSettingsFile::setFriendlyFire(FriendlyFire which, const QString& value)
{
    QString& current = m_values[static_cast<int>(which)];
    if (current == value)
        return false;
    current = value;
    return true;
}

qsizetype ServerSettingsFile::friendlyFireKeyAt(FriendlyFire which) const
{
    return m_text.find(friendlyFireKey(which), ModFiles::FriendlyFireSearchStart);
}
