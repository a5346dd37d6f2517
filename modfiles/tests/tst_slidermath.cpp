#include "modfiles/ModSettings.h"
#include "modfiles/SliderMath.h"

#include <QTest>

using namespace SliderMath;

class TestSliderMath final : public QObject
{
    Q_OBJECT

private slots:
    void values_data()
    {
        QTest::addColumn<float>("left");
        QTest::addColumn<int>("botSkill");
        QTest::addColumn<int>("maxBots");
        QTest::newRow("left end") << LeftEnd << ModFiles::BotSkillRange.minimum << ModFiles::MaxBotsRange.minimum;
        QTest::newRow("3") << 3.0f << 1 << 3;
        QTest::newRow("155") << 155.0f << 99 << 253;
        QTest::newRow("right end") << RightEnd << ModFiles::BotSkillRange.maximum << ModFiles::MaxBotsRange.maximum;
    }
    void values()
    {
        QFETCH(float, left);
        QFETCH(int, botSkill);
        QFETCH(int, maxBots);
        QCOMPARE(value(Slider::BotSkill, left), botSkill);
        QCOMPARE(value(Slider::MaxBots, left), maxBots);
    }

    void jumps_data()
    {
        QTest::addColumn<float>("x");
        QTest::addColumn<bool>("moves");
        QTest::addColumn<float>("left");
        QTest::newRow("1: outside") << 1.0f << false << 0.0f;
        QTest::newRow("2: first active pixel") << 2.0f << true << LeftEnd;
        // The knob's centre goes under the pointer, except in the first 22 active pixels.
        QTest::newRow("23") << 23.0f << true << LeftEnd;
        QTest::newRow("24") << 24.0f << true << 13.0f;
        QTest::newRow("168") << 168.0f << true << RightEnd;
        QTest::newRow("179") << 179.0f << true << RightEnd;
        QTest::newRow("180: outside") << 180.0f << false << 0.0f;
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

    void dragSteps_data()
    {
        QTest::addColumn<float>("left");
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("expected");
        // The point grabbed (10.5 pixels into the knob, rounded half to even) stays under the pointer.
        QTest::newRow("right by 5") << 50.0f << 15.0f << 55.0f;
        QTest::newRow("far left stops at 2") << 20.0f << -300.0f << LeftEnd;
        QTest::newRow("far right stops at 157") << 100.0f << 400.0f << RightEnd;
        QTest::newRow("from the left end inwards") << LeftEnd << 20.0f << 12.0f;
        QTest::newRow("from the right end inwards") << RightEnd << 2.0f << 149.0f;
        QTest::newRow("fractional knob keeps its fraction") << 19.451f << 11.0f << 20.451f;
        // A knob the load put outside its travel snaps in instead of following the pointer.
        QTest::newRow("loaded left of 2 snaps to 2") << 0.0f << 30.0f << LeftEnd;
        QTest::newRow("loaded right of 157 snaps to 157") << 170.0f << -50.0f << RightEnd;
    }
    void dragSteps()
    {
        QFETCH(float, left);
        QFETCH(float, x);
        QFETCH(float, expected);
        QCOMPARE(dragStep(left, x, grabOffset(10.5f)), expected);
    }

    void placement()
    {
        const float maxBots = placeFromValue(Slider::MaxBots, 32);
        QVERIFY(maxBots > 19.45f && maxBots < 19.46f);
        QCOMPARE(value(Slider::MaxBots, maxBots), 30); // not the inverse: the drag recomputes from L
        // No clamping: a value of 999 lands far right of the track.
        QVERIFY(placeFromValue(Slider::MaxBots, 999) > 600.0f);
    }
};

QTEST_GUILESS_MAIN(TestSliderMath)
#include "tst_slidermath.moc"
