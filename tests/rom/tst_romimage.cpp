// The image file: recognising the game, reading the file, and writing it back without ever
// leaving it damaged.

#include "objects/layout.h"
#include "rom/romimage.h"
#include "support/guitest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using testsupport::readFile;
using testsupport::writeFile;

Q_DECLARE_METATYPE(rom::Recognition)

namespace {

constexpr qint64 kShortest = rom::Sonic1SigB + 1; // the first length that passes the range test

QByteArray withBytes(qint64 size, const QList<QPair<qint64, quint8>> &bytes) {
    QByteArray image(size, '\0');
    for (const auto &b : bytes)
        image[b.first] = static_cast<char>(b.second);
    return image;
}

const QPair<qint64, quint8> s1a{0x226B9, 0xB9}, s1b{0x73FD8, 0x12};
const QPair<qint64, quint8> s2a{0x1A0B, 0xCC}, s2b{0x1A08, 0x01};

// A recognisable image with some varied bytes, so a round trip has something to lose.
QByteArray sampleImage() {
    QByteArray image = withBytes(kShortest + 4096, {s1a, s1b});
    for (qsizetype i = 0; i < image.size(); i += 97)
        image[i] = static_cast<char>(i * 31);
    return image;
}

// The owner, group and other bits only: Qt also reports what the running user may do.
QFile::Permissions modeBits(const QString &path) {
    const auto bits = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                      QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther |
                      QFile::ExeOther;
    return QFileInfo(path).permissions() & bits;
}

// Sets or clears the immutable attribute; false where the file system or the user cannot.
bool setImmutable(const QString &path, bool on) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

QStringList folderEntries(const QString &dir) {
    return QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestRomImage : public QObject {
    Q_OBJECT

  private slots:
    void recognition_data();
    void recognition();

    void readsWholeFile();
    void openFailures();
    void missingFileIsNotCreated();
    void sizeLimit_data();
    void sizeLimit();
    void readOnlyFileCanBeRead();
    void fileShrunkAfterOpen();

    void saveRoundTrip();
    void saveOneRecord();
    void saveKeepsGrownTail();
    void saveThroughSymlink();
    void saveKeepsPermissions();
    void saveWithoutImage();
    void saveToReadOnlyFile_data();
    void saveToReadOnlyFile();
    void saveToVanishedFolder();
};

void TestRomImage::recognition_data() {
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<rom::Recognition>("outcome");
    QTest::addColumn<int>("game");
    using R = rom::Recognition;

    QTest::newRow("empty") << QByteArray() << R::OutOfRange << 0;
    QTest::newRow("one byte") << QByteArray(1, '\x12') << R::OutOfRange << 0;
    // The range test comes before the signatures, so even a Sonic 2 image this short fails.
    QTest::newRow("475096 bytes, Sonic 2 bytes")
        << withBytes(475096, {s1a, s2a, s2b}) << R::OutOfRange << 0;
    QTest::newRow("Sonic 1 at the shortest length")
        << withBytes(kShortest, {s1a, s1b}) << R::Sonic1 << 1;
    QTest::newRow("Sonic 2") << withBytes(kShortest, {s2a, s2b}) << R::Sonic2 << 2;
    QTest::newRow("Sonic 2, long") << withBytes(0x100000, {s2a, s2b}) << R::Sonic2 << 2;
    QTest::newRow("both: Sonic 1 first")
        << withBytes(kShortest, {s1a, s1b, s2a, s2b}) << R::Sonic1 << 1;
    QTest::newRow("Sonic 1 first byte only, Sonic 2")
        << withBytes(kShortest, {s1a, s2a, s2b}) << R::Sonic2 << 2;
    QTest::newRow("Sonic 1 second byte only, Sonic 2")
        << withBytes(kShortest, {s1b, s2a, s2b}) << R::Sonic2 << 2;
    QTest::newRow("Sonic 1 one byte off, Sonic 2")
        << withBytes(kShortest, {{0x226B9, 0xB8}, s1b, s2a, s2b}) << R::Sonic2 << 2;
    QTest::newRow("Sonic 1 first byte only") << withBytes(kShortest, {s1a}) << R::Unknown << 0;
    QTest::newRow("Sonic 2 first byte only") << withBytes(kShortest, {s2a}) << R::Unknown << 0;
    QTest::newRow("Sonic 2 second byte only") << withBytes(kShortest, {s2b}) << R::Unknown << 0;
    QTest::newRow("neither") << QByteArray(kShortest, '\0') << R::Unknown << 0;
    QTest::newRow("all FF") << QByteArray(kShortest, '\xFF') << R::Unknown << 0;
}

void TestRomImage::recognition() {
    QFETCH(QByteArray, image);
    QFETCH(rom::Recognition, outcome);
    QFETCH(int, game);
    QCOMPARE(rom::recognise(image), outcome);
    QCOMPARE(rom::gameCode(rom::recognise(image)), game);
}

void TestRomImage::readsWholeFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray data = sampleImage();
    const QString path = writeFile(dir, QStringLiteral("game.bin"), data);

    for (const QByteArray &content : {data, QByteArray()}) {
        QVERIFY(writeFile(dir, QStringLiteral("game.bin"), content) == path);
        rom::ImageReader reader;
        QString reason;
        QVERIFY2(reader.open(path, &reason), qPrintable(reason));
        QCOMPARE(reader.size(), qint64(content.size()));
        QByteArray buffer(reader.size(), '\0');
        QVERIFY2(reader.read(buffer, &reason), qPrintable(reason));
        reader.close();
        QCOMPARE(buffer, content);
    }
}

void TestRomImage::openFailures() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A file literally named "<None>" in the working folder must not be opened for the marker.
    QVERIFY(!writeFile(dir, rom::NoPath, sampleImage()).isEmpty());
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    auto restore = qScopeGuard([&] { QDir::setCurrent(previous); });

    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.bin")));
    const QStringList paths = {rom::NoPath, QString(), dir.filePath(QStringLiteral("folder.bin")),
                               dir.filePath(QStringLiteral("gone/game.bin"))};
    for (const QString &path : paths) {
        rom::ImageReader reader;
        QString reason;
        QVERIFY2(!reader.open(path, &reason), qPrintable(path));
        QVERIFY2(!reason.isEmpty(), qPrintable(path));
    }
}

void TestRomImage::missingFileIsNotCreated() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("missing.bin"));
    rom::ImageReader reader;
    QString reason;
    QVERIFY(!reader.open(path, &reason));
    QVERIFY(!reason.isEmpty());
    QVERIFY(!QFileInfo::exists(path));
    QVERIFY(folderEntries(dir.path()).isEmpty());
}

void TestRomImage::sizeLimit_data() {
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("exactly 64 MiB") << rom::MaxImageBytes << true;
    QTest::newRow("one byte more") << rom::MaxImageBytes + 1 << false;
    QTest::newRow("1 GiB") << (qint64(1) << 30) << false;
}

void TestRomImage::sizeLimit() {
    QFETCH(qint64, size);
    QFETCH(bool, accepted);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("big.bin"));
    {
        // Sparse: costs no disk space and no time.
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(size));
    }
    rom::ImageReader reader;
    QString reason;
    QCOMPARE(reader.open(path, &reason), accepted);
    if (accepted)
        QCOMPARE(reader.size(), size);
    else
        QVERIFY(!reason.isEmpty());
    reader.close();
}

void TestRomImage::readOnlyFileCanBeRead() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray data = sampleImage();
    const QString path = writeFile(dir, QStringLiteral("ro.bin"), data);
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));

    rom::ImageReader reader;
    QString reason;
    QVERIFY2(reader.open(path, &reason), qPrintable(reason));
    QByteArray buffer(reader.size(), '\0');
    QVERIFY2(reader.read(buffer, &reason), qPrintable(reason));
    reader.close();
    QCOMPARE(buffer, data);
    // Reading never touched the file's mode.
    QCOMPARE(modeBits(path), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
}

// A file cut short between opening and reading is a read failure, not a short image.
void TestRomImage::fileShrunkAfterOpen() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = writeFile(dir, QStringLiteral("game.bin"), QByteArray(1000, 'x'));
    rom::ImageReader reader;
    QString reason;
    QVERIFY(reader.open(path, &reason));
    QByteArray buffer(reader.size(), '\0');
    QVERIFY(QFile::resize(path, 400));
    QVERIFY(!reader.read(buffer, &reason));
    QVERIFY(!reason.isEmpty());
    reader.close();
}

void TestRomImage::saveRoundTrip() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray data = sampleImage();
    const QString path = writeFile(dir, QStringLiteral("game.bin"), data);
    QString reason;
    for (int i = 0; i < 2; ++i) {
        QVERIFY2(rom::saveImage(path, data, &reason), qPrintable(reason));
        QCOMPARE(readFile(path), data);
    }
    // No temporary file is left behind.
    QCOMPARE(folderEntries(dir.path()), QStringList{QStringLiteral("game.bin")});
}

void TestRomImage::saveOneRecord() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray original = sampleImage();
    const QString path = writeFile(dir, QStringLiteral("game.bin"), original);

    QByteArray edited = original;
    const qint64 at = 0x6B096;
    QCOMPARE(layout::writeRecord(edited, at, QStringLiteral("0A3C"), QStringLiteral("8123"),
                                 QStringLiteral("A6"), QStringLiteral("05")),
             6);
    QString reason;
    QVERIFY2(rom::saveImage(path, edited, &reason), qPrintable(reason));

    const QByteArray saved = readFile(path);
    QCOMPARE(saved.size(), original.size());
    QCOMPARE(saved.mid(at, 6), QByteArray::fromHex("0A3C8123A605"));
    QCOMPARE(saved.left(at), original.left(at));
    QCOMPARE(saved.mid(at + 6), original.mid(at + 6));
}

void TestRomImage::saveKeepsGrownTail() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray loaded = sampleImage();
    const QByteArray tail("bytes appended after the load", 29);
    const QString path = writeFile(dir, QStringLiteral("game.bin"), loaded + tail);

    QByteArray edited = loaded;
    edited[100] = '\x42';
    QString reason;
    QVERIFY2(rom::saveImage(path, edited, &reason), qPrintable(reason));
    QCOMPARE(readFile(path), edited + tail);
}

void TestRomImage::saveThroughSymlink() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("roms")));
    const QByteArray original = sampleImage();
    const QString target = writeFile(dir, QStringLiteral("roms/game.bin"), original);
    const QString link = dir.filePath(QStringLiteral("link.bin"));
    QVERIFY(QFile::link(QStringLiteral("roms/game.bin"), link));

    QByteArray edited = original;
    edited[7] = '\x77';
    QString reason;
    QVERIFY2(rom::saveImage(link, edited, &reason), qPrintable(reason));

    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(QFileInfo(link).symLinkTarget(), QFileInfo(target).absoluteFilePath());
    QCOMPARE(readFile(target), edited);
    QCOMPARE(readFile(link), edited);
}

void TestRomImage::saveKeepsPermissions() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray original = sampleImage();
    const QString path = writeFile(dir, QStringLiteral("game.bin"), original);
    const QFile::Permissions mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(path, mode));

    const QByteArray edited(original.size(), '\x01');
    QString reason;
    QVERIFY2(rom::saveImage(path, edited, &reason), qPrintable(reason));
    QCOMPARE(readFile(path), edited);
    QCOMPARE(modeBits(path), mode);
}

void TestRomImage::saveWithoutImage() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    auto restore = qScopeGuard([&] { QDir::setCurrent(previous); });

    for (const QString &path : {rom::NoPath, QString()}) {
        QString reason;
        QVERIFY(!rom::saveImage(path, sampleImage(), &reason));
        QVERIFY(!reason.isEmpty());
    }
    QVERIFY(folderEntries(dir.path()).isEmpty());
}

void TestRomImage::saveToReadOnlyFile_data() {
    QTest::addColumn<bool>("immutable");
    QTest::newRow("mode 0444") << false;
    // Root ignores the mode, but not the immutable attribute.
    QTest::newRow("immutable") << true;
}

void TestRomImage::saveToReadOnlyFile() {
    QFETCH(bool, immutable);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray original = sampleImage();
    const QString path = writeFile(dir, QStringLiteral("ro.bin"), original);
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    if (immutable && !setImmutable(path, true))
        QSKIP("this file system or user cannot make a file immutable");
    auto release = qScopeGuard([&] {
        if (immutable)
            setImmutable(path, false);
    });

    QString reason;
    const bool saved = rom::saveImage(path, QByteArray(original.size(), '\x01'), &reason);
    if (saved && !immutable && geteuid() == 0)
        QSKIP("root may write any file whatever its mode");
    QVERIFY(!saved);
    QVERIFY(!reason.isEmpty());
    QCOMPARE(readFile(path), original);
    QCOMPARE(folderEntries(dir.path()), QStringList{QStringLiteral("ro.bin")});
}

void TestRomImage::saveToVanishedFolder() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("roms")));
    const QString path = writeFile(dir, QStringLiteral("roms/game.bin"), sampleImage());
    QVERIFY(QDir(dir.filePath(QStringLiteral("roms"))).removeRecursively());

    QString reason;
    QVERIFY(!rom::saveImage(path, sampleImage(), &reason));
    QVERIFY(!reason.isEmpty());
    QVERIFY(!QFileInfo::exists(path));
    QVERIFY(folderEntries(dir.path()).isEmpty());
}

QTEST_MAIN(TestRomImage)
#include "tst_romimage.moc"
