#include "app/commandline.h"
#include "app/frmmain.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv) {
    // Read before any application exists: the help, the version and the commands need no
    // display, and the window's application cannot start without one.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const StartOptions options = parseArguments(arguments);
    if (options.exitNow) {
        std::fputs(qPrintable(options.message), options.exitCode == 0 ? stdout : stderr);
        return options.exitCode;
    }
    if (options.command) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout), err(stderr);
        return options.command(out, err);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLET_VERSION));
    frmMain window;
    window.show();
    if (!options.imagePath.isEmpty())
        QTimer::singleShot(0, &window, [&] { window.openPath(options.imagePath); });
    return QApplication::exec();
}
