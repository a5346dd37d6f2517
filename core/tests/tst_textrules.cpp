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
        QTest::newRow("every occurrence goes") << QByteArray("1,2,3") << QByteArray("123");
        QTest::newRow("the bytes beside the digits") << QByteArray("/0:9") << QByteArray("09");
        // A character shifted into a visited position is not looked at again.
        QTest::newRow("letter survives") << QByteArray("a.b") << QByteArray("b");
        QTest::newRow("blank after letter") << QByteArray("x 5") << QByteArray("5");
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
        QTest::newRow("leading blanks") << QByteArray(" \t\n 42abc") << 42.0;
        QTest::newRow("negative fraction") << QByteArray("-2.5") << -2.5;
        QTest::newRow("no leading zero") << QByteArray(".25") << 0.25;
        QTest::newRow("blanks inside") << QByteArray("1 2 3") << 123.0;
        QTest::newRow("exponent") << QByteArray("1.5E2x") << 150.0;
        QTest::newRow("hex") << QByteArray("&H1F0") << 496.0;
        // Hexadecimal and octal are two's complement in 16 bits, then in 32.
        QTest::newRow("hex 16-bit negative") << QByteArray("&H8000") << -32768.0;
        QTest::newRow("hex 32-bit negative") << QByteArray("&H80000000") << -2147483648.0;
        QTest::newRow("octal") << QByteArray("&O178") << 15.0;
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

    void formatNumber_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("half") << 0.5 << QByteArray("0.5");
        QTest::newRow("one") << 1.0 << QByteArray("1");
        QTest::newRow("0.05") << 5 / 100.0 << QByteArray("0.05");
        QTest::newRow("0.33") << 33 / 100.0 << QByteArray("0.33");
        QTest::newRow("negative zero") << -0.0 << QByteArray("0");
        // Found by fuzzing: values far from the usual range are written out in full, and read back.
        QTest::newRow("small") << 1e-7 << QByteArray("0.0000001");
        QTest::newRow("huge") << 1e21 << QByteArray("1000000000000000000000");
    }
    void formatNumber()
    {
        QFETCH(double, value);
        QFETCH(QByteArray, text);
        QCOMPARE(TextRules::formatNumber(value), text);
        QVERIFY(TextRules::Val(text) == value); // exactly: QCOMPARE takes any tiny value for zero
    }

    void roundHalfEven()
    {
        for (const auto& [value, rounded] : {std::pair(2.5, 2.0), {3.5, 4.0}, {-2.5, -2.0}, {-2.6, -3.0}})
            QCOMPARE(TextRules::roundHalfEven(value), rounded);
    }

    void wholePart_data()
    {
        QTest::addColumn<QByteArray>("token");
        QTest::addColumn<QByteArray>("whole");
        QTest::newRow("zero fraction") << QByteArray("500.0") << QByteArray("500");
        QTest::newRow("point at the end") << QByteArray("50.") << QByteArray("50");
        QTest::newRow("fraction") << QByteArray("7.5") << QByteArray("7");
        QTest::newRow("no whole part") << QByteArray(".5") << QByteArray(".5");
        QTest::newRow("two points") << QByteArray("5.5.5") << QByteArray("5.5.5");
    }
    void wholePart()
    {
        QFETCH(QByteArray, token);
        QFETCH(QByteArray, whole);
        QCOMPARE(TextRules::wholePart(token).toByteArray(), whole);
    }

    void lines()
    {
        QCOMPARE(TextRules::splitLines("a\r\nb\rc\nd"), (QList<QByteArray>{"a", "b", "c", "d"}));
        QCOMPARE(TextRules::splitLines("a\r\n\r\n"), (QList<QByteArray>{"a", ""}));
        QCOMPARE(TextRules::splitLines(""), QList<QByteArray>());
        // A view ends where it ends, whatever the bytes after it.
        QCOMPARE(TextRules::splitLines(QByteArrayView("a\n\n").first(2)), QList<QByteArray>{"a"});
        QCOMPARE(TextRules::joinLines({"a", ""}), QByteArray("a\r\n\r\n"));
        QCOMPARE(ScriptText::fromFileBytes("x\ny").text(), QByteArray("x\r\ny\r\n"));
    }

    void windows1252_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ASCII and Latin-1")
            << QStringLiteral("Caf\u00e9 \u00a0\u00ff") << QByteArray("Caf\xe9 \xa0\xff");
        QTest::newRow("the 0x80 row") << QStringLiteral("\u20ac\u0152\u2122\u0153\u0178")
                                      << QByteArray("\x80\x8c\x99\x9c\x9f");
        // The five bytes the code page leaves unassigned keep their number, so an unedited name keeps its bytes.
        QTest::newRow("unassigned bytes")
            << QStringLiteral("\u0081\u008d\u008f\u0090\u009d") << QByteArray("\x81\x8d\x8f\x90\x9d");
    }
    void windows1252()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(TextRules::fromWindows1252(bytes), text);
        QCOMPARE(TextRules::toWindows1252(text), bytes);
        // What the code page cannot hold: the C1 control the euro sign displaced, and beyond.
        for (const char16_t c : {u'\u0080', u'\u0100', u'\u2028'})
            QVERIFY(!TextRules::isWindows1252(QChar(c)));
        QCOMPARE(TextRules::toWindows1252(u"\u0100"), QByteArray("?"));
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
        QCOMPARE(ScriptText("xAZ").find("az", 1), 1);
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
