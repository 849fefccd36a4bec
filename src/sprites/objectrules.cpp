#include "sprites/objectrules.h"

#include "art/nemesis.h"
#include "map/terraintables.h"
#include "rom/imagebytes.h"
#include "sprites/ruletools.h"

#include <algorithm>

namespace sprites {

namespace {

using namespace rules;

// --- Sonic 1 -----------------------------------------------------------------------------------

// A group of n + 1 rings from one record, spaced by a pair from the spacing table.
Drawn sonic1Rings(const Context &c) {
    const Value priority = c.scan.value(Op::Priority, 1);
    Drawn d = one(c, c.scan.value(Op::Mappings, 1), 0, c.scan.value(Op::Art, 1),
                  priority ? int(*priority) : 0, false, false);
    const auto spacing = c.scan.table(0x1A3B); // move.b d8(pc,d0.w),d5
    if (d.look != Look::Sprite || !priority || !spacing)
        return marker();
    const rom::ImageBytes in(c.rules.image());
    const qint64 pair = *spacing + 2LL * (c.s >> 4);
    const auto dx = in.byte(pair);
    const auto dy = in.byte(pair + 1);
    if (!dx || !dy)
        return marker();
    int n = c.s & 7;
    if (n == 7)
        n = 6;
    const Sprite ring = d.sprites.front();
    for (int i = 1; i <= n; ++i) {
        Sprite next = ring;
        next.x = i * static_cast<qint8>(*dx);
        next.y = i * static_cast<qint8>(*dy);
        d.sprites.append(next);
    }
    return d;
}

Drawn sonic1FloatingBlock(const Context &c) {
    // REV01's init deletes the copy of one block that stands anywhere but its intended place.
    if (c.rules.tables().deletesStrayBlock && c.s == 0x37 && c.record.x != 0x1BB8)
        return hidden();
    const int art = c.rules.zone() == map::sonic1::Lz ? 2 : 1;
    return one(c, c.scan.value(Op::Mappings), c.s >> 4 & 7, c.scan.value(Op::Art, 0, art), 3, false,
               false);
}

Drawn sonic1Monitor(const Context &c) {
    return plain(c, c.s >= 1 && c.s <= 8 ? c.s + 2 : 0); // the icon, not the static
}

Drawn sonic1Spikes(const Context &c) {
    return c.s >> 4 <= 5 ? plain(c, c.s >> 4) : marker();
}

Drawn sonic1Spring(const Context &c) {
    const bool sideways = (c.s & 0x10) != 0;
    Value art = c.scan.value(Op::Art, 0, sideways ? 2 : 1);
    if (art && (c.s & 2) != 0)
        *art += 0x2000; // yellow: palette line 1
    return one(c, c.scan.value(Op::Mappings), sideways ? 3 : 0, art, 4, c.xFlip, c.yFlip);
}

// Only the Ending places animals; its init picks mappings and art per subtype and faces left.
Drawn sonic1Animal(const Context &c) {
    if (c.rules.zone() != map::sonic1::Ending || c.s < 0x0A || c.s > 0x14)
        return marker();
    const auto arts = c.scan.table(0x317B, 2);     // move.w d8(pc,d0.w),2(a0)
    const auto mappings = c.scan.table(0x217B, 4); // move.l d8(pc,d0.w),4(a0)
    if (!arts || !mappings)
        return marker();
    const rom::ImageBytes in(c.rules.image());
    const int i = c.s - 0x0A;
    const auto map = in.longword(*mappings + 4LL * i);
    const auto art = in.word(*arts + 2LL * i);
    return one(c, map, 0, art, 6, true, false);
}

Drawn sonic1Brick(const Context &c) {
    const Value priority = c.scan.value(Op::Priority);
    if (!priority)
        return marker();
    return one(c, c.scan.value(Op::Mappings), 0, c.scan.value(Op::Art), int(*priority), false,
               false);
}

Drawn sonic1Bomb(const Context &c) {
    return c.s == 0 ? plain(c, 5) : marker(); // other subtypes are its fuse and shrapnel
}

Drawn sonic1Platform(const Context &c) {
    const int zone = c.rules.zone();
    const int table = zone == 4 ? 2 : zone == 3 ? 3 : 1; // Spring Yard, Star Light, the rest
    const int frame = c.s == 0x0A && zone != 3 ? 1 : 0;  // Star Light forces subtype 3
    return one(c, c.scan.value(Op::Mappings, 0, table), frame, c.scan.value(Op::Art), 4, false,
               false);
}

// --- Sonic 2 -----------------------------------------------------------------------------------

Drawn sonic2Monitor(const Context &c) {
    return plain(c, c.s >= 1 && c.s <= 9 ? c.s + 1 : 0);
}

Drawn sonic2Spikes(const Context &c) {
    const int f = c.s >> 4;
    if (f > 7)
        return marker();
    return one(c, c.scan.value(Op::Mappings), f, c.scan.value(Op::Art, 0, f <= 3 ? 1 : 2), 4,
               c.xFlip, c.yFlip);
}

// Shown after its first animation step: down and diagonal-down springs are the upward frames
// flipped vertically.
Drawn sonic2Spring(const Context &c) {
    struct Kind {
        int frame;
        int art;
        bool yAlways;
    };
    static const Kind kKinds[5] = {
        {0, 1, false}, {3, 2, false}, {0, 1, true}, {7, 3, false}, {7, 3, true}};
    const int type = c.s >> 4 & 7;
    if (type > 4)
        return marker();
    const Kind &k = kKinds[type];
    const bool yellow = (c.s & 2) != 0;
    Value art = c.scan.value(Op::Art, 0, k.art);
    if (art && yellow)
        *art += 0x2000;
    return one(c, c.scan.value(Op::Mappings, 0, yellow ? 2 : 1), k.frame, art, 4, c.xFlip,
               c.yFlip || k.yAlways);
}

// Scenery: an 8-byte entry per subtype in the table the init's first lea names.
Drawn sonic2Scenery(const Context &c) {
    const auto table = c.scan.first(Op::Lea);
    if (!table || c.s > 0x14)
        return marker();
    const rom::ImageBytes in(c.rules.image());
    const qint64 entry = *table + 8LL * c.s;
    const auto frame = in.byte(entry);
    const auto priority = in.byte(entry + 7);
    if (!frame || !priority)
        return marker();
    return one(c, in.longword(entry), int(*frame), in.word(entry + 4), int(*priority), c.xFlip,
               c.yFlip);
}

Drawn sonic2Bumper(const Context &c) {
    return plain(c, 0);
}

Drawn sonic2BonusBlock(const Context &c) {
    return plain(c, c.s >> 6 & 3);
}

// The long platform, and the cog it makes when bit 7 is set (the cog's constants are the ones
// stored through a1), or a lone cog.
Drawn sonic2LongPlatform(const Context &c) {
    const int f = c.s >> 4 & 7;
    Value cogMappings = c.scan.value(Op::Mappings, 1);
    Value cogArt = c.scan.value(Op::Art, 1);
    if (f == 2)
        return one(c, cogMappings, 0, cogArt, 4, c.xFlip, c.yFlip);
    if (f > 3)
        return marker();
    Drawn d = one(c, c.scan.value(Op::Mappings), f, c.scan.value(Op::Art), 4, c.xFlip, c.yFlip);
    if (d.look != Look::Sprite || (c.s & 0x80) == 0)
        return d;
    const Drawn cog = one(c, cogMappings, 0, cogArt, 4, !c.xFlip, false);
    if (cog.look != Look::Sprite)
        return marker();
    Sprite s = cog.sprites.front();
    s.x = c.xFlip ? -0x4C : -0x34;
    s.y = 0x14;
    d.sprites.append(s);
    return d;
}

Drawn generic(const Context &c);

// Objects whose init is a branch to the shared loader: a 10-byte entry per even subtype in the
// table the loader reads through.
Drawn sonic2SubObject(const Context &c, qint64 loader) {
    constexpr int kLastSubtype = 0xAC;
    const auto index = scanRoutine(c.rules.image(), loader).table(0x303B); // move.w ..,d0
    if (!index)
        return generic(c); // a branch to something else
    if ((c.s & 1) != 0 || c.s > kLastSubtype)
        return marker();
    const rom::ImageBytes in(c.rules.image());
    const auto offset = in.signedWord(*index + c.s);
    if (!offset)
        return marker();
    const qint64 entry = *index + *offset;
    const auto flags = in.byte(entry + 6);
    const auto priority = in.byte(entry + 7);
    if (!flags || !priority)
        return marker();
    return one(c, in.longword(entry), 0, in.word(entry + 4), int(*priority),
               c.xFlip || (*flags & 1) != 0, c.yFlip || (*flags & 2) != 0);
}

// --- Every other object --------------------------------------------------------------------------

// One mappings table and one art word stored through a0 in the object's own code (a short init
// is followed by the next object's): drawn with the init's frame and priority, and the record's
// flips.
Drawn generic(const Context &c) {
    const InitScan own = c.scan.ownCode();
    if (own.count(Op::Mappings) != 1 || own.count(Op::Art) != 1)
        return marker();
    const Value frame = own.value(Op::Frame);
    const Value priority = own.value(Op::Priority);
    return one(c, own.value(Op::Mappings), frame ? int(*frame) : 0, own.value(Op::Art),
               priority ? int(*priority) : 3, c.xFlip, c.yFlip);
}

const IdRule kRules[] = {
    {1, 0x25, sonic1Rings},      {1, 0x56, sonic1FloatingBlock},
    {1, 0x26, sonic1Monitor},    {1, 0x36, sonic1Spikes},
    {1, 0x41, sonic1Spring},     {1, 0x28, sonic1Animal},
    {1, 0x46, sonic1Brick},      {1, 0x5F, sonic1Bomb},
    {1, 0x18, sonic1Platform},   {1, 0x71, nullptr}, // invisible barrier
    {2, 0x03, nullptr},                              // path swapper
    {2, 0x26, sonic2Monitor},    {2, 0x36, sonic2Spikes},
    {2, 0x41, sonic2Spring},     {2, 0x1C, sonic2Scenery},
    {2, 0x44, sonic2Bumper},     {2, 0x74, nullptr}, // invisible solid block
    {2, 0xD8, sonic2BonusBlock}, {2, 0x65, sonic2LongPlatform},
    // Sonic 2's Asteron ($A4) and every other object whose init branches to the shared loader:
    // sonic2SubObject().
};

} // namespace

ImageCode::ImageCode(const QByteArray &image, const SpriteTables &tables)
    : m_image(image), m_tables(tables) {
    // Sonic 1 ids are 7 bits (the top bit of the type byte is a flag).
    const rom::ImageBytes in(image);
    const int ids = tables.game == 1 ? 0x80 : 0x100;
    for (int id = 1; id < ids && tables.objectIndex >= 0; ++id)
        if (const auto code = in.pointer(tables.objectIndex + 4LL * (id - 1)))
            m_codeStarts.append(*code);
    std::sort(m_codeStarts.begin(), m_codeStarts.end());
}

InitScan ImageCode::scan(int id) const {
    const auto i = static_cast<size_t>(id & 0xFF);
    QMutexLocker lock(&m_mutex);
    if (!m_scanned[i]) {
        m_scanned[i] = true;
        InitScan &s = m_scans[i];
        s = scanObject(m_image, m_tables.objectIndex, int(i));
        const auto next = std::upper_bound(m_codeStarts.cbegin(), m_codeStarts.cend(), s.code);
        if (s.code >= 0 && next != m_codeStarts.cend())
            s.end = *next;
    }
    return m_scans[i];
}

QByteArray ImageCode::art(qint64 source) const {
    constexpr qint64 kVideoBytes = 0x10000;
    QMutexLocker lock(&m_mutex);
    auto found = m_art.constFind(source);
    if (found == m_art.constEnd())
        found = m_art.insert(source, art::nemesis(m_image, source, kVideoBytes).bytes);
    return *found;
}

QByteArray ImageCode::once(const QByteArray &key, const std::function<QByteArray()> &build) const {
    {
        QMutexLocker lock(&m_mutex);
        const auto found = m_once.constFind(key);
        if (found != m_once.constEnd())
            return *found;
    }
    QByteArray built = build(); // may ask for art, which takes the lock
    QMutexLocker lock(&m_mutex);
    m_once.insert(key, built);
    return built;
}

ObjectRules::ObjectRules(std::shared_ptr<const ImageCode> code, int row) : m_code(std::move(code)) {
    const map::ZoneAct level = map::zoneAct(m_code->tables().game, row);
    m_zone = level.zone;
    m_act = level.act;
}

Drawn ObjectRules::lookOf(const RecordBytes &record) const {
    if (m_zone < 0)
        return marker();
    const bool sonic1 = game() == 1;
    const int id = sonic1 ? record.type & 0x7F : record.type;
    const InitScan s = m_code->scan(id);
    const Context c{*this,
                    s,
                    record,
                    (record.y & (sonic1 ? 0x4000 : 0x2000)) != 0,
                    (record.y & (sonic1 ? 0x8000 : 0x4000)) != 0,
                    record.subtype};
    for (const IdRule &r : kRules) {
        if (r.game != game() || r.id != id)
            continue;
        if (r.rule == nullptr)
            return hidden();
        return s.ok() ? r.rule(c) : marker();
    }
    if (const IdRule *r = gameRule(game(), id))
        return r->rule == nullptr ? hidden() : s.ok() ? r->rule(c) : marker();
    if (!s.ok())
        return marker();
    if (!sonic1)
        if (const auto loader = s.leadingBranch())
            return sonic2SubObject(c, *loader);
    return generic(c);
}

} // namespace sprites
