// The monitoring readings of the status answer, without a library: typed
// values, derived values, the check's verdicts, and the JSON read back with
// a JSON parser.

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include "cli/status_check.h"
#include "cli/status_json.h"
#include "cli/status_metrics.h"
#include "cli/status_reading.h"
#include "sat/status_operacional.h"

namespace {

// A device's 28-field answer with the fields a row changes.
struct Answer {
    QByteArray state = "0";
    QByteArray total = "4 GB";
    QByteArray used = "260 MB";
    QByteArray now = "20240310120000";
    QByteArray last = "20240308120000";
    QByteArray first = "";
    QByteArray final = "";
    QByteArray expires = "20240410";
    QByteArray battery = "ALTO";

    QByteArray Text() const {
        return "000042|10000|Resposta com sucesso|||900004019|DHCP|010.000.000.108|"
               "00:11:22:33:44:55|255.255.255.000|010.000.000.001|008.008.008.008|"
               "008.008.004.004|CONECTADO|" +
               battery + "|" + total + "|" + used + "|" + now + "|01.00.00|00.07|" +
               QByteArray(44, '0') + "|" + first + "|" + final + "||" + last + "|20190101|" +
               expires + "|" + state;
    }
};

StatusReading Read(const QByteArray& raw) {
    TSatStatusOperacional record;
    FillStatusOperacional(record, std::string_view(raw.constData(), raw.size()));
    return ReadStatusAnswer(std::string_view(raw.constData(), raw.size()), record);
}

// An access key of device 900004019 with document number n.
QByteArray Key(int n, const char* serial = "900004019") {
    return "35240361099008000141"
           "59" +
           QByteArray(serial) + QByteArray::number(n).rightJustified(6, '0') + "1234560";
}

} // namespace

class StatusReadingTest : public QObject {
    Q_OBJECT

private slots:
    void deviceTimes_data();
    void deviceTimes();
    void memoryTexts_data();
    void memoryTexts();
    void waitingDocuments_data();
    void waitingDocuments();
    void answers_data();
    void answers();
    void verdicts_data();
    void verdicts();
    void thresholdValues_data();
    void thresholdValues();
    void jsonParsesWithTypes();
    void failedQueryJson_data();
    void failedQueryJson();
    void metricsLeaveOutWhatIsMissing();
};

void StatusReadingTest::deviceTimes_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("iso"); // empty: not a time
    QTest::addColumn<qint64>("epoch");
    QTest::newRow("date and time")
        << QByteArray("20151110084752") << "2015-11-10T08:47:52-03:00" << qint64(1447156072);
    QTest::newRow("date alone: its midnight")
        << QByteArray("20191102") << "2019-11-02" << qint64(1572663600);
    QTest::newRow("blanks around")
        << QByteArray(" 20191102 ") << "2019-11-02" << qint64(1572663600);
    QTest::newRow("29 February of a leap year")
        << QByteArray("20240229235959") << "2024-02-29T23:59:59-03:00" << qint64(1709261999);
    QTest::newRow("29 February of a common year")
        << QByteArray("20230229") << QString() << qint64(0);
    QTest::newRow("hour 24") << QByteArray("20240101240000") << QString() << qint64(0);
    QTest::newRow("month 13") << QByteArray("20241301") << QString() << qint64(0);
    QTest::newRow("twelve digits") << QByteArray("202401011200") << QString() << qint64(0);
    QTest::newRow("letters") << QByteArray("2024O101") << QString() << qint64(0);
    QTest::newRow("empty") << QByteArray() << QString() << qint64(0);
}

void StatusReadingTest::deviceTimes() {
    QFETCH(QByteArray, text);
    QFETCH(QString, iso);
    QFETCH(qint64, epoch);
    const auto time = ParseDeviceTime(text.toStdString());
    QCOMPARE(time.has_value(), !iso.isEmpty());
    if (time) {
        QCOMPARE(QString::fromStdString(time->Iso8601()), iso);
        QCOMPARE(qint64(time->epochSeconds), epoch);
        // The offset given is the one the moment was computed with.
        if (time->hasTime) {
            QCOMPARE(QDateTime::fromString(iso, Qt::ISODate).toSecsSinceEpoch(), epoch);
        }
    }
}

void StatusReadingTest::memoryTexts_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qint64>("bytes"); // -1: not a memory size
    QTest::newRow("bytes") << QByteArray("1073741824") << qint64(1073741824);
    QTest::newRow("GB") << QByteArray("4 GB") << qint64(4294967296);
    QTest::newRow("MB") << QByteArray("260 MB") << qint64(272629760);
    QTest::newRow("decimal comma, no blank") << QByteArray("1,5GB") << qint64(1610612736);
    QTest::newRow("decimal point, small letters") << QByteArray("0.5 kb") << qint64(512);
    QTest::newRow("B") << QByteArray("100 B") << qint64(100);
    QTest::newRow("fraction of a byte") << QByteArray("1.5") << qint64(-1);
    QTest::newRow("unit alone") << QByteArray("GB") << qint64(-1);
    QTest::newRow("unknown unit") << QByteArray("4 XB") << qint64(-1);
    QTest::newRow("two decimal marks") << QByteArray("1.2.3 MB") << qint64(-1);
    QTest::newRow("empty") << QByteArray() << qint64(-1);
}

void StatusReadingTest::memoryTexts() {
    QFETCH(QByteArray, text);
    QFETCH(qint64, bytes);
    const auto parsed = ParseMemoryBytes(text.toStdString());
    QCOMPARE(parsed ? qint64(*parsed) : qint64(-1), bytes);
}

void StatusReadingTest::waitingDocuments_data() {
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("last");
    QTest::addColumn<qint64>("count"); // -1: not known
    QTest::newRow("none: empty") << QByteArray() << QByteArray() << qint64(0);
    QTest::newRow("none: zeros") << QByteArray(44, '0') << QByteArray(44, '0') << qint64(0);
    QTest::newRow("one") << Key(7) << Key(7) << qint64(1);
    QTest::newRow("a range") << Key(5) << Key(604) << qint64(600);
    QTest::newRow("keys with CFe") << "CFe" + Key(5) << "CFe" + Key(7) << qint64(3);
    QTest::newRow("numbering starts again") << Key(999998) << Key(2) << qint64(4);
    QTest::newRow("only the first") << Key(5) << QByteArray() << qint64(-1);
    QTest::newRow("two devices") << Key(5) << Key(7, "900004020") << qint64(-1);
    QTest::newRow("not a key") << Key(5) << QByteArray("CFe123") << qint64(-1);
}

void StatusReadingTest::waitingDocuments() {
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, last);
    QFETCH(qint64, count);
    const auto waiting = CountWaitingDocuments(first.toStdString(), last.toStdString());
    QCOMPARE(waiting ? qint64(*waiting) : qint64(-1), count);
}

void StatusReadingTest::answers_data() {
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("mensagem");
    QTest::addColumn<int>("state");      // -1: none
    QTest::addColumn<qint64>("waiting"); // -1: none

    Answer answer;
    QTest::newRow("28 fields") << answer.Text() << int(StatusOutcome::Answered)
                               << "Resposta com sucesso" << 0 << qint64(0);
    answer.state = "BLOQUEIO AUTONOMO";
    QTest::newRow("state by name") << answer.Text() << int(StatusOutcome::Answered)
                                   << "Resposta com sucesso" << 3 << qint64(0);
    answer.state = "0\r\n";
    QTest::newRow("state with a line break: none, not DESBLOQUEADO")
        << answer.Text() << int(StatusOutcome::Answered) << "Resposta com sucesso" << -1
        << qint64(0);
    answer.state = "7";
    QTest::newRow("state the standard does not define")
        << answer.Text() << int(StatusOutcome::Answered) << "Resposta com sucesso" << 7
        << qint64(0);

    Answer withoutListaFinal;
    withoutListaFinal.first = Key(3);
    QByteArray raw = withoutListaFinal.Text();
    raw.replace("|" + Key(3) + "||", "|" + Key(3) + "|");
    QTest::newRow("27 fields: no LISTA_FINAL, so no count")
        << raw << int(StatusOutcome::Answered) << "Resposta com sucesso" << 0 << qint64(-1);
    raw = Answer().Text();
    raw.chop(2); // "|0"
    QTest::newRow("27 fields ending in the certificate's date: no state")
        << raw << int(StatusOutcome::Answered) << "Resposta com sucesso" << -1 << qint64(-1);

    QTest::newRow("busy: the message in the fourth field")
        << QByteArray("000043|10098|0000|SAT em processamento. Tente novamente.||")
        << int(StatusOutcome::Refused) << "SAT em processamento. Tente novamente." << -1
        << qint64(-1);
    QTest::newRow("wrong code") << QByteArray("000044|10001|Código de ativação inválido||")
                                << int(StatusOutcome::Refused) << "Código de ativação inválido"
                                << -1 << qint64(-1);
}

void StatusReadingTest::answers() {
    QFETCH(QByteArray, raw);
    QFETCH(int, outcome);
    QFETCH(QString, mensagem);
    QFETCH(int, state);
    QFETCH(qint64, waiting);
    const StatusReading reading = Read(raw);
    QCOMPARE(int(reading.outcome), outcome);
    QCOMPARE(QString::fromStdString(reading.mensagem), mensagem);
    QCOMPARE(reading.estadoOperacao ? *reading.estadoOperacao : -1, state);
    QCOMPARE(reading.cfeAguardando ? qint64(*reading.cfeAguardando) : qint64(-1), waiting);
}

void StatusReadingTest::verdicts_data() {
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("start"); // the status line starts so

    Answer healthy;
    QTest::newRow("healthy") << healthy.Text() << int(CheckState::Ok)
                             << "SAT OK - série 900004019, DESBLOQUEADO, 2,0 dias sem SEFAZ, "
                                "certificado vence em 30,5 dias, memória usada 6,3 %, 0 CF-e "
                                "aguardando transmissão, bateria ALTO | estado_operacao=0;;0;0;4 "
                                "dias_sem_sefaz=2;5;8;0; dias_certificado=30.5;30:;7:;; "
                                "memoria_usada=6.3477%;80;95;0;100 cfe_aguardando=0;50;500;0;";

    Answer a = healthy;
    a.last = "20240305120000";
    QTest::newRow("5 days: not above the warning") << a.Text() << int(CheckState::Ok) << "SAT OK";
    a.last = "20240305115959";
    QTest::newRow("a second over 5 days")
        << a.Text() << int(CheckState::Warning)
        << "SAT AVISO - 5,0 dias sem comunicação com a SEFAZ (aviso: acima de 5) - série";
    a.last = "20240301120000";
    QTest::newRow("9 days") << a.Text() << int(CheckState::Critical)
                            << "SAT CRÍTICO - 9,0 dias sem comunicação com a SEFAZ (crítico: "
                               "acima de 8) - série";

    a = healthy;
    a.expires = "20240409";
    QTest::newRow("certificate under 30 days")
        << a.Text() << int(CheckState::Warning)
        << "SAT AVISO - certificado vence em 29,5 dias (aviso: abaixo de 30)";
    a.expires = "20240301";
    QTest::newRow("certificate expired")
        << a.Text() << int(CheckState::Critical)
        << "SAT CRÍTICO - certificado vencido há 9,5 dias (crítico: abaixo de 7)";

    a = healthy;
    a.used = "3400 MB";
    QTest::newRow("memory 83 %") << a.Text() << int(CheckState::Warning)
                                 << "SAT AVISO - memória usada 83,0 % (aviso: acima de 80)";
    a.used = "3.9 GB";
    QTest::newRow("memory 97.5 %") << a.Text() << int(CheckState::Critical)
                                   << "SAT CRÍTICO - memória usada 97,5 % (crítico: acima de 95)";

    a = healthy;
    a.first = Key(1);
    a.final = Key(50);
    QTest::newRow("50 waiting: not above the warning")
        << a.Text() << int(CheckState::Ok) << "SAT OK";
    a.final = Key(51);
    QTest::newRow("51 waiting")
        << a.Text() << int(CheckState::Warning)
        << "SAT AVISO - 51 CF-e aguardando transmissão (aviso: acima de 50)";
    a.final = Key(501);
    QTest::newRow("501 waiting")
        << a.Text() << int(CheckState::Critical)
        << "SAT CRÍTICO - 501 CF-e aguardando transmissão (crítico: acima de 500)";

    a = healthy;
    a.battery = "BAIXO";
    QTest::newRow("low battery") << a.Text() << int(CheckState::Warning)
                                 << "SAT AVISO - bateria BAIXO - série";

    for (const auto& [value, name] :
         {std::pair{"1", "BLOQUEIO SEFAZ"}, std::pair{"2", "BLOQUEIO CONTRIBUINTE"},
          std::pair{"3", "BLOQUEIO AUTÔNOMO"}, std::pair{"4", "BLOQUEIO PARA DESATIVAÇÃO"}}) {
        a = healthy;
        a.state = value;
        QTest::addRow("state %s", value)
            << a.Text() << int(CheckState::Critical) << QString("SAT CRÍTICO - ") + name + " - ";
    }
    a = healthy;
    a.state = "x";
    QTest::newRow("unreadable state") << a.Text() << int(CheckState::Unknown)
                                      << "SAT DESCONHECIDO - estado de operação não informado";
    a.last = "20240301120000";
    QTest::newRow("a known problem outweighs an unknown value")
        << a.Text() << int(CheckState::Critical)
        << "SAT CRÍTICO - estado de operação não informado; 9,0 dias sem comunicação";

    a = healthy;
    a.last = "";
    QTest::newRow("no last communication")
        << a.Text() << int(CheckState::Unknown)
        << "SAT DESCONHECIDO - data da última comunicação com a SEFAZ não informada";

    QTest::newRow("busy is unknown, not critical")
        << QByteArray("000043|10098|0000|SAT em processamento. Tente novamente.||")
        << int(CheckState::Unknown)
        << "SAT DESCONHECIDO - 10098 SAT em processamento. Tente novamente.";
}

void StatusReadingTest::verdicts() {
    QFETCH(QByteArray, raw);
    QFETCH(int, state);
    QFETCH(QString, start);
    const CheckResult result = JudgeStatus(Read(raw), CheckThresholds{});
    const QString line = QString::fromStdString(result.line);
    QVERIFY2(line.startsWith(start), qPrintable(line));
    QCOMPARE(int(result.state), state);
    QVERIFY(!line.contains(QLatin1Char('\n')));
}

void StatusReadingTest::thresholdValues_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value"); // -1: refused
    QTest::newRow("whole") << "7" << 7.0;
    QTest::newRow("decimal point") << "2.5" << 2.5;
    QTest::newRow("decimal comma") << "2,5" << 2.5;
    QTest::newRow("zero") << "0" << 0.0;
    QTest::newRow("negative") << "-1" << -1.0;
    QTest::newRow("unit") << "80%" << -1.0;
    QTest::newRow("trailing point") << "8." << -1.0;
    QTest::newRow("empty") << "" << -1.0;
}

void StatusReadingTest::thresholdValues() {
    QFETCH(QString, text);
    QFETCH(double, value);
    const auto parsed = ParseThresholdValue(text.toStdString());
    QCOMPARE(parsed.value_or(-1.0), value);
}

void StatusReadingTest::jsonParsesWithTypes() {
    Answer answer;
    answer.first = Key(5);
    answer.final = Key(7);
    answer.state = "2";
    const std::string text = FormatStatusJson(Read(answer.Text()));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject json = document.object();
    QCOMPARE(json.value("sucesso"), QJsonValue(true));
    QCOMPARE(json.value("numeroSessao"), QJsonValue(42));
    QCOMPARE(json.value("EEEEE"), QJsonValue("10000"));
    QCOMPARE(json.value("cod"), QJsonValue(QJsonValue::Null));
    QCOMPARE(json.value("NSERIE"), QJsonValue("900004019"));
    QCOMPARE(json.value("MT_TOTAL").toDouble(), 4294967296.0);
    QCOMPARE(json.value("MT_USADA").toDouble(), 272629760.0);
    QCOMPARE(json.value("DH_ATUAL"), QJsonValue("2024-03-10T12:00:00-03:00"));
    QCOMPARE(json.value("DH_ULTIMA"), QJsonValue("2024-03-08T12:00:00-03:00"));
    QCOMPARE(json.value("DH_CFE"), QJsonValue(QJsonValue::Null));
    QCOMPARE(json.value("CERT_VENCIMENTO"), QJsonValue("2024-04-10"));
    QCOMPARE(json.value("ULTIMO_CF_E_SAT"), QJsonValue(QJsonValue::Null)); // zeros
    QCOMPARE(json.value("LISTA_INICIAL"), QJsonValue(QString::fromLatin1(Key(5))));
    const QJsonObject state = json.value("ESTADO_OPERACAO").toObject();
    QCOMPARE(state.value("numero"), QJsonValue(2));
    QCOMPARE(state.value("nome"), QJsonValue("BLOQUEIO CONTRIBUINTE"));
    QCOMPARE(json.value("dias_sem_comunicacao_sefaz"), QJsonValue(2));
    QCOMPARE(json.value("dias_ate_vencimento_certificado"), QJsonValue(30.5));
    QCOMPARE(json.value("cfe_aguardando_transmissao"), QJsonValue(3));
    QCOMPARE(json.value("fracao_memoria_usada"), QJsonValue(0.0635));
    QCOMPARE(json.keys().size(), 6 + 23 + 4);
}

void StatusReadingTest::failedQueryJson_data() {
    QTest::addColumn<QByteArray>("raw"); // empty: no answer at all
    QTest::addColumn<QJsonValue>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("busy") << QByteArray(
                                 "000043|10098|0000|SAT em processamento. Tente novamente.||")
                          << QJsonValue("10098") << "SAT em processamento. Tente novamente.";
    QTest::newRow("quotes and a line break in the message")
        << QByteArray("000044|10099|Erro \"interno\"\r\nno SAT||") << QJsonValue("10099")
        << "Erro \"interno\"\r\nno SAT";
    QTest::newRow("no library") << QByteArray() << QJsonValue(QJsonValue::Null)
                                << "Biblioteca Vexa® não localizada !";
}

void StatusReadingTest::failedQueryJson() {
    QFETCH(QByteArray, raw);
    QFETCH(QJsonValue, code);
    QFETCH(QString, message);
    const StatusReading reading =
        raw.isEmpty() ? NoAnswerReading(message.toStdString()) : Read(raw);
    QJsonParseError error;
    const QJsonObject json =
        QJsonDocument::fromJson(QByteArray::fromStdString(FormatStatusJson(reading)), &error)
            .object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(json.value("sucesso"), QJsonValue(false));
    QCOMPARE(json.value("EEEEE"), code);
    QCOMPARE(json.value("mensagem").toString(), message);
    QVERIFY(!json.contains("NSERIE"));
}

void StatusReadingTest::metricsLeaveOutWhatIsMissing() {
    Answer answer;
    answer.total = "?";
    answer.state = "x";
    const QString text = QString::fromStdString(FormatStatusMetrics(Read(answer.Text())));
    QVERIFY(text.contains("dravovexa_sat_up{serie=\"900004019\"} 1\n"));
    QVERIFY(text.contains("dravovexa_sat_memory_used_bytes{serie=\"900004019\"} 272629760\n"));
    QVERIFY(!text.contains("dravovexa_sat_memory_total_bytes"));
    QVERIFY(!text.contains("dravovexa_sat_memory_used_ratio"));
    QVERIFY(!text.contains("dravovexa_sat_operating_state"));
    QVERIFY(text.contains("dravovexa_sat_sefaz_communication_age_seconds{serie=\"900004019\"} "
                          "172800\n"));

    const QString down = QString::fromStdString(
        FormatStatusMetrics(Read("000043|10098|0000|SAT em processamento. Tente novamente.||")));
    QCOMPARE(down, "# HELP dravovexa_sat_up 1 quando o SAT respondeu à consulta de status "
                   "operacional (10000), 0 quando não respondeu ou recusou.\n"
                   "# TYPE dravovexa_sat_up gauge\n"
                   "dravovexa_sat_up 0\n"
                   "# HELP dravovexa_sat_return_code Código de retorno (EEEEE) da consulta de "
                   "status operacional.\n"
                   "# TYPE dravovexa_sat_return_code gauge\n"
                   "dravovexa_sat_return_code 10098\n");
}

QTEST_GUILESS_MAIN(StatusReadingTest)
#include "test_status_reading.moc"
