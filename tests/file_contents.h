#pragma once
// A whole file read or written in one step, for tests that prepare or look
// at the files a program under test keeps.

#include <QByteArray>
#include <QFile>
#include <QString>

// The file's bytes; empty when it cannot be read.
inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces the file's content with `contents`; false when any of it was not
// written.
inline bool WriteFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(contents) == contents.size();
}

// A device log of at least `bytes` bytes: `line` over and over, for answers
// of tens of MB.
inline QByteArray RepeatedLog(const QByteArray& line, qsizetype bytes) {
    QByteArray log;
    log.reserve(bytes + line.size());
    while (log.size() < bytes) {
        log += line;
    }
    return log;
}
