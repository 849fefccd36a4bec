// The main window driven as a user would: its controls, focus order and size lock, and loading
// and saving through "Load...", the file dialog and "Save Chgs".

#include "app/frmmain.h"
#include "demo/syntheticimage.h"
#include "objects/layout.h"
#include "support/guitest.h"

#include <QWindow>

using namespace testsupport;

namespace {

const QString Prefix = QStringLiteral("Quillet 1.0b ");

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

// Only a box that opened has a title.
bool isErrorBox(const SeenBox &b) {
    return b.title == "Error" && b.icon == QMessageBox::Warning && b.buttons == QMessageBox::Ok;
}

std::shared_ptr<SeenBox> pressSave(QWidget *w) {
    auto box = answerMessageBox(w);
    QTest::mouseClick(control<QWidget>(w, "Command2"), Qt::LeftButton);
    box->armed = false;
    return box;
}

void cancelChangesNothing(frmMain &w) {
    const QString title = w.windowTitle(), path = romPath(&w);
    const QByteArray data = w.fileData();
    TitleRecorder titles(&w);
    QVERIFY(!loadThroughDialog(&w, QString())->seen);
    QCOMPARE(titles.titles, (QStringList{Prefix + "- [Loading ROM]", title}));
    QVERIFY(romPath(&w) == path && w.fileData() == data);
}

} // namespace

class tst_MainWindow : public QObject {
    Q_OBJECT

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
        for (const char *list : {"level", "sprite"})
            QCOMPARE(control<QAbstractItemView>(&w, list)->model()->rowCount(), 0);

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
        QTemporaryDir dir;
        const QString path = writeFile(dir, "image.bin", bytes);
        const QDateTime written = QFileInfo(path).lastModified();

        frmMain w;
        QVERIFY(showActive(&w));
        cancelChangesNothing(w);
        QVERIFY(!loadThroughDialog(&w, writeFile(dir, "s2.bin", synthetic::image(2)))->seen);
        TitleRecorder titles(&w);
        const auto seen = loadThroughDialog(&w, path);
        QStringList want;
        for (const QString &status : statuses.split('|'))
            want << Prefix + "- [" + status + "]";
        QCOMPARE(titles.titles, want);
        QVERIFY2(seen->seen != box.isEmpty() && seen->text.startsWith(box), qPrintable(seen->text));
        // A read failure reports after its status, with the path still held while the box is up.
        QVERIFY(!seen->seen || (isErrorBox(*seen) && seen->windowTitleWhileOpen == want.last() &&
                                seen->pathWhileOpen == path));
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
        cancelChangesNothing(w);

        // Saving puts back the very bytes while a path is held; without one it only says so.
        const auto saved = pressSave(&w);
        QVERIFY(keepsPath ? !saved->seen && readFile(path) == bytes
                          : isErrorBox(*saved) && QFileInfo(path).lastModified() == written);
        // With the folder gone, saving fails with a box naming the path and makes nothing.
        QVERIFY(dir.remove());
        const auto failed = pressSave(&w);
        QVERIFY(isErrorBox(*failed) && failed->text.contains(path) == keepsPath &&
                !QFileInfo::exists(dir.path()));
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
