#include "text/modstring.h"

QString getField(const QString &text, int n, bool rest, const QString &delimiter) {
    if (n < 1 || text.isEmpty())
        return QString();
    if (delimiter.isEmpty())
        return n == 1 ? text : QString();
    // Walk the delimiters instead of splitting, so a long line costs no list of pieces.
    qsizetype start = 0;
    for (int field = 1; field < n; ++field) {
        const qsizetype at = text.indexOf(delimiter, start, Qt::CaseSensitive);
        if (at < 0)
            return QString();
        start = at + delimiter.size();
    }
    if (rest)
        return text.mid(start);
    const qsizetype end = text.indexOf(delimiter, start, Qt::CaseSensitive);
    return end < 0 ? text.mid(start) : text.mid(start, end - start);
}
