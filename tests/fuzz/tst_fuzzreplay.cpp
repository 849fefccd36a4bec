// Replays the fuzz targets' seed inputs and every input that once broke one of their invariants
// through the same checks, with the ordinary compiler and in the sanitizer build.
#include "fuzzchecks.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTest>

class tst_FuzzReplay : public QObject {
    Q_OBJECT
  private slots:
    void replay_data();
    void replay();
};

void tst_FuzzReplay::replay_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QByteArray>("input");
    const QDir root(QStringLiteral(QUILLET_FUZZ_INPUTS));
    int rows = 0;
    for (const QString &kind : {QStringLiteral("corpus"), QStringLiteral("regressions")}) {
        for (const QString &target :
             {QStringLiteral("text"), QStringLiteral("image"), QStringLiteral("kosinski"),
              QStringLiteral("nemesis"), QStringLiteral("enigma"), QStringLiteral("level"),
              QStringLiteral("sprites"), QStringLiteral("layouts")}) {
            const QDir dir(root.filePath(kind + QLatin1Char('/') + target));
            for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
                QFile file(dir.filePath(name));
                QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
                const QString row = kind + QLatin1Char('/') + target + QLatin1Char('/') + name;
                QTest::newRow(qPrintable(row)) << target << file.readAll();
                ++rows;
            }
        }
    }
    QVERIFY2(rows > 0, "no fuzz inputs found");
}

void tst_FuzzReplay::replay() {
    QFETCH(QString, target);
    QFETCH(QByteArray, input);
    const auto *data = reinterpret_cast<const std::uint8_t *>(input.constData());
    const auto size = static_cast<std::size_t>(input.size());
    using Check = QString (*)(const std::uint8_t *, std::size_t);
    const QHash<QString, Check> checks = {{QStringLiteral("text"), fuzzcheck::textHelpers},
                                          {QStringLiteral("image"), fuzzcheck::imagePath},
                                          {QStringLiteral("kosinski"), fuzzcheck::kosinskiStream},
                                          {QStringLiteral("nemesis"), fuzzcheck::nemesisStream},
                                          {QStringLiteral("enigma"), fuzzcheck::enigmaStream},
                                          {QStringLiteral("level"), fuzzcheck::levelResolution},
                                          {QStringLiteral("sprites"), fuzzcheck::spriteDrawing},
                                          {QStringLiteral("layouts"), fuzzcheck::layoutEdits}};
    const QString failure = checks.value(target)(data, size);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

QTEST_GUILESS_MAIN(tst_FuzzReplay)
#include "tst_fuzzreplay.moc"
