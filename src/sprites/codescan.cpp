#include "sprites/codescan.h"

#include "rom/imagebytes.h"

#include <algorithm>
#include <array>

namespace sprites {

namespace {

quint32 word(const uchar *p) {
    return quint32(p[0]) << 8 | p[1];
}

// The second byte of every encoding read here: one look-up turns most positions away.
constexpr std::array<bool, 256> secondBytes() {
    std::array<bool, 256> table{};
    for (int b : {0x7C, 0x28, 0x3B, 0x7B, 0xBB, 0xFB, 0xFA, 0x00})
        table[static_cast<size_t>(b)] = true;
    return table;
}
constexpr std::array<bool, 256> kSecondBytes = secondBytes();

// Matches one instruction at `at` (even); false when none of the known encodings starts there.
bool decode(const rom::ImageBytes &in, qint64 at, Found &f) {
    if (!in.has(at, 4))
        return false;
    const uchar *p = in.at(at);
    if (!kSecondBytes[p[1]])
        return false;
    const quint32 first = word(p);
    f.at = at;
    f.opcode = static_cast<quint16>(first);
    const bool six = in.has(at, 6);
    const int reg = p[0] >> 1 & 7;
    // move.x #imm,d16(aN): 0001/0010/0011 size, destination mode 101 (bit 0 of the first
    // byte set), immediate source (low byte $7C).
    if (p[1] == 0x7C && (p[0] & 0xC1) == 0x01) {
        switch (p[0] >> 4) {
        case 0x2: // long: 2x 7C vv vv vv vv 00 04
            if (in.has(at, 8) && word(p + 6) == 4) {
                f.op = Op::Mappings;
                f.reg = reg;
                f.value = word(p + 2) << 16 | word(p + 4);
                return true;
            }
            return false;
        case 0x3: // word: 3x 7C vv vv 00 02
            if (six && word(p + 4) == 2) {
                f.op = Op::Art;
                f.reg = reg;
                f.value = word(p + 2);
                return true;
            }
            return false;
        case 0x1: // byte: 1x 7C 00 vv dd dd
            if (!six || p[2] != 0)
                return false;
            f.reg = reg;
            f.value = p[3];
            switch (word(p + 4)) {
            case 0x18:
                f.op = Op::Priority;
                return true;
            case 0x1A:
                f.op = Op::Frame;
                return true;
            case 0x28:
                f.op = Op::Subtype;
                return true;
            case 0x01:
                f.op = Op::RenderSet;
                return reg == 0;
            default:
                return false;
            }
        default:
            return false;
        }
    }
    if (first == 0x0028 && six && p[2] == 0 && word(p + 4) == 1) { // ori.b #v,1(a0)
        f.op = Op::RenderOr;
        f.value = p[3];
        return true;
    }
    // move.x d8(pc,d0.w),...: the index word is 00 dd.
    if ((first & 0x3F) == 0x3B && (first >> 12) >= 1 && (first >> 12) <= 3 && p[2] == 0) {
        f.op = Op::PcTable;
        f.value = static_cast<quint32>(at + 2 + static_cast<qint8>(p[3]));
        f.next = six ? static_cast<quint16>(word(p + 4)) : 0;
        return true;
    }
    if (first == 0x43FA || first == 0x6000) { // lea d16(pc),a1 / bra.w
        f.op = first == 0x43FA ? Op::Lea : Op::Branch;
        f.value = static_cast<quint32>(at + 2 + static_cast<qint16>(word(p + 2)));
        return true;
    }
    return false;
}

} // namespace

int InitScan::count(Op op, int reg) const {
    return int(std::count_if(found.cbegin(), found.cend(),
                             [&](const Found &f) { return f.op == op && f.reg == reg; }));
}

InitScan InitScan::ownCode() const {
    InitScan own = *this;
    own.found.clear();
    for (const Found &f : found)
        if (end < 0 || f.at < end)
            own.found.append(f);
    return own;
}

std::optional<quint32> InitScan::value(Op op, int reg, int n) const {
    const auto f = std::find_if(found.cbegin(), found.cend(), [&](const Found &x) {
        return x.op == op && x.reg == reg && --n == 0;
    });
    return f == found.cend() ? std::nullopt : std::optional<quint32>(f->value);
}

std::optional<qint64> InitScan::table(quint16 opcode, std::optional<quint16> next) const {
    const auto f = std::find_if(found.cbegin(), found.cend(), [&](const Found &x) {
        return x.op == Op::PcTable && x.opcode == opcode && (!next || x.next == *next);
    });
    return f == found.cend() ? std::nullopt : std::optional<qint64>(f->value);
}

std::optional<qint64> InitScan::first(Op op) const {
    const auto f =
        std::find_if(found.cbegin(), found.cend(), [&](const Found &x) { return x.op == op; });
    return f == found.cend() ? std::nullopt : std::optional<qint64>(f->value);
}

std::optional<qint64> InitScan::leadingBranch() const {
    if (!found.isEmpty() && found.front().op == Op::Branch && found.front().at == routine0)
        return found.front().value;
    return std::nullopt;
}

InitScan scanRoutine(const QByteArray &image, qint64 start) {
    const rom::ImageBytes in(image);
    InitScan scan;
    if (start < 0 || (start & 1) != 0 || !in.has(start, 2))
        return scan;
    scan.code = start;
    scan.routine0 = start;
    for (qint64 at = start; at < start + ScanBytes; at += 2) {
        Found f;
        if (decode(in, at, f))
            scan.found.append(f);
    }
    return scan;
}

InitScan scanObject(const QByteArray &image, qint64 objectIndex, int id) {
    const rom::ImageBytes in(image);
    InitScan none;
    if (id < 1 || objectIndex < 0)
        return none;
    const auto code = in.pointer(objectIndex + 4LL * (id - 1));
    if (!code || (*code & 1) != 0)
        return none;
    none.code = *code;
    for (qint64 at = *code; at < *code + JumpWindow; at += 2) {
        const auto jump = in.longword(at);
        if (!jump)
            break;
        if ((*jump >> 8) != 0x323B00) // move.w d8(pc,d0.w),d1
            continue;
        const qint64 table = at + 2 + static_cast<qint8>(*jump & 0xFF);
        const auto entry = in.signedWord(table);
        if (!entry)
            break;
        InitScan scan = scanRoutine(image, table + *entry);
        scan.code = *code;
        return scan;
    }
    return none;
}

} // namespace sprites
