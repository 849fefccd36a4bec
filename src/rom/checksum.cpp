#include "rom/checksum.h"

namespace rom {

namespace {
quint32 longAt(const QByteArray &image, qint64 at) {
    const auto *b = reinterpret_cast<const quint8 *>(image.constData()) + at;
    return quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | b[3];
}
} // namespace

std::optional<quint16> computeChecksum(const QByteArray &image) {
    if (image.size() < RomEndAt + 4)
        return std::nullopt;
    const qint64 end = longAt(image, RomEndAt);
    if (end <= ChecksumFrom || end >= image.size())
        return std::nullopt;
    // The words at even offsets from 0x200 through the end address; a word at an even end
    // address needs its second byte inside the image too.
    const qint64 last = (end & ~qint64(1)) + 1;
    if (last >= image.size())
        return std::nullopt;
    const auto *b = reinterpret_cast<const quint8 *>(image.constData());
    quint32 sum = 0;
    for (qint64 p = ChecksumFrom; p < last; p += 2)
        sum += quint32(b[p]) << 8 | b[p + 1];
    return static_cast<quint16>(sum);
}

quint16 storedChecksum(const QByteArray &image) {
    if (image.size() < ChecksumAt + 2)
        return 0;
    return static_cast<quint16>(quint8(image[ChecksumAt]) << 8 | quint8(image[ChecksumAt + 1]));
}

bool checksumRight(const QByteArray &image) {
    const std::optional<quint16> sum = computeChecksum(image);
    return sum && *sum == storedChecksum(image);
}

bool writeChecksum(QByteArray &image) {
    const std::optional<quint16> sum = computeChecksum(image);
    if (!sum)
        return false;
    image[ChecksumAt] = static_cast<char>(*sum >> 8);
    image[ChecksumAt + 1] = static_cast<char>(*sum & 0xFF);
    return true;
}

} // namespace rom
