#include "core/ScriptText.h"
#include "core/TextRules.h"

#include <QTest>

class TestTextRules final : public QObject
{
    Q_OBJECT

private slots:
    // Each rule as text to text; a number is written with 17 significant digits, a list of lines as each line
    // and '|', and a character text in UTF-8.
    void rules_data()
    {
        QTest::addColumn<QByteArray>("rule");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char* rule, const QByteArray& input, const QByteArray& expected) {
            QTest::addRow("%s(%s)", rule, input.toPercentEncoding(" ").constData())
                << QByteArray(rule) << input << expected;
        };
        row("KeepDigits", "1,2,3", "123"); // every occurrence goes
        row("KeepDigits", "/0:9", "09");
        // A character shifted into a visited position is not looked at again.
        row("KeepDigits", "a.b", "b");
        row("KeepDigits", "\xe9\x31\x32\xff", "12");
        row("Val", " \t\n 42abc", "42");
        row("Val", "-2.5", "-2.5");
        row("Val", ".25", "0.25");
        row("Val", "1 2 3", "123");
        row("Val", "1.5E2x", "150");
        row("Val", ".5D2x", "50");
        row("Val", "1d-2", "0.01");
        row("Val", "1E000000012", "1"); // seven exponent digits at most
        row("Val", "2H7", "2");
        // Hexadecimal and octal are two's complement in 16 bits, then in 32; sixteen digits at most.
        row("Val", "&H9A0F", "-26097");
        row("Val", "&H8000", "-32768");
        row("Val", "&H80000000", "-2147483648");
        row("Val", "&HFFFFFFFF", "-1");
        row("Val", "&H10000000000000001", "1.152921504606847e+18");
        row("Val", "&O1078", "71");
        row("Val", "= 3", "0");
        row("Val", "-", "0");
        row("Val", ".", "0");
        row("roundHalfEven", "2.5", "2");
        row("roundHalfEven", "3.5", "4");
        row("roundHalfEven", "-2.5", "-2");
        row("roundHalfEven", "-2.6", "-3");
        // Read back by Val as the same number. Found by fuzzing: values far from the usual range are written out.
        row("formatNumber", "1.0", "1");
        row("formatNumber", "0.05", "0.05");
        row("formatNumber", "-0", "0");
        row("formatNumber", "1e-7", "0.0000001");
        row("formatNumber", "1.5e-20", "0.000000000000000000015");
        row("formatNumber", "1e21", "1000000000000000000000");
        row("wholePart", "50.", "50");
        row("wholePart", "7.5", "7");
        row("wholePart", ".5", ".5");
        row("wholePart", "5.5.5", "5.5.5");
        // The last byte of the input stands after the view the lines are split from: it must not be read.
        row("splitLines", "a\r\nb\rc\nd\n", "a|b|c|d|");
        row("splitLines", "a\r\n\r\n\n", "a||");
        row("splitLines", "\n", "");
        row("asciiLower", "xAZ@[`{\xc9", "xaz@[`{\xc9");
        // The five bytes the code page leaves unassigned keep their number, so an unedited name keeps its bytes;
        // what the code page cannot hold (the C1 control the euro sign displaced, and beyond) is written as '?'.
        row("toWindows1252", "Caf\u00e9\u00a0\u00ff\u20ac\u0152\u2122\u0153\u0178",
            "Caf\xe9\xa0\xff\x80\x8c\x99\x9c\x9f");
        row("toWindows1252", "\u0080\u0100\u2028", "???");
        row("fromWindows1252", "\x80\x81\x8d\x8f\x90\x9d\x9f", "\u20ac\u0081\u008d\u008f\u0090\u009d\u0178");
    }
    void rules()
    {
        QFETCH(QByteArray, rule);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);
        QByteArray actual;
        const double number = input.toDouble();
        if (rule == "KeepDigits")
            actual = TextRules::KeepDigits(input);
        else if (rule == "Val")
            actual = QByteArray::number(TextRules::Val(input), 'g', 17);
        else if (rule == "roundHalfEven")
            actual = QByteArray::number(TextRules::roundHalfEven(number), 'g', 17);
        else if (rule == "formatNumber") {
            actual = TextRules::formatNumber(number);
            QVERIFY(TextRules::Val(actual) == number); // exactly: QCOMPARE takes any tiny number for zero
        } else if (rule == "wholePart")
            actual = TextRules::wholePart(input).toByteArray();
        else if (rule == "splitLines") {
            for (const QByteArray& line : TextRules::splitLines(QByteArrayView(input).chopped(1)))
                actual += line + '|';
        } else if (rule == "asciiLower")
            actual = TextRules::asciiLower(input);
        else if (rule == "toWindows1252")
            actual = TextRules::toWindows1252(QString::fromUtf8(input));
        else if (rule == "fromWindows1252")
            actual = TextRules::fromWindows1252(input).toUtf8();
        QCOMPARE(actual, expected);
    }

    void scriptFindsKeysFromStartIgnoringCase()
    {
        const ScriptText text(QByteArray("Key 1\r\n") + QByteArray(20, '-') + "\r\nKEY 2\r\n");
        QCOMPARE(text.valueToken("key ", 1), QByteArray("1"));
        QCOMPARE(text.valueToken("key ", 2), QByteArray("2"));
        QCOMPARE(ScriptText("k    77\tx").valueToken("k ", 1), QByteArray("77"));
        QCOMPARE(ScriptText("k ").valueToken("k ", 1), QByteArray());
        // Only A to Z fold: the game's 8-bit letters beyond ASCII must match exactly.
        QCOMPARE(ScriptText("x \xC9t 3").find("\xE9t ", 1), -1);
    }

    void scriptReplacesWholeTokensOnly()
    {
        ScriptText text("Sv.Key 10\r\nsv.key 100\r\nSV.KEY 10\r\nother 10\r\nk 1234\r\nk \r\n");
        QCOMPARE(text.replaceToken("sv.key ", "10", "5"), 2);
        QCOMPARE(text.replaceToken("k ", "1234", "7"), 1); // a longer value leaves no remnant digits behind
        QCOMPARE(text.replaceToken("k ", "", "9"), 0);
        QCOMPARE(text.text(), QByteArray("Sv.Key 5\r\nsv.key 100\r\nSV.KEY 5\r\nother 10\r\nk 7\r\nk \r\n"));
    }
};

QTEST_GUILESS_MAIN(TestTextRules)
#include "tst_textrules.moc"
