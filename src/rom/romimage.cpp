#include "rom/romimage.h"

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <iterator>

namespace rom {

namespace {

struct RevisionFacts {
    Revision revision;
    const char *serial;
    const char *status;
};

// Sonic 1 revision 1 also covers the later compilation build, whose layouts are identical.
const RevisionFacts kRevisions[] = {
    {Revision::Sonic1Rev0, "GM 00001009-00", "- [Sonic 1]"},
    {Revision::Sonic1Rev1, "GM 00004049-01", "- [Sonic 1 Rev 01]"},
    {Revision::Sonic2Rev0, "GM 00001051-00", "- [Sonic 2 Final Rev 00]"},
    {Revision::Sonic2Rev1, "GM 00001051-01", "- [Sonic 2 Final]"},
    {Revision::Sonic2Rev2, "GM 00001051-02", "- [Sonic 2 Final Rev 02]"},
};

const RevisionFacts *factsOf(Revision r) {
    const auto *f = std::find_if(std::cbegin(kRevisions), std::cend(kRevisions),
                                 [r](const RevisionFacts &facts) { return facts.revision == r; });
    return f == std::cend(kRevisions) ? nullptr : f;
}

// Writes all of `data`. A full disk shows as a short write, after which Qt's own error text says
// nothing useful: the system's reason is taken from the write that fails outright.
bool writeAll(QSaveFile &out, const QByteArray &data, QString *reason) {
    qint64 done = 0;
    while (done < data.size()) {
        errno = 0;
        const qint64 n = out.write(data.constData() + done, data.size() - done);
        if (n <= 0) {
            const int err = errno;
            *reason = err != 0 ? qt_error_string(err) : out.errorString();
            return false;
        }
        done += n;
    }
    return true;
}

} // namespace

Revision revision(const QByteArray &image) {
    const auto byteAt = [&image](qint64 at) { return static_cast<quint8>(image.at(at)); };
    if (image.size() <= Sonic1SigB)
        return Revision::None;
    if (byteAt(Sonic1SigA) == 0xB9 && byteAt(Sonic1SigB) == 0x12)
        return Revision::Sonic1Rev0;
    if (byteAt(Sonic2SigA) == 0xCC && byteAt(Sonic2SigB) == 0x01)
        return Revision::Sonic2Rev1;
    const QByteArray serial = image.mid(SerialAt, SerialLength);
    const auto *f =
        std::find_if(std::cbegin(kRevisions), std::cend(kRevisions),
                     [&serial](const RevisionFacts &facts) { return serial == facts.serial; });
    return f == std::cend(kRevisions) ? Revision::None : f->revision;
}

Recognition recognise(const QByteArray &image) {
    if (image.size() <= Sonic1SigB)
        return Recognition::OutOfRange;
    switch (gameCode(revision(image))) {
    case 1:
        return Recognition::Sonic1;
    case 2:
        return Recognition::Sonic2;
    default:
        return Recognition::Unknown;
    }
}

int gameCode(Recognition r) {
    switch (r) {
    case Recognition::Sonic1:
        return 1;
    case Recognition::Sonic2:
        return 2;
    default:
        return 0;
    }
}

int gameCode(Revision r) {
    switch (r) {
    case Revision::Sonic1Rev0:
    case Revision::Sonic1Rev1:
        return 1;
    case Revision::Sonic2Rev0:
    case Revision::Sonic2Rev1:
    case Revision::Sonic2Rev2:
        return 2;
    case Revision::None:
        break;
    }
    return 0;
}

int releaseOf(Revision r) {
    return r == Revision::Sonic1Rev1 || r == Revision::Sonic2Rev1 ? 1
           : r == Revision::Sonic2Rev2                            ? 2
                                                                  : 0;
}

QString revisionStatus(Revision r) {
    const RevisionFacts *f = factsOf(r);
    return f ? QLatin1String(f->status) : QString();
}

QByteArray revisionSerial(Revision r) {
    const RevisionFacts *f = factsOf(r);
    return f ? QByteArray(f->serial) : QByteArray();
}

bool ImageReader::open(const QString &path, QString *reason) {
    m_file.close();
    m_size = 0;
    const QFileInfo info(path);
    if (path == NoPath || path.isEmpty() || !info.exists()) {
        *reason = QStringLiteral("no such file");
        return false;
    }
    if (!info.isFile()) {
        *reason = QStringLiteral("not a regular file");
        return false;
    }
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly)) {
        *reason = m_file.errorString();
        return false;
    }
    m_size = m_file.size();
    if (m_size > MaxImageBytes) {
        m_file.close();
        *reason = QStringLiteral("file larger than %1 MiB").arg(MaxImageBytes / (1024LL * 1024));
        return false;
    }
    return true;
}

bool ImageReader::read(QByteArray &buffer, QString *reason) {
    qint64 done = 0;
    while (done < buffer.size()) {
        const qint64 got = m_file.read(buffer.data() + done, buffer.size() - done);
        if (got <= 0) {
            *reason = got < 0 ? m_file.errorString()
                              : QStringLiteral("the file ended after %1 bytes").arg(done);
            return false;
        }
        done += got;
    }
    return true;
}

bool saveImage(const QString &path, const QByteArray &data, QString *reason) {
    if (path == NoPath || path.isEmpty()) {
        *reason = QStringLiteral("no image is loaded");
        return false;
    }
    // Write through a link to the file it names, so the link itself stays a link.
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink())
        target = info.exists() ? info.canonicalFilePath() : info.symLinkTarget();

    // Bytes beyond the loaded length belong to the file, not to us: carry them over.
    QByteArray tail;
    QFile existing(target);
    if (existing.exists() && existing.size() > data.size()) {
        if (!existing.open(QIODevice::ReadOnly) || !existing.seek(data.size())) {
            *reason = existing.errorString();
            return false;
        }
        tail = existing.readAll();
        if (existing.error() != QFileDevice::NoError) {
            *reason = existing.errorString();
            return false;
        }
        existing.close();
    }

    QSaveFile out(target);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly)) {
        *reason = out.errorString();
        return false;
    }
    if (!writeAll(out, data, reason) || !writeAll(out, tail, reason)) {
        out.cancelWriting();
        return false;
    }
    errno = 0;
    if (!out.commit()) {
        const int err = errno;
        *reason = out.error() == QFileDevice::NoError && err != 0 ? qt_error_string(err)
                                                                  : out.errorString();
        return false;
    }
    return true;
}

} // namespace rom
