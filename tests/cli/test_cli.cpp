// dravovexa-cli as a script sees it: a copy of the executable in a folder of
// its own beside a SAT library (the fake one, scripted through files, or the
// emulator), run as a separate process.

#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "../file_contents.h"
#include "command_line_folder.h"

namespace {

const QByteArray kConsultarBlock("Informação ao usuário\n08000\nSAT em operação\n\n");
const QByteArray
    kDefaultCodeRefused("Mensagem ao Usuário\nCódigo de Ativação Padrão inválido !\n\n");

} // namespace

class CliTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void commands_data();
    void commands();
    void arguments_data();
    void arguments();
    void statusPrintsLabelledValues();
    void documentsArriveAsTheirBytes();
    void logsWrittenToFile();
    void sessionNumbersBesideTheProgram();
    void settingsFileElsewhere_data();
    void settingsFileElsewhere();
    void documentWithNulIsRefused_data();
    void documentWithNulIsRefused();
    void misbehavingLibrary_data();
    void misbehavingLibrary();
    void hungLibraryLeftAfterTimeLimit();
    void largeLogThroughTheHost();
    void missingLibrary();
    void unloadableLibrary();
    void libraryGivenByPath();
    void help();
    void againstTheEmulator();

private:
    std::unique_ptr<QTemporaryDir> folder_;
    QString cli_;
    QString script_;
    QString configHome_; // XDG_CONFIG_HOME of the runs

    CliRun Run(const QStringList& arguments, const QString& program = {}) const;
    void SetAnswer(const QByteArray& exportName, const QByteArray& answer) const;
    // The arguments of the export's last call after the session number, as
    // "i:N" / "t:text" joined by ","; the session number goes to *session.
    QByteArray LastCall(const QByteArray& exportName, int* session = nullptr) const;
};

void CliTest::init() {
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    cli_ = PlaceCommandLine(*folder_, QStringLiteral(DVT_FAKE_SAT_PATH));
    QVERIFY(!cli_.isEmpty());
    script_ = folder_->filePath(QStringLiteral("script"));
    QVERIFY(QDir().mkpath(script_));
    configHome_ = folder_->filePath(QStringLiteral("config"));
}

CliRun CliTest::Run(const QStringList& arguments, const QString& program) const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DVT_FAKE_SAT_DIR"), script_);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome_);
    environment.remove(QStringLiteral("LD_LIBRARY_PATH"));
    // Under a sanitizer build the library host would report a segmentation
    // fault itself and end otherwise: the tests want the signal.
    for (const QString& name : {QStringLiteral("ASAN_OPTIONS"), QStringLiteral("TSAN_OPTIONS")}) {
        const QString options = environment.value(name);
        environment.insert(name, options.isEmpty() ? QStringLiteral("handle_segv=0")
                                                   : options + QStringLiteral(":handle_segv=0"));
    }
    return RunCommandLine(program.isEmpty() ? cli_ : program, arguments, environment, 30000);
}

void CliTest::SetAnswer(const QByteArray& exportName, const QByteArray& answer) const {
    if (answer == "<null>") {
        QVERIFY(WriteFile(
            script_ + QLatin1Char('/') + QLatin1String(exportName) + QStringLiteral(".null"), {}));
    } else {
        QVERIFY(WriteFile(script_ + QLatin1Char('/') + QLatin1String(exportName) +
                              QStringLiteral(".answer"),
                          answer));
    }
}

QByteArray CliTest::LastCall(const QByteArray& exportName, int* session) const {
    const QByteArray call =
        ReadFile(script_ + QLatin1Char('/') + QLatin1String(exportName) + QStringLiteral(".call"));
    QByteArrayList lines = call.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    QByteArrayList parts;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        if (i == 0) {
            if (session != nullptr) {
                *session = line.mid(4).toInt();
            }
            continue;
        }
        if (line.startsWith("int ")) {
            parts.append("i:" + line.mid(4));
        } else if (line.startsWith("text ")) {
            parts.append("t:" + line.mid(5));
        } else {
            parts.append(line);
        }
    }
    return parts.join(',');
}

void CliTest::commands_data() {
    QTest::addColumn<QStringList>("arguments");
    // "Export=answer" ("<null>" for a null pointer); "Export.delay=milliseconds"
    QTest::addColumn<QByteArrayList>("answers");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("consultar") << QStringList{"consultar"} << QByteArrayList{}
                               << QByteArray("1|08000|SAT em operação||\n") << kConsultarBlock << 0;
    QTest::newRow("consultar SEFAZ message first")
        << QStringList{"consultar"} << QByteArrayList{"ConsultarSAT=1|08000|OK||Aviso"}
        << QByteArray("1|08000|OK||Aviso\n")
        << QByteArray("Informação ao usuário\nMensagem SEFAZ\nAviso\n\n"
                      "Informação ao usuário\n08000\nOK\n\n")
        << 0;
    QTest::newRow("consultar error text of the library")
        << QStringList{"consultar"} << QByteArrayList{"ConsultarSAT=Falha de comunicação"}
        << QByteArray("Falha de comunicação\n")
        << QByteArray("Erro de Procedimento\nFalha de comunicação\n\n") << 1;
    QTest::newRow("status needs the default code")
        << QStringList{"status"} << QByteArrayList{} << QByteArray() << kDefaultCodeRefused << 1;
    QTest::newRow("sessao answered with another function's code")
        << QStringList{"sessao", "000123", "--codigo", "12345678"}
        << QByteArrayList{"ConsultarNumeroSessao=123|06000|0000|Emitido com sucesso|||PENG"}
        << QByteArray("123|06000|0000|Emitido com sucesso|||PENG\n") << QByteArray() << 0;
    QTest::newRow("bloquear") << QStringList{"bloquear"} << QByteArrayList{}
                              << QByteArray("1|16000|Equipamento SAT bloqueado com sucesso||\n")
                              << QByteArray() << 0;
    QTest::newRow("bloquear with a short default code")
        << QStringList{"bloquear", "--codigo", " 1234567 "} << QByteArrayList{} << QByteArray()
        << kDefaultCodeRefused << 1;
    QTest::newRow("desbloquear answered")
        << QStringList{"desbloquear"}
        << QByteArrayList{"DesbloquearSAT=1|17005|SAT já desbloqueado||"}
        << QByteArray("1|17005|SAT já desbloqueado||\n") << QByteArray() << 0;
    QTest::newRow("versao") << QStringList{"versao"} << QByteArrayList{} << QByteArray("01.00.00\n")
                            << QByteArray() << 0;
    QTest::newRow("versao null answer")
        << QStringList{"versao"} << QByteArrayList{"VersaoDLL=<null>"} << QByteArray("\n")
        << QByteArray("Erro de Procedimento\nVersaoDLL não retornou resposta\n\n") << 1;
    QTest::newRow("fim-a-fim result unchanged")
        << QStringList{"fim-a-fim"}
        << QByteArrayList{"TesteFimAFim=1|09000|Emitido com sucesso|||PENG|2015|000001|CFe35"}
        << QByteArray("\"1\",\"09000\",\"Emitido com sucesso\",\"\",\"\",\"PENG\",\"2015\","
                      "\"000001\",\"CFe35\"\n")
        << QByteArray("Informação ao usuário\n09000\nEmitido com sucesso\n\n") << 0;
    QTest::newRow("cancelar blank key")
        << QStringList{"cancelar", QStringLiteral(DVT_SAMPLE_DOCUMENT), "--chave", "   "}
        << QByteArrayList{} << QByteArray()
        << QByteArray("Mensagem ao Usuário\nChave de acesso do CF-e-SAT não determinado !\n\n")
        << 1;
    QTest::newRow("venda missing file")
        << QStringList{"venda", "/nonexistent/venda.xml"} << QByteArrayList{} << QByteArray()
        << QByteArray(
               "Erro de Procedimento\nNão foi possível ler o arquivo /nonexistent/venda.xml\n\n")
        << 1;
    QTest::newRow("ativar refused by the rules")
        << QStringList{"ativar", "--cnpj", "61099008000142", "--codigo", "12345678"}
        << QByteArrayList{} << QByteArray() << QByteArray("<rule message>") << 1;
    QTest::newRow("consultar within --tempo-limite")
        << QStringList{"consultar", "--tempo-limite", "5"}
        << QByteArrayList{"ConsultarSAT.delay=200"} << QByteArray("1|08000|SAT em operação||\n")
        << kConsultarBlock << 0;
    QTest::newRow("consultar beyond --tempo-limite")
        << QStringList{"consultar", "--tempo-limite=1"} << QByteArrayList{"ConsultarSAT.delay=4000"}
        << QByteArray()
        << QByteArray("dravovexa-cli: tempo limite de 1 s esgotado: a biblioteca SAT não "
                      "respondeu e a operação foi abandonada.\n")
        << 4;
    QTest::newRow("trocar-codigo confirmation differs")
        << QStringList{"trocar-codigo", "--atual",       "12345678", "--novo",
                       "abcdefgh",      "--confirmacao", "ABCDEFGH"}
        << QByteArrayList{} << QByteArray() << QByteArray("<rule message>") << 1;

    // Usage errors: nothing runs, no library is needed.
    QTest::newRow("no command") << QStringList{} << QByteArrayList{} << QByteArray()
                                << QByteArray("<usage>") << 2;
    QTest::newRow("sessao not a number") << QStringList{"sessao", "12a"} << QByteArrayList{}
                                         << QByteArray() << QByteArray("<usage>") << 2;
    QTest::newRow("cancelar without key")
        << QStringList{"cancelar", QStringLiteral(DVT_SAMPLE_DOCUMENT)} << QByteArrayList{}
        << QByteArray() << QByteArray("<usage>") << 2;
    QTest::newRow("option of another command")
        << QStringList{"consultar", "--chave", "x"} << QByteArrayList{} << QByteArray()
        << QByteArray("<usage>") << 2;
    QTest::newRow("unknown state") << QStringList{"ativar", "--uf", "XX"} << QByteArrayList{}
                                   << QByteArray() << QByteArray("<usage>") << 2;
    QTest::newRow("rede fixed address with mask 0.0.0.0")
        << QStringList{"rede", "--ip", "192.168.0.10", "--mascara", "0.0.0.0"} << QByteArrayList{}
        << QByteArray() << QByteArray("<rule message>") << 1;
    QTest::newRow("--tempo-limite of 0 s")
        << QStringList{"consultar", "--tempo-limite", "0"} << QByteArrayList{} << QByteArray()
        << QByteArray("<usage>") << 2;
    QTest::newRow("--tempo-limite not a number")
        << QStringList{"versao", "--tempo-limite", "1.5"} << QByteArrayList{} << QByteArray()
        << QByteArray("<usage>") << 2;
    QTest::newRow("fixed-address option without --ip")
        << QStringList{"rede", "--mascara", "255.255.255.0"} << QByteArrayList{} << QByteArray()
        << QByteArray("<usage>") << 2;
}

void CliTest::commands() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArrayList, answers);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QFETCH(int, exitCode);

    for (const QByteArray& answer : answers) {
        const int equals = answer.indexOf('=');
        const QByteArray name = answer.left(equals);
        if (name.endsWith(".delay")) { // milliseconds the export takes to answer
            QVERIFY(WriteFile(script_ + QLatin1Char('/') + QLatin1String(name),
                              answer.mid(equals + 1)));
        } else {
            SetAnswer(name, answer.mid(equals + 1));
        }
    }
    const CliRun run = Run(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, out);
    if (err == "<usage>") {
        QVERIFY2(run.err.contains("Uso: dravovexa-cli"), run.err.constData());
        QVERIFY(!QFile::exists(script_ + QStringLiteral("/calls.log")));
    } else if (err == "<rule message>") {
        // One block of the rule's own words, and nothing sent.
        QVERIFY2(run.err.startsWith("Mensagem ao Usuário\n") && run.err.endsWith("\n\n") &&
                     run.err.count("\n\n") == 1,
                 run.err.constData());
        QVERIFY(!QFile::exists(script_ + QStringLiteral("/calls.log")));
    } else {
        QCOMPARE(run.err, err);
    }
}

void CliTest::arguments_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("exportName");
    QTest::addColumn<QByteArray>("received"); // after the session number

    QTest::newRow("default code trimmed") << QStringList{"bloquear", "--codigo", "  12345678  "}
                                          << QByteArray("BloquearSAT") << QByteArray("t:12345678");
    QTest::newRow("no default code sends the empty text")
        << QStringList{"logs"} << QByteArray("ExtrairLogs") << QByteArray("t:");
    QTest::newRow("sessao with leading zeros")
        << QStringList{"sessao", "000123", "--codigo=12345678"}
        << QByteArray("ConsultarNumeroSessao") << QByteArray("t:12345678,i:123");
    QTest::newRow("cancelar key kept as typed")
        << QStringList{"cancelar", QStringLiteral(DVT_SAMPLE_DOCUMENT), "--chave", " CFe35 "}
        << QByteArray("CancelarUltimaVenda") << QByteArray("t:,t: CFe35 ,t:<CFe/>\\n");
    QTest::newRow("ativar Tocantins")
        << QStringList{"ativar", "--cnpj", "61099008000141", "--codigo", "12345678", "--uf", "to"}
        << QByteArray("AtivarSAT") << QByteArray("i:1,t:12345678,t:61099008000141,i:17");
    QTest::newRow("associar") << QStringList{"associar",
                                             "--codigo",
                                             "12345678",
                                             "--cnpj",
                                             "61099008000141",
                                             "--cnpj-sh",
                                             "16716114000172",
                                             "--assinatura",
                                             "SGR-SAT SISTEMA DE GESTAO E RETAGUARDA DO SAT"}
                              << QByteArray("AssociarAssinatura")
                              << QByteArray("t:12345678,t:1671611400017261099008000141,"
                                            "t:SGR-SAT SISTEMA DE GESTAO E RETAGUARDA DO SAT");
    QTest::newRow("trocar-codigo emergency")
        << QStringList{"trocar-codigo", "--atual",  "emergencia1",
                       "--novo",        "87654321", "--emergencia"}
        << QByteArray("TrocarCodigoDeAtivacao")
        << QByteArray("t:emergencia1,i:2,t:87654321,t:87654321");
    // The call of "rede" by DHCP before activation, with the user and password given.
    const auto dhcp = [](const QByteArray& user, const QByteArray& password) {
        return "t:73519024,t:<?xml version=\"1.0\" encoding=\"UTF-8\"?><config>"
               "<tipoInter>ETHE</tipoInter><SSID></SSID><seg></seg><codigo></codigo>"
               "<tipoLan>DHCP</tipoLan><lanIP>000.000.000.000</lanIP>"
               "<lanMask>000.000.000.000</lanMask><lanGW>000.000.000.000</lanGW>"
               "<lanDNS1>000.000.000.000</lanDNS1><lanDNS2>000.000.000.000</lanDNS2>"
               "<usuario>" +
               user + "</usuario><senha>" + password +
               "</senha><proxy>0</proxy>"
               "<proxy_ip>000.000.000.000</proxy_ip><proxy_porta>0</proxy_porta>"
               "<proxy_user></proxy_user><proxy_senha></proxy_senha></config>";
    };
    QTest::newRow("rede by DHCP before activation")
        << QStringList{"rede"} << QByteArray("ConfigurarInterfaceDeRede") << dhcp("", "");
    QTest::newRow("rede: accented user and password reach the library as UTF-8")
        << QStringList{QStringLiteral("rede"), QStringLiteral("--usuario"), QStringLiteral("João"),
                       QStringLiteral("--senha"), QStringLiteral("ação€")}
        << QByteArray("ConfigurarInterfaceDeRede") << dhcp("João", "ação€");
}

void CliTest::arguments() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, exportName);
    QFETCH(QByteArray, received);

    const CliRun run = Run(arguments);
    QVERIFY2(run.exitCode == 0, run.err.constData());
    int session = 0;
    QCOMPARE(LastCall(exportName, &session), received);
    QCOMPARE(session, 1);
    QCOMPARE(ReadFile(script_ + QStringLiteral("/calls.log")), exportName + '\n');
}

void CliTest::statusPrintsLabelledValues() {
    QByteArray answer = "000042|10000|Resposta com sucesso|||900004019|DHCP|010.000.000.108|"
                        "00:11:22:33:44:55|255.255.255.000|010.000.000.001|008.008.008.008|"
                        "008.008.004.004|CONECTADO|MEDIO|4 GB|260 MB|20151110084752|01.00.00|"
                        "00.07|CFe1|CFe2|CFe3||20151110083000|20150101|20191102|2";
    SetAnswer("ConsultarStatusOperacional", answer);
    SetAnswer("VersaoDLL", "02.05.13");
    const CliRun run = Run({"status", "--codigo", "12345678"});
    QCOMPARE(run.exitCode, 0);
    QByteArrayList lines = run.out.split('\n');
    QCOMPARE(lines.takeLast(), QByteArray());
    QCOMPARE(lines.size(), 26);
    QCOMPARE(lines[0], answer);
    const QByteArrayList expected{
        "Nível da bateria: MEDIO",
        "Nº de série: 900004019",
        "Status do Vexa®: BLOQUEIO CONTRIBUINTE",
        "Versão do SW Básico: 01.00.00",
        "Versão Layout CFE: 00.07",
        "Memória Total: 4 GB",
        "Memória Usada: 260 MB",
        "Versão DLL Vexa®: 02.05.13",
        "Tipo de Rede: DHCP",
        "MAC Address: 00:11:22:33:44:55",
        "IP: 010.000.000.108",
        "Mascara: 255.255.255.000",
        "Gateway: 010.000.000.001",
        "DNS1: 008.008.008.008",
        "DNS2: 008.008.004.004",
        "Status WAN: CONECTADO",
        "Nº da Sessão Atual: 000042",
        "Data/Hora do Vexa®: 10/11/2015 08:47:52",
        "Data/Hora do Vexa® Última Transferência: //",
        "Data/Hora da Ultima Comunicação Vexa®: 10/11/2015 08:30:00",
        "Último CFE Emitido: CFe1",
        "Primeiro CFE na Memória de Trabalho: CFe2",
        "Último CFE na Memória de Trabalho: CFe3",
        "Data de Emissão do Certificado: 01/01/2015",
        "Vencimento do Certificado: 02/11/2019",
    };
    QCOMPARE(lines.mid(1), expected);
}

void CliTest::documentsArriveAsTheirBytes() {
    // Line ends, a byte that is not UTF-8 and no final line break: all sent as they are.
    const QByteArray document("<CFe>\r\n<infCFe>\xe9</infCFe>\n</CFe>");
    const QString path = folder_->filePath(QStringLiteral("venda.xml"));
    QVERIFY(WriteFile(path, document));
    const CliRun run = Run({"venda", path, "--codigo", "12345678"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(LastCall("EnviarDadosVenda"),
             QByteArray("t:12345678,t:<CFe>\\r\\n<infCFe>\xe9</infCFe>\\n</CFe>"));
    QVERIFY(run.out.startsWith("1|06000|0000|Emitido com sucesso + conteúdo notas|||<CFe>"));
}

void CliTest::logsWrittenToFile() {
    // Written exactly as the device sent it: its line ends, its UTF-8; shown
    // on standard output with its accents and with the memo's CR LF.
    const QByteArray log("20150718154423|SAT|INFO|Inicialização\n20150718154500|SAT|INFO|fim\r\n");
    SetAnswer("ExtrairLogs", "9|15000|Transferência completa|||" + log.toBase64());
    const QString path = folder_->filePath(QStringLiteral("log.txt"));
    const CliRun run = Run({"logs", "--saida", path});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(ReadFile(path), log);
    // Standard output carries the answer's other fields, not the log.
    QCOMPARE(run.out, QByteArray("9|15000|Transferência completa|||\n"));

    // Without --saida the log is shown, with the memo's CR LF.
    QCOMPARE(Run({"logs"}).out, QByteArray("9|15000|Transferência completa|||20150718154423|SAT|"
                                           "INFO|Inicialização\r\n20150718154500|SAT|INFO|"
                                           "fim\r\r\n\n"));
    SetAnswer("ExtrairLogs", "9|15000|Transferência completa|||" + log.toBase64());

    // A refused extraction writes no file.
    QVERIFY(QFile::remove(path));
    SetAnswer("ExtrairLogs", "9|15002|Transferência em andamento||");
    QCOMPARE(Run({"logs", "--saida", path}).exitCode, 1);
    QVERIFY(!QFile::exists(path));
}

// A library that crashes, ends its process or answers a null pointer costs
// the call: the command line reports it and ends with its own status.
void CliTest::misbehavingLibrary_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("exportName");
    QTest::addColumn<QByteArray>("fault"); // "<null>" for a null answer
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("message");
    const QByteArray crashed("ConsultarSAT: a biblioteca SAT encerrou de forma inesperada ");
    QTest::newRow("segmentation fault") << "consultar" << QByteArray("ConsultarSAT")
                                        << QByteArray("segv") << 5 << crashed + "(sinal 11).";
    QTest::newRow("abort") << "consultar" << QByteArray("ConsultarSAT") << QByteArray("abort") << 5
                           << crashed + "(sinal 6).";
    QTest::newRow("exit") << "consultar" << QByteArray("ConsultarSAT") << QByteArray("exit") << 5
                          << crashed + "(código de saída 3).";
    QTest::newRow("sale") << "venda" << QByteArray("EnviarDadosVenda") << QByteArray("segv") << 5
                          << QByteArray("EnviarDadosVenda: a biblioteca SAT encerrou de forma "
                                        "inesperada (sinal 11).\nO equipamento SAT pode ter "
                                        "emitido a venda: consulte a última sessão fiscal "
                                        "antes de tentar de novo.");
    QTest::newRow("null answer") << "consultar" << QByteArray("ConsultarSAT")
                                 << QByteArray("<null>") << 1
                                 << QByteArray("ConsultarSAT não retornou resposta");
}

void CliTest::misbehavingLibrary() {
    QFETCH(QString, command);
    QFETCH(QByteArray, exportName);
    QFETCH(QByteArray, fault);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, message);

    if (fault == "<null>") {
        SetAnswer(exportName, fault);
    } else {
        QVERIFY(WriteFile(script_ + QLatin1Char('/') + QLatin1String(exportName) +
                              QStringLiteral(".fault"),
                          fault));
    }
    QStringList arguments{command};
    if (command == QStringLiteral("venda")) {
        arguments << QStringLiteral(DVT_SAMPLE_DOCUMENT);
    }
    const CliRun run = Run(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains("Erro de Procedimento\n" + message + "\n\n"), run.err.constData());

    // The next run starts a fresh host and the library answers again.
    QVERIFY(
        QFile::remove(script_ + QLatin1Char('/') + QLatin1String(exportName) +
                      (fault == "<null>" ? QStringLiteral(".null") : QStringLiteral(".fault"))));
    QCOMPARE(Run(arguments).exitCode, 0);
}

void CliTest::hungLibraryLeftAfterTimeLimit() {
    QVERIFY(WriteFile(script_ + QStringLiteral("/ConsultarSAT.fault"), "hang"));
    QElapsedTimer clock;
    clock.start();
    const CliRun run = Run({"--tempo-limite", "1", "consultar"});
    QCOMPARE(run.exitCode, 4);
    QVERIFY(clock.elapsed() < 10000);
    QVERIFY(run.err.contains("tempo limite de 1 s esgotado"));
    // The hung host was ended with the command line: nothing holds the
    // library's folder any more.
    QProcess pgrep;
    pgrep.start(QStringLiteral("pgrep"),
                {QStringLiteral("-f"), folder_->filePath(QStringLiteral("dravovexa-sat-host"))});
    QVERIFY(pgrep.waitForFinished());
    QCOMPARE(pgrep.readAllStandardOutput(), QByteArray());
}

// An answer of 67 MB crosses the pipe whole; --saida gets the device's bytes.
void CliTest::largeLogThroughTheHost() {
    const QByteArray log = RepeatedLog(
        "20240131101500|SAT|INFO|Evento: comunicação com a SEFAZ\r\n", 50 * 1024 * 1024);
    const QByteArray encoded = log.toBase64();
    QVERIFY(encoded.size() > 67 * 1000 * 1000);
    SetAnswer("ExtrairLogs", "3|15000|Transferência completa|||" + encoded);
    const QString path = folder_->filePath(QStringLiteral("log.txt"));
    const CliRun run = Run({"logs", "--saida", path});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("3|15000|Transferência completa|||\n"));
    QVERIFY(ReadFile(path) == log);
}

void CliTest::sessionNumbersBesideTheProgram() {
    QCOMPARE(Run({"consultar"}).exitCode, 0);
    QCOMPARE(Run({"versao"}).exitCode, 0); // takes no number
    QCOMPARE(Run({"bloquear"}).exitCode, 0);
    int session = 0;
    LastCall("BloquearSAT", &session);
    QCOMPARE(session, 2);
    QVERIFY(ReadFile(folder_->filePath(QStringLiteral("dravovexa.ini"))).contains("VEXAS=2"));
}

// The program's folder cannot be written (a folder where the lock file
// belongs): the counter goes on in the user's copy; when that cannot be
// written either (a regular file where its folder belongs), one message
// names both files and nothing is called.
void CliTest::settingsFileElsewhere_data() {
    QTest::addColumn<bool>("userCopyWritable");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("the user's copy goes on from the file beside the program") << true << 0;
    QTest::newRow("nowhere to write") << false << 1;
}

void CliTest::settingsFileElsewhere() {
    QFETCH(bool, userCopyWritable);
    QFETCH(int, exitCode);

    const QString beside = folder_->filePath(QStringLiteral("dravovexa.ini"));
    QVERIFY(WriteFile(beside, "[VEXA]\nVEXAS=41\n"));
    QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral("dravovexa.ini.lock")));
    if (!userCopyWritable) {
        QVERIFY(WriteFile(configHome_, "not a folder"));
    }
    const QString user = configHome_ + QStringLiteral("/dravovexa/dravovexa.ini");

    const CliRun run = Run({"bloquear"});
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(ReadFile(beside), QByteArray("[VEXA]\nVEXAS=41\n"));
    if (userCopyWritable) {
        int session = 0;
        LastCall("BloquearSAT", &session);
        QCOMPARE(session, 42);
        QCOMPARE(ReadFile(user), QByteArray("[VEXA]\nVEXAS=42\n"));
        QCOMPARE(run.err, QByteArray());
    } else {
        QCOMPARE(run.err, "Erro de Procedimento\nNão foi possível gravar o arquivo de "
                          "configurações\n" +
                              beside.toUtf8() + "\n" + user.toUtf8() + "\n\n");
        QVERIFY(!QFile::exists(script_ + QStringLiteral("/calls.log")));
    }
}

// A document the device would not receive whole is refused before the
// library is loaded: a NUL byte would cut it short; a device (/dev/zero), a
// FIFO with no writer or a folder is not opened at all (the first would grow
// without end, the second would block for ever); a file over the device's
// 1.500 KB is not read past its limit.
void CliTest::documentWithNulIsRefused_data() {
    QTest::addColumn<QStringList>("arguments"); // FILE: the document
    QTest::addColumn<QString>("file");          // in the test folder, or absolute
    QTest::addColumn<QByteArray>("refusal");    // after the file's path
    const QByteArray nul = " contém um caractere nulo e não foi enviado.";
    const QByteArray notAFile = " não é um arquivo comum (é uma pasta, um dispositivo ou uma "
                                "fila) e não foi lido.";
    const QByteArray tooLarge = " passa de 1.500 KB, o maior documento que o equipamento SAT "
                                "aceita, e não foi enviado.";
    for (const auto& [command, arguments] :
         {std::pair{"venda", QStringList{"venda", "FILE"}},
          {"cancelar", QStringList{"cancelar", "FILE", "--chave", "CFe35"}}}) {
        const QByteArray name(command);
        QTest::newRow(name + " NUL byte") << arguments << "nul.xml"
                                          << "O arquivo %" + nul;
        QTest::newRow(name + " /dev/zero") << arguments << "/dev/zero"
                                           << "O caminho %" + notAFile;
        QTest::newRow(name + " FIFO") << arguments << "fifo"
                                      << "O caminho %" + notAFile;
        QTest::newRow(name + " folder") << arguments << "pasta"
                                        << "O caminho %" + notAFile;
        QTest::newRow(name + " over 1.500 KB") << arguments << "large.xml"
                                               << "O arquivo %" + tooLarge;
    }
}

void CliTest::documentWithNulIsRefused() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);
    QFETCH(QByteArray, refusal);
    QVERIFY(WriteFile(folder_->filePath(QStringLiteral("nul.xml")),
                      QByteArray("<CFe>\0<det/></CFe>", 18)));
    QVERIFY(WriteFile(folder_->filePath(QStringLiteral("large.xml")),
                      QByteArray(1500 * 1024 + 1, 'x')));
    QVERIFY(QDir(folder_->path()).mkpath(QStringLiteral("pasta")));
    const QByteArray fifo = QFile::encodeName(folder_->filePath(QStringLiteral("fifo")));
    QVERIFY(QFile::exists(QString::fromLocal8Bit(fifo)) || ::mkfifo(fifo.constData(), 0600) == 0);
    const QString path = file.startsWith(QLatin1Char('/')) ? file : folder_->filePath(file);
    arguments.replaceInStrings(QStringLiteral("FILE"), path);

    const CliRun run = Run(arguments);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(run.err, "Erro de Procedimento\n" + refusal.replace('%', path.toUtf8()) + "\n\n");
    QVERIFY(!QFile::exists(script_ + QStringLiteral("/calls.log")));
}

void CliTest::missingLibrary() {
    QVERIFY(QFile::remove(folder_->filePath(QStringLiteral("libdllsat.so"))));
    const CliRun run = Run({"consultar"});
    QCOMPARE(run.exitCode, 3);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(run.err, QByteArray("Mensagem ao Usuário\nBiblioteca Vexa® não localizada !\n\n"));
    QVERIFY(!QFile::exists(folder_->filePath(QStringLiteral("dravovexa.ini"))));
}

void CliTest::unloadableLibrary() {
    QVERIFY(WriteFile(folder_->filePath(QStringLiteral("libdllsat.so")), "not a library\n"));
    const CliRun run = Run({"consultar"});
    QCOMPARE(run.exitCode, 3);
    QVERIFY2(run.err.startsWith("dravovexa-cli: "), run.err.constData());
}

void CliTest::libraryGivenByPath() {
    QVERIFY(QFile::remove(folder_->filePath(QStringLiteral("libdllsat.so"))));
    const CliRun run = Run({"--sat-library", QStringLiteral(DVT_FAKE_SAT_PATH), "consultar"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, kConsultarBlock);
}

void CliTest::help() {
    const CliRun run = Run({"--help"});
    QCOMPARE(run.exitCode, 0);
    for (const char* command : {"consultar", "status", "sessao N", "logs", "fim-a-fim", "venda",
                                "cancelar", "ativar", "associar", "rede", "bloquear", "desbloquear",
                                "atualizar", "trocar-codigo", "versao", "verificar"}) {
        QVERIFY2(run.out.contains(QByteArray("\n  ") + command), command);
    }
    QVERIFY(run.err.isEmpty());
}

void CliTest::againstTheEmulator() {
#ifndef DVT_EMULATOR_PATH
    QSKIP("the emulator is not part of this build");
#else
    const QString library = folder_->filePath(QStringLiteral("libdllsat.so"));
    QVERIFY(QFile::remove(library));
    QVERIFY(QFile::copy(QStringLiteral(DVT_EMULATOR_PATH), library));
    qputenv("DVT_SAT_STATE", folder_->filePath(QStringLiteral("estado.txt")).toLocal8Bit());
    qputenv("DVT_SAT_MODE", "kit");

    const CliRun consultar = Run({"consultar"});
    QVERIFY2(consultar.exitCode == 0, consultar.err.constData());
    QVERIFY(consultar.out.startsWith("1|08000|"));
    QVERIFY(consultar.err.startsWith("Informação ao usuário\n08000\n"));

    const CliRun sessao = Run({"sessao", "1"});
    QCOMPARE(sessao.exitCode, 0);
    QVERIFY2(sessao.out.startsWith("2|"), sessao.out.constData());

    const CliRun versao = Run({"versao"});
    QCOMPARE(versao.exitCode, 0);
    QVERIFY(versao.out.size() > 1);
    qunsetenv("DVT_SAT_STATE");
    qunsetenv("DVT_SAT_MODE");
#endif
}

QTEST_GUILESS_MAIN(CliTest)
#include "test_cli.moc"
