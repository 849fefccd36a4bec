#include "app/frmabout.h"

#include "app/classiclook.h"

#include <QGroupBox>
#include <QPlainTextEdit>

#include <initializer_list>

namespace {

const char *const kTextStyle = "QPlainTextEdit#Text1 { background: black; color: rgb(0,255,0); }";

const char *const kAboutText = "Quillet 1.0\n"
                               "\n"
                               "Programmed by the Quillet team (quill)\n"
                               "<quillet@example.org>\n"
                               "\n"
                               "Special Thanks to:  the object layout notes\n";

} // namespace

frmAbout::frmAbout(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setUpWindow(this, QStringLiteral("About"));
    setStyleSheet(QLatin1String(kFrameStyle) + QLatin1String(kTextStyle));

    Frame1 = new QGroupBox(QStringLiteral("About"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twips(120, 120, 3735, 2535));
    Frame1->setFocusPolicy(Qt::NoFocus);

    Text1 = new QPlainTextEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twips(120, 240, 3495, 2175));
    Text1->setPlainText(QLatin1String(kAboutText));
    // The text is only there to be read.
    Text1->setReadOnly(true);

    // The main window's own font; style-sheeted children do not inherit it, so each gets it.
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    for (QWidget *w : std::initializer_list<QWidget *>{this, Frame1, Text1})
        w->setFont(font);

    setFixedSize(268, 187); // 4020 x 2805 twips
}
