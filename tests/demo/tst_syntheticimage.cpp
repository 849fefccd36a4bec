// The stand-in images every other test and the demo rely on: recognised as their game, with
// each level's layout where the level table expects it and shaped like a real one.

#include "demo/syntheticimage.h"
#include "levels/leveltables.h"
#include "objects/layout.h"
#include "rom/romimage.h"

#include <QTest>

Q_DECLARE_METATYPE(rom::Recognition)

class TestSyntheticImage : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void recognised_data();
    void recognised();
    void layouts_data();
    void layouts();
    void recordsAreVaried_data();
    void recordsAreVaried();

  private:
    QByteArray m_images[3];
};

void TestSyntheticImage::initTestCase() {
    m_images[1] = synthetic::image(1);
    m_images[2] = synthetic::image(2);
}

void TestSyntheticImage::recognised_data() {
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<rom::Recognition>("outcome");
    QTest::newRow("Sonic 1") << synthetic::image(1) << rom::Recognition::Sonic1;
    QTest::newRow("Sonic 2") << synthetic::image(2) << rom::Recognition::Sonic2;
    QTest::newRow("blank Sonic 1") << synthetic::blankImage(1) << rom::Recognition::Sonic1;
    QTest::newRow("blank Sonic 2") << synthetic::blankImage(2) << rom::Recognition::Sonic2;
}

void TestSyntheticImage::recognised() {
    QFETCH(QByteArray, image);
    QFETCH(rom::Recognition, outcome);
    QCOMPARE(rom::recognise(image), outcome);
}

void TestSyntheticImage::layouts_data() {
    QTest::addColumn<int>("game");
    QTest::addColumn<int>("row");
    for (int game = 1; game <= 2; ++game)
        for (int row = 0; row < LevelCount; ++row)
            QTest::addRow("Sonic %d row %d", game, row) << game << row;
}

void TestSyntheticImage::layouts() {
    QFETCH(int, game);
    QFETCH(int, row);
    const QByteArray &image = m_images[game];
    LevelAddressTable table;
    loadAddresses(table, game);
    const qint64 start = table[row];
    const QVector<synthetic::Record> records = synthetic::levelRecords(game, row);
    QVERIFY(!records.isEmpty());

    // Right behind the record that closes the layout before it, as in the games.
    QVERIFY(start >= layout::RecordSize);
    QVERIFY(synthetic::recordAt(image, start - layout::RecordSize) == synthetic::EndRecord);

    // The walk lists exactly the level's records and stops at its own end record.
    const layout::Walk w = layout::walk(image, start);
    QCOMPARE(w.count, qint64(records.size()));
    for (int i = 0; i < records.size(); ++i)
        QVERIFY2(synthetic::recordAt(image, start + i * layout::RecordSize) == records.at(i),
                 qPrintable(QStringLiteral("record %1").arg(i)));
    const qint64 end = start + records.size() * layout::RecordSize;
    QVERIFY(synthetic::recordAt(image, end) == synthetic::EndRecord);

    // Layouts meet without overlapping: the next one starts right after this end record.
    if (row + 1 < LevelCount)
        QCOMPARE(table[row + 1], end + layout::RecordSize);

    // No record of the layout (its end record and the one in front included) covers a
    // recognition byte of either game.
    for (qint64 sig : {rom::Sonic1SigA, rom::Sonic1SigB, rom::Sonic2SigA, rom::Sonic2SigB})
        QVERIFY2(sig < start - layout::RecordSize || sig >= end + layout::RecordSize,
                 qPrintable(QString::number(sig, 16)));
}

void TestSyntheticImage::recordsAreVaried_data() {
    QTest::addColumn<int>("game");
    QTest::newRow("Sonic 1") << 1;
    QTest::newRow("Sonic 2") << 2;
}

// Real layouts hold Y words with flag bits, types and subtypes of 0x80 and up, and X words
// with one FF byte; the images must exercise all of them.
void TestSyntheticImage::recordsAreVaried() {
    QFETCH(int, game);
    int yTopBit = 0, highType = 0, highSubtype = 0, xFFxx = 0, xxxFF = 0;
    for (int row = 0; row < LevelCount; ++row) {
        for (const synthetic::Record &r : synthetic::levelRecords(game, row)) {
            QVERIFY(!(r[0] == 0xFF && r[1] == 0xFF));
            yTopBit += r[2] >= 0x80;
            highType += r[4] >= 0x80;
            highSubtype += r[5] >= 0x80;
            xFFxx += r[0] == 0xFF;
            xxxFF += r[1] == 0xFF;
        }
    }
    QVERIFY(yTopBit > 0);
    QVERIFY(highType > 0);
    QVERIFY(highSubtype > 0);
    QVERIFY(xFFxx > 0);
    QVERIFY(xxxFF > 0);
}

QTEST_MAIN(TestSyntheticImage)
#include "tst_syntheticimage.moc"
