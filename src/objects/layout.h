#pragma once
// Object records as the games store them: 6 bytes each (X word, Y word, type, subtype, words
// big-endian), a layout being a run of records ended by one whose X word is FFFF.

#include <QByteArray>
#include <QString>

#include <array>

class CaptionCatalogue;

namespace layout {

constexpr int RecordSize = 6;

// Last offset at which a record may start in an image of `length` bytes.
constexpr qint64 lastRecordStart(qint64 length) {
    return length - 100;
}

struct Walk {
    qint64 start = 0;
    qint64 count = 0; // records listed, the end record not included
    int xMax = 0;     // largest X and Y of the listed records on the coarse slider scale
    int yMax = 0;
};

// Walks the layout at `start` up to its end record or the L - 100 bound. A negative start
// lists nothing.
Walk walk(const QByteArray &image, qint64 start);

// Coarse slider scale used for the ranges: high byte times 128 plus the low byte's top bit.
constexpr int coarseValue(quint8 high, quint8 low) {
    return high * 128 + (low >= 0x80 ? 1 : 0);
}

// Slider position of a four-digit position text: high * 128 + low / 128, rounded half to even.
int sliderPosition(const QString &positionText);

// The position text for a slider value, chosen as the inverse of sliderPosition(): value
// v = 128 * h + r gives the high byte h and a low byte of 00, 80 or FF for r = 0, 1 and 2 or
// more, so that placing the slider from the text lands on v again (for r up to 2).
QString sliderText(int value);

// "offset: XXXX YYYY TT SS  caption" for the record at `offset`.
QString line(const QByteArray &image, qint64 offset, const CaptionCatalogue &captions);

// The record offset that field 1 of an object line names, or -1 if it names none.
qint64 lineOffset(const QString &line);

// Writes the six bytes of the record at `offset` from the editor texts; bytes that would lie
// outside the image are skipped. Returns how many bytes were written.
int writeRecord(QByteArray &image, qint64 offset, const QString &xText, const QString &yText,
                const QString &typeText, const QString &subtypeText);

// The six bytes writeRecord() would write from the editor texts.
std::array<quint8, RecordSize> recordBytes(const QString &xText, const QString &yText,
                                           const QString &typeText, const QString &subtypeText);

// A position text brought to four characters by filling "0" on the left; an empty text stays.
QString padPosition(const QString &text);

} // namespace layout
