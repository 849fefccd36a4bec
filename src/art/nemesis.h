#pragma once
// Nemesis streams: 8x8 tile art as runs of pixels under prefix codes.

#include "art/decoded.h"

namespace art {

// Decodes the stream at `start` of `image` into tile count x 32 bytes. Fails, with nothing in
// `bytes`, when the code table or bit stream is cut short or malformed, or when the tiles would
// take more than maxOutput bytes. Codes are looked up, as the game does, in an 8-bit window: in
// a table whose codes overlap, the byte after `end` may decide which code is read.
Decoded nemesis(const QByteArray &image, qint64 start, qint64 maxOutput);

} // namespace art
