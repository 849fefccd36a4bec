#pragma once
// Kosinski (LZSS) streams: chunk maps of the first game, most level data of the second.

#include "art/decoded.h"

namespace art {

// Decodes the stream at `start` of `image`. Fails, with nothing in `bytes`, when the stream is
// cut short, copies from before the start of its output, or would write more than maxOutput
// bytes.
Decoded kosinski(const QByteArray &image, qint64 start, qint64 maxOutput);

} // namespace art
