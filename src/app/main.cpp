#include "app/frmmain.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    frmMain window;
    window.show();
    return QApplication::exec();
}
