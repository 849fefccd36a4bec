#pragma once
// Terrain for synthetic images: the decoded pieces of a small level, and a writer that lays the
// games' own tables out so that every row of the game resolves to them.

#include "map/terraintables.h"

#include <QByteArray>

#include <array>

namespace synthetic {

// A level's pieces before compression, the way the level loader hands them to video memory.
struct TerrainPieces {
    int game = 0;                      // 1 or 2
    QByteArray tiles;                  // 8x8 art from tile 0, 32 bytes per tile
    QByteArray blocks;                 // 16x16 blocks, 8 bytes each
    QByteArray chunks;                 // Sonic 1: $200 bytes per chunk; Sonic 2: $80
    QByteArray layout;                 // Sonic 1: width-1, height-1, cells; Sonic 2: $1000 bytes
    std::array<quint16, 64> palette{}; // line 0 the character's, lines 1-3 the level's
};

// A small hilly level with slopes, a floating island, a platform and some decoration, using all
// four palette lines and both kinds of flip.
TerrainPieces demoTerrain(int game);

// Where the writer puts its tables in a small image: right behind the header.
map::TerrainTables compactTables(int game);

// Writes the tables at `tables`' offsets and the compressed pieces from `dataAt` on (growing the
// image when they do not fit), so that every row of the game resolves to `source`. The files the
// game's code names directly (Sonic 2's Hill Top and Wing Fortress supplements) go to their
// fixed offsets, or into the data run where `tables` leaves them at -1 (and `tables` is updated).
// Returns the offset just past the data.
qint64 putTerrain(QByteArray &image, map::TerrainTables &tables, const TerrainPieces &source,
                  qint64 dataAt);

// A small image holding only `source` through compactTables() (and no header or objects).
QByteArray compactImage(const TerrainPieces &source);

// Where the synthetic images of each game keep their terrain data.
constexpr qint64 Sonic1TerrainAt = 0x40000;
constexpr qint64 Sonic2TerrainAt = 0x50000;

} // namespace synthetic
