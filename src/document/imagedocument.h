#pragma once
// One image being edited: its bytes, where it came from, what it holds, and its undo history.
// The windows that show it observe it, so that an edit made in one shows in all of them.

#include "document/levelselection.h"
#include "levels/leveltables.h"
#include "objects/layoutarea.h"
#include "rom/romimage.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVector>

#include <array>

class QUndoStack;

class ImageDocument : public QObject {
    Q_OBJECT
  public:
    explicit ImageDocument(QObject *parent = nullptr);
    ~ImageDocument() override;

    // The image as held in memory, exactly as long as the file last read.
    const QByteArray &data() const { return m_data; }
    // The file the image is saved to; rom::NoPath when there is none.
    QString path() const { return m_path; }
    rom::Revision revision() const { return m_revision; }
    // The game (1 or 2) whose level tables are in force, 0 before the first recognised image.
    int game() const { return m_game; }
    // The layout offsets of the 21 level rows, for game().
    const LevelAddressTable &levelAddresses() const { return m_levelAddresses; }
    // Whether the header checksum was right when the image was loaded: only then is it kept
    // right on saving.
    bool checksumRightAtLoad() const { return m_checksumRightAtLoad; }
    QUndoStack *undoStack() { return m_undo; }
    // True while the undo history is away from the point the image was loaded or saved at.
    bool isModified() const;

    // Replaces the image (after any load, also one that failed half-way), empties the undo
    // history and emits imageReplaced(). The level tables stay until loadLevelAddresses().
    void load(QByteArray data, const QString &path);
    // Follows the path label: the image is saved to `path` from now on.
    void setPath(const QString &path) { m_path = path; }
    // Fills the level table for `game`: the image's own when it is of that game, otherwise the
    // game's fixed one.
    void loadLevelAddresses(int game);

    // Where the layout of `levelRow` starts, or -1.
    qint64 layoutStart(int levelRow) const;

    // Writes `bytes` into the record at `offset` of the layout of `levelRow` as one undoable
    // step, moving the record to its place when its new X takes it out of order. Returns the
    // record's offset after the step, or -1 when no byte would change (then no step is made)
    // or the record does not lie wholly inside the image.
    qint64 changeRecord(int levelRow, qint64 offset, const std::array<quint8, 6> &bytes);
    // Sets every byte of the records at `recordOffsets` to zero as one undoable step; false when
    // no byte would change (then no step is made).
    bool clearLevel(int levelRow, const QVector<qint64> &recordOffsets);

    // The level shown and the records selected in it, which both windows follow.
    LevelSelection *selection() const { return m_selection; }

    // Steps that change how many records a list holds; each moves other lists and rewrites the
    // table as needed. Each returns the empty text when it made a step (or there was nothing to
    // do), otherwise why the game could not take it; then nothing changed. `text` names the
    // step in the undo history.
    QString insertRecords(int levelRow, const QVector<layout::Record> &records,
                          const QString &text);
    QString deleteRecords(int levelRow, const QVector<qint64> &recordOffsets);
    // Several records given new bytes as one step, each put in its place by X; false when no
    // record of the level's list was named.
    struct Moved {
        qint64 offset;
        layout::Record bytes;
    };
    bool moveRecords(int levelRow, const QVector<Moved> &moves);
    // The level's name as its messages give it ("Green Hill 1").
    QString levelName(int levelRow) const;

    // Saves the image to path(), with the header checksum recomputed first when it was right
    // at load. On failure returns false with the system's reason; the file is left as it was.
    bool save(QString *reason);
    // The same to `newPath`, which becomes path() on success.
    bool saveAs(const QString &newPath, QString *reason);

  signals:
    // After every do, undo and redo of a step: the level row it edited and the record to
    // select (-1 for none, as after a clear).
    void recordsChanged(int levelRow, qint64 recordOffset);
    // After a load replaced the image; the undo history is empty then.
    void imageReplaced();
    void modifiedChanged(bool modified);

  private:
    void notify(int levelRow, qint64 recordOffset);
    void notifyMany(int levelRow, const QVector<qint64> &recordOffsets);

    QByteArray m_data;
    QString m_path;
    rom::Revision m_revision = rom::Revision::None;
    int m_game = 0;
    LevelAddressTable m_levelAddresses{};
    bool m_checksumRightAtLoad = false;
    QUndoStack *m_undo = nullptr;
    LevelSelection *m_selection = nullptr;
};
