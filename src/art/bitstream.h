#pragma once
// Shared by the decoders: failure values and an MSB-first bit reader over part of an image.

#include "art/decoded.h"

namespace art::detail {

inline Decoded failure(const QString &reason) {
    Decoded d;
    d.error = reason;
    return d;
}

inline QString outputOver(qint64 maxOutput) {
    return QStringLiteral("output over 0x%1 bytes").arg(qMax<qint64>(maxOutput, 0), 0, 16);
}

inline const QString kTruncated = QStringLiteral("truncated input");
inline const QString kBadStart = QStringLiteral("start outside the image");

// Why a stream with a header of `headerBytes` cannot start at `start`; empty when it can.
inline QString startProblem(const QByteArray &image, qint64 start, qint64 headerBytes) {
    if (start < 0 || start >= image.size())
        return kBadStart;
    return start + headerBytes > image.size() ? kTruncated : QString();
}

// Reads bits most significant first from byte `from` on. Bits past the image read as zero when
// peeked; taking them is what counts as running out of input.
class BitReader {
  public:
    BitReader(const QByteArray &image, qint64 from)
        : m_data(reinterpret_cast<const uchar *>(image.constData())), m_bits(image.size() * 8),
          m_pos(from * 8) {}

    // The next n (<= 16) bits without taking them.
    quint32 peek(int n) const {
        quint32 value = 0;
        qint64 at = m_pos;
        int left = n;
        while (left > 0) {
            const qint64 byte = at >> 3;
            const int used = static_cast<int>(at & 7);
            const int count = qMin(8 - used, left);
            const quint32 bits =
                at < m_bits ? (quint32(m_data[byte]) >> (8 - used - count)) & ((1u << count) - 1)
                            : 0;
            value = value << count | bits;
            at += count;
            left -= count;
        }
        return value;
    }
    bool has(int n) const { return m_pos + n <= m_bits; }
    void skip(int n) { m_pos += n; }
    // Takes n bits; false when the image ends first.
    bool take(int n, quint32 &value) {
        if (!has(n))
            return false;
        value = peek(n);
        m_pos += n;
        return true;
    }
    // The image offset just past the last byte a taken bit came from.
    qint64 end() const { return (m_pos + 7) >> 3; }

  private:
    const uchar *m_data;
    qint64 m_bits;
    qint64 m_pos;
};

} // namespace art::detail
