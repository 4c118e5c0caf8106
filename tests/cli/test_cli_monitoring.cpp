// dravovexa-cli's monitoring commands run as a process beside the emulator,
// the device brought into each condition through the emulator's own switches
// (DVT_SAT_OFFLINE, DVT_SAT_CLOCK, DVT_SAT_FAULT, its state file).

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "../file_contents.h"
#include "command_line_folder.h"

namespace {

constexpr qint64 kDay = 86400;

// The device's date (Brasília time) some days from now, AAAAMMDD.
QByteArray DeviceDateIn(int days) {
    return QDateTime::currentDateTimeUtc()
        .addSecs(-3 * 3600)
        .date()
        .addDays(days)
        .toString(QStringLiteral("yyyyMMdd"))
        .toLatin1();
}

// An access key of the kit device (serial 900012345) with document number n.
QByteArray KitKey(int n) {
    return QByteArray("35"
                      "2612"
                      "61099008000141"
                      "59"
                      "900012345") +
           QByteArray::number(n).rightJustified(6, '0') +
           "123456"
           "0";
}

} // namespace

class CliMonitoringTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void verificarAgainstTheEmulator_data();
    void verificarAgainstTheEmulator();
    void thresholdOptions_data();
    void thresholdOptions();
    void jsonFromTheEmulator();
    void failedCallsStillAnswerInTheirFormat_data();
    void failedCallsStillAnswerInTheirFormat();
    void metricsFileReplacedWhole();
    void activationCodeFromFile();
    void usageErrors_data();
    void usageErrors();
    void silentDeviceIsUnknown();

private:
    std::unique_ptr<QTemporaryDir> folder_;
    QString cli_;
    QString state_;

    CliRun Run(const QStringList& arguments, const QStringList& environment = {}) const;
    // Creates the developer kit's state file, then sets "key=value" lines in it.
    void PrepareDevice(const QByteArrayList& settings) const;
};

void CliMonitoringTest::init() {
#ifndef DVT_EMULATOR_PATH
    QSKIP("the emulator is not part of this build");
#else
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    cli_ = PlaceCommandLine(*folder_, QStringLiteral(DVT_EMULATOR_PATH));
    QVERIFY(!cli_.isEmpty());
    state_ = folder_->filePath(QStringLiteral("estado.txt"));
#endif
}

CliRun CliMonitoringTest::Run(const QStringList& arguments, const QStringList& environment) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DVT_SAT_OFFLINE", "DVT_SAT_CLOCK", "DVT_SAT_FAULT",
                             "DVT_SAT_FAULT_ONLY", "DVT_SAT_DELAY_MS", "LD_LIBRARY_PATH"}) {
        env.remove(QString::fromLatin1(name));
    }
    env.insert(QStringLiteral("DVT_SAT_STATE"), state_);
    env.insert(QStringLiteral("DVT_SAT_MODE"), QStringLiteral("kit"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder_->filePath(QStringLiteral("config")));
    for (const QString& setting : environment) {
        env.insert(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
    }
    // Generous: a developer kit makes its RSA key on its first call, slow under sanitizers.
    return RunCommandLine(cli_, arguments, env, 120000);
}

void CliMonitoringTest::PrepareDevice(const QByteArrayList& settings) const {
    const CliRun consultar = Run({"consultar"});
    QVERIFY2(consultar.exitCode == 0, consultar.err.constData());
    QByteArrayList lines = ReadFile(state_).split('\n');
    for (const QByteArray& setting : settings) {
        const QByteArray key = setting.left(setting.indexOf('=') + 1);
        bool replaced = false;
        for (QByteArray& line : lines) {
            if (line.startsWith(key)) {
                line = setting;
                replaced = true;
            }
        }
        QVERIFY2(replaced, setting.constData());
    }
    QVERIFY(WriteFile(state_, lines.join('\n')));
}

void CliMonitoringTest::verificarAgainstTheEmulator_data() {
    QTest::addColumn<QByteArrayList>("settings"); // state file lines
    QTest::addColumn<QStringList>("before");      // a command run first
    QTest::addColumn<QStringList>("environment"); // of the check
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("start"); // the line starts so

    const QString offline = QStringLiteral("DVT_SAT_OFFLINE=1");
    const auto later = [](qint64 days) {
        return QStringLiteral("DVT_SAT_CLOCK=+%1").arg(days * kDay + 60);
    };
    QTest::newRow("healthy") << QByteArrayList{} << QStringList{} << QStringList{} << 0
                             << "SAT OK - série 900012345, DESBLOQUEADO, 0,0 dias sem SEFAZ, "
                                "certificado vence em ";
    QTest::newRow("offline 6 days")
        << QByteArrayList{} << QStringList{} << QStringList{offline, later(6)} << 1
        << "SAT AVISO - 6,0 dias sem comunicação com a SEFAZ (aviso: acima de 5) - série "
           "900012345, DESBLOQUEADO, 6,0 dias sem SEFAZ";
    QTest::newRow("offline 9 days")
        << QByteArrayList{} << QStringList{} << QStringList{offline, later(9)} << 2
        << "SAT CRÍTICO - 9,0 dias sem comunicação com a SEFAZ (crítico: acima de 8) - série "
           "900012345, DESBLOQUEADO";
    QTest::newRow("offline 11 days: the device blocked itself")
        << QByteArrayList{} << QStringList{} << QStringList{offline, later(11)} << 2
        << "SAT CRÍTICO - BLOQUEIO AUTÔNOMO; 11,0 dias sem comunicação com a SEFAZ";
    QTest::newRow("online again after 6 days")
        << QByteArrayList{} << QStringList{} << QStringList{later(6)} << 0 << "SAT OK";
    QTest::newRow("blocked by the taxpayer")
        << QByteArrayList{} << QStringList{"bloquear", "--codigo", "12345678"} << QStringList{} << 2
        << "SAT CRÍTICO - BLOQUEIO CONTRIBUINTE - série 900012345, BLOQUEIO CONTRIBUINTE";
    QTest::newRow("blocked by SEFAZ") << QByteArrayList{"operation_state=1"} << QStringList{}
                                      << QStringList{} << 2 << "SAT CRÍTICO - BLOQUEIO SEFAZ - ";
    QTest::newRow("busy") << QByteArrayList{} << QStringList{} << QStringList{"DVT_SAT_FAULT=busy"}
                          << 3 << "SAT DESCONHECIDO - 10098 SAT em processamento. Tente novamente.";
    QTest::newRow("library's error text")
        << QByteArrayList{} << QStringList{} << QStringList{"DVT_SAT_FAULT=no-separator"} << 3
        << "SAT DESCONHECIDO - Falha de comunicação com o equipamento SAT";
    QTest::newRow("low battery") << QByteArrayList{"battery=BAIXO"} << QStringList{}
                                 << QStringList{} << 1 << "SAT AVISO - bateria BAIXO - série";
    QTest::newRow("certificate in 20 days")
        << QByteArrayList{"certificate_expires=" + DeviceDateIn(20)} << QStringList{}
        << QStringList{} << 1 << "SAT AVISO - certificado vence em 19,";
    QTest::newRow("certificate in 5 days")
        << QByteArrayList{"certificate_expires=" + DeviceDateIn(5)} << QStringList{}
        << QStringList{} << 2 << "SAT CRÍTICO - certificado vence em 4,";
    // The documents wait while SEFAZ cannot be reached.
    QTest::newRow("memory 85 %") << QByteArrayList{"pending_bytes=912680550"} << QStringList{}
                                 << QStringList{offline} << 1
                                 << "SAT AVISO - memória usada 85,0 % (aviso: acima de 80)";
    QTest::newRow("memory 96 %") << QByteArrayList{"pending_bytes=1030792151"} << QStringList{}
                                 << QStringList{offline} << 2
                                 << "SAT CRÍTICO - memória usada 96,0 % (crítico: acima de 95)";
    QTest::newRow("60 CF-e waiting")
        << QByteArrayList{"pending_first_key=" + KitKey(1), "pending_last_key=" + KitKey(60),
                          "pending_documents=60"}
        << QStringList{} << QStringList{offline} << 1
        << "SAT AVISO - 60 CF-e aguardando transmissão (aviso: acima de 50)";
    QTest::newRow("600 CF-e waiting")
        << QByteArrayList{"pending_first_key=" + KitKey(1), "pending_last_key=" + KitKey(600),
                          "pending_documents=600"}
        << QStringList{} << QStringList{offline} << 2
        << "SAT CRÍTICO - 600 CF-e aguardando transmissão (crítico: acima de 500)";
}

void CliMonitoringTest::verificarAgainstTheEmulator() {
    QFETCH(QByteArrayList, settings);
    QFETCH(QStringList, before);
    QFETCH(QStringList, environment);
    QFETCH(int, exitCode);
    QFETCH(QString, start);

    PrepareDevice(settings);
    if (!before.isEmpty()) {
        QCOMPARE(Run(before).exitCode, 0);
    }
    const CliRun run = Run({"verificar", "--codigo", "12345678"}, environment);
    QVERIFY2(run.exitCode == exitCode, (run.out + run.err).constData());
    const QString line = QString::fromUtf8(run.out);
    QVERIFY2(line.startsWith(start), qPrintable(line));
    // One line; the performance data after "|" whenever the device answered.
    QCOMPARE(line.count(QLatin1Char('\n')), 1);
    QVERIFY(line.endsWith(QLatin1Char('\n')));
    QCOMPARE(line.contains(QStringLiteral(" | estado_operacao=")), exitCode != 3);
}

void CliMonitoringTest::thresholdOptions_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("start");
    QTest::newRow("defaults: 6 days is a warning") << QStringList{} << 1 << "SAT AVISO - 6,0 dias";
    QTest::newRow("raised warning") << QStringList{"--sefaz-aviso", "7"} << 0 << "SAT OK";
    QTest::newRow("lowered critical")
        << QStringList{"--sefaz-critico=5,5"} << 2
        << "SAT CRÍTICO - 6,0 dias sem comunicação com a SEFAZ (crítico: acima de 5,5)";
    QTest::newRow("certificate warning above its days")
        << QStringList{"--sefaz-aviso", "7", "--certificado-aviso", "5000"} << 1
        << "SAT AVISO - certificado vence em ";
    QTest::newRow("memory thresholds")
        << QStringList{"--sefaz-aviso", "7", "--memoria-critico", "0"} << 0
        << "SAT OK"; // 0 % used is not above 0
    QTest::newRow("bad value is unknown")
        << QStringList{"--pendentes-aviso", "muitos"} << 3
        << "SAT DESCONHECIDO - valor inválido para --pendentes-aviso: muitos";
}

void CliMonitoringTest::thresholdOptions() {
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QString, start);
    PrepareDevice({});
    const CliRun run = Run(QStringList{"verificar", "--codigo", "12345678"} + options,
                           {QStringLiteral("DVT_SAT_OFFLINE=1"),
                            QStringLiteral("DVT_SAT_CLOCK=+%1").arg(6 * kDay + 60)});
    QVERIFY2(run.exitCode == exitCode, (run.out + run.err).constData());
    QVERIFY2(QString::fromUtf8(run.out).startsWith(start), run.out.constData());
}

void CliMonitoringTest::jsonFromTheEmulator() {
    PrepareDevice({"pending_first_key=" + KitKey(3), "pending_last_key=" + KitKey(9),
                   "pending_documents=7", "pending_bytes=268435456"});
    const CliRun run =
        Run({"status", "--formato", "json", "--codigo", "12345678"},
            {QStringLiteral("DVT_SAT_OFFLINE=1"), QStringLiteral("DVT_SAT_CLOCK=+%1").arg(kDay)});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.endsWith("}\n"));
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(run.out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(json.value("sucesso"), QJsonValue(true));
    QCOMPARE(json.value("EEEEE"), QJsonValue("10000"));
    QCOMPARE(json.value("mensagem"), QJsonValue("Resposta com sucesso"));
    QCOMPARE(json.value("numeroSessao"), QJsonValue(2));
    QCOMPARE(json.value("NSERIE"), QJsonValue("900012345"));
    QCOMPARE(json.value("STATUS_LAN"), QJsonValue("NAO_CONECTADO"));
    QCOMPARE(json.value("MT_TOTAL"), QJsonValue(1073741824));
    QCOMPARE(json.value("MT_USADA"), QJsonValue(268435456));
    QCOMPARE(json.value("fracao_memoria_usada"), QJsonValue(0.25));
    QCOMPARE(json.value("cfe_aguardando_transmissao"), QJsonValue(7));
    QCOMPARE(json.value("LISTA_FINAL"), QJsonValue(QString::fromLatin1(KitKey(9))));
    QCOMPARE(json.value("ESTADO_OPERACAO").toObject().value("nome"), QJsonValue("DESBLOQUEADO"));

    // Dates carry the device's offset and are the moments the device meant.
    const QDateTime now = QDateTime::fromString(json.value("DH_ATUAL").toString(), Qt::ISODate);
    const QDateTime last = QDateTime::fromString(json.value("DH_ULTIMA").toString(), Qt::ISODate);
    QVERIFY(json.value("DH_ATUAL").toString().endsWith("-03:00"));
    QVERIFY(now.isValid() && last.isValid());
    QVERIFY(qAbs(now.toSecsSinceEpoch() - QDateTime::currentSecsSinceEpoch() - kDay) < 60);
    QVERIFY(qAbs(json.value("dias_sem_comunicacao_sefaz").toDouble() -
                 double(last.secsTo(now)) / double(kDay)) < 0.0001);
    QVERIFY(qAbs(json.value("dias_sem_comunicacao_sefaz").toDouble() - 1.0) < 0.01);
    const QDate expires = QDate::fromString(json.value("CERT_VENCIMENTO").toString(), Qt::ISODate);
    QVERIFY(expires.isValid());
    QVERIFY(json.value("dias_ate_vencimento_certificado").toDouble() > 5 * 365 - 2);
}

void CliMonitoringTest::failedCallsStillAnswerInTheirFormat_data() {
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<bool>("removeLibrary");
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("exitCode"); // of status --formato json
    QTest::addColumn<QString>("message");
    QTest::newRow("missing library")
        << QStringList{} << true << QString() << 3 << "Biblioteca Vexa® não localizada !";
    QTest::newRow("busy") << QStringList{"DVT_SAT_FAULT=busy"} << false << "10098" << 1
                          << "SAT em processamento. Tente novamente.";
    QTest::newRow("null answer") << QStringList{"DVT_SAT_FAULT=null"} << false << QString() << 1
                                 << "ConsultarStatusOperacional não retornou resposta";
}

void CliMonitoringTest::failedCallsStillAnswerInTheirFormat() {
    QFETCH(QStringList, environment);
    QFETCH(bool, removeLibrary);
    QFETCH(QString, code);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    PrepareDevice({});
    if (removeLibrary) {
        QVERIFY(QFile::remove(folder_->filePath(QStringLiteral("libdllsat.so"))));
    }

    const CliRun json = Run({"status", "--formato", "json", "--codigo", "12345678"}, environment);
    QCOMPARE(json.exitCode, exitCode);
    QJsonParseError error;
    const QJsonObject object = QJsonDocument::fromJson(json.out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(object.value("sucesso"), QJsonValue(false));
    QCOMPARE(object.value("EEEEE"),
             code.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(code));
    QCOMPARE(object.value("mensagem").toString(), message);

    const QString path = folder_->filePath(QStringLiteral("dravovexa_sat.prom"));
    const CliRun metrics =
        Run({"status", "--formato", "prometheus", "--codigo", "12345678", "--saida", path},
            environment);
    QCOMPARE(metrics.exitCode, exitCode);
    QVERIFY(metrics.out.isEmpty());
    QVERIFY(ReadFile(path).contains("\ndravovexa_sat_up 0\n"));

    const CliRun check = Run({"verificar", "--codigo", "12345678"}, environment);
    QCOMPARE(check.exitCode, 3);
    QCOMPARE(QString::fromUtf8(check.out),
             "SAT DESCONHECIDO - " + (code.isEmpty() ? QString() : code + " ") + message + "\n");
}

void CliMonitoringTest::metricsFileReplacedWhole() {
    PrepareDevice({});
    const QString path = folder_->filePath(QStringLiteral("textfile/dravovexa_sat.prom"));
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QVERIFY(WriteFile(path, "old\n"));
    const CliRun run =
        Run({"status", "--formato", "prometheus", "--codigo", "12345678", "--saida", path});
    QCOMPARE(run.exitCode, 0);
    const QByteArray text = ReadFile(path);
    QVERIFY(text.startsWith("# HELP dravovexa_sat_up "));
    QVERIFY(text.contains("\ndravovexa_sat_up{serie=\"900012345\"} 1\n"));
    QVERIFY(text.endsWith('\n'));
    // Nothing else is left in the folder node_exporter reads.
    QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("dravovexa_sat.prom")});

    // A folder that cannot be written keeps nothing half-written: exit 1, a message.
    const QString blocked = folder_->filePath(QStringLiteral("not-a-folder"));
    QVERIFY(WriteFile(blocked, "file\n"));
    const CliRun failed = Run({"status", "--formato", "prometheus", "--codigo", "12345678",
                               "--saida", blocked + QStringLiteral("/x.prom")});
    QCOMPARE(failed.exitCode, 1);
    QVERIFY2(
        failed.err.contains("Não foi possível gravar o arquivo " + blocked.toUtf8() + "/x.prom"),
        failed.err.constData());
}

void CliMonitoringTest::activationCodeFromFile() {
    PrepareDevice({});
    const QString path = folder_->filePath(QStringLiteral("codigo"));
    QVERIFY(WriteFile(path, "12345678\r\n"));
    const CliRun run = Run({"verificar", "--codigo-arquivo", path});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.startsWith("SAT OK - "));

    QVERIFY(WriteFile(path, "87654321\n"));
    const CliRun wrong = Run({"verificar", "--codigo-arquivo", path});
    QCOMPARE(wrong.exitCode, 3);
    QCOMPARE(wrong.out, QByteArray("SAT DESCONHECIDO - 10001 Código de ativação inválido\n"));

    const CliRun missing = Run(
        {"status", "--formato", "json", "--codigo-arquivo", path + QStringLiteral(".nao-existe")});
    QCOMPARE(missing.exitCode, 1);
    QCOMPARE(QJsonDocument::fromJson(missing.out).object().value("mensagem").toString(),
             "Não foi possível ler o arquivo " + path + ".nao-existe");
}

void CliMonitoringTest::usageErrors_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("why");
    QTest::newRow("unknown format") << QStringList{"status", "--formato", "xml"} << 2
                                    << QByteArray("--formato deve ser texto, json ou prometheus");
    QTest::newRow("--saida of the text form")
        << QStringList{"status", "--saida", "x"} << 2
        << QByteArray("--saida e --codigo-arquivo exigem --formato json ou prometheus");
    QTest::newRow("two codes: the check is unknown")
        << QStringList{"verificar", "--codigo", "12345678", "--codigo-arquivo", "x"} << 3
        << QByteArray("dê --codigo ou --codigo-arquivo, não os dois");
    QTest::newRow("unknown option of the check: unknown, not a usage error")
        << QStringList{"verificar", "--nao-existe"} << 3
        << QByteArray("opção desconhecida: --nao-existe");
    QTest::newRow("threshold of another command")
        << QStringList{"status", "--sefaz-aviso", "3"} << 2
        << QByteArray("a opção --sefaz-aviso não se aplica a status");
}

void CliMonitoringTest::usageErrors() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, why);
    const CliRun run = Run(arguments);
    QVERIFY2(run.exitCode == exitCode, (run.out + run.err).constData());
    QVERIFY2(run.err.startsWith("dravovexa-cli: " + why + "\n"), run.err.constData());
    if (arguments.first() == QStringLiteral("verificar")) {
        // The monitor shows standard output: the check's own status line.
        QCOMPARE(run.out, "SAT DESCONHECIDO - " + why + "\n");
    }
    QVERIFY(!QFile::exists(state_)); // nothing was asked of the device
}

void CliMonitoringTest::silentDeviceIsUnknown() {
    // A device that outlasts --tempo-limite: the check ends UNKNOWN with its
    // status line, not with the command line's time-limit status.
    const CliRun run = Run({"--tempo-limite", "1", "verificar", "--codigo", "12345678"},
                           {"DVT_SAT_MODE=kit", "DVT_SAT_DELAY_MS=5000"});
    QVERIFY2(run.exitCode == 3, (run.out + run.err).constData());
    QCOMPARE(run.out, QByteArray("SAT DESCONHECIDO - a biblioteca SAT não respondeu em 1 s\n"));
}

QTEST_GUILESS_MAIN(CliMonitoringTest)
#include "test_cli_monitoring.moc"
