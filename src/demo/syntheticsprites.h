#pragma once
// Object sprites for synthetic images: hand-assembled init routines in the encodings the game's
// code uses, mappings tables, art lists with our own small art, and Sonic 2 ring layouts, so that
// tests and demo images show sprites without a game image.

#include "demo/syntheticimage.h"
#include "map/terraintables.h"
#include "sprites/spritetables.h"

#include <QByteArray>
#include <QVector>

#include <optional>

namespace synthetic {

// A few 68000 instructions assembled at a known address (pc-relative ones need it).
class Code {
  public:
    explicit Code(qint64 origin) : m_origin(origin) {}
    qint64 here() const { return m_origin + m_bytes.size(); }
    const QByteArray &bytes() const { return m_bytes; }

    Code &raw(const QByteArray &bytes);
    Code &words(std::initializer_list<quint16> words);
    Code &mappings(quint32 table, int reg = 0); // move.l #table,4(aN)
    Code &art(quint16 word, int reg = 0);       // move.w #word,2(aN)
    Code &priority(quint8 value, int reg = 0);  // move.b #value,$18(aN)
    Code &frame(quint8 value, int reg = 0);     // move.b #value,$1A(aN)
    Code &renderSet(quint8 value);              // move.b #value,1(a0)
    Code &renderOr(quint8 value);               // ori.b #value,1(a0)
    // move.x d8(pc,d0.w),<destination>: `opcode` names size and destination; `next` is the
    // destination's displacement word, if it has one.
    Code &pcTable(quint16 opcode, qint64 table, std::optional<quint16> next = {});
    Code &lea(qint64 target); // lea d16(pc),a1
    Code &bra(qint64 target); // bra.w
    // Calls, absolute tables and offsets, as objects that share routines and lists use them.
    Code &bsr(qint64 target);               // bsr.w
    Code &jsr(qint64 target);               // jsr (target).l
    Code &leaLong(quint32 target, int reg); // lea (target).l,aN
    Code &addi(quint16 value);              // addi.w #value,d0
    Code &rts();

  private:
    qint64 m_origin;
    QByteArray m_bytes;
};

// An object's code at `at`: the routine jump through a table whose entry 0 is the init that
// follows; append the init's instructions to it.
Code objectCode(qint64 at);

// A routine like the game's sine look-up, for code at `at`: it reads the word table behind it
// through move.w d8(pc,d0.w),d0. The table holds 320 words, 256 sin(2 pi i / 256) rounded (a
// quarter turn of cosines past the full turn): 0 and +-256 at quarter turns, 6 and 13 at 1 and 2.
QByteArray sineRoutine(qint64 at);

// One mappings piece, and a table of frames in game 1's or 2's format (`ring`: Sonic 2's ring
// frames, one piece each and no count).
struct MapPiece {
    int dx;
    int dy;
    int width;
    int height;
    quint16 tile;
};
QByteArray mappingTable(const QVector<QVector<MapPiece>> &frames, int game, bool ring = false);

// A table of animation scripts: script k shows frame `firstFrames[k]` for one step, then loops.
QByteArray animationScripts(const QVector<int> &firstFrames);

// The pixel value (1-15) of tile `tile` of the scene's art at (x, y): distinct for tiles up to
// 169 apart, with a mark in the top-left corner so that flips show.
int sceneTilePixel(int tile, int x, int y);

// The tiles the scene's art list fills: SceneFirstTile up to SceneEndTile, and Sonic 2's ring
// tiles.
constexpr int SceneFirstTile = 0x100;
constexpr int SceneEndTile = 0x400;
constexpr int SceneRingTile = 0x6BC;
constexpr int SceneFrames = 12;
// Art no level's lists load: the signpost's, which its own list (cue SceneLateCue, named by no
// level) brings in later in the act; the cue before it names a longer list that writes other art
// there first. Slot SceneLateSlot's art word names its first tile.
constexpr int SceneLateSlot = 32;
constexpr int SceneLateTile = SceneFirstTile + 32 * SceneLateSlot;
constexpr int SceneLateCue = 0x1E;

// Each art constant of the scene gets a group of 32 tiles of its own: slot n's art word has base
// tile SceneFirstTile + 32 n and palette line n % 4. Mappings table k of an id draws, in frame f,
// one 8x8 piece at (-4, -4) with tile offset 16 k + f; the last frame adds a piece at (0, 0) with
// the tile of the frame before, behind the first.
quint16 sceneArt(int slot);

// The slots of each id's art constants (A1, A2, ... in the order the rules number them), and
// the ids the scene gives code to: the ten of each game's rules, plus
// SceneGenericId (one mappings and one art constant: frame 2, priority 1),
// SceneTwoMappingsId (two mappings constants: no sprite) and, in Sonic 2, SceneSubObjectId
// (a second user of the shared loader).
int sceneSlot(int game, int id, int n = 1);
// Title-screen and title-card ids, which no level places and no rule covers.
constexpr int SceneGenericId = 0x0E;
constexpr int SceneTwoMappingsId = 0x0F;
constexpr int SceneSubObjectId = 0x34;
// Sonic 1 Ending animals: subtype $0A + i uses art SceneAnimalArt + i... (slot's base + i).
// Sonic 2 sub-object entries: subtype 2 k draws with slot sceneSlot(2, 0xA4, k + 1), flags k & 3.
constexpr int SceneSubObjectEntries = 3;
// Sonic 1 ring spacing pair for subtype s >> 4 = p: (p * 3 - 8, 16 - p * 2).

// The records of the ring layout every act of a Sonic 2 scene has.
struct SceneRing {
    int x;
    int y;
    int count;
    bool vertical;
};
QVector<SceneRing> sceneRings();

// Writes the scene's object code, mappings, art lists, animal and ring tables from `dataAt` on
// (growing the image when needed). Tables of `tables` at -1 are placed there too (and set).
// Every cue loads the scene's art, after the level art of `terrain`'s own lists. Returns the
// offset just past the data.
// `artTiles` limits the art to the first tiles from SceneFirstTile (a smaller image).
qint64 putSprites(QByteArray &image, const map::TerrainTables &terrain,
                  sprites::SpriteTables &tables, qint64 dataAt,
                  int artTiles = SceneEndTile - SceneFirstTile);

// Where compactSpriteImage() keeps its sprite tables, and its records: one of each id the scene
// has code for and a few more, ended by an end record.
sprites::SpriteTables compactSpriteTables(int game);
constexpr qint64 CompactRecordsAt = 0x1580;

// The demo image of `game`: image(game) with the scene's objects drawn as sprites (its records
// of the scene's ids, and Sonic 2's rings), checksum right.
QByteArray demoImage(int game);

// compactImage() of the demo terrain with a scene of few art tiles behind it.
QByteArray compactSpriteImage(int game);

} // namespace synthetic
