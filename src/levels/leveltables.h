#pragma once
// The 21 levels of each game: the names shown in the level list and where each level's object
// layout starts in the image.

#include <QString>
#include <QStringList>

#include <array>

constexpr int LevelCount = 21;
using LevelAddressTable = std::array<qint32, LevelCount>;

// -1 marks an entry that holds no level.
constexpr qint32 NoLevel = -1;

// Row texts ("0 - Green Hill 1", ...) for game 1 or 2; empty for any other code.
QStringList levelNames(int game);

// Sets entries 1..20 to NoLevel; entry 0 keeps its value.
void clrAdd(LevelAddressTable &table);

// clrAdd, then all 21 layout offsets of game 1 or 2 (other codes set nothing more).
void loadAddresses(LevelAddressTable &table, int game);
