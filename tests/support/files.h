#pragma once
// Files in a test's temporary folder.

#include <QFile>
#include <QTemporaryDir>

namespace testsupport {

// Writes `data` to `name` in `dir` and returns the full path (empty on failure).
inline QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &data) {
    QFile f(dir.filePath(name));
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size() ? f.fileName() : QString();
}

inline QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace testsupport
