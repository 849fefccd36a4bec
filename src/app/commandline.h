#pragma once
// What the program was asked to do when it was started:
//   quillet [IMAGE]                          the window, with IMAGE open when one is given
//   quillet --export-map IMAGE ROW OUT.png [--markers-only]
//   quillet --list-objects IMAGE ROW         commands that do their work and end
// Read before any application object exists, so that the help, the version and the commands
// never need a display.

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

struct StartOptions {
    // The image to open at start-up, as an absolute path; empty for none.
    QString imagePath;
    // Set when the program should only print `message` (on standard output when `exitCode` is
    // 0, else on standard error) and end with `exitCode`.
    bool exitNow = false;
    int exitCode = 0;
    QString message;
    // Set when a command runs instead of the window; it returns the program's exit code.
    std::function<int(QTextStream &out, QTextStream &err)> command;
};

// Reads the program's arguments (the first being the program itself).
StartOptions parseArguments(const QStringList &arguments);
