#pragma once
// A plain PNG writer for the map export: 8-bit RGB, no alpha, not interlaced, rows unfiltered
// and deflated at a fast level. The largest level pictures are tens of megabytes of pixels, and
// the general-purpose writer spends most of its time choosing row filters.

#include <QImage>
#include <QString>

namespace map {

// Writes `picture` (any format; converted to RGB888 when needed) to `path` through a
// QSaveFile. False with a short reason when the file cannot be written. Pass the picture moved
// in to let its pixels go before the compressed data is made.
bool writePng(QImage picture, const QString &path, QString *error);

// The same from rows already laid out as PNG wants them: per row a filter byte of 0 and then
// 3 x width bytes of R, G, B. The rows are let go before the compressed data is made.
bool writePngRows(int width, int height, QByteArray rows, const QString &path, QString *error);

} // namespace map
