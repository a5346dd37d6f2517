#include "tests/support/TestSupport.h"

#include "tools/demogame/DemoGame.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace TestSupport {

void RecordingPrompter::record(const char* kind, const QString& text)
{
    boxes.append({QString::fromLatin1(kind), text});
    if (onBox)
        onBox(boxes.last());
}

QStringList RecordingPrompter::column(QString Box::*field) const
{
    QStringList list;
    for (const Box& box : boxes)
        list.append(box.*field);
    return list;
}

DemoGameFolder::DemoGameFolder()
{
    path = dir.path() + QStringLiteral("/game/");
    const QString error = DemoGame::create(path);
    if (!error.isEmpty())
        QTest::qFail(qPrintable(QStringLiteral("demo game: ") + error), __FILE__, __LINE__);
}

QStringList texts(std::initializer_list<const char*> texts)
{
    QStringList list;
    for (const char* text : texts)
        list.append(QString::fromUtf8(text));
    return list;
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable: ") + QFile::encodeName(path) + ">";
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        QTest::qFail(qPrintable(QStringLiteral("cannot write ") + path), __FILE__, __LINE__);
}

QMap<QString, QByteArray> folderContents(const QString& folder)
{
    QMap<QString, QByteArray> contents;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry = it.nextFileInfo();
        contents.insert(QDir(folder).relativeFilePath(entry.filePath()),
                        entry.isSymLink() ? "-> " + QFile::encodeName(entry.symLinkTarget())
                        : entry.isDir()   ? QByteArray("<folder>")
                                          : readBytes(entry.filePath()));
    }
    return contents;
}

#ifdef Q_OS_UNIX
FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_old = limit.rlim_cur;
    // The signal would end the test; ignored, the write fails with EFBIG instead.
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = m_old;
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_oldHandler);
}
#endif

} // namespace TestSupport
