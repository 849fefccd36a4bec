#include "levels/leveltables.h"

namespace {

// Each offset is the first record of a layout, right behind the FF FF 00 00 00 00 record that
// closes the layout before it.
constexpr LevelAddressTable kSonic1Offsets = {0x6B096, 0x6B5A0, 0x6BB5E, 0x6C218, 0x6C686, 0x6C9C8,
                                              0x6CFAA, 0x6D592, 0x6D8FE, 0x6DDA8, 0x6E31E, 0x6E85E,
                                              0x6ECC6, 0x6F2A8, 0x6F734, 0x6FC9E, 0x702A4, 0x709E2,
                                              0x710C0, 0x710D2, 0x71204};

constexpr LevelAddressTable kSonic2Offsets = {0xE684A, 0xE6B7A, 0xE6F34, 0xE73C0, 0xE78EE, 0xE7F48,
                                              0xE8302, 0xE8668, 0xE8C80, 0xE8DA0, 0xE9214, 0xE968E,
                                              0xE99A0, 0xE9D1E, 0xEA3D8, 0xEA9D2, 0xEAD6E, 0xEB230,
                                              0xEB25A, 0xEB6A4, 0xEBBDE};

const char *const kSonic1Names[LevelCount] = {
    "Green Hill 1", "Green Hill 2", "Green Hill 3", "Labyrinth 1", "Labyrinth 2",  "Labyrinth 3",
    "Labyrinth 4",  "Marble 1",     "Marble 2",     "Marble 3",    "Star Light 1", "Star Light 2",
    "Star Light 3", "Spring Yd 1",  "Spring Yd 2",  "Spring Yd 3", "Scrap Brn 1",  "Scrap Brn 2",
    "Scrap Brn 3",  "Good Ending",  "Bad Ending"};

const char *const kSonic2Names[LevelCount] = {
    "Emerald Hill 1",   "Emerald Hill 2",   "Metropolis 1",  "Metropolis 2",     "Metropolis 3",
    "Wing Fortress",    "Hill Top 1",       "Hill Top 2",    "Hidden Palace",    "Oil Ocean 1",
    "Oil Ocean 2",      "Mystic Cave 1",    "Mystic Cave 2", "Carnival Night 1", "Carnival Night 2",
    "Chemical Plant 1", "Chemical Plant 2", "Death Egg",     "Aquatic Ruin 1",   "Aquatic Ruin 2",
    "Sky Chase Zone"};

} // namespace

QStringList levelNames(int game) {
    if (game != 1 && game != 2)
        return {};
    const char *const *names = game == 1 ? kSonic1Names : kSonic2Names;
    QStringList rows;
    rows.reserve(LevelCount);
    for (int r = 0; r < LevelCount; ++r)
        rows.append(QString::number(r) + QStringLiteral(" - ") + QLatin1String(names[r]));
    return rows;
}

void clrAdd(LevelAddressTable &table) {
    for (int r = 1; r < LevelCount; ++r)
        table[r] = NoLevel;
}

void loadAddresses(LevelAddressTable &table, int game) {
    clrAdd(table);
    if (game == 1)
        table = kSonic1Offsets;
    else if (game == 2)
        table = kSonic2Offsets;
}
