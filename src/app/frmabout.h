#pragma once

#include <QWidget>

class QGroupBox;
class QPlainTextEdit;

// The About window: a black, fixed-size window with a framed green text. It has no parent, so
// it can stay open after the main window has closed.
class frmAbout : public QWidget {
    Q_OBJECT
  public:
    explicit frmAbout(QWidget *parent = nullptr);

  private:
    QGroupBox *Frame1 = nullptr;
    QPlainTextEdit *Text1 = nullptr;
};
