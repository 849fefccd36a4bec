#pragma once
// Bounds-checked big-endian reads of an image: nothing here ever reads outside it.

#include <QByteArray>

#include <optional>

namespace rom {

class ImageBytes {
  public:
    explicit ImageBytes(const QByteArray &image)
        : m_data(reinterpret_cast<const uchar *>(image.constData())), m_size(image.size()) {}

    qint64 size() const { return m_size; }
    bool has(qint64 at, qint64 length) const {
        return at >= 0 && length >= 0 && at <= m_size && length <= m_size - at;
    }
    std::optional<quint32> byte(qint64 at) const {
        if (!has(at, 1))
            return std::nullopt;
        return m_data[at];
    }
    std::optional<quint32> word(qint64 at) const {
        if (!has(at, 2))
            return std::nullopt;
        return quint32(m_data[at]) << 8 | m_data[at + 1];
    }
    std::optional<qint32> signedWord(qint64 at) const {
        const auto w = word(at);
        if (!w)
            return std::nullopt;
        return static_cast<qint16>(*w);
    }
    std::optional<quint32> longword(qint64 at) const {
        if (!has(at, 4))
            return std::nullopt;
        return quint32(m_data[at]) << 24 | quint32(m_data[at + 1]) << 16 |
               quint32(m_data[at + 2]) << 8 | m_data[at + 3];
    }
    // The 68000 drives 24 address lines: the top byte of a pointer is not part of it.
    std::optional<qint64> pointer(qint64 at) const {
        const auto l = longword(at);
        if (!l)
            return std::nullopt;
        return qint64(*l & 0xFFFFFF);
    }
    // Raw bytes for pattern matching; only valid where has(at, n).
    const uchar *at(qint64 offset) const { return m_data + offset; }

  private:
    const uchar *m_data;
    qint64 m_size;
};

} // namespace rom
