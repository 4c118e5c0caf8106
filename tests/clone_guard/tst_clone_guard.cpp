// The single-instance guard with real processes and real kernel locks: each
// test gets a runtime folder of its own, so nothing here meets a copy of the
// program that the user is running.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <vector>

#include "dialogs/Clone.h"

namespace {

const QString kProbe = QStringLiteral(DVT_CLONE_PROBE);
constexpr int kVerdictTimeoutMs = 15000;

// Holds one slot of a lock file, as another copy of a program would.
class SlotHolder {
public:
    SlotHolder(const QString& path, int slot) {
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        struct flock lock = {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = slot;
        lock.l_len = 1;
        held_ = fd_ >= 0 && ::fcntl(fd_, F_OFD_SETLK, &lock) == 0;
    }
    ~SlotHolder() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    bool Held() const { return held_; }

private:
    int fd_ = -1;
    bool held_ = false;
};

#if defined(DVT_PROGRAM)
// Whether some process holds a slot of a lock file; asks without locking, so
// it never takes the slot from a copy that is checking at that moment.
bool SlotIsHeld(const QString& path, int slot) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = slot;
    lock.l_len = 1;
    const bool held = ::fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(fd);
    return held;
}
#endif

// A test guard whose refusal steps can be watched.
class WatchedGuard : public TVodevuCloneControl {
public:
    using TVodevuCloneControl::TVodevuCloneControl;
    QStringList steps;

protected:
    void NotifyInstanceLimit() override {
        steps << QStringLiteral("notify");
        TVodevuCloneControl::NotifyInstanceLimit();
    }
    void TerminateInstance() override {
        steps << QStringLiteral("terminate");
        TVodevuCloneControl::TerminateInstance();
    }
};

} // namespace

class CloneGuardTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void defaults();
    void maxInstanceIsClamped_data();
    void maxInstanceIsClamped();
    void secondGuardInOneProcess();
    void refusalRunsActionThenTermination_data();
    void refusalRunsActionThenTermination();

    void copiesAdmittedUpToLimit_data();
    void copiesAdmittedUpToLimit();
    void refusedCopyEnds_data();
    void refusedCopyEnds();
    void placeComesBackWhenCopyEnds_data();
    void placeComesBackWhenCopyEnds();
    void simultaneousStartsAdmitOne();
    void programFileNameDecides_data();
    void programFileNameDecides();
    void secondProgramCopyShowsNothing();

private:
    std::unique_ptr<QProcess> Start(const QString& program, const QStringList& args = {});
    // "admitted", "refused", "unguarded", or "ended" when the copy exited
    // without a word; "timeout" when it did neither.
    QString Verdict(QProcess& copy);
    void EndAll();

    std::unique_ptr<QTemporaryDir> runtime_;
    std::vector<std::unique_ptr<QProcess>> copies_;
};

void CloneGuardTest::init() {
    runtime_ = std::make_unique<QTemporaryDir>();
    QVERIFY(runtime_->isValid());
    QFile::setPermissions(runtime_->path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_->path()));
}

void CloneGuardTest::cleanup() {
    EndAll();
}

void CloneGuardTest::EndAll() {
    for (auto& copy : copies_) {
        if (copy->state() != QProcess::NotRunning) {
            copy->kill();
            copy->waitForFinished(5000);
        }
    }
    copies_.clear();
}

std::unique_ptr<QProcess> CloneGuardTest::Start(const QString& program, const QStringList& args) {
    auto copy = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_->path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    copy->setProcessEnvironment(env);
    copy->setProgram(program);
    copy->setArguments(args);
    copy->start();
    return copy;
}

QString CloneGuardTest::Verdict(QProcess& copy) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kVerdictTimeoutMs) {
        if (copy.canReadLine()) {
            return QString::fromLatin1(copy.readLine()).trimmed();
        }
        if (copy.state() == QProcess::NotRunning) {
            const QByteArray rest = copy.readAllStandardOutput().trimmed();
            return rest.isEmpty() ? QStringLiteral("ended") : QString::fromLatin1(rest);
        }
        copy.waitForReadyRead(50);
    }
    return QStringLiteral("timeout");
}

// ------------------------------------------------------------ in process

void CloneGuardTest::defaults() {
    TVodevuCloneControl guard;
    QCOMPARE(guard.Action(), clcMessage);
    QCOMPARE(guard.TerminationStyle(), tsAppTerminate);
    QCOMPARE(guard.MaxInstance(), 1);
    QCOMPARE(guard.BlockName(), QStringLiteral("Vodevu.CloneControl.tst_clone_guard"));
    QCOMPARE(guard.AdmissionState(), TVodevuCloneControl::Admission::NotChecked);
}

void CloneGuardTest::maxInstanceIsClamped_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("stored");
    QTest::newRow("zero") << 0 << 1;
    QTest::newRow("negative") << -7 << 1;
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("two") << 2 << 2;
    QTest::newRow("highest") << 65520 << 65520;
    QTest::newRow("above highest") << 70000 << 65520;
}

void CloneGuardTest::maxInstanceIsClamped() {
    QFETCH(int, value);
    QFETCH(int, stored);
    TVodevuCloneControl guard;
    guard.SetMaxInstance(value);
    QCOMPARE(guard.MaxInstance(), stored);
}

void CloneGuardTest::secondGuardInOneProcess() {
    auto first = std::make_unique<TVodevuCloneControl>();
    QCOMPARE(TVodevuCloneControl::Instance(), first.get());
    QObject owner;
    try {
        TVodevuCloneControl second(&owner);
        QFAIL("a second guard was created");
    } catch (const ECloneControlError& error) {
        QCOMPARE(QString::fromLatin1(error.what()),
                 QStringLiteral("Only one instance of CloneControl allowed"));
    }
    QVERIFY(owner.children().isEmpty());
    QCOMPARE(TVodevuCloneControl::Instance(), first.get());

    first.reset();
    QCOMPARE(TVodevuCloneControl::Instance(), nullptr);
    TVodevuCloneControl again;
    QCOMPARE(TVodevuCloneControl::Instance(), &again);
}

void CloneGuardTest::refusalRunsActionThenTermination_data() {
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("onActionFired");
    QTest::newRow("custom action") << int(clcCustom) << 1;
    QTest::newRow("no action") << int(clcNone) << 0;
}

// Another holder owns the only place: the guard refuses, notifies, then ends
// this copy through the custom termination.
void CloneGuardTest::refusalRunsActionThenTermination() {
    QFETCH(int, action);
    QFETCH(int, onActionFired);

    WatchedGuard guard;
    SlotHolder other(runtime_->filePath(guard.BlockName()), 0);
    QVERIFY(other.Held());
    guard.SetAction(static_cast<TCloneControlAction>(action));
    guard.SetTerminationStyle(tsCustom);
    QSignalSpy actions(&guard, &TVodevuCloneControl::OnAction);
    QSignalSpy terminations(&guard, &TVodevuCloneControl::OnTerminate);

    guard.Loaded();
    QCOMPARE(guard.AdmissionState(), TVodevuCloneControl::Admission::Refused);
    QCOMPARE(guard.steps, QStringList({QStringLiteral("notify"), QStringLiteral("terminate")}));
    QCOMPARE(actions.count(), onActionFired);
    QCOMPARE(terminations.count(), 1);

    guard.Loaded(); // the check runs once
    QCOMPARE(terminations.count(), 1);
}

// ------------------------------------------------------------ processes

void CloneGuardTest::copiesAdmittedUpToLimit_data() {
    QTest::addColumn<int>("maxInstance");
    QTest::addColumn<int>("copies");
    QTest::addColumn<int>("admitted");
    QTest::newRow("one allowed") << 1 << 2 << 1;
    QTest::newRow("two allowed") << 2 << 3 << 2;
    QTest::newRow("zero stored as one") << 0 << 2 << 1;
}

void CloneGuardTest::copiesAdmittedUpToLimit() {
    QFETCH(int, maxInstance);
    QFETCH(int, copies);
    QFETCH(int, admitted);

    const QStringList args{QStringLiteral("--max"), QString::number(maxInstance)};
    for (int i = 0; i < copies; ++i) {
        copies_.push_back(Start(kProbe, args));
        const QString verdict = Verdict(*copies_.back());
        QCOMPARE(verdict, i < admitted ? QStringLiteral("admitted") : QStringLiteral("ended"));
    }
    // The refused copies ended with exit code 0; the admitted ones still run.
    for (int i = 0; i < copies; ++i) {
        QProcess& copy = *copies_[static_cast<std::size_t>(i)];
        if (i < admitted) {
            QCOMPARE(copy.state(), QProcess::Running);
        } else {
            QCOMPARE(copy.exitStatus(), QProcess::NormalExit);
            QCOMPARE(copy.exitCode(), 0);
        }
    }
}

void CloneGuardTest::refusedCopyEnds_data() {
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("verdict");
    // tsHalt ends the copy inside the check: it never gets to say a word.
    QTest::newRow("halt") << "halt"
                          << "ended";
    // tsAppTerminate ends the message loop as soon as it runs.
    QTest::newRow("application terminate") << "terminate"
                                           << "refused";
}

void CloneGuardTest::refusedCopyEnds() {
    QFETCH(QString, style);
    QFETCH(QString, verdict);

    copies_.push_back(Start(kProbe));
    QCOMPARE(Verdict(*copies_.back()), QStringLiteral("admitted"));
    copies_.push_back(Start(kProbe, {QStringLiteral("--style"), style}));
    QProcess& refused = *copies_.back();
    QCOMPARE(Verdict(refused), verdict);
    QVERIFY(refused.state() == QProcess::NotRunning || refused.waitForFinished(kVerdictTimeoutMs));
    QCOMPARE(refused.exitStatus(), QProcess::NormalExit);
    QCOMPARE(refused.exitCode(), 0);
}

void CloneGuardTest::placeComesBackWhenCopyEnds_data() {
    QTest::addColumn<bool>("killed");
    QTest::newRow("normal exit") << false;
    QTest::newRow("killed with SIGKILL") << true;
}

void CloneGuardTest::placeComesBackWhenCopyEnds() {
    QFETCH(bool, killed);

    copies_.push_back(Start(kProbe));
    QProcess& first = *copies_.back();
    QCOMPARE(Verdict(first), QStringLiteral("admitted"));
    if (killed) {
        first.kill(); // SIGKILL: no destructor runs
    } else {
        first.closeWriteChannel();
    }
    QVERIFY(first.waitForFinished(kVerdictTimeoutMs));
    QCOMPARE(first.exitStatus(), killed ? QProcess::CrashExit : QProcess::NormalExit);

    copies_.push_back(Start(kProbe));
    QCOMPARE(Verdict(*copies_.back()), QStringLiteral("admitted"));
}

void CloneGuardTest::simultaneousStartsAdmitOne() {
    constexpr int kRounds = 20;
    for (int round = 0; round < kRounds; ++round) {
        // Both copies sleep until the same instant and check then.
        const qint64 at = QDateTime::currentMSecsSinceEpoch() + 300;
        const QStringList args{QStringLiteral("--at"), QString::number(at)};
        copies_.push_back(Start(kProbe, args));
        copies_.push_back(Start(kProbe, args));
        const QString a = Verdict(*copies_[copies_.size() - 2]);
        const QString b = Verdict(*copies_.back());
        const int admitted =
            int(a == QLatin1String("admitted")) + int(b == QLatin1String("admitted"));
        const int ended = int(a == QLatin1String("ended")) + int(b == QLatin1String("ended"));
        QVERIFY2(admitted == 1 && ended == 1,
                 qPrintable(QStringLiteral("round %1: %2, %3").arg(round).arg(a, b)));
        EndAll();
    }
}

void CloneGuardTest::programFileNameDecides_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("verdict");
    QTest::newRow("another file name") << "other_probe"
                                       << "admitted";
    QTest::newRow("same file name, another folder") << "clone_probe"
                                                    << "ended";
}

void CloneGuardTest::programFileNameDecides() {
    QFETCH(QString, fileName);
    QFETCH(QString, verdict);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString copyPath = folder.filePath(fileName);
    QVERIFY(QFile::copy(kProbe, copyPath));
    QVERIFY(QFile::setPermissions(copyPath, QFile::permissions(kProbe)));

    copies_.push_back(Start(kProbe));
    QCOMPARE(Verdict(*copies_.back()), QStringLiteral("admitted"));
    copies_.push_back(Start(copyPath));
    QCOMPARE(Verdict(*copies_.back()), verdict);
}

// The program itself: while one copy runs, a second ends at once with exit
// code 0, before any window and without a message.
void CloneGuardTest::secondProgramCopyShowsNothing() {
#if defined(DVT_PROGRAM)
    const QString program = QStringLiteral(DVT_PROGRAM);
    const QString lockFile =
        runtime_->filePath(QStringLiteral("Vodevu.CloneControl.") + QFileInfo(program).fileName());
    const QStringList args{QStringLiteral("--sat-library"),
                           runtime_->filePath(QStringLiteral("missing.so"))};
    copies_.push_back(Start(program, args));
    QProcess& first = *copies_.back();
    QTRY_VERIFY_WITH_TIMEOUT(SlotIsHeld(lockFile, 0) || first.state() == QProcess::NotRunning,
                             kVerdictTimeoutMs);
    QCOMPARE(first.state(), QProcess::Running);

    copies_.push_back(Start(program, args));
    QProcess& second = *copies_.back();
    QVERIFY(second.waitForFinished(kVerdictTimeoutMs));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(second.readAllStandardOutput(), QByteArray());
    QCOMPARE(second.readAllStandardError(), QByteArray());
    QCOMPARE(first.state(), QProcess::Running);
#else
    QSKIP("the program is not part of this build");
#endif
}

QTEST_GUILESS_MAIN(CloneGuardTest)
#include "tst_clone_guard.moc"
