#include "app/eggsound.h"

#include <QAudioOutput>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QMediaFormat>
#include <QMediaPlayer>
#include <QPluginLoader>
#include <QPointer>
#include <QUrl>

// The resources sit in the static core library, where the linker would drop them unless
// something refers to them; Q_INIT_RESOURCE must stand outside any namespace.
static void initEggResources() {
    Q_INIT_RESOURCE(quillet);
}

namespace {

// Qt 6.4 aborts the program when a Multimedia object is made without a backend plugin, and
// its GStreamer player crashes when the GStreamer base plugins are missing. So look before
// touching either: a plugin must be there, and the backend must decode MP3 in WAV (which it
// only can with those plugins; without that the jingle could not play anyway).
bool canPlay() {
    const QString wanted = qEnvironmentVariable("QT_MEDIA_BACKEND");
    bool havePlugin = false;
    for (const QString &path : QCoreApplication::libraryPaths()) {
        const QDir dir(path + QStringLiteral("/multimedia"));
        for (const QString &name : dir.entryList(QDir::Files)) {
            const QJsonObject meta = QPluginLoader(dir.filePath(name)).metaData();
            const QJsonArray keys = meta.value(QLatin1String("MetaData"))
                                        .toObject()
                                        .value(QLatin1String("Keys"))
                                        .toArray();
            if (meta.value(QLatin1String("IID")).toString() ==
                    QLatin1String("org.qt-project.Qt.QPlatformMediaPlugin") &&
                (wanted.isEmpty() || keys.contains(wanted)))
                havePlugin = true;
        }
    }
    if (!havePlugin)
        return false;
    QMediaFormat format(QMediaFormat::Wave);
    format.setAudioCodec(QMediaFormat::AudioCodec::MP3);
    return format.isSupported(QMediaFormat::Decode);
}

// Plays from memory rather than from a file: a fixed name in a shared temp folder could be a
// symlink someone else planted.
class EggSound : public QObject {
  public:
    EggSound(const QByteArray &wav, QObject *parent) : QObject(parent) {
        m_buffer.setData(wav);
        m_buffer.open(QIODevice::ReadOnly);
        m_player.setAudioOutput(&m_output);
    }

    // Stopped and emptied before the members go: the backend's threads must not still be
    // reading the buffer or driving the output while they are destroyed at exit.
    ~EggSound() override {
        m_player.stop();
        m_player.setSource(QUrl());
    }

    void restart() {
        // Still loading from the last call means it has not started yet. Touching the pipeline
        // now would stall the GUI for a second: GStreamer waits for data that this very thread
        // feeds it.
        if (m_player.mediaStatus() != QMediaPlayer::LoadingMedia) {
            // Rewind by handing over the data afresh. Seeking a memory device races the
            // backend's reader and can end playback at once; re-reading 38 KB costs nothing.
            m_player.setSource(QUrl());
            m_buffer.seek(0);
            // Qt takes a device without a URL for no media at all. The name only labels the
            // data; nothing is read from disk.
            m_player.setSourceDevice(&m_buffer, QUrl(QStringLiteral("egg.wav")));
        }
        m_player.play();
    }

  private:
    // In this order so that the player is destroyed first and never outlives its data.
    QBuffer m_buffer;
    QAudioOutput m_output;
    QMediaPlayer m_player;
};

QPointer<EggSound> s_egg;

EggSound *eggSound() {
    if (s_egg || !QCoreApplication::instance())
        return s_egg.data();
    static const bool usable = canPlay();
    if (!usable)
        return nullptr;
    initEggResources();
    QFile file(QStringLiteral(":/SOUND/101"));
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    // Owned by the application, so it goes away with it rather than after Qt has shut down.
    s_egg = new EggSound(file.readAll(), QCoreApplication::instance());
    return s_egg.data();
}

} // namespace

void PlayEggSound() {
    if (EggSound *egg = eggSound())
        egg->restart();
}
