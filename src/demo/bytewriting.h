#pragma once
// Big-endian writes into a synthetic image that grows to fit them, shared by the image writers.

#include <QByteArray>

#include <cstring>

namespace synthetic::bytes {

inline void ensure(QByteArray &image, qint64 end) {
    if (image.size() < end)
        image.resize(end, '\0');
}

inline void putByte(QByteArray &image, qint64 at, quint32 value) {
    ensure(image, at + 1);
    image[at] = static_cast<char>(value);
}

inline void putWord(QByteArray &image, qint64 at, quint32 value) {
    putByte(image, at, value >> 8);
    putByte(image, at + 1, value & 0xFF);
}

inline void putLong(QByteArray &image, qint64 at, quint32 value) {
    putWord(image, at, value >> 16);
    putWord(image, at + 2, value & 0xFFFF);
}

inline quint32 wordAt(const QByteArray &image, qint64 at) {
    return quint32(static_cast<quint8>(image.at(at))) << 8 | static_cast<quint8>(image.at(at + 1));
}

inline QByteArray wordBytes(quint32 value) {
    QByteArray out;
    out.append(static_cast<char>(value >> 8));
    out.append(static_cast<char>(value));
    return out;
}

// Appends `bytes` at `at` (kept even, as the games keep their files word-aligned) and returns
// where they went; `at` moves past them.
inline qint64 append(QByteArray &image, qint64 &at, const QByteArray &bytes) {
    at += at & 1;
    const qint64 start = at;
    ensure(image, start + bytes.size());
    std::memcpy(image.data() + start, bytes.constData(), static_cast<size_t>(bytes.size()));
    at += bytes.size();
    return start;
}

} // namespace synthetic::bytes
