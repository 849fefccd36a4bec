#include "art/nemesis.h"

#include "art/bitstream.h"

#include <array>

namespace art {

namespace {

// What an 8-bit window of the bit stream starts with: a code of `length` bits standing for
// `run` pixels of `pixel`; length 0 where no code of the table matches.
struct Entry {
    quint8 length = 0;
    quint8 run = 0;
    quint8 pixel = 0;
};
using CodeTable = std::array<Entry, 256>;

constexpr quint32 kEscape = 0x3F; // 6-bit prefix of a run given inline
constexpr int kMaxEntries = 512;  // real tables hold a few dozen; keeps hostile ones cheap

// Reads the code table from `pos`; on success `pos` is just past its closing $FF.
QString readTable(const QByteArray &image, qint64 &pos, CodeTable &table) {
    const auto *data = reinterpret_cast<const uchar *>(image.constData());
    const qint64 size = image.size();
    if (pos >= size)
        return detail::kTruncated;
    // The first byte always picks a pixel value, as the game reads it.
    int byte = data[pos++];
    int entries = 0;
    while (byte != 0xFF) {
        const int pixel = byte & 0x0F;
        for (;;) {
            if (pos >= size)
                return detail::kTruncated;
            byte = data[pos++];
            if (byte >= 0x80)
                break; // a new pixel value, or the end
            // An entry: run length - 1 in bits 6-4, code length in bits 3-0, then the code.
            if (pos >= size)
                return detail::kTruncated;
            const int code = data[pos++];
            const int length = byte & 0x0F;
            if (length == 0 || length > 8 || code >= 1 << length || ++entries > kMaxEntries)
                return QStringLiteral("bad code table");
            const int shift = 8 - length;
            const Entry entry{quint8(length), quint8((byte >> 4) + 1), quint8(pixel)};
            for (int i = code << shift, last = i + (1 << shift); i < last; ++i)
                table[i] = entry;
        }
    }
    return QString();
}

} // namespace

Decoded nemesis(const QByteArray &image, qint64 start, qint64 maxOutput) {
    using namespace detail;
    if (const QString problem = startProblem(image, start, 2); !problem.isEmpty())
        return failure(problem);
    const auto *data = reinterpret_cast<const uchar *>(image.constData());
    const int header = data[start] << 8 | data[start + 1];
    const bool xorMode = header & 0x8000;
    const qint64 rows = qint64(header & 0x7FFF) * 8;
    if (rows * 4 > maxOutput)
        return failure(outputOver(maxOutput));

    qint64 pos = start + 2;
    CodeTable table{};
    const QString tableError = readTable(image, pos, table);
    if (!tableError.isEmpty())
        return failure(tableError);

    QByteArray out(static_cast<qsizetype>(rows * 4), Qt::Uninitialized);
    auto *write = reinterpret_cast<uchar *>(out.data());
    BitReader bits(image, pos);
    qint64 rowsDone = 0;
    quint32 row = 0;
    quint32 previous = 0;
    int pixelsInRow = 0;
    while (rowsDone < rows) {
        int run = 0;
        int pixel = 0;
        if (bits.peek(6) == kEscape) {
            quint32 inline13 = 0;
            if (!bits.take(13, inline13))
                return failure(kTruncated);
            run = static_cast<int>(inline13 >> 4 & 7) + 1;
            pixel = static_cast<int>(inline13 & 0x0F);
        } else {
            const Entry &entry = table[bits.peek(8)];
            if (entry.length == 0)
                return failure(QStringLiteral("code not in the table"));
            if (!bits.has(entry.length))
                return failure(kTruncated);
            bits.skip(entry.length);
            run = entry.run;
            pixel = entry.pixel;
        }
        // A run may go on into the next row; what is left after the last row is dropped.
        for (int i = 0; i < run && rowsDone < rows; ++i) {
            row = row << 4 | quint32(pixel);
            if (++pixelsInRow < 8)
                continue;
            if (xorMode)
                row ^= previous;
            previous = row;
            write[0] = uchar(row >> 24);
            write[1] = uchar(row >> 16);
            write[2] = uchar(row >> 8);
            write[3] = uchar(row);
            write += 4;
            row = 0;
            pixelsInRow = 0;
            ++rowsDone;
        }
    }
    Decoded result;
    result.bytes = out;
    result.end = rows == 0 ? pos : bits.end();
    return result;
}

} // namespace art
