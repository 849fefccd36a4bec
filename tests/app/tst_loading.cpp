// Loading and saving images through "Load...", the file dialog and "Save Chgs", as a user
// would: every title status, both failure boxes, cancelling, and what happens on disk.

#include "app/frmmain.h"
#include "demo/syntheticimage.h"
#include "levels/leveltables.h"
#include "rom/romimage.h"
#include "support/guitest.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using testsupport::control;

namespace {

const QString Prefix = QStringLiteral("Quillet 1.0b ");
const QString StartTitle = QStringLiteral("Quillet 1.0Beta");
const QString NoPath = QStringLiteral("<None>");

QStringList titled(const QStringList &statuses) {
    QStringList out;
    for (const QString &s : statuses)
        out.append(Prefix + s);
    return out;
}

// Records, at the moment each dialog or box of the window appears, what the window showed.
class DialogWitness : public QObject {
  public:
    struct Seen {
        bool fileDialog = false;
        QString windowTitle;
        QString romPath;
        QStringList nameFilters;
        QString lastFile;
    };

    explicit DialogWitness(QWidget *window) : m_window(window) { qApp->installEventFilter(this); }
    ~DialogWitness() override { qApp->removeEventFilter(this); }

    QVector<Seen> seen;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::Show)
            return false;
        auto *dialog = qobject_cast<QDialog *>(watched);
        if (!dialog || !dialog->isWindow())
            return false;
        auto *files = qobject_cast<QFileDialog *>(dialog);
        if (!files && !qobject_cast<QMessageBox *>(dialog))
            return false;
        Seen s;
        s.fileDialog = files != nullptr;
        s.windowTitle = m_window->windowTitle();
        s.romPath = control<QLabel>(m_window, "RomPath")->text();
        if (files) {
            s.nameFilters = files->nameFilters();
            s.lastFile = files->selectedFiles().value(0);
        }
        seen.append(s);
        return false;
    }

  private:
    QWidget *m_window;
};

void clickRow(QAbstractItemView *view, int row) {
    const QRect r = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
}

int selectedRow(const QAbstractItemView *view) {
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QStringList levelTexts(QWidget *w) {
    auto *level = control<QListWidget>(w, "level");
    QStringList texts;
    for (int i = 0; i < level->count(); ++i)
        texts.append(level->item(i)->text());
    return texts;
}

// Presses "Save Chgs" and returns the box it opened, if any.
std::shared_ptr<testsupport::SeenBox> pressSave(QWidget *w) {
    auto box = testsupport::answerMessageBox(w);
    QTest::mouseClick(control<QPushButton>(w, "Command2"), Qt::LeftButton);
    box->armed = false;
    return box;
}

// File descriptors of this process that point at `path`.
int openHandlesOn(const QString &path) {
    const QString target = QFileInfo(path).absoluteFilePath();
    int count = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : fds.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        if (QFileInfo(fds.filePath(fd)).symLinkTarget() == target)
            ++count;
    }
    return count;
}

QByteArray bothSignatures() {
    QByteArray image = synthetic::image(1);
    image[rom::Sonic2SigA] = char(0xCC);
    image[rom::Sonic2SigB] = char(0x01);
    return image;
}

// A Sonic 1 image whose Sonic 1 pair breaks in one byte, so only the Sonic 2 test can pass.
QByteArray sonic1FailingOneByte() {
    QByteArray image = synthetic::blankImage(1);
    image[rom::Sonic1SigB] = char(0x13);
    image[rom::Sonic2SigA] = char(0xCC);
    image[rom::Sonic2SigB] = char(0x01);
    return image;
}

// Everything a test checks about the user-visible state of a window, to compare before and
// after an action that must change nothing.
struct Snapshot {
    QByteArray data;
    QString romPath;
    QString title;
    QStringList levels;
    int levelRow = -1;
    int spriteRows = 0;
    int spriteRow = -1;
    int captions = 0;
    QString x;

    explicit Snapshot(QWidget *w, const frmMain &main)
        : data(main.fileData()), romPath(control<QLabel>(w, "RomPath")->text()),
          title(w->windowTitle()), levels(levelTexts(w)),
          levelRow(selectedRow(control<QListWidget>(w, "level"))),
          spriteRows(control<QListView>(w, "sprite")->model()->rowCount()),
          spriteRow(selectedRow(control<QListView>(w, "sprite"))),
          captions(control<QComboBox>(w, "TypeCap")->count()),
          x(control<QLineEdit>(w, "x")->text()) {}
};

void compareSnapshots(const Snapshot &after, const Snapshot &before) {
    QVERIFY(after.data == before.data);
    QCOMPARE(after.romPath, before.romPath);
    QCOMPARE(after.title, before.title);
    QCOMPARE(after.levels, before.levels);
    QCOMPARE(after.levelRow, before.levelRow);
    QCOMPARE(after.spriteRows, before.spriteRows);
    QCOMPARE(after.spriteRow, before.spriteRow);
    QCOMPARE(after.captions, before.captions);
    QCOMPARE(after.x, before.x);
}

} // namespace

class tst_Loading : public QObject {
    Q_OBJECT

  private slots:
    void loadOutcome_data();
    void loadOutcome();
    void cancelBeforeAnyLoad();
    void cancelAfterLoad();
    void loadNeverWrites_data();
    void loadNeverWrites();
    void noHandleAfterLoad_data();
    void noHandleAfterLoad();
    void saveRoundTrip_data();
    void saveRoundTrip();
    void saveWithoutImage_data();
    void saveWithoutImage();
    void saveFailureDamagesNothing_data();
    void saveFailureDamagesNothing();
};

void tst_Loading::loadOutcome_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("sparseSize"); // > 0: a sparse file of that size instead of bytes
    QTest::addColumn<QStringList>("statuses");
    QTest::addColumn<int>("game");       // the game whose tables show afterwards
    QTest::addColumn<QString>("box");    // "", "open" or "read"
    QTest::addColumn<bool>("keepsPath"); // RomPath still names the file afterwards
    QTest::addColumn<bool>("newImage");  // FileData holds the file's bytes afterwards

    const QStringList read = {"- [Loading ROM]", "- [Opening ROM]", "- [Reading ROM]",
                              "- [ROM Loaded]"};
    const QByteArray none;
    // Every row starts from a window that holds a Sonic 2 image with a level chosen.
    QTest::newRow("Sonic 1") << synthetic::image(1) << qint64(0)
                             << (read + QStringList{"- [Sonic 1]"}) << 1 << "" << true << true;
    QTest::newRow("Sonic 2") << synthetic::image(2) << qint64(0)
                             << (read + QStringList{"- [Sonic 2 Final]"}) << 2 << "" << true
                             << true;
    QTest::newRow("both signatures are Sonic 1")
        << bothSignatures() << qint64(0) << (read + QStringList{"- [Sonic 1]"}) << 1 << "" << true
        << true;
    QTest::newRow("Sonic 1 pair broken falls to Sonic 2")
        << sonic1FailingOneByte() << qint64(0) << (read + QStringList{"- [Sonic 2 Final]"}) << 2
        << "" << true << true;
    QTest::newRow("not recognised")
        << QByteArray(0x80000, '\0') << qint64(0) << (read + QStringList{"- [Non recognized ROM]"})
        << 2 << "" << false << true;
    QByteArray justShort = synthetic::blankImage(1).left(rom::Sonic1SigB);
    QTest::newRow("one byte too short")
        << justShort << qint64(0) << (read + QStringList{"- [Couldnt Read ROM]"}) << 2 << "read"
        << true << true;
    // Its Sonic 2 bytes lie within reach, but the length is tested before any signature.
    QTest::newRow("Sonic 2 cut short")
        << synthetic::image(2).left(rom::Sonic1SigB) << qint64(0)
        << (read + QStringList{"- [Couldnt Read ROM]"}) << 2 << "read" << true << true;
    QTest::newRow("empty file") << QByteArray() << qint64(0)
                                << (read + QStringList{"- [Couldnt Read ROM]"}) << 2 << "read"
                                << true << true;
    QTest::newRow("over 64 MiB refused on open")
        << none << rom::MaxImageBytes + 1
        << QStringList{"- [Loading ROM]", "- [Opening ROM]", "- [Couldnt Open ROM]"} << 2 << "open"
        << false << false;
}

void tst_Loading::loadOutcome() {
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, sparseSize);
    QFETCH(QStringList, statuses);
    QFETCH(int, game);
    QFETCH(QString, box);
    QFETCH(bool, keepsPath);
    QFETCH(bool, newImage);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray sonic2 = synthetic::image(2);
    const QString before = testsupport::writeFile(dir, QStringLiteral("before.bin"), sonic2);
    QString path = dir.filePath(QStringLiteral("image.bin"));
    if (sparseSize > 0) {
        QFile big(path);
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(sparseSize));
    } else {
        QCOMPARE(testsupport::writeFile(dir, QStringLiteral("image.bin"), bytes), path);
    }

    frmMain w;
    QVERIFY(testsupport::showActive(&w));
    auto *level = control<QListWidget>(&w, "level");
    auto *romPath = control<QLabel>(&w, "RomPath");
    auto *typeCap = control<QComboBox>(&w, "TypeCap");
    QVERIFY(!testsupport::loadThroughDialog(&w, before)->seen);
    QCOMPARE(w.windowTitle(), Prefix + QStringLiteral("- [Sonic 2 Final]"));
    clickRow(level, 4);
    QCOMPARE(selectedRow(level), 4);

    testsupport::TitleRecorder titles(&w);
    DialogWitness witness(&w);
    const auto seen = testsupport::loadThroughDialog(&w, path);

    // Every status in its order, and nothing else.
    QCOMPARE(titles.titles, titled(statuses));
    QCOMPARE(w.windowTitle(), Prefix + statuses.last());

    // The dialog came up under "Loading ROM", offering .bin images.
    QVERIFY(!witness.seen.isEmpty());
    QVERIFY(witness.seen.first().fileDialog);
    QCOMPARE(witness.seen.first().windowTitle, Prefix + QStringLiteral("- [Loading ROM]"));
    QCOMPARE(witness.seen.first().nameFilters,
             QStringList{QStringLiteral("Binary ROM Images (*.bin)")});

    QCOMPARE(seen->seen, !box.isEmpty());
    QCOMPARE(witness.seen.size(), box.isEmpty() ? 1 : 2);
    if (!box.isEmpty()) {
        QCOMPARE(seen->title, QStringLiteral("Error"));
        QCOMPARE(seen->icon, QMessageBox::Warning);
        QCOMPARE(seen->buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        const DialogWitness::Seen &atBox = witness.seen.at(1);
        if (box == QLatin1String("open")) {
            // The box comes first, naming the path; then the path goes, then the status.
            QCOMPARE(seen->text, QStringLiteral("That path could not be opened (%1)").arg(path));
            QCOMPARE(atBox.romPath, path);
            QCOMPARE(atBox.windowTitle, Prefix + QStringLiteral("- [Opening ROM]"));
        } else {
            // The status comes first, then the box with the failure's description.
            QVERIFY2(seen->text.startsWith(QLatin1String("That rom couldnt be loaded (")),
                     qPrintable(seen->text));
            QVERIFY2(seen->text.endsWith(QLatin1Char(')')), qPrintable(seen->text));
            QVERIFY2(seen->text.contains(QLatin1String("out of range"), Qt::CaseInsensitive),
                     qPrintable(seen->text));
            QCOMPARE(atBox.windowTitle, Prefix + QStringLiteral("- [Couldnt Read ROM]"));
            QCOMPARE(atBox.romPath, path);
        }
    }

    QCOMPARE(romPath->text(), keepsPath ? path : NoPath);
    if (newImage)
        QVERIFY(w.fileData() == bytes);
    else
        QVERIFY(w.fileData() == sonic2);

    // A recognised load refills the tables for its game with nothing chosen; any other outcome
    // leaves those of the previous game, choice included.
    const bool recognised = statuses.last().contains(QLatin1String("Sonic"));
    QCOMPARE(levelTexts(&w), levelNames(game));
    QCOMPARE(level->count(), 21);
    QCOMPARE(selectedRow(level), recognised ? -1 : 4);
    QCOMPARE(typeCap->count(), game == 1 ? 53 : 12);
    QCOMPARE(typeCap->itemText(0).left(6), QStringLiteral("00 00 "));
}

void tst_Loading::cancelBeforeAnyLoad() {
    frmMain w;
    QVERIFY(testsupport::showActive(&w));
    testsupport::TitleRecorder titles(&w);
    DialogWitness witness(&w);
    const Snapshot before(&w, w);

    const auto box = testsupport::loadThroughDialog(&w, QString());

    QVERIFY(!box->seen);
    QCOMPARE(witness.seen.size(), 1);
    QVERIFY(witness.seen.first().fileDialog);
    QCOMPARE(titles.titles, (QStringList{Prefix + QStringLiteral("- [Loading ROM]"), StartTitle}));
    compareSnapshots(Snapshot(&w, w), before);
    QCOMPARE(w.windowTitle(), StartTitle);
    QCOMPARE(control<QLabel>(&w, "RomPath")->text(), NoPath);
    QVERIFY(w.fileData().isEmpty());
}

void tst_Loading::cancelAfterLoad() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray original = synthetic::image(1);
    const QString path = testsupport::writeFile(dir, QStringLiteral("s1.bin"), original);

    frmMain w;
    QVERIFY(testsupport::showActive(&w));
    QVERIFY(!testsupport::loadThroughDialog(&w, path)->seen);

    // An unsaved edit: choose a level and an object, change its X and apply.
    auto *sprite = control<QListView>(&w, "sprite");
    auto *x = control<QLineEdit>(&w, "x");
    clickRow(control<QListWidget>(&w, "level"), 0);
    QVERIFY(sprite->model()->rowCount() > 2);
    clickRow(sprite, 2);
    QCOMPARE(selectedRow(sprite), 2);
    QTest::mouseClick(x, Qt::LeftButton);
    QTest::keyClick(x, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(x, QStringLiteral("0ABC"));
    QTest::mouseClick(control<QPushButton>(&w, "Command3"), Qt::LeftButton);
    QVERIFY(w.fileData() != original);

    const Snapshot before(&w, w);
    testsupport::TitleRecorder titles(&w);
    DialogWitness witness(&w);
    const auto box = testsupport::loadThroughDialog(&w, QString());

    QVERIFY(!box->seen);
    QCOMPARE(witness.seen.size(), 1);
    // The dialog still offered the file chosen last.
    QCOMPARE(QFileInfo(witness.seen.first().lastFile).fileName(), QStringLiteral("s1.bin"));
    QCOMPARE(titles.titles, (QStringList{Prefix + QStringLiteral("- [Loading ROM]"),
                                         Prefix + QStringLiteral("- [Sonic 1]")}));
    // Nothing was reloaded: the edit is still held, everything shows as before.
    compareSnapshots(Snapshot(&w, w), before);
    QCOMPARE(control<QLabel>(&w, "RomPath")->text(), path);
    QVERIFY(testsupport::readFile(path) == original);
}

void tst_Loading::loadNeverWrites_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("writable image") << false;
    QTest::newRow("read-only image") << true;
}

void tst_Loading::loadNeverWrites() {
    QFETCH(bool, readOnly);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray original = synthetic::image(1);
    const QString path = testsupport::writeFile(dir, QStringLiteral("s1.bin"), original);
    const QDateTime old = QDateTime::currentDateTimeUtc().addDays(-30);
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(old, QFileDevice::FileModificationTime));
    }
    if (readOnly)
        QVERIFY(
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QFile::Permissions permissions = QFileInfo(path).permissions();
    const QDateTime mtime = QFileInfo(path).lastModified();

    frmMain w;
    QVERIFY(testsupport::showActive(&w));
    QVERIFY(!testsupport::loadThroughDialog(&w, path)->seen);

    QCOMPARE(w.windowTitle(), Prefix + QStringLiteral("- [Sonic 1]"));
    QVERIFY(w.fileData() == original);
    QCOMPARE(openHandlesOn(path), 0);
    const QFileInfo after(path);
    QCOMPARE(after.lastModified(), mtime);
    QCOMPARE(after.permissions(), permissions);
    QVERIFY(testsupport::readFile(path) == original);
}

void tst_Loading::noHandleAfterLoad_data() {
    QTest::addColumn<QString>("meanwhile");
    QTest::newRow("file deleted") << "delete";
    QTest::newRow("file renamed away") << "rename";
    QTest::newRow("file replaced by a shorter one") << "replace";
}

void tst_Loading::noHandleAfterLoad() {
    QFETCH(QString, meanwhile);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray original = synthetic::image(2);
    const QString path = testsupport::writeFile(dir, QStringLiteral("s2.bin"), original);

    frmMain w;
    QVERIFY(testsupport::showActive(&w));
    QVERIFY(!testsupport::loadThroughDialog(&w, path)->seen);
    QCOMPARE(openHandlesOn(path), 0);

    // The file is moved or replaced outside the program; saving writes the held image to the
    // path the window shows.
    const QString moved = dir.filePath(QStringLiteral("moved.bin"));
    if (meanwhile == QLatin1String("delete")) {
        QVERIFY(QFile::remove(path));
    } else if (meanwhile == QLatin1String("rename")) {
        QVERIFY(QFile::rename(path, moved));
    } else {
        QVERIFY(QFile::remove(path));
        QCOMPARE(testsupport::writeFile(dir, QStringLiteral("s2.bin"), QByteArray(100, 'U')), path);
    }

    QVERIFY(!pressSave(&w)->seen);
    QVERIFY(testsupport::readFile(path) == original);
    if (meanwhile == QLatin1String("rename"))
        QVERIFY(testsupport::readFile(moved) == original);
    QCOMPARE(openHandlesOn(path), 0);
}

void tst_Loading::saveRoundTrip_data() {
    QTest::addColumn<int>("game");
    QTest::newRow("Sonic 1") << 1;
    QTest::newRow("Sonic 2") << 2;
}

void tst_Loading::saveRoundTrip() {
    QFETCH(int, game);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray original = synthetic::image(game);
    const QString path = testsupport::writeFile(dir, QStringLiteral("image.bin"), original);

    frmMain w;
    QVERIFY(testsupport::showActive(&w));
    QVERIFY(!testsupport::loadThroughDialog(&w, path)->seen);
    const QString title = w.windowTitle();
    testsupport::TitleRecorder titles(&w);

    for (int round = 0; round < 2; ++round) {
        QVERIFY(!pressSave(&w)->seen);
        const QByteArray onDisk = testsupport::readFile(path);
        QCOMPARE(onDisk.size(), original.size());
        QVERIFY(onDisk == original);
    }
    // Saving reports nothing and leaves the window as it was.
    QVERIFY(titles.titles.isEmpty());
    QCOMPARE(w.windowTitle(), title);
    QVERIFY(w.fileData() == original);
    QCOMPARE(control<QLabel>(&w, "RomPath")->text(), path);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("image.bin")});
}

void tst_Loading::saveWithoutImage_data() {
    QTest::addColumn<QByteArray>("loaded"); // what was loaded first, if anything
    QTest::addColumn<qint64>("sparseSize");

    QTest::newRow("nothing loaded yet") << QByteArray() << qint64(0);
    QTest::newRow("after an unrecognised image") << QByteArray(0x80000, '\x5A') << qint64(0);
    QTest::newRow("after an open failure") << QByteArray() << rom::MaxImageBytes + 1;
}

void tst_Loading::saveWithoutImage() {
    QFETCH(QByteArray, loaded);
    QFETCH(qint64, sparseSize);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("image.bin"));
    frmMain w;
    QVERIFY(testsupport::showActive(&w));
    if (sparseSize > 0) {
        QFile big(path);
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(sparseSize));
    }
    if (!loaded.isEmpty())
        QCOMPARE(testsupport::writeFile(dir, QStringLiteral("image.bin"), loaded), path);
    if (QFile::exists(path))
        testsupport::loadThroughDialog(&w, path);
    QCOMPARE(control<QLabel>(&w, "RomPath")->text(), NoPath);
    const QFileInfo before(path);
    const QDateTime mtime = before.lastModified();
    const qint64 size = before.size();
    const QString title = w.windowTitle();

    const auto box = pressSave(&w);

    QVERIFY(box->seen);
    QCOMPARE(box->title, QStringLiteral("Error"));
    QCOMPARE(box->icon, QMessageBox::Warning);
    QCOMPARE(box->buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(!box->text.isEmpty());
    QCOMPARE(w.windowTitle(), title);
    // Nothing was written anywhere: not the image that failed, not a file named "<None>".
    QVERIFY(!QFile::exists(NoPath));
    QVERIFY(!QFile::exists(dir.filePath(NoPath)));
    const QFileInfo after(path);
    QCOMPARE(after.exists(), before.exists());
    QCOMPARE(after.size(), size);
    QCOMPARE(after.lastModified(), mtime);
    if (!loaded.isEmpty())
        QVERIFY(testsupport::readFile(path) == loaded);
}

void tst_Loading::saveFailureDamagesNothing_data() {
    QTest::addColumn<QString>("meanwhile");
    QTest::newRow("folder removed") << "remove folder";
    QTest::newRow("path taken by a folder") << "folder at path";
}

void tst_Loading::saveFailureDamagesNothing() {
    QFETCH(QString, meanwhile);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("roms")));
    const QString folder = dir.filePath(QStringLiteral("roms"));
    const QByteArray original = synthetic::image(1);
    const QString path = folder + QStringLiteral("/s1.bin");
    QCOMPARE(testsupport::writeFile(dir, QStringLiteral("roms/s1.bin"), original), path);

    frmMain w;
    QVERIFY(testsupport::showActive(&w));
    QVERIFY(!testsupport::loadThroughDialog(&w, path)->seen);
    const QString title = w.windowTitle();

    const QString inner = path + QStringLiteral("/keep.txt");
    if (meanwhile == QLatin1String("remove folder")) {
        QVERIFY(QDir(folder).removeRecursively());
    } else {
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir(folder).mkdir(QStringLiteral("s1.bin")));
        QFile keep(inner);
        QVERIFY(keep.open(QIODevice::WriteOnly));
        QCOMPARE(keep.write("keep"), qint64(4));
    }
    const QStringList folderBefore =
        QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

    const auto box = pressSave(&w);

    QVERIFY(box->seen);
    QCOMPARE(box->title, QStringLiteral("Error"));
    QCOMPARE(box->icon, QMessageBox::Warning);
    QVERIFY2(box->text.contains(path), qPrintable(box->text));
    // Nothing on disk was made, removed or left behind; the window keeps the image.
    if (meanwhile == QLatin1String("remove folder")) {
        QVERIFY(!QFileInfo::exists(folder));
    } else {
        QVERIFY(QFileInfo(path).isDir());
        QVERIFY(testsupport::readFile(inner) == "keep");
    }
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             folderBefore);
    QVERIFY(w.fileData() == original);
    QCOMPARE(w.windowTitle(), title);
    QCOMPARE(control<QLabel>(&w, "RomPath")->text(), path);
}

QTEST_MAIN(tst_Loading)
#include "tst_loading.moc"
