#include "modfiles/ModSettings.h"
#include "modfiles/SliderMath.h"

#include <QSet>
#include <QTest>

using namespace SliderMath;

class TestSliderMath final : public QObject
{
    Q_OBJECT

private slots:
    void scales()
    {
        QCOMPARE(BotSkillScale, 0.6451613f);
        QCOMPARE(MaxBotsScale, 1.6451613f);
    }

    void values_data()
    {
        QTest::addColumn<float>("left");
        QTest::addColumn<int>("botSkill");
        QTest::addColumn<int>("maxBots");
        QTest::newRow("left end") << 2.0f << 0 << 1;
        QTest::newRow("3") << 3.0f << 1 << 3;
        QTest::newRow("13") << 13.0f << 7 << 19;
        QTest::newRow("89") << 89.0f << 56 << 144;
        QTest::newRow("155") << 155.0f << 99 << 253;
        QTest::newRow("right end") << 157.0f << 100 << 256;
    }
    void values()
    {
        QFETCH(float, left);
        QFETCH(int, botSkill);
        QFETCH(int, maxBots);
        QCOMPARE(value(Slider::BotSkill, left), botSkill);
        QCOMPARE(value(Slider::MaxBots, left), maxBots);
    }

    void wholePixelPositionsCoverTheRanges()
    {
        QSet<int> skills;
        QSet<int> bots;
        for (int left = 2; left <= 157; ++left) {
            skills.insert(value(Slider::BotSkill, static_cast<float>(left)));
            bots.insert(value(Slider::MaxBots, static_cast<float>(left)));
        }
        // The model's ranges, which the command line enforces, are exactly the sliders' ends.
        for (int skill = ModFiles::BotSkillRange.minimum; skill <= ModFiles::BotSkillRange.maximum; ++skill)
            QVERIFY2(skills.contains(skill), qPrintable(QString::number(skill)));
        QCOMPARE(skills.size(), 101);
        QCOMPARE(bots.size(), 156);
        for (int never : {2, 4, 7, 9})
            QVERIFY2(!bots.contains(never), qPrintable(QString::number(never)));
        QCOMPARE(*std::min_element(bots.cbegin(), bots.cend()), ModFiles::MaxBotsRange.minimum);
        QCOMPARE(*std::max_element(bots.cbegin(), bots.cend()), ModFiles::MaxBotsRange.maximum);
    }

    void jumps_data()
    {
        QTest::addColumn<float>("x");
        QTest::addColumn<bool>("moves");
        QTest::addColumn<float>("left");
        QTest::newRow("1: outside") << 1.0f << false << 0.0f;
        QTest::newRow("2: first active pixel") << 2.0f << true << 2.0f;
        QTest::newRow("13") << 13.0f << true << 2.0f;
        QTest::newRow("20") << 20.0f << true << 2.0f;
        QTest::newRow("23") << 23.0f << true << 2.0f;
        QTest::newRow("24") << 24.0f << true << 13.0f;
        QTest::newRow("100") << 100.0f << true << 89.0f;
        QTest::newRow("168") << 168.0f << true << 157.0f;
        QTest::newRow("169") << 169.0f << true << 157.0f;
        QTest::newRow("179") << 179.0f << true << 157.0f;
        QTest::newRow("180: outside") << 180.0f << false << 0.0f;
        QTest::newRow("-5: outside") << -5.0f << false << 0.0f;
    }
    void jumps()
    {
        QFETCH(float, x);
        QFETCH(bool, moves);
        QFETCH(float, left);
        const std::optional<float> jumped = jump(x);
        QCOMPARE(jumped.has_value(), moves);
        if (moves)
            QCOMPARE(*jumped, left);
    }

    void jumpValues()
    {
        QCOMPARE(value(Slider::BotSkill, *jump(100.0f)), 56);
        QCOMPARE(value(Slider::MaxBots, *jump(100.0f)), 144);
        for (float x : {13.0f, 20.0f, 23.0f}) {
            QCOMPARE(value(Slider::BotSkill, *jump(x)), 0);
            QCOMPARE(value(Slider::MaxBots, *jump(x)), 1);
        }
        QCOMPARE(value(Slider::BotSkill, *jump(24.0f)), 7);
        QCOMPARE(value(Slider::MaxBots, *jump(24.0f)), 19);
        for (float x : {168.0f, 169.0f, 175.0f, 179.0f}) {
            QCOMPARE(value(Slider::BotSkill, *jump(x)), 100);
            QCOMPARE(value(Slider::MaxBots, *jump(x)), 256);
        }
    }

    void grabOffsetRoundsHalfToEven()
    {
        QCOMPARE(grabOffset(10.0f), 10);
        QCOMPARE(grabOffset(10.5f), 10);
        QCOMPARE(grabOffset(11.5f), 12);
        QCOMPARE(grabOffset(0.4f), 0);
        QCOMPARE(grabOffset(-0.5f), 0);
        QCOMPARE(grabOffset(-1.5f), -2);
    }

    void dragSteps_data()
    {
        QTest::addColumn<float>("left");
        QTest::addColumn<float>("x");
        QTest::addColumn<int>("grab");
        QTest::addColumn<float>("expected");
        // The grabbed point stays under the pointer.
        QTest::newRow("right by 5") << 50.0f << 16.0f << 11 << 55.0f;
        QTest::newRow("left by 7") << 50.0f << 4.0f << 11 << 43.0f;
        QTest::newRow("still") << 50.0f << 11.0f << 11 << 50.0f;
        QTest::newRow("far left stops at 2") << 20.0f << -300.0f << 11 << 2.0f;
        QTest::newRow("far right stops at 157") << 100.0f << 400.0f << 11 << 157.0f;
        QTest::newRow("from the left end outwards") << 2.0f << 0.0f << 11 << 2.0f;
        QTest::newRow("from the right end inwards") << 157.0f << 1.0f << 11 << 147.0f;
        QTest::newRow("fractional knob keeps its fraction") << 19.451f << 12.0f << 11 << 20.451f;
        // A knob the load put outside its travel snaps in instead of following the pointer.
        QTest::newRow("loaded left of 2 snaps to 2") << 0.0f << 30.0f << 11 << 2.0f;
        QTest::newRow("loaded right of 157 snaps to 157") << 170.0f << -50.0f << 11 << 157.0f;
        QTest::newRow("loaded far right snaps to 157") << 607.0f << 3.0f << 3 << 157.0f;
    }
    void dragSteps()
    {
        QFETCH(float, left);
        QFETCH(float, x);
        QFETCH(int, grab);
        QFETCH(float, expected);
        QCOMPARE(dragStep(left, x, grab), expected);
    }

    void placement()
    {
        const float maxBots = placeFromValue(Slider::MaxBots, 32);
        QVERIFY(maxBots > 19.45f && maxBots < 19.46f);
        QCOMPARE(value(Slider::MaxBots, maxBots), 30); // not the inverse: the drag recomputes from L
        QCOMPARE(placeFromValue(Slider::BotSkill, 0), 0.0f);
        QCOMPARE(placeFromValue(Slider::BotSkill, 50), 50.0f / BotSkillScale);
        // No clamping: a value of 999 lands far right of the track.
        QVERIFY(placeFromValue(Slider::MaxBots, 999) > 600.0f);
    }
};

QTEST_GUILESS_MAIN(TestSliderMath)
#include "tst_slidermath.moc"
