#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

StartOptions parseArguments(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Edits the object placement in the levels "
                                                    "of a game ROM image."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("image"),
                                 QStringLiteral("The ROM image to open (optional)."),
                                 QStringLiteral("[image]"));
    StartOptions options;
    const auto stop = [&options](int code, const QString &text) {
        options.exitNow = true;
        options.exitCode = code;
        options.message = text;
        return options;
    };
    if (!parser.parse(arguments))
        return stop(2, parser.errorText() + QLatin1Char('\n') + parser.helpText());
    if (parser.isSet(help))
        return stop(0, parser.helpText());
    if (parser.isSet(version))
        return stop(0, QCoreApplication::applicationName() + QLatin1Char(' ') +
                           QCoreApplication::applicationVersion() + QLatin1Char('\n'));
    const QStringList images = parser.positionalArguments();
    if (images.size() > 1)
        return stop(2, QStringLiteral("Only one image can be opened.\n") + parser.helpText());
    // The open dialog hands over a full path; so does the command line.
    if (!images.isEmpty())
        options.imagePath = QFileInfo(images.first()).absoluteFilePath();
    return options;
}
