#pragma once
// How the game shows each object record at level start: which sprites, at what priority, or
// nothing at all. The constants come from the object's own init code (see codescan.h); the rules
// here say which constant is which, one place per object id.

#include "sprites/codescan.h"
#include "sprites/levelsprites.h"
#include "sprites/mappings.h"
#include "sprites/spritetables.h"

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QVector>

#include <array>
#include <functional>
#include <memory>

namespace sprites {

// One record's sprites, positions relative to the record's (X, Y), in the game's order (the
// first in front).
struct Drawn {
    Look look = Look::Marker;
    int priority = 3;
    QVector<Sprite> sprites;
    // Its art comes from a list of its own, loaded as it comes into view (the signpost's near
    // the act's end): drawn with that list over the level's art, a marker where none is found.
    bool ownArtList = false;
};

// The record bytes a rule looks at.
struct RecordBytes {
    quint16 x = 0;
    quint16 y = 0; // the whole word, flags included
    quint8 type = 0;
    quint8 subtype = 0;
};

// What every level of one image shares: its objects' init code, each scanned when first asked
// for, and the art files its lists name, each decoded once. Safe to share between threads.
class ImageCode {
  public:
    ImageCode(const QByteArray &image, const SpriteTables &tables);

    const QByteArray &image() const { return m_image; }
    const SpriteTables &tables() const { return m_tables; }
    // The init scan of object `id`, bounded by where the next object's code starts.
    InitScan scan(int id) const;
    // The Nemesis file at `source` (empty when it does not decode).
    QByteArray art(qint64 source) const;
    // What `build` gives for `key` the first time it is asked for; later the same (sprite art is
    // built once for all the rows that load the same files).
    QByteArray once(const QByteArray &key, const std::function<QByteArray()> &build) const;

  private:
    QByteArray m_image;
    SpriteTables m_tables;
    QVector<qint64> m_codeStarts; // every object's code, sorted: where one object's code ends
    mutable QMutex m_mutex;
    mutable std::array<InitScan, 256> m_scans;
    mutable std::array<bool, 256> m_scanned{};
    mutable QHash<qint64, QByteArray> m_art;
    mutable QHash<QByteArray, QByteArray> m_once;
};

class ObjectRules {
  public:
    // `row` decides the zone.
    ObjectRules(std::shared_ptr<const ImageCode> code, int row);

    Drawn lookOf(const RecordBytes &record) const;

    int game() const { return m_code->tables().game; }
    int zone() const { return m_zone; }
    int act() const { return m_act; }
    const QByteArray &image() const { return m_code->image(); }
    const SpriteTables &tables() const { return m_code->tables(); }

  private:
    std::shared_ptr<const ImageCode> m_code;
    int m_zone = -1;
    int m_act = 0;
};

} // namespace sprites
