#pragma once
// Where each revision keeps the tables the games themselves read to put a level's terrain
// together, and which zone and act each row of the level list stands for.

#include "rom/romimage.h"

namespace map {

// Image offsets of the pointer tables (and the few files the games' code names directly). A
// field the game does not have is -1. The resolver takes these as input, so that tests and fuzz
// targets can lay the same tables out in small images.
struct TerrainTables {
    int game = 0; // 1 or 2; 0 = no tables
    // Sonic 1
    qint64 levelHeaders = -1; // 16 bytes per zone
    qint64 artLoadCues = -1;  // pattern-load-cue index, word offsets
    qint64 levelIndex = -1;   // layout index, 3 words per act, 4 acts per zone
    // Sonic 2
    qint64 levelArtPointers = -1; // 12 bytes per zone
    qint64 offLevel = -1;         // layout index, 1 word per act, 2 acts per zone
    qint64 animPatMaps = -1;      // animated-block mapping index, 1 word per zone
    qint64 htzArt = -1;           // Hill Top's 8x8 supplement (Kosinski)
    qint64 wfzArt = -1;           // Wing Fortress's 8x8 supplement (Kosinski)
    qint64 htzBlocks = -1;        // Hill Top's 16x16 patch (Kosinski)
    // Both
    qint64 palPointers = -1; // 8 bytes per palette id
};

TerrainTables terrainTables(rom::Revision revision);

struct ZoneAct {
    int zone = -1;
    int act = -1;
};

// The zone and act the game loads for `row` (0-20) of game 1 or 2; zone -1 otherwise.
ZoneAct zoneAct(int game, int row);

// Zone ids the resolver treats specially.
namespace sonic1 {
constexpr int Ghz = 0, Lz = 1, Sbz = 5, Ending = 6;
constexpr int EndingPlc = 0x1C;
constexpr int SonicPalette = 3, Sbz3Palette = 0xC, Sbz2Palette = 0xE, EndingPalette = 0x13;
constexpr int GhzSecondPartTile = 0x1CD;
} // namespace sonic1
namespace sonic2 {
constexpr int Wfz = 6, Htz = 7, Hpz = 8, Dez = 0xE;
constexpr int CharacterPalette = 3;
constexpr int HtzArtTile = 0x1FC, HtzArtTiles = 0x37E;
constexpr int WfzArtTile = 0x307, WfzArtTiles = 0x379;
constexpr int DezArtTiles = 0x326;
constexpr int HtzBlocksAt = 0x980;
constexpr int BlockTableBytes = 0x1800;
} // namespace sonic2

} // namespace map
