#include "sprites/spritelayer.h"

#include <algorithm>
#include <numeric>

namespace sprites {

namespace {

void paint(const Appearance &a, const IndexCanvas &canvas) {
    const QRect area = QRect(a.topLeft, a.indices.size()) & canvas.area;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar *from = a.indices.constScanLine(y - a.topLeft.y());
        uchar *to = canvas.pixels + qsizetype(y - canvas.area.top()) * canvas.stride;
        for (int x = area.left(); x <= area.right(); ++x)
            if (const uchar v = from[x - a.topLeft.x()]; v != 0)
                to[x - canvas.area.left()] = v;
    }
}

} // namespace

SpriteLayer spriteLayer(const LevelSprites &sprites, const QByteArray &image,
                        const QVector<qint64> &records) {
    SpriteLayer layer;
    layer.records.reserve(records.size());
    for (qint64 offset : records)
        layer.records.append(sprites.record(image, offset));
    layer.rings = sprites.rings();
    return layer;
}

void paintSpriteLayer(const SpriteLayer &layer, const IndexCanvas &canvas) {
    // Front to back: by priority, then record order; painted from the back.
    QVector<int> order(layer.records.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return layer.records.at(a).priority < layer.records.at(b).priority;
    });
    for (auto i = order.crbegin(); i != order.crend(); ++i)
        if (layer.records.at(*i).look == Look::Sprite)
            paint(layer.records.at(*i), canvas);
    for (auto r = layer.rings.crbegin(); r != layer.rings.crend(); ++r)
        paint(*r, canvas);
}

QImage levelPicture(const map::LevelTerrain &terrain, const LevelSprites &sprites,
                    const QByteArray &image, const QVector<map::ObjectMarker> &records) {
    QVector<qint64> offsets;
    offsets.reserve(records.size());
    for (const map::ObjectMarker &m : records)
        offsets.append(m.offset);
    const SpriteLayer layer = spriteLayer(sprites, image, offsets);
    QVector<map::ObjectMarker> markers;
    for (int i = 0; i < records.size(); ++i)
        if (layer.records.at(i).look != Look::Sprite)
            markers.append(records.at(i));
    QImage picture = map::levelPicture(terrain, markers);
    if (!picture.isNull())
        paintSpriteLayer(layer, {picture.bits(), picture.bytesPerLine(), picture.rect()});
    return picture;
}

} // namespace sprites
