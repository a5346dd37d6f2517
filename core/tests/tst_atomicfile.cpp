#include "core/AtomicFile.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_LINUX
// Root writes whatever the permission bits say, so a root run acts as "nobody" while this lives, with the
// folder's files made that user's first. ok is false when this process cannot act as another user.
struct PermissionBitsBind
{
    static constexpr uid_t Nobody = 65534;
    bool ok = true;
    bool switched = false;

    explicit PermissionBitsBind(const QString& folder)
    {
        if (geteuid() != 0)
            return;
        QDirIterator entries(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
        ok = chown(QFile::encodeName(folder).constData(), Nobody, Nobody) == 0;
        while (ok && entries.hasNext())
            ok = lchown(QFile::encodeName(entries.next()).constData(), Nobody, Nobody) == 0;
        // Both ids, so that access() answers for that user too; the saved id lets the process come back.
        switched = ok && setresuid(Nobody, Nobody, 0) == 0;
        // The folders above the test's own must let that user through.
        ok = switched && access(QFile::encodeName(folder).constData(), X_OK) == 0;
    }
    ~PermissionBitsBind()
    {
        if (switched && setresuid(0, 0, 0) != 0)
            qFatal("cannot act as root again");
    }
};

// Writes that would make a file larger than this fail (with EFBIG, as on a full disk) while this lives.
struct FileSizeLimit
{
    rlimit old{};
    void (*oldHandler)(int) = nullptr;

    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old);
        oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
};
#endif

} // namespace

class TestAtomicFile final : public QObject
{
    Q_OBJECT

private slots:
#ifdef Q_OS_LINUX
    void aFolderThatRefusesNewFilesGetsTheFileInPlace_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("roomToGrow");
        QTest::addColumn<bool>("saved");
        QTest::newRow("writable file") << false << true << true;
        QTest::newRow("read-only file") << true << true << false;
        // Met before any old byte is overwritten, so the old file stays whole.
        QTest::newRow("no room to grow") << false << false << false;
    }

    void aFolderThatRefusesNewFilesGetsTheFileInPlace()
    {
        QFETCH(bool, readOnly);
        QFETCH(bool, roomToGrow);
        QFETCH(bool, saved);
        QTemporaryDir dir;
        const QString folder = dir.path() + QStringLiteral("/AI");
        const QString names = folder + QStringLiteral("/BotNames.AI");
        const QByteArray before = "aiSettings.addBotName Alpha\r\naiSettings.addBotName Bravo\r\n";
        const QByteArray after = before + "aiSettings.addBotName Long Enough To Grow The File\r\n";
        WriteBytes(names, before);
        if (readOnly)
            QVERIFY(QFile::setPermissions(names, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        constexpr auto readAndEnter = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                      QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
        QVERIFY(QFile::setPermissions(folder, readAndEnter));
        QString error;
        {
            const PermissionBitsBind bind(dir.path());
            if (!bind.ok)
                QSKIP("running as root, and cannot act as an unprivileged user to make the folder's bits bind");
            std::optional<FileSizeLimit> limit;
            if (!roomToGrow)
                limit.emplace(before.size() + 8);
            error = FileSystem::writeFileAtomically(names, after);
        }
        QVERIFY(QFile::setPermissions(folder, readAndEnter | QFileDevice::WriteOwner));

        QVERIFY2(error.isEmpty() == saved, qPrintable(error));
        QCOMPARE(ReadBytes(names), saved ? after : before);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("BotNames.AI")});
    }
#endif
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
