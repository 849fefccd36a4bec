#include "app/editoractions.h"

#include <QAction>
#include <QFileDialog>
#include <QMimeData>
#include <QUndoStack>
#include <QUrl>

namespace editing {

QList<QKeySequence> keysOf(QKeySequence::StandardKey standard, const QList<QKeySequence> &extra) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(standard);
    for (const QKeySequence &key : extra)
        if (!keys.contains(key))
            keys.append(key);
    return keys;
}

QAction *windowAction(QWidget *window, QAction *action, const char *name,
                      const QList<QKeySequence> &keys) {
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setShortcutVisibleInContextMenu(true);
    window->addAction(action);
    return action;
}

std::pair<QAction *, QAction *> addUndoRedo(QWidget *window, QUndoStack *stack) {
    QAction *undo = windowAction(window, stack->createUndoAction(window), "actionUndo",
                                 keysOf(QKeySequence::Undo, {QKeySequence(Qt::CTRL | Qt::Key_Z)}));
    QAction *redo =
        windowAction(window, stack->createRedoAction(window), "actionRedo",
                     keysOf(QKeySequence::Redo, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                                 QKeySequence(Qt::CTRL | Qt::Key_Y)}));
    return {undo, redo};
}

QStringList imageFilters() {
    return {QStringLiteral("Binary ROM Images (*.bin)"),
            QStringLiteral("Mega Drive images (*.bin *.md *.gen)"),
            QStringLiteral("All files (*)")};
}

QString askSavePath(QWidget *parent, const QString &current) {
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("saveAsDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(imageFilters());
    dialog.setDefaultSuffix(QStringLiteral("bin"));
    if (!current.isEmpty())
        dialog.selectFile(current);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

QMessageBox::StandardButton askSaveChanges(QWidget *parent, const QString &path) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quillet"),
                    QStringLiteral("Save changes to %1?").arg(path),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Save);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString droppedFile(const QMimeData *mime) {
    if (!mime || !mime->hasUrls())
        return QString();
    const QList<QUrl> urls = mime->urls();
    return urls.size() == 1 && urls.first().isLocalFile() ? urls.first().toLocalFile() : QString();
}

} // namespace editing
