#pragma once
// "Clear All Sprites" as one undoable step: every listed record set to zero. The step keeps the
// bytes it replaced as runs of adjacent records, so even a layout of hundreds of thousands of
// records is undone and redone with a few block copies.

#include "edits/recordschanged.h"

#include <QByteArray>
#include <QUndoCommand>
#include <QVector>

namespace edits {

class ClearLevelCommand : public QUndoCommand {
  public:
    // The records at `recordOffsets` (six bytes each; parts outside the image are left out) of
    // level `levelRow`. `image` must outlive the command.
    ClearLevelCommand(QByteArray &image, int levelRow, const QVector<qint64> &recordOffsets,
                      RecordsChanged notify);

    // False when every byte is zero already: then it must not be pushed.
    bool changesAnything() const;

    void redo() override;
    void undo() override;

  private:
    struct Run {
        qint64 at;
        QByteArray before;
    };
    QByteArray &m_image;
    int m_levelRow;
    QVector<Run> m_runs;
    RecordsChanged m_notify;
};

} // namespace edits
