#include "sprites/spritevram.h"

#include "rom/imagebytes.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace sprites {

namespace {

constexpr qint64 kVideoBytes = 0x10000;
constexpr int kSonic1AnimalCues = 0x15;

} // namespace

QVector<int> levelCues(const QByteArray &image, const map::TerrainTables &terrain,
                       const SpriteTables &tables, int row) {
    const rom::ImageBytes in(image);
    const map::ZoneAct level = map::zoneAct(tables.game, row);
    if (level.zone < 0 || tables.game != terrain.game)
        return {};
    if (tables.game == 1 && level.zone == map::sonic1::Ending)
        return {map::sonic1::EndingPlc}; // cue 1 would overwrite the animals
    // The level's own two bytes: Sonic 1's header, Sonic 2's level art pointers.
    const qint64 entry = tables.game == 1 ? terrain.levelHeaders + 16LL * level.zone
                                          : terrain.levelArtPointers + 12LL * level.zone;
    const auto first = in.byte(entry);
    const auto second = in.byte(entry + 4);
    const auto animals = tables.game == 1
                             ? std::optional<quint32>(quint32(kSonic1AnimalCues + level.zone))
                             : in.byte(tables.animalCues + level.zone);
    if (!first || !second || !animals || entry < 0 || (tables.game == 2 && tables.animalCues < 0))
        return {};
    QVector<int> cues{0};
    if (*first != 0) // a level byte of 0 loads nothing
        cues.append(int(*first));
    cues.append(1);
    if (*second != 0)
        cues.append(int(*second));
    cues.append(2);
    cues.append(int(*animals));
    return cues;
}

QByteArray spriteVram(const ImageCode &code, const QVector<int> &cues, const QByteArray &base) {
    const SpriteTables &tables = code.tables();
    struct Write {
        qint64 address;
        QByteArray tiles;
    };
    // Gathered first so that the memory is allocated once, at its final size.
    std::vector<Write> writes;
    qint64 size = std::min<qint64>(base.size(), kVideoBytes);
    const rom::ImageBytes in(code.image());
    for (int cue : cues) {
        // A signed offset, as the game's indexed addressing reads it.
        const auto offset = in.signedWord(tables.artLoadCues + 2LL * cue);
        if (!offset || tables.artLoadCues < 0)
            continue;
        const qint64 list = tables.artLoadCues + *offset;
        const auto count = in.word(list);
        if (!count)
            continue;
        const int entries = std::min<int>(int(*count) + 1, MaxCueEntries);
        for (int i = 0; i < entries; ++i) {
            const auto source = in.pointer(list + 2 + 6LL * i);
            const auto address = in.word(list + 6 + 6LL * i);
            if (!source || !address)
                break;
            writes.push_back({qint64(*address), code.art(*source)});
            size = std::max(size,
                            std::min<qint64>(*address + writes.back().tiles.size(), kVideoBytes));
        }
    }
    // Only as long as the highest write: the rest reads as zero.
    QByteArray vram(size, Qt::Uninitialized);
    const qint64 kept = std::min<qint64>(base.size(), size);
    if (kept > 0)
        std::memcpy(vram.data(), base.constData(), static_cast<size_t>(kept));
    std::memset(vram.data() + kept, 0, static_cast<size_t>(size - kept));
    for (const Write &w : writes) {
        const qint64 end = std::min<qint64>(w.address + w.tiles.size(), kVideoBytes);
        if (end > w.address)
            std::memcpy(vram.data() + w.address, w.tiles.constData(),
                        static_cast<size_t>(end - w.address));
    }
    return vram;
}

std::optional<int> ownArtCue(const ImageCode &code, qint64 address, const QVector<int> &besides) {
    constexpr int kMaxCues = 256;
    const SpriteTables &tables = code.tables();
    const rom::ImageBytes in(code.image());
    // The table's offsets end where its first list begins.
    const auto first = in.signedWord(tables.artLoadCues);
    if (!first || *first <= 0 || tables.artLoadCues < 0)
        return std::nullopt;
    std::optional<int> found;
    int fewest = MaxCueEntries + 1;
    for (int cue = 0; cue < std::min(*first / 2, kMaxCues); ++cue) {
        const auto offset = in.signedWord(tables.artLoadCues + 2LL * cue);
        const qint64 list = offset ? tables.artLoadCues + *offset : -1;
        const auto count = in.word(list);
        if (!count || besides.contains(cue) || int(*count) + 1 >= fewest)
            continue;
        if (in.word(list + 6) == quint32(address)) {
            found = cue;
            fewest = int(*count) + 1;
        }
    }
    return found;
}

} // namespace sprites
