// The hidden extras: the key sequence in the X box, the About window it brings up and the jingle.
#include "app/frmabout.h"
#include "app/frmmain.h"
#include "app/virtualkeys.h"
#include "support/guitest.h"

#include <QApplication>
#include <QAudioDecoder>
#include <QFile>
#include <QLineEdit>
#include <QTest>

const QString kSeq = "Left Right Left Down Up Right Down";

class tst_eggkeys : public QObject {
    Q_OBJECT
    std::unique_ptr<frmMain> w;
    QTimer *timer() { return testsupport::control<QTimer>(w.get(), "tmrEgg"); }
    // "@x" clicks into that box; any other step is one key pressed in the focused control.
    void play(const QString &script) {
        QVERIFY(testsupport::showActive(w.get()));
        for (const QString &step : script.split(' ', Qt::SkipEmptyParts))
            if (step.startsWith('@'))
                QTest::mouseClick(w->findChild<QLineEdit *>(step.mid(1)), Qt::LeftButton);
            else
                QTest::keySequence(QApplication::focusWidget(), QKeySequence::fromString(step));
    }

  private slots:
    void sequences() {
        // 83 73 9 spell the same digits as 37 39 3; Tab leaves x, so the user clicks back in.
        // In the last row the arrows still move the caret and typing is still cleaned.
        for (const auto &[script, expected] : QList<std::pair<QString, QString>>{
                 {"@x " + kSeq, "12500 0000"},
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
        QVERIFY(!timer()->isActive() && !QApplication::activeModalWidget());
        QCOMPARE(QApplication::topLevelWidgets().size(), windows + 1); // and no message box
        QCOMPARE(w->aboutWindow()->windowTitle(), "About");
        QCOMPARE(w->aboutWindow()->minimumSize(), w->aboutWindow()->maximumSize());
        QVERIFY(!(w->aboutWindow()->windowFlags() & Qt::WindowMinMaxButtonsHint));
        play("@x " + kSeq); // the main window still takes keys; a new match keeps the one window
        QVERIFY(timer()->isActive());
        QTRY_VERIFY(!timer()->isActive());
        QCOMPARE(QApplication::topLevelWidgets().size(), windows + 1);
        w->aboutWindow()->close();
        play("@x " + kSeq);
        QTRY_VERIFY(w->aboutWindow() && w->aboutWindow()->isVisible());
    }
    void jingle() {
        QFile file(":/SOUND/101");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.size(), 38086);
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

QTEST_MAIN(tst_eggkeys)
#include "tst_eggkeys.moc"
