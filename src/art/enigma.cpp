#include "art/enigma.h"

#include "art/bitstream.h"

namespace art {

namespace {

// An inline value: the flag bits the header enables (P, CC high, CC low, V, H, landing in word
// bits 15-11), then `width` bits of the rest.
bool readInline(detail::BitReader &bits, int mask, int width, quint16 &value) {
    quint32 word = 0;
    for (int flag = 4; flag >= 0; --flag) {
        if (!(mask >> flag & 1))
            continue;
        quint32 bit = 0;
        if (!bits.take(1, bit))
            return false;
        word |= bit << (11 + flag);
    }
    quint32 rest = 0;
    if (width > 0 && !bits.take(width, rest))
        return false;
    value = static_cast<quint16>(word | rest);
    return true;
}

} // namespace

Decoded enigma(const QByteArray &image, qint64 start, qint64 maxOutput) {
    using namespace detail;
    if (const QString problem = startProblem(image, start, 6); !problem.isEmpty())
        return failure(problem);
    const auto *data = reinterpret_cast<const uchar *>(image.constData());
    const int width = data[start];
    if (width > 16)
        return failure(QStringLiteral("bad header: inline width %1").arg(width));
    const int mask = data[start + 1] & 0x1F; // the game ignores the top three bits
    auto incrementing = static_cast<quint16>(data[start + 2] << 8 | data[start + 3]);
    const auto constant = static_cast<quint16>(data[start + 4] << 8 | data[start + 5]);

    const qint64 maxWords = qMax<qint64>(maxOutput, 0) / 2;
    QByteArray out;
    out.reserve(static_cast<qsizetype>(qMin<qint64>(maxWords, 0x8000) * 2));
    qint64 words = 0;
    auto put = [&](quint16 w) {
        out.append(static_cast<char>(w >> 8));
        out.append(static_cast<char>(w & 0xFF));
    };

    BitReader bits(image, start + 6);
    for (;;) {
        quint32 type = 0;
        quint32 field = 0;
        if (!bits.take(1, type))
            return failure(kTruncated);
        quint32 more = 0;
        if (!bits.take(type == 0 ? 1 : 2, more) || !bits.take(4, field))
            return failure(kTruncated);
        type = type << (type == 0 ? 1 : 2) | more; // 0..1 for 00/01, 4..7 for 100..111
        if (type == 7 && field == 15)
            break;
        const int count = static_cast<int>(field) + 1;
        if (words + count > maxWords)
            return failure(outputOver(maxOutput));
        words += count;
        quint16 value = 0;
        switch (type) {
        case 0:
            for (int i = 0; i < count; ++i)
                put(incrementing++);
            break;
        case 1:
            for (int i = 0; i < count; ++i)
                put(constant);
            break;
        case 7:
            for (int i = 0; i < count; ++i) {
                if (!readInline(bits, mask, width, value))
                    return failure(kTruncated);
                put(value);
            }
            break;
        default: { // 100 the same value, 101 counting up, 110 counting down
            if (!readInline(bits, mask, width, value))
                return failure(kTruncated);
            const int step = type == 4 ? 0 : type == 5 ? 1 : -1;
            for (int i = 0; i < count; ++i) {
                put(value);
                value = static_cast<quint16>(value + step);
            }
            break;
        }
        }
    }
    Decoded result;
    result.bytes = out;
    result.end = bits.end();
    return result;
}

} // namespace art
