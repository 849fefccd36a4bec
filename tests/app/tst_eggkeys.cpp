// The hidden key sequence typed into the X box: which key presses arm the About timer, and that
// watching the keys leaves the editing of the boxes as it was.

#include "app/frmmain.h"
#include "app/virtualkeys.h"
#include "support/guitest.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <memory>

using testsupport::control;

namespace {

// Plays a script of user actions on the window: "@x" and "@y" click into that box, "Name" or
// "Shift+Name" presses and releases a key in the focused control, "Name~" holds the key long
// enough for one auto-repeat.
void play(frmMain &window, const QString &script) {
    const QStringList steps = script.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &step : steps) {
        if (step.startsWith(QLatin1Char('@'))) {
            auto *box = control<QLineEdit>(&window, qPrintable(step.mid(1)));
            QVERIFY2(box, qPrintable(step));
            QTest::mouseClick(box, Qt::LeftButton);
            QCOMPARE(QApplication::focusWidget(), box);
            continue;
        }
        const bool held = step.endsWith(QLatin1Char('~'));
        const QKeySequence seq =
            QKeySequence::fromString(held ? step.chopped(1) : step, QKeySequence::PortableText);
        QVERIFY2(seq.count() == 1, qPrintable(step));
        const Qt::Key key = seq[0].key();
        const Qt::KeyboardModifiers mods = seq[0].keyboardModifiers();
        QWidget *target = QApplication::focusWidget();
        QVERIFY2(target, qPrintable(step));
        if (!held) {
            QTest::keyClick(target, key, mods);
            continue;
        }
        QTest::keyPress(target, key, mods);
        QTest::simulateEvent(target, true, key, mods, QString(), true);
        QTest::keyRelease(target, key, mods);
    }
}

const QString kSequence = QStringLiteral("Left Right Left Down Up Right Down");

} // namespace

class tst_eggkeys : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void sequenceArmsTimer_data();
    void sequenceArmsTimer();
    void editingUnaffected_data();
    void editingUnaffected();
    void keyCodes_data();
    void keyCodes();

  private:
    std::unique_ptr<frmMain> m_window;
    QTimer *m_tmrEgg = nullptr;
};

void tst_eggkeys::init() {
    m_window = std::make_unique<frmMain>();
    QVERIFY(testsupport::showActive(m_window.get()));
    m_tmrEgg = control<QTimer>(m_window.get(), "tmrEgg");
    QVERIFY(m_tmrEgg);
    QVERIFY(!m_tmrEgg->isActive());
}

void tst_eggkeys::cleanup() {
    // The About window must never come up behind a later test's back.
    if (m_tmrEgg)
        m_tmrEgg->stop();
    m_window.reset();
    m_tmrEgg = nullptr;
}

void tst_eggkeys::sequenceArmsTimer_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("armed");

    QTest::newRow("exact sequence") << "@x " + kSequence << true;
    QTest::newRow("after other keys") << "@x A 1 F5 Shift+B Home Escape " + kSequence << true;
    // S (83) leaves a 3 in the buffer that I (73) and Tab (9) complete to 37 39: the same
    // fourteen digits split differently. Tab leaves the box, so the user clicks back in.
    QTest::newRow("other grouping") << "@x S I Tab @x Left Down Up Right Down" << true;
    QTest::newRow("interrupted by y") << "@x Left Right Left @y Up Down A @x " + kSequence << true;
    QTest::newRow("resumed after y")
        << "@x Left Right Left @y Right Left @x Down Up Right Down" << true;
    QTest::newRow("one key short") << "@x Right Left Down Up Right Down" << false;
    QTest::newRow("two keys swapped") << "@x Left Right Left Up Down Right Down" << false;
    QTest::newRow("typed into y") << "@y " + kSequence << false;
    QTest::newRow("shift counts") << "@x Left Right Left Down Up Shift+Right Down" << false;
    QTest::newRow("auto-repeat counts") << "@x Left Right Left Down~ Up Right Down" << false;
    // Without the click the rest goes to the control Tab moved to.
    QTest::newRow("tab leaves the box") << "@x S I Tab Left Down Up Right Down" << false;
}

void tst_eggkeys::sequenceArmsTimer() {
    QFETCH(QString, script);
    QFETCH(bool, armed);

    play(*m_window, script);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(m_tmrEgg->isActive(), armed);
    QCOMPARE(m_tmrEgg->interval(), armed ? 12500 : 0);
    // The window comes only when the timer ticks.
    QVERIFY(!m_window->aboutWindow());
}

void tst_eggkeys::editingUnaffected_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("x");

    // Home puts the caret before "1A"; the arrows of the sequence leave it after the 1, where
    // the 2 goes in.
    QTest::newRow("arrows move the caret")
        << "@x Ctrl+A 1 A Home " + kSequence + " 2" << QStringLiteral("12A");
    // Each change puts the caret at the end, so four backspaces empty the box wherever the
    // click left the caret; letters are upper-cased and non-hex characters dropped.
    QTest::newRow("cleaning still applies")
        << "@x Backspace Backspace Backspace Backspace " + kSequence + " a g Shift+C 3"
        << QStringLiteral("AC3");
    QTest::newRow("sequence in the middle")
        << "@x Ctrl+A f " + kSequence + " Shift+Z e" << QStringLiteral("FE");
}

void tst_eggkeys::editingUnaffected() {
    QFETCH(QString, script);
    QFETCH(QString, x);

    play(*m_window, script);
    if (QTest::currentTestFailed())
        return;
    auto *xBox = control<QLineEdit>(m_window.get(), "x");
    QCOMPARE(xBox->text(), x);
    QCOMPARE(xBox->cursorPosition(), int(x.size()));
    QCOMPARE(control<QLineEdit>(m_window.get(), "y")->text(), QStringLiteral("0000"));
    QVERIFY(m_tmrEgg->isActive());
}

void tst_eggkeys::keyCodes_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("code");

    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const Qt::KeyboardModifiers pad = Qt::KeypadModifier;
    QTest::newRow("A") << int(Qt::Key_A) << none << 65;
    QTest::newRow("Shift+A") << int(Qt::Key_A) << shift << 65;
    QTest::newRow("I") << int(Qt::Key_I) << none << 73;
    QTest::newRow("Z") << int(Qt::Key_Z) << shift << 90;
    QTest::newRow("0") << int(Qt::Key_0) << none << 48;
    QTest::newRow("9") << int(Qt::Key_9) << none << 57;
    QTest::newRow("! is Shift+1") << int(Qt::Key_Exclam) << shift << 49;
    QTest::newRow(") is Shift+0") << int(Qt::Key_ParenRight) << shift << 48;
    QTest::newRow("* is Shift+8") << int(Qt::Key_Asterisk) << shift << 56;
    QTest::newRow("keypad 0") << int(Qt::Key_0) << pad << 96;
    QTest::newRow("keypad 7") << int(Qt::Key_7) << pad << 103;
    QTest::newRow("keypad *") << int(Qt::Key_Asterisk) << pad << 106;
    QTest::newRow("keypad +") << int(Qt::Key_Plus) << pad << 107;
    QTest::newRow("keypad -") << int(Qt::Key_Minus) << pad << 109;
    QTest::newRow("keypad .") << int(Qt::Key_Period) << pad << 110;
    QTest::newRow("keypad /") << int(Qt::Key_Slash) << pad << 111;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << pad << 13;
    QTest::newRow("keypad Home, Num Lock off") << int(Qt::Key_Home) << pad << 36;
    QTest::newRow("F1") << int(Qt::Key_F1) << none << 112;
    QTest::newRow("F12") << int(Qt::Key_F12) << none << 123;
    QTest::newRow("F24") << int(Qt::Key_F24) << none << 135;
    QTest::newRow("Left") << int(Qt::Key_Left) << none << 37;
    QTest::newRow("Up") << int(Qt::Key_Up) << none << 38;
    QTest::newRow("Right") << int(Qt::Key_Right) << none << 39;
    QTest::newRow("Down") << int(Qt::Key_Down) << none << 40;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << 8;
    QTest::newRow("Tab") << int(Qt::Key_Tab) << none << 9;
    QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << shift << 9;
    QTest::newRow("Return") << int(Qt::Key_Return) << none << 13;
    QTest::newRow("Shift") << int(Qt::Key_Shift) << shift << 16;
    QTest::newRow("Control") << int(Qt::Key_Control) << none << 17;
    QTest::newRow("Alt") << int(Qt::Key_Alt) << none << 18;
    QTest::newRow("Pause") << int(Qt::Key_Pause) << none << 19;
    QTest::newRow("Caps Lock") << int(Qt::Key_CapsLock) << none << 20;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << none << 27;
    QTest::newRow("Space") << int(Qt::Key_Space) << none << 32;
    QTest::newRow("Page Up") << int(Qt::Key_PageUp) << none << 33;
    QTest::newRow("Page Down") << int(Qt::Key_PageDown) << none << 34;
    QTest::newRow("End") << int(Qt::Key_End) << none << 35;
    QTest::newRow("Home") << int(Qt::Key_Home) << none << 36;
    QTest::newRow("Insert") << int(Qt::Key_Insert) << none << 45;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << none << 46;
    QTest::newRow("Windows") << int(Qt::Key_Meta) << none << 91;
    QTest::newRow("Menu") << int(Qt::Key_Menu) << none << 93;
    QTest::newRow("Num Lock") << int(Qt::Key_NumLock) << none << 144;
    QTest::newRow("Scroll Lock") << int(Qt::Key_ScrollLock) << none << 145;
    QTest::newRow(";") << int(Qt::Key_Semicolon) << none << 186;
    QTest::newRow(":") << int(Qt::Key_Colon) << shift << 186;
    QTest::newRow("=") << int(Qt::Key_Equal) << none << 187;
    QTest::newRow("+ is Shift+=") << int(Qt::Key_Plus) << shift << 187;
    QTest::newRow(",") << int(Qt::Key_Comma) << none << 188;
    QTest::newRow("<") << int(Qt::Key_Less) << shift << 188;
    QTest::newRow("-") << int(Qt::Key_Minus) << none << 189;
    QTest::newRow("_") << int(Qt::Key_Underscore) << shift << 189;
    QTest::newRow(".") << int(Qt::Key_Period) << none << 190;
    QTest::newRow("?") << int(Qt::Key_Question) << shift << 191;
    QTest::newRow("`") << int(Qt::Key_QuoteLeft) << none << 192;
    QTest::newRow("~") << int(Qt::Key_AsciiTilde) << shift << 192;
    QTest::newRow("[") << int(Qt::Key_BracketLeft) << none << 219;
    QTest::newRow("|") << int(Qt::Key_Bar) << shift << 220;
    QTest::newRow("]") << int(Qt::Key_BracketRight) << none << 221;
    QTest::newRow("'") << int(Qt::Key_Apostrophe) << none << 222;
    QTest::newRow("\"") << int(Qt::Key_QuoteDbl) << shift << 222;
    QTest::newRow("unknown key") << int(Qt::Key_unknown) << none << 0;
    QTest::newRow("dead key") << int(Qt::Key_Dead_Acute) << none << 0;
}

void tst_eggkeys::keyCodes() {
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, code);

    const QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCOMPARE(virtualKeyCode(press), code);
}

QTEST_MAIN(tst_eggkeys)
#include "tst_eggkeys.moc"
