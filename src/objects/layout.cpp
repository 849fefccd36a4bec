#include "objects/layout.h"

#include "text/hextext.h"
#include "text/modstring.h"
#include "types/captions.h"

namespace layout {

namespace {
quint8 byteAt(const QByteArray &image, qint64 at) {
    return static_cast<quint8>(image.at(at));
}
} // namespace

Walk walk(const QByteArray &image, qint64 start) {
    Walk w;
    w.start = start;
    if (start < 0)
        return w;
    const qint64 bound = lastRecordStart(image.size());
    for (qint64 p = start; p <= bound; p += RecordSize) {
        const quint8 x0 = byteAt(image, p), x1 = byteAt(image, p + 1);
        if (x0 == 0xFF && x1 == 0xFF)
            break;
        w.xMax = qMax(w.xMax, coarseValue(x0, x1));
        w.yMax = qMax(w.yMax, coarseValue(byteAt(image, p + 2), byteAt(image, p + 3)));
        ++w.count;
    }
    return w;
}

int sliderPosition(const QString &positionText) {
    const int high = cHex(positionText.left(2));
    const int low = cHex(positionText.right(2));
    int fraction = low / 128;
    const int remainder = low % 128;
    if (remainder > 64 || (remainder == 64 && fraction % 2 == 1))
        ++fraction;
    return high * 128 + fraction;
}

QString sliderText(int value) {
    if (value < 0)
        value = 0;
    const int high = value / 128;
    const int r = value % 128;
    const int low = r == 0 ? 0x00 : r == 1 ? 0x80 : 0xFF;
    return four(high * 256 + low);
}

QString line(const QByteArray &image, qint64 offset, const CaptionCatalogue &captions) {
    const quint8 *b = reinterpret_cast<const quint8 *>(image.constData()) + offset;
    QString text = QString::number(offset);
    text.reserve(text.size() + 20 + 24);
    text += QStringLiteral(": ");
    text += two(b[0]) + two(b[1]) + QLatin1Char(' ') + two(b[2]) + two(b[3]) + QLatin1Char(' ') +
            two(b[4]) + QLatin1Char(' ') + two(b[5]) + QStringLiteral("  ");
    text += captions.caption(b[4], b[5]);
    return text;
}

qint64 lineOffset(const QString &line) {
    QString field = getField(line, 1, false, QStringLiteral(" "));
    field.remove(QLatin1Char(':'));
    bool ok = false;
    const qint64 value = field.toLongLong(&ok, 10);
    return ok && value >= 0 ? value : -1;
}

std::array<quint8, RecordSize> recordBytes(const QString &xText, const QString &yText,
                                           const QString &typeText, const QString &subtypeText) {
    const int values[RecordSize] = {cHex(xText.left(2)),      cHex(xText.right(2)),
                                    cHex(yText.left(2)),      cHex(yText.right(2)),
                                    cHex(typeText.toUpper()), cHex(subtypeText.toUpper())};
    std::array<quint8, RecordSize> bytes{};
    for (int i = 0; i < RecordSize; ++i)
        bytes[i] = static_cast<quint8>(values[i]);
    return bytes;
}

int writeRecord(QByteArray &image, qint64 offset, const QString &xText, const QString &yText,
                const QString &typeText, const QString &subtypeText) {
    const std::array<quint8, RecordSize> values = recordBytes(xText, yText, typeText, subtypeText);
    int written = 0;
    for (int i = 0; i < RecordSize; ++i) {
        const qint64 at = offset + i;
        if (offset < 0 || at >= image.size())
            continue;
        image[at] = static_cast<char>(values[i]);
        ++written;
    }
    return written;
}

QString padPosition(const QString &text) {
    if (text.isEmpty() || text.size() >= 4)
        return text;
    return QString(4 - text.size(), QLatin1Char('0')) + text;
}

} // namespace layout
