// The three decompressors on hand-built streams whose output is worked out here by hand, on
// cut-short and hostile input, and on round trips through our own encoders.
#include "art/enigma.h"
#include "art/kosinski.h"
#include "art/nemesis.h"
#include "demo/encoders.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

enum Format { Kosinski, Nemesis, Enigma };

art::Decoded decode(int format, const QByteArray &image, qint64 start, qint64 cap) {
    switch (format) {
    case Kosinski:
        return art::kosinski(image, start, cap);
    case Nemesis:
        return art::nemesis(image, start, cap);
    default:
        return art::enigma(image, start, cap);
    }
}

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

QByteArray times(int n, char c) {
    return QByteArray(n, c);
}

} // namespace

class tst_Decoders : public QObject {
    Q_OBJECT
  private slots:
    void handBuilt_data();
    void handBuilt();
    void hostile_data();
    void hostile();
    void roundTrips_data();
    void roundTrips();
};

// Each stream starts at offset 0; `end` is where it must stop, `error` a part of the reason
// when it must fail instead.
void tst_Decoders::handBuilt_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<qint64>("cap");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<qint64>("end");
    QTest::addColumn<QString>("error");
    const QString ok;

    // Kosinski. Flag bits are listed in the order taken: bit 0 of each little-endian word first.
    // 1 1 | 0 1 end
    QTest::newRow("K literals, end") << int(Kosinski) << hex("0B00 41 42 00F000") << qint64(2)
                                     << QByteArray("AB") << qint64(7) << ok;
    QTest::newRow("K output over the cap")
        << int(Kosinski) << hex("0B00 41 42 00F000") << qint64(1) << QByteArray() << qint64(0)
        << QStringLiteral("output over");
    // 1 1 | 0 0 1 1 short, distance 2, length 5 (overlapping) | 0 1 end
    QTest::newRow("K short overlapping") << int(Kosinski) << hex("B300 41 42 FE 00F000")
                                         << qint64(64) << QByteArray("ABABABA") << qint64(8) << ok;
    // 1 | 0 0 0 1 short length 3 | 0 0 1 0 short length 4, both distance 1 | 0 1 end
    QTest::newRow("K short lengths 3, 4") << int(Kosinski) << hex("9104 58 FF FF 00F000")
                                          << qint64(64) << times(8, 'X') << qint64(8) << ok;
    // 1 1 | 0 1 long 3 | 0 0 0 0 short length 2 from 256 back | 0 1 end; C = $FD: 254 bytes
    QTest::newRow("K short from 256 back")
        << int(Kosinski) << hex("0B02 72 71 FFF8FD 00 00F000") << qint64(512)
        << QByteArray("r" + times(255, 'q') + "rq") << qint64(11) << ok;
    // 1 1 1 | 0 1 long, distance 3, n = 7: length 9 | 0 1 end
    QTest::newRow("K long 2 bytes, length 9")
        << int(Kosinski) << hex("5700 616263 FDFF 00F000") << qint64(64)
        << QByteArray("abcabcabcabc") << qint64(10) << ok;
    // 1 1 | 0 1 long, distance 2, n = 1: length 3 | 0 1 end
    QTest::newRow("K long 2 bytes, length 3")
        << int(Kosinski) << hex("2B00 6162 FEF9 00F000") << qint64(64) << QByteArray("ababa")
        << qint64(9) << ok;
    // 1 | 0 1 long, C = 9: length 10 | 0 1 long, C = 1: no copy (its distance is not used) | end
    QTest::newRow("K extended, no copy") << int(Kosinski) << hex("5500 7A FFF809 000001 00F000")
                                         << qint64(64) << times(11, 'z') << qint64(12) << ok;
    // 1 1 | 0 1 C = $FF: 256 bytes | 0 1 distance field $1EFE: 258 back, length 3 | 0 1 end
    QTest::newRow("K extended 256, far long")
        << int(Kosinski) << hex("AB00 72 71 FFF8FF FEF1 00F000") << qint64(512)
        << QByteArray("r" + times(257, 'q') + "rqq") << qint64(12) << ok;
    // Sixteen literals: the second flag word comes before the last literal's byte.
    QTest::newRow("K flags before the literal")
        << int(Kosinski)
        << QByteArray(hex("FFFF") + "ABCDEFGHIJKLMNO" + hex("0200") + "P" + hex("00F000"))
        << qint64(64) << QByteArray("ABCDEFGHIJKLMNOP") << qint64(23) << ok;
    // 14 literals, then a short copy whose bits 0 0 end the word and a b = 1 1 open the next:
    // distance 14, length 5 | 0 1 end.
    QTest::newRow("K command across flag words")
        << int(Kosinski) << QByteArray(hex("FF3F") + "ABCDEFGHIJKLMN" + hex("0B00 F2 00F000"))
        << qint64(64) << QByteArray("ABCDEFGHIJKLMNABCDE") << qint64(22) << ok;
    // 14 literals, then the end marker's 0 1 as the word's last bits: the next word ($F000 if
    // read as the marker's data) is fetched before the marker's three bytes.
    QTest::newRow("K flags before the end marker")
        << int(Kosinski) << QByteArray(hex("FFBF") + "ABCDEFGHIJKLMN" + hex("00F0 00F000"))
        << qint64(64) << QByteArray("ABCDEFGHIJKLMN") << qint64(21) << ok;
    QTest::newRow("K short copy first") << int(Kosinski) << hex("0000 FF 00F000") << qint64(64)
                                        << QByteArray() << qint64(0) << QStringLiteral("before");
    // 1 | 0 1 long, distance 2 after one byte
    QTest::newRow("K long copy too far")
        << int(Kosinski) << hex("0500 41 FEF9 00F000") << qint64(64) << QByteArray() << qint64(0)
        << QStringLiteral("before");
    QTest::newRow("K no end marker") << int(Kosinski) << hex("FFFF 4142") << qint64(64)
                                     << QByteArray() << qint64(0) << QStringLiteral("truncated");

    // Nemesis: 1 tile; codes 0 = 8 x pixel 0, 10 = 1 x pixel 1, 110 = 4 x pixel F.
    // Escapes 111111 rrr pppp cover runs 2, 3, 5, 6, 7, 8; a run of 6 goes on into the next
    // row, the last run is cut at the end of the tile.
    const QByteArray table = hex("8071 00 8102 02 8F33 06 FF");
    const QByteArray stream = bits("0  10101010 10101010  110 1111111010011"
                                   "  10 110 10  1111111110111  10 1111111101100"
                                   "  1111110011010 1111110100101 1111110101011"
                                   "  1111111000010 110");
    QTest::newRow("N codes, escapes, runs")
        << int(Nemesis) << QByteArray(hex("0001") + table + stream) << qint64(32)
        << hex("00000000 11111111 FFFF3333 331FFFF1 77777777 1CCCCCCC AA555BBB 22222FFF")
        << qint64(28) << ok;
    QTest::newRow("N XOR mode") << int(Nemesis) << QByteArray(hex("8001") + table + stream)
                                << qint64(32)
                                << hex("00000000 11111111 EEEE2222 DDF1DDD3 AA86AAA4 B64A6668"
                                       " 1C1F3DD3 3E3D122C")
                                << qint64(28) << ok;
    // Two tiles of 8-pixel runs of pixel 0 under a one-bit code.
    QTest::newRow("N two tiles") << int(Nemesis) << hex("0002 8071 00 FF 0000") << qint64(64)
                                 << times(64, '\0') << qint64(8) << ok;
    QTest::newRow("N no tiles") << int(Nemesis) << hex("8000 FF") << qint64(0) << QByteArray()
                                << qint64(3) << ok;
    QTest::newRow("N over the cap")
        << int(Nemesis) << QByteArray(hex("0001") + table + stream) << qint64(31) << QByteArray()
        << qint64(0) << QStringLiteral("output over");
    // Only the code 0 is defined; the stream starts with 1.
    QTest::newRow("N code not in the table")
        << int(Nemesis) << hex("0001 8071 00 FF 80") << qint64(32) << QByteArray() << qint64(0)
        << QStringLiteral("not in the table");
    QTest::newRow("N table not ended") << int(Nemesis) << hex("0001 8071 00 8102 02") << qint64(32)
                                       << QByteArray() << qint64(0) << QStringLiteral("truncated");
    QTest::newRow("N code length 9") << int(Nemesis) << hex("0001 8009 00 FF 00") << qint64(32)
                                     << QByteArray() << qint64(0) << QStringLiteral("table");
    QTest::newRow("N code wider than its length")
        << int(Nemesis) << hex("0001 8001 02 FF 00") << qint64(32) << QByteArray() << qint64(0)
        << QStringLiteral("table");
    QByteArray endless = hex("0001 80");
    for (int i = 0; i < 2000; ++i)
        endless += hex("0100");
    QTest::newRow("N endless table")
        << int(Nemesis) << QByteArray(endless + hex("FF 00")) << qint64(32) << QByteArray()
        << qint64(0) << QStringLiteral("table");

    // Enigma: width 11, no flags, incrementing word $0010, constant word $0123.
    // 00 x3 | 01 x2 | 00 x1 | 100 x3 $005 | 101 x3 $7FE | 110 x2 $000 | 111 x2 $123 $456 | end
    QTest::newRow("E every entry type")
        << int(Enigma)
        << QByteArray(hex("0B 00 0010 0123") +
                      bits("000010 010001 000000 1000010 00000000101 1010010 11111111110"
                           " 1100001 00000000000 1110001 00100100011 10001010110 1111111"))
        << qint64(32)
        << hex("0010 0011 0012 0123 0123 0013 0005 0005 0005 07FE 07FF 0800"
               " 0000 FFFF 0123 0456")
        << qint64(20) << ok;
    QTest::newRow("E over the cap")
        << int(Enigma) << QByteArray(hex("0B000010 0123") + bits("000010 1111111")) << qint64(5)
        << QByteArray() << qint64(0) << QStringLiteral("output over");
    // One 111 entry each; flags P, CC high, CC low, V, H land in bits 15-11.
    QTest::newRow("E mask 1F") << int(Enigma)
                               << QByteArray(hex("03 1F 0000 0000") +
                                             bits("1110000 11010 101 1111111"))
                               << qint64(32) << hex("D005") << qint64(9) << ok;
    QTest::newRow("E mask 10") << int(Enigma)
                               << QByteArray(hex("04 10 0000 0000") +
                                             bits("1110000 1 0110 1111111"))
                               << qint64(32) << hex("8006") << qint64(9) << ok;
    QTest::newRow("E mask 03") << int(Enigma)
                               << QByteArray(hex("02 03 0000 0000") +
                                             bits("1110001 10 11 01 01 1111111"))
                               << qint64(32) << hex("1003 0801") << qint64(9) << ok;
    QTest::newRow("E mask 0C") << int(Enigma)
                               << QByteArray(hex("01 0C 0000 0000") + bits("1110000 11 1 1111111"))
                               << qint64(32) << hex("6001") << qint64(9) << ok;
    QTest::newRow("E mask 00, width 16")
        << int(Enigma)
        << QByteArray(hex("10 00 0000 0000") + bits("1110000 1011111011101111 1111111"))
        << qint64(32) << hex("BEEF") << qint64(10) << ok;
    QTest::newRow("E mask F1: top bits ignored")
        << int(Enigma) << QByteArray(hex("01 F1 0000 0000") + bits("1110000 11 0 1111111"))
        << qint64(32) << hex("8800") << qint64(9) << ok;
    QTest::newRow("E width 17") << int(Enigma)
                                << QByteArray(hex("11 00 0000 0000") + bits("1111111"))
                                << qint64(32) << QByteArray() << qint64(0)
                                << QStringLiteral("header");
    QTest::newRow("E no end") << int(Enigma)
                              << QByteArray(hex("01 00 0000 0000") + times(100, '\0')) << qint64(16)
                              << QByteArray() << qint64(0) << QStringLiteral("output over");
}

void tst_Decoders::handBuilt() {
    QFETCH(int, format);
    QFETCH(QByteArray, input);
    QFETCH(qint64, cap);
    QFETCH(QByteArray, expected);
    QFETCH(qint64, end);
    QFETCH(QString, error);

    // The same stream behind other bytes, and with bytes after it.
    const QByteArray before(5, '\xA5');
    for (const qint64 start : {qint64(0), qint64(before.size())}) {
        const QByteArray image = start ? before + input + hex("FFFF") : input;
        const art::Decoded d = decode(format, image, start, cap);
        if (!error.isEmpty()) {
            QVERIFY2(d.error.contains(error), qPrintable(d.error));
            QVERIFY(d.bytes.isEmpty());
            continue;
        }
        QCOMPARE(d.error, QString());
        QCOMPARE(d.bytes.toHex(), expected.toHex());
        QCOMPARE(d.end, start + end);
    }
    if (!error.isEmpty())
        return;
    // Every cut before the stream's end fails cleanly.
    for (qint64 cut = 0; cut < end; ++cut) {
        const art::Decoded d = decode(format, input.left(cut), 0, cap);
        QVERIFY2(!d.ok() && d.bytes.isEmpty(), qPrintable(QString::number(cut)));
    }
}

// Random and degenerate images, at starts inside and outside: never a crash, output within the
// cap, and on success an end inside the image.
void tst_Decoders::hostile_data() {
    QTest::addColumn<QByteArray>("image");
    QRandomGenerator rng(7);
    QByteArray noise(4 << 20, '\0');
    for (char &c : noise)
        c = char(rng.bounded(256));
    QTest::newRow("4 MiB of noise") << noise;
    QTest::newRow("4 MiB of zeros") << times(4 << 20, '\0');
    QTest::newRow("4 MiB of FF") << times(4 << 20, '\xFF');
    QTest::newRow("one byte") << QByteArray(1, '\x80');
    QTest::newRow("empty") << QByteArray();
}

void tst_Decoders::hostile() {
    QFETCH(QByteArray, image);
    const qint64 size = image.size();
    QRandomGenerator rng(11);
    QList<qint64> starts = {-1, 0, size - 1, size, size + 1};
    for (int i = 0; i < 300 && size > 0; ++i)
        starts.append(rng.bounded(size));
    for (const qint64 start : starts) {
        for (const int format : {Kosinski, Nemesis, Enigma}) {
            const qint64 cap = 0x8000;
            const art::Decoded d = decode(format, image, start, cap);
            const QString where = QStringLiteral("format %1 at %2").arg(format).arg(start);
            if (start < 0 || start >= size)
                QVERIFY2(!d.ok(), qPrintable(where));
            if (d.ok()) {
                QVERIFY2(d.bytes.size() <= cap && d.end > start && d.end <= size,
                         qPrintable(where));
            } else {
                QVERIFY2(d.bytes.isEmpty(), qPrintable(where));
            }
        }
    }
}

void tst_Decoders::roundTrips_data() {
    QTest::addColumn<int>("seed");
    QTest::addColumn<int>("size");
    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("one tile") << 1 << 32;
    for (int seed = 2; seed <= 30; ++seed)
        QTest::newRow(qPrintable(QStringLiteral("seeded %1").arg(seed)))
            << seed << seed * 397 % 4000;
    QTest::newRow("chunk maps") << 31 << 0xA400;
}

void tst_Decoders::roundTrips() {
    QFETCH(int, seed);
    QFETCH(int, size);
    QRandomGenerator rng(static_cast<quint32>(seed));
    QByteArray raw;
    // Runs, repeats from near and far, few-colour pixels and noise, as art and maps have.
    while (raw.size() < size) {
        const int kind = rng.bounded(5);
        const int n = rng.bounded(1, 300);
        for (int i = 0; i < n; ++i) {
            if (kind == 0)
                raw.append(char(rng.bounded(256)));
            else if (kind == 1)
                raw.append(char(seed & 0x33));
            else if (kind == 2 && !raw.isEmpty())
                raw.append(
                    raw.at(raw.size() - 1 - rng.bounded(qMin<qsizetype>(raw.size(), 0x2000))));
            else
                raw.append(char(rng.bounded(4) * 0x11));
        }
    }
    raw.truncate(size);
    const QByteArray prefix(seed % 5, '\x5A');

    const QByteArray k = prefix + synthetic::kosinskiEncode(raw);
    const art::Decoded kd = art::kosinski(k, prefix.size(), size);
    QCOMPARE(kd.error, QString());
    QCOMPARE(kd.bytes, raw);
    QVERIFY(kd.end <= k.size() && k.size() - kd.end < 16);
    QCOMPARE((k.size() - prefix.size()) % 16, 0);

    const QByteArray tiles = raw.left(raw.size() / 32 * 32);
    for (const bool xorMode : {false, true}) {
        const QByteArray n = prefix + synthetic::nemesisEncode(tiles, xorMode);
        const art::Decoded nd = art::nemesis(n, prefix.size(), tiles.size());
        QCOMPARE(nd.error, QString());
        QCOMPARE(nd.bytes, tiles);
        QCOMPARE(nd.end, n.size());
    }

    const QByteArray words = raw.left(raw.size() / 2 * 2);
    const QByteArray e = prefix + synthetic::enigmaEncode(words);
    const art::Decoded ed = art::enigma(e, prefix.size(), words.size());
    QCOMPARE(ed.error, QString());
    QCOMPARE(ed.bytes, words);
    QCOMPARE(ed.end, e.size());
}

QTEST_GUILESS_MAIN(tst_Decoders)
#include "tst_decoders.moc"
