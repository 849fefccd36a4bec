#include "demo/encoders.h"

#include <algorithm>
#include <array>
#include <vector>

namespace synthetic {

namespace {

// Writes bits most significant first; the last byte is filled with zeros.
class BitWriter {
  public:
    void put(quint32 value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            m_byte = m_byte << 1 | (value >> i & 1);
            if (++m_used == 8) {
                m_out.append(static_cast<char>(m_byte));
                m_byte = 0;
                m_used = 0;
            }
        }
    }
    QByteArray finish() {
        if (m_used > 0)
            put(0, 8 - m_used);
        return m_out;
    }

  private:
    QByteArray m_out;
    quint32 m_byte = 0;
    int m_used = 0;
};

quint8 at(const QByteArray &bytes, qsizetype i) {
    return static_cast<quint8>(bytes.at(i));
}

void putWord(QByteArray &out, quint32 word) {
    out.append(static_cast<char>(word >> 8 & 0xFF));
    out.append(static_cast<char>(word & 0xFF));
}

// ---- Kosinski

// Flag bits go into little-endian words placed ahead of the data bytes; the next word's place
// is taken as soon as one fills, which is when the decoder reads it.
class KosinskiWriter {
  public:
    KosinskiWriter() { m_out.append(2, '\0'); }
    void flag(int bit) {
        m_flags |= quint32(bit) << m_count;
        if (++m_count == 16) {
            storeFlags();
            m_flagPos = m_out.size();
            m_out.append(2, '\0');
            m_flags = 0;
            m_count = 0;
        }
    }
    void byte(int value) { m_out.append(static_cast<char>(value)); }
    QByteArray finish() {
        storeFlags();
        const qsizetype padded = (m_out.size() + 15) / 16 * 16;
        m_out.append(padded - m_out.size(), '\0');
        return m_out;
    }

  private:
    void storeFlags() {
        m_out[m_flagPos] = static_cast<char>(m_flags & 0xFF);
        m_out[m_flagPos + 1] = static_cast<char>(m_flags >> 8);
    }
    QByteArray m_out;
    qsizetype m_flagPos = 0;
    quint32 m_flags = 0;
    int m_count = 0;
};

constexpr int kWindow = 0x2000;
constexpr int kMaxCopy = 256;
constexpr int kChainDepth = 64;

int matchLength(const QByteArray &raw, qsizetype from, qsizetype here) {
    const qsizetype limit = std::min<qsizetype>(kMaxCopy, raw.size() - here);
    int n = 0;
    while (n < limit && raw.at(from + n) == raw.at(here + n))
        ++n;
    return n;
}

} // namespace

QByteArray kosinskiEncode(const QByteArray &raw) {
    const qsizetype size = raw.size();
    constexpr int kHashBits = 15;
    std::vector<qsizetype> head(1u << kHashBits, -1);
    std::vector<qsizetype> previous(static_cast<size_t>(size), -1);
    auto hashAt = [&](qsizetype i) {
        const quint32 key =
            quint32(at(raw, i)) << 16 | quint32(at(raw, i + 1)) << 8 | at(raw, i + 2);
        return (key * 2654435761u) >> (32 - kHashBits);
    };
    // The latest place of each byte pair, for two-byte copies.
    std::vector<qsizetype> lastPair(1u << 16, -1);
    auto pairAt = [&](qsizetype i) { return size_t(at(raw, i)) << 8 | at(raw, i + 1); };
    auto insert = [&](qsizetype i) {
        if (i + 2 <= size)
            lastPair[pairAt(i)] = i;
        if (i + 3 > size)
            return;
        const quint32 h = hashAt(i);
        previous[static_cast<size_t>(i)] = head[h];
        head[h] = i;
    };

    KosinskiWriter out;
    qsizetype i = 0;
    while (i < size) {
        int bestLength = 0;
        qsizetype bestDistance = 0;
        if (i + 3 <= size) {
            qsizetype candidate = head[hashAt(i)];
            for (int depth = 0; candidate >= 0 && i - candidate <= kWindow && depth < kChainDepth;
                 ++depth, candidate = previous[static_cast<size_t>(candidate)]) {
                const int length = matchLength(raw, candidate, i);
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = i - candidate;
                }
            }
        }
        if (bestLength < 3 && i + 2 <= size) { // a short copy of two bytes beats two literals
            bestLength = 0;
            const qsizetype last = lastPair[pairAt(i)];
            if (last >= 0 && i - last <= 256) {
                bestLength = 2;
                bestDistance = i - last;
            }
        }
        if (bestLength < 2) {
            out.flag(1);
            out.byte(at(raw, i));
        } else if (bestLength <= 5 && bestDistance <= 256) {
            const int field = bestLength - 2;
            out.flag(0);
            out.flag(0);
            out.flag(field >> 1);
            out.flag(field & 1);
            out.byte(static_cast<int>(256 - bestDistance) & 0xFF);
        } else {
            const auto field = static_cast<int>(kWindow - bestDistance);
            const int hiBits = (field >> 8) << 3;
            out.flag(0);
            out.flag(1);
            out.byte(field & 0xFF);
            if (bestLength <= 9) {
                out.byte(hiBits | (bestLength - 2));
            } else {
                out.byte(hiBits);
                out.byte(bestLength - 1);
            }
        }
        const qsizetype next = i + std::max(bestLength, 1);
        for (; i < next; ++i)
            insert(i);
    }
    // End marker: a long copy with a zero count.
    out.flag(0);
    out.flag(1);
    out.byte(0x00);
    out.byte(0xF0);
    out.byte(0x00);
    return out.finish();
}

// ---- Nemesis

namespace {

constexpr int kSymbols = 16 * 8; // pixel value x run length
constexpr int kCodeSpace = 256;  // Kraft units of 1/256
constexpr int kFreeSpace = 252;  // the escape prefix 111111 takes the top 1/64

int units(int length) {
    return kCodeSpace >> length;
}

// Code lengths (0 = sent inline) for symbols with the given counts, within the code space the
// escape leaves free.
std::array<int, kSymbols> codeLengths(const std::array<qint64, kSymbols> &counts) {
    std::array<int, kSymbols> lengths{};
    std::vector<int> order;
    qint64 total = 0;
    for (int s = 0; s < kSymbols; ++s) {
        if (counts[s] > 0)
            order.push_back(s);
        total += counts[s];
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return counts[a] > counts[b]; });
    // Start near each symbol's information content, then make room, fill gaps and shorten.
    int used = 0;
    for (const int s : order) {
        int length = 1;
        while (length < 8 && (qint64(1) << length) * counts[s] < total)
            ++length;
        if (used + units(length) <= kFreeSpace) {
            lengths[s] = length;
            used += units(length);
        }
    }
    for (const int s : order) {
        if (lengths[s] != 0)
            continue;
        for (int length = 1; length <= 8; ++length) {
            if (used + units(length) <= kFreeSpace) {
                lengths[s] = length;
                used += units(length);
                break;
            }
        }
    }
    for (const int s : order) {
        while (lengths[s] > 1 && used + units(lengths[s]) <= kFreeSpace) {
            used += units(lengths[s]); // halving the length doubles its share
            --lengths[s];
        }
    }
    return lengths;
}

} // namespace

QByteArray nemesisEncode(const QByteArray &tiles, bool xorMode) {
    const qsizetype tileCount = std::min<qsizetype>((tiles.size() + 31) / 32, 0x7FFF);
    QByteArray raw = tiles.left(tileCount * 32);
    raw.append(tileCount * 32 - raw.size(), '\0');

    // The pixels as the decoder produces them before undoing the XOR.
    std::vector<quint8> pixels;
    pixels.reserve(static_cast<size_t>(raw.size()) * 2);
    quint32 previous = 0;
    for (qsizetype r = 0; r < raw.size(); r += 4) {
        const quint32 row = quint32(at(raw, r)) << 24 | quint32(at(raw, r + 1)) << 16 |
                            quint32(at(raw, r + 2)) << 8 | at(raw, r + 3);
        const quint32 stored = xorMode ? row ^ previous : row;
        previous = row;
        for (int shift = 28; shift >= 0; shift -= 4)
            pixels.push_back(static_cast<quint8>(stored >> shift & 0x0F));
    }
    std::vector<int> runs; // symbol = pixel * 8 + run - 1
    std::array<qint64, kSymbols> counts{};
    for (size_t p = 0; p < pixels.size();) {
        size_t run = 1;
        while (run < 8 && p + run < pixels.size() && pixels[p + run] == pixels[p])
            ++run;
        const int symbol = pixels[p] * 8 + static_cast<int>(run) - 1;
        runs.push_back(symbol);
        ++counts[symbol];
        p += run;
    }

    // Canonical codes: shortest first, counting up from zero, so they stay below 111111.
    const std::array<int, kSymbols> lengths = codeLengths(counts);
    std::array<quint32, kSymbols> codes{};
    std::vector<int> byLength;
    for (int s = 0; s < kSymbols; ++s)
        if (lengths[s] > 0)
            byLength.push_back(s);
    std::stable_sort(byLength.begin(), byLength.end(),
                     [&](int a, int b) { return lengths[a] < lengths[b]; });
    quint32 code = 0;
    int length = byLength.empty() ? 0 : lengths[byLength.front()];
    for (const int s : byLength) {
        code <<= lengths[s] - length;
        length = lengths[s];
        codes[s] = code++;
    }

    QByteArray out;
    putWord(out, quint32(tileCount) | (xorMode ? 0x8000u : 0u));
    for (int pixel = 0; pixel < 16; ++pixel) {
        bool named = false;
        for (int run = 0; run < 8; ++run) {
            const int s = pixel * 8 + run;
            if (lengths[s] == 0)
                continue;
            if (!named)
                out.append(static_cast<char>(0x80 | pixel));
            named = true;
            out.append(static_cast<char>(run << 4 | lengths[s]));
            out.append(static_cast<char>(codes[s]));
        }
    }
    out.append(static_cast<char>(0xFF));

    BitWriter bits;
    for (const int s : runs) {
        if (lengths[s] > 0)
            bits.put(codes[s], lengths[s]);
        else
            bits.put(0x3F << 7 | (s & 7) << 4 | s >> 3, 13);
    }
    return out + bits.finish();
}

// ---- Enigma

QByteArray enigmaEncode(const QByteArray &wordsBigEndian) {
    std::vector<quint16> words;
    for (qsizetype i = 0; i + 1 < wordsBigEndian.size(); i += 2)
        words.push_back(
            static_cast<quint16>(at(wordsBigEndian, i) << 8 | at(wordsBigEndian, i + 1)));

    // Flags for the top five bits that occur, enough value bits for the rest.
    quint32 high = 0;
    quint32 low = 0;
    for (const quint16 w : words) {
        high |= w >> 11;
        low |= w & 0x7FFu;
    }
    int width = 1;
    while (width < 11 && (low >> width) != 0)
        ++width;
    std::vector<quint16> sorted = words;
    std::sort(sorted.begin(), sorted.end());
    quint16 constant = 0;
    size_t bestCount = 0;
    for (size_t i = 0; i < sorted.size();) {
        size_t j = i;
        while (j < sorted.size() && sorted[j] == sorted[i])
            ++j;
        if (j - i > bestCount) {
            bestCount = j - i;
            constant = sorted[i];
        }
        i = j;
    }
    const auto firstOther =
        std::find_if(words.cbegin(), words.cend(), [constant](quint16 w) { return w != constant; });
    quint16 incrementing = firstOther == words.cend() ? 0 : *firstOther;

    QByteArray out;
    out.append(static_cast<char>(width));
    out.append(static_cast<char>(high));
    putWord(out, incrementing);
    putWord(out, constant);

    BitWriter bits;
    auto putInline = [&](quint16 w) {
        for (int flag = 4; flag >= 0; --flag)
            if (high >> flag & 1)
                bits.put(w >> (11 + flag) & 1, 1);
        bits.put(w & ((1u << width) - 1), width);
    };
    const size_t n = words.size();
    // How many words from i on follow `first` with the given step (at most 16).
    auto runFrom = [&](size_t i, quint16 first, int step) {
        size_t k = 0;
        while (k < 16 && i + k < n && words[i + k] == static_cast<quint16>(first + step * int(k)))
            ++k;
        return k;
    };
    auto bestRun = [&](size_t i, int &step) {
        size_t best = 0;
        for (const int s : {0, 1, -1}) {
            const size_t k = runFrom(i, words[i], s);
            if (k > best) {
                best = k;
                step = s;
            }
        }
        return best;
    };

    for (size_t i = 0; i < n;) {
        int step = 0;
        if (words[i] == incrementing) {
            const size_t k = runFrom(i, incrementing, 1);
            bits.put(0b00, 2);
            bits.put(quint32(k - 1), 4);
            incrementing = static_cast<quint16>(incrementing + k);
            i += k;
        } else if (words[i] == constant) {
            const size_t k = runFrom(i, constant, 0);
            bits.put(0b01, 2);
            bits.put(quint32(k - 1), 4);
            i += k;
        } else if (const size_t k = bestRun(i, step); k >= 2) {
            bits.put(step == 0 ? 0b100 : step == 1 ? 0b101 : 0b110, 3);
            bits.put(quint32(k - 1), 4);
            putInline(words[i]);
            i += k;
        } else {
            // Words that fit no run, up to 15 of them.
            size_t count = 1;
            while (count < 15 && i + count < n && words[i + count] != incrementing &&
                   words[i + count] != constant && bestRun(i + count, step) < 2)
                ++count;
            bits.put(0b111, 3);
            bits.put(quint32(count - 1), 4);
            for (size_t j = 0; j < count; ++j)
                putInline(words[i + j]);
            i += count;
        }
    }
    bits.put(0b111, 3);
    bits.put(0xF, 4);
    return out + bits.finish();
}

} // namespace synthetic
