#include "fuzzchecks.h"

#include "demo/syntheticterrain.h"
#include "map/levelterrain.h"

#include <vector>

// How the input is read:
//   mode   u8   bit 0: game (0 = Sonic 1, 1 = Sonic 2); bit 1: the tables at a real revision's
//               offsets instead of the small layout right behind the header
//   draw   u8   the row whose first chunks are drawn
//   rest        the image (small: the seeds hold a whole level in a few kilobytes)

namespace fuzzcheck {

namespace {

QString checkTerrain(const map::LevelTerrain &t, int game, bool draw) {
    if (!t.hasTerrain())
        return t.reason().isEmpty() ? QStringLiteral("no terrain and no reason") : QString();
    if (!t.reason().isEmpty())
        return QStringLiteral("terrain with a reason");
    const int side = game == 1 ? 256 : 128;
    const int maxColumns = game == 1 ? 64 : 128, maxRows = game == 1 ? 8 : 16;
    if (t.chunkSize() != side || t.columns() < 1 || t.rows() < 1 || t.columns() > maxColumns ||
        t.rows() > maxRows || t.size() != QSize(t.columns() * side, t.rows() * side))
        return QStringLiteral("extent %1 x %2 cells").arg(t.columns()).arg(t.rows());
    const map::TerrainData &d = t.data();
    if (d.art.size() > 0x10000 || d.blocks.size() > 0x2000 ||
        (game == 2 && d.blocks.size() != 0x1800) || d.chunks.size() > 0xA400)
        return QStringLiteral("decoded sizes %1 %2 %3")
            .arg(d.art.size())
            .arg(d.blocks.size())
            .arg(d.chunks.size());
    const int ids = game == 1 ? 0x7F : 0x100;
    for (int y = 0; y < t.rows(); ++y)
        for (int x = 0; x < t.columns(); ++x)
            if (t.chunkAt(x, y) < -1 || t.chunkAt(x, y) >= ids ||
                (game == 2 && t.chunkAt(x, y) < 0))
                return QStringLiteral("cell %1,%2 holds %3").arg(x).arg(y).arg(t.chunkAt(x, y));
    if (!t.chunkImage(-1).isNull() || !t.chunkImage(ids).isNull())
        return QStringLiteral("an image for a chunk no cell can name");
    if (!draw)
        return QString();
    // A few chunks, each drawn twice: the second comes from the cache and must be the same.
    int drawn = 0;
    for (int i = 0; i < t.columns() * t.rows() && drawn < 3; ++i) {
        const int chunk = t.chunkAt(i % t.columns(), i / t.columns());
        if (chunk < 0)
            continue;
        const QImage image = t.chunkImage(chunk);
        if (image.size() != QSize(side, side) ||
            image.format() != QImage::Format_ARGB32_Premultiplied || t.chunkImage(chunk) != image)
            return QStringLiteral("chunk %1 image").arg(chunk);
        bool opaque = false;
        for (int y = 0; y < side && !opaque; ++y)
            for (int x = 0; x < side && !opaque; ++x)
                opaque = qAlpha(image.pixel(x, y)) != 0;
        if (opaque == t.chunkEmpty(chunk))
            return QStringLiteral("chunk %1 empty flag").arg(chunk);
        ++drawn;
    }
    // The picture of a level no larger than a few chunks, with a marker in its corner.
    if (qint64(t.size().width()) * t.size().height() <= 512 * 512) {
        const QImage picture = map::levelPicture(t, {{0, 0, 0}});
        if (picture.size() != t.size() || picture.pixel(0, 0) != 0xFFFFFFFF)
            return QStringLiteral("picture");
    }
    return QString();
}

} // namespace

QString levelResolution(const std::uint8_t *data, std::size_t size) {
    if (size < 2)
        return QString();
    const int game = (data[0] & 1) + 1;
    const bool real = data[0] & 2;
    const int drawRow = data[1] % 21;
    // An image of exactly the input's bytes, so that a read past its end is seen.
    const std::vector<char> storage(data + 2, data + size);
    const QByteArray image =
        QByteArray::fromRawData(storage.data(), static_cast<qsizetype>(storage.size()));
    const map::TerrainTables tables =
        real ? map::terrainTables(game == 1 ? rom::Revision::Sonic1Rev1 : rom::Revision::Sonic2Rev2)
             : synthetic::compactTables(game);
    for (int row = -1; row <= 21; ++row) {
        const map::LevelTerrain t = map::LevelTerrain::load(image, tables, row);
        if ((row < 0 || row > 20) && t.hasTerrain())
            return QStringLiteral("terrain for row %1").arg(row);
        const QString broken = checkTerrain(t, game, row == drawRow);
        if (!broken.isEmpty())
            return QStringLiteral("row %1: %2").arg(row).arg(broken);
    }
    return QString();
}

} // namespace fuzzcheck
