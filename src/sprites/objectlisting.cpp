#include "sprites/objectlisting.h"

#include "levels/leveltables.h"
#include "map/levelterrain.h"
#include "map/mapexport.h"
#include "sprites/objectnames.h"
#include "text/hextext.h"

namespace sprites {

namespace {

QString four(const uchar *p) {
    return two(p[0]) + two(p[1]);
}

QString lookText(Look look) {
    switch (look) {
    case Look::Sprite:
        return QStringLiteral("sprite");
    case Look::Hidden:
        return QStringLiteral("hidden");
    case Look::Marker:
        break;
    }
    return QStringLiteral("marker");
}

} // namespace

QStringList objectListing(const QByteArray &image, const LevelSprites &sprites, int game, int row,
                          qint64 layoutStart) {
    QStringList lines;
    const auto *bytes = reinterpret_cast<const uchar *>(image.constData());
    const QChar tab(QLatin1Char('\t'));
    for (const map::ObjectMarker &m : map::objectMarkers(image, layoutStart)) {
        const uchar *p = bytes + m.offset;
        lines.append(QString::number(m.offset, 16).toUpper() + tab + four(p) + tab + four(p + 2) +
                     tab + two(p[4]) + tab + two(p[5]) + tab + objectName(game, row, p[4]) + tab +
                     lookText(sprites.record(image, m.offset).look));
    }
    for (const RingRecord &r : sprites.ringRecords()) {
        const auto hex = [](int v) {
            return QString::number(v, 16).toUpper().rightJustified(4, '0');
        };
        lines.append(QStringLiteral("ring") + tab + hex(r.x) + tab + hex(r.y) + tab +
                     QString::number(r.count) + tab +
                     (r.vertical ? QStringLiteral("vertical") : QStringLiteral("horizontal")));
    }
    return lines;
}

int listObjects(const QString &imagePath, const QString &rowText, QTextStream &out,
                QTextStream &err) {
    QByteArray image;
    rom::Revision revision = rom::Revision::None;
    int row = 0;
    if (const int code = map::readCommandLevel(imagePath, rowText, err, image, revision, row))
        return code;
    LevelAddressTable layouts{};
    loadAddresses(layouts, image, revision);
    const auto level = LevelSprites::load(image, revision, row);
    for (const QString &line :
         objectListing(image, *level, rom::gameCode(revision), row, layouts[row]))
        out << line << '\n';
    out.flush();
    return 0;
}

} // namespace sprites
