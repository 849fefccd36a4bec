// The editing road through the real window: choosing a level, the listing, the four editors,
// the type pick list, "Change", "Clear All Sprites" and "Save Chgs".

#include "app/frmmain.h"
#include "demo/syntheticimage.h"
#include "rom/checksum.h"
#include "support/guitest.h"
#include "types/captions.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

using namespace testsupport;

// The lines level `row` must list, built straight from the records written into the image.
static QStringList expectedLines(int game, int row, qint64 at) {
    CaptionCatalogue captions;
    captions.load(game);
    QStringList lines;
    for (const auto &r : synthetic::levelRecords(game, row))
        lines << QString::asprintf("%lld: %02X%02X %02X%02X %02X %02X  %s", (at += 6) - 6, r[0],
                                   r[1], r[2], r[3], r[4], r[5],
                                   qUtf8Printable(captions.caption(r[4], r[5])));
    return lines;
}

// Sonic 1 level 0 for the slider rounding: low bytes 3C, B0, 40 (a half: to even, down) and C0
// (one and a half: up), a Y with its top bit set and an X that rounds above the slider's range.
static const char kLayout[] = "0A3C02B02200 014081230A00 01C000C0A605 0BC000002512 FFFF00000000";

class tst_Editing : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    frmMain w;
    QAbstractItemView *level = control<QAbstractItemView>(&w, "level");
    QAbstractItemView *sprite = control<QAbstractItemView>(&w, "sprite");
    QLineEdit *x = control<QLineEdit>(&w, "x"), *y = control<QLineEdit>(&w, "y");
    QLineEdit *mt = control<QLineEdit>(&w, "maintype"), *st = control<QLineEdit>(&w, "subtype");

    bool open(const QByteArray &data) {
        const QString path = writeFile(dir, QStringLiteral("image.bin"), data);
        return showActive(&w) && !loadThroughDialog(&w, path)->seen && showActive(&w);
    }
    void clickRow(QAbstractItemView *view, int row, Qt::KeyboardModifiers mods = {}) {
        view->scrollTo(view->model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, mods,
                          view->visualRect(view->model()->index(row, 0)).center());
    }
    QString boxes() const { return x->text() + y->text() + mt->text() + st->text(); }
    QStringList lines() { return listedLines(&w, "sprite"); }
    // Clicks into `box` and types `text` over all it holds.
    static void retype(QLineEdit *box, const QString &text) {
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        QTest::keyClicks(box, text);
    }

  private slots:
    // Levels chosen by key and by click, "Change", the cases without a target, "Clear All
    // Sprites" and "Save Chgs" on one image, which must come back with exactly those edits.
    void road() {
        QByteArray expected = synthetic::image(1);
        QVERIFY(open(expected));
        const auto box = answerMessageBox(&w);
        QTest::keyClick(control<QWidget>(&w, "Command1"), Qt::Key_Tab);
        QVERIFY(level->hasFocus());
        QCOMPARE(lines(), QStringList()); // focus alone lists nothing
        QTest::keyClick(level, Qt::Key_Down);
        QCOMPARE(lines(), expectedLines(1, 1, 0x6B5A0));
        clickRow(level, 11);
        QCOMPARE(lines(), expectedLines(1, 11, 0x6E85E));
        QCOMPARE(control<QWidget>(&w, "Label1")->property("text").toString(),
                 QStringLiteral("address: xxxx yyyy tt ss  Desc"));

        // "Change" pads and upper-cases sloppy texts, relists and selects the record again: an
        // X past its right neighbour's (011C) but not the next one's (0266) moves it one on.
        clickRow(sprite, 3);
        for (const auto &[b, t] : {std::pair{x, "1b0"}, {y, "C2a0"}, {mt, "a"}, {st, "g2"}})
            retype(b, t);
        click(&w, "Command3");
        QCOMPARE(selectedRow(&w, "sprite"), 4);
        QCOMPARE(boxes(), QStringLiteral("01B0C2A00A02"));
        // X = FFFF ends the layout there; then without a line or a level row nothing is written.
        clickRow(sprite, 5);
        retype(x, QStringLiteral("ffff"));
        click(&w, "Command3");
        QCOMPARE(lines().size(), 5);
        QCOMPARE(selectedRow(&w, "sprite"), -1);
        click(&w, "Command3");
        clickRow(sprite, 2);
        clickRow(level, 11, Qt::ControlModifier);
        retype(x, QStringLiteral("0123"));
        click(&w, "Command3");
        click(&w, "Command4");

        clickRow(level, 13);
        const int count = lines().size();
        click(&w, "Command4");
        click(&w, "Command2");
        expected.replace(0x6E85E + 3 * 6, 12,
                         expected.mid(0x6E85E + 4 * 6, 6) + QByteArray::fromHex("01B0C2A00A02"));
        expected.replace(0x6E85E + 5 * 6, 2, QByteArray::fromHex("FFFF"));
        expected.replace(0x6F2A8, 6 * count, QByteArray(6 * count, '\0'));
        rom::writeChecksum(expected); // the image's checksum was right: it is kept right
        QCOMPARE(readFile(dir.filePath("image.bin")), expected);
        QVERIFY(!box->seen);

        // No line of a replaced image survives a load: unrecognised, recognised or too short.
        for (const auto &next : {QByteArray(0x80000, 1), synthetic::image(2), QByteArray(99, 2)}) {
            clickRow(level, 7);
            clickRow(sprite, 2);
            loadThroughDialog(&w, writeFile(dir, QStringLiteral("next.bin"), next));
            QCOMPARE(lines(), QStringList());
        }
    }

    // A line fills the editors and places the sliders (half to even); only a user's slider
    // move writes its box. The type boxes show the caption live and pad on leaving.
    void editors() {
        const auto img =
            synthetic::blankImage(1).replace(0x6B096, 30, QByteArray::fromHex(kLayout));
        QVERIFY(open(img));
        auto *xs = control<QScrollBar>(&w, "xplane"), *ys = control<QScrollBar>(&w, "yplane");
        auto *caption = control<QComboBox>(&w, "TypeCap");
        clickRow(level, 0);
        const QList<QList<int>> placed = {{1280, 257}, {128, 16512}, {130, 2}, {1409, 0}};
        for (int i = 3; i >= 0; --i) {
            clickRow(sprite, i);
            QCOMPARE(boxes().toLatin1(), img.mid(0x6B096 + 6 * i, 6).toHex().toUpper());
            QCOMPARE(QList<int>({xs->value(), ys->value()}), placed[i]);
        }
        xs->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        ys->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(x->text() + y->text(), QStringLiteral("0A8002FF"));

        retype(x, QString()); // the next key replaces the whole text
        y->setCursorPosition(0);
        for (const auto &[k, s] : {std::pair{'1', "1"}, {'a', "1A"}, {'2', "1A2"}, {'g', "1A2"}}) {
            QTest::keyClick(x, k);
            QCOMPARE(x->text() + ' ' + y->text(), QString(s) + " 02FF");
            QCOMPARE(QList<int>({xs->value(), ys->value()}), QList<int>({1281, 267}));
        }
        QCOMPARE(y->cursorPosition(), 4);
        clickRow(level, 0); // relisting drops the maxima to 1 before raising them
        QCOMPARE(QList<int>({xs->value(), xs->maximum()}), QList<int>({1, 1409}));

        retype(mt, QStringLiteral("a"));
        QCOMPARE(caption->currentText(), QStringLiteral("? (Floats up)"));
        st->setText(QStringLiteral("5")); // leaving the type box pads the subtype too
        QTest::keyClick(mt, Qt::Key_Tab);
        QCOMPARE(mt->text() + st->text(), QStringLiteral("0a05"));
        QTest::keyClick(caption, Qt::Key_F4); // the pick list's popup

        QTRY_VERIFY(caption->view()->isVisible());
        caption->view()->setCurrentIndex(
            caption->model()->index(caption->findText("1F ?? Swinging balls - $sub"), 0));
        QTest::keyClick(caption->view(), Qt::Key_Return);
        QCOMPARE(mt->text() + st->text(), QStringLiteral("1F??"));
        QTRY_COMPARE(caption->currentText(), QStringLiteral("Swinging plat - 0"));
    }
};

QTEST_MAIN(tst_Editing)
#include "tst_editing.moc"
