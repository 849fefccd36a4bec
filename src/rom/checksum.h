#pragma once
// The header checksum both games verify at power-on: a mismatch stops the game on a red screen,
// so every save must keep it right.

#include <QByteArray>

#include <optional>

namespace rom {

constexpr qint64 ChecksumAt = 0x18E;   // big-endian word compared with the sum
constexpr qint64 RomEndAt = 0x1A4;     // big-endian long: the last address the sum covers
constexpr qint64 ChecksumFrom = 0x200; // the sum starts behind the header

// The sum of the big-endian words from 0x200 up to and including the word at the end address
// (for the usual odd end address L - 1, the last word is the one at L - 2), modulo 0x10000.
// Empty when the end address lies outside the image or not past 0x200.
std::optional<quint16> computeChecksum(const QByteArray &image);

// The word stored at 0x18E (0 for an image too short to hold it).
quint16 storedChecksum(const QByteArray &image);

// True when the stored word equals the computed sum.
bool checksumRight(const QByteArray &image);

// Stores the computed sum at 0x18E; false (image untouched) when there is no sum to store.
bool writeChecksum(QByteArray &image);

} // namespace rom
