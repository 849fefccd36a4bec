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
#include <functional>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <vector>

// Its poisoning macros do nothing in a build without AddressSanitizer.
#include <sanitizer/asan_interface.h>

// How the input is read:
//   kind     u8   bits 0-1: 0 a full Sonic 1 image, 1 a full Sonic 2 image, 2 an image holding
//                 only the recognition bytes (bit 2 picks the game), 3 the input's tail itself;
//                 bit 4: cut the image to a length u24 (modulo its size + 1);
//                 bit 5: append u16 % 4096 bytes of u8; bit 6: check the save
//   edit          level u8, row u16, X and Y texts (up to 6 Latin-1 characters each), type and
//                 subtype texts (up to 3 each), the level to clear u8
//   tail          kind 3: the image; otherwise patches, each an op u8 and then
//                 op even: level u8, record u16, six bytes written over that record
//                 op odd:  offset u24 (modulo the length), one byte written there
// The game images have $FF wherever they hold no layout (see withFiller). Only the edited and the
// cleared level are listed and checked, so that one input costs well under a millisecond; across
// inputs every level is reached. The save, when asked for, goes through the file system with a
// small image (see checkSave).

namespace fuzzcheck {

namespace {

// The image's bytes: one buffer kept for the whole run, the image at its end and the room
// before it poisoned, so that AddressSanitizer reports a read past either end of the image as it
// would for a buffer of its own (exactly at the end; at the start, from 8 bytes before it). A
// fresh megabyte buffer per input costs more in page faults than all the checks together.
class Bytes {
  public:
    ~Bytes() { ASAN_UNPOISON_MEMORY_REGION(m_storage.data(), m_storage.size()); }
    // Makes room for `size` bytes; their values are left as they were.
    void resize(std::size_t size) {
        if (size > m_storage.size()) {
            ASAN_UNPOISON_MEMORY_REGION(m_storage.data(), m_storage.size());
            std::vector<char>(size).swap(m_storage);
        }
        m_offset = m_storage.size() - size;
        ASAN_POISON_MEMORY_REGION(m_storage.data(), m_offset);
        ASAN_UNPOISON_MEMORY_REGION(m_storage.data() + m_offset, size);
    }
    std::size_t size() const { return m_storage.size() - m_offset; }
    char *data() { return m_storage.data() + m_offset; }
    const char *data() const { return m_storage.data() + m_offset; }
    char *begin() { return data(); }
    const char *cbegin() const { return data(); }
    const char *cend() const { return data() + size(); }
    char &operator[](std::size_t at) { return data()[at]; }

  private:
    std::vector<char> m_storage;
    std::size_t m_offset = 0;
};

// A read-only view of exactly the bytes in `storage`, so that AddressSanitizer sees a read one
// past the end (a QByteArray of its own would have a terminator and spare room there).
QByteArray exactView(const Bytes &storage) {
    return QByteArray::fromRawData(storage.data(), static_cast<qsizetype>(storage.size()));
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

// A game's image with every byte outside its layouts and recognition bytes set to $FF, which
// ends any walk that strays out of a layout at once: a walk through a megabyte of zeros costs a
// hundred times what the rest of the checks do. Walks to the length bound come from cut images.
// Without layouts (`layouts` false) only the recognition bytes are left.
QByteArray withFiller(QByteArray image, int game, bool layouts) {
    LevelAddressTable table{};
    loadAddresses(table, game);
    qint64 first = *std::min_element(table.cbegin(), table.cend());
    qint64 last = *std::max_element(table.cbegin(), table.cend());
    while (last + 1 < image.size() &&
           !(byteAt(image, last) == 0xFF && byteAt(image, last + 1) == 0xFF))
        last += layout::RecordSize;
    if (!layouts)
        first = last = image.size();
    const qint64 sigA = game == 1 ? rom::Sonic1SigA : rom::Sonic2SigA;
    const qint64 sigB = game == 1 ? rom::Sonic1SigB : rom::Sonic2SigB;
    const char a = image.at(sigA), b = image.at(sigB);
    std::fill(image.begin(), image.begin() + first, '\xFF');
    std::fill(image.begin() + qMin<qint64>(last, image.size()), image.end(), '\xFF');
    image[sigA] = a;
    image[sigB] = b;
    return image;
}

// Builds the image into `bytes` (reused from the previous input).
void buildImage(ByteReader &in, Edit &edit, int &patchGame, bool &save, Bytes &bytes) {
    static const QByteArray sonic1 = withFiller(synthetic::image(1), 1, true);
    static const QByteArray sonic2 = withFiller(synthetic::image(2), 2, true);
    static const QByteArray blank1 = withFiller(synthetic::blankImage(1), 1, false);
    static const QByteArray blank2 = withFiller(synthetic::blankImage(2), 2, false);

    const std::uint8_t kind = in.u8();
    const int source = kind & 3;
    save = kind & 0x40;
    patchGame = source == 1 || (source == 2 && (kind & 4)) ? 2 : 1;
    const QByteArray base = source == 0   ? sonic1
                            : source == 1 ? sonic2
                            : source == 2 ? (patchGame == 2 ? blank2 : blank1)
                                          : QByteArray();
    qsizetype length = base.size();
    if (kind & 0x10)
        length = static_cast<qsizetype>(in.u24() % (base.size() + 1));
    qsizetype extra = 0;
    char fill = 0;
    if (kind & 0x20) {
        extra = static_cast<qsizetype>(in.u16() % 4096);
        fill = static_cast<char>(in.u8());
    }

    edit.level = in.u8() % LevelCount;
    edit.row = static_cast<int>(in.u16());
    edit.x = in.latin1(6);
    edit.y = in.latin1(6);
    edit.type = in.latin1(3);
    edit.subtype = in.latin1(3);
    edit.clearLevel = in.u8() % LevelCount;

    const QByteArray tail = source == 3 ? in.rest() : QByteArray();
    bytes.resize(static_cast<std::size_t>(length + extra + tail.size()));
    auto out = std::copy(base.cbegin(), base.cbegin() + length, bytes.begin());
    out = std::fill_n(out, extra, fill);
    std::copy(tail.cbegin(), tail.cend(), out);
    if (source == 3)
        return;

    LevelAddressTable table{};
    loadAddresses(table, patchGame);
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
}

// Rows whose lines are taken apart: all of a short level, both ends of a long one.
std::vector<int> sampleRows(int count) {
    std::vector<int> rows;
    for (int r = 0; r < count; r = r == 2 && count > 6 ? count - 3 : r + 1)
        rows.push_back(r);
    return rows;
}

// Lists one level and takes each sampled line apart the way choosing it in the list does.
QString checkLevel(SpriteModel &model, const QByteArray &image, qint64 start,
                   const CaptionCatalogue &captions, const QString &name) {
    const auto fail = [&name](const QString &what, qint64 n) {
        return name + QStringLiteral(": ") + what.arg(n);
    };
    const layout::Walk walk = model.list(image, start);
    const qint64 size = image.size();
    const int count = model.rowCount();
    if (count != walk.count || (start < 0 && count != 0))
        return fail(QStringLiteral("%1 rows for %2 records").arg(count), walk.count);
    const qint64 next = start + qint64(count) * layout::RecordSize;
    if (count > 0 && next - layout::RecordSize > layout::lastRecordStart(size))
        return fail(QStringLiteral("record at %1 listed past the bound"), next);
    if (start >= 0 && next <= layout::lastRecordStart(size) &&
        !(byteAt(image, next) == 0xFF && byteAt(image, next + 1) == 0xFF))
        return fail(QStringLiteral("the listing stopped at %1 before the end record"), next);

    for (const int row : sampleRows(count)) {
        const QString line = model.lineAt(row);
        const qint64 at = layout::lineOffset(line);
        const QString onLine = QStringLiteral("\"") + line + QStringLiteral("\": %1");
        if (at != model.offsetAt(row) || at != start + qint64(row) * layout::RecordSize)
            return fail(onLine, row) + QStringLiteral(" names the wrong offset");
        QString fields[4];
        const int widths[4] = {4, 4, 2, 2};
        for (int f = 0; f < 4; ++f)
            if ((fields[f] = getField(line, f + 2, false, kSpace)).size() != widths[f])
                return fail(onLine + QStringLiteral(" field"), f + 2);
        const int shown[6] = {cHex(fields[0].left(2)), cHex(fields[0].right(2)),
                              cHex(fields[1].left(2)), cHex(fields[1].right(2)),
                              cHex(fields[2]),         cHex(fields[3])};
        for (int b = 0; b < 6; ++b)
            if (shown[b] != byteAt(image, at + b))
                return fail(onLine + QStringLiteral(" does not show the record's byte"), b);
        if (!line.endsWith(QStringLiteral("  ") + captions.caption(shown[4], shown[5])))
            return fail(onLine + QStringLiteral(" lacks its caption"), row);
        for (const QString &position : {fields[0], fields[1]}) {
            const int slider = layout::sliderPosition(position);
            if (slider < 0 || slider > 255 * 128 + 2 ||
                layout::sliderPosition(layout::sliderText(slider)) != slider)
                return fail(QStringLiteral("slider %1 for ") + position, slider);
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

// Runs `write` on a copy of the bytes around [from, to), given with its image offset, and, when
// nothing outside [from, to) changed, copies that span back into the image. Writes here are
// local, so a window stands for the whole image at a fraction of the cost.
QString writeLocally(Bytes &bytes, qint64 from, qint64 to,
                     const std::function<QString(QByteArray &, qint64)> &write) {
    constexpr qint64 kMargin = 64;
    const auto size = static_cast<qint64>(bytes.size());
    const qint64 offset = qBound<qint64>(0, from - kMargin, size);
    const qint64 end = qBound<qint64>(offset, to + kMargin, size);
    QByteArray window(bytes.data() + offset, static_cast<qsizetype>(end - offset));
    if (const QString failure = write(window, offset); !failure.isEmpty())
        return failure;
    const qint64 a = qBound<qint64>(0, from - offset, window.size());
    const qint64 b = qBound<qint64>(a, to - offset, window.size());
    const char *before = bytes.cbegin() + offset;
    if (!std::equal(window.cbegin(), window.cbegin() + a, before) ||
        !std::equal(window.cbegin() + b, window.cend(), before + b))
        return QStringLiteral("a write to [%1, %2) changed bytes outside it").arg(from).arg(to);
    std::copy(window.cbegin() + a, window.cbegin() + b, bytes.begin() + offset + a);
    return QString();
}

QString checkEdit(Bytes &bytes, const LevelAddressTable &table, const CaptionCatalogue &captions,
                  const Edit &edit, const QString &name) {
    const qint64 start = table[edit.level];
    SpriteModel model(captions);
    const QString listing = checkLevel(model, exactView(bytes), start, captions, name);
    if (!listing.isEmpty() || model.rowCount() == 0)
        return listing;
    const int row = edit.row % model.rowCount();
    const qint64 at = layout::lineOffset(model.lineAt(row));
    if (at != model.offsetAt(row))
        return QStringLiteral("edit: line of row %1 names %2").arg(row).arg(at);
    model.clear();

    const QString written =
        writeLocally(bytes, at, at + layout::RecordSize, [&](QByteArray &window, qint64 offset) {
            const int n =
                layout::writeRecord(window, at - offset, edit.x, edit.y, edit.type, edit.subtype);
            return n == layout::RecordSize
                       ? QString()
                       : QStringLiteral("edit: %1 bytes written at %2").arg(n).arg(at);
        });
    if (!written.isEmpty())
        return written;

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
                   int level, const QString &name) {
    const qint64 start = table[level];
    SpriteModel model(captions);
    const QString listing = checkLevel(model, exactView(bytes), start, captions, name);
    if (!listing.isEmpty())
        return listing;
    const int count = model.rowCount();
    const qint64 end = start + qint64(count) * layout::RecordSize;
    if (count > 0) {
        const QString cleared = writeLocally(bytes, start, end, [&](QByteArray &w, qint64 offset) {
            for (int i = 0; i < count; ++i) {
                const qint64 at = model.offsetAt(i) - offset;
                if (at < 0 || at + layout::RecordSize > w.size())
                    return QStringLiteral("clear: row %1 lies outside the image").arg(i);
                std::fill_n(w.begin() + at, layout::RecordSize, '\0');
            }
            return QString();
        });
        if (!cleared.isEmpty())
            return cleared;
    }
    model.clear();
    for (qint64 at = start; at < end; ++at)
        if (bytes[static_cast<std::size_t>(at)] != 0)
            return QStringLiteral("clear of level %1 left a byte at %2").arg(level).arg(at);
    model.list(exactView(bytes), start);
    if (model.rowCount() != count)
        return QStringLiteral("clear: level %1 lists %2 rows instead of %3")
            .arg(level)
            .arg(model.rowCount())
            .arg(count);
    return QString();
}

// The save through the real file path on a small image: the first few KiB of the edited image
// written over a file of another length whose content differs, then read back. The file's bytes
// beyond the saved length must survive. Small, because writing and reading back a megabyte
// costs more than all the other checks; the save does not look at what it writes.
QString checkSave(const Bytes &bytes, const Edit &edit) {
    // On a memory file system when there is one: the save syncs to disk.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/quillet-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/quillet-fuzz-XXXXXX"));
    if (!dir.isValid())
        return QStringLiteral("save: no temporary folder");
    const QString path = dir.filePath(QStringLiteral("image.bin"));
    const auto size = static_cast<qsizetype>(bytes.size());
    const qsizetype saved = qMin<qsizetype>(size, edit.row % 0x1000 + 1);
    const qsizetype before = qMin<qsizetype>(size, edit.row / 0x1000 * 0x200);
    QByteArray old(bytes.data(), before);
    for (char &c : old)
        c = static_cast<char>(~c);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(old) != before)
        return QStringLiteral("save: cannot write the file to save over");
    file.close();

    const QByteArray image(bytes.data(), saved);
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
    QByteArray expected = image + old.mid(saved);
    // Saving may set the header's checksum word; nothing else may differ.
    for (const qsizetype at : {qsizetype(0x18E), qsizetype(0x18F)})
        if (at < back.size() && at < expected.size())
            back[at] = expected[at];
    if (back != expected)
        return QStringLiteral("saving %1 bytes over %2 left a file of %3 bytes that differs")
            .arg(saved)
            .arg(before)
            .arg(back.size());
    return QString();
}

} // namespace

QString imagePath(const std::uint8_t *data, std::size_t size) {
    ByteReader in(data, size);
    Edit edit;
    int patchGame = 1;
    bool save = false;
    static Bytes bytes;
    buildImage(in, edit, patchGame, save, bytes);
    asEditorsHoldThem(edit);

    const rom::Recognition found = rom::recognise(exactView(bytes));
    const bool shortImage = static_cast<qint64>(bytes.size()) <= rom::Sonic1SigB;
    if ((found == rom::Recognition::OutOfRange) != shortImage)
        return QStringLiteral("recognise: an image of %1 bytes").arg(bytes.size());

    // A recognised image fills the tables of its game; for any other, both games are tried.
    const int game = rom::gameCode(found);
    const std::vector<int> games = game ? std::vector<int>{game} : std::vector<int>{1, 2};

    for (const int g : games) {
        LevelAddressTable table{};
        table.fill(NoLevel);
        loadAddresses(table, g);
        static const QStringList names[2] = {levelNames(1), levelNames(2)};
        if (names[g - 1].size() != LevelCount)
            return QStringLiteral("game %1 has %2 level names").arg(g).arg(names[g - 1].size());
        // Filling a catalogue does not depend on the image: once per game is enough.
        static CaptionCatalogue catalogues[2];
        static const bool loaded[2] = {catalogues[0].load(1), catalogues[1].load(2)};
        if (!loaded[g - 1])
            return QStringLiteral("game %1 has no captions").arg(g);
        const CaptionCatalogue &captions = catalogues[g - 1];

        const QStringList &levels = names[g - 1];
        QString failure = checkEdit(bytes, table, captions, edit, levels.at(edit.level));
        if (failure.isEmpty())
            failure =
                checkClear(bytes, table, captions, edit.clearLevel, levels.at(edit.clearLevel));
        if (!failure.isEmpty())
            return failure;
    }
    if (!save)
        return QString();
    return checkSave(bytes, edit);
}

} // namespace fuzzcheck
