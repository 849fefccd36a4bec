#include "levels/leveltables.h"

#include "objects/layout.h"

namespace {

// Each offset is the first record of a layout, right behind the FF FF 00 00 00 00 record that
// closes the layout before it.
// Both endings (rows 19 and 20) read one layout.
constexpr LevelAddressTable kSonic1Offsets = {0x6B096, 0x6B5A0, 0x6BB5E, 0x6C218, 0x6C686, 0x6C9C8,
                                              0x6CFAA, 0x6D592, 0x6D8FE, 0x6DDA8, 0x6E31E, 0x6E85E,
                                              0x6ECC6, 0x6F2A8, 0x6F734, 0x6FC9E, 0x702A4, 0x709E2,
                                              0x710C0, 0x71204, 0x71204};

constexpr LevelAddressTable kSonic1Rev1Offsets = {
    0x6B096, 0x6B5A0, 0x6BB5E, 0x6C218, 0x6C68C, 0x6C9CE, 0x6CF92,
    0x6D57A, 0x6D8E6, 0x6DD90, 0x6E306, 0x6E846, 0x6ECAE, 0x6F290,
    0x6F71C, 0x6FC86, 0x70292, 0x709D0, 0x710AE, 0x711F2, 0x711F2};

// Entry index into each game's object layout table for rows 0 to 20. Sonic 1: zone * 4 + act
// (two words an act, so the byte offset is index * 4); Sonic 2: zone * 2 + act (one word).
constexpr std::array<int, LevelCount> kSonic1Entries = {0,  1,  2,  4,  5,  6,  7,  8,  9,  10, 12,
                                                        13, 14, 16, 17, 18, 20, 21, 22, 24, 25};
constexpr std::array<int, LevelCount> kSonic2Entries = {0,  1,  8,  9,  10, 12, 14, 15, 16, 20, 21,
                                                        22, 23, 24, 25, 26, 27, 28, 30, 31, 32};

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

LevelAddressTable fixedAddresses(rom::Revision revision) {
    switch (revision) {
    case rom::Revision::Sonic1Rev0:
        return kSonic1Offsets;
    case rom::Revision::Sonic1Rev1:
        return kSonic1Rev1Offsets;
    case rom::Revision::Sonic2Rev0:
    case rom::Revision::Sonic2Rev1:
    case rom::Revision::Sonic2Rev2:
        return kSonic2Offsets;
    case rom::Revision::None:
        break;
    }
    LevelAddressTable none;
    none.fill(NoLevel);
    return none;
}

qint64 objectTableAt(int game) {
    return game == 1 ? 0x6B000 : game == 2 ? 0xE6800 : -1;
}

qint64 objectTableEntry(int game, int row) {
    if (row < 0 || row >= LevelCount || (game != 1 && game != 2))
        return -1;
    return objectTableAt(game) + (game == 1 ? 4 * kSonic1Entries[row] : 2 * kSonic2Entries[row]);
}

std::optional<LevelAddressTable> imageAddresses(const QByteArray &image, rom::Revision revision) {
    const int game = rom::gameCode(revision);
    if (game == 0)
        return std::nullopt;
    const auto byteAt = [&image](qint64 at) { return static_cast<quint8>(image.at(at)); };
    static const quint8 kEnd[layout::RecordSize] = {0xFF, 0xFF, 0, 0, 0, 0};
    LevelAddressTable table{};
    for (int row = 0; row < LevelCount; ++row) {
        const qint64 entry = objectTableEntry(game, row);
        if (entry + 2 > image.size())
            return std::nullopt;
        // The game reads each entry as a signed offset from the table's start.
        const qint64 at = objectTableAt(game) + qint16(byteAt(entry) << 8 | byteAt(entry + 1));
        if (at < layout::RecordSize || at > layout::lastRecordStart(image.size()))
            return std::nullopt;
        for (int i = 0; i < layout::RecordSize; ++i)
            if (byteAt(at - layout::RecordSize + i) != kEnd[i])
                return std::nullopt;
        // A walk that stops at the bound rather than at an end record is no layout.
        const layout::Walk w = layout::walk(image, at);
        const qint64 endRecord = at + w.count * layout::RecordSize;
        if (endRecord > layout::lastRecordStart(image.size()) || byteAt(endRecord) != 0xFF ||
            byteAt(endRecord + 1) != 0xFF)
            return std::nullopt;
        table[row] = static_cast<qint32>(at);
    }
    return table;
}

// Two sources, on purpose: the game's own table is what the game reads, so it follows layouts
// that a modified image moved; the fixed tables are the measured offsets of the released
// images and stand in when the image's table does not hold up.
void loadAddresses(LevelAddressTable &table, const QByteArray &image, rom::Revision revision) {
    clrAdd(table);
    if (rom::gameCode(revision) == 0)
        return;
    const std::optional<LevelAddressTable> own = imageAddresses(image, revision);
    table = own ? *own : fixedAddresses(revision);
}

void loadAddresses(LevelAddressTable &table, int game) {
    clrAdd(table);
    if (game == 1)
        table = kSonic1Offsets;
    else if (game == 2)
        table = kSonic2Offsets;
}
