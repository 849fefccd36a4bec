#include "app/objectcommands.h"

#include "app/frmmain.h"
#include "document/imagedocument.h"
#include "objects/recordtext.h"
#include "objects/spritemodel.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QUndoStack>

#include <cstring>

ObjectCommands::ObjectCommands(frmMain *main, ImageDocument *document, QAbstractItemView *list,
                               const SpriteModel *sprites,
                               const std::array<QLineEdit *, 4> &editors)
    : QObject(main), m_main(main), m_doc(document), m_list(list), m_sprites(sprites),
      m_editors(editors) {
    setObjectName(QStringLiteral("objectCommands"));
    const auto add = [this](const char *name, const QString &text, const QKeySequence &key,
                            void (ObjectCommands::*slot)()) {
        auto *a = new QAction(text, m_list);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(key);
        // The list's own keys: a text box keeps its Ctrl+C, Ctrl+V and Delete.
        a->setShortcutContext(Qt::WidgetShortcut);
        a->setShortcutVisibleInContextMenu(true);
        m_list->addAction(a);
        connect(a, &QAction::triggered, this, slot);
        m_actions.append(a);
    };
    add("actionInsertObject", QStringLiteral("Insert Object"), QKeySequence(Qt::Key_Insert),
        &ObjectCommands::insertObject);
    add("actionDeleteObject", QStringLiteral("Delete Object"), QKeySequence(QKeySequence::Delete),
        &ObjectCommands::deleteObject);
    add("actionCopyObjects", QStringLiteral("Copy Objects"), QKeySequence(QKeySequence::Copy),
        &ObjectCommands::copyObject);
    add("actionPasteObjects", QStringLiteral("Paste Objects"), QKeySequence(QKeySequence::Paste),
        &ObjectCommands::pasteObjects);
    // A line picked in the list is the selection; a step selecting several records sets them
    // after the list has shown the first.
    connect(main, &frmMain::recordSelected, this, [this](qint64 offset) {
        m_doc->selection()->select(offset >= 0 ? QVector<qint64>{offset} : QVector<qint64>{});
    });
}

void ObjectCommands::refuse(QWidget *parent, const QString &why) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Error"), why, QMessageBox::Ok, parent);
    box.exec();
}

layout::Record ObjectCommands::editorRecord() {
    for (QLineEdit *position : {m_editors[0], m_editors[1]})
        position->setText(layout::padPosition(position->text()));
    return layout::recordBytes(m_editors[0]->text(), m_editors[1]->text(), m_editors[2]->text(),
                               m_editors[3]->text());
}

qint64 ObjectCommands::selectedOffset() const {
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : m_sprites->offsetAt(rows.first().row());
}

bool ObjectCommands::insert(QWidget *parent, const QVector<layout::Record> &records,
                            const QString &text) {
    const int row = m_doc->selection()->level();
    if (row < 0 || records.isEmpty())
        return false;
    const int steps = m_doc->undoStack()->count();
    const QString why = m_doc->insertRecords(row, records, text);
    if (!why.isEmpty())
        refuse(parent, why);
    return m_doc->undoStack()->count() != steps;
}

bool ObjectCommands::remove(QWidget *parent, const QVector<qint64> &offsets) {
    const int row = m_doc->selection()->level();
    if (row < 0 || offsets.isEmpty())
        return false;
    const int steps = m_doc->undoStack()->count();
    const QString why = m_doc->deleteRecords(row, offsets);
    if (!why.isEmpty())
        refuse(parent, why);
    return m_doc->undoStack()->count() != steps;
}

void ObjectCommands::copy(const QVector<qint64> &offsets) {
    QVector<layout::Record> records;
    const QByteArray &data = m_doc->data();
    for (qint64 at : offsets) {
        if (at < 0 || at + layout::RecordSize > data.size())
            continue;
        layout::Record r{};
        std::memcpy(r.data(), data.constData() + at, layout::RecordSize);
        records.append(r);
    }
    if (!records.isEmpty())
        QApplication::clipboard()->setText(layout::recordsText(records));
}

std::optional<QVector<layout::Record>> ObjectCommands::clipboardRecords(QWidget *parent) {
    QString why;
    auto records = layout::parseRecords(QApplication::clipboard()->text(), &why);
    if (!records)
        refuse(parent, why);
    return records;
}

void ObjectCommands::insertObject() {
    insert(m_main, {editorRecord()}, QStringLiteral("Insert Object"));
}

void ObjectCommands::deleteObject() {
    if (selectedOffset() >= 0)
        remove(m_main, {selectedOffset()});
}

void ObjectCommands::copyObject() {
    if (selectedOffset() >= 0)
        copy({selectedOffset()});
}

void ObjectCommands::pasteObjects() {
    if (const auto records = clipboardRecords(m_main))
        insert(m_main, *records, QStringLiteral("Paste Objects"));
}
