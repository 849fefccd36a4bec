#include "bytereader.h"
#include "fuzzchecks.h"

#include "demo/syntheticimage.h"
#include "levels/leveltables.h"
#include "objects/layout.h"
#include "objects/spritemodel.h"
#include "rom/romimage.h"
#include "text/hextext.h"
#include "text/modstring.h"
#include "types/captions.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstring>
#include <vector>

// How the input is read:
//   kind     u8   bits 0-1: 0 a full Sonic 1 image, 1 a full Sonic 2 image, 2 an image holding
//                 only the recognition bytes (bit 2 picks the game), 3 the input's tail itself;
//                 bit 4: cut the image to a length u24 (modulo its size + 1);
//                 bit 5: append u16 % 4096 bytes of u8
//   edit          level u8, row u16, X and Y texts (up to 6 Latin-1 characters each), type and
//                 subtype texts (up to 3 each), the level to clear u8
//   tail          kind 3: the image; otherwise patches, each an op u8 and then
//                 op even: level u8, record u16, six bytes written over that record
//                 op odd:  offset u24 (modulo the length), one byte written there

namespace fuzzcheck {

namespace {

using Bytes = std::vector<char>;

// A read-only view of exactly the bytes in `storage`, so that AddressSanitizer sees a read one
// past the end (a QByteArray of its own would have a terminator and spare room there).
QByteArray exactView(const Bytes &storage) {
    return QByteArray::fromRawData(storage.data(), static_cast<qsizetype>(storage.size()));
}

Bytes toBytes(const QByteArray &a) {
    return Bytes(a.cbegin(), a.cend());
}

quint8 byteAt(const QByteArray &image, qint64 at) {
    return static_cast<quint8>(image.at(at));
}

const QString kSpace = QStringLiteral(" ");

struct Edit {
    int level = 0;
    int row = 0;
    QString x, y, type, subtype;
    int clearLevel = 0;
};

Bytes buildImage(ByteReader &in, Edit &edit, int &patchGame) {
    static const QByteArray sonic1 = synthetic::image(1);
    static const QByteArray sonic2 = synthetic::image(2);
    static const QByteArray blank1 = synthetic::blankImage(1);
    static const QByteArray blank2 = synthetic::blankImage(2);

    const std::uint8_t kind = in.u8();
    QByteArray image;
    patchGame = 1;
    switch (kind & 3) {
    case 0:
        image = sonic1;
        break;
    case 1:
        image = sonic2;
        patchGame = 2;
        break;
    case 2:
        patchGame = kind & 4 ? 2 : 1;
        image = patchGame == 2 ? blank2 : blank1;
        break;
    default:
        break;
    }
    if (kind & 0x10)
        image.truncate(static_cast<qsizetype>(in.u24() % (image.size() + 1)));
    if (kind & 0x20) {
        const auto extra = static_cast<qsizetype>(in.u16() % 4096);
        image.append(QByteArray(extra, static_cast<char>(in.u8())));
    }

    edit.level = in.u8() % LevelCount;
    edit.row = static_cast<int>(in.u16());
    edit.x = in.latin1(6);
    edit.y = in.latin1(6);
    edit.type = in.latin1(3);
    edit.subtype = in.latin1(3);
    edit.clearLevel = in.u8() % LevelCount;

    if ((kind & 3) == 3)
        return toBytes(image + in.rest());

    LevelAddressTable table{};
    loadAddresses(table, patchGame);
    Bytes bytes = toBytes(image);
    const auto size = static_cast<qint64>(bytes.size());
    while (!in.atEnd()) {
        if (in.u8() % 2 == 0) {
            const qint64 at = table[in.u8() % LevelCount] + qint64(in.u16()) * layout::RecordSize;
            for (int i = 0; i < layout::RecordSize; ++i) {
                const char value = static_cast<char>(in.u8());
                if (at + i < size)
                    bytes[at + i] = value;
            }
        } else {
            const qint64 at = size > 0 ? in.u24() % size : 0;
            const char value = static_cast<char>(in.u8());
            if (at < size)
                bytes[at] = value;
        }
    }
    return bytes;
}

// Rows whose lines are taken apart: all of a short level, both ends of a long one.
std::vector<int> sampleRows(int count) {
    constexpr int kEnds = 8;
    std::vector<int> rows;
    for (int r = 0; r < count; ++r) {
        if (r < kEnds || r >= count - kEnds)
            rows.push_back(r);
        else
            r = count - kEnds - 1;
    }
    return rows;
}

// Lists one level and takes each sampled line apart the way choosing it in the list does.
QString checkLevel(const QByteArray &image, qint64 start, const CaptionCatalogue &captions,
                   const QString &name) {
    SpriteModel model(captions);
    const layout::Walk walk = model.list(image, start);
    const qint64 size = image.size();
    const int count = model.rowCount();
    if (count != walk.count)
        return QStringLiteral("%1: %2 rows for %3 records").arg(name).arg(count).arg(walk.count);
    if (start < 0 && count != 0)
        return QStringLiteral("%1: a level without layout lists %2 rows").arg(name).arg(count);
    const qint64 next = start + qint64(count) * layout::RecordSize;
    if (count > 0 && next - layout::RecordSize > layout::lastRecordStart(size))
        return QStringLiteral("%1: record at %2 listed past the bound")
            .arg(name)
            .arg(next - layout::RecordSize);
    if (start >= 0 && next <= layout::lastRecordStart(size) &&
        !(byteAt(image, next) == 0xFF && byteAt(image, next + 1) == 0xFF))
        return QStringLiteral("%1: the listing stopped at %2 before the end record")
            .arg(name)
            .arg(next);

    for (const int row : sampleRows(count)) {
        const QString line = model.lineAt(row);
        const qint64 at = layout::lineOffset(line);
        if (at != model.offsetAt(row) || at != start + qint64(row) * layout::RecordSize)
            return QStringLiteral("%1: line \"%2\" of row %3 names the wrong offset")
                .arg(name, line)
                .arg(row);
        const QString fields[4] = {
            getField(line, 2, false, kSpace), getField(line, 3, false, kSpace),
            getField(line, 4, false, kSpace), getField(line, 5, false, kSpace)};
        const int widths[4] = {4, 4, 2, 2};
        for (int f = 0; f < 4; ++f)
            if (fields[f].size() != widths[f])
                return QStringLiteral("%1: field %2 of \"%3\"").arg(name).arg(f + 2).arg(line);
        const int shown[6] = {cHex(fields[0].left(2)), cHex(fields[0].right(2)),
                              cHex(fields[1].left(2)), cHex(fields[1].right(2)),
                              cHex(fields[2]),         cHex(fields[3])};
        for (int b = 0; b < 6; ++b)
            if (shown[b] != byteAt(image, at + b))
                return QStringLiteral("%1: \"%2\" does not show the record's byte %3")
                    .arg(name, line)
                    .arg(b);
        const QString caption = captions.caption(shown[4], shown[5]);
        if (!line.endsWith(QStringLiteral("  ") + caption))
            return QStringLiteral("%1: \"%2\" lacks its caption").arg(name, line);

        for (const QString &position : {fields[0], fields[1]}) {
            const int slider = layout::sliderPosition(position);
            if (slider < 0 || slider > 255 * 128 + 2 ||
                layout::sliderPosition(layout::sliderText(slider)) != slider)
                return QStringLiteral("%1: slider %2 for \"%3\"")
                    .arg(name)
                    .arg(slider)
                    .arg(position);
        }
    }
    return QString();
}

// The editor texts as the boxes would hold them when "Change" is pressed: X and Y cleaned,
// at most four characters and filled to four; type and subtype at most two, brought to two.
void asEditorsHoldThem(Edit &edit) {
    edit.x = layout::padPosition(QCase(edit.x).left(4));
    edit.y = layout::padPosition(QCase(edit.y).left(4));
    edit.type = twa(edit.type.left(2));
    edit.subtype = twa(edit.subtype.left(2));
}

bool hexOnly(const QString &s) {
    return !s.isEmpty() && QCase(s) == s;
}

// Whether `image` equals `before` everywhere but in [from, to).
bool sameOutside(const QByteArray &image, const Bytes &before, qint64 from, qint64 to) {
    const auto size = static_cast<qint64>(before.size());
    from = qBound<qint64>(0, from, size);
    to = qBound<qint64>(from, to, size);
    // std::equal rather than memcmp: an empty image has no data pointer to hand over.
    return image.size() == size &&
           std::equal(image.cbegin(), image.cbegin() + from, before.cbegin()) &&
           std::equal(image.cbegin() + to, image.cend(), before.cbegin() + to);
}

QString checkEdit(Bytes &bytes, const LevelAddressTable &table, const CaptionCatalogue &captions,
                  const Edit &edit) {
    const qint64 start = table[edit.level];
    SpriteModel model(captions);
    model.list(exactView(bytes), start);
    if (model.rowCount() == 0)
        return QString();
    const int row = edit.row % model.rowCount();
    const qint64 at = layout::lineOffset(model.lineAt(row));
    if (at != model.offsetAt(row))
        return QStringLiteral("edit: line of row %1 names %2").arg(row).arg(at);
    model.clear();

    QByteArray image(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const int written = layout::writeRecord(image, at, edit.x, edit.y, edit.type, edit.subtype);
    if (written != layout::RecordSize)
        return QStringLiteral("edit: %1 bytes written into the record at %2").arg(written).arg(at);
    if (!sameOutside(image, bytes, at, at + layout::RecordSize))
        return QStringLiteral("edit of the record at %1 changed bytes outside it").arg(at);
    std::copy(image.cbegin(), image.cend(), bytes.begin());

    // Valid hex texts come back in the record's line, unless the new X ends the layout there.
    const bool hex = hexOnly(edit.x) && hexOnly(edit.y) && hexOnly(edit.type.toUpper()) &&
                     hexOnly(edit.subtype.toUpper());
    if (hex && edit.x != QLatin1String("FFFF")) {
        model.list(exactView(bytes), start);
        const QString line = model.lineAt(row);
        const QString expected = edit.x + kSpace + edit.y + kSpace + edit.type.toUpper() + kSpace +
                                 edit.subtype.toUpper();
        if (getField(line, 2, true, kSpace).left(expected.size()) != expected)
            return QStringLiteral("edit: \"%1\" after writing %2").arg(line, expected);
    }
    return QString();
}

// Blanks every listed record of a level, as "Clear All Sprites" does.
QString checkClear(Bytes &bytes, const LevelAddressTable &table, const CaptionCatalogue &captions,
                   int level) {
    const qint64 start = table[level];
    SpriteModel model(captions);
    model.list(exactView(bytes), start);
    const int count = model.rowCount();
    QByteArray image(bytes.data(), static_cast<qsizetype>(bytes.size()));
    for (int i = 0; i < count; ++i) {
        const qint64 at = model.offsetAt(i);
        if (at < 0 || at + layout::RecordSize > image.size())
            return QStringLiteral("clear: row %1 lies outside the image").arg(i);
        std::fill_n(image.begin() + at, layout::RecordSize, '\0');
    }
    model.clear();
    const qint64 end = start + qint64(count) * layout::RecordSize;
    if (count > 0 && !sameOutside(image, bytes, start, end))
        return QStringLiteral("clear of level %1 changed bytes outside it").arg(level);
    static const char zeros[4096] = {};
    for (qint64 at = start; at < end; at += sizeof zeros)
        if (std::memcmp(image.constData() + at, zeros, qMin<qint64>(sizeof zeros, end - at)) != 0)
            return QStringLiteral("clear of level %1 left bytes near %2").arg(level).arg(at);
    std::copy(image.cbegin(), image.cend(), bytes.begin());
    model.list(exactView(bytes), start);
    if (model.rowCount() != count)
        return QStringLiteral("clear: level %1 lists %2 rows instead of %3")
            .arg(level)
            .arg(model.rowCount())
            .arg(count);
    return QString();
}

QString checkSave(const Bytes &bytes) {
    // On a memory file system when there is one: the save syncs to disk, which costs more
    // than everything else here put together.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/quillet-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/quillet-fuzz-XXXXXX"));
    if (!dir.isValid())
        return QStringLiteral("save: no temporary folder");
    const QString path = dir.filePath(QStringLiteral("image.bin"));
    QFile::remove(path); // a longer old file would keep its tail
    const QByteArray image = exactView(bytes);
    QString reason;
    if (!rom::saveImage(path, image, &reason))
        return QStringLiteral("save failed: %1").arg(reason);
    rom::ImageReader reader;
    if (!reader.open(path, &reason))
        return QStringLiteral("saved image cannot be opened: %1").arg(reason);
    QByteArray back(reader.size(), '\0');
    if (!reader.read(back, &reason))
        return QStringLiteral("saved image cannot be read: %1").arg(reason);
    reader.close();
    if (back != image)
        return QStringLiteral("the saved file (%1 bytes) differs from the image (%2 bytes)")
            .arg(back.size())
            .arg(image.size());
    return QString();
}

} // namespace

QString imagePath(const std::uint8_t *data, std::size_t size) {
    ByteReader in(data, size);
    Edit edit;
    int patchGame = 1;
    Bytes bytes = buildImage(in, edit, patchGame);
    asEditorsHoldThem(edit);

    const rom::Recognition found = rom::recognise(exactView(bytes));
    const bool shortImage = static_cast<qint64>(bytes.size()) <= rom::Sonic1SigB;
    if ((found == rom::Recognition::OutOfRange) != shortImage)
        return QStringLiteral("recognise: an image of %1 bytes").arg(bytes.size());

    // A recognised image fills the tables of its game; for any other, both games are tried.
    const int game = rom::gameCode(found);
    std::vector<int> games;
    if (game != 0)
        games.push_back(game);
    else
        games = {1, 2};

    for (const int g : games) {
        LevelAddressTable table{};
        table.fill(NoLevel);
        loadAddresses(table, g);
        const QStringList names = levelNames(g);
        if (names.size() != LevelCount)
            return QStringLiteral("game %1 has %2 level names").arg(g).arg(names.size());
        // Filling a catalogue does not depend on the image: once per game is enough.
        static CaptionCatalogue catalogues[2];
        static const bool loaded[2] = {catalogues[0].load(1), catalogues[1].load(2)};
        if (!loaded[g - 1])
            return QStringLiteral("game %1 has no captions").arg(g);
        const CaptionCatalogue &captions = catalogues[g - 1];

        const QByteArray image = exactView(bytes);
        for (int row = 0; row < LevelCount; ++row) {
            const QString failure = checkLevel(image, table[row], captions, names.at(row));
            if (!failure.isEmpty())
                return failure;
        }
        QString failure = checkEdit(bytes, table, captions, edit);
        if (failure.isEmpty())
            failure = checkClear(bytes, table, captions, edit.clearLevel);
        if (!failure.isEmpty())
            return failure;
    }
    return checkSave(bytes);
}

} // namespace fuzzcheck
