#pragma once
// The command line as it is installed: dravovexa-cli and its library host
// copied into a folder of the test's, beside a SAT library named as the
// program looks for it.

#include <QFile>
#include <QString>
#include <QTemporaryDir>

// Copies the built command line, the library host and `library` (as
// "libdllsat.so") into `folder`; returns the command line's path there, or
// an empty text when a copy failed.
inline QString PlaceCommandLine(const QTemporaryDir& folder, const QString& library) {
    const QString cli = folder.filePath(QStringLiteral("dravovexa-cli"));
    const bool placed = QFile::copy(QStringLiteral(DVT_CLI_PATH), cli) &&
                        QFile::copy(QStringLiteral(DVT_SAT_HOST_PATH),
                                    folder.filePath(QStringLiteral("dravovexa-sat-host"))) &&
                        QFile::copy(library, folder.filePath(QStringLiteral("libdllsat.so")));
    return placed ? cli : QString();
}
