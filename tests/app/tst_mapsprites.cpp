// Objects drawn as their sprites in the map window: the game's order, the switch back to markers,
// the hover text, hitting a sprite where it is drawn, the outline of the selected one; and the
// objects' names, by zone where the object changes with it.

#include "app/frmmain.h"
#include "app/frmmap.h"
#include "app/maplink.h"
#include "demo/syntheticsprites.h"
#include "map/levelscene.h"
#include "map/mapexport.h"
#include "sprites/levelsprites.h"
#include "sprites/objectnames.h"
#include "support/gridterrain.h"
#include "support/guitest.h"

#include <QAction>
#include <QGraphicsItem>
#include <QGraphicsView>
#include <QHelpEvent>
#include <QSignalSpy>
#include <QToolTip>

using namespace testsupport;
using map::MapObject;

namespace {

const QRgb Ground = qRgb(0, 0, 160), Yellow = qRgb(255, 255, 0), Cyan = qRgb(0, 255, 255);
const QRgb Orange = qRgb(255, 128, 0), Green = qRgb(0, 200, 0), White = qRgb(255, 255, 255);
const QRgb Magenta = qRgb(255, 0, 255);

// A square sprite of one colour with its top left pixel clear.
QImage square(QRgb colour, int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    image.setPixel(0, 0, 0);
    return image;
}

MapObject object(qint64 offset, QPoint at, QRgb colour, int side, QPoint corner, int priority) {
    return {offset,    at.x(),
            at.y(),    QStringLiteral("line %1").arg(offset),
            QString(), colour ? square(colour, side) : QImage(),
            corner,    priority};
}

// A and B share a priority (A, the earlier record, in front); C is in front of both; D has no
// sprite; a ring stands over A and B.
const QVector<MapObject> Objects = {
    object(0x10, {100, 100}, Yellow, 20, {90, 90}, 3),
    object(0x16, {110, 110}, Cyan, 20, {100, 100}, 3),
    object(0x1C, {115, 95}, Orange, 10, {112, 92}, 1),
    object(0x22, {200, 100}, 0, 0, {}, 0),
};

struct Map {
    frmMap w;
    QGraphicsView *view = w.view();
    QWidget *port = view->viewport();
    QSignalSpy clicked{&w, &frmMap::objectClicked};
    QSignalSpy moved{&w, &frmMap::objectMoved};

    Map() {
        QVector<MapObject> objects = Objects;
        objects[0].name = QStringLiteral("Crabmeat (1F)");
        const auto terrain = std::make_shared<GridTerrain>(
            128, 3, 2, QVector<int>(6, 0), [](int, int size) { return plainChunk(Ground, size); });
        w.showLevel(QStringLiteral("GHZ 1"), terrain, objects,
                    {object(-1, {}, Green, 8, {104, 104}, 0)});
        showActive(&w);
    }
    QPoint on(QPointF scene) const {
        const QPointF p = view->viewportTransform().map(scene);
        return {int(std::floor(p.x())), int(std::floor(p.y()))};
    }
    QRgb pixel(QPointF scene) const { return port->grab().toImage().pixel(on(scene)) | 0xFF000000; }
    QAction *sprites() { return w.findChild<QAction *>(QStringLiteral("actionSprites")); }
};

} // namespace

class tst_MapSprites : public QObject {
    Q_OBJECT

  private slots:
    void spritesStandInTheGamesOrder() {
        Map m;
        QVERIFY(m.sprites()->isCheckable() && m.sprites()->isChecked());
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
            m.sprites()->setChecked(shown);
            for (const auto &e : expected)
                QCOMPARE(m.pixel(e.at), shown ? e.shown : e.asMarkers);
        }
        // Hovering a sprite names its object above its line.
        const QPoint at = m.on({95.5, 95.5});
        QHelpEvent help(QEvent::ToolTip, at, m.port->mapToGlobal(at));
        QApplication::sendEvent(m.port, &help);
        QCOMPARE(QToolTip::text(), QStringLiteral("Crabmeat (1F)\nline 16"));
    }

    void spritesAreHitWhereTheyAreDrawn_data() {
        QTest::addColumn<QPointF>("at");
        QTest::addColumn<qint64>("hit"); // -1: nothing
        QTest::newRow("A's right edge") << QPointF(109.5, 95.5) << qint64(0x10);
        QTest::newRow("A's clear corner") << QPointF(90.5, 90.5) << qint64(-1);
        QTest::newRow("beyond A's edge") << QPointF(110.5, 95.5) << qint64(-1);
        QTest::newRow("the ring over A and B") << QPointF(105.5, 105.5) << qint64(0x10);
        QTest::newRow("C over B") << QPointF(113.5, 101.5) << qint64(0x1C);
        QTest::newRow("D's marker") << QPointF(201.5, 99.5) << qint64(0x22);
    }
    void spritesAreHitWhereTheyAreDrawn() {
        QFETCH(QPointF, at);
        QFETCH(qint64, hit);
        Map m;
        QTest::mouseClick(m.port, Qt::LeftButton, {}, m.on(at));
        QCOMPARE(m.clicked.isEmpty() ? -1 : m.clicked.first().first().toLongLong(), hit);
        QCOMPARE(m.w.scene()->selectedOffset(), hit);
    }

    void theSelectedSpriteIsOutlinedAndDragged() {
        Map m;
        const QPointF above(100.5, 87.5), inside(95.5, 95.5);
        QCOMPARE(m.pixel(above), Ground);
        m.w.selectObject(0x10);
        QCOMPARE(m.pixel(above), Magenta);
        QCOMPARE(m.pixel(inside), Yellow);
        QCOMPARE(m.pixel({100.5, 89.5}), qRgb(0, 0, 0)); // a dark line between the two

        const QPoint from = m.on({109.5, 95.5});
        QTest::mousePress(m.port, Qt::LeftButton, {}, from);
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(m.port, from + QPoint(30, 20) * step / 4);
        QTest::mouseRelease(m.port, Qt::LeftButton, {}, from + QPoint(30, 20));
        QCOMPARE(m.moved.count(), 1);
        QCOMPARE(m.moved.first(), QVariantList({qint64(0x10), 130, 120}));
        QCOMPARE(m.pixel(inside + QPointF(30, 20)), Yellow);
        QCOMPARE(m.pixel(inside), Ground);
    }

    void namesFollowTheZone_data() {
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::newRow("S1 remembered") << 1 << 0 << 0x9F << "Crabmeat";
        QTest::newRow("S1 block in Spring Yard") << 1 << 13 << 0x56 << "Floating Block";
        QTest::newRow("S1 door in Labyrinth") << 1 << 3 << 0x56 << "Large Door";
        QTest::newRow("S1 Labyrinth 4 is Labyrinth") << 1 << 6 << 0xD6 << "Large Door";
        QTest::newRow("S1 spiked ball in Scrap Brain") << 1 << 16 << 0x15 << "Swinging Spiked Ball";
        QTest::newRow("S2 all 8 bits") << 2 << 0 << 0x9D << "Coconuts";
        QTest::newRow("S2 oil in Oil Ocean") << 2 << 9 << 0x1C << "Oil Fall";
        QTest::newRow("unknown id") << 2 << 0 << 0xFF << "";
    }
    void namesFollowTheZone() {
        QFETCH(int, game);
        QFETCH(int, row);
        QFETCH(int, type);
        QFETCH(QString, name);
        QCOMPARE(sprites::objectName(game, row, quint8(type)), name);
    }

    // Through both windows on the demo image: the record of type A6 is Sonic 1's monitor, id 26;
    // a click on its sprite's last pixel selects its line; "Save Map Image..." writes what the
    // export writes, with sprites or, with Sprites off, with markers.
    void theDemoThroughBothWindows() {
        QTemporaryDir dir;
        const QByteArray data = synthetic::demoImage(1);
        const QString path = writeFile(dir, "demo.bin", data);
        frmMain w;
        QVERIFY(showActive(&w) && !loadThroughDialog(&w, path)->seen && showActive(&w));
        clickRow(&w, "level", 11);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_M, Qt::ControlModifier);
        frmMap *map = w.findChild<MapLink *>()->mapWindow();
        QVERIFY(map && map->isVisible());
        constexpr qint64 Monitor = 0x6E86A; // line 2
        QVERIFY(map->scene()->marker(Monitor)->toolTip().startsWith("Monitor (26)\n"));

        const sprites::Appearance look =
            sprites::LevelSprites::load(data, rom::revision(data), 11)->record(data, Monitor);
        QCOMPARE(look.look, sprites::Look::Sprite);
        QPoint last;
        for (int y = 0; y < look.picture.height(); ++y)
            for (int x = 0; x < look.picture.width(); ++x)
                if (qAlpha(look.picture.pixel(x, y)))
                    last = look.topLeft + QPoint(x, y);
        map->view()->centerOn(last);
        const QPointF at = map->view()->viewportTransform().map(QPointF(last) + QPointF(0.5, 0.5));
        QTest::mouseClick(map->view()->viewport(), Qt::LeftButton, {},
                          QPoint(int(std::floor(at.x())), int(std::floor(at.y()))));
        QCOMPARE(selectedRow(&w, "sprite"), 2);

        QByteArray saved[2];
        for (bool markers : {false, true}) {
            map->findChild<QAction *>(QStringLiteral("actionSprites"))->setChecked(!markers);
            const QString shown = dir.filePath(QStringLiteral("shown%1.png").arg(markers));
            const QString exported = dir.filePath(QStringLiteral("export%1.png").arg(markers));
            answerFileDialog(shown);
            map->findChild<QAction *>(QStringLiteral("actionSaveImage"))->trigger();
            QString errors;
            QTextStream err(&errors);
            QCOMPARE(map::exportMap(path, QStringLiteral("11"), exported, err, markers), 0);
            saved[markers] = readFile(shown);
            QCOMPARE(saved[markers], readFile(exported));
        }
        QVERIFY(saved[0] != saved[1]);
    }
};

QTEST_MAIN(tst_MapSprites)
#include "tst_mapsprites.moc"
