// Sonic 1: how the objects beyond the most placed ones look at level start, each rule read from
// the object's own init code. Frames that come from an animation script the object runs before
// it is first shown are the script's first frame, written here.

#include "sprites/imagebytes.h"
#include "sprites/ruletools.h"

namespace sprites::rules {

namespace {

constexpr int kLabyrinthZone = 1;
constexpr int kMarbleZone = 2;
constexpr int kStarLightZone = 3;
constexpr int kScrapBrainZone = 5;

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

// An object whose first step runs animation `anim` before it is shown: the script's first
// frame, its flip bits (5 X, 6 Y) applied over the status flips (the record's, X turned round
// when `turned`).
Drawn animated(const Context &c, int n, int anim, int priority, bool turned = false) {
    const auto frame = firstAnimationFrame(c, anim);
    if (!frame)
        return marker();
    return fixed(c, n, n, *frame & 0x1F, priority, (c.xFlip != turned) != ((*frame & 0x20) != 0),
                 c.yFlip != ((*frame & 0x40) != 0));
}

// Burrobot: digging (animation 2), turned toward the player, who starts to its left.
Drawn burrobot(const Context &c) {
    return animated(c, 1, 2, 4, c.xFlip);
}

// Buzz Bomber: starts flying (animation 1) on its first step.
Drawn buzzBomber(const Context &c) {
    return animated(c, 1, 1, 3);
}

// Edge walls: frame = subtype without bit 4 (which only makes the wall not solid).
Drawn edgeWall(const Context &c) {
    const Value priority = c.scan.value(Op::Priority);
    return priority ? fixed(c, 1, 1, c.s & 0xEF, int(*priority), c.xFlip, c.yFlip) : marker();
}

// Bubble makers (subtype $80 and up) show frame 0 until first drawn; bubbles start animation
// = subtype at once.
Drawn bubbles(const Context &c) {
    return c.s >= 0x80 ? fixed(c, 1, 1, 0, 1, false, false) : animated(c, 1, c.s, 1);
}

// Labyrinth blocks: frame = subtype bits 6-4. No flips.
Drawn labyrinthBlock(const Context &c) {
    return fixed(c, 1, 1, c.s >> 4 & 7, 3, false, false);
}

// Waterfalls: frame = subtype bits 3-0; type 9 (the splash) in front. A splash riding the water
// surface ($4x) is placed by the water height, which the map does not know.
Drawn waterfall(const Context &c) {
    if ((c.s & 0x4F) == 0x49)
        return marker();
    const Value priority = c.scan.value(Op::Priority);
    if (!priority)
        return marker();
    Drawn d = fixed(c, 1, 1, c.s & 0xF, (c.s & 0xF) == 9 ? 0 : int(*priority), c.xFlip, c.yFlip);
    return d;
}

// Objects with fixed frame 0 and no flips (the init replaces the render flags).
Drawn upright(const Context &c) {
    const Value priority = c.scan.value(Op::Priority);
    return priority ? fixed(c, 1, 1, 0, int(*priority), false, false) : marker();
}

// Animation 0 first, no priority set (0).
Drawn animatedFront(const Context &c) {
    return animated(c, 1, 0, 0);
}

// Vanishing platforms: animation 0 first.
Drawn vanishingPlatform(const Context &c) {
    return animated(c, 1, 0, 4);
}

// Flamethrowers: a Y-flipped one is the valve kind (animation 2).
Drawn flamethrower(const Context &c) {
    return animated(c, 1, c.yFlip ? 2 : 0, 1);
}

// Marble Zone's large grassy platforms: the frame from a 4-byte entry per subtype bits 6-4 in
// the table the init indexes. No flips.
Drawn grassyPlatform(const Context &c) {
    const auto table = indexedLea(c);
    const auto frame =
        table ? ImageBytes(c.rules.image()).byte(*table + (c.s >> 2 & 0x1C) + 2) : std::nullopt;
    return frame ? fixed(c, 1, 1, int(*frame), 5, false, false) : marker();
}

// Basaran hangs still (animation 0) until the player comes near.
Drawn basaran(const Context &c) {
    return animated(c, 1, 0, 2);
}

// Fans: always-on ones (subtype bit 1) turn to blade frame 1 (3 for subtype bit 0) on their
// first step; the others start switched off at frame 0.
Drawn fan(const Context &c) {
    const int frame = (c.s & 2) == 0 ? 0 : 1 + (c.s & 1) * 2;
    return fixed(c, 1, 1, frame, 4, c.xFlip, c.yFlip);
}

// Jaws and harpoons run animation 0 / = subtype before they are shown.
Drawn jaws(const Context &c) {
    return animated(c, 1, 0, 4);
}

Drawn harpoon(const Context &c) {
    return animated(c, 1, c.s, 4);
}

// Blocks and walls whose frame is the subtype. No flips.
Drawn frameBySubtype(const Context &c) {
    const Value priority = c.scan.value(Op::Priority);
    return priority ? fixed(c, 1, 1, c.s, int(*priority), false, false) : marker();
}

// Orbinaut: its body (Scrap Brain's art first, Star Light's second, Labyrinth's third), then the
// four spiked orbs its init makes, frame 3 and no flips, 16 pixels away at angles 0, $40, $80
// and $C0 (right, below, left, above).
Drawn orbinaut(const Context &c) {
    const int zone = c.rules.zone();
    const int art = zone == kLabyrinthZone ? 3 : zone == kScrapBrainZone ? 1 : 2;
    Drawn d = fixed(c, 1, art, 0, 4, c.xFlip, c.yFlip);
    if (d.look != Look::Sprite)
        return d;
    static const QPoint kOrbs[] = {{16, 0}, {0, 16}, {-16, 0}, {0, -16}};
    Sprite orb = d.sprites.front();
    orb.frame = 3;
    orb.xFlip = false;
    orb.yFlip = false;
    for (const QPoint &at : kOrbs) {
        orb.x = at.x();
        orb.y = at.y();
        d.sprites.append(orb);
    }
    return d;
}

// Newtron stays blank until the player comes near; drawn as it appears (frame 0), facing the
// player, who starts to its left. Subtype 1 (the one that fires) uses the second art word.
Drawn newtron(const Context &c) {
    return fixed(c, 1, c.s == 0 ? 1 : 2, 0, 4, false, c.yFlip);
}

// Star Light's elevators: the frame from a (width, frame) pair per subtype bits 6-4; subtypes
// $80 and up only make elevators. No flips.
Drawn elevator(const Context &c) {
    if (c.s >= 0x80)
        return hidden();
    const auto table = indexedLea(c);
    const auto frame =
        table ? ImageBytes(c.rules.image()).byte(*table + (c.s >> 3 & 0x1E) + 1) : std::nullopt;
    return frame ? fixed(c, 1, 1, int(*frame), 4, false, false) : marker();
}

// Spring Yard's lamps advance to frame 1 on their first step. No flips.
Drawn lamp(const Context &c) {
    return fixed(c, 1, 1, 1, 6, false, false);
}

// Collapsing ledges: frame = subtype.
Drawn ledge(const Context &c) {
    return fixed(c, 1, 1, c.s, 4, c.xFlip, c.yFlip);
}

// Moto Bug and Yadrin turn round on landing and back when they start walking (animation 1).
Drawn walker(const Context &c) {
    return animated(c, 1, 1, 4);
}

// Objects that run animation 0 before they are shown, at priority 4.
Drawn animatedZero(const Context &c) {
    return animated(c, 1, 0, 4);
}

// Saws: pizza cutters that swing (types 1, 2) turn to frame 1 on their first step; ground saws
// (types 3, 4) stay away until the player passes, drawn as they appear (frame 2). No flips.
Drawn saw(const Context &c) {
    const int type = c.s & 7;
    const int frame = type == 0 ? 0 : type <= 2 ? 1 : 2;
    return fixed(c, 1, 1, frame, 4, false, false);
}

// Objects whose art the level's art lists do not load: it comes later (the signpost's and the
// prison capsule's near the act's end) or is streamed in (the giant ring's). No sprite.
Drawn artLoadedLater(const Context &) {
    return marker();
}

// Objects drawn with frame 0 and the record's flips.
Drawn plainZero(const Context &c) {
    return plain(c, 0);
}

// Bridges: one log per subtype unit, 16 pixels apart from subtype / 2 logs left of the record;
// the record's own log first, then the logs its init makes, left to right. No flips.
Drawn bridge(const Context &c) {
    constexpr int kLogWidth = 16;
    Drawn d = fixed(c, 1, 1, 0, 3, false, false);
    if (d.look != Look::Sprite)
        return d;
    const Sprite log = d.sprites.front();
    const int left = -(c.s >> 1) * kLogWidth;
    for (int i = 0; i < c.s; ++i) {
        Sprite s = log;
        s.x = left + i * kLogWidth;
        if (s.x != 0)
            d.sprites.append(s);
    }
    return d;
}

// Scrap Brain's trapdoors (subtype below $80): the first step starts the closing animation (1),
// whose first frame is the open door. Spinning platforms (the second constants) start
// animation 2.
Drawn spinningPlatform(const Context &c) {
    return c.s < 0x80 ? animated(c, 1, 1, 0) : animated(c, 2, 2, 0);
}

// Crabmeat turns round and starts walking on flat ground (animation 3) on its first step.
Drawn crabmeat(const Context &c) {
    const Value priority = c.scan.value(Op::Priority);
    return priority ? animated(c, 1, 3, int(*priority), true) : marker();
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
        {1, 0x2D, burrobot},
        {1, 0x22, buzzBomber},
        {1, 0x44, edgeWall},
        {1, 0x5A, upright}, // circling platform
        {1, 0x64, bubbles},
        {1, 0x6C, vanishingPlatform},
        {1, 0x61, labyrinthBlock},
        {1, 0x65, waterfall},
        {1, 0x6E, animatedFront}, // electrocuter
        {1, 0x47, upright},       // bumper
        {1, 0x6D, flamethrower},
        {1, 0x2F, grassyPlatform},
        {1, 0x55, basaran},
        {1, 0x5D, fan},
        {1, 0x2C, jaws},
        {1, 0x58, upright}, // big spiked ball
        {1, 0x16, harpoon},
        {1, 0x51, frameBySubtype}, // smashable green block
        {1, 0x3C, frameBySubtype}, // smashable wall
        {1, 0x3B, upright},        // purple rock
        {1, 0x79, upright},        // lamppost: blue until passed
        {1, 0x60, orbinaut},
        {1, 0x42, newtron},
        {1, 0x12, lamp},
        {1, 0x1A, ledge},
        {1, 0x59, elevator},
        {1, 0x40, walker},       // Moto Bug
        {1, 0x2A, animatedZero}, // small door: its closing animation starts wide open
        {1, 0x2B, animatedZero}, // Chopper
        {1, 0x6A, saw},
        {1, 0x0D, artLoadedLater}, // signpost
        {1, 0x70, plainZero},      // girder block
        {1, 0x4B, artLoadedLater}, // giant ring
        {1, 0x11, bridge},
        {1, 0x1E, animatedZero},   // Ball Hog
        {1, 0x3E, artLoadedLater}, // prison capsule
        {1, 0x50, walker},         // Yadrin
    };
    return kRules;
}

} // namespace sprites::rules
