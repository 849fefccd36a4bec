// How fast the map window repaints the largest level there is (13312 x 2048 level pixels, 104 x 16
// chunks of 128, 256 distinct ones) with 600 objects on it, and what an open map costs in
// memory. The terrain is synthetic: its chunk pictures are made on request like decoded ones.
// Prints the figures and exits with 1 when one of them is beyond its bound.

#include "app/frmmap.h"
#include "map/levelscene.h"
#include "support/gridterrain.h"
#include "support/guitest.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGraphicsView>
#include <QRandomGenerator>
#include <QScrollBar>

#include "support/benchreport.h"
#include <algorithm>
#include <cmath>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A line of /proc/self/status in MB ("VmRSS:", "VmHWM:").
double statusMegabytes(const char *key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    const auto found = std::find_if(lines.cbegin(), lines.cend(),
                                    [key](const QByteArray &line) { return line.startsWith(key); });
    return found == lines.cend()
               ? -1
               : found->mid(int(qstrlen(key))).trimmed().split(' ').first().toDouble() / 1024.0;
}

// A chunk as the decoder would give it: 8x8 tiles in palette colours, pixel value 0 clear.
QImage syntheticChunk(int chunk, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    QRandomGenerator random(quint32(chunk) * 2654435761u);
    for (int ty = 0; ty < size; ty += 8) {
        for (int tx = 0; tx < size; tx += 8) {
            const quint32 seed = random.generate();
            for (int y = 0; y < 8; ++y) {
                auto *row = reinterpret_cast<QRgb *>(image.scanLine(ty + y)) + tx;
                for (int x = 0; x < 8; ++x) {
                    const int value = int((seed >> ((x + y) % 16)) + x * y) & 15;
                    row[x] = value == 0
                                 ? 0
                                 : qRgb(value * 36 % 256, (value * 3 % 8) * 36, (chunk % 8) * 36);
                }
            }
        }
    }
    return image;
}

// A sprite of `side` pixels as the game's are: 8x8 tiles of palette colours, its corners clear.
QImage syntheticSprite(int side, quint32 seed) {
    QImage image = syntheticChunk(int(seed % 256), 128).copy(0, 0, side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if (std::min(x, side - 1 - x) + std::min(y, side - 1 - y) < side / 4)
                image.setPixel(x, y, 0);
    return image;
}

struct Cost {
    double wall, cpu;
};

template <typename F> Cost measure(F step) {
    const double cpu = bench::cpuMs();
    QElapsedTimer clock;
    clock.start();
    step();
    return {bench::msSince(clock), bench::cpuMs() - cpu};
}

// What the window does after a step: it paints what the step left to paint (after a scroll only
// the strip that came into view, after a zoom the whole view).
Cost settle() {
    return measure([] { QCoreApplication::processEvents(); });
}

// A full repaint of the view, the most any step can cost.
Cost repaint(QWidget *port) {
    QCoreApplication::processEvents();
    return measure([port] { port->repaint(); });
}

void reportSteps(const std::string &what, const std::vector<Cost> &costs, double bound) {
    std::vector<double> wall, cpu;
    for (const Cost &c : costs) {
        wall.push_back(c.wall);
        cpu.push_back(c.cpu);
    }
    bench::report((what + ", median").c_str(), bench::median(wall), "ms");
    bench::report((what + ", slowest").c_str(), *std::max_element(wall.begin(), wall.end()), "ms");
    bench::report((what + ", slowest in CPU time").c_str(),
                  *std::max_element(cpu.begin(), cpu.end()), "ms", bound);
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    std::printf("Map window benchmark (platform %s)\n",
                qPrintable(QGuiApplication::platformName()));
    const double rssBefore = statusMegabytes("VmRSS:");

    constexpr int columns = 104, rows = 16, size = 128;
    QVector<int> cells(qsizetype(columns) * rows);
    for (int i = 0; i < cells.size(); ++i)
        cells[i] = (i * 37 + i / columns * 11) % 256;
    auto terrain =
        std::make_shared<testsupport::GridTerrain>(size, columns, rows, cells, syntheticChunk);
    QVector<map::MapObject> objects;
    QRandomGenerator random(7);
    for (int i = 0; i < 600; ++i)
        objects.append({0x10000 + i * 6, int(random.bounded(columns * size)),
                        int(random.bounded(rows * size)), QStringLiteral("object %1").arg(i)});

    // Every object drawn as a sprite of 16 to 64 pixels, and 400 rings in front of them.
    QVector<map::MapObject> rings;
    for (map::MapObject &o : objects) {
        const int side = 16 << random.bounded(3);
        o.sprite = syntheticSprite(side, random.generate());
        o.spriteAt = QPoint(o.x - side / 2, o.y - side / 2);
        o.priority = int(random.bounded(8));
    }
    const QImage ring = syntheticSprite(16, 1);
    for (int i = 0; i < 400; ++i)
        rings.append({-1,
                      0,
                      0,
                      {},
                      {},
                      ring,
                      QPoint(int(random.bounded(columns * size)), int(random.bounded(rows * size))),
                      0});

    frmMap w;
    w.resize(1280, 860);
    QWidget *port = w.view()->viewport();
    if (!testsupport::showActive(&w))
        return 2;
    std::printf("  level %d x %d, %d distinct chunks of %d, %d objects with sprites, %d rings, "
                "view %d x %d\n",
                columns * size, rows * size, 256, size, int(objects.size()), int(rings.size()),
                port->width(), port->height());
    // Every chunk is rendered here, ahead of the first pan and zoom.
    const Cost shown = measure([&] {
        w.showLevel(QStringLiteral("HTZ 2"), terrain, objects, rings);
        port->repaint();
    });
    bench::report("show the level and first paint at 1:1", shown.wall, "ms");
    bench::report("show the level and first paint, CPU time", shown.cpu, "ms");

    // Pan across the whole level at 1:1, in steps of a wheel notch and of a quarter screen; the
    // first sweep fills the cache.
    QScrollBar *h = w.view()->horizontalScrollBar(), *v = w.view()->verticalScrollBar();
    std::vector<Cost> cold, pans, full;
    for (int sweep = 0; sweep < 3; ++sweep) {
        const int step = sweep == 1 ? port->width() / 4 : 40;
        for (int x = 0; x <= h->maximum(); x += step) {
            h->setValue(x);
            v->setValue(x / step % 2 ? v->maximum() : 0);
            (sweep == 0 ? cold : pans).push_back(settle());
            if (sweep == 2)
                full.push_back(repaint(port));
        }
    }
    reportSteps("pan step at 1:1, first sweep", cold, 16);
    reportSteps("pan step at 1:1", pans, 16);
    reportSteps("full repaint at 1:1", full, 16);

    // Zoom steps through the whole range, twice: the first pass fills the cache at each zoom.
    std::vector<Cost> coldZoom, zooms;
    for (int pass = 0; pass < 2; ++pass) {
        w.setZoom(frmMap::MaxZoom);
        w.view()->centerOn(columns * size / 2.0, rows * size / 2.0);
        settle();
        while (w.zoom() > frmMap::MinZoom) {
            w.zoomOut();
            (pass == 0 ? coldZoom : zooms).push_back(settle());
        }
    }
    reportSteps("zoom step 8x to 1/8, first pass", coldZoom, 16);
    reportSteps("zoom step 8x to 1/8", zooms, 16);

    // The whole level on screen at 1/8.
    std::vector<Cost> small;
    small.reserve(20);
    for (int i = 0; i < 20; ++i)
        small.push_back(repaint(port));
    reportSteps("full repaint at 1/8", small, 16);

    // Fit Level: the whole width in the window, below 1/8.
    w.fitLevel();
    std::vector<Cost> fitted;
    for (int i = 0; i < 20; ++i)
        fitted.push_back(repaint(port));
    reportSteps("full repaint with the level fitted", fitted, 16);

    std::printf("  memory\n");
    bench::report("chunk cache", w.scene()->cachedKiB() / 1024.0, "MB");
    bench::report("open map (resident growth)", statusMegabytes("VmRSS:") - rssBefore, "MB", 150);
    bench::report("process peak (VmHWM)", statusMegabytes("VmHWM:"), "MB");
    std::printf("%s\n", bench::allWithin() ? "All figures within their bounds."
                                           : "Some figures are beyond their bounds.");
    return bench::allWithin() ? 0 : 1;
}
