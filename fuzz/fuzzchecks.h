#pragma once
// What the fuzz targets check, kept apart from libFuzzer so that the ordinary test suite can
// replay the seed inputs and every input that once broke an invariant.

#include "rom/romimage.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzzcheck {

// The hex text helpers and the field picker on arbitrary text. Empty when every invariant
// held, otherwise what broke.
QString textHelpers(const std::uint8_t *data, std::size_t size);

// An image built from the input (see imagechecks.cpp for how the bytes are read) taken through
// recognition, the level tables, the listing of every level, an edit, a cleared level and a
// save. Empty when every invariant held, otherwise what broke.
QString imagePath(const std::uint8_t *data, std::size_t size);

// A Kosinski, Nemesis or Enigma stream decoded out of an image built from the input (see
// artchecks.cpp): the output within its cap, the stream independent of what follows its end,
// and our encoder bringing the same output back. Empty when every invariant held.
QString kosinskiStream(const std::uint8_t *data, std::size_t size);
QString nemesisStream(const std::uint8_t *data, std::size_t size);
QString enigmaStream(const std::uint8_t *data, std::size_t size);

// Level terrain resolved for every row out of a small image built from the input (see
// levelchecks.cpp), with a few chunks drawn. Empty when every invariant held.
QString levelResolution(const std::uint8_t *data, std::size_t size);

// Object sprites of every row drawn out of a small image built from the input (see
// spritechecks.cpp): looks, pictures within their caps, the same from the cache. Empty when every
// invariant held.
QString spriteDrawing(const std::uint8_t *data, std::size_t size);

// Random inserts, deletes, pastes and undos on a synthetic image whose layout area the input
// mutated (see layoutchecks.cpp): after each step the game still finds every list, nothing
// outside the area changed, and undoing everything restores the image byte for byte.
QString layoutEdits(const std::uint8_t *data, std::size_t size);
// What those steps must keep, for `after` edited from `before`; also used by the unit tests.
QString layoutInvariants(const QByteArray &before, const QByteArray &after, rom::Revision r);

// For the libFuzzer entry points: a broken invariant aborts, so libFuzzer keeps the input.
inline int abortOnFailure(const QString &failure) {
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "invariant broken: %s\n", qPrintable(failure));
        std::abort();
    }
    return 0;
}

} // namespace fuzzcheck
