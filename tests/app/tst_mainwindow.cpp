// The main window as the user first meets it: its controls, their looks, focus order and the
// size lock, driven through the real window.

#include "app/frmmain.h"
#include "support/guitest.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWindow>

using testsupport::control;

namespace {

// Client area of the window: 9135 x 6375 twips.
constexpr int ClientWidth = 609;
constexpr int ClientHeight = 425;

QWidget *named(QWidget *window, const QString &name) {
    return window->findChild<QWidget *>(name);
}

// The named control that holds the keyboard focus (an editable combo box hands the focus to
// its line edit, which still belongs to the box).
QString focusedControl(QWidget *window) {
    for (QWidget *w = QApplication::focusWidget(); w && w != window; w = w->parentWidget()) {
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            return w->objectName();
    }
    return QString();
}

QString shownText(QWidget *w) {
    if (auto *box = qobject_cast<QGroupBox *>(w))
        return box->title();
    if (auto *label = qobject_cast<QLabel *>(w))
        return label->text();
    if (auto *button = qobject_cast<QPushButton *>(w))
        return button->text();
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        return edit->text();
    if (auto *combo = qobject_cast<QComboBox *>(w))
        return combo->currentText();
    return QString();
}

bool nearColour(QRgb pixel, const QColor &want, int tolerance = 8) {
    return qAbs(qRed(pixel) - want.red()) <= tolerance &&
           qAbs(qGreen(pixel) - want.green()) <= tolerance &&
           qAbs(qBlue(pixel) - want.blue()) <= tolerance;
}

// Whether any pixel of `image` is close to `want` (text strokes are anti-aliased, but their
// cores carry the full colour).
bool hasColour(const QImage &image, const QColor &want) {
    for (int yy = 0; yy < image.height(); ++yy)
        for (int xx = 0; xx < image.width(); ++xx)
            if (nearColour(image.pixel(xx, yy), want, 40))
                return true;
    return false;
}

} // namespace

class tst_MainWindow : public QObject {
    Q_OBJECT

  private slots:
    void startState();
    void controlTree_data();
    void controlTree();
    void maximumLength_data();
    void maximumLength();
    void colours_data();
    void colours();
    void backgrounds_data();
    void backgrounds();
    void fonts_data();
    void fonts();
    void noMaximiseButton();
    void sizeLock_data();
    void sizeLock();
    void minimiseAndRestore();
    void slidersOutOfReach();
    void focusOrder();
};

void tst_MainWindow::startState() {
    frmMain w;
    testsupport::TitleRecorder titles(&w);
    QVERIFY(testsupport::showActive(&w));

    QCOMPARE(w.windowTitle(), QStringLiteral("Quillet 1.0Beta"));
    QCOMPARE(control<QLabel>(&w, "RomPath")->text(), QStringLiteral("<None>"));
    QCOMPARE(control<QLineEdit>(&w, "x")->text(), QStringLiteral("0000"));
    QCOMPARE(control<QLineEdit>(&w, "y")->text(), QStringLiteral("0000"));
    QCOMPARE(control<QLineEdit>(&w, "maintype")->text(), QStringLiteral("00"));
    QCOMPARE(control<QLineEdit>(&w, "subtype")->text(), QStringLiteral("00"));
    QCOMPARE(control<QListWidget>(&w, "level")->count(), 0);
    QCOMPARE(control<QListView>(&w, "sprite")->model()->rowCount(), 0);
    QCOMPARE(control<QComboBox>(&w, "TypeCap")->count(), 0);
    QVERIFY(w.fileData().isEmpty());
    for (const char *name : {"tmrchg", "tmrEgg"}) {
        auto *timer = w.findChild<QTimer *>(QLatin1String(name));
        QVERIFY2(timer, name);
        QVERIFY2(!timer->isActive(), name);
        QCOMPARE(timer->interval(), 0);
    }
    auto *dialog = w.findChild<QFileDialog *>(QStringLiteral("cd"));
    QVERIFY(dialog);
    QVERIFY(!dialog->isVisible());
    // Showing the window is no load: the title stays the start caption.
    QVERIFY(titles.titles.isEmpty());
    QCOMPARE(w.size(), QSize(ClientWidth, ClientHeight));
}

void tst_MainWindow::controlTree_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("twips");

    const auto row = [](const char *name, const char *kind, const char *container,
                        const QString &text, int l, int t, int wd, int h) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(kind)
                            << QString::fromLatin1(container) << text << QRect(l, t, wd, h);
    };
    row("Frame1", "QGroupBox", "frmMain", "ROM", 120, 120, 8895, 735);
    row("RomPath", "QLabel", "Frame1", "<None>", 240, 360, 5775, 255);
    row("Command1", "QPushButton", "Frame1", "Load...", 6360, 240, 1095, 375);
    row("Command2", "QPushButton", "Frame1", "Save Chgs", 7560, 240, 1215, 375);
    row("Frame2", "QGroupBox", "frmMain", "Level", 120, 960, 2175, 5295);
    row("level", "QListWidget", "Frame2", "", 120, 360, 1935, 4785);
    row("Frame3", "QGroupBox", "frmMain", "Sprites", 2400, 960, 6615, 5295);
    row("Label1", "QLabel", "Frame3", "address: xxxx yyyy tt ss  Desc", 120, 240, 4215, 255);
    row("sprite", "QListView", "Frame3", "", 120, 600, 6375, 2760);
    row("Frame6", "QGroupBox", "Frame3", "Position", 240, 3480, 1695, 1215);
    row("Label2", "QLabel", "Frame6", "X", 120, 240, 135, 255);
    row("x", "QLineEdit", "Frame6", "0000", 480, 240, 975, 285);
    row("Label3", "QLabel", "Frame6", "Y", 120, 720, 135, 255);
    row("y", "QLineEdit", "Frame6", "0000", 480, 720, 975, 285);
    row("Command3", "QPushButton", "Frame3", "Change", 2400, 3600, 735, 375);
    row("Command4", "QPushButton", "Frame3", "Clear All Sprites", 2160, 4200, 1215, 375);
    row("Frame5", "QGroupBox", "Frame3", "Type", 3600, 3480, 2895, 1695);
    row("Label4", "QLabel", "Frame5", "Type Subtype", 120, 240, 1935, 255);
    row("maintype", "QLineEdit", "Frame5", "00", 120, 600, 495, 285);
    row("subtype", "QLineEdit", "Frame5", "00", 720, 600, 495, 285);
    row("TypeCap", "QComboBox", "Frame5", "", 240, 1080, 2535, 315);
    row("yplane", "QScrollBar", "frmMain", "", 480, 6840, 495, 1215);
    row("xplane", "QScrollBar", "frmMain", "", 1080, 7680, 1695, 375);
}

void tst_MainWindow::controlTree() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, container);
    QFETCH(QString, text);
    QFETCH(QRect, twips);

    frmMain w;
    QVERIFY(testsupport::showActive(&w));
    QWidget *c = named(&w, name);
    QVERIFY2(c, qPrintable(name));
    QVERIFY2(c->inherits(kind.toLatin1().constData()), c->metaObject()->className());
    QVERIFY(c->parentWidget());
    QCOMPARE(c->parentWidget()->objectName(), container);
    QCOMPARE(shownText(c), text);

    const QRect g = c->geometry();
    QCOMPARE(g.topLeft(), QPoint(twips.left() / 15, twips.top() / 15));
    QVERIFY2(
        qAbs(g.width() * 15 - twips.width()) <= 15,
        qPrintable(QStringLiteral("width %1 px for %2 twips").arg(g.width()).arg(twips.width())));
    QVERIFY2(qAbs(g.height() * 15 - twips.height()) <= 15,
             qPrintable(
                 QStringLiteral("height %1 px for %2 twips").arg(g.height()).arg(twips.height())));
    // Controls of the visible tree lie wholly inside their container.
    if (!name.endsWith(QLatin1String("plane")))
        QVERIFY2(c->parentWidget()->rect().contains(g), qPrintable(name));
}

void tst_MainWindow::maximumLength_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");

    QTest::newRow("x refuses a fifth") << "x" << 4 << "12345"
                                       << "1234";
    QTest::newRow("y refuses a fifth") << "y" << 4 << "ABCDE"
                                       << "ABCD";
    QTest::newRow("maintype refuses a third") << "maintype" << 2 << "123"
                                              << "12";
    QTest::newRow("subtype refuses a third") << "subtype" << 2 << "9AB"
                                             << "9A";
}

void tst_MainWindow::maximumLength() {
    QFETCH(QString, name);
    QFETCH(int, maxLength);
    QFETCH(QString, typed);
    QFETCH(QString, kept);

    frmMain w;
    QVERIFY(testsupport::showActive(&w));
    auto *edit = qobject_cast<QLineEdit *>(named(&w, name));
    QVERIFY(edit);
    QCOMPARE(edit->maxLength(), maxLength);

    // A full box takes no more characters at its end.
    QTest::mouseClick(edit, Qt::LeftButton, {}, edit->rect().center());
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, QStringLiteral("7"));
    QCOMPARE(edit->text().size(), maxLength);
    QVERIFY(!edit->text().contains(QLatin1Char('7')));

    // Typing over the whole text keeps only as many characters as fit.
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), kept);
}

void tst_MainWindow::colours_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("role");
    QTest::addColumn<QColor>("colour");

    const int text = QPalette::Text;
    const int windowText = QPalette::WindowText;
    QTest::newRow("frame caption green") << "Frame1" << windowText << QColor(0, 255, 0);
    QTest::newRow("status label green") << "RomPath" << windowText << QColor(0, 255, 0);
    QTest::newRow("heading label yellow") << "Label4" << windowText << QColor(255, 255, 0);
    QTest::newRow("editor light grey text") << "x" << text << QColor(224, 224, 224);
    QTest::newRow("level list red text") << "level" << text << QColor(255, 0, 0);
    QTest::newRow("object list blue text") << "sprite" << text << QColor(0, 0, 255);
}

void tst_MainWindow::colours() {
    QFETCH(QString, name);
    QFETCH(int, role);
    QFETCH(QColor, colour);

    frmMain w;
    QVERIFY(testsupport::showActive(&w));
    QWidget *c = named(&w, name);
    QVERIFY(c);
    c->ensurePolished();
    QCOMPARE(c->palette().color(QPalette::Active, QPalette::ColorRole(role)), colour);
}

void tst_MainWindow::backgrounds_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("textColour"); // colour name some text pixel must carry, or empty

    QTest::newRow("window black") << "frmMain" << QColor(Qt::black) << "";
    QTest::newRow("frame black, green caption") << "Frame2" << QColor(Qt::black) << "#00ff00";
    QTest::newRow("heading label black, yellow") << "Label4" << QColor(Qt::black) << "#ffff00";
    QTest::newRow("status label black, green") << "RomPath" << QColor(Qt::black) << "#00ff00";
    QTest::newRow("editor grey") << "maintype" << QColor(128, 128, 128) << "#e0e0e0";
    QTest::newRow("level list silver") << "level" << QColor(192, 192, 192) << "";
    QTest::newRow("object list silver") << "sprite" << QColor(192, 192, 192) << "";
}

void tst_MainWindow::backgrounds() {
    QFETCH(QString, name);
    QFETCH(QColor, colour);
    QFETCH(QString, textColour);

    frmMain w;
    QVERIFY(testsupport::showActive(&w));
    QWidget *c = name == QLatin1String("frmMain") ? &w : named(&w, name);
    QVERIFY(c);
    const QImage shot = w.grab().toImage();
    const QRect area(c->mapTo(&w, QPoint(0, 0)), c->size());

    // A point near the bottom right, inside any border and clear of left-aligned text.
    const QPoint probe = area.bottomRight() - QPoint(qMin(5, area.width() / 4), 4);
    const QRgb pixel = shot.pixel(probe);
    QVERIFY2(nearColour(pixel, colour), qPrintable(QStringLiteral("pixel %1 at %2,%3")
                                                       .arg(QColor(pixel).name())
                                                       .arg(probe.x())
                                                       .arg(probe.y())));
    if (!textColour.isEmpty())
        QVERIFY2(hasColour(shot.copy(area), QColor(textColour)), qPrintable(textColour));
}

void tst_MainWindow::fonts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("family");
    QTest::addColumn<qreal>("points");

    const QString fixedsys = QStringLiteral("Fixedsys");
    const QString comic = QStringLiteral("Comic Sans MS");
    for (const char *name :
         {"x", "y", "maintype", "subtype", "sprite", "Label1", "Label2", "Label3"})
        QTest::newRow(name) << QString::fromLatin1(name) << fixedsys << qreal(9);
    for (const char *name : {"Frame5", "Label4"})
        QTest::newRow(name) << QString::fromLatin1(name) << comic << qreal(9);
    for (const char *name : {"Frame1", "Frame2", "level", "Command1", "Command2", "RomPath"})
        QTest::newRow(name) << QString::fromLatin1(name) << comic << qreal(8.25);
}

void tst_MainWindow::fonts() {
    QFETCH(QString, name);
    QFETCH(QString, family);
    QFETCH(qreal, points);

    frmMain w;
    QVERIFY(testsupport::showActive(&w));
    QWidget *c = named(&w, name);
    QVERIFY(c);
    const QFont f = c->font();
    QCOMPARE(f.family(), family);
    QCOMPARE(f.pointSizeF(), points);
    QVERIFY(!f.bold());
    QVERIFY(!f.italic());

    // What is drawn is an installed free face standing in for the named one.
    const QFontInfo drawn(f);
    QVERIFY2(QFontDatabase::families().contains(drawn.family()), qPrintable(drawn.family()));
    QVERIFY2(QFont::substitutes(family).contains(drawn.family(), Qt::CaseInsensitive),
             qPrintable(drawn.family() + QStringLiteral(" for ") + family));
    QVERIFY(!drawn.bold());
    QVERIFY(!drawn.italic());
    if (family == QLatin1String("Fixedsys"))
        QVERIFY2(drawn.fixedPitch(), qPrintable(drawn.family()));
}

void tst_MainWindow::noMaximiseButton() {
    frmMain w;
    QVERIFY(testsupport::showActive(&w));
    const Qt::WindowFlags flags = w.windowHandle()->flags();
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowTitleHint);
}

void tst_MainWindow::sizeLock_data() {
    QTest::addColumn<QSize>("asked");
    QTest::addColumn<bool>("byWindowSystem");

    QTest::newRow("program enlarges") << QSize(800, 600) << false;
    QTest::newRow("program shrinks") << QSize(300, 200) << false;
    QTest::newRow("border dragged wider") << QSize(700, 425) << true;
    QTest::newRow("border dragged smaller") << QSize(400, 300) << true;
}

void tst_MainWindow::sizeLock() {
    QFETCH(QSize, asked);
    QFETCH(bool, byWindowSystem);

    frmMain w;
    QVERIFY(testsupport::showActive(&w));
    const QSize start = w.size();
    QCOMPARE(start, QSize(ClientWidth, ClientHeight));

    if (byWindowSystem)
        w.windowHandle()->resize(asked); // what a border drag reports
    else
        w.resize(asked);
    QTest::qWait(50);
    QTRY_COMPARE(w.size(), start);
    QTRY_COMPARE(w.windowHandle()->size(), start);
}

void tst_MainWindow::minimiseAndRestore() {
    frmMain w;
    QVERIFY(testsupport::showActive(&w));
    const QSize start = w.size();

    w.showMinimized();
    QTest::qWait(50);
    w.showNormal();
    QTest::qWait(50);
    QVERIFY(w.isVisible());
    QVERIFY(!w.isMinimized());
    QTRY_COMPARE(w.size(), start);
    for (QWidget *top : QApplication::topLevelWidgets())
        QVERIFY2(!(qobject_cast<QMessageBox *>(top) && top->isVisible()), "a box was shown");
}

void tst_MainWindow::slidersOutOfReach() {
    frmMain w;
    QVERIFY(testsupport::showActive(&w));
    for (const char *name : {"xplane", "yplane"}) {
        auto *slider = control<QScrollBar>(&w, name);
        QVERIFY2(slider, name);
        QCOMPARE(slider->parentWidget(), &w);
        QVERIFY2(slider->geometry().top() >= w.height(), name);
        QVERIFY2(!w.rect().intersects(slider->geometry()), name);
        QCOMPARE(slider->focusPolicy(), Qt::NoFocus);
        QCOMPARE(slider->minimum(), 0);
    }
    QCOMPARE(control<QScrollBar>(&w, "xplane")->orientation(), Qt::Horizontal);
    QCOMPARE(control<QScrollBar>(&w, "yplane")->orientation(), Qt::Vertical);
}

void tst_MainWindow::focusOrder() {
    frmMain w;
    QVERIFY(testsupport::showActive(&w));
    QTRY_COMPARE(focusedControl(&w), QStringLiteral("Command1"));

    // Tab walks the focusable controls in order and comes round to the start again; frames,
    // labels and the hidden sliders are never visited.
    const QStringList forward = {
        QStringLiteral("level"),    QStringLiteral("sprite"),  QStringLiteral("Command2"),
        QStringLiteral("maintype"), QStringLiteral("subtype"), QStringLiteral("Command3"),
        QStringLiteral("y"),        QStringLiteral("x"),       QStringLiteral("Command4"),
        QStringLiteral("TypeCap"),  QStringLiteral("Command1")};
    for (const QString &next : forward) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusedControl(&w), next);
    }
    // Shift+Tab walks back.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(focusedControl(&w), QStringLiteral("TypeCap"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(focusedControl(&w), QStringLiteral("Command4"));
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
