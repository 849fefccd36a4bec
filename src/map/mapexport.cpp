#include "map/mapexport.h"

#include "levels/leveltables.h"
#include "map/levelterrain.h"
#include "rom/romimage.h"

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

int exportMap(const QString &imagePath, const QString &rowText, const QString &outPath,
              QTextStream &err) {
    bool number = false;
    const int row = rowText.trimmed().toInt(&number);
    if (!number || row < 0 || row >= LevelCount) {
        err << "quillet: row must be a number from 0 to 20, not \"" << rowText << "\"\n";
        err.flush();
        return 2;
    }
    rom::ImageReader reader;
    QString reason;
    QByteArray image;
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
    const rom::Revision revision = rom::revision(image);
    if (revision == rom::Revision::None) {
        err << "quillet: " << imagePath << " is not a recognised image\n";
        err.flush();
        return 1;
    }
    const LevelTerrain terrain = LevelTerrain::load(image, revision, row);
    if (!terrain.hasTerrain()) {
        err << "quillet: row " << row << " has no terrain: " << terrain.reason() << "\n";
        err.flush();
        return 1;
    }
    LevelAddressTable layouts{};
    loadAddresses(layouts, image, revision);
    if (!writePicture(levelPicture(terrain, objectMarkers(image, layouts[row])), outPath,
                      &reason)) {
        err << "quillet: cannot write " << outPath << ": " << reason << "\n";
        err.flush();
        return 1;
    }
    return 0;
}

} // namespace map
