#include "map/mapexport.h"

#include "levels/leveltables.h"
#include "map/levelterrain.h"
#include "rom/romimage.h"
#include "sprites/spritelayer.h"

#include <QImageWriter>
#include <QSaveFile>

namespace map {

bool writePicture(const QImage &picture, const QString &path, QString *reason) {
    if (picture.isNull()) {
        *reason = QStringLiteral("there is no picture of this level");
        return false;
    }
    QSaveFile file(path);
    QImageWriter writer(&file, "png");
    if (!file.open(QIODevice::WriteOnly)) {
        *reason = file.errorString();
        return false;
    }
    if (!writer.write(picture)) {
        *reason = writer.errorString();
        return false;
    }
    if (!file.commit()) {
        *reason = file.errorString();
        return false;
    }
    return true;
}

int readCommandLevel(const QString &imagePath, const QString &rowText, QTextStream &err,
                     QByteArray &image, rom::Revision &revision, int &row) {
    bool number = false;
    row = rowText.trimmed().toInt(&number);
    if (!number || row < 0 || row >= LevelCount) {
        err << "quillet: row must be a number from 0 to 20, not \"" << rowText << "\"\n";
        err.flush();
        return 2;
    }
    rom::ImageReader reader;
    QString reason;
    image.clear();
    if (reader.open(imagePath, &reason)) {
        image.resize(reader.size());
        if (!reader.read(image, &reason))
            image.clear();
        reader.close();
    }
    if (!reason.isEmpty() || image.isEmpty()) {
        err << "quillet: cannot read " << imagePath << ": "
            << (reason.isEmpty() ? QStringLiteral("empty file") : reason) << "\n";
        err.flush();
        return 1;
    }
    revision = rom::revision(image);
    if (revision == rom::Revision::None) {
        err << "quillet: " << imagePath << " is not a recognised image\n";
        err.flush();
        return 1;
    }
    return 0;
}

int exportMap(const QString &imagePath, const QString &rowText, const QString &outPath,
              QTextStream &err, bool markersOnly) {
    QByteArray image;
    rom::Revision revision = rom::Revision::None;
    int row = 0;
    if (const int code = readCommandLevel(imagePath, rowText, err, image, revision, row))
        return code;
    const LevelTerrain terrain = LevelTerrain::load(image, revision, row);
    if (!terrain.hasTerrain()) {
        err << "quillet: row " << row << " has no terrain: " << terrain.reason() << "\n";
        err.flush();
        return 1;
    }
    LevelAddressTable layouts{};
    loadAddresses(layouts, image, revision);
    const QVector<ObjectMarker> records = objectMarkers(image, layouts[row]);
    const QImage picture =
        markersOnly
            ? levelPicture(terrain, records)
            : sprites::levelPicture(terrain, *sprites::LevelSprites::load(image, revision, row),
                                    image, records);
    QString reason;
    if (!writePicture(picture, outPath, &reason)) {
        err << "quillet: cannot write " << outPath << ": " << reason << "\n";
        err.flush();
        return 1;
    }
    return 0;
}

} // namespace map
