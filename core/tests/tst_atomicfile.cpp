#include "core/AtomicFile.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

using namespace TestSupport;

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
#endif

} // namespace

class TestAtomicFile final : public QObject
{
    Q_OBJECT

private slots:
#ifdef Q_OS_LINUX
    void savesWholeOrNotAtAll_data()
    {
        QTest::addColumn<bool>("folderRefusesNewFiles");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("roomToGrow");
        QTest::addColumn<bool>("throughLink");
        QTest::addColumn<bool>("saved");
        QTest::newRow("saved") << false << false << true << false << true;
        // The link stays a link, and the file it names gets the new bytes.
        QTest::newRow("through a link") << false << false << true << true << true;
        QTest::newRow("read-only") << false << true << true << false << false;
        QTest::newRow("full disk") << false << false << false << false << false;
        // No temporary file can stand beside the target, so the file is written in place.
        QTest::newRow("in place") << true << false << true << false << true;
        QTest::newRow("in place, read-only") << true << true << true << false << false;
        // Met before any old byte is overwritten, so the old file stays whole.
        QTest::newRow("in place, no room to grow") << true << false << false << false << false;
    }

    void savesWholeOrNotAtAll()
    {
        QFETCH(bool, folderRefusesNewFiles);
        QFETCH(bool, readOnly);
        QFETCH(bool, roomToGrow);
        QFETCH(bool, throughLink);
        QFETCH(bool, saved);
        QTemporaryDir dir;
        const QString folder = dir.path() + QStringLiteral("/AI");
        const QString names = folder + QStringLiteral("/BotNames.AI");
        const QString file = throughLink ? dir.path() + QStringLiteral("/elsewhere/BotNames.AI") : names;
        const QByteArray before = "aiSettings.addBotName Alpha\r\naiSettings.addBotName Bravo\r\n";
        const QByteArray after = before + "aiSettings.addBotName Long Enough To Grow The File\r\n";
        writeBytes(file, before);
        QVERIFY(QDir().mkpath(folder));
        if (throughLink)
            QVERIFY(QFile::link(QStringLiteral("../elsewhere/BotNames.AI"), names));
        // Not the bits a new file gets, so that a save that makes a new file shows.
        QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                (readOnly ? QFileDevice::Permissions() : QFileDevice::WriteOwner)));
        const QFileDevice::Permissions bits = QFile::permissions(file);
        constexpr auto readAndEnter = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                      QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
        if (folderRefusesNewFiles)
            QVERIFY(QFile::setPermissions(folder, readAndEnter));
        QString error;
        {
            std::optional<PermissionBitsBind> bind;
            if (folderRefusesNewFiles && !bind.emplace(dir.path()).ok)
                QSKIP("running as root, and cannot act as an unprivileged user to make the folder's bits bind");
            std::optional<FileSizeLimit> limit;
            if (!roomToGrow)
                limit.emplace(before.size() + 8);
            error = FileSystem::writeFileAtomically(names, after);
        }
        QVERIFY(QFile::setPermissions(folder, readAndEnter | QFileDevice::WriteOwner));

        QVERIFY2(error.isEmpty() == saved, qPrintable(error));
        QCOMPARE(readBytes(file), saved ? after : before);
        QCOMPARE(QFile::permissions(file), bits);
        QCOMPARE(QFileInfo(names).isSymLink(), throughLink);
        QCOMPARE(folderContents(folder).keys(), QStringList{QStringLiteral("BotNames.AI")});
    }
#endif
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
