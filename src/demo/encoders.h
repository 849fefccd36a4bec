#pragma once
// Compressors for the three formats the level data uses, so that tests and demo images can carry
// terrain. Correct and reasonably compact, not tuned for size.

#include <QByteArray>

namespace synthetic {

// LZSS with literals, short and long copies and the end marker, padded to 16 bytes.
QByteArray kosinskiEncode(const QByteArray &raw);

// `tiles` is n x 32 bytes (n < $8000; a partial last tile is filled with zeros): a code table
// for the most frequent runs, inline runs for the rest.
QByteArray nemesisEncode(const QByteArray &tiles, bool xorMode = false);

// Big-endian words (an odd last byte is ignored) as runs, counts and inline values.
QByteArray enigmaEncode(const QByteArray &wordsBigEndian);

} // namespace synthetic
