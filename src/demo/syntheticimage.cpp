#include "demo/syntheticimage.h"

#include "demo/bytewriting.h"
#include "demo/syntheticterrain.h"
#include "levels/leveltables.h"
#include "rom/checksum.h"
#include "rom/romimage.h"

#include <algorithm>

namespace synthetic {

namespace {

using namespace bytes;

// Records between a layout's start and the next layout, which starts right after this
// layout's end record; the last layout of each game gets a modest size of its own.
int recordCount(rom::Revision revision, int row) {
    const LevelAddressTable table = fixedAddresses(revision);
    for (int next = row + 1; next < LevelCount; ++next)
        if (table[next] != table[row])
            return static_cast<int>((table[next] - table[row]) / 6 - 1);
    return 37;
}

// The first row that reads the same layout as `row`.
int firstRowSharing(rom::Revision revision, int row) {
    const LevelAddressTable table = fixedAddresses(revision);
    int first = row;
    while (first > 0 && table[first - 1] == table[row])
        --first;
    return first;
}

// A small deterministic generator, so every image is the same from run to run.
struct Lcg {
    quint32 state;
    quint32 next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    quint32 below(quint32 n) { return next() % n; }
};

const Record kSonic1Kinds[] = {
    {0, 0, 0, 0, 0x25, 0x12}, {0, 0, 0, 0, 0x1F, 0x05}, {0, 0, 0, 0, 0x11, 0x80},
    {0, 0, 0, 0, 0xA6, 0x03}, {0, 0, 0, 0, 0xBC, 0x01}, {0, 0, 0, 0, 0x36, 0x40},
    {0, 0, 0, 0, 0x41, 0x02}, {0, 0, 0, 0, 0x9A, 0x02}, {0, 0, 0, 0, 0xC0, 0x00},
    {0, 0, 0, 0, 0x22, 0x00}, {0, 0, 0, 0, 0xA5, 0x41}, {0, 0, 0, 0, 0x8C, 0xF0}};
const Record kSonic2Kinds[] = {
    {0, 0, 0, 0, 0x15, 0x20}, {0, 0, 0, 0, 0x0B, 0x00}, {0, 0, 0, 0, 0x06, 0x00},
    {0, 0, 0, 0, 0x26, 0x00}, {0, 0, 0, 0, 0x14, 0x00}, {0, 0, 0, 0, 0x9C, 0x81},
    {0, 0, 0, 0, 0x0E, 0x00}, {0, 0, 0, 0, 0x36, 0x10}, {0, 0, 0, 0, 0xA4, 0x00}};

} // namespace

void putLayout(QByteArray &image, qint64 offset, const QVector<Record> &records) {
    qint64 at = offset;
    for (const Record &r : records) {
        std::copy(r.begin(), r.end(), image.begin() + at);
        at += 6;
    }
    std::copy(EndRecord.begin(), EndRecord.end(), image.begin() + at);
}

void pointRow(QByteArray &image, int game, int row, qint64 offset) {
    putWord(image, objectTableEntry(game, row), static_cast<quint32>(offset - objectTableAt(game)));
}

rom::Revision defaultRevision(int game) {
    return game == 1 ? rom::Revision::Sonic1Rev0 : rom::Revision::Sonic2Rev1;
}

QByteArray blankImage(int game) {
    QByteArray data(game == 2 ? Sonic2Size : Sonic1Size, '\0');
    if (game == 1) {
        data[rom::Sonic1SigA] = char(0xB9);
        data[rom::Sonic1SigB] = char(0x12);
    } else if (game == 2) {
        data[rom::Sonic2SigA] = char(0xCC);
        data[rom::Sonic2SigB] = char(0x01);
    }
    return data;
}

QByteArray blankImage(rom::Revision revision) {
    const int game = rom::gameCode(revision);
    QByteArray data(game == 2 ? Sonic2Size : Sonic1Size, '\0');
    const QByteArray serial = rom::revisionSerial(revision);
    std::copy(serial.begin(), serial.end(), data.begin() + rom::SerialAt);
    putLong(data, rom::RomEndAt, static_cast<quint32>(data.size() - 1));
    if (revision == rom::Revision::Sonic1Rev0) {
        data[rom::Sonic1SigA] = char(0xB9);
        data[rom::Sonic1SigB] = char(0x12);
    } else if (revision == rom::Revision::Sonic2Rev1) {
        data[rom::Sonic2SigA] = char(0xCC);
        data[rom::Sonic2SigB] = char(0x01);
    }
    return data;
}

QVector<Record> levelRecords(int game, int row) {
    return levelRecords(defaultRevision(game), row);
}

QVector<Record> levelRecords(rom::Revision revision, int row) {
    const int game = rom::gameCode(revision);
    row = firstRowSharing(revision, row);
    const int count = std::max(recordCount(revision, row), 0);
    Lcg rng{static_cast<quint32>(game * 1000 + row * 7 + 1)};
    QVector<Record> records;
    records.reserve(count);
    int x = 0x30;
    for (int i = 0; i < count; ++i) {
        Record r = game == 1 ? kSonic1Kinds[rng.below(std::size(kSonic1Kinds))]
                             : kSonic2Kinds[rng.below(std::size(kSonic2Kinds))];
        if (i == 0) // every level opens with the player's start
            r = {0, 0, 0, 0, 0x01, 0x00};
        int y = 0x80 + static_cast<int>(rng.below(0x600));
        if (i % 5 == 3)
            y |= 0x8000; // the games keep flags in the top bits of Y
        if (i % 11 == 6)
            y |= 0x4000;
        int xWord = x;
        if (i % 17 == 9)
            xWord = 0xFF00 | static_cast<int>(rng.below(0xFF)); // FFxx does not end a layout
        if (i % 19 == 12)
            xWord = (x & 0xFF00) | 0xFF; // nor does xxFF
        r[0] = static_cast<quint8>(xWord >> 8);
        r[1] = static_cast<quint8>(xWord);
        r[2] = static_cast<quint8>(y >> 8);
        r[3] = static_cast<quint8>(y);
        records.append(r);
        x = std::min(x + 0x10 + static_cast<int>(rng.below(0x180)), 0x7F00);
    }
    return records;
}

Record recordAt(const QByteArray &image, qint64 offset) {
    Record r{};
    for (int i = 0; i < 6; ++i)
        r[i] = static_cast<quint8>(image.at(offset + i));
    return r;
}

QByteArray image(int game) {
    return image(defaultRevision(game));
}

QByteArray image(rom::Revision revision, const ImageOptions &options) {
    const int game = rom::gameCode(revision);
    QByteArray data = blankImage(revision);
    const LevelAddressTable table = fixedAddresses(revision);
    // The layout before the first one ends just in front of it, as in the games.
    std::copy(EndRecord.begin(), EndRecord.end(), data.begin() + table[0] - 6);
    qint64 end = 0;
    for (int row = 0; row < LevelCount; ++row) {
        const QVector<Record> records = levelRecords(revision, row);
        putLayout(data, table[row], records);
        end = std::max(end, table[row] + 6 * (records.size() + 1));
    }
    // Every entry of the game's table that no row reads points at an empty list behind the
    // last layout, as the games' unused entries do.
    const qint64 tableAt = objectTableAt(game);
    // Sonic 1: 7 zones of 4 acts, two words each; Sonic 2: 17 zones of 2 acts, one word each.
    const qint64 tableEnd = tableAt + (game == 1 ? qint64(7) * 16 : qint64(17) * 4);
    std::copy(EndRecord.begin(), EndRecord.end(), data.begin() + end);
    for (qint64 at = tableAt; at < tableEnd; at += 2)
        putWord(data, at, static_cast<quint32>(end - tableAt));
    for (int row = 0; row < LevelCount; ++row)
        pointRow(data, game, row, table[row]);
    shapeLayoutArea(data, revision, end + 6);
    map::TerrainTables terrain = map::terrainTables(revision);
    putTerrain(data, terrain, demoTerrain(game), game == 1 ? Sonic1TerrainAt : Sonic2TerrainAt);
    rom::writeChecksum(data);
    if (options.spoilChecksum)
        data[rom::ChecksumAt] = static_cast<char>(data[rom::ChecksumAt] ^ 0x5A);
    return data;
}

} // namespace synthetic

namespace synthetic {

qint64 movedLayoutsAt(int game) {
    return game == 1 ? 0x72000 : 0xEC800;
}

QByteArray movedLayoutsImage(rom::Revision revision, const QVector<int> &rows) {
    const int game = rom::gameCode(revision);
    QByteArray data = image(revision);
    qint64 at = movedLayoutsAt(game);
    putLayout(data, at - 6, {});
    for (int row : rows) {
        QVector<Record> records = levelRecords(revision, row);
        std::reverse(records.begin(), records.end());
        putLayout(data, at, records);
        pointRow(data, game, row, at);
        at += 6 * (records.size() + 1);
    }
    rom::writeChecksum(data);
    return data;
}

} // namespace synthetic

// ---------------------------------------------------------------------------------------------
// The rest of the layout area, shaped like the games': shared lists, Sonic 1's conveyor-platform
// lists, Sonic 2's ring layouts, and the free space around them with each game's filler.

namespace synthetic {

namespace {

// Sonic 1 table entries (zone * 4 + act) whose list another entry's is.
struct SharedEntry {
    qint64 entry, sameAs;
};
constexpr SharedEntry kSonic1Shared[] = {{3, 0},   {11, 8},  {15, 12}, {19, 16},
                                         {23, 20}, {26, 24}, {27, 24}};

} // namespace

qint64 ringTableAt() {
    return 0xE4300;
}

qint64 ringLayoutsEnd() {
    return 0xE66D8;
}

qint64 freeBeforeTable(rom::Revision revision) {
    return revision == rom::Revision::Sonic1Rev1 ? 0x6AF24 : 0x6AF64;
}

void shapeLayoutArea(QByteArray &image, rom::Revision revision, qint64 areaEnd) {
    const int game = rom::gameCode(revision);
    const qint64 table = objectTableAt(game);
    if (game == 2) {
        // Metropolis 3 is both acts of its zone.
        const qint64 metropolis3 = objectTableEntry(2, 4);
        putWord(image, metropolis3 + 2,
                quint8(image[metropolis3]) << 8 | quint8(image[metropolis3 + 1]));
        // Three end records that close no list follow the last one, as in the game.
        for (qint64 i = 0; i < 3; ++i)
            std::copy(EndRecord.begin(), EndRecord.end(), image.begin() + areaEnd + 6 * i);
        // 34 ring lists back to back behind their table, filling it up to where the real ones end.
        const qint64 rings = ringTableAt();
        const qint64 lists = 34;
        const int total = int((ringLayoutsEnd() - rings - 4 * lists) / 4);
        qint64 at = rings + 2 * lists;
        Lcg rng{77};
        for (qint64 i = 0; i < lists; ++i) {
            putWord(image, rings + 2 * i, static_cast<quint32>(at - rings));
            const int count = int(total / lists + (i < total % lists ? 1 : 0));
            for (int n = 0; n < count; ++n, at += 4) {
                putWord(image, at, 0x40 + n * 0x60 + rng.below(0x20));
                putWord(image, at + 2, rng.below(8) << 12 | (0x100 + rng.below(0x500)));
            }
            putWord(image, at, 0xFFFF);
            at += 2;
        }
        return;
    }
    for (const SharedEntry &s : kSonic1Shared)
        putWord(image, table + 4 * s.entry,
                quint8(image[table + 4 * s.sameAs]) << 8 | quint8(image[table + 4 * s.sameAs + 1]));
    // Conveyor-platform lists behind the object lists: a count less one, then X, Y and subtype
    // words. Labyrinth's eight words share two lists, Scrap Brain's three.
    qint64 at = areaEnd;
    QVector<qint64> lists;
    for (int i = 0; i < 5; ++i) {
        lists.append(at);
        const int count = 3 + i;
        putWord(image, at, count - 1);
        at += 2;
        for (int n = 0; n < count; ++n, at += 6) {
            putWord(image, at, 0x1000 + 0x80 * n + 0x400 * i);
            putWord(image, at + 2, 0x200 + 0x40 * n);
            putWord(image, at + 4, n % 4);
        }
    }
    for (qint64 w = 0; w < 16; ++w)
        putWord(image, table + 0x70 + 2 * w,
                static_cast<quint32>(lists[w < 8 ? w % 2 : 2 + w % 3] - table));
    std::fill(image.begin() + at, image.begin() + 0x71990, '\xFF');
    std::fill(image.begin() + freeBeforeTable(revision), image.begin() + table, '\xFF');
}

} // namespace synthetic
