#pragma once
// Where "Change" puts a record whose X it rewrote. The games load a layout's objects while the
// screen scrolls, walking the records from left to right, so a record must sit among records of
// like X; the rest of the layout is never sorted, since the games' own small disorders are
// harmless and the user did not ask to touch them.

#include <QVector>

namespace edits {

// The X word that marks the end of a layout: a record given it becomes the end in place.
constexpr quint16 EndX = 0xFFFF;

// The index the record at `from` of a layout whose records have the X words `xs` (in their
// present order) takes once its X is `newX`. It stays where it is when newX lies between the
// X of its neighbours (equal counts as between), when its X does not change, or when newX is
// EndX. Otherwise it goes just before the first of the other records, in their present order,
// whose X is greater than newX, or to the end when there is none.
int placeFor(const QVector<quint16> &xs, int from, quint16 newX);

} // namespace edits
