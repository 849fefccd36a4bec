#pragma once
// What the program was asked to do when it was started: `quillet [PATH]`.

#include <QString>
#include <QStringList>

struct StartOptions {
    // The image to open at start-up, as an absolute path; empty for none.
    QString imagePath;
    // Set when the program should only print `message` and end with `exitCode`.
    bool exitNow = false;
    int exitCode = 0;
    QString message;
};

// Reads the program's arguments (the first being the program itself).
StartOptions parseArguments(const QStringList &arguments);
