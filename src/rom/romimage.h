#pragma once
// The image file: reading it whole, recognising the game, and writing it back safely.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace rom {

// The path label's text when no image is held; it never names a file.
inline const QString NoPath = QStringLiteral("<None>");

// Far beyond any image of either game; larger files are refused rather than read into memory.
constexpr qint64 MaxImageBytes = 64LL * 1024 * 1024;

// Recognition bytes. The Sonic 1 pair is tested first, and the image must reach the second
// Sonic 1 offset before either pair is looked at.
constexpr qint64 Sonic1SigA = 0x226B9; // 0xB9
constexpr qint64 Sonic1SigB = 0x73FD8; // 0x12
constexpr qint64 Sonic2SigA = 0x1A0B;  // 0xCC
constexpr qint64 Sonic2SigB = 0x1A08;  // 0x01

enum class Recognition { OutOfRange, Sonic1, Sonic2, Unknown };

// Every released revision of both games. The revision only decides where the level data lies;
// everything else per game is the same.
enum class Revision { None, Sonic1Rev0, Sonic1Rev1, Sonic2Rev0, Sonic2Rev1, Sonic2Rev2 };

// The 14-byte serial at 0x180 tells all five revisions apart.
constexpr qint64 SerialAt = 0x180;
constexpr int SerialLength = 14;

// The revision of an image: the recognition bytes first (Sonic 1 before Sonic 2), then the
// serial. None for an image out of range or of neither game.
Revision revision(const QByteArray &image);

// The game of an image, by revision().
Recognition recognise(const QByteArray &image);

// The game code (1 or 2) of a recognised image, 0 otherwise.
int gameCode(Recognition r);
int gameCode(Revision r);
// Which release of its game `r` is (0, 1, 2), for tables of addresses by release; 0 for None.
int releaseOf(Revision r);

// The title status shown once an image of `r` is recognised ("- [Sonic 1]", ...); empty for None.
QString revisionStatus(Revision r);

// The serial each revision carries.
QByteArray revisionSerial(Revision r);

// Opens an image for reading only: a missing file is an open failure and is never created.
class ImageReader {
  public:
    // False with a reason when the path names no readable regular file of an acceptable size.
    bool open(const QString &path, QString *reason);
    qint64 size() const { return m_size; }
    // Reads size() bytes from the start into `buffer`, which must already be that long.
    bool read(QByteArray &buffer, QString *reason);
    void close() { m_file.close(); }

  private:
    QFile m_file;
    qint64 m_size = 0;
};

// Replaces the file at `path` with `data` through a temporary file in the same folder, so the
// old content survives any failure. A symbolic link is written through to its target, the
// file's permissions are kept, and bytes the file holds beyond data.size() are kept too.
bool saveImage(const QString &path, const QByteArray &data, QString *reason);

} // namespace rom
