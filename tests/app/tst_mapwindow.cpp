// The map window on its own, for what the main window cannot reach (tst_maplink drives both):
// marker pixels, drag limits and Esc, zoom limits and fit, panning, the status line, the grid,
// a failing picture save, the terrain drawn from chunk images, and objects drawn as sprites in
// the game's order, hit where they are drawn; and the objects' names, by zone.

#include "app/frmmap.h"
#include "map/levelscene.h"
#include "sprites/objectnames.h"
#include "support/gridterrain.h"
#include "support/guitest.h"

#include <QAction>
#include <QGraphicsItem>
#include <QGraphicsView>
#include <QHelpEvent>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolTip>

using namespace testsupport;
using map::MapObject;

namespace {

const QRgb Red = qRgb(216, 0, 0), Green = qRgb(0, 180, 0), Blue = qRgb(0, 0, 252);
const QRgb Backdrop = qRgb(64, 64, 64), Surround = qRgb(32, 32, 32);
const QRgb Black = qRgb(0, 0, 0), White = qRgb(255, 255, 255), Magenta = qRgb(255, 0, 255);
const QRgb Ground = qRgb(0, 0, 160), Yellow = qRgb(255, 255, 0), Cyan = qRgb(0, 255, 255);
const QRgb Orange = qRgb(255, 128, 0);

// Three chunks of 128 in a 3x2 layout (384 x 256): red, green with its left quarter clear,
// blue, and one empty cell.
std::shared_ptr<GridTerrain> smallTerrain() {
    return std::make_shared<GridTerrain>(
        128, 3, 2, QVector<int>{0, 1, -1, 2, 0, 1}, [](int chunk, int size) {
            const QRgb colours[] = {Red, Green, Blue};
            return plainChunk(colours[chunk], size, chunk == 1 ? 32 : 0);
        });
}

const QVector<MapObject> Objects = {
    {0x1000, 0x0040, 0x0030, "00001000: 0040 0030 25 00  Ring", "Ring (25)"},
    {0x1006, 0x0100, 0x00A0, "00001006: 0100 00A0 26 04  Monitor"},
    {0x100C, 0x0160, 0x00E0, "0000100C: 0160 20E0 36 00  Spikes"},
};

// A sprite of `side` pixels in one colour with its top left pixel clear, whose corner is at
// `corner`; colour 0: no sprite, a marker.
MapObject sprite(qint64 offset, QPoint at, QRgb colour, int side, QPoint corner, int priority) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    image.setPixel(0, 0, 0);
    return {offset, at.x(),
            at.y(), QStringLiteral("line %1").arg(offset),
            {},     colour ? image : QImage(),
            corner, priority};
}

// A and B share a priority (A, the earlier record, in front); C is in front of both; D has no
// sprite; a ring stands over A and B.
const QVector<MapObject> Sprites = {
    sprite(0x10, {100, 100}, Yellow, 20, {90, 90}, 3),
    sprite(0x16, {110, 110}, Cyan, 20, {100, 100}, 3),
    sprite(0x1C, {115, 95}, Orange, 10, {112, 92}, 1),
    sprite(0x22, {200, 100}, 0, 0, {}, 0),
};
const QVector<MapObject> Rings = {sprite(-1, {}, Green, 8, {104, 104}, 0)};

struct Map {
    frmMap w;
    std::shared_ptr<GridTerrain> terrain = smallTerrain();
    QGraphicsView *view = w.view();
    QWidget *port = view->viewport();
    QSignalSpy clicked{&w, &frmMap::objectClicked};
    QSignalSpy moved{&w, &frmMap::objectMoved};

    explicit Map(std::shared_ptr<const map::TerrainSource> shown = {},
                 const QVector<MapObject> &objects = Objects,
                 const QVector<MapObject> &rings = {}) {
        w.showLevel(QStringLiteral("GHZ 1"), shown ? shown : terrain, objects, rings);
        showActive(&w);
    }
    // The sprites above on plain ground, the first one named.
    static std::unique_ptr<Map> withSprites() {
        QVector<MapObject> objects = Sprites;
        objects[0].name = QStringLiteral("Crabmeat (1F)");
        return std::make_unique<Map>(
            std::make_shared<GridTerrain>(128, 3, 2, QVector<int>(6, 0),
                                          [](int, int size) { return plainChunk(Ground, size); }),
            objects, Rings);
    }
    // The screen pixel that shows a scene point.
    QPoint on(QPointF scene) const { return screenPoint(view, scene); }
    QPoint onObject(int i) const { return on({Objects[i].x + 0.5, Objects[i].y + 0.5}); }
    QImage shot() const { return port->grab().toImage(); }
    QRgb pixel(QPointF scene) const { return shot().pixel(on(scene)) | 0xFF000000; }
    QAction *action(const char *name) { return w.findChild<QAction *>(QLatin1String(name)); }
    QString status() { return control<QLabel>(&w, "mapStatus")->text(); }
    void wheel(QPoint p, int angle, Qt::KeyboardModifiers mods) {
        QWheelEvent turn(p, port->mapToGlobal(p), {}, {0, angle}, Qt::NoButton, mods,
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(port, &turn);
    }
};

} // namespace

class tst_MapWindow : public QObject {
    Q_OBJECT

  private slots:

    void markersStandOnTheirObjects() {
        Map m;
        const QImage shot = m.shot();
        for (int i = 0; i < Objects.size(); ++i) {
            const QPoint p = m.onObject(i);
            // 5x5 as in the exported picture: white 3x3 inside, a black border, terrain beyond.
            for (QPoint d : {QPoint(0, 0), QPoint(-1, -1), QPoint(1, 1)})
                QCOMPARE(shot.pixel(p + d), White);
            for (QPoint d :
                 {QPoint(-2, 0), QPoint(2, 0), QPoint(0, -2), QPoint(0, 2), QPoint(2, 2)})
                QCOMPARE(shot.pixel(p + d), Black);
            QVERIFY(shot.pixel(p + QPoint(3, 0)) != Black &&
                    shot.pixel(p + QPoint(0, -3)) != Black);
        }
        // The selected marker gets an outline of its own colour; the others none.
        const QPoint outline = m.onObject(1) + QPoint(0, -4), plain = m.onObject(0) + QPoint(0, -4);
        m.w.selectObject(Objects[1].offset);
        const QImage selected = m.shot();
        QCOMPARE(selected.pixel(outline), qRgb(255, 0, 255));
        QCOMPARE(selected.pixel(plain), Red);
        // Below 1:1 a marker keeps its five screen pixels.
        m.w.setZoom(frmMap::MinZoom);
        QCOMPARE(m.shot().pixel(m.onObject(0)), White);
        QCOMPARE(m.shot().pixel(m.onObject(0) + QPoint(2, 2)), Black);
    }

    // One move reported where the drag ended, in whole level pixels and inside the level; none
    // for a drag back to the start or one Esc called off.
    void draggingMovesOnceAndEscCancels() {
        const QPoint none(-1, -1);
        const struct {
            qreal zoom;
            int object;
            QPoint by; // screen pixels
            bool escape;
            QPoint landed;
        } cases[] = {{1.0, 0, {1, 0}, false, {0x41, 0x30}},
                     {2.0, 1, {41, -31}, false, {0x115, 0x91}},
                     {1.0, 0, {-200, -100}, false, {0, 0}},
                     {frmMap::MinZoom, 2, {0, 600}, false, {0x160, 0x0FFF}},
                     {1.0, 2, {0, 0}, false, none},
                     {1.0, 0, {37, 21}, true, none}};
        for (const auto &c : cases) {
            Map m;
            m.w.setZoom(c.zoom);
            m.view->centerOn(Objects[c.object].x, Objects[c.object].y);
            const QPoint from = m.onObject(c.object);
            // Out past the drag distance, then to the place aimed at.
            drag(m.port, from, from + c.by + QPoint(15, 15), true);
            QTest::mouseMove(m.port, from + c.by);
            if (c.escape)
                QTest::keyClick(m.view, Qt::Key_Escape);
            QTest::mouseRelease(m.port, Qt::LeftButton, {}, from + c.by);
            QCOMPARE(m.clicked.count(), 1);
            const QPoint at =
                c.landed == none ? QPoint(Objects[c.object].x, Objects[c.object].y) : c.landed;
            const QVariantList move = {Objects[c.object].offset, at.x(), at.y()};
            QCOMPARE(QList<QVariantList>(m.moved),
                     c.landed == none ? QList<QVariantList>() : QList<QVariantList>{move});
            QCOMPARE(m.w.scene()->marker(Objects[c.object].offset)->pos(),
                     QPointF(at) + QPointF(0.5, 0.5));
        }
    }

    void zoomStaysWithinItsLimits() {
        Map m;
        QCOMPARE(m.w.zoom(), 1.0);
        QTest::keyClicks(&m.w, QString(12, '+'), Qt::ControlModifier);
        QCOMPARE(m.view->transform().m11(), frmMap::MaxZoom);
        QTest::keyClicks(&m.w, QString(20, '-'), Qt::ControlModifier);
        QCOMPARE(m.view->transform().m22(), frmMap::MinZoom);
        QTest::keyClick(&m.w, Qt::Key_Equal, Qt::ControlModifier);
        QVERIFY(m.w.zoom() > frmMap::MinZoom);

        // Ctrl+wheel zooms about the point under the mouse.
        m.w.setZoom(4);
        m.view->centerOn(Objects[1].x, Objects[1].y);
        const QPoint at = m.onObject(1) + QPoint(30, 20);
        const QPointF under = m.view->mapToScene(at);
        m.wheel(at, 120, Qt::ControlModifier);
        QVERIFY(m.w.zoom() > 1);
        QVERIFY(QLineF(m.view->mapToScene(at), under).length() <= 1);
        m.wheel(at, -600, Qt::ControlModifier);
        QCOMPARE(m.w.zoom(), 1.0);

        // Ctrl+0: the whole level, as large as it fits.
        QTest::keyClick(&m.w, Qt::Key_0, Qt::ControlModifier);
        const QRect level = m.view->mapFromScene(m.w.scene()->levelRect()).boundingRect();
        QVERIFY2(m.port->rect().adjusted(-1, -1, 1, 1).contains(level),
                 qPrintable(QString::number(m.w.zoom())));
        QVERIFY(level.width() >= m.port->width() - 2 || level.height() >= m.port->height() - 2);
        // A level far wider than the window fits too, below the smallest zoom of the keys.
        Map wide(std::make_shared<GridTerrain>(QStringLiteral("none")),
                 {{0x2000, 0xF000, 0x100, QStringLiteral("far")}});
        QTest::keyClick(&wide.w, Qt::Key_0, Qt::ControlModifier);
        QVERIFY(wide.w.zoom() < frmMap::MinZoom);
        QApplication::processEvents(); // the scroll bars go
        QVERIFY(wide.port->rect()
                    .adjusted(-1, -1, 1, 1)
                    .contains(wide.view->mapFromScene(wide.w.scene()->levelRect()).boundingRect()));
    }

    void wheelAndMiddleButtonPan() {
        Map m;
        m.w.setZoom(frmMap::MaxZoom);
        QScrollBar *h = m.view->horizontalScrollBar(), *v = m.view->verticalScrollBar();
        h->setValue(h->maximum() / 2);
        v->setValue(v->maximum() / 2);
        const int h0 = h->value(), v0 = v->value();
        m.wheel({200, 200}, -120, Qt::NoModifier);
        QCOMPARE(m.w.zoom(), frmMap::MaxZoom);
        QVERIFY(v->value() > v0);
        const int v1 = v->value();
        drag(m.port, {300, 300}, {250, 260}, false, Qt::MiddleButton);
        QCOMPARE(h->value(), h0 + 50);
        QCOMPARE(v->value(), v1 + 40);
        drag(m.port, {300, 300}, {360, 300}); // a left drag on bare ground draws a band instead
        QCOMPARE(h->value(), h0 + 50);
        QVERIFY(m.clicked.isEmpty() && m.moved.isEmpty());
    }

    void statusShowsThePositionUnderTheMouse() {
        const struct {
            qreal zoom;
            QPointF point;
            const char *text;
        } cases[] = {
            {1.0, {65.5, 48.5}, "X 0041  Y 0030    Ring (25)    00001000: 0040 0030 25 00  Ring"},
            {8.0, {300.9, 200.1}, "X 012C  Y 00C8"},
            {2.0, {383.75, 255.75}, "X 017F  Y 00FF"}, // the last pixel
            {1.0, {-10.5, 20.5}, ""}};                 // off the level
        for (const auto &c : cases) {
            Map m;
            m.w.setZoom(c.zoom);
            m.view->centerOn(c.point);
            QTest::mouseMove(m.port, m.on(c.point));
            QCOMPARE(m.status(), QString(c.text));
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(m.port, &leave);
            QCOMPARE(m.status(), QString());
        }
    }

    void noTerrainShowsAGridAndTheReason() {
        const QString why = QStringLiteral("Hidden Palace has no terrain in released images");
        const QVector<MapObject> objects = {{0x2000, 0x300, 0x200, QStringLiteral("far corner")},
                                            Objects[0]};
        Map m(std::make_shared<GridTerrain>(why), objects);
        QCOMPARE(m.status(), why);
        QVERIFY(!m.action("actionGrid")->isEnabled() && !m.action("actionSaveImage")->isEnabled());
        // Whole grid cells round every object, opened on the first one.
        QCOMPARE(m.w.scene()->levelRect(), QRectF(0, 0, 0x400, 0x300));
        QCOMPARE(m.pixel({0x300 + 0.5, 0x200 + 0.5}), White);
        QTest::mouseMove(m.port, m.on({0x300 + 0.5, 0x200 + 0.5}));
        QCOMPARE(m.status(), "X 0300  Y 0200    far corner    " + why);
        m.view->centerOn(100, 100);
        QCOMPARE(m.pixel({100.5, 100.5}), Backdrop);
        QCOMPARE(m.pixel({256.5, 100.5}), qRgb(96, 96, 96));

        // No terrain at all, and no objects: still one screen of grid.
        m.w.showLevel(QStringLiteral("MZ 1"), nullptr, {});
        QCOMPARE(m.status(), QStringLiteral("No terrain"));
        QCOMPARE(m.w.scene()->levelRect(), QRectF(0, 0, 512, 256));
    }

    void gridToggles() {
        Map m;
        QAction *grid = m.action("actionGrid");
        // The line between the red chunk and the blue one below it.
        const QPointF onLine(64.5, 128.5), above(64.5, 127.5);
        QTest::keyClick(&m.w, Qt::Key_G, Qt::ControlModifier);
        QVERIFY(grid->isChecked());
        const QRgb line = m.pixel(onLine);
        QVERIFY(line != Blue && qBlue(line) > qBlue(Blue) - 60 && qRed(line) > 60);
        QCOMPARE(m.pixel(above), Red);
        grid->trigger();
        QCOMPARE(m.pixel(onLine), Blue);
    }

    void savesTheOwnersPicture() {
        Map m;
        int asked = 0;
        m.w.setPictureSource([&] {
            ++asked;
            return QImage(7, 5, QImage::Format_RGB888);
        });
        QTemporaryDir dir;
        // Chooses `path` in the save dialog (empty: cancels); what the box shown said, if any.
        const auto saveTo = [&](const QString &path) {
            answerFileDialog(path);
            return boxesDuring(&m.w, [&] { m.action("actionSaveImage")->trigger(); }).value(0).text;
        };
        QVERIFY(saveTo(QString()).isEmpty());
        QCOMPARE(asked, 0);

        // A folder that is not there: a box naming the file and the system's reason.
        const QString lost = dir.filePath(QStringLiteral("gone/ghz1.png"));
        QFile probe(lost);
        QVERIFY(!probe.open(QIODevice::WriteOnly));
        QCOMPARE(saveTo(lost), QStringLiteral("The map image could not be saved to %1 (%2).")
                                   .arg(lost, probe.errorString()));

        // The owner has no picture: said so, and nothing written.
        m.w.setPictureSource([] { return QImage(); });
        const QString none = dir.filePath(QStringLiteral("none.png"));
        QVERIFY(saveTo(none).endsWith("(there is no picture of this level)."));
        QVERIFY(!QFile::exists(none));
    }

    void terrainIsDrawnFromItsChunks() {
        Map m;
        const struct {
            QPointF at;
            QRgb colour;
        } expected[] = {
            {{64, 100}, Red},       {{64, 200}, Blue},
            {{240, 64}, Green},     {{140, 64}, Backdrop}, // the green chunk's clear columns
            {{320, 64}, Backdrop},                         // an empty cell
            {{-40, 100}, Surround},                        // beyond the level
        };
        for (qreal zoom : {1.0, 8.0, frmMap::MinZoom}) {
            m.w.setZoom(zoom);
            for (const auto &e : expected) {
                m.view->centerOn(e.at);
                // Beyond the level is out of sight close up.
                if (m.port->rect().contains(m.on(e.at)))
                    QCOMPARE(m.pixel(e.at), e.colour);
            }
        }
        // Each chunk is rendered once, however often it is painted, and the same terrain shown
        // again with other objects keeps them.
        const int renders = m.terrain->chunkRenders;
        QVERIFY(renders > 0 && renders <= 3);
        m.w.showLevel(QStringLiteral("GHZ 1"), m.terrain, Objects.mid(1));
        m.shot();
        QCOMPARE(m.terrain->chunkRenders, renders);
        // Another terrain is rendered afresh.
        auto other = smallTerrain();
        m.w.showLevel(QStringLiteral("GHZ 1"), other, Objects);
        m.shot();
        QVERIFY(other->chunkRenders > 0);
    }

    void spritesStandInTheGamesOrder() {
        const auto m = Map::withSprites();
        QAction *sprites = m->action("actionSprites");
        QVERIFY(sprites->isCheckable() && sprites->isChecked());
        const struct {
            QPointF at;
            QRgb shown, asMarkers;
        } expected[] = {
            {{95.5, 95.5}, Yellow, Ground},  {{103.5, 103.5}, Yellow, Ground}, // A over B
            {{115.5, 115.5}, Cyan, Ground},  {{113.5, 101.5}, Orange, Ground}, // C over B
            {{105.5, 105.5}, Green, Ground},                                   // the ring
            {{90.5, 90.5}, Ground, Ground},  {{100.5, 100.5}, Yellow, White},  // A's marker
            {{200.5, 100.5}, White, White},                                    // D's marker
        };
        for (bool shown : {true, false, true}) {
            sprites->setChecked(shown);
            for (const auto &e : expected)
                QCOMPARE(m->pixel(e.at), shown ? e.shown : e.asMarkers);
        }
        // Hovering a sprite names its object above its line.
        const QPoint at = m->on({95.5, 95.5});
        QHelpEvent help(QEvent::ToolTip, at, m->port->mapToGlobal(at));
        QApplication::sendEvent(m->port, &help);
        QCOMPARE(QToolTip::text(), QStringLiteral("Crabmeat (1F)\nline 16"));

        // The selected sprite gets an outline, a dark line between; it is dragged by its edge.
        const QPointF above(100.5, 87.5), inside(95.5, 95.5);
        QCOMPARE(m->pixel(above), Ground);
        m->w.selectObject(0x10);
        QCOMPARE(m->pixel(above), Magenta);
        QCOMPARE(m->pixel(inside), Yellow);
        QCOMPARE(m->pixel({100.5, 89.5}), Black);
        drag(m->port, m->on({109.5, 95.5}), m->on({139.5, 115.5}));
        QCOMPARE(QList<QVariantList>(m->moved), {QVariantList({qint64(0x10), 130, 120})});
        QCOMPARE(m->pixel(inside + QPointF(30, 20)), Yellow);
        QCOMPARE(m->pixel(inside), Ground);
    }

    void spritesAreHitWhereTheyAreDrawn() {
        const struct {
            QPointF at;
            qint64 hit;                      // -1: nothing
        } cases[] = {{{109.5, 95.5}, 0x10},  // A's right edge
                     {{90.5, 90.5}, -1},     // A's clear corner
                     {{110.5, 95.5}, -1},    // beyond A's edge
                     {{105.5, 105.5}, 0x10}, // the ring over A and B
                     {{113.5, 101.5}, 0x1C}, // C over B
                     {{201.5, 99.5}, 0x22}}; // D's marker
        for (const auto &c : cases) {
            const auto m = Map::withSprites();
            QTest::mouseClick(m->port, Qt::LeftButton, {}, m->on(c.at));
            QCOMPARE(m->clicked.isEmpty() ? -1 : m->clicked.first().first().toLongLong(), c.hit);
            QCOMPARE(m->w.scene()->selectedOffset(), c.hit);
        }
    }

    void namesFollowTheZone() {
        const struct {
            int game, row, type;
            const char *name;
        } cases[] = {{1, 0, 0x9F, "Crabmeat"},
                     {1, 13, 0x56, "Floating Block"}, // Spring Yard
                     {1, 3, 0x56, "Large Door"},
                     {1, 6, 0xD6, "Large Door"},            // Labyrinth 4 too
                     {1, 16, 0x15, "Swinging Spiked Ball"}, // Scrap Brain
                     {2, 0, 0x9D, "Coconuts"},
                     {2, 9, 0x1C, "Oil Fall"}, // all 8 bits; Oil Ocean
                     {2, 0, 0xFF, ""}};
        for (const auto &c : cases)
            QCOMPARE(sprites::objectName(c.game, c.row, quint8(c.type)), QString(c.name));
    }
};

QTEST_MAIN(tst_MapWindow)
#include "tst_mapwindow.moc"
