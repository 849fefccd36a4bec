#pragma once
// Stand-in game images for tests and demos: real images cannot be shipped, so these carry the
// recognition bytes and object layouts shaped like the real ones at the real layout offsets.

#include <QByteArray>
#include <QVector>

#include <array>

namespace synthetic {

using Record = std::array<quint8, 6>;

constexpr qint64 Sonic1Size = 0x80000;  // 512 KiB
constexpr qint64 Sonic2Size = 0x100000; // 1 MiB

// The record that closes every layout.
constexpr Record EndRecord = {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00};

// An image of the right size for game 1 or 2 carrying only that game's recognition bytes.
QByteArray blankImage(int game);

// A full image: every one of the 21 layouts at its offset, each behind and ended by an end
// record, filled with varied records (see levelRecords).
QByteArray image(int game);

// The records of level `row` of game 1 or 2 in image(game): deterministic, and varied the way
// real layouts are (Y words with their top bits set, type and subtype bytes from 0x80 up, X
// words FFxx and xxFF that do not end a layout).
QVector<Record> levelRecords(int game, int row);

// The record stored at `offset`.
Record recordAt(const QByteArray &image, qint64 offset);

} // namespace synthetic
