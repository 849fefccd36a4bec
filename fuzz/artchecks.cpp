#include "fuzzchecks.h"

#include "art/enigma.h"
#include "art/kosinski.h"
#include "art/nemesis.h"
#include "demo/encoders.h"

#include <vector>

// How the input is read:
//   start  u8   the stream's offset in the image; $FF means -1, $FE the image's length
//   cap    u8   the output cap, (cap % 128 + 1) x 256 bytes
//   rest        the image

namespace fuzzcheck {

namespace {

using Decoder = art::Decoded (*)(const QByteArray &, qint64, qint64);
using Encoder = QByteArray (*)(const art::Decoded &, const QByteArray &image, qint64 start);

// Decodes from a buffer of exactly the image's bytes, so that AddressSanitizer sees a read one
// past the end (a QByteArray of its own would have a terminator and spare room there).
art::Decoded decodeExact(Decoder decode, const char *data, qint64 size, qint64 start, qint64 cap) {
    const std::vector<char> storage(data, data + size);
    return decode(QByteArray::fromRawData(storage.data(), static_cast<qsizetype>(size)), start,
                  cap);
}

// `lookahead`: bytes past its end that a stream may still depend on.
QString checkStream(const char *name, Decoder decode, Encoder encode, int lookahead,
                    const std::uint8_t *data, std::size_t size) {
    if (size < 2)
        return QString();
    const char *bytes = reinterpret_cast<const char *>(data) + 2;
    const auto imageSize = static_cast<qint64>(size - 2);
    const qint64 start = data[0] == 0xFF ? -1 : data[0] == 0xFE ? imageSize : data[0];
    const qint64 cap = qint64(data[1] % 128 + 1) * 256;

    const art::Decoded d = decodeExact(decode, bytes, imageSize, start, cap);
    const QString at =
        QStringLiteral("%1 at %2 of %3: ").arg(QLatin1String(name)).arg(start).arg(imageSize);
    if (!d.ok()) {
        if (!d.bytes.isEmpty())
            return at + QStringLiteral("failed (%1) with output").arg(d.error);
        return QString();
    }
    if (start < 0 || start >= imageSize)
        return at + QStringLiteral("decoded from outside the image");
    if (d.bytes.size() > cap)
        return at + QStringLiteral("%1 bytes over the cap %2").arg(d.bytes.size()).arg(cap);
    if (d.end <= start || d.end > imageSize)
        return at + QStringLiteral("end %1").arg(d.end);

    // The stream depends on nothing past its end (and the lookahead).
    const qint64 cutAt = qMin(imageSize, d.end + lookahead);
    const art::Decoded cut = decodeExact(decode, bytes, cutAt, start, cap);
    if (!cut.ok() || cut.bytes != d.bytes || cut.end != d.end)
        return at +
               QStringLiteral("cut at %1 it decodes differently (%2)").arg(cutAt).arg(cut.error);

    // Our encoder brings the same output back.
    const QByteArray again = encode(d, QByteArray::fromRawData(bytes, imageSize), start);
    const art::Decoded back = decode(again, 0, qMax<qint64>(d.bytes.size(), 1));
    if (!back.ok() || back.bytes != d.bytes)
        return at + QStringLiteral("re-encoded %1 bytes decode differently (%2)")
                        .arg(d.bytes.size())
                        .arg(back.error);
    return QString();
}

QByteArray reKosinski(const art::Decoded &d, const QByteArray &, qint64) {
    return synthetic::kosinskiEncode(d.bytes);
}

QByteArray reNemesis(const art::Decoded &d, const QByteArray &image, qint64 start) {
    return synthetic::nemesisEncode(d.bytes, (quint8(image.at(start)) & 0x80) != 0);
}

QByteArray reEnigma(const art::Decoded &d, const QByteArray &, qint64) {
    return synthetic::enigmaEncode(d.bytes);
}

} // namespace

QString kosinskiStream(const std::uint8_t *data, std::size_t size) {
    return checkStream("kosinski", art::kosinski, reKosinski, 0, data, size);
}

QString nemesisStream(const std::uint8_t *data, std::size_t size) {
    // As in the game, the next code is looked up in an 8-bit window; with overlapping codes in
    // the table, the byte after the last code can decide which one is taken.
    return checkStream("nemesis", art::nemesis, reNemesis, 1, data, size);
}

QString enigmaStream(const std::uint8_t *data, std::size_t size) {
    return checkStream("enigma", art::enigma, reEnigma, 0, data, size);
}

} // namespace fuzzcheck
