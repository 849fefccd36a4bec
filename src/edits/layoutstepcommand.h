#pragma once
// A step that rewrote part of the object layout area: one or several lists, the table words
// that point at them and the free space they took or gave back. It keeps the exact bytes of
// the span that differs, before and after, so undo and redo restore the image byte for byte;
// the kinds of step below only work out what the area becomes.

#include "edits/recordschanged.h"
#include "edits/replacedspan.h"
#include "objects/layoutarea.h"

#include <QByteArray>
#include <QUndoCommand>
#include <QVector>

#include <memory>

namespace edits {

class LayoutStepCommand : public QUndoCommand {
  public:
    // The step from `image` to `after` (as long as it). `image` must outlive the command.
    LayoutStepCommand(const QString &text, QByteArray &image, const QByteArray &after, int levelRow,
                      QVector<qint64> selectedBefore, QVector<qint64> selectedAfter,
                      RecordsSelected notify);

    bool changesAnything() const { return m_span.changesAnything(); }
    const QVector<qint64> &selectedAfter() const { return m_selectedAfter; }

    void redo() override;
    void undo() override;

  private:
    QByteArray &m_image;
    int m_levelRow;
    QVector<qint64> m_selectedBefore, m_selectedAfter;
    RecordsSelected m_notify;
    ReplacedSpan m_span;
};

// What each kind of step needs to know about the image and the level it edits.
struct LayoutEdit {
    QByteArray &image;
    rom::Revision revision;
    int levelRow;
    QString levelName;              // for the reasons given
    QVector<qint64> selectedBefore; // selected again on undo
    RecordsSelected notify;
};

// "Insert Object", "Paste Objects", "Add Object Here": each record goes just before the first
// record of the list whose X is greater; the new records are selected.
class InsertRecordsCommand : public LayoutStepCommand {
  public:
    // Null with the reason in `refusal` when the game could not take the records (or there
    // are none: then the reason is empty).
    static std::unique_ptr<InsertRecordsCommand> make(const QString &text, const LayoutEdit &edit,
                                                      const QVector<layout::Record> &records,
                                                      QString *refusal);
    using LayoutStepCommand::LayoutStepCommand;
};

// "Delete Object": the records leave the list, the rest moves up; the record that took the
// first one's place is selected (the new last one when it was last).
class DeleteRecordsCommand : public LayoutStepCommand {
  public:
    static std::unique_ptr<DeleteRecordsCommand>
    make(const LayoutEdit &edit, const QVector<qint64> &offsets, QString *refusal);
    using LayoutStepCommand::LayoutStepCommand;
};

// Several records dragged together: each takes its new bytes and its place among the others by
// the insert rule; the list keeps its length, so nothing else moves.
class MoveRecordsCommand : public LayoutStepCommand {
  public:
    struct Move {
        qint64 offset;
        layout::Record bytes;
    };
    // `start` and `count` are the list's as listed (the image's own table is not needed).
    static std::unique_ptr<MoveRecordsCommand> make(const LayoutEdit &edit, qint64 start,
                                                    qint64 count, const QVector<Move> &moves);
    using LayoutStepCommand::LayoutStepCommand;
};

} // namespace edits
