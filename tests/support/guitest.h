#pragma once
// Helpers for driving the real window the way a user would: answering the file dialog and
// message boxes that open modally, and watching the title.

#include <QByteArray>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>

namespace testsupport {

// Writes `data` to `name` in `dir` and returns the full path.
QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &data);
QByteArray readFile(const QString &path);

// What a message box showed before the test pressed its OK button.
struct SeenBox {
    bool seen = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QString windowTitleWhileOpen; // the main window's title while the box was up
    bool armed = true;            // set false to stop waiting for the box
};

// Arms a watcher that answers the next modal file dialog: types `path` into its file name box
// and accepts, or cancels it when `path` is empty.
void answerFileDialog(const QString &path);

// Arms a watcher that presses OK on the next modal message box and records what it showed.
// `mainWindow` (may be null) is the window whose title is recorded while the box is open.
// The watcher stops once the returned record is dropped or disarmed.
std::shared_ptr<SeenBox> answerMessageBox(QWidget *mainWindow = nullptr);

// Records every title the window shows, in order.
class TitleRecorder : public QObject {
  public:
    explicit TitleRecorder(QWidget *window);
    QStringList titles;
};

// Finds a control by its object name; fails the test (returns null) if there is none.
template <typename T> T *control(QWidget *window, const char *name) {
    return window->findChild<T *>(QLatin1String(name));
}

// Loads `path` through "Load..." and the file dialog. A message box that the load opens is
// answered and returned (seen == false when none opened).
std::shared_ptr<SeenBox> loadThroughDialog(QWidget *mainWindow, const QString &path);

// Shows the window, makes it active (focus events need that offscreen) and waits for it.
bool showActive(QWidget *window);

} // namespace testsupport
