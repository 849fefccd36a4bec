#include "document/levelselection.h"

#include <algorithm>

void LevelSelection::showLevel(int row) {
    m_level = row;
    m_records.clear();
    m_current = -1;
    emit levelShown(row);
}

void LevelSelection::select(QVector<qint64> records, qint64 current) {
    std::sort(records.begin(), records.end());
    records.erase(std::unique(records.begin(), records.end()), records.end());
    records.removeAll(-1);
    if (!records.contains(current))
        current = records.value(0, -1);
    // std::equal rather than QVector's ==, which in Qt 6.4 hands memcmp a null pointer when
    // both are empty (undefined, and the sanitizer build stops on it).
    if (std::equal(records.cbegin(), records.cend(), m_records.cbegin(), m_records.cend()) &&
        current == m_current)
        return;
    m_records = std::move(records);
    m_current = current;
    emit selectionChanged();
}
