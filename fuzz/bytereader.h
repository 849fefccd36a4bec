#pragma once
// Reads a fuzz input as a stream of small values; past the end every value is 0, so any input,
// even an empty one, decodes to something.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace fuzzcheck {

class ByteReader {
  public:
    ByteReader(const std::uint8_t *data, std::size_t size) : m_data(data), m_left(size) {}

    std::uint8_t u8() {
        if (m_left == 0)
            return 0;
        --m_left;
        return *m_data++;
    }
    std::uint32_t u16() { return std::uint32_t(u8()) << 8 | u8(); }
    std::uint32_t u24() { return u16() << 8 | u8(); }

    // A length byte (below maxLength + 1) and that many bytes as Latin-1 characters.
    QString latin1(int maxLength) {
        const int length = u8() % (maxLength + 1);
        QString text;
        for (int i = 0; i < length; ++i)
            text.append(QChar(u8()));
        return text;
    }

    bool atEnd() const { return m_left == 0; }

    QByteArray rest() {
        QByteArray bytes(reinterpret_cast<const char *>(m_data), static_cast<qsizetype>(m_left));
        m_data += m_left;
        m_left = 0;
        return bytes;
    }

  private:
    const std::uint8_t *m_data;
    std::size_t m_left;
};

} // namespace fuzzcheck
