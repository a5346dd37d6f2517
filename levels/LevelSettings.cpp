#include "levels/LevelSettings.h"

#include "core/AtomicFile.h"
#include "core/TextRules.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <QDir>
#include <windows.h>
#endif

namespace {

// A value the editor may change: a plain run of digits, or the whole part of one written with a fraction.
// Anything else ("-1", "$x") is left as the file has it, because writing a number over it would lose what
// the author meant.
QString plainNumber(QByteArrayView token)
{
    if (token.isEmpty() || TextRules::KeepDigits(token) != token)
        return {};
    return QString::fromLatin1(token);
}

} // namespace

QString& LevelSettings::value(Levels::LevelValue which)
{
    return const_cast<QString&>(std::as_const(*this).value(which));
}

const QString& LevelSettings::value(Levels::LevelValue which) const
{
    const int i = static_cast<int>(which);
    if (which == Levels::LevelValue::MaxViewDistance)
        return MaxViewDistance;
    if (which == Levels::LevelValue::PLPM || which == Levels::LevelValue::ELPM)
        return TicketLoss.at(static_cast<size_t>(i - static_cast<int>(Levels::LevelValue::PLPM)));
    return Tickets.at(static_cast<size_t>(i - static_cast<int>(Levels::LevelValue::PT16)));
}

QString& LevelSettings::oldValue(Levels::LevelValue which)
{
    return const_cast<QString&>(std::as_const(*this).oldValue(which));
}

const QString& LevelSettings::oldValue(Levels::LevelValue which) const
{
    const int i = static_cast<int>(which);
    if (which == Levels::LevelValue::MaxViewDistance)
        return OldMaxViewDistance;
    if (which == Levels::LevelValue::PLPM || which == Levels::LevelValue::ELPM)
        return OldTicketLoss.at(static_cast<size_t>(i - static_cast<int>(Levels::LevelValue::PLPM)));
    return OldTickets.at(static_cast<size_t>(i - static_cast<int>(Levels::LevelValue::PT16)));
}

namespace Levels {

int spinPosition(const QString& value, const LevelValueInfo& info)
{
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (!ok) // longer than any number, or empty
        return value.isEmpty() ? info.minimum : info.maximum;
    return static_cast<int>(std::clamp<qlonglong>(number, info.minimum, info.maximum));
}

LevelSettings readLevelSettings(const ScriptText& text)
{
    LevelSettings settings;
    for (const LevelValueInfo& info : LevelValues) {
        const QString value = plainNumber(TextRules::wholePart(text.valueToken(info.key, SearchStart)));
        settings.value(info.which) = value;
        settings.oldValue(info.which) = value;
    }
    const QByteArray coldBreath = text.valueToken(ColdBreathKey, SearchStart);
    settings.ColdBreathPresent = !plainNumber(coldBreath).isEmpty();
    settings.ColdBreathOn = settings.ColdBreathPresent && coldBreath.count('0') != coldBreath.size();
    return settings;
}

ScriptText writeLevelSettings(const ScriptText& text, const LevelSettings& settings)
{
    ScriptText result = text;
    const auto write = [&result](const char* key, const QByteArray& token) {
        const QByteArrayView keyView(key);
        const qsizetype at = result.find(keyView, SearchStart);
        if (at < 0)
            return;
        const QByteArray oldToken = result.tokenAfter(at, keyView.size());
        if (oldToken != token)
            result.replaceToken(keyView, oldToken, token);
    };
    for (const LevelValueInfo& info : LevelValues) {
        const QString& value = settings.value(info.which);
        if (!value.isEmpty() && value != settings.oldValue(info.which))
            write(info.key, value.toLatin1());
    }
    if (settings.ColdBreathPresent)
        write(ColdBreathKey, settings.ColdBreathOn ? QByteArray("1") : QByteArray("0"));
    return result;
}

QString readLevelFile(const QString& path, ScriptText& text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    text = ScriptText::fromFileBytes(bytes);
    return {};
}

QString writeLevelFile(const QString& path, const ScriptText& text)
{
    if (QFileInfo(path).isFile()) {
#ifdef Q_OS_WIN
        const QString native = QDir::toNativeSeparators(path);
        SetFileAttributesW(reinterpret_cast<const wchar_t*>(native.utf16()), FILE_ATTRIBUTE_ARCHIVE);
#endif
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner | QFileDevice::WriteUser);
    }
    return FileSystem::writeFileAtomically(path, text.text());
}

} // namespace Levels
