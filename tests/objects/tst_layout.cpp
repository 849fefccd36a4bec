// Object records: walking a layout, the list line, the slider scale, writing an edit back, and
// the object list model built on them.

#include "objects/layout.h"
#include "objects/spritemodel.h"
#include "text/hextext.h"
#include "types/captions.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using Records = QList<QByteArray>;

namespace {

// An image of `size` bytes of `fill` with the records (hex text, spaces allowed) from `at` on.
QByteArray imageWith(qint64 size, qint64 at, const Records &records, char fill = '\0') {
    QByteArray image(size, fill);
    for (const QByteArray &hex : records) {
        const QByteArray bytes = QByteArray::fromHex(hex);
        image.replace(at, bytes.size(), bytes);
        at += bytes.size();
    }
    return image;
}

const QByteArray kEnd = "FFFF 0000 0000";

} // namespace

class TestLayout : public QObject {
    Q_OBJECT

  private slots:
    void walkEnds_data();
    void walkEnds();
    void sliderMaxima_data();
    void sliderMaxima();
    void lineFormat_data();
    void lineFormat();
    void offsetOfLine_data();
    void offsetOfLine();
    void sliderPlacement_data();
    void sliderPlacement();
    void sliderTextInverse_data();
    void sliderTextInverse();
    void padding_data();
    void padding();
    void applyEdit_data();
    void applyEdit();
    void applyEditAtImageEdge_data();
    void applyEditAtImageEdge();
    void modelLists();
    void modelKeepsItsSnapshot();

  private:
    CaptionCatalogue m_sonic1;
};

void TestLayout::walkEnds_data() {
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<qint64>("start");
    QTest::addColumn<qint64>("count");

    const Records three = {"0030 00B0 0D00", "0100 0200 2500", "0200 0300 3600"};
    QTest::newRow("end after three")
        << imageWith(400, 12, three + Records{kEnd}) << qint64(12) << qint64(3);
    QTest::newRow("empty layout") << imageWith(400, 12, {kEnd}) << qint64(12) << qint64(0);
    QTest::newRow("only X FFFF is tested")
        << imageWith(400, 0, {"0100 0000 0000", "FFFF 1234 A6FF"}) << qint64(0) << qint64(1);
    QTest::newRow("FF00 and 00FF are objects")
        << imageWith(400, 0, {"FF00 0000 0100", "00FF 0000 0100", "FFFE FFFF FFFF", kEnd})
        << qint64(0) << qint64(3);
    QTest::newRow("FF FF off the record start")
        << imageWith(400, 0, {"00FF FF00 0000", "0000 FFFF FFFF", kEnd}) << qint64(0) << qint64(2);
    // 400 bytes: the last record may start at 300.
    QTest::newRow("no end record runs to L-100")
        << QByteArray(400, '\0') << qint64(0) << qint64(51);
    QTest::newRow("odd start runs to L-100") << QByteArray(400, '\0') << qint64(11) << qint64(49);
    QTest::newRow("end record at L-100") << imageWith(400, 300, {kEnd}) << qint64(0) << qint64(50);
    QTest::newRow("end record past L-100 never read")
        << imageWith(400, 306, {kEnd}) << qint64(0) << qint64(51);
    QTest::newRow("records near the end of the image")
        << imageWith(400, 294, {"0102 0304 0506", "0708 090A 0B0C", "0D0E 0F10 1112"})
        << qint64(294) << qint64(2);
    QTest::newRow("start at L-100") << QByteArray(400, '\x11') << qint64(300) << qint64(1);
    QTest::newRow("start past L-100") << QByteArray(400, '\x11') << qint64(301) << qint64(0);
    QTest::newRow("image shorter than 100 bytes") << QByteArray(99, '\0') << qint64(0) << qint64(0);
    QTest::newRow("empty image") << QByteArray() << qint64(0) << qint64(0);
    QTest::newRow("negative start") << QByteArray(400, '\0') << qint64(-1) << qint64(0);
}

void TestLayout::walkEnds() {
    QFETCH(QByteArray, image);
    QFETCH(qint64, start);
    QFETCH(qint64, count);

    const layout::Walk w = layout::walk(image, start);
    QCOMPARE(w.count, count);
    if (count == 0) {
        // Nothing listed raises no slider above the 1 a level choice starts from.
        QVERIFY(w.xMax <= 1);
        QVERIFY(w.yMax <= 1);
    } else {
        // Every listed record lies wholly inside the image.
        QVERIFY(start + count * layout::RecordSize <= image.size());
    }
}

void TestLayout::sliderMaxima_data() {
    QTest::addColumn<Records>("records");
    QTest::addColumn<int>("xMax");
    QTest::addColumn<int>("yMax");
    QTest::newRow("X 12B4") << Records{"12B4 0100 0000"} << 2305 << 128;
    QTest::newRow("X 1234") << Records{"1234 0100 0000"} << 2304 << 128;
    QTest::newRow("Y top bit set") << Records{"0000 8123 0000"} << 0 << 16512;
    QTest::newRow("low byte 7F and 80") << Records{"007F 0080 0000"} << 0 << 1;
    QTest::newRow("largest of several")
        << Records{"1234 0000 0000", "12B4 8123 0000", "0500 7FFF 0000"} << 2305 << 16512;
    QTest::newRow("FFFE is an object") << Records{"FFFE 0000 0000"} << 32641 << 0;
    QTest::newRow("end record not counted")
        << Records{"0100 0100 0000", "FFFF FFFF 0000"} << 128 << 128;
}

void TestLayout::sliderMaxima() {
    QFETCH(Records, records);
    QFETCH(int, xMax);
    QFETCH(int, yMax);
    const layout::Walk w = layout::walk(imageWith(400, 6, records + Records{kEnd}), 6);
    QCOMPARE(w.xMax, xMax);
    QCOMPARE(w.yMax, yMax);
}

void TestLayout::lineFormat_data() {
    QTest::addColumn<qint64>("offset");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("line");
    QTest::newRow("six-digit offset")
        << qint64(438422) << QByteArray("003000B00D00") << "438422: 0030 00B0 0D 00  Goal Sign";
    QTest::newRow("offset 0") << qint64(0) << QByteArray("003000800100")
                              << "0: 0030 0080 01 00  Sonic Start";
    QTest::newRow("type A6 unmasked")
        << qint64(12) << QByteArray("FF008123A603") << "12: FF00 8123 A6 03  Shoe";
    QTest::newRow("subtype 80 unmasked")
        << qint64(6) << QByteArray("00FF00001180") << "6: 00FF 0000 11 80  128 log bridge";
    QTest::newRow("masked type would be A6")
        << qint64(6) << QByteArray("000000002603") << "6: 0000 0000 26 03  ";
    QTest::newRow("no caption") << qint64(1234) << QByteArray("123456782200")
                                << "1234: 1234 5678 22 00  ";
    QTest::newRow("beyond a range")
        << qint64(30) << QByteArray("000100022581") << "30: 0001 0002 25 81  ";
    QTest::newRow("all high bits")
        << qint64(7) << QByteArray("FFFEFFFFFFFF") << "7: FFFE FFFF FF FF  ";
}

void TestLayout::lineFormat() {
    QFETCH(qint64, offset);
    QFETCH(QByteArray, record);
    QFETCH(QString, line);
    QVERIFY(m_sonic1.load(1));

    const QByteArray image = imageWith(440000, offset, {record});
    const QString text = layout::line(image, offset, m_sonic1);
    QCOMPARE(text, line);
    QCOMPARE(layout::lineOffset(text), offset);
}

void TestLayout::offsetOfLine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<qint64>("offset");
    QTest::newRow("list line") << "438422: 0030 00B0 0D 00  Goal Sign" << qint64(438422);
    QTest::newRow("colon only") << "12:" << qint64(12);
    QTest::newRow("no colon") << "12 0030" << qint64(12);
    QTest::newRow("empty") << "" << qint64(-1);
    QTest::newRow("not a number") << "abc: 0030" << qint64(-1);
    QTest::newRow("hex is not decimal") << "6B096: 0030" << qint64(-1);
    QTest::newRow("negative") << "-6: 0030" << qint64(-1);
    QTest::newRow("leading space") << " 12: 0030" << qint64(-1);
}

void TestLayout::offsetOfLine() {
    QFETCH(QString, line);
    QFETCH(qint64, offset);
    QCOMPARE(layout::lineOffset(line), offset);
}

void TestLayout::sliderPlacement_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");
    QTest::newRow("0A3C") << "0A3C" << 1280;
    QTest::newRow("02B0 (1.375 rounds down)") << "02B0" << 257;
    QTest::newRow("low 40 half to even 0") << "0A40" << 1280;
    QTest::newRow("low 41") << "0A41" << 1281;
    QTest::newRow("low 80") << "0A80" << 1281;
    QTest::newRow("low BF") << "0ABF" << 1281;
    QTest::newRow("low C0 half to even 2") << "0AC0" << 1282;
    QTest::newRow("low FF") << "0AFF" << 1282;
    QTest::newRow("Y 8123 uses the whole high byte") << "8123" << 16512;
    QTest::newRow("12B4") << "12B4" << 2305;
    QTest::newRow("1234") << "1234" << 2304;
    QTest::newRow("FFFE above the coarse maximum") << "FFFE" << 32642;
    QTest::newRow("empty") << "" << 0;
}

void TestLayout::sliderPlacement() {
    QFETCH(QString, text);
    QFETCH(int, position);
    QCOMPARE(layout::sliderPosition(text), position);
}

void TestLayout::sliderTextInverse_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "0000";
    QTest::newRow("1") << 1 << "0080";
    QTest::newRow("2") << 2 << "00FF";
    QTest::newRow("1280") << 1280 << "0A00";
    QTest::newRow("1281") << 1281 << "0A80";
    QTest::newRow("1282") << 1282 << "0AFF";
    QTest::newRow("16512") << 16512 << "8100";
    QTest::newRow("coarse maximum") << 255 * 128 + 1 << "FF80";
}

// A slider moved to a value writes a text that places the slider on that value again.
void TestLayout::sliderTextInverse() {
    QFETCH(int, value);
    QFETCH(QString, text);
    QCOMPARE(layout::sliderText(value), text);
    for (int high : {0, 1, 10, 127, 128, 200, 255}) {
        for (int r = 0; r <= 2; ++r) {
            const int v = high * 128 + r;
            const QString t = layout::sliderText(v);
            QCOMPARE(t.size(), 4);
            QCOMPARE(QCase(t), t);
            QCOMPARE(layout::sliderPosition(t), v);
        }
    }
}

void TestLayout::padding_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("padded");
    QTest::newRow("empty stays") << ""
                                 << "";
    QTest::newRow("1") << "3"
                       << "0003";
    QTest::newRow("2") << "3C"
                       << "003C";
    QTest::newRow("3") << "A3C"
                       << "0A3C";
    QTest::newRow("4") << "0A3C"
                       << "0A3C";
}

void TestLayout::padding() {
    QFETCH(QString, text);
    QFETCH(QString, padded);
    QCOMPARE(layout::padPosition(text), padded);
}

void TestLayout::applyEdit_data() {
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("y");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("subtype");
    QTest::addColumn<QString>("paddedX");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("X 3C") << "3C"
                          << "0100"
                          << "22"
                          << "00"
                          << "003C" << QByteArray("003C01002200");
    QTest::newRow("X A3C") << "A3C"
                           << "0100"
                           << "22"
                           << "00"
                           << "0A3C" << QByteArray("0A3C01002200");
    QTest::newRow("empty X") << ""
                             << "0100"
                             << "22"
                             << "00"
                             << "" << QByteArray("000001002200");
    QTest::newRow("Y 8123") << "0030"
                            << "8123"
                            << "01"
                            << "00"
                            << "0030" << QByteArray("003081230100");
    QTest::newRow("Y one digit") << "0030"
                                 << "7"
                                 << "01"
                                 << "00"
                                 << "0030" << QByteArray("003000070100");
    QTest::newRow("type 5") << "0030"
                            << "0100"
                            << "5"
                            << "00"
                            << "0030" << QByteArray("003001000500");
    QTest::newRow("type 1a upper-cased") << "0030"
                                         << "0100"
                                         << "1a"
                                         << "00"
                                         << "0030" << QByteArray("003001001A00");
    QTest::newRow("type G1") << "0030"
                             << "0100"
                             << "G1"
                             << "00"
                             << "0030" << QByteArray("003001000100");
    QTest::newRow("empty type") << "0030"
                                << "0100"
                                << ""
                                << "03"
                                << "0030" << QByteArray("003001000003");
    QTest::newRow("subtype ff") << "0030"
                                << "0100"
                                << "A6"
                                << "ff"
                                << "0030" << QByteArray("00300100A6FF");
    QTest::newRow("subtype ??") << "0030"
                                << "0100"
                                << "25"
                                << "??"
                                << "0030" << QByteArray("003001002500");
    QTest::newRow("X FFFF") << "FFFF"
                            << "0000"
                            << "00"
                            << "00"
                            << "FFFF" << QByteArray("FFFF00000000");
}

void TestLayout::applyEdit() {
    QFETCH(QString, x);
    QFETCH(QString, y);
    QFETCH(QString, type);
    QFETCH(QString, subtype);
    QFETCH(QString, paddedX);
    QFETCH(QByteArray, bytes);

    const qint64 at = 12;
    QByteArray image(64, '\xEE');
    const QString xText = layout::padPosition(x);
    QCOMPARE(xText, paddedX);
    QCOMPARE(layout::writeRecord(image, at, xText, layout::padPosition(y), type, subtype),
             layout::RecordSize);

    QByteArray expected(64, '\xEE');
    expected.replace(at, layout::RecordSize, QByteArray::fromHex(bytes));
    QCOMPARE(image.toHex(' '), expected.toHex(' '));
}

void TestLayout::applyEditAtImageEdge_data() {
    QTest::addColumn<qint64>("offset");
    QTest::addColumn<int>("written");
    QTest::addColumn<QByteArray>("image");
    const QByteArray untouched(20, '\xEE');
    QTest::newRow("last three bytes")
        << qint64(17) << 3 << untouched.left(17) + QByteArray::fromHex("0A3C81");
    QTest::newRow("last byte") << qint64(19) << 1 << untouched.left(19) + QByteArray("\x0A");
    QTest::newRow("just past the end") << qint64(20) << 0 << untouched;
    QTest::newRow("far past the end") << qint64(1000) << 0 << untouched;
    QTest::newRow("no line (-1)") << qint64(-1) << 0 << untouched;
}

void TestLayout::applyEditAtImageEdge() {
    QFETCH(qint64, offset);
    QFETCH(int, written);
    QFETCH(QByteArray, image);
    QByteArray data(20, '\xEE');
    QCOMPARE(layout::writeRecord(data, offset, QStringLiteral("0A3C"), QStringLiteral("8123"),
                                 QStringLiteral("A6"), QStringLiteral("03")),
             written);
    QCOMPARE(data.toHex(' '), image.toHex(' '));
}

void TestLayout::modelLists() {
    QVERIFY(m_sonic1.load(1));
    SpriteModel model(m_sonic1);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

    const QByteArray image = imageWith(
        1000, 100, {"003000B00D00", "FF0081232200", "00FF0000A603", "12B400802581", kEnd});
    const layout::Walk w = model.list(image, 100);
    QCOMPARE(w.count, qint64(4));
    QCOMPARE(w.xMax, 255 * 128);
    QCOMPARE(w.yMax, 0x81 * 128);
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model.rowCount(), 4);

    const QStringList lines = {
        "100: 0030 00B0 0D 00  Goal Sign",
        "106: FF00 8123 22 00  ",
        "112: 00FF 0000 A6 03  Shoe",
        "118: 12B4 0080 25 81  ",
    };
    for (int row = 0; row < 4; ++row) {
        QCOMPARE(model.lineAt(row), lines.at(row));
        QCOMPARE(model.offsetAt(row), qint64(100 + 6 * row));
        QCOMPARE(model.data(model.index(row), Qt::DisplayRole).toString(), lines.at(row));
    }
    QCOMPARE(model.offsetAt(-1), qint64(-1));
    QCOMPARE(model.offsetAt(4), qint64(-1));
    QVERIFY(model.lineAt(4).isEmpty());
    QVERIFY(model.lineAt(-1).isEmpty());

    // A layout without records, a start past the bound and a negative start list nothing.
    for (qint64 start : {qint64(124), qint64(901), qint64(-1)}) {
        model.list(image, start);
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(model.lineAt(0).isEmpty());
    }

    model.list(image, 100);
    QCOMPARE(model.rowCount(), 4);
    model.clear();
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.offsetAt(0), qint64(-1));
    QCOMPARE(resets.count(), 6);
}

// A listing shows the image as it stood when it was listed; an edit shows after relisting.
void TestLayout::modelKeepsItsSnapshot() {
    QVERIFY(m_sonic1.load(1));
    SpriteModel model(m_sonic1);
    QByteArray image = imageWith(1000, 60, {"003000B00D00", "010002000100", "020003002500", kEnd});
    model.list(image, 60);
    QCOMPARE(model.rowCount(), 3);
    const QString before = model.lineAt(1);

    QCOMPARE(layout::writeRecord(image, 66, QStringLiteral("FFFF"), QStringLiteral("0000"),
                                 QStringLiteral("00"), QStringLiteral("00")),
             6);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.lineAt(1), before);

    model.list(image, 60);
    QCOMPARE(model.rowCount(), 1);

    QCOMPARE(layout::writeRecord(image, 66, QStringLiteral("0A3C"), QStringLiteral("8123"),
                                 QStringLiteral("a6"), QStringLiteral("3")),
             6);
    model.list(image, 60);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.lineAt(1), QStringLiteral("66: 0A3C 8123 A6 03  Shoe"));
}

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
