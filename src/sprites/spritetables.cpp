#include "sprites/spritetables.h"

#include <array>

namespace sprites {

SpriteTables spriteTables(rom::Revision revision) {
    SpriteTables t;
    switch (revision) {
    case rom::Revision::Sonic1Rev0:
    case rom::Revision::Sonic1Rev1: {
        const bool rev0 = revision == rom::Revision::Sonic1Rev0;
        t.game = 1;
        t.objectIndex = rev0 ? 0xD382 : 0xDA10;
        t.artLoadCues = rev0 ? 0x1D612 : 0x1DD86;
        t.deletesStrayBlock = !rev0;
        break;
    }
    case rom::Revision::Sonic2Rev0:
    case rom::Revision::Sonic2Rev1:
    case rom::Revision::Sonic2Rev2: {
        const int r = revision == rom::Revision::Sonic2Rev0   ? 0
                      : revision == rom::Revision::Sonic2Rev1 ? 1
                                                              : 2;
        t.game = 2;
        t.objectIndex = std::array<qint64, 3>{0x1600C, 0x1600C, 0x15FD0}[r];
        t.artLoadCues = std::array<qint64, 3>{0x42650, 0x42660, 0x4248E}[r];
        t.animalCues = std::array<qint64, 3>{0x13F62, 0x13F62, 0x13F3C}[r];
        t.ringLayouts = 0xE4300;
        break;
    }
    case rom::Revision::None:
        break;
    }
    return t;
}

} // namespace sprites
