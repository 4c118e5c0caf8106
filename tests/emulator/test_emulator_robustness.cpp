// Persistence across unload and reload, damaged state files, several threads
// at once, each fault switch, and arguments a careless caller may pass.

#include "emulator_harness.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

bool IsUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

void WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

} // namespace

class TestEmulatorRobustness : public QObject {
    Q_OBJECT

private slots:
    void persistsAcrossUnloadAndReload();
    void damagedStateFile_data();
    void damagedStateFile();
    void missingStateFileInKitMode();
    void unwritableStateFile();
    void journalListsOnlyKeptSales_data();
    void journalListsOnlyKeptSales();
    void stateStaysSmall();
    void earlierStateFileWithAnswersInside();
    void severalThreadsAtOnce();
    void twoProcessesShareOneDevice();
    void faultSwitch_data();
    void faultSwitch();
    void faultOnlyForSomeFunctions();
    void delaySwitch();
    void nullArguments();
    void shutDownKeepsTheState();
};

void TestEmulatorRobustness::persistsAcrossUnloadAndReload() {
    DeviceFolder folder;
    // A code with the characters the state file must escape.
    const QByteArray code = "a\\b=c|d\\n";
    int saleSession = 0;
    QByteArray saleAnswer;
    {
        SatLibrary sat;
        QCOMPARE(Take(sat.AtivarSAT(folder.NextSession(), 1, code, kTaxpayer, 35)).Code(),
                 QByteArray("04000"));
        QCOMPARE(Take(sat.AssociarAssinatura(folder.NextSession(), code,
                                             QByteArray(kSoftwareHouse) + kTaxpayer, kSignature))
                     .Code(),
                 QByteArray("13000"));
        saleSession = folder.NextSession();
        saleAnswer = Take(sat.EnviarDadosVenda(saleSession, code, SaleDocument())).raw;
        QVERIFY(saleAnswer.contains("|06000|"));
    }
    // The same file after the library was unloaded and loaded again.
    {
        SatLibrary sat;
        QCOMPARE(Take(sat.ConsultarNumeroSessao(folder.NextSession(), code, saleSession)).raw,
                 saleAnswer);
    }
    // A copy in another folder: the device can only come from its state file
    // and the folder of remembered answers beside it.
    DeviceFolder elsewhere;
    QVERIFY(QFile::copy(folder.StatePath(), elsewhere.StatePath()));
    const QDir answers(folder.StatePath() + QStringLiteral(".answers"));
    QVERIFY(QDir().mkpath(elsewhere.StatePath() + QStringLiteral(".answers")));
    for (const QString& name : answers.entryList(QDir::Files)) {
        QVERIFY(QFile::copy(answers.filePath(name),
                            elsewhere.StatePath() + QStringLiteral(".answers/") + name));
    }
    SatLibrary sat;
    const SatAnswer status =
        Take(sat.ConsultarStatusOperacional(elsewhere.NextSession() + 100, code));
    QCOMPARE(status.Code(), QByteArray("10000"));
    QCOMPARE(status.Field(21), Take(saleAnswer).Field(9).mid(3));
    QCOMPARE(Take(sat.ConsultarNumeroSessao(elsewhere.NextSession() + 100, code, saleSession)).raw,
             saleAnswer);
    QCOMPARE(Take(sat.ConsultarSAT(saleSession)).Code(), QByteArray("08000"));
    // The session numbers used before the restart are still taken.
    QCOMPARE(Take(sat.ExtrairLogs(1, code)).Code(), QByteArray("15097"));
}

void TestEmulatorRobustness::damagedStateFile_data() {
    QTest::addColumn<QByteArray>("content");
    const QByteArray end = "\nend\n";
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("binary") << QByteArray("\x00\xff\x13\x37garbage", 11);
    QTest::newRow("no end line") << QByteArray("format=1\nactivated=1\n");
    QTest::newRow("other format") << QByteArray("format=2") + end;
    QTest::newRow("flag of 2") << QByteArray("format=1\nactivated=2") + end;
    QTest::newRow("short serial") << QByteArray("format=1\nserial=12") + end;
    QTest::newRow("line without equals") << QByteArray("format=1\nactivated") + end;
    QTest::newRow("bad escape") << QByteArray("format=1\nactivation_code=ab\\x") + end;
    QTest::newRow("activated without a code")
        << QByteArray("format=1\nactivated=1\ntaxpayer_cnpj=61099008000141") + end;
    QTest::newRow("session without number") << QByteArray("format=1\nsession=abc") + end;
    QTest::newRow("address octet 300") << QByteArray("format=1\nnet_ip=300.1.1.1") + end;
    QTest::newRow("text after the end") << QByteArray("format=1") + end + "activated=1\n";
    // Numbers out of range make the file damaged, never 0.
    QTest::newRow("operation state past 64 bits")
        << QByteArray("format=1\noperation_state=99999999999999999999") + end;
    QTest::newRow("document number past 64 bits")
        << QByteArray("format=1\nlast_document_number=18446744073709551617") + end;
    QTest::newRow("wrong codes past the cap")
        << QByteArray("format=1\nwrong_code_attempts=1000001") + end;
    QTest::newRow("key that is no PEM") << QByteArray("format=1\ndevice_key=abc") + end;
}

void TestEmulatorRobustness::damagedStateFile() {
    QFETCH(QByteArray, content);
    DeviceFolder folder;
    WriteFile(folder.StatePath(), content);
    SatLibrary sat;
    // A factory-fresh device, never a crash.
    QCOMPARE(Take(sat.ConsultarSAT(folder.NextSession())).Code(), QByteArray("08000"));
    QCOMPARE(Take(sat.ConsultarStatusOperacional(folder.NextSession(), kKitCode)).Code(),
             QByteArray("10001"));
    QCOMPARE(Take(sat.AtivarSAT(folder.NextSession(), 1, kKitCode, kTaxpayer, 35)).Code(),
             QByteArray("04000"));
    // The damaged file is kept aside, and the new state is readable again.
    QFile kept(folder.StatePath() + QStringLiteral(".damaged"));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), content);
    QFile log(folder.LogPath());
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().contains("|SAT|ERRO|"));
    DeviceFolder copy;
    QVERIFY(QFile::copy(folder.StatePath(), copy.StatePath()));
    QCOMPARE(Take(sat.ConsultarStatusOperacional(copy.NextSession() + 10, kKitCode)).Code(),
             QByteArray("10000"));
}

void TestEmulatorRobustness::missingStateFileInKitMode() {
    DeviceFolder folder;
    qputenv("DVT_SAT_MODE", "kit");
    SatLibrary sat;
    QCOMPARE(Take(sat.ConsultarStatusOperacional(folder.NextSession(), kKitCode)).Code(),
             QByteArray("10000"));
    QVERIFY(QFile::exists(folder.StatePath()));
    // Once the file exists the mode no longer matters.
    qunsetenv("DVT_SAT_MODE");
    QCOMPARE(Take(sat.ConsultarStatusOperacional(folder.NextSession(), kKitCode)).Code(),
             QByteArray("10000"));
}

void TestEmulatorRobustness::unwritableStateFile() {
    DeviceFolder folder;
    // A regular file where the state file's folder should be: root ignores
    // permissions, but not this.
    WriteFile(folder.Path(QStringLiteral("not-a-folder")), "x");
    qputenv("DVT_SAT_STATE", folder.Path(QStringLiteral("not-a-folder/state.txt")).toLocal8Bit());
    SatLibrary sat;
    const SatAnswer answer = Take(sat.AtivarSAT(1, 1, kKitCode, kTaxpayer, 35));
    QCOMPARE(answer.Code(), QByteArray("04099"));
    QCOMPARE(answer.Text(3), QStringLiteral("Erro desconhecido na ativação"));
    QCOMPARE(Take(sat.EnviarDadosVenda(2, kKitCode, SaleDocument())).fields.size(), 6);
    // Nothing was kept: the device is still the one the disk has (none).
    qputenv("DVT_SAT_STATE", folder.StatePath().toLocal8Bit());
    QCOMPARE(Take(sat.ConsultarStatusOperacional(3, kKitCode)).Code(), QByteArray("10001"));
}

void TestEmulatorRobustness::journalListsOnlyKeptSales_data() {
    QTest::addColumn<bool>("kill"); // else a sale whose save fails (the disk is "full")
    QTest::addColumn<int>("afterMs");
    QTest::newRow("failing save") << false << 0;
    QTest::newRow("killed at once") << true << 5;
    QTest::newRow("killed later") << true << 60;
    QTest::newRow("killed much later") << true << 250;
}

void TestEmulatorRobustness::journalListsOnlyKeptSales() {
    QFETCH(bool, kill);
    QFETCH(int, afterMs);
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    QCOMPARE(Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, SaleDocument())).Code(),
             QByteArray("06000"));
    if (!kill) {
        // In a child whose files may not grow past 1 KB, as on a full disk.
        const int session = folder.NextSession();
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            const rlimit small{1024, 1024};
            signal(SIGXFSZ, SIG_IGN);
            setrlimit(RLIMIT_FSIZE, &small);
            const SatAnswer undone = Take(sat.EnviarDadosVenda(session, kKitCode, SaleDocument()));
            _exit(undone.Code() == "06099" ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    } else {
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            for (int session = 100; session < 400; ++session) {
                sat.EnviarDadosVenda(session, kKitCode, SaleDocument());
            }
            _exit(0);
        }
        QTest::qWait(afterMs);
        ::kill(child, SIGKILL);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
    }
    const SatAnswer next =
        Take(sat.EnviarDadosVenda(folder.NextSession() + 1000, kKitCode, SaleDocument()));
    QCOMPARE(next.Code(), QByteArray("06000"));
    const int last = next.Field(9).mid(34, 6).toInt();
    // The log lists every kept sale once, and no undone one.
    const QList<int> logged = LoggedSaleNumbers(folder.LogPath());
    QCOMPARE(logged.size(), last);
    for (int i = 0; i < logged.size(); ++i) {
        QCOMPARE(logged[i], i + 1);
    }
}

void TestEmulatorRobustness::stateStaysSmall() {
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    QByteArray document = SaleDocument();
    document.replace("</pgto>",
                     "</pgto><infAdic><infCpl>" + QByteArray(4000, 'x') + "</infCpl></infAdic>");
    for (int i = 0; i < 130; ++i) {
        QCOMPARE(Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, document)).Code(),
                 QByteArray("06000"));
    }
    // The remembered answers are files of their own, one per kept session;
    // the state file holds their numbers only.
    QVERIFY2(QFileInfo(folder.StatePath()).size() < 16 * 1024,
             qPrintable(QString::number(QFileInfo(folder.StatePath()).size())));
    const QDir answers(folder.StatePath() + QStringLiteral(".answers"));
    QCOMPARE(answers.entryList(QDir::Files).size(), 100);
    QCOMPARE(Take(sat.ConsultarNumeroSessao(folder.NextSession(), kKitCode, 31)).Code(),
             QByteArray("06000"));
    QCOMPARE(Take(sat.ConsultarNumeroSessao(folder.NextSession(), kKitCode, 30)).Code(),
             QByteArray("11003"));
    QCOMPARE(Take(sat.ConsultarUltimaSessaoFiscal(folder.NextSession(), kKitCode)).Field(1),
             QByteArray("130"));
}

void TestEmulatorRobustness::earlierStateFileWithAnswersInside() {
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    QCOMPARE(Take(sat.ConsultarSAT(folder.NextSession())).Code(), QByteArray("08000"));
    // The state as an earlier version wrote it: the answers inline.
    QFile file(folder.StatePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray text = file.readAll();
    file.close();
    const QByteArray sale = "77|06000|0000|Emitido com sucesso + conteúdo notas|||PENGZS8+|"
                            "20250115102000|CFe35250161099008000141599000123450000011234565|"
                            "57.50||c2ln";
    const qsizetype at = text.indexOf("next_answer_id=");
    text.truncate(at);
    text += "session=" + sale + "\nlast_fiscal_answer=" + sale + "\nend\n";
    QVERIFY(QDir(folder.StatePath() + QStringLiteral(".answers")).removeRecursively());
    WriteFile(folder.StatePath(), text);
    QCOMPARE(Take(sat.ConsultarNumeroSessao(folder.NextSession(), kKitCode, 77)).raw, sale);
    QCOMPARE(Take(sat.ConsultarUltimaSessaoFiscal(folder.NextSession(), kKitCode)).raw, sale);
    QCOMPARE(Take(sat.ConsultarSAT(77)).Code(), QByteArray("08000"));
    QCOMPARE(Take(sat.ExtrairLogs(77, kKitCode)).Code(), QByteArray("15097"));
    // Written again without them.
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(!file.readAll().contains("Emitido com sucesso"));
}

void TestEmulatorRobustness::severalThreadsAtOnce() {
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    constexpr int kThreads = 8;
    constexpr int kCallsEach = 25;
    std::vector<QByteArray> failures(kThreads);
    std::vector<QList<QByteArray>> keys(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kCallsEach; ++i) {
                const int session = 1000 + t * kCallsEach + i;
                // The answer stays this thread's until its next call, whatever
                // the other threads do meanwhile.
                const char* raw = i % 5 == 0
                                      ? sat.EnviarDadosVenda(session, kKitCode, SaleDocument())
                                      : sat.ConsultarStatusOperacional(session, kKitCode);
                const SatAnswer answer = Take(raw);
                const QByteArray expected = i % 5 == 0 ? "06000" : "10000";
                if (answer.Field(1) != QByteArray::number(session) || answer.Code() != expected) {
                    failures[t] = answer.raw.left(80);
                    return;
                }
                if (i % 5 == 0) {
                    keys[t].append(answer.Field(9));
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    QSet<QByteArray> distinct;
    for (int t = 0; t < kThreads; ++t) {
        QVERIFY2(failures[t].isEmpty(), failures[t].constData());
        for (const QByteArray& key : keys[t]) {
            distinct.insert(key);
        }
    }
    // Every sale got its own number: calls were serialised.
    QCOMPARE(distinct.size(), kThreads * kCallsEach / 5);
    const SatAnswer status = Take(sat.ConsultarStatusOperacional(5000, kKitCode));
    QCOMPARE(status.Field(21).mid(31, 6), QByteArray("000040"));
}

void TestEmulatorRobustness::twoProcessesShareOneDevice() {
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    QCOMPARE(Take(sat.ConsultarSAT(1)).Code(), QByteArray("08000"));
    constexpr int kSalesEach = 15;
    const pid_t child = fork();
    QVERIFY(child >= 0);
    const int first = child == 0 ? 2000 : 3000;
    bool sold = true;
    for (int i = 0; i < kSalesEach; ++i) {
        sold = sold &&
               Take(sat.EnviarDadosVenda(first + i, kKitCode, SaleDocument())).Code() == "06000";
    }
    if (child == 0) {
        _exit(sold ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    QVERIFY(sold);
    // No sale of one process was lost under the other's: the numbers ran on.
    const SatAnswer last = Take(sat.ConsultarStatusOperacional(4000, kKitCode));
    QCOMPARE(last.Field(21).mid(31, 6), QByteArray::number(2 * kSalesEach).rightJustified(6, '0'));
    for (const int session : {2000, 2000 + kSalesEach - 1, 3000, 3000 + kSalesEach - 1}) {
        QCOMPARE(Take(sat.ConsultarNumeroSessao(4001 + session, kKitCode, session)).Code(),
                 QByteArray("06000"));
    }
}

void TestEmulatorRobustness::faultSwitch_data() {
    QTest::addColumn<QByteArray>("fault");
    QTest::addColumn<QByteArray>("function");
    QTest::addColumn<bool>("carriedOut"); // did the device take the command?
    QTest::newRow("no-separator") << QByteArray("no-separator") << QByteArray("ConsultarSAT")
                                  << false;
    QTest::newRow("null") << QByteArray("null") << QByteArray("ConsultarSAT") << false;
    QTest::newRow("busy") << QByteArray("busy") << QByteArray("EnviarDadosVenda") << false;
    QTest::newRow("invalid-utf8") << QByteArray("invalid-utf8") << QByteArray("ConsultarSAT")
                                  << true;
    QTest::newRow("invalid-utf8 sale")
        << QByteArray("invalid-utf8") << QByteArray("EnviarDadosVenda") << true;
    QTest::newRow("short") << QByteArray("short") << QByteArray("ConsultarStatusOperacional")
                           << true;
    QTest::newRow("status-27") << QByteArray("status-27")
                               << QByteArray("ConsultarStatusOperacional") << true;
    QTest::newRow("unknown switch")
        << QByteArray("something") << QByteArray("ConsultarSAT") << true;
}

void TestEmulatorRobustness::faultSwitch() {
    QFETCH(QByteArray, fault);
    QFETCH(QByteArray, function);
    QFETCH(bool, carriedOut);
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    QCOMPARE(Take(sat.ConsultarSAT(folder.NextSession())).Code(), QByteArray("08000"));
    SetSwitch("DVT_SAT_FAULT", fault);
    const int session = folder.NextSession();
    const char* raw = function == "ConsultarSAT" ? sat.ConsultarSAT(session)
                      : function == "EnviarDadosVenda"
                          ? sat.EnviarDadosVenda(session, kKitCode, SaleDocument())
                          : sat.ConsultarStatusOperacional(session, kKitCode);
    const SatAnswer answer = Take(raw);
    SetSwitch("DVT_SAT_FAULT", "");

    if (fault == "no-separator") {
        QVERIFY(!answer.raw.contains('|'));
        QCOMPARE(QString::fromUtf8(answer.raw),
                 QStringLiteral("Falha de comunicação com o equipamento SAT"));
    } else if (fault == "null") {
        QVERIFY(answer.isNull);
    } else if (fault == "busy") {
        QCOMPARE(answer.raw, QByteArray::number(session) +
                                 "|06098|0000|SAT em processamento. Tente novamente.||");
    } else if (fault == "invalid-utf8") {
        QVERIFY(!IsUtf8(answer.raw));
        QVERIFY(IsUtf8(answer.Field(2))); // only the message is damaged
        QCOMPARE(answer.fields.size(), function == "ConsultarSAT" ? 5 : 12);
    } else if (fault == "short") {
        QCOMPARE(answer.raw, QByteArray::number(session) + "|10000|Resposta com sucesso");
    } else if (fault == "status-27") {
        QCOMPARE(answer.fields.size(), 27);
        QCOMPARE(answer.Field(22), QByteArray(44, '0')); // LISTA_INICIAL, then DH_CFE
        QCOMPARE(answer.Field(23), QByteArray());
        QCOMPARE(answer.Field(27), QByteArray("0"));
    } else {
        QCOMPARE(answer.Code(), QByteArray("08000"));
    }

    // What the device itself remembers of that session: nothing for a command
    // it never took, the undamaged answer for one it carried out.
    const SatAnswer kept = Take(sat.ConsultarNumeroSessao(folder.NextSession(), kKitCode, session));
    if (!carriedOut) {
        QCOMPARE(kept.Code(), QByteArray("11003"));
        return;
    }
    QVERIFY(kept.Code() != "11003");
    QVERIFY(IsUtf8(kept.raw));
    if (fault == "status-27" || fault == "short") {
        QCOMPARE(kept.fields.size(), 28);
    }
}

void TestEmulatorRobustness::faultOnlyForSomeFunctions() {
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    SetSwitch("DVT_SAT_FAULT", "null");
    SetSwitch("DVT_SAT_FAULT_ONLY", "ExtrairLogs,EnviarDadosVenda");
    QCOMPARE(Take(sat.ConsultarSAT(folder.NextSession())).Code(), QByteArray("08000"));
    QVERIFY(Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, SaleDocument())).isNull);
    QVERIFY(Take(sat.ExtrairLogs(folder.NextSession(), kKitCode)).isNull);
    QCOMPARE(Take(sat.ConsultarStatusOperacional(folder.NextSession(), kKitCode)).Code(),
             QByteArray("10000"));
    SetSwitch("DVT_SAT_FAULT", "");
    SetSwitch("DVT_SAT_FAULT_ONLY", "");
}

void TestEmulatorRobustness::delaySwitch() {
    DeviceFolder folder;
    SetSwitch("DVT_SAT_DELAY_MS", "150");
    SatLibrary sat;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(Take(sat.ConsultarSAT(folder.NextSession())).Code(), QByteArray("08000"));
    QVERIFY(timer.elapsed() >= 150);
    SetSwitch("DVT_SAT_DELAY_MS", "");
}

void TestEmulatorRobustness::nullArguments() {
    DeviceFolder folder;
    SatLibrary sat;
    QCOMPARE(Take(sat.AtivarSAT(folder.NextSession(), 1, nullptr, nullptr, 35)).Code(),
             QByteArray("04099"));
    QCOMPARE(Take(sat.ConfigurarInterfaceDeRede(folder.NextSession(), nullptr, nullptr)).Code(),
             QByteArray("12002"));
    DeviceFolder kit;
    UseDeveloperKit();
    QCOMPARE(Take(sat.EnviarDadosVenda(kit.NextSession(), kKitCode, nullptr)).Field(3),
             QByteArray("1999"));
    QCOMPARE(Take(sat.CancelarUltimaVenda(kit.NextSession(), nullptr, nullptr, nullptr)).Code(),
             QByteArray("07001"));
    QCOMPARE(Take(sat.AssociarAssinatura(kit.NextSession(), kKitCode, nullptr, nullptr)).Code(),
             QByteArray("13004"));
    QCOMPARE(
        Take(sat.TrocarCodigoDeAtivacao(kit.NextSession(), kKitCode, 1, nullptr, nullptr)).Code(),
        QByteArray("18001"));
}

void TestEmulatorRobustness::shutDownKeepsTheState() {
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    QCOMPARE(Take(sat.BloquearSAT(folder.NextSession(), kKitCode)).Code(), QByteArray("16000"));
    const SatAnswer answer = Take(sat.DesligarSAT());
    QVERIFY(answer.raw.contains('|'));
    QFile state(folder.StatePath());
    QVERIFY(state.open(QIODevice::ReadOnly));
    QVERIFY(state.readAll().contains("operation_state=2\n"));
}

QTEST_GUILESS_MAIN(TestEmulatorRobustness)
#include "test_emulator_robustness.moc"
