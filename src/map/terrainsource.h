#pragma once
// What the map window draws: a level's terrain as a grid of chunk pictures, and its objects.
// The window only reads through this interface, so it never depends on how a level is decoded.

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

namespace map {

class TerrainSource {
  public:
    virtual ~TerrainSource() = default;

    // False when the level cannot be drawn; reason() then says why in a short phrase.
    virtual bool hasTerrain() const = 0;
    virtual QString reason() const = 0;
    // The level's extent in level pixels.
    virtual QSize size() const = 0;
    // Side of one chunk in level pixels (the layout's cell).
    virtual int chunkSize() const = 0;
    virtual int columns() const = 0;
    virtual int rows() const = 0;
    // The chunk drawn in a layout cell, or -1 for none.
    virtual int chunkAt(int column, int row) const = 0;
    // One chunk, chunkSize() square, transparent where nothing is drawn. The map renders a
    // level's chunks ahead on several threads at once, each asking for a different chunk.
    virtual QImage chunkImage(int chunk) const = 0;
};

// One listed object record: where it stands in the image and in the level, and its list line.
struct MapObject {
    qint64 offset = -1;
    int x = 0;
    int y = 0; // position bits only (flags masked off)
    QString line;
    QString name{}; // what the object is, e.g. "Crabmeat (1F)"; empty when unknown
    // Its sprite as the game draws it, premultiplied ARGB with its top-left pixel at `spriteAt`
    // (level pixels); null when a marker stands for the object. Priority 0 is in front, 7 at the
    // back.
    QImage sprite{};
    QPoint spriteAt{};
    int priority = 0;
};

} // namespace map
