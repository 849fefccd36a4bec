// The rules an edit follows below the window: the header checksum the games verify, where a
// record goes when "Change" gives it a new X, and undoing and redoing the document's steps.

#include "demo/bytewriting.h"
#include "demo/syntheticimage.h"
#include "document/imagedocument.h"
#include "edits/recordorder.h"
#include "rom/checksum.h"

#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>

#include <optional>

using Words = QVector<quint16>;

// A `size`-byte image with `hex` from 0x200 on and the end address `end` at 0x1A4.
static QByteArray image(qint64 size, quint32 end, const QByteArray &hex) {
    QByteArray data(size, '\0');
    const QByteArray words = QByteArray::fromHex(hex);
    data.replace(rom::ChecksumFrom, words.size(), words);
    synthetic::bytes::putLong(data, rom::RomEndAt, end);
    return data;
}

class tst_Edits : public QObject {
    Q_OBJECT

  private slots:
    void checksum_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("sum"); // -1: no sum, so never right
        const QByteArray words = "0001 0010 0100 1000 FFFF 0002";
        QTest::newRow("odd end: last word at end - 1") << image(0x300, 0x203, words) << 0x0011;
        QTest::newRow("even end: the word at the end") << image(0x300, 0x204, words) << 0x0111;
        QTest::newRow("modulo 0x10000") << image(0x300, 0x20B, words) << 0x1112;
        QTest::newRow("end at the last byte") << image(0x300, 0x2FF, words) << 0x1112;
        QTest::newRow("end outside") << image(0x300, 0x300, words) << -1;
        QTest::newRow("even end, word outside") << image(0x301, 0x300, words) << -1;
        QTest::newRow("end at 0x200") << image(0x300, 0x200, words) << -1;
        QTest::newRow("end before 0x200") << image(0x300, 0x1FF, words) << -1;
        QTest::newRow("no header") << QByteArray(0x1A6, '\0') << -1;
        for (auto revision : {rom::Revision::Sonic1Rev1, rom::Revision::Sonic2Rev2}) {
            const QByteArray data = synthetic::image(revision);
            QTest::addRow("synthetic revision %d", int(revision))
                << data << int(rom::storedChecksum(data));
        }
    }

    void checksum() {
        QFETCH(QByteArray, data);
        QFETCH(int, sum);
        const std::optional<quint16> computed = rom::computeChecksum(data);
        QCOMPARE(computed ? int(*computed) : -1, sum);
        if (data.size() < rom::ChecksumAt + 2)
            return;
        // Right only when the stored word equals the sum; writing stores it there.
        const quint16 stored = rom::storedChecksum(data);
        QCOMPARE(rom::checksumRight(data), sum == stored);
        QByteArray written = data;
        QCOMPARE(rom::writeChecksum(written), sum >= 0);
        QCOMPARE(rom::checksumRight(written), sum >= 0);
        QCOMPARE(written.left(rom::ChecksumAt) + written.mid(rom::ChecksumAt + 2),
                 data.left(rom::ChecksumAt) + data.mid(rom::ChecksumAt + 2));
        written[rom::ChecksumAt + 1] ^= 1; // one bit off is wrong
        QVERIFY(!rom::checksumRight(written));
    }

    // Only the edited record moves, before the first greater X; a disorder the list holds stays.
    void order() {
        const Words xs = {0x10, 0x20, 0x30, 0x40, 0x50};
        const Words disorder = {0x10, 0x60, 0x30, 0x40, 0x20, 0x70};
        // clang-format off
        const struct { Words xs; int from, newX, to; } cases[] = {
            {xs, 2, 0x35, 2}, {xs, 2, 0x20, 2}, {xs, 2, 0x40, 2},  // between or equal: stays
            {xs, 0, 0x00, 0}, {xs, 4, 0x900, 4}, {{0x10}, 0, 0x99, 0}, // first, last, only
            {xs, 3, 0x15, 1}, {xs, 3, 0x20, 2}, {xs, 3, 0x05, 0},  // left, after an equal X
            {xs, 1, 0x45, 3}, {xs, 1, 0x40, 3}, {xs, 0, 0x60, 4},  // right, past an equal X
            {xs, 0, 0xFFFF, 0}, {xs, 0, 0xFFFE, 4},                // FFFF ends the layout
            {disorder, 1, 0x60, 1}, {disorder, 5, 0x15, 1}, {disorder, 5, 0x35, 5},
            {disorder, 2, 0x65, 4}, {disorder, 1, 0x35, 2}};
        // clang-format on
        for (const auto &c : cases)
            QVERIFY2(edits::placeFor(c.xs, c.from, quint16(c.newX)) == c.to,
                     qPrintable(QStringLiteral("%1 to %2").arg(c.from).arg(c.newX, 0, 16)));
    }

    // Steps on a document: a Change that moves its record and a clear, each undone and redone
    // byte for byte, with the records to show announced each time.
    void documentSteps() {
        ImageDocument doc;
        QSignalSpy changed(&doc, &ImageDocument::recordsChanged);
        const QByteArray original = synthetic::image(1);
        doc.load(original, QStringLiteral("/nowhere/image.bin"));
        doc.loadLevelAddresses(1);
        const qint64 start = doc.levelAddresses()[11];
        const auto record = [&](int i) { return doc.data().mid(start + 6 * i, 6); };
        const QByteArray second = record(4), third = record(5);

        // X 0270 passes the records at 4 (011C) and 5 (0266) but not 6 (0299).
        const qint64 after = doc.changeRecord(11, start + 3 * 6, {0x02, 0x70, 0, 0x80, 0x22, 0});
        QCOMPARE(after, start + 5 * 6);
        QCOMPARE(record(3) + record(4) + record(5),
                 second + third + QByteArray::fromHex("027000802200"));
        QVERIFY(doc.isModified());
        QCOMPARE(doc.undoStack()->undoText(), QStringLiteral("Change"));
        const QByteArray changed1 = doc.data();
        QCOMPARE(doc.changeRecord(11, after, {0x02, 0x70, 0, 0x80, 0x22, 0}), -1);

        QVERIFY(doc.clearLevel(11, {start, start + 6, start + 6 * 2}));
        QCOMPARE(doc.data().mid(start, 18), QByteArray(18, '\0'));
        QVERIFY(!doc.clearLevel(11, {start, start + 6}));
        const QByteArray cleared = doc.data();

        doc.undoStack()->undo();
        QCOMPARE(doc.data(), changed1);
        doc.undoStack()->undo();
        QCOMPARE(doc.data(), original);
        QVERIFY(!doc.isModified());
        doc.undoStack()->redo();
        doc.undoStack()->redo();
        QCOMPARE(doc.data(), cleared);
        const QList<QList<QVariant>> expected = {{11, after},      {11, qint64(-1)},
                                                 {11, qint64(-1)}, {11, start + 3 * 6},
                                                 {11, after},      {11, qint64(-1)}};
        QCOMPARE(changed, expected);

        // A load empties the history.
        doc.load(original, QStringLiteral("/nowhere/other.bin"));
        QVERIFY(!doc.isModified() && doc.undoStack()->count() == 0);
    }
};

QTEST_GUILESS_MAIN(tst_Edits)
#include "tst_edits.moc"
