#include "sprites/ruletools.h"

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

const IdRule *gameRule(int game, int id) {
    for (const IdRule &r : game == 1 ? sonic1Rules() : sonic2Rules())
        if (r.id == id)
            return &r;
    return nullptr;
}

} // namespace sprites::rules
