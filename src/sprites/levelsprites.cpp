#include "sprites/levelsprites.h"

#include "map/levelterrain.h"
#include "rom/imagebytes.h"
#include "sprites/mappings.h"
#include "sprites/objectrules.h"
#include "sprites/spritevram.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <algorithm>
#include <functional>

namespace sprites {

namespace {

// A record's sprites larger than this on either side are taken for malformed data.
constexpr int kMaxSide = 1024;
constexpr int kMaxRingRecords = 4096;
constexpr int kRingSpacing = 24;
constexpr quint16 kRingArt = 0x26BC; // tile $6BC, palette line 1: the value the code adds

QVector<QRgb> colourTable(const std::array<QRgb, 64> &colours) {
    QVector<QRgb> table(colours.begin(), colours.end());
    table[0] = qRgba(0, 0, 0, 0); // index 0 = nothing drawn; no drawn pixel has value 0
    return table;
}

// All sprites of one record composed into one picture, the first sprite (and piece) in front.
Appearance compose(const QVector<Sprite> &sprites, int priority, const QByteArray &image,
                   const QByteArray &vram, const QVector<QRgb> &colours) {
    QVector<PlacedPiece> placed;
    QRect bounds;
    for (const Sprite &s : sprites) {
        const auto pieces = framePieces(image, s.mappings, s.frame, s.format);
        if (!pieces)
            return {};
        for (const PlacedPiece &p : placePieces(s, *pieces)) {
            placed.append(p);
            bounds |= p.area;
        }
    }
    Appearance a;
    if (bounds.width() > kMaxSide || bounds.height() > kMaxSide)
        return a; // data this far apart is not a sprite
    a.look = Look::Sprite;
    a.priority = priority;
    a.topLeft = bounds.topLeft();
    // A sprite with no pieces still is one: the record gets no marker, as in the game.
    a.indices =
        QImage(std::max(bounds.width(), 1), std::max(bounds.height(), 1), QImage::Format_Indexed8);
    a.indices.setColorTable(colours);
    a.indices.fill(0);
    const IndexCanvas canvas{a.indices.bits(), a.indices.bytesPerLine(),
                             QRect(bounds.topLeft(), a.indices.size())};
    for (auto p = placed.crbegin(); p != placed.crend(); ++p)
        paintPiece(*p, vram, canvas);
    a.picture = a.indices.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return a;
}

// The records already drawn, shared by the rows whose drawing depends on the same things.
struct DrawnCache {
    QMutex mutex;
    QHash<quint64, Appearance> looks;
};
using DrawnCaches = QHash<QByteArray, std::shared_ptr<DrawnCache>>;

class ImageSprites : public LevelSprites {
  public:
    ImageSprites(const std::shared_ptr<const ImageCode> &code, const map::TerrainTables &terrain,
                 int row, DrawnCaches *caches = nullptr)
        : m_rules(code, row), m_code(code) {
        const QByteArray &image = code->image();
        const SpriteTables &tables = code->tables();
        const map::LevelArt palette = map::levelArt(image, terrain, row, false);
        m_ok = palette.ok;
        m_colours = colourTable(palette.colours);
        // The art depends only on the cues and the level art (Sonic 2's, none when it does not
        // decode): rows and zones that load the same share one copy.
        m_cues = levelCues(image, terrain, tables, row);
        const QByteArray artKey = map::levelArtKey(image, terrain, row);
        m_levelArt = [code, terrain, row, artKey] {
            return code->tables().game == 2
                       ? code->once("art " + artKey,
                                    [&] { return map::levelArt(code->image(), terrain, row).art; })
                       : QByteArray();
        };
        QByteArray key = "vram " + artKey;
        for (int cue : m_cues)
            key += ' ' + QByteArray::number(cue);
        m_vramKey = key;
        m_vram = code->once(key, [&] { return spriteVram(*code, m_cues, m_levelArt()); });
        // A record's look depends on the zone's and act's rules, the art and the colours alone.
        const QByteArray drawnKey =
            QByteArray::number(m_rules.zone()) + '.' + QByteArray::number(m_rules.act()) + key +
            QByteArray(reinterpret_cast<const char *>(m_colours.constData()),
                       m_colours.size() * qsizetype(sizeof(QRgb)));
        if (caches) {
            auto &shared = (*caches)[drawnKey];
            if (!shared)
                shared = std::make_shared<DrawnCache>();
            m_cache = shared;
        } else {
            m_cache = std::make_shared<DrawnCache>();
        }
        if (m_ok && tables.game == 2)
            loadRings(*code, row);
    }

    Appearance record(const QByteArray &image, qint64 offset) const override {
        const rom::ImageBytes in(image);
        if (!m_ok || offset < 0 || !in.has(offset, 6))
            return {};
        const uchar *p = in.at(offset);
        RecordBytes r;
        r.x = static_cast<quint16>(p[0] << 8 | p[1]);
        r.y = static_cast<quint16>(p[2] << 8 | p[3]);
        r.type = p[4];
        r.subtype = p[5];
        const bool sonic1 = m_rules.game() == 1;
        // Only the floating block looks at X (to tell a stray copy), and conveyor platform makers
        // at X and Y (their platforms stand where a list says); flips are the Y word's top bits.
        const int id = r.type & 0x7F;
        const bool needsX =
            sonic1 && (id == 0x56 || ((id == 0x63 || id == 0x6F) && r.subtype >= 0x80));
        const quint64 key = quint64(needsX ? r.x : 0) << 32 |
                            quint64(r.y & (needsX ? 0xFFFF : 0xF000)) << 16 | quint64(r.type) << 8 |
                            r.subtype;
        Appearance a;
        {
            QMutexLocker lock(&m_cache->mutex);
            const auto found = m_cache->looks.constFind(key);
            if (found != m_cache->looks.constEnd()) {
                a = *found;
            } else {
                const Drawn d = m_rules.lookOf(r);
                const QByteArray vram = d.ownArtList ? ownArtVram(d) : m_vram;
                if (d.look == Look::Sprite && (!d.ownArtList || !vram.isNull()))
                    a = compose(d.sprites, d.priority, m_rules.image(), vram, m_colours);
                else if (d.look != Look::Sprite)
                    a.look = d.look;
                m_cache->looks.insert(key, a);
            }
        }
        a.topLeft += QPoint(r.x, r.y & 0x0FFF);
        return a;
    }

    QVector<Appearance> rings() const override { return m_rings; }
    QVector<RingRecord> ringRecords() const override { return m_ringRecords; }

  private:
    // The level's video memory with the list that writes the first sprite's art over it; null
    // when no list other than the level's own writes there.
    QByteArray ownArtVram(const Drawn &d) const {
        if (d.sprites.isEmpty())
            return {};
        const auto cue = ownArtCue(*m_code, qint64(d.sprites.front().art & 0x7FF) * 32, m_cues);
        if (!cue)
            return {};
        return m_code->once(m_vramKey + " + " + QByteArray::number(*cue), [&] {
            return spriteVram(*m_code, m_cues + QVector<int>{*cue}, m_levelArt());
        });
    }

    // The act's ring layout, each ring frame 0 of the ring mappings with the ring art word, both
    // read from the ring-drawing code.
    void loadRings(const ImageCode &code, int row) {
        const QByteArray &image = code.image();
        const SpriteTables &tables = code.tables();
        const rom::ImageBytes in(image);
        const map::ZoneAct level = map::zoneAct(2, row);
        const auto offset = in.word(tables.ringLayouts + 2LL * (2 * level.zone + level.act));
        if (!offset || tables.ringLayouts < 0)
            return;
        const qint64 list = tables.ringLayouts + *offset;
        for (int i = 0; i < kMaxRingRecords; ++i) {
            const auto x = in.word(list + 4LL * i);
            const auto y = in.word(list + 4LL * i + 2);
            if (!x || !y || (*x & 0x8000) != 0)
                break;
            m_ringRecords.append(
                {int(*x), int(*y & 0xFFF), int(*y >> 12 & 7) + 1, (*y & 0x8000) != 0});
        }
        // Found once per image.
        const QByteArray found = code.once(QByteArrayLiteral("ring mappings"), [&] {
            const auto at = ringMappings(image);
            return at ? QByteArray::number(*at) : QByteArray();
        });
        if (found.isEmpty())
            return;
        Sprite ring;
        ring.mappings = found.toLongLong();
        ring.format = MappingFormat::Ring;
        ring.art = kRingArt;
        const Appearance one = compose({ring}, 0, image, m_vram, m_colours);
        if (one.look != Look::Sprite)
            return;
        for (const RingRecord &r : m_ringRecords)
            for (int k = 0; k < r.count; ++k) {
                Appearance a = one;
                a.topLeft += r.vertical ? QPoint(r.x, r.y + kRingSpacing * k)
                                        : QPoint(r.x + kRingSpacing * k, r.y);
                m_rings.append(a);
            }
    }

    // The ring-drawing code's addi.w #art,d0 (the only one in the image) and the nearest
    // lea (mappings).l,a1 before it: the ring mappings.
    static std::optional<qint64> ringMappings(const QByteArray &image) {
        constexpr int kLeaWindow = 256;
        const rom::ImageBytes in(image);
        const QByteArray addi("\x06\x40\x26\xBC", 4); // addi.w #kRingArt,d0
        qint64 at = image.indexOf(addi);
        while (at >= 0 && (at & 1) != 0)
            at = image.indexOf(addi, at + 1);
        if (at < 0)
            return std::nullopt;
        for (qint64 lea = at - 6; lea >= std::max<qint64>(0, at - kLeaWindow); lea -= 2) {
            if (in.word(lea) == 0x43F9u)
                return *in.pointer(lea + 2);
        }
        return std::nullopt;
    }

    ObjectRules m_rules;
    std::shared_ptr<const ImageCode> m_code;
    QVector<int> m_cues;
    QByteArray m_vramKey;
    std::function<QByteArray()> m_levelArt; // Sonic 2's level art (none for Sonic 1)
    bool m_ok = false;
    QVector<QRgb> m_colours;
    QByteArray m_vram;
    QVector<Appearance> m_rings;
    QVector<RingRecord> m_ringRecords;
    std::shared_ptr<DrawnCache> m_cache;
};

} // namespace

std::shared_ptr<const LevelSprites> LevelSprites::load(const QByteArray &image,
                                                       rom::Revision revision, int row) {
    return load(image, map::terrainTables(revision), spriteTables(revision), row);
}

std::shared_ptr<const LevelSprites> LevelSprites::load(const QByteArray &image,
                                                       const map::TerrainTables &terrain,
                                                       const SpriteTables &tables, int row) {
    return std::make_shared<ImageSprites>(std::make_shared<const ImageCode>(image, tables), terrain,
                                          row);
}

QVector<std::shared_ptr<const LevelSprites>>
LevelSprites::loadAll(const QByteArray &image, const map::TerrainTables &terrain,
                      const SpriteTables &tables) {
    const auto code = std::make_shared<const ImageCode>(image, tables);
    QVector<std::shared_ptr<const LevelSprites>> rows;
    DrawnCaches caches;
    for (int row = 0; row < 21; ++row)
        rows.append(std::make_shared<ImageSprites>(code, terrain, row, &caches));
    return rows;
}

} // namespace sprites
