#include "fuzzchecks.h"

#include "demo/syntheticimage.h"
#include "demo/syntheticsprites.h"
#include "demo/syntheticterrain.h"
#include "sprites/levelsprites.h"
#include "sprites/spritelayer.h"

#include <vector>

// How the input is read:
//   mode   u8   bit 0: game (0 = Sonic 1, 1 = Sonic 2); bits 7-1: the row whose layer is painted
//   rest        the image, with the tables of compactTables() and compactSpriteTables() and its
//               first 16 records at CompactRecordsAt (the seeds are compactSpriteImage());
//               more records reach no code the first 16 do not, and cost each run

namespace fuzzcheck {

namespace {

QString checkAppearance(const sprites::Appearance &a) {
    if (a.look != sprites::Look::Sprite)
        return a.picture.isNull() && a.indices.isNull() ? QString()
                                                        : QStringLiteral("picture without sprite");
    if (a.picture.isNull() || a.indices.size() != a.picture.size() ||
        a.indices.format() != QImage::Format_Indexed8 || a.picture.width() > 1024 ||
        a.picture.height() > 1024 || a.priority < 0 || a.priority > 7)
        return QStringLiteral("sprite picture %1 x %2")
            .arg(a.picture.width())
            .arg(a.picture.height());
    return QString();
}

// Every painted pixel is a palette index (line x 16 + colour 1-15) or 0. Left out of the coverage
// feedback: a fixed scan of 32 KiB teaches the fuzzer nothing and would cost most of each run.
#if defined(__clang__)
__attribute__((no_sanitize("coverage")))
#endif
int badPixel(const std::vector<uchar> &pixels) {
    for (uchar p : pixels)
        if (p >= 64 || (p != 0 && (p & 15) == 0))
            return p;
    return -1;
}

} // namespace

QString spriteDrawing(const std::uint8_t *data, std::size_t size) {
    if (size < 1)
        return QString();
    const int game = (data[0] & 1) + 1;
    // An image of exactly the input's bytes, so that a read past its end is seen.
    const std::vector<char> storage(data + 1, data + size);
    const QByteArray image =
        QByteArray::fromRawData(storage.data(), static_cast<qsizetype>(storage.size()));
    QVector<qint64> records;
    for (qint64 at = synthetic::CompactRecordsAt; at + 6 <= image.size() && records.size() < 16;
         at += 6) {
        if (uchar(image.at(at)) == 0xFF && uchar(image.at(at + 1)) == 0xFF)
            break;
        records.append(at);
    }
    const auto levels = sprites::LevelSprites::loadAll(image, synthetic::compactTables(game),
                                                       synthetic::compactSpriteTables(game));
    for (int row = 0; row < 21; ++row) {
        const auto &level = levels.at(row);
        const sprites::SpriteLayer layer = sprites::spriteLayer(*level, image, records);
        for (const auto *list : {&layer.records, &layer.rings})
            for (const sprites::Appearance &a : *list)
                if (const QString broken = checkAppearance(a); !broken.isEmpty())
                    return QStringLiteral("row %1: %2").arg(row).arg(broken);
        if (game == 1 && !layer.rings.isEmpty())
            return QStringLiteral("rings in Sonic 1");
        if (row != (data[0] >> 1) % 21)
            continue;
        // Drawn again from the cache, the same.
        for (int i = 0; i < records.size(); ++i)
            if (level->record(image, records.at(i)).indices != layer.records.at(i).indices)
                return QStringLiteral("row %1: record %2 drawn differently").arg(row).arg(i);
        std::vector<uchar> pixels(1024 * 32);
        sprites::paintSpriteLayer(layer, {pixels.data(), 1024, QRect(0, 0x110, 1024, 32)});
        if (const int p = badPixel(pixels); p >= 0)
            return QStringLiteral("row %1: pixel %2").arg(row).arg(p);
    }
    return QString();
}

} // namespace fuzzcheck
