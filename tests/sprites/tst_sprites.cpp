// Object sprites: mappings of both formats, the init-code scan, each object rule shape on
// hand-assembled init code in the synthetic sprite scene (zone-dependent art, per-subtype tables,
// animation scripts, the shared sub-object loader, objects of several sprites, hidden objects)
// pixel for pixel, damaged tables giving a marker, drawing order, rings, and the commands that
// draw or list them.

#include "demo/bytewriting.h"
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

#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace sprites;
using namespace synthetic::bytes;
using synthetic::Code;
using synthetic::MapPiece;
using synthetic::Record;
using synthetic::sceneSlot;

namespace {

constexpr int X = 0x200, Y = 0x200; // where a record is placed
constexpr int Slot = 16;            // the first art slot the scene leaves free

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

// One expected 8x8 piece: art slot of the scene, mappings table, frame, flips, its offset from
// the piece centred on the record, and the palette line (the slot's when -1, plus `lineAdd`).
struct Expect {
    int slot;
    int table = 0;
    int frame = 0;
    bool xFlip = false, yFlip = false;
    int dx = 0, dy = 0;
    int line = -1;
    int lineAdd = 0;
    int tileAdd = 0; // added to the slot's first tile (the Ending animals' art words)
};

// One object record drawn alone, and the picture it should give.
struct RuleCase {
    const char *name;
    int game;
    int row;
    quint16 y; // flags included
    int type, subtype;
    Look look;
    QVector<Expect> pieces; // front first
    int damage = -1;        // the test's own damage applied first, if any
};

struct World {
    rom::Revision revision;
    QByteArray image;
    SpriteTables tables;
    QVector<std::pair<qint64, QByteArray>> damages; // bytes a hostile case writes over the code
};

QByteArray words(std::initializer_list<quint32> list) {
    QByteArray out;
    for (quint32 w : list)
        out += wordBytes(w);
    return out;
}

// Mappings table k: frame f (up to 9, the waterfalls' splash) is one 8x8 piece at (-4, -4) with
// tile 16 k + f; `raised`: frames 0, 4 and 8 sit 8 pixels up, so that what an object makes behind
// them shows.
QByteArray table(int game, int k, bool raised = false) {
    QVector<QVector<MapPiece>> frames;
    for (int f = 0; f < 10; ++f)
        frames.append({{-4, raised && f % 4 == 0 ? -12 : -4, 1, 1, quint16(16 * k + f)}});
    return synthetic::mappingTable(frames, game);
}

quint16 art(int n) {
    return synthetic::sceneArt(Slot + n);
}

// The scene (its own objects' code) with code for one object of each rule shape after it.
const World &world(int game) {
    static World worlds[2];
    World &w = worlds[game - 1];
    if (!w.image.isEmpty())
        return w;
    w.revision = synthetic::defaultRevision(game);
    w.image = synthetic::image(w.revision);
    w.tables = spriteTables(w.revision);
    qint64 at = synthetic::putSprites(w.image, map::terrainTables(w.revision), w.tables,
                                      game == 1 ? 0x10000 : 0x20000);
    std::optional<Code> open; // the object code being written, put when the next bytes come
    const auto put = [&](const QByteArray &bytes) {
        if (open)
            append(w.image, at, open->rts().bytes());
        open.reset();
        return append(w.image, at, bytes);
    };
    const quint32 m0 = quint32(put(table(game, 0))), m1 = quint32(put(table(game, 1)));
    // Starts the code of `ids`, one copy they all point at; the caller chains its init onto it.
    const auto place = [&](std::initializer_list<int> ids) -> Code & {
        put({});
        for (int id : ids)
            putLong(w.image, w.tables.objectIndex + 4LL * (id - 1), quint32(at));
        return open.emplace(synthetic::objectCode(at));
    };
    if (game == 1) {
        // Scripts whose animations 0-3 start at frames 5, 3 X-flipped, 2 Y-flipped and 6.
        const quint32 scripts = quint32(put(words(
            {8, 12, 16, 20, 0x0105, 0xFF00, 0x0123, 0xFF00, 0x0142, 0xFF00, 0x0106, 0xFF00})));
        Code &threeArts = place({0x32, 0x42, 0x60, 0x53}).mappings(m0).art(art(0)).art(art(1));
        threeArts.art(art(2)).renderOr(4).priority(4);
        // Scenery entries: mappings, art word, frame s + 1, width, priority s, collision.
        QByteArray entries;
        for (int s = 0; s < 4; ++s)
            entries += words({s == 3 ? 0xFFu : m1 >> 16, m1 & 0xFFFF, art(2),
                              quint32(s + 1) << 8 | 8, quint32(s) << 8});
        const qint64 sceneryAt = put(entries);
        place({0x1C}).pcTable(0x43FB, sceneryAt);
        // Its scripts lie past the image.
        place({0x55}).mappings(m0).art(art(3)).leaLong(0xFFFFF0, 1);
        // Damages 0 and 1: a call and a list off the image.
        put({}); // the open code first: the routine reads its table relative to where it lands
        const quint32 sine = quint32(put(synthetic::sineRoutine(at)));
        const auto away = [&](Code &c) -> Code & {
            w.damages.append({c.here() + 2, words({0xFF, 0xFFF0})});
            return c;
        };
        Code &chain = place({0x57}).mappings(m0).art(art(5)).priority(4).art(art(6));
        away(chain.mappings(m1).frame(2, 1).frame(1)).jsr(sine);
        // Swings: GHZ, SLZ, SBZ and ball constants; link and anchor frames and priorities on a1.
        Code &swing = place({0x15}).mappings(m0).art(art(0)).priority(3).mappings(m1).art(art(1));
        swing.mappings(m0).art(art(2)).priority(4, 1).frame(1, 1).priority(3, 1).frame(2, 1);
        swing.mappings(m1).art(art(3)).frame(3).priority(2).bsr(sine);
        place({0x78}).mappings(m0).art(art(0)).art(art(1)).priority(4).frame(6, 1);
        // Conveyor lists behind two padding words: entry 1 holds three platforms.
        QByteArray lists = words({0, 0, 0, 36});
        lists += QByteArray(28, '\0') + words({2, X, Y, 0, X + 32, Y - 16, 0, X - 32, Y + 48, 0});
        const auto conveyors = quint32(put(lists));
        Code &maker = place({0x63}).mappings(m0).art(art(1)).priority(4).art(art(2));
        away(maker.priority(1).frame(4).addi(4)).leaLong(conveyors, 2);
        Code &spinner = place({0x6F}).mappings(m1).art(art(3)).priority(4).addi(4);
        spinner.leaLong(conveyors, 2).leaLong(scripts, 1);
        place({0x67}).mappings(m0).art(art(4)).priority(4).jsr(sine);
        // One art constant (what the capsule and pylon would draw were their markers not their
        // rules'); two mappings and arts before the scripts.
        const auto oneArt = {0x44, 0x61, 0x5D, 0x51, 0x1A, 0x6A,
                             0x47, 0x11, 0x17, 0x65, 0x3E, 0x5C};
        place(oneArt).mappings(m0).art(art(4)).renderSet(4).priority(3);
        Code &scripted = place({0x1F, 0x2D, 0x64, 0x6D, 0x4C, 0x69, 0x22}).mappings(m0).art(art(0));
        scripted.mappings(m1).art(art(1)).priority(3).leaLong(scripts, 1);
        // Per-subtype tables: grassy platforms' 4-byte entries (frame third; subtype $20 reads one
        // past the mappings), elevators' (width, frame) pairs.
        const qint64 grass = put(QByteArray::fromHex("00000300 00000500 00004000"));
        place({0x2F}).pcTable(0x43FB, grass).mappings(m0).art(art(5));
        const qint64 lifts = put(QByteArray::fromHex("1002 2006 1003"));
        place({0x59}).pcTable(0x43FB, lifts).mappings(m1).art(art(5));
    } else {
        const quint32 m2 = quint32(put(table(2, 0, true)));
        // A shared loader like the game's: its index, then 10-byte entries (mappings, art word,
        // render flags, priority, width, collision); subtype 2 k reads entry k, flags k & 1.
        at += at & 1;
        Code loaderCode(at);
        loaderCode.words({0x7000, 0x1028, 0x0028}).pcTable(0x303B, at + 12).rts();
        loaderCode.words({6, 16, 26}).raw(words({m0 >> 16, m0 & 0xFFFF, art(4), 0x0005, 0}));
        loaderCode.raw(words({m1 >> 16, m1 & 0xFFFF, art(5), 0x0105, 0}));
        loaderCode.raw(words({m2 >> 16, m2 & 0xFFFF, art(2), 0x0005, 0}));
        const qint64 loader = put(loaderCode.bytes());
        place({0x91, 0x9D, 0x8E, 0x9E}).bsr(loader);
        const qint64 nothing = put(words({0x4E75}));
        place({0x99}).bsr(nothing);
        // Animation k starts at the k-th frame listed: each animation number shows.
        const quint32 anims = quint32(put(synthetic::animationScripts({1, 4, 7, 2, 5, 0, 3})));
        // Balkiry's jet maker gives the jet subtype 2 (damage 0: an odd one).
        const qint64 jet = put(Code(at).words({0x137C, 2, 0x0028}).rts().bytes());
        w.damages.append({jet + 3, QByteArray(1, char(3))});
        place({0xAC}).bsr(loader).frame(1).lea(anims).bra(jet);
        // Turtloid's rider maker: subtype 2, frame 3.
        const qint64 rider = put(Code(at).words({0x137C, 2, 0x0028}).frame(3, 1).rts().bytes());
        place({0x9A}).bsr(loader).bsr(rider).leaLong(anims, 1).bra(jet);
        const qint64 teeth = put(QByteArray::fromHex("00e000 16ea01 200002 161603 002004"
                                                     "ea1605 e00006 eaea07"));
        place({0x70}).leaLong(quint32(teeth), 2).mappings(m0, 1).art(art(6), 1).priority(4, 1);
        Code &twoParts = place({0x85, 0x14}).mappings(m0).art(art(6)).renderOr(4).priority(4);
        twoParts.mappings(m1).art(art(7)).priority(4);
        // Groups: entry 0 of two platforms, entry 1 of 17 (more than a group has).
        const qint64 groups =
            put(words({4, 18, 1, 0, 0, 1, 0x10, 0x20, 3, 16}) + QByteArray(102, 0));
        place({0x6C}).mappings(m0).art(art(2)).renderOr(4).priority(4).leaLong(quint32(groups), 2);
        const qint64 blocks = put(QByteArray::fromHex("d8180808"));
        place({0xD2}).mappings(m0).art(art(3)).renderOr(4).priority(4).pcTable(0x43FB, blocks);
        // Pairs: one platform, two, and too many.
        const qint64 slides = put(QByteArray::fromHex("0000ffe00008 01a8ffd00030 200000000000"));
        Code &slider = place({0x7A}).mappings(m0).art(art(2));
        slider.words({0x45FB, quint16(0x1000 | ((slides - slider.here() - 2) & 0xFF))});
        // The loader entry named by move.w #2,d0, then by moveq #0,d0 and move.b #2,d0.
        place({0xC0}).words({0x303C, 2}).bsr(loader);
        place({0xBE}).words({0x7000, 0x103C, 2}).bsr(loader);
        place({0x1D}).mappings(m0, 1).art(art(3), 1).priority(3, 1);
        Code &walkOff = place({0x6A}).mappings(m0).art(art(0)).renderOr(4).priority(4).frame(1);
        walkOff.mappings(m1).art(art(1)).frame(0);
        place({0x3D}).mappings(m0).art(art(6)).art(art(7)).frame(2).priority(4);
        place({0x95}).mappings(m0).art(art(0)).renderOr(4).priority(4).frame(3, 1);
        place({0x86, 0x24, 0x50}).mappings(m0).art(art(2)).priority(4).leaLong(anims, 1);
        // 4-byte entries with the frame in byte 2: frames 3, 6 and 5.
        const qint64 quads = put(QByteArray::fromHex("00000300 00000600 00000500"));
        Code &byEntry = place({0x6B, 0x76}).pcTable(0x43FB, quads).mappings(m0).art(art(3));
        byEntry.mappings(m1).art(art(4));
        // (width, frame) pairs: frames 2 to 6.
        const qint64 widths = put(words({0x2002, 0x2003, 0x2004, 0x4005, 0x3006}));
        Code &byPair = place({0x19, 0x2F, 0x18}).pcTable(0x45FB, widths).mappings(m0).art(art(0));
        byPair.art(art(1)).art(art(2)).mappings(m1);
        // Per-zone constants: the n-th mappings and art pair.
        Code &zones = place({0x1F, 0x32, 0x80, 0x3F, 0x11}).mappings(m0).art(art(0));
        zones.mappings(m1).art(art(1)).mappings(m0).art(art(2)).mappings(m1).art(art(3));
        Code &fiveArts = place({0x2D, 0x6E}).mappings(m0).art(art(0)).art(art(1)).art(art(2));
        fiveArts.art(art(3)).art(art(4));
        // Constants a plain reading would draw: the waterfall's (13) marker is its rule's.
        const auto plain = {0x82, 0x64, 0x42, 0x81, 0x13, 0xD4, 0xD5, 0x47, 0x23, 0x75};
        place(plain).mappings(m0).art(art(2)).priority(3);
        place({0x68}).mappings(m2).art(art(5)).art(art(7), 1);
        place({0x67});
        // Launch sphere (render flags, frame) pairs; X-flipped records read four further on.
        const qint64 spheres = put(QByteArray::fromHex("0003 0102 0000 0000 0205 0107"));
        place({0x48}).pcTable(0x117B, spheres, 1).mappings(m0).art(art(6));
        // Stake and orb entries: mappings, art, width, priority.
        const qint64 stakes = put(
            words({m0 >> 16, m0 & 0xFFFF, art(6), 0x0803, m1 >> 16, m1 & 0xFFFF, art(7), 0x0803}));
        place({0x71}).lea(stakes).leaLong(anims, 1);
        place({0x92, 0xB5, 0x8C}).bsr(loader).leaLong(anims, 1);
        place({0xAD}).bsr(loader).frame(4);
    }
    put({});
    return w;
}

Record record(int x, int y, int type, int subtype) {
    return {quint8(x >> 8), quint8(x), quint8(y >> 8), quint8(y), quint8(type), quint8(subtype)};
}

// The sprite layer of `records` placed in `row` of the world (with its damage `damage` first),
// painted over `area`.
Canvas drawRecords(int game, int row, const QVector<Record> &records, QRect area,
                   QVector<Look> *looks = nullptr, int damage = -1,
                   const SpriteTables *tables = nullptr) {
    const World &w = world(game);
    QByteArray image = w.image;
    if (damage >= 0)
        image.replace(int(w.damages[damage].first), int(w.damages[damage].second.size()),
                      w.damages[damage].second);
    const qint64 at = fixedAddresses(w.revision)[row];
    synthetic::putLayout(image, at, records);
    const auto level =
        LevelSprites::load(image, map::terrainTables(w.revision), tables ? *tables : w.tables, row);
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

} // namespace

Q_DECLARE_METATYPE(RuleCase)

class TestSprites : public QObject {
    Q_OBJECT

  private slots:
    void mappingsBothFormats();
    void mappingsCarry();
    void mappingsDamaged();
    void scanEncodings();
    void rules_data();
    void rules();
    void makersDrawTheirListInPlace();
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
                const auto tileWord = quint16(0x123 | (flips & 12) << 9); // piece flips
                const auto pieces =
                    framePieces(synthetic::mappingTable({{}, {{-12, 5, w, h, tileWord}}}, game), 0,
                                1, MappingFormat(game - 1));
                QVERIFY(pieces && pieces->size() == 1);
                const bool sx = flips & 1, sy = flips & 2;
                const Sprite s{-1, MappingFormat::Sonic1, 0, quint16(line << 13 | 0x10), sx, sy, 40,
                               30};
                Canvas got(QRect(0, 0, 80, 80));
                paintPiece(placePieces(s, *pieces).front(), vram, got.view());
                const bool xf = ((flips & 4) != 0) != sx, yf = ((flips & 8) != 0) != sy;
                const int left = 40 + (sx ? 12 - 8 * w : -12), top = 30 + (sy ? -5 - 8 * h : 5);
                Canvas want(got.area);
                for (int c = 0; c < w; ++c)
                    for (int r = 0; r < h; ++r)
                        want.tile(left + 8 * (xf ? w - 1 - c : c), top + 8 * (yf ? h - 1 - r : r),
                                  0x133 + c * h + r, line, xf, yf);
                const QString where = QString("game %1 size %2 flips %3").arg(game).arg(size);
                QVERIFY2(got.pixels == want.pixels, qPrintable(where.arg(flips)));
            }
}

// A tile word plus the art word is a plain 16-bit addition: a carry out of the tile field sets
// the X flip.
void TestSprites::mappingsCarry() {
    Canvas got(QRect(0, 0, 8, 8)), want(got.area);
    const Sprite s{-1, MappingFormat::Sonic1, 0, 0x0001};
    paintPiece(placePieces(s, {Piece{0, 0, 1, 1, 0x07FF}}).front(), patternVram(), got.view());
    want.tile(0, 0, 0, 0, true, false);
    QVERIFY(got.pixels == want.pixels);
}

// Damaged tables give no sprite (-1) rather than pieces read from past them.
void TestSprites::mappingsDamaged() {
    const auto pieces = [](const QByteArray &image, int frame, MappingFormat format) {
        const auto got = framePieces(image, 0, frame, format);
        return got ? int(got->size()) : -1;
    };
    const MappingFormat S1 = MappingFormat::Sonic1, S2 = MappingFormat::Sonic2;
    // Two frames; past them, bytes that would read as a frame.
    const QByteArray two =
        synthetic::mappingTable({{{0, 0, 1, 1, 1}}, {}}, 1) + QByteArray(0x200, '\0');
    QCOMPARE(pieces(two, 2, S1), -1);  // frame past the table
    QCOMPARE(pieces(two, -1, S1), -1); // negative frame
    QCOMPARE(pieces(two, 1, S1), 0);   // empty frame
    QByteArray runsOff = synthetic::mappingTable({{{0, 0, 1, 1, 1}}}, 1);
    runsOff[2] = char(40); // 40 pieces, the image ends after one
    QCOMPARE(pieces(runsOff, 0, S1), -1);
    QByteArray runsOff2 = synthetic::mappingTable({{{0, 0, 1, 1, 1}}}, 2);
    runsOff2[3] = char(2);
    QCOMPARE(pieces(runsOff2, 0, S2), -1);
    // 4096 pieces, past the cap, all inside the image.
    QByteArray huge = synthetic::mappingTable({{{0, 0, 1, 1, 1}}}, 2) + QByteArray(0x8000, '\0');
    huge[2] = char(0x10);
    QCOMPARE(pieces(huge, 0, S2), -1);
    QCOMPARE(pieces(QByteArray(1, '\0'), 0, S1), -1); // table outside the image
    const QByteArray ring = synthetic::mappingTable({{{-8, -8, 2, 2, 0}}}, 2, true);
    QCOMPARE(pieces(ring, 0, MappingFormat::Ring), 1);
    QCOMPARE(pieces(ring.left(ring.size() - 1), 0, MappingFormat::Ring), -1);
}

// What the rule rows do not reach: stores through a3 and a1 told from a0's, a table told by its
// next word, a branch that does not start the routine, an instruction cut short by the image's end;
// and an object's routine jump looked for in its first 32 bytes only.
void TestSprites::scanEncodings() {
    synthetic::Code c(0x1000);
    c.words({0x4E71}).bra(0x0800).frame(7, 3).mappings(0x12345, 1).pcTable(0x317B, 0x1002, 2);
    c.words({0x1234, 0x217C});
    const InitScan s = scanRoutine(QByteArray(0x1000, '\0') + c.bytes(), 0x1000);
    QCOMPARE(s.found.size(), 4);
    QCOMPARE(s.count(Op::Mappings), 0);
    QCOMPARE(s.value(Op::Frame, 3).value_or(0), 7u);
    QVERIFY(s.table(0x317B, 2) && !s.table(0x317B, 4));
    QVERIFY(!s.leadingBranch());
    for (int pad : {24, 26}) { // the jump 30 or 32 bytes in
        QByteArray image =
            QByteArray(0x100 + pad, char(0x4E)) + synthetic::objectCode(0).rts().bytes();
        image.replace(0x20, 4, QByteArray::fromHex("00000100")); // id 1's code at $100
        QCOMPARE(scanObject(image, 0x20, 1).ok(), pad == 24);
    }
}

void TestSprites::rules_data() {
    QTest::addColumn<RuleCase>("c");
    const Look S = Look::Sprite, M = Look::Marker, H = Look::Hidden;
    const quint16 XF = Y | 0x2000, YF = Y | 0x4000, XY = Y | 0x6000; // Sonic 2 flips
    // An unflipped piece at (dx, dy).
    const auto at = [](int slot, int table, int frame, int dx, int dy, int line = -1) {
        return Expect{slot, table, frame, false, false, dx, dy, line};
    };
    // n + 1 pieces of `slot`, each (dx, dy) from the one before.
    const auto row = [](int slot, int frame, int n, int dx, int dy, int from = 0) {
        QVector<Expect> out;
        for (int i = 0; i <= n; ++i)
            out.append({slot, 0, frame, false, false, (from + i) * dx, (from + i) * dy});
        return out;
    };
    const QVector<RuleCase> cases = {
        // clang-format off
        // The scene's most placed objects. Sonic 1 rings: groups of n + 1 spaced by pair s >> 4 = (3p - 8, 16 - 2p).
        {"S1 ring group", 1, 0, Y, 0x25, 0x12, S, row(sceneSlot(1, 0x25), 0, 2, -5, 14)},
        {"S1 ring group of 7 from 7", 1, 0, Y | 0xC000, 0x25, 0x57, S, row(sceneSlot(1, 0x25), 0, 6, 7, 6)},
        {"S1 floating block, flips dropped", 1, 0, Y | 0xC000, 0x56, 0x25, S, {{sceneSlot(1, 0x56), 0, 2}}},
        {"S1 floating block in Labyrinth", 1, 3, Y, 0x56, 0x25, S, {{sceneSlot(1, 0x56, 2), 0, 2}}},
        {"S1 monitor icon, remember flag", 1, 0, Y | 0x4000, 0xA6, 0x03, S, {{sceneSlot(1, 0x26), 0, 5, true}}},
        {"S1 monitor other subtype", 1, 0, Y, 0x26, 0x09, S, {{sceneSlot(1, 0x26), 0, 0}}},
        {"S1 spikes", 1, 0, Y | 0x8000, 0x36, 0x30, S, {{sceneSlot(1, 0x36), 0, 3, false, true}}},
        {"S1 spikes unknown kind", 1, 0, Y, 0x36, 0x60, M, {}},
        {"S1 spring up", 1, 0, Y, 0x41, 0x00, S, {{sceneSlot(1, 0x41), 0, 0}}},
        {"S1 spring sideways yellow", 1, 0, Y | 0x4000, 0x41, 0x12, S, {{sceneSlot(1, 0x41, 2), 0, 3, true, false, 0, 0, -1, 1}}},
        {"S1 Ending animal", 1, 19, Y | 0x8000, 0x28, 0x0C, S, {{sceneSlot(1, 0x28), 0, 0, true, false, 0, 0, -1, 0, 2}}},
        {"S1 animal outside the Ending", 1, 0, Y, 0x28, 0x0C, M, {}},
        {"S1 animal subtype past the table", 1, 20, Y, 0x28, 0x15, M, {}},
        {"S1 brick", 1, 7, Y | 0x4000, 0x46, 0x00, S, {{sceneSlot(1, 0x46)}}},
        {"S1 bomb walking", 1, 0, Y | 0x4000, 0x5F, 0x00, S, {{sceneSlot(1, 0x5F), 0, 5, true}}},
        {"S1 bomb fuse", 1, 0, Y, 0x5F, 0x01, M, {}},
        {"S1 platform frame 1", 1, 0, Y | 0x4000, 0x18, 0x0A, S, {{sceneSlot(1, 0x18), 0, 1}}},
        {"S1 platform in Spring Yard", 1, 13, Y, 0x18, 0x00, S, {{sceneSlot(1, 0x18), 1, 0}}},
        {"S1 platform in Star Light", 1, 10, Y, 0x18, 0x0A, S, {{sceneSlot(1, 0x18), 2, 0}}},
        {"S1 invisible barrier", 1, 0, Y, 0x71, 0x00, H, {}},
        {"S1 other object", 1, 0, Y | 0x4000, synthetic::SceneGenericId, 0, S, {{sceneSlot(1, synthetic::SceneGenericId), 0, 2, true}}},
        {"S1 two mappings", 1, 0, Y, synthetic::SceneTwoMappingsId, 0, M, {}},
        {"S1 no code", 1, 0, Y, 0x7E, 0, M, {}},
        {"S1 signpost: its own list's art, its script's frame, no flips", 1, 0, Y | 0xC000, 0x0D, 0, S, {{synthetic::SceneLateSlot, 0, 2}}},
        {"S2 signpost: the one-player constants, its own list's art", 2, 0, Y | 0x6000, 0x0D, 0, S, {{synthetic::SceneLateSlot, 0, 2}}},
        {"S2 monitor icon", 2, 0, XF, 0x26, 0x04, S, {{sceneSlot(2, 0x26), 0, 5, true}}},
        {"S2 monitor other subtype", 2, 0, Y, 0x26, 0x0A, S, {{sceneSlot(2, 0x26), 0, 0}}},
        {"S2 spikes upright", 2, 0, YF, 0x36, 0x20, S, {{sceneSlot(2, 0x36), 0, 2, false, true}}},
        {"S2 spikes sideways", 2, 0, Y, 0x36, 0x50, S, {{sceneSlot(2, 0x36, 2), 0, 5}}},
        {"S2 spikes unknown kind", 2, 0, Y, 0x36, 0x80, M, {}},
        {"S2 spring up", 2, 0, XF, 0x41, 0x00, S, {{sceneSlot(2, 0x41), 0, 0, true}}},
        {"S2 spring sideways", 2, 0, Y, 0x41, 0x10, S, {{sceneSlot(2, 0x41, 2), 0, 3}}},
        {"S2 spring down", 2, 0, Y, 0x41, 0x20, S, {{sceneSlot(2, 0x41), 0, 0, false, true}}},
        {"S2 spring diagonal up", 2, 0, Y, 0x41, 0x30, S, {{sceneSlot(2, 0x41, 3), 0, 7}}},
        {"S2 spring diagonal down", 2, 0, XF, 0x41, 0x40, S, {{sceneSlot(2, 0x41, 3), 0, 7, true, true}}},
        // Slot 3's palette line 3 plus one line carries into the priority bit: line 0.
        {"S2 yellow spring carry", 2, 0, Y, 0x41, 0x02, S, {{sceneSlot(2, 0x41), 1, 0, false, false, 0, 0, -1, 1}}},
        {"S2 spring unknown kind", 2, 0, Y, 0x41, 0x50, M, {}},
        {"S2 scenery entry", 2, 0, XF, 0x1C, 0x05, S, {{sceneSlot(2, 0x1C), 0, 5, true}}},
        {"S2 scenery, two pieces", 2, 0, Y, 0x1C, 0x0B, S, {{sceneSlot(2, 0x1C), 0, 11}, at(sceneSlot(2, 0x1C), 0, 10, 4, 4)}},
        {"S2 scenery past the table", 2, 0, Y, 0x1C, 0x15, M, {}},
        {"S2 bumper", 2, 13, Y, 0x44, 0x00, S, {{sceneSlot(2, 0x44)}}},
        {"S2 bonus block", 2, 13, Y, 0xD8, 0x80, S, {{sceneSlot(2, 0xD8), 0, 2}}},
        {"S2 sub-object X flag", 2, 0, Y, 0xA4, 0x02, S, {{sceneSlot(2, 0xA4, 2), 1, 0, true}}},
        {"S2 sub-object Y flag", 2, 0, Y, synthetic::SceneSubObjectId, 0x04, S, {{sceneSlot(2, 0xA4, 3), 2, 0, false, true}}},
        {"S2 sub-object odd subtype", 2, 0, Y, 0xA4, 0x03, M, {}},
        {"S2 sub-object past the table", 2, 0, Y, 0xA4, 0xAE, M, {}},
        {"S2 long platform", 2, 2, XF, 0x65, 0x10, S, {{sceneSlot(2, 0x65), 0, 1, true}}},
        {"S2 long platform and cog", 2, 2, Y, 0x65, 0x80, S, {{sceneSlot(2, 0x65)}, {sceneSlot(2, 0x65, 2), 1, 0, true, false, -0x34, 0x14}}},
        {"S2 long platform flipped and cog", 2, 2, XY, 0x65, 0x80, S, {{sceneSlot(2, 0x65), 0, 0, true, true}, at(sceneSlot(2, 0x65, 2), 1, 0, -0x4C, 0x14)}},
        {"S2 lone cog", 2, 2, XF, 0x65, 0x20, S, {{sceneSlot(2, 0x65, 2), 1, 0, true}}},
        {"S2 long platform unknown kind", 2, 2, Y, 0x65, 0x40, M, {}},
        // Sonic 1 (flips in Y word bits 14 X and 15 Y).
        {"S1 button, Marble art, lower, flips dropped", 1, 7, Y | 0xC000, 0x32, 0, S, {at(Slot, 0, 0, 0, 3)}},
        {"S1 button, other zones' art", 1, 0, Y, 0x32, 0, S, {at(Slot + 1, 0, 0, 0, 3)}},
        {"S1 scenery entry", 1, 0, Y | 0x4000, 0x1C, 2, S, {{Slot + 2, 1, 3, true}}},
        {"S1 scenery past the table", 1, 0, Y, 0x1C, 4, M, {}},
        {"S1 scenery mappings outside the image", 1, 0, Y, 0x1C, 3, M, {}},
        {"S1 script frame and flip bit", 1, 0, Y, 0x22, 0, S, {{Slot, 0, 3, true}}},
        {"S1 script flip bit undoes the record's", 1, 0, Y | 0xC000, 0x22, 0, S, {{Slot, 0, 3, false, true}}},
        {"S1 script outside the image", 1, 0, Y, 0x55, 0, M, {}},
        {"S1 body and four orbs, Star Light art", 1, 10, Y, 0x60, 0, S, {at(Slot + 1, 0, 0, 0, 0), at(Slot + 1, 0, 3, 16, 0), at(Slot + 1, 0, 3, 0, 16), at(Slot + 1, 0, 3, -16, 0), at(Slot + 1, 0, 3, 0, -16)}},
        {"S1 hidden bonus", 1, 0, Y, 0x7D, 1, H, {}},
        {"S1 bridge: its own log, then the others left to right", 1, 0, Y | 0x4000, 0x11, 3, S, {at(Slot + 4, 0, 0, 0, 0), at(Slot + 4, 0, 0, -16, 0), at(Slot + 4, 0, 0, 16, 0)}},
        // Parts around a centre: sin and cos 0 and 256 at quarter turns; 6 (13) and 256 at 1 (2).
        {"S1 chain: ball, link, anchor (Labyrinth), X flip a quarter turn", 1, 3, Y | 0x4000, 0x57, 0x02, S, {at(Slot + 6, 1, 1, 0, 32), at(Slot + 6, 1, 0, 0, 16), at(Slot + 6, 1, 2, 0, 0)}},
        {"S1 chain: no centre link, one step of speed 2", 1, 13, Y, 0x57, 0x2B, S, {at(Slot + 5, 0, 0, 48, 1), at(Slot + 5, 0, 0, 32, 0), at(Slot + 5, 0, 0, 16, 0)}},
        {"S1 chain: sine routine off the image", 1, 13, Y, 0x57, 0x2B, M, {}, 0},
        {"S1 swing: platform, anchor (line 2), link", 1, 0, Y, 0x15, 0x01, S, {at(Slot, 0, 0, 24, 0), at(Slot, 0, 2, 0, 0, 2), at(Slot, 0, 1, 16, 0)}},
        {"S1 swing: Scrap Brain, ball variant, X flip to the left, link on line 0", 1, 16, Y | 0x4000, 0x15, 0x11, S, {at(Slot + 3, 1, 3, -24, 0), at(Slot + 2, 0, 2, 0, 0), at(Slot + 2, 0, 1, -16, 0, 0)}},
        {"S1 disc spot: 24 pixels out, one step of speed 4", 1, 17, Y, 0x67, 0x40, S, {at(Slot + 4, 0, 0, 24, 1)}},
        {"S1 Caterkiller: Scrap Brain art, segments behind, X flip", 1, 16, Y | 0x4000, 0x78, 0, S, {{Slot, 0, 0, true},
            {Slot, 0, 6, true, false, -12}, {Slot, 0, 6, true, false, -24}, {Slot, 0, 6, true, false, -36}}},
        {"S1 Caterkiller: other zones' art", 1, 7, Y, 0x78, 0, S, {at(Slot + 1, 0, 0, 0, 0), at(Slot + 1, 0, 6, 12, 0), at(Slot + 1, 0, 6, 24, 0), at(Slot + 1, 0, 6, 36, 0)}},
        {"S1 conveyor wheel: second constants, frame 0, flips kept", 1, 3, Y | 0x4000, 0x63, 0x7F, S, {{Slot + 2, 0, 0, true}}},
        {"S1 conveyor maker: the list's platforms, the first with its flips", 1, 3, Y | 0x4000, 0x63, 0x81, S, {{Slot + 1, 0, 4, true}, at(Slot + 1, 0, 4, 32, -16), at(Slot + 1, 0, 4, -32, 48)}},
        {"S1 conveyor maker: lists off the image", 1, 3, Y, 0x63, 0x81, M, {}, 1},
        {"S1 spinning conveyor maker: the script's first frame", 1, 16, Y, 0x6F, 0x81, S, {at(Slot + 3, 1, 5, 0, 0), at(Slot + 3, 1, 5, 32, -16), at(Slot + 3, 1, 5, -32, 48)}},
        {"S1 helix: spike k from the left shows frame k & 7, its own first", 1, 0, Y, 0x17, 9, S, {at(Slot + 4, 0, 4, 0, 0), at(Slot + 4, 0, 0, -64, 0), at(Slot + 4, 0, 1, -48, 0), at(Slot + 4, 0, 2, -32, 0), at(Slot + 4, 0, 3, -16, 0), at(Slot + 4, 0, 5, 16, 0), at(Slot + 4, 0, 6, 32, 0), at(Slot + 4, 0, 7, 48, 0), at(Slot + 4, 0, 0, 64, 0)}},
        {"S1 collapsing floor: Marble art, flips kept", 1, 7, Y | 0x4000, 0x53, 0, S, {{Slot, 0, 0, true}}},
        {"S1 collapsing floor: Star Light art, frame 2", 1, 10, Y, 0x53, 0, S, {at(Slot + 1, 0, 2, 0, 0)}},
        {"S1 collapsing floor: Scrap Brain art", 1, 16, Y, 0x53, 0, S, {at(Slot + 2, 0, 0, 0, 0)}},
        {"S1 Newtron: first art, X flip dropped", 1, 0, Y | 0xC000, 0x42, 0, S, {{Slot, 0, 0, false, true}}},
        {"S1 Newtron that fires: second art", 1, 0, Y, 0x42, 1, S, {at(Slot + 1, 0, 0, 0, 0)}},
        {"S1 Crabmeat: animation 3, turned round", 1, 0, Y | 0x8000, 0x1F, 0, S, {{Slot, 0, 6, true, true}}},
        {"S1 Burrobot: animation 2, facing left whatever its flip", 1, 0, Y | 0x4000, 0x2D, 0, S, {{Slot, 0, 2, false, true}}},
        {"S1 bubble: animation = subtype", 1, 0, Y, 0x64, 2, S, {{Slot, 0, 2, false, true}}},
        {"S1 bubble maker: frame 0, flips dropped", 1, 0, Y | 0x4000, 0x64, 0x81, S, {at(Slot, 0, 0, 0, 0)}},
        {"S1 flamethrower: animation 0", 1, 0, Y, 0x6D, 0, S, {at(Slot, 0, 5, 0, 0)}},
        {"S1 flamethrower Y-flipped: the valve's animation 2", 1, 0, Y | 0x8000, 0x6D, 0, S, {at(Slot, 0, 2, 0, 0)}},
        {"S1 lava geyser maker: bubbling", 1, 0, Y, 0x4C, 0, S, {{Slot, 0, 3, true}}},
        {"S1 trapdoor: closing animation", 1, 0, Y, 0x69, 0, S, {{Slot, 0, 3, true}}},
        {"S1 spinning platform: second constants, animation 2", 1, 0, Y, 0x69, 0x80, S, {{Slot + 1, 1, 2, false, true}}},
        {"S1 edge wall: frame without bit 4", 1, 0, Y | 0x4000, 0x44, 0x12, S, {{Slot + 4, 0, 2, true}}},
        {"S1 Labyrinth block: frame from bits 6-4, no flips", 1, 0, Y | 0x4000, 0x61, 0x45, S, {at(Slot + 4, 0, 4, 0, 0)}},
        {"S1 waterfall: frame from bits 3-0, flips kept", 1, 0, Y | 0x8000, 0x65, 0x19, S, {{Slot + 4, 0, 9, false, true}}},
        {"S1 splash riding the water surface", 1, 0, Y, 0x65, 0x49, M, {}},
        {"S1 fan off", 1, 0, Y | 0x4000, 0x5D, 0, S, {{Slot + 4, 0, 0, true}}},
        {"S1 fan always on", 1, 0, Y, 0x5D, 2, S, {at(Slot + 4, 0, 1, 0, 0)}},
        {"S1 fan always on, other blade", 1, 0, Y, 0x5D, 3, S, {at(Slot + 4, 0, 3, 0, 0)}},
        {"S1 smashable block: frame = subtype, no flips", 1, 0, Y | 0x4000, 0x51, 4, S, {at(Slot + 4, 0, 4, 0, 0)}},
        {"S1 collapsing ledge: frame = subtype, flips kept", 1, 0, Y | 0x4000, 0x1A, 2, S, {{Slot + 4, 0, 2, true}}},
        {"S1 swinging saw", 1, 0, Y | 0x4000, 0x6A, 1, S, {at(Slot + 4, 0, 1, 0, 0)}},
        {"S1 ground saw", 1, 0, Y, 0x6A, 3, S, {at(Slot + 4, 0, 2, 0, 0)}},
        {"S1 upright: frame 0, flips dropped", 1, 0, Y | 0xC000, 0x47, 0, S, {at(Slot + 4, 0, 0, 0, 0)}},
        {"S1 grassy platform: frame from its entry", 1, 7, Y | 0x4000, 0x2F, 0x10, S, {at(Slot + 5, 0, 5, 0, 0)}},
        {"S1 grassy platform: entry's frame past the table", 1, 7, Y, 0x2F, 0x20, M, {}},
        {"S1 elevator: frame from its pair", 1, 10, Y, 0x59, 0x20, S, {at(Slot + 5, 1, 3, 0, 0)}},
        {"S1 elevator maker", 1, 10, Y, 0x59, 0x80, H, {}},
        {"S1 lavafall maker", 1, 0, Y, 0x4C, 1, H, {}},
        {"S1 prison capsule: art loaded later", 1, 0, Y, 0x3E, 0, M, {}},
        {"S1 pylon: placed on the screen", 1, 0, Y, 0x5C, 0, M, {}},
        // Sonic 2 (flips in Y word bits 13 X and 14 Y).
        {"S2 frame from the pair, no flips", 2, 0, XF, 0x18, 0x10, S, {{Slot, 0, 3}}},
        {"S2 Aquatic Ruin mappings and art", 2, 18, Y, 0x18, 0x40, S, {{Slot + 1, 1, 6}}},
        {"S2 loader entry, flags ORed", 2, 0, YF, 0x91, 2, S, {{Slot + 5, 1, 0, true, true}}},
        {"S2 loader odd subtype", 2, 0, Y, 0x91, 3, M, {}},
        {"S2 loader, script: status flips", 2, 0, YF, 0x8C, 2, S, {{Slot + 5, 1, 1, false, true}}},
        {"S2 branch to no loader", 2, 0, Y, 0x99, 0, M, {}},
        {"S2 pillar and its lower part", 2, 0, XF, 0x23, 0, S, {{Slot + 2, 0, 0, true}, {Slot + 2, 0, 1, true, false, 0, 48}}},
        {"S2 spring wall", 2, 0, Y, 0x66, 0, H, {}},
        {"S2 short bridge still has 8 logs", 2, 0, Y, 0x11, 2, S, row(Slot, 0, 7, 16, 0, -1)},
        {"S2 bridge of 10 logs", 2, 0, Y, 0x11, 10, S, row(Slot, 0, 9, 16, 0, -5)},
        {"S2 Balkiry without Y flip, its jet", 2, 0, XY, 0xAC, 0, S, {{Slot + 4, 0, 1, true}, {Slot + 5, 1, 1, true}}},
        {"S2 Balkiry's jet of odd subtype", 2, 0, Y, 0xAC, 0, M, {}, 0},
        {"S2 Turtloid's rider, turtle, jet", 2, 0, Y, 0x9A, 0, S, {{Slot + 5, 1, 3, true, false, 4, -24}, {Slot + 4, 0, 0}, {Slot + 5, 1, 1, true}}},
        {"S2 Coconuts face right", 2, 0, XY, 0x9D, 0, S, {{Slot + 4, 0, 0, false, true}}},
        {"S2 cog's teeth from its table", 2, 3, XY, 0x70, 0, S, {at(Slot + 6, 0, 0, 0, -32), at(Slot + 6, 0, 1, 22, -22), at(Slot + 6, 0, 2, 32, 0), at(Slot + 6, 0, 3, 22, 22), at(Slot + 6, 0, 4, 0, 32), at(Slot + 6, 0, 5, -22, 22), at(Slot + 6, 0, 6, -32, 0), at(Slot + 6, 0, 7, -22, -22)}},
        {"S2 pull spring, plunger below", 2, 13, XY, 0x85, 0, S, {{Slot + 6, 0, 1}, at(Slot + 6, 0, 2, 0, 32)}},
        {"S2 diagonal pull spring", 2, 13, Y, 0x85, 1, S, {{Slot + 7, 1, 1}, {Slot + 7, 1, 2}}},
        {"S2 see-saw X-flipped, ball left", 2, 6, XF, 0x14, 0, S, {{Slot + 6, 0, 2, true}, at(Slot + 7, 1, 0, -40, 8)}},
        {"S2 second act's signpost", 2, 1, Y, 0x0D, 0, H, {}},
        {"S2 Metropolis 2 keeps its signpost", 2, 3, Y, 0x0D, 0, S, {{synthetic::SceneLateSlot, 0, 2}}},
        {"S2 chain down, brick at its end", 2, 11, XF, 0x75, 0x12, S, {at(Slot + 2, 0, 0, 0, 32), {Slot + 2, 0, 1}, at(Slot + 2, 0, 1, 0, 16)}},
        {"S2 chain longer than its room", 2, 11, Y, 0x75, 0x19, M, {}},
        {"S2 platform group", 2, 3, XF, 0x6C, 0x80, S, {{Slot + 2, 0, 0, true}, at(Slot + 2, 0, 0, 16, 32)}},
        {"S2 platform group too long", 2, 3, Y, 0x6C, 0x81, M, {}},
        {"S2 block placed by its table", 2, 13, XF, 0xD2, 0, S, {{Slot + 3, 0, 0, true, false, 40, 24}}},
        {"S2 lone sliding platform", 2, 16, Y, 0x7A, 0, S, {at(Slot + 2, 0, 0, -24, 0)}},
        {"S2 sliding pair", 2, 16, XY, 0x7A, 6, S, {at(Slot + 2, 0, 0, -48, 0), at(Slot + 2, 0, 0, 48, 0)}},
        {"S2 too many sliding platforms", 2, 16, Y, 0x7A, 12, M, {}},
        {"S2 loader entry the init names", 2, 0, Y, 0xC0, 0, S, {{Slot + 5, 1, 0, true}}},
        {"S2 loader entry the init names by byte", 2, 5, Y, 0xBE, 0, S, {{Slot + 5, 1, 0, true}}},
        {"S2 blue balls: a1's constants, no flips", 2, 15, XY, 0x1D, 2, S, {{Slot + 3, 0, 0}}},
        {"S2 walk-off platform", 2, 4, XF, 0x6A, 0, S, {{Slot, 0, 1, true}}},
        {"S2 crate and the two it makes", 2, 11, XF, 0x6A, 0x18, S, {{Slot + 1, 1, 0, true}, at(Slot + 1, 1, 0, 64, 64), at(Slot + 1, 1, 0, -64, 64)}},
        {"S2 sideways block: second art", 2, 9, XY, 0x3D, 1, S, {{Slot + 7, 0, 2}}},
        {"S2 Sol and its fireballs", 2, 6, XF, 0x95, 0, S, {{Slot, 0, 0, true}, at(Slot, 0, 3, 16, 0), at(Slot, 0, 3, 0, 16), at(Slot, 0, 3, -16, 0), at(Slot, 0, 3, 0, -16)}},
        {"S2 collapsing platform, default pair", 2, 0, XF, 0x1F, 0, S, {{Slot, 0, 0, true}}},
        {"S2 collapsing platform, Oil Ocean", 2, 9, Y, 0x1F, 0, S, {{Slot + 1, 1, 0}}},
        {"S2 collapsing platform, Mystic Cave", 2, 11, Y, 0x1F, 0, S, {{Slot + 2, 0, 0}}},
        {"S2 collapsing platform, Aquatic Ruin", 2, 18, YF, 0x1F, 0, S, {{Slot + 3, 1, 0, false, true}}},
        {"S2 breakable rock, no flips", 2, 0, XF, 0x32, 0, S, {{Slot, 0, 0}}},
        {"S2 breakable block, Chemical Plant", 2, 15, Y, 0x32, 0, S, {{Slot + 1, 1, 0}}},
        {"S2 vine", 2, 11, XF, 0x80, 0, S, {{Slot + 1, 1, 0}}},
        {"S2 vine pulled out below the view", 2, 11, Y, 0x80, 0x10, S, {}},
        {"S2 short hook pulled out", 2, 5, Y, 0x80, 0x11, S, {at(Slot, 0, 7, 0, 0x60)}},
        {"S2 barrier, frame from subtype", 2, 0, XF, 0x2D, 1, S, {{Slot, 0, 1, true}}},
        {"S2 barrier, Metropolis 3", 2, 4, Y, 0x2D, 0, S, {{Slot + 1, 0, 0}}},
        {"S2 barrier, Chemical Plant", 2, 16, YF, 0x2D, 2, S, {{Slot + 2, 0, 2, false, true}}},
        {"S2 barrier, Death Egg", 2, 17, Y, 0x2D, 0, S, {{Slot + 3, 0, 0}}},
        {"S2 barrier, Aquatic Ruin", 2, 19, Y, 0x2D, 0, S, {{Slot + 4, 0, 0}}},
        {"S2 barrier frame past the table", 2, 0, Y, 0x2D, 0x40, M, {}},
        {"S2 fan", 2, 0, XF, 0x3F, 0, S, {{Slot, 0, 1, true}}},
        {"S2 vertical fan, other blades", 2, 0, Y, 0x3F, 0x81, S, {{Slot, 1, 6}}},
        {"S2 circling platform", 2, 2, XF, 0x6E, 0x20, S, {{Slot, 0, 2, true}}},
        {"S2 circling platform's wheel recess", 2, 2, Y, 0x6E, 0x30, S, {{Slot + 1, 0, 3}}},
        {"S2 block frame from its entry", 2, 2, XF, 0x6B, 0x20, S, {{Slot + 3, 0, 5}}},
        {"S2 block, Chemical Plant", 2, 15, Y, 0x6B, 0, S, {{Slot + 4, 1, 3}}},
        {"S2 sliding spikes keep flips", 2, 0, XF, 0x76, 0x20, S, {{Slot + 3, 0, 5, true}}},
        {"S2 moving platform", 2, 0, XF, 0x19, 0x10, S, {{Slot, 0, 3}}},
        {"S2 moving platform, Oil Ocean art", 2, 9, Y, 0x19, 0x40, S, {{Slot + 1, 0, 6}}},
        {"S2 moving platform, Wing Fortress art", 2, 5, Y, 0x19, 3, S, {{Slot + 2, 0, 2}}},
        {"S2 moving platform starts high", 2, 0, XF, 0x19, 0x13, S, {}},
        {"S2 smashable ground", 2, 6, XY, 0x2F, 8, S, {{Slot, 0, 6}}},
        {"S2 flipper", 2, 13, XF, 0x86, 0, S, {{Slot + 2, 0, 1, true}}},
        {"S2 sideways flipper", 2, 13, Y, 0x86, 1, S, {{Slot + 2, 0, 7}}},
        {"S2 bubble maker", 2, 18, Y, 0x24, 0x81, S, {{Slot + 2, 0, 3}}},
        {"S2 bubble, animation from subtype", 2, 18, YF, 0x24, 4, S, {{Slot + 2, 0, 5, false, true}}},
        {"S2 Aquis: wing in front", 2, 9, XF, 0x50, 0, S, {{Slot + 2, 0, 2, true, false, -10, -6}, {Slot + 2, 0, 1, true}}},
        {"S2 big block starts right", 2, 4, XF, 0xD4, 0, S, {at(Slot + 2, 0, 0, 96, 0)}},
        {"S2 big block starts down", 2, 4, YF, 0xD4, 1, S, {at(Slot + 2, 0, 0, 0, 96)}},
        {"S2 big block starts up", 2, 4, Y, 0xD4, 1, S, {at(Slot + 2, 0, 0, 0, -96)}},
        {"S2 elevator starts up", 2, 13, Y, 0xD5, 8, S, {at(Slot + 2, 0, 0, 0, -32)}},
        {"S2 X-flipped elevator starts down", 2, 13, XF, 0xD5, 8, S, {at(Slot + 2, 0, 0, 0, 32)}},
        {"S2 button sits lower", 2, 2, XF, 0x47, 0, S, {at(Slot + 2, 0, 0, 0, 4)}},
        {"S2 swinging platform", 2, 18, XF, 0x82, 0x35, S, {{Slot + 2, 0, 3}}},
        {"S2 twin stomper keeps flips", 2, 2, XF, 0x64, 0x25, S, {{Slot + 2, 0, 2, true}}},
        {"S2 steam spring", 2, 2, XF, 0x42, 0, S, {{Slot + 2, 0, 7, true, false, 0, 16}}},
        {"S2 drawbridge raised", 2, 11, Y, 0x81, 0, S, row(Slot + 2, 1, 7, 0, -16, 1)},
        {"S2 drawbridge Y-flipped hangs down", 2, 11, YF, 0x81, 0, S, row(Slot + 2, 1, 7, 0, 16, 1)},
        {"S2 spike block and spike", 2, 2, XF, 0x68, 2, S, {at(Slot + 5, 0, 4, 0, -8), {Slot + 7, 0, 2}}},
        {"S2 launch sphere entry flags", 2, 13, Y, 0x48, 5, S, {{Slot + 6, 0, 7, true}}},
        {"S2 X-flipped launch sphere", 2, 13, XF, 0x48, 0, S, {{Slot + 6, 0, 5, false, true}}},
        {"S2 stake: entry and script by subtype", 2, 8, XF, 0x71, 0x10, S, {{Slot + 6, 0, 4, true}}},
        {"S2 orb: other entry and script", 2, 8, Y, 0x71, 0x21, S, {{Slot + 7, 1, 7}}},
        {"S2 Spiker turns round", 2, 2, YF, 0x92, 2, S, {{Slot + 5, 1, 1, true, true}}},
        {"S2 X-flipped Spiker turns back", 2, 2, XF, 0x92, 2, S, {{Slot + 5, 1, 1}}},
        {"S2 propeller: animation 4, status flips", 2, 17, Y, 0xB5, 2, S, {{Slot + 5, 1, 5}}},
        {"S2 Grounder drops Y flip", 2, 18, YF, 0x8E, 2, S, {{Slot + 5, 1, 0, true}}},
        {"S2 Crawlton: head, segments behind", 2, 13, XF, 0x9E, 4, S, {{Slot + 2, 0, 0, true, false, 0, -8}, {Slot + 2, 0, 2, true}}},
        {"S2 Clucker's base at its init frame", 2, 5, XF, 0xAD, 0, S, {{Slot + 4, 0, 4, true}}},
        {"S2 waterfall left as marker", 2, 8, Y, 0x13, 0, M, {}},
        {"S2 spin tube entrance", 2, 15, Y, 0x67, 0, H, {}},
        // clang-format on
    };
    for (const RuleCase &c : cases)
        QTest::newRow(c.name) << c;
}

// Each record alone in its row: its look, and the picture around it pixel for pixel.
void TestSprites::rules() {
    QFETCH(RuleCase, c);
    QVector<Look> looks;
    const QRect area(X - 0x60, Y - 0x60, 0xC0, 0xC0);
    const Canvas got =
        drawRecords(c.game, c.row, {record(X, c.y, c.type, c.subtype)}, area, &looks, c.damage);
    QCOMPARE(looks.front(), c.look);
    Canvas want(area); // the pieces painted back to front
    for (auto e = c.pieces.crbegin(); e != c.pieces.crend(); ++e) {
        const quint16 art = synthetic::sceneArt(e->slot);
        want.tile(X - 4 + e->dx, Y - 4 + e->dy,
                  (art & 0x7FF) + e->tileAdd + 16 * e->table + e->frame,
                  ((e->line >= 0 ? e->line : art >> 13) + e->lineAdd) & 3, e->xFlip, e->yFlip);
    }
    QVERIFY(got.pixels == want.pixels);
}

// Two makers of one conveyor list, placed apart: the same platforms in the same places.
void TestSprites::makersDrawTheirListInPlace() {
    const World &w = world(1);
    QByteArray image = w.image;
    const qint64 at = fixedAddresses(w.revision)[3];
    synthetic::putLayout(
        image, at, {{0x02, 0x00, 0x02, 0x00, 0x63, 0x81}, {0x02, 0x40, 0x02, 0x10, 0x63, 0x81}});
    const auto level = LevelSprites::load(image, map::terrainTables(w.revision), w.tables, 3);
    const Appearance first = level->record(image, at), second = level->record(image, at + 6);
    QCOMPARE(std::pair(second.look, second.topLeft), std::pair(Look::Sprite, first.topLeft));
}

// Priority 0 is in front; equal priority: the earlier record in front.
void TestSprites::order() {
    // The pixel one in from the top-left corner of the pieces centred on (X, Y).
    const auto topLeft = [](const QVector<Record> &records) {
        return uchar(drawRecords(1, 0, records, QRect(X - 3, Y - 3, 1, 1)).pixels.at(0));
    };
    // The monitor's colour at the pixel looked at, showing `frame`.
    const auto monitor = [](int frame) {
        const quint16 art = synthetic::sceneArt(sceneSlot(1, 0x26));
        return 16 * (art >> 13) + synthetic::sceneTilePixel((art & 0x7FF) + frame, 1, 1);
    };
    QCOMPARE(topLeft({record(X, Y, 0x41, 0), record(X, Y, 0x26, 1)}), monitor(3));
    QCOMPARE(topLeft({record(X, Y, 0x26, 2), record(X, Y, 0x26, 1)}), monitor(4));
}

// Sonic 2's ring layout: every ring, 24 pixels apart, in front of any object.
void TestSprites::sonic2Rings() {
    const QVector<synthetic::SceneRing> rings = synthetic::sceneRings();
    const synthetic::SceneRing &single = rings.last();
    const QRect area(0, 0, 0x280, 0x200);
    // A bumper (priority 1) right on the lone ring.
    const Canvas got = drawRecords(2, 0, {record(single.x, single.y, 0x44, 0)}, area);
    Canvas want(area);
    const quint16 bumper = synthetic::sceneArt(sceneSlot(2, 0x44));
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
    SpriteTables stray = world(1).tables;
    stray.deletesStrayBlock = true;
    QVector<Look> looks;
    drawRecords(1, 15, {record(0x1BB8, Y, 0x56, 0x37), record(0x1F38, Y, 0x56, 0x37)},
                QRect(0, 0, 8, 8), &looks, -1, &stray);
    QCOMPARE(looks, (QVector<Look>{Look::Sprite, Look::Hidden}));

    for (int game = 1; game <= 2; ++game) {
        const World &w = world(game);
        const qint64 at = fixedAddresses(w.revision)[0];
        // A signpost whose own list is gone (and the longer one that writes there first): a
        // marker, not whatever the level left at its tiles.
        QByteArray noList = w.image;
        for (int cue : {synthetic::SceneLateCue - 1, synthetic::SceneLateCue})
            noList.replace(w.tables.artLoadCues + 2LL * cue, 2,
                           noList.mid(w.tables.artLoadCues, 2));
        synthetic::putLayout(noList, at, {record(X, Y, 0x0D, 0)});
        QCOMPARE(LevelSprites::load(noList, w.revision, 0)->record(noList, at).look, Look::Marker);
        const auto none = LevelSprites::load(QByteArray(100, '\0'), w.revision, 0);
        QCOMPARE(none->record(w.image, at).look, Look::Marker);
        QVERIFY(none->rings().isEmpty());
    }
}

// The commands: sprites over the terrain, markers only for what has none, rings in front;
// --markers-only the marker picture; the listing's looks and ring records.
void TestSprites::exportAndListing() {
    const World &s = world(2);
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
    const QImage withSprites(dir.filePath("s.png"));

    const quint16 monitor = synthetic::sceneArt(sceneSlot(2, 0x26));
    const std::pair<QPoint, int> pixels[] = {
        {{0x100 - 3, 0x100 - 3},
         16 * (monitor >> 13) + synthetic::sceneTilePixel((monitor & 0x7FF) + 5, 1, 1)},
        {{0x100, 0x100 + 5}, map::BackdropIndex}, // no marker under a sprite
        {{0x142, 0x100}, map::MarkerBorderIndex},
        {{0x180, 0x101}, map::MarkerInsideIndex},
        {{0x120 - 7, 0x160 - 7}, 16 + synthetic::sceneTilePixel(synthetic::SceneRingTile, 1, 1)}};
    for (const auto &p : pixels)
        QCOMPARE(withSprites.pixelIndex(p.first), p.second);
    QCOMPARE(QImage(dir.filePath("m.png")),
             map::levelPicture(map::LevelTerrain::load(image, s.revision, 0),
                               map::objectMarkers(image, at)));

    QString listed;
    QTextStream out(&listed);
    QCOMPARE(sprites::listObjects(path, "0", out, err), 0);
    listed.remove(QRegularExpression("\t[^\t]*(?=\t(sprite|hidden|marker)\n)")); // the names
    const auto offset = [&](int i) { return QString::number(at + 6LL * i, 16).toUpper(); };
    QCOMPARE(
        listed.replace('\t', ' ').split('\n', Qt::SkipEmptyParts),
        (QStringList{offset(0) + " 0100 0100 26 04 sprite", offset(1) + " 0140 0100 03 00 hidden",
                     offset(2) + " 0180 0100 7E 00 marker", "ring 0120 0160 3 horizontal",
                     "ring 01C0 0100 2 vertical", "ring 0060 0180 1 horizontal"}));
    QCOMPARE(messages, QString());
}

QTEST_GUILESS_MAIN(TestSprites)
#include "tst_sprites.moc"
