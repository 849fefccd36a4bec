// Replays the fuzz targets' seed inputs and every input that once broke one of their invariants
// through the same checks, with the ordinary compiler and in the sanitizer build.
#include "fuzzchecks.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <map>

using Check = QString (*)(const std::uint8_t *, std::size_t);
// Each target's inputs live in corpus/<target> and regressions/<target>.
static const std::map<QString, Check> Checks = {
    {"text", fuzzcheck::textHelpers},        {"image", fuzzcheck::imagePath},
    {"kosinski", fuzzcheck::kosinskiStream}, {"nemesis", fuzzcheck::nemesisStream},
    {"enigma", fuzzcheck::enigmaStream},     {"level", fuzzcheck::levelResolution},
    {"sprites", fuzzcheck::spriteDrawing},   {"layouts", fuzzcheck::layoutEdits}};

class tst_FuzzReplay : public QObject {
    Q_OBJECT
  private slots:
    void replay_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QByteArray>("input");
        const QDir root(QStringLiteral(QUILLET_FUZZ_INPUTS));
        int rows = 0;
        for (const QString kind : {"corpus", "regressions"}) {
            for (const auto &[target, check] : Checks) {
                const QDir dir(root.filePath(kind + '/' + target));
                for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
                    QFile file(dir.filePath(name));
                    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
                    QTest::newRow(qPrintable(kind + '/' + target + '/' + name))
                        << target << file.readAll();
                    ++rows;
                }
            }
        }
        QVERIFY2(rows > 0, "no fuzz inputs found");
    }

    void replay() {
        QFETCH(QString, target);
        QFETCH(QByteArray, input);
        const QString failure = Checks.at(target)(
            reinterpret_cast<const std::uint8_t *>(input.constData()), std::size_t(input.size()));
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_GUILESS_MAIN(tst_FuzzReplay)
#include "tst_fuzzreplay.moc"
