// Every released revision through the real window: the title it is recognised by, and each row
// listing the layout that revision keeps at its offset.

#include "app/frmmain.h"
#include "demo/syntheticimage.h"
#include "levels/leveltables.h"
#include "objects/layout.h"
#include "support/guitest.h"

#include <QAbstractItemView>
#include <QTest>

using namespace testsupport;
using rom::Revision;

Q_DECLARE_METATYPE(rom::Revision)

class tst_Revisions : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    static void chooseRow(QAbstractItemView *view, int row) {
        view->scrollTo(view->model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(row, 0)).center());
    }
    static QStringList offsets(QAbstractItemView *sprite) {
        QStringList out;
        for (int i = 0; i < sprite->model()->rowCount(); ++i)
            out << QString::number(
                layout::lineOffset(sprite->model()->index(i, 0).data().toString()));
        return out;
    }
    static QStringList expectedOffsets(Revision revision, int row) {
        QStringList out;
        qint64 at = fixedAddresses(revision)[row];
        for (int i = synthetic::levelRecords(revision, row).size(); i > 0; --i, at += 6)
            out << QString::number(at);
        return out;
    }

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
        frmMain w;
        QVERIFY(showActive(&w));
        const QString path = writeFile(dir, QStringLiteral("rev.bin"), synthetic::image(revision));
        QVERIFY(!loadThroughDialog(&w, path)->seen);
        QVERIFY2(w.windowTitle().endsWith(status), qPrintable(w.windowTitle()));
        auto *level = control<QAbstractItemView>(&w, "level");
        auto *sprite = control<QAbstractItemView>(&w, "sprite");
        QCOMPARE(level->model()->rowCount(), LevelCount);
        for (int row = 0; row < LevelCount; ++row) {
            chooseRow(level, row);
            const QStringList listed = offsets(sprite);
            QVERIFY2(!listed.isEmpty() && listed == expectedOffsets(revision, row),
                     qPrintable(QStringLiteral("row %1").arg(row)));
        }
    }

    // A layout moved by a hack is listed where the game's own table says, records and all.
    void movedLayoutIsFollowed() {
        frmMain w;
        QVERIFY(showActive(&w));
        const Revision r = Revision::Sonic2Rev0;
        const QByteArray image = synthetic::movedLayoutsImage(r, {0, 5});
        QVERIFY(!loadThroughDialog(&w, writeFile(dir, QStringLiteral("hack.bin"), image))->seen);
        auto *level = control<QAbstractItemView>(&w, "level");
        auto *sprite = control<QAbstractItemView>(&w, "sprite");
        chooseRow(level, 5);
        const qint64 to =
            synthetic::movedLayoutsAt(2) + 6 * (synthetic::levelRecords(r, 0).size() + 1);
        const QVector<synthetic::Record> records = synthetic::levelRecords(r, 5);
        QCOMPARE(sprite->model()->rowCount(), records.size());
        QCOMPARE(offsets(sprite).first().toLongLong(), to);
        QCOMPARE(synthetic::recordAt(image, to), records.last());
        chooseRow(level, 6);
        QCOMPARE(offsets(sprite), expectedOffsets(r, 6));
    }

    // Both endings read the one ending layout; clearing it from row 19 touches nothing else.
    void endingRowClearsOnlyTheEndingLayout() {
        for (Revision revision : {Revision::Sonic1Rev0, Revision::Sonic1Rev1}) {
            frmMain w;
            QVERIFY(showActive(&w));
            const QByteArray before = synthetic::image(revision);
            QVERIFY(!loadThroughDialog(&w, writeFile(dir, QStringLiteral("s1.bin"), before))->seen);
            auto *level = control<QAbstractItemView>(&w, "level");
            auto *sprite = control<QAbstractItemView>(&w, "sprite");
            const qint64 ending = revision == Revision::Sonic1Rev0 ? 0x71204 : 0x711F2;
            chooseRow(level, 20);
            const QStringList badEnding = offsets(sprite);
            chooseRow(level, 19);
            QCOMPARE(offsets(sprite), badEnding);
            QCOMPARE(offsets(sprite).first().toLongLong(), ending);
            const qint64 length = 6 * sprite->model()->rowCount();
            QTest::mouseClick(control<QWidget>(&w, "Command4"), Qt::LeftButton);
            const QByteArray after = w.fileData();
            QCOMPARE(after.left(ending), before.left(ending));
            QCOMPARE(after.mid(ending + length), before.mid(ending + length));
            QCOMPARE(after.mid(ending, length), QByteArray(length, '\0'));
        }
    }
};

QTEST_MAIN(tst_Revisions)
#include "tst_revisions.moc"
