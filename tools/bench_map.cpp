// How fast the largest level of each game is put together and drawn, and how long its export
// takes: synthetic levels of the real sizes (Sonic 1 Green Hill 1, 48 x 5 chunks of 256; Sonic 2
// Hill Top 2, 104 x 16 chunks of 128) with full-size art, block and chunk tables, reached through
// the revisions' own tables, and 700 objects drawn as sprites from the object code, mappings and
// art lists of a synthetic scene. Times are the process's CPU time (the median of five runs).
// Prints the figures and exits with 1 when one is beyond its bound.

#include "demo/syntheticimage.h"
#include "demo/syntheticsprites.h"
#include "demo/syntheticterrain.h"
#include "levels/leveltables.h"
#include "map/levelterrain.h"
#include "map/mapexport.h"
#include "sprites/levelsprites.h"
#include "sprites/spritelayer.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include "support/benchreport.h"
#include <algorithm>

#include <cstdio>
#include <vector>

namespace {

struct Lcg {
    quint32 state;
    quint32 below(quint32 n) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % n;
    }
};

void putWord(QByteArray &b, qint64 at, quint32 v) {
    b[at] = static_cast<char>(v >> 8);
    b[at + 1] = static_cast<char>(v);
}

// Tiles of short runs of a few colours, as drawn art tends to be.
QByteArray tiles(Lcg &rng, int count) {
    QByteArray out(count * 32, '\0');
    for (int t = 1; t < count; ++t) {
        int value = 0, left = 0;
        for (int px = 0; px < 64; ++px) {
            if (left-- <= 0) {
                value = static_cast<int>(rng.below(16));
                left = static_cast<int>(rng.below(6));
            }
            const qint64 at = t * 32 + px / 2;
            out[at] = static_cast<char>(px % 2 ? (out[at] | value) : value << 4);
        }
    }
    return out;
}

// A full-size level: `blockCount` blocks over `tileCount` tiles, `chunkCount` chunks of random
// flipped blocks, and a layout of `columns` x `rows` cells naming random chunks.
synthetic::TerrainPieces level(int game, int tileCount, int blockCount, int chunkCount, int columns,
                               int rows) {
    Lcg rng{static_cast<quint32>(game * 77)};
    synthetic::TerrainPieces s;
    s.game = game;
    s.tiles = tiles(rng, tileCount);
    s.blocks = QByteArray(blockCount * 8, '\0');
    for (int b = 1; b < blockCount; ++b)
        for (int q = 0; q < 4; ++q)
            putWord(s.blocks, b * 8 + 2 * q,
                    rng.below(4) << 13 | rng.below(4) << 11 | (1 + rng.below(tileCount - 1)));
    const int words = game == 1 ? 256 : 64;
    const quint32 flipShift = game == 1 ? 11 : 10;
    s.chunks = QByteArray(chunkCount * words * 2, '\0');
    for (int c = game == 1 ? 0 : 1; c < chunkCount; ++c)
        for (int w = 0; w < words; ++w)
            putWord(s.chunks, (c * words + w) * 2,
                    rng.below(4) << flipShift | rng.below(static_cast<quint32>(blockCount)));
    if (game == 1) {
        s.layout.append(static_cast<char>(columns - 1));
        s.layout.append(static_cast<char>(rows - 1));
        for (int i = 0; i < columns * rows; ++i)
            s.layout.append(static_cast<char>(1 + rng.below(chunkCount)));
    } else {
        s.layout = QByteArray(0x1000, '\0');
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < columns; ++x)
                s.layout[y * 0x100 + x] = static_cast<char>(1 + rng.below(chunkCount - 1));
    }
    for (int i = 0; i < 64; ++i)
        s.palette[i] = static_cast<quint16>(rng.below(0x1000) & 0x0EEE);
    return s;
}

constexpr int kObjects = 700;

// The level with the sprite scene and kObjects records of its objects spread over row `row`.
QByteArray imageOf(rom::Revision revision, const synthetic::TerrainPieces &s, int row, int width) {
    QByteArray image = synthetic::image(revision);
    map::TerrainTables tables = map::terrainTables(revision);
    synthetic::putTerrain(image, tables, s,
                          s.game == 1 ? synthetic::Sonic1TerrainAt : synthetic::Sonic2TerrainAt);
    sprites::SpriteTables spriteTables = sprites::spriteTables(revision);
    synthetic::putSprites(image, tables, spriteTables, s.game == 1 ? 0x10000 : 0x20000);
    const std::vector<int> ids = s.game == 1
                                     ? std::vector<int>{0x25, 0x26, 0x36, 0x41, 0x18, 0x5F, 0x30}
                                     : std::vector<int>{0x26, 0x36, 0x41, 0x1C, 0x44, 0xA4, 0x65};
    QVector<synthetic::Record> records;
    for (int i = 0; i < kObjects; ++i) {
        const int x = 0x40 + i * (width - 0x80) / kObjects, y = 0x100 + i * 37 % 0x300;
        records.append({quint8(x >> 8), quint8(x), quint8(y >> 8), quint8(y),
                        quint8(ids[size_t(i) % ids.size()]), quint8(i * 0x13 % 0x30 & 0xF2)});
    }
    synthetic::putLayout(image, fixedAddresses(revision)[row], records);
    return image;
}

// The median CPU time of five runs of `run` (the machine may be busy with other work).
template <class F> double median(F run) {
    std::vector<double> times;
    for (int i = 0; i < 5; ++i) {
        const double start = bench::cpuMs();
        run();
        times.push_back(bench::cpuMs() - start);
    }
    return bench::median(times);
}

struct Level {
    const char *title;
    rom::Revision revision;
    int row;
    QByteArray image;
};

// Decoding and drawing chunks, as the map window does.
void measureDrawing(const Level &level) {
    const QByteArray &image = level.image;
    const rom::Revision revision = level.revision;
    const int row = level.row;
    std::printf("%s\n", level.title);
    const map::LevelTerrain probe = map::LevelTerrain::load(image, revision, row);
    if (!probe.hasTerrain()) {
        std::printf("    no terrain: %s\n", qPrintable(probe.reason()));
        bench::allWithin() = false;
        return;
    }
    std::printf("    %d x %d pixels, %d x %d chunks\n", probe.size().width(), probe.size().height(),
                probe.columns(), probe.rows());
    bench::report("decode (tables, art, blocks, chunks, layout)",
                  median([&] { map::LevelTerrain::load(image, revision, row); }), "ms");
    // What a map window shows first: the chunks of a 1920 x 1080 view at 1:1.
    bench::report("decode + first draw of a 1920x1080 view", median([&] {
                      const map::LevelTerrain t = map::LevelTerrain::load(image, revision, row);
                      const int side = t.chunkSize();
                      for (int y = 0; y < std::min(t.rows(), (1080 + side - 1) / side); ++y)
                          for (int x = 0; x < std::min(t.columns(), (1920 + side - 1) / side); ++x)
                              t.chunkImage(t.chunkAt(x, y));
                  }),
                  "ms", 150);
    bench::report("decode + drawing every chunk of the level", median([&] {
                      const map::LevelTerrain t = map::LevelTerrain::load(image, revision, row);
                      for (int y = 0; y < t.rows(); ++y)
                          for (int x = 0; x < t.columns(); ++x)
                              t.chunkImage(t.chunkAt(x, y));
                  }),
                  "ms", 150);
    // The objects as the map window first draws them: the level's sprite art and each record.
    LevelAddressTable layouts{};
    loadAddresses(layouts, image, revision);
    QVector<qint64> records;
    for (const map::ObjectMarker &m : map::objectMarkers(image, layouts[row]))
        records.append(m.offset);
    int drawn = 0;
    bench::report("sprites: load + every record's picture", median([&] {
                      const auto sprites = sprites::LevelSprites::load(image, revision, row);
                      const auto looks = sprites::spriteLayer(*sprites, image, records).records;
                      drawn = int(std::count_if(looks.cbegin(), looks.cend(), [](const auto &a) {
                          return a.look == sprites::Look::Sprite;
                      }));
                  }),
                  "ms", 150);
    std::printf("    %d of %d records drawn as sprites\n", drawn, int(records.size()));
}

// The whole picture and the export, as `quillet --export-map` makes them.
void measureExport(const Level &level, const QString &folder) {
    const QByteArray &image = level.image;
    const rom::Revision revision = level.revision;
    const int row = level.row;
    std::printf("%s\n", level.title);
    bench::report("decode + whole picture (export without PNG)", median([&] {
                      const map::LevelTerrain t = map::LevelTerrain::load(image, revision, row);
                      map::levelPicture(t, map::objectMarkers(image, -1));
                  }),
                  "ms");
    const QString imagePath = folder + QStringLiteral("/bench.bin");
    QFile file(imagePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size())
        return;
    file.close();
    QString messages;
    QTextStream err(&messages);
    const QString out = folder + QStringLiteral("/bench.png");
    const double exportMs =
        median([&] { map::exportMap(imagePath, QString::number(row), out, err); });
    if (!messages.isEmpty())
        std::printf("    export failed: %s", qPrintable(messages));
    bench::report("export with sprites (quillet --export-map)", exportMs, "ms", 2000);
    bench::report("PNG size", QFile(out).size() / 1e6, "MB");
    bench::report("export with markers only (--markers-only)",
                  median([&] { map::exportMap(imagePath, QString::number(row), out, err, true); }),
                  "ms", 2000);
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const Level levels[] = {
        {"Sonic 1, Green Hill 1 size (row 0)", rom::Revision::Sonic1Rev0, 0,
         imageOf(rom::Revision::Sonic1Rev0, level(1, 0x33E, 439, 0x52, 48, 5), 0, 48 * 256)},
        {"Sonic 2, Hill Top 2 size (row 7)", rom::Revision::Sonic2Rev1, 7,
         imageOf(rom::Revision::Sonic2Rev1, level(2, 0x392, 0x130, 256, 104, 16), 7, 104 * 128)}};
    for (const Level &l : levels)
        measureDrawing(l);
    // Both levels decoded with every chunk drawn and kept, as two open maps would hold them.
    std::vector<map::LevelTerrain> open;
    for (const Level &l : levels) {
        open.push_back(map::LevelTerrain::load(l.image, l.revision, l.row));
        for (int c = 0; c < 0x100; ++c)
            open.back().chunkImage(c);
    }
    bench::report("peak memory with both maps open", bench::peakMegabytes(), "MB", 150);
    open.clear();
    for (const Level &l : levels)
        measureExport(l, dir.path());
    bench::report("peak memory after the exports", bench::peakMegabytes(), "MB");
    return bench::allWithin() ? 0 : 1;
}
