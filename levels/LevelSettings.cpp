#include "levels/LevelSettings.h"

#include "core/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <QDir>
#include <windows.h>
#endif

namespace Levels {

const QList<ValueDescriptor>& levelValues()
{
    static const QList<ValueDescriptor> values = [] {
        const auto number = [](const char* name, const QString& caption, LevelValue which) {
            const int minimum = which == LevelValue::PLPM || which == LevelValue::ELPM ? 0 : 1;
            return ValueDescriptor{QLatin1String(name), caption, {minimum, 999}, {}, static_cast<qsizetype>(which)};
        };
        QList<ValueDescriptor> list{
            number("max-view", QStringLiteral("Max View Distance"), LevelValue::MaxViewDistance),
            {QStringLiteral("cold-breath"),
             QStringLiteral("Cold Breath"),
             {0, 1},
             {},
             static_cast<qsizetype>(LevelValue::ColdBreath),
             true}};
        const char* const names[] = {"pac-tickets-16", "eu-tickets-16", "pac-tickets-32",  "eu-tickets-32",
                                     "pac-tickets-64", "eu-tickets-64", "pac-tickets-128", "eu-tickets-128"};
        for (int i = 0; i < 8; ++i) {
            const QString caption = QStringLiteral("%1 Tickets (%2)")
                                        .arg(i % 2 == 0 ? QStringLiteral("Pac") : QStringLiteral("EU"))
                                        .arg(16 << (i / 2));
            list.append(number(names[i], caption, static_cast<LevelValue>(static_cast<int>(LevelValue::PT16) + i)));
        }
        list.append(number("pac-ticket-loss", QStringLiteral("Pac Ticket Loss P/Min"), LevelValue::PLPM));
        list.append(number("eu-ticket-loss", QStringLiteral("EU Ticket Loss P/Min"), LevelValue::ELPM));
        return list;
    }();
    return values;
}

QString readLevelFile(const QString& path, KeyedScript& settings)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    settings.load(bytes);
    return {};
}

QString writeLevelFile(const QString& path, const QByteArray& bytes)
{
    if (QFileInfo(path).isFile()) {
#ifdef Q_OS_WIN
        const QString native = QDir::toNativeSeparators(path);
        SetFileAttributesW(reinterpret_cast<const wchar_t*>(native.utf16()), FILE_ATTRIBUTE_ARCHIVE);
#endif
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner | QFileDevice::WriteUser);
    }
    return FileSystem::writeFileAtomically(path, bytes);
}

} // namespace Levels
