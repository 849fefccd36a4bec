// The caption catalogues of both games: what each type/subtype pair reads and what the pick
// list offers.

#include "types/captions.h"

#include <QTest>

namespace {

int setEntries(const CaptionCatalogue &c) {
    int n = 0;
    for (int t = 0; t < CaptionCatalogue::Size; ++t)
        for (int s = 0; s < CaptionCatalogue::Size; ++s)
            if (!c.caption(t, s).isEmpty())
                ++n;
    return n;
}

// The pick list as the catalogue tables read, row for row.
const QStringList kSonic1Items = {
    "00 00 <Empty>",
    "01 00 Sonic Start",
    "09 00 Scrolling Bg",
    "0A 00 ? (Floats up)",
    "0B 00 Hang Bar",
    "0C 00 One way FF",
    "0C 01 Fast Auto Door",
    "0C 02 Slow Auto Door",
    "0D 00 Goal Sign",
    "0E 00 Thing above sonic",
    "0F 00 Thing below sonic",
    "11 ?? $sub log bridge",
    "1F ?? Swinging plat - $sub",
    "1F ?? Swinging balls - $sub",
    "25 ?? Ring(s)",
    "34 00 Zone title",
    "37 00 Ring loss",
    "39 00 Game over",
    "3A 00 Scores",
    "3B 00 Rock",
    "3D 00 Robotnik",
    "41 02 Yellow spring up",
    "A6 00 Static",
    "A6 01 Robotnik",
    "A6 02 1-Up",
    "A6 03 Shoe",
    "A6 04 Shield",
    "A6 05 Invincible",
    "A6 06 Super Ring",
    "A6 07 Super Sonic",
    "A6 08 X-Ray glasses",
    "A6 09 Broken TV",
    "A6 0A Stopped TV",
    "BC 00 Weak wall left edge",
    "BC 01 Weak wall",
    "BC 02 Weak wall right edge",
    "C0 00 Local Enemy A",
    "A2 00 Local Enemy B",
    "1C 03 Log bridge Tie",
    "AB 00 Enemy D",
    "49 00 Waterfall sound",
    "9F 00 Local Enemy E",
    "15 ?? Swinging platform",
    "44 ?? Wall edging",
    "36 ?? Spikes",
    "9A ?? Breakaway Ledge $sub",
    "18 ?? Moving Platform $sub",
    "C2 00 Local Enemy C",
    "7D ?? Extra Goal Points",
    "4B 00 Giant Ring",
    "A5 ?? Horizontal Rings",
    "A5 ?? Vertical Rings",
    "F9 ?? Lamp Post",
};

const QStringList kSonic2Items = {
    "00 00 <Empty>", "01 00 Sonic Start",    "02 00 Tails",        "06 00 Rotating Cyl",
    "07 00 Oil",     "08 00 Invis barrier",  "0B 00 Pipe",         "0C 00 ?",
    "0D 00 ?",       "0E 00 Flashing stars", "14 00 Seesaw thing", "15 ?? Swinging Platform",
};

} // namespace

class TestCaptions : public QObject {
    Q_OBJECT

  private slots:
    void catalogue_data();
    void catalogue();
    void sonic1Captions_data();
    void sonic1Captions();
    void sonic2Captions_data();
    void sonic2Captions();
    void rangeBuilding();
    void reloadReplacesCatalogue();
    void unknownGameChangesNothing_data();
    void unknownGameChangesNothing();
};

void TestCaptions::catalogue_data() {
    QTest::addColumn<int>("game");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("entries");
    QTest::newRow("Sonic 1") << 1 << kSonic1Items << 936;
    QTest::newRow("Sonic 2") << 2 << kSonic2Items << 140;
}

void TestCaptions::catalogue() {
    QFETCH(int, game);
    QFETCH(QStringList, items);
    QFETCH(int, entries);

    CaptionCatalogue c;
    QCOMPARE(setEntries(c), 0);
    QVERIFY(c.pickList().isEmpty());

    QVERIFY(c.load(game));
    QCOMPARE(c.pickList().size(), items.size());
    QCOMPARE(c.pickList(), items);
    QCOMPARE(setEntries(c), entries);
    // Index 256 of either dimension is never set.
    for (int i = 0; i < CaptionCatalogue::Size; ++i) {
        QVERIFY(c.caption(256, i).isEmpty());
        QVERIFY(c.caption(i, 256).isEmpty());
    }
    // Keys outside the table read as no caption rather than failing.
    QVERIFY(c.caption(-1, 0).isEmpty());
    QVERIFY(c.caption(0, 257).isEmpty());
}

void TestCaptions::sonic1Captions_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("subtype");
    QTest::addColumn<QString>("caption");
    QTest::newRow("00/00") << 0x00 << 0x00 << "<Empty>";
    QTest::newRow("0D/00") << 0x0D << 0x00 << "Goal Sign";
    QTest::newRow("0D/01 unset") << 0x0D << 0x01 << "";
    QTest::newRow("11/00") << 0x11 << 0x00 << "0 log bridge";
    QTest::newRow("11/80") << 0x11 << 0x80 << "128 log bridge";
    QTest::newRow("11/81 unset") << 0x11 << 0x81 << "";
    QTest::newRow("1F/05") << 0x1F << 0x05 << "Swinging plat - 5";
    QTest::newRow("1F/0D") << 0x1F << 0x0D << "Swinging plat - 13";
    QTest::newRow("1F/0E gap") << 0x1F << 0x0E << "";
    QTest::newRow("1F/0F gap") << 0x1F << 0x0F << "";
    QTest::newRow("1F/10") << 0x1F << 0x10 << "Swinging balls - 16";
    QTest::newRow("1F/1D") << 0x1F << 0x1D << "Swinging balls - 29";
    QTest::newRow("25/00") << 0x25 << 0x00 << "Ring(s)";
    QTest::newRow("25/80") << 0x25 << 0x80 << "Ring(s)";
    QTest::newRow("25/81 unset") << 0x25 << 0x81 << "";
    QTest::newRow("3D/00") << 0x3D << 0x00 << "Robotnik";
    QTest::newRow("A6/01 unmasked") << 0xA6 << 0x01 << "Robotnik";
    QTest::newRow("A6/03 unmasked") << 0xA6 << 0x03 << "Shoe";
    QTest::newRow("26/03 is not A6/03") << 0x26 << 0x03 << "";
    QTest::newRow("BC/02") << 0xBC << 0x02 << "Weak wall right edge";
    QTest::newRow("C0/00") << 0xC0 << 0x00 << "Local Enemy A";
    QTest::newRow("40/00 is not C0/00") << 0x40 << 0x00 << "";
    QTest::newRow("15/80") << 0x15 << 0x80 << "Swinging platform";
    QTest::newRow("44/78") << 0x44 << 0x78 << "Wall edging";
    QTest::newRow("44/79 unset") << 0x44 << 0x79 << "";
    QTest::newRow("9A/00") << 0x9A << 0x00 << "Breakaway Ledge 0";
    QTest::newRow("9A/03") << 0x9A << 0x03 << "Breakaway Ledge 3";
    QTest::newRow("18/0F") << 0x18 << 0x0F << "Moving Platform 15";
    QTest::newRow("7D/4F") << 0x7D << 0x4F << "Extra Goal Points";
    QTest::newRow("A5/3F") << 0xA5 << 0x3F << "Horizontal Rings";
    QTest::newRow("A5/40") << 0xA5 << 0x40 << "Vertical Rings";
    QTest::newRow("A5/7F") << 0xA5 << 0x7F << "Vertical Rings";
    QTest::newRow("A5/80 unset") << 0xA5 << 0x80 << "";
    QTest::newRow("F9/02") << 0xF9 << 0x02 << "Lamp Post";
    QTest::newRow("F9/03 unset") << 0xF9 << 0x03 << "";
}

void TestCaptions::sonic1Captions() {
    QFETCH(int, type);
    QFETCH(int, subtype);
    QFETCH(QString, caption);
    CaptionCatalogue c;
    QVERIFY(c.load(1));
    QCOMPARE(c.caption(type, subtype), caption);
}

void TestCaptions::sonic2Captions_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("subtype");
    QTest::addColumn<QString>("caption");
    QTest::newRow("02/00") << 0x02 << 0x00 << "Tails";
    QTest::newRow("0C/00") << 0x0C << 0x00 << "?";
    QTest::newRow("14/00") << 0x14 << 0x00 << "Seesaw thing";
    QTest::newRow("15/00 capital P") << 0x15 << 0x00 << "Swinging Platform";
    QTest::newRow("15/80") << 0x15 << 0x80 << "Swinging Platform";
    QTest::newRow("15/81 unset") << 0x15 << 0x81 << "";
    QTest::newRow("0C/01 unset") << 0x0C << 0x01 << "";
    QTest::newRow("25/00 Sonic 1 only") << 0x25 << 0x00 << "";
    QTest::newRow("A6/03 Sonic 1 only") << 0xA6 << 0x03 << "";
}

void TestCaptions::sonic2Captions() {
    QFETCH(int, type);
    QFETCH(int, subtype);
    QFETCH(QString, caption);
    CaptionCatalogue c;
    QVERIFY(c.load(2));
    QCOMPARE(c.caption(type, subtype), caption);
}

// cap and capa on their own: every "$sub" is replaced, case-sensitively; an inverted range sets
// nothing but still offers its item.
void TestCaptions::rangeBuilding() {
    CaptionCatalogue c;
    c.capa(0x40, 0x07, 0x08, QStringLiteral("$sub-$sub $SUB"));
    QCOMPARE(c.caption(0x40, 0x07), QStringLiteral("7-7 $SUB"));
    QCOMPARE(c.caption(0x40, 0x08), QStringLiteral("8-8 $SUB"));
    QVERIFY(c.caption(0x40, 0x06).isEmpty());
    QVERIFY(c.caption(0x40, 0x09).isEmpty());

    c.capa(0x30, 0x05, 0x02, QStringLiteral("backwards"));
    for (int s = 0; s < CaptionCatalogue::Size; ++s)
        QVERIFY(c.caption(0x30, s).isEmpty());

    c.cap(0xFF, 0xFF, QStringLiteral("Last"));
    QCOMPARE(c.caption(0xFF, 0xFF), QStringLiteral("Last"));

    const QStringList expected = {"40 ?? $sub-$sub $SUB", "30 ?? backwards", "FF FF Last"};
    QCOMPARE(c.pickList(), expected);
}

void TestCaptions::reloadReplacesCatalogue() {
    CaptionCatalogue c;
    QVERIFY(c.load(1));
    QCOMPARE(c.caption(0x25, 0x00), QStringLiteral("Ring(s)"));

    QVERIFY(c.load(2));
    QCOMPARE(c.pickList(), kSonic2Items);
    QCOMPARE(setEntries(c), 140);
    QVERIFY(c.caption(0x25, 0x00).isEmpty());
    QVERIFY(c.caption(0xA6, 0x05).isEmpty());
    QCOMPARE(c.caption(0x15, 0x10), QStringLiteral("Swinging Platform"));

    // Loading the same game again does not pile up items.
    QVERIFY(c.load(2));
    QCOMPARE(c.pickList().size(), 12);
    QVERIFY(c.load(1));
    QCOMPARE(c.pickList().size(), 53);
    QCOMPARE(c.caption(0x15, 0x10), QStringLiteral("Swinging platform"));
}

void TestCaptions::unknownGameChangesNothing_data() {
    QTest::addColumn<int>("code");
    QTest::newRow("0") << 0;
    QTest::newRow("3") << 3;
    QTest::newRow("-1") << -1;
    QTest::newRow("255") << 255;
}

void TestCaptions::unknownGameChangesNothing() {
    QFETCH(int, code);

    CaptionCatalogue fresh;
    QVERIFY(!fresh.load(code));
    QVERIFY(fresh.pickList().isEmpty());
    QCOMPARE(setEntries(fresh), 0);

    CaptionCatalogue loaded;
    QVERIFY(loaded.load(1));
    QVERIFY(!loaded.load(code));
    QCOMPARE(loaded.pickList(), kSonic1Items);
    QCOMPARE(setEntries(loaded), 936);
    QCOMPARE(loaded.caption(0x1F, 0x05), QStringLiteral("Swinging plat - 5"));
}

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
