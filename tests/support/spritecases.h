#pragma once
// One object record drawn alone on a synthetic sprite scene, and the picture it should give: the
// table row shape and the pixel comparison shared by the sprite rule tests.

#include "demo/syntheticimage.h"
#include "demo/syntheticsprites.h"
#include "levels/leveltables.h"
#include "map/terraintables.h"
#include "sprites/levelsprites.h"
#include "sprites/spritelayer.h"

#include <QTest>

namespace testsupport {

constexpr int X = 0x200, Y = 0x200; // where the record is placed

// One expected 8x8 piece: art slot of the scene, mappings table, frame, flips, its offset from
// the piece centred on the record, and the palette line (the slot's when -1, plus `lineAdd`).
struct Expect {
    int slot;
    int table = 0;
    int frame = 0;
    bool xFlip = false;
    bool yFlip = false;
    int dx = 0;
    int dy = 0;
    int line = -1;
    int lineAdd = 0;
    int tileAdd = 0; // added to the slot's first tile (the Ending animals' art words)
};

struct RuleCase {
    const char *name;
    int game;
    int row;
    quint16 y; // flags included
    int type;
    int subtype;
    sprites::Look look;
    QVector<Expect> pieces; // front first
    int damage = -1;        // the test's own damage applied first, if any
};

// Palette indices over `area`: the expected pieces, painted back to front.
inline QByteArray expectedPixels(const QVector<Expect> &pieces, QRect area) {
    QByteArray pixels(area.width() * area.height(), '\0');
    for (auto e = pieces.crbegin(); e != pieces.crend(); ++e) {
        const quint16 art = synthetic::sceneArt(e->slot);
        const int line = ((e->line >= 0 ? e->line : art >> 13) + e->lineAdd) & 3;
        const int tile = (art & 0x7FF) + e->tileAdd + 16 * e->table + e->frame;
        for (int py = 0; py < 8; ++py)
            for (int px = 0; px < 8; ++px) {
                const int x = X - 4 + e->dx + px - area.left(), y = Y - 4 + e->dy + py - area.top();
                if (x >= 0 && y >= 0 && x < area.width() && y < area.height())
                    pixels[y * area.width() + x] =
                        char(16 * line + synthetic::sceneTilePixel(tile, e->xFlip ? 7 - px : px,
                                                                   e->yFlip ? 7 - py : py));
            }
    }
    return pixels;
}

// The case's record placed alone in its row of `image`: its look, and its picture around it
// pixel for pixel.
inline void checkRule(const RuleCase &c, QByteArray image, rom::Revision revision,
                      const sprites::SpriteTables &tables) {
    const qint64 at = fixedAddresses(revision)[c.row];
    synthetic::putLayout(image, at,
                         {{quint8(X >> 8), quint8(X), quint8(c.y >> 8), quint8(c.y), quint8(c.type),
                           quint8(c.subtype)}});
    const auto level =
        sprites::LevelSprites::load(image, map::terrainTables(revision), tables, c.row);
    const sprites::SpriteLayer layer = sprites::spriteLayer(*level, image, {at});
    QCOMPARE(layer.records.front().look, c.look);
    const QRect area(X - 0x60, Y - 0x60, 0xC0, 0xC0);
    QByteArray pixels(area.width() * area.height(), '\0');
    sprites::paintSpriteLayer({layer.records, {}},
                              {reinterpret_cast<uchar *>(pixels.data()), area.width(), area});
    QVERIFY(pixels == expectedPixels(c.pieces, area));
}

} // namespace testsupport

Q_DECLARE_METATYPE(testsupport::RuleCase)
