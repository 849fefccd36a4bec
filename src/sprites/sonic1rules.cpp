// Sonic 1: how the objects beyond the most placed ones look at level start, each rule read from
// the object's own init code. Frames that come from an animation script the object runs before
// it is first shown are the script's first frame, written here.

#include "rom/imagebytes.h"
#include "sprites/ruletools.h"

#include <algorithm>

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
    const rom::ImageBytes in(c.rules.image());
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
    const auto frame = table ? rom::ImageBytes(c.rules.image()).byte(*table + (c.s >> 2 & 0x1C) + 2)
                             : std::nullopt;
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
    const auto frame = table ? rom::ImageBytes(c.rules.image()).byte(*table + (c.s >> 3 & 0x1E) + 1)
                             : std::nullopt;
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

// Objects whose art the level's art lists do not load: it comes later (the prison capsule's
// after the boss) or is streamed in (the giant ring's, once the player holds 50 rings). No sprite.
Drawn artLoadedLater(const Context &) {
    return marker();
}

// Signposts: one set of constants.
Drawn signpostOfOneSet(const Context &c) {
    return signpost(c, 1);
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

// --- Objects of several parts ------------------------------------------------------------------

Sprite moved(Sprite s, int frame, QPoint at) {
    s.frame = frame;
    s.x = at.x();
    s.y = at.y();
    return s;
}

// The word table read by the first routine the object's code calls (jsr (xxx).l or bsr.w) that
// reads one through move.w d8(pc,d0.w),d0 at its start: the sine table, a quarter turn of
// cosines after it.
std::optional<qint64> sineTable(const Context &c) {
    constexpr int kCodeWindow = 1024;
    constexpr int kRoutineWindow = 32;
    const rom::ImageBytes in(c.rules.image());
    qint64 end = c.scan.routine0 + kCodeWindow;
    if (c.scan.end > c.scan.routine0)
        end = std::min(end, c.scan.end);
    for (qint64 at = c.scan.routine0; at < end; at += 2) {
        const auto opcode = in.word(at);
        if (!opcode)
            break;
        std::optional<qint64> target;
        if (*opcode == 0x4EB9) {
            target = in.pointer(at + 2);
        } else if (*opcode == 0x6100) {
            if (const auto d = in.signedWord(at + 2))
                target = at + 2 + *d;
        }
        for (qint64 op = target ? *target : 0; target && op < *target + kRoutineWindow; op += 2) {
            const auto read = in.longword(op);
            if (read && (*read >> 8) == 0x303B00) // move.w d8(pc,d0.w),d0
                return op + 2 + static_cast<qint8>(*read & 0xFF);
        }
    }
    return std::nullopt;
}

// (r cos a, r sin a) as the game computes it: table words times r, shifted right by 8.
std::optional<QPoint> polar(const Context &c, qint64 sine, int radius, int angle) {
    const rom::ImageBytes in(c.rules.image());
    const auto sin = in.signedWord(sine + 2LL * (angle & 0xFF));
    const auto cos = in.signedWord(sine + 2LL * ((angle & 0xFF) + 0x40));
    if (!sin || !cos)
        return std::nullopt;
    return QPoint((radius * *cos) >> 8, (radius * *sin) >> 8);
}

// Objects that circle their record's position start at the angle the flips give (X a quarter
// turn, Y a half) and turn by one step of their speed (subtype bits 7-4, signed, x 8 in
// 1/256ths of an angle unit) before they are first shown.
int spunAngle(const Context &c) {
    const int start = (c.xFlip ? 0x40 : 0) | (c.yFlip ? 0x80 : 0);
    const int speed = static_cast<qint8>(c.s & 0xF0) * 8;
    return ((start << 8) + speed) >> 8 & 0xFF;
}

// Spiked balls on a chain: the ball, subtype bits 2-0 x 16 pixels from the centre (the record's
// position), then a link every 16 pixels toward the centre (none at the centre when bit 3 is
// set). In Labyrinth (the second constants) the ball is frame F1 and the centre link the anchor
// (F1 through a1). No flips.
Drawn spikedBallChain(const Context &c) {
    const bool labyrinth = c.rules.zone() == kLabyrinthZone;
    const int n = c.s & 7;
    const Value ballFrame = labyrinth ? c.scan.value(Op::Frame) : Value(0);
    const Value anchorFrame = labyrinth ? c.scan.value(Op::Frame, 1) : Value(0);
    const Value priority = c.scan.value(Op::Priority);
    const auto sine = sineTable(c);
    const int art = labyrinth ? 2 : 1;
    Drawn d = fixed(c, art, art, 0, priority ? int(*priority) : 0, false, false);
    if (d.look != Look::Sprite || !ballFrame || !anchorFrame || !priority || !sine)
        return marker();
    const int angle = spunAngle(c);
    const Sprite link = d.sprites.takeFirst();
    const int links = (c.s & 8) != 0 ? n - 1 : n;
    for (int i = -1; i < links; ++i) {
        const int radius = 16 * (i < 0 ? n : n - 1 - i);
        const auto at = polar(c, *sine, radius, angle);
        if (!at)
            return marker();
        const int frame = i < 0 ? int(*ballFrame) : radius == 0 ? int(*anchorFrame) : 0;
        d.sprites.append(moved(link, frame, *at));
    }
    return d;
}

// Swinging platforms: the platform (Star Light's constants second, Scrap Brain's spiked ball
// third, the others first; subtype bit 4 swaps in the fourth, a spiked ball) 16 x (subtype
// bits 3-0) + 8 pixels from the pivot, and the links and anchor the init makes every 16 pixels
// from there in (frames through a1; links on palette line 0 or 1, the anchor on 2 or 3). All
// hang at one end of the swing at level start: to the right, or left when X-flipped. In the
// game's order: the platform and the anchor (priority 3, the ball 2), then the links (4).
Drawn swingingPlatform(const Context &c) {
    const int zone = c.rules.zone();
    const int kind = zone == kStarLightZone ? 2 : zone == kScrapBrainZone ? 3 : 1;
    const bool ball = (c.s & 0x10) != 0;
    const int n = c.s & 0xF;
    const Value frame = ball ? c.scan.value(Op::Frame) : Value(0);
    const Value priority = c.scan.value(Op::Priority, 0, ball ? 2 : 1);
    const Value linkFrame = c.scan.value(Op::Frame, 1), anchorFrame = c.scan.value(Op::Frame, 1, 2);
    const auto sine = sineTable(c);
    Drawn d = fixed(c, ball ? 4 : kind, ball ? 4 : kind, frame ? int(*frame) : 0,
                    priority ? int(*priority) : 0, false, false);
    const Drawn chain = fixed(c, kind, kind, 0, 0, false, false);
    const int angle = c.xFlip ? 0x80 : 0;
    const auto at = sine ? polar(c, *sine, (16 * n + 8) & 0xFF, angle) : std::nullopt;
    if (d.look != Look::Sprite || chain.look != Look::Sprite || !frame || !priority || !linkFrame ||
        !anchorFrame || !at)
        return marker();
    d.sprites.front() = moved(d.sprites.front(), int(*frame), *at);
    Sprite anchor = moved(chain.sprites.front(), int(*anchorFrame), {});
    anchor.art |= 0x4000;
    d.sprites.append(anchor);
    for (int radius = 16 * n; radius > 0; radius -= 16) {
        const auto link = polar(c, *sine, radius, angle);
        if (!link)
            return marker();
        Sprite s = moved(chain.sprites.front(), int(*linkFrame), *link);
        s.art &= ~0x4000;
        d.sprites.append(s);
    }
    return d;
}

// Caterkiller: the head (Scrap Brain's art first, the other zones' second), then the three body
// segments its init makes 12 pixels apart behind it (to the right, to the left when X-flipped),
// with the head's flips and the frame stored through a1 (and a priority behind the head's).
Drawn caterkiller(const Context &c) {
    constexpr int kSegments = 3;
    constexpr int kSpacing = 12;
    const Value priority = c.scan.value(Op::Priority);
    const Value segmentFrame = c.scan.value(Op::Frame, 1);
    Drawn d = fixed(c, 1, c.rules.zone() == kScrapBrainZone ? 1 : 2, 0,
                    priority ? int(*priority) : 0, c.xFlip, c.yFlip);
    if (d.look != Look::Sprite || !priority || !segmentFrame)
        return marker();
    const Sprite head = d.sprites.front();
    for (int i = 1; i <= kSegments; ++i)
        d.sprites.append(
            moved(head, int(*segmentFrame), {(c.xFlip ? -kSpacing : kSpacing) * i, 0}));
    return d;
}

// Platforms on conveyors. A maker (subtype bit 7) becomes the first platform of a list and makes
// the others, which carry no flips: the list is entry (subtype bits 3-0) of the word offsets at
// index + d, read through lea (index).l,a2 and addi.w #d,d0 in the init; a list is a word count
// - 1, then X, Y and subtype per platform. `platform` is one platform at the record's position.
Drawn conveyorMaker(const Context &c, const Drawn &platform) {
    constexpr int kMaxPlatforms = 64;
    const rom::ImageBytes in(c.rules.image());
    std::optional<qint64> index;
    std::optional<quint32> offset;
    for (qint64 at = c.scan.routine0; at < c.scan.routine0 + ScanBytes; at += 2) {
        const auto opcode = in.word(at);
        if (!opcode)
            break;
        if (*opcode == 0x45F9 && !index) // lea (xxx).l,a2
            index = in.pointer(at + 2);
        if (*opcode == 0x0640 && !offset) // addi.w #d,d0
            offset = in.word(at + 2);
    }
    if (!index || !offset || platform.look != Look::Sprite)
        return marker();
    const auto list = in.signedWord(*index + static_cast<qint16>(((c.s & 0xF) << 1) + *offset));
    const auto count = list ? in.word(*index + *list) : std::nullopt;
    if (!count || *count >= kMaxPlatforms)
        return marker();
    Drawn d = platform;
    d.sprites.clear();
    for (quint32 i = 0; i <= *count; ++i) {
        const qint64 entry = *index + *list + 2 + 6LL * i;
        const auto x = in.word(entry), y = in.word(entry + 2);
        if (!x || !y)
            return marker();
        Sprite s = platform.sprites.front();
        s.x = int(*x) - c.record.x;
        s.y = int(*y) - (c.record.y & 0x0FFF);
        if (i > 0) {
            s.xFlip = s.xFlip != c.xFlip;
            s.yFlip = s.yFlip != c.yFlip;
        }
        d.sprites.append(s);
    }
    return d;
}

// Labyrinth: the wheel ($7F: the second constants, frame 0), platforms (frame F1) or a maker.
Drawn labyrinthConveyor(const Context &c) {
    const Value frame = c.scan.value(Op::Frame);
    const Value priority = c.scan.value(Op::Priority, 0, c.s == 0x7F ? 2 : 1);
    if (!frame || !priority)
        return marker();
    if (c.s == 0x7F)
        return fixed(c, 1, 2, 0, int(*priority), c.xFlip, c.yFlip);
    const Drawn platform = fixed(c, 1, 1, int(*frame), int(*priority), c.xFlip, c.yFlip);
    return c.s >= 0x80 ? conveyorMaker(c, platform) : platform;
}

// Scrap Brain's spinning platforms on conveyors: flat, as both their animations start.
Drawn spinningConveyor(const Context &c) {
    const auto frame = firstAnimationFrame(c, 0);
    const Value priority = c.scan.value(Op::Priority);
    if (!frame || !priority)
        return marker();
    const Drawn platform =
        fixed(c, 1, 1, *frame & 0x1F, int(*priority), c.xFlip != ((*frame & 0x20) != 0),
              c.yFlip != ((*frame & 0x40) != 0));
    return c.s >= 0x80 ? conveyorMaker(c, platform) : platform;
}

// Helix of spikes: subtype = spikes, 16 pixels apart and centred on the record (the record's own
// spike first, then the others left to right). Spike k from the left shows frame k & 7, the
// shared rotation counter being 0 at level start. No flips.
Drawn helix(const Context &c) {
    const Value priority = c.scan.value(Op::Priority);
    const int centre = c.s >> 1;
    Drawn d = fixed(c, 1, 1, centre & 7, priority ? int(*priority) : 0, false, false);
    if (d.look != Look::Sprite || !priority)
        return marker();
    const Sprite spike = d.sprites.front();
    for (int k = 0; k < c.s; ++k)
        if (k != centre)
            d.sprites.append(moved(spike, k & 7, {16 * (k - centre), 0}));
    return d;
}

// Running discs: only the spot shows (the disc is level art), 24 pixels from the centre (16 when
// subtype bits 3-0 are set). No flips.
Drawn runningDisc(const Context &c) {
    const auto sine = sineTable(c);
    const Value priority = c.scan.value(Op::Priority);
    Drawn d = fixed(c, 1, 1, 0, priority ? int(*priority) : 0, false, false);
    const auto at =
        sine ? polar(c, *sine, (c.s & 0xF) != 0 ? 0x10 : 0x18, spunAngle(c)) : std::nullopt;
    if (d.look != Look::Sprite || !priority || !at)
        return marker();
    d.sprites.front() = moved(d.sprites.front(), 0, *at);
    return d;
}

// Roller: stays away until the player passes it, then rolls in (animation 2).
Drawn roller(const Context &c) {
    return animated(c, 1, 2, 4);
}

// Lava geyser makers show themselves only as they erupt: a geyser (subtype 0) bubbles
// (animation 1); a lavafall's maker shows a blank frame, and only its lava when the player comes.
Drawn geyserMaker(const Context &c) {
    return c.s == 0 ? animated(c, 1, 1, 1) : hidden();
}

// Flapping doors start closing (animation 1, from open) on their first step; no priority set.
Drawn flappingDoor(const Context &c) {
    return animated(c, 1, 1, 0);
}

// Star Light's foreground pylons are placed on the screen, moving at twice the camera's speed:
// they have no place in the level to be drawn at.
Drawn screenPlaced(const Context &) {
    return marker();
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
        {1, 0x0D, signpostOfOneSet},
        {1, 0x70, plainZero},      // girder block
        {1, 0x4B, artLoadedLater}, // giant ring
        {1, 0x11, bridge},
        {1, 0x1E, animatedZero},   // Ball Hog
        {1, 0x3E, artLoadedLater}, // prison capsule
        {1, 0x50, walker},         // Yadrin
        {1, 0x57, spikedBallChain},
        {1, 0x15, swingingPlatform},
        {1, 0x78, caterkiller},
        {1, 0x63, labyrinthConveyor},
        {1, 0x6F, spinningConveyor},
        {1, 0x17, helix},
        {1, 0x67, runningDisc},
        {1, 0x43, roller},
        {1, 0x4C, geyserMaker},
        {1, 0x0C, flappingDoor},
        {1, 0x5C, screenPlaced}, // pylon
        {1, 0x0B, upright},      // pole that breaks
    };
    return kRules;
}

} // namespace sprites::rules
