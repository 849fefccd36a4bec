#pragma once
// Enigma streams: nametable words (16x16 block maps of the first game).

#include "art/decoded.h"

namespace art {

// Decodes the stream at `start` of `image` into big-endian words, with nothing added to the
// tile indices. Fails, with nothing in `bytes`, on a bad header, a stream cut short, or more
// than maxOutput bytes of output.
Decoded enigma(const QByteArray &image, qint64 start, qint64 maxOutput);

} // namespace art
