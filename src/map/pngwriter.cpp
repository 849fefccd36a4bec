#include "map/pngwriter.h"

#include <QSaveFile>

#include <array>
#include <numeric>
#include <utility>

namespace map {

namespace {

// The PNG chunk checksum (CRC-32, polynomial $EDB88320).
quint32 crc32(const QByteArray &bytes, quint32 crc = 0xFFFFFFFFu) {
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return std::accumulate(bytes.cbegin(), bytes.cend(), crc, [](quint32 c, char b) {
        return table[(c ^ static_cast<quint8>(b)) & 0xFF] ^ (c >> 8);
    });
}

void appendLong(QByteArray &out, quint32 v) {
    out.append(static_cast<char>(v >> 24));
    out.append(static_cast<char>(v >> 16));
    out.append(static_cast<char>(v >> 8));
    out.append(static_cast<char>(v));
}

// Length, type, data, checksum over type and data.
bool writeChunk(QSaveFile &file, const char *type, const QByteArray &data, qsizetype from = 0) {
    const QByteArray body = QByteArray::fromRawData(data.constData() + from, data.size() - from);
    QByteArray head;
    appendLong(head, static_cast<quint32>(body.size()));
    head.append(type, 4);
    QByteArray tail;
    appendLong(tail, crc32(body, crc32(QByteArray(type, 4))) ^ 0xFFFFFFFFu);
    return file.write(head) == head.size() && file.write(body) == body.size() &&
           file.write(tail) == tail.size();
}

} // namespace

bool writePng(QImage picture, const QString &path, QString *error) {
    QImage rgb = picture.format() == QImage::Format_RGB888
                     ? std::move(picture)
                     : picture.convertToFormat(QImage::Format_RGB888);
    picture = QImage();
    if (rgb.isNull()) {
        *error = QStringLiteral("no picture");
        return false;
    }
    const qsizetype rowBytes = qsizetype(rgb.width()) * 3;
    QByteArray rows;
    rows.reserve((rowBytes + 1) * rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        rows.append('\0'); // filter type 0: the row as it is
        rows.append(reinterpret_cast<const char *>(rgb.constScanLine(y)), rowBytes);
    }
    const int width = rgb.width(), height = rgb.height();
    rgb = QImage();
    return writePngRows(width, height, std::move(rows), path, error);
}

bool writePngRows(int width, int height, QByteArray rows, const QString &path, QString *error) {
    if (rows.size() != (qsizetype(width) * 3 + 1) * height) {
        *error = QStringLiteral("rows do not match the size");
        return false;
    }
    QByteArray header;
    appendLong(header, static_cast<quint32>(width));
    appendLong(header, static_cast<quint32>(height));
    // qCompress gives a zlib stream behind a 4-byte length: the stream is the image data.
    QByteArray packed = qCompress(rows, 2);
    rows.clear();                             // its pixels go before the file is written
    header.append("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filter set, no interlace

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    const bool written = file.write("\x89PNG\r\n\x1A\n", 8) == 8 &&
                         writeChunk(file, "IHDR", header) && writeChunk(file, "IDAT", packed, 4) &&
                         writeChunk(file, "IEND", QByteArray());
    if (!written || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace map
