// The operations and wrappers against the fake SAT library, loaded through
// the real loader: what each function receives, how each answer is decoded,
// which dialogs report it and in which order, and what every failure leaves.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <utility>

#include "sat/un_global.h"
#include "tests/fake_sat/fake_sat_control.h"
#include "tests/sat_core/cp1252_literals.h"
#include "tests/sat_core/recording_user_interface.h"
#include "tests/sat_core/sat_operation_runner.h"

namespace {

// The arguments after the session number: "i:35" for a number, "t:text" for
// a text, "null" for a null pointer; joined by ",".
QByteArray DescribeArguments(const std::vector<FakeSatArgument>& arguments) {
    QByteArrayList parts;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const FakeSatArgument& argument = arguments[i];
        switch (argument.kind) {
        case FakeSatArgument::Kind::Number:
            parts.append("i:" + QByteArray::number(argument.number));
            break;
        case FakeSatArgument::Kind::Text:
            parts.append("t:" + Bytes(argument.text));
            break;
        case FakeSatArgument::Kind::NullText:
            parts.append("null");
            break;
        }
    }
    return parts.join(',');
}

bool Run(SatSession& session, const QByteArray& exportName) {
    const int index = SatOperationIndex(exportName.toStdString());
    if (index < 0) {
        qFatal("no operation calls %s", exportName.constData());
    }
    return kSatOperations[static_cast<std::size_t>(index)].run(session);
}

} // namespace

class SatOperationsTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void answers_data();
    void answers();
    void errorPath_data();
    void errorPath();
    void nullAnswer_data();
    void nullAnswer();
    void arguments_data();
    void arguments();
    void textEncodingPerArgument_data();
    void textEncodingPerArgument();
    void emptyTextsArriveAsEmptyStrings_data();
    void emptyTextsArriveAsEmptyStrings();
    void stateCodeArrivesAsInteger_data();
    void stateCodeArrivesAsInteger();
    void codeChangeOption_data();
    void codeChangeOption();
    void settingsNotWritable_data();
    void settingsNotWritable();
    void consecutiveSessionNumbers();
    void missingEntryPointConsumesSessionNumber();
    void statusRecordKeepsOldFieldsOnRefusal();
    void shortStatusAnswerIsReportedByItsOwnFields();
    void versaoDll();
    void versaoDllMissing();
    void versaoDllNullAnswer();
    void lastCallRecordsKindAndRawAnswer();

private:
    FakeSat fake_{FakeSatVariant::Full};
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<RecordingUserInterface> ui_;
    std::unique_ptr<SatSession> session_;

    QString SettingsPath() const { return folder_->filePath(QStringLiteral("dravovexa.ini")); }
    std::unique_ptr<SatSession> NewSession(const std::string& libraryPath) {
        auto session =
            std::make_unique<SatSession>(*ui_, SettingsPath().toStdString(), libraryPath);
        if (!session->BindSatLibrary()) {
            qFatal("cannot bind %s", libraryPath.c_str());
        }
        return session;
    }
};

void SatOperationsTest::init() {
    fake_.Reset();
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    ui_ = std::make_unique<RecordingUserInterface>();
    session_ = NewSession(fake_.LibraryPath());
}

void SatOperationsTest::answers_data() {
    QTest::addColumn<QByteArray>("operation");    // the export it calls
    QTest::addColumn<QByteArray>("answer");       // UTF-8, as the library sends it
    QTest::addColumn<QByteArray>("lastResponse"); // UTF-8 of the expected Windows-1252 text
    QTest::addColumn<QByteArrayList>("events");   // UTF-8 of the expected texts
    QTest::addColumn<bool>("result");

    const QByteArray hide("FechaAguarde");

    // Report profile: fields, padding, the two dialogs.
    QTest::newRow("ConsultarSAT three fields and two separators")
        << QByteArray("ConsultarSAT") << QByteArray("7|08000|SAT em operação||")
        << QByteArray("7|08000|SAT em operação||")
        << QByteArrayList{hide, "08000\r\nSAT em operação[i]"} << true;
    QTest::newRow("ConsultarSAT blank SEFAZ message shows no dialog")
        << QByteArray("ConsultarSAT") << QByteArray("7|08000|OK||   ")
        << QByteArray("7|08000|OK||   ") << QByteArrayList{hide, "08000\r\nOK[i]"} << true;
    QTest::newRow("ConsultarSAT SEFAZ message first")
        << QByteArray("ConsultarSAT") << QByteArray("7|08000|OK||Aviso da SEFAZ")
        << QByteArray("7|08000|OK||Aviso da SEFAZ")
        << QByteArrayList{hide, "Mensagem SEFAZ\r\nAviso da SEFAZ[i]", "08000\r\nOK[i]"} << true;
    QTest::newRow("ConsultarSAT code with blanks around")
        << QByteArray("ConsultarSAT") << QByteArray("7| 08000 |OK||")
        << QByteArray("7| 08000 |OK||") << QByteArrayList{hide, " 08000 \r\nOK[i]"} << true;
    QTest::newRow("ConsultarSAT code followed by a tab")
        << QByteArray("ConsultarSAT") << QByteArray("7|08000\t|OK||")
        << QByteArray("7|08000\t|OK||") << QByteArrayList{hide, "08000\t\r\nOK[i]"} << false;
    QTest::newRow("ConsultarSAT short answer padded")
        << QByteArray("ConsultarSAT") << QByteArray("7|08000") << QByteArray("7|08000|||")
        << QByteArrayList{hide, "08000\r\n[i]"} << true;
    QTest::newRow("ConsultarSAT invalid UTF-8 message becomes empty")
        << QByteArray("ConsultarSAT") << QByteArray("7|08000|\xff||") << QByteArray("7|08000|||")
        << QByteArrayList{hide, "08000\r\n[i]"} << true;
    QTest::newRow("ConsultarSAT invalid UTF-8 code fails")
        << QByteArray("ConsultarSAT") << QByteArray("7|08000\xc3|ok||") << QByteArray("7||ok||")
        << QByteArrayList{hide, "\r\nok[i]"} << false;
    QTest::newRow("ConfigurarInterfaceDeRede")
        << QByteArray("ConfigurarInterfaceDeRede")
        << QByteArray("7|12000|Rede configurada com sucesso||")
        << QByteArray("7|12000|Rede configurada com sucesso||")
        << QByteArrayList{hide, "12000\r\nRede configurada com sucesso[i]"} << true;
    QTest::newRow("AtivarSAT decodes its certificate request")
        << QByteArray("AtivarSAT") << QByteArray("7|04000|Ativado corretamente|||TWFu")
        << QByteArray("7|04000|Ativado corretamente|||Man")
        << QByteArrayList{hide, "04000\r\nAtivado corretamente[i]"} << true;
    QTest::newRow("AtivarSAT refusal padded to six")
        << QByteArray("AtivarSAT") << QByteArray("7|04003|SAT já ativado||")
        << QByteArray("7|04003|SAT já ativado|||")
        << QByteArrayList{hide, "04003\r\nSAT já ativado[i]"} << false;
    QTest::newRow("AssociarAssinatura")
        << QByteArray("AssociarAssinatura") << QByteArray("7|13000|Assinatura do AC registrada||")
        << QByteArray("7|13000|Assinatura do AC registrada||")
        << QByteArrayList{hide, "13000\r\nAssinatura do AC registrada[i]"} << true;
    QTest::newRow("TrocarCodigoDeAtivacao")
        << QByteArray("TrocarCodigoDeAtivacao")
        << QByteArray("7|18000|Código de ativação alterado com sucesso||")
        << QByteArray("7|18000|Código de ativação alterado com sucesso||")
        << QByteArrayList{hide, "18000\r\nCódigo de ativação alterado com sucesso[i]"} << true;
    QTest::newRow("ExtrairLogs decodes the log with CR LF")
        << QByteArray("ExtrairLogs") << QByteArray("7|15000|Transferência completa|||YQpi")
        << QByteArray("7|15000|Transferência completa|||a\r\nb")
        << QByteArrayList{hide, "15000\r\nTransferência completa[i]"} << true;
    QTest::newRow("EnviarDadosVenda positions and nine fields kept")
        << QByteArray("EnviarDadosVenda")
        << QByteArray("7|06000|0000|Emitido com sucesso + conteúdo notas|100|Autorizado|TWFu|"
                      "20150718154423|CFe35150708723218000186599000040190000215133408|2.00||c2ln")
        << QByteArray("7|06000|0000|Emitido com sucesso + conteúdo notas|100|Autorizado|Man|"
                      "20150718154423|CFe35150708723218000186599000040190000215133408")
        << QByteArrayList{hide, "Mensagem SEFAZ\r\nAutorizado[i]",
                          "06000\r\nEmitido com sucesso + conteúdo notas[i]"}
        << true;
    QTest::newRow("EnviarDadosVenda refusal of six fields padded")
        << QByteArray("EnviarDadosVenda")
        << QByteArray("7|06001|0000|Código de ativação inválido||")
        << QByteArray("7|06001|0000|Código de ativação inválido|||||")
        << QByteArrayList{hide, "06001\r\nCódigo de ativação inválido[i]"} << false;
    QTest::newRow("CancelarUltimaVenda twelve fields")
        << QByteArray("CancelarUltimaVenda")
        << QByteArray("7|07000|0000|Cupom cancelado com sucesso|||TWFu|20150718160000|CFe35|"
                      "2.00||c2ln")
        << QByteArray("7|07000|0000|Cupom cancelado com sucesso|||Man|20150718160000|CFe35|"
                      "2.00||c2ln")
        << QByteArrayList{hide, "07000\r\nCupom cancelado com sucesso[i]"} << true;
    // The message is decoded like every other answer's, so its accents reach
    // the dialog intact.
    QTest::newRow("CancelarUltimaVenda message with accents")
        << QByteArray("CancelarUltimaVenda")
        << QByteArray("7|07001|0000|Código de ativação inválido||")
        << QByteArray("7|07001|0000|Código de ativação inválido||||||||")
        << QByteArrayList{hide, "07001\r\nCódigo de ativação inválido[i]"} << false;
    // A field that is not UTF-8 (here a Windows-1252 message) is kept as
    // received, not emptied.
    QTest::newRow("CancelarUltimaVenda field that is not UTF-8 kept as received")
        << QByteArray("CancelarUltimaVenda") << QByteArray("7|07002|0000|Cupom inv\xe1lido||")
        << QByteArray("7|07002|0000|Cupom inválido||||||||")
        << QByteArrayList{hide, "07002\r\nCupom inválido[i]"} << false;

    // Status profile.
    QTest::newRow("ConsultarStatusOperacional quoted form")
        << QByteArray("ConsultarStatusOperacional")
        << QByteArray("7|10000|Resposta com sucesso||Atenção|900004019")
        << QByteArray("\"7\",\"10000\",\"Resposta com sucesso\",\"\",\"Atenção\",\"900004019\"")
        << QByteArrayList{hide, "Mensagem SEFAZ\r\nAtenção[i]", "10000\r\nResposta com sucesso[i]"}
        << true;

    // End-to-end profile: the payload stays encoded.
    QTest::newRow("TesteFimAFim payload left encoded")
        << QByteArray("TesteFimAFim")
        << QByteArray("7|09000|Emitido com sucesso|||TWFu|20150718154423|000001|CFe35")
        << QByteArray("\"7\",\"09000\",\"Emitido com sucesso\",\"\",\"\",\"TWFu\","
                      "\"20150718154423\",\"000001\",\"CFe35\"")
        << QByteArrayList{hide, "09000\r\nEmitido com sucesso[i]"} << true;
    QTest::newRow("TesteFimAFim invalid byte empties the quoted form")
        << QByteArray("TesteFimAFim") << QByteArray("7|09000|Emitido \xff|||TWFu")
        << QByteArray("\"\"") << QByteArrayList{hide, "09000\r\n[i]"} << false;

    // Silent profile: no dialog, no hiding of the wait panel.
    QTest::newRow("ConsultarNumeroSessao own refusal answers")
        << QByteArray("ConsultarNumeroSessao") << QByteArray("7|11003|Sessão não existe||")
        << QByteArray("\"7\",\"11003\",\"Sessão não existe\",\"\",\"\"") << QByteArrayList{}
        << true;
    QTest::newRow("ConsultarNumeroSessao looked-up sale")
        << QByteArray("ConsultarNumeroSessao") << QByteArray("123|06000|0000|Emitido|||PENG")
        << QByteArray("\"123\",\"06000\",\"0000\",\"Emitido\",\"\",\"\",\"PENG\"")
        << QByteArrayList{} << false;
    QTest::newRow("BloquearSAT four fields")
        << QByteArray("BloquearSAT") << QByteArray("7|16000|Equipamento SAT bloqueado com sucesso|")
        << QByteArray("\"7\",\"16000\",\"Equipamento SAT bloqueado com sucesso\",\"\"")
        << QByteArrayList{} << true;

    // The six-field busy answer carries its message in field 4 whatever the
    // function: never the detail code "0000" in the message's place.
    const QByteArray busyMessage = "SAT em processamento. Tente novamente.";
    for (const auto& [operation, code] : {std::pair{"ConsultarSAT", "08098"},
                                          {"ExtrairLogs", "15098"},
                                          {"EnviarDadosVenda", "06098"},
                                          {"ConsultarStatusOperacional", "10098"},
                                          {"TesteFimAFim", "09098"},
                                          {"TrocarCodigoDeAtivacao", "18098"}}) {
        QTest::newRow((QByteArray(operation) + " busy answer").constData())
            << QByteArray(operation) << "005877|" + QByteArray(code) + "|0000|" + busyMessage + "||"
            << QByteArray() << QByteArrayList{hide, QByteArray(code) + "\r\n" + busyMessage + "[i]"}
            << false;
    }
    QTest::newRow("ConsultarSAT busy answer with a SEFAZ message")
        << QByteArray("ConsultarSAT") << "005877|08098|0000|" + busyMessage + "||Aviso"
        << QByteArray()
        << QByteArrayList{hide, "Mensagem SEFAZ\r\nAviso[i]", "08098\r\n" + busyMessage + "[i]"}
        << false;
    // Not the busy layout: five fields, or a third field that is no detail code.
    QTest::newRow("ConsultarSAT xx098 in five fields")
        << QByteArray("ConsultarSAT") << QByteArray("7|08098|Ocupado||")
        << QByteArray("7|08098|Ocupado||") << QByteArrayList{hide, "08098\r\nOcupado[i]"} << false;
    QTest::newRow("ConsultarSAT six fields, third not a detail code")
        << QByteArray("ConsultarSAT") << QByteArray("7|08098|Ocupado|||x")
        << QByteArray("7|08098|Ocupado||") << QByteArrayList{hide, "08098\r\nOcupado[i]"} << false;

    // Raw profile: never judged.
    QTest::newRow("DesbloquearSAT keeps its pipes")
        << QByteArray("DesbloquearSAT")
        << QByteArray("7|17000|Equipamento SAT desbloqueado com sucesso||")
        << QByteArray("7|17000|Equipamento SAT desbloqueado com sucesso||") << QByteArrayList{}
        << false;
}

void SatOperationsTest::answers() {
    QFETCH(QByteArray, operation);
    QFETCH(QByteArray, answer);
    QFETCH(QByteArray, lastResponse);
    QFETCH(QByteArrayList, events);
    QFETCH(bool, result);

    fake_.SetAnswer(operation.toStdString(), answer.toStdString());
    QCOMPARE(Run(*session_, operation), result);
    // An empty expectation: the row checks the dialogs alone.
    if (!lastResponse.isEmpty()) {
        QCOMPARE(Bytes(session_->LastResponse), W(lastResponse.constData()));
    }
    QCOMPARE(ui_->events, WList(events));
    QCOMPARE(fake_.CallCount(operation.toStdString()), 1);
}

void SatOperationsTest::errorPath_data() {
    QTest::addColumn<QByteArray>("operation"); // the export it calls
    QTest::addColumn<QByteArray>("answer");
    for (const SatOperationCase& operation : kSatOperations) {
        const QByteArray name(operation.exportName.data());
        QTest::newRow((name + " error text").constData())
            << name << QByteArray("Falha de comunicação com o equipamento SAT");
        QTest::newRow((name + " empty answer").constData()) << name << QByteArray("");
    }
}

void SatOperationsTest::errorPath() {
    QFETCH(QByteArray, operation);
    QFETCH(QByteArray, answer);

    session_->LastResponse = "texto anterior";
    fake_.SetAnswer(operation.toStdString(), answer.toStdString());
    QVERIFY(!Run(*session_, operation));
    QCOMPARE(Bytes(session_->LastResponse), W(answer.constData()));
    // One error dialog, shown over the wait panel (not hidden first).
    QCOMPARE(ui_->events, QByteArrayList{W(answer.constData()) + "[e]"});
    QCOMPARE(session_->LastCall().kind, SatAnswerKind::ErrorText);
}

void SatOperationsTest::nullAnswer_data() {
    QTest::addColumn<QByteArray>("operation"); // the export it calls
    for (const SatOperationCase& operation : kSatOperations) {
        QTest::newRow(operation.exportName.data()) << QByteArray(operation.exportName.data());
    }
}

void SatOperationsTest::nullAnswer() {
    QFETCH(QByteArray, operation);

    fake_.SetNullAnswer(operation.toStdString());
    QVERIFY(!Run(*session_, operation));
    const QByteArray text = operation + W(" não retornou resposta");
    QCOMPARE(Bytes(session_->LastResponse), text);
    // The wait panel goes before the dialog, as for every answer.
    QCOMPARE(ui_->events, (QByteArrayList{"FechaAguarde", text + "[e]"}));
    QCOMPARE(session_->LastCall().kind, SatAnswerKind::NullAnswer);
}

void SatOperationsTest::arguments_data() {
    QTest::addColumn<QByteArray>("operation"); // the export it calls
    QTest::addColumn<QByteArray>("arguments");

    QTest::newRow("ConfigurarInterfaceDeRede")
        << QByteArray("ConfigurarInterfaceDeRede") << QByteArray("t:COD,t:<config/>");
    QTest::newRow("AtivarSAT") << QByteArray("AtivarSAT")
                               << QByteArray("i:1,t:COD,t:61099008000141,i:35");
    QTest::newRow("AssociarAssinatura")
        << QByteArray("AssociarAssinatura")
        << QByteArray("t:COD,t:1671611400017261099008000141,t:SGR-SAT");
    QTest::newRow("ConsultarSAT") << QByteArray("ConsultarSAT") << QByteArray("");
    QTest::newRow("ConsultarStatusOperacional")
        << QByteArray("ConsultarStatusOperacional") << QByteArray("t:COD");
    QTest::newRow("ConsultarNumeroSessao")
        << QByteArray("ConsultarNumeroSessao") << QByteArray("t:COD,i:123");
    QTest::newRow("ExtrairLogs") << QByteArray("ExtrairLogs") << QByteArray("t:COD");
    QTest::newRow("TesteFimAFim") << QByteArray("TesteFimAFim") << QByteArray("t:COD,t:<CFe/>");
    QTest::newRow("EnviarDadosVenda")
        << QByteArray("EnviarDadosVenda") << QByteArray("t:COD,t:<CFe/>");
    QTest::newRow("CancelarUltimaVenda")
        << QByteArray("CancelarUltimaVenda") << QByteArray("t:COD,t: CFe35 ,t:<CFeCanc/>");
    QTest::newRow("BloquearSAT") << QByteArray("BloquearSAT") << QByteArray("t:COD");
    QTest::newRow("DesbloquearSAT") << QByteArray("DesbloquearSAT") << QByteArray("t:COD");
    QTest::newRow("AtualizarSoftwareSAT")
        << QByteArray("AtualizarSoftwareSAT") << QByteArray("t:COD");
    QTest::newRow("TrocarCodigoDeAtivacao sends codigoAtual, not codigoDeAtivacao")
        << QByteArray("TrocarCodigoDeAtivacao") << QByteArray("t:ATUAL,i:1,t:NOVO,t:CONF");
}

void SatOperationsTest::arguments() {
    QFETCH(QByteArray, operation);
    QFETCH(QByteArray, arguments);

    session_->codigoDeAtivacao = "COD";
    session_->subComando = 1;
    session_->cnpjContribuinte = "61099008000141";
    session_->cUF = "35";
    session_->CNPJvalue = "1671611400017261099008000141";
    session_->assinaturaCNPJs = "SGR-SAT";
    session_->codigoAtual = "ATUAL";
    session_->novoCodigo = "NOVO";
    session_->confNovoCodigo = "CONF";
    session_->dadosConfiguracao = "<config/>";
    session_->dadosVenda = "<CFe/>";
    session_->chave = " CFe35 ";
    session_->dadosCancelamento = "<CFeCanc/>";

    Run(*session_, operation);
    const std::vector<FakeSatArgument> received = fake_.LastArguments(operation.toStdString());
    QVERIFY(!received.empty());
    QCOMPARE(received[0].kind, FakeSatArgument::Kind::Number);
    QCOMPARE(received[0].number, 1); // the first session number of a new settings file
    QCOMPARE(DescribeArguments(received), arguments);
    QCOMPARE(session_->SessionNumber, 1);
}

// The network document declares UTF-8 and is converted to it; every other
// text, documents read from files included, goes as the bytes it holds.
void SatOperationsTest::textEncodingPerArgument_data() {
    QTest::addColumn<QByteArray>("operation");
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("argumentIndex");
    QTest::addColumn<QByteArray>("held");
    QTest::addColumn<QByteArray>("sent");
    const QByteArray config =
        "<config><usuario>Jo\xe3o</usuario><senha>a\xe7\xe3o\x80</senha></config>";
    QTest::newRow("network document: accented user and password as UTF-8")
        << QByteArray("ConfigurarInterfaceDeRede") << QByteArray("dadosConfiguracao") << 2 << config
        << QByteArray("<config><usuario>Jo\xc3\xa3o</usuario><senha>a\xc3\xa7\xc3\xa3o"
                      "\xe2\x82\xac</senha></config>");
    QTest::newRow("network document: activation code stays Windows-1252")
        << QByteArray("ConfigurarInterfaceDeRede") << QByteArray("codigoDeAtivacao") << 1
        << QByteArray("c\xf3"
                      "digo")
        << QByteArray("c\xf3"
                      "digo");
    QTest::newRow("sale document stays raw")
        << QByteArray("EnviarDadosVenda") << QByteArray("dadosVenda") << 2
        << QByteArray("<xProd>A\xc7\xda"
                      "CAR</xProd>")
        << QByteArray("<xProd>A\xc7\xda"
                      "CAR</xProd>");
    QTest::newRow("test sale document stays raw")
        << QByteArray("TesteFimAFim") << QByteArray("dadosVenda") << 2
        << QByteArray("<xProd>caf\xc3\xa9</xProd>") << QByteArray("<xProd>caf\xc3\xa9</xProd>");
    QTest::newRow("cancellation document stays raw")
        << QByteArray("CancelarUltimaVenda") << QByteArray("dadosCancelamento") << 3
        << QByteArray("<xObs>n\xe3o</xObs>") << QByteArray("<xObs>n\xe3o</xObs>");
}

void SatOperationsTest::textEncodingPerArgument() {
    QFETCH(QByteArray, operation);
    QFETCH(QByteArray, field);
    QFETCH(int, argumentIndex);
    QFETCH(QByteArray, held);
    QFETCH(QByteArray, sent);

    const std::string text = held.toStdString();
    if (field == "dadosConfiguracao") {
        session_->dadosConfiguracao = text;
    } else if (field == "codigoDeAtivacao") {
        session_->codigoDeAtivacao = text;
    } else if (field == "dadosVenda") {
        session_->dadosVenda = text;
    } else {
        session_->dadosCancelamento = text;
    }

    Run(*session_, operation);
    const std::vector<FakeSatArgument> received = fake_.LastArguments(operation.toStdString());
    QVERIFY(received.size() > static_cast<std::size_t>(argumentIndex));
    const FakeSatArgument& argument = received[static_cast<std::size_t>(argumentIndex)];
    QCOMPARE(argument.kind, FakeSatArgument::Kind::Text);
    QCOMPARE(Bytes(argument.text), sent);
}

void SatOperationsTest::emptyTextsArriveAsEmptyStrings_data() {
    nullAnswer_data();
}

void SatOperationsTest::emptyTextsArriveAsEmptyStrings() {
    QFETCH(QByteArray, operation);

    Run(*session_, operation);
    for (const FakeSatArgument& argument : fake_.LastArguments(operation.toStdString())) {
        QVERIFY(argument.kind != FakeSatArgument::Kind::NullText);
        if (argument.kind == FakeSatArgument::Kind::Text) {
            QCOMPARE(Bytes(argument.text), QByteArray(""));
        }
    }
}

void SatOperationsTest::stateCodeArrivesAsInteger_data() {
    QTest::addColumn<QByteArray>("cUF");
    QTest::addColumn<int>("sent");
    QTest::newRow("São Paulo") << QByteArray("35") << 35;
    QTest::newRow("blanks around") << QByteArray(" 35 ") << 35;
    QTest::newRow("not a number") << QByteArray("SP") << 0;
}

void SatOperationsTest::stateCodeArrivesAsInteger() {
    QFETCH(QByteArray, cUF);
    QFETCH(int, sent);
    session_->cUF = cUF.toStdString();
    session_->RunAtivarSAT();
    const std::vector<FakeSatArgument> received = fake_.LastArguments("AtivarSAT");
    QCOMPARE(received.size(), std::size_t{5});
    QCOMPARE(received[4].kind, FakeSatArgument::Kind::Number);
    QCOMPARE(received[4].number, sent);
}

void SatOperationsTest::codeChangeOption_data() {
    QTest::addColumn<int>("itemIndex");
    QTest::addColumn<int>("opcao");
    QTest::newRow("activation code") << 0 << 1;
    QTest::newRow("emergency code") << 1 << 2;
}

void SatOperationsTest::codeChangeOption() {
    QFETCH(int, itemIndex);
    QFETCH(int, opcao);
    session_->RunTrocarCodigoDeAtivacao(itemIndex);
    const std::vector<FakeSatArgument> received = fake_.LastArguments("TrocarCodigoDeAtivacao");
    QCOMPARE(received.size(), std::size_t{5});
    QCOMPARE(received[2].number, opcao);
}

void SatOperationsTest::settingsNotWritable_data() {
    nullAnswer_data();
}

void SatOperationsTest::settingsNotWritable() {
    QFETCH(QByteArray, operation);

    // The settings file's folder is a regular file: nothing can be written there.
    QFile blocker(folder_->filePath(QStringLiteral("not-a-folder")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const std::string settings = blocker.fileName().toStdString() + "/dravovexa.ini";
    SatSession session(*ui_, settings, fake_.LibraryPath());
    QVERIFY(session.BindSatLibrary());
    session.LastResponse = "texto anterior";

    QVERIFY(!Run(session, operation));
    QCOMPARE(fake_.CallCount(operation.toStdString()), 0);
    // One error dialog that names the file, so that the click is not lost.
    QCOMPARE(ui_->events, QByteArrayList{W("Não foi possível gravar o arquivo de configurações") +
                                         "\r\n" + QByteArray(settings.c_str()) + "[e]"});
    QCOMPARE(Bytes(session.LastResponse), QByteArray("texto anterior"));
    QVERIFY(session.LastFailure().empty());
    QCOMPARE(session.LastCall().kind, SatAnswerKind::None);
}

void SatOperationsTest::consecutiveSessionNumbers() {
    fake_.SetAnswer("ExtrairLogs", "sem separador");
    QVERIFY(session_->RunConsultarSAT());
    QVERIFY(!session_->RunExtrairLogs()); // a failing answer consumes its number too
    QVERIFY(session_->RunBloquearSAT());

    QCOMPARE(fake_.LastArguments("ConsultarSAT")[0].number, 1);
    QCOMPARE(fake_.LastArguments("ExtrairLogs")[0].number, 2);
    QCOMPARE(fake_.LastArguments("BloquearSAT")[0].number, 3);
    QCOMPARE(fake_.CallSequence(), std::string("ConsultarSAT,ExtrairLogs,BloquearSAT"));

    QFile settings(SettingsPath());
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QVERIFY(settings.readAll().contains("VEXAS=3"));
}

void SatOperationsTest::missingEntryPointConsumesSessionNumber() {
    FakeSat withoutConsultar(FakeSatVariant::WithoutConsultarSAT);
    auto session = NewSession(withoutConsultar.LibraryPath());
    QVERIFY(!session->HasExport(SatExport::ConsultarSAT));

    QVERIFY(!session->RunConsultarSAT());
    QCOMPARE(Bytes(session->LastResponse), W("ConsultarSAT não carregada"));
    QCOMPARE(ui_->events, QByteArrayList{W("ConsultarSAT não carregada[e]")});
    QCOMPARE(session->SessionNumber, 1);
    QCOMPARE(session->LastCall().kind, SatAnswerKind::NotLoaded);

    QVERIFY(session->RunBloquearSAT());
    QCOMPARE(withoutConsultar.LastArguments("BloquearSAT")[0].number, 2);
}

void SatOperationsTest::statusRecordKeepsOldFieldsOnRefusal() {
    QVERIFY(session_->RunConsultarStatusOperacional()); // the fake's full answer
    const TSatStatusOperacional before = session_->StatusOperacional;
    QCOMPARE(Bytes(before.NSerie), QByteArray("900004019"));
    QCOMPARE(Bytes(before.NivelBateria), QByteArray("ALTO"));

    fake_.SetAnswer("ConsultarStatusOperacional",
                    "000099|10001|C\xc3\xb3"
                    "digo de ativa\xc3\xa7\xc3\xa3o inv\xc3\xa1lido||");
    QVERIFY(!session_->RunConsultarStatusOperacional());
    const TSatStatusOperacional& after = session_->StatusOperacional;
    QCOMPARE(Bytes(after.NumeroSessao), QByteArray("000099"));
    QCOMPARE(Bytes(after.CodigoRetorno), QByteArray("10001"));
    QCOMPARE(Bytes(after.Mensagem), W("Código de ativação inválido"));
    for (std::size_t k = 6; k <= kStatusOperacionalTexts; ++k) {
        QCOMPARE(Bytes(StatusOperacionalText(after, k)), Bytes(StatusOperacionalText(before, k)));
    }
    QCOMPARE(after.EstadoOperacao, before.EstadoOperacao);
}

void SatOperationsTest::shortStatusAnswerIsReportedByItsOwnFields() {
    QVERIFY(session_->RunConsultarStatusOperacional());
    ui_->events.clear();

    // The answer stops after its code: the record keeps the earlier query's
    // message, but the dialog reports this answer, which has none.
    fake_.SetAnswer("ConsultarStatusOperacional", "000100|10098");
    QVERIFY(!session_->RunConsultarStatusOperacional());
    QCOMPARE(Bytes(session_->StatusOperacional.CodigoRetorno), QByteArray("10098"));
    QCOMPARE(Bytes(session_->StatusOperacional.Mensagem), QByteArray("Resposta com sucesso"));
    QCOMPARE(ui_->events, (QByteArrayList{"FechaAguarde", "10098\r\n[i]"}));
}

void SatOperationsTest::versaoDll() {
    session_->LastResponse = "texto anterior";
    QCOMPARE(Bytes(session_->RunVersaoDLL()), QByteArray("01.00.00"));
    QCOMPARE(Bytes(session_->LastResponse), QByteArray("texto anterior"));
    QVERIFY(ui_->events.isEmpty());
    QVERIFY(!QFile::exists(SettingsPath())); // no session number taken

    fake_.SetAnswer("VersaoDLL", "vers\xc3\xa3o|1");
    QCOMPARE(Bytes(session_->RunVersaoDLL()), W("versão|1"));
    fake_.SetAnswer("VersaoDLL", "\xff");
    QCOMPARE(Bytes(session_->RunVersaoDLL()), QByteArray(""));
}

void SatOperationsTest::versaoDllMissing() {
    FakeSat withoutVersao(FakeSatVariant::WithoutVersaoDLL);
    auto session = NewSession(withoutVersao.LibraryPath());
    session->LastResponse = "texto anterior";
    QCOMPARE(Bytes(session->RunVersaoDLL()), QByteArray(""));
    QCOMPARE(ui_->events, QByteArrayList{W("VersaoDLL não carregada[e]")});
    QCOMPARE(Bytes(session->LastResponse), QByteArray("texto anterior"));
    QVERIFY(!QFile::exists(SettingsPath()));
}

void SatOperationsTest::versaoDllNullAnswer() {
    fake_.SetNullAnswer("VersaoDLL");
    session_->LastResponse = "texto anterior";
    QCOMPARE(Bytes(session_->RunVersaoDLL()), QByteArray(""));
    QCOMPARE(ui_->events,
             (QByteArrayList{"FechaAguarde", W("VersaoDLL não retornou resposta[e]")}));
    QCOMPARE(Bytes(session_->LastResponse), QByteArray("texto anterior"));
}

void SatOperationsTest::lastCallRecordsKindAndRawAnswer() {
    fake_.SetAnswer("DesbloquearSAT", "7|17005|SAT j\xc3\xa1 desbloqueado||");
    QVERIFY(!session_->RunDesbloquearSAT());
    QCOMPARE(session_->LastCall().kind, SatAnswerKind::Fields);
    // The answer's text went with the operation: the view does not outlive it
    // (the library's next call would free what it shows).
    QVERIFY(session_->LastCall().raw.empty());
    QCOMPARE(Bytes(session_->LastResponse), QByteArray("7|17005|SAT j\xe1 desbloqueado||"));

    QCOMPARE(Bytes(session_->RunVersaoDLL()), QByteArray("01.00.00"));
    QCOMPARE(session_->LastCall().kind, SatAnswerKind::Text);
}

QTEST_APPLESS_MAIN(SatOperationsTest)
#include "test_sat_operations.moc"
