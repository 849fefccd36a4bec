#pragma once
// What each object record of a level looks like in the game: its sprite drawn from the image's
// own code, mappings and art, or a marker where no sprite is known, or nothing where the game
// itself never shows the object. Sonic 2's rings, which are not records, come with the level.

#include "map/terraintables.h"
#include "rom/romimage.h"
#include "sprites/spritetables.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QVector>

#include <memory>

namespace sprites {

enum class Look {
    Sprite, // drawn as the game draws it
    Marker, // no sprite known: the map shows its 5x5 marker
    Hidden  // the game never shows it (path swappers, invisible walls): the map shows its marker
};

// One record's appearance on the map, composed of all its sprites in the game's order.
struct Appearance {
    Look look = Look::Marker;
    QImage picture;   // premultiplied ARGB, transparent where nothing is drawn; null unless Sprite
    QPoint topLeft;   // level position of the picture's top-left pixel
    int priority = 0; // 0 (front) to 7 (back); equal priority: the earlier record is in front
    // The same picture as palette indices (Format_Indexed8, line x 16 + colour, 0 where nothing
    // is drawn; its colour table gives `picture`'s colours). Null unless Sprite.
    QImage indices;
};

// One record of a Sonic 2 ring layout: `count` rings from (x, y), 24 pixels apart.
struct RingRecord {
    int x = 0;
    int y = 0;
    int count = 1;
    bool vertical = false;
};

class LevelSprites {
  public:
    // Decodes once what the row's sprites are drawn from (video memory, palette, code tables).
    // Never throws; an image it cannot read gives markers for every record.
    static std::shared_ptr<const LevelSprites> load(const QByteArray &image, rom::Revision revision,
                                                    int row);
    // The same with the tables at the given offsets (small images in tests and fuzz targets).
    static std::shared_ptr<const LevelSprites> load(const QByteArray &image,
                                                    const map::TerrainTables &terrain,
                                                    const SpriteTables &tables, int row);
    // Every row (0-20) of one image, sharing the decoding they have in common.
    static QVector<std::shared_ptr<const LevelSprites>>
    loadAll(const QByteArray &image, const map::TerrainTables &terrain, const SpriteTables &tables);
    virtual ~LevelSprites() = default;

    // The appearance of the 6-byte record at `offset` of `image` (the image the level was
    // loaded from, possibly edited since: the record's own bytes are read each time).
    virtual Appearance record(const QByteArray &image, qint64 offset) const = 0;
    // Sonic 2: every ring of the row's ring layout, in front of all objects; empty otherwise.
    virtual QVector<Appearance> rings() const = 0;
    // Sonic 2: the ring layout's records, in layout order; empty otherwise.
    virtual QVector<RingRecord> ringRecords() const { return {}; }
};

} // namespace sprites
