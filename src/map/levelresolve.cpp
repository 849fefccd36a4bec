// Putting a level's terrain together from the image, following the game's own tables.

#include "art/enigma.h"
#include "art/kosinski.h"
#include "art/nemesis.h"
#include "map/levelterrain.h"
#include "rom/imagebytes.h"

#include <algorithm>
#include <cstring>

namespace map {

namespace {

constexpr qint64 kVideoBytes = 0x10000; // $800 tiles
constexpr qint64 kSonic1BlockBytes = 0x2000;
constexpr qint64 kSonic1ChunkBytes = 0xA400;
// The game's layout memory holds 8 rows of $40 foreground cells (the background beside them).
constexpr int kSonic1MaxColumns = 0x40;
constexpr int kSonic1MaxRows = 8;
constexpr qint64 kSonic2BlockFileBytes = 0x2000; // one zone's file overflows the $1800 table
constexpr qint64 kSonic2ChunkBytes = 0x8000;
constexpr qint64 kSonic2LayoutBytes = 0x1000;
constexpr int kSonic2LayoutRows = 16;
constexpr int kSonic2LayoutStride = 0x100; // foreground in bytes $00-$7F of each row
constexpr int kSonic2LayoutColumns = 0x80;

const QString kOutside = QStringLiteral("The level tables point outside the image");

// Bounds-checked reads; a failed read gives 0 and leaves `ok` false, so that one check at the
// end suffices.
class Reader {
  public:
    explicit Reader(const QByteArray &image) : m_in(image) {}

    bool ok() const { return m_ok; }
    bool inside(qint64 at, qint64 length) const { return m_in.has(at, length); }
    quint32 byte(qint64 at) { return take(m_in.byte(at)); }
    quint32 word(qint64 at) { return take(m_in.word(at)); }
    quint32 longword(qint64 at) { return take(m_in.longword(at)); }
    qint64 pointer(qint64 at) { return take(m_in.pointer(at)); }

  private:
    template <class T> T take(std::optional<T> value) {
        m_ok = m_ok && value.has_value();
        return value.value_or(T(0));
    }

    rom::ImageBytes m_in;
    bool m_ok = true;
};

// The message for a piece whose stream would not decode.
QString damaged(const char *what, const art::Decoded &d) {
    return QStringLiteral("The %1 is damaged (%2)").arg(QLatin1String(what), d.error);
}

// Copies `from` into `into` at byte `at`, growing `into` up to `limit` bytes and dropping the
// rest.
void overlay(QByteArray &into, qint64 at, const QByteArray &from, qint64 limit) {
    const qint64 end = std::min<qint64>(at + from.size(), limit);
    if (end <= at)
        return;
    if (into.size() < end)
        into.resize(end, '\0');
    std::memcpy(into.data() + at, from.constData(), static_cast<size_t>(end - at));
}

// Lines 1-3 from `levelSource` (48 colours), line 0 from `characterSource` (16 colours).
bool readPalette(Reader &in, qint64 characterSource, qint64 levelSource, TerrainData &data) {
    if (!in.inside(characterSource, 32) || !in.inside(levelSource, 96))
        return false;
    const auto colour = [&in](qint64 at) {
        // 0000 BBB0 GGG0 RRR0, each 3-bit component times 36.
        const quint32 w = in.word(at);
        return qRgb(int(w >> 1 & 7) * 36, int(w >> 5 & 7) * 36, int(w >> 9 & 7) * 36);
    };
    for (int i = 0; i < 16; ++i)
        data.colours[i] = colour(characterSource + 2LL * i);
    for (int i = 0; i < 48; ++i)
        data.colours[16 + i] = colour(levelSource + 2LL * i);
    return in.ok();
}

const QString kNoPalette = QStringLiteral("The palette lies outside the image");

// Lines 1-3 are the level palette (three acts use another than their header names); the
// Ending's covers all four lines, and Sonic's goes over line 0 last in every level.
bool sonic1Palette(Reader &in, const TerrainTables &t, ZoneAct level, TerrainData &data) {
    using namespace sonic1;
    const qint64 header = t.levelHeaders + 16LL * level.zone;
    int id = int(in.byte(header + 15));
    qint64 skip = 0;
    if (level.zone == Lz && level.act == 3)
        id = Sbz3Palette;
    else if (level.zone == Sbz && level.act >= 1)
        id = Sbz2Palette;
    else if (level.zone == Ending) {
        id = EndingPalette;
        skip = 32;
    }
    const qint64 levelSource = in.pointer(t.palPointers + 8LL * id) + skip;
    const qint64 sonicSource = in.pointer(t.palPointers + 8LL * SonicPalette);
    return in.ok() && t.levelHeaders >= 0 && t.palPointers >= 0 &&
           readPalette(in, sonicSource, levelSource, data);
}

// Line 0 is the first line of the character palette; lines 1-3 the level palette.
bool sonic2Palette(Reader &in, const TerrainTables &t, ZoneAct level, TerrainData &data) {
    const qint64 entry = t.levelArtPointers + 12LL * level.zone;
    const qint64 characterSource = in.pointer(t.palPointers + 8LL * sonic2::CharacterPalette);
    const qint64 levelSource = in.pointer(t.palPointers + 8LL * in.byte(entry + 8));
    return in.ok() && t.levelArtPointers >= 0 && t.palPointers >= 0 &&
           readPalette(in, characterSource, levelSource, data);
}

// The 8x8 art as the loader sends it to video memory: the zone's file, Hill Top's and Wing
// Fortress's supplements over it, and only as many tiles as the game sends. Empty on success.
QString sonic2Art(const QByteArray &image, const TerrainTables &t, ZoneAct level,
                  TerrainData &data) {
    using namespace sonic2;
    Reader in(image);
    const qint64 entry = t.levelArtPointers + 12LL * level.zone;
    const art::Decoded tiles = art::kosinski(image, in.pointer(entry), kVideoBytes);
    if (t.levelArtPointers < 0 || !in.ok())
        return kOutside;
    if (!tiles.ok())
        return damaged("8x8 art", tiles);
    data.art = tiles.bytes;
    qint64 limit = kVideoBytes;
    const auto supplement = [&](qint64 at, int tile, int sent) {
        art::Decoded more = art::kosinski(image, at, kVideoBytes);
        if (more.ok()) {
            overlay(data.art, qint64(tile) * 32, more.bytes, kVideoBytes);
            limit = qint64(sent) * 32;
        }
        return more;
    };
    if (level.zone == Htz) {
        const art::Decoded more = supplement(t.htzArt, HtzArtTile, HtzArtTiles);
        if (!more.ok())
            return damaged("Hill Top 8x8 art", more);
    } else if (level.zone == Wfz) {
        const art::Decoded more = supplement(t.wfzArt, WfzArtTile, WfzArtTiles);
        if (!more.ok())
            return damaged("Wing Fortress 8x8 art", more);
    } else if (level.zone == Dez) {
        limit = qint64(DezArtTiles) * 32;
    }
    if (data.art.size() > limit)
        data.art.truncate(limit);
    return {};
}

struct Result {
    TerrainData data;
    QString reason;
};

Result fail(const QString &reason) {
    Result r;
    r.reason = reason;
    return r;
}

Result loadSonic1(const QByteArray &image, const TerrainTables &t, ZoneAct level) {
    using namespace sonic1;
    Reader in(image);
    Result r;
    TerrainData &data = r.data;
    data.game = 1;

    const qint64 header = t.levelHeaders + 16LL * level.zone;
    if (!in.inside(header, 16) || t.levelHeaders < 0)
        return fail(kOutside);

    // The level art is what the zone's first pattern-load cue sends first; Green Hill's comes in
    // two parts, and the Ending (no cue in its header) loads its own cue with the same two.
    const int cue = level.zone == Ending ? EndingPlc : int(in.byte(header));
    const qint64 list = t.artLoadCues + in.word(t.artLoadCues + 2LL * cue);
    const int parts = level.zone == Ghz || level.zone == Ending ? 2 : 1;
    const int entries = int(in.word(list)) + 1;
    if (!in.ok() || t.artLoadCues < 0)
        return fail(kOutside);
    if (entries < parts)
        return fail(QStringLiteral("The pattern-load list has no level art"));
    for (int part = 0; part < parts; ++part) {
        const qint64 source = in.pointer(list + 2 + 6LL * part);
        const qint64 tile = in.word(list + 6 + 6LL * part) / 32;
        if (!in.ok())
            return fail(kOutside);
        const art::Decoded tiles = art::nemesis(image, source, kVideoBytes);
        if (!tiles.ok())
            return fail(damaged("8x8 art", tiles));
        overlay(data.art, tile * 32, tiles.bytes, kVideoBytes);
    }

    const art::Decoded blocks = art::enigma(image, in.pointer(header + 4), kSonic1BlockBytes);
    if (!blocks.ok())
        return fail(damaged("16x16 block data", blocks));
    data.blocks = blocks.bytes;
    const art::Decoded chunks = art::kosinski(image, in.pointer(header + 8), kSonic1ChunkBytes);
    if (!chunks.ok())
        return fail(damaged("256x256 chunk data", chunks));
    data.chunks = chunks.bytes;

    const qint64 layout =
        t.levelIndex + in.word(t.levelIndex + 24LL * level.zone + 6LL * level.act);
    const int width = int(in.byte(layout)) + 1;
    const int height = int(in.byte(layout + 1)) + 1;
    if (!in.ok() || t.levelIndex < 0 || !in.inside(layout + 2, qint64(width) * height))
        return fail(kOutside);
    if (width > kSonic1MaxColumns || height > kSonic1MaxRows)
        return fail(QStringLiteral("The layout is larger than the game allows (%1 x %2 chunks)")
                        .arg(width)
                        .arg(height));
    data.columns = width;
    data.rows = height;
    data.cells.resize(qsizetype(width) * height);
    const auto *cells = reinterpret_cast<const uchar *>(image.constData()) + layout + 2;
    for (int i = 0; i < width * height; ++i) {
        // Bit 7 only marks loops for collision; byte 0 draws nothing.
        data.cells[i] = static_cast<qint16>((cells[i] & 0x7F) - 1);
    }

    if (!sonic1Palette(in, t, level, data))
        return fail(kNoPalette);
    return r;
}

Result loadSonic2(const QByteArray &image, const TerrainTables &t, ZoneAct level) {
    using namespace sonic2;
    Reader in(image);
    Result r;
    TerrainData &data = r.data;
    data.game = 2;

    const qint64 entry = t.levelArtPointers + 12LL * level.zone;
    if (t.levelArtPointers < 0 || !in.inside(entry, 12))
        return fail(kOutside);

    const QString artFailure = sonic2Art(image, t, level, data);
    if (!artFailure.isEmpty())
        return fail(artFailure);

    // 16x16 blocks: a table of $300, Hill Top's patch and the animated-block lists over it.
    const art::Decoded blocks = art::kosinski(image, in.pointer(entry + 4), kSonic2BlockFileBytes);
    if (!blocks.ok())
        return fail(damaged("16x16 block data", blocks));
    data.blocks = blocks.bytes;
    data.blocks.resize(BlockTableBytes, '\0');
    if (level.zone == Htz) {
        const art::Decoded patch = art::kosinski(image, t.htzBlocks, BlockTableBytes);
        if (!patch.ok())
            return fail(damaged("Hill Top 16x16 block data", patch));
        overlay(data.blocks, HtzBlocksAt, patch.bytes, BlockTableBytes);
    }
    if (t.animPatMaps >= 0) {
        const qint64 list = t.animPatMaps + in.word(t.animPatMaps + 2LL * level.zone);
        const qint64 destination = in.word(list);
        if (!in.ok())
            return fail(kOutside);
        if (destination != 0) { // the game skips a list whose destination is 0
            const qint64 words = qint64(in.word(list + 2)) + 1;
            if (!in.ok() || !in.inside(list + 4, 2 * words))
                return fail(QStringLiteral("The animated-block list lies outside the image"));
            overlay(data.blocks, destination, image.mid(list + 4, 2 * words), BlockTableBytes);
        }
    }

    const art::Decoded chunks = art::kosinski(image, in.pointer(entry + 8), kSonic2ChunkBytes);
    if (!chunks.ok())
        return fail(damaged("128x128 chunk data", chunks));
    data.chunks = chunks.bytes;

    const qint64 layoutAt = t.offLevel + in.word(t.offLevel + 2LL * (2 * level.zone + level.act));
    if (!in.ok() || t.offLevel < 0)
        return fail(kOutside);
    const art::Decoded layout = art::kosinski(image, layoutAt, kSonic2LayoutBytes);
    if (!layout.ok())
        return fail(damaged("layout", layout));
    QByteArray cells = layout.bytes;
    cells.resize(kSonic2LayoutBytes, '\0');
    // No size header: the extent reaches the last column and row holding a non-zero chunk id.
    int width = 0;
    int height = 0;
    for (int y = 0; y < kSonic2LayoutRows; ++y)
        for (int x = 0; x < kSonic2LayoutColumns; ++x)
            if (cells.at(y * kSonic2LayoutStride + x) != 0) {
                width = std::max(width, x + 1);
                height = y + 1;
            }
    if (width == 0)
        return fail(QStringLiteral("The layout is empty"));
    data.columns = width;
    data.rows = height;
    data.cells.resize(qsizetype(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            data.cells[y * width + x] =
                static_cast<qint16>(static_cast<quint8>(cells.at(y * kSonic2LayoutStride + x)));

    if (!sonic2Palette(in, t, level, data))
        return fail(kNoPalette);
    return r;
}

} // namespace

LevelArt levelArt(const QByteArray &image, const TerrainTables &tables, int row, bool withArt) {
    LevelArt out;
    const ZoneAct level = zoneAct(tables.game, row);
    if (level.zone < 0)
        return out;
    Reader in(image);
    TerrainData data;
    if (tables.game == 1) {
        out.ok = sonic1Palette(in, tables, level, data);
    } else {
        out.ok = (!withArt || sonic2Art(image, tables, level, data).isEmpty()) &&
                 sonic2Palette(in, tables, level, data);
        out.art = std::move(data.art);
    }
    out.colours = data.colours;
    return out;
}

QByteArray levelArtKey(const QByteArray &image, const TerrainTables &tables, int row) {
    using namespace sonic2;
    const ZoneAct level = zoneAct(tables.game, row);
    if (tables.game != 2 || level.zone < 0)
        return {};
    Reader in(image);
    const qint64 source = in.pointer(tables.levelArtPointers + 12LL * level.zone);
    if (tables.levelArtPointers < 0 || !in.ok())
        return QByteArrayLiteral("outside");
    // Only these zones add a supplement to their file or cut it short.
    const bool own = level.zone == Htz || level.zone == Wfz || level.zone == Dez;
    return QByteArray::number(source) + ':' + QByteArray::number(own ? level.zone : -1);
}

LevelTerrain LevelTerrain::load(const QByteArray &image, rom::Revision revision, int row) {
    if (rom::gameCode(revision) == 0)
        return failed(QStringLiteral("Not a recognised image"));
    return load(image, terrainTables(revision), row);
}

LevelTerrain LevelTerrain::load(const QByteArray &image, const TerrainTables &tables, int row) {
    const ZoneAct level = zoneAct(tables.game, row);
    if (tables.game != 1 && tables.game != 2)
        return failed(QStringLiteral("Not a recognised image"));
    if (level.zone < 0)
        return failed(QStringLiteral("Row %1 is not a level").arg(row));
    if (tables.game == 2 && level.zone == sonic2::Hpz)
        return failed(QStringLiteral("Hidden Palace has no terrain in the released images"));
    Result r =
        tables.game == 1 ? loadSonic1(image, tables, level) : loadSonic2(image, tables, level);
    if (!r.reason.isEmpty())
        return failed(r.reason);
    return fromData(std::move(r.data));
}

} // namespace map
