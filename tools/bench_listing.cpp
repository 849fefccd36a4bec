// How fast the object list fills through the real window: a typical level, and the worst an
// image can ask for (a 4 MiB image whose chosen layout has no end record), with undoing and
// redoing "Clear All Sprites" there; and the header checksum of a 4 MiB image. Prints the
// figures and exits with 1 when one of them is beyond its bound.

#include "app/frmmain.h"
#include "demo/syntheticimage.h"
#include "document/imagedocument.h"
#include "levels/leveltables.h"
#include "rom/checksum.h"
#include "rom/romimage.h"
#include "support/guitest.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include "support/benchreport.h"
#include <algorithm>

#include <cstdio>
#include <optional>
#include <vector>

using testsupport::control;

namespace {

void clickRow(QListWidget *level, int row) {
    QListWidgetItem *item = level->item(row);
    level->scrollToItem(item);
    QTest::mouseClick(level->viewport(), Qt::LeftButton, {}, level->visualItemRect(item).center());
}

// Time for the window to catch up after a command: the view lays its rows out in a posted
// event, then the list paints what it shows.
double settleMs(QListView *sprite) {
    QElapsedTimer clock;
    clock.start();
    QCoreApplication::processEvents();
    sprite->viewport()->repaint();
    return bench::msSince(clock);
}

struct Window {
    frmMain main;
    QListWidget *level = control<QListWidget>(&main, "level");
    QListView *sprite = control<QListView>(&main, "sprite");
    QPushButton *clearAll = control<QPushButton>(&main, "Command4");

    bool open(const QString &path) {
        if (!testsupport::showActive(&main))
            return false;
        testsupport::loadThroughDialog(&main, path);
        return level->count() == LevelCount;
    }
};

bool typicalLevel(const QTemporaryDir &dir) {
    // The Sonic 1 level whose layout is nearest to 300 records.
    int row = 0;
    int count = 0;
    for (int r = 0; r < LevelCount; ++r) {
        const int n = synthetic::levelRecords(1, r).size();
        if (std::abs(n - 300) < std::abs(count - 300)) {
            row = r;
            count = n;
        }
    }
    Window w;
    if (!w.open(testsupport::writeFile(dir, QStringLiteral("typical.bin"), synthetic::image(1))))
        return false;
    std::printf("  typical level: Sonic 1 row %d, %d records\n", row, count);

    // Alternate with a neighbouring row so that every click is a new choice.
    const int other = row == 0 ? 1 : row - 1;
    std::vector<double> clicks, shown;
    constexpr int rounds = 200;
    for (int i = 0; i < rounds; ++i) {
        clickRow(w.level, other);
        settleMs(w.sprite);
        QElapsedTimer clock;
        clock.start();
        clickRow(w.level, row);
        clicks.push_back(bench::msSince(clock));
        settleMs(w.sprite);
        shown.push_back(bench::msSince(clock));
    }
    if (w.sprite->model()->rowCount() != count)
        return false;
    bench::report("listing (the click), median of 200", bench::median(clicks), "ms", 5);
    bench::report("listing until painted, median of 200", bench::median(shown), "ms", 5);
    bench::report("listing until painted, slowest of 200", shown.back(), "ms");
    return true;
}

bool worstCase(const QTemporaryDir &dir) {
    constexpr qint64 size = 4 * 1024 * 1024;
    const int row = 0;
    LevelAddressTable table{};
    loadAddresses(table, 1);

    // Records shaped like real ones from the level's start to the end of the image, so the
    // walk only stops at the L - 100 bound; none has the X word FFFF.
    QByteArray data(size, '\0');
    const QVector<synthetic::Record> kinds = synthetic::levelRecords(1, 0);
    for (qint64 at = table[row], i = 0; at + 6 <= size; at += 6, ++i) {
        const synthetic::Record &r = kinds[i % kinds.size()];
        std::copy(r.begin(), r.end(), data.begin() + at);
    }
    const QByteArray blank = synthetic::blankImage(1);
    for (qint64 at : {rom::Sonic1SigA, rom::Sonic1SigB})
        data[at] = blank[at];

    Window w;
    if (!w.open(testsupport::writeFile(dir, QStringLiteral("worst.bin"), data)))
        return false;
    const qint64 expected = (size - 100 - table[row]) / 6 + 1;

    QElapsedTimer clock;
    clock.start();
    clickRow(w.level, row);
    const double listing = bench::msSince(clock);
    const int lines = w.sprite->model()->rowCount();
    std::printf("  worst case: 4 MiB Sonic 1 image, row %d without an end record: %d lines\n", row,
                lines);
    if (lines != expected)
        return false;
    const double listingShown = listing + settleMs(w.sprite);
    bench::report("listing (the click)", listing, "ms", 1000);
    bench::report("listing until laid out and painted", listingShown, "ms", 1000);

    clock.restart();
    w.sprite->scrollToBottom();
    const double scrolling = bench::msSince(clock) + settleMs(w.sprite);
    bench::report("scroll to the last line and paint", scrolling, "ms");

    clock.restart();
    QTest::mouseClick(w.clearAll, Qt::LeftButton);
    const double clearing = bench::msSince(clock);
    const double clearingShown = clearing + settleMs(w.sprite);
    bench::report("Clear All Sprites (the click)", clearing, "ms", 2000);
    bench::report("Clear All Sprites until painted", clearingShown, "ms", 2000);
    const QByteArray &held = w.main.fileData();
    const bool zeroed =
        std::all_of(held.begin() + table[row], held.begin() + table[row] + 6 * expected,
                    [](char b) { return b == 0; });
    if (!zeroed || w.sprite->model()->rowCount() != lines)
        return false;

    // Undo and redo as the keys do it: the bytes put back or cleared, the level listed again.
    const QByteArray clearedImage = held;
    QUndoStack *history = w.main.document()->undoStack();
    clock.restart();
    history->undo();
    const double undoing = bench::msSince(clock) + settleMs(w.sprite);
    if (w.main.fileData() != data)
        return false;
    clock.restart();
    history->redo();
    const double redoing = bench::msSince(clock) + settleMs(w.sprite);
    if (w.main.fileData() != clearedImage || w.sprite->model()->rowCount() != lines)
        return false;
    bench::report("undo Clear All Sprites until painted", undoing, "ms", 1000);
    bench::report("redo Clear All Sprites until painted", redoing, "ms", 1000);
    return true;
}

// The sum both games check at power-on, over a whole 4 MiB image, as each save computes it.
void checksum() {
    constexpr qint64 size = 4 * 1024 * 1024;
    QByteArray data(size, '\0');
    for (qint64 i = 0; i < size; ++i)
        data[i] = static_cast<char>(i * 7 + (i >> 9));
    const quint32 end = size - 1;
    for (int i = 0; i < 4; ++i)
        data[rom::RomEndAt + i] = static_cast<char>(end >> (24 - 8 * i));
    std::vector<double> times;
    int sum = -1;
    for (int i = 0; i < 50; ++i) {
        QElapsedTimer clock;
        clock.start();
        const std::optional<quint16> computed = rom::computeChecksum(data);
        times.push_back(bench::msSince(clock));
        sum = computed ? *computed : -1;
    }
    std::printf("  header checksum of a 4 MiB image: %04X\n", sum);
    bench::report("checksum, median of 50", bench::median(times), "ms", 50);
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 2;
    std::printf("Object list benchmark (platform %s)\n",
                qPrintable(QGuiApplication::platformName()));
    if (!typicalLevel(dir) || !worstCase(dir)) {
        std::printf("  the window did not list what was expected\n");
        return 2;
    }
    checksum();
    std::printf("  process\n");
    bench::report("peak memory (VmHWM)", bench::peakMegabytes(), "MB", 300);
    std::printf("%s\n", bench::allWithin() ? "All figures within their bounds."
                                           : "Some figures are beyond their bounds.");
    return bench::allWithin() ? 0 : 1;
}
