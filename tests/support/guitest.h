#pragma once
// Drives the real window as a user would: answers its modal dialogs and watches its title.

#include "files.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QFileDialog>
#include <QGraphicsView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <memory>

namespace testsupport {

// What a message box showed, and the main window's title and path label while it was up.
struct SeenBox {
    QString title, text, windowTitleWhileOpen, pathWhileOpen;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Polls every 20 ms for a visible modal T and answers it, while `armed` (if given) holds and
// tries are left.
template <typename T>
void whenModal(std::function<bool()> armed, std::function<void(T *)> answer, int tries = 500) {
    QTimer::singleShot(20, qApp, [=] {
        auto *w = qobject_cast<T *>(QApplication::activeModalWidget());
        if ((!armed || armed()) && tries > 0)
            w && w->isVisible() ? answer(w) : whenModal(armed, answer, tries - 1);
    });
}

// Answers the next modal file dialog with `path`, or cancels it when `path` is empty.
inline void answerFileDialog(const QString &path) {
    whenModal<QFileDialog>(nullptr, [path](QFileDialog *dialog) {
        // The file picked last time stays selected in the list and would win over a typed name.
        dialog->findChild<QAbstractItemView *>(QStringLiteral("listView"))->clearSelection();
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path);
        QMetaObject::invokeMethod(dialog, path.isEmpty() ? &QDialog::reject : &QDialog::accept,
                                  Qt::QueuedConnection);
    });
}

// Answers the next message boxes one after the other, pressing presses[i] on the i-th, and
// records each in the list, until the list is dropped.
using SeenBoxes = std::shared_ptr<QList<SeenBox>>;
inline void answerEach(QWidget *mainWindow, QList<QMessageBox::StandardButton> presses,
                       std::weak_ptr<QList<SeenBox>> seen) {
    if (presses.isEmpty())
        return;
    const auto armed = [seen] { return !seen.expired(); };
    whenModal<QMessageBox>(armed, [=, main = QPointer<QWidget>(mainWindow)](QMessageBox *b) {
        QObject *label = main ? main->findChild<QObject *>(QStringLiteral("RomPath")) : nullptr;
        seen.lock()->append({b->windowTitle(), b->text(), main ? main->windowTitle() : QString(),
                             label ? label->property("text").toString() : QString(), b->icon(),
                             b->standardButtons(), b->standardButton(b->defaultButton())});
        QAbstractButton *button = b->button(presses.first());
        QTest::mouseClick(button ? button : b->buttons().first(), Qt::LeftButton);
        answerEach(main, presses.mid(1), seen); // armed only now: no two wait for one box
    });
}
inline SeenBoxes answerMessageBoxes(QWidget *mainWindow,
                                    const QList<QMessageBox::StandardButton> &presses) {
    auto seen = std::make_shared<QList<SeenBox>>();
    answerEach(mainWindow, presses, seen);
    return seen;
}

// Does `act`, pressing OK on the message box it opens, if any; what that box showed. A later box
// belongs to someone else.
inline QList<SeenBox> boxesDuring(QWidget *mainWindow, const std::function<void()> &act) {
    const SeenBoxes seen = answerMessageBoxes(mainWindow, {QMessageBox::Ok});
    act();
    return *seen;
}

// Every title the window shows, in order.
struct TitleRecorder : QObject {
    explicit TitleRecorder(QWidget *window) {
        connect(window, &QWidget::windowTitleChanged, this, [this](auto &t) { titles << t; });
    }
    QStringList titles;
};

template <typename T> T *control(QWidget *window, const char *name) {
    return window->findChild<T *>(QLatin1String(name));
}

inline void click(QWidget *window, const char *button) {
    QTest::mouseClick(control<QWidget>(window, button), Qt::LeftButton);
}

// Clicks row `row` of the item view `list`, scrolled into sight.
inline void clickRow(QWidget *window, const char *list, int row,
                     Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
    auto *view = control<QAbstractItemView>(window, list);
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), button, mods, view->visualRect(index).center());
}

inline int selectedRow(QWidget *window, const char *list) {
    const QItemSelectionModel *selection =
        control<QAbstractItemView>(window, list)->selectionModel();
    return selection->selectedRows().value(0).row();
}

// Every line the item view `list` shows, in order.
inline QStringList listedLines(QWidget *window, const char *list) {
    const QAbstractItemModel *model = control<QAbstractItemView>(window, list)->model();
    QStringList out;
    for (int i = 0; i < model->rowCount(); ++i)
        out << model->index(i, 0).data().toString();
    return out;
}

// How many lines the object list shows.
inline int rows(QWidget *window) {
    return int(listedLines(window, "sprite").size());
}

// Changes record `row` of the shown level to X `x` through the editors and "Change".
inline void change(QWidget *window, int row, const QString &x) {
    clickRow(window, "sprite", row);
    control<QLineEdit>(window, "x")->setText(x);
    click(window, "Command3");
}

// Opens the context menu of `port` at `at` and picks the item `pick`, or closes the menu. Returns
// what the menu offered, each item as "text|keys|enabled".
inline QStringList contextMenuAt(QWidget *port, QPoint at, const QString &pick = QString()) {
    auto offered = std::make_shared<QStringList>();
    QTimer::singleShot(50, port, [offered, pick] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QAction *chosen = nullptr;
        for (QAction *a : menu ? menu->actions() : QList<QAction *>()) {
            *offered << a->text() + '|' + a->shortcut().toString() + '|' +
                            QString::number(a->isEnabled());
            if (!pick.isEmpty() && a->text() == pick)
                chosen = a;
        }
        if (chosen)
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
        else if (menu)
            menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, port->mapToGlobal(at));
    QApplication::sendEvent(port, &event);
    // Nothing offered (no menu came) is an empty list, which no caller expects.
    return QTest::qWaitFor([&offered] { return !offered->isEmpty(); }, 2000) ? *offered
                                                                             : QStringList();
}

// The context menu of the item view `list` on `row`, which a right click selects first.
inline QStringList contextMenu(QWidget *window, const char *list, int row,
                               const QString &pick = QString()) {
    auto *view = control<QAbstractItemView>(window, list);
    clickRow(window, list, row, Qt::RightButton);
    return contextMenuAt(view->viewport(), view->visualRect(view->model()->index(row, 0)).center(),
                         pick);
}

// The main window's four record editors, X, Y, type and subtype, as one text.
inline QString editors(QWidget *window) {
    QString out;
    for (const char *name : {"x", "y", "maintype", "subtype"})
        out += control<QWidget>(window, name)->property("text").toString();
    return out;
}

// The screen pixel of `view` that shows the scene point `scene`.
inline QPoint screenPoint(const QGraphicsView *view, QPointF scene) {
    const QPointF p = view->viewportTransform().map(scene);
    return {int(std::floor(p.x())), int(std::floor(p.y()))};
}

// Presses on `from` in `port`, moves to `to` in a few steps, and releases there unless told to
// hold.
inline void drag(QWidget *port, QPoint from, QPoint to, bool hold = false,
                 Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(port, button, {}, from);
    for (int step = 1; step <= 4; ++step)
        QTest::mouseMove(port, from + (to - from) * step / 4);
    if (!hold)
        QTest::mouseRelease(port, button, {}, to);
}

// The record at `at` of `image` as the clipboard holds it: "XXXX YYYY TT SS".
inline QString recordText(const QByteArray &image, qint64 at) {
    const QByteArray h = image.mid(at, 6).toHex().toUpper();
    return QString::fromLatin1(h.left(4) + ' ' + h.mid(4, 4) + ' ' + h.mid(8, 2) + ' ' +
                               h.mid(10, 2));
}

// The main window's path label.
inline QString romPath(QWidget *window) {
    return control<QWidget>(window, "RomPath")->property("text").toString();
}

// Loads `path` through "Load..." and the file dialog; the box the load opened, if any.
inline QList<SeenBox> loadThroughDialog(QWidget *mainWindow, const QString &path) {
    answerFileDialog(path);
    return boxesDuring(mainWindow, [mainWindow] { click(mainWindow, "Command1"); });
}

// Shows the window and makes it active (focus events need that offscreen).
inline bool showActive(QWidget *window) {
    window->show();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

// A new main window W holding the file at `path`, loaded through the dialog without a box,
// showing level `level` (-1: none); null when that failed.
template <typename W> std::unique_ptr<W> openWindow(const QString &path, int level) {
    auto w = std::make_unique<W>();
    // The closed dialog leaves no window active offscreen.
    if (!showActive(w.get()) || !loadThroughDialog(w.get(), path).isEmpty() || !showActive(w.get()))
        return nullptr;
    if (level >= 0)
        clickRow(w.get(), "level", level);
    return w;
}

} // namespace testsupport
