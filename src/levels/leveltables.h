#pragma once
// The 21 levels of each game: the names shown in the level list and where each level's object
// layout starts in the image.

#include "rom/romimage.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

constexpr int LevelCount = 21;
using LevelAddressTable = std::array<qint32, LevelCount>;

// -1 marks an entry that holds no level.
constexpr qint32 NoLevel = -1;

// Row texts ("0 - Green Hill 1", ...) for game 1 or 2; empty for any other code.
QStringList levelNames(int game);

// Sets entries 1..20 to NoLevel; entry 0 keeps its value.
void clrAdd(LevelAddressTable &table);

// clrAdd, then the fixed layout offsets of game 1 or 2 as in its first recognised revision
// (Sonic 1 revision 0, Sonic 2 revision 1); other codes set nothing more.
void loadAddresses(LevelAddressTable &table, int game);

// The layout offsets of each released revision, as measured on the games themselves.
LevelAddressTable fixedAddresses(rom::Revision revision);

// The game's own object layout table (what the game itself reads), resolved for all 21 rows.
// Empty unless every offset is plausible: inside the image, right behind an end record, and
// reaching an end record of its own before the listing bound.
std::optional<LevelAddressTable> imageAddresses(const QByteArray &image, rom::Revision revision);

// Where the game's object layout table starts, and the (zone, act) each row reads from it.
qint64 objectTableAt(int game);
qint64 objectTableEntry(int game, int row);

// clrAdd, then the offsets an image of `revision` uses: its own table when plausible, otherwise
// the revision's fixed table.
void loadAddresses(LevelAddressTable &table, const QByteArray &image, rom::Revision revision);
