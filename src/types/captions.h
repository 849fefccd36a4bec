#pragma once
// Per-game captions of object types and subtypes, and the pick list offered to the user.

#include <QString>
#include <QStringList>

#include <vector>

class CaptionCatalogue {
  public:
    // Type and subtype indexes run 0..256 inclusive, so every raw byte is a key.
    static constexpr int Size = 257;

    CaptionCatalogue();

    // Empties the table and the pick list, then fills both for game 1 or 2. Any other code
    // changes nothing and returns false.
    bool load(int game);

    // One caption for one type/subtype pair, appended to the pick list as "TT SS caption".
    void cap(int t, int s, const QString &caption);
    // One caption for subtypes b..e of type t, with every "$sub" replaced by the subtype in
    // decimal; appended to the pick list once as "TT ?? caption" with "$sub" left in place.
    void capa(int t, int b, int e, const QString &caption);

    // The empty text where the game names nothing (or the pair lies outside the table).
    const QString &caption(int t, int s) const;
    const QStringList &pickList() const { return m_pickList; }

  private:
    void clear();
    static bool inRange(int v) { return v >= 0 && v < Size; }

    std::vector<QString> m_table;
    QStringList m_pickList;
};
