// Drawing session numbers from a real settings file: the edge cases, files
// that cannot be written, two processes at once, and processes killed while
// they write.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "sat/session_counter.h"
#include "tests/file_contents.h"

namespace {

mode_t PermissionBits(const QString& path) {
    struct stat info {};
    return stat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

QByteArray Counter(const QByteArray& value) {
    return "[VEXA]\nVEXAS=" + value + "\n";
}

// Draws count numbers in a child process and sends each one through fd.
// Returns the child's process id; the child never returns.
pid_t DrawInChild(const std::string& settings, int count, int fd) {
    const pid_t child = fork();
    if (child != 0) {
        return child;
    }
    for (int i = 0; count < 0 || i < count; ++i) {
        std::int32_t number = 0;
        try {
            number = DrawSessionNumber(settings);
        } catch (...) {
            _exit(3);
        }
        if (write(fd, &number, sizeof number) != sizeof number) {
            _exit(4);
        }
    }
    _exit(0);
}

std::vector<std::int32_t> ReadNumbers(int fd) {
    std::vector<std::int32_t> numbers;
    std::int32_t number = 0;
    while (read(fd, &number, sizeof number) == sizeof number) {
        numbers.push_back(number);
    }
    return numbers;
}

} // namespace

class TestSessionCounter : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void draw_data();
    void draw();
    void drawsAreConsecutive();
    void deletingTheFileRestartsAtOne();
    void readOnlyFileIsRefused();
    void unwritablePlace_data();
    void unwritablePlace();
    void userCopy_data();
    void userCopy();
    void fallbackAndReturnNeverRepeatANumber();
    void readOnlyCopyCounts();
    void copiesOfAnInstall_data();
    void copiesOfAnInstall();
    void permissionBitsAreKept();
    void leftoverTemporaryFilesGo();
    void symbolicLinkIsFollowed();
    void concurrentProcessesGetDistinctNumbers();
    void killedWriterNeverCorruptsTheFile();

private:
    QTemporaryDir* folder_ = nullptr;
    QString settings_;
};

void TestSessionCounter::init() {
    folder_ = new QTemporaryDir;
    QVERIFY(folder_->isValid());
    settings_ = folder_->filePath(QString::fromUtf8(kSettingsFileName.data()));
}

void TestSessionCounter::cleanup() {
    delete folder_;
    folder_ = nullptr;
}

void TestSessionCounter::draw_data() {
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("no file") << false << QByteArray() << 1 << Counter("1");
    QTest::newRow("empty file") << true << QByteArray() << 1 << Counter("1");
    QTest::newRow("next") << true << Counter("41") << 42 << Counter("42");
    QTest::newRow("last before the wrap")
        << true << Counter("999998") << 999999 << Counter("999999");
    QTest::newRow("wrap") << true << Counter("999999") << 1 << Counter("1");
    QTest::newRow("letters") << true << Counter("abc") << 1 << Counter("1");
    QTest::newRow("empty value") << true << Counter("") << 1 << Counter("1");
    QTest::newRow("hexadecimal") << true << Counter("0x10") << 17 << Counter("17");
    QTest::newRow("negative draws 1") << true << Counter("-5") << 1 << Counter("1");
    QTest::newRow("other content kept")
        << true << QByteArray("; mine\r\n[A]\r\nk=v\r\n\r\n[vexa]\r\nvexas=7\r\n[B]\r\n") << 8
        << QByteArray("; mine\r\n[A]\r\nk=v\r\n\r\n[vexa]\r\nvexas=8\r\n[B]\r\n");
    QTest::newRow("section added")
        << true << QByteArray("[A]\nk=v\n") << 1 << QByteArray("[A]\nk=v\n[VEXA]\nVEXAS=1\n");
}

void TestSessionCounter::draw() {
    QFETCH(bool, exists);
    QFETCH(QByteArray, before);
    QFETCH(int, expected);
    QFETCH(QByteArray, after);
    if (exists) {
        QVERIFY(WriteFile(settings_, before));
    }
    QCOMPARE(DrawSessionNumber(settings_.toStdString()), expected);
    QCOMPARE(ReadFile(settings_), after);
}

void TestSessionCounter::drawsAreConsecutive() {
    QVERIFY(WriteFile(settings_, Counter("999997")));
    const std::string path = settings_.toStdString();
    QCOMPARE(DrawSessionNumber(path), 999998);
    QCOMPARE(DrawSessionNumber(path), 999999);
    QCOMPARE(DrawSessionNumber(path), 1);
    QCOMPARE(DrawSessionNumber(path), 2);
}

void TestSessionCounter::deletingTheFileRestartsAtOne() {
    QVERIFY(WriteFile(settings_, Counter("500")));
    QVERIFY(QFile::remove(settings_));
    QCOMPARE(DrawSessionNumber(settings_.toStdString()), 1);
}

// Root may write any file, so the refusal must come from the permission bits
// themselves; the number is then offered again once the file is writable.
void TestSessionCounter::readOnlyFileIsRefused() {
    QVERIFY(WriteFile(settings_, Counter("41")));
    QVERIFY(chmod(QFile::encodeName(settings_).constData(), 0444) == 0);
    try {
        DrawSessionNumber(settings_.toStdString());
        QFAIL("a read-only settings file was written");
    } catch (const SettingsFileError& error) {
        QCOMPARE(QString::fromStdString(error.FilePath()), settings_);
        QVERIFY2(QString::fromUtf8(error.what()).contains(settings_), error.what());
    }
    QCOMPARE(ReadFile(settings_), Counter("41"));
    QCOMPARE(PermissionBits(settings_), mode_t{0444});
    QVERIFY(chmod(QFile::encodeName(settings_).constData(), 0644) == 0);
    QCOMPARE(DrawSessionNumber(settings_.toStdString()), 42);
}

void TestSessionCounter::unwritablePlace_data() {
    QTest::addColumn<QString>("blocker");
    QTest::addColumn<bool>("blockerIsFolder");
    QTest::addColumn<QString>("settings");
    // Paths are relative to the test's folder.
    QTest::newRow("folder is a regular file")
        << QStringLiteral("plain") << false << QStringLiteral("plain/dravovexa.ini");
    QTest::newRow("a folder in the file's place")
        << QStringLiteral("dravovexa.ini") << true << QStringLiteral("dravovexa.ini");
    QTest::newRow("folder does not exist")
        << QString() << false << QStringLiteral("missing/dravovexa.ini");
}

void TestSessionCounter::unwritablePlace() {
    QFETCH(QString, blocker);
    QFETCH(bool, blockerIsFolder);
    QFETCH(QString, settings);
    if (blockerIsFolder) {
        QVERIFY(QDir(folder_->path()).mkdir(blocker));
    } else if (!blocker.isEmpty()) {
        QVERIFY(WriteFile(folder_->filePath(blocker), "not a folder"));
    }
    const QString path = folder_->filePath(settings);
    try {
        DrawSessionNumber(path.toStdString());
        QFAIL("an unwritable settings file was reported as written");
    } catch (const SettingsFileError& error) {
        QCOMPARE(QString::fromStdString(error.FilePath()), path);
        QVERIFY2(QString::fromUtf8(error.what()).contains(path), error.what());
    }
}

// The user's copy takes the counter while the file beside the program cannot
// be written: a regular file where its folder should be, or a folder where
// its lock file should be (root ignores permission bits).
void TestSessionCounter::userCopy_data() {
    QTest::addColumn<QByteArray>(
        "besidePlace");                     // "writable", "folder is a file", "lock is a folder"
    QTest::addColumn<QByteArray>("beside"); // the file beside the program, empty: none
    QTest::addColumn<QByteArray>("user");   // the user's copy before, empty: none
    QTest::addColumn<bool>("userWritable");
    QTest::addColumn<int>("expected"); // 0: nothing can be written
    QTest::addColumn<QByteArray>("userAfter");

    QTest::newRow("beside the program when writable")
        << QByteArray("writable") << Counter("41") << Counter("7") << true << 42 << Counter("42");
    QTest::newRow("folder is a regular file: new copy")
        << QByteArray("folder is a file") << QByteArray() << QByteArray() << true << 1
        << Counter("1");
    QTest::newRow("lock is a folder: copy starts where the file stood")
        << QByteArray("lock is a folder") << QByteArray("; kept\n" + Counter("41")) << QByteArray()
        << true << 42 << QByteArray("; kept\n" + Counter("42"));
    QTest::newRow("existing copy goes on after the highest")
        << QByteArray("lock is a folder") << Counter("41") << Counter("7") << true << 42
        << Counter("42");
    QTest::newRow("user's copy ahead")
        << QByteArray("writable") << Counter("41") << Counter("90") << true << 91 << Counter("91");
    QTest::newRow("read-only file: copy made as a last resort")
        << QByteArray("read-only file") << Counter("41") << QByteArray() << true << 42
        << Counter("42");
    QTest::newRow("nowhere to write") << QByteArray("folder is a file") << QByteArray()
                                      << QByteArray() << false << 0 << QByteArray();
}

void TestSessionCounter::userCopy() {
    QFETCH(QByteArray, besidePlace);
    QFETCH(QByteArray, beside);
    QFETCH(QByteArray, user);
    QFETCH(bool, userWritable);
    QFETCH(int, expected);
    QFETCH(QByteArray, userAfter);

    QString besidePath = settings_;
    if (besidePlace == "folder is a file") {
        QVERIFY(WriteFile(folder_->filePath(QStringLiteral("plain")), "not a folder"));
        besidePath = folder_->filePath(QStringLiteral("plain/dravovexa.ini"));
    } else if (besidePlace == "lock is a folder") {
        QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral("dravovexa.ini.lock")));
    }
    if (!beside.isEmpty()) {
        QVERIFY(WriteFile(besidePath, beside));
    }
    if (besidePlace == "read-only file") {
        QVERIFY(chmod(QFile::encodeName(besidePath).constData(), 0444) == 0);
    }
    const QString userFolder = folder_->filePath(userWritable ? QStringLiteral("config/dravovexa")
                                                              : QStringLiteral("plain/dravovexa"));
    const QString userPath = userFolder + QStringLiteral("/dravovexa.ini");
    if (!user.isEmpty()) {
        QVERIFY(QDir().mkpath(userFolder));
        QVERIFY(WriteFile(userPath, user));
    }

    try {
        QCOMPARE(DrawSessionNumber(besidePath.toStdString(), userPath.toStdString()), expected);
    } catch (const SettingsFileError& error) {
        QCOMPARE(expected, 0);
        const std::vector<std::string> tried{besidePath.toStdString(), userPath.toStdString()};
        QVERIFY(error.FilePaths() == tried);
        QVERIFY2(QString::fromUtf8(error.what()).contains(userPath), error.what());
    }
    QCOMPARE(ReadFile(userPath), userAfter);
    if (!beside.isEmpty() && besidePlace != "writable") {
        QCOMPARE(ReadFile(besidePath), beside); // never touched
    }
}

// The program's folder cannot be written for a while (here its lock is a
// folder), then can again: the numbers go on from the user's copy and then
// from both, never repeating one, and both copies end at the last number.
void TestSessionCounter::fallbackAndReturnNeverRepeatANumber() {
    const std::string beside = settings_.toStdString();
    const QString userPath = folder_->filePath(QStringLiteral("config/dravovexa/dravovexa.ini"));
    const std::string user = userPath.toStdString();
    const QString lock = settings_ + QStringLiteral(".lock");
    std::vector<std::int32_t> drawn;
    const auto drawTimes = [&](int count) {
        for (int i = 0; i < count; ++i) {
            drawn.push_back(DrawSessionNumber(beside, user));
        }
    };
    drawTimes(3);
    QVERIFY(!QFile::exists(userPath));
    QVERIFY(QFile::remove(lock));
    QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral("dravovexa.ini.lock")));
    drawTimes(4);
    QCOMPARE(ReadFile(settings_), Counter("3"));
    QVERIFY(QDir(folder_->path()).rmdir(QStringLiteral("dravovexa.ini.lock")));
    drawTimes(2);
    const std::vector<std::int32_t> expected{1, 2, 3, 4, 5, 6, 7, 8, 9};
    QVERIFY(drawn == expected);
    QCOMPARE(ReadFile(settings_), Counter("9"));
    QCOMPARE(ReadFile(userPath), Counter("9"));
}

// A system install reads the file an older version left beside the programs
// but never writes it; the machine's copy takes the number.
void TestSessionCounter::readOnlyCopyCounts() {
    QVERIFY(QDir(folder_->path()).mkpath(QStringLiteral("machine")));
    QVERIFY(QDir(folder_->path()).mkpath(QStringLiteral("program")));
    const QString machine = folder_->filePath(QStringLiteral("machine/dravovexa.ini"));
    const QString program = folder_->filePath(QStringLiteral("program/dravovexa.ini"));
    const QString user = folder_->filePath(QStringLiteral("user/dravovexa.ini"));
    QVERIFY(WriteFile(machine, Counter("12")));
    QVERIFY(WriteFile(program, Counter("100")));
    const std::vector<CounterCopy> copies{
        {machine.toStdString(), true}, {program.toStdString(), false}, {user.toStdString(), true}};
    QCOMPARE(DrawSessionNumber(copies), 101);
    QCOMPARE(DrawSessionNumber(copies), 102);
    QCOMPARE(ReadFile(machine), Counter("102"));
    QCOMPARE(ReadFile(program), Counter("100"));
    QVERIFY(!QFile::exists(program + QStringLiteral(".lock")));
    QVERIFY(!QDir(folder_->filePath(QStringLiteral("user"))).exists());
}

void TestSessionCounter::copiesOfAnInstall_data() {
    QTest::addColumn<QString>("machine");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QStringList>("expected"); // path, then "w" or "r"
    QTest::newRow("plain install")
        << QString() << QStringLiteral("/opt/d/") << QStringLiteral("/h/.config/dravovexa/")
        << QStringList{QStringLiteral("/opt/d/dravovexa.ini w"),
                       QStringLiteral("/h/.config/dravovexa/dravovexa.ini w")};
    QTest::newRow("system install")
        << QStringLiteral("/var/lib/dravovexa/") << QStringLiteral("/usr/lib/dravovexa/")
        << QStringLiteral("/h/.config/dravovexa/")
        << QStringList{QStringLiteral("/var/lib/dravovexa/dravovexa.ini w"),
                       QStringLiteral("/usr/lib/dravovexa/dravovexa.ini r"),
                       QStringLiteral("/h/.config/dravovexa/dravovexa.ini w")};
    QTest::newRow("no user folder")
        << QStringLiteral("/var/lib/dravovexa/") << QStringLiteral("/usr/lib/dravovexa/")
        << QString()
        << QStringList{QStringLiteral("/var/lib/dravovexa/dravovexa.ini w"),
                       QStringLiteral("/usr/lib/dravovexa/dravovexa.ini r")};
    QTest::newRow("unknown program folder")
        << QString() << QString() << QStringLiteral("/h/")
        << QStringList{QStringLiteral(" w"), QStringLiteral("/h/dravovexa.ini w")};
}

void TestSessionCounter::copiesOfAnInstall() {
    QFETCH(QString, machine);
    QFETCH(QString, program);
    QFETCH(QString, user);
    QFETCH(QStringList, expected);
    QStringList actual;
    for (const CounterCopy& copy :
         SessionCounterCopies(machine.toStdString(), program.toStdString(), user.toStdString())) {
        actual << QString::fromStdString(copy.path) +
                      (copy.writable ? QStringLiteral(" w") : QStringLiteral(" r"));
    }
    QCOMPARE(actual, expected);
}

void TestSessionCounter::permissionBitsAreKept() {
    QVERIFY(WriteFile(settings_, Counter("1")));
    QVERIFY(chmod(QFile::encodeName(settings_).constData(), 0640) == 0);
    QCOMPARE(DrawSessionNumber(settings_.toStdString()), 2);
    QCOMPARE(PermissionBits(settings_), mode_t{0640});
}

void TestSessionCounter::leftoverTemporaryFilesGo() {
    const QString leftover = settings_ + QStringLiteral(".tmp-99999-0");
    QVERIFY(WriteFile(leftover, "[VEXA]\nVE"));
    const QString unrelated = folder_->filePath(QStringLiteral("other.ini.tmp-1-0"));
    QVERIFY(WriteFile(unrelated, "keep"));
    QCOMPARE(DrawSessionNumber(settings_.toStdString()), 1);
    QCOMPARE(DrawSessionNumber(settings_.toStdString()), 2);
    QVERIFY(!QFile::exists(leftover));
    QVERIFY(QFile::exists(unrelated));
    QStringList expected{QStringLiteral("dravovexa.ini"), QStringLiteral("dravovexa.ini.lock"),
                         QStringLiteral("other.ini.tmp-1-0")};
    QCOMPARE(QDir(folder_->path()).entryList(QDir::Files, QDir::Name), expected);
}

void TestSessionCounter::symbolicLinkIsFollowed() {
    QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral("real")));
    const QString target = folder_->filePath(QStringLiteral("real/dravovexa.ini"));
    QVERIFY(WriteFile(target, Counter("9")));
    QVERIFY(QFile::link(target, settings_));
    QCOMPARE(DrawSessionNumber(settings_.toStdString()), 10);
    QVERIFY(QFileInfo(settings_).isSymLink());
    QCOMPARE(ReadFile(target), Counter("10"));
}

void TestSessionCounter::concurrentProcessesGetDistinctNumbers() {
    constexpr int kProcesses = 4;
    constexpr int kDrawsEach = 50;
    const std::string path = settings_.toStdString();
    std::vector<pid_t> children;
    std::vector<int> pipes;
    for (int i = 0; i < kProcesses; ++i) {
        int ends[2];
        QVERIFY(pipe(ends) == 0);
        children.push_back(DrawInChild(path, kDrawsEach, ends[1]));
        close(ends[1]);
        pipes.push_back(ends[0]);
    }
    std::multiset<std::int32_t> numbers;
    for (int i = 0; i < kProcesses; ++i) {
        for (const std::int32_t n : ReadNumbers(pipes[i])) {
            numbers.insert(n);
        }
        close(pipes[i]);
        int status = 0;
        QCOMPARE(waitpid(children[i], &status, 0), children[i]);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }
    // Distinct and without gaps: exactly 1 .. processes x draws.
    QCOMPARE(static_cast<int>(numbers.size()), kProcesses * kDrawsEach);
    std::int32_t expected = 1;
    for (const std::int32_t n : numbers) {
        QCOMPARE(n, expected++);
    }
    QCOMPARE(ReadFile(settings_), Counter(QByteArray::number(kProcesses * kDrawsEach)));
}

// A child draws numbers without end and is killed at a random moment of a
// draw, many times over. After every kill the file holds exactly its old text
// with the counter at the last number handed out (or one beyond, when the
// kill fell between the write and the report), and the counter never goes
// back.
void TestSessionCounter::killedWriterNeverCorruptsTheFile() {
    const std::string initial = "; counter of the tests\n[OTHER]\nkey=value\n\n[VEXA]\n"
                                "VEXAS=0\n\n[TAIL]\nx=1\n";
    QVERIFY(WriteFile(settings_, QByteArray::fromStdString(initial)));
    const std::string path = settings_.toStdString();

    // How long one draw takes on this machine now, so that the kills spread
    // over the whole of a draw (reading, writing, flushing, renaming).
    constexpr int kCalibrationDraws = 5;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kCalibrationDraws; ++i) {
        DrawSessionNumber(path);
    }
    const auto drawMicroseconds =
        static_cast<quint32>(std::max<qint64>(timer.nsecsElapsed() / 1000 / kCalibrationDraws, 50));
    std::int32_t current = kCalibrationDraws;

    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    qInfo("random seed %u, one draw takes about %u us", seed, drawMicroseconds);

    for (int round = 0; round < 100; ++round) {
        int ends[2];
        QVERIFY(pipe(ends) == 0);
        const pid_t child = DrawInChild(path, -1, ends[1]);
        close(ends[1]);
        // Kill only a child that is already drawing in its loop.
        std::int32_t first = 0;
        const bool started = read(ends[0], &first, sizeof first) == sizeof first;
        usleep(random.bounded(2 * drawMicroseconds + 1));
        QCOMPARE(kill(child, SIGKILL), 0);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY2(started && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL,
                 "the child stopped drawing before it was killed");
        std::vector<std::int32_t> reported = ReadNumbers(ends[0]);
        reported.insert(reported.begin(), first);
        close(ends[0]);

        const std::string text = ReadFile(settings_).toStdString();
        const std::int32_t stored = ReadProfileInteger(text, kSessionSection, kSessionKey,
                                                       std::numeric_limits<std::int32_t>::min());
        QVERIFY2(stored != std::numeric_limits<std::int32_t>::min(), text.c_str());
        QCOMPARE(text,
                 WriteProfileString(initial, kSessionSection, kSessionKey, std::to_string(stored)));
        for (std::size_t i = 0; i < reported.size(); ++i) {
            QCOMPARE(reported[i], current + 1 + static_cast<std::int32_t>(i));
        }
        QVERIFY2(
            stored == reported.back() || stored == reported.back() + 1,
            qPrintable(
                QStringLiteral("stored %1, last handed out %2").arg(stored).arg(reported.back())));
        current = stored;
    }
    QCOMPARE(DrawSessionNumber(path), current + 1);
    QCOMPARE(QDir(folder_->path()).entryList(QDir::Files).size(), 2); // settings and lock
}

QTEST_APPLESS_MAIN(TestSessionCounter)
#include "test_session_counter.moc"
