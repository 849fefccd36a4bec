#include "sprites/ruletools.h"

#include "rom/imagebytes.h"

#include <algorithm>
#include <array>

namespace sprites::rules {

Drawn hidden() {
    Drawn d;
    d.look = Look::Hidden;
    return d;
}

Drawn marker() {
    return {};
}

MappingFormat formatOf(const Context &c) {
    return c.rules.game() == 1 ? MappingFormat::Sonic1 : MappingFormat::Sonic2;
}

Drawn one(const Context &c, Value mappings, int frame, Value art, int priority, bool xFlip,
          bool yFlip) {
    if (!mappings || !art)
        return marker();
    Drawn d;
    d.look = Look::Sprite;
    d.priority = priority & 7;
    Sprite s;
    s.mappings = *mappings & 0xFFFFFF;
    s.format = formatOf(c);
    s.frame = frame;
    s.art = static_cast<quint16>(*art);
    s.xFlip = xFlip;
    s.yFlip = yFlip;
    d.sprites.append(s);
    return d;
}

Drawn plain(const Context &c, int frame) {
    const Value priority = c.scan.value(Op::Priority);
    if (!priority)
        return marker();
    return one(c, c.scan.value(Op::Mappings), frame, c.scan.value(Op::Art), int(*priority), c.xFlip,
               c.yFlip);
}

std::optional<qint64> indexedLea(const Context &c, int window) {
    const rom::ImageBytes in(c.rules.image());
    for (qint64 at = c.scan.routine0; at < c.scan.routine0 + window; at += 2) {
        const auto opcode = in.word(at);
        const auto index = in.word(at + 2);
        if (!opcode || !index)
            return std::nullopt;
        // 0100 nnn1 1111 1011: lea d8(pc,xn),aN; index word 00 dd (d0.w).
        if ((*opcode & 0xF1FF) == 0x41FB && (*index & 0xFF00) == 0)
            return at + 2 + static_cast<qint8>(*index & 0xFF);
    }
    return std::nullopt;
}

std::optional<int> firstAnimationFrame(const Context &c, int anim, bool fromCode) {
    const rom::ImageBytes in(c.rules.image());
    const qint64 from = fromCode ? c.scan.code : c.scan.routine0;
    for (qint64 at = from; at < from + ScanBytes; at += 2) {
        const auto opcode = in.word(at);
        if (!opcode)
            return std::nullopt;
        if (*opcode != 0x43F9) // lea (xxx).l,a1
            continue;
        const auto table = in.pointer(at + 2);
        const auto offset = table ? in.signedWord(*table + 2LL * anim) : std::nullopt;
        const auto frame = offset ? in.byte(*table + *offset + 1) : std::nullopt;
        if (!frame || (*frame & 0x80) != 0)
            return std::nullopt;
        return int(*frame);
    }
    return std::nullopt;
}

Drawn fixed(const Context &c, int mappings, int art, int frame, int priority, bool xFlip,
            bool yFlip) {
    return one(c, c.scan.value(Op::Mappings, 0, mappings), frame, c.scan.value(Op::Art, 0, art),
               priority, xFlip, yFlip);
}

Drawn signpost(const Context &c, int n) {
    const auto frame = firstAnimationFrame(c, 0, true);
    if (!frame)
        return marker();
    Drawn d = fixed(c, n, n, *frame & 0x1F, 4, (*frame & 0x20) != 0, (*frame & 0x40) != 0);
    d.ownArtList = true;
    return d;
}

const IdRule *gameRule(int game, int id) {
    // Asked for every record drawn: an index by id, built once per game.
    using Index = std::array<const IdRule *, 256>;
    const auto build = [](const std::vector<IdRule> &table) {
        Index index{};
        for (const IdRule &r : table)
            if (r.id >= 0 && r.id < 256 && index[size_t(r.id)] == nullptr)
                index[size_t(r.id)] = &r;
        return index;
    };
    static const Index sonic1 = build(sonic1Rules());
    static const Index sonic2 = build(sonic2Rules());
    if (id < 0 || id > 255)
        return nullptr;
    const Index &index = game == 1 ? sonic1 : sonic2;
    return index.at(size_t(id));
}

} // namespace sprites::rules
