#pragma once
// How an undoable step tells its document which records it touched, after each do, undo and
// redo: the level row it edited and the record to select (-1 for none), or for the steps that
// add, remove or move several records, every record to select.

#include <QVector>
#include <QtGlobal>

#include <functional>

namespace edits {
using RecordsChanged = std::function<void(int levelRow, qint64 recordOffset)>;
using RecordsSelected = std::function<void(int levelRow, const QVector<qint64> &recordOffsets)>;
} // namespace edits
