#pragma once

#include <QWidget>

// The About window: a black, fixed-size window with a framed green text.
class frmAbout : public QWidget {
    Q_OBJECT
  public:
    explicit frmAbout(QWidget *parent = nullptr);
};
