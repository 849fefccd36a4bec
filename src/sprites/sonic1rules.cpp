// Sonic 1: how the objects beyond the most placed ones look at level start, each rule read from
// the object's own init code. Frames that come from an animation script the object runs before
// it is first shown are the script's first frame, written here.

#include "sprites/imagebytes.h"
#include "sprites/ruletools.h"

namespace sprites::rules {

namespace {

constexpr int kMarbleZone = 2;
constexpr int kStarLightZone = 3;
constexpr int kScrapBrainZone = 5;

// Scrap Brain's trapdoors (subtype below $80) and spinning platforms. A trapdoor's first step
// starts its closing animation, whose first frame is the open door; a spinner shows frame 0.
Drawn spinningPlatform(const Context &c) {
    if (c.s < 0x80)
        return fixed(c, 1, 1, 2, 0, c.xFlip, c.yFlip);
    return fixed(c, 2, 2, 0, 0, c.xFlip, c.yFlip);
}

// Buttons: Marble Zone's art first, the other zones' second; drawn 3 pixels lower than placed.
Drawn button(const Context &c) {
    Drawn d = fixed(c, 1, c.rules.zone() == kMarbleZone ? 1 : 2, 0, 4, false, false);
    for (Sprite &s : d.sprites)
        s.y = 3;
    return d;
}

// Collapsing floors: Marble Zone's art unless Star Light (which also shows frame 2) or Scrap
// Brain set their own.
Drawn collapsingFloor(const Context &c) {
    const int zone = c.rules.zone();
    const int art = zone == kStarLightZone ? 2 : zone == kScrapBrainZone ? 3 : 1;
    return fixed(c, 1, art, zone == kStarLightZone ? 2 : 0, 4, c.xFlip, c.yFlip);
}

// Crabmeat first turns round and starts walking: walking frame 1, facing the other way.
Drawn crabmeat(const Context &c) {
    const Value priority = c.scan.value(Op::Priority);
    return priority ? fixed(c, 1, 1, 1, int(*priority), !c.xFlip, c.yFlip) : marker();
}

// Scenery: a 10-byte entry per subtype (mappings, art word, frame, width, priority) in the table
// named by the init's lea d8(pc,d0.w),a1.
Drawn scenery(const Context &c) {
    constexpr int kEntries = 4;
    const auto table = indexedLea(c);
    if (c.s >= kEntries || !table)
        return marker();
    const ImageBytes in(c.rules.image());
    const qint64 entry = *table + 10LL * c.s;
    const auto frame = in.byte(entry + 6);
    const auto priority = in.byte(entry + 8);
    if (!frame || !priority)
        return marker();
    return one(c, in.longword(entry), int(*frame), in.word(entry + 4), int(*priority), c.xFlip,
               c.yFlip);
}

} // namespace

const std::vector<IdRule> &sonic1Rules() {
    static const std::vector<IdRule> kRules = {
        {1, 0x7D, nullptr}, // hidden bonus: shown only once reached, after the signpost
        {1, 0x69, spinningPlatform},
        {1, 0x13, nullptr}, // lava ball maker: only its lava balls
                            // show
        {1, 0x32, button},
        {1, 0x54, nullptr}, // lava tag: an invisible hurting area
        {1, 0x53, collapsingFloor},
        {1, 0x1F, crabmeat},
        {1, 0x1C, scenery},
    };
    return kRules;
}

} // namespace sprites::rules
