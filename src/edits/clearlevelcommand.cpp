#include "edits/clearlevelcommand.h"

#include "objects/layout.h"

#include <algorithm>

namespace edits {

ClearLevelCommand::ClearLevelCommand(QByteArray &image, int levelRow,
                                     const QVector<qint64> &recordOffsets, RecordsChanged notify)
    : QUndoCommand(QStringLiteral("Clear All Sprites")), m_image(image), m_levelRow(levelRow),
      m_notify(std::move(notify)) {
    QVector<qint64> offsets = recordOffsets;
    std::sort(offsets.begin(), offsets.end());
    // Merge the records into runs of bytes, overlapping or adjacent ones into one.
    qint64 runAt = -1, runEnd = -1;
    const auto close = [&] {
        if (runAt >= 0 && runEnd > runAt)
            m_runs.append({runAt, image.mid(runAt, runEnd - runAt)});
    };
    for (qint64 at : offsets) {
        const qint64 from = std::max<qint64>(at, 0);
        const qint64 to = std::min<qint64>(at + layout::RecordSize, image.size());
        if (from >= to)
            continue;
        if (runAt >= 0 && from <= runEnd) {
            runEnd = std::max(runEnd, to);
            continue;
        }
        close();
        runAt = from;
        runEnd = to;
    }
    close();
}

bool ClearLevelCommand::changesAnything() const {
    return std::any_of(m_runs.cbegin(), m_runs.cend(), [](const Run &r) {
        return std::any_of(r.before.cbegin(), r.before.cend(), [](char b) { return b != 0; });
    });
}

void ClearLevelCommand::redo() {
    for (const Run &r : m_runs)
        std::fill_n(m_image.begin() + r.at, r.before.size(), '\0');
    m_notify(m_levelRow, -1);
}

void ClearLevelCommand::undo() {
    for (const Run &r : m_runs)
        std::copy(r.before.cbegin(), r.before.cend(), m_image.begin() + r.at);
    m_notify(m_levelRow, -1);
}

} // namespace edits
