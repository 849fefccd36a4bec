#pragma once
// The sprite layer of a level picture: every record's sprites and the rings, in the game's order
// (rings in front, then objects by priority, the earlier record in front at equal priority).

#include "map/levelterrain.h"
#include "sprites/levelsprites.h"
#include "sprites/mappings.h"

#include <QByteArray>
#include <QVector>

namespace sprites {

struct SpriteLayer {
    QVector<Appearance> records; // one per record, in layout order
    QVector<Appearance> rings;
};

SpriteLayer spriteLayer(const LevelSprites &sprites, const QByteArray &image,
                        const QVector<qint64> &records);

// Paints the layer back to front as palette indices, each opaque pixel replacing what is there,
// clipped to the canvas.
void paintSpriteLayer(const SpriteLayer &layer, const IndexCanvas &canvas);

// The export picture with sprites: the terrain, a marker for each record without sprites, then
// the sprites over both (the colour table and size of map::levelPicture()). Null without
// terrain.
QImage levelPicture(const map::LevelTerrain &terrain, const LevelSprites &sprites,
                    const QByteArray &image, const QVector<map::ObjectMarker> &records);

} // namespace sprites
