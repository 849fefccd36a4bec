// Choosing a level through the real window: what the object list shows, how the sliders are
// ranged, and what a load does to the lists.

#include "app/frmmain.h"
#include "demo/syntheticimage.h"
#include "levels/leveltables.h"
#include "support/guitest.h"
#include "types/captions.h"

#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using testsupport::control;

namespace {

const QString kHeader = QStringLiteral("address: xxxx yyyy tt ss  Desc");
const QString kLoading = QStringLiteral("Loading ...");

// The line the list must show for `r` stored at `at`, built straight from the bytes.
QString expectedLine(qint64 at, const synthetic::Record &r, const CaptionCatalogue &captions) {
    return QString::asprintf("%lld: %02X%02X %02X%02X %02X %02X  ", static_cast<long long>(at),
                             r[0], r[1], r[2], r[3], r[4], r[5]) +
           captions.caption(r[4], r[5]);
}

// Slider maxima after listing `records`: they start at 1 and follow the coarse scale.
int expectedMax(const QVector<synthetic::Record> &records, int hi) {
    int most = 1;
    for (const synthetic::Record &r : records)
        most = std::max(most, r[hi] * 128 + (r[hi + 1] >= 0x80 ? 1 : 0));
    return most;
}

QStringList shownLines(const QListView *sprite) {
    QStringList lines;
    const QAbstractItemModel *model = sprite->model();
    for (int i = 0; i < model->rowCount(); ++i)
        lines.append(model->data(model->index(i, 0)).toString());
    return lines;
}

QStringList expectedLines(qint64 offset, const QVector<synthetic::Record> &records, int game) {
    CaptionCatalogue captions;
    captions.load(game);
    QStringList lines;
    for (int i = 0; i < records.size(); ++i)
        lines.append(expectedLine(offset + 6 * i, records[i], captions));
    return lines;
}

// The window with the controls these tests drive.
struct Editor {
    std::unique_ptr<frmMain> window = std::make_unique<frmMain>();
    QListWidget *level = control<QListWidget>(window.get(), "level");
    QListView *sprite = control<QListView>(window.get(), "sprite");
    QLabel *header = control<QLabel>(window.get(), "Label1");
    QScrollBar *xplane = control<QScrollBar>(window.get(), "xplane");
    QScrollBar *yplane = control<QScrollBar>(window.get(), "yplane");

    bool show() { return testsupport::showActive(window.get()); }

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

    int selectedLevel() const {
        const auto rows = level->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }
};

// Records every maximum a slider is given, in order.
struct MaximumRecorder {
    explicit MaximumRecorder(QScrollBar *slider) {
        QObject::connect(slider, &QAbstractSlider::rangeChanged, &context,
                         [this](int, int max) { maxima.append(max); });
    }
    QObject context;
    QList<int> maxima;
};

// Records the header text each time the header is painted.
class PaintWatcher : public QObject {
  public:
    explicit PaintWatcher(QLabel *label) : m_label(label) { label->installEventFilter(this); }
    QStringList painted;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == m_label && event->type() == QEvent::Paint)
            painted.append(m_label->text());
        return false;
    }

  private:
    QLabel *m_label;
};

} // namespace

class tst_Levels : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString imageFile(const QString &name, const QByteArray &data) {
        return testsupport::writeFile(m_dir, name, data);
    }

  private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void clickListsTheLayout_data() {
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("row");
        QTest::addColumn<qint64>("offset");
        QTest::newRow("Sonic 1 row 0") << 1 << 0 << qint64(0x6B096);
        QTest::newRow("Sonic 1 row 11") << 1 << 11 << qint64(0x6E85E);
        QTest::newRow("Sonic 1 row 13") << 1 << 13 << qint64(0x6F2A8);
        QTest::newRow("Sonic 1 row 18 (two records)") << 1 << 18 << qint64(0x710C0);
        QTest::newRow("Sonic 1 row 20") << 1 << 20 << qint64(0x71204);
        QTest::newRow("Sonic 2 row 0") << 2 << 0 << qint64(0xE684A);
        QTest::newRow("Sonic 2 row 6") << 2 << 6 << qint64(0xE8302);
        QTest::newRow("Sonic 2 row 17") << 2 << 17 << qint64(0xEB230);
        QTest::newRow("Sonic 2 row 20") << 2 << 20 << qint64(0xEBBDE);
    }

    // A click lists exactly the records of the row's layout, with the header back in place
    // and the slider maxima raised to cover them.
    void clickListsTheLayout() {
        QFETCH(int, game);
        QFETCH(int, row);
        QFETCH(qint64, offset);
        Editor e;
        QVERIFY(e.show());
        testsupport::loadThroughDialog(
            e.window.get(), imageFile(QStringLiteral("levels.bin"), synthetic::image(game)));
        QCOMPARE(e.level->count(), LevelCount);
        QCOMPARE(e.selectedLevel(), -1);
        QCOMPARE(e.sprite->model()->rowCount(), 0);

        PaintWatcher paints(e.header);
        e.clickLevel(row);
        const QVector<synthetic::Record> records = synthetic::levelRecords(game, row);
        QVERIFY(!records.isEmpty());
        QCOMPARE(shownLines(e.sprite), expectedLines(offset, records, game));
        QCOMPARE(e.header->text(), kHeader);
        QVERIFY(paints.painted.contains(kLoading)); // painted before the listing
        QCOMPARE(e.xplane->maximum(), expectedMax(records, 0));
        QCOMPARE(e.yplane->maximum(), expectedMax(records, 2));
        QVERIFY(e.sprite->selectionModel()->selectedIndexes().isEmpty());
    }

    // Focus alone selects nothing and lists nothing; arrow keys then list like clicks.
    void keyboardListsLikeAClick() {
        Editor e;
        QVERIFY(e.show());
        testsupport::loadThroughDialog(e.window.get(),
                                       imageFile(QStringLiteral("keys.bin"), synthetic::image(1)));
        QVERIFY(e.show()); // active again once the dialog has gone
        auto *load = control<QPushButton>(e.window.get(), "Command1");
        load->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(load, Qt::Key_Tab);
        QVERIFY(e.level->hasFocus());
        QCOMPARE(e.selectedLevel(), -1);
        QCOMPARE(e.sprite->model()->rowCount(), 0);
        QCOMPARE(e.header->text(), kHeader);

        LevelAddressTable table{};
        loadAddresses(table, 1);
        const struct {
            Qt::Key key;
            int row;
        } moves[] = {{Qt::Key_Down, 1}, {Qt::Key_Down, 2}, {Qt::Key_Up, 1}, {Qt::Key_End, 20}};
        for (const auto &move : moves) {
            QTest::keyClick(e.level, move.key);
            QCOMPARE(e.selectedLevel(), move.row);
            QCOMPARE(shownLines(e.sprite),
                     expectedLines(table[move.row], synthetic::levelRecords(1, move.row), 1));
            QCOMPARE(e.header->text(), kHeader);
        }
    }

    // Every choice first drops both maxima to 1; an empty layout leaves them there.
    void slidersRestartAtOne() {
        LevelAddressTable table{};
        loadAddresses(table, 1);
        QByteArray data = synthetic::blankImage(1);
        const QVector<synthetic::Record> wide = {{0x12, 0xB4, 0x03, 0x7F, 0x01, 0x00},
                                                 {0x12, 0x34, 0x83, 0x80, 0x25, 0x00}};
        const QVector<synthetic::Record> narrow = {{0x00, 0x80, 0x00, 0x10, 0x25, 0x00}};
        synthetic::putLayout(data, table[0], wide);
        synthetic::putLayout(data, table[1], narrow);
        synthetic::putLayout(data, table[2], {});
        Editor e;
        QVERIFY(e.show());
        testsupport::loadThroughDialog(e.window.get(),
                                       imageFile(QStringLiteral("sliders.bin"), data));

        e.clickLevel(0);
        QCOMPARE(e.xplane->maximum(), 0x12 * 128 + 1); // 12B4 on the coarse scale
        QCOMPARE(e.yplane->maximum(), 0x83 * 128 + 1); // the whole high byte counts

        MaximumRecorder xs(e.xplane), ys(e.yplane);
        e.clickLevel(1);
        QCOMPARE(xs.maxima, QList<int>({1})); // 0080 -> 0 * 128 + 1 = 1: no raise needed
        QCOMPARE(ys.maxima, QList<int>({1}));
        QCOMPARE(e.sprite->model()->rowCount(), 1);

        e.clickLevel(0);
        xs.maxima.clear();
        ys.maxima.clear();
        e.clickLevel(2);
        QCOMPARE(e.sprite->model()->rowCount(), 0);
        QCOMPARE(xs.maxima, QList<int>({1}));
        QCOMPARE(ys.maxima, QList<int>({1}));
        QCOMPARE(e.header->text(), kHeader);
    }

    // Choosing the selected row again lists it afresh: the line selection is dropped and the
    // maxima are recomputed, as for a new choice.
    void sameRowAgainRelists() {
        Editor e;
        QVERIFY(e.show());
        testsupport::loadThroughDialog(e.window.get(),
                                       imageFile(QStringLiteral("again.bin"), synthetic::image(2)));
        e.clickLevel(4);
        const QStringList before = shownLines(e.sprite);
        e.clickLine(3);
        QCOMPARE(e.sprite->selectionModel()->selectedRows().size(), 1);

        MaximumRecorder xs(e.xplane);
        PaintWatcher paints(e.header);
        e.clickLevel(4);
        QCOMPARE(e.selectedLevel(), 4);
        QVERIFY(e.sprite->selectionModel()->selectedRows().isEmpty());
        QCOMPARE(xs.maxima.value(0), 1);
        QCOMPARE(xs.maxima.size(), 2);
        QVERIFY(paints.painted.contains(kLoading));
        QCOMPARE(shownLines(e.sprite), before);
    }

    // An unrecognised image keeps the previous game's rows; its own layout is listed at the
    // previous game's offset, never lines of the image that was replaced.
    void unrecognisedLoadKeepsTheLevels() {
        LevelAddressTable table{};
        loadAddresses(table, 1);
        QByteArray unknown(synthetic::Sonic1Size, '\0');
        const QVector<synthetic::Record> own = {{0x01, 0x02, 0x03, 0x04, 0x0A, 0x00},
                                                {0xFF, 0x00, 0x00, 0xFF, 0xA6, 0x05}};
        synthetic::putLayout(unknown, table[2], own);

        Editor e;
        QVERIFY(e.show());
        testsupport::loadThroughDialog(e.window.get(),
                                       imageFile(QStringLiteral("known.bin"), synthetic::image(1)));
        const QStringList rows = [&] {
            QStringList texts;
            for (int i = 0; i < e.level->count(); ++i)
                texts.append(e.level->item(i)->text());
            return texts;
        }();
        e.clickLevel(2);
        QVERIFY(e.sprite->model()->rowCount() > 0);

        testsupport::loadThroughDialog(e.window.get(),
                                       imageFile(QStringLiteral("unknown.bin"), unknown));
        QVERIFY(e.window->windowTitle().endsWith(QLatin1String("- [Non recognized ROM]")));
        QCOMPARE(e.level->count(), LevelCount);
        for (int i = 0; i < LevelCount; ++i)
            QCOMPARE(e.level->item(i)->text(), rows.at(i));
        QCOMPARE(e.sprite->model()->rowCount(), 0);

        // The row is still the selected one: choosing it again lists the image now held.
        QCOMPARE(e.selectedLevel(), 2);
        e.clickLevel(2);
        QCOMPARE(shownLines(e.sprite), expectedLines(table[2], own, 1));
    }

    void everyLoadEmptiesTheObjectList_data() {
        QTest::addColumn<QByteArray>("next");
        QTest::addColumn<bool>("reported");
        QTest::newRow("recognised, other game") << synthetic::image(2) << false;
        QTest::newRow("recognised, same game") << synthetic::image(1) << false;
        QTest::newRow("unrecognised") << QByteArray(synthetic::Sonic1Size, '\x11') << false;
        QTest::newRow("too short to recognise") << QByteArray(4096, '\x22') << true;
    }

    // After any load that replaces the image, no line of the old one remains, so neither
    // "Change" nor "Clear All Sprites" can write at an old offset.
    void everyLoadEmptiesTheObjectList() {
        QFETCH(QByteArray, next);
        QFETCH(bool, reported);
        Editor e;
        QVERIFY(e.show());
        testsupport::loadThroughDialog(e.window.get(),
                                       imageFile(QStringLiteral("first.bin"), synthetic::image(1)));
        e.clickLevel(7);
        e.clickLine(2);
        QVERIFY(e.sprite->model()->rowCount() > 2);

        const auto box = testsupport::loadThroughDialog(
            e.window.get(), imageFile(QStringLiteral("next.bin"), next));
        QCOMPARE(box->seen, reported);
        QCOMPARE(e.window->fileData(), next);
        QCOMPARE(e.sprite->model()->rowCount(), 0);

        QTest::mouseClick(control<QPushButton>(e.window.get(), "Command3"), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>(e.window.get(), "Command4"), Qt::LeftButton);
        QCOMPARE(e.window->fileData(), next);
        QCOMPARE(e.header->text(), kHeader);
    }
};

QTEST_MAIN(tst_Levels)
#include "tst_levels.moc"
