#include "edits/layoutstepcommand.h"

#include "levels/leveltables.h"

#include <algorithm>
#include <cstring>

namespace edits {

namespace {

constexpr int Size = layout::RecordSize;

QVector<qint64> offsetsOf(qint64 start, const QVector<int> &indices) {
    QVector<qint64> offsets;
    for (int i : indices)
        offsets.append(start + qint64(i) * Size);
    std::sort(offsets.begin(), offsets.end());
    return offsets;
}

} // namespace

LayoutStepCommand::LayoutStepCommand(const QString &text, QByteArray &image,
                                     const QByteArray &after, int levelRow,
                                     QVector<qint64> selectedBefore, QVector<qint64> selectedAfter,
                                     RecordsSelected notify)
    : QUndoCommand(text), m_image(image), m_levelRow(levelRow),
      m_selectedBefore(std::move(selectedBefore)), m_selectedAfter(std::move(selectedAfter)),
      m_notify(std::move(notify)),
      // Only the span that differs is kept: a few kilobytes even when lists moved.
      m_span(ReplacedSpan::between(image, after)) {}

void LayoutStepCommand::redo() {
    m_span.write(m_image, true);
    m_notify(m_levelRow, m_selectedAfter);
}

void LayoutStepCommand::undo() {
    m_span.write(m_image, false);
    m_notify(m_levelRow, m_selectedBefore);
}

std::unique_ptr<InsertRecordsCommand>
InsertRecordsCommand::make(const QString &text, const LayoutEdit &edit,
                           const QVector<layout::Record> &records, QString *refusal) {
    refusal->clear();
    if (records.isEmpty())
        return nullptr;
    const auto beyond = std::find_if(records.cbegin(), records.cend(), [](const layout::Record &r) {
        return layout::xOf(r) >= layout::XLimit;
    });
    if (beyond != records.cend()) {
        *refusal = QStringLiteral("An object at X %1 would never be loaded: the game only loads "
                                  "objects whose X is below 8000.")
                       .arg(QString::number(layout::xOf(*beyond), 16).toUpper());
        return nullptr;
    }
    const layout::LayoutArea area(edit.image, edit.revision);
    QVector<layout::Record> list = area.records(edit.levelRow);
    const QVector<layout::Record> before = list;
    const QVector<int> landed = layout::insertInOrder(list, records);
    *refusal = layout::contentRefusal(area.game(), edit.levelRow, edit.levelName, before, list);
    if (!refusal->isEmpty())
        return nullptr;
    const std::optional<QByteArray> after = area.withList(edit.levelRow, list, refusal);
    if (!after)
        return nullptr;
    const qint64 start = layout::LayoutArea(*after, edit.revision).listStart(edit.levelRow);
    return std::make_unique<InsertRecordsCommand>(text, edit.image, *after, edit.levelRow,
                                                  edit.selectedBefore, offsetsOf(start, landed),
                                                  edit.notify);
}

std::unique_ptr<DeleteRecordsCommand> DeleteRecordsCommand::make(const LayoutEdit &edit,
                                                                 const QVector<qint64> &offsets,
                                                                 QString *refusal) {
    refusal->clear();
    const layout::LayoutArea area(edit.image, edit.revision);
    const qint64 start = area.listStart(edit.levelRow);
    QVector<layout::Record> list = area.records(edit.levelRow);
    QVector<int> gone;
    for (qint64 at : offsets) {
        const qint64 i = (at - start) / Size;
        if (at >= start && (at - start) % Size == 0 && i < list.size() && !gone.contains(int(i)))
            gone.append(int(i));
    }
    if (gone.isEmpty())
        return nullptr;
    std::sort(gone.begin(), gone.end());
    for (auto i = gone.crbegin(); i != gone.crend(); ++i)
        list.remove(*i);
    const std::optional<QByteArray> after = area.withList(edit.levelRow, list, refusal);
    if (!after)
        return nullptr;
    const qint64 startAfter = layout::LayoutArea(*after, edit.revision).listStart(edit.levelRow);
    QVector<qint64> select;
    if (!list.isEmpty())
        select = offsetsOf(startAfter, {std::min(gone.first(), int(list.size()) - 1)});
    return std::make_unique<DeleteRecordsCommand>(
        gone.size() == 1 ? QStringLiteral("Delete Object") : QStringLiteral("Delete Objects"),
        edit.image, *after, edit.levelRow, offsetsOf(start, gone), select, edit.notify);
}

std::unique_ptr<MoveRecordsCommand> MoveRecordsCommand::make(const LayoutEdit &edit, qint64 start,
                                                             qint64 count,
                                                             const QVector<Move> &moves) {
    QVector<layout::Record> list(count);
    for (qint64 i = 0; i < count; ++i)
        std::memcpy(list[i].data(), edit.image.constData() + start + i * Size, Size);
    QVector<int> gone, from;
    QVector<layout::Record> moved;
    for (const Move &m : moves) {
        const qint64 i = (m.offset - start) / Size;
        if (m.offset < start || (m.offset - start) % Size != 0 || i >= count ||
            gone.contains(int(i)) || layout::xOf(m.bytes) == 0xFFFF)
            continue;
        gone.append(int(i));
        moved.append(m.bytes);
    }
    if (gone.isEmpty())
        return nullptr;
    from = gone;
    std::sort(gone.begin(), gone.end());
    for (auto i = gone.crbegin(); i != gone.crend(); ++i)
        list.remove(*i);
    const QVector<int> landed = layout::insertInOrder(list, moved);
    QByteArray after = edit.image;
    for (qint64 i = 0; i < count; ++i)
        std::memcpy(after.data() + start + i * Size, list[i].data(), Size);
    return std::make_unique<MoveRecordsCommand>(QStringLiteral("Move Objects"), edit.image, after,
                                                edit.levelRow, offsetsOf(start, from),
                                                offsetsOf(start, landed), edit.notify);
}

} // namespace edits
