#pragma once
// Sprite mappings: a table of frames, each a list of pieces of up to 4x4 tiles, and drawing one
// sprite from them onto a picture of palette indices.

#include <QByteArray>
#include <QRect>
#include <QVector>

#include <optional>

namespace sprites {

enum class MappingFormat {
    Sonic1, // byte count, 5 bytes per piece
    Sonic2, // word count, 8 bytes per piece (the two-player tile word is skipped)
    Ring    // Sonic 2's ring frames: one 8-byte piece and no count
};

// Far beyond any real frame or table; a table or count past these is malformed.
constexpr int MaxPieces = 128;
constexpr int MaxFrames = 256;

struct Piece {
    int dx = 0;
    int dy = 0;
    int width = 1;  // tiles, 1-4
    int height = 1; //
    quint16 tile = 0;
};

// The pieces of `frame` of the table at `table`. None when the frame number is past the table
// (its offset words end where the first frame's data starts), or when anything lies outside the
// image or past the caps.
std::optional<QVector<Piece>> framePieces(const QByteArray &image, qint64 table, int frame,
                                          MappingFormat format);

// One sprite of an object: a frame of a mappings table drawn with an art word (base tile,
// palette line and priority, added to each piece's tile word) at a position.
struct Sprite {
    qint64 mappings = -1;
    MappingFormat format = MappingFormat::Sonic1;
    int frame = 0;
    quint16 art = 0;
    bool xFlip = false;
    bool yFlip = false;
    int x = 0; // level position (or relative to the record, as the caller keeps it)
    int y = 0;
};

// A piece as it lands on the picture: where, and the tile word after the art word was added and
// the sprite's flips applied.
struct PlacedPiece {
    QRect area;
    quint16 word = 0;
    int width = 1;
    int height = 1;
};

QVector<PlacedPiece> placePieces(const Sprite &sprite, const QVector<Piece> &pieces);

// A picture of palette indices (line x 16 + colour; 0 = nothing drawn) covering `area` of the
// level, one byte per pixel, rows `stride` bytes apart.
struct IndexCanvas {
    uchar *pixels = nullptr;
    qsizetype stride = 0;
    QRect area;
};

// Draws one piece from `vram` (32 bytes per tile; tiles past its end are transparent), clipped to
// the canvas; each opaque pixel replaces what is there.
void paintPiece(const PlacedPiece &piece, const QByteArray &vram, const IndexCanvas &canvas);

} // namespace sprites
