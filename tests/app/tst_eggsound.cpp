#include "app/eggsound.h"

#include <QAudioBuffer>
#include <QAudioDecoder>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaPlayer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>

namespace {

constexpr int kFrames = 264;
constexpr int kFrameBytes = 144;
constexpr int kSamplesPerFrame = 576;

quint16 le16(const QByteArray &bytes, int at) {
    return quint16(quint8(bytes[at]) | quint8(bytes[at + 1]) << 8);
}

quint32 le32(const QByteArray &bytes, int at) {
    return quint32(le16(bytes, at)) | quint32(le16(bytes, at + 2)) << 16;
}

struct Chunk {
    QByteArray id;
    int offset = 0; // of the payload
    quint32 size = 0;
};

// The chunks after "WAVE", in file order; stops at anything that runs past the end.
QList<Chunk> chunksOf(const QByteArray &wav) {
    QList<Chunk> chunks;
    int at = 12;
    while (at + 8 <= wav.size()) {
        Chunk chunk{wav.mid(at, 4), at + 8, le32(wav, at + 4)};
        if (chunk.offset + qint64(chunk.size) > wav.size())
            break;
        chunks.append(chunk);
        at = chunk.offset + int(chunk.size) + int(chunk.size & 1);
    }
    return chunks;
}

// Set in the environment of the child processes that quietWithoutMediaBackend() starts.
const char *const kChildVariable = "QUILLET_EGG_SOUND_CHILD";

// Waits until the player makes progress or gives up with an error. False means this machine
// cannot play at all, so there is nothing to check beyond not crashing.
bool playsHere(QMediaPlayer *player) {
    const bool settled = QTest::qWaitFor(
        [&] { return player->position() > 0 || player->error() != QMediaPlayer::NoError; }, 10000);
    // Neither progress nor an error: leave it to the caller's checks to report the stall.
    return !settled || player->error() == QMediaPlayer::NoError;
}

} // namespace

class TestEggSound : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();

    void waveHeader();
    void dataIsMpeg25LayerIIIFrames();
    void decodesToTheWholeJingle();

    void firstCallsReturnAtOnce();
    void secondCallRestartsFromTheBeginning();
    void eventLoopKeepsRunningWhilePlaying();
    void playsAgainAfterTheEnd();

    void quietWithoutMediaBackend_data();
    void quietWithoutMediaBackend();
    void childPlaysQuietly();

  private:
    QByteArray m_wav;
};

void TestEggSound::initTestCase() {
    Q_INIT_RESOURCE(quillet);
    QFile file(QStringLiteral(":/SOUND/101"));
    QVERIFY2(file.open(QIODevice::ReadOnly), "resource :/SOUND/101 is missing");
    m_wav = file.readAll();
}

void TestEggSound::waveHeader() {
    QCOMPARE(m_wav.size(), 38086);
    QCOMPARE(m_wav.left(4), QByteArray("RIFF"));
    QCOMPARE(le32(m_wav, 4), quint32(m_wav.size() - 8));
    QCOMPARE(m_wav.mid(8, 4), QByteArray("WAVE"));

    const QList<Chunk> chunks = chunksOf(m_wav);
    QCOMPARE(chunks.size(), 3);
    QCOMPARE(chunks[0].id, QByteArray("fmt "));
    QCOMPARE(chunks[1].id, QByteArray("fact"));
    QCOMPARE(chunks[2].id, QByteArray("data"));
    // Nothing may follow the data chunk.
    QCOMPARE(chunks[2].offset + int(chunks[2].size), m_wav.size());

    const Chunk &fmt = chunks[0];
    QCOMPARE(fmt.size, 30u);
    const int f = fmt.offset;
    QCOMPARE(le16(m_wav, f + 0), 0x0055); // MPEG Layer-3
    QCOMPARE(le16(m_wav, f + 2), 2);      // channels
    QCOMPARE(le32(m_wav, f + 4), 12000u); // samples per second
    QCOMPARE(le32(m_wav, f + 8), 3000u);  // average bytes per second
    QCOMPARE(le16(m_wav, f + 12), 1);     // block align
    QCOMPARE(le16(m_wav, f + 14), 0);     // bits per sample
    QCOMPARE(le16(m_wav, f + 16), 12);    // size of what follows
    QCOMPARE(le16(m_wav, f + 18), 1);     // ID: MPEG
    QCOMPARE(le32(m_wav, f + 20), 2u);    // flags: padding off
    QCOMPARE(le16(m_wav, f + 24), 144);   // block size
    QCOMPARE(le16(m_wav, f + 26), 1);     // frames per block
    QCOMPARE(le16(m_wav, f + 28), 1393);  // codec delay

    QCOMPARE(chunks[1].size, 4u);
    QCOMPARE(le32(m_wav, chunks[1].offset), quint32(kFrames * kSamplesPerFrame));
    QCOMPARE(chunks[2].size, quint32(kFrames * kFrameBytes));
}

void TestEggSound::dataIsMpeg25LayerIIIFrames() {
    const QList<Chunk> chunks = chunksOf(m_wav);
    QCOMPARE(chunks.size(), 3);
    const QByteArray data = m_wav.mid(chunks[2].offset, int(chunks[2].size));
    QCOMPARE(data.size(), kFrames * kFrameBytes);

    // Walk the frames by their headers: each must announce exactly the 144 bytes it occupies.
    int frames = 0;
    for (int at = 0; at < data.size(); at += kFrameBytes, ++frames) {
        const auto b = [&](int i) { return quint8(data[at + i]); };
        const QByteArray where = "frame " + QByteArray::number(frames);
        QVERIFY2(b(0) == 0xFF && (b(1) & 0xE0) == 0xE0, where + ": no sync word");
        QVERIFY2(((b(1) >> 3) & 3) == 0, where + ": not MPEG-2.5");
        QVERIFY2(((b(1) >> 1) & 3) == 1, where + ": not Layer III");
        QVERIFY2((b(2) >> 4) == 3, where + ": not 24 kbit/s");
        QVERIFY2(((b(2) >> 2) & 3) == 1, where + ": not 12000 Hz");
        QVERIFY2(((b(2) >> 1) & 1) == 0, where + ": padded frame is not 144 bytes");
        QVERIFY2((b(3) >> 6) != 3, where + ": mono");
    }
    QCOMPARE(frames, kFrames);

    // An encoder info frame has valid headers but holds no sound: it would shift the length.
    // (Tags have no sync word, so the walk above already rules them out.)
    const int sideInfo = 4 + ((quint8(data[1]) & 1) ? 0 : 2) + 17;
    QVERIFY(data.mid(sideInfo, 4) != "Xing");
    QVERIFY(data.mid(sideInfo, 4) != "Info");
}

void TestEggSound::decodesToTheWholeJingle() {
    QBuffer buffer(&m_wav);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QAudioDecoder decoder;
    QVERIFY2(decoder.isSupported(), "Qt Multimedia has no audio decoder here");
    // Asking for plain interleaved samples matters: without a format Qt 6.4 leaves the planar
    // output of GStreamer's libav MP3 decoder unconverted and the pipeline fails to negotiate.
    QAudioFormat format;
    format.setSampleRate(12000);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    decoder.setAudioFormat(format);
    decoder.setSourceDevice(&buffer);

    QAudioFormat decoded;
    qint64 frames = 0;
    double sumOfSquares = 0;
    qint64 samples = 0;
    float peak = 0;
    connect(&decoder, &QAudioDecoder::bufferReady, this, [&] {
        const QAudioBuffer chunk = decoder.read();
        decoded = chunk.format();
        frames += chunk.frameCount();
        const char *bytes = chunk.constData<char>();
        const int step = decoded.bytesPerSample();
        for (qsizetype i = 0; i < chunk.sampleCount(); ++i) {
            const float value = decoded.normalizedSampleValue(bytes + i * step);
            sumOfSquares += double(value) * value;
            peak = qMax(peak, std::fabs(value));
        }
        samples += chunk.sampleCount();
    });
    bool finished = false;
    connect(&decoder, &QAudioDecoder::finished, this, [&] { finished = true; });

    decoder.start();
    QTRY_VERIFY_WITH_TIMEOUT(finished || decoder.error() != QAudioDecoder::NoError, 30000);
    QVERIFY2(decoder.error() == QAudioDecoder::NoError, qPrintable(decoder.errorString()));

    QVERIFY2(frames > 0 && decoded.isValid(), "nothing decoded");
    const double seconds = double(frames) / decoded.sampleRate();
    QVERIFY2(seconds > 12.4 && seconds < 13.0, qPrintable(QString::number(seconds) + " s"));

    const double rms = std::sqrt(sumOfSquares / double(samples));
    QVERIFY2(rms > 0.01, qPrintable(QStringLiteral("RMS %1").arg(rms)));
    // Audible, yet not driven into clipping.
    QVERIFY2(peak > 0.1 && peak < 0.99, qPrintable(QStringLiteral("peak %1").arg(peak)));
}

void TestEggSound::firstCallsReturnAtOnce() {
    QCOMPARE(eggSoundPlayer(), nullptr);

    QElapsedTimer clock;
    clock.start();
    PlayEggSound();
    // The first call starts GStreamer, which may read its plugin registry.
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed()) + " ms"));
    QMediaPlayer *player = eggSoundPlayer();
    QVERIFY(player);

    // Called again while the first is still loading: must not wait for it.
    clock.restart();
    PlayEggSound();
    QVERIFY2(clock.elapsed() < 300, qPrintable(QString::number(clock.elapsed()) + " ms"));
    QCOMPARE(eggSoundPlayer(), player);
}

void TestEggSound::secondCallRestartsFromTheBeginning() {
    // Carries on with the first playback, started just above: early in it, while the backend is
    // still reading the data, is when a restart is most fragile.
    if (!eggSoundPlayer())
        PlayEggSound();
    QMediaPlayer *player = eggSoundPlayer();
    QVERIFY(player);
    if (!playsHere(player))
        QSKIP("this machine cannot play sound at all");
    QVERIFY(player->position() > 0);

    QTRY_VERIFY_WITH_TIMEOUT(player->position() >= 100, 5000);
    QElapsedTimer clock;
    clock.start();
    PlayEggSound();
    QVERIFY2(clock.elapsed() < 300, qPrintable(QString::number(clock.elapsed()) + " ms"));
    QCOMPARE(eggSoundPlayer(), player);
    QVERIFY(player->position() < 100);

    // It plays on from the start rather than stopping or carrying on where it was.
    QTRY_VERIFY_WITH_TIMEOUT(player->position() > 0, 5000);
    QCOMPARE(player->playbackState(), QMediaPlayer::PlayingState);
    QVERIFY2(player->position() <= clock.elapsed() + 100,
             qPrintable(QStringLiteral("at %1 ms, %2 ms after the restart")
                            .arg(player->position())
                            .arg(clock.elapsed())));
    QTest::qWait(300);
    QCOMPARE(player->playbackState(), QMediaPlayer::PlayingState);
    QCOMPARE(player->error(), QMediaPlayer::NoError);
}

void TestEggSound::eventLoopKeepsRunningWhilePlaying() {
    PlayEggSound();
    QMediaPlayer *player = eggSoundPlayer();
    QVERIFY(player);

    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, [&] { ++ticks; });
    timer.start(20);
    QTest::qWait(500);
    QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks) + " ticks"));

    if (!playsHere(player)) {
        // No sound here: it must have given up cleanly.
        QCOMPARE(player->playbackState(), QMediaPlayer::StoppedState);
        return;
    }
    QVERIFY(player->position() > 0);
    QCOMPARE(player->playbackState(), QMediaPlayer::PlayingState);
    QTRY_VERIFY_WITH_TIMEOUT(player->duration() > 12400 && player->duration() < 13000, 5000);
}

void TestEggSound::playsAgainAfterTheEnd() {
    QMediaPlayer *player = eggSoundPlayer();
    QVERIFY(player);
    if (!playsHere(player))
        QSKIP("this machine cannot play sound at all");
    QVERIFY(player->position() > 0);

    QTRY_COMPARE_WITH_TIMEOUT(player->mediaStatus(), QMediaPlayer::EndOfMedia, 20000);
    QCOMPARE(player->playbackState(), QMediaPlayer::StoppedState);

    PlayEggSound();
    QTRY_VERIFY_WITH_TIMEOUT(player->position() > 0, 5000);
    QCOMPARE(player->playbackState(), QMediaPlayer::PlayingState);
    QVERIFY(player->position() < 2000);
}

void TestEggSound::quietWithoutMediaBackend_data() {
    QTest::addColumn<QString>("variable");
    QTest::addColumn<bool>("emptyPluginDir");
    // Qt 6.4 aborts when it finds no backend plugin.
    QTest::newRow("no Qt media backend") << QStringLiteral("QT_MEDIA_BACKEND") << false;
    // Its GStreamer player crashes without the base plugins.
    QTest::newRow("no GStreamer plugins") << QStringLiteral("GST_PLUGIN_SYSTEM_PATH_1_0") << true;
}

void TestEggSound::quietWithoutMediaBackend() {
    QFETCH(QString, variable);
    QFETCH(bool, emptyPluginDir);

    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildVariable), QStringLiteral("1"));
    env.insert(variable, emptyPluginDir ? scratch.path() : QStringLiteral("none"));
    // A registry of its own, so the user's cache does not learn the empty plugin set.
    env.insert(QStringLiteral("GST_REGISTRY_1_0"), scratch.filePath(QStringLiteral("reg.bin")));
    env.remove(QStringLiteral("GST_PLUGIN_PATH"));
    env.remove(QStringLiteral("GST_PLUGIN_PATH_1_0"));

    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("childPlaysQuietly")});
    QVERIFY(child.waitForFinished(60000));
    const QByteArray output = child.readAll();
    QVERIFY2(child.exitStatus() == QProcess::NormalExit, output.constData());
    QVERIFY2(child.exitCode() == 0, output.constData());
    QVERIFY2(output.contains("PASS   : TestEggSound::childPlaysQuietly()"), output.constData());
}

void TestEggSound::childPlaysQuietly() {
    if (!qEnvironmentVariableIsSet(kChildVariable))
        QSKIP("runs only in the child processes of quietWithoutMediaBackend");

    QElapsedTimer clock;
    clock.start();
    PlayEggSound();
    PlayEggSound();
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed()) + " ms"));
    QCOMPARE(eggSoundPlayer(), nullptr);
    QTest::qWait(100);
}

QTEST_MAIN(TestEggSound)
#include "tst_eggsound.moc"
