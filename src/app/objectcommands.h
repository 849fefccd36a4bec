#pragma once
// Adding, deleting, copying and pasting object records: the object list's keys and menu items,
// and the same commands for the map window, with the message that says why when the game could
// not take an edit.

#include "objects/layoutarea.h"

#include <QObject>
#include <QVector>

#include <array>
#include <optional>

class ImageDocument;
class QAbstractItemView;
class QAction;
class QLineEdit;
class QWidget;
class SpriteModel;
class frmMain;

class ObjectCommands : public QObject {
    Q_OBJECT
  public:
    // The commands of the main window's object list `list` (listing `sprites`); new records take
    // the bytes of `editors` (X, Y, type, subtype).
    ObjectCommands(frmMain *main, ImageDocument *document, QAbstractItemView *list,
                   const SpriteModel *sprites, const std::array<QLineEdit *, 4> &editors);

    // "Insert Object" (Insert), "Delete Object" (Delete), "Copy Objects" (Ctrl+C) and "Paste
    // Objects" (Ctrl+V), keys of the object list.
    QList<QAction *> listActions() const { return m_actions; }

    // The record the editors hold, positions first brought to four digits as "Change" does.
    layout::Record editorRecord();

    // The commands on any records of the shown level; a refusal is shown over `parent`. Each
    // returns whether a step was made.
    bool insert(QWidget *parent, const QVector<layout::Record> &records, const QString &text);
    bool remove(QWidget *parent, const QVector<qint64> &offsets);
    void copy(const QVector<qint64> &offsets);
    // The clipboard's records (nullopt, with the reason shown, when a line is no record).
    std::optional<QVector<layout::Record>> clipboardRecords(QWidget *parent);
    // Tells the user why nothing changed.
    static void refuse(QWidget *parent, const QString &why);

  private:
    qint64 selectedOffset() const;
    void insertObject();
    void deleteObject();
    void copyObject();
    void pasteObjects();

    frmMain *m_main;
    ImageDocument *m_doc;
    QAbstractItemView *m_list;
    const SpriteModel *m_sprites;
    std::array<QLineEdit *, 4> m_editors;
    QList<QAction *> m_actions;
};
