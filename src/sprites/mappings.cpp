#include "sprites/mappings.h"

#include "rom/imagebytes.h"

#include <algorithm>
#include <climits>

namespace sprites {

namespace {

constexpr int kTileBytes = 32;

// The number of frames a table holds: its offset words end where the earliest frame data after
// them starts.
int frameCount(const rom::ImageBytes &in, qint64 table) {
    int end = INT_MAX;
    int n = 0;
    for (; n < MaxFrames && 2 * n < end; ++n) {
        const auto offset = in.signedWord(table + 2LL * n);
        if (!offset)
            break;
        if (*offset > 0 && *offset < end)
            end = *offset;
    }
    return n;
}

Piece piece(int dy, quint32 size, quint32 tile, int dx) {
    Piece p;
    p.dy = dy;
    p.width = int(size >> 2 & 3) + 1;
    p.height = int(size & 3) + 1;
    p.tile = static_cast<quint16>(tile);
    p.dx = dx;
    return p;
}

} // namespace

std::optional<QVector<Piece>> framePieces(const QByteArray &image, qint64 table, int frame,
                                          MappingFormat format) {
    const rom::ImageBytes in(image);
    if (frame < 0 || frame >= frameCount(in, table))
        return std::nullopt;
    const auto offset = in.signedWord(table + 2LL * frame);
    if (!offset)
        return std::nullopt;
    const qint64 at = table + *offset;
    QVector<Piece> pieces;
    if (format == MappingFormat::Sonic1) {
        const auto count = in.byte(at);
        if (!count || *count > MaxPieces || !in.has(at + 1, 5LL * *count))
            return std::nullopt;
        for (quint32 i = 0; i < *count; ++i) {
            const uchar *p = in.at(at + 1 + 5LL * i);
            pieces.append(piece(static_cast<qint8>(p[0]), p[1], quint32(p[2]) << 8 | p[3],
                                static_cast<qint8>(p[4])));
        }
        return pieces;
    }
    qint64 first = at;
    quint32 count = 1;
    if (format == MappingFormat::Sonic2) {
        const auto words = in.word(at);
        if (!words || *words > MaxPieces)
            return std::nullopt;
        count = *words;
        first = at + 2;
    }
    if (!in.has(first, 8LL * count))
        return std::nullopt;
    for (quint32 i = 0; i < count; ++i) {
        const uchar *p = in.at(first + 8LL * i);
        pieces.append(piece(static_cast<qint8>(p[0]), p[1], quint32(p[2]) << 8 | p[3],
                            static_cast<qint16>(p[6] << 8 | p[7])));
    }
    return pieces;
}

QVector<PlacedPiece> placePieces(const Sprite &sprite, const QVector<Piece> &pieces) {
    QVector<PlacedPiece> placed;
    placed.reserve(pieces.size());
    for (const Piece &p : pieces) {
        PlacedPiece out;
        // A plain 16-bit addition, as the game does it: a carry out of the tile field reaches
        // the flip bits.
        quint32 word = (quint32(p.tile) + sprite.art) & 0xFFFF;
        int left = sprite.x + p.dx;
        int top = sprite.y + p.dy;
        if (sprite.xFlip) {
            left = sprite.x - p.dx - 8 * p.width;
            word ^= 0x800;
        }
        if (sprite.yFlip) {
            top = sprite.y - p.dy - 8 * p.height;
            word ^= 0x1000;
        }
        out.area = QRect(left, top, 8 * p.width, 8 * p.height);
        out.word = static_cast<quint16>(word);
        out.width = p.width;
        out.height = p.height;
        placed.append(out);
    }
    return placed;
}

void paintPiece(const PlacedPiece &piece, const QByteArray &vram, const IndexCanvas &canvas) {
    if (!piece.area.intersects(canvas.area))
        return;
    const auto *art = reinterpret_cast<const uchar *>(vram.constData());
    const bool xFlip = (piece.word & 0x800) != 0;
    const bool yFlip = (piece.word & 0x1000) != 0;
    const int line = 16 * (piece.word >> 13 & 3);
    const int base = piece.word & 0x7FF;
    for (int c = 0; c < piece.width; ++c) {
        for (int r = 0; r < piece.height; ++r) {
            // Tiles run column by column; a flipped piece shows its columns or rows reversed,
            // each tile mirrored.
            const int tile = (base + c * piece.height + r) & 0x7FF;
            if (qint64(tile + 1) * kTileBytes > vram.size())
                continue; // never written: transparent
            const uchar *pixels = art + qint64(tile) * kTileBytes;
            const int left = piece.area.left() + 8 * (xFlip ? piece.width - 1 - c : c);
            const int top = piece.area.top() + 8 * (yFlip ? piece.height - 1 - r : r);
            for (int py = 0; py < 8; ++py) {
                const int y = top + (yFlip ? 7 - py : py);
                if (y < canvas.area.top() || y > canvas.area.bottom())
                    continue;
                uchar *row = canvas.pixels + qsizetype(y - canvas.area.top()) * canvas.stride;
                for (int px = 0; px < 8; ++px) {
                    const int x = left + (xFlip ? 7 - px : px);
                    if (x < canvas.area.left() || x > canvas.area.right())
                        continue;
                    const uchar pair = pixels[py * 4 + px / 2];
                    const int value = px & 1 ? pair & 0x0F : pair >> 4;
                    if (value != 0)
                        row[x - canvas.area.left()] = static_cast<uchar>(line + value);
                }
            }
        }
    }
}

} // namespace sprites
