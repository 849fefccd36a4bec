#pragma once
// The look both windows share: layout in twips, black backgrounds and green-captioned frames.

#include <QRect>
#include <QString>

class QWidget;

// Positions are laid out in twips, 15 to a pixel; sizes round to the nearest pixel.
inline QRect twips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, (width + 7) / 15, (height + 7) / 15);
}

// Style sheet rules for frames (group boxes): black, with a green caption on the border.
extern const char *const kFrameStyle;

// A top-level window of ours: black background and the program icon.
void setUpWindow(QWidget *window, const QString &title);
