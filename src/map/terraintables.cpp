#include "map/terraintables.h"

#include <array>

namespace map {

namespace {

constexpr std::array<ZoneAct, 21> kSonic1Rows = {
    {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}, {1, 3}, // the game's "Scrap Brain 3"
     {2, 0}, {2, 1}, {2, 2}, {3, 0}, {3, 1}, {3, 2}, {4, 0},
     {4, 1}, {4, 2}, {5, 0}, {5, 1}, {5, 2}, // Final Zone
     {6, 0}, {6, 1}}};

constexpr std::array<ZoneAct, 21> kSonic2Rows = {
    {{0, 0},   {0, 1},   {4, 0},   {4, 1},   {5, 0},   {6, 0},   {7, 0},
     {7, 1},   {8, 0},   {0xA, 0}, {0xA, 1}, {0xB, 0}, {0xB, 1}, {0xC, 0},
     {0xC, 1}, {0xD, 0}, {0xD, 1}, {0xE, 0}, {0xF, 0}, {0xF, 1}, {0x10, 0}}};

} // namespace

TerrainTables terrainTables(rom::Revision revision) {
    TerrainTables t;
    const auto r = size_t(rom::releaseOf(revision));
    t.game = rom::gameCode(revision);
    if (t.game == 1) {
        t.levelHeaders = std::array<qint64, 2>{0x1D5A2, 0x1DD16}[r];
        t.artLoadCues = std::array<qint64, 2>{0x1D612, 0x1DD86}[r];
        t.levelIndex = std::array<qint64, 2>{0x68BD6, 0x68B96}[r];
        t.palPointers = std::array<qint64, 2>{0x02168, 0x02160}[r];
    } else if (t.game == 2) {
        t.levelArtPointers = std::array<qint64, 3>{0x42584, 0x42594, 0x423C2}[r];
        t.palPointers = std::array<qint64, 3>{0x02776, 0x02782, 0x02778}[r];
        t.animPatMaps = std::array<qint64, 3>{0x40340, 0x40350, 0x40180}[r];
        t.offLevel = 0x45A80;
        t.htzArt = 0x98AB4;
        t.wfzArt = 0xC7EC4;
        t.htzBlocks = 0x985A4;
    }
    return t;
}

ZoneAct zoneAct(int game, int row) {
    if (row < 0 || row >= 21 || (game != 1 && game != 2))
        return {};
    return game == 1 ? kSonic1Rows[row] : kSonic2Rows[row];
}

} // namespace map
