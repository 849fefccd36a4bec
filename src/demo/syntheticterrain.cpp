#include "demo/syntheticterrain.h"

#include "demo/bytewriting.h"
#include "demo/encoders.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace synthetic {

namespace {

using namespace map;
using namespace bytes;

QByteArray words(const quint16 *from, int count) {
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        out.append(static_cast<char>(from[i] >> 8));
        out.append(static_cast<char>(from[i] & 0xFF));
    }
    return out;
}

// Part of `bytes` from `from` up to `to` (clipped), or one blank tile when nothing is left, so
// that a supplement always has something to decode.
QByteArray slice(const QByteArray &bytes, qint64 from, qint64 to, qint64 blank) {
    const QByteArray part = bytes.mid(from, std::max<qint64>(0, to - from));
    return part.isEmpty() ? QByteArray(blank, '\0') : part;
}

qint64 putSonic1(QByteArray &image, TerrainTables &t, const TerrainPieces &s, qint64 dataAt) {
    using namespace sonic1;
    qint64 at = dataAt;
    // Green Hill's art comes in two files, the second landing at tile $1CD.
    const qint64 split = qint64(GhzSecondPartTile) * 32;
    const qint64 whole = append(image, at, nemesisEncode(s.tiles));
    const qint64 first =
        s.tiles.size() > split ? append(image, at, nemesisEncode(s.tiles.left(split))) : whole;
    const qint64 second =
        append(image, at, nemesisEncode(slice(s.tiles, split, s.tiles.size(), 32)));
    const qint64 blocks = append(image, at, enigmaEncode(s.blocks));
    const qint64 chunks = append(image, at, kosinskiEncode(s.chunks));

    // Pattern-load cues: zone z loads cue 4 + 2z then 5 + 2z, the Ending cue $1C. Each level
    // list is followed by an entry for object art, as in the game.
    const int cues = 0x20;
    qint64 lists = t.artLoadCues + 2LL * cues;
    const auto putList = [&](const std::vector<std::pair<qint64, int>> &entries) {
        const qint64 list = lists;
        putWord(image, list, static_cast<quint32>(entries.size() - 1));
        for (size_t i = 0; i < entries.size(); ++i) {
            putLong(image, list + 2 + 6 * qint64(i), static_cast<quint32>(entries[i].first));
            putWord(image, list + 6 + 6 * qint64(i), static_cast<quint32>(entries[i].second * 32));
        }
        lists += 2 + 6 * qint64(entries.size());
        return list;
    };
    const qint64 ghzList = putList({{first, 0}, {second, GhzSecondPartTile}, {whole, 0x580}});
    const qint64 zoneList = putList({{whole, 0}, {first, 0x580}});
    for (int cue = 0; cue < cues; ++cue) {
        const bool greenHill = cue == 4 || cue == 5 || cue == EndingPlc;
        putWord(image, t.artLoadCues + 2LL * cue,
                static_cast<quint32>((greenHill ? ghzList : zoneList) - t.artLoadCues));
    }

    static const int kPalettes[7] = {4, 5, 6, 7, 8, 9, EndingPalette};
    for (int zone = 0; zone < 7; ++zone) {
        const qint64 h = t.levelHeaders + 16LL * zone;
        const quint32 cue = zone == Ending ? 0 : 4 + 2 * zone;
        putLong(image, h, cue << 24 | static_cast<quint32>(zone == Ghz ? second : whole));
        putLong(image, h + 4, (zone == Ending ? 0 : cue + 1) << 24 | static_cast<quint32>(blocks));
        putLong(image, h + 8, static_cast<quint32>(chunks));
        putLong(image, h + 12,
                static_cast<quint32>(0x81 + zone) << 16 | kPalettes[zone] << 8 | kPalettes[zone]);
    }

    // Every act's three layout words name the one layout, stored right behind the index.
    qint64 layoutAt = t.levelIndex + 7LL * 24;
    const qint64 layout = append(image, layoutAt, s.layout);
    for (qint64 i = 0; i < 7LL * 12; ++i)
        putWord(image, t.levelIndex + 2 * i, static_cast<quint32>(layout - t.levelIndex));

    // Palettes: Sonic's (line 0), the level's (lines 1-3) for every level id, and the Ending's
    // 64 colours whose first line is not Sonic's.
    qint64 palAt = t.palPointers + 8LL * 0x14;
    const qint64 sonic = append(image, palAt, words(s.palette.data(), 16));
    const qint64 level = append(image, palAt, words(s.palette.data() + 16, 48));
    std::array<quint16, 16> endingLine0{};
    for (int i = 1; i < 16; ++i)
        endingLine0[i] = static_cast<quint16>(0x0EEE - s.palette[i]);
    const qint64 ending =
        append(image, palAt, words(endingLine0.data(), 16) + words(s.palette.data() + 16, 48));
    for (int id = 0; id < 0x14; ++id) {
        const qint64 e = t.palPointers + 8LL * id;
        const bool isSonic = id == SonicPalette, isEnding = id == EndingPalette;
        putLong(image, e, static_cast<quint32>(isSonic ? sonic : isEnding ? ending : level));
        putWord(image, e + 4, isSonic || isEnding ? 0xFB00 : 0xFB20);
        putWord(image, e + 6, isSonic ? 7 : isEnding ? 0x1F : 0x17);
    }
    return at;
}

qint64 putSonic2(QByteArray &image, TerrainTables &t, const TerrainPieces &s, qint64 dataAt) {
    using namespace sonic2;
    qint64 at = dataAt;
    const qint64 art = append(image, at, kosinskiEncode(s.tiles));
    const qint64 blocks = append(image, at, kosinskiEncode(s.blocks));
    const qint64 chunks = append(image, at, kosinskiEncode(s.chunks));
    // The supplements and the Hill Top patch repeat what the art and blocks already hold there,
    // so every zone draws the same.
    const auto putFixed = [&](qint64 &where, const QByteArray &raw) {
        const QByteArray packed = kosinskiEncode(raw);
        if (where < 0) {
            where = append(image, at, packed);
        } else {
            qint64 fixed = where;
            append(image, fixed, packed);
        }
    };
    putFixed(t.htzArt, slice(s.tiles, HtzArtTile * 32LL, HtzArtTiles * 32LL, 32));
    putFixed(t.wfzArt, slice(s.tiles, WfzArtTile * 32LL, WfzArtTiles * 32LL, 32));
    putFixed(t.htzBlocks, slice(s.blocks, HtzBlocksAt, HtzBlocksAt + 246 * 8, 8));

    static const int kPalettes[17] = {4, 4,   4,   4,    8,    8,    0xA,  0xB, 0xC,
                                      4, 0xE, 0xF, 0x10, 0x11, 0x12, 0x13, 0x14};
    for (int zone = 0; zone < 17; ++zone) {
        const qint64 e = t.levelArtPointers + 12LL * zone;
        putLong(image, e, 0x01000000u | static_cast<quint32>(art));
        putLong(image, e + 4, 0x02000000u | static_cast<quint32>(blocks));
        putLong(image, e + 8, quint32(kPalettes[zone]) << 24 | static_cast<quint32>(chunks));
    }

    // No animated blocks in any zone: every entry names a list whose destination word is 0.
    qint64 apmAt = t.animPatMaps + 2LL * 17;
    const qint64 none = append(image, apmAt, QByteArray(2, '\0'));
    for (int zone = 0; zone < 17; ++zone)
        putWord(image, t.animPatMaps + 2LL * zone, static_cast<quint32>(none - t.animPatMaps));

    qint64 layoutAt = t.offLevel + 2LL * 2 * 17;
    const qint64 layout = append(image, layoutAt, kosinskiEncode(s.layout));
    for (int i = 0; i < 2 * 17; ++i)
        putWord(image, t.offLevel + 2LL * i, static_cast<quint32>(layout - t.offLevel));

    // The character palette has two lines (the second is never seen: the level's covers it).
    qint64 palAt = t.palPointers + 8LL * 0x15;
    const qint64 characters = append(image, palAt, words(s.palette.data(), 32));
    const qint64 level = append(image, palAt, words(s.palette.data() + 16, 48));
    for (int id = 0; id < 0x15; ++id) {
        const qint64 e = t.palPointers + 8LL * id;
        const bool isCharacters = id == CharacterPalette;
        putLong(image, e, static_cast<quint32>(isCharacters ? characters : level));
        putWord(image, e + 4, isCharacters ? 0xFB00 : 0xFB20);
        putWord(image, e + 6, isCharacters ? 0xF : 0x17);
    }
    return std::max(at, layoutAt);
}

// --- The demo level -------------------------------------------------------------------------

// One 8x8 tile from eight rows of eight hexadecimal pixel values.
QByteArray tile(const char *const rows[8]) {
    QByteArray out;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; x += 2) {
            const auto value = [&](int i) {
                const char c = rows[y][i];
                return c >= 'A' ? c - 'A' + 10 : c - '0';
            };
            out.append(static_cast<char>(value(x) << 4 | value(x + 1)));
        }
    return out;
}

constexpr quint16 colour(int r, int g, int b) {
    return static_cast<quint16>(b << 9 | g << 5 | r << 1);
}

// Nametable word: palette line, flips, tile.
constexpr quint16 name(int tileIndex, int line, bool hFlip = false, bool vFlip = false) {
    return static_cast<quint16>(line << 13 | (vFlip ? 0x1000 : 0) | (hFlip ? 0x800 : 0) |
                                tileIndex);
}

enum Tile { Blank, Grass, DirtLight, DirtDark, SlopeEdge, Brick, Flower, Crystal, TileCount };
constexpr quint16 GrassTop = 1, Dirt = 2, Slope = 3, Platform = 4, FlowerBlock = 5,
                  CrystalBlock = 6, BlockCount = 7;
enum Chunk { Empty, Flat, Fill, SlopeUp, SlopeDown, Decor, Island, Ledge, ChunkCount };

QByteArray demoTiles() {
    static const char *const kTiles[TileCount][8] = {
        {"00000000", "00000000", "00000000", "00000000", "00000000", "00000000", "00000000",
         "00000000"},
        {"AA9AAA9A", "99A99A99", "8989A898", "88788878", "77877787", "76776767", "63666366",
         "33363363"},
        {"44454444", "44444434", "45444444", "44443444", "44444454", "34444444", "44454444",
         "44444443"},
        {"22212222", "22222232", "21222222", "22221222", "22222212", "32222222", "22212222",
         "22222221"},
        {"0000000A", "000000A9", "00000A98", "0000A987", "000A9876", "00A98762", "0A987622",
         "A9876222"},
        {"55555555", "43444344", "43444344", "11111111", "44434443", "44434443", "44434443",
         "11111111"},
        {"00010000", "00131000", "01343100", "00131000", "00010600", "06006600", "00666000",
         "00060000"},
        {"00000000", "00000005", "00000054", "00000543", "00005432", "00054322", "00543221",
         "05432211"},
    };
    QByteArray out;
    for (const auto &rows : kTiles)
        out += tile(rows);
    return out;
}

QByteArray demoBlocks() {
    static const quint16 kBlocks[BlockCount][4] = {
        {0, 0, 0, 0},
        {name(Grass, 1), name(Grass, 1, true), name(DirtDark, 1), name(DirtLight, 1)},
        {name(DirtLight, 1), name(DirtDark, 1), name(DirtDark, 1), name(DirtLight, 1)},
        {0, name(SlopeEdge, 1), name(SlopeEdge, 1), name(DirtLight, 1)},
        {name(Brick, 3), name(Brick, 3, true), 0, 0},
        {0, 0, name(Flower, 2), name(Flower, 2, true)},
        // A diamond out of one quarter tile, flipped every way.
        {name(Crystal, 0), name(Crystal, 0, true), name(Crystal, 0, false, true),
         name(Crystal, 0, true, true)},
    };
    return words(&kBlocks[0][0], BlockCount * 4);
}

// Chunk words: block, block flips in Sonic 1's (bits 11/12) or Sonic 2's (bits 10/11) places.
QByteArray demoChunks(int game) {
    const int n = game == 1 ? 16 : 8;
    const quint16 hBit = game == 1 ? 0x800 : 0x400;
    const quint16 vBit = game == 1 ? 0x1000 : 0x800;
    std::vector<quint16> all;
    for (int c = 0; c < ChunkCount; ++c) {
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                // The dirt checker alternates plain and mirrored blocks.
                const quint16 dirt = Dirt | ((x + y) % 2 ? hBit : 0);
                quint16 w = 0;
                switch (c) {
                case Flat:
                    w = y == 0 ? GrassTop : dirt;
                    break;
                case Fill:
                    w = dirt;
                    break;
                case SlopeUp:
                    w = x + y == n - 1 ? Slope : x + y > n - 1 ? dirt : 0;
                    break;
                case SlopeDown: // the rising slope mirrored block by block
                    w = y == x ? Slope | hBit : y > x ? dirt : 0;
                    break;
                case Decor:
                    w = y == n - 1 && x % 3 != 2   ? FlowerBlock
                        : y == n / 2 && x % 5 == 1 ? CrystalBlock
                                                   : 0;
                    break;
                case Island: // grass on top, grass hanging under it
                    w = x < 1 || x > n - 2             ? 0
                        : y == n / 2                   ? GrassTop
                        : y == n / 2 + 1               ? dirt
                        : y == n / 2 + 2               ? GrassTop | vBit
                        : y == n / 2 - 1 && x % 4 == 2 ? FlowerBlock
                                                       : 0;
                    break;
                case Ledge:
                    w = y == n - 3 && x >= 2 && x < n - 2 ? Platform
                        : y == n - 5 && x == n / 2        ? CrystalBlock
                                                          : 0;
                    break;
                default:
                    break;
                }
                all.push_back(w);
            }
        }
    }
    return words(all.data(), static_cast<int>(all.size()));
}

// Columns of ground: flat, slope up, slope down; decoration and floating pieces above.
QByteArray demoLayout(int game) {
    const QByteArray profile = game == 1 ? "FFUFFFDFFUUFFDDF" : "FFUUFFUFFFDDFUUUFFFFDDFFUFFDDDFF";
    const int width = profile.size();
    const int height = game == 1 ? 7 : 14;
    std::vector<int> cells(size_t(width) * height, Empty);
    int ground = height - 2;
    for (int x = 0; x < width; ++x) {
        int top = ground;
        if (profile[x] == 'U') {
            top = --ground;
            cells[top * width + x] = SlopeUp;
        } else if (profile[x] == 'D') {
            cells[top * width + x] = SlopeDown;
            ++ground;
        } else {
            cells[top * width + x] = Flat;
            if (x % 3 == 1)
                cells[(top - 1) * width + x] = Decor;
        }
        for (int y = top + 1; y < height; ++y)
            cells[y * width + x] = Fill;
        if (x % 7 == 4)
            cells[(game == 1 ? 1 : 3) * width + x] = Island;
        if (x % 5 == 2 && top > 3)
            cells[(top - 2) * width + x] = Ledge;
    }
    QByteArray out;
    if (game == 1) {
        // Sonic 1 cells are 1-based chunk numbers (0 = nothing), with a size header.
        out.append(static_cast<char>(width - 1));
        out.append(static_cast<char>(height - 1));
        for (int c : cells)
            out.append(static_cast<char>(c == Empty ? 0 : c));
        return out;
    }
    // Sonic 2: 16 rows of $100 bytes, the foreground in the first $80 of each.
    out = QByteArray(0x1000, '\0');
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out[y * 0x100 + x] = static_cast<char>(cells[y * width + x]);
    return out;
}

} // namespace

TerrainPieces demoTerrain(int game) {
    TerrainPieces s;
    s.game = game;
    s.tiles = demoTiles();
    s.blocks = demoBlocks();
    // Sonic 1 chunk numbers are 1-based: its table starts at the first non-empty chunk.
    s.chunks = game == 1 ? demoChunks(game).mid(0x200) : demoChunks(game);
    s.layout = demoLayout(game);
    // Line 0 the character's blues, line 1 ground browns and greens, line 2 flowers, line 3 stone.
    const quint16 lines[4][16] = {
        {0, colour(0, 0, 2), colour(0, 1, 5), colour(1, 3, 7), colour(4, 5, 7), colour(7, 7, 7),
         colour(7, 0, 0), colour(7, 5, 4)},
        {0, colour(2, 1, 0), colour(4, 2, 1), colour(5, 3, 1), colour(6, 4, 2), colour(7, 5, 3),
         colour(0, 2, 0), colour(0, 4, 0), colour(1, 5, 0), colour(3, 6, 1), colour(5, 7, 2)},
        {0, colour(7, 0, 0), colour(7, 4, 0), colour(7, 7, 0), colour(7, 7, 7), colour(4, 0, 4),
         colour(0, 3, 0)},
        {0, colour(1, 1, 2), colour(2, 2, 3), colour(3, 3, 4), colour(5, 5, 6), colour(6, 6, 7)},
    };
    for (int l = 0; l < 4; ++l)
        for (int i = 0; i < 16; ++i)
            s.palette[l * 16 + i] = lines[l][i];
    return s;
}

TerrainTables compactTables(int game) {
    TerrainTables t;
    t.game = game;
    if (game == 1) {
        t.levelHeaders = 0x200;
        t.artLoadCues = 0x280;
        t.palPointers = 0x400;
        t.levelIndex = 0x700; // the layout follows it, so it comes last
    } else if (game == 2) {
        t.levelArtPointers = 0x200;
        t.animPatMaps = 0x300;
        t.palPointers = 0x400;
        t.offLevel = 0x600; // the layout follows it, so it comes last
    }
    return t;
}

qint64 putTerrain(QByteArray &image, TerrainTables &tables, const TerrainPieces &source,
                  qint64 dataAt) {
    if (source.game == 1 && tables.game == 1)
        return putSonic1(image, tables, source, dataAt);
    if (source.game == 2 && tables.game == 2)
        return putSonic2(image, tables, source, dataAt);
    return dataAt;
}

QByteArray compactImage(const TerrainPieces &source) {
    QByteArray image(0x200, '\0');
    TerrainTables tables = compactTables(source.game);
    // The data goes behind the layout, which grows with the level.
    const qint64 dataAt = source.game == 1
                              ? tables.levelIndex + 7LL * 24 + source.layout.size()
                              : tables.offLevel + 68 + kosinskiEncode(source.layout).size();
    putTerrain(image, tables, source, dataAt + 2);
    return image;
}

} // namespace synthetic
