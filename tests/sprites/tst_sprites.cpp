// Object sprites: mappings of both formats, the init-code scan, drawing order, rings, damaged
// data, and the commands that draw or list them (the per-object rules are tst_gamerules').

#include "demo/syntheticimage.h"
#include "demo/syntheticsprites.h"
#include "levels/leveltables.h"
#include "map/levelterrain.h"
#include "map/mapexport.h"
#include "map/terraintables.h"
#include "sprites/codescan.h"
#include "sprites/levelsprites.h"
#include "sprites/mappings.h"
#include "sprites/objectlisting.h"
#include "sprites/spritelayer.h"
#include "support/files.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

using namespace sprites;
using synthetic::MapPiece;
using synthetic::Record;

namespace {

constexpr int X = 0x200, Y = 0x200; // where a record is placed

// 64 KiB of video memory holding the scene's tile pattern in every tile.
QByteArray patternVram() {
    QByteArray vram(0x10000, '\0');
    for (int t = 0; t < 0x800; ++t)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; x += 2)
                vram[t * 32 + y * 4 + x / 2] =
                    static_cast<char>(synthetic::sceneTilePixel(t, x, y) << 4 |
                                      synthetic::sceneTilePixel(t, x + 1, y));
    return vram;
}

// A picture of palette indices over `area`, 0 where nothing is drawn.
struct Canvas {
    QRect area;
    QByteArray pixels;
    explicit Canvas(QRect a) : area(a), pixels(int(a.width() * a.height()), '\0') {}
    IndexCanvas view() { return {reinterpret_cast<uchar *>(pixels.data()), area.width(), area}; }
    int at(int x, int y) const {
        return uchar(pixels.at((y - area.top()) * area.width() + x - area.left()));
    }
    // Tile `tile` of the pattern with palette line `line` and the flips, its top-left at (x, y).
    void tile(int x, int y, int tile, int line, bool xFlip, bool yFlip) {
        for (int py = 0; py < 8; ++py)
            for (int px = 0; px < 8; ++px) {
                const QPoint p(x + px, y + py);
                if (area.contains(p))
                    pixels[(p.y() - area.top()) * area.width() + p.x() - area.left()] =
                        static_cast<char>(16 * line +
                                          synthetic::sceneTilePixel(tile, xFlip ? 7 - px : px,
                                                                    yFlip ? 7 - py : py));
            }
    }
};

// --- The scene: every rule's object on a full-size image of each game -------------------------

struct Scene {
    rom::Revision revision;
    QByteArray image;
    SpriteTables tables;
};

const Scene &scene(int game) {
    static Scene scenes[2];
    Scene &s = scenes[game - 1];
    if (s.image.isEmpty()) {
        s.revision = synthetic::defaultRevision(game);
        s.image = synthetic::image(s.revision);
        s.tables = spriteTables(s.revision);
        synthetic::putSprites(s.image, map::terrainTables(s.revision), s.tables,
                              game == 1 ? 0x10000 : 0x20000);
    }
    return s;
}

// The sprite layer of `records` placed in `row`, painted over `area`.
Canvas drawRecords(int game, int row, const QVector<Record> &records, QRect area,
                   QVector<Look> *looks = nullptr, const SpriteTables *tables = nullptr) {
    const Scene &s = scene(game);
    QByteArray image = s.image;
    const qint64 at = fixedAddresses(s.revision)[row];
    synthetic::putLayout(image, at, records);
    const auto level =
        LevelSprites::load(image, map::terrainTables(s.revision), tables ? *tables : s.tables, row);
    QVector<qint64> offsets;
    for (int i = 0; i < records.size(); ++i)
        offsets.append(at + 6LL * i);
    const SpriteLayer layer = spriteLayer(*level, image, offsets);
    Canvas canvas(area);
    paintSpriteLayer(layer, canvas.view());
    if (looks)
        for (const Appearance &a : layer.records)
            looks->append(a.look);
    return canvas;
}

Record record(int x, int y, int type, int subtype) {
    return {quint8(x >> 8), quint8(x), quint8(y >> 8), quint8(y), quint8(type), quint8(subtype)};
}

} // namespace

class TestSprites : public QObject {
    Q_OBJECT

  private slots:
    void mappingsBothFormats();
    void mappingsCarry();
    void mappingsDamaged_data();
    void mappingsDamaged();
    void scanEncodings();
    void order();
    void sonic2Rings();
    void brokenImages();
    void exportAndListing();
};

// Every size, both flips (the piece's and the sprite's), every palette line, in both formats.
void TestSprites::mappingsBothFormats() {
    const QByteArray vram = patternVram();
    for (int game = 1; game <= 2; ++game)
        for (int size = 0; size < 16; ++size)
            for (int flips = 0; flips < 16; ++flips) {
                const int w = (size >> 2) + 1, h = (size & 3) + 1, line = flips & 3;
                const quint16 tileWord = static_cast<quint16>(0x123 | (flips & 4 ? 0x800 : 0) |
                                                              (flips & 8 ? 0x1000 : 0));
                const QByteArray image =
                    synthetic::mappingTable({{}, {{-12, 5, w, h, tileWord}}}, game);
                const auto pieces = framePieces(
                    image, 0, 1, game == 1 ? MappingFormat::Sonic1 : MappingFormat::Sonic2);
                QVERIFY(pieces && pieces->size() == 1);
                Sprite s;
                s.art = static_cast<quint16>(line << 13 | 0x10);
                s.xFlip = (flips & 1) != 0;
                s.yFlip = (flips & 2) != 0;
                s.x = 40;
                s.y = 40;
                Canvas got(QRect(0, 0, 80, 80));
                paintPiece(placePieces(s, *pieces).front(), vram, got.view());
                const bool xf = ((flips & 4) != 0) != s.xFlip, yf = ((flips & 8) != 0) != s.yFlip;
                const int left = s.xFlip ? 40 + 12 - 8 * w : 40 - 12;
                const int top = s.yFlip ? 40 - 5 - 8 * h : 40 + 5;
                Canvas want(got.area);
                for (int c = 0; c < w; ++c)
                    for (int r = 0; r < h; ++r)
                        want.tile(left + 8 * (xf ? w - 1 - c : c), top + 8 * (yf ? h - 1 - r : r),
                                  0x133 + c * h + r, line, xf, yf);
                QVERIFY2(
                    got.pixels == want.pixels,
                    qPrintable(
                        QStringLiteral("game %1 size %2 flips %3").arg(game).arg(size).arg(flips)));
            }
}

// A tile word plus the art word is a plain 16-bit addition: a carry out of the tile field sets
// the X flip.
void TestSprites::mappingsCarry() {
    const QByteArray image = synthetic::mappingTable({{{0, 0, 1, 1, 0x07FF}}}, 1);
    Sprite s;
    s.art = 0x0001;
    Canvas got(QRect(0, 0, 8, 8)), want(got.area);
    paintPiece(placePieces(s, *framePieces(image, 0, 0, MappingFormat::Sonic1)).front(),
               patternVram(), got.view());
    want.tile(0, 0, 0, 0, true, false);
    QVERIFY(got.pixels == want.pixels);
}

void TestSprites::mappingsDamaged_data() {
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<int>("frame");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("pieces"); // -1: no sprite
    const QByteArray two = synthetic::mappingTable({{{0, 0, 1, 1, 1}}, {}}, 1);
    QTest::newRow("frame past the table") << two << 2 << 1 << -1;
    QTest::newRow("negative frame") << two << -1 << 1 << -1;
    QTest::newRow("empty frame") << two << 1 << 1 << 0;
    QByteArray runsOff = synthetic::mappingTable({{{0, 0, 1, 1, 1}}}, 1);
    runsOff[2] = char(40); // 40 pieces, the image ends after one
    QTest::newRow("count runs off the image, Sonic 1") << runsOff << 0 << 1 << -1;
    QByteArray runsOff2 = synthetic::mappingTable({{{0, 0, 1, 1, 1}}}, 2);
    runsOff2[3] = char(2);
    QTest::newRow("count runs off the image, Sonic 2") << runsOff2 << 0 << 2 << -1;
    QByteArray huge = synthetic::mappingTable({{{0, 0, 1, 1, 1}}}, 2) + QByteArray(8000, '\0');
    huge[2] = char(0x10); // 4096 pieces
    QTest::newRow("count past the cap") << huge << 0 << 2 << -1;
    QTest::newRow("table outside the image") << QByteArray(1, '\0') << 0 << 1 << -1;
    const QByteArray ring = synthetic::mappingTable({{{-8, -8, 2, 2, 0}}}, 2, true);
    QTest::newRow("ring frame") << ring << 0 << 3 << 1;
    QTest::newRow("ring frame cut short") << ring.left(ring.size() - 1) << 0 << 3 << -1;
}

void TestSprites::mappingsDamaged() {
    QFETCH(QByteArray, image);
    QFETCH(int, frame);
    QFETCH(int, format);
    QFETCH(int, pieces);
    const auto got = framePieces(image, 0, frame, static_cast<MappingFormat>(format - 1));
    QCOMPARE(got ? got->size() : -1, pieces);
}

// Each encoding the scan reads, through each address register where it has one.
void TestSprites::scanEncodings() {
    synthetic::Code c(0x1000);
    c.mappings(0x12345, 0)
        .mappings(0x2468A, 1)
        .art(0x27B2, 1)
        .art(0x8680)
        .priority(0x84)
        .frame(7, 3)
        .renderSet(4)
        .renderOr(0x40)
        .pcTable(0x1A3B, 0x1000)
        .pcTable(0x317B, 0x1002, 2)
        .lea(0x1200)
        .bra(0x0800)
        .words({0x1234, 0x217C});
    QByteArray image(0x1000, '\0');
    image += c.bytes();
    const InitScan s = scanRoutine(image, 0x1000);
    QCOMPARE(s.value(Op::Mappings).value_or(0), 0x12345u);
    QCOMPARE(s.value(Op::Mappings, 1).value_or(0), 0x2468Au);
    QCOMPARE(s.count(Op::Mappings), 1);
    QCOMPARE(s.value(Op::Art, 1).value_or(0), 0x27B2u);
    QCOMPARE(s.value(Op::Art).value_or(0), 0x8680u);
    QCOMPARE(s.value(Op::Priority).value_or(0), 0x84u);
    QCOMPARE(s.value(Op::Frame, 3).value_or(0), 7u);
    QCOMPARE(s.value(Op::RenderSet).value_or(0), 4u);
    QCOMPARE(s.value(Op::RenderOr).value_or(0), 0x40u);
    QCOMPARE(s.table(0x1A3B).value_or(-1), 0x1000);
    QCOMPARE(s.table(0x317B, 2).value_or(-1), 0x1002);
    QVERIFY(!s.table(0x317B, 4));
    QCOMPARE(s.first(Op::Lea).value_or(-1), 0x1200);
    QCOMPARE(s.first(Op::Branch).value_or(-1), 0x0800);
    QVERIFY(!s.leadingBranch());

    // Through the object index and the routine table; a table jump beyond the first 32 bytes
    // is not one.
    QByteArray withIndex(0x100, '\0');
    synthetic::Code code = synthetic::objectCode(0x100);
    code.bra(0x40);
    withIndex += code.bytes();
    withIndex[0x20 + 2] = 0x01; // id 1 at $100
    InitScan viaIndex = scanObject(withIndex, 0x20, 1);
    QCOMPARE(viaIndex.code, 0x100);
    QCOMPARE(viaIndex.leadingBranch().value_or(-1), 0x40);
    QByteArray late = QByteArray(0x100, '\0') + QByteArray(32, char(0x4E)) + code.bytes();
    late[0x20 + 2] = 0x01;
    QVERIFY(!scanObject(late, 0x20, 1).ok());
}

// Priority 0 is in front; equal priority: the earlier record in front.
void TestSprites::order() {
    const QRect area(X - 8, Y - 8, 16, 16);
    const auto topLeft = [&](const QVector<Record> &records) {
        return drawRecords(1, 0, records, area).at(X - 3, Y - 3);
    };
    const auto colourOf = [](int slot, int frame) {
        const quint16 art = synthetic::sceneArt(slot);
        return 16 * (art >> 13) + synthetic::sceneTilePixel((art & 0x7FF) + frame, 1, 1);
    };
    const int monitor = colourOf(synthetic::sceneSlot(1, 0x26), 3);
    const int spring = colourOf(synthetic::sceneSlot(1, 0x41), 0);
    const int otherMonitor = colourOf(synthetic::sceneSlot(1, 0x26), 4);
    QVERIFY(monitor != spring && monitor != otherMonitor);
    QCOMPARE(topLeft({record(X, Y, 0x41, 0), record(X, Y, 0x26, 1)}), monitor);
    QCOMPARE(topLeft({record(X, Y, 0x26, 1), record(X, Y, 0x41, 0)}), monitor);
    QCOMPARE(topLeft({record(X, Y, 0x26, 1), record(X, Y, 0x26, 2)}), monitor);
    QCOMPARE(topLeft({record(X, Y, 0x26, 2), record(X, Y, 0x26, 1)}), otherMonitor);
}

// Sonic 2's ring layout: every ring, 24 pixels apart, in front of any object.
void TestSprites::sonic2Rings() {
    const QVector<synthetic::SceneRing> rings = synthetic::sceneRings();
    const synthetic::SceneRing &single = rings.last();
    const QRect area(0, 0, 0x280, 0x200);
    // A bumper (priority 1) right on the lone ring.
    const Canvas got = drawRecords(2, 0, {record(single.x, single.y, 0x44, 0)}, area);
    Canvas want(area);
    const quint16 bumper = synthetic::sceneArt(synthetic::sceneSlot(2, 0x44));
    want.tile(single.x - 4, single.y - 4, bumper & 0x7FF, bumper >> 13, false, false);
    for (const auto &r : rings)
        for (int k = 0; k < r.count; ++k) {
            const int x = r.x + (r.vertical ? 0 : 24 * k), y = r.y + (r.vertical ? 24 * k : 0);
            for (int c = 0; c < 2; ++c)
                for (int t = 0; t < 2; ++t)
                    want.tile(x - 8 + 8 * c, y - 8 + 8 * t, synthetic::SceneRingTile + 2 * c + t, 1,
                              false, false);
        }
    QVERIFY(got.pixels == want.pixels);
}

// A REV01 stray block is hidden; an image with no tables gives markers and no rings (damaged
// tables are the sprite fuzz target's).
void TestSprites::brokenImages() {
    SpriteTables stray = scene(1).tables;
    stray.deletesStrayBlock = true;
    QVector<Look> looks;
    drawRecords(1, 15, {record(0x1BB8, Y, 0x56, 0x37), record(0x1F38, Y, 0x56, 0x37)},
                QRect(0, 0, 8, 8), &looks, &stray);
    QCOMPARE(looks, (QVector<Look>{Look::Sprite, Look::Hidden}));

    for (int game = 1; game <= 2; ++game) {
        const QByteArray &image = scene(game).image;
        // A signpost whose own list is gone (and the longer one that writes there first): a
        // marker, not whatever the level left at its tiles.
        QByteArray noList = image;
        const qint64 cues = scene(game).tables.artLoadCues;
        for (int cue : {synthetic::SceneLateCue - 1, synthetic::SceneLateCue})
            noList.replace(cues + 2 * cue, 2, noList.mid(cues, 2));
        synthetic::putLayout(noList, fixedAddresses(scene(game).revision)[0],
                             {record(X, Y, 0x0D, 0)});
        QCOMPARE(LevelSprites::load(noList, scene(game).revision, 0)
                     ->record(noList, fixedAddresses(scene(game).revision)[0])
                     .look,
                 Look::Marker);
        const auto none = LevelSprites::load(QByteArray(100, '\0'), scene(game).revision, 0);
        QCOMPARE(none->record(image, fixedAddresses(scene(game).revision)[0]).look, Look::Marker);
        QVERIFY(none->rings().isEmpty());
    }
}

// The commands: sprites over the terrain, markers only for what has none, rings in front;
// --markers-only the marker picture; the listing's looks and ring records.
void TestSprites::exportAndListing() {
    const Scene &s = scene(2);
    QByteArray image = s.image;
    const qint64 at = fixedAddresses(s.revision)[0];
    synthetic::putLayout(image, at,
                         {record(0x100, 0x100, 0x26, 4), record(0x140, 0x100, 0x03, 0),
                          record(0x180, 0x100, 0x7E, 0)});
    QTemporaryDir dir;
    const QString path = testsupport::writeFile(dir, "s2.bin", image);
    QString messages;
    QTextStream err(&messages);
    QCOMPARE(map::exportMap(path, "0", dir.filePath("s.png"), err), 0);
    QCOMPARE(map::exportMap(path, "0", dir.filePath("m.png"), err, true), 0);
    const QImage withSprites = QImageReader(dir.filePath("s.png")).read();
    const QImage markers = QImageReader(dir.filePath("m.png")).read();
    QCOMPARE(withSprites.format(), QImage::Format_Indexed8);

    const quint16 monitor = synthetic::sceneArt(synthetic::sceneSlot(2, 0x26));
    const struct {
        QPoint at;
        int index;
    } pixels[] = {
        {{0x100 - 3, 0x100 - 3},
         16 * (monitor >> 13) + synthetic::sceneTilePixel((monitor & 0x7FF) + 5, 1, 1)},
        {{0x100, 0x100 + 5}, map::BackdropIndex}, // no marker under a sprite
        {{0x140, 0x100}, map::MarkerInsideIndex},
        {{0x142, 0x100}, map::MarkerBorderIndex},
        {{0x180, 0x101}, map::MarkerInsideIndex},
        {{0x120 - 7, 0x160 - 7}, 16 + synthetic::sceneTilePixel(synthetic::SceneRingTile, 1, 1)}};
    for (const auto &p : pixels)
        QCOMPARE(withSprites.pixelIndex(p.at), p.index);
    const map::LevelTerrain terrain = map::LevelTerrain::load(image, s.revision, 0);
    QCOMPARE(markers, map::levelPicture(terrain, map::objectMarkers(image, at)));

    QString listed;
    QTextStream out(&listed);
    QCOMPARE(sprites::listObjects(path, "0", out, err), 0);
    QStringList lines = listed.split('\n', Qt::SkipEmptyParts);
    for (QString &line : lines) {
        QStringList fields = line.split('\t');
        if (fields.size() == 7)
            fields.removeAt(5); // the name
        line = fields.join(' ');
    }
    const auto offset = [&](int i) { return QString::number(at + 6 * i, 16).toUpper(); };
    QCOMPARE(
        lines,
        (QStringList{offset(0) + " 0100 0100 26 04 sprite", offset(1) + " 0140 0100 03 00 hidden",
                     offset(2) + " 0180 0100 7E 00 marker", "ring 0120 0160 3 horizontal",
                     "ring 01C0 0100 2 vertical", "ring 0060 0180 1 horizontal"}));
    QCOMPARE(messages, QString());
}

QTEST_GUILESS_MAIN(TestSprites)
#include "tst_sprites.moc"
