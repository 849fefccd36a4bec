// The layout area on synthetic images shaped like the games': lists that grow and shrink with
// the lists behind them and the table following, free space given back with the game's filler,
// lists moved before the table when the room behind them runs out, and each refusal at its
// limit.

#include "demo/bytewriting.h"
#include "demo/syntheticimage.h"
#include "fuzzchecks.h"
#include "levels/leveltables.h"
#include "objects/layoutarea.h"

#include <QTest>

using layout::LayoutArea;
using layout::Record;
using Records = QVector<Record>;
using fuzzcheck::layoutInvariants;
using rom::Revision;

namespace {

Record rec(int x, int y = 0x100, int type = 0x22, int subtype = 0) {
    return {quint8(x >> 8), quint8(x), quint8(y >> 8), quint8(y), quint8(type), quint8(subtype)};
}

QVector<Records> allLists(const QByteArray &image, Revision r) {
    const LayoutArea area(image, r);
    QVector<Records> lists;
    for (int row = 0; row < LevelCount; ++row)
        lists.append(area.records(row));
    return lists;
}

} // namespace

class tst_LayoutArea : public QObject {
    Q_OBJECT

  private slots:
    void insertOrder() {
        using Xs = QVector<int>;
        const auto records = [](const Xs &xs) {
            Records out;
            for (int x : xs)
                out.append(rec(x));
            return out;
        };
        const Xs xs = {0x10, 0x20, 0x20, 0x30};
        const struct {
            Xs before, added, landed, after;
        } cases[] = {
            {xs, {0x05}, {0}, {0x05, 0x10, 0x20, 0x20, 0x30}},
            {xs, {0x18}, {1}, {0x10, 0x18, 0x20, 0x20, 0x30}},
            {xs, {0x20}, {3}, {0x10, 0x20, 0x20, 0x20, 0x30}}, // among equal X: after them
            {xs, {0x90}, {4}, {0x10, 0x20, 0x20, 0x30, 0x90}},
            {{}, {0x40}, {0}, {0x40}},
            {xs, {0x35, 0x00, 0x25}, {6, 0, 4}, {0x00, 0x10, 0x20, 0x20, 0x25, 0x30, 0x35}},
            // A disorder the game's list holds stays; the first greater X decides.
            {{0x10, 0x50, 0x20}, {0x30}, {1}, {0x10, 0x30, 0x50, 0x20}}};
        for (const auto &c : cases) {
            Records list = records(c.before);
            QCOMPARE(layout::insertInOrder(list, records(c.added)), c.landed);
            QCOMPARE(list, records(c.after));
        }
    }

    // Growing, shrinking and emptying lists of each game: the edited row holds the new records,
    // every other row (shared ones following their list) what it held, the free space changes
    // by exactly the bytes taken or given, and what was given up holds the game's filler.
    void edits_data() {
        QTest::addColumn<int>("revision");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("first"); // records replaced, from index first
        QTest::addColumn<int>("cut");
        QTest::addColumn<int>("added");
        for (Revision r : {Revision::Sonic1Rev0, Revision::Sonic1Rev1, Revision::Sonic2Rev2}) {
            QTest::addRow("%d: no change", int(r)) << int(r) << 3 << 0 << 0 << 0;
            QTest::addRow("%d: one more in the first list", int(r)) << int(r) << 0 << 5 << 0 << 1;
            QTest::addRow("%d: first record gone", int(r)) << int(r) << 2 << 0 << 1 << 0;
            QTest::addRow("%d: last record gone", int(r)) << int(r) << 9 << -1 << 1 << 0;
            QTest::addRow("%d: forty more in the last list", int(r))
                << int(r) << 20 << 2 << 0 << 40;
            QTest::addRow("%d: all records gone", int(r)) << int(r) << 7 << 0 << -1 << 0;
        }
        QTest::newRow("ending: both rows follow") << int(Revision::Sonic1Rev0) << 19 << 1 << 3 << 2;
        QTest::newRow("Metropolis 3 shared") << int(Revision::Sonic2Rev1) << 4 << 0 << 0 << 4;
    }

    void edits() {
        QFETCH(int, revision);
        QFETCH(int, row);
        QFETCH(int, first);
        QFETCH(int, cut);
        QFETCH(int, added);
        const Revision r = Revision(revision);
        const QByteArray image = synthetic::image(r);
        const LayoutArea area(image, r);
        QVector<Records> expected = allLists(image, r);
        Records list = expected[row];
        if (first < 0)
            first = int(list.size()) - 1;
        if (cut < 0)
            cut = int(list.size());
        list.remove(first, cut);
        for (int i = 0; i < added; ++i)
            list.insert(first, rec(0x7000 + i));
        for (int other = 0; other < LevelCount; ++other)
            if (area.listStart(other) == area.listStart(row))
                expected[other] = list;

        QString why;
        const std::optional<QByteArray> after = area.withList(row, list, &why);
        QVERIFY2(after, qPrintable(why));
        QCOMPARE(layoutInvariants(image, *after, r), QString());
        QCOMPARE(allLists(*after, r), expected);
        const LayoutArea now(*after, r);
        QCOMPARE(area.freeBytes() - now.freeBytes(), 6 * (added - cut));
        if (added == cut) // no change: byte for byte the image
            QCOMPARE(*after, image);
        if (rom::gameCode(r) == 2) // Sonic 2's end records that close nothing are free space
            QCOMPARE(area.freeSpans().last().at, area.runs().last().end);
        // What the run gave up holds the filler.
        const char filler = rom::gameCode(r) == 1 ? '\xFF' : '\0';
        const qint64 given = std::max<qint64>(area.runs().last().end - now.runs().last().end, 0);
        QCOMPARE(after->mid(now.runs().last().end, given), QByteArray(given, filler));
        if (rom::gameCode(r) == 1) // the conveyor-platform lists moved with the rest
            QCOMPARE(now.runs().last().end - now.runs().first().at,
                     area.runs().last().end - area.runs().first().at + 6 * (added - cut));
    }

    // Once the room behind the lists is used up, lists move into the free space before the table
    // (Sonic 2: also the stretch between the rings and the table); past all free space, adding
    // is refused and nothing changes.
    void fillsThePool() {
        for (Revision r : {Revision::Sonic1Rev1, Revision::Sonic2Rev0}) {
            QByteArray image = synthetic::image(r);
            const qint64 table = objectTableAt(rom::gameCode(r));
            // A byte that is not the filler inside the free space is someone's data: kept.
            const qint64 foreign = LayoutArea(image, r).freeSpans().last().end - 40;
            image[foreign] = '\x5A';
            const qint64 tail = LayoutArea(image, r).freeSpans().last().end -
                                LayoutArea(image, r).runs().last().end;
            int rows = 0, usedBefore = 0;
            for (int row = 0;; row = (row + 1) % 15, ++rows) {
                const LayoutArea area(image, r);
                Records list = area.records(row);
                list.append(Records(20, rec(0x7F00)));
                QString why;
                const std::optional<QByteArray> after = area.withList(row, list, &why);
                if (!after) {
                    QCOMPARE(why, QStringLiteral("There is no room left in this image for 20 more "
                                                 "objects: %1 bytes are free.")
                                      .arg(area.freeBytes()));
                    QVERIFY(area.freeBytes() < 400); // only fragments were left
                    break;
                }
                QCOMPARE(layoutInvariants(image, *after, r), QString());
                image = *after;
                usedBefore += LayoutArea(image, r).runs().first().at < table;
            }
            QCOMPARE(image[foreign], '\x5A');
            QVERIFY(rows * 120 > tail); // it went past the room behind the lists ...
            QVERIFY(usedBefore > 0);    // ... into the space before the table
        }
    }

    // Records that remember their state and two-player columns: at the limit, and one past.
    void limits() {
        const QString remember = QStringLiteral(
            "Marble 1 would have 190 objects that remember their state; the game holds 189.");
        const QString column =
            QStringLiteral("Mystic Cave 1 would have 13 objects between X 3000 and 30FF; the "
                           "two-player game loads at most 12 in one 256-pixel column.");
        const struct {
            int game, row, count;
            QString refusal;
        } cases[] = {{1, 7, 189, {}},
                     {1, 7, 190, remember}, // remembered
                     {2, 11, 12, {}},
                     {2, 11, 13, column}, // a two-player column
                     {2, 13, 13, {}}};    // a one-player column
        for (const auto &c : cases) {
            const QString name = levelNames(c.game).value(c.row).section(QStringLiteral(" - "), 1);
            Records after;
            for (int i = 0; i < c.count; ++i) // Sonic 1 flags in the type, Sonic 2 in Y
                after.append(c.game == 1 ? rec(0x3000 + i, 0x100, 0xA5) : rec(0x3000 + i, 0x8100));
            QCOMPARE(layout::contentRefusal(c.game, c.row, name, {}, after), c.refusal);
            // A list already past the limit may still lose records.
            QCOMPARE(layout::contentRefusal(c.game, c.row, name, after + after.mid(0, 1), after),
                     QString());
        }
    }

    // An empty list other entries share stays empty for them: the row gets a list of its own.
    void sharedEmptyList() {
        const Revision r = Revision::Sonic2Rev2;
        QByteArray image = synthetic::image(r);
        const qint64 table = objectTableAt(2);
        const auto rowTwo = [table](const QByteArray &in) { // the list the table gives row 2
            return table + qint16(synthetic::bytes::wordAt(in, table + 4));
        };
        const qint64 empty = rowTwo(image);
        synthetic::pointRow(image, 2, 17, empty);
        const LayoutArea area(image, r);
        QVERIFY(area.records(17).isEmpty());
        const std::optional<QByteArray> after = area.withList(17, {rec(0x200)}, nullptr);
        QVERIFY(after);
        QCOMPARE(layoutInvariants(image, *after, r), QString());
        const LayoutArea now(*after, r);
        QCOMPARE(now.records(17), Records{rec(0x200)});
        QCOMPARE(layout::walk(*after, rowTwo(*after)).count, 0);
    }

    // A table the listing cannot follow: lists never move, and the user is told why.
    void refusesUnreadableTable() {
        QByteArray image = synthetic::image(1);
        image[objectTableEntry(1, 5) + 1] = char(image[objectTableEntry(1, 5) + 1] + 2);
        const LayoutArea area(image, Revision::Sonic1Rev0);
        QString why;
        QVERIFY(!area.withList(0, {}, &why));
        QVERIFY(why.contains(QStringLiteral("cannot be added or removed")));
    }
};

QTEST_GUILESS_MAIN(tst_LayoutArea)
#include "tst_layoutarea.moc"
