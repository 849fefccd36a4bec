#pragma once
// Where each revision keeps the tables object sprites are found through: the object code
// pointers, the art lists and, for Sonic 2, the animals' list per zone and the ring layouts.

#include "rom/romimage.h"

namespace sprites {

// Image offsets; -1 where the game has no such table. Tests and fuzz targets lay the same
// tables out in small images.
struct SpriteTables {
    int game = 0;            // 1 or 2; 0 = no tables
    qint64 objectIndex = -1; // one long per id from 1: the object's code
    qint64 artLoadCues = -1; // pattern-load-cue index, word offsets
    qint64 animalCues = -1;  // Sonic 2: one cue id per zone for the level's animals
    qint64 ringLayouts = -1; // Sonic 2: one word per act, offsets from the table
    // Sonic 1 REV01: the floating block's init deletes a stray copy of one block at level start.
    bool deletesStrayBlock = false;
};

SpriteTables spriteTables(rom::Revision revision);

} // namespace sprites
