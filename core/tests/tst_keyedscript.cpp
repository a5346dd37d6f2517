#include "core/KeyedScript.h"
#include "levels/LevelSettings.h"
#include "modfiles/ModValues.h"

#include <QTest>

namespace {

// The key table of one of the three scripts the editor reads by key.
using Script = std::span<const ScriptKey>;

// Enough filler to carry what follows past every search start.
QByteArray filler()
{
    return "rem " + QByteArray(2400, '*') + "\r\n";
}

// Where a row's line stands: past the search start, before it only, or on both sides.
enum class Place
{
    After,
    Before,
    Both
};

constexpr auto FF = static_cast<int>(FriendlyFire::SoldierFF);
constexpr auto SplashFF = static_cast<int>(FriendlyFire::VehicleSplashFF);
constexpr int MaxBots = ModFiles::MaxBotsRow;
constexpr int Skill = ModFiles::BotSkillRow;
constexpr auto View = static_cast<int>(Levels::LevelValue::MaxViewDistance);
constexpr auto Loss = static_cast<int>(Levels::LevelValue::PLPM);
constexpr auto Cold = static_cast<int>(Levels::LevelValue::ColdBreath);

} // namespace

Q_DECLARE_METATYPE(Script)
Q_DECLARE_METATYPE(Place)

class TestKeyedScript final : public QObject
{
    Q_OBJECT

private slots:
    // One line of a script: the value read from it ("" for none), and the line written once the value is set to
    // another. A value that is not read cannot be set, and its line stays.
    void oneLine_data()
    {
        QTest::addColumn<Script>("script");
        QTest::addColumn<int>("row");
        QTest::addColumn<Place>("place");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("read");
        QTest::addColumn<qint64>("set");
        QTest::addColumn<QByteArray>("written");
        const auto row = [](const char* name, Script script, int key, const char* line, const char* read,
                            qint64 set = 0, const char* written = "", Place place = Place::After) {
            QTest::newRow(name) << script << key << place << QByteArray(line) << QString::fromLatin1(read) << set
                                << QByteArray(written);
        };
        const auto unread = [&row](const char* name, Script script, int key, const char* line,
                                   Place place = Place::After) { row(name, script, key, line, "", 0, line, place); };
        const Script Server = ModFiles::ServerSettingsKeys;
        const Script AI = ModFiles::AIDefaultKeys;
        const Script Init = Levels::InitConKeys;

        // The mod scripts read the digits of the whole part, whatever stands among them.
        row("ff whole token", Server, FF, "sv.soldierFriendlyFire 1000", "1000", 4, "sv.soldierFriendlyFire 4");
        row("ff fraction", Server, FF, "sv.soldierFriendlyFire 7.5", "7", 4, "sv.soldierFriendlyFire 4");
        row("ff sign", Server, FF, "sv.soldierFriendlyFire -5", "5", 4, "sv.soldierFriendlyFire 4");
        row("ff first of two", Server, SplashFF, "sv.vehicleSplashFriendlyFire 10\r\nsv.vehicleSplashFriendlyFire 100",
            "10", 4, "sv.vehicleSplashFriendlyFire 4\r\nsv.vehicleSplashFriendlyFire 100");
        unread("ff not a number", Server, SplashFF, "sv.vehicleSplashFriendlyFire none");
        unread("ff before the start", Server, SplashFF, "sv.vehicleSplashFriendlyFire 33", Place::Before);
        unread("max bots before the start", AI, MaxBots, "aiSettings.setMaxNBots 8", Place::Before);
        // The bot skill is a fraction in the file and a percentage on the slider.
        row("skill 1", AI, Skill, "aiSettings.setBotSkill 1", "100", 4, "aiSettings.setBotSkill 0.04");
        row("skill .9", AI, Skill, "aiSettings.setBotSkill .9", "90", 45, "aiSettings.setBotSkill 0.45");
        unread("skill without digits", AI, Skill, "aiSettings.setBotSkill high");

        // A level reads plain numbers only: writing over "-1" or "v_arg1" would lose what the author meant.
        row("view", Init, View, "gameLogic.maximumLevelViewDistance 1500", "1500", 120,
            "gameLogic.maximumLevelViewDistance 120");
        row("view fraction", Init, View, "gameLogic.maximumLevelViewDistance 5.5", "5", 120,
            "gameLogic.maximumLevelViewDistance 120");
        for (const char* line : {"gameLogic.maximumLevelViewDistance -1", "gameLogic.maximumLevelViewDistance v_arg1",
                                 "gameLogic.maximumLevelViewDistance "})
            unread(line, Init, View, line);
        // A write replaces the old token wherever the key stands with it, before the start too.
        row("loss on both sides", Init, Loss, "gameLogic.setTicketLossPerMin 1 5", "5", 7,
            "gameLogic.setTicketLossPerMin 1 7", Place::Both);
        // Cold breath is a switch, written as 1 or 0 in the line's own letter case.
        row("cold off", Init, Cold, "gamelogic.usecoldbreath 0", "0", 1, "gamelogic.usecoldbreath 1");
        row("cold on", Init, Cold, "gameLogic.useColdBreath 1", "1", 0, "gameLogic.useColdBreath 0");
        row("cold other number", Init, Cold, "GAMELOGIC.USECOLDBREATH 2", "1", 0, "GAMELOGIC.USECOLDBREATH 0");
        unread("cold missing", Init, Cold, "rem no cold breath here");
        unread("cold not a number", Init, Cold, "gamelogic.usecoldbreath yes");
    }

    void oneLine()
    {
        QFETCH(Script, script);
        QFETCH(int, row);
        QFETCH(Place, place);
        QFETCH(QByteArray, line);
        QFETCH(QString, read);
        QFETCH(qint64, set);
        QFETCH(QByteArray, written);
        const QByteArray next = "\r\nrem the next line\r\n";
        const auto text = [&](const QByteArray& each) {
            return (place == Place::After ? QByteArray() : each + "\r\n") + filler() +
                   (place == Place::Before ? QByteArray() : each) + next;
        };
        KeyedScript held(script);
        // Lone line ends become CR LF in the held form, and the last line gets its end.
        held.load(text(line).replace("\r\n", "\n").chopped(1));
        const std::optional<qint64> value = held.value(row);
        QCOMPARE(value ? QString::number(*value) : QString(), read);
        // Untouched, every byte stays, the file's letter case included.
        QCOMPARE(held.render(), text(line));
        QVERIFY(!held.isChanged());

        const bool taken = held.setValue(row, set);
        QCOMPARE(taken, value.has_value());
        QVERIFY(!held.setValue(row, set)); // the same value again is no change
        QCOMPARE(held.isChanged(), taken);
        const QByteArray rendered = held.render();
        QCOMPARE(rendered, text(written));
        // Committed, the written text is the new starting point: nothing is replaced twice.
        held.commit(rendered);
        QVERIFY(!held.isChanged());
        QCOMPARE(held.render(), rendered);
        QCOMPARE(held.value(row), taken ? std::optional<qint64>(set) : value);
    }
};

QTEST_GUILESS_MAIN(TestKeyedScript)
#include "tst_keyedscript.moc"
