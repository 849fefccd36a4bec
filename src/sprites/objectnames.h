#pragma once
// Names of the games' objects, as a user knows them ("Crabmeat"), by type byte and level row.

#include <QString>

namespace sprites {

// The name of the object a record's type byte places in level row `row` (0-20) of `game` (1 or
// 2); Sonic 1 ids that depend on the zone name that zone's object. Empty when unknown.
QString objectName(int game, int row, quint8 type);

} // namespace sprites
