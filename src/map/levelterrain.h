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
// sprite art lists). `ok` is false when the palette (or Sonic 2's art) cannot be read. Without
// `withArt`, only the palette.
struct LevelArt {
    QByteArray art;
    std::array<QRgb, 64> colours{};
    bool ok = false;
};
LevelArt levelArt(const QByteArray &image, const TerrainTables &tables, int row,
                  bool withArt = true);
// What the Sonic 2 level art of `row` is built from: rows with equal keys have the same art.
QByteArray levelArtKey(const QByteArray &image, const TerrainTables &tables, int row);

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
    // once and kept (different chunks may be rendered on different threads at once); a chunk past
    // the decoded table draws as all-zero chunk words. Null for a chunk id the layout cannot hold.
    QImage chunkImage(int chunk) const;
    // The same chunk as palette indices (Format_Indexed8): palette line * 16 + pixel value, so
    // an index that is a multiple of 16 is clear. Rendered once and kept; null as chunkImage().
    QImage chunkIndices(int chunk) const;
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

// The colour table of the export picture: the level's 64 palette colours at their own indices
// (line * 16 + value, so that a drawn pixel is its index), then these three: the backdrop
// (64, 64, 64), black and white.
enum PictureIndex : uchar { BackdropIndex = 64, MarkerBorderIndex = 65, MarkerInsideIndex = 66 };

// The export picture: 1 level pixel per image pixel, 8-bit indexed with the colour table above,
// backdrop where nothing is drawn, then a 5x5 marker (black border, white inside) per object in
// order, clipped. Null without terrain (or memory).
QImage levelPicture(const LevelTerrain &terrain, const QVector<ObjectMarker> &markers);

} // namespace map
