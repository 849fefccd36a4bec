#include "bytereader.h"
#include "fuzzchecks.h"

#include "demo/syntheticimage.h"
#include "edits/layoutstepcommand.h"
#include "levels/leveltables.h"

#include <QUndoStack>

#include <array>
#include <cstring>
#include <memory>

// How the input is read:
//   revision u8    which of the five revisions' synthetic image to start from
//   pokes    u8    up to 7 single bytes, each a u16 position in the layout area and its value
//   steps          until the input ends (at most 24), each an op u8 and its operands:
//     0 insert   row u8, count u8 (1-4), and per record X u16, Y u16, type u8, subtype u8
//     1 delete   row u8, count u8 (1-4), and per record its index u8 in the list
//     2 paste    row u8, count u8 (up to 63) and a seed u16: records spread over the level
//     3 undo

namespace fuzzcheck {

namespace {

constexpr rom::Revision kRevisions[] = {rom::Revision::Sonic1Rev0, rom::Revision::Sonic1Rev1,
                                        rom::Revision::Sonic2Rev0, rom::Revision::Sonic2Rev1,
                                        rom::Revision::Sonic2Rev2};

const QByteArray &baseImage(int index) {
    static std::array<QByteArray, 5> images;
    if (images[index].isEmpty())
        images[index] = synthetic::image(kRevisions[index]);
    return images[index];
}

struct Pool {
    qint64 at, end;
};

Pool poolOf(rom::Revision r) {
    if (rom::gameCode(r) == 2)
        return {0xE4282, 0xEC000};
    return {synthetic::freeBeforeTable(r), 0x71990};
}

layout::Record record(ByteReader &in) {
    const quint32 x = in.u16() & 0x7FFF, y = in.u16();
    return {quint8(x >> 8), quint8(x), quint8(y >> 8), quint8(y), in.u8(), in.u8()};
}

bool sameOutside(const QByteArray &before, const QByteArray &after, Pool pool) {
    const auto same = [&](qint64 from, qint64 to) {
        return std::memcmp(before.constData() + from, after.constData() + from, to - from) == 0;
    };
    return before.size() == after.size() && same(0, pool.at) && same(pool.end, after.size());
}

} // namespace

// Every list the table points at ends, behind a leading record, inside the area and apart from
// the others (the area refuses to read anything else), the listing follows the table, and
// nothing outside the area changed.
QString layoutInvariants(const QByteArray &before, const QByteArray &after, rom::Revision r) {
    const layout::LayoutArea area(after, r);
    if (!area.problem().isEmpty())
        return QStringLiteral("after a step: ") + area.problem();
    if (!imageAddresses(after, r))
        return QStringLiteral("the listing no longer follows the table");
    const Pool pool = poolOf(r);
    if (!sameOutside(before, after, pool))
        return QStringLiteral("bytes outside the layout area changed");
    for (const layout::LayoutArea::Span &list : area.objectLists())
        if (list.at < pool.at || list.end > pool.end)
            return QStringLiteral("a list outside the area");
    return QString();
}

QString layoutEdits(const std::uint8_t *data, std::size_t size) {
    ByteReader in(data, size);
    const int which = in.u8() % 5;
    const rom::Revision r = kRevisions[which];
    QByteArray image = baseImage(which);
    const Pool pool = poolOf(r);
    for (int pokes = in.u8() % 8; pokes > 0; --pokes) {
        const qint64 at = pool.at + in.u16() % (pool.end - pool.at);
        image[at] = char(in.u8());
    }
    const QByteArray start = image;
    const bool editable = layout::LayoutArea(image, r).problem().isEmpty();
    QUndoStack stack;
    const edits::RecordsSelected quiet = [](int, const QVector<qint64> &) {};
    for (int steps = 0; steps < 24 && !in.atEnd(); ++steps) {
        const int op = in.u8() % 4;
        if (op == 3) {
            stack.undo();
            continue;
        }
        const int row = in.u8() % LevelCount;
        const edits::LayoutEdit edit{image, r, row, QStringLiteral("Level"), {}, quiet};
        // Only the area: a copy of the whole image at every step would cost most of the run.
        const QByteArray before(image.constData() + pool.at, pool.end - pool.at);
        QString refusal;
        std::unique_ptr<edits::LayoutStepCommand> step;
        if (op == 0 || op == 2) {
            QVector<layout::Record> records;
            const int count = op == 0 ? in.u8() % 4 + 1 : in.u8() % 64;
            const quint32 seed = op == 2 ? in.u16() : 0;
            for (int i = 0; i < count; ++i)
                records.append(op == 0 ? record(in)
                                       : layout::Record{quint8((seed + i * 0x97) >> 8 & 0x7F),
                                                        quint8(seed + i * 0x97), 0x01, quint8(i),
                                                        quint8(seed), quint8(i)});
            step =
                edits::InsertRecordsCommand::make(QStringLiteral("Paste"), edit, records, &refusal);
        } else {
            const layout::LayoutArea area(image, r);
            const qint64 listAt = area.listStart(row);
            const int listed = int(area.records(row).size());
            QVector<qint64> offsets;
            for (int i = in.u8() % 4 + 1; i > 0; --i)
                offsets.append(listAt + 6 * (listed ? in.u8() % listed : 0));
            step = edits::DeleteRecordsCommand::make(edit, offsets, &refusal);
        }
        if (!step) {
            if (std::memcmp(image.constData() + pool.at, before.constData(), before.size()) != 0 ||
                !sameOutside(start, image, pool))
                return QStringLiteral("a refused step changed the image");
            if (!editable && refusal.isEmpty() && op == 0)
                return QStringLiteral("an unreadable area was edited without a reason");
            continue;
        }
        stack.push(step.release());
        const QString broken = layoutInvariants(start, image, r);
        if (!broken.isEmpty())
            return broken;
    }
    while (stack.canUndo())
        stack.undo();
    if (image != start)
        return QStringLiteral("undoing everything did not restore the image");
    return QString();
}

} // namespace fuzzcheck
