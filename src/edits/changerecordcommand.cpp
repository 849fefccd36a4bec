#include "edits/changerecordcommand.h"

#include "edits/recordorder.h"
#include "objects/layout.h"

#include <algorithm>

namespace edits {

namespace {
constexpr int Size = layout::RecordSize;

quint16 xAt(const QByteArray &image, qint64 at) {
    return static_cast<quint16>(quint8(image[at]) << 8 | quint8(image[at + 1]));
}
} // namespace

ChangeRecordCommand::ChangeRecordCommand(QByteArray &image, int levelRow, qint64 layoutStart,
                                         qint64 count, qint64 offset,
                                         const std::array<quint8, 6> &bytes, RecordsChanged notify)
    : QUndoCommand(QStringLiteral("Change")), m_image(image), m_levelRow(levelRow),
      m_offsetBefore(offset), m_offsetAfter(offset), m_notify(std::move(notify)) {
    const QByteArray record(reinterpret_cast<const char *>(bytes.data()), Size);
    const qint64 from = (offset - layoutStart) / Size;
    const bool inLayout =
        offset >= layoutStart && (offset - layoutStart) % Size == 0 && from < count;
    qint64 to = from;
    if (inLayout) {
        QVector<quint16> xs(count);
        for (qint64 i = 0; i < count; ++i)
            xs[i] = xAt(image, layoutStart + i * Size);
        to = placeFor(xs, static_cast<int>(from), static_cast<quint16>(bytes[0] << 8 | bytes[1]));
    }
    const qint64 lo = inLayout ? std::min(from, to) : 0;
    const qint64 hi = inLayout ? std::max(from, to) : 0;
    m_span.at = inLayout ? layoutStart + lo * Size : offset;
    const QByteArray before = image.mid(m_span.at, (hi - lo + 1) * Size);
    m_span.before = before;
    if (to < from) // the records it passed shift right by one
        m_span.after = record + before.left(before.size() - Size);
    else if (to > from) // ... or left by one
        m_span.after = before.mid(Size) + record;
    else
        m_span.after = record;
    m_offsetAfter = inLayout ? layoutStart + to * Size : offset;
}

void ChangeRecordCommand::redo() {
    m_span.write(m_image, true);
    m_notify(m_levelRow, m_offsetAfter);
}

void ChangeRecordCommand::undo() {
    m_span.write(m_image, false);
    m_notify(m_levelRow, m_offsetBefore);
}

} // namespace edits
