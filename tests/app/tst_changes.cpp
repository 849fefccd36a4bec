// Edits a user can trust through the real window: undo and redo, the object list's keys and
// menu with the clipboard as text both ways and what they refuse, the question about unsaved
// changes, Save As, opening by argument or drop, the header checksum and a full disk.

#include "app/commandline.h"
#include "app/frmmain.h"
#include "demo/syntheticimage.h"
#include "document/imagedocument.h"
#include "rom/checksum.h"
#include "support/guitest.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QScopeGuard>
#include <QUndoStack>
#include <QUrl>

using namespace testsupport;
using Button = QMessageBox::StandardButton;

namespace {

const QStringList Filters = {"Binary ROM Images (*.bin)", "Mega Drive images (*.bin *.md *.gen)",
                             "All files (*)"};
// Sonic 1 row 11: its record 3 has X 00C4 between 0063 and 011C; 0270 takes it past the
// records at 4 (011C) and 5 (0266).
constexpr int Level = 11;
constexpr qint64 LayoutAt = 0x6E85E;

// Sends a drag of `mime` over the window and drops it; true when the window took it.
bool drop(QWidget *w, QMimeData *mime) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &enter);
    QDropEvent dropped(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &dropped);
    return enter.isAccepted() && dropped.isAccepted();
}

// A drag's data holding `urls`.
std::unique_ptr<QMimeData> files(const QList<QUrl> &urls) {
    auto mime = std::make_unique<QMimeData>();
    mime->setUrls(urls);
    return mime;
}

} // namespace

class tst_Changes : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    std::unique_ptr<frmMain> w;
    bool open(const QString &path) { return (w = openWindow<frmMain>(path, Level)) != nullptr; }
    bool open(const QByteArray &data) { return open(writeFile(dir, "a.bin", data)); }
    static QWidget *list(QWidget *w) { return control<QWidget>(w, "sprite"); }
    static void key(QWidget *target, const QKeySequence &k) {
        target->setFocus();
        QTest::keySequence(target, k);
    }
    // Presses `k` on the object list while a message box (if any) is answered; its text.
    static QString keyWithBox(QWidget *w, const QKeySequence &k) {
        const QList<SeenBox> box = boxesDuring(w, [w, k] { key(list(w), k); });
        if (!box.isEmpty()) // the closed box leaves no window active offscreen
            showActive(w);
        return box.value(0).text;
    }

  private slots:
    void cleanup() { w.reset(); }
    // Change (with a move) and Clear All Sprites undone and redone by key, each showing what
    // it did, and saved: the file holds exactly the image of that moment.
    void undoRedo() {
        // A checksum wrong at load is saved untouched: the file holds exactly the image in memory.
        const QByteArray original = synthetic::image(rom::Revision::Sonic1Rev0, {true});
        QVERIFY(open(original));
        const QString path = romPath(w.get());
        change(w.get(), 3, "0270");
        const QByteArray changed = w->fileData();

        clickRow(w.get(), "level", 13);
        click(w.get(), "Command4");
        const QByteArray cleared = w->fileData();

        // Ctrl+Z inside a text box undoes the typing only.
        auto *x = control<QLineEdit>(w.get(), "x");
        QTest::mouseClick(x, Qt::LeftButton);
        x->selectAll();
        QTest::keyClicks(x, "12");
        key(x, QKeySequence::Undo);
        QCOMPARE(w->fileData(), cleared);

        key(list(w.get()), QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(w->fileData(), changed);
        key(list(w.get()), QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(w->fileData(), original);
        // Undoing the Change lists its level again and selects the record where it was (the
        // map following it is in tst_maplink; the bytes of each step in tst_edits).
        QCOMPARE(selectedRow(w.get(), "level"), Level);
        QCOMPARE(selectedRow(w.get(), "sprite"), 3);
        QCOMPARE(editors(w.get()), QString(original.mid(LayoutAt + 18, 6).toHex().toUpper()));
        key(list(w.get()), QKeySequence(Qt::CTRL | Qt::Key_Y));
        QCOMPARE(w->fileData(), changed);
        QCOMPARE(selectedRow(w.get(), "sprite"), 5);
        click(w.get(), "Command2");
        QCOMPARE(readFile(path), changed);
        key(list(w.get()), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
        QCOMPARE(w->fileData(), cleared);
        QCOMPARE(selectedRow(w.get(), "level"), 13);
        key(list(w.get()), QKeySequence::Save);
        QCOMPARE(readFile(path), cleared);

        // The object list's menu offers the object commands, both steps, with their texts and
        // keys, Save As and the map.
        const QStringList offered = contextMenu(w.get(), "sprite", 0);
        // The platform's own keys come first; where it has none, the usual ones.
        const auto key = [](QKeySequence::StandardKey k, const char *usual) {
            return QKeySequence::keyBindings(k).value(0, QKeySequence(usual)).toString();
        };
        QCOMPARE(offered,
                 (QStringList{"Insert Object|Ins|1",
                              "Delete Object|" + key(QKeySequence::Delete, "") + "|1",
                              "Copy Objects|Ctrl+C|1", "Paste Objects|Ctrl+V|1", "||1",
                              "Undo Clear All Sprites|" + key(QKeySequence::Undo, "") + "|1",
                              "Redo|" + key(QKeySequence::Redo, "") + "|0", "||1",
                              "Save As...|" + key(QKeySequence::SaveAs, "Ctrl+Shift+S") + "|1",
                              "||1", "Show Map|Ctrl+M|1"}));
    }

    // Each key of the object list and its menu item, what it writes and selects; what it refuses.
    void listKeys() {
        const QByteArray original = synthetic::image(1);
        QVERIFY(open(original));
        const int n = rows(w.get());
        // What is refused says why and changes nothing; a text box keeps its own keys.
        clickRow(w.get(), "sprite", 1);
        QApplication::clipboard()->setText("0300 0200 25 00\n0300 020 25 00");
        QVERIFY(keyWithBox(w.get(), QKeySequence::Paste).contains("line 2 (\"0300 020 25 00\")"));
        control<QLineEdit>(w.get(), "x")->setText("8000");
        QVERIFY(keyWithBox(w.get(), QKeySequence(Qt::Key_Insert)).contains("X 8000 would never"));
        auto *box = control<QLineEdit>(w.get(), "maintype");
        key(box, QKeySequence::SelectAll);
        key(box, QKeySequence::Delete);
        QCOMPARE(box->text(), QString());
        QCOMPARE(w->fileData(), original);
        QCOMPARE(w->document()->undoStack()->count(), 0);

        clickRow(w.get(), "sprite", 0);
        control<QLineEdit>(w.get(), "x")->setText("50");
        control<QLineEdit>(w.get(), "y")->setText("8123");
        control<QLineEdit>(w.get(), "subtype")->setText("01");
        // Insert: before the first greater X (0063), selected, exactly the editors' bytes.
        QCOMPARE(keyWithBox(w.get(), QKeySequence(Qt::Key_Insert)), QString());
        QCOMPARE(selectedRow(w.get(), "sprite"), 2);
        QCOMPARE(recordText(w->fileData(), w->document()->selection()->current()),
                 "0050 8123 01 01");
        // Delete: the line that took its place is selected; the image is the original again.
        QCOMPARE(keyWithBox(w.get(), QKeySequence::Delete), QString());
        QCOMPARE(w->fileData(), original);
        QCOMPARE(selectedRow(w.get(), "sprite"), 2);
        QCOMPARE(w->document()->undoStack()->undoText(), "Delete Object");
        clickRow(w.get(), "sprite", n - 1);
        QCOMPARE(keyWithBox(w.get(), QKeySequence::Delete), QString());
        QCOMPARE(selectedRow(w.get(), "sprite"), n - 2);

        // Copy and paste, the clipboard as text both ways.
        clickRow(w.get(), "sprite", 4);
        key(list(w.get()), QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(),
                 recordText(original, LayoutAt + 24) + QLatin1Char('\n'));
        QApplication::clipboard()->setText("0300 0200 25 00\n\n0010 0100 26 04\n");
        QCOMPARE(keyWithBox(w.get(), QKeySequence::Paste), QString());
        QCOMPARE(rows(w.get()), n + 1);
        QCOMPARE(recordText(w->fileData(), LayoutAt), "0010 0100 26 04");
        QCOMPARE(w->document()->selection()->records().size(), 2);

        // The menu's items do what the keys do.
        contextMenu(w.get(), "sprite", 3, "Insert Object");
        QCOMPARE(rows(w.get()), n + 2);
        contextMenu(w.get(), "sprite", 3, "Delete Object");
        QCOMPARE(rows(w.get()), n + 1);
    }

    // The question before closing, loading and dropping, answered each way.
    void unsavedChanges_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QList<Button>>("answers");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<bool>("saved");
        const std::pair<const char *, Button> each[] = {
            {"save", Button::Save}, {"discard", Button::Discard}, {"cancel", Button::Cancel}};
        for (const char *action : {"close", "load", "drop"})
            for (const auto &[name, answer] : each)
                QTest::addRow("%s, %s", action, name)
                    << action << QList{answer} << (answer != Button::Cancel)
                    << (answer == Button::Save);
        // Saving into a folder that is gone fails: the window says so and stays.
        QTest::addRow("close, failing save")
            << "close gone" << QList{Button::Save, Button::Ok} << false << false;
    }

    void unsavedChanges() {
        QFETCH(QString, action);
        QFETCH(QList<Button>, answers);
        QFETCH(bool, goesOn);
        QFETCH(bool, saved);
        QTemporaryDir home;
        const QByteArray original = synthetic::image(1), other = synthetic::image(2);
        const QString a = writeFile(home, "a.bin", original), b = writeFile(dir, "b.bin", other);
        QVERIFY(open(a));
        click(w.get(), "Command4");
        // The checksum was right at load: saving recomputes it, and changes nothing else.
        const QByteArray edited = w->fileData();
        QByteArray savedBytes = edited;
        QVERIFY(rom::writeChecksum(savedBytes) && savedBytes != edited);
        const QString title = w->windowTitle();
        if (action.endsWith("gone"))
            QVERIFY(home.remove());

        auto boxes = answerMessageBoxes(w.get(), answers);
        if (action.startsWith("close")) {
            QCOMPARE(w->close(), goesOn);
        } else if (action == "load") {
            if (goesOn)
                answerFileDialog(b);
            click(w.get(), "Command1");
        } else {
            QVERIFY(drop(w.get(), files({QUrl::fromLocalFile(b)}).get()));
        }
        QTRY_COMPARE(boxes->size(), answers.size());
        const SeenBox &q = boxes->first();
        QCOMPARE(q.text, "Save changes to " + a + "?");
        QCOMPARE(q.buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        QCOMPARE(q.defaultButton, QMessageBox::Save);
        if (answers.size() > 1)
            QVERIFY(boxes->last().title == "Error" && boxes->last().text.contains(a));

        QCOMPARE(readFile(a), saved                     ? savedBytes
                              : action.endsWith("gone") ? QByteArray()
                                                        : original);
        if (action.startsWith("close")) {
            QCOMPARE(w->isVisible(), !goesOn);
        } else {
            QTRY_COMPARE(romPath(w.get()), goesOn ? b : a);
            QCOMPARE(w->fileData(), goesOn ? other : edited);
            QCOMPARE(w->document()->isModified(), !goesOn);
            if (!goesOn)
                QCOMPARE(w->windowTitle(), title);
        }
    }

    // Nothing is asked without changes, and a drop of anything but one file is refused.
    void dropsRefused() {
        QVERIFY(open(synthetic::image(1)));
        const QString a = romPath(w.get());
        const QString b = writeFile(dir, "b.bin", synthetic::image(2));
        const QUrl url = QUrl::fromLocalFile(b);
        std::unique_ptr<QMimeData> refused[] = {files({url, url}), std::make_unique<QMimeData>(),
                                                files({QUrl("https://example.org/b.bin")})};
        refused[1]->setText(b);
        for (const auto &mime : refused)
            QVERIFY(!drop(w.get(), mime.get()));
        QTest::qWait(50);
        QCOMPARE(romPath(w.get()), a);
        const SeenBoxes boxes = answerMessageBoxes(w.get(), {Button::Ok});
        QVERIFY(drop(w.get(), files({url}).get()));
        QTRY_COMPARE(romPath(w.get()), b);
        QVERIFY(boxes->isEmpty());
    }

    // Save As writes the image to a new file, which the window then holds; the old one stays.
    void saveAs() {
        const QByteArray original = synthetic::image(1);
        QVERIFY(open(original));
        const QString a = romPath(w.get()), c = dir.filePath("copy.bin");
        change(w.get(), 3, "00D0");
        QStringList seen;
        whenModal<QFileDialog>(nullptr, [&seen, c](QFileDialog *d) {
            seen << d->nameFilters() << d->selectedFiles().value(0)
                 << QString::number(d->acceptMode() == QFileDialog::AcceptSave);
            answerFileDialog(c);
        });
        key(list(w.get()), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
        QCOMPARE(seen, (Filters + QStringList{a, "1"}));
        QCOMPARE(readFile(c), w->fileData());
        QCOMPARE(readFile(a), original);
        QCOMPARE(romPath(w.get()), c);
        QVERIFY(!w->document()->isModified());
        // The open dialog offers the same filters.
        QCOMPARE(control<QFileDialog>(w.get(), "cd")->nameFilters(), Filters);
    }

    // `quillet PATH` opens PATH as the Load dialog would, statuses and failures included.
    void openByArgument() {
        const QString a = writeFile(dir, "arg.bin", synthetic::image(2));
        QCOMPARE(
            parseArguments({"quillet", QDir(QDir::currentPath()).relativeFilePath(a)}).imagePath,
            a);
        QVERIFY(parseArguments({"quillet"}).imagePath.isEmpty());
        QVERIFY(!parseArguments({"quillet", a}).command);

        // Help and version end at once with 0; a mistake ends with 2, one line and the usage.
        const struct {
            QStringList arguments;
            int code;
            QString says;
        } stops[] = {{{"--help"},
                      0,
                      "\n   or: quillet --export-map IMAGE ROW OUT.png [--markers-only]\n"
                      "   or: quillet --list-objects IMAGE ROW\n"},
                     {{"-v"}, 0, "quillet " QUILLET_VERSION "\n"},
                     {{"--frob", a}, 2, "quillet: Unknown option 'frob'.\nUsage:"},
                     {{"--export-map", a, "3"},
                      2,
                      "quillet: --export-map takes 3 arguments: IMAGE ROW OUT.png\nUsage:"},
                     {{a, a}, 2, "quillet: Only one image can be opened.\nUsage:"}};
        for (const auto &s : stops) {
            const StartOptions o = parseArguments(QStringList{"quillet"} + s.arguments);
            QVERIFY(o.exitNow && !o.command);
            QCOMPARE(o.exitCode, s.code);
            QVERIFY2(s.code == 0 ? o.message.contains(s.says) : o.message.startsWith(s.says),
                     qPrintable(o.message));
        }
        // A command carries its arguments to its work, which reports on the error stream.
        const StartOptions exporting =
            parseArguments({"quillet", "--export-map", dir.filePath("none.bin"), "0", "x.png"});
        QVERIFY(!exporting.exitNow && exporting.command);
        QString printed, errors;
        QTextStream out(&printed), err(&errors);
        QCOMPARE(exporting.command(out, err), 1);
        QVERIFY2(printed.isEmpty() && errors.contains("cannot read " + dir.filePath("none.bin")),
                 qPrintable(errors));

        frmMain byDialog, byArgument;
        QVERIFY(showActive(&byDialog) && showActive(&byArgument));
        TitleRecorder dialogTitles(&byDialog), argumentTitles(&byArgument);
        QVERIFY(loadThroughDialog(&byDialog, a).isEmpty());
        byArgument.openPath(parseArguments({"quillet", a}).imagePath);
        QCOMPARE(argumentTitles.titles, dialogTitles.titles);
        QCOMPARE(romPath(&byArgument), a);
        QCOMPARE(byArgument.fileData(), byDialog.fileData());

        // A missing file is an open failure (the dialog itself would not accept it).
        const QString missing = dir.filePath("missing.bin");
        argumentTitles.titles.clear();
        const QList<SeenBox> box = boxesDuring(&byArgument, [&] { byArgument.openPath(missing); });
        const QString prefix = "Quillet 1.0b - [";
        QCOMPARE(argumentTitles.titles,
                 (QStringList{prefix + "Loading ROM]", prefix + "Opening ROM]",
                              prefix + "Couldnt Open ROM]"}));
        // The box comes before the status, with the path shown.
        QCOMPARE(QStringList({box.value(0).text, box.value(0).windowTitleWhileOpen,
                              box.value(0).pathWhileOpen, romPath(&byArgument)}),
                 QStringList({"That path could not be opened (" + missing + ")",
                              prefix + "Opening ROM]", missing, "<None>"}));
        QVERIFY(!QFileInfo::exists(missing));
    }

    // On a full disk the save names the system's reason and the file stays as it was.
    void fullDisk() {
        QTemporaryDir small;
        // Room for the image once, not for the copy a safe save writes first.
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=600k", "tmpfs", small.path()}) !=
            0)
            QSKIP("cannot mount a small tmpfs here (needs root); the full-disk save is untested");
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {small.path()}); });
        const QByteArray original = synthetic::image(1);
        const QString path = writeFile(small, "full.bin", original);
        QVERIFY(open(path));
        change(w.get(), 3, "00D0");
        const QString said =
            boxesDuring(w.get(), [this] { click(w.get(), "Command2"); }).value(0).text;
        QVERIFY2(said.contains("No space left on device"), qPrintable(said));
        QCOMPARE(readFile(path), original);
        QCOMPARE(QDir(small.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"full.bin"});
        QVERIFY(w->document()->isModified());
    }
};

QTEST_MAIN(tst_Changes)
#include "tst_changes.moc"
