#include "sprites/spritetables.h"

#include <array>

namespace sprites {

SpriteTables spriteTables(rom::Revision revision) {
    SpriteTables t;
    const auto r = size_t(rom::releaseOf(revision));
    t.game = rom::gameCode(revision);
    if (t.game == 1) {
        t.objectIndex = std::array<qint64, 2>{0xD382, 0xDA10}[r];
        t.artLoadCues = std::array<qint64, 2>{0x1D612, 0x1DD86}[r];
        t.deletesStrayBlock = r == 1;
    } else if (t.game == 2) {
        t.objectIndex = std::array<qint64, 3>{0x1600C, 0x1600C, 0x15FD0}[r];
        t.artLoadCues = std::array<qint64, 3>{0x42650, 0x42660, 0x4248E}[r];
        t.animalCues = std::array<qint64, 3>{0x13F62, 0x13F62, 0x13F3C}[r];
        t.ringLayouts = 0xE4300;
    }
    return t;
}

} // namespace sprites
