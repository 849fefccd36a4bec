// Everything below the window: hex text, captions, level tables, object records, recognising,
// reading and saving the image file. Most checks join many results into one text, so a failure
// shows every result at once.

#include "demo/syntheticimage.h"
#include "levels/leveltables.h"
#include "objects/layout.h"
#include "rom/romimage.h"
#include "support/files.h"
#include "text/hextext.h"
#include "text/modstring.h"
#include "types/captions.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

using namespace layout;
using namespace rom;
using namespace testsupport;
using R = Recognition;

// `size` zero bytes with `hex` (spaces allowed) written from `at` on.
static QByteArray imageWith(qint64 size, qint64 at, const QByteArray &hex) {
    const QByteArray bytes = QByteArray::fromHex(hex);
    return QByteArray(size, '\0').replace(at, bytes.size(), bytes);
}

class TestRomImage : public QObject {
    Q_OBJECT
    static QString str(const QString &s) { return s; }
    static QString str(qint64 v) { return QString::number(v); }
    template <class... T> QString all(const T &...v) { return QStringList{str(v)...}.join('|'); }

  private slots:
    void hexText() {
        const QString l = "438422: 0030 00B0 0D 00  Goal Sign", item = "1F ?? Swinging plat - $sub";
        auto f = [](QString t, int n, bool r = false) { return getField(t, n, r, " "); };
        QCOMPARE(all(four(0), four(60), four(2620), four(65536), four(-1), four(0x80000000LL),
                     two(10), two(255), two(256), twa(""), twa("5"), twa("a"), twa("123"),
                     QCase("1a-zF"), QCase(""), f(l, 2), f(l, 5), f(l, 6), f(l, 7), f(l, 0),
                     f(l, 9), f("", 1), f(item, 3, true), cHex("0D"), cHex("D0"), cHex("FF"),
                     cHex("A"), cHex(""), cHex("1a"), cHex("123"), cHex("G5")),
                 "0000|003C|0A3C|10000|FFFFFFFF|0000|0A|FF|100|00|05|0a||1AF||0030|00||Goal||||"
                 "Swinging plat - $sub|13|208|255|10|0|16|0|5");
    }

    void captionsAndLines() {
        CaptionCatalogue c;
        const auto entries = [&c](int n = 0) {
            for (int i = 0; i < CaptionCatalogue::Size * CaptionCatalogue::Size; ++i)
                n += !c.caption(i / CaptionCatalogue::Size, i % CaptionCatalogue::Size).isEmpty();
            return n;
        };
        const QByteArray image = imageWith(64, 12, "FF00 8123 A603 00FF 0000 1180 0000 0000 2603");
        QVERIFY(c.load(1));
        QCOMPARE(all(c.pickList().size(), entries(), c.caption(0x1F, 0x0D), c.caption(0x1F, 0x0E),
                     c.caption(0xC0, 0x00), c.caption(0x40, 0x00), c.caption(0x25, 0x81),
                     c.pickList()[11], c.pickList()[37], c.pickList()[52], line(image, 12, c),
                     line(image, 18, c), line(image, 24, c), lineOffset(line(image, 24, c))),
                 "53|936|Swinging plat - 13||Local Enemy A|||11 ?? $sub log bridge|"
                 "A2 00 Local Enemy B|F9 ?? Lamp Post|12: FF00 8123 A6 03  Shoe|"
                 "18: 00FF 0000 11 80  128 log bridge|24: 0000 0000 26 03  |24");
        QVERIFY(c.load(2));
        QCOMPARE(all(c.pickList().size(), entries(), c.caption(0x25, 0x00), c.caption(0xA6, 0x03),
                     c.caption(0x15, 0x80), c.pickList()[2]),
                 "12|140|||Swinging Platform|02 00 Tails");
    }

    void levelTables() {
        const auto rows = [](int game, LevelAddressTable t = {}) {
            loadAddresses(t, 3 - game); // every entry must be overwritten
            loadAddresses(t, game);
            QStringList names = levelNames(game);
            for (int r = 0; r < LevelCount; ++r)
                names[r] += " @" + QString::number(t[r], 16).toUpper();
            return names.join(',');
        };
        QCOMPARE(rows(1), "0 - Green Hill 1 @6B096,1 - Green Hill 2 @6B5A0,2 - Green Hill 3 @6BB5E,"
                          "3 - Labyrinth 1 @6C218,4 - Labyrinth 2 @6C686,5 - Labyrinth 3 @6C9C8,"
                          "6 - Labyrinth 4 @6CFAA,7 - Marble 1 @6D592,8 - Marble 2 @6D8FE,"
                          "9 - Marble 3 @6DDA8,10 - Star Light 1 @6E31E,11 - Star Light 2 @6E85E,"
                          "12 - Star Light 3 @6ECC6,13 - Spring Yd 1 @6F2A8,"
                          "14 - Spring Yd 2 @6F734,15 - Spring Yd 3 @6FC9E,16 - Scrap Brn 1 @702A4,"
                          "17 - Scrap Brn 2 @709E2,18 - Scrap Brn 3 @710C0,19 - Good Ending @71204,"
                          "20 - Bad Ending @71204");
        QCOMPARE(rows(2), "0 - Emerald Hill 1 @E684A,1 - Emerald Hill 2 @E6B7A,"
                          "2 - Metropolis 1 @E6F34,3 - Metropolis 2 @E73C0,4 - Metropolis 3 @E78EE,"
                          "5 - Wing Fortress @E7F48,6 - Hill Top 1 @E8302,7 - Hill Top 2 @E8668,"
                          "8 - Hidden Palace @E8C80,9 - Oil Ocean 1 @E8DA0,10 - Oil Ocean 2 @E9214,"
                          "11 - Mystic Cave 1 @E968E,12 - Mystic Cave 2 @E99A0,"
                          "13 - Carnival Night 1 @E9D1E,14 - Carnival Night 2 @EA3D8,"
                          "15 - Chemical Plant 1 @EA9D2,16 - Chemical Plant 2 @EAD6E,"
                          "17 - Death Egg @EB230,18 - Aquatic Ruin 1 @EB25A,"
                          "19 - Aquatic Ruin 2 @EB6A4,20 - Sky Chase Zone @EBBDE");
        // Revision 01 of Sonic 1 moved the layouts from Labyrinth 2 on; Sonic 2's stayed put.
        QCOMPARE(fixedAddresses(Revision::Sonic1Rev1)[6], 0x6CF92);
        QVERIFY(fixedAddresses(Revision::Sonic2Rev0) == fixedAddresses(Revision::Sonic2Rev2));
    }

    void records() {
        const QByteArray end = " FFFF 0000 0000";
        const auto n = [](qint64 at, const QByteArray &hex, qint64 start) {
            return walk(imageWith(400, at, hex), start).count;
        };
        // The end record's own FFFF Y must not raise the maxima.
        const Walk w = walk(imageWith(400, 6, "12B4 0100 0000 1234 8123 0000 FFFF FFFF 0000"), 6);
        const auto back = [](int v) { return sliderPosition(sliderText(v)); };
        // 400 bytes: the last record may start at L-100 = 300.
        QCOMPARE(all(n(12, end, 12), n(0, "FF00 0000 0100 00FF 0000 0100" + end, 0), n(0, "", 0),
                     n(300, end, 0), n(294, "0102 0304 0506 0708 090A", 294), n(0, "", 301),
                     n(0, "", -1), w.xMax, w.yMax, sliderPosition("0A3C"), sliderPosition("0A40"),
                     sliderPosition("0A41"), sliderPosition("0AC0"), sliderPosition("0AFF"),
                     back(1), back(2), back(1282), back(32642)),
                 "0|2|51|50|2|0|0|2305|16512|1280|1280|1281|1282|1282|1|2|1282|32642");
        QByteArray data(20, '\xEE');
        QCOMPARE(all(writeRecord(data, 2, padPosition("A3C"), padPosition("7"), "1a", "??"),
                     writeRecord(data, 8, "FFFF", padPosition(""), "G1", "ff"),
                     writeRecord(data, 17, "0A3C", "8123", "A6", "03"),
                     writeRecord(data, 20, "0A3C", "8123", "A6", "03"),
                     writeRecord(data, -1, "0A3C", "8123", "A6", "03")),
                 "6|6|3|0|0");
        QCOMPARE(data.toHex(), "eeee0a3c00071a00ffff000001ffeeeeee0a3c81");
    }

    void reader() {
        QTemporaryDir dir;
        const QString missing = dir.filePath("missing.bin"), big = writeFile(dir, "big.bin", {});
        ImageReader reader;
        QString why;
        QVERIFY(!reader.open(missing, &why) && !QFileInfo::exists(missing));
        // Sparse: no disk space, no time.
        QVERIFY(QFile::resize(big, MaxImageBytes) && reader.open(big, &why));
        QCOMPARE(reader.size(), MaxImageBytes);
        QVERIFY(QFile::resize(big, MaxImageBytes + 1) && !reader.open(big, &why));
    }

    // Small saves over longer files, keeping what follows, are the fuzz targets'
    // (fuzz/imagechecks.cpp).
    void saving() {
        QTemporaryDir dir;
        const QString cwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path())); // where a file named "<None>" would land
        const auto back = qScopeGuard([&] { QDir::setCurrent(cwd); });
        const QByteArray data = synthetic::image(1);
        const QString path = writeFile(dir, "game.bin", QByteArray(0x100, 'x'));
        QString why;
        QVERIFY(saveImage(path, data, &why)); // a whole image, over a shorter file
        QCOMPARE(readFile(path), data);
        QVERIFY(!saveImage(NoPath, data, &why));
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList({"game.bin"}));

        // Root ignores the mode but not the immutable attribute.
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
        QProcess::execute("chattr", {"+i", path});
        const auto unlock = qScopeGuard([&] { QProcess::execute("chattr", {"-i", path}); });
        if (QFileInfo(path).isWritable())
            QSKIP("no way to make a file unwritable here");
        QVERIFY(!saveImage(path, data.left(0x200), &why) && !why.isEmpty());
        QCOMPARE(readFile(path), data);
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList({"game.bin"}));
    }

    // The recognition bytes come first (Sonic 1 before Sonic 2); only then the serial.
    void recognition() {
        using V = Revision;
        const auto withSerial = [](QByteArray image, const char *serial) {
            return image.replace(SerialAt, SerialLength, serial);
        };
        const QByteArray plain(0x80000, '\0'), s1 = synthetic::blankImage(1),
                                               s2 = synthetic::blankImage(2);
        const QList<V> found = {revision(withSerial(plain, "GM 00001009-00")),
                                revision(withSerial(plain, "GM 00004049-01")),
                                revision(withSerial(plain, "GM 00001051-00")),
                                revision(withSerial(plain, "GM 00001051-01")),
                                revision(withSerial(plain, "GM 00001051-02")),
                                revision(withSerial(plain, "GM 00001051-03")),
                                revision(withSerial(s1, "GM 00001051-02")),
                                revision(withSerial(plain.left(0x73FD8), "GM 00001009-00")),
                                revision(s2)};
        QCOMPARE(found, QList<V>({V::Sonic1Rev0, V::Sonic1Rev1, V::Sonic2Rev0, V::Sonic2Rev1,
                                  V::Sonic2Rev2, V::None, V::Sonic1Rev0, V::None, V::Sonic2Rev1}));
        const QByteArray both = s1.left(0x1A08) + s2.mid(0x1A08, 4) + s1.mid(0x1A0C);
        QCOMPARE(QList<R>({recognise({}), recognise(s2.left(475096)), recognise(s1.left(475097)),
                           recognise(s2.left(475097)), recognise(both),
                           recognise(QByteArray(475097, '\0')),
                           recognise(withSerial(plain, "GM 00004049-01")),
                           recognise(withSerial(plain, "GM 00001051-00"))}),
                 QList<R>({R::OutOfRange, R::OutOfRange, R::Sonic1, R::Sonic2, R::Sonic1,
                           R::Unknown, R::Sonic1, R::Sonic2}));
        QCOMPARE(all(revisionStatus(V::Sonic1Rev0), revisionStatus(V::Sonic1Rev1),
                     revisionStatus(V::Sonic2Rev0), revisionStatus(V::Sonic2Rev1),
                     revisionStatus(V::Sonic2Rev2)),
                 "- [Sonic 1]|- [Sonic 1 Rev 01]|- [Sonic 2 Final Rev 00]|- [Sonic 2 Final]|"
                 "- [Sonic 2 Final Rev 02]");
    }

    // A layout the image moved is followed through the game's table; a table that does not
    // hold up gives way to the fixed one, and nothing is ever listed from outside the image.
    void movedLayouts() {
        for (Revision r : {Revision::Sonic1Rev1, Revision::Sonic2Rev2}) {
            const int game = gameCode(r);
            const QByteArray original = synthetic::image(r);
            const qint64 to = synthetic::movedLayoutsAt(game);
            const QByteArray moved = synthetic::movedLayoutsImage(r, {3});
            LevelAddressTable table{};
            loadAddresses(table, moved, r);
            LevelAddressTable expected = fixedAddresses(r);
            expected[3] = static_cast<qint32>(to);
            QVERIFY(table == expected);

            const auto fallsBack = [&](QByteArray image) {
                loadAddresses(table, image, r);
                return table == fixedAddresses(r);
            };
            QByteArray notBehindEnd = moved, noEndRecord = moved;
            notBehindEnd[to - 1] = 1;
            std::fill(noEndRecord.begin() + to, noEndRecord.end(), '\x11');
            QVERIFY(fallsBack(notBehindEnd) && fallsBack(noEndRecord));
            QVERIFY(fallsBack(moved.left(to - 0x100))); // the table points past the end

            // A fixed table pointing beyond a cut image lists nothing from there.
            const QByteArray cut = original.left(fixedAddresses(r)[10]);
            QVERIFY(fallsBack(cut));
            QCOMPARE(walk(cut, table[12]).count, 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestRomImage)
#include "tst_romimage.moc"
