#pragma once
// The command line as it is installed: dravovexa-cli and its library host
// copied into a folder of the test's, beside a SAT library named as the
// program looks for it; and one run of it as a separate process.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
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

// What one run left: its exit status (-1 when it did not end by itself
// within the time given) and both outputs.
struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs `program` in the temporary folder with exactly `environment`, waiting
// at most `timeoutMs` for it to end.
inline CliRun RunCommandLine(const QString& program, const QStringList& arguments,
                             const QProcessEnvironment& environment, int timeoutMs) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(QDir::tempPath());
    process.start(program, arguments);
    CliRun run;
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit) {
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}
