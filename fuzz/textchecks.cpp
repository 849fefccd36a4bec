#include "bytereader.h"
#include "fuzzchecks.h"

#include "text/hextext.h"
#include "text/modstring.h"

#include <QStringList>

#include <cstring>
#include <limits>

namespace fuzzcheck {

namespace {

bool onlyHexDigits(const QString &s) {
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F')))
            return false;
    }
    return true;
}

// four() and two(): fixed minimum width, upper-case digits, and the value comes back out;
// never cut, never padded beyond the width; out of the 32-bit range all zeros.
QString checkNumber(qint64 value) {
    const bool inRange =
        value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max();
    const auto bits = static_cast<quint32>(static_cast<qint32>(value));
    for (const int width : {4, 2}) {
        const QString text = width == 4 ? four(value) : two(value);
        bool ok = false;
        const bool right = text.size() >= width && onlyHexDigits(text) &&
                           (inRange ? text.toUInt(&ok, 16) == bits && ok &&
                                          !(text.size() > width && text.front() == QLatin1Char('0'))
                                    : text == QString(width, QLatin1Char('0')));
        if (!right)
            return QStringLiteral("width %1 of %2 gave \"%3\"").arg(width).arg(value).arg(text);
    }
    return QString();
}

QString checkTyped(const QString &typed) {
    const int c = cHex(typed);
    if (c < 0 || c > 255)
        return QStringLiteral("cHex(\"%1\") gave %2").arg(typed).arg(c);
    if (!typed.isEmpty() && typed.size() <= 2 && onlyHexDigits(typed) &&
        c != typed.toInt(nullptr, 16))
        return QStringLiteral("cHex(\"%1\") gave %2").arg(typed).arg(c);

    const QString cleaned = QCase(typed);
    if (!onlyHexDigits(cleaned) || cleaned.size() > typed.size())
        return QStringLiteral("QCase(\"%1\") gave \"%2\"").arg(typed, cleaned);
    if (QCase(cleaned) != cleaned)
        return QStringLiteral("QCase is not idempotent on \"%1\"").arg(typed);

    const QString brought = twa(typed);
    const bool fits = typed.size() <= 2;
    if (fits ? brought.size() != 2 || !brought.endsWith(typed) : !brought.isEmpty())
        return QStringLiteral("twa(\"%1\") gave \"%2\"").arg(typed, brought);
    return QString();
}

// getField against QString::split, which cuts at the same left-to-right, non-overlapping
// occurrences of the delimiter.
QString checkField(const QString &text, int n, bool rest, const QString &delimiter) {
    const QString field = getField(text, n, rest, delimiter);
    const QString said = QStringLiteral("getField(\"%1\", %2, %3, \"%4\") gave \"%5\"")
                             .arg(text)
                             .arg(n)
                             .arg(int(rest))
                             .arg(delimiter, field);
    if (delimiter.isEmpty())
        return field != (n == 1 ? text : QString()) ? said : QString();
    if (!rest && field.contains(delimiter))
        return said + QStringLiteral(", which holds the delimiter");
    const QStringList pieces = text.split(delimiter, Qt::KeepEmptyParts);
    QString expected;
    if (n >= 1 && n <= pieces.size() && !text.isEmpty())
        expected = rest ? pieces.mid(n - 1).join(delimiter) : pieces.at(n - 1);
    return field != expected ? said + QStringLiteral(", expected \"%1\"").arg(expected) : QString();
}

} // namespace

QString textHelpers(const std::uint8_t *data, std::size_t size) {
    ByteReader in(data, size);

    qint64 value = 0;
    if (size >= sizeof value) {
        std::memcpy(&value, data, sizeof value);
        for (std::size_t i = 0; i < sizeof value; ++i)
            in.u8();
    }
    QString failure = checkNumber(value);
    if (failure.isEmpty())
        failure = checkNumber(value & 0xFFFF); // the words the editor really shows
    if (!failure.isEmpty())
        return failure;

    const auto n = static_cast<int>(static_cast<std::int8_t>(in.u8()));
    const std::uint8_t flags = in.u8();
    const bool rest = flags & 1;
    const auto decode = [&flags](const QByteArray &bytes) {
        return flags & 2 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
    };
    const int delimiterBytes = in.u8() % 4;
    QByteArray delimiterRaw;
    for (int i = 0; i < delimiterBytes; ++i)
        delimiterRaw.append(static_cast<char>(in.u8()));
    const QString delimiter = decode(delimiterRaw);
    const QString text = decode(in.rest());

    failure = checkTyped(text);
    if (failure.isEmpty())
        failure = checkTyped(text.left(2));
    if (failure.isEmpty())
        failure = checkField(text, n, rest, delimiter);
    if (failure.isEmpty())
        failure = checkField(text, n, rest, QStringLiteral(" ")); // as the object lines are cut
    return failure;
}

} // namespace fuzzcheck
