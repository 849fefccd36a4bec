#include "map/levelterrain.h"

#include "objects/layout.h"

#include <algorithm>

namespace map {

namespace {

// Chunk ids a layout cell can name: 7 bits (Sonic 1, 1-based) or 8 bits (Sonic 2).
int chunkIds(int game) {
    return game == 1 ? 0x7F : 0x100;
}

quint32 wordAt(const QByteArray &bytes, qint64 at) {
    if (at < 0 || at + 2 > bytes.size())
        return 0; // past the decoded data everything reads as zero
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData()) + at;
    return quint32(p[0]) << 8 | p[1];
}

} // namespace

struct LevelTerrain::Cache {
    QVector<QImage> indices;
    QVector<QImage> images;
    QVector<qint8> empty; // -1 unknown, 0 has pixels, 1 empty
};

LevelTerrain LevelTerrain::failed(const QString &reason) {
    LevelTerrain t;
    t.m_reason = reason;
    return t;
}

LevelTerrain LevelTerrain::fromData(TerrainData data) {
    LevelTerrain t;
    if (data.game != 1 && data.game != 2)
        return failed(QStringLiteral("Not a recognised image"));
    if (data.columns <= 0 || data.rows <= 0 ||
        data.cells.size() != qsizetype(data.columns) * data.rows)
        return failed(QStringLiteral("The layout is empty"));
    t.m_data = std::move(data);
    t.m_cache = std::make_shared<Cache>();
    const int ids = chunkIds(t.m_data.game);
    t.m_cache->indices.resize(ids);
    t.m_cache->images.resize(ids);
    t.m_cache->empty.fill(-1, ids);
    return t;
}

bool LevelTerrain::hasTerrain() const {
    return m_cache != nullptr;
}

QString LevelTerrain::reason() const {
    return m_reason;
}

int LevelTerrain::chunkSize() const {
    return !hasTerrain() ? 0 : m_data.game == 1 ? 256 : 128;
}

QSize LevelTerrain::size() const {
    return hasTerrain() ? QSize(columns() * chunkSize(), rows() * chunkSize()) : QSize();
}

int LevelTerrain::columns() const {
    return hasTerrain() ? m_data.columns : 0;
}

int LevelTerrain::rows() const {
    return hasTerrain() ? m_data.rows : 0;
}

int LevelTerrain::chunkAt(int column, int row) const {
    if (column < 0 || row < 0 || column >= columns() || row >= rows())
        return -1;
    return m_data.cells.at(row * m_data.columns + column);
}

const TerrainData &LevelTerrain::data() const {
    return m_data;
}

QImage LevelTerrain::chunkIndices(int chunk) const {
    if (!hasTerrain() || chunk < 0 || chunk >= m_cache->indices.size())
        return QImage();
    QImage &image = m_cache->indices[chunk];
    if (!image.isNull())
        return image;

    // Sonic 1: 16x16 blocks per chunk, block flips in bits 11/12; Sonic 2: 8x8, bits 10/11.
    const bool sonic1 = m_data.game == 1;
    const int side = chunkSize() / 16;
    const quint32 hFlipBit = sonic1 ? 0x800 : 0x400;
    const quint32 vFlipBit = sonic1 ? 0x1000 : 0x800;
    const qint64 chunkBase = qint64(chunk) * side * side * 2;
    const auto *art = reinterpret_cast<const uchar *>(m_data.art.constData());
    const qint64 tiles = m_data.art.size() / 32;

    image = QImage(chunkSize(), chunkSize(), QImage::Format_Indexed8);
    image.fill(0);
    bool empty = true;
    uchar *bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (int by = 0; by < side; ++by) {
        for (int bx = 0; bx < side; ++bx) {
            const quint32 entry = wordAt(m_data.chunks, chunkBase + 2LL * (by * side + bx));
            const qint64 block = entry & 0x3FF;
            // A flipped block is the finished 16x16 square mirrored.
            const int mirrorX = (entry & hFlipBit) != 0 ? 15 : 0;
            const int mirrorY = (entry & vFlipBit) != 0 ? 15 : 0;
            uchar *origin = bits + by * 16LL * stride + bx * 16LL;
            for (int t = 0; t < 4; ++t) {
                const quint32 name = wordAt(m_data.blocks, block * 8 + 2LL * t);
                const qint64 tile = name & 0x7FF;
                if (tile >= tiles)
                    continue; // not in the loaded art: reads as all zero
                const int line = 16 * int(name >> 13 & 3);
                const int tileFlipX = name & 0x800 ? 7 : 0;
                const int tileFlipY = name & 0x1000 ? 7 : 0;
                const uchar *pixels = art + tile * 32;
                for (int py = 0; py < 8; ++py) {
                    const int y = ((t >> 1) * 8 + (py ^ tileFlipY)) ^ mirrorY;
                    uchar *row = origin + y * stride;
                    for (int px = 0; px < 8; ++px) {
                        const uchar pair = pixels[py * 4 + px / 2];
                        const int value = px & 1 ? pair & 0x0F : pair >> 4;
                        if (value == 0)
                            continue;
                        row[((t & 1) * 8 + (px ^ tileFlipX)) ^ mirrorX] = uchar(line | value);
                        empty = false;
                    }
                }
            }
        }
    }
    m_cache->empty[chunk] = empty ? 1 : 0;
    return image;
}

QImage LevelTerrain::chunkImage(int chunk) const {
    if (!hasTerrain() || chunk < 0 || chunk >= m_cache->images.size())
        return QImage();
    QImage &image = m_cache->images[chunk];
    if (!image.isNull())
        return image;
    QImage indices = chunkIndices(chunk);
    QVector<QRgb> table(m_data.colours.cbegin(), m_data.colours.cend());
    for (int line = 0; line < 64; line += 16)
        table[line] = 0; // pixel value 0 is clear on every line
    indices.setColorTable(table);
    image = indices.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return image;
}

bool LevelTerrain::chunkEmpty(int chunk) const {
    if (!hasTerrain() || chunk < 0 || chunk >= m_cache->empty.size())
        return true;
    if (m_cache->empty.at(chunk) < 0)
        chunkIndices(chunk);
    return m_cache->empty.at(chunk) == 1;
}

QVector<ObjectMarker> objectMarkers(const QByteArray &image, qint64 layoutStart) {
    const layout::Walk walk = layout::walk(image, layoutStart);
    QVector<ObjectMarker> markers;
    markers.reserve(walk.count);
    const auto *p = reinterpret_cast<const uchar *>(image.constData());
    for (qint64 i = 0; i < walk.count; ++i) {
        const qint64 at = layoutStart + i * layout::RecordSize;
        markers.append({at, p[at] << 8 | p[at + 1], (p[at + 2] << 8 | p[at + 3]) & 0x0FFF});
    }
    return markers;
}

QImage levelPicture(const LevelTerrain &terrain, const QVector<ObjectMarker> &markers) {
    if (!terrain.hasTerrain())
        return QImage();
    const QSize size = terrain.size();
    QImage picture(size, QImage::Format_Indexed8);
    if (picture.isNull())
        return picture; // out of memory
    QVector<QRgb> table(terrain.data().colours.cbegin(), terrain.data().colours.cend());
    table << qRgb(64, 64, 64) << qRgb(0, 0, 0) << qRgb(255, 255, 255);
    picture.setColorTable(table);
    // Otherwise taken from the screen, when there is one: the file must not depend on it.
    picture.setDotsPerMeterX(3780);
    picture.setDotsPerMeterY(3780);
    picture.fill(uint(BackdropIndex));
    const int side = terrain.chunkSize();
    for (int row = 0; row < terrain.rows(); ++row) {
        for (int column = 0; column < terrain.columns(); ++column) {
            const int chunk = terrain.chunkAt(column, row);
            if (chunk < 0 || terrain.chunkEmpty(chunk))
                continue;
            const QImage indices = terrain.chunkIndices(chunk);
            for (int y = 0; y < side; ++y) {
                const uchar *from = indices.constScanLine(y);
                uchar *to = picture.scanLine(row * side + y) + qsizetype(column) * side;
                for (int x = 0; x < side; ++x)
                    if (from[x] & 0x0F)
                        to[x] = from[x];
            }
        }
    }
    // Objects in layout order, so a later marker covers an earlier one.
    for (const ObjectMarker &m : markers) {
        for (int dy = -2; dy <= 2; ++dy) {
            const int y = m.y + dy;
            if (y < 0 || y >= size.height())
                continue;
            uchar *line = picture.scanLine(y);
            for (int dx = -2; dx <= 2; ++dx) {
                const int x = m.x + dx;
                if (x >= 0 && x < size.width())
                    line[x] = std::abs(dx) == 2 || std::abs(dy) == 2 ? MarkerBorderIndex
                                                                     : MarkerInsideIndex;
            }
        }
    }
    return picture;
}

} // namespace map
