#pragma once
// The result of decompressing one stream out of an image.

#include <QByteArray>
#include <QString>

namespace art {

struct Decoded {
    QByteArray bytes; // the output; empty on failure
    QString error;    // empty on success, else a short reason
    qint64 end = 0;   // image offset just past the last input byte consumed (on success)
    bool ok() const { return error.isEmpty(); }
};

} // namespace art
