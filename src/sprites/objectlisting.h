#pragma once
// The object listing of one level as text: what `quillet --list-objects` prints.

#include "sprites/levelsprites.h"

#include <QByteArray>
#include <QStringList>
#include <QTextStream>

namespace sprites {

// One tab-separated line per record of the layout at `layoutStart` (offset in hex, X, Y, type
// and subtype as the object list shows them, the object's name, and `sprite`, `marker` or
// `hidden`), then one per ring record (`ring`, X, Y, count, `horizontal` or `vertical`).
QStringList objectListing(const QByteArray &image, const LevelSprites &sprites, int game, int row,
                          qint64 layoutStart);

// `quillet --list-objects IMAGE ROW`: the listing on `out` and 0; errors and exit codes as for
// `--export-map`.
int listObjects(const QString &imagePath, const QString &rowText, QTextStream &out,
                QTextStream &err);

} // namespace sprites
