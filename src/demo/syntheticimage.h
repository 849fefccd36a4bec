#pragma once
// Stand-in game images for tests and demos: real images cannot be shipped, so these carry the
// recognition bytes and object layouts shaped like the real ones at the real layout offsets.

#include "rom/romimage.h"

#include <QByteArray>
#include <QVector>

#include <array>

namespace synthetic {

using Record = std::array<quint8, 6>;

constexpr qint64 Sonic1Size = 0x80000;  // 512 KiB
constexpr qint64 Sonic2Size = 0x100000; // 1 MiB

// The record that closes every layout.
constexpr Record EndRecord = {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00};

// The revision image(game) stands for: the one that carries the game's recognition bytes.
rom::Revision defaultRevision(int game);

// An image of the right size for game 1 or 2 carrying only that game's recognition bytes.
QByteArray blankImage(int game);

// An image of the right size for `revision` with its serial, its end address, and the
// recognition bytes only where that revision really has them; no layouts, checksum not set.
QByteArray blankImage(rom::Revision revision);

struct ImageOptions {
    // Leaves a wrong checksum in the header, like a dump or hack that skips the check.
    bool spoilChecksum = false;
};

// A full image: every one of the 21 layouts at its offset, each behind and ended by an end
// record, filled with varied records (see levelRecords), the game's own object layout table
// pointing at them, and a right header checksum.
QByteArray image(rom::Revision revision, const ImageOptions &options = {});
QByteArray image(int game);

// Where movedLayoutsImage() puts the layouts it moves: free space near the image's end that the
// game's 16-bit table offsets still reach.
qint64 movedLayoutsAt(int game);

// image(revision) as a hack rebuilt with more objects leaves it: the layouts of `rows` copied,
// records in reverse order, one after another from movedLayoutsAt(), with the game's own table
// pointing at the copies; the originals stay where they were.
QByteArray movedLayoutsImage(rom::Revision revision, const QVector<int> &rows);

// The records of level `row` in image(revision): deterministic, and varied the way real
// layouts are (Y words with their top bits set, type and subtype bytes from 0x80 up, X words
// FFxx and xxFF that do not end a layout). Rows that share a layout share their records.
QVector<Record> levelRecords(rom::Revision revision, int row);
QVector<Record> levelRecords(int game, int row);

// Writes `records` at `offset`, followed by an end record.
void putLayout(QByteArray &image, qint64 offset, const QVector<Record> &records);

// Points row `row`'s entry of the game's own object layout table at `offset`.
void pointRow(QByteArray &image, int game, int row, qint64 offset);

// The record stored at `offset`.
Record recordAt(const QByteArray &image, qint64 offset);

// The rest of a layout area shaped like the games' (image() calls it): Sonic 1's shared act 4 and
// ending entries, its conveyor-platform lists from `areaEnd` on and the $FF free space after them
// and before the table; Sonic 2's Metropolis 3 entries and its ring layouts at ringTableAt(),
// back to back up to ringLayoutsEnd(), the $00 free space staying around them.
void shapeLayoutArea(QByteArray &image, rom::Revision revision, qint64 areaEnd);
qint64 ringTableAt();
qint64 ringLayoutsEnd();
// Where Sonic 1's free space before the object layout table starts.
qint64 freeBeforeTable(rom::Revision revision);

} // namespace synthetic
