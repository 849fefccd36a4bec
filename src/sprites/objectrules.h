#pragma once
// How the game shows each object record at level start: which sprites, at what priority, or
// nothing at all. The constants come from the object's own init code (see codescan.h); the rules
// here say which constant is which, one place per object id.

#include "sprites/codescan.h"
#include "sprites/levelsprites.h"
#include "sprites/mappings.h"
#include "sprites/spritetables.h"

#include <QByteArray>
#include <QVector>

#include <array>

namespace sprites {

// One record's sprites, positions relative to the record's (X, Y), in the game's order (the
// first in front).
struct Drawn {
    Look look = Look::Marker;
    int priority = 3;
    QVector<Sprite> sprites;
};

// The record bytes a rule looks at.
struct RecordBytes {
    quint16 x = 0;
    quint16 y = 0; // the whole word, flags included
    quint8 type = 0;
    quint8 subtype = 0;
};

class ObjectRules {
  public:
    // `row` decides the zone. Each object's init code is scanned when first asked for (not
    // thread-safe: callers serialise lookOf()).
    ObjectRules(const QByteArray &image, const SpriteTables &tables, int row);

    Drawn lookOf(const RecordBytes &record) const;

    int game() const { return m_tables.game; }
    int zone() const { return m_zone; }
    const QByteArray &image() const { return m_image; }
    const SpriteTables &tables() const { return m_tables; }
    const InitScan &scan(int id) const;

  private:
    QByteArray m_image;
    SpriteTables m_tables;
    int m_zone = -1;
    QVector<qint64> m_codeStarts; // every object's code, sorted: where one object's code ends
    mutable std::array<InitScan, 256> m_scans;
    mutable std::array<bool, 256> m_scanned{};
};

} // namespace sprites
