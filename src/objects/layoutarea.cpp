#include "objects/layoutarea.h"

#include "levels/leveltables.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace layout {

namespace {

const char kLeading[RecordSize] = {'\xFF', '\xFF', 0, 0, 0, 0};

// Where each revision keeps its layout area. The pool is every byte a list may ever occupy:
// from the free space before the table to the data that follows the free space after the lists.
struct Shape {
    qint64 poolAt, poolEnd;
    char filler;
    qint64 table;
    int objectWords, platformWords;
    qint64 ringTable;
    int ringWords;
};

bool shapeOf(rom::Revision revision, Shape &shape) {
    switch (revision) {
    case rom::Revision::Sonic1Rev0:
        shape = Shape{0x6AF64, 0x71990, '\xFF', 0x6B000, 56, 16, -1, 0};
        return true;
    case rom::Revision::Sonic1Rev1:
        shape = Shape{0x6AF24, 0x71990, '\xFF', 0x6B000, 56, 16, -1, 0};
        return true;
    case rom::Revision::Sonic2Rev0:
    case rom::Revision::Sonic2Rev1:
    case rom::Revision::Sonic2Rev2:
        shape = Shape{0xE4282, 0xEC000, '\0', 0xE6800, 34, 0, 0xE4300, 34};
        return true;
    case rom::Revision::None:
        break;
    }
    return false;
}

quint16 wordAt(const QByteArray &image, qint64 at) {
    return quint16(quint8(image[at]) << 8 | quint8(image[at + 1]));
}

void putWord(QByteArray &image, qint64 at, qint64 value) {
    image[at] = char(value >> 8);
    image[at + 1] = char(value);
}

QByteArray bytesOf(const QVector<Record> &records) {
    QByteArray out(records.size() * RecordSize, '\0');
    for (qsizetype i = 0; i < records.size(); ++i)
        std::memcpy(out.data() + i * RecordSize, records[i].data(), RecordSize);
    return out;
}

bool overlaps(qint64 a0, qint64 a1, qint64 b0, qint64 b1) {
    return a0 < b1 && b0 < a1;
}

} // namespace

quint16 xOf(const Record &r) {
    return quint16(r[0] << 8 | r[1]);
}

bool remembersState(int game, const Record &r) {
    return game == 1 ? (r[4] & 0x80) != 0 : (r[2] & 0x80) != 0;
}

bool twoPlayerRow(int game, int row) {
    return game == 2 && (row == 0 || row == 1 || row == 11 || row == 12);
}

QString contentRefusal(int game, int row, const QString &levelName, const QVector<Record> &before,
                       const QVector<Record> &after) {
    const auto remembered = [game](const QVector<Record> &list) {
        return std::count_if(list.begin(), list.end(),
                             [game](const Record &r) { return remembersState(game, r); });
    };
    const qint64 flagged = remembered(after);
    if (flagged > MaxRemembered && flagged > remembered(before))
        return QStringLiteral("%1 would have %2 objects that remember their state; the game holds "
                              "%3.")
            .arg(levelName)
            .arg(flagged)
            .arg(MaxRemembered);
    if (!twoPlayerRow(game, row))
        return QString();
    // Records with Y bit 12 load outside the column blocks and are not counted.
    const auto perColumn = [](const QVector<Record> &list) {
        QVector<int> counts(0x80, 0);
        for (const Record &r : list)
            if (xOf(r) < XLimit && !(r[2] & 0x10))
                ++counts[xOf(r) >> 8];
        return counts;
    };
    const QVector<int> was = perColumn(before), will = perColumn(after);
    for (int c = 0; c < will.size(); ++c)
        if (will[c] > MaxPerColumn && will[c] > was[c])
            return QStringLiteral("%1 would have %2 objects between X %3 and %4; the two-player "
                                  "game loads at most %5 in one 256-pixel column.")
                .arg(levelName)
                .arg(will[c])
                .arg(QString::number(c * 256, 16).toUpper().rightJustified(4, QLatin1Char('0')))
                .arg(QString::number(c * 256 + 255, 16)
                         .toUpper()
                         .rightJustified(4, QLatin1Char('0')))
                .arg(MaxPerColumn);
    return QString();
}

QVector<int> insertInOrder(QVector<Record> &list, const QVector<Record> &added) {
    QVector<int> order(added.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return xOf(added[a]) < xOf(added[b]); });
    QVector<int> landed(added.size(), -1);
    for (int i : order) {
        const quint16 x = xOf(added[i]);
        const auto greater =
            std::find_if(list.begin(), list.end(), [x](const Record &r) { return xOf(r) > x; });
        const int at = int(greater - list.begin());
        list.insert(at, added[i]);
        std::transform(landed.begin(), landed.end(), landed.begin(),
                       [at](int l) { return l >= at ? l + 1 : l; });
        landed[i] = at;
    }
    return landed;
}

// ---------------------------------------------------------------------------------------------
// Reading

LayoutArea::LayoutArea(QByteArray image, rom::Revision revision)
    : m_image(std::move(image)), m_revision(revision), m_game(rom::gameCode(revision)) {
    read();
}

bool LayoutArea::fail(const QString &why) {
    m_problem = why;
    m_items.clear();
    m_runs.clear();
    m_free.clear();
    return false;
}

void LayoutArea::read() {
    Shape shape{};
    if (!shapeOf(m_revision, shape)) {
        fail(QStringLiteral("This image is of no known game revision."));
        return;
    }
    m_filler = shape.filler;
    m_pool = {shape.poolAt, shape.poolEnd};
    if (m_image.size() < m_pool.end) {
        fail(QStringLiteral("This image ends inside its object layout area."));
        return;
    }
    // Lists may only move when the listing follows the image's own table.
    if (!imageAddresses(m_image, m_revision)) {
        fail(QStringLiteral("This image's own object layout table does not point at layouts the "
                            "game can walk, so objects cannot be added or removed here."));
        return;
    }
    const auto addWords = [this](qint64 table, qint64 first, int count, Kind kind) {
        for (int i = 0; i < count; ++i) {
            const qint64 pos = table + 2 * (first + i);
            m_words.append({pos, kind, table + qint16(wordAt(m_image, pos))});
        }
    };
    addWords(shape.table, 0, shape.objectWords, Kind::Objects);
    addWords(shape.table, shape.objectWords, shape.platformWords, Kind::Platforms);
    m_fixed.append(
        {shape.table, shape.table + 2 * qint64(shape.objectWords + shape.platformWords)});
    if (shape.ringTable >= 0) {
        addWords(shape.ringTable, 0, shape.ringWords, Kind::Rings);
        m_fixed.append({shape.ringTable, shape.ringTable + 2 * qint64(shape.ringWords)});
    }

    for (const Word &w : std::as_const(m_words)) {
        const bool known = std::any_of(m_items.begin(), m_items.end(), [&](const Item &i) {
            return i.kind == w.kind && i.target == w.target;
        });
        if (known)
            continue;
        const std::optional<Span> extent = itemExtent(w.kind, w.target);
        if (!extent) {
            fail(w.kind == Kind::Rings
                     ? QStringLiteral("The ring layout table points at no ring list.")
                     : QStringLiteral("The object layout table at %1 points at no list the game "
                                      "can walk.")
                           .arg(QString::number(w.pos, 16).toUpper()));
            return;
        }
        if (w.kind == Kind::Rings)
            m_fixed.append(*extent);
        else
            m_items.append({w.kind, w.target, *extent});
    }
    std::sort(m_items.begin(), m_items.end(),
              [](const Item &a, const Item &b) { return a.extent.at < b.extent.at; });
    const QString tangled = QStringLiteral("Lists of the object layout area overlap one another.");
    for (int i = 1; i < m_items.size(); ++i) {
        const Item &a = m_items[i - 1], &b = m_items[i];
        const bool shared = a.kind == Kind::Objects && b.kind == Kind::Objects &&
                            b.extent.at == a.extent.end - RecordSize;
        if (b.extent.at < a.extent.end && !shared) {
            fail(tangled);
            return;
        }
    }
    const bool onFixed = std::any_of(m_items.cbegin(), m_items.cend(), [this](const Item &item) {
        return std::any_of(m_fixed.cbegin(), m_fixed.cend(), [&item](const Span &f) {
            return overlaps(item.extent.at, item.extent.end, f.at, f.end);
        });
    });
    if (onFixed) {
        fail(tangled);
        return;
    }
    for (const Item &item : std::as_const(m_items)) {
        if (!m_runs.isEmpty() && item.extent.at <= m_runs.last().end)
            m_runs.last().end = std::max(m_runs.last().end, item.extent.end);
        else
            m_runs.append(item.extent);
    }

    // Free: the pool's filler bytes that nothing the tables reach holds, and end records that
    // close no list in the free space right behind a run (Sonic 2 leaves a few there).
    QVector<Span> taken = m_fixed + m_runs;
    std::sort(taken.begin(), taken.end(), [](const Span &a, const Span &b) { return a.at < b.at; });
    const char *bytes = m_image.constData();
    QVector<Span> dead;
    for (const Span &run : std::as_const(m_runs)) {
        qint64 p = run.end;
        const auto isTaken = [&taken](qint64 at) {
            return std::any_of(taken.cbegin(), taken.cend(), [at](const Span &t) {
                return overlaps(at, at + RecordSize, t.at, t.end);
            });
        };
        while (p < m_pool.end) {
            if (bytes[p] == m_filler) {
                ++p;
            } else if (p + RecordSize <= m_pool.end &&
                       std::memcmp(bytes + p, kLeading, RecordSize) == 0 && !isTaken(p)) {
                dead.append({p, p + RecordSize});
                p += RecordSize;
            } else {
                break;
            }
        }
    }
    const auto isDead = [&dead](qint64 p) {
        return std::any_of(dead.cbegin(), dead.cend(),
                           [p](const Span &d) { return d.at <= p && p < d.end; });
    };
    qint64 at = m_pool.at;
    const auto addFree = [&, bytes](qint64 from, qint64 to) {
        qint64 runAt = -1;
        for (qint64 p = from; p <= to; ++p) {
            const bool free = p < to && (bytes[p] == m_filler || isDead(p));
            if (free && runAt < 0)
                runAt = p;
            else if (!free && runAt >= 0) {
                m_free.append({runAt, p});
                runAt = -1;
            }
        }
    };
    for (const Span &s : std::as_const(taken)) {
        if (s.at > at)
            addFree(at, std::min(s.at, m_pool.end));
        at = std::max(at, s.end);
    }
    if (at < m_pool.end)
        addFree(at, m_pool.end);
}

std::optional<LayoutArea::Span> LayoutArea::itemExtent(Kind kind, qint64 target) const {
    switch (kind) {
    case Kind::Objects: {
        if (target - RecordSize < m_pool.at || target >= m_pool.end ||
            wordAt(m_image, target - RecordSize) != 0xFFFF)
            return std::nullopt;
        for (qint64 p = target; p + RecordSize <= m_pool.end; p += RecordSize)
            if (wordAt(m_image, p) == 0xFFFF)
                return Span{target - RecordSize, p + RecordSize};
        return std::nullopt;
    }
    case Kind::Platforms: {
        if (target < m_pool.at || target + 2 > m_pool.end)
            return std::nullopt;
        const qint64 end = target + 2 + RecordSize * (qint64(wordAt(m_image, target)) + 1);
        return end <= m_pool.end ? std::optional(Span{target, end}) : std::nullopt;
    }
    case Kind::Rings:
        if (target < 0)
            return std::nullopt;
        for (qint64 p = target; p + 2 <= m_image.size(); p += 4)
            if (wordAt(m_image, p) & 0x8000)
                return Span{target, p + 2};
        return std::nullopt;
    }
    return std::nullopt;
}

qint64 LayoutArea::freeBytes() const {
    return std::accumulate(m_free.cbegin(), m_free.cend(), qint64(0),
                           [](qint64 total, const Span &s) { return total + s.end - s.at; });
}

qint64 LayoutArea::listStart(int row) const {
    const qint64 entry = objectTableEntry(m_game, row);
    if (entry < 0 || entry + 2 > m_image.size())
        return -1;
    const qint64 at = objectTableAt(m_game) + qint16(wordAt(m_image, entry));
    return at >= 0 && at < m_image.size() ? at : -1;
}

qint64 LayoutArea::objectCount(qint64 target) const {
    qint64 n = 0;
    for (qint64 p = target; p + RecordSize <= m_image.size() && wordAt(m_image, p) != 0xFFFF;
         p += RecordSize)
        ++n;
    return n;
}

QVector<Record> LayoutArea::records(int row) const {
    const qint64 start = listStart(row);
    QVector<Record> out;
    if (start < 0)
        return out;
    const qint64 n = objectCount(start);
    out.resize(n);
    for (qint64 i = 0; i < n; ++i)
        std::memcpy(out[i].data(), m_image.constData() + start + i * RecordSize, RecordSize);
    return out;
}

QVector<LayoutArea::Span> LayoutArea::objectLists() const {
    QVector<Span> lists;
    for (const Item &i : m_items)
        if (i.kind == Kind::Objects)
            lists.append(i.extent);
    return lists;
}

int LayoutArea::runOf(qint64 at) const {
    for (int r = 0; r < m_runs.size(); ++r)
        if (m_runs[r].at <= at && at < m_runs[r].end)
            return r;
    return -1;
}

qint64 LayoutArea::tailRoom(int run) const {
    const qint64 end = m_runs[run].end;
    const auto tail =
        std::find_if(m_free.cbegin(), m_free.cend(), [end](const Span &s) { return s.at == end; });
    return tail == m_free.cend() ? 0 : tail->end - tail->at;
}

int LayoutArea::segmentFor(qint64 size, int run) const {
    int best = -1;
    for (int i = 0; i < m_free.size(); ++i) {
        const qint64 room = m_free[i].end - m_free[i].at;
        if (m_free[i].at == m_runs[run].end || room < size)
            continue;
        if (best < 0 || room < m_free[best].end - m_free[best].at)
            best = i; // the tightest fit keeps large stretches for large lists
    }
    return best;
}

// ---------------------------------------------------------------------------------------------
// Rewriting

namespace {

// The byte moves on one image: each works from a fresh reading of it.
struct Mover {
    QByteArray &image;
    qint64 table;

    void write(qint64 at, const QByteArray &bytes) {
        std::memcpy(image.data() + at, bytes.constData(), bytes.size());
    }
    void point(qint64 wordPos, qint64 target) { putWord(image, wordPos, target - table); }
};

} // namespace

std::optional<QByteArray> LayoutArea::withList(int row, const QVector<Record> &records,
                                               QString *refusal) const {
    const auto refuse = [refusal](const QString &why) {
        if (refusal)
            *refusal = why;
        return std::nullopt;
    };
    if (!m_problem.isEmpty())
        return refuse(m_problem);
    const qint64 entry = objectTableEntry(m_game, row);
    if (entry < 0)
        return refuse(QStringLiteral("There is no such level."));
    const qint64 start = listStart(row);
    const qint64 old = objectCount(start);
    const QByteArray content =
        bytesOf(records) + m_image.mid(start + old * RecordSize, RecordSize); // its own end
    const qint64 sharing = std::count_if(m_words.begin(), m_words.end(), [&](const Word &w) {
        return w.kind == Kind::Objects && w.target == start;
    });
    // Other entries keep an empty list they share with this row empty.
    const bool ownList = old == 0 && !records.isEmpty() && sharing > 1;
    const qint64 removed = ownList ? 0 : (old + 1) * RecordSize;
    const QString noRoom =
        QStringLiteral("There is no room left in this image for %1 more objects: %2 bytes are "
                       "free.")
            .arg(records.size() - (ownList ? 0 : old))
            .arg(freeBytes());
    if (content.size() - removed > freeBytes())
        return refuse(noRoom);

    QByteArray image = m_image;
    Mover mover{image, objectTableAt(m_game)};
    // Each pass either fits the list or moves one other list out of its way.
    for (int pass = 0; pass <= m_items.size(); ++pass) {
        const LayoutArea area(image, m_revision);
        if (!area.m_problem.isEmpty())
            return refuse(area.m_problem);
        const qint64 at = area.listStart(row);
        const int run = area.runOf(at);
        const Span span = area.m_runs.value(run);
        // Replaces `cut` bytes at `from` with `bytes`, moving the rest of the run along.
        const auto splice = [&](qint64 from, qint64 cut, const QByteArray &bytes) {
            const qint64 delta = bytes.size() - cut;
            std::memmove(image.data() + from + bytes.size(), image.constData() + from + cut,
                         span.end - from - cut);
            mover.write(from, bytes);
            if (delta < 0)
                std::fill(image.begin() + span.end + delta, image.begin() + span.end, m_filler);
            for (const Word &w : area.m_words)
                if (w.kind != Kind::Rings && w.target >= from + cut && w.target < span.end)
                    mover.point(w.pos, w.target + delta);
        };
        const auto repoint = [&](qint64 from, qint64 to) {
            for (const Word &w : area.m_words)
                if (w.kind != Kind::Rings && w.target == from)
                    mover.point(w.pos, to);
        };

        const qint64 listAt = ownList ? at + RecordSize : at;
        if (content.size() - removed <= area.tailRoom(run)) {
            splice(listAt, removed, content);
            if (ownList)
                mover.point(entry, listAt);
            return image;
        }
        // The list itself, behind a leading record of its own, into another free stretch.
        const int segment = area.segmentFor(content.size() + RecordSize, run);
        if (segment >= 0) {
            const qint64 place = area.m_free[segment].at;
            mover.write(place, QByteArray(kLeading, RecordSize) + content);
            if (ownList) {
                mover.point(entry, place + RecordSize);
            } else {
                repoint(at, place + RecordSize);
                splice(at, removed, {});
            }
            return image;
        }
        // Otherwise the largest other list of the run that fits elsewhere makes room.
        const Item *moving = nullptr;
        int movingTo = -1;
        for (const Item &item : area.m_items) {
            if (item.target == at || item.extent.at < span.at || item.extent.end > span.end)
                continue;
            const qint64 size = item.extent.end - item.target;
            const int to =
                area.segmentFor(size + (item.kind == Kind::Objects ? RecordSize : 0), run);
            if (to >= 0 && (!moving || size > moving->extent.end - moving->target)) {
                moving = &item;
                movingTo = to;
            }
        }
        if (!moving)
            return refuse(noRoom);
        const qint64 size = moving->extent.end - moving->target;
        const qint64 place = area.m_free[movingTo].at;
        const QByteArray bytes = image.mid(moving->target, size);
        if (moving->kind == Kind::Objects) {
            mover.write(place, QByteArray(kLeading, RecordSize) + bytes);
            repoint(moving->target, place + RecordSize);
        } else {
            mover.write(place, bytes);
            repoint(moving->target, place);
        }
        splice(moving->target, size, {});
    }
    return refuse(noRoom);
}

} // namespace layout
