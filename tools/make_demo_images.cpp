// Writes one demo image per game into the folder given on the command line, so newcomers have
// something to open without a game image of their own: terrain, objects and their sprites, all
// drawn from our own art.
#include "demo/syntheticsprites.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString folder = args.size() > 1 ? args.at(1) : QStringLiteral("demo");
    if (!QDir().mkpath(folder)) {
        QTextStream(stderr) << "cannot create " << folder << "\n";
        return 1;
    }
    const struct {
        int game;
        const char *name;
    } demos[] = {{1, "demo-sonic1.bin"}, {2, "demo-sonic2.bin"}};
    for (const auto &demo : demos) {
        QFile out(QDir(folder).filePath(QLatin1String(demo.name)));
        const QByteArray data = synthetic::demoImage(demo.game);
        if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size() || !out.flush()) {
            QTextStream(stderr) << "cannot write " << out.fileName() << "\n";
            return 1;
        }
    }
    return 0;
}
