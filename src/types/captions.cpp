#include "types/captions.h"

#include "text/hextext.h"

namespace {
const QString kEmpty;

void loadSonic1(CaptionCatalogue &c) {
    c.cap(0x00, 0x00, QStringLiteral("<Empty>"));
    c.cap(0x01, 0x00, QStringLiteral("Sonic Start"));
    c.cap(0x09, 0x00, QStringLiteral("Scrolling Bg"));
    c.cap(0x0A, 0x00, QStringLiteral("? (Floats up)"));
    c.cap(0x0B, 0x00, QStringLiteral("Hang Bar"));
    c.cap(0x0C, 0x00, QStringLiteral("One way FF"));
    c.cap(0x0C, 0x01, QStringLiteral("Fast Auto Door"));
    c.cap(0x0C, 0x02, QStringLiteral("Slow Auto Door"));
    c.cap(0x0D, 0x00, QStringLiteral("Goal Sign"));
    c.cap(0x0E, 0x00, QStringLiteral("Thing above sonic"));
    c.cap(0x0F, 0x00, QStringLiteral("Thing below sonic"));
    c.capa(0x11, 0x00, 0x80, QStringLiteral("$sub log bridge"));
    c.capa(0x1F, 0x00, 0x0D, QStringLiteral("Swinging plat - $sub"));
    c.capa(0x1F, 0x10, 0x1D, QStringLiteral("Swinging balls - $sub"));
    c.capa(0x25, 0x00, 0x80, QStringLiteral("Ring(s)"));
    c.cap(0x34, 0x00, QStringLiteral("Zone title"));
    c.cap(0x37, 0x00, QStringLiteral("Ring loss"));
    c.cap(0x39, 0x00, QStringLiteral("Game over"));
    c.cap(0x3A, 0x00, QStringLiteral("Scores"));
    c.cap(0x3B, 0x00, QStringLiteral("Rock"));
    c.cap(0x3D, 0x00, QStringLiteral("Robotnik"));
    c.cap(0x41, 0x02, QStringLiteral("Yellow spring up"));
    c.cap(0xA6, 0x00, QStringLiteral("Static"));
    c.cap(0xA6, 0x01, QStringLiteral("Robotnik"));
    c.cap(0xA6, 0x02, QStringLiteral("1-Up"));
    c.cap(0xA6, 0x03, QStringLiteral("Shoe"));
    c.cap(0xA6, 0x04, QStringLiteral("Shield"));
    c.cap(0xA6, 0x05, QStringLiteral("Invincible"));
    c.cap(0xA6, 0x06, QStringLiteral("Super Ring"));
    c.cap(0xA6, 0x07, QStringLiteral("Super Sonic"));
    c.cap(0xA6, 0x08, QStringLiteral("X-Ray glasses"));
    c.cap(0xA6, 0x09, QStringLiteral("Broken TV"));
    c.cap(0xA6, 0x0A, QStringLiteral("Stopped TV"));
    c.cap(0xBC, 0x00, QStringLiteral("Weak wall left edge"));
    c.cap(0xBC, 0x01, QStringLiteral("Weak wall"));
    c.cap(0xBC, 0x02, QStringLiteral("Weak wall right edge"));
    c.cap(0xC0, 0x00, QStringLiteral("Local Enemy A"));
    c.cap(0xA2, 0x00, QStringLiteral("Local Enemy B"));
    c.cap(0x1C, 0x03, QStringLiteral("Log bridge Tie"));
    c.cap(0xAB, 0x00, QStringLiteral("Enemy D"));
    c.cap(0x49, 0x00, QStringLiteral("Waterfall sound"));
    c.cap(0x9F, 0x00, QStringLiteral("Local Enemy E"));
    c.capa(0x15, 0x00, 0x80, QStringLiteral("Swinging platform"));
    c.capa(0x44, 0x00, 0x78, QStringLiteral("Wall edging"));
    c.capa(0x36, 0x00, 0x80, QStringLiteral("Spikes"));
    c.capa(0x9A, 0x00, 0x03, QStringLiteral("Breakaway Ledge $sub"));
    c.capa(0x18, 0x00, 0x0F, QStringLiteral("Moving Platform $sub"));
    c.cap(0xC2, 0x00, QStringLiteral("Local Enemy C"));
    c.capa(0x7D, 0x00, 0x4F, QStringLiteral("Extra Goal Points"));
    c.cap(0x4B, 0x00, QStringLiteral("Giant Ring"));
    c.capa(0xA5, 0x00, 0x3F, QStringLiteral("Horizontal Rings"));
    c.capa(0xA5, 0x40, 0x7F, QStringLiteral("Vertical Rings"));
    c.capa(0xF9, 0x00, 0x02, QStringLiteral("Lamp Post"));
}

void loadSonic2(CaptionCatalogue &c) {
    c.cap(0x00, 0x00, QStringLiteral("<Empty>"));
    c.cap(0x01, 0x00, QStringLiteral("Sonic Start"));
    c.cap(0x02, 0x00, QStringLiteral("Tails"));
    c.cap(0x06, 0x00, QStringLiteral("Rotating Cyl"));
    c.cap(0x07, 0x00, QStringLiteral("Oil"));
    c.cap(0x08, 0x00, QStringLiteral("Invis barrier"));
    c.cap(0x0B, 0x00, QStringLiteral("Pipe"));
    c.cap(0x0C, 0x00, QStringLiteral("?"));
    c.cap(0x0D, 0x00, QStringLiteral("?"));
    c.cap(0x0E, 0x00, QStringLiteral("Flashing stars"));
    c.cap(0x14, 0x00, QStringLiteral("Seesaw thing"));
    c.capa(0x15, 0x00, 0x80, QStringLiteral("Swinging Platform"));
}
} // namespace

CaptionCatalogue::CaptionCatalogue() : m_table(std::size_t{Size} * Size) {}

void CaptionCatalogue::clear() {
    for (QString &entry : m_table)
        entry.clear();
    m_pickList.clear();
}

bool CaptionCatalogue::load(int game) {
    if (game != 1 && game != 2)
        return false;
    clear();
    if (game == 1)
        loadSonic1(*this);
    else
        loadSonic2(*this);
    return true;
}

void CaptionCatalogue::cap(int t, int s, const QString &caption) {
    if (inRange(t) && inRange(s))
        m_table[t * Size + s] = caption;
    m_pickList.append(two(t) + QLatin1Char(' ') + two(s) + QLatin1Char(' ') + caption);
}

void CaptionCatalogue::capa(int t, int b, int e, const QString &caption) {
    if (inRange(t)) {
        for (int i = qMax(b, 0); i <= qMin(e, Size - 1); ++i) {
            QString text = caption;
            text.replace(QStringLiteral("$sub"), QString::number(i), Qt::CaseSensitive);
            m_table[t * Size + i] = text;
        }
    }
    m_pickList.append(two(t) + QStringLiteral(" ?? ") + caption);
}

const QString &CaptionCatalogue::caption(int t, int s) const {
    if (!inRange(t) || !inRange(s))
        return kEmpty;
    return m_table[t * Size + s];
}
