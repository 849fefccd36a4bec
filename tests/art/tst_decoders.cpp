// The three decompressors on hand-built streams whose output is worked out here by hand, whole,
// behind other bytes and cut short. Arbitrary input and round trips through our own encoders
// are the fuzz targets' (fuzz/artchecks.cpp).
#include "art/enigma.h"
#include "art/kosinski.h"
#include "art/nemesis.h"

#include <QTest>

using art::enigma, art::kosinski, art::nemesis;

namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

// '0' and '1' packed most significant first, the last byte filled with zeros; spaces ignored.
QByteArray bits(const char *text) {
    QByteArray out;
    int used = 0;
    for (const char *c = text; *c; ++c) {
        if (*c != '0' && *c != '1')
            continue;
        if (used % 8 == 0)
            out.append('\0');
        if (*c == '1')
            out[out.size() - 1] = char(out.back() | 0x80 >> (used % 8));
        ++used;
    }
    return out;
}

// Each stream starts at offset 0; `end` is where it must stop, `error` a part of the reason
// when it must fail instead.
struct Case {
    const char *name;
    art::Decoded (*decode)(const QByteArray &image, qint64 start, qint64 cap);
    QByteArray input;
    qint64 cap;
    QByteArray expected;
    qint64 end;
    const char *error = "";
};

} // namespace

class tst_Decoders : public QObject {
    Q_OBJECT
    QVector<Case> cases;

  private slots:
    void handBuilt_data();
    void handBuilt();
};

void tst_Decoders::handBuilt_data() {
    QTest::addColumn<int>("index");
    // Nemesis: 1 tile; codes 0 = 8 x pixel 0, 10 = 1 x pixel 1, 110 = 4 x pixel F.
    // Escapes 111111 rrr pppp cover runs 2, 3, 5, 6, 7, 8; a run of 6 goes on into the next
    // row, the last run is cut at the end of the tile.
    const QByteArray table = hex("8071 00 8102 02 8F33 06 FF");
    const QByteArray stream = bits("0  10101010 10101010  110 1111111010011"
                                   "  10 110 10  1111111110111  10 1111111101100"
                                   "  1111110011010 1111110100101 1111110101011"
                                   "  1111111000010 110");
    QByteArray endless = hex("0001 80");
    for (int i = 0; i < 2000; ++i)
        endless += hex("0100");
    const QByteArray alpha = "ABCDEFGHIJKLMNOP";
    // clang-format off
    cases = {
    // Kosinski. Flag bits are listed in the order taken: bit 0 of each little-endian word first.
    // 1 1 | 0 1 end
    {"K literals, end", kosinski, hex("0B00 41 42 00F000"), 2, "AB", 7},
    {"K output over the cap", kosinski, hex("0B00 41 42 00F000"), 1, {}, 0, "output over"},
    {"K copy over the cap", kosinski, hex("B300 41 42 FE 00F000"), 6, {}, 0, "output over"},
    // 1 1 | 0 0 1 1 short, distance 2, length 5 (overlapping) | 0 1 end
    {"K short overlapping", kosinski, hex("B300 41 42 FE 00F000"), 64, "ABABABA", 8},
    // 1 | 0 0 0 1 short length 3 | 0 0 1 0 short length 4, both distance 1 | 0 1 end
    {"K short lengths 3, 4", kosinski, hex("9104 58 FF FF 00F000"), 64, QByteArray(8, 'X'), 8},
    // 1 1 | 0 1 long 3 | 0 0 0 0 short length 2 from 256 back | 0 1 end; C = $FD: 254 bytes
    {"K short from 256 back", kosinski, hex("0B02 72 71 FFF8FD 00 00F000"), 512,
     "r" + QByteArray(255, 'q') + "rq", 11},
    // 1 1 1 | 0 1 long, distance 3, n = 7: length 9 | 0 1 end
    {"K long 2 bytes, length 9", kosinski, hex("5700 616263 FDFF 00F000"), 64, "abcabcabcabc", 10},
    // 1 1 | 0 1 long, distance 2, n = 1: length 3 | 0 1 end
    {"K long 2 bytes, length 3", kosinski, hex("2B00 6162 FEF9 00F000"), 64, "ababa", 9},
    // 1 | 0 1 long, C = 9: length 10 | 0 1 long, C = 1: no copy (its distance is not used) | end
    {"K extended, no copy", kosinski, hex("5500 7A FFF809 000001 00F000"), 64, QByteArray(11, 'z'),
     12},
    // 1 1 | 0 1 C = $FF: 256 bytes | 0 1 distance field $1EFE: 258 back, length 3 | 0 1 end
    {"K extended 256, far long", kosinski, hex("AB00 72 71 FFF8FF FEF1 00F000"), 512,
     "r" + QByteArray(257, 'q') + "rqq", 12},
    // Sixteen literals: the second flag word comes before the last literal's byte.
    {"K flags before the literal", kosinski,
     hex("FFFF") + alpha.left(15) + hex("0200") + "P" + hex("00F000"), 64, alpha, 23},
    // 14 literals, then a short copy whose bits 0 0 end the word and a b = 1 1 open the next:
    // distance 14, length 5 | 0 1 end.
    {"K command across flag words", kosinski, hex("FF3F") + alpha.left(14) + hex("0B00 F2 00F000"),
     64, alpha.left(14) + "ABCDE", 22},
    // 14 literals, then the end marker's 0 1 as the word's last bits: the next word ($F000 if
    // read as the marker's data) is fetched before the marker's three bytes.
    {"K flags before the end marker", kosinski, hex("FFBF") + alpha.left(14) + hex("00F0 00F000"),
     64, alpha.left(14), 21},
    {"K short copy first", kosinski, hex("0000 FF 00F000"), 64, {}, 0, "before"},
    // 1 | 0 1 long, distance 2 after one byte
    {"K long copy too far", kosinski, hex("0500 41 FEF9 00F000"), 64, {}, 0, "before"},
    {"K no end marker", kosinski, hex("FFFF 4142"), 64, {}, 0, "truncated"},

    {"N codes, escapes, runs", nemesis, hex("0001") + table + stream, 32,
     hex("00000000 11111111 FFFF3333 331FFFF1 77777777 1CCCCCCC AA555BBB 22222FFF"), 28},
    {"N XOR mode", nemesis, hex("8001") + table + stream, 32,
     hex("00000000 11111111 EEEE2222 DDF1DDD3 AA86AAA4 B64A6668 1C1F3DD3 3E3D122C"), 28},
    // Two tiles of 8-pixel runs of pixel 0 under a one-bit code.
    {"N two tiles", nemesis, hex("0002 8071 00 FF 0000"), 64, QByteArray(64, '\0'), 8},
    {"N no tiles", nemesis, hex("8000 FF"), 0, {}, 3},
    {"N over the cap", nemesis, hex("0001") + table + stream, 31, {}, 0, "output over"},
    // Only the code 0 is defined; the stream starts with 1.
    {"N code not in the table", nemesis, hex("0001 8071 00 FF 80"), 32, {}, 0, "not in the table"},
    {"N table not ended", nemesis, hex("0001 8071 00 8102 02"), 32, {}, 0, "truncated"},
    {"N code length 9", nemesis, hex("0001 8009 00 FF 00"), 32, {}, 0, "table"},
    {"N code wider than its length", nemesis, hex("0001 8001 02 FF 00"), 32, {}, 0, "table"},
    {"N endless table", nemesis, endless + hex("FF 00"), 32, {}, 0, "table"},

    // Enigma: width 11, no flags, incrementing word $0010, constant word $0123.
    // 00 x3 | 01 x2 | 00 x1 | 100 x3 $005 | 101 x3 $7FE | 110 x2 $000 | 111 x2 $123 $456 | end
    {"E every entry type", enigma, hex("0B 00 0010 0123") +
         bits("000010 010001 000000 1000010 00000000101 1010010 11111111110"
              " 1100001 00000000000 1110001 00100100011 10001010110 1111111"), 32,
     hex("0010 0011 0012 0123 0123 0013 0005 0005 0005 07FE 07FF 0800 0000 FFFF 0123 0456"), 20},
    {"E over the cap", enigma, hex("0B000010 0123") + bits("000010 1111111"), 5, {}, 0,
     "output over"},
    // One 111 entry each; flags P, CC high, CC low, V, H land in bits 15-11.
    {"E mask 1F", enigma, hex("03 1F 0000 0000") + bits("1110000 11010 101 1111111"), 32,
     hex("D005"), 9},
    {"E mask 03", enigma, hex("02 03 0000 0000") + bits("1110001 10 11 01 01 1111111"), 32,
     hex("1003 0801"), 9},
    {"E mask 00, width 16", enigma, hex("10 00 0000 0000") +
         bits("1110000 1011111011101111 1111111"), 32, hex("BEEF"), 10},
    {"E mask F1: top bits ignored", enigma, hex("01 F1 0000 0000") + bits("1110000 11 0 1111111"),
     32, hex("8800"), 9},
    {"E width 17", enigma, hex("11 00 0000 0000") + bits("1111111"), 32, {}, 0, "header"},
    {"E no end", enigma, hex("01 00 0000 0000") + QByteArray(100, '\0'), 16, {}, 0, "output over"},
    };
    // clang-format on
    for (int i = 0; i < cases.size(); ++i)
        QTest::newRow(cases[i].name) << i;
}

void tst_Decoders::handBuilt() {
    QFETCH(int, index);
    const auto &[name, decode, input, cap, expected, end, errorText] = cases[index];
    const QString error = QString::fromLatin1(errorText);

    // The same stream behind other bytes, and with bytes after it.
    const QByteArray before(5, '\xA5');
    for (const qint64 start : {qint64(0), qint64(before.size())}) {
        const QByteArray image = start ? before + input + hex("FFFF") : input;
        const art::Decoded d = decode(image, start, cap);
        if (!error.isEmpty()) {
            QVERIFY2(d.error.contains(error), qPrintable(d.error));
            continue;
        }
        QCOMPARE(d.error, QString());
        QCOMPARE(d.bytes.toHex(), expected.toHex());
        QCOMPARE(d.end, start + end);
    }
    if (!error.isEmpty())
        return;
    // A start outside the image fails; so does every cut before the stream's end.
    for (const qint64 start : {qint64(-1), qint64(input.size()), qint64(input.size()) + 1})
        QVERIFY(!decode(input, start, cap).ok());
    for (qint64 cut = 0; cut < end; ++cut) {
        const art::Decoded d = decode(input.left(cut), 0, cap);
        QVERIFY2(!d.ok() && d.bytes.isEmpty(), qPrintable(QString::number(cut)));
    }
}

QTEST_GUILESS_MAIN(tst_Decoders)
#include "tst_decoders.moc"
