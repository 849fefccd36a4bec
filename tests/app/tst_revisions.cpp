// Every released revision through the real window: the title it is recognised by, each row
// listing the layout that revision keeps at its offset, and a layout a hack moved followed
// through the game's own table.

#include "app/frmmain.h"
#include "demo/syntheticimage.h"
#include "levels/leveltables.h"
#include "objects/layout.h"
#include "support/guitest.h"

using namespace testsupport;
using rom::Revision;

Q_DECLARE_METATYPE(rom::Revision)

class tst_Revisions : public QObject {
    Q_OBJECT

  private slots:
    void everyRowOfEveryRevision_data() {
        QTest::addColumn<Revision>("revision");
        QTest::addColumn<QString>("status");
        QTest::newRow("Sonic 1 rev 0") << Revision::Sonic1Rev0 << "- [Sonic 1]";
        QTest::newRow("Sonic 1 rev 1") << Revision::Sonic1Rev1 << "- [Sonic 1 Rev 01]";
        QTest::newRow("Sonic 2 rev 0") << Revision::Sonic2Rev0 << "- [Sonic 2 Final Rev 00]";
        QTest::newRow("Sonic 2 rev 1") << Revision::Sonic2Rev1 << "- [Sonic 2 Final]";
        QTest::newRow("Sonic 2 rev 2") << Revision::Sonic2Rev2 << "- [Sonic 2 Final Rev 02]";
    }
    void everyRowOfEveryRevision() {
        QFETCH(Revision, revision);
        QFETCH(QString, status);
        QTemporaryDir dir;
        frmMain w;
        QVERIFY(showActive(&w));
        // Row 5 moved by a hack (its records reversed, after row 0's copy); the others in place.
        const QByteArray image = synthetic::movedLayoutsImage(revision, {0, 5});
        QVERIFY(!loadThroughDialog(&w, writeFile(dir, "rev.bin", image))->seen);
        QVERIFY2(w.windowTitle().endsWith(status), qPrintable(w.windowTitle()));
        const qint64 moved = synthetic::movedLayoutsAt(rom::gameCode(revision)) +
                             6 * (synthetic::levelRecords(revision, 0).size() + 1);
        const QAbstractItemModel *listed = control<QAbstractItemView>(&w, "sprite")->model();
        QCOMPARE(control<QAbstractItemView>(&w, "level")->model()->rowCount(), LevelCount);
        for (int row = 1; row < LevelCount; ++row) {
            clickRow(&w, "level", row);
            const QVector<synthetic::Record> records = synthetic::levelRecords(revision, row);
            QCOMPARE(listed->rowCount(), records.size());
            qint64 at = row == 5 ? moved : fixedAddresses(revision)[row];
            for (int i = 0; i < records.size(); ++i, at += 6) {
                const QString line = listed->index(i, 0).data().toString();
                QCOMPARE(layout::lineOffset(line), at);
                QCOMPARE(synthetic::recordAt(image, at),
                         row == 5 ? records[records.size() - 1 - i] : records[i]);
            }
        }
    }
};

QTEST_MAIN(tst_Revisions)
#include "tst_revisions.moc"
