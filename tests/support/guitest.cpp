#include "support/guitest.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace testsupport {

namespace {

// Polls until a modal widget of type T is up, then hands it to `answer`; gives up when `armed`
// turns false or the deadline passes.
template <typename T>
void whenModal(std::function<void(T *)> answer, std::function<bool()> armed = [] { return true; },
               int deadlineMs = 10000) {
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [answer, armed, clock, poll, deadlineMs]() {
        if (!armed()) {
            *poll = nullptr; // break the self-reference
            return;
        }
        if (auto *w = qobject_cast<T *>(QApplication::activeModalWidget())) {
            if (w->isVisible()) {
                answer(w);
                *poll = nullptr;
                return;
            }
        }
        if (clock->elapsed() < deadlineMs)
            QTimer::singleShot(20, [poll] {
                if (*poll)
                    (*poll)();
            });
        else
            *poll = nullptr;
    };
    QTimer::singleShot(0, *poll);
}

} // namespace

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &data) {
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        return QString();
    return path;
}

QByteArray readFile(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

void answerFileDialog(const QString &path) {
    whenModal<QFileDialog>([path](QFileDialog *dialog) {
        if (path.isEmpty()) {
            QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
            return;
        }
        // The file picked last time stays selected in the dialog's list and would be taken
        // over the typed name (a user typing into the focused box deselects it).
        if (auto *list = dialog->findChild<QAbstractItemView *>(QStringLiteral("listView")))
            list->clearSelection();
        if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            edit->setText(path);
        QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
    });
}

std::shared_ptr<SeenBox> answerMessageBox(QWidget *mainWindow) {
    auto seen = std::make_shared<SeenBox>();
    QPointer<QWidget> main(mainWindow);
    std::weak_ptr<SeenBox> watch(seen);
    whenModal<QMessageBox>([seen = watch, main](QMessageBox *box) {
        auto shown = seen.lock();
        if (!shown)
            return;
        shown->seen = true;
        shown->title = box->windowTitle();
        shown->text = box->text();
        shown->icon = box->icon();
        shown->buttons = box->standardButtons();
        if (main)
            shown->windowTitleWhileOpen = main->windowTitle();
        if (QAbstractButton *ok = box->button(QMessageBox::Ok))
            QTest::mouseClick(ok, Qt::LeftButton);
        else
            box->reject();
    },
    [watch] {
        auto shown = watch.lock();
        return shown && shown->armed;
    });
    return seen;
}

TitleRecorder::TitleRecorder(QWidget *window) {
    connect(window, &QWidget::windowTitleChanged, this,
            [this](const QString &title) { titles.append(title); });
}

std::shared_ptr<SeenBox> loadThroughDialog(QWidget *mainWindow, const QString &path) {
    answerFileDialog(path);
    auto box = answerMessageBox(mainWindow);
    auto *load = mainWindow->findChild<QPushButton *>(QStringLiteral("Command1"));
    if (load)
        QTest::mouseClick(load, Qt::LeftButton);
    box->armed = false; // the load is over: a later box belongs to someone else
    return box;
}

bool showActive(QWidget *window) {
    window->show();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

} // namespace testsupport
