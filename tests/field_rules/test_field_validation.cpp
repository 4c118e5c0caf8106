// The send-time checks of the activation, signature association and code
// change: order of the checks, their messages, what they write back and
// which operation parameters they fill.

#include <QByteArrayList>
#include <QTest>

#include <string>
#include <vector>

#include "rules/field_validation.h"
#include "tests/field_rules/message_recorder.h"

namespace {

const QByteArray kRevise = "\r\nRevise o mesmo e tente novamente.";
const QByteArray kReviseBoth = "\r\nRevise os mesmos e tente novamente.";

const QByteArray kCnpjMessage = "CNPJ incorreto !" + kRevise;
const QByteArray kCodeMessage = "Código de ATIVAÇÃO incorreto !" + kRevise;
const QByteArray kConfirmationMessage = "Código de ATIVAÇÃO de CONFIRMAÇÃO incorreto !" + kRevise;
const QByteArray kCodesDifferMessage =
    "Código de ATIVAÇÃO e ATIVAÇÃO de CONFIRMAÇÃO não coincidem !" + kReviseBoth;
const QByteArray kTaxpayerMessage = "CNPJ do Contribuinte para ASSINATURA incorreto !" + kRevise;
const QByteArray kSoftwareHouseMessage =
    "CNPJ da Software House para ASSINATURA incorreto !" + kRevise;
const QByteArray kSignatureMessage = "ASSINATURA incorreta !" + kRevise;
const QByteArray kCurrentCodeMessage =
    "Código de ATIVAÇÃO ATUAL ou de EMERGENCIA incorreto !" + kRevise;
const QByteArray kNewCodeMessage = "Código de ATIVAÇÃO NOVO incorreto !" + kRevise;
const QByteArray kNewConfirmationMessage =
    "Código de ATIVAÇÃO NOVO de CONFIRMAÇÃO incorreto !" + kRevise;
const QByteArray kNewCodesDifferMessage =
    "Código de ATIVAÇÃO NOVO e ATIVAÇÃO NOVO de CONFIRMAÇÃO não coincidem !" + kReviseBoth;

const QByteArray kTaxpayer = "61099008000141";
const QByteArray kSoftwareHouse = "16716114000172";

QByteArray Bytes(const std::string& s) {
    return QByteArray::fromStdString(s);
}

// Values an earlier run left in the parameters, so that a refusal can be
// seen to keep (or, for the code change, to clear) them.
CodeChangeParameters EarlierCodeChange() {
    return {"earlier-current", "earlier-new", "earlier-new"};
}

// One message on refusal, none on success.
void VerifyMessages(const MessageRecorder& recorder, bool ok, const QByteArray& message) {
    if (ok) {
        QCOMPARE(recorder.shown, QList<QByteArray>{});
    } else {
        QCOMPARE(recorder.shown, QList<QByteArray>{message});
    }
}

} // namespace

class TestFieldValidation : public QObject {
    Q_OBJECT

private slots:
    void normaliseCnpj_data();
    void normaliseCnpj();
    void activation_data();
    void activation();
    void signature_data();
    void signature();
    void codeChange_data();
    void codeChange();
};

void TestFieldValidation::normaliseCnpj_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("masked") << QByteArray("61.099.008/0001-41") << kTaxpayer;
    QTest::newRow("short gets zeros") << QByteArray("191") << QByteArray("00000000000191");
    QTest::newRow("empty") << QByteArray("") << QByteArray("00000000000000");
}

void TestFieldValidation::normaliseCnpj() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(Bytes(NormaliseCnpj(text.toStdString())), expected);
}

void TestFieldValidation::activation_data() {
    QTest::addColumn<QByteArray>("cnpj");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QByteArray>("confirmation");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("message");
    // What the fields hold afterwards.
    QTest::addColumn<QByteArray>("cnpjAfter");
    QTest::addColumn<QByteArray>("codeAfter");
    QTest::addColumn<QByteArray>("confirmationAfter");
    QTest::addColumn<QByteArray>("stateCode");

    QTest::newRow("all valid, São Paulo")
        << QByteArray("61.099.008/0001-41") << QByteArray("12345678") << QByteArray("12345678") << 0
        << true << QByteArray() << kTaxpayer << QByteArray("12345678") << QByteArray("12345678")
        << QByteArray("35");
    QTest::newRow("empty CNPJ passes as fourteen zeros")
        << QByteArray("") << QByteArray("12345678") << QByteArray("12345678") << 0 << true
        << QByteArray() << QByteArray("00000000000000") << QByteArray("12345678")
        << QByteArray("12345678") << QByteArray("35");
    QTest::newRow("codes trimmed before counting")
        << kTaxpayer << QByteArray("  12345678 ") << QByteArray(" 12345678") << 0 << true
        << QByteArray() << kTaxpayer << QByteArray("12345678") << QByteArray("12345678")
        << QByteArray("35");
    QTest::newRow("wrong check digit, checked first")
        << QByteArray("61099008000142") << QByteArray(" 1234567 ") << QByteArray("x") << 0 << false
        << kCnpjMessage << QByteArray("61099008000142") << QByteArray(" 1234567 ")
        << QByteArray("x") << QByteArray();
    QTest::newRow("code of 7 characters")
        << kTaxpayer << QByteArray(" 1234567 ") << QByteArray(" 1234567 ") << 0 << false
        << kCodeMessage << kTaxpayer << QByteArray("1234567") << QByteArray(" 1234567 ")
        << QByteArray();
    QTest::newRow("blank code") << kTaxpayer << QByteArray("   ") << QByteArray("12345678") << 0
                                << false << kCodeMessage << kTaxpayer << QByteArray("")
                                << QByteArray("12345678") << QByteArray();
    QTest::newRow("confirmation of 7 characters")
        << kTaxpayer << QByteArray("12345678") << QByteArray("1234567") << 0 << false
        << kConfirmationMessage << kTaxpayer << QByteArray("12345678") << QByteArray("1234567")
        << QByteArray();
    QTest::newRow("letter case differs")
        << kTaxpayer << QByteArray("Segredo123") << QByteArray("segredo123") << 0 << false
        << kCodesDifferMessage << kTaxpayer << QByteArray("Segredo123") << QByteArray("segredo123")
        << QByteArray();
}

void TestFieldValidation::activation() {
    QFETCH(QByteArray, cnpj);
    QFETCH(QByteArray, code);
    QFETCH(QByteArray, confirmation);
    QFETCH(int, state);
    QFETCH(bool, ok);
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, cnpjAfter);
    QFETCH(QByteArray, codeAfter);
    QFETCH(QByteArray, confirmationAfter);
    QFETCH(QByteArray, stateCode);

    ActivationFields fields{cnpj.toStdString(), code.toStdString(), confirmation.toStdString(),
                            state};
    const ActivationParameters earlier{"earlier-cnpj", "earlier-code", "99", 7};
    ActivationParameters activation = earlier;
    CodeChangeParameters codeChange = EarlierCodeChange();
    MessageRecorder recorder;

    QCOMPARE(ValidateActivationFields(fields, activation, codeChange, recorder.Shower()), ok);

    VerifyMessages(recorder, ok, message);
    QCOMPARE(Bytes(fields.ativar_cnpj), cnpjAfter);
    QCOMPARE(Bytes(fields.ativar_codigo), codeAfter);
    QCOMPARE(Bytes(fields.ativar_codigo_conf), confirmationAfter);
    QCOMPARE(fields.ativar_certificado_uf, state);
    // The code-change parameters are emptied whatever the outcome.
    QCOMPARE(Bytes(codeChange.codigoAtual), QByteArray());
    QCOMPARE(Bytes(codeChange.novoCodigo), QByteArray());
    QCOMPARE(Bytes(codeChange.confNovoCodigo), QByteArray());
    if (ok) {
        QCOMPARE(Bytes(activation.cnpjContribuinte), cnpjAfter);
        QCOMPARE(Bytes(activation.codigoDeAtivacao), codeAfter);
        QCOMPARE(Bytes(activation.cUF), stateCode);
        QCOMPARE(activation.subComando, 1);
    } else {
        QCOMPARE(Bytes(activation.cnpjContribuinte), Bytes(earlier.cnpjContribuinte));
        QCOMPARE(Bytes(activation.codigoDeAtivacao), Bytes(earlier.codigoDeAtivacao));
        QCOMPARE(Bytes(activation.cUF), Bytes(earlier.cUF));
        QCOMPARE(activation.subComando, earlier.subComando);
    }
}

void TestFieldValidation::signature_data() {
    QTest::addColumn<QByteArray>("taxpayer");
    QTest::addColumn<QByteArray>("softwareHouse");
    QTest::addColumn<QByteArrayList>("memo");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("signatureText");
    QTest::addColumn<QByteArray>("cnpjValue");

    const QByteArrayList signature{"  SGR-SAT-ASSINATURA", "QUEBRADA EM", "LINHAS  "};
    QTest::newRow("software house first")
        << QByteArray("61.099.008/0001-41") << QByteArray("16.716.114/0001-72") << signature << true
        << QByteArray() << QByteArray("SGR-SAT-ASSINATURAQUEBRADA EMLINHAS")
        << kSoftwareHouse + kTaxpayer;
    QTest::newRow("leading zeros restored")
        << QByteArray("191") << kSoftwareHouse << QByteArrayList{"abc"} << true << QByteArray()
        << QByteArray("abc") << kSoftwareHouse + "00000000000191";
    QTest::newRow("blank-only signature")
        << kTaxpayer << kSoftwareHouse << QByteArrayList{"   ", "", "  "} << false
        << kSignatureMessage << QByteArray() << QByteArray();
    QTest::newRow("taxpayer check digit")
        << QByteArray("61099008000142") << kSoftwareHouse << signature << false << kTaxpayerMessage
        << QByteArray() << QByteArray();
    QTest::newRow("software house check digit")
        << kTaxpayer << QByteArray("16716114000173") << signature << false << kSoftwareHouseMessage
        << QByteArray() << QByteArray();
    QTest::newRow("taxpayer checked before software house and signature")
        << QByteArray("61099008000142") << QByteArray("16716114000173") << QByteArrayList{} << false
        << kTaxpayerMessage << QByteArray() << QByteArray();
}

void TestFieldValidation::signature() {
    QFETCH(QByteArray, taxpayer);
    QFETCH(QByteArray, softwareHouse);
    QFETCH(QByteArrayList, memo);
    QFETCH(bool, ok);
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, signatureText);
    QFETCH(QByteArray, cnpjValue);

    SignatureFields fields{taxpayer.toStdString(), softwareHouse.toStdString(), {}};
    for (const QByteArray& line : memo) {
        fields.associar_assinatura.push_back(line.toStdString());
    }
    const std::vector<std::string> memoBefore = fields.associar_assinatura;
    const SignatureParameters earlier{"earlier-signature", "earlier-cnpjs"};
    SignatureParameters parameters = earlier;
    MessageRecorder recorder;

    QCOMPARE(ValidateSignatureFields(fields, parameters, recorder.Shower()), ok);

    VerifyMessages(recorder, ok, message);
    // Both CNPJs are written back as 14 digits whatever the outcome; the
    // memo is never changed.
    QCOMPARE(Bytes(fields.associar_cnpj), Bytes(NormaliseCnpj(taxpayer.toStdString())));
    QCOMPARE(Bytes(fields.associar_sh), Bytes(NormaliseCnpj(softwareHouse.toStdString())));
    QVERIFY(fields.associar_assinatura == memoBefore);
    if (ok) {
        QCOMPARE(Bytes(parameters.assinaturaCNPJs), signatureText);
        QCOMPARE(Bytes(parameters.CNPJvalue), cnpjValue);
        QCOMPARE(parameters.CNPJvalue.size(), std::size_t{28});
    } else {
        QCOMPARE(Bytes(parameters.assinaturaCNPJs), Bytes(earlier.assinaturaCNPJs));
        QCOMPARE(Bytes(parameters.CNPJvalue), Bytes(earlier.CNPJvalue));
    }
}

void TestFieldValidation::codeChange_data() {
    QTest::addColumn<QByteArray>("current");
    QTest::addColumn<QByteArray>("fresh");
    QTest::addColumn<QByteArray>("confirmation");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArrayList>("fieldsAfter");

    QTest::newRow("all valid, trimmed")
        << QByteArray(" atual123 ") << QByteArray("Novo12345") << QByteArray("Novo12345 ") << true
        << QByteArray() << QByteArrayList{"atual123", "Novo12345", "Novo12345"};
    QTest::newRow("current of 7, checked first")
        << QByteArray("atual12") << QByteArray("x") << QByteArray("y") << false
        << kCurrentCodeMessage << QByteArrayList{"atual12", "x", "y"};
    QTest::newRow("confirmation of 7")
        << QByteArray("atual123") << QByteArray("Novo12345") << QByteArray(" Novo123 ") << false
        << kNewConfirmationMessage << QByteArrayList{"atual123", "Novo12345", "Novo123"};
    QTest::newRow("letter case differs")
        << QByteArray("atual123") << QByteArray("Novo12345") << QByteArray("novo12345") << false
        << kNewCodesDifferMessage << QByteArrayList{"atual123", "Novo12345", "novo12345"};
}

void TestFieldValidation::codeChange() {
    QFETCH(QByteArray, current);
    QFETCH(QByteArray, fresh);
    QFETCH(QByteArray, confirmation);
    QFETCH(bool, ok);
    QFETCH(QByteArray, message);
    QFETCH(QByteArrayList, fieldsAfter);

    CodeChangeFields fields{current.toStdString(), fresh.toStdString(), confirmation.toStdString()};
    CodeChangeParameters parameters = EarlierCodeChange();
    MessageRecorder recorder;

    QCOMPARE(ValidateCodeChangeFields(fields, parameters, recorder.Shower()), ok);

    VerifyMessages(recorder, ok, message);
    const QByteArrayList after{Bytes(fields.manutencao_cod_ativacao),
                               Bytes(fields.manutencao_cod_ativacao_novo),
                               Bytes(fields.manutencao_cod_ativacao_novo_conf)};
    QCOMPARE(after, fieldsAfter);
    // A refusal leaves the three parameters empty, not as the earlier run
    // left them.
    const QByteArrayList expected = ok ? fieldsAfter : QByteArrayList{"", "", ""};
    const QByteArrayList parametersAfter{Bytes(parameters.codigoAtual),
                                         Bytes(parameters.novoCodigo),
                                         Bytes(parameters.confNovoCodigo)};
    QCOMPARE(parametersAfter, expected);
}

QTEST_APPLESS_MAIN(TestFieldValidation)
#include "test_field_validation.moc"
