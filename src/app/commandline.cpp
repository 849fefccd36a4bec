#include "app/commandline.h"

#include "map/mapexport.h"
#include "sprites/objectlisting.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QVector>

namespace {

const QString kProgram = QStringLiteral("quillet");

// A command that runs instead of the window: the option that asks for it, the arguments that
// follow it, the flags that only it takes, and what it does. Another command is one more entry
// in commands().
struct Command {
    QString option;
    QStringList arguments;
    QString description;
    QVector<QCommandLineOption> flags;
    // Gets the arguments in order and the names of its flags that were given.
    std::function<int(const QStringList &arguments, const QStringList &flags, QTextStream &out,
                      QTextStream &err)>
        run;
};

const QVector<Command> &commands() {
    static const QVector<Command> list = {
        {QStringLiteral("export-map"),
         {QStringLiteral("IMAGE"), QStringLiteral("ROW"), QStringLiteral("OUT.png")},
         QStringLiteral("Writes the picture of level ROW (0-20) of IMAGE to OUT.png, objects "
                        "drawn as their sprites, and ends."),
         {QCommandLineOption(QStringLiteral("markers-only"),
                             QStringLiteral("With --export-map: every object as a marker, no "
                                            "sprites."))},
         [](const QStringList &a, const QStringList &flags, QTextStream &, QTextStream &err) {
             return map::exportMap(a.at(0), a.at(1), a.at(2), err,
                                   flags.contains(QStringLiteral("markers-only")));
         }},
        {QStringLiteral("list-objects"),
         {QStringLiteral("IMAGE"), QStringLiteral("ROW")},
         QStringLiteral("Prints the objects of level ROW (0-20) of IMAGE, one tab-separated line "
                        "each (offset, X, Y, type, subtype, name, and how it is drawn: sprite, "
                        "marker or hidden), then Sonic 2's rings, and ends."),
         {},
         [](const QStringList &a, const QStringList &, QTextStream &out, QTextStream &err) {
             return sprites::listObjects(a.at(0), a.at(1), out, err);
         }}};
    return list;
}

// The usage lines: the window's first, then one per command.
QString usage() {
    QString text = QStringLiteral("Usage: %1 [options] [IMAGE]\n").arg(kProgram);
    for (const Command &c : commands()) {
        text += QStringLiteral("   or: %1 --%2 %3").arg(kProgram, c.option, c.arguments.join(' '));
        for (const QCommandLineOption &flag : c.flags)
            text += QStringLiteral(" [--%1]").arg(flag.names().constFirst());
        text += QLatin1Char('\n');
    }
    return text;
}

// The parser's own help with our usage lines in place of its first line (which names the
// program by the path it was started from).
QString helpText(const QCommandLineParser &parser) {
    const QString generated = parser.helpText();
    return usage() + QLatin1Char('\n') + generated.mid(generated.indexOf(QLatin1Char('\n')) + 1);
}

} // namespace

StartOptions parseArguments(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Edits the object placement in the levels of a game ROM image."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help and ends."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays the version and ends."));
    parser.addOption(help);
    parser.addOption(version);
    for (const Command &c : commands()) {
        parser.addOption(QCommandLineOption(c.option, c.description));
        parser.addOptions(c.flags);
    }
    parser.addPositionalArgument(QStringLiteral("IMAGE"),
                                 QStringLiteral("The ROM image to open in the window (optional)."),
                                 QStringLiteral("[IMAGE]"));

    StartOptions options;
    const auto stop = [&options](int code, const QString &text) {
        options.exitNow = true;
        options.exitCode = code;
        options.message = text;
        return options;
    };
    const auto wrong = [&stop](const QString &line) {
        return stop(2, QStringLiteral("%1: %2\n").arg(kProgram, line) + usage());
    };
    if (!parser.parse(arguments))
        return wrong(parser.errorText());
    if (parser.isSet(help))
        return stop(0, helpText(parser));
    if (parser.isSet(version))
        return stop(0, QStringLiteral("%1 %2\n").arg(kProgram, QStringLiteral(QUILLET_VERSION)));

    const QStringList positional = parser.positionalArguments();
    const Command *chosen = nullptr;
    for (const Command &c : commands()) {
        if (!parser.isSet(c.option))
            continue;
        if (chosen)
            return wrong(
                QStringLiteral("--%1 and --%2 cannot be combined.").arg(chosen->option, c.option));
        chosen = &c;
    }
    for (const Command &c : commands())
        for (const QCommandLineOption &flag : c.flags)
            if (parser.isSet(flag) && chosen != &c)
                return wrong(QStringLiteral("--%1 goes with --%2.")
                                 .arg(flag.names().constFirst(), c.option));
    if (chosen) {
        if (positional.size() != chosen->arguments.size())
            return wrong(QStringLiteral("--%1 takes %2 arguments: %3")
                             .arg(chosen->option)
                             .arg(chosen->arguments.size())
                             .arg(chosen->arguments.join(QLatin1Char(' '))));
        QStringList flags;
        for (const QCommandLineOption &flag : chosen->flags)
            if (parser.isSet(flag))
                flags << flag.names().constFirst();
        options.command = [run = chosen->run, positional, flags](QTextStream &out,
                                                                 QTextStream &err) {
            return run(positional, flags, out, err);
        };
        return options;
    }
    if (positional.size() > 1)
        return wrong(QStringLiteral("Only one image can be opened."));
    // The open dialog hands over a full path; so does the command line.
    if (!positional.isEmpty())
        options.imagePath = QFileInfo(positional.first()).absoluteFilePath();
    return options;
}
