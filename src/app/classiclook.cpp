#include "app/classiclook.h"

#include <QIcon>
#include <QWidget>

const char *const kFrameStyle = R"(
QGroupBox { background: black; color: rgb(0,255,0); border: 1px solid rgb(128,128,128);
            margin-top: 6px; }
QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px;
                   padding: 0 2px; color: rgb(0,255,0); background: black; }
)";

void setUpWindow(QWidget *window, const QString &title) {
    window->setWindowTitle(title);
    window->setWindowIcon(QIcon(QStringLiteral(":/icon/quillet.png")));
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, Qt::black);
    window->setPalette(pal);
    window->setAutoFillBackground(true);
}
