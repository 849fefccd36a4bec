// `quillet --export-map IMAGE ROW OUT.png`: the level picture without any window.

#include "levels/leveltables.h"
#include "map/levelterrain.h"
#include "map/pngwriter.h"
#include "rom/romimage.h"

#include <QCoreApplication>

#include <utility>

namespace map {

namespace {

const QString kOption = QStringLiteral("--export-map");

} // namespace

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
    // Drawn straight into the rows the file holds (a filter byte in front of each), so that the
    // largest levels need one copy of their pixels, not two.
    const QSize size = terrain.size();
    const qsizetype stride = qsizetype(size.width()) * 3 + 1;
    QByteArray rows(stride * size.height(), '\0');
    drawLevelPicture(terrain, objectMarkers(image, layouts[row]),
                     reinterpret_cast<uchar *>(rows.data()) + 1, stride);
    if (!writePngRows(size.width(), size.height(), std::move(rows), outPath, &reason)) {
        err << "quillet: cannot write " << outPath << ": " << reason << "\n";
        err.flush();
        return 1;
    }
    return 0;
}

bool runExportCommand(int argc, char **argv, int &code) {
    if (argc < 2 || QString::fromLocal8Bit(argv[1]) != kOption)
        return false;
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 5) {
        err << "usage: quillet --export-map IMAGE ROW OUT.png\n";
        err.flush();
        code = 2;
        return true;
    }
    code = exportMap(args.at(2), args.at(3), args.at(4), err);
    return true;
}

} // namespace map
