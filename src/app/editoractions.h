#pragma once
// The conventions every desktop editor of files has: standard keys, undo and redo, the file
// filters, the save dialog, the unsaved-changes question and a dropped file. Both windows use
// them, so that they behave alike.

#include <QKeySequence>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <utility>

class QAction;
class QMimeData;
class QUndoStack;
class QWidget;

namespace editing {

// `standard`'s keys on this platform, with `extra` added where the platform lacks them.
QList<QKeySequence> keysOf(QKeySequence::StandardKey standard, const QList<QKeySequence> &extra);

// Gives `action` its object name and keys, shown in menus, and makes it a shortcut of `window`.
QAction *windowAction(QWidget *window, QAction *action, const char *name,
                      const QList<QKeySequence> &keys);

// Undo (Ctrl+Z) and redo (Ctrl+Shift+Z, Ctrl+Y) of `stack` as shortcuts of `window`.
std::pair<QAction *, QAction *> addUndoRedo(QWidget *window, QUndoStack *stack);

// The open and save dialogs' filters: plain images first, then the other endings the same raw
// format carries.
QStringList imageFilters();

// Asks where to save the image, starting at `current` (none for an empty text); empty when
// cancelled.
QString askSavePath(QWidget *parent, const QString &current);

// "Save changes to <path>?" with Save (the default), Discard and Cancel.
QMessageBox::StandardButton askSaveChanges(QWidget *parent, const QString &path);

// The one local file a drop carries, or the empty text for anything else.
QString droppedFile(const QMimeData *mime);

} // namespace editing
