#include "app/frmmain.h"
#include "map/levelterrain.h"

#include <QApplication>

int main(int argc, char **argv) {
    int code = 0;
    if (map::runExportCommand(argc, argv, code)) // before any window: needs no display
        return code;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    frmMain window;
    window.show();
    return QApplication::exec();
}
