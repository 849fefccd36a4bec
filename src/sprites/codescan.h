#pragma once
// Reading an object's constants out of the image's own code: the init routine's stores of
// mappings, art word, priority, frame and render flags, and the tables it reads through, found by
// their instruction encodings so that moved or edited code still works.

#include <QByteArray>
#include <QVector>

#include <optional>

namespace sprites {

// How far the init routine is scanned, and where the routine table's jump must be.
constexpr int ScanBytes = 512;
constexpr int JumpWindow = 32;

enum class Op {
    Mappings,  // move.l #v,4(aN)
    Art,       // move.w #v,2(aN)
    Priority,  // move.b #v,$18(aN)
    Frame,     // move.b #v,$1A(aN)
    Subtype,   // move.b #v,$28(aN): what a child is told to be
    RenderSet, // move.b #v,1(a0): replaces the render flags
    RenderOr,  // ori.b #v,1(a0): keeps them
    PcTable,   // move.x d8(pc,d0.w),...: value = the table
    Lea,       // lea d16(pc),a1: value = the address
    Branch     // bra.w: value = the target
};

struct Found {
    Op op = Op::Mappings;
    int reg = 0;        // the address register stored through (a0 = 0)
    quint32 value = 0;  // the constant, or the address a table, lea or branch names
    quint16 opcode = 0; // the instruction's first word
    quint16 next = 0;   // PcTable: the word after the index word (a destination displacement)
    qint64 at = 0;      // where the instruction starts
};

struct InitScan {
    qint64 code = -1;     // the object's code
    qint64 routine0 = -1; // its init routine; -1 when not found
    QVector<Found> found; // in address order
    // Where the next object's code starts (the end of this object's), or -1 when unknown.
    qint64 end = -1;

    bool ok() const { return routine0 >= 0; }
    int count(Op op, int reg = 0) const;
    // The same scan without what lies in the next object's code.
    InitScan ownCode() const;
    // The n-th (1-based) value of `op` stored through register `reg`.
    std::optional<quint32> value(Op op, int reg = 0, int n = 1) const;
    // The first table read by an instruction whose first word is `opcode` (and whose next word
    // is `next`, when given).
    std::optional<qint64> table(quint16 opcode, std::optional<quint16> next = {}) const;
    std::optional<qint64> first(Op op) const;
    // The target when the routine starts with a bra.w.
    std::optional<qint64> leadingBranch() const;
};

// The scan of ScanBytes from `start`.
InitScan scanRoutine(const QByteArray &image, qint64 start);

// The object `id`'s code (the id-1'th long of the object index) and its init routine: the
// routine table named by the first move.w d8(pc,d0.w),d1 in the code's first bytes, entry 0.
InitScan scanObject(const QByteArray &image, qint64 objectIndex, int id);

} // namespace sprites
