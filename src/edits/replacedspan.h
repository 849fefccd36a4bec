#pragma once
// The exact bytes one undoable step replaced at one place of the image, and the bytes it wrote
// there: undo and redo copy one or the other back, so the image is restored byte for byte.

#include <QByteArray>

#include <algorithm>

namespace edits {

struct ReplacedSpan {
    qint64 at = 0;
    QByteArray before, after;

    // The shortest span where `image` and `changed` (as long as it) differ.
    static ReplacedSpan between(const QByteArray &image, const QByteArray &changed) {
        const qint64 n = std::min(image.size(), changed.size());
        const char *was = image.constData(), *will = changed.constData();
        const qint64 lo = std::mismatch(was, was + n, will).first - was;
        qint64 hi = n;
        while (hi > lo && was[hi - 1] == will[hi - 1])
            --hi;
        return {lo, image.mid(lo, hi - lo), changed.mid(lo, hi - lo)};
    }

    bool changesAnything() const { return before != after; }
    void write(QByteArray &image, bool done) const {
        const QByteArray &bytes = done ? after : before;
        std::copy(bytes.cbegin(), bytes.cend(), image.begin() + at);
    }
};

} // namespace edits
