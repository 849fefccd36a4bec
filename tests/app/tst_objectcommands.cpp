// Adding, deleting, copying and pasting objects through the real windows: the object list's
// keys and menu, the clipboard text both ways, the map's multi-select, rubber band, group drag,
// paste and "Add Object Here", refusals, and undo from either window down to the saved bytes.

#include "app/frmmain.h"
#include "app/frmmap.h"
#include "app/maplink.h"
#include "demo/syntheticimage.h"
#include "document/imagedocument.h"
#include "levels/leveltables.h"
#include "map/levelscene.h"
#include "support/guitest.h"

#include <QClipboard>
#include <QGraphicsItem>
#include <QGraphicsView>
#include <QUndoStack>

using namespace testsupport;

namespace {

// Sonic 1 row 11: records 0-4 at X 0030 0046 0063 00C4 011C.
constexpr int Level = 11;
constexpr qint64 LayoutAt = 0x6E85E;

QString recordText(const QByteArray &image, qint64 at) {
    const QByteArray h = image.mid(at, 6).toHex().toUpper();
    return QString::fromLatin1(h.left(4) + ' ' + h.mid(4, 4) + ' ' + h.mid(8, 2) + ' ' +
                               h.mid(10, 2));
}

} // namespace

class tst_ObjectCommands : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path;

    std::unique_ptr<frmMain> open(const QByteArray &data) {
        auto w = std::make_unique<frmMain>();
        path = writeFile(dir, "a.bin", data);
        if (!showActive(w.get()) || loadThroughDialog(w.get(), path)->seen || !showActive(w.get()))
            return nullptr;
        clickRow(w.get(), "level", Level);
        return w;
    }
    static QAbstractItemView *list(QWidget *w) { return control<QAbstractItemView>(w, "sprite"); }
    static int rows(QWidget *w) { return list(w)->model()->rowCount(); }
    static qint64 selectedOffset(QWidget *w) {
        return list(w)
            ->model()
            ->index(selectedRow(w, "sprite"), 0)
            .data()
            .toString()
            .section(':', 0, 0)
            .toLongLong();
    }
    static void key(QWidget *target, const QKeySequence &k) {
        target->setFocus();
        QTest::keySequence(target, k);
    }
    // Presses `k` on the object list while a message box (if any) is answered; its text.
    static QString keyWithBox(QWidget *w, const QKeySequence &k) {
        auto box = answerMessageBox(w);
        key(list(w), k);
        box->armed = false;
        return box->seen ? box->text : QString();
    }
    static frmMap *openMap(frmMain *w) {
        QTest::keyClick(w, Qt::Key_M, Qt::ControlModifier);
        frmMap *map = w->findChild<MapLink *>()->mapWindow();
        showActive(map);
        return map;
    }
    static QPoint onMarker(frmMap *map, qint64 offset) {
        const QPointF p = map->view()->viewportTransform().map(map->scene()->marker(offset)->pos());
        return {int(std::floor(p.x())), int(std::floor(p.y()))};
    }

    // The level pixel a screen pixel shows (its centre's).
    static QPointF pixel(frmMap *map, QPoint p) {
        return map->view()->viewportTransform().inverted().map(QPointF(p) + QPointF(0.5, 0.5));
    }

  private slots:
    // Each key of the object list, undone and redone, and what the file gets.
    void listKeys() {
        const QByteArray original = synthetic::image(1);
        auto w = open(original);
        QVERIFY(w);
        const int n = rows(w.get());
        clickRow(w.get(), "sprite", 0);
        control<QLineEdit>(w.get(), "x")->setText("50");
        control<QLineEdit>(w.get(), "y")->setText("8123");
        control<QLineEdit>(w.get(), "subtype")->setText("01");
        // Insert: before the first greater X (0063), selected, exactly the editors' bytes.
        QCOMPARE(keyWithBox(w.get(), QKeySequence(Qt::Key_Insert)), QString());
        QCOMPARE(rows(w.get()), n + 1);
        QCOMPARE(selectedRow(w.get(), "sprite"), 2);
        QCOMPARE(recordText(w->fileData(), selectedOffset(w.get())), "0050 8123 01 01");
        const QByteArray inserted = w->fileData();
        QVERIFY(imageAddresses(inserted, rom::Revision::Sonic1Rev0));
        // Delete: the line that took its place is selected; the image is the original again.
        QCOMPARE(keyWithBox(w.get(), QKeySequence::Delete), QString());
        QCOMPARE(w->fileData(), original);
        QCOMPARE(selectedRow(w.get(), "sprite"), 2);
        QCOMPARE(w->document()->undoStack()->undoText(), "Delete Object");
        clickRow(w.get(), "sprite", n - 1);
        QCOMPARE(keyWithBox(w.get(), QKeySequence::Delete), QString());
        QCOMPARE(selectedRow(w.get(), "sprite"), n - 2);

        // Copy and paste, the clipboard as text both ways.
        clickRow(w.get(), "sprite", 4);
        key(list(w.get()), QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(),
                 recordText(original, LayoutAt + 24) + QLatin1Char('\n'));
        QApplication::clipboard()->setText("0300 0200 25 00\n\n0010 0100 26 04\n");
        QCOMPARE(keyWithBox(w.get(), QKeySequence::Paste), QString());
        QCOMPARE(rows(w.get()), n + 1);
        QCOMPARE(recordText(w->fileData(), LayoutAt), "0010 0100 26 04");
        QCOMPARE(w->document()->selection()->records().size(), 2);

        // Undo all the way back, then save: the file is the original byte for byte.
        for (int i = 0; i < 4; ++i)
            key(list(w.get()), QKeySequence::Undo);
        QCOMPARE(w->fileData(), original);
        key(list(w.get()), QKeySequence::Redo);
        QCOMPARE(w->fileData(), inserted);
        key(list(w.get()), QKeySequence::Undo);
        click(w.get(), "Command2");
        QCOMPARE(readFile(path), original);
    }

    // What is refused says why, and changes nothing; a text box keeps its own keys.
    void refusals_data() {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("x");
        QTest::addColumn<QString>("says");
        QTest::newRow("a line that is no record") << "0300 0200 25 00\n0300 020 25 00"
                                                  << ""
                                                  << "line 2 (\"0300 020 25 00\")";
        QTest::newRow("X 8000") << ""
                                << "8000"
                                << "X 8000 would never be loaded";
    }
    void refusals() {
        QFETCH(QString, clipboard);
        QFETCH(QString, x);
        QFETCH(QString, says);
        const QByteArray original = synthetic::image(1);
        auto w = open(original);
        QVERIFY(w);
        clickRow(w.get(), "sprite", 1);
        QApplication::clipboard()->setText(clipboard);
        control<QLineEdit>(w.get(), "x")->setText(x);
        const QString text = keyWithBox(w.get(), clipboard.isEmpty() ? QKeySequence(Qt::Key_Insert)
                                                                     : QKeySequence::Paste);
        QVERIFY2(text.contains(says), qPrintable(text));
        QCOMPARE(w->fileData(), original);
        QCOMPARE(w->document()->undoStack()->count(), 0);
        // Delete, Ctrl+C and Ctrl+V in a text box are its own.
        auto *box = control<QLineEdit>(w.get(), "maintype");
        box->setText("22");
        key(box, QKeySequence::SelectAll);
        key(box, QKeySequence::Delete);
        QCOMPARE(box->text(), QString());
        QCOMPARE(w->fileData(), original);
    }

    // The menu's items do what the keys do.
    void listMenu() {
        auto w = open(synthetic::image(2));
        QVERIFY(w);
        const int n = rows(w.get());
        contextMenu(w.get(), "sprite", 3, "Insert Object");
        QCOMPARE(rows(w.get()), n + 1);
        contextMenu(w.get(), "sprite", 3, "Delete Object");
        QCOMPARE(rows(w.get()), n);
    }

    // The map: Ctrl+click, a rubber band, one drag moving all, Delete, copy and both pastes,
    // "Add Object Here"; each one step, undone from either window.
    void mapCommands() {
        const QByteArray original = synthetic::image(1);
        auto w = open(original);
        QVERIFY(w);
        frmMap *map = openMap(w.get());
        QWidget *port = map->view()->viewport();
        LevelSelection *selection = w->document()->selection();
        const auto at = [](int i) { return LayoutAt + 6 * i; };
        map->view()->centerOn(map->scene()->marker(at(1))->pos());
        QTest::mouseClick(port, Qt::LeftButton, {}, onMarker(map, at(0)));
        QTest::mouseClick(port, Qt::LeftButton, Qt::ControlModifier, onMarker(map, at(2)));
        QTest::mouseClick(port, Qt::LeftButton, Qt::ControlModifier, onMarker(map, at(1)));
        QCOMPARE(selection->records(), (QVector<qint64>{at(0), at(1), at(2)}));
        QCOMPARE(selectedRow(w.get(), "sprite"), 1); // the list shows the last one picked
        QTest::mouseClick(port, Qt::LeftButton, Qt::ControlModifier, onMarker(map, at(0)));
        QCOMPARE(map->scene()->selectedOffsets(), (QVector<qint64>{at(1), at(2)}));

        // One drag moves both as one step.
        const int n = rows(w.get());
        const QPoint from = onMarker(map, at(1));
        QTest::mousePress(port, Qt::LeftButton, {}, from);
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(port, from + QPoint(5, 3) * step);
        QTest::mouseRelease(port, Qt::LeftButton, {}, from + QPoint(20, 12));
        QCOMPARE(w->document()->undoStack()->undoText(), "Move Objects");
        QCOMPARE(selection->records().size(), 2);
        for (qint64 moved : selection->records()) {
            const QString was =
                recordText(original, moved == selection->records().first() ? at(1) : at(2));
            const int x = was.left(4).toInt(nullptr, 16) + 20;
            QCOMPARE(recordText(w->fileData(), moved).left(4),
                     QString::number(x, 16).toUpper().rightJustified(4, '0'));
        }
        QTest::keySequence(map, QKeySequence::Undo);
        QCOMPARE(w->fileData(), original);

        // A rubber band from bare ground picks every marker it touches.
        map->setZoom(0.25);
        map->view()->centerOn(map->scene()->marker(at(3))->pos());
        const QPoint a = onMarker(map, at(3)), b = onMarker(map, at(4));
        const QRect band = QRect(a, b).normalized().adjusted(-6, -6, 6, 6);
        QTest::mousePress(port, Qt::LeftButton, {}, band.topLeft());
        QTest::mouseMove(port, band.center());
        QTest::mouseMove(port, band.bottomRight());
        QTest::mouseRelease(port, Qt::LeftButton, {}, band.bottomRight());
        QVERIFY(selection->contains(at(3)) && selection->contains(at(4)));

        // Delete and copy work on all selected; a paste in place brings them back selected.
        QTest::keySequence(map, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text().count('\n'), selection->records().size());
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
        QCursor::setPos(port->mapToGlobal(onMarker(map, at(0)) + QPoint(30, 40)));
        const QPointF target = pixel(map, port->mapFromGlobal(QCursor::pos()));
        QTest::keySequence(map, QKeySequence::Paste);
        QCOMPARE(selection->records().size(), 2);
        const QString first = recordText(w->fileData(), selection->records().first());
        QCOMPARE(first.left(4).toInt(nullptr, 16), int(target.x()));
        QCOMPARE(first.mid(5, 4).toInt(nullptr, 16), int(target.y()));

        control<QLineEdit>(w.get(), "y")->setText("4000");
        control<QLineEdit>(w.get(), "maintype")->setText("25");
        control<QLineEdit>(w.get(), "subtype")->setText("07");
        const QPoint here = onMarker(map, at(2)) + QPoint(9, 9);
        const QPointF level = pixel(map, here);
        QTimer::singleShot(50, map, [] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu && menu->actions().first()->text() == "Add Object Here");
            menu->actions().first()->trigger();
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, here, port->mapToGlobal(here));
        QApplication::sendEvent(port, &event);
        QCOMPARE(w->document()->undoStack()->undoText(), "Add Object Here");
        QCOMPARE(recordText(w->fileData(), selection->current()),
                 QStringLiteral("%1 %2 25 07")
                     .arg(int(level.x()), 4, 16, QLatin1Char('0'))
                     .arg(0x4000 | int(level.y()), 4, 16, QLatin1Char('0'))
                     .toUpper());

        // Undone from the main window, all the way: the saved file is the original.
        while (w->document()->undoStack()->canUndo())
            key(list(w.get()), QKeySequence::Undo);
        click(w.get(), "Command2");
        QCOMPARE(readFile(path), original);
    }
};

QTEST_MAIN(tst_ObjectCommands)
#include "tst_objectcommands.moc"
