// The editing road through the real window: taking an object line into the editors, typing,
// moving the sliders, picking a type, "Change", "Clear All Sprites" and "Save Chgs".

#include "app/frmmain.h"
#include "demo/syntheticimage.h"
#include "levels/leveltables.h"
#include "support/guitest.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using synthetic::Record;
using testsupport::control;

namespace {

const QString kHeader = QStringLiteral("address: xxxx yyyy tt ss  Desc");

LevelAddressTable offsets(int game) {
    LevelAddressTable table{};
    loadAddresses(table, game);
    return table;
}

// A Sonic 1 image whose first level holds records chosen for the slider rounding: low bytes
// 3C, B0, 40 (a half, to even: 0), C0 (one and a half, to even: 2), a Y word with its top bit
// set, and a largest X whose rounded position lies above the range the listing gives.
const QVector<Record> kRoundingLayout = {{0x0A, 0x3C, 0x02, 0xB0, 0x22, 0x00},
                                         {0x01, 0x40, 0x81, 0x23, 0x0A, 0x00},
                                         {0x01, 0xC0, 0x00, 0xC0, 0xA6, 0x05},
                                         {0x0B, 0xC0, 0x00, 0x00, 0x25, 0x12}};

QByteArray roundingImage() {
    QByteArray data = synthetic::blankImage(1);
    synthetic::putLayout(data, offsets(1)[0], kRoundingLayout);
    return data;
}

QString lineAt(const QListView *sprite, int row) {
    return sprite->model()->data(sprite->model()->index(row, 0)).toString();
}

QString linePrefix(qint64 at, const Record &r) {
    return QString::asprintf("%lld: %02X%02X %02X%02X %02X %02X  ", static_cast<long long>(at),
                             r[0], r[1], r[2], r[3], r[4], r[5]);
}

// The window with the controls these tests drive, worked with mouse and keyboard.
struct Editor {
    std::unique_ptr<frmMain> window = std::make_unique<frmMain>();
    QListWidget *level = control<QListWidget>(window.get(), "level");
    QListView *sprite = control<QListView>(window.get(), "sprite");
    QLabel *header = control<QLabel>(window.get(), "Label1");
    QLineEdit *x = control<QLineEdit>(window.get(), "x");
    QLineEdit *y = control<QLineEdit>(window.get(), "y");
    QLineEdit *maintype = control<QLineEdit>(window.get(), "maintype");
    QLineEdit *subtype = control<QLineEdit>(window.get(), "subtype");
    QComboBox *typeCap = control<QComboBox>(window.get(), "TypeCap");
    QTimer *tmrchg = control<QTimer>(window.get(), "tmrchg");
    QScrollBar *xplane = control<QScrollBar>(window.get(), "xplane");
    QScrollBar *yplane = control<QScrollBar>(window.get(), "yplane");
    QPushButton *change = control<QPushButton>(window.get(), "Command3");
    QPushButton *clearAll = control<QPushButton>(window.get(), "Command4");
    QPushButton *save = control<QPushButton>(window.get(), "Command2");

    // Shows the window, loads `path` and makes the window active again for the keyboard.
    bool open(const QString &path) {
        if (!testsupport::showActive(window.get()))
            return false;
        testsupport::loadThroughDialog(window.get(), path);
        return testsupport::showActive(window.get());
    }

    void clickLevel(int row, Qt::KeyboardModifiers mods = {}) {
        QListWidgetItem *item = level->item(row);
        level->scrollToItem(item);
        QTest::mouseClick(level->viewport(), Qt::LeftButton, mods,
                          level->visualItemRect(item).center());
    }

    void clickLine(int row) {
        const QModelIndex index = sprite->model()->index(row, 0);
        sprite->scrollTo(index);
        QTest::mouseClick(sprite->viewport(), Qt::LeftButton, {},
                          sprite->visualRect(index).center());
    }

    int selectedLine() const {
        const auto rows = sprite->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }

    // Clicks into `box`, selects its whole text and types `text` over it (an empty `text`
    // deletes it).
    static void retype(QLineEdit *box, const QString &text) {
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty())
            QTest::keyClick(box, Qt::Key_Backspace);
        else
            QTest::keyClicks(box, text);
    }
};

} // namespace

class tst_Editing : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString imageFile(const QString &name, const QByteArray &data) {
        return testsupport::writeFile(m_dir, name, data);
    }

  private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void selectionFillsTheEditors_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<QStringList>("texts"); // x, y, maintype, subtype
        QTest::addColumn<int>("xSlider");
        QTest::addColumn<int>("ySlider");
        QTest::addColumn<QString>("caption");
        QTest::newRow("0A3C 02B0: 1280, 257")
            << 0 << QStringList{"0A3C", "02B0", "22", "00"} << 1280 << 257 << QString();
        QTest::newRow("low 40 rounds down, Y 8123 whole")
            << 1 << QStringList{"0140", "8123", "0A", "00"} << 128 << 16512
            << QStringLiteral("? (Floats up)");
        QTest::newRow("low C0 rounds up to 2") << 2 << QStringList{"01C0", "00C0", "A6", "05"}
                                               << 130 << 2 << QStringLiteral("Invincible");
        QTest::newRow("above the range: held at the maximum")
            << 3 << QStringList{"0BC0", "0000", "25", "12"} << 0x0B * 128 + 1 << 0
            << QStringLiteral("Ring(s)");
    }

    // A click on a line takes it into the four editors and places the sliders; setting them
    // never rewrites the boxes, even where a slider had to stop at its maximum.
    void selectionFillsTheEditors() {
        QFETCH(int, line);
        QFETCH(QStringList, texts);
        QFETCH(int, xSlider);
        QFETCH(int, ySlider);
        QFETCH(QString, caption);
        Editor e;
        QVERIFY(e.open(imageFile(QStringLiteral("round.bin"), roundingImage())));
        e.clickLevel(0);
        QCOMPARE(e.sprite->model()->rowCount(), kRoundingLayout.size());
        e.typeCap->setEditText(QStringLiteral("stale"));

        e.clickLine(line);
        QCOMPARE(e.selectedLine(), line);
        QCOMPARE(QStringList({e.x->text(), e.y->text(), e.maintype->text(), e.subtype->text()}),
                 texts);
        QCOMPARE(e.xplane->value(), xSlider);
        QCOMPARE(e.yplane->value(), ySlider);
        QCOMPARE(e.typeCap->currentText(), caption);
        QCOMPARE(e.x->cursorPosition(), 4);
        QCOMPARE(e.y->cursorPosition(), 4);
    }

    // Arrow keys in the object list select lines just as clicks do; the focus alone selects
    // nothing.
    void arrowKeysSelectLines() {
        Editor e;
        QVERIFY(e.open(imageFile(QStringLiteral("arrows.bin"), roundingImage())));
        e.clickLevel(0);
        QTest::keyClick(e.level, Qt::Key_Tab);
        QVERIFY(e.sprite->hasFocus());
        QCOMPARE(e.selectedLine(), -1);
        QCOMPARE(e.x->text(), QStringLiteral("0000"));

        QTest::keyClick(e.sprite, Qt::Key_Down);
        QCOMPARE(e.selectedLine(), 1);
        QCOMPARE(e.x->text(), QStringLiteral("0140"));
        QCOMPARE(e.y->text(), QStringLiteral("8123"));
        QCOMPARE(e.yplane->value(), 16512);
        QTest::keyClick(e.sprite, Qt::Key_Up);
        QCOMPARE(e.selectedLine(), 0);
        QCOMPARE(e.x->text(), QStringLiteral("0A3C"));
        QCOMPARE(e.maintype->text(), QStringLiteral("22"));
        QCOMPARE(e.xplane->value(), 1280);
    }

    void typingCleansPositions_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QStringList>("shown"); // x after each key
        QTest::newRow("1a2g") << QStringLiteral("1a2g") << QStringList{"1", "1A", "1A2", "1A2"};
        QTest::newRow("no hex digit") << QStringLiteral("zq!") << QStringList{"", "", ""};
        QTest::newRow("lower case")
            << QStringLiteral("ff0c") << QStringList{"F", "FF", "FF0", "FF0C"};
        QTest::newRow("at most four")
            << QStringLiteral("12345") << QStringList{"1", "12", "123", "1234", "1234"};
    }

    // Typing into x keeps both boxes clean hex with the carets at their ends, and never moves
    // a slider.
    void typingCleansPositions() {
        QFETCH(QString, keys);
        QFETCH(QStringList, shown);
        Editor e;
        QVERIFY(e.open(imageFile(QStringLiteral("typing.bin"), roundingImage())));
        e.clickLevel(0);
        e.clickLine(0);
        Editor::retype(e.x, QString());
        QCOMPARE(e.x->text(), QString());
        QTest::mouseClick(e.y, Qt::LeftButton);
        QTest::keyClick(e.y, Qt::Key_Home);
        QCOMPARE(e.y->cursorPosition(), 0);

        QTest::mouseClick(e.x, Qt::LeftButton);
        for (int i = 0; i < keys.size(); ++i) {
            QTest::keyClick(e.x, keys.at(i).toLatin1());
            QCOMPARE(e.x->text(), shown.at(i));
            QCOMPARE(e.x->cursorPosition(), int(e.x->text().size()));
            QCOMPARE(e.y->text(), QStringLiteral("02B0"));
            QCOMPARE(e.y->cursorPosition(), 4);
            QCOMPARE(e.xplane->value(), 1280);
            QCOMPARE(e.yplane->value(), 257);
        }

        // Typing in the middle carries on at the end once the text is cleaned.
        QTest::keyClick(e.y, Qt::Key_Home);
        QTest::keyClick(e.y, Qt::Key_Delete);
        QCOMPARE(e.y->text(), QStringLiteral("2B0"));
        QCOMPARE(e.y->cursorPosition(), 3);
        QCOMPARE(e.yplane->value(), 257);
    }

    void sliderMoveWritesTheBox_data() {
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        // Slider values v = 128 * h + r map back to h and a low byte of 00, 80 or FF.
        QTest::newRow("x one step on")
            << true << int(QAbstractSlider::SliderSingleStepAdd) << 1281 << QStringLiteral("0A80");
        QTest::newRow("x to the start")
            << true << int(QAbstractSlider::SliderToMinimum) << 0 << QStringLiteral("0000");
        QTest::newRow("x to the end")
            << true << int(QAbstractSlider::SliderToMaximum) << 1409 << QStringLiteral("0B80");
        QTest::newRow("y one step back")
            << false << int(QAbstractSlider::SliderSingleStepSub) << 256 << QStringLiteral("0200");
        QTest::newRow("y one page on")
            << false << int(QAbstractSlider::SliderPageStepAdd) << 267 << QStringLiteral("02FF");
    }

    // A user's move of a slider puts four hex digits into its box, and only into its box.
    void sliderMoveWritesTheBox() {
        QFETCH(bool, horizontal);
        QFETCH(int, action);
        QFETCH(int, value);
        QFETCH(QString, text);
        Editor e;
        QVERIFY(e.open(imageFile(QStringLiteral("slider.bin"), roundingImage())));
        e.clickLevel(0);
        e.clickLine(0);
        QScrollBar *slider = horizontal ? e.xplane : e.yplane;
        QLineEdit *box = horizontal ? e.x : e.y;
        QLineEdit *other = horizontal ? e.y : e.x;
        const QString otherText = other->text();

        slider->triggerAction(QAbstractSlider::SliderAction(action));
        QCOMPARE(slider->value(), value);
        QCOMPARE(box->text(), text);
        QCOMPARE(box->cursorPosition(), 4);
        QCOMPARE(other->text(), otherText);
        QCOMPARE(e.window->fileData(), roundingImage()); // the image waits for "Change"
    }

    // Slider values and maxima set by the program leave the boxes alone: a new level choice
    // drops the maxima to 1, which pulls the values down, and the typed text stays.
    void programmedSlidersKeepTheBoxes() {
        QByteArray data = roundingImage();
        synthetic::putLayout(data, offsets(1)[1], {{0x00, 0x10, 0x00, 0x10, 0x01, 0x00}});
        Editor e;
        QVERIFY(e.open(imageFile(QStringLiteral("programmed.bin"), data)));
        e.clickLevel(0);
        e.clickLine(0);
        Editor::retype(e.x, QStringLiteral("77"));
        QSignalSpy moves(e.xplane, &QAbstractSlider::valueChanged);
        e.clickLevel(1);
        QCOMPARE(e.xplane->maximum(), 1);
        QCOMPARE(e.xplane->value(), 1);
        QVERIFY(!moves.isEmpty());
        QCOMPARE(e.x->text(), QStringLiteral("77"));
        QCOMPARE(e.y->text(), QStringLiteral("02B0"));
    }

    void typeEditors_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("sub");
        QTest::addColumn<QString>("liveCaption"); // right after typing the type
        QTest::addColumn<QString>("typeShown");   // after leaving both boxes
        QTest::addColumn<QString>("subShown");
        QTest::addColumn<QString>("caption");
        QTest::newRow("lower case stays") << "a"
                                          << "00"
                                          << "? (Floats up)"
                                          << "0a"
                                          << "00"
                                          << "? (Floats up)";
        QTest::newRow("single characters") << "1"
                                           << ""
                                           << "Sonic Start"
                                           << "01"
                                           << "00"
                                           << "Sonic Start";
        QTest::newRow("caption follows the subtype") << "a6"
                                                     << "5"
                                                     << "Static"
                                                     << "a6"
                                                     << "05"
                                                     << "Invincible";
        QTest::newRow("third character refused") << "A65"
                                                 << "05"
                                                 << "Static"
                                                 << "A6"
                                                 << "05"
                                                 << "Invincible";
        QTest::newRow("not hex counts as 0") << "g1"
                                             << "0"
                                             << "Sonic Start"
                                             << "g1"
                                             << "00"
                                             << "Sonic Start";
        QTest::newRow("no caption") << "FE"
                                    << "00"
                                    << ""
                                    << "FE"
                                    << "00"
                                    << "";
    }

    // The caption follows every change of either box; leaving a box pads both to two
    // characters without touching their case.
    void typeEditors() {
        QFETCH(QString, type);
        QFETCH(QString, sub);
        QFETCH(QString, liveCaption);
        QFETCH(QString, typeShown);
        QFETCH(QString, subShown);
        QFETCH(QString, caption);
        Editor e;
        QVERIFY(e.open(imageFile(QStringLiteral("types.bin"), roundingImage())));
        e.clickLevel(0);
        e.clickLine(0); // 22 00

        Editor::retype(e.maintype, type);
        QCOMPARE(e.typeCap->currentText(), liveCaption);
        QTest::keyClick(e.maintype, Qt::Key_Tab);
        QVERIFY(e.subtype->hasFocus());
        QCOMPARE(e.maintype->text(), typeShown);

        QTest::keyClick(e.subtype, Qt::Key_A, Qt::ControlModifier);
        if (sub.isEmpty())
            QTest::keyClick(e.subtype, Qt::Key_Backspace);
        else
            QTest::keyClicks(e.subtype, sub);
        QTest::keyClick(e.subtype, Qt::Key_Tab);
        QVERIFY(!e.subtype->hasFocus());
        QCOMPARE(e.maintype->text(), typeShown);
        QCOMPARE(e.subtype->text(), subShown);
        QCOMPARE(e.typeCap->currentText(), caption);
        QCOMPARE(e.window->fileData(), roundingImage());
    }

    void pickListItem_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("byMouse");
        QTest::addColumn<QString>("sub");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Invincible, mouse") << "A6 05 Invincible" << true << "05"
                                           << "Invincible";
        QTest::newRow("Invincible, keyboard") << "A6 05 Invincible" << false << "05"
                                              << "Invincible";
        QTest::newRow("range item") << "25 ?? Ring(s)" << false << "??"
                                    << "Ring(s)";
        QTest::newRow("range item, first of two") << "1F ?? Swinging balls - $sub" << true << "??"
                                                  << "Swinging plat - 0";
    }

    // Taking an item from the pick list fills both boxes, and 100 ms later the caption of
    // what they hold; the list, its selection and the image stay as they were.
    void pickListItem() {
        QFETCH(QString, item);
        QFETCH(bool, byMouse);
        QFETCH(QString, sub);
        QFETCH(QString, caption);
        Editor e;
        QVERIFY(e.open(imageFile(QStringLiteral("pick.bin"), roundingImage())));
        e.clickLevel(0);
        e.clickLine(1);
        const int index = e.typeCap->findText(item, Qt::MatchExactly);
        QVERIFY(index >= 0);
        QSignalSpy fired(e.tmrchg, &QTimer::timeout);

        QAbstractItemView *popup = e.typeCap->view();
        if (byMouse) {
            QStyleOptionComboBox option;
            option.initFrom(e.typeCap);
            option.editable = true;
            option.subControls = QStyle::SC_All;
            const QRect arrow = e.typeCap->style()->subControlRect(
                QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, e.typeCap);
            QTest::mouseClick(e.typeCap, Qt::LeftButton, {}, arrow.center());
            QTRY_VERIFY(popup->isVisible());
            // The popup ignores a release that comes straight after it opened.
            QTest::qWait(QApplication::doubleClickInterval() + 50);
            const QModelIndex target = popup->model()->index(index, 0);
            popup->scrollTo(target);
            const QPoint at = popup->visualRect(target).center();
            QTest::mouseMove(popup->viewport(), at);
            QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, at);
        } else {
            QTest::mouseClick(e.typeCap->lineEdit(), Qt::LeftButton);
            QTest::keyClick(e.typeCap->lineEdit(), Qt::Key_F4);
            QTRY_VERIFY(popup->isVisible());
            QTest::keyClick(popup, Qt::Key_Home);
            for (int i = 0; i < index; ++i)
                QTest::keyClick(popup, Qt::Key_Down);
            QCOMPARE(popup->currentIndex().row(), index);
            QTest::keyClick(popup, Qt::Key_Return);
        }
        QTRY_VERIFY(!popup->isVisible());
        QCOMPARE(e.maintype->text(), item.left(2));
        QCOMPARE(e.subtype->text(), sub);
        QTRY_COMPARE(e.typeCap->currentText(), caption);
        QTest::qWait(250);
        QCOMPARE(fired.size(), 1); // one refresh per choice
        QVERIFY(!e.tmrchg->isActive());
        QCOMPARE(e.typeCap->currentText(), caption);
        QCOMPARE(e.selectedLine(), 1);
        QCOMPARE(lineAt(e.sprite, 1), linePrefix(offsets(1)[0] + 6, kRoundingLayout[1]) +
                                          QStringLiteral("? (Floats up)"));
        QCOMPARE(e.window->fileData(), roundingImage());
    }

    void changeWritesTheRecord_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("line");
        QTest::addColumn<QStringList>("typed"); // x, y, maintype, subtype
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("refilled");
        QTest::newRow("short and lower case")
            << 2 << 200 << QStringList{"3C", "8123", "1a", "G1"}
            << QByteArray::fromHex("003C81231A01") << QStringList{"003C", "8123", "1A", "01"};
        QTest::newRow("three and one digits")
            << 11 << 0 << QStringList{"a3c", "7", "5", ""} << QByteArray::fromHex("0A3C00070500")
            << QStringList{"0A3C", "0007", "05", "00"};
        QTest::newRow("empty x, Y FFFF does not end")
            << 13 << 9 << QStringList{"", "ffff", "", "ff"} << QByteArray::fromHex("0000FFFF00FF")
            << QStringList{"0000", "FFFF", "00", "FF"};
    }

    // "Change" writes exactly the six bytes of the selected record, relists the level and
    // selects the same line again, which refills the editors from the image.
    void changeWritesTheRecord() {
        QFETCH(int, level);
        QFETCH(int, line);
        QFETCH(QStringList, typed);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, refilled);
        const QByteArray original = synthetic::image(1);
        Editor e;
        QVERIFY(e.open(imageFile(QStringLiteral("change.bin"), original)));
        e.clickLevel(level);
        const int count = e.sprite->model()->rowCount();
        e.clickLine(line);
        Editor::retype(e.x, typed[0]);
        Editor::retype(e.y, typed[1]);
        Editor::retype(e.maintype, typed[2]);
        Editor::retype(e.subtype, typed[3]);
        const auto box = testsupport::answerMessageBox(e.window.get());
        QTest::mouseClick(e.change, Qt::LeftButton);
        box->armed = false;
        QVERIFY(!box->seen);

        const qint64 at = offsets(1)[level] + 6 * line;
        QByteArray expected = original;
        expected.replace(at, 6, bytes);
        QCOMPARE(e.window->fileData(), expected);
        QCOMPARE(e.sprite->model()->rowCount(), count);
        QCOMPARE(e.selectedLine(), line);
        QVERIFY(
            lineAt(e.sprite, line).startsWith(linePrefix(at, synthetic::recordAt(expected, at))));
        QCOMPARE(QStringList({e.x->text(), e.y->text(), e.maintype->text(), e.subtype->text()}),
                 refilled);
        QCOMPARE(e.header->text(), kHeader);

        // The line is selected again where the user left it: in view, and the arrow keys go
        // on from it.
        const QModelIndex selected = e.sprite->model()->index(line, 0);
        QVERIFY(e.sprite->viewport()->rect().intersects(e.sprite->visualRect(selected)));
        for (int i = 0; i < 8 && !e.sprite->hasFocus(); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        QVERIFY(e.sprite->hasFocus());
        QCOMPARE(e.selectedLine(), line);
        QTest::keyClick(e.sprite, Qt::Key_Down);
        QCOMPARE(e.selectedLine(), line + 1);
        const Record next = synthetic::recordAt(expected, at + 6);
        QCOMPARE(e.x->text(), QString::asprintf("%02X%02X", next[0], next[1]));
        QCOMPARE(e.window->fileData(), expected);
    }

    // An X of FFFF ends the layout at the edited record: the list gets shorter, nothing is
    // selected and nothing is reported. "Change" then has no line and writes nothing.
    void changeToEndRecordShortensTheList() {
        const QByteArray original = synthetic::image(2);
        Editor e;
        QVERIFY(e.open(imageFile(QStringLiteral("ffff.bin"), original)));
        e.clickLevel(3);
        QVERIFY(e.sprite->model()->rowCount() > 5);
        e.clickLine(5);
        Editor::retype(e.x, QStringLiteral("ffff"));
        const auto box = testsupport::answerMessageBox(e.window.get());
        QTest::mouseClick(e.change, Qt::LeftButton);
        QCOMPARE(e.sprite->model()->rowCount(), 5);
        QCOMPARE(e.selectedLine(), -1);
        QCOMPARE(e.x->text(), QStringLiteral("FFFF"));
        const qint64 at = offsets(2)[3] + 5 * 6;
        QByteArray expected = original;
        expected[at] = char(0xFF);
        expected[at + 1] = char(0xFF);
        QCOMPARE(e.window->fileData(), expected);

        Editor::retype(e.x, QStringLiteral("0123"));
        QTest::mouseClick(e.change, Qt::LeftButton);
        box->armed = false;
        QVERIFY(!box->seen);
        QCOMPARE(e.window->fileData(), expected);
        QCOMPARE(e.sprite->model()->rowCount(), 5);
    }

    // Without a level row there is no target: neither button writes, lists or fails, and the
    // header never stays at "Loading ...".
    void noLevelRowNoTarget() {
        const QByteArray original = synthetic::image(1);
        Editor e;
        QVERIFY(e.open(imageFile(QStringLiteral("none.bin"), original)));
        const auto box = testsupport::answerMessageBox(e.window.get());
        QTest::mouseClick(e.change, Qt::LeftButton);
        QTest::mouseClick(e.clearAll, Qt::LeftButton);
        QCOMPARE(e.window->fileData(), original);
        QCOMPARE(e.header->text(), kHeader);
        QCOMPARE(e.sprite->model()->rowCount(), 0);

        // A Ctrl+click takes the selection off the chosen row, leaving its lines listed.
        e.clickLevel(6);
        e.clickLine(2);
        const int count = e.sprite->model()->rowCount();
        e.clickLevel(6, Qt::ControlModifier);
        QVERIFY(e.level->selectionModel()->selectedRows().isEmpty());
        QCOMPARE(e.sprite->model()->rowCount(), count);
        Editor::retype(e.x, QStringLiteral("0001"));
        QTest::mouseClick(e.change, Qt::LeftButton);
        QTest::mouseClick(e.clearAll, Qt::LeftButton);
        box->armed = false;
        QVERIFY(!box->seen);
        QCOMPARE(e.window->fileData(), original);
        QCOMPARE(e.header->text(), kHeader);
        QCOMPARE(e.sprite->model()->rowCount(), count);
    }

    void clearAllSprites_data() {
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("level");
        QTest::newRow("Sonic 1 row 4") << 1 << 4;
        QTest::newRow("Sonic 1 row 18, two records") << 1 << 18;
        QTest::newRow("Sonic 2 row 20, the last layout") << 2 << 20;
    }

    // Every listed record becomes six zero bytes; the end record, every other byte and the
    // number of lines stay. A second run changes nothing more.
    void clearAllSprites() {
        QFETCH(int, game);
        QFETCH(int, level);
        const QByteArray original = synthetic::image(game);
        Editor e;
        QVERIFY(e.open(imageFile(QStringLiteral("clear.bin"), original)));
        e.clickLevel(level);
        const int count = e.sprite->model()->rowCount();
        QCOMPARE(count, synthetic::levelRecords(game, level).size());
        e.clickLine(count - 1);

        QTest::mouseClick(e.clearAll, Qt::LeftButton);
        const qint64 start = offsets(game)[level];
        QByteArray expected = original;
        expected.replace(start, 6 * count, QByteArray(6 * count, '\0'));
        QCOMPARE(e.window->fileData(), expected);
        QCOMPARE(synthetic::recordAt(expected, start + 6 * count), synthetic::EndRecord);
        QCOMPARE(e.sprite->model()->rowCount(), count);
        for (int i = 0; i < count; ++i)
            QCOMPARE(lineAt(e.sprite, i),
                     QString::number(start + 6 * i) + QStringLiteral(": 0000 0000 00 00  <Empty>"));
        QCOMPARE(e.selectedLine(), -1);
        QCOMPARE(e.header->text(), kHeader);

        QTest::mouseClick(e.clearAll, Qt::LeftButton);
        QCOMPARE(e.window->fileData(), expected);
        QCOMPARE(e.sprite->model()->rowCount(), count);
    }

    // The whole road: edit one record of Star Light 2, clear Spring Yard 1, save, and find
    // exactly those bytes changed in the file.
    void editClearAndSave() {
        const QByteArray original = synthetic::image(1);
        const QString path = imageFile(QStringLiteral("road.bin"), original);
        Editor e;
        QVERIFY(e.open(path));
        QVERIFY(e.window->windowTitle().endsWith(QLatin1String("- [Sonic 1]")));

        e.clickLevel(11);
        e.clickLine(3);
        Editor::retype(e.x, QStringLiteral("1b0"));
        Editor::retype(e.y, QStringLiteral("C2a0"));
        Editor::retype(e.maintype, QStringLiteral("a6"));
        QTest::keyClick(e.maintype, Qt::Key_Tab);
        QTest::keyClicks(e.subtype, QStringLiteral("2"));
        QTest::mouseClick(e.change, Qt::LeftButton);
        QCOMPARE(e.x->text(), QStringLiteral("01B0"));
        QCOMPARE(e.typeCap->currentText(), QStringLiteral("1-Up"));

        e.clickLevel(13);
        const int cleared = e.sprite->model()->rowCount();
        QTest::mouseClick(e.clearAll, Qt::LeftButton);
        const auto box = testsupport::answerMessageBox(e.window.get());
        QTest::mouseClick(e.save, Qt::LeftButton);
        box->armed = false;
        QVERIFY(!box->seen);

        QByteArray expected = original;
        expected.replace(0x6E85E + 3 * 6, 6, QByteArray::fromHex("01B0C2A0A602"));
        expected.replace(0x6F2A8, 6 * cleared, QByteArray(6 * cleared, '\0'));
        const QByteArray saved = testsupport::readFile(path);
        QCOMPARE(saved.size(), original.size());
        QCOMPARE(saved, expected);
    }
};

QTEST_MAIN(tst_Editing)
#include "tst_editing.moc"
