#include "objects/recordtext.h"

#include <QRegularExpression>

namespace layout {

QString recordsText(const QVector<Record> &records) {
    QString text;
    for (const Record &r : records)
        text += QStringLiteral("%1%2 %3%4 %5 %6\n")
                    .arg(uint(r[0]), 2, 16, QLatin1Char('0'))
                    .arg(uint(r[1]), 2, 16, QLatin1Char('0'))
                    .arg(uint(r[2]), 2, 16, QLatin1Char('0'))
                    .arg(uint(r[3]), 2, 16, QLatin1Char('0'))
                    .arg(uint(r[4]), 2, 16, QLatin1Char('0'))
                    .arg(uint(r[5]), 2, 16, QLatin1Char('0'))
                    .toUpper();
    return text;
}

std::optional<QVector<Record>> parseRecords(const QString &clipboard, QString *refusal) {
    static const QRegularExpression kLine(QStringLiteral(
        "^\\s*([0-9A-Fa-f]{4})\\s+([0-9A-Fa-f]{4})\\s+([0-9A-Fa-f]{2})\\s+([0-9A-Fa-f]{2})\\s*$"));
    QVector<Record> records;
    const QStringList lines = clipboard.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString text = lines[i];
        text.remove(QLatin1Char('\r'));
        if (text.trimmed().isEmpty())
            continue;
        const QRegularExpressionMatch m = kLine.match(text);
        if (!m.hasMatch()) {
            if (refusal)
                *refusal = QStringLiteral("Nothing was pasted: line %1 (\"%2\") is not an object "
                                          "record of the form XXXX YYYY TT SS.")
                               .arg(i + 1)
                               .arg(text.trimmed().left(60));
            return std::nullopt;
        }
        const quint32 x = m.captured(1).toUInt(nullptr, 16), y = m.captured(2).toUInt(nullptr, 16);
        records.append({quint8(x >> 8), quint8(x), quint8(y >> 8), quint8(y),
                        quint8(m.captured(3).toUInt(nullptr, 16)),
                        quint8(m.captured(4).toUInt(nullptr, 16))});
    }
    return records;
}

} // namespace layout
