// The Wine prefixes the game may be installed in: the user's own, and those that prefix managers and
// launchers keep in folders of their own.
#include "startup/StartUp.h"

#include "core/FileSystem.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace StartUp {

namespace {

// A configuration file larger than this is not one the manager wrote.
constexpr qint64 MaxConfigBytes = 1 << 20;

// The prefix Wine itself uses: $WINEPREFIX, else ~/.wine.
QString UsersPrefix()
{
    const QString prefix = qEnvironmentVariable("WINEPREFIX");
    return prefix.isEmpty() ? QDir::homePath() + QStringLiteral("/.wine") : prefix;
}

// The sub-folders of folder in name order, as paths through folder's canonical path (a sub-folder that is a
// link, through its target's), so that a prefix reached two ways has one name; none when it cannot be read.
QStringList Subfolders(const QString& folder)
{
    const QString base = QFileInfo(folder).canonicalFilePath();
    if (base.isEmpty())
        return {};
    QList<QFileInfo> entries;
    QDirIterator it(base, QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        entries.append(it.fileInfo());
    }
    std::sort(entries.begin(), entries.end(),
              [](const QFileInfo& a, const QFileInfo& b) { return a.fileName() < b.fileName(); });
    QStringList paths;
    for (const QFileInfo& entry : entries)
        paths.append(entry.isSymLink() ? entry.canonicalFilePath() : entry.filePath());
    return paths;
}

// The text of a small regular file (never a pipe or a device, which could block the read); empty otherwise.
QString ConfigText(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > MaxConfigBytes)
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.read(MaxConfigBytes));
}

// The "prefix" of each Lutris game configuration (YAML) in folder, in file name order. Only that one key is
// read, as a plain or quoted scalar; "~/" stands for the home folder.
QStringList LutrisPrefixes(const QString& folder, const QString& home)
{
    static const QRegularExpression key(QStringLiteral(R"(^\s*prefix:[ \t]*(.*?)\s*$)"),
                                        QRegularExpression::MultilineOption);
    QStringList prefixes;
    const QStringList files =
        QDir(folder).entryList({QStringLiteral("*.yml"), QStringLiteral("*.yaml")}, QDir::Files, QDir::Name);
    for (const QString& name : files) {
        const QRegularExpressionMatch match = key.match(ConfigText(folder + QLatin1Char('/') + name));
        QString value = match.captured(1);
        if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
            value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        if (value.startsWith(QLatin1String("~/")))
            value = home + value.mid(1);
        if (QDir::isAbsolutePath(value))
            prefixes.append(QFileInfo(value).canonicalFilePath());
    }
    return prefixes;
}

// The libraries listed in a Steam libraryfolders.vdf: each "path" value, its escapes undone.
QStringList SteamLibraries(const QString& vdf)
{
    static const QRegularExpression key(QStringLiteral(R"re("path"\s*"((?:[^"\\]|\\.)*)")re"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression escape(QStringLiteral(R"(\\(.))"));
    QStringList libraries;
    QRegularExpressionMatchIterator it = key.globalMatch(ConfigText(vdf));
    while (it.hasNext()) {
        const QString path = it.next().captured(1).replace(escape, QStringLiteral("\\1"));
        if (QDir::isAbsolutePath(path))
            libraries.append(path);
    }
    return libraries;
}

} // namespace

QStringList programFilesFolders()
{
    const QString driveC = FileSystem::resolvePath(UsersPrefix(), QStringLiteral("drive_c"));
    return {FileSystem::withTrailingSlash(FileSystem::resolvePath(driveC, QStringLiteral("Program Files"))),
            FileSystem::withTrailingSlash(FileSystem::resolvePath(driveC, QStringLiteral("Program Files (x86)")))};
}

QList<GamePlace> gamePlaces()
{
    const QString home = QDir::homePath();
    // Each prefix with the manager that keeps it, by its canonical path: a prefix reached twice (through a
    // link, or a library listed under two Steam folders) is looked at once, under its first manager.
    QList<std::pair<QString, QString>> prefixes;
    const auto add = [&prefixes](const char* manager, const QStringList& folders) {
        for (const QString& folder : folders)
            prefixes.append({QString::fromLatin1(manager), folder});
    };
    const QString winePrefix = qEnvironmentVariable("WINEPREFIX");
    add("Wine",
        {QFileInfo(winePrefix).canonicalFilePath(), QFileInfo(home + QStringLiteral("/.wine")).canonicalFilePath()});
    add("Lutris", LutrisPrefixes(home + QStringLiteral("/.config/lutris/games"), home));
    add("Lutris", LutrisPrefixes(home + QStringLiteral("/.local/share/lutris/games"), home));
    add("Lutris", Subfolders(home + QStringLiteral("/Games")));
    add("Bottles", Subfolders(home + QStringLiteral("/.local/share/bottles/bottles")));
    add("Bottles", Subfolders(home + QStringLiteral("/.var/app/com.usebottles.bottles/data/bottles/bottles")));
    add("PlayOnLinux", Subfolders(home + QStringLiteral("/.PlayOnLinux/wineprefix")));
    QStringList libraries;
    for (const char* steam :
         {"/.steam/steam", "/.local/share/Steam", "/.var/app/com.valvesoftware.Steam/.local/share/Steam"}) {
        for (const QString& library :
             SteamLibraries(home + QLatin1String(steam) + QStringLiteral("/steamapps/libraryfolders.vdf"))) {
            const QString canonical = QFileInfo(library).canonicalFilePath();
            if (!canonical.isEmpty() && !libraries.contains(canonical))
                libraries.append(canonical);
        }
    }
    for (const QString& library : libraries) {
        QStringList compat;
        for (const QString& app : Subfolders(library + QStringLiteral("/steamapps/compatdata")))
            compat.append(app + QStringLiteral("/pfx"));
        add("Steam", compat);
    }
    add("CrossOver", Subfolders(home + QStringLiteral("/.cxoffice")));
    add("Heroic", Subfolders(home + QStringLiteral("/Games/Heroic/Prefixes")));
    add("Heroic", Subfolders(home + QStringLiteral("/Games/Heroic/Prefixes/default")));

    // The first place is the one "PrPath" names, whether or not it exists, as it is spelt.
    QList<GamePlace> places{{QStringLiteral("Wine"), programFilesFolders()}};
    QSet<QString> seen{QFileInfo(UsersPrefix()).canonicalFilePath()};
    for (const auto& [manager, prefix] : prefixes) {
        if (prefix.isEmpty() || seen.contains(prefix))
            continue;
        seen.insert(prefix);
        // Made by Wine, which spells these folders so. Nothing is looked up here: a folder that is not a prefix
        // costs the search two listings that fail, and a start that finds the game early no more.
        places.append({manager,
                       {prefix + QStringLiteral("/drive_c/Program Files/"),
                        prefix + QStringLiteral("/drive_c/Program Files (x86)/")}});
    }
    return places;
}

} // namespace StartUp
