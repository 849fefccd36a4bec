#pragma once
// The level picture as a PNG file: written the same way by `quillet --export-map` and by the
// map window's "Save Map Image...", so that both give the same bytes for the same level.

#include "rom/romimage.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTextStream>

namespace map {

// Writes `picture` as PNG through a QSaveFile (an existing file stays as it was on failure).
// False with a short reason when it cannot.
bool writePicture(const QImage &picture, const QString &path, QString *reason);

// The image and row a command names, read for it: 0 on success; otherwise one line on `err` and
// the command's exit code (2 for a row outside 0-20, 1 for an unreadable or unrecognised image).
int readCommandLevel(const QString &imagePath, const QString &rowText, QTextStream &err,
                     QByteArray &image, rom::Revision &revision, int &row);

// `quillet --export-map IMAGE ROW OUT.png [--markers-only]`: 0 and silence on success; one line
// on `err` and a non-zero code for an unreadable or unrecognised image, a row outside 0-20, a
// level without terrain or an output that cannot be written. Objects are drawn as their sprites
// (a marker where none is known), or all as markers.
int exportMap(const QString &imagePath, const QString &rowText, const QString &outPath,
              QTextStream &err, bool markersOnly = false);

} // namespace map
