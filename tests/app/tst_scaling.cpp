// The window at the scale factor of the run (CTest runs it at 1, 1.5 and 2 through
// QT_SCALE_FACTOR): every caption, label and level name fits inside its control.
#include "app/frmmain.h"
#include "demo/syntheticimage.h"
#include "support/guitest.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTest>

using namespace testsupport;

class tst_Scaling : public QObject {
    Q_OBJECT
  private slots:
    void textsFit() {
        frmMain w;
        QVERIFY(showActive(&w));
        const qreal factor =
            qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
        QCOMPARE(w.devicePixelRatioF(), factor); // a factor that did not apply proves nothing
        const auto check = [](const QWidget *c, const QString &text, int room) {
            const int needed = QFontMetrics(c->font()).horizontalAdvance(text) + 2;
            QVERIFY2(needed <= room, qPrintable(QStringLiteral("%1: \"%2\" needs %3 px, has %4")
                                                    .arg(c->objectName(), text)
                                                    .arg(needed)
                                                    .arg(room)));
        };
        for (const QPushButton *b : w.findChildren<QPushButton *>()) {
            QStyleOptionButton opt;
            opt.initFrom(b);
            opt.text = b->text();
            check(b, b->text(),
                  b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b).width());
        }
        for (const QLabel *l : w.findChildren<QLabel *>())
            check(l, l->text(), l->contentsRect().width());
        for (const QGroupBox *g : w.findChildren<QGroupBox *>())
            check(g, g->title(), g->width() - 12); // the caption starts 6 px in, plus its padding

        // Sonic 2 has the longest level names.
        QTemporaryDir dir;
        QVERIFY(!loadThroughDialog(&w, writeFile(dir, "s2.bin", synthetic::image(2)))->seen);
        auto *level = control<QListWidget>(&w, "level");
        QCOMPARE(level->count(), 21);
        QCoreApplication::processEvents();
        for (int row = 0; row < level->count(); ++row)
            check(level, level->item(row)->text(), level->viewport()->width() - 4);
    }
};

QTEST_MAIN(tst_Scaling)
#include "tst_scaling.moc"
