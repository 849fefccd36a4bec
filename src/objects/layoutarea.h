#pragma once
// The object layout area of an image as the game finds it: its table of signed word offsets,
// the lists those words point at (a list several words point at is one list), Sonic 1's
// conveyor-platform lists, Sonic 2's ring lists (read only to know where they lie: they share
// the free space but never move here) and the free space the table reaches.
//
// A list grows or shrinks in place, the lists behind it moving along and the words that point
// at them following; the bytes given up go back to the free space with the area's filler. When
// the room behind them runs out, whole lists move into free space elsewhere (before the table,
// say). Nothing outside the area and its free space is ever written.

#include "objects/layout.h"
#include "rom/romimage.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <array>
#include <optional>

namespace layout {

using Record = std::array<quint8, RecordSize>;

// The most records with the respawn flag one list may hold: the game's state table ends there.
constexpr int MaxRemembered = 189;
// Sonic 2's two-player loader keeps 12 object slots per 256-pixel column.
constexpr int MaxPerColumn = 12;
// A record's X must stay below this for the game to load it.
constexpr int XLimit = 0x8000;

quint16 xOf(const Record &r);
// Whether the game keeps the record's state (Sonic 1: type bit 7; Sonic 2: Y bit 15).
bool remembersState(int game, const Record &r);
// Whether `row` of Sonic 2 is one of the two-player lists (Emerald Hill and Mystic Cave).
bool twoPlayerRow(int game, int row);

// Why the game could not live with `after` replacing `before` as the list of `row` (`levelName`
// names it in the text), or the empty text: too many remembered records, or too many objects in
// one column of a two-player list. A rule the old list broke already only refuses an edit that
// makes it worse.
QString contentRefusal(int game, int row, const QString &levelName, const QVector<Record> &before,
                       const QVector<Record> &after);

// Inserts `added` into `list`, taken in X order (equal X in their given order), each just before
// the first record from the list's start whose X is greater. Returns where each landed, in the
// order of `added`.
QVector<int> insertInOrder(QVector<Record> &list, const QVector<Record> &added);

class LayoutArea {
  public:
    LayoutArea(QByteArray image, rom::Revision revision);

    // Empty when lists may change length; otherwise why not, in words for the user.
    QString problem() const { return m_problem; }
    int game() const { return m_game; }
    // Free bytes the table reaches, over every free stretch.
    qint64 freeBytes() const;
    // Where the list of level `row` starts, or -1.
    qint64 listStart(int row) const;
    // The records of that list, the end record not included.
    QVector<Record> records(int row) const;

    // The image with the list of `row` holding `records` and everything else the game finds
    // unchanged; nullopt with the reason when there is no room. A row whose list is an empty
    // list other entries share gets a list of its own, so that they stay empty.
    std::optional<QByteArray> withList(int row, const QVector<Record> &records,
                                       QString *refusal) const;

    // Free stretches and runs of lists, for the checks of tests and the fuzz target.
    struct Span {
        qint64 at = 0, end = 0;
    };
    const QVector<Span> &freeSpans() const { return m_free; }
    const QVector<Span> &runs() const { return m_runs; }
    // Every list the object words point at: its leading record to its end record, inclusive.
    QVector<Span> objectLists() const;

  private:
    enum class Kind { Objects, Platforms, Rings };
    struct Word {
        qint64 pos;
        Kind kind;
        qint64 target;
    };
    struct Item {
        Kind kind;
        qint64 target;
        Span extent; // objects: leading record to end record, inclusive
    };

    void read();
    bool fail(const QString &why);
    std::optional<Span> itemExtent(Kind kind, qint64 target) const;
    int runOf(qint64 at) const;
    qint64 tailRoom(int run) const;
    // The first free stretch other than the tail of `run` with room for `size` bytes, or -1.
    int segmentFor(qint64 size, int run) const;
    qint64 objectCount(qint64 target) const;

    QByteArray m_image;
    rom::Revision m_revision;
    int m_game = 0;
    char m_filler = 0;
    Span m_pool;
    QString m_problem;
    QVector<Word> m_words;
    QVector<Item> m_items; // movable ones, by address
    QVector<Span> m_fixed; // tables and ring lists
    QVector<Span> m_runs;  // movable items back to back
    QVector<Span> m_free;

    friend class AreaEdit;
};

} // namespace layout
