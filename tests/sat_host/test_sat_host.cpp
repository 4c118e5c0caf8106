// The library host as the program uses it: a SatSession whose library runs in
// dravovexa-sat-host, the fake library scripted through files (the host is
// another process), and the frames on their own.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <new>
#include <string>
#include <thread>

#include "rules/cp1252.h"
#include "sat/host_protocol.h"
#include "sat/library_access.h"
#include "sat/library_thread.h"
#include "sat/un_global.h"
#include "tests/fake_sat/fake_sat_control.h"
#include "tests/file_contents.h"
#include "tests/sat_core/recording_user_interface.h"

class SatHostTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void callsCrossTheHost();
    void crashCostsOneCall_data();
    void crashCostsOneCall();
    void answerEndsAtItsNul();
    void nullAnswer();
    void largeAnswer();
    void answersCrossWhole_data();
    void answersCrossWhole();
    void answerWithoutMemory();
    void abandonedCall();
    void missingHostProgram();
    void malformedCallsRefused_data();
    void malformedCallsRefused();
    void threadJoinsARunningCall();

private:
    std::unique_ptr<QTemporaryDir> folder_;
    QString script_;
    RecordingUserInterface ui_;
    std::unique_ptr<SatSession> session_;

    void Script(const QString& file, const QByteArray& contents) const {
        QVERIFY(WriteFile(script_ + QLatin1Char('/') + file, contents));
    }
    void Unscript(const QString& file) const {
        QVERIFY(QFile::remove(script_ + QLatin1Char('/') + file));
    }
};

void SatHostTest::initTestCase() {
    // Under a sanitizer build the host would report a segmentation fault
    // itself and end otherwise: the test wants the signal, as in a release.
    for (const char* name : {"ASAN_OPTIONS", "TSAN_OPTIONS"}) {
        const QByteArray options = qgetenv(name);
        qputenv(name, options.isEmpty() ? QByteArray("handle_segv=0") : options + ":handle_segv=0");
    }
}

void SatHostTest::init() {
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    script_ = folder_->filePath(QStringLiteral("script"));
    QVERIFY(QDir().mkpath(script_));
    // The host inherits it when it starts.
    qputenv("DVT_FAKE_SAT_DIR", QFile::encodeName(script_));
    ui_.events.clear();
    session_ = std::make_unique<SatSession>(
        ui_, folder_->filePath(QStringLiteral("dravovexa.ini")).toStdString(),
        FakeSatLibraryPath(FakeSatVariant::Full));
    session_->UseLibraryHost(DVT_SAT_HOST);
    QVERIFY(session_->BindSatLibrary());
}

void SatHostTest::cleanup() {
    session_.reset();
    qunsetenv("DVT_FAKE_SAT_DIR");
}

void SatHostTest::callsCrossTheHost() {
    session_->codigoDeAtivacao = "12345678";
    session_->dadosVenda = Utf8ToCp1252("<CFe>ação</CFe>");
    QVERIFY(session_->RunEnviarDadosVenda());
    // The arguments reached the library as the bytes they were.
    QFile call(script_ + QStringLiteral("/EnviarDadosVenda.call"));
    QVERIFY(call.open(QIODevice::ReadOnly));
    QCOMPARE(call.readAll(), QByteArray("int 1\ntext 12345678\ntext <CFe>a\xE7\xE3o</CFe>\n"));
    QVERIFY(session_->HasExport(SatExport::VersaoDLL));
    QCOMPARE(session_->RunVersaoDLL(), std::string("01.00.00"));
    // The answer is not left in view once the operation is over.
    QVERIFY(session_->LastCall().raw.empty());
}

void SatHostTest::crashCostsOneCall_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("sale");
    QTest::addColumn<QString>("message");
    QTest::newRow("segmentation fault")
        << "segv" << false
        << "ConsultarSAT: a biblioteca SAT encerrou de forma inesperada (sinal 11).";
    QTest::newRow("abort") << "abort" << false
                           << "ConsultarSAT: a biblioteca SAT encerrou de forma inesperada "
                              "(sinal 6).";
    QTest::newRow("exit") << "exit" << false
                          << "ConsultarSAT: a biblioteca SAT encerrou de forma inesperada "
                             "(código de saída 3).";
    QTest::newRow("sale") << "segv" << true
                          << "EnviarDadosVenda: a biblioteca SAT encerrou de forma inesperada "
                             "(sinal 11).\r\nO equipamento SAT pode ter emitido a venda: consulte "
                             "a última sessão fiscal antes de tentar de novo.";
}

void SatHostTest::crashCostsOneCall() {
    QFETCH(QString, fault);
    QFETCH(bool, sale);
    QFETCH(QString, message);

    const QString exportName =
        sale ? QStringLiteral("EnviarDadosVenda") : QStringLiteral("ConsultarSAT");
    Script(exportName + QStringLiteral(".fault"), fault.toUtf8());
    const auto run = [&] {
        return sale ? session_->RunEnviarDadosVenda() : session_->RunConsultarSAT();
    };
    QVERIFY(!run());
    QCOMPARE(session_->LastCall().kind, SatAnswerKind::HostEnded);
    QCOMPARE(QString::fromStdString(Cp1252ToUtf8(session_->LastResponse)), message);
    QCOMPARE(ui_.Dialogs().last(),
             QByteArray::fromStdString(Utf8ToCp1252(message.toStdString()) + "[e]"));
    // The wait panel is gone before that dialog shows.
    QVERIFY(ui_.events.size() >= 2);
    QCOMPARE(ui_.events.at(ui_.events.size() - 2), QByteArray("FechaAguarde"));

    // A fresh host loads the library again for the next call.
    Unscript(exportName + QStringLiteral(".fault"));
    QVERIFY(run());
    QCOMPARE(session_->LastCall().kind, SatAnswerKind::Fields);
}

void SatHostTest::answerEndsAtItsNul() {
    Script(QStringLiteral("ConsultarSAT.answer"),
           QByteArray("5|08000|SAT em opera\xC3\xA7\xC3\xA3o||\0|99999|after the end", 42));
    QVERIFY(session_->RunConsultarSAT());
    QCOMPARE(QByteArray::fromStdString(Cp1252ToUtf8(session_->LastResponse)),
             QByteArray("5|08000|SAT em operação||"));
}

void SatHostTest::nullAnswer() {
    Script(QStringLiteral("ConsultarSAT.null"), {});
    QVERIFY(!session_->RunConsultarSAT());
    QCOMPARE(session_->LastCall().kind, SatAnswerKind::NullAnswer);
    QCOMPARE(session_->LastResponse, Utf8ToCp1252("ConsultarSAT não retornou resposta"));
}

// 67 MB of answer: the log reaches the decoder whole, and a payload sink gets
// the device's own bytes without LastResponse holding them.
void SatHostTest::largeAnswer() {
    const QByteArray log =
        RepeatedLog("20240131101500|SAT|INFO|Evento: comunicação com a SEFAZ\n", 50 * 1024 * 1024);
    const QByteArray encoded = log.toBase64();
    QVERIFY(encoded.size() > 67 * 1000 * 1000);
    Script(QStringLiteral("ExtrairLogs.answer"), "7|15000|Transferência completa|||" + encoded);

    QVERIFY(session_->RunExtrairLogs());
    const std::string fields = "7|15000|Transfer\xEAncia completa|||";
    QCOMPARE(session_->LastResponse.substr(0, fields.size()), fields);
    QVERIFY(session_->LastResponse.size() > 45u * 1024 * 1024); // the log, in Windows-1252

    std::string written;
    session_->payloadSink = [&written](std::string_view piece) { written.append(piece); };
    QVERIFY(session_->RunExtrairLogs());
    session_->payloadSink = nullptr;
    QCOMPARE(session_->LastResponse, std::string("7|15000|Transfer\xEAncia completa|||"));
    QVERIFY(written == log.toStdString());
}

void SatHostTest::answersCrossWhole_data() {
    QTest::addColumn<int>("size");
    // Around the sizes where the host stops copying the answer into the pipe
    // and lends its pages (256 KiB), and where the program's buffer moves to
    // whole huge page frames (a 4 MiB frame, the answer and its kind byte).
    for (const int size : {1, 4095, 65537, (256 << 10) - 1, 256 << 10, (4 << 20) - 2, (4 << 20) - 1,
                           4 << 20, (6 << 20) - 1, (6 << 20) + 4097}) {
        QTest::addRow("%d bytes", size) << size;
    }
}

// The library's answer reaches the caller byte for byte, whatever its size,
// and a shorter answer after it is not padded with the longer one's bytes.
void SatHostTest::answersCrossWhole() {
    QFETCH(int, size);
    auto library = MakeHostedLibrary(DVT_SAT_HOST);
    std::string error;
    QVERIFY2(library->Load(FakeSatLibraryPath(FakeSatVariant::Full), error), error.c_str());
    const SatArgument session[] = {SatArgument::Number(1)};
    for (const int length : {size, size / 3 + 1}) {
        QByteArray answer(length, Qt::Uninitialized);
        std::uint32_t state = static_cast<std::uint32_t>(length);
        for (char& byte : answer) {
            state = state * 1664525u + 1013904223u;
            byte = static_cast<char>(1 + (state >> 24) % 255); // never the NUL that ends it
        }
        Script(QStringLiteral("ConsultarSAT.answer"), answer);
        const SatLibraryAnswer got = library->Call(SatExport::ConsultarSAT, session);
        QVERIFY(got.present);
        QCOMPARE(got.text.size(), static_cast<std::size_t>(length));
        QVERIFY(got.text == std::string_view(answer.constData(), answer.size()));
        library->ReleaseAnswer();
    }
}

// No memory for a large answer: the call fails, and the next call reads its
// own answer from a fresh host, not the rest of the unread one.
void SatHostTest::answerWithoutMemory() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    QSKIP("a sanitizer's allocator ends the process instead of throwing");
#endif
    auto library = MakeHostedLibrary(DVT_SAT_HOST);
    std::string error;
    QVERIFY2(library->Load(FakeSatLibraryPath(FakeSatVariant::Full), error), error.c_str());
    const SatArgument session[] = {SatArgument::Number(1)};
    Script(QStringLiteral("ConsultarSAT.answer"), QByteArray(64 << 20, 'x'));

    // The host already runs, so only this process is limited: its address
    // space may grow by 16 MiB, less than the answer needs.
    rlimit before{};
    QCOMPARE(getrlimit(RLIMIT_AS, &before), 0);
    QFile statm(QStringLiteral("/proc/self/statm"));
    QVERIFY(statm.open(QIODevice::ReadOnly));
    const rlim_t pages = statm.readAll().split(' ').value(0).toULongLong();
    rlimit tight = before;
    tight.rlim_cur = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (16u << 20);
    QCOMPARE(setrlimit(RLIMIT_AS, &tight), 0);
    bool outOfMemory = false;
    try {
        library->Call(SatExport::ConsultarSAT, session);
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    }
    QCOMPARE(setrlimit(RLIMIT_AS, &before), 0);
    QVERIFY(outOfMemory);

    Script(QStringLiteral("ConsultarSAT.answer"), "1|08000|SAT em opera\xE7\xE3o||");
    const SatLibraryAnswer got = library->Call(SatExport::ConsultarSAT, session);
    QVERIFY(got.present);
    QVERIFY(got.text == std::string_view("1|08000|SAT em opera\xE7\xE3o||"));
}

// Stopping the wait ends the host: the call reports an unknown outcome, the
// session number stays spent, and the next call works.
void SatHostTest::abandonedCall() {
    Script(QStringLiteral("ConsultarSAT.fault"), "hang");
    std::thread stopper([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        session_->AbandonLibraryCall();
    });
    QElapsedTimer clock;
    clock.start();
    const bool result = session_->RunConsultarSAT();
    stopper.join();
    QVERIFY(!result);
    QVERIFY(clock.elapsed() < 10000);
    QCOMPARE(session_->LastCall().kind, SatAnswerKind::HostEnded);
    QVERIFY(Cp1252ToUtf8(session_->LastResponse).find("o resultado da operação é desconhecido") !=
            std::string::npos);
    const std::int32_t spent = session_->SessionNumber;

    Unscript(QStringLiteral("ConsultarSAT.fault"));
    QVERIFY(session_->RunConsultarSAT());
    QCOMPARE(session_->SessionNumber, spent + 1);
}

void SatHostTest::missingHostProgram() {
    SatSession session(ui_, folder_->filePath(QStringLiteral("other.ini")).toStdString(),
                       FakeSatLibraryPath(FakeSatVariant::Full));
    session.UseLibraryHost(folder_->filePath(QStringLiteral("nowhere")).toStdString());
    QVERIFY(!session.BindSatLibrary());
    QVERIFY(session.LastLoadError().find("nowhere") != std::string::npos);
}

void SatHostTest::malformedCallsRefused_data() {
    QTest::addColumn<QByteArray>("payload");
    const std::string code = "12345678";
    const SatArgument good[] = {SatArgument::Number(1), SatArgument::Text(code)};
    const QByteArray request =
        QByteArray::fromStdString(host_protocol::CallRequest(SatExport::ExtrairLogs, good));
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not a call") << QByteArray("L/lib");
    QTest::newRow("unknown export") << QByteArray("C\x7F\x00", 3);
    QTest::newRow("truncated") << request.left(request.size() - 1);
    QTest::newRow("trailing bytes") << request + "x";
    QTest::newRow("too few arguments") << request.left(3).replace(2, 1, "\x01") + request.mid(3, 5);
    const SatArgument swapped[] = {SatArgument::Text(code), SatArgument::Number(1)};
    QTest::newRow("argument kinds swapped")
        << QByteArray::fromStdString(host_protocol::CallRequest(SatExport::ExtrairLogs, swapped));
    QByteArray huge = request;
    huge[9] = '\x7F'; // the text's length far beyond the frame
    QTest::newRow("text longer than the frame") << huge;
}

void SatHostTest::malformedCallsRefused() {
    QFETCH(QByteArray, payload);
    QVERIFY(!host_protocol::DecodeCallRequest(payload.toStdString()));

    // The well-formed request decodes to what was sent.
    const std::string code = "12345678";
    const SatArgument good[] = {SatArgument::Number(-7), SatArgument::Text(code)};
    const auto decoded =
        host_protocol::DecodeCallRequest(host_protocol::CallRequest(SatExport::ExtrairLogs, good));
    QVERIFY(decoded);
    QCOMPARE(decoded->which, SatExport::ExtrairLogs);
    QCOMPARE(decoded->arguments[0].number, -7);
    QCOMPARE(decoded->arguments[1].text, std::string_view(code));
}

// A thread that ends while its call runs waits for the call, instead of
// leaving it to touch the destroyed object.
void SatHostTest::threadJoinsARunningCall() {
    auto done = std::make_shared<std::atomic<bool>>(false);
    {
        SatLibraryThread thread;
        thread.Start([done] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            done->store(true);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    QVERIFY(done->load());
}

QTEST_GUILESS_MAIN(SatHostTest)
#include "test_sat_host.moc"
