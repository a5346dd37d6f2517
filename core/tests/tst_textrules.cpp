#include "core/ScriptText.h"
#include "core/TextRules.h"

#include <QTest>

class TestTextRules final : public QObject
{
    Q_OBJECT

private slots:
    void keepDigits_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("50 then CR") << QByteArray("50\r") << QByteArray("50");
        QTest::newRow("0.5") << QByteArray("0.5") << QByteArray("05");
        QTest::newRow("blank 7 CR") << QByteArray(" 7\r") << QByteArray("7");
        QTest::newRow("100") << QByteArray("100") << QByteArray("100");
        QTest::newRow("all occurrences go") << QByteArray("1,2,3") << QByteArray("123");
        // A character shifted into a visited position is not looked at again.
        QTest::newRow("letter survives") << QByteArray("a.b") << QByteArray("b");
        QTest::newRow("blank after letter") << QByteArray("x 5") << QByteArray("5");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("high bytes") << QByteArray("\xe9"
                                                  "12\xff")
                                    << QByteArray("12");
    }
    void keepDigits()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);
        QCOMPARE(TextRules::KeepDigits(QByteArrayView(input)), expected);
    }

    void val_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<double>("expected");
        QTest::newRow("05") << QByteArray("05") << 5.0;
        QTest::newRow("leading blanks") << QByteArray(" \t\n 42abc") << 42.0;
        QTest::newRow("negative") << QByteArray("-2") << -2.0;
        QTest::newRow("fraction") << QByteArray("2.5") << 2.5;
        QTest::newRow("no leading zero") << QByteArray(".25") << 0.25;
        QTest::newRow("blanks inside") << QByteArray("1 2 3") << 123.0;
        QTest::newRow("exponent") << QByteArray("1.5E2x") << 150.0;
        QTest::newRow("hex") << QByteArray("&H1F") << 31.0;
        QTest::newRow("hex 16-bit negative") << QByteArray("&HFFFF") << -1.0;
        QTest::newRow("octal") << QByteArray("&O17") << 15.0;
        QTest::newRow("nothing") << QByteArray("= 3") << 0.0;
        QTest::newRow("sign only") << QByteArray("-") << 0.0;
        QTest::newRow("point only") << QByteArray(".") << 0.0;
    }
    void val()
    {
        QFETCH(QByteArray, input);
        QFETCH(double, expected);
        QCOMPARE(TextRules::Val(input), expected);
    }

    void roundingAndFormatting()
    {
        QCOMPARE(TextRules::roundHalfEven(2.5), 2.0);
        QCOMPARE(TextRules::roundHalfEven(3.5), 4.0);
        QCOMPARE(TextRules::roundHalfEven(-2.5), -2.0);
        QCOMPARE(TextRules::roundHalfEven(-2.6), -3.0);
        QCOMPARE(TextRules::formatNumber(50 / 100.0), QByteArray("0.5"));
        QCOMPARE(TextRules::formatNumber(100 / 100.0), QByteArray("1"));
        QCOMPARE(TextRules::formatNumber(5 / 100.0), QByteArray("0.05"));
        QCOMPARE(TextRules::formatNumber(0 / 100.0), QByteArray("0"));
        QCOMPARE(TextRules::formatNumber(33 / 100.0), QByteArray("0.33"));
        QCOMPARE(TextRules::formatNumber(1e-7), QByteArray("0.0000001"));
        QCOMPARE(TextRules::formatNumber(-0.25), QByteArray("-0.25"));
        // Found by fuzzing: values far from the usual range are written out in full and read back.
        QCOMPARE(TextRules::Val(TextRules::formatNumber(1e121)), 1e121);
        QCOMPARE(TextRules::Val(TextRules::formatNumber(1.5e-20)), 1.5e-20);
    }

    void lines()
    {
        QCOMPARE(TextRules::splitLines("a\r\nb\rc\nd"), (QList<QByteArray>{"a", "b", "c", "d"}));
        QCOMPARE(TextRules::splitLines("a\r\n\r\n"), (QList<QByteArray>{"a", ""}));
        QCOMPARE(TextRules::splitLines(""), QList<QByteArray>());
        QCOMPARE(TextRules::joinLines({"a", ""}), QByteArray("a\r\n\r\n"));
        QCOMPARE(ScriptText::fromFileBytes("x\ny").text(), QByteArray("x\r\ny\r\n"));
    }

    void scriptFindsKeysFromStartIgnoringCase()
    {
        const ScriptText text(QByteArray("Key 1\r\n") + QByteArray(20, '-') + "\r\nKEY 2\r\n");
        QCOMPARE(text.valueToken("key ", 1), QByteArray("1"));
        QCOMPARE(text.valueToken("key ", 2), QByteArray("2"));
        QCOMPARE(text.valueToken("key ", 100), QByteArray());
        QCOMPARE(text.valueToken("missing ", 1), QByteArray());
        QCOMPARE(ScriptText("k    77\tx").valueToken("k ", 1), QByteArray("77"));
        QCOMPARE(ScriptText("k ").valueToken("k ", 1), QByteArray());
        // Only A to Z fold: the game's 8-bit letters beyond ASCII must match exactly.
        QCOMPARE(ScriptText("x \xC9t 3").find("\xE9t ", 1), -1);
        QCOMPARE(ScriptText("x \xE9T 3").find("\xE9t ", 1), 2);
        QCOMPARE(ScriptText("abc").find("BC", 1), 1);
        QCOMPARE(ScriptText("abc").find("bcd", 1), -1);
    }

    void scriptReplacesWholeTokensOnly()
    {
        ScriptText text("Sv.Key 10\r\nsv.key 100\r\nSV.KEY 10\r\nother 10\r\n");
        QCOMPARE(text.replaceToken("sv.key ", "10", "5"), 2);
        QCOMPARE(text.text(), QByteArray("Sv.Key 5\r\nsv.key 100\r\nSV.KEY 5\r\nother 10\r\n"));
        // A four-digit value leaves no remnant digits behind.
        ScriptText big("k 1234\r\n");
        big.replaceToken("k ", "1234", "7");
        QCOMPARE(big.text(), QByteArray("k 7\r\n"));
        QCOMPARE(big.replaceToken("k ", "", "9"), 0);
    }
};

QTEST_GUILESS_MAIN(TestTextRules)
#include "tst_textrules.moc"
