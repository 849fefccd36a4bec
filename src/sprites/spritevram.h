#pragma once
// The sprite art of a level: the 64 KiB of video memory its pattern-load-cue lists fill, in the
// order the game loads them.

#include "map/terraintables.h"
#include "sprites/objectrules.h"
#include "sprites/spritetables.h"

#include <QByteArray>
#include <QVector>

#include <optional>

namespace sprites {

// Far beyond any real list.
constexpr int MaxCueEntries = 64;

// The cue ids loaded for `row`, in order: Sonic 1 cues 0, the header's first, 1, its second, 2
// and the zone's animals (the Ending its own cue alone); Sonic 2 the same with the level art
// pointers' bytes and the zone's animal cue. Empty when the tables cannot be read.
QVector<int> levelCues(const QByteArray &image, const map::TerrainTables &terrain,
                       const SpriteTables &tables, int row);

// `base` (Sonic 2's level art, from tile 0) with every entry of `cues` decoded over it; later
// writes replace earlier ones, nothing goes past $FFFF, an entry that does not decode is left
// out. As long as the highest byte written (at most 64 KiB): what lies past it reads as zero.
QByteArray spriteVram(const ImageCode &code, const QVector<int> &cues, const QByteArray &base);

// The list of the cue table, other than `besides`, made for the art at video memory `address`:
// its first entry writes there, and of those lists it loads the fewest files. The list that
// brings an object's own art later in the act (the signpost's, which other lists also write
// over, further down theirs).
std::optional<int> ownArtCue(const ImageCode &code, qint64 address, const QVector<int> &besides);

} // namespace sprites
