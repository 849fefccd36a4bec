// The main window driven as a user would: its controls, focus order, size lock and texts that
// fit at every scale, loading and saving through "Load...", the file dialog and "Save Chgs", the
// editing road, and the hidden key sequence with its About window and jingle.

#include "app/frmabout.h"
#include "app/frmmain.h"
#include "app/virtualkeys.h"
#include "demo/syntheticimage.h"
#include "objects/layout.h"
#include "rom/checksum.h"
#include "support/guitest.h"
#include "types/captions.h"

#include <QAudioDecoder>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QWindow>

using namespace testsupport;

namespace {

const QString Prefix = QStringLiteral("Quillet 1.0b ");
const QString kSeq = "Left Right Left Down Up Right Down";

// Every control of the window: name, class and the text it shows at start.
// clang-format off
const struct { const char *name, *kind, *text; } Controls[] = {
    {"Frame1", "QGroupBox", "ROM"}, {"RomPath", "QLabel", "<None>"}, {"cd", "QFileDialog", ""},
    {"Command1", "QPushButton", "Load..."}, {"Command2", "QPushButton", "Save Chgs"},
    {"Frame2", "QGroupBox", "Level"}, {"level", "QListWidget", ""},
    {"Frame3", "QGroupBox", "Sprites"}, {"Label1", "QLabel", "address: xxxx yyyy tt ss  Desc"},
    {"sprite", "QListView", ""}, {"Frame6", "QGroupBox", "Position"}, {"Label2", "QLabel", "X"},
    {"x", "QLineEdit", "0000"}, {"Label3", "QLabel", "Y"}, {"y", "QLineEdit", "0000"},
    {"Command3", "QPushButton", "Change"}, {"Command4", "QPushButton", "Clear All Sprites"},
    {"Frame5", "QGroupBox", "Type"}, {"Label4", "QLabel", "Type Subtype"},
    {"maintype", "QLineEdit", "00"}, {"subtype", "QLineEdit", "00"}, {"TypeCap", "QComboBox", ""},
    {"yplane", "QScrollBar", ""}, {"xplane", "QScrollBar", ""}};
// clang-format on

// Exactly one box, a warning titled "Error" with OK alone.
bool isErrorBox(const QList<SeenBox> &b) {
    return b.size() == 1 && b[0].title == "Error" && b[0].icon == QMessageBox::Warning &&
           b[0].buttons == QMessageBox::Ok;
}

// The lines level `row` must list, built straight from the records written into the image.
QStringList expectedLines(int game, int row, qint64 at) {
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
const char kLayout[] = "0A3C02B02200 014081230A00 01C000C0A605 0BC000002512 FFFF00000000";

// Clicks into `box` and types `text` over all it holds.
void retype(QLineEdit *box, const QString &text) {
    QTest::mouseClick(box, Qt::LeftButton);
    box->selectAll();
    QTest::keyClicks(box, text);
}

} // namespace

class tst_MainWindow : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<frmMain> w;
    bool open(const QByteArray &data) {
        return (w = openWindow<frmMain>(writeFile(dir, "image.bin", data), -1)) != nullptr;
    }
    QLineEdit *box(const char *name) { return control<QLineEdit>(w.get(), name); }
    QStringList lines() { return listedLines(w.get(), "sprite"); }
    QTimer *timer() { return control<QTimer>(w.get(), "tmrEgg"); }
    // "@x" clicks into that box; any other step is one key pressed in the focused control.
    void play(const QString &script) {
        QVERIFY(showActive(w.get()));
        for (const QString &step : script.split(' ', Qt::SkipEmptyParts))
            if (step.startsWith('@'))
                QTest::mouseClick(w->findChild<QLineEdit *>(step.mid(1)), Qt::LeftButton);
            else
                QTest::keySequence(QApplication::focusWidget(), QKeySequence::fromString(step));
    }

  private slots:
    void window() {
        frmMain w;
        QVERIFY(showActive(&w));
        for (const auto &row : Controls) {
            QWidget *c = control<QWidget>(&w, row.name);
            QVERIFY2(c && c->inherits(row.kind), row.name);
            QCOMPARE(c->property(c->inherits("QGroupBox") ? "title" : "text").toString(), row.text);
        }
        // Laid out in twips, 15 to a pixel; the sliders lie out of reach below the window.
        QCOMPARE(control<QWidget>(&w, "Command2")->geometry(), QRect(504, 16, 81, 25));
        QVERIFY(control<QWidget>(&w, "xplane")->y() >= w.height());
        QCOMPARE(w.windowTitle(), "Quillet 1.0Beta");
        QCOMPARE(listedLines(&w, "level") + listedLines(&w, "sprite"), QStringList());

        QTRY_VERIFY(control<QWidget>(&w, "Command1")->hasFocus());
        for (const char *next : {"level", "sprite", "Command2", "maintype", "subtype", "Command3",
                                 "y", "x", "Command4", "TypeCap", "Command1"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY2(control<QWidget>(&w, next)->hasFocus(), next);
        }

        QVERIFY(!(w.windowHandle()->flags() & Qt::WindowMaximizeButtonHint));
        w.windowHandle()->resize(800, 600); // what dragging the border reports
        QTRY_COMPARE(w.windowHandle()->size(), QSize(609, 425));
    }

    void loadAndSave_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("statuses");
        QTest::addColumn<QString>("box"); // how the text of the box the load opens starts
        QTest::addColumn<bool>("keepsPath");
        const QString read = "Loading ROM|Opening ROM|Reading ROM|ROM Loaded|", none;
        // Row 5 moved by a hack (after row 0's copy) is followed through the game's table.
        const auto moved = [](rom::Revision r) { return synthetic::movedLayoutsImage(r, {0, 5}); };
        QTest::newRow("Sonic 1") << moved(rom::Revision::Sonic1Rev1) << read + "Sonic 1 Rev 01"
                                 << none << true;
        QTest::newRow("Sonic 2") << moved(rom::Revision::Sonic2Rev2)
                                 << read + "Sonic 2 Final Rev 02" << none << true;
        QTest::newRow("too short") << synthetic::image(1).left(475096) << read + "Couldnt Read ROM"
                                   << "That rom couldnt be loaded (" << true;
        QTest::newRow("not recognised")
            << QByteArray(0x80000, '\0') << read + "Non recognized ROM" << none << false;
    }

    void loadAndSave() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, statuses);
        QFETCH(QString, box);
        QFETCH(bool, keepsPath);
        const QString path = writeFile(dir, "image.bin", bytes);
        const QDateTime written = QFileInfo(path).lastModified();

        frmMain w;
        QVERIFY(showActive(&w));
        QVERIFY(loadThroughDialog(&w, writeFile(dir, "s2.bin", synthetic::image(2))).isEmpty());
        TitleRecorder titles(&w);
        const QList<SeenBox> seen = loadThroughDialog(&w, path);
        // A cancelled dialog changes nothing: all below holds after it.
        QVERIFY(loadThroughDialog(&w, QString()).isEmpty());
        QStringList want;
        for (const QString &status : statuses.split('|'))
            want << Prefix + "- [" + status + "]";
        QCOMPARE(titles.titles, want + QStringList({Prefix + "- [Loading ROM]", want.last()}));
        QCOMPARE(seen.isEmpty(), box.isEmpty());
        // A read failure reports after its status, with the path still held while the box is up.
        QVERIFY(seen.isEmpty() ||
                (isErrorBox(seen) && seen[0].text.startsWith(box) &&
                 seen[0].windowTitleWhileOpen == want.last() && seen[0].pathWhileOpen == path));
        QCOMPARE(romPath(&w), keepsPath ? path : "<None>");
        QCOMPARE(control<QAbstractItemView>(&w, "level")->model()->index(0, 0).data().toString(),
                 statuses.contains("Sonic 1") ? "0 - Green Hill 1" : "0 - Emerald Hill 1");
        if (const rom::Revision r = rom::revision(bytes); keepsPath && r != rom::Revision::None) {
            clickRow(&w, "level", 5);
            const qint64 at = synthetic::movedLayoutsAt(rom::gameCode(r)) +
                              6 * (synthetic::levelRecords(r, 0).size() + 1);
            QCOMPARE(layout::lineOffset(listedLines(&w, "sprite").value(0)), at);
        }
        QCOMPARE(QFileInfo(path).lastModified(), written); // a load never writes

        // Saving puts back the very bytes while a path is held; without one it only says so.
        const auto saved = boxesDuring(&w, [&w] { click(&w, "Command2"); });
        QVERIFY(keepsPath ? saved.isEmpty() && readFile(path) == bytes
                          : isErrorBox(saved) && QFileInfo(path).lastModified() == written);
    }

    // Levels chosen by key and by click, "Change", the cases without a target, "Clear All
    // Sprites" and "Save Chgs" on one image, which must come back with exactly those edits.
    void road() {
        QByteArray expected = synthetic::image(1);
        QVERIFY(open(expected));
        const SeenBoxes boxes = answerMessageBoxes(w.get(), {QMessageBox::Ok});
        QTest::keyClick(control<QWidget>(w.get(), "Command1"), Qt::Key_Tab);
        auto *level = control<QWidget>(w.get(), "level");
        QVERIFY(level->hasFocus());
        QCOMPARE(lines(), QStringList()); // focus alone lists nothing
        QTest::keyClick(level, Qt::Key_Down);
        QCOMPARE(lines(), expectedLines(1, 1, 0x6B5A0));
        clickRow(w.get(), "level", 11);
        QCOMPARE(lines(), expectedLines(1, 11, 0x6E85E));
        QCOMPARE(control<QWidget>(w.get(), "Label1")->property("text").toString(),
                 QStringLiteral("address: xxxx yyyy tt ss  Desc"));

        // "Change" pads and upper-cases sloppy texts, relists and selects the record again: an
        // X past its right neighbour's (011C) but not the next one's (0266) moves it one on.
        clickRow(w.get(), "sprite", 3);
        for (const auto &[b, t] :
             {std::pair{"x", "1b0"}, {"y", "C2a0"}, {"maintype", "a"}, {"subtype", "g2"}})
            retype(box(b), t);
        click(w.get(), "Command3");
        QCOMPARE(selectedRow(w.get(), "sprite"), 4);
        QCOMPARE(testsupport::editors(w.get()), QStringLiteral("01B0C2A00A02"));
        // X = FFFF ends the layout there; then without a line or a level row nothing is written.
        clickRow(w.get(), "sprite", 5);
        retype(box("x"), QStringLiteral("ffff"));
        click(w.get(), "Command3");
        QCOMPARE(lines().size(), 5);
        QCOMPARE(selectedRow(w.get(), "sprite"), -1);
        click(w.get(), "Command3");
        clickRow(w.get(), "sprite", 2);
        clickRow(w.get(), "level", 11, Qt::LeftButton, Qt::ControlModifier);
        retype(box("x"), QStringLiteral("0123"));
        click(w.get(), "Command3");
        click(w.get(), "Command4");

        clickRow(w.get(), "level", 13);
        const int count = lines().size();
        click(w.get(), "Command4");
        click(w.get(), "Command2");
        expected.replace(0x6E85E + 3 * 6, 12,
                         expected.mid(0x6E85E + 4 * 6, 6) + QByteArray::fromHex("01B0C2A00A02"));
        expected.replace(0x6E85E + 5 * 6, 2, QByteArray::fromHex("FFFF"));
        expected.replace(0x6F2A8, 6 * count, QByteArray(6 * count, '\0'));
        rom::writeChecksum(expected); // the image's checksum was right: it is kept right
        QCOMPARE(readFile(romPath(w.get())), expected);
        QVERIFY(boxes->isEmpty());

        // No line of a replaced image survives a load: unrecognised, recognised or too short.
        for (const auto &next : {QByteArray(0x80000, 1), synthetic::image(2), QByteArray(99, 2)}) {
            clickRow(w.get(), "level", 7);
            clickRow(w.get(), "sprite", 2);
            loadThroughDialog(w.get(), writeFile(dir, QStringLiteral("next.bin"), next));
            QCOMPARE(lines(), QStringList());
        }
    }

    // A line fills the editors and places the sliders (half to even); only a user's slider
    // move writes its box. The type boxes show the caption live and pad on leaving.
    void editors() {
        const auto img =
            synthetic::blankImage(1).replace(0x6B096, 30, QByteArray::fromHex(kLayout));
        QVERIFY(open(img));
        auto *xs = control<QScrollBar>(w.get(), "xplane"),
             *ys = control<QScrollBar>(w.get(), "yplane");
        auto *caption = control<QComboBox>(w.get(), "TypeCap");
        QLineEdit *x = box("x"), *y = box("y"), *mt = box("maintype"), *st = box("subtype");
        clickRow(w.get(), "level", 0);
        const QList<QList<int>> placed = {{1280, 257}, {128, 16512}, {130, 2}, {1409, 0}};
        for (int i = 3; i >= 0; --i) {
            clickRow(w.get(), "sprite", i);
            QCOMPARE(testsupport::editors(w.get()).toLatin1(),
                     img.mid(0x6B096 + 6 * i, 6).toHex().toUpper());
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
        clickRow(w.get(), "level", 0); // relisting drops the maxima to 1 before raising them
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

    // At the scale factor of the run (CTest runs this at 1, 1.5 and 2 through QT_SCALE_FACTOR):
    // every caption, label and level name fits inside its control.
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
        QVERIFY(loadThroughDialog(&w, writeFile(dir, "s2.bin", synthetic::image(2))).isEmpty());
        auto *level = control<QListWidget>(&w, "level");
        QCOMPARE(level->count(), 21);
        QCoreApplication::processEvents();
        for (int row = 0; row < level->count(); ++row)
            check(level, level->item(row)->text(), level->viewport()->width() - 4);
    }

    // The hidden extras: the key sequence in the X box, the About window it brings up and the
    // jingle.
    void sequences() {
        // 83 73 9 spell the same digits as 37 39 3; Tab leaves x, so the user clicks back in.
        // In the last row the arrows still move the caret and typing is still cleaned.
        for (const auto &[script, expected] : QList<std::pair<QString, QString>>{
                 {"@x A 1 F5 Shift+B Home Escape " + kSeq, "12500 0000"},
                 {"@x S I Tab @x Left Down Up Right Down", "12500 0000"},
                 {"@y " + kSeq, "-1 0000"},
                 {"@x Ctrl+A a g Shift+C Home " + kSeq + " 3", "12500 A3C"}}) {
            w = std::make_unique<frmMain>();
            play(script);
            const QString armed = QString::number(timer()->isActive() ? timer()->interval() : -1);
            QCOMPARE(script + ": " + armed + ' ' + w->findChild<QLineEdit *>("x")->text(),
                     script + ": " + expected);
        }
    }
    void keyCodes() {
        for (const auto &row : QString("A=65 Shift+Z=90 1=49 Num+7=103 F12=123 ;=186").split(' ')) {
            const QKeyCombination k = QKeySequence::fromString(row.section('=', 0, 0))[0];
            const QKeyEvent press(QEvent::KeyPress, k.key(), k.keyboardModifiers());
            QCOMPARE(row.section('=', 0, 0) + '=' + QString::number(virtualKeyCode(press)), row);
        }
    }
    void aboutWindow() {
        (w = std::make_unique<frmMain>())->setEggDelay(200);
        const qsizetype windows = QApplication::topLevelWidgets().size();
        play("@x " + kSeq); // also plays the jingle: with no audio device that must pass unnoticed
        QTRY_VERIFY(w->aboutWindow() && w->aboutWindow()->isVisible());
        QCOMPARE(w->aboutWindow()->windowTitle(), "About");
        QCOMPARE(w->aboutWindow()->minimumSize(), w->aboutWindow()->maximumSize());
        QVERIFY(!(w->aboutWindow()->windowFlags() & Qt::WindowMinMaxButtonsHint));
        play("@x " + kSeq); // the main window still takes keys; a new match keeps the one window
        QVERIFY(timer()->isActive());
        QTRY_VERIFY(!timer()->isActive());
        QCOMPARE(QApplication::topLevelWidgets().size(), windows + 1); // no message box either
        w->aboutWindow()->close();
        play("@x " + kSeq);
        QTRY_VERIFY(w->aboutWindow() && w->aboutWindow()->isVisible());
    }
    void jingle() {
        QFile file(":/SOUND/101");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.peek(4), "RIFF");
        QAudioDecoder dec;
        // Qt 6.4 leaves GStreamer's planar MP3 output unconverted unless asked for a format.
        QAudioFormat format;
        format.setSampleRate(12000);
        format.setChannelCount(2);
        format.setSampleFormat(QAudioFormat::Int16);
        dec.setAudioFormat(format);
        dec.setSourceDevice(&file);
        qint64 frames = 0, done = 0;
        connect(&dec, &QAudioDecoder::bufferReady, [&] { frames += dec.read().frameCount(); });
        connect(&dec, &QAudioDecoder::finished, [&] { done = 1; });
        dec.start();
        QTRY_VERIFY_WITH_TIMEOUT(done || dec.error(), 30000);
        QCOMPARE(dec.error(), QAudioDecoder::NoError);
        QVERIFY2(frames > 12.5 * 12000 && frames < 12.9 * 12000, QByteArray::number(frames));
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
