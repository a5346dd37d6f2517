#include "levels/LevelSettings.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

namespace {

// Filler that puts whatever follows past SearchStart, as the game's object templates do.
QByteArray filler()
{
    return QByteArray("rem ").append(QByteArray(2400, '*')).append("\r\n");
}

// The twelve lines the editor reads, in mixed letter case: team 1 has 110 tickets per 16 players, team 2 has 100.
QByteArray settingsLines()
{
    QByteArray lines = "gameLogic.maximumLevelViewDistance 800\r\nGameLogic.UseColdBreath 1\r\n";
    for (int players = 16; players <= 128; players *= 2) {
        for (int team = 1; team <= 2; ++team)
            lines += QStringLiteral("gameLogic.setDefaultNumberOfTicketsEx %1 %2 %3\r\n")
                         .arg(players)
                         .arg(team)
                         .arg(players / 16 * (team == 1 ? 110 : 100))
                         .toLatin1();
    }
    return lines + "gameLogic.setTicketLossPerMin 1 5\r\ngameLogic.setTicketLossPerMin 2 12\r\n";
}

} // namespace

class TestLevelSettings final : public QObject
{
    Q_OBJECT

private slots:
    void readsAndWritesFromTheSearchStart()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("Init.CON"));
        // Keys before the start are not read, but a write replaces every place that holds the same old value.
        const QByteArray early = "gamelogic.setticketlosspermin 1 5\r\ngamelogic.maximumlevelviewdistance 300\r\n";
        const QByteArray lines = early + filler() + settingsLines();
        // Lone line ends become CR LF in the held form; the last line gets its end.
        writeBytes(path, QByteArray(lines).replace("\r\n", "\n").chopped(1));
        ScriptText text;
        QVERIFY(Levels::readLevelFile(path, text).isEmpty());
        QCOMPARE(text.text(), lines);
        LevelSettings settings = Levels::readLevelSettings(text);
        QStringList values;
        for (const Levels::LevelValueInfo& info : Levels::LevelValues)
            values.append(settings.value(info.which) + QLatin1Char('/') + settings.oldValue(info.which));
        // PT128's value stands right after its 44-character key.
        QCOMPARE(values.join(QLatin1Char(' ')),
                 QStringLiteral("800/800 110/110 100/100 220/220 200/200 440/440 400/400 880/880 800/800 5/5 12/12"));
        QVERIFY(settings.ColdBreathPresent && settings.ColdBreathOn);
        // Nothing changed: the text is exactly as read, letter case and all, with no line added.
        QCOMPARE(Levels::writeLevelSettings(text, settings).text(), lines);

        settings.MaxViewDistance = QStringLiteral("5");
        settings.value(Levels::LevelValue::PT128) = QStringLiteral("999");
        settings.TicketLoss = {QStringLiteral("7"), QStringLiteral("0")};
        settings.ColdBreathOn = false;
        QByteArray expected = lines;
        expected.replace("ViewDistance 800", "ViewDistance 5")
            .replace("UseColdBreath 1", "UseColdBreath 0")
            .replace("128 1 880", "128 1 999")
            .replace("LossPerMin 1 5", "LossPerMin 1 7")
            .replace("losspermin 1 5", "losspermin 1 7")
            .replace("LossPerMin 2 12", "LossPerMin 2 0");
        const ScriptText written = Levels::writeLevelSettings(text, settings);
        QCOMPARE(written.text(), expected);
        // Read-only is cleared first, as the game's own tools did.
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadUser));
        QCOMPARE(Levels::writeLevelFile(path, written), QString());
        QCOMPARE(readBytes(path), expected);
        QVERIFY(QFileInfo(path).isWritable());
        ScriptText missing;
        QVERIFY(!Levels::readLevelFile(dir.filePath(QStringLiteral("missing")), missing).isEmpty());
    }

    // One line past the search start: what is read from it, and the line written once a value read is set to 120
    // and cold breath to the other state. A value the editor cannot read stays as it is.
    void oneLine_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("read"); // the view distance, or cold breath as on or off
        QTest::addColumn<QByteArray>("written");
        const auto row = [](const char* line, const char* read, const char* written) {
            QTest::newRow(line) << QByteArray(line) << QString::fromLatin1(read) << QByteArray(written);
        };
        row("gameLogic.maximumLevelViewDistance 1500", "1500", "gameLogic.maximumLevelViewDistance 120");
        row("gameLogic.maximumLevelViewDistance 050", "050", "gameLogic.maximumLevelViewDistance 120");
        row("gameLogic.maximumLevelViewDistance 5.5", "5", "gameLogic.maximumLevelViewDistance 120");
        for (const char* unread :
             {"gameLogic.maximumLevelViewDistance -1", "gameLogic.maximumLevelViewDistance v_arg1",
              "gameLogic.maximumLevelViewDistance ", "rem no cold breath here", "gamelogic.usecoldbreath yes"})
            row(unread, "", unread);
        // Cold breath is written as 1 or 0 in the line's own letter case.
        row("gamelogic.usecoldbreath 0", "off", "gamelogic.usecoldbreath 1");
        row("gameLogic.useColdBreath 1", "on", "gameLogic.useColdBreath 0");
        row("GAMELOGIC.USECOLDBREATH 2", "on", "GAMELOGIC.USECOLDBREATH 0");
    }

    void oneLine()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, read);
        QFETCH(QByteArray, written);
        const QByteArray after = "\r\ngamelogic.setticketlosspermin 1 5\r\n";
        const ScriptText text = ScriptText::fromFileBytes(filler() + line + after);
        LevelSettings settings = Levels::readLevelSettings(text);
        QCOMPARE(settings.MaxViewDistance + QLatin1String(!settings.ColdBreathPresent ? ""
                                                          : settings.ColdBreathOn     ? "on"
                                                                                      : "off"),
                 read);
        QCOMPARE(settings.TicketLoss[0], QStringLiteral("5")); // the next key is unaffected
        if (!settings.MaxViewDistance.isEmpty())
            settings.MaxViewDistance = QStringLiteral("120");
        settings.ColdBreathOn = !settings.ColdBreathOn;
        QCOMPARE(Levels::writeLevelSettings(text, settings).text(), filler() + written + after);
    }

    void spinPositions()
    {
        const Levels::LevelValueInfo& view = Levels::LevelValues[0];
        const Levels::LevelValueInfo& loss = Levels::LevelValues[9];
        QCOMPARE(Levels::spinPosition(QStringLiteral("050"), view), 50);
        QCOMPARE(Levels::spinPosition(QStringLiteral("1500"), view), 999);
        QCOMPARE(Levels::spinPosition(QStringLiteral("0"), view), 1);
        QCOMPARE(Levels::spinPosition(QStringLiteral("0"), loss), 0);
        QCOMPARE(Levels::spinPosition(QStringLiteral("99999999999999999999999"), loss), 999);
    }
};

QTEST_GUILESS_MAIN(TestLevelSettings)
#include "tst_levelsettings.moc"
