#include "demo/syntheticsprites.h"

#include "demo/bytewriting.h"
#include "demo/encoders.h"
#include "demo/syntheticterrain.h"
#include "rom/checksum.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

namespace synthetic {

namespace {

using namespace bytes;

QByteArray sceneTiles(int first, int end) {
    QByteArray out;
    for (int t = first; t < end; ++t)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; x += 2)
                out.append(
                    static_cast<char>(sceneTilePixel(t, x, y) << 4 | sceneTilePixel(t, x + 1, y)));
    return out;
}

// Table k of an id: frame f is one 8x8 piece at (-4, -4) with tile offset 16 k + f.
QByteArray sceneTable(int game, int k) {
    QVector<QVector<MapPiece>> frames;
    for (int f = 0; f < SceneFrames; ++f)
        frames.append({{-4, -4, 1, 1, static_cast<quint16>(16 * k + f)}});
    // The last frame has a second piece, overlapped by the first.
    frames.back().append({0, 0, 1, 1, static_cast<quint16>(16 * k + SceneFrames - 2)});
    return mappingTable(frames, game);
}

struct Slot {
    int game;
    int id;
    int n;
    // cppcheck-suppress unusedStructMember ; read through the pointer sceneSlot() finds
    int slot;
};

const Slot kSlots[] = {
    {1, 0x25, 1, 0},  {1, 0x56, 1, 1},  {1, 0x56, 2, 2},  {1, 0x26, 1, 3},  {1, 0x36, 1, 4},
    {1, 0x41, 1, 5},  {1, 0x41, 2, 6},  {1, 0x28, 1, 7},  {1, 0x46, 1, 8},  {1, 0x5F, 1, 9},
    {1, 0x18, 1, 10}, {1, 0x0E, 1, 11}, {1, 0x0F, 1, 12}, {2, 0x26, 1, 0},  {2, 0x36, 1, 1},
    {2, 0x36, 2, 2},  {2, 0x41, 1, 3},  {2, 0x41, 2, 4},  {2, 0x41, 3, 5},  {2, 0x1C, 1, 6},
    {2, 0x44, 1, 7},  {2, 0xD8, 1, 8},  {2, 0xA4, 1, 9},  {2, 0xA4, 2, 10}, {2, 0xA4, 3, 11},
    {2, 0x65, 1, 12}, {2, 0x65, 2, 13}, {2, 0x0E, 1, 14}, {2, 0x0F, 1, 15},
};

quint16 art(int game, int id, int n = 1) {
    return sceneArt(sceneSlot(game, id, n));
}

// Writes the code of each id of game 1 from `at`; returns the code address per id.
// The signpost's script table: animation 0 shows frame 2.
QByteArray signpostScript() {
    return wordBytes(2) + wordBytes(0x0F02) + wordBytes(0xFF00);
}

void putSonic1Code(QByteArray &image, qint64 &at, const sprites::SpriteTables &t) {
    QVector<quint32> maps;
    for (int k = 0; k < 3; ++k)
        maps.append(static_cast<quint32>(append(image, at, sceneTable(1, k))));
    const auto place = [&](int id, const std::function<void(Code &)> &init) {
        at += at & 1;
        Code code = objectCode(at);
        init(code);
        code.rts();
        putLong(image, t.objectIndex + 4LL * (id - 1), static_cast<quint32>(at));
        append(image, at, code.bytes());
    };
    // The small tables the init reads pc-relative sit right before its code, within reach of
    // a byte displacement: ring spacing pairs, and the Ending animals' art words and mappings.
    QByteArray spacing;
    for (int p = 0; p < 16; ++p) {
        spacing.append(static_cast<char>(p * 3 - 8));
        spacing.append(static_cast<char>(16 - p * 2));
    }
    const qint64 spacingAt = append(image, at, spacing);
    place(0x25, [&](Code &c) {
        c.pcTable(0x1A3B, spacingAt).mappings(maps[0], 1).art(art(1, 0x25), 1).priority(2, 1);
    });
    place(0x56, [&](Code &c) {
        c.mappings(maps[0]).art(art(1, 0x56, 1)).art(art(1, 0x56, 2)).renderSet(4).priority(3);
    });
    place(0x26, [&](Code &c) {
        c.mappings(maps[0]).art(art(1, 0x26)).renderOr(4).priority(3).frame(0xB);
    });
    place(0x36, [&](Code &c) { c.mappings(maps[0]).art(art(1, 0x36)).renderOr(4).priority(4); });
    place(0x41, [&](Code &c) {
        c.mappings(maps[0]).art(art(1, 0x41, 1)).renderOr(4).priority(4).frame(3);
        c.art(art(1, 0x41, 2));
    });
    QByteArray animalArt, animalMaps;
    for (int i = 0; i < 11; ++i) {
        animalArt += wordBytes(art(1, 0x28) + i);
        animalMaps += wordBytes(maps[0] >> 16) + wordBytes(maps[0] & 0xFFFF);
    }
    const qint64 animalArtAt = append(image, at, animalArt);
    const qint64 animalMapsAt = append(image, at, animalMaps);
    place(0x28, [&](Code &c) {
        c.pcTable(0x317B, animalArtAt, 2).pcTable(0x217B, animalMapsAt, 4).priority(6);
    });
    place(0x46, [&](Code &c) { c.mappings(maps[0]).art(art(1, 0x46)).renderOr(4).priority(3); });
    place(0x5F, [&](Code &c) { c.mappings(maps[0]).art(art(1, 0x5F)).renderOr(4).priority(3); });
    place(0x18, [&](Code &c) {
        c.art(art(1, 0x18)).mappings(maps[0]).mappings(maps[1]).mappings(maps[2]).priority(4);
    });
    place(SceneGenericId,
          [&](Code &c) { c.mappings(maps[0]).art(art(1, SceneGenericId)).frame(2).priority(1); });
    place(SceneTwoMappingsId,
          [&](Code &c) { c.mappings(maps[0]).art(art(1, SceneTwoMappingsId)).mappings(maps[1]); });
    const auto signScript = static_cast<quint32>(append(image, at, signpostScript()));
    place(0x0D, [&](Code &c) {
        c.leaLong(signScript, 1).mappings(maps[0]).art(sceneArt(SceneLateSlot)).renderSet(4);
        c.priority(4);
    });
}

void putSonic2Code(QByteArray &image, qint64 &at, const sprites::SpriteTables &t) {
    QVector<quint32> maps;
    for (int k = 0; k < 3; ++k)
        maps.append(static_cast<quint32>(append(image, at, sceneTable(2, k))));

    // Scenery entries: frame s % SceneFrames, table 0, priority s & 7.
    QByteArray scenery;
    for (int s = 0; s <= 0x14; ++s)
        scenery += wordBytes(quint32(s % SceneFrames) << 8 | maps[0] >> 16) +
                   wordBytes(maps[0] & 0xFFFF) + wordBytes(art(2, 0x1C)) +
                   wordBytes(8u << 8 | quint32(s & 7));
    const qint64 sceneryAt = append(image, at, scenery);

    // The shared loader and its entries: subtype 2k uses table k, flags k & 3, priority 5.
    at += at & 1;
    const qint64 index = at + 16;
    Code loader(at);
    loader.words({0x7000, 0x1028, 0x0028}).pcTable(0x303B, index).rts();
    while (loader.here() < index)
        loader.words({0x4E71}); // nop
    QByteArray entries;
    for (int k = 0; k < SceneSubObjectEntries; ++k) {
        const quint32 offset = 2 * SceneSubObjectEntries + 10 * k;
        loader.words({static_cast<quint16>(offset)});
        entries += wordBytes(maps[k] >> 16) + wordBytes(maps[k] & 0xFFFF) +
                   wordBytes(art(2, 0xA4, k + 1)) + wordBytes(quint32(k & 3) << 8 | 5) +
                   wordBytes(0x1000);
    }
    loader.raw(entries);
    const qint64 loaderAt = append(image, at, loader.bytes());

    const auto place = [&](int id, const std::function<void(Code &)> &init) {
        at += at & 1;
        Code code = objectCode(at);
        init(code);
        code.rts();
        putLong(image, t.objectIndex + 4LL * (id - 1), static_cast<quint32>(at));
        append(image, at, code.bytes());
    };
    place(0x26, [&](Code &c) {
        c.mappings(maps[0]).art(art(2, 0x26)).renderOr(4).priority(3).frame(0xB);
    });
    place(0x36, [&](Code &c) {
        c.mappings(maps[0]).art(art(2, 0x36, 1)).priority(4).art(art(2, 0x36, 2));
    });
    place(0x41, [&](Code &c) {
        c.mappings(maps[0]).art(art(2, 0x41, 1)).priority(4).frame(3).art(art(2, 0x41, 2));
        c.frame(6).frame(7).art(art(2, 0x41, 3)).frame(0xA).art(art(2, 0x41, 3));
        c.mappings(maps[1]);
    });
    place(0x1C, [&](Code &c) { c.lea(sceneryAt); });
    place(0x44, [&](Code &c) { c.mappings(maps[0]).art(art(2, 0x44)).priority(1); });
    place(0xD8, [&](Code &c) { c.mappings(maps[0]).art(art(2, 0xD8)).priority(1); });
    place(0xA4, [&](Code &c) { c.bra(loaderAt); });
    place(SceneSubObjectId, [&](Code &c) { c.bra(loaderAt); });
    place(0x65, [&](Code &c) {
        c.mappings(maps[0]).art(art(2, 0x65, 1)).priority(4).mappings(maps[1]);
        c.art(art(2, 0x65, 2)).mappings(maps[1], 1).art(art(2, 0x65, 2), 1).priority(4, 1);
    });
    place(SceneGenericId,
          [&](Code &c) { c.mappings(maps[0]).art(art(2, SceneGenericId)).frame(2).priority(1); });
    place(SceneTwoMappingsId,
          [&](Code &c) { c.mappings(maps[0]).art(art(2, SceneTwoMappingsId)).mappings(maps[1]); });
    // The two-player signpost's constants come first.
    const auto signScript = static_cast<quint32>(append(image, at, signpostScript()));
    place(0x0D, [&](Code &c) {
        c.leaLong(signScript, 1).mappings(maps[1]).art(art(2, SceneGenericId));
        c.mappings(maps[0]).art(sceneArt(SceneLateSlot)).renderSet(4).priority(4);
    });

    // The ring-drawing code: the ring mappings' address, then the ring art word.
    const qint64 ringMaps =
        append(image, at, mappingTable({{{-8, -8, 2, 2, 0}}}, 2, /*ring=*/true));
    Code rings(at + (at & 1));
    rings.words({0x43F9}).words(
        {static_cast<quint16>(ringMaps >> 16), static_cast<quint16>(ringMaps & 0xFFFF)});
    rings.words({0x3019, 0x0640, 0x26BC}).rts(); // move.w (a1)+,d0; addi.w #$26BC,d0
    append(image, at, rings.bytes());

    QByteArray layout;
    for (const SceneRing &r : sceneRings())
        layout += wordBytes(quint32(r.x)) + wordBytes((r.vertical ? 0x8000u : 0u) |
                                                      quint32(r.count - 1) << 12 | quint32(r.y));
    layout += wordBytes(0xFFFF) + wordBytes(0);
    const qint64 list = t.ringLayouts + 2LL * 2 * 17;
    qint64 listAt = list;
    append(image, listAt, layout);
    for (int i = 0; i < 2 * 17; ++i)
        putWord(image, t.ringLayouts + 2LL * i, static_cast<quint32>(list - t.ringLayouts));
}

} // namespace

Code &Code::raw(const QByteArray &bytes) {
    m_bytes += bytes;
    return *this;
}

Code &Code::words(std::initializer_list<quint16> list) {
    for (quint16 w : list)
        m_bytes += wordBytes(w);
    return *this;
}

Code &Code::mappings(quint32 table, int reg) {
    return words({static_cast<quint16>(0x217C | reg << 9), static_cast<quint16>(table >> 16),
                  static_cast<quint16>(table & 0xFFFF), 0x0004});
}

Code &Code::art(quint16 word, int reg) {
    return words({static_cast<quint16>(0x317C | reg << 9), word, 0x0002});
}

Code &Code::priority(quint8 value, int reg) {
    return words({static_cast<quint16>(0x117C | reg << 9), value, 0x0018});
}

Code &Code::frame(quint8 value, int reg) {
    return words({static_cast<quint16>(0x117C | reg << 9), value, 0x001A});
}

Code &Code::renderSet(quint8 value) {
    return words({0x117C, value, 0x0001});
}

Code &Code::renderOr(quint8 value) {
    return words({0x0028, value, 0x0001});
}

Code &Code::pcTable(quint16 opcode, qint64 table, std::optional<quint16> next) {
    const qint64 index = here() + 2;
    words({opcode, static_cast<quint16>((table - index) & 0xFF)});
    if (next)
        words({*next});
    return *this;
}

Code &Code::lea(qint64 target) {
    return words({0x43FA, static_cast<quint16>((target - here() - 2) & 0xFFFF)});
}

Code &Code::bra(qint64 target) {
    return words({0x6000, static_cast<quint16>((target - here() - 2) & 0xFFFF)});
}

Code &Code::bsr(qint64 target) {
    return words({0x6100, static_cast<quint16>((target - here() - 2) & 0xFFFF)});
}

Code &Code::jsr(qint64 target) {
    return words({0x4EB9, static_cast<quint16>(target >> 16), static_cast<quint16>(target)});
}

Code &Code::leaLong(quint32 target, int reg) {
    return words({static_cast<quint16>(0x41F9 | reg << 9), static_cast<quint16>(target >> 16),
                  static_cast<quint16>(target)});
}

Code &Code::addi(quint16 value) {
    return words({0x0640, value});
}

QByteArray sineRoutine(qint64 at) {
    constexpr int kEntries = 320;
    constexpr double kStep = 6.283185307179586 / 256; // one angle unit: 1/256 turn
    Code code(at);
    // andi.w #$FF,d0; add.w d0,d0; move.w table(pc,d0.w),d0; rts
    code.words({0x0240, 0x00FF, 0xD040, 0x303B, 0x0004, 0x4E75});
    for (int i = 0; i < kEntries; ++i)
        code.words({static_cast<quint16>(qRound(256 * std::sin(i * kStep)))});
    return code.bytes();
}

Code &Code::rts() {
    return words({0x4E75});
}

Code objectCode(qint64 at) {
    Code code(at);
    // moveq #0,d0; move.b $24(a0),d0; move.w Index(pc,d0.w),d1; jmp Index(pc,d1.w); Index: dc.w
    // Init-Index.
    code.words({0x7000, 0x1028, 0x0024, 0x323B, 0x0006, 0x4EFB, 0x1002, 0x0002});
    return code;
}

QByteArray animationScripts(const QVector<int> &firstFrames) {
    QByteArray offsets, scripts;
    for (int frame : firstFrames) {
        offsets += wordBytes(quint32(2 * firstFrames.size() + scripts.size()));
        scripts += wordBytes(0x0100 | quint32(frame & 0xFF)) + wordBytes(0xFF00);
    }
    return offsets + scripts;
}

QByteArray mappingTable(const QVector<QVector<MapPiece>> &frames, int game, bool ring) {
    QByteArray offsets, data;
    const int tableBytes = 2 * static_cast<int>(frames.size());
    for (const QVector<MapPiece> &frame : frames) {
        offsets += wordBytes(static_cast<quint32>(tableBytes + data.size()));
        if (game == 1)
            data.append(static_cast<char>(frame.size()));
        else if (!ring)
            data += wordBytes(static_cast<quint32>(frame.size()));
        for (const MapPiece &p : frame) {
            data.append(static_cast<char>(p.dy));
            data.append(static_cast<char>((p.width - 1) << 2 | (p.height - 1)));
            data += wordBytes(p.tile);
            if (game == 1) {
                data.append(static_cast<char>(p.dx));
            } else {
                data += wordBytes(p.tile); // the two-player tile word
                data += wordBytes(static_cast<quint16>(p.dx));
            }
        }
    }
    return offsets + data;
}

int sceneTilePixel(int tile, int x, int y) {
    if (x == 0 && y == 0)
        return 15;
    return x < 4 ? 1 + tile % 13 : 1 + tile / 13 % 13;
}

quint16 sceneArt(int slot) {
    return static_cast<quint16>((slot % 4) << 13 | (SceneFirstTile + 32 * slot));
}

int sceneSlot(int game, int id, int n) {
    const auto *end = std::end(kSlots);
    const auto *s = std::find_if(std::begin(kSlots), end, [&](const Slot &x) {
        return x.game == game && x.id == id && x.n == n;
    });
    return s == end ? -1 : s->slot;
}

QVector<SceneRing> sceneRings() {
    return {{0x120, 0x160, 3, false}, {0x1C0, 0x100, 2, true}, {0x60, 0x180, 1, false}};
}

qint64 putSprites(QByteArray &image, const map::TerrainTables &terrain,
                  sprites::SpriteTables &tables, qint64 dataAt, int artTiles) {
    qint64 at = dataAt;
    const int game = terrain.game;
    tables.game = game;
    const auto place = [&](qint64 &table, qint64 bytes) {
        if (table < 0) {
            table = append(image, at, QByteArray(static_cast<int>(bytes), '\0'));
        }
        ensure(image, table + bytes);
    };
    const int cues = 0x20;
    place(tables.objectIndex, 4LL * 0xFF);
    // Cues and their lists: keep what the terrain's lists wrote for Sonic 1 (the level art),
    // with room behind the index for the scene's own lists.
    if (tables.artLoadCues < 0 && game == 1)
        tables.artLoadCues = terrain.artLoadCues;
    place(tables.artLoadCues, 2LL * cues + 0x100);
    if (game == 2) {
        place(tables.animalCues, 17);
        place(tables.ringLayouts, 2LL * 2 * 17 + 8LL * (sceneRings().size() + 1));
    }

    const qint64 objectArt =
        append(image, at, nemesisEncode(sceneTiles(SceneFirstTile, SceneFirstTile + artTiles)));
    const qint64 ringArt =
        append(image, at, nemesisEncode(sceneTiles(SceneRingTile, SceneRingTile + 4)));
    QVector<std::pair<qint64, int>> entries = {{objectArt, SceneFirstTile}};
    if (game == 2)
        entries.append({ringArt, SceneRingTile});
    // The lists go behind the index (and behind the terrain's lists), within reach of its word
    // offsets.
    qint64 listAt = tables.artLoadCues + 2LL * cues;
    if (game == 1)
        for (int cue = 0; cue < cues; ++cue) {
            const qint64 list = tables.artLoadCues + wordAt(image, tables.artLoadCues + 2LL * cue);
            listAt = std::max(listAt, list + 2 + 6LL * (wordAt(image, list) + 1));
        }
    const auto putList = [&](const QVector<std::pair<qint64, int>> &list) {
        listAt += listAt & 1;
        const qint64 start = listAt;
        putWord(image, listAt, static_cast<quint32>(list.size() - 1));
        for (int i = 0; i < list.size(); ++i) {
            putLong(image, listAt + 2 + 6LL * i, static_cast<quint32>(list[i].first));
            putWord(image, listAt + 6 + 6LL * i, static_cast<quint32>(list[i].second * 32));
        }
        listAt += 2 + 6LL * list.size();
        return start;
    };
    const qint64 own = putList(entries);
    const qint64 lateArt =
        append(image, at, nemesisEncode(sceneTiles(SceneLateTile, SceneLateTile + SceneFrames)));
    const qint64 late = putList({{lateArt, SceneLateTile}});
    // A longer list that writes other art there first, as other zones' lists do in the game.
    const qint64 longer = putList({{objectArt, SceneLateTile}, {objectArt, SceneFirstTile}});
    if (game == 1) {
        // The Ending's cue holds its level art: the scene's art comes after it.
        QVector<std::pair<qint64, int>> ending;
        const qint64 old = tables.artLoadCues + wordAt(image, tables.artLoadCues + 2LL * 0x1C);
        for (quint32 i = 0; i <= wordAt(image, old); ++i)
            ending.append(
                {qint64(wordAt(image, old + 2 + 6LL * i)) << 16 | wordAt(image, old + 4 + 6LL * i),
                 int(wordAt(image, old + 6 + 6LL * i) / 32)});
        ending += entries;
        const qint64 endingList = putList(ending);
        for (int cue : {0, 1, 2, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B})
            putWord(image, tables.artLoadCues + 2LL * cue,
                    static_cast<quint32>(own - tables.artLoadCues));
        putWord(image, tables.artLoadCues + 2LL * 0x1C,
                static_cast<quint32>(endingList - tables.artLoadCues));
        putSonic1Code(image, at, tables);
    } else {
        for (int cue = 0; cue < cues; ++cue)
            putWord(image, tables.artLoadCues + 2LL * cue,
                    static_cast<quint32>(own - tables.artLoadCues));
        for (int zone = 0; zone < 17; ++zone)
            image[tables.animalCues + zone] = static_cast<char>(cues - 1);
        putSonic2Code(image, at, tables);
    }
    putWord(image, tables.artLoadCues + 2LL * SceneLateCue,
            static_cast<quint32>(late - tables.artLoadCues));
    putWord(image, tables.artLoadCues + 2LL * (SceneLateCue - 1),
            static_cast<quint32>(longer - tables.artLoadCues));
    return std::max(at, listAt);
}

QByteArray demoImage(int game) {
    QByteArray data = image(game);
    const rom::Revision revision = defaultRevision(game);
    sprites::SpriteTables tables = sprites::spriteTables(revision);
    putSprites(data, map::terrainTables(revision), tables, game == 1 ? 0x10000 : 0x20000);
    rom::writeChecksum(data);
    return data;
}

sprites::SpriteTables compactSpriteTables(int game) {
    sprites::SpriteTables t;
    t.game = game;
    t.objectIndex = 0x1000;
    t.artLoadCues = game == 1 ? compactTables(1).artLoadCues : 0x1400;
    if (game == 2) {
        t.animalCues = 0x1540;
        t.ringLayouts = 0x1600;
    }
    return t;
}

QByteArray compactSpriteImage(int game) {
    QByteArray data = compactImage(demoTerrain(game));
    data.resize(0x1800, '\0');
    sprites::SpriteTables tables = compactSpriteTables(game);
    putSprites(data, compactTables(game), tables, data.size(), 16);
    QVector<Record> records;
    const int ids[] = {0x25,
                       0x56,
                       0x26,
                       0x36,
                       0x41,
                       0x28,
                       0x46,
                       0x5F,
                       0x18,
                       0x71,
                       0x03,
                       0x1C,
                       0x44,
                       0x74,
                       0xD8,
                       0xA4,
                       0x65,
                       SceneGenericId,
                       SceneTwoMappingsId,
                       SceneSubObjectId};
    int x = 0x40;
    for (int id : ids) {
        records.append({quint8(x >> 8), quint8(x), 0x01, 0x20, quint8(id), quint8(x & 0xF2)});
        x += 0x28;
    }
    putLayout(data, CompactRecordsAt, records);
    return data;
}

} // namespace synthetic
