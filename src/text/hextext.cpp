#include "text/hextext.h"

#include <limits>

namespace {

QString padded(qint64 x, int width) {
    if (x < std::numeric_limits<qint32>::min() || x > std::numeric_limits<qint32>::max())
        return QString(width, QLatin1Char('0'));
    // Negative values print as their 32-bit pattern, as the original conversion did.
    const auto bits = static_cast<quint32>(static_cast<qint32>(x));
    QString digits = QString::number(bits, 16).toUpper();
    if (digits.size() < width)
        digits.prepend(QString(width - digits.size(), QLatin1Char('0')));
    return digits;
}

int digitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return 0;
}

} // namespace

QString four(qint64 x) {
    return padded(x, 4);
}

QString two(qint64 x) {
    return padded(x, 2);
}

QString twa(const QString &x) {
    switch (x.size()) {
    case 0:
        return QStringLiteral("00");
    case 1:
        return QLatin1Char('0') + x;
    case 2:
        return x;
    default:
        return QString();
    }
}

int cHex(const QString &shex) {
    QString s = shex;
    if (s.size() == 1)
        s.prepend(QLatin1Char('0'));
    if (s.size() > 2)
        return 0;
    if (s.isEmpty())
        return 0;
    return 16 * digitValue(s.front()) + digitValue(s.back());
}

QString QCase(const QString &j) {
    QString out;
    out.reserve(j.size());
    for (QChar c : j) {
        const QChar u = c.toUpper();
        const char16_t v = u.unicode();
        if ((v >= u'0' && v <= u'9') || (v >= u'A' && v <= u'F'))
            out.append(u);
    }
    return out;
}
