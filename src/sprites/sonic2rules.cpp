// Sonic 2: how the objects beyond the most placed ones look at level start, each rule read from
// the object's own init code. Frames that come from an animation step the object runs before it
// is first shown are that step's frame, written here.

#include "rom/imagebytes.h"
#include "sprites/ruletools.h"

#include <algorithm>

namespace sprites::rules {

namespace {

constexpr int kMetropolis = 4;
constexpr int kMetropolis3 = 5;
constexpr int kWingFortress = 6;
constexpr int kHiddenPalace = 8;
constexpr int kOilOcean = 0xA;
constexpr int kMysticCave = 0xB;
constexpr int kChemicalPlant = 0xD;
constexpr int kDeathEgg = 0xE;
constexpr int kAquaticRuin = 0xF;

// A byte read as the signed offset the game's ext.w makes of it.
int signedByte(quint32 byte) {
    return byte >= 0x80 ? int(byte) - 0x100 : int(byte);
}

// Byte `at` of the entry for index `index` (entries `size` bytes apart) in the table the init
// indexes through its lea d8(pc,d0.w).
std::optional<int> tableByte(const Context &c, int index, int size, int at) {
    const auto table = indexedLea(c);
    if (!table)
        return std::nullopt;
    const auto b = rom::ImageBytes(c.rules.image()).byte(*table + qint64(index) * size + at);
    if (!b)
        return std::nullopt;
    return int(*b);
}

// The table the first lea (table).l,aN with opcode `lea` (43F9 for a1, 45F9 for a2) in the
// scanned bytes names.
std::optional<qint64> absoluteLea(const Context &c, quint16 lea) {
    const rom::ImageBytes in(c.rules.image());
    for (qint64 at = c.scan.routine0; at < c.scan.routine0 + ScanBytes; at += 2) {
        const auto opcode = in.word(at);
        if (!opcode)
            return std::nullopt;
        if (*opcode == lea)
            return in.pointer(at + 2);
    }
    return std::nullopt;
}

// The target of the first lea into a1 in the scanned bytes, pc-relative or absolute (revisions
// assemble the same lea either way).
std::optional<qint64> leaA1(const Context &c) {
    const rom::ImageBytes in(c.rules.image());
    for (qint64 at = c.scan.routine0; at < c.scan.routine0 + ScanBytes; at += 2) {
        const auto opcode = in.word(at);
        if (!opcode)
            return std::nullopt;
        if (*opcode == 0x43F9)
            return in.pointer(at + 2);
        if (*opcode == 0x43FA) {
            const auto displacement = in.signedWord(at + 2);
            return displacement ? std::optional<qint64>(at + 2 + *displacement) : std::nullopt;
        }
    }
    return std::nullopt;
}

// The first frame of animation `anim` of the script table at `table` (flip bits dropped); none
// when the script starts with an end mark.
std::optional<int> scriptFrame(const Context &c, qint64 table, int anim) {
    const rom::ImageBytes in(c.rules.image());
    const auto offset = in.signedWord(table + 2LL * anim);
    const auto frame = offset ? in.byte(table + *offset + 1) : std::nullopt;
    if (!frame || (*frame & 0x80) != 0)
        return std::nullopt;
    return int(*frame & 0x7F);
}

// Collapsing platforms: Oil Ocean, Mystic Cave and Aquatic Ruin set their own mappings and art
// after the default pair.
Drawn collapsingPlatform(const Context &c) {
    const int zone = c.rules.zone();
    const int n = zone == kOilOcean ? 2 : zone == kMysticCave ? 3 : zone == kAquaticRuin ? 4 : 1;
    return fixed(c, n, n, 0, 4, c.xFlip, c.yFlip);
}

// Floating platforms: the frame from a (width, frame) pair per subtype bits 6-4; Aquatic Ruin
// has its own mappings. The init replaces the render flags: no flips.
Drawn floatingPlatform(const Context &c) {
    const auto frame = tableByte(c, c.s >> 4 & 7, 2, 1);
    if (!frame)
        return marker();
    const int n = c.rules.zone() == kAquaticRuin ? 2 : 1;
    return fixed(c, n, n, *frame, 4, false, false);
}

// Metropolis and Chemical Plant blocks: the frame from a 4-byte entry per subtype bits 6-4;
// Chemical Plant has its own mappings and art. No flips.
Drawn immobilePlatform(const Context &c) {
    const auto frame = tableByte(c, c.s >> 4 & 7, 4, 2);
    if (!frame)
        return marker();
    const int n = c.rules.zone() == kChemicalPlant ? 2 : 1;
    return fixed(c, n, n, *frame, 3, false, false);
}

// Moving platforms: the frame from a (width, frame) pair per subtype bits 7-4; Oil Ocean and
// Wing Fortress set their own art. Two of the movements start $C0 pixels higher. No flips.
Drawn movingPlatform(const Context &c) {
    const auto frame = tableByte(c, c.s >> 4, 2, 1);
    if (!frame)
        return marker();
    const int zone = c.rules.zone();
    const int art = zone == kOilOcean ? 2 : zone == kWingFortress ? 3 : 1;
    Drawn d = fixed(c, 1, art, *frame, 4, false, false);
    const int movement = c.s & 0xF;
    if ((movement == 3 && c.xFlip) || movement == 7)
        for (Sprite &s : d.sprites)
            s.y = -0xC0;
    return d;
}

// Fans: vertical ones (subtype bit 7) have the second mappings. The first step turns the blades
// to frame 1 (6 for subtype bit 0).
Drawn fan(const Context &c) {
    return fixed(c, c.s & 0x80 ? 2 : 1, 1, c.s & 1 ? 6 : 1, 4, c.xFlip, c.yFlip);
}

// One-way barriers: frame = subtype; Metropolis, Chemical Plant, Death Egg and Aquatic Ruin set
// their own art after the default.
Drawn barrier(const Context &c) {
    const int zone = c.rules.zone();
    int art = 1;
    if (zone == kMetropolis || zone == kMetropolis3)
        art = 2;
    else if (zone == kChemicalPlant)
        art = 3;
    else if (zone == kDeathEgg)
        art = 4;
    else if (zone == kAquaticRuin)
        art = 5;
    return fixed(c, 1, art, c.s, 4, c.xFlip, c.yFlip);
}

// Objects whose init starts with a bsr.w to the shared loader, which copies a 10-byte entry
// (mappings, art word, render flags ORed into the record's, priority) per even subtype from
// the table it reads through. An animation step before the object is first shown replaces the
// render flips by the status flips (the record's, `toggleX` when the init turned the object
// round).
enum class Flips { Loaded, Animated };

struct LoaderEntry {
    Value mappings;
    Value art;
    // cppcheck-suppress unusedStructMember ; read through the optional that holds it
    int render;
    // cppcheck-suppress unusedStructMember ; read through the optional that holds it
    int priority;
};

// The shared loader's entry for `subtype`, through the bsr.w at `at` (the init's first
// instruction unless given).
std::optional<LoaderEntry> loaderEntry(const Context &c, int subtype, qint64 at = -1) {
    constexpr int kLastSubtype = 0xFE;
    const rom::ImageBytes in(c.rules.image());
    if (at < 0)
        at = c.scan.routine0;
    const auto bsr = in.word(at);
    const auto displacement = in.signedWord(at + 2);
    if (!bsr || !displacement || *bsr != 0x6100 || (subtype & 1) != 0 || subtype > kLastSubtype)
        return std::nullopt;
    const qint64 loader = at + 2 + *displacement;
    const auto index = scanRoutine(c.rules.image(), loader).table(0x303B); // move.w ..,d0
    const auto offset = index ? in.signedWord(*index + subtype) : std::nullopt;
    if (!offset)
        return std::nullopt;
    const qint64 entry = *index + *offset;
    const auto render = in.byte(entry + 6);
    const auto priority = in.byte(entry + 7);
    if (!render || !priority)
        return std::nullopt;
    return LoaderEntry{in.longword(entry), in.word(entry + 4), int(*render), int(*priority)};
}

Drawn loaded(const Context &c, int frame, Flips flips, bool toggleX = false) {
    const auto e = loaderEntry(c, c.s);
    if (!e)
        return marker();
    const bool xStatus = c.xFlip != toggleX;
    const bool loadedFlips = flips == Flips::Loaded;
    return one(c, e->mappings, frame, e->art, e->priority,
               loadedFlips ? c.xFlip || (e->render & 1) != 0 : xStatus,
               loadedFlips ? c.yFlip || (e->render & 2) != 0 : c.yFlip);
}

// Badniks that are first shown straight after the loader.
Drawn loadedBadnik(const Context &c) {
    return loaded(c, 0, Flips::Loaded);
}

// Badniks whose first step runs their animation 0 (Spiker turns round in its init first).
Drawn animatedBadnik(const Context &c, bool turned) {
    const auto frame = firstAnimationFrame(c, 0);
    return frame ? loaded(c, *frame & 0x7F, Flips::Animated, turned) : marker();
}

Drawn animatedBadnik(const Context &c) {
    return animatedBadnik(c, false);
}

Drawn spiker(const Context &c) {
    return animatedBadnik(c, true);
}

// Hidden Palace stakes and orbs, Metropolis lava bubbles: an 8-byte entry per subtype bits 3-0
// in the table the init's first lea d16(pc),a1 names (frame in the mappings long's top byte, art
// word, width, priority); the first step starts animation subtype bits 7-4.
Drawn stakeAndOrb(const Context &c) {
    const auto table = c.scan.first(Op::Lea);
    const auto frame = firstAnimationFrame(c, c.s >> 4);
    if (!table || !frame)
        return marker();
    const rom::ImageBytes in(c.rules.image());
    const qint64 entry = *table + 8LL * (c.s & 0xF);
    const auto priority = in.byte(entry + 7);
    if (!priority)
        return marker();
    return one(c, in.longword(entry), *frame & 0x7F, in.word(entry + 4), int(*priority), c.xFlip,
               c.yFlip);
}

// Breakable rocks and blocks: Chemical Plant sets its own mappings and art. No flips.
Drawn breakableRock(const Context &c) {
    const int n = c.rules.zone() == kChemicalPlant ? 2 : 1;
    return fixed(c, n, n, 0, 4, false, false);
}

// Metropolis circling platforms: frame = subtype bits 6-4; frame 3 is the wheel's recess, with
// the second art word and priority 5.
Drawn circlingPlatform(const Context &c) {
    const int frame = c.s >> 4 & 7;
    return frame == 3 ? fixed(c, 1, 2, 3, 5, c.xFlip, c.yFlip)
                      : fixed(c, 1, 1, frame, 4, c.xFlip, c.yFlip);
}

// Mystic Cave's vines and Wing Fortress's hooks (the first pair): subtype bits 6-4 set start
// them pulled out by their full length, shown by a longer frame. No flips.
Drawn vine(const Context &c) {
    const bool hook = c.rules.zone() == kWingFortress;
    const int length = hook ? ((c.s & 0xF) != 0 ? 0x60 : 0xA0) : 0xB0;
    const bool extended = (c.s & 0x70) != 0;
    const int frame = !extended ? 0 : hook ? (length >> 4) + 1 : (length >> 5) + 1;
    Drawn d = fixed(c, hook ? 1 : 2, hook ? 1 : 2, frame, 4, false, false);
    if (extended)
        for (Sprite &s : d.sprites)
            s.y = length;
    return d;
}

// An object that runs animation `anim` before it is first shown: the script's first frame, and
// the status flips (the record's) as the animation routine copies them.
Drawn animated(const Context &c, int n, int anim, int priority) {
    const auto frame = firstAnimationFrame(c, anim);
    return frame ? fixed(c, n, n, *frame & 0x7F, priority, c.xFlip, c.yFlip) : marker();
}

Drawn animatedFirst(const Context &c) {
    const Value priority = c.scan.value(Op::Priority);
    return priority ? animated(c, 1, 0, int(*priority)) : marker();
}

// Frame 0 and the record's flips (the init keeps the render flags).
Drawn plainFirst(const Context &c) {
    return plain(c, 0);
}

// Frame 0, no flips (the init replaces the render flags).
Drawn upright(const Context &c) {
    const Value priority = c.scan.value(Op::Priority);
    return priority ? fixed(c, 1, 1, 0, int(*priority), false, false) : marker();
}

// Casino Night flippers: the sideways kind (any subtype but 0) runs animation 2.
Drawn flipper(const Context &c) {
    return animated(c, 1, c.s != 0 ? 2 : 0, 4);
}

// Hill Top's smashable ground: the frame from a (height, frame) pair per even subtype. No flips.
Drawn smashableGround(const Context &c) {
    const auto frame = tableByte(c, (c.s & 0x1E) / 2, 2, 1);
    return frame ? fixed(c, 1, 1, *frame, 4, false, false) : marker();
}

// Launch spheres: a (render flags, frame) pair per subtype bits 3-0, four entries further for
// an X-flipped record, read through the init's move.b d8(pc,d0.w),1(a0).
Drawn launchSphere(const Context &c) {
    const auto table = c.scan.table(0x117B, 1);
    if (!table)
        return marker();
    const rom::ImageBytes in(c.rules.image());
    const qint64 entry = *table + 2LL * ((c.s & 0xF) + (c.xFlip ? 4 : 0));
    const auto render = in.byte(entry);
    const auto frame = in.byte(entry + 1);
    if (!render || !frame)
        return marker();
    return fixed(c, 1, 1, int(*frame), 1, (*render & 1) != 0, (*render & 2) != 0);
}

// Buzzer: its second priority store is the one in force; the flame it makes shows only while it
// turns.
Drawn buzzer(const Context &c) {
    const Value priority = c.scan.value(Op::Priority, 0, 2);
    return priority ? animated(c, 1, 0, int(*priority)) : marker();
}

// Big moving blocks start $60 pixels back along their path: left (right when X-flipped) for
// subtype 0, up (down when Y-flipped) for the others. No flips.
Drawn bigBlock(const Context &c) {
    Drawn d = upright(c);
    for (Sprite &s : d.sprites) {
        if (c.s == 0)
            s.x = c.xFlip ? 0x60 : -0x60;
        else
            s.y = c.yFlip ? 0x60 : -0x60;
    }
    return d;
}

// Metropolis spike blocks: the block (frame 4), then the spike it makes (second art word), which
// starts inside the block pointing in direction (subtype + frame counter / 128) & 3 (the counter
// is 0 at level start).
Drawn spikeBlock(const Context &c) {
    Drawn d = fixed(c, 1, 1, 4, 4, false, false);
    const Value spikeArt = c.scan.value(Op::Art, 1);
    if (d.look != Look::Sprite || !spikeArt)
        return marker();
    Sprite spike = d.sprites.front();
    spike.frame = c.s & 3;
    spike.art = static_cast<quint16>(*spikeArt);
    d.sprites.append(spike);
    return d;
}

// Bubbles: makers (subtype $80 and up, animation 6) and single bubbles (animation = subtype) run
// their animation before they are first shown.
Drawn bubbles(const Context &c) {
    return animated(c, 1, c.s >= 0x80 ? 6 : c.s, 1);
}

// Aquis: its wing (animation 3), which it keeps 10 pixels to the front and 6 up and draws in
// front of itself, then its body (animation 0).
Drawn aquis(const Context &c) {
    Drawn body = animated(c, 1, 0, 4);
    const auto wingFrame = firstAnimationFrame(c, 3);
    if (body.look != Look::Sprite || !wingFrame)
        return marker();
    Sprite wing = body.sprites.front();
    wing.frame = *wingFrame & 0x7F;
    wing.x = c.xFlip ? -10 : 10;
    wing.y = -6;
    body.sprites.prepend(wing);
    return body;
}

// Mystic Cave bricks: the lone kind (subtype bits 3-0 = $F) stands still (frame 2, priority 4).
// The others hang on a chain of n = bits 3-0 links from the record's position, 16 pixels apart
// in the direction the record's flips give (none: right, X: down, Y: left, both: up): the brick
// (frame 0) at the chain's end, then the links (frame 1) of the multi-sprite child the init makes
// after it, from the record's position on. Priority 5, no flips. The first step turns the chain
// by bits 7-4 / 32 of a right angle: only $0x and $1x leave it on the flips' angle (others, and
// chains longer than the child's room for 8, keep their marker).
Drawn brick(const Context &c) {
    constexpr int kMaxLinks = 8;
    constexpr int kLink = 16;
    const int n = c.s & 0xF;
    if (n == 0xF)
        return fixed(c, 1, 1, 2, 4, false, false);
    if (n == 0 || n > kMaxLinks || c.s >> 4 > 1)
        return marker();
    static const int kSteps[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    const int *step = kSteps[(c.xFlip ? 1 : 0) + (c.yFlip ? 2 : 0)];
    Drawn d = fixed(c, 1, 1, 0, 5, false, false);
    if (d.look != Look::Sprite)
        return d;
    Sprite &brick = d.sprites.front();
    brick.x = n * kLink * step[0];
    brick.y = n * kLink * step[1];
    for (int k = 0; k < n; ++k) {
        Sprite link = d.sprites.front();
        link.frame = 1;
        link.x = k * kLink * step[0];
        link.y = k * kLink * step[1];
        d.sprites.append(link);
    }
    return d;
}

// Steam springs start 16 pixels down, at frame 7.
Drawn steamSpring(const Context &c) {
    Drawn d = fixed(c, 1, 1, 7, 4, c.xFlip, c.yFlip);
    for (Sprite &s : d.sprites)
        s.y = 0x10;
    return d;
}

// Falling pillars: the pillar, then the lower part it makes $30 pixels down (frame 1).
Drawn fallingPillar(const Context &c) {
    Drawn d = fixed(c, 1, 1, 0, 4, c.xFlip, c.yFlip);
    if (d.look != Look::Sprite)
        return d;
    Sprite lower = d.sprites.front();
    lower.frame = 1;
    lower.y = 0x30;
    d.sprites.append(lower);
    return d;
}

// Casino Night elevators start subtype x 4 pixels up (down when X-flipped). No flips.
Drawn elevator(const Context &c) {
    Drawn d = upright(c);
    for (Sprite &s : d.sprites)
        s.y = c.xFlip ? 4 * c.s : -4 * c.s;
    return d;
}

// Objects whose frame is subtype bits 6-4. No flips.
Drawn frameByHighBits(const Context &c) {
    const Value priority = c.scan.value(Op::Priority);
    return priority ? fixed(c, 1, 1, c.s >> 4 & 7, int(*priority), false, false) : marker();
}

// Buttons sit 4 pixels lower than placed. No flips.
Drawn button(const Context &c) {
    Drawn d = upright(c);
    for (Sprite &s : d.sprites)
        s.y = 4;
    return d;
}

// Sliding spike blocks: the frame from a 4-byte entry per subtype bits 6-4.
Drawn slidingSpikes(const Context &c) {
    const auto frame = tableByte(c, c.s >> 4 & 7, 4, 2);
    return frame ? fixed(c, 1, 1, *frame, 4, c.xFlip, c.yFlip) : marker();
}

// Grounder (the second id, which starts out of its wall): the loader's entry, its Y flip
// dropped by the init.
Drawn grounder(const Context &c) {
    Drawn d = loaded(c, 0, Flips::Loaded);
    for (Sprite &s : d.sprites)
        s.yFlip = false;
    return d;
}

// Bridges: the logs the init lays out in two child objects of sub-sprites (8 logs, then the
// rest), 16 pixels apart from subtype / 2 logs left of the record, frame 0 and no flips; the
// children set no priority (0). Hidden Palace has its own mappings and art.
Drawn bridge(const Context &c) {
    constexpr int kLogWidth = 16;
    constexpr int kFirstChild = 8;
    const int n = c.rules.zone() == kHiddenPalace ? 2 : 1;
    Drawn d = fixed(c, n, n, 0, 0, false, false);
    if (d.look != Look::Sprite)
        return d;
    const Sprite log = d.sprites.front();
    d.sprites.clear();
    const int left = -(c.s >> 1) * kLogWidth;
    for (int i = 0; i < std::max(kFirstChild, c.s); ++i) {
        Sprite s = log;
        s.x = left + i * kLogWidth;
        d.sprites.append(s);
    }
    return d;
}

// Mystic Cave's drawbridges start raised: the 8 logs of the child the init makes, 16 pixels
// apart going up from the record (down when Y-flipped), frame 1, no flips, priority 0 (the
// child sets none). The object itself shows an empty frame.
Drawn drawbridge(const Context &c) {
    constexpr int kLogs = 8;
    constexpr int kStep = 16;
    Drawn d = fixed(c, 1, 1, 1, 0, false, false);
    if (d.look != Look::Sprite)
        return d;
    const Sprite log = d.sprites.front();
    d.sprites.clear();
    for (int k = 1; k <= kLogs; ++k) {
        Sprite s = log;
        s.y = c.yFlip ? k * kStep : -k * kStep;
        d.sprites.append(s);
    }
    return d;
}

// Twin stompers: frame = subtype bits 6-4, the record's flips.
Drawn twinStomper(const Context &c) {
    return fixed(c, 1, 1, c.s >> 4 & 7, 4, c.xFlip, c.yFlip);
}

// Mystic Cave's gate bridges run animation 0 first; the init sets no priority (0).
Drawn gateBridge(const Context &c) {
    return animated(c, 1, 0, 0);
}

// The jet a Balkiry or Turtloid makes with its init's closing branch: the loader's entry for
// the subtype the maker gives it (stored through a1), at the first frame of the script the init
// hands it, without flips, at the maker's position.
std::optional<Sprite> jet(const Context &c, std::optional<qint64> script) {
    const auto maker = c.scan.first(Op::Branch);
    if (!maker || !script)
        return std::nullopt;
    const Value type = scanRoutine(c.rules.image(), *maker).value(Op::Subtype, 1);
    const auto e = type ? loaderEntry(c, int(*type)) : std::nullopt;
    const auto frame = scriptFrame(c, *script, 0);
    if (!e || !frame)
        return std::nullopt;
    const Drawn d = one(c, e->mappings, *frame, e->art, e->priority, (e->render & 1) != 0,
                        (e->render & 2) != 0);
    return d.look == Look::Sprite ? std::optional<Sprite>(d.sprites.front()) : std::nullopt;
}

// Balkiry: the loader's entry at the init's frame, its Y flip cleared (it only chose the speed),
// then its jet (the script named by the init's lea into a1).
Drawn balkiry(const Context &c) {
    const Value frame = c.scan.value(Op::Frame);
    Drawn d = loaded(c, frame ? int(*frame) : 0, Flips::Loaded);
    const auto j = jet(c, leaA1(c));
    if (d.look != Look::Sprite || !j)
        return marker();
    d.sprites.front().yFlip = false;
    d.sprites.append(*j);
    return d;
}

// Turtloid: its rider, made by the init's second bsr.w with a subtype and frame of its own
// (stored through a1), 4 pixels right and $18 up, in front; the turtle (frame 0); then its jet
// (the script named by the init's lea into a1).
Drawn turtloid(const Context &c) {
    constexpr int kRiderX = 4;
    constexpr int kRiderY = -0x18;
    Drawn d = loaded(c, 0, Flips::Loaded);
    const rom::ImageBytes in(c.rules.image());
    std::optional<qint64> maker;
    for (qint64 at = c.scan.routine0 + 4; !maker && at < c.scan.routine0 + 16; at += 2)
        if (in.word(at) == 0x6100u)
            if (const auto displacement = in.signedWord(at + 2))
                maker = at + 2 + *displacement;
    const auto j = jet(c, leaA1(c));
    if (d.look != Look::Sprite || !maker || !j)
        return marker();
    const InitScan made = scanRoutine(c.rules.image(), *maker);
    const Value type = made.value(Op::Subtype, 1);
    const Value frame = made.value(Op::Frame, 1);
    const auto e = type ? loaderEntry(c, int(*type)) : std::nullopt;
    if (!e || !frame)
        return marker();
    const Drawn rider = one(c, e->mappings, int(*frame), e->art, e->priority, (e->render & 1) != 0,
                            (e->render & 2) != 0);
    if (rider.look != Look::Sprite)
        return marker();
    Sprite r = rider.sprites.front();
    r.x = kRiderX;
    r.y = kRiderY;
    d.sprites.prepend(r);
    d.sprites.append(*j);
    return d;
}

// Badniks shown at the frame their init sets after the loader, with the loader's flips.
Drawn loadedAtInitFrame(const Context &c) {
    const Value frame = c.scan.value(Op::Frame);
    return loaded(c, frame ? int(*frame) : 0, Flips::Loaded);
}

// Propellers: the init starts animation 4.
Drawn propeller(const Context &c) {
    const auto frame = firstAnimationFrame(c, 4);
    return frame ? loaded(c, *frame & 0x7F, Flips::Animated) : marker();
}

// Crawlton: the head (the loader's entry, frame 0), then the seven segments of the multi-sprite
// child it makes (frame 2, at the head's place, its flips), shown at priority 5.
Drawn crawlton(const Context &c) {
    constexpr int kSegments = 7;
    Drawn d = loaded(c, 0, Flips::Loaded);
    if (d.look != Look::Sprite)
        return d;
    Sprite segment = d.sprites.front();
    segment.frame = 2;
    for (int i = 0; i < kSegments; ++i)
        d.sprites.append(segment);
    return d;
}

// Coconuts: turned to face the player, who starts to its left: never X-flipped.
Drawn coconuts(const Context &c) {
    Drawn d = loaded(c, 0, Flips::Loaded);
    for (Sprite &s : d.sprites)
        s.xFlip = false;
    return d;
}

// Giant cogs: eight teeth, the record the first, each at the (dx, dy, frame) bytes the init reads
// from the table its lea (table).l,a2 names, around the record's position; the constants are
// stored through a1 (the init's first a1 is the record itself). No flips.
Drawn giantCog(const Context &c) {
    constexpr int kTeeth = 8;
    const auto table = absoluteLea(c, 0x45F9);
    const Value priority = c.scan.value(Op::Priority, 1);
    if (!table || !priority)
        return marker();
    Drawn d = one(c, c.scan.value(Op::Mappings, 1), 0, c.scan.value(Op::Art, 1), int(*priority),
                  false, false);
    if (d.look != Look::Sprite)
        return d;
    const rom::ImageBytes in(c.rules.image());
    const Sprite tooth = d.sprites.front();
    d.sprites.clear();
    for (int i = 0; i < kTeeth; ++i) {
        const auto dx = in.byte(*table + 3LL * i);
        const auto dy = in.byte(*table + 3LL * i + 1);
        const auto frame = in.byte(*table + 3LL * i + 2);
        if (!dx || !dy || !frame)
            return marker();
        Sprite s = tooth;
        s.x = signedByte(*dx);
        s.y = signedByte(*dy);
        s.frame = int(*frame);
        d.sprites.append(s);
    }
    return d;
}

// Pull springs, multi-sprite objects shown at priority 4 without flips: the spring (frame 1),
// then the plunger (frame 2), $20 pixels down for the upright kind (subtype 0: M1, A1) and at
// the same place for the diagonal kind (M2, A2).
Drawn pullSpring(const Context &c) {
    const int n = c.s == 0 ? 1 : 2;
    Drawn d = fixed(c, n, n, 1, 4, false, false);
    if (d.look != Look::Sprite)
        return d;
    Sprite plunger = d.sprites.front();
    plunger.frame = 2;
    plunger.y = c.s == 0 ? 0x20 : 0;
    d.sprites.append(plunger);
    return d;
}

// See-saws: frame 0, or frame 2 when X-flipped, the record's flips; subtype 0 also makes the
// ball (M2, A2, frame 0), resting on the low end, $28 pixels right (left when X-flipped) and 8
// down, facing right as the player starts to its left. (The ball's palette line flashes with
// the frame counter; drawn as the init sets it.)
Drawn seesaw(const Context &c) {
    constexpr int kBallX = 0x28;
    constexpr int kBallY = 8;
    const Value priority = c.scan.value(Op::Priority);
    if (!priority)
        return marker();
    Drawn d = fixed(c, 1, 1, c.xFlip ? 2 : 0, int(*priority), c.xFlip, c.yFlip);
    if (d.look != Look::Sprite || c.s != 0)
        return d;
    const Drawn ball = fixed(c, 2, 2, 0, int(*priority), false, false);
    if (ball.look != Look::Sprite)
        return marker();
    Sprite b = ball.sprites.front();
    b.x = c.xFlip ? -kBallX : kBallX;
    b.y = kBallY;
    d.sprites.append(b);
    return d;
}

// Signposts: the init removes them from second acts, but for Metropolis's. Where one stays, it
// is drawn with the init's second constants (the first are the two-player game's).
Drawn signpostUnlessRemoved(const Context &c) {
    const bool stays = c.rules.act() == 0 || (c.rules.zone() == kMetropolis && c.rules.act() == 1);
    return stays ? signpost(c, 2) : hidden();
}

// Pulley platforms: subtypes $80 and up place a group, entry s & $7F of the table the init's
// lea (table).l,a2 names (words: count - 1, then dx, dy and subtype per platform). The record
// becomes the first platform; the others are new objects, without its flips. Frame 0. (Each
// moves a pixel toward its path's next point before it is first shown: drawn where placed.)
Drawn pulleyPlatforms(const Context &c) {
    constexpr int kMaxPlatforms = 16;
    Drawn d = plain(c, 0);
    if (c.s < 0x80 || d.look != Look::Sprite)
        return d;
    const auto table = absoluteLea(c, 0x45F9);
    if (!table)
        return marker();
    const rom::ImageBytes in(c.rules.image());
    const auto offset = in.signedWord(*table + 2LL * (c.s & 0x7F));
    const qint64 list = offset ? *table + *offset : -1;
    const auto last = in.word(list);
    if (!last || *last >= kMaxPlatforms)
        return marker();
    const Sprite record = d.sprites.front();
    d.sprites.clear();
    for (int i = 0; i <= int(*last); ++i) {
        const auto dx = in.signedWord(list + 2 + 6LL * i);
        const auto dy = in.signedWord(list + 4 + 6LL * i);
        if (!dx || !dy)
            return marker();
        Sprite s = record;
        s.x = *dx;
        s.y = *dy;
        s.xFlip = s.xFlip && i == 0;
        s.yFlip = s.yFlip && i == 0;
        d.sprites.append(s);
    }
    return d;
}

// Casino Night flashing blocks: frame 0, placed by frame 0's (dx, dy) in the table the init's
// lea d8(pc,d0.w),a1 reads, dx mirrored when X-flipped; the record's flips.
Drawn flashingBlock(const Context &c) {
    const auto table = indexedLea(c, ScanBytes);
    Drawn d = plain(c, 0);
    if (!table || d.look != Look::Sprite)
        return marker();
    const rom::ImageBytes in(c.rules.image());
    const auto dx = in.byte(*table);
    const auto dy = in.byte(*table + 1);
    if (!dx || !dy)
        return marker();
    Sprite &s = d.sprites.front();
    s.x = c.xFlip ? -signedByte(*dx) : signedByte(*dx);
    s.y = signedByte(*dy);
    return d;
}

// Sol: the body (frame 0, the record's flips), then the four fireballs it makes (their frame
// stored through a1), orbiting 16 pixels away at angles 0, $40, $80 and $C0: right, below, left
// and above. The fireballs are new objects: no flips.
Drawn sol(const Context &c) {
    constexpr int kRadius = 16;
    static const int kOrbit[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    Drawn d = plain(c, 0);
    const Value frame = c.scan.value(Op::Frame, 1);
    if (d.look != Look::Sprite || !frame)
        return marker();
    for (const int *o : kOrbit) {
        Sprite f = d.sprites.front();
        f.frame = int(*frame);
        f.xFlip = f.yFlip = false;
        f.x = o[0] * kRadius;
        f.y = o[1] * kRadius;
        d.sprites.append(f);
    }
    return d;
}

// Objects whose init loads the entry it names itself (not the subtype's) through the loader's
// second entry point: move.w #entry,d0 or moveq #0,d0 and move.b #entry,d0, then the bsr.w.
// Frame 0, the loader's flips (speed launchers; wall cannons, which wait closed).
Drawn namedEntry(const Context &c) {
    const rom::ImageBytes in(c.rules.image());
    const qint64 at = c.scan.routine0;
    std::optional<LoaderEntry> e;
    if (in.word(at) == 0x303Cu)
        e = loaderEntry(c, int(*in.word(at + 2)), at + 4);
    else if (in.word(at) == 0x7000u && in.word(at + 2) == 0x103Cu && in.byte(at + 4) == 0u)
        e = loaderEntry(c, int(*in.byte(at + 5)), at + 6);
    if (!e)
        return marker();
    return one(c, e->mappings, 0, e->art, e->priority, c.xFlip || (e->render & 1) != 0,
               c.yFlip || (e->render & 2) != 0);
}

// Chemical Plant blue balls: subtype bits 3-0 + 1 balls, the record the first, all waiting at its
// position until they jump; their constants are stored through a1. Frame 0, no flips.
Drawn blueBalls(const Context &c) {
    const Value priority = c.scan.value(Op::Priority, 1);
    if (!priority)
        return marker();
    Drawn d = one(c, c.scan.value(Op::Mappings, 1), 0, c.scan.value(Op::Art, 1), int(*priority),
                  false, false);
    for (int i = 0; d.look == Look::Sprite && i < (c.s & 0xF); ++i)
        d.sprites.append(d.sprites.front());
    return d;
}

// Oil Ocean launch blocks: upright (subtype 0: A1, frame 0) or sideways (A2, the init's frame).
// No flips.
Drawn launchBlock(const Context &c) {
    const Value frame = c.scan.value(Op::Frame);
    const Value priority = c.scan.value(Op::Priority);
    if (!priority || (c.s != 0 && !frame))
        return marker();
    return fixed(c, 1, c.s != 0 ? 2 : 1, c.s != 0 ? int(*frame) : 0, int(*priority), false, false);
}

// Platforms that slide to and fro in pairs (Chemical Plant; Mystic Cave has its own mappings and
// art): entry s of the table the init's lea d8(pc,dN.w),a2 reads holds the number of platforms -
// 1, a byte the map does not need, and the X offsets of the record's platform and of the last
// new one (which is the record's own when there is no other). Frame 0, priority 4, no flips.
Drawn slidingPlatforms(const Context &c) {
    constexpr int kMaxPlatforms = 8;
    const rom::ImageBytes in(c.rules.image());
    std::optional<qint64> table;
    for (qint64 at = c.scan.routine0; !table && at < c.scan.routine0 + ScanBytes; at += 2) {
        const auto opcode = in.word(at);
        const auto index = in.word(at + 2);
        if (!opcode || !index)
            break;
        if (*opcode == 0x45FB) // lea d8(pc,xn),a2
            table = at + 2 + static_cast<qint8>(*index & 0xFF);
    }
    const int n = c.rules.zone() == kMysticCave ? 2 : 1;
    Drawn d = fixed(c, n, n, 0, 4, false, false);
    const auto last = table ? in.byte(*table + c.s) : std::nullopt;
    const auto own = table ? in.signedWord(*table + c.s + 2) : std::nullopt;
    const auto other = table ? in.signedWord(*table + c.s + 4) : std::nullopt;
    if (d.look != Look::Sprite || !last || !own || !other || *last >= kMaxPlatforms)
        return marker();
    Sprite &record = d.sprites.front();
    record.x = *own + (*last == 0 ? *other : 0);
    for (int i = 1; i <= int(*last); ++i) {
        Sprite s = d.sprites.front();
        s.x = i == int(*last) ? *other : 0;
        d.sprites.append(s);
    }
    return d;
}

// Platforms that move once walked off: Metropolis's (M1, A1, the first frame store) and Mystic
// Cave's crates (M2, A2, the second); subtype $18 crates also make two more, $40 right and left
// and $40 down, new objects without flips. The record's own keeps its flips.
Drawn walkOffPlatform(const Context &c) {
    constexpr int kApart = 0x40;
    const int n = c.rules.zone() == kMysticCave ? 2 : 1;
    const Value frame = c.scan.value(Op::Frame, 0, n);
    if (!frame)
        return marker();
    Drawn d = fixed(c, n, n, int(*frame), 4, c.xFlip, c.yFlip);
    if (d.look != Look::Sprite || n != 2 || c.s != 0x18)
        return d;
    for (int dx : {kApart, -kApart}) {
        Sprite s = d.sprites.front();
        s.x = dx;
        s.y = kApart;
        s.xFlip = s.yFlip = false;
        d.sprites.append(s);
    }
    return d;
}

// Objects whose picture at level start depends on what the map does not know: they keep their
// marker. Hidden Palace waterfalls stop at the zone's water level (a table of the level loader);
// Aquatic Ruin's rotating platforms hang at thirds of a turn, placed by the game's sine table.
Drawn notModelled(const Context &) {
    return marker();
}

// Objects that show an empty frame until used (the spin tube's entrance flashes only while the
// player goes in): nothing to draw.
Drawn emptyUntilUsed(const Context &) {
    return hidden();
}

} // namespace

const std::vector<IdRule> &sonic2Rules() {
    static const std::vector<IdRule> kRules = {
        {2, 0x1F, collapsingPlatform},
        {2, 0x18, floatingPlatform},
        {2, 0x6B, immobilePlatform},
        {2, 0x19, movingPlatform},
        {2, 0x31, nullptr}, // lava marker: an invisible hurting area
        {2, 0x3F, fan},
        {2, 0x2D, barrier},
        {2, 0x91, loadedBadnik},   // Chop Chop
        {2, 0xA3, loadedBadnik},   // Flasher
        {2, 0x8C, animatedBadnik}, // Whisp
        {2, 0xA1, animatedBadnik}, // Slicer
        {2, 0x92, spiker},
        {2, 0x99, animatedBadnik}, // Nebula
        {2, 0xB4, animatedBadnik}, // propeller
        {2, 0x71, stakeAndOrb},
        {2, 0x32, breakableRock},
        {2, 0x6E, circlingPlatform},
        {2, 0x80, vine},
        {2, 0x86, flipper},
        {2, 0x79, animatedFirst}, // checkpoint
        {2, 0x66, nullptr},       // spring wall: an invisible solid wall
        {2, 0x84, nullptr},       // pinball mode switch: an invisible trigger
        {2, 0x2C, nullptr},       // leaves: an invisible trigger that scatters leaves
        {2, 0x2F, smashableGround},
        {2, 0x48, launchSphere},
        {2, 0x40, animatedFirst}, // pressure spring
        {2, 0x4A, animatedFirst}, // Octus: faces the player, who starts to its left
        {2, 0xD6, animatedFirst}, // pokey
        {2, 0x69, upright},       // nut
        {2, 0x6D, plainFirst},    // floor spike
        {2, 0x22, animatedFirst}, // arrow shooter
        {2, 0x4B, buzzer},
        {2, 0xD4, bigBlock},
        {2, 0x68, spikeBlock},
        {2, 0x5C, animatedFirst}, // Masher
        {2, 0x1B, plainFirst},    // speed booster: the frame follows the frame counter, 0 at start
        {2, 0x24, bubbles},
        {2, 0x50, aquis},
        {2, 0x33, upright}, // green platform: its flame shows only once it rises
        {2, 0x75, brick},
        {2, 0x0B, plainFirst}, // tipping pipe
        {2, 0x42, steamSpring},
        {2, 0x49, upright}, // waterfall
        {2, 0xD7, upright}, // hexagonal bumper
        {2, 0x23, fallingPillar},
        {2, 0xD5, elevator},
        {2, 0x82, frameByHighBits}, // swinging platform
        {2, 0x16, plainFirst},      // diagonal lift
        {2, 0x47, button},
        {2, 0x76, slidingSpikes},
        {2, 0x2A, plainFirst}, // stomper
        {2, 0x8E, grounder},
        {2, 0x06, nullptr}, // spiral and cylinder: they only move the player
        {2, 0x11, bridge},
        {2, 0x8B, nullptr},        // palette cycler: only changes colours
        {2, 0x1E, nullptr},        // Chemical Plant spin tube: only moves the player
        {2, 0x72, nullptr},        // Casino Night conveyor: only moves the player
        {2, 0x67, emptyUntilUsed}, // spin tube
        {2, 0x81, drawbridge},
        {2, 0x2B, plainFirst}, // rising pillar
        {2, 0x7F, upright},    // vine switch
        {2, 0x7B, plainFirst}, // warp pipe exit spring
        {2, 0x64, twinStomper},
        {2, 0x77, gateBridge},
        {2, 0xAC, balkiry},
        {2, 0x9D, coconuts},
        {2, 0x70, giantCog},
        {2, 0x85, pullSpring},
        {2, 0x14, seesaw},
        {2, 0x0D, signpostUnlessRemoved},
        {2, 0x6C, pulleyPlatforms},
        {2, 0xD2, flashingBlock},
        {2, 0x95, sol},
        {2, 0x12, upright}, // Hidden Palace emerald
        {2, 0x13, notModelled},
        {2, 0x83, notModelled},
        {2, 0x9A, turtloid},
        {2, 0x9E, crawlton},
        {2, 0xA5, animatedBadnik},    // Spiny
        {2, 0x9F, animatedBadnik},    // Shellcracker
        {2, 0xC8, animatedBadnik},    // Crawl
        {2, 0xAD, loadedAtInitFrame}, // Clucker's base
        {2, 0xAE, loadedAtInitFrame}, // Clucker
        {2, 0xB5, propeller},
        {2, 0xC0, namedEntry}, // speed launcher
        {2, 0x3D, launchBlock},
        {2, 0x7A, slidingPlatforms},
        {2, 0xBE, namedEntry}, // wall cannon
        {2, 0x1D, blueBalls},
        {2, 0x6A, walkOffPlatform},
        {2, 0x30, nullptr}, // rising lava: an invisible solid (the lava is the level's picture)
    };
    return kRules;
}

} // namespace sprites::rules
