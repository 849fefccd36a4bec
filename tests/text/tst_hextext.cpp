// The hex text helpers and the field picker: every value shown or typed travels through them.

#include "text/hextext.h"
#include "text/modstring.h"

#include <QTest>

class TestHexText : public QObject {
    Q_OBJECT

  private slots:
    void fourDigits_data();
    void fourDigits();
    void twoDigits_data();
    void twoDigits();
    void twoCharacters_data();
    void twoCharacters();
    void hexToByte_data();
    void hexToByte();
    void cleanTyped_data();
    void cleanTyped();
    void field_data();
    void field();
    void fieldDelimiter_data();
    void fieldDelimiter();
};

void TestHexText::fourDigits_data() {
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << "0000";
    QTest::newRow("60") << qint64(60) << "003C";
    QTest::newRow("2620") << qint64(2620) << "0A3C";
    QTest::newRow("one digit") << qint64(0xF) << "000F";
    QTest::newRow("largest word") << qint64(0xFFFF) << "FFFF";
    QTest::newRow("65536 keeps five digits") << qint64(65536) << "10000";
    QTest::newRow("-1 as two's complement") << qint64(-1) << "FFFFFFFF";
    QTest::newRow("-256") << qint64(-256) << "FFFFFF00";
    QTest::newRow("int32 max") << qint64(0x7FFFFFFF) << "7FFFFFFF";
    QTest::newRow("int32 min") << qint64(-0x7FFFFFFF - 1) << "80000000";
    QTest::newRow("above int32") << qint64(0x80000000LL) << "0000";
    QTest::newRow("below int32") << qint64(-0x80000001LL) << "0000";
}

void TestHexText::fourDigits() {
    QFETCH(qint64, value);
    QFETCH(QString, text);
    QCOMPARE(four(value), text);
}

void TestHexText::twoDigits_data() {
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << "00";
    QTest::newRow("10") << qint64(10) << "0A";
    QTest::newRow("255") << qint64(255) << "FF";
    QTest::newRow("256 keeps three digits") << qint64(256) << "100";
    QTest::newRow("word") << qint64(0x1234) << "1234";
    QTest::newRow("-1 as two's complement") << qint64(-1) << "FFFFFFFF";
    QTest::newRow("above int32") << qint64(0x100000000LL) << "00";
    QTest::newRow("below int32") << qint64(-0x80000001LL) << "00";
}

void TestHexText::twoDigits() {
    QFETCH(qint64, value);
    QFETCH(QString, text);
    QCOMPARE(two(value), text);
}

void TestHexText::twoCharacters_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << ""
                           << "00";
    QTest::newRow("5") << "5"
                       << "05";
    QTest::newRow("lower case kept") << "a"
                                     << "0a";
    QTest::newRow("non-hex kept") << "G"
                                  << "0G";
    QTest::newRow("two unchanged") << "1a"
                                   << "1a";
    QTest::newRow("three give empty") << "123"
                                      << "";
    QTest::newRow("four give empty") << "ABCD"
                                     << "";
}

void TestHexText::twoCharacters() {
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QCOMPARE(twa(typed), text);
}

void TestHexText::hexToByte_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("0D") << "0D" << 13;
    QTest::newRow("D0") << "D0" << 208;
    QTest::newRow("FF") << "FF" << 255;
    QTest::newRow("00") << "00" << 0;
    QTest::newRow("99") << "99" << 153;
    QTest::newRow("single A") << "A" << 10;
    QTest::newRow("single 7") << "7" << 7;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("lower-case a counts as 0") << "1a" << 16;
    QTest::newRow("single lower-case f") << "f" << 0;
    QTest::newRow("three digits") << "123" << 0;
    QTest::newRow("G5") << "G5" << 5;
    QTest::newRow("??") << "??" << 0;
}

void TestHexText::hexToByte() {
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(cHex(text), value);
}

void TestHexText::cleanTyped_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::newRow("1a-zF") << "1a-zF"
                           << "1AF";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("no hex digit") << "ghij -!"
                                  << "";
    QTest::newRow("all digits") << "0123456789abcdefABCDEF"
                                << "0123456789ABCDEFABCDEF";
    QTest::newRow("no length limit") << "1a2b3c4d"
                                     << "1A2B3C4D";
    QTest::newRow("already clean") << "0A3C"
                                   << "0A3C";
}

void TestHexText::cleanTyped() {
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QCOMPARE(QCase(typed), text);
}

void TestHexText::field_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<bool>("rest");
    QTest::addColumn<QString>("field");

    const QString line = QStringLiteral("438422: 0030 00B0 0D 00  Goal Sign");
    QTest::newRow("address") << line << 1 << false << "438422:";
    QTest::newRow("X") << line << 2 << false << "0030";
    QTest::newRow("Y") << line << 3 << false << "00B0";
    QTest::newRow("type") << line << 4 << false << "0D";
    QTest::newRow("subtype") << line << 5 << false << "00";
    QTest::newRow("between the two spaces") << line << 6 << false << "";
    QTest::newRow("first caption word") << line << 7 << false << "Goal";
    QTest::newRow("last caption word") << line << 8 << false << "Sign";
    QTest::newRow("past the end") << line << 9 << false << "";
    QTest::newRow("field 0") << line << 0 << false << "";
    QTest::newRow("negative field") << line << -1 << false << "";

    const QString uncaptioned = QStringLiteral("6: FF00 8123 22 00  ");
    QTest::newRow("uncaptioned subtype") << uncaptioned << 5 << false << "00";
    QTest::newRow("uncaptioned trailing field") << uncaptioned << 7 << false << "";
    QTest::newRow("uncaptioned past the end") << uncaptioned << 8 << false << "";

    const QString item = QStringLiteral("1F ?? Swinging plat - $sub");
    QTest::newRow("item type") << item << 1 << false << "1F";
    QTest::newRow("item subtype") << item << 2 << false << "??";
    QTest::newRow("item caption word") << item << 3 << false << "Swinging";
    QTest::newRow("rest: whole caption") << item << 3 << true << "Swinging plat - $sub";
    QTest::newRow("rest: field 1 is all") << item << 1 << true << item;
    QTest::newRow("rest: field 2 onwards") << item << 2 << true << "?? Swinging plat - $sub";
    QTest::newRow("rest: missing field") << "01 00" << 3 << true << "";
    QTest::newRow("rest: field 0") << item << 0 << true << "";

    QTest::newRow("empty text") << "" << 1 << false << "";
    QTest::newRow("empty text, rest") << "" << 1 << true << "";
    QTest::newRow("no delimiter") << "word" << 1 << false << "word";
    QTest::newRow("no delimiter, field 2") << "word" << 2 << false << "";
}

// The delimiter is matched exactly, case included, and may be longer than one character.
void TestHexText::fieldDelimiter_data() {
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<int>("n");
    QTest::addColumn<bool>("rest");
    QTest::addColumn<QString>("field");
    QTest::newRow("two characters") << ", " << 2 << false << "b,c";
    QTest::newRow("two characters, rest") << ", " << 2 << true << "b,c, dXe";
    QTest::newRow("case-sensitive") << "x" << 2 << false << "";
    QTest::newRow("upper case") << "X" << 2 << false << "e";
}

void TestHexText::fieldDelimiter() {
    QFETCH(QString, delimiter);
    QFETCH(int, n);
    QFETCH(bool, rest);
    QFETCH(QString, field);
    QCOMPARE(getField(QStringLiteral("a, b,c, dXe"), n, rest, delimiter), field);
}

void TestHexText::field() {
    QFETCH(QString, text);
    QFETCH(int, n);
    QFETCH(bool, rest);
    QFETCH(QString, field);
    QCOMPARE(getField(text, n, rest, QStringLiteral(" ")), field);
}

QTEST_MAIN(TestHexText)
#include "tst_hextext.moc"
