// The About window the hidden sequence brings up: when it comes, that it never blocks the main
// window, that only one is open at a time, and how it looks.

#include "app/eggsound.h"
#include "app/frmabout.h"
#include "app/frmmain.h"
#include "support/guitest.h"

#include <QApplication>
#include <QAudioDevice>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <memory>

using testsupport::control;

namespace {

const QColor kGreen(0, 255, 0);

QList<frmAbout *> openAboutWindows() {
    QList<frmAbout *> found;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *about = qobject_cast<frmAbout *>(w); about && about->isVisible())
            found.append(about);
    return found;
}

bool anyMessageBox() {
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox *>(w) && w->isVisible())
            return true;
    return false;
}

// Brings the main window to the front and types the hidden sequence into the X box.
void typeSequence(frmMain &window) {
    QVERIFY(testsupport::showActive(&window));
    auto *x = control<QLineEdit>(&window, "x");
    QVERIFY(x);
    QTest::mouseClick(x, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), x);
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Left, Qt::Key_Down, Qt::Key_Up,
                        Qt::Key_Right, Qt::Key_Down})
        QTest::keyClick(x, key);
}

// Counts the pixels of `image` that are the given colour, within a small tolerance.
int pixelsNear(const QImage &image, const QColor &colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) < 48 && qAbs(c.green() - colour.green()) < 48 &&
                qAbs(c.blue() - colour.blue()) < 48)
                ++n;
        }
    return n;
}

} // namespace

class tst_about : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void appearsAfterTheDelay();
    void mainWindowStaysUsable();
    void oneWindowAtATime();
    void matchWhileArmedRearms();
    void programsOwnDelay();
    void layout();
    void outlivesMainWindow();
    void quietWithoutAudioDevice();

  private:
    // Opens the main window; a delay of 0 leaves the program's own.
    frmMain *openMain(int eggDelay);
    QTimer *tmrEgg() const { return control<QTimer>(m_window.get(), "tmrEgg"); }

    std::unique_ptr<frmMain> m_window;
};

frmMain *tst_about::openMain(int eggDelay) {
    m_window = std::make_unique<frmMain>();
    if (eggDelay > 0)
        m_window->setEggDelay(eggDelay);
    if (!testsupport::showActive(m_window.get()))
        return nullptr;
    return m_window.get();
}

void tst_about::init() {
    QVERIFY(openAboutWindows().isEmpty());
}

void tst_about::cleanup() {
    if (m_window)
        tmrEgg()->stop();
    m_window.reset();
    // About windows have no parent: they would outlive the test otherwise.
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<frmAbout *>(w))
            delete w;
}

void tst_about::appearsAfterTheDelay() {
    frmMain *main = openMain(50);
    QVERIFY(main);
    typeSequence(*main);
    QVERIFY(tmrEgg()->isActive());
    QCOMPARE(tmrEgg()->interval(), 50);
    QVERIFY(!main->aboutWindow());

    QTRY_VERIFY(main->aboutWindow() && main->aboutWindow()->isVisible());
    QCOMPARE(openAboutWindows().size(), 1);
    // Shown without blocking: the tick has returned and disarmed the timer.
    QVERIFY(!tmrEgg()->isActive());
    QCOMPARE(tmrEgg()->interval(), 0);
    QVERIFY(!main->aboutWindow()->isModal());
    QVERIFY(!QApplication::activeModalWidget());
}

void tst_about::mainWindowStaysUsable() {
    frmMain *main = openMain(1500);
    QVERIFY(main);
    typeSequence(*main);

    // While the timer runs the user keeps editing.
    auto *y = control<QLineEdit>(main, "y");
    QTest::mouseClick(y, Qt::LeftButton);
    QTest::keyClick(y, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(y, QStringLiteral("1c"));
    QCOMPARE(y->text(), QStringLiteral("1C"));
    QVERIFY(tmrEgg()->isActive());

    QTRY_VERIFY_WITH_TIMEOUT(main->aboutWindow() && main->aboutWindow()->isVisible(), 10000);
    // And once the About window is up, the main window still takes input.
    QVERIFY(testsupport::showActive(main));
    QTest::mouseClick(y, Qt::LeftButton);
    QTest::keyClick(y, Qt::Key_Backspace);
    QCOMPARE(y->text(), QStringLiteral("1"));
    QVERIFY(main->aboutWindow()->isVisible());
}

void tst_about::oneWindowAtATime() {
    frmMain *main = openMain(50);
    QVERIFY(main);
    typeSequence(*main);
    QTRY_VERIFY(main->aboutWindow() && main->aboutWindow()->isVisible());
    QPointer<frmAbout> first = main->aboutWindow();

    // A second match while it is open leaves the same single window.
    typeSequence(*main);
    QVERIFY(tmrEgg()->isActive());
    QTRY_VERIFY(!tmrEgg()->isActive());
    QVERIFY(first);
    QCOMPARE(main->aboutWindow(), first.data());
    QCOMPARE(openAboutWindows().size(), 1);
    QVERIFY(first->isVisible());

    // Closed by the user, it goes away; the next match brings a new one.
    first->close();
    QTRY_VERIFY(!first);
    QVERIFY(!main->aboutWindow());
    QVERIFY(openAboutWindows().isEmpty());
    typeSequence(*main);
    QTRY_VERIFY(main->aboutWindow() && main->aboutWindow()->isVisible());
    QCOMPARE(openAboutWindows().size(), 1);
}

void tst_about::matchWhileArmedRearms() {
    frmMain *main = openMain(5000);
    QVERIFY(main);
    typeSequence(*main);
    QVERIFY(tmrEgg()->isActive());
    QTest::qWait(1000);
    // Timers may keep 5 % of their interval as slack, so the margins are wide.
    const int before = tmrEgg()->remainingTime();
    QVERIFY2(before >= 0 && before < 4400, qPrintable(QString::number(before)));

    typeSequence(*main);
    QVERIFY(tmrEgg()->isActive());
    QCOMPARE(tmrEgg()->interval(), 5000);
    const int after = tmrEgg()->remainingTime();
    QVERIFY2(after > 4600, qPrintable(QString::number(after)));
    QVERIFY(!main->aboutWindow());
}

void tst_about::programsOwnDelay() {
    frmMain *main = openMain(0);
    QVERIFY(main);
    typeSequence(*main);
    QVERIFY(tmrEgg()->isActive());
    QCOMPARE(tmrEgg()->interval(), 12500);
    QVERIFY(tmrEgg()->isSingleShot());
    tmrEgg()->stop();
}

void tst_about::layout() {
    frmMain *main = openMain(50);
    QVERIFY(main);
    typeSequence(*main);
    QTRY_VERIFY(main->aboutWindow() && main->aboutWindow()->isVisible());
    frmAbout *about = main->aboutWindow();
    QVERIFY(QTest::qWaitForWindowExposed(about));

    QVERIFY(about->isWindow());
    QCOMPARE(about->windowTitle(), QStringLiteral("About"));
    // 4020 x 2805 twips, and the user cannot change it.
    QCOMPARE(about->size(), QSize(268, 187));
    QCOMPARE(about->minimumSize(), QSize(268, 187));
    QCOMPARE(about->maximumSize(), QSize(268, 187));
    const Qt::WindowFlags flags = about->windowFlags();
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));

    const QImage mainIcon = main->windowIcon().pixmap(16, 16).toImage();
    QVERIFY(!mainIcon.isNull());
    QCOMPARE(about->windowIcon().pixmap(16, 16).toImage(), mainIcon);

    const QImage window = about->grab().toImage();
    QCOMPARE(window.pixelColor(2, 2), QColor(Qt::black));
    QCOMPARE(window.pixelColor(265, 184), QColor(Qt::black));

    auto *frame = control<QGroupBox>(about, "Frame1");
    QVERIFY(frame);
    QCOMPARE(frame->title(), QStringLiteral("About"));
    QCOMPARE(frame->geometry(), QRect(8, 8, 249, 169));
    // The caption is drawn in green.
    const QImage caption = frame->grab(QRect(0, 0, frame->width(), 14)).toImage();
    QVERIFY(pixelsNear(caption, kGreen) > 0);

    auto *text = control<QPlainTextEdit>(about, "Text1");
    QVERIFY(text);
    QCOMPARE(text->parentWidget(), frame);
    QCOMPARE(text->geometry(), QRect(8, 16, 233, 145));
    const QStringList lines = text->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 7); // six lines, each ended by a line break
    QCOMPARE(lines[0], QStringLiteral("Quillet 1.0"));
    QCOMPARE(lines[1], QString());
    QVERIFY2(QRegularExpression(QStringLiteral("^Programmed by \\S.* \\(\\S+\\)$"))
                 .match(lines[2])
                 .hasMatch(),
             qPrintable(lines[2]));
    QVERIFY2(
        QRegularExpression(QStringLiteral("^<[^<>\\s]+@[^<>\\s]+>$")).match(lines[3]).hasMatch(),
        qPrintable(lines[3]));
    QCOMPARE(lines[4], QString());
    QVERIFY2(
        QRegularExpression(QStringLiteral("^Special Thanks to:  \\S")).match(lines[5]).hasMatch(),
        qPrintable(lines[5]));
    QCOMPARE(lines[6], QString());

    // Green text on black: the text area holds black and green and nothing else.
    const QImage area = text->viewport()->grab().toImage();
    const int pixels = area.width() * area.height();
    const int black = pixelsNear(area, Qt::black);
    const int green = pixelsNear(area, kGreen);
    QVERIFY(green > 0);
    QVERIFY(black > pixels / 2);
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x) {
            const QColor c = area.pixelColor(x, y);
            QVERIFY2(c.red() < 48 && c.blue() < 48, qPrintable(c.name()));
        }
}

void tst_about::outlivesMainWindow() {
    frmMain *main = openMain(50);
    QVERIFY(main);
    typeSequence(*main);
    QTRY_VERIFY(main->aboutWindow() && main->aboutWindow()->isVisible());
    QPointer<frmAbout> about = main->aboutWindow();
    QVERIFY(about->testAttribute(Qt::WA_QuitOnClose));

    main->close();
    m_window.reset();
    QTest::qWait(50);
    QVERIFY(about);
    QVERIFY(about->isVisible());
    about->close();
    QTRY_VERIFY(!about);
}

void tst_about::quietWithoutAudioDevice() {
    qInfo("audio outputs here: %d", int(QMediaDevices::audioOutputs().size()));
    frmMain *main = openMain(300);
    QVERIFY(main);
    QElapsedTimer clock;
    clock.start();
    typeSequence(*main);
    // The sound is handed to the player and the key press returns at once.
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    QMediaPlayer *player = eggSoundPlayer();
    QVERIFY(player);
    QVERIFY(!player->source().isEmpty() || player->sourceDevice());
    QVERIFY(tmrEgg()->isActive());

    // Whatever the backend makes of the missing device, nothing is shown for it.
    QTRY_VERIFY(main->aboutWindow() && main->aboutWindow()->isVisible());
    QTest::qWait(200);
    QVERIFY(!anyMessageBox());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(openAboutWindows().size(), 1);
    // The main window carries on as before.
    QVERIFY(testsupport::showActive(main));
    auto *x = control<QLineEdit>(main, "x");
    QTest::mouseClick(x, Qt::LeftButton);
    QTest::keyClick(x, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(x, QStringLiteral("b2"));
    QCOMPARE(x->text(), QStringLiteral("B2"));
}

QTEST_MAIN(tst_about)
#include "tst_about.moc"
