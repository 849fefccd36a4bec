#include "app/commandline.h"
#include "app/frmmain.h"
#include "map/levelterrain.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv) {
    int code = 0;
    if (map::runExportCommand(argc, argv, code)) // before any window: needs no display
        return code;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    const StartOptions options = parseArguments(QApplication::arguments());
    if (options.exitNow) {
        std::fputs(qPrintable(options.message), options.exitCode == 0 ? stdout : stderr);
        return options.exitCode;
    }
    frmMain window;
    window.show();
    if (!options.imagePath.isEmpty())
        QTimer::singleShot(0, &window, [&] { window.openPath(options.imagePath); });
    return QApplication::exec();
}
