#include "demo/syntheticimage.h"

#include "levels/leveltables.h"
#include "rom/romimage.h"

#include <algorithm>

namespace synthetic {

namespace {

// Records between a layout's start and the next layout, which starts right after this
// layout's end record; the last layout of each game gets a modest size of its own.
int recordCount(int game, int row) {
    LevelAddressTable table{};
    loadAddresses(table, game);
    if (row + 1 < LevelCount)
        return static_cast<int>((table[row + 1] - table[row]) / 6 - 1);
    return 37;
}

// A small deterministic generator, so every image is the same from run to run.
struct Lcg {
    quint32 state;
    quint32 next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    quint32 below(quint32 n) { return next() % n; }
};

const Record kSonic1Kinds[] = {
    {0, 0, 0, 0, 0x25, 0x12}, {0, 0, 0, 0, 0x1F, 0x05}, {0, 0, 0, 0, 0x11, 0x80},
    {0, 0, 0, 0, 0xA6, 0x03}, {0, 0, 0, 0, 0xBC, 0x01}, {0, 0, 0, 0, 0x36, 0x40},
    {0, 0, 0, 0, 0x41, 0x02}, {0, 0, 0, 0, 0x9A, 0x02}, {0, 0, 0, 0, 0xC0, 0x00},
    {0, 0, 0, 0, 0x22, 0x00}, {0, 0, 0, 0, 0xA5, 0x41}, {0, 0, 0, 0, 0x8C, 0xF0}};
const Record kSonic2Kinds[] = {
    {0, 0, 0, 0, 0x15, 0x20}, {0, 0, 0, 0, 0x0B, 0x00}, {0, 0, 0, 0, 0x06, 0x00},
    {0, 0, 0, 0, 0x26, 0x00}, {0, 0, 0, 0, 0x14, 0x00}, {0, 0, 0, 0, 0x9C, 0x81},
    {0, 0, 0, 0, 0x0E, 0x00}, {0, 0, 0, 0, 0x36, 0x10}, {0, 0, 0, 0, 0xA4, 0x00}};

// Writes `records` at `offset`, followed by an end record.
void putLayout(QByteArray &image, qint64 offset, const QVector<Record> &records) {
    qint64 at = offset;
    for (const Record &r : records) {
        std::copy(r.begin(), r.end(), image.begin() + at);
        at += 6;
    }
    std::copy(EndRecord.begin(), EndRecord.end(), image.begin() + at);
}

} // namespace

QByteArray blankImage(int game) {
    QByteArray data(game == 2 ? Sonic2Size : Sonic1Size, '\0');
    if (game == 1) {
        data[rom::Sonic1SigA] = char(0xB9);
        data[rom::Sonic1SigB] = char(0x12);
    } else if (game == 2) {
        data[rom::Sonic2SigA] = char(0xCC);
        data[rom::Sonic2SigB] = char(0x01);
    }
    return data;
}

QVector<Record> levelRecords(int game, int row) {
    const int count = std::max(recordCount(game, row), 0);
    Lcg rng{static_cast<quint32>(game * 1000 + row * 7 + 1)};
    QVector<Record> records;
    records.reserve(count);
    int x = 0x30;
    for (int i = 0; i < count; ++i) {
        Record r = game == 1 ? kSonic1Kinds[rng.below(std::size(kSonic1Kinds))]
                             : kSonic2Kinds[rng.below(std::size(kSonic2Kinds))];
        if (i == 0) // every level opens with the player's start
            r = {0, 0, 0, 0, 0x01, 0x00};
        int y = 0x80 + static_cast<int>(rng.below(0x600));
        if (i % 5 == 3)
            y |= 0x8000; // the games keep flags in the top bits of Y
        if (i % 11 == 6)
            y |= 0x4000;
        int xWord = x;
        if (i % 17 == 9)
            xWord = 0xFF00 | static_cast<int>(rng.below(0xFF)); // FFxx does not end a layout
        if (i % 19 == 12)
            xWord = (x & 0xFF00) | 0xFF; // nor does xxFF
        r[0] = static_cast<quint8>(xWord >> 8);
        r[1] = static_cast<quint8>(xWord);
        r[2] = static_cast<quint8>(y >> 8);
        r[3] = static_cast<quint8>(y);
        records.append(r);
        x = std::min(x + 0x10 + static_cast<int>(rng.below(0x180)), 0x7F00);
    }
    return records;
}

Record recordAt(const QByteArray &image, qint64 offset) {
    Record r{};
    for (int i = 0; i < 6; ++i)
        r[i] = static_cast<quint8>(image.at(offset + i));
    return r;
}

QByteArray image(int game) {
    QByteArray data = blankImage(game);
    LevelAddressTable table{};
    loadAddresses(table, game);
    // The layout before the first one ends just in front of it, as in the games.
    std::copy(EndRecord.begin(), EndRecord.end(), data.begin() + table[0] - 6);
    for (int row = 0; row < LevelCount; ++row)
        putLayout(data, table[row], levelRecords(game, row));
    return data;
}

} // namespace synthetic
