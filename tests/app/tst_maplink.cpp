// The map window beside the main window, driven through both as a user would: opening it,
// following the level and the line, selecting from either side, dragging an object and undoing
// it (checked in the saved file), levels without terrain, the picture, and closing; the map's
// multi-select, rubber band, group drag, paste and "Add Object Here". Zoom keys, limits and the
// rest of the map window alone are in tst_mapwindow.

#include "app/frmmain.h"
#include "app/frmmap.h"
#include "app/maplink.h"
#include "demo/syntheticimage.h"
#include "demo/syntheticsprites.h"
#include "document/imagedocument.h"
#include "map/levelscene.h"
#include "map/mapexport.h"
#include "sprites/levelsprites.h"
#include "support/guitest.h"

#include <QAction>
#include <QClipboard>
#include <QGraphicsItem>
#include <QGraphicsView>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QUndoStack>

using namespace testsupport;
using synthetic::Record;

namespace {

// Sonic 1 row 11: records 0-8 at X 0030 0046 0063 00C4 011C 0266 0299 03A6 0474; record 3
// stands at Y 0130 with the flag bits 8 above it.
constexpr int Level = 11;
constexpr qint64 LayoutAt = 0x6E85E;

constexpr qint64 recordAt(int i) {
    return LayoutAt + 6 * i;
}

} // namespace

class tst_MapLink : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    std::unique_ptr<frmMain> w;
    bool open(const QByteArray &data) {
        return (w = openWindow<frmMain>(writeFile(dir, "a.bin", data), Level)) != nullptr;
    }
    static frmMap *mapOf(frmMain *w) { return w->findChild<MapLink *>()->mapWindow(); }
    // Ctrl+M where the focus is; the map it opened.
    static frmMap *ctrlM(frmMain *w) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w, Qt::Key_M,
                        Qt::ControlModifier);
        return mapOf(w);
    }
    // The screen pixel showing the centre of the record's marker.
    static QPoint onMarker(frmMap *map, qint64 offset) {
        return screenPoint(map->view(), map->scene()->marker(offset)->pos());
    }
    // The level pixel a screen pixel shows (its centre's).
    static QPointF pixel(frmMap *map, QPoint p) {
        return map->view()->viewportTransform().inverted().map(QPointF(p) + QPointF(0.5, 0.5));
    }
    // The map shows exactly the listed records, each at its position with its line.
    static void showsTheList(frmMain *w, frmMap *map) {
        const QStringList listed = listedLines(w, "sprite");
        QVERIFY(!listed.isEmpty());
        QCOMPARE(map->scene()->markerCount(), listed.size());
        for (const QString &line : listed) {
            const qint64 at = line.section(':', 0, 0).toLongLong(); // decimal, as listed
            const Record r = synthetic::recordAt(w->fileData(), at);
            const QGraphicsItem *marker = map->scene()->marker(at);
            QVERIFY2(marker, qPrintable(line));
            QCOMPARE(marker->toolTip().section('\n', -1), line); // under the object's name
            QCOMPARE(marker->pos(),
                     QPointF((r[0] << 8 | r[1]) + 0.5, ((r[2] & 0x0F) << 8 | r[3]) + 0.5));
        }
    }

  private slots:
    void cleanup() { w.reset(); }
    // Ctrl+M wherever the focus is, and "Show Map" in both lists' menus, open the map on the
    // level shown, with one marker per listed line.
    void opening_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("level");    // the level the map then shows
        QTest::addColumn<int>("selected"); // the record selected then, or -1
        QTest::newRow("Ctrl+M in the object list") << "sprite" << Level << -1;
        QTest::newRow("Ctrl+M in the X box") << "x" << Level << -1;
        QTest::newRow("level menu") << "level menu" << 13 << -1;
        QTest::newRow("object list menu") << "sprite menu" << Level << 7;
    }
    void opening() {
        QFETCH(QString, how);
        QFETCH(int, level);
        QFETCH(int, selected);
        QVERIFY(open(synthetic::image(1)));
        QVERIFY(!mapOf(w.get())); // nothing is made before it is asked for
        frmMap *map = nullptr;
        if (how.endsWith("menu")) {
            // The object list's whole menu is tst_changes'; the level list's is this one item.
            const QStringList offered = contextMenu(w.get(), qPrintable(how.section(' ', 0, 0)),
                                                    selected >= 0 ? selected : level, "Show Map");
            map = mapOf(w.get());
            if (how.startsWith("level"))
                QCOMPARE(offered, QStringList{"Show Map|Ctrl+M|1"});
        } else {
            QTest::mouseClick(control<QWidget>(w.get(), qPrintable(how)), Qt::LeftButton);
            map = ctrlM(w.get());
        }
        QVERIFY(map && map->isVisible() && map->isWindow() && !map->parentWidget());
        QCOMPARE(map->windowTitle(), "Map - " + listedLines(w.get(), "level").value(level));
        showsTheList(w.get(), map);
        QCOMPARE(map->scene()->selectedOffset(), selected >= 0 ? recordAt(selected) : -1);
        if (selected >= 0) { // centred on it, as far as the level's edges let the view go
            const QRect port = map->view()->viewport()->rect();
            const QPoint at = onMarker(map, recordAt(selected));
            QVERIFY(qAbs(at.y() - port.center().y()) <= 1);
            QVERIFY(at.x() > port.width() / 8);
        }
    }

    // The map shows what the main window shows: nothing before a level, each level chosen,
    // nothing after loading an image of neither game; relisting the same level keeps the chunks
    // drawn; a level without terrain shows its objects all the same.
    void followsTheMainWindow() {
        frmMain w;
        QVERIFY(showActive(&w));
        frmMap *map = ctrlM(&w);
        QVERIFY(map && map->isVisible());
        QCOMPARE(map->windowTitle(), "Map");
        QVERIFY(loadThroughDialog(&w, writeFile(dir, "one.bin", synthetic::image(1))).isEmpty());
        QCOMPARE(map->windowTitle(), "Map"); // no level chosen yet
        for (int level : {Level, 0, 13}) {
            clickRow(&w, "level", level);
            QCOMPARE(map->windowTitle(), "Map - " + listedLines(&w, "level").value(level));
            showsTheList(&w, map);
        }
        map->fitLevel(); // all of it in view
        map->view()->viewport()->grab();
        const int drawn = map->scene()->cachedPictures();
        QVERIFY(drawn > 0);
        clickRow(&w, "sprite", 0);
        click(&w, "Command3"); // relists, no edit
        QCOMPARE(selectedRow(&w, "sprite"), 0);
        QCOMPARE(map->scene()->cachedPictures(), drawn);

        // Without terrain (Hidden Palace) the objects stand on a plain grid with the reason
        // below; no box.
        QVERIFY(loadThroughDialog(&w, writeFile(dir, "two.bin", synthetic::image(2))).isEmpty());
        QVERIFY(boxesDuring(&w, [&w] {
                    clickRow(&w, "level", 8);
                    QTest::qWait(100);
                }).isEmpty());
        QVERIFY(!map->scene()->hasTerrain());
        QVERIFY(control<QLabel>(map, "mapStatus")->text().contains("Hidden Palace"));
        showsTheList(&w, map);

        // An image of neither game lists no level: the map empties.
        loadThroughDialog(&w, writeFile(dir, "other.bin", QByteArray(0x80000, '\x11')));
        QCOMPARE(map->windowTitle(), "Map");
        QCOMPARE(map->scene()->markerCount(), 0);
    }

    // A dragged marker writes the record's new X and Y position bits as one step (the record
    // going to its place in X order), shown in both windows; undo and redo from either window.
    void dragAndUndo_data() {
        QTest::addColumn<qreal>("zoom");
        QTest::addColumn<QPoint>("by"); // screen pixels
        QTest::addColumn<int>("slot");  // where the record then stands
        QTest::addColumn<bool>("undoInMap");
        QTest::newRow("a few pixels, undone in the map") << 1.0 << QPoint(10, -6) << 3 << true;
        QTest::newRow("far right, undone in the main window")
            << 0.5 << QPoint(222, 20) << 5 << false;
        QTest::newRow("far left, undone in the map") << 0.5 << QPoint(-90, -10) << 0 << true;
    }
    void dragAndUndo() {
        QFETCH(qreal, zoom);
        QFETCH(QPoint, by);
        QFETCH(int, slot);
        QFETCH(bool, undoInMap);
        const QByteArray original = synthetic::image(1);
        QVERIFY(open(original));
        frmMap *map = ctrlM(w.get());
        map->setZoom(zoom);
        clickRow(w.get(), "sprite", 3); // centres the map on it
        QVERIFY(showActive(map));
        QSignalSpy moved(map, &frmMap::objectMoved);
        const QPoint from = onMarker(map, recordAt(3));
        drag(map->view()->viewport(), from, from + by);
        QCOMPARE(moved.count(), 1);
        const int x = moved.first().at(1).toInt(), y = moved.first().at(2).toInt();

        // One record rewritten, its Y flag bits kept, and taken to its place in X order (the
        // rule is tst_edits'), the ones it passed shifted; both windows show it there, selected.
        const Record was = synthetic::recordAt(original, recordAt(3));
        QVERIFY(was[2] & 0xF0);
        const QString rec =
            QString::asprintf("%04X%04X%02X%02X", x, (was[2] & 0xF0) << 8 | y, was[4], was[5]);
        QByteArray edited = original;
        edited.remove(recordAt(3), 6).insert(recordAt(slot), QByteArray::fromHex(rec.toLatin1()));
        QCOMPARE(w->fileData(), edited);
        QCOMPARE(selectedRow(w.get(), "sprite"), slot);
        QCOMPARE(editors(w.get()), rec);
        QCOMPARE(map->scene()->selectedOffset(), recordAt(slot));
        showsTheList(w.get(), map);

        QWidget *undoWindow = undoInMap ? static_cast<QWidget *>(map) : w.get();
        QVERIFY(showActive(undoWindow));
        QTest::keyClick(undoWindow, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w->fileData(), original);
        QCOMPARE(map->scene()->selectedOffset(), recordAt(3));
        QCOMPARE(selectedRow(w.get(), "sprite"), 3);
        showsTheList(w.get(), map);
        // Redo from the other window.
        QWidget *redoWindow = undoInMap ? static_cast<QWidget *>(w.get()) : map;
        QVERIFY(showActive(redoWindow));
        QTest::keyClick(redoWindow, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(map->scene()->selectedOffset(), recordAt(slot));
        QCOMPARE(map->scene()->marker(recordAt(slot))->pos(), QPointF(x + 0.5, y + 0.5));
    }

    // On the demo image, whose objects have sprites: the record of type A6 is Sonic 1's monitor,
    // id 26; a click on its sprite's last pixel selects its line; "Save Map Image..." writes what
    // the export writes of the saved image, with sprites or, with Sprites off, with markers.
    void savesTheLevelsPicture() {
        const QByteArray data = synthetic::demoImage(1);
        QVERIFY(open(data));
        const QString path = romPath(w.get());
        change(w.get(), 3, "0100");
        click(w.get(), "Command2");
        frmMap *map = ctrlM(w.get());
        const qint64 monitor = recordAt(2);
        QVERIFY(map->scene()->marker(monitor)->toolTip().startsWith("Monitor (26)\n"));
        const sprites::Appearance look =
            sprites::LevelSprites::load(data, rom::revision(data), Level)->record(data, monitor);
        QCOMPARE(look.look, sprites::Look::Sprite);
        QPoint last;
        for (int y = 0; y < look.picture.height(); ++y)
            for (int x = 0; x < look.picture.width(); ++x)
                if (qAlpha(look.picture.pixel(x, y)))
                    last = look.topLeft + QPoint(x, y);
        map->view()->centerOn(last);
        QTest::mouseClick(map->view()->viewport(), Qt::LeftButton, {},
                          screenPoint(map->view(), QPointF(last) + QPointF(0.5, 0.5)));
        QCOMPARE(selectedRow(w.get(), "sprite"), 2);

        for (bool markers : {false, true}) {
            control<QAction>(map, "actionSprites")->setChecked(!markers);
            const QString shown = dir.filePath(QStringLiteral("shown%1.png").arg(markers));
            const QString exported = dir.filePath(QStringLiteral("export%1.png").arg(markers));
            answerFileDialog(shown);
            control<QAction>(map, "actionSaveImage")->trigger();
            QTextStream err(stderr);
            QCOMPARE(map::exportMap(path, QString::number(Level), exported, err, markers), 0);
            QCOMPARE(readFile(shown), readFile(exported));
        }
        QCOMPARE(QImage(dir.filePath("shown1.png")).pixel(0x100, 0x130), qRgb(255, 255, 255));
    }

    // The map: Ctrl+click, a rubber band, one drag moving all, Delete, copy and both pastes,
    // "Add Object Here"; each one step, undone from either window.
    void mapCommands() {
        const QByteArray original = synthetic::image(1);
        QVERIFY(open(original));
        frmMap *map = ctrlM(w.get());
        QVERIFY(showActive(map));
        QWidget *port = map->view()->viewport();
        LevelSelection *selection = w->document()->selection();
        map->view()->centerOn(map->scene()->marker(recordAt(1))->pos());
        QTest::mouseClick(port, Qt::LeftButton, {}, onMarker(map, recordAt(0)));
        QTest::mouseClick(port, Qt::LeftButton, Qt::ControlModifier, onMarker(map, recordAt(2)));
        QTest::mouseClick(port, Qt::LeftButton, Qt::ControlModifier, onMarker(map, recordAt(1)));
        QCOMPARE(selection->records(), (QVector<qint64>{recordAt(0), recordAt(1), recordAt(2)}));
        QCOMPARE(selectedRow(w.get(), "sprite"), 1); // the list shows the last one picked
        QTest::mouseClick(port, Qt::LeftButton, Qt::ControlModifier, onMarker(map, recordAt(0)));
        QCOMPARE(map->scene()->selectedOffsets(), (QVector<qint64>{recordAt(1), recordAt(2)}));

        // One drag moves both as one step.
        const int n = rows(w.get());
        const QPoint from = onMarker(map, recordAt(1));
        drag(port, from, from + QPoint(20, 12));
        QCOMPARE(w->document()->undoStack()->undoText(), "Move Objects");
        // Both 20 pixels right of 0046 and 0063, still in their places and selected.
        QCOMPARE(selection->records(), (QVector<qint64>{recordAt(1), recordAt(2)}));
        QCOMPARE(recordText(w->fileData(), recordAt(1)).left(4) +
                     recordText(w->fileData(), recordAt(2)).left(4),
                 "005A0077");
        QTest::keySequence(map, QKeySequence::Undo);
        QCOMPARE(w->fileData(), original);

        // A rubber band from bare ground picks every marker it touches.
        map->setZoom(0.25);
        map->view()->centerOn(map->scene()->marker(recordAt(3))->pos());
        const QPoint a = onMarker(map, recordAt(3)), b = onMarker(map, recordAt(4));
        const QRect band = QRect(a, b).normalized().adjusted(-6, -6, 6, 6);
        drag(port, band.topLeft(), band.bottomRight());
        QVERIFY(selection->contains(recordAt(3)) && selection->contains(recordAt(4)));

        // Delete and copy work on all selected; a paste in place brings them back selected.
        QTest::keySequence(map, QKeySequence::Copy);
        const int picked = int(selection->records().size());
        QTest::keySequence(map, QKeySequence::Delete);
        QCOMPARE(rows(w.get()), n - picked);
        QTest::keySequence(map, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
        QCOMPARE(rows(w.get()), n);
        QCOMPARE(selection->records().size(), picked);
        QCOMPARE(w->fileData(), original); // the same records back where they were
        QVERIFY(w->document()->isModified());

        // Ctrl+V puts the first record under the mouse; "Add Object Here" takes the editors'.
        QApplication::clipboard()->setText("0100 0100 25 00\n0110 0120 26 00\n");
        QCursor::setPos(port->mapToGlobal(onMarker(map, recordAt(0)) + QPoint(30, 40)));
        const QPointF target = pixel(map, port->mapFromGlobal(QCursor::pos()));
        QTest::keySequence(map, QKeySequence::Paste);
        QCOMPARE(selection->records().size(), 2);
        QCOMPARE(recordText(w->fileData(), selection->records().first()),
                 QString::asprintf("%04X %04X 25 00", int(target.x()), int(target.y())));

        control<QLineEdit>(w.get(), "y")->setText("4000");
        control<QLineEdit>(w.get(), "maintype")->setText("25");
        control<QLineEdit>(w.get(), "subtype")->setText("07");
        const QPoint here = onMarker(map, recordAt(2)) + QPoint(9, 9);
        const QPointF level = pixel(map, here);
        QCOMPARE(contextMenuAt(port, here, "Add Object Here").value(0), "Add Object Here||1");
        QCOMPARE(w->document()->undoStack()->undoText(), "Add Object Here");
        QCOMPARE(recordText(w->fileData(), selection->current()),
                 QString::asprintf("%04X %04X 25 07", int(level.x()), 0x4000 | int(level.y())));

        // Undone from the main window, all the way.
        QWidget *list = control<QWidget>(w.get(), "sprite");
        list->setFocus();
        while (w->document()->undoStack()->canUndo())
            QTest::keySequence(list, QKeySequence::Undo);
        QCOMPARE(w->fileData(), original);
    }

    // Closing the map keeps the main window; closing the main window takes the map along,
    // but not when the close is called off; the map goes with the main window.
    void closesWithTheMainWindow() {
        QVERIFY(open(synthetic::image(1)));
        frmMap *map = ctrlM(w.get());
        QVERIFY(map->close());
        QVERIFY(w->isVisible() && !map->isVisible());
        QVERIFY(showActive(w.get()));
        QCOMPARE(ctrlM(w.get()), map);
        QVERIFY(map->isVisible());
        change(w.get(), 3, "0100");
        auto answers = answerMessageBoxes(w.get(), {QMessageBox::Cancel});
        QVERIFY(!w->close() && map->isVisible());
        answers = answerMessageBoxes(w.get(), {QMessageBox::Discard});
        QVERIFY(w->close());
        const auto visible = QApplication::topLevelWidgets();
        QVERIFY(std::none_of(visible.begin(), visible.end(),
                             [](QWidget *t) { return t->isVisible(); }));
        const QPointer<frmMap> gone(map);
        w.reset();
        QVERIFY(gone.isNull());
    }
};

QTEST_MAIN(tst_MapLink)
#include "tst_maplink.moc"
