// How fast objects are added and removed through the real windows, the map open beside the
// list: Insert and Delete on the largest list of each game, a paste of 200 records that moves
// every list behind it, and its undo, each until both windows painted. Prints the figures and
// exits with 1 when one of them is beyond its bound.

#include "app/frmmain.h"
#include "app/frmmap.h"
#include "app/maplink.h"
#include "demo/syntheticimage.h"
#include "document/imagedocument.h"
#include "levels/leveltables.h"
#include "objects/layoutarea.h"
#include "objects/recordtext.h"
#include "support/benchreport.h"
#include "support/guitest.h"

#include <QApplication>
#include <QClipboard>
#include <QGraphicsView>
#include <QListView>
#include <QUndoStack>

#include <algorithm>
#include <cstdio>
#include <vector>

using testsupport::control;

namespace {

struct Window {
    frmMain main;
    QListView *sprite = control<QListView>(&main, "sprite");
    frmMap *map = nullptr;

    bool open(const QString &path, int row) {
        if (!testsupport::showActive(&main))
            return false;
        testsupport::loadThroughDialog(&main, path);
        testsupport::showActive(&main);
        testsupport::clickRow(&main, "level", row);
        QTest::keyClick(&main, Qt::Key_M, Qt::ControlModifier);
        map = main.findChild<MapLink *>()->mapWindow();
        // The map takes the focus once shown; the keys then go back to the list.
        (void)QTest::qWaitForWindowActive(map);
        testsupport::showActive(&main);
        testsupport::clickRow(&main, "sprite", 0);
        sprite->setFocus();
        return map && map->isVisible();
    }
    // A command, then both windows brought up to date and painted.
    double timed(const std::function<void()> &command) {
        QElapsedTimer clock;
        clock.start();
        command();
        QCoreApplication::processEvents();
        sprite->viewport()->repaint();
        map->view()->viewport()->repaint();
        return bench::msSince(clock);
    }
};

bool largestList(const QTemporaryDir &dir, int game) {
    int row = 0;
    for (int r = 0; r < LevelCount; ++r)
        if (synthetic::levelRecords(game, r).size() > synthetic::levelRecords(game, row).size())
            row = r;
    Window w;
    if (!w.open(testsupport::writeFile(dir, QStringLiteral("large.bin"), synthetic::image(game)),
                row))
        return false;
    const int count = w.sprite->model()->rowCount();
    std::printf("  Sonic %d row %d, %d records\n", game, row, count);
    std::vector<double> inserts, deletes;
    for (int i = 0; i < 20; ++i) {
        testsupport::clickRow(&w.main, "sprite", 0); // the editors take the first record again
        inserts.push_back(w.timed([&] { QTest::keyClick(w.sprite, Qt::Key_Insert); }));
        deletes.push_back(w.timed([&] { QTest::keySequence(w.sprite, QKeySequence::Delete); }));
    }
    if (w.sprite->model()->rowCount() != count || w.main.document()->undoStack()->count() != 40)
        return false;
    bench::report("Insert until painted, median of 20", bench::median(inserts), "ms", 50);
    bench::report("Delete until painted, median of 20", bench::median(deletes), "ms", 50);
    return true;
}

bool paste(const QTemporaryDir &dir) {
    const QByteArray image = synthetic::image(1);
    Window w;
    if (!w.open(testsupport::writeFile(dir, QStringLiteral("paste.bin"), image), 0))
        return false;
    QVector<layout::Record> records;
    for (int i = 0; i < 200; ++i)
        records.append({quint8(i >> 3), quint8(i * 37), 0x01, 0x80, 0x22, quint8(i)});
    QApplication::clipboard()->setText(layout::recordsText(records));
    const int count = w.sprite->model()->rowCount();
    const double pasting = w.timed([&] { QTest::keySequence(w.sprite, QKeySequence::Paste); });
    // Every list behind the first moved.
    if (w.sprite->model()->rowCount() != count + 200 ||
        imageAddresses(w.main.fileData(), rom::Revision::Sonic1Rev0)->at(1) ==
            imageAddresses(image, rom::Revision::Sonic1Rev0)->at(1))
        return false;
    const double undoing = w.timed([&] { QTest::keySequence(w.sprite, QKeySequence::Undo); });
    if (w.main.fileData() != image)
        return false;
    std::printf("  Sonic 1 row 0: 200 records pasted, every list behind it moved\n");
    bench::report("paste of 200 until painted", pasting, "ms", 100);
    bench::report("its undo until painted", undoing, "ms", 100);
    return true;
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 2;
    std::printf("Layout edit benchmark (platform %s)\n",
                qPrintable(QGuiApplication::platformName()));
    if (!largestList(dir, 1) || !largestList(dir, 2) || !paste(dir)) {
        std::printf("  the windows did not show what was expected\n");
        return 2;
    }
    std::printf("%s\n", bench::allWithin() ? "All figures within their bounds."
                                           : "Some figures are beyond their bounds.");
    return bench::allWithin() ? 0 : 1;
}
