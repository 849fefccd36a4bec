#pragma once
// "Change" as one undoable step: the record's six new bytes, and when its new X moved it, every
// record it passed shifted by one. The step keeps the exact bytes of the whole span it rewrote,
// before and after, so undo and redo restore the image byte for byte.

#include "edits/recordschanged.h"
#include "edits/replacedspan.h"

#include <QByteArray>
#include <QUndoCommand>

#include <array>

namespace edits {

class ChangeRecordCommand : public QUndoCommand {
  public:
    // Builds the step for the record at `offset` of the layout starting at `layoutStart` with
    // `count` records (the end record not counted). A record outside that layout is changed in
    // place. `image` must outlive the command.
    ChangeRecordCommand(QByteArray &image, int levelRow, qint64 layoutStart, qint64 count,
                        qint64 offset, const std::array<quint8, 6> &bytes, RecordsChanged notify);

    // False when the step would change no byte: then it must not be pushed.
    bool changesAnything() const { return m_span.changesAnything(); }
    // Where the record is once the step is done.
    qint64 offsetAfter() const { return m_offsetAfter; }

    void redo() override;
    void undo() override;

  private:
    QByteArray &m_image;
    int m_levelRow;
    ReplacedSpan m_span;
    qint64 m_offsetBefore, m_offsetAfter;
    RecordsChanged m_notify;
};

} // namespace edits
