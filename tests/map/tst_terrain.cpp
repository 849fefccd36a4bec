// Level terrain: drawing rules pixel for pixel, resolution through each revision's tables, damaged
// data, the export. Expected colours come from the palette words written here (c gives c x 36).

#include "demo/bytewriting.h"
#include "demo/encoders.h"
#include "demo/syntheticimage.h"
#include "demo/syntheticterrain.h"
#include "levels/leveltables.h"
#include "map/levelterrain.h"
#include "map/levelterrainsource.h"
#include "map/mapexport.h"
#include "support/files.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace map;
using synthetic::TerrainPieces;
using namespace synthetic::bytes;

namespace {

constexpr QRgb Backdrop = 0xFF404040;
constexpr QRgb Black = 0xFF000000;
constexpr QRgb White = 0xFFFFFFFF;

// Distinct colours for every line and index: red from the index, green from line and index.
quint16 paletteWord(int line, int index) {
    const int r = index & 7, g = line * 2 + (index >> 3), b = 7 - line;
    return static_cast<quint16>(b << 9 | g << 5 | r << 1);
}
QRgb rgbOf(quint16 w) {
    return qRgb((w >> 1 & 7) * 36, (w >> 5 & 7) * 36, (w >> 9 & 7) * 36);
}
QRgb expected(int line, int value) {
    return rgbOf(paletteWord(line, value));
}
quint16 nameWord(int tile, int line, bool h = false, bool v = false) {
    return static_cast<quint16>(line << 13 | (v ? 0x1000 : 0) | (h ? 0x800 : 0) | tile);
}

QByteArray wordsOf(const QVector<quint16> &words) {
    QByteArray out(words.size() * 2, '\0');
    qToBigEndian<quint16>(words.constData(), words.size(), out.data());
    return out;
}
// Writes `bytes` at `at` (growing the image) and returns `at`.
qint64 place(QByteArray &image, qint64 at, const QByteArray &bytes) {
    ensure(image, at + bytes.size());
    return image.replace(at, bytes.size(), bytes), at;
}

TerrainPieces withPalette(TerrainPieces s) {
    for (int i = 0; i < 64; ++i)
        s.palette[i] = paletteWord(i / 16, i % 16);
    return s;
}

int fillValue(int tile) {
    return 1 + tile % 15;
}
// Tile 0 is blank (as in every real zone); tile i > 0 is filled with pixel value fillValue(i).
QByteArray filledTiles(int count) {
    QByteArray out(32, '\0');
    for (int i = 1; i < count; ++i)
        out += QByteArray(32, static_cast<char>(fillValue(i) * 0x11));
    return out;
}

// A one-row level whose cell i is a chunk made entirely of block cellBlocks[i].
TerrainPieces probe(int game, const QByteArray &tiles, const QByteArray &blocks,
                    const QVector<int> &cellBlocks) {
    TerrainPieces s;
    s.game = game;
    s.tiles = tiles;
    s.blocks = blocks;
    const int words = game == 1 ? 256 : 64;
    if (game == 2)
        s.chunks = QByteArray(words * 2, '\0'); // chunk 0 draws nothing
    for (int b : cellBlocks)
        s.chunks += wordsOf(QVector<quint16>(words, static_cast<quint16>(b)));
    // Sonic 1: width - 1, height - 1, then the row; Sonic 2: rows of 0x100 bytes.
    const int n = int(cellBlocks.size());
    s.layout = game == 1 ? char(n - 1) + QByteArray(n + 1, '\0') : QByteArray(0x1000, '\0');
    for (int i = 0; i < n; ++i)
        s.layout[(game == 1 ? 2 : 0) + i] = static_cast<char>(i + 1);
    return withPalette(s);
}

// A table of `count` blocks: block i (i > 0) is `names[i - 1]` in all four quarters.
QByteArray blocksOf(int count, const QVector<quint16> &names) {
    QByteArray out(count * 8, '\0');
    for (int i = 0; i < names.size(); ++i)
        for (int q = 0; q < 4; ++q)
            putWord(out, (i + 1) * 8 + 2 * q, names[i]);
    return out;
}

// The top-left pixel of cell `cell` of the first layout row; 0 when transparent.
QRgb cellColour(const LevelTerrain &t, int cell) {
    return t.chunkImage(t.chunkAt(cell, 0)).pixel(0, 0);
}

// An image of revision `r` whose terrain is `s`, reached through the revision's tables.
QByteArray revisionImage(rom::Revision r, const TerrainPieces &s) {
    QByteArray image = synthetic::blankImage(r);
    TerrainTables tables = terrainTables(r);
    synthetic::putTerrain(image, tables, s,
                          rom::gameCode(r) == 1 ? synthetic::Sonic1TerrainAt
                                                : synthetic::Sonic2TerrainAt);
    return image;
}

} // namespace

class TestTerrain : public QObject {
    Q_OBJECT

  private slots:
    // Sonic 1 through its compressed files: every tile and block flip, all four palette lines,
    // nibble order, a tile outside the art, an empty cell and a looped cell.
    void drawingRulesSonic1() {
        TerrainPieces s;
        s.game = 1;
        // Tile 1: one pixel of value 5 at (1, 2). Tile 2: pixel (x, y) = (x + 8y) % 16.
        QByteArray one(32, '\0');
        one[2 * 4 + 0] = 0x05;
        QByteArray ramp;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; x += 2)
                ramp.append(static_cast<char>(((x + 8 * y) % 16) << 4 | (x + 1 + 8 * y) % 16));
        s.tiles = QByteArray(32, '\0') + one + ramp;
        s.blocks = wordsOf({0, 0, 0, 0,
                            // lines 0-3, flips none, H, V, HV
                            nameWord(1, 0), nameWord(1, 1, true), nameWord(1, 2, false, true),
                            nameWord(1, 3, true, true),
                            // the ramp, two blanks, and a tile past the art
                            nameWord(2, 1), 0, 0, nameWord(3, 2)});
        QVector<quint16> chunk(256, 0);
        chunk[0] = 1;                   // plain
        chunk[1] = 1 | 0x800;           // block mirrored left-right
        chunk[2] = 1 | 0x1000;          // block mirrored top-bottom
        chunk[3] = 1 | 0x1800;          // both
        chunk[16] = 2;                  // second block row: the ramp
        chunk[17] = 2 | 0x6000 | 0x800; // collision bits do not matter
        s.chunks = wordsOf(chunk);
        s.layout = QByteArray::fromHex("0200"
                                       "010081"); // 3x1: chunk, nothing, chunk with loop
        s = withPalette(s);

        const QByteArray image = synthetic::compactImage(s);
        const LevelTerrain t = LevelTerrain::load(image, synthetic::compactTables(1), 0);
        QCOMPARE(t.chunkAt(1, 0), -1);
        QCOMPARE(t.chunkAt(2, 0), t.chunkAt(0, 0));

        const QImage pic = levelPicture(t, {});

        // In both drawn cells: the four blocks with flips none, H, V and HV, each quarter's lone
        // pixel of value 5 in its line (tile flips none, H, V, HV: (1, 2) lands at these spots),
        // then the ramp (line 1, high nibble left) and the same block mirrored. Everything else,
        // the empty cell included, is backdrop.
        const QPoint lone[4] = {{1, 2}, {14, 2}, {1, 13}, {14, 13}};
        QImage want(768, 256, QImage::Format_RGB32);
        want.fill(Backdrop);
        for (int cell : {0, 512}) {
            for (int flip = 0; flip < 4; ++flip)
                for (int line = 0; line < 4; ++line) {
                    const int x = flip & 1 ? 15 - lone[line].x() : lone[line].x();
                    const int y = flip & 2 ? 15 - lone[line].y() : lone[line].y();
                    want.setPixel(cell + flip * 16 + x, y, expected(line, 5));
                }
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x)
                    if (const int v = (x + 8 * y) % 16) {
                        want.setPixel(cell + x, 16 + y, expected(1, v));
                        want.setPixel(cell + 31 - x, 16 + y, expected(1, v));
                    }
        }
        QCOMPARE(pic.convertToFormat(QImage::Format_RGB32), want);
        QCOMPARE(qAlpha(t.chunkImage(t.chunkAt(0, 0)).pixel(0, 0)), 0); // transparent, not backdrop
    }

    // Sonic 2 keeps block flips in bits 10 and 11, has 0-based chunk ids (0 drawn too) and takes
    // its extent from the last non-zero cell.
    void drawingRulesSonic2() {
        TerrainPieces s;
        s.game = 2;
        QByteArray one(32, '\0');
        one[0] = 0x30; // value 3 at (0, 0)
        s.tiles = QByteArray(32, '\0') + one;
        s.blocks = wordsOf({0, 0, 0, 0, nameWord(1, 2), 0, 0, 0});
        QVector<quint16> chunks(64 * 3, 0);
        chunks[0] = 1;               // chunk 0 is drawn like any other
        chunks[64] = 1 | 0x400;      // H
        chunks[64 + 1] = 1 | 0x800;  // V
        chunks[64 + 2] = 1 | 0x1000; // bit 12 is collision only
        s.chunks = wordsOf(chunks);
        s.layout = QByteArray(0x1000, '\0');
        s.layout[0x100 * 2 + 3] = 1;    // row 2, column 3
        s.layout[0x100 * 0 + 0x80] = 2; // background bytes do not count for the extent
        s = withPalette(s);

        const LevelTerrain t =
            LevelTerrain::load(synthetic::compactImage(s), synthetic::compactTables(2), 0);
        QCOMPARE(t.chunkSize(), 128);
        QCOMPARE(t.chunkAt(0, 0), 0);
        // Chunk 0 (its one pixel at the corner) in every empty cell of the 4x3 level; chunk 1
        // with its blocks H, V and plain.
        QImage want(4 * 128, 3 * 128, QImage::Format_RGB32);
        want.fill(Backdrop);
        for (int cell = 0; cell < 11; ++cell)
            want.setPixel(cell % 4 * 128, cell / 4 * 128, expected(2, 3));
        for (const QPoint p : {QPoint(15, 0), QPoint(16, 15), QPoint(32, 0)})
            want.setPixel(3 * 128 + p.x(), 2 * 128 + p.y(), expected(2, 3));
        QCOMPARE(levelPicture(t, {}).convertToFormat(QImage::Format_RGB32), want);
    }

    // Markers: layout order, Y flag bits dropped, clipped at every edge, later over earlier.
    void markers() {
        QByteArray image(0x400, '\0');
        const QByteArray records = QByteArray::fromHex("0064C0A0 2201" // Y flags dropped
                                                       "00000000 0100" // corner
                                                       "01FF0080 0100" // right edge
                                                       "00800000 0100" // top edge
                                                       "008000FF 0100" // bottom edge
                                                       "00140014 0100" // A
                                                       "00160014 0100" // B, over A
                                                       "FFFF0000 0000"
                                                       "00300030 0100"); // after the end
        image.replace(0x100, records.size(), records);
        const QVector<ObjectMarker> m = objectMarkers(image, 0x100);
        QCOMPARE(QList<qint64>({m.value(0).offset, m.value(6).offset}),
                 QList<qint64>({0x100, 0x124}));
        QCOMPARE(objectMarkers(image, -1).size(), 0);

        TerrainData d;
        d.game = 2;
        d.columns = 4;
        d.rows = 2;
        d.cells = QVector<qint16>(8, -1);
        const LevelTerrain t = LevelTerrain::fromData(d);
        // Each marker a white square of 3 in a black ring of 5, cut off at the edges.
        QImage want(512, 256, QImage::Format_RGB32);
        want.fill(Backdrop);
        QPainter painter(&want);
        for (const QPoint k :
             {QPoint(0x64, 0xA0), QPoint(0, 0), QPoint(0x1FF, 0x80), QPoint(0x80, 0),
              QPoint(0x80, 0xFF), QPoint(0x14, 0x14), QPoint(0x16, 0x14)}) {
            painter.fillRect(k.x() - 2, k.y() - 2, 5, 5, QColor(Black));
            painter.fillRect(k.x() - 1, k.y() - 1, 3, 3, QColor(White));
        }
        painter.end();
        QCOMPARE(levelPicture(t, m).convertToFormat(QImage::Format_RGB32), want);
    }

    // Each revision's tables sit at their documented offsets: a palette entry written there
    // shows, and a level-table entry spoiled there takes the terrain away.
    void revisionTables() {
        // Each revision's documented offsets.
        const struct {
            rom::Revision revision;
            qint64 levelTable; // Sonic 1 LevelHeaders, Sonic 2 LevelArtPointers
            qint64 palPointers;
        } documented[] = {{rom::Revision::Sonic1Rev0, 0x1D5A2, 0x02168},
                          {rom::Revision::Sonic1Rev1, 0x1DD16, 0x02160},
                          {rom::Revision::Sonic2Rev0, 0x42584, 0x02776},
                          {rom::Revision::Sonic2Rev1, 0x42594, 0x02782},
                          {rom::Revision::Sonic2Rev2, 0x423C2, 0x02778}};
        for (const auto &doc : documented) {
            const int game = rom::gameCode(doc.revision);
            const QByteArray tiles = filledTiles(4);
            const QByteArray blocks = blocksOf(8, {nameWord(1, 0), nameWord(2, 1), nameWord(3, 3)});
            QByteArray image = revisionImage(doc.revision, probe(game, tiles, blocks, {1, 2, 3}));
            for (int row = 0; row < 21; ++row) {
                const LevelTerrain t = LevelTerrain::load(image, doc.revision, row);
                if (game == 2 && row == 8)
                    continue;
                QCOMPARE(QList<QRgb>({cellColour(t, 0), cellColour(t, 1), cellColour(t, 2)}),
                         QList<QRgb>({expected(0, fillValue(1)), expected(1, fillValue(2)),
                                      expected(3, fillValue(3))}));
            }
            // The first level's own palette id: header byte 15, entry byte 8.
            const int id = quint8(image[doc.levelTable + (game == 1 ? 15 : 8)]);
            const qint64 at =
                place(image, image.size() - 0x100, wordsOf(QVector<quint16>(48, 0x0E0E)));
            putLong(image, doc.palPointers + 8 * id, static_cast<quint32>(at));
            QCOMPARE(cellColour(LevelTerrain::load(image, doc.revision, 0), 1), rgbOf(0x0E0E));
            // Block pointer of the first zone out of the image.
            putLong(image, doc.levelTable + 4, (game == 1 ? 0x05000000u : 0x02000000u) | 0xFFFFF0u);
            const LevelTerrain spoiled = LevelTerrain::load(image, doc.revision, 0);
            QVERIFY2(spoiled.reason().contains(QStringLiteral("16x16 block data")),
                     qPrintable(spoiled.reason()));
        }
    }

    // Sonic 1 palettes: lines 1-3 by the header, except Labyrinth 4, Scrap Brain 2 and the
    // Final Zone, and the Ending (its colours 16-63); line 0 always Sonic's.
    void sonic1Palettes() {
        const rom::Revision r = rom::Revision::Sonic1Rev1;
        const qint64 pal = 0x02160, headers = 0x1DD16;
        QByteArray image = revisionImage(
            r, probe(1, filledTiles(3), blocksOf(4, {nameWord(1, 0), nameWord(2, 1)}), {1, 2}));
        // Palette n: every colour (n, n, n); the Ending's line 0 is (1, 1, 1), the rest (6, 6, 6).
        const auto grey = [](int n) { return static_cast<quint16>(n << 9 | n << 5 | n << 1); };
        const qint64 base = image.size() - 0x400;
        const auto palette = [&](int id, int slot, const QVector<quint16> &colours) {
            const qint64 at = place(image, base + slot * 0x80, wordsOf(colours));
            putLong(image, pal + 8 * id, static_cast<quint32>(at));
        };
        palette(3, 0, QVector<quint16>(16, grey(7)));
        palette(0xC, 1, QVector<quint16>(48, grey(2)));
        palette(0xE, 2, QVector<quint16>(48, grey(3)));
        palette(0x13, 3, QVector<quint16>(16, grey(1)) + QVector<quint16>(48, grey(6)));
        image[headers + 16 * 1 + 15] = 0x14; // LZ's header names id $14
        palette(0x14, 5, QVector<quint16>(48, grey(4)));
        image[headers + 16 * 5 + 15] = 0x15; // SBZ's header names id $15
        palette(0x15, 6, QVector<quint16>(48, grey(5)));
        const struct {
            int row, level;
        } rows[] = {{3, 4}, {5, 4}, {6, 2}, {16, 5}, {17, 3}, {18, 3}, {19, 6}, {20, 6}};
        for (const auto &c : rows) {
            const LevelTerrain t = LevelTerrain::load(image, r, c.row);
            QCOMPARE(cellColour(t, 0), rgbOf(grey(7)));
            QCOMPARE(cellColour(t, 1), rgbOf(grey(c.level)));
        }
    }

    // Sonic 1 art: Green Hill's second part goes where its cue says; the Ending reads cue $1C
    // (its header names none); other zones read only the first entry of their first cue.
    void sonic1Art() {
        const rom::Revision r = rom::Revision::Sonic1Rev0;
        const qint64 cues = 0x1D612;
        const int second = 0x1CD;
        const QByteArray tiles = filledTiles(second + 4);
        const QByteArray blocks =
            blocksOf(4, {nameWord(1, 1), nameWord(second + 1, 1), nameWord(second + 3, 1)});
        QByteArray image = revisionImage(r, probe(1, tiles, blocks, {1, 2, 3}));
        for (int row : {0, 3, 19}) {
            const LevelTerrain t = LevelTerrain::load(image, r, row);
            QCOMPARE(cellColour(t, 1), expected(1, fillValue(second + 1)));
        }
        // Green Hill's second part sent two tiles further: tile $1CE is now a gap between the
        // parts, and tile $1D0 shows the part's second tile.
        const qint64 ghzList = cues + wordAt(image, cues + 2 * 4);
        putWord(image, ghzList + 12, (second + 2) * 32);
        const LevelTerrain moved = LevelTerrain::load(image, r, 0);
        QCOMPARE(cellColour(moved, 1), 0u);
        QCOMPARE(cellColour(moved, 2), expected(1, fillValue(second + 1)));
        putWord(image, ghzList + 12, second * 32);
        // A list of its own for cue $1C: part 1 a single tile of value 9.
        const qint64 nine = place(image, image.size() - 0x200,
                                  synthetic::nemesisEncode(QByteArray(64, char(0x99))));
        QByteArray own = wordBytes(1); // two entries: the tile, then Green Hill's second part
        putLong(own, 2, static_cast<quint32>(nine));
        own += wordBytes(0) + image.mid(ghzList + 8, 4) + wordBytes(second * 32);
        const qint64 ownAt = place(image, cues + 0x100, own);
        putWord(image, cues + 2 * 0x1C, static_cast<quint32>(ownAt - cues));
        const LevelTerrain ending = LevelTerrain::load(image, r, 19);
        QCOMPARE(cellColour(ending, 0), expected(1, 9));
        QCOMPARE(cellColour(ending, 1), expected(1, fillValue(second + 1)));
        QCOMPARE(cellColour(LevelTerrain::load(image, r, 0), 0), expected(1, fillValue(1)));
        // Labyrinth's first entry pointed at the one-tile art: tile 1 is its second tile.
        const qint64 lzList = cues + wordAt(image, cues + 2 * 6);
        putLong(image, lzList + 2, static_cast<quint32>(nine));
        const LevelTerrain lz = LevelTerrain::load(image, r, 3);
        QCOMPARE(cellColour(lz, 0), expected(1, 9));
        QCOMPARE(cellColour(lz, 1), 0u); // past the loaded art: transparent
    }

    // Sonic 2 art and blocks: the Hill Top and Wing Fortress supplements and tile limits, Death
    // Egg's limit, the Hill Top block patch and the animated-block lists.
    void sonic2Supplements() {
        const rom::Revision r = rom::Revision::Sonic2Rev2;
        const int n = 0x392;
        // Cells: blocks 1-10 showing the tiles at each limit, block $130, block $2FF, block 0.
        const QVector<int> probeTiles = {0x1FB, 0x1FC, 0x37D, 0x37E, 0x306,
                                         0x307, 0x378, 0x379, 0x325, 0x326};
        QVector<quint16> names;
        QVector<int> cells;
        for (int tile : probeTiles)
            names << nameWord(tile, 1), cells << cells.size() + 1;
        cells << 0x130 << 0x2FF << 0;
        QByteArray image =
            revisionImage(r, probe(2, filledTiles(n), blocksOf(0x300, names), cells));
        // Supplements of value-14 tiles, a patch whose first block shows tile 1 in line 3, and
        // an animated-block list for Emerald Hill and Hill Top setting block $2FF to tile 2.
        const TerrainTables t = terrainTables(r);
        place(image, t.htzArt, synthetic::kosinskiEncode(QByteArray(0x182 * 32, char(0xEE))));
        place(image, t.wfzArt, synthetic::kosinskiEncode(QByteArray(0x72 * 32, char(0xEE))));
        place(image, t.htzBlocks,
              synthetic::kosinskiEncode(wordsOf(QVector<quint16>(4, nameWord(1, 3)))));
        place(image, 0x40180 + 0x100,
              wordsOf({0x17F8, 3, nameWord(2, 2), nameWord(2, 2), nameWord(2, 2), nameWord(2, 2)}));
        putWord(image, 0x40180 + 2 * 0, 0x100);
        putWord(image, 0x40180 + 2 * 7, 0x100);
        // Death Egg's list has destination 0, which means none: words behind it are not copied.
        place(image, 0x40180 + 0x200, wordsOf({0, 3, nameWord(2, 2), nameWord(2, 2)}));
        putWord(image, 0x40180 + 2 * 0xE, 0x200);

        // Per cell: o its own tile, s supplement (value 14), p patch, a animated list, - nothing.
        const struct {
            int row;
            const char *want;
        } cases[] = {{0, "oooooooooo-a-"},   // Emerald Hill: its own art, the list on $2FF
                     {6, "oss-sssssspa-"},   // Hill Top: supplement from $1FC, none from $37E
                     {5, "oo--oss-ss---"},   // Wing Fortress: supplement from $307, none from $379
                     {17, "oo--oo--o----"},  // Death Egg: nothing from $326
                     {20, "oooooooooo---"}}; // Sky Chase: the Wing Fortress base art alone
        const auto colourOf = [&](char c, int cell) {
            return c == 'o'   ? expected(1, fillValue(probeTiles[cell]))
                   : c == 's' ? expected(1, 14)
                   : c == 'p' ? expected(3, fillValue(1))
                   : c == 'a' ? expected(2, fillValue(2))
                              : QRgb(0);
        };
        for (const auto &c : cases) {
            const LevelTerrain terrain = LevelTerrain::load(image, r, c.row);
            for (int cell = 0; c.want[cell]; ++cell)
                QVERIFY2(cellColour(terrain, cell) == colourOf(c.want[cell], cell),
                         qPrintable(QStringLiteral("row %1 cell %2").arg(c.row).arg(cell)));
        }
    }

    // No terrain, with a reason and without a crash: Hidden Palace, an unknown image, damaged
    // streams, pointers out of the image.
    void noTerrain() {
        const QByteArray s2 = synthetic::image(2);
        const LevelTerrain hpz = LevelTerrain::load(s2, rom::revision(s2), 8);
        QVERIFY(!hpz.hasTerrain() && hpz.size().isEmpty() && hpz.chunkAt(0, 0) == -1);
        QCOMPARE(hpz.reason(),
                 QStringLiteral("Hidden Palace has no terrain in the released images"));
        QVERIFY(levelPicture(hpz, {{0, 1, 1}}).isNull());
        QCOMPARE(LevelTerrain::load(s2, rom::Revision::None, 0).reason(),
                 QStringLiteral("Not a recognised image"));
        QVERIFY(!LevelTerrain::load(s2, rom::revision(s2), 21).hasTerrain());

        // A chunk stream cut in the middle: its pointer moved near the end of the image.
        QByteArray s1 = synthetic::image(1);
        const rom::Revision r1 = rom::revision(s1);
        const qint64 header = 0x1D5A2;
        s1.replace(s1.size() - 0x20, 0x20,
                   s1.mid(qFromBigEndian<quint32>(s1.constData() + header + 8), 0x20));
        putLong(s1, header + 8, static_cast<quint32>(s1.size() - 0x20));
        const LevelTerrain cut = LevelTerrain::load(s1, r1, 0);
        QVERIFY2(cut.reason().startsWith(QStringLiteral("The 256x256 chunk data is damaged")),
                 qPrintable(cut.reason()));
        QVERIFY(LevelTerrain::load(s1, r1, 3).hasTerrain()); // Labyrinth's header is its own

        // A layout stream copying before its output start, art and palette pointers outside.
        QByteArray bad = s2;
        const auto badLevel = [&](int row) {
            return LevelTerrain::load(bad, rom::revision(s2), row);
        };
        putWord(bad, 0x45A80, 0x8000);
        QVERIFY(badLevel(0).reason().contains("layout") && badLevel(1).hasTerrain());
        putLong(bad = s2, 0x42594, 0x01FFFFFF);
        QVERIFY(badLevel(0).reason().contains("8x8 art"));
        putLong(bad = s2, 0x02782 + 8 * 3, 0x00FFFFF0);
        QCOMPARE(badLevel(0).reason(), QStringLiteral("The palette lies outside the image"));

        // A layout wider than the game's layout memory.
        QByteArray wide = synthetic::image(1);
        const qint64 layoutAt = 0x68BD6 + wordAt(wide, 0x68BD6);
        wide[layoutAt] = 0x40;
        QCOMPARE(LevelTerrain::load(wide, rom::revision(wide), 0).reason(),
                 QStringLiteral("The layout is larger than the game allows (65 x 7 chunks)"));
        // Images cut short anywhere are the fuzz targets' (fuzz/levelchecks.cpp).
    }

    // The map window's view of a level: the same terrain through its interface.
    void windowSource() {
        const QByteArray s2 = synthetic::image(2);
        const auto shown = LevelTerrainSource::load(s2, rom::revision(s2), 0);
        const LevelTerrain direct = LevelTerrain::load(s2, rom::revision(s2), 0);
        QVERIFY(shown->hasTerrain() && shown->size() == direct.size() && shown->chunkSize() == 128);
        for (int i = 0; i < direct.rows() * direct.columns(); ++i)
            QCOMPARE(shown->chunkAt(i % direct.columns(), i / direct.columns()),
                     direct.chunkAt(i % direct.columns(), i / direct.columns()));
        const int chunk = direct.chunkAt(0, direct.rows() - 1);
        QVERIFY(shown->chunkImage(chunk) == direct.chunkImage(chunk));
    }

    // The export: silence and 0 on success with the picture in the file; one line and non-zero
    // for each kind of failure.
    void exportCommand() {
        QTemporaryDir dir;
        const QByteArray s1 = synthetic::image(1);
        const QString imagePath = testsupport::writeFile(dir, "s1.bin", s1);
        const QString out = dir.filePath("map.png");
        QString messages;
        QTextStream err(&messages);
        QCOMPARE(exportMap(imagePath, "0", out, err), 0);
        QCOMPARE(messages, QString());
        QImageReader reader(out);
        QCOMPARE(reader.format(), QByteArray("png"));
        const QImage pic = reader.read();
        // The file holds exactly the picture, markers included, and its colour table: the
        // level's 64 colours at their indices, then backdrop, black and white.
        LevelAddressTable layouts{};
        loadAddresses(layouts, s1, rom::revision(s1));
        const LevelTerrain terrain = LevelTerrain::load(s1, rom::revision(s1), 0);
        const QImage drawn = levelPicture(terrain, objectMarkers(s1, layouts[0]));
        QCOMPARE(pic.convertToFormat(QImage::Format_RGB32),
                 drawn.convertToFormat(QImage::Format_RGB32));
        const QVector<QRgb> colours(terrain.data().colours.cbegin(), terrain.data().colours.cend());
        QCOMPARE(pic.colorTable(), colours + QVector<QRgb>({Backdrop, Black, White}));

        const QString text = testsupport::writeFile(dir, "notes.bin", QByteArray(0x80000, 'x'));
        const QString s2 = testsupport::writeFile(dir, "s2.bin", synthetic::image(2));
        const struct {
            QString image, row, to;
            const char *says;
        } failures[] = {{imagePath, "21", out, "0 to 20"},
                        {imagePath, "-1", out, "0 to 20"},
                        {imagePath, "two", out, "0 to 20"},
                        {dir.filePath("missing.bin"), "0", out, "cannot read"},
                        {text, "0", out, "not a recognised image"},
                        {s2, "8", out, "Hidden Palace"},
                        {imagePath, "0", dir.filePath("no/such/folder/map.png"), "cannot write"}};
        for (const auto &f : failures) {
            messages.clear();
            const int code = exportMap(f.image, f.row, f.to, err);
            err.flush();
            QVERIFY2(code != 0, f.says);
            QCOMPARE(messages.count('\n'), 1);
            QVERIFY2(messages.contains(QLatin1String(f.says)), qPrintable(messages));
        }
    }
};

QTEST_GUILESS_MAIN(TestTerrain)
#include "tst_terrain.moc"
