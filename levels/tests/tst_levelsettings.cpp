#include "levels/LevelSettings.h"
#include "tests/support/TestSupport.h"
#include "tools/demogame/DemoGame.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

class TestLevelSettings final : public QObject
{
    Q_OBJECT

private slots:
    // The demo levels' Init.CON: every value read, the view distance changed and written back through a file
    // that was read-only, as the game's own tools leave it.
    void readsAndWritesInitCon()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("Init.CON"));
        const int level = 8;
        const QByteArray bytes = DemoGame::initCon(level);
        writeBytes(path, bytes);
        KeyedScript settings(Levels::InitConKeys);
        QVERIFY(Levels::readLevelFile(path, settings).isEmpty());
        QCOMPARE(settings.text(), bytes);
        QStringList tickets;
        for (const ValueDescriptor& value : Levels::levelValues()) {
            if (value.name.contains(QLatin1String("tickets-")))
                tickets.append(QString::number(settings.value(value.row).value_or(-1)));
        }
        QStringList expected;
        for (int players = 16; players <= 128; players *= 2) {
            for (int team = 1; team <= 2; ++team)
                expected.append(QString::number(DemoGame::tickets(level, players, team)));
        }
        QCOMPARE(tickets, expected);

        const auto view = static_cast<qsizetype>(Levels::LevelValue::MaxViewDistance);
        const qint64 old = settings.value(view).value_or(-1);
        QVERIFY(settings.setValue(view, old + 1));
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadUser));
        QCOMPARE(Levels::writeLevelFile(path, settings.render()), QString());
        QVERIFY(QFileInfo(path).isWritable());
        KeyedScript again(Levels::InitConKeys);
        QVERIFY(Levels::readLevelFile(path, again).isEmpty());
        QCOMPARE(again.value(view), old + 1);
        QVERIFY(!Levels::readLevelFile(dir.filePath(QStringLiteral("missing")), again).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLevelSettings)
#include "tst_levelsettings.moc"
