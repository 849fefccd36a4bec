#include "edits/recordorder.h"

namespace edits {

int placeFor(const QVector<quint16> &xs, int from, quint16 newX) {
    const int n = static_cast<int>(xs.size());
    if (from < 0 || from >= n || newX == EndX || newX == xs[from])
        return from;
    const bool afterPrevious = from == 0 || xs[from - 1] <= newX;
    const bool beforeNext = from == n - 1 || newX <= xs[from + 1];
    if (afterPrevious && beforeNext)
        return from;
    // Index among the other records, which is also the record's index once it is put back.
    for (int i = 0, other = 0; i < n; ++i) {
        if (i == from)
            continue;
        if (xs[i] > newX)
            return other;
        ++other;
    }
    return n - 1;
}

} // namespace edits
