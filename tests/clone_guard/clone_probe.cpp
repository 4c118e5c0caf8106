// A program copy for the guard's process tests.
//   clone_probe [--max N] [--style halt|terminate] [--at EPOCH_MS]
// Runs the guard with clcNone (at EPOCH_MS when given, so that several copies
// check at the same instant) and prints "admitted", "unguarded" or, when the
// termination style lets it go on, "refused". An admitted copy keeps its place
// until its standard input closes.

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>

#include <cstdio>

#include "dialogs/Clone.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int maxInstance = 1;
    TTerminationStyle style = tsHalt;
    qint64 at = 0;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--max")) {
            maxInstance = args[i + 1].toInt();
        } else if (args[i] == QLatin1String("--style")) {
            style = args[i + 1] == QLatin1String("terminate") ? tsAppTerminate : tsHalt;
        } else if (args[i] == QLatin1String("--at")) {
            at = args[i + 1].toLongLong();
        }
    }
    const qint64 wait = at - QDateTime::currentMSecsSinceEpoch();
    if (wait > 0) {
        QThread::msleep(static_cast<unsigned long>(wait));
    }

    TVodevuCloneControl guard;
    guard.SetAction(clcNone);
    guard.SetTerminationStyle(style);
    guard.SetMaxInstance(maxInstance);
    guard.Loaded();

    switch (guard.AdmissionState()) {
    case TVodevuCloneControl::Admission::Refused:
        std::puts("refused");
        std::fflush(stdout);
        return app.exec(); // the guard has asked the message loop to end
    case TVodevuCloneControl::Admission::Unguarded:
        std::puts("unguarded");
        break;
    default:
        std::puts("admitted");
        break;
    }
    std::fflush(stdout);
    while (std::fgetc(stdin) != EOF) {
    }
    return 0;
}
