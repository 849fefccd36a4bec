#pragma once
// A level's foreground terrain put together from an image the way the game loads it, and the
// picture the map export writes.

#include "map/terraintables.h"
#include "rom/romimage.h"

#include <QByteArray>
#include <QImage>
#include <QRgb>
#include <QSize>
#include <QString>
#include <QTextStream>
#include <QVector>

#include <array>
#include <memory>

namespace map {

struct ObjectMarker {
    qint64 offset; // the record's image offset
    int x;
    int y; // already & 0x0FFF
};

// The decoded pieces a level is drawn from, as the game holds them in video memory and RAM.
struct TerrainData {
    int game = 0;                   // 1 or 2
    QByteArray art;                 // 8x8 tiles from tile 0, 32 bytes each; only the loaded ones
    QByteArray blocks;              // 16x16 blocks, 4 nametable words each
    QByteArray chunks;              // Sonic 1 256x256 ($200 bytes each), Sonic 2 128x128 ($80)
    int columns = 0;                // layout cells inside the extent
    int rows = 0;                   //
    QVector<qint16> cells;          // chunk per cell, row-major; -1 = nothing drawn
    std::array<QRgb, 64> colours{}; // the four palette lines, opaque
};

// What object sprites share with the terrain: the row's four palette lines and, for Sonic 2, the
// 8x8 level art as the loader sends it to video memory from tile 0 (Sonic 1's comes with the
// sprite art lists). `ok` is false when the palette (or Sonic 2's art) cannot be read.
struct LevelArt {
    QByteArray art;
    std::array<QRgb, 64> colours{};
    bool ok = false;
};
LevelArt levelArt(const QByteArray &image, const TerrainTables &tables, int row);

class LevelTerrain {
  public:
    // Follows the revision's own tables to the terrain of `row` (0-20). Never throws; anything
    // missing or malformed gives a terrain without hasTerrain() and with a reason.
    static LevelTerrain load(const QByteArray &image, rom::Revision revision, int row);
    // The same with the tables at the given offsets.
    static LevelTerrain load(const QByteArray &image, const TerrainTables &tables, int row);
    // Drawing straight from decoded pieces (cells and colours as given).
    static LevelTerrain fromData(TerrainData data);

    bool hasTerrain() const;
    QString reason() const; // why there is no terrain; empty when there is
    QSize size() const;     // level extent in pixels; empty without terrain
    int chunkSize() const;  // 256 (Sonic 1) or 128 (Sonic 2); 0 without terrain
    int columns() const;
    int rows() const;
    int chunkAt(int column, int row) const; // -1 = nothing drawn (or outside the layout)
    // chunkSize x chunkSize, premultiplied ARGB, transparent where the pixel value is 0. Rendered
    // once and kept; a chunk past the decoded table draws as all-zero chunk words. Null for a
    // chunk id the layout cannot hold.
    QImage chunkImage(int chunk) const;
    // True when chunkImage(chunk) has no opaque pixel (so drawing may skip it).
    bool chunkEmpty(int chunk) const;

    const TerrainData &data() const;

  private:
    struct Cache;
    static LevelTerrain failed(const QString &reason);

    TerrainData m_data;
    QString m_reason;
    std::shared_ptr<Cache> m_cache;
};

// The object records of the layout at `layoutStart`, in layout order, up to its end record (or
// the listing bound, as the object list stops).
QVector<ObjectMarker> objectMarkers(const QByteArray &image, qint64 layoutStart);

// The export picture: 1 level pixel per image pixel, RGB888, backdrop 64,64,64 where nothing is
// drawn, then a 5x5 marker (black border, white inside) per object in order, clipped. Null
// without terrain.
QImage levelPicture(const LevelTerrain &terrain, const QVector<ObjectMarker> &markers);

// The same picture drawn into rows of 3 bytes per pixel (R, G, B): `pixels` is the first pixel
// of the top row, `stride` the bytes from one row to the next; the rows must hold size().
void drawLevelPicture(const LevelTerrain &terrain, const QVector<ObjectMarker> &markers,
                      uchar *pixels, qsizetype stride);

// `quillet --export-map IMAGE ROW OUT.png`: 0 and silence on success; one line on `err` and a
// non-zero code for an unreadable or unrecognised image, a row outside 0-20, a level without
// terrain or an output that cannot be written.
int exportMap(const QString &imagePath, const QString &rowText, const QString &outPath,
              QTextStream &err);

// When the command line asks for an export (`--export-map` as the first argument), runs it
// without any window and stores the exit code in `code`; false when it asks for something else.
bool runExportCommand(int argc, char **argv, int &code);

} // namespace map
