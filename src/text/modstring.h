#pragma once

#include <QString>

// Field `n` (counted from 1) of `text` split at every `delimiter`. With `rest`, the text is cut
// into at most `n` pieces so that the last one keeps the remainder, delimiters included.
// A missing field (n < 1, past the end, or an empty text) gives the empty text.
QString getField(const QString &text, int n, bool rest, const QString &delimiter);
