#include "art/kosinski.h"

#include "art/bitstream.h"

namespace art {

namespace {

// The input side: flag bits from little-endian words taken least significant first, and the
// data bytes between them. A new flag word is read as soon as the last bit of the current one
// is taken, before the data bytes of the command that bit belongs to.
class Input {
  public:
    Input(const QByteArray &image, qint64 start)
        : m_data(reinterpret_cast<const uchar *>(image.constData())), m_size(image.size()),
          m_pos(start) {}

    bool start() { return fetchFlags(); }
    bool bit(int &value) {
        value = m_flags & 1;
        m_flags >>= 1;
        if (--m_flagsLeft == 0)
            return fetchFlags();
        return true;
    }
    bool byte(int &value) {
        if (m_pos >= m_size)
            return false;
        value = m_data[m_pos++];
        return true;
    }
    qint64 pos() const { return m_pos; }

  private:
    bool fetchFlags() {
        if (m_pos + 2 > m_size)
            return false;
        m_flags = quint32(m_data[m_pos]) | quint32(m_data[m_pos + 1]) << 8;
        m_pos += 2;
        m_flagsLeft = 16;
        return true;
    }

    const uchar *m_data;
    qint64 m_size;
    qint64 m_pos;
    quint32 m_flags = 0;
    int m_flagsLeft = 0;
};

} // namespace

Decoded kosinski(const QByteArray &image, qint64 start, qint64 maxOutput) {
    using namespace detail;
    if (const QString problem = startProblem(image, start, 0); !problem.isEmpty())
        return failure(problem);
    Input in(image, start);
    if (!in.start())
        return failure(kTruncated);

    QByteArray out;
    out.reserve(static_cast<qsizetype>(qBound(qint64(0), maxOutput, qint64(0x10000))));
    for (;;) {
        int flag = 0;
        if (!in.bit(flag))
            return failure(kTruncated);
        if (flag == 1) {
            int value = 0;
            if (!in.byte(value))
                return failure(kTruncated);
            if (out.size() >= maxOutput)
                return failure(outputOver(maxOutput));
            out.append(static_cast<char>(value));
            continue;
        }
        if (!in.bit(flag))
            return failure(kTruncated);
        qint64 distance = 0;
        qint64 length = 0;
        if (flag == 0) {
            int a = 0, b = 0, offset = 0;
            if (!in.bit(a) || !in.bit(b) || !in.byte(offset))
                return failure(kTruncated);
            distance = 256 - offset;
            length = a * 2 + b + 2;
        } else {
            int lo = 0, hi = 0;
            if (!in.byte(lo) || !in.byte(hi))
                return failure(kTruncated);
            distance = 0x2000 - ((hi & 0xF8) << 5 | lo);
            length = hi & 7;
            if (length > 0) {
                length += 2;
            } else {
                int count = 0;
                if (!in.byte(count))
                    return failure(kTruncated);
                if (count == 0)
                    break;
                if (count == 1)
                    continue; // "no copy"
                length = count + 1;
            }
        }
        if (distance > out.size())
            return failure(QStringLiteral("copy from before the output start"));
        if (out.size() + length > maxOutput)
            return failure(outputOver(maxOutput));
        // Byte by byte: a copy may overlap what it writes.
        qsizetype from = out.size() - static_cast<qsizetype>(distance);
        for (qint64 i = 0; i < length; ++i)
            out.append(out.at(from++));
    }
    Decoded result;
    result.bytes = out;
    result.end = in.pos();
    return result;
}

} // namespace art
