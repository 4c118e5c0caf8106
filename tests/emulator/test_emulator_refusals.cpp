// Every refusal a user can cause, through the library as the program loads it.

#include "emulator_harness.h"

#include <QFile>
#include <QSaveFile>
#include <QTest>

namespace {

// Calls the function `name` with the activation code and harmless other
// arguments; the other tests drive the arguments themselves.
SatAnswer CallWithCode(SatLibrary& sat, const QByteArray& name, int session,
                       const QByteArray& code) {
    const QByteArray pair = QByteArray(kSoftwareHouse) + kTaxpayer;
    const QByteArray key = "CFe35250161099008000141599000123450000011234565";
    if (name == "ConsultarSAT")
        return Take(sat.ConsultarSAT(session));
    if (name == "ConsultarStatusOperacional")
        return Take(sat.ConsultarStatusOperacional(session, code));
    if (name == "EnviarDadosVenda")
        return Take(sat.EnviarDadosVenda(session, code, SaleDocument()));
    if (name == "CancelarUltimaVenda")
        return Take(sat.CancelarUltimaVenda(session, code, key, CancellationDocument(key.mid(3))));
    if (name == "TesteFimAFim")
        return Take(sat.TesteFimAFim(session, code, SaleDocument()));
    if (name == "ConsultarNumeroSessao")
        return Take(sat.ConsultarNumeroSessao(session, code, 1));
    if (name == "ConsultarUltimaSessaoFiscal")
        return Take(sat.ConsultarUltimaSessaoFiscal(session, code));
    if (name == "ConfigurarInterfaceDeRede")
        return Take(sat.ConfigurarInterfaceDeRede(session, code, NetworkDocument()));
    if (name == "AssociarAssinatura")
        return Take(sat.AssociarAssinatura(session, code, pair, kSignature));
    if (name == "AtualizarSoftwareSAT")
        return Take(sat.AtualizarSoftwareSAT(session, code));
    if (name == "ExtrairLogs")
        return Take(sat.ExtrairLogs(session, code));
    if (name == "BloquearSAT")
        return Take(sat.BloquearSAT(session, code));
    if (name == "DesbloquearSAT")
        return Take(sat.DesbloquearSAT(session, code));
    if (name == "TrocarCodigoDeAtivacao")
        return Take(sat.TrocarCodigoDeAtivacao(session, code, 1, "outro-codigo", "outro-codigo"));
    if (name == "ComunicarCertificadoICPBRASIL")
        return Take(sat.ComunicarCertificadoICPBRASIL(session, code, "certificado"));
    qFatal("unknown function %s", name.constData());
}

// Edits the state file as a person would, with an editor that saves a new file.
void ReplaceInStateFile(const DeviceFolder& folder, const QByteArray& from, const QByteArray& to) {
    QFile file(folder.StatePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray text = file.readAll();
    file.close();
    QVERIFY2(text.contains(from), from.constData());
    text.replace(from, to);
    QSaveFile edited(folder.StatePath());
    QVERIFY(edited.open(QIODevice::WriteOnly));
    edited.write(text);
    QVERIFY(edited.commit());
}

} // namespace

class TestEmulatorRefusals : public QObject {
    Q_OBJECT

private slots:
    void beforeActivation_data();
    void beforeActivation();
    void wrongActivationCode_data();
    void wrongActivationCode();
    void activation_data();
    void activation();
    void association_data();
    void association();
    void saleContent_data();
    void saleContent();
    void saleLargerThanTheLimit();
    void saleWithoutAssociation();
    void blockedDevice_data();
    void blockedDevice();
    void autonomousBlockAfterTenDaysOffline();
    void repeatedWrongCodesBlockIssuing();
    void cancellation_data();
    void cancellation();
    void cancellingTwice();
    void sessionNumbers_data();
    void sessionNumbers();
    void sessionNumberFreeAgainAfterOneHundred();
    void networkDocument_data();
    void networkDocument();
    void codeChange_data();
    void codeChange();
    void softwareUpdate_data();
    void softwareUpdate();
    void icpBrasilCertificate();
    void endToEndTestRejection();
};

void TestEmulatorRefusals::beforeActivation_data() {
    QTest::addColumn<QByteArray>("function");
    QTest::addColumn<QByteArray>("expected");
    const std::pair<const char*, const char*> rows[] = {
        {"ConsultarSAT", "08000"},
        {"ConfigurarInterfaceDeRede", "12000"},
        {"ConsultarStatusOperacional", "10001"},
        {"EnviarDadosVenda", "06002"},
        {"CancelarUltimaVenda", "07001"},
        {"TesteFimAFim", "09002"},
        {"ConsultarNumeroSessao", "11002"},
        {"ConsultarUltimaSessaoFiscal", "19002"},
        {"AssociarAssinatura", "13001"},
        {"AtualizarSoftwareSAT", "14001"},
        {"ExtrairLogs", "15001"},
        {"BloquearSAT", "16001"},
        {"DesbloquearSAT", "17001"},
        {"TrocarCodigoDeAtivacao", "18001"},
        {"ComunicarCertificadoICPBRASIL", "05001"},
    };
    for (const auto& [function, expected] : rows) {
        QTest::newRow(function) << QByteArray(function) << QByteArray(expected);
    }
}

void TestEmulatorRefusals::beforeActivation() {
    QFETCH(QByteArray, function);
    QFETCH(QByteArray, expected);
    DeviceFolder folder;
    SatLibrary sat;
    const SatAnswer answer = CallWithCode(sat, function, folder.NextSession(), "12345678");
    QCOMPARE(answer.Code(), expected);
    // Fiscal answers carry CCCC before the message.
    const bool fiscal = function == "EnviarDadosVenda" || function == "CancelarUltimaVenda";
    QCOMPARE(answer.fields.size(), fiscal ? 6 : 5);
}

void TestEmulatorRefusals::wrongActivationCode_data() {
    QTest::addColumn<QByteArray>("function");
    QTest::addColumn<QByteArray>("expected");
    const std::pair<const char*, const char*> rows[] = {
        {"ConsultarStatusOperacional", "10001"},
        {"EnviarDadosVenda", "06001"},
        {"CancelarUltimaVenda", "07001"},
        {"TesteFimAFim", "09001"},
        {"ConsultarNumeroSessao", "11001"},
        {"ConsultarUltimaSessaoFiscal", "19001"},
        {"ConfigurarInterfaceDeRede", "12001"},
        {"AssociarAssinatura", "13001"},
        {"AtualizarSoftwareSAT", "14001"},
        {"ExtrairLogs", "15001"},
        {"BloquearSAT", "16001"},
        {"DesbloquearSAT", "17001"},
        {"TrocarCodigoDeAtivacao", "18001"},
        {"ComunicarCertificadoICPBRASIL", "05001"},
    };
    for (const auto& [function, expected] : rows) {
        QTest::newRow(function) << QByteArray(function) << QByteArray(expected);
    }
}

void TestEmulatorRefusals::wrongActivationCode() {
    QFETCH(QByteArray, function);
    QFETCH(QByteArray, expected);
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    const SatAnswer answer = CallWithCode(sat, function, folder.NextSession(), "87654321");
    QCOMPARE(answer.Code(), expected);
    QCOMPARE(answer.Text(answer.fields.size() == 6 ? 4 : 3),
             QStringLiteral("Código de ativação inválido"));
    // The right code, in the code page the program sends, is still taken.
    QCOMPARE(Take(sat.ConsultarStatusOperacional(folder.NextSession(), kKitCode)).Code(),
             QByteArray("10000"));
}

void TestEmulatorRefusals::activation_data() {
    QTest::addColumn<int>("subCommand");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QByteArray>("cnpj");
    QTest::addColumn<int>("uf");
    QTest::addColumn<bool>("offline");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("fields");
    QTest::newRow("activated") << 1 << QByteArray("12345678") << QByteArray(kTaxpayer) << 35
                               << false << QByteArray("04000") << 6;
    QTest::newRow("ICP-Brasil CSR") << 2 << QByteArray("12345678") << QByteArray(kTaxpayer) << 35
                                    << false << QByteArray("04006") << 6;
    QTest::newRow("CNPJ check digit") << 1 << QByteArray("12345678") << QByteArray("61099008000142")
                                      << 35 << false << QByteArray("04002") << 5;
    QTest::newRow("CNPJ of 13 digits") << 1 << QByteArray("12345678") << QByteArray("6109900800014")
                                       << 35 << false << QByteArray("04002") << 5;
    QTest::newRow("not Sao Paulo") << 1 << QByteArray("12345678") << QByteArray(kTaxpayer) << 33
                                   << false << QByteArray("04002") << 5;
    QTest::newRow("state code 0") << 1 << QByteArray("12345678") << QByteArray(kTaxpayer) << 0
                                  << false << QByteArray("04002") << 5;
    QTest::newRow("code of 7") << 1 << QByteArray("1234567") << QByteArray(kTaxpayer) << 35 << false
                               << QByteArray("04099") << 5;
    QTest::newRow("code of 33") << 1 << QByteArray(33, 'a') << QByteArray(kTaxpayer) << 35 << false
                                << QByteArray("04099") << 5;
    QTest::newRow("code of 32") << 1 << QByteArray(32, 'a') << QByteArray(kTaxpayer) << 35 << false
                                << QByteArray("04000") << 6;
    QTest::newRow("accented code counts characters")
        << 1
        << QByteArray("c\xf3"
                      "digo01")
        << QByteArray(kTaxpayer) << 35 << false << QByteArray("04000") << 6;
    QTest::newRow("unknown sub-command") << 4 << QByteArray("12345678") << QByteArray(kTaxpayer)
                                         << 35 << false << QByteArray("04099") << 5;
    QTest::newRow("renewal before activation")
        << 3 << QByteArray("12345678") << QByteArray(kTaxpayer) << 35 << false
        << QByteArray("04007") << 5;
    QTest::newRow("SEFAZ unreachable") << 1 << QByteArray("12345678") << QByteArray(kTaxpayer) << 35
                                       << true << QByteArray("04005") << 5;
}

void TestEmulatorRefusals::activation() {
    QFETCH(int, subCommand);
    QFETCH(QByteArray, code);
    QFETCH(QByteArray, cnpj);
    QFETCH(int, uf);
    QFETCH(bool, offline);
    QFETCH(QByteArray, expected);
    QFETCH(int, fields);
    DeviceFolder folder;
    SetSwitch("DVT_SAT_OFFLINE", offline ? "1" : "");
    SatLibrary sat;
    const SatAnswer answer = Take(sat.AtivarSAT(folder.NextSession(), subCommand, code, cnpj, uf));
    QCOMPARE(answer.Code(), expected);
    QCOMPARE(answer.fields.size(), fields);
    // Only a successful activation leaves an activated device.
    const bool activated = expected == "04000" || expected == "04006";
    QCOMPARE(Take(sat.ConsultarStatusOperacional(folder.NextSession(), code)).Code(),
             QByteArray(activated ? "10000" : "10001"));
}

void TestEmulatorRefusals::association_data() {
    QTest::addColumn<QByteArray>("pair");
    QTest::addColumn<QByteArray>("signature");
    QTest::addColumn<bool>("offline");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray test = QByteArray(kSoftwareHouse) + kTaxpayer;
    const QByteArray other = QByteArray("11222333000181") + kTaxpayer;
    const QByteArray production = QByteArray(256, '\x5a').toBase64();
    QTest::newRow("test pair") << test << QByteArray(kSignature) << false << QByteArray("13000");
    QTest::newRow("production signature") << other << production << false << QByteArray("13000");
    QTest::newRow("production signature wrapped")
        << other << production.left(100) + "\r\n" + production.mid(100) << false
        << QByteArray("13000");
    QTest::newRow("27 digits") << test.left(27) << QByteArray(kSignature) << false
                               << QByteArray("13004");
    QTest::newRow("software house check digit")
        << QByteArray("16716114000173") + kTaxpayer << QByteArray(kSignature) << false
        << QByteArray("13004");
    QTest::newRow("other taxpayer") << QByteArray(kSoftwareHouse) + "11222333000181"
                                    << QByteArray(kSignature) << false << QByteArray("13007");
    QTest::newRow("signature of no form")
        << test << QByteArray("assinatura") << false << QByteArray("13003");
    QTest::newRow("Base64 of 255 bytes")
        << other << QByteArray(255, 'x').toBase64() << false << QByteArray("13003");
    QTest::newRow("test text for another pair")
        << other << QByteArray(kSignature) << false << QByteArray("13004");
    QTest::newRow("SEFAZ unreachable")
        << test << QByteArray(kSignature) << true << QByteArray("13002");
}

void TestEmulatorRefusals::association() {
    QFETCH(QByteArray, pair);
    QFETCH(QByteArray, signature);
    QFETCH(bool, offline);
    QFETCH(QByteArray, expected);
    DeviceFolder folder;
    SatLibrary sat;
    QCOMPARE(Take(sat.AtivarSAT(folder.NextSession(), 1, kKitCode, kTaxpayer, 35)).Code(),
             QByteArray("04000"));
    SetSwitch("DVT_SAT_OFFLINE", offline ? "1" : "");
    QCOMPARE(Take(sat.AssociarAssinatura(folder.NextSession(), kKitCode, pair, signature)).Code(),
             expected);
    // A refused association leaves the device unlinked.
    SetSwitch("DVT_SAT_OFFLINE", "");
    if (expected != "13000") {
        QCOMPARE(Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, SaleDocument())).Code(),
                 QByteArray("06003"));
    }
}

void TestEmulatorRefusals::saleContent_data() {
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QByteArray>("detail");
    const auto row = [](const char* name, const char* from, const char* to, const char* code,
                        const char* detail) {
        QTest::newRow(name) << QByteArray(from) << QByteArray(to) << QByteArray(code)
                            << QByteArray(detail);
    };
    row("layout 0.06", "\"0.08\"", "\"0.06\"", "06000", "0000");
    row("layout 0.05", "\"0.08\"", "\"0.05\"", "06010", "1004");
    row("no layout version", " versaoDadosEnt=\"0.08\"", "", "06010", "1004");
    row("software house check digit", "<ide><CNPJ>16716114000172", "<ide><CNPJ>16716114000173",
        "06010", "1224");
    row("other software house", "<ide><CNPJ>16716114000172", "<ide><CNPJ>11222333000181", "06004",
        "0000");
    row("other signature", "<signAC>SGR", "<signAC>XGR", "06004", "0000");
    row("taxpayer check digit", "<emit><CNPJ>61099008000141", "<emit><CNPJ>61099008000142", "06010",
        "1207");
    row("other taxpayer", "<emit><CNPJ>61099008000141", "<emit><CNPJ>11222333000181", "06010",
        "1207");
    row("other IE", "<IE>111111111111", "<IE>222222222222", "06010", "1999");
    row("no indRatISSQN", "<indRatISSQN>N</indRatISSQN>", "", "06010", "1999");
    row("buyer CPF check digit", "<CPF>52998224725", "<CPF>52998224724", "06010", "1237");
    row("buyer CNPJ check digit", "<CPF>52998224725</CPF>", "<CNPJ>11222333000182</CNPJ>", "06010",
        "1235");
    row("buyer CNPJ", "<CPF>52998224725</CPF>", "<CNPJ>11222333000181</CNPJ>", "06000", "0000");
    row("no dest", "<dest><CPF>52998224725</CPF></dest>", "", "06010", "1999");
    row("empty product code", "<cProd>279</cProd>", "<cProd></cProd>", "06010", "1459");
    row("empty description", "<xProd>Sabonete</xProd>", "<xProd></xProd>", "06010", "1460");
    row("NCM of 4 digits", "<NCM>33030010</NCM>", "<NCM>3303</NCM>", "06010", "1461");
    row("no NCM", "<NCM>33030010</NCM>", "", "06010", "1470");
    row("CFOP of 2 digits", "<CFOP>5102</CFOP><uCom>UN</uCom><qCom>1.0000",
        "<CFOP>51</CFOP><uCom>UN</uCom><qCom>1.0000", "06010", "1462");
    row("unit of 8", "<uCom>UN</uCom><qCom>3", "<uCom>UNIDADES</uCom><qCom>3", "06010", "1463");
    row("quantity with 2 decimals", "<qCom>1.0000", "<qCom>1.00", "06010", "1464");
    row("quantity zero", "<qCom>1.0000", "<qCom>0.0000", "06010", "1464");
    row("price without decimals", "<vUnCom>50.00", "<vUnCom>50", "06010", "1465");
    row("price with 3 decimals", "<vUnCom>50.00", "<vUnCom>50.000", "06000", "0000");
    row("rule X", "<vUnCom>2.50</vUnCom><indRegra>A", "<vUnCom>2.50</vUnCom><indRegra>X", "06010",
        "1466");
    row("malformed discount", "<indRegra>A</indRegra></prod><imposto><ICMS><ICMS40>",
        "<indRegra>A</indRegra><vDesc>1</vDesc></prod><imposto><ICMS><ICMS40>", "06010", "1467");
    row("discount above the item", "<indRegra>A</indRegra></prod><imposto><ICMS><ICMS40>",
        "<indRegra>A</indRegra><vDesc>8.00</vDesc></prod><imposto><ICMS><ICMS40>", "06010", "1467");
    row("malformed ICMS rate", "<pICMS>18.00", "<pICMS>18", "06010", "1469");
    row("no PIS", "<PIS><PISNT><CST>04</CST></PISNT></PIS>", "", "06010", "1469");
    row("no taxes",
        "<imposto><ICMS><ICMS40><Orig>0</Orig><CST>40</CST></ICMS40></ICMS>"
        "<PIS><PISNT><CST>04</CST></PISNT></PIS>"
        "<COFINS><COFINSNT><CST>04</CST></COFINSNT></COFINS></imposto>",
        "", "06010", "1469");
    row("paid less than the total", "<vMP>60.00", "<vMP>57.49", "06010", "1408");
    row("paid exactly the total", "<vMP>60.00", "<vMP>57.50", "06000", "0000");
    row("payment method 07", "<cMP>01", "<cMP>07", "06010", "1527");
    row("payment of zero", "<vMP>60.00", "<vMP>0.00", "06010", "1528");
    row("no payment", "<pgto><MP><cMP>01</cMP><vMP>60.00</vMP></MP></pgto>", "", "06010", "1527");
    row("subtotal discount above payments", "<total/>",
        "<total><DescAcrEntr><vDescSubtot>7.50</vDescSubtot></DescAcrEntr></total>", "06000",
        "0000");
    row("subtotal increase above payments", "<total/>",
        "<total><DescAcrEntr><vAcresSubtot>3.00</vAcresSubtot></DescAcrEntr></total>", "06010",
        "1408");
    row("total sent by the software", "<total/>", "<total><vCFe>57.50</vCFe></total>", "06010",
        "1999");
    row("item number sent by the device", "<numeroCaixa>001</numeroCaixa>",
        "<numeroCaixa>001</numeroCaixa><nCFe>000001</nCFe>", "06010", "1999");
    row("item value sent", "<indRegra>A</indRegra></prod><imposto><ICMS><ICMS00>",
        "<indRegra>A</indRegra><vItem>50.00</vItem></prod><imposto><ICMS><ICMS00>", "06010",
        "1999");
    row("register of 1 digit", "<numeroCaixa>001", "<numeroCaixa>1", "06010", "1999");
    row("items out of order", "nItem=\"2\"", "nItem=\"3\"", "06010", "1999");
    row("not well-formed", "</CFe>", "</CF>", "06010", "1999");
    row("wrong root", "<CFe>", "<NFe>", "06010", "1999");
    row("ANSI text", "A\xc3\xa7\xc3\xa3o", "A\xe7\xe3o", "06010", "1999");
    row("document type", "<CFe>", "<!DOCTYPE CFe><CFe>", "06010", "1999");
    row("entity declared", "<CFe>", "<!DOCTYPE CFe [<!ENTITY p \"Perfume\">]><CFe>", "06010",
        "1999");
    row("external entity", "<CFe>",
        "<!DOCTYPE CFe [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><CFe>", "06010", "1999");
    row("entity used", "<xProd>Sabonete", "<xProd>&x;", "06010", "1999");
    row("namespace", "<dest>", "<dest xmlns:a=\"urn:a\">", "06010", "1999");
    row("subtotal discount above the items", "<total/>",
        "<total><DescAcrEntr><vDescSubtot>57.51</vDescSubtot></DescAcrEntr></total>", "06010",
        "1999");

    // The layout's rules: whatever would make the issued CF-e break the
    // authority's schema is refused before anything is signed; what keeps to
    // it is issued (and the issued document is validated).
    const auto rowOf = [](const char* name, const QByteArray& from, const QByteArray& to,
                          const char* code, const char* detail) {
        QTest::newRow(name) << from << to << QByteArray(code) << QByteArray(detail);
    };
    const QByteArray icms40 = "<ICMS><ICMS40><Orig>0</Orig><CST>40</CST></ICMS40></ICMS>";
    const auto service = [](const QByteArray& fields) {
        return "<ISSQN><vDeducISSQN>0.00</vDeducISSQN>" + fields + "</ISSQN>";
    };
    const QByteArray serviceFields = "<vAliq>005.00</vAliq><cMunFG>3550308</cMunFG>"
                                     "<cListServ>14.01</cListServ><cNatOp>01</cNatOp>"
                                     "<indIncFisc>1</indIncFisc>";
    rowOf("service", icms40, service(serviceFields), "06000", "0000");
    rowOf("service without cNatOp", icms40,
          service(QByteArray(serviceFields).replace("<cNatOp>01</cNatOp>", "")), "06010", "1469");
    rowOf("service without indIncFisc", icms40,
          service(QByteArray(serviceFields).replace("<indIncFisc>1</indIncFisc>", "")), "06010",
          "1469");
    rowOf("cListServ of 4", icms40, service(QByteArray(serviceFields).replace("14.01", "1401")),
          "06010", "1469");
    rowOf("cMunFG of 6", icms40, service(QByteArray(serviceFields).replace("3550308", "355030")),
          "06010", "1469");
    rowOf("rate without 3 integer digits", icms40,
          service(QByteArray(serviceFields).replace("005.00", "5.00")), "06010", "1469");
    rowOf("ICMS and ISSQN", icms40, icms40 + service(serviceFields), "06010", "1469");
    row("cEAN of 9 digits", "<xProd>Sabonete", "<cEAN>123456789</cEAN><xProd>Sabonete", "06010",
        "1459");
    row("cEAN of 13 digits", "<xProd>Sabonete", "<cEAN>7891234567895</cEAN><xProd>Sabonete",
        "06000", "0000");
    row("buyer name of 1", "</CPF></dest>", "</CPF><xNome>A</xNome></dest>", "06010", "1999");
    row("buyer name of 2", "</CPF></dest>", "</CPF><xNome>Jo</xNome></dest>", "06000", "0000");
    row("empty buyer CNPJ", "<CPF>52998224725</CPF>", "<CNPJ></CNPJ>", "06010", "1235");
    row("buyer CNPJ and CPF", "<CPF>52998224725</CPF>",
        "<CNPJ>11222333000181</CNPJ><CPF>52998224725</CPF>", "06010", "1999");
    row("IE of 9 digits", "<IE>111111111111", "<IE>111111111", "06010", "1999");
    row("xTextoDet of 70", "<indRegra>A</indRegra></prod><imposto><ICMS><ICMS40>",
        "<indRegra>A</indRegra><obsFiscoDet xCampoDet=\"Cod\"><xTextoDet>"
        "0123456789012345678901234567890123456789012345678901234567890123456789"
        "</xTextoDet></obsFiscoDet></prod><imposto><ICMS><ICMS40>",
        "06010", "1999");
    row("obsFiscoDet without its name", "<indRegra>A</indRegra></prod><imposto><ICMS><ICMS40>",
        "<indRegra>A</indRegra><obsFiscoDet><xTextoDet>a</xTextoDet></obsFiscoDet></prod>"
        "<imposto><ICMS><ICMS40>",
        "06010", "1999");
    QByteArray observations;
    for (int i = 0; i < 11; ++i) {
        observations += "<obsFiscoDet xCampoDet=\"c\"><xTextoDet>t</xTextoDet></obsFiscoDet>";
    }
    rowOf("11 obsFiscoDet", "<indRegra>A</indRegra></prod><imposto><ICMS><ICMS40>",
          "<indRegra>A</indRegra>" + observations + "</prod><imposto><ICMS><ICMS40>", "06010",
          "1999");
    rowOf("10 obsFiscoDet", "<indRegra>A</indRegra></prod><imposto><ICMS><ICMS40>",
          "<indRegra>A</indRegra>" + observations.mid(observations.size() / 11) +
              "</prod><imposto><ICMS><ICMS40>",
          "06000", "0000");
    rowOf("infAdProd of 600", "</COFINSNT></COFINS></imposto>",
          "</COFINSNT></COFINS></imposto><infAdProd>" + QByteArray(600, 'a') + "</infAdProd>",
          "06010", "1999");
    rowOf("infAdProd of 500", "</COFINSNT></COFINS></imposto>",
          "</COFINSNT></COFINS></imposto><infAdProd>" + QByteArray(500, 'a') + "</infAdProd>",
          "06000", "0000");
    const QByteArray delivery = "<entrega><xLgr>Rua A</xLgr><nro>10</nro><xBairro>Centro</xBairro>"
                                "<xMun>Santos</xMun><UF>SP</UF></entrega>";
    rowOf("delivery", "</dest>", "</dest>" + delivery, "06000", "0000");
    rowOf("delivery without nro", "</dest>",
          "</dest>" + QByteArray(delivery).replace("<nro>10</nro>", ""), "06010", "1999");
    row("unknown element in prod", "<uCom>UN</uCom><qCom>3",
        "<uCom>UN</uCom><cor>azul</cor><qCom>3", "06010", "1999");
    row("unknown attribute", "<prod><cProd>12</cProd>", "<prod cor=\"azul\"><cProd>12</cProd>",
        "06010", "1999");
    row("text between fields", "<prod><cProd>12</cProd>", "<prod>solto<cProd>12</cProd>", "06010",
        "1999");
    row("element inside a field", "<cProd>12</cProd>", "<cProd>12<b>3</b></cProd>", "06010",
        "1459");
    row("fields out of order", "<cProd>12</cProd><xProd>Sabonete</xProd>",
        "<xProd>Sabonete</xProd><cProd>12</cProd>", "06010", "1459");
    row("PISST in the layout's form", "<PIS><PISNT><CST>04</CST></PISNT></PIS>",
        "<PIS><PISNT><CST>04</CST></PISNT></PIS><PISST><vBC>7.50</vBC><pPIS>0.0065</pPIS></PISST>",
        "06000", "0000");
    row("COFINSST by quantity", "<COFINS><COFINSNT><CST>04</CST></COFINSNT></COFINS>",
        "<COFINS><COFINSNT><CST>04</CST></COFINSNT></COFINS><COFINSST><qBCProd>3.0000</qBCProd>"
        "<vAliqProd>0.1000</vAliqProd></COFINSST>",
        "06000", "0000");
    row("PISST nested", "<PIS><PISNT><CST>04</CST></PISNT></PIS>",
        "<PIS><PISNT><CST>04</CST></PISNT></PIS><PISST><PISST><vBC>7.50</vBC><pPIS>0.0065</pPIS>"
        "</PISST></PISST>",
        "06010", "1469");
    row("note of 1 character", "</pgto>", "</pgto><infAdic><infCpl>a</infCpl></infAdic>", "06000",
        "0000");
    row("empty note", "</pgto>", "</pgto><infAdic><infCpl></infCpl></infAdic>", "06010", "1999");
    row("layout 0.07", "\"0.08\"", "\"0.07\"", "06000", "0000");
}

void TestEmulatorRefusals::saleContent() {
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QByteArray, code);
    QFETCH(QByteArray, detail);
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    QByteArray document = SaleDocument();
    QVERIFY2(document.contains(from), from.constData());
    document.replace(from, to);
    const SatAnswer answer = Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, document));
    QCOMPARE(answer.Code(), code);
    QCOMPARE(answer.Field(3), detail);
    QCOMPARE(answer.fields.size(), code == "06000" ? 12 : 6);
    if (code == "06000") {
        QVERIFY(!DecodeXml(answer.Field(7)).isEmpty()); // valid against the schemas
    }
    if (code == "06010") {
        QCOMPARE(answer.Text(4), QStringLiteral("Erro de validação do conteúdo"));
    }
}

void TestEmulatorRefusals::saleLargerThanTheLimit() {
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    QByteArray document = SaleDocument();
    document.replace("</pgto>",
                     "</pgto><infAdic><infCpl>" + QByteArray(1536001, 'a') + "</infCpl></infAdic>");
    SatAnswer answer = Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, document));
    QCOMPARE(answer.Code(), QByteArray("06005"));
    QCOMPARE(answer.Text(4), QStringLiteral("Tamanho do CF-e-SAT superior a 1.500KB"));
    // A note longer than 5000 characters is refused by content.
    document = SaleDocument();
    document.replace("</pgto>",
                     "</pgto><infAdic><infCpl>" + QByteArray(5001, 'a') + "</infCpl></infAdic>");
    answer = Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, document));
    QCOMPARE(answer.Code(), QByteArray("06010"));
}

void TestEmulatorRefusals::saleWithoutAssociation() {
    DeviceFolder folder;
    SatLibrary sat;
    QCOMPARE(Take(sat.AtivarSAT(folder.NextSession(), 1, kKitCode, kTaxpayer, 35)).Code(),
             QByteArray("04000"));
    const SatAnswer answer =
        Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, SaleDocument()));
    QCOMPARE(answer.Code(), QByteArray("06003"));
    QCOMPARE(answer.Text(4), QStringLiteral("SAT não vinculado ao AC"));
}

void TestEmulatorRefusals::blockedDevice_data() {
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<bool>("offline");
    QTest::addColumn<QByteArray>("sale");
    QTest::addColumn<QByteArray>("cancel");
    QTest::addColumn<QByteArray>("unblock");
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("by SEFAZ") << QByteArray("1") << false << QByteArray("06007")
                              << QByteArray("07004") << QByteArray("17003") << QByteArray("1");
    QTest::newRow("by the taxpayer")
        << QByteArray("2") << false << QByteArray("06006") << QByteArray("07003")
        << QByteArray("17000") << QByteArray("0");
    QTest::newRow("taxpayer, SEFAZ unreachable")
        << QByteArray("2") << true << QByteArray("06006") << QByteArray("07003")
        << QByteArray("17004") << QByteArray("2");
    QTest::newRow("autonomous") << QByteArray("3") << true << QByteArray("06008")
                                << QByteArray("07005") << QByteArray("17006") << QByteArray("3");
    // Not a block for silence: talking to SEFAZ does not lift it.
    QTest::newRow("autonomous, online")
        << QByteArray("3") << false << QByteArray("06008") << QByteArray("07005")
        << QByteArray("17006") << QByteArray("3");
    QTest::newRow("for retirement")
        << QByteArray("4") << false << QByteArray("06007") << QByteArray("07004")
        << QByteArray("17007") << QByteArray("4");
}

void TestEmulatorRefusals::blockedDevice() {
    QFETCH(QByteArray, state);
    QFETCH(bool, offline);
    QFETCH(QByteArray, sale);
    QFETCH(QByteArray, cancel);
    QFETCH(QByteArray, unblock);
    QFETCH(QByteArray, shown);
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    const SatAnswer sold =
        Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, SaleDocument()));
    QCOMPARE(sold.Code(), QByteArray("06000"));
    // SEFAZ's decisions reach the device through its state file.
    ReplaceInStateFile(folder, "operation_state=0", "operation_state=" + state);
    SetSwitch("DVT_SAT_OFFLINE", offline ? "1" : "");
    QCOMPARE(Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, SaleDocument())).Code(),
             sale);
    QCOMPARE(Take(sat.CancelarUltimaVenda(folder.NextSession(), kKitCode, sold.Field(9),
                                          CancellationDocument(sold.Field(9).mid(3))))
                 .Code(),
             cancel);
    QCOMPARE(Take(sat.BloquearSAT(folder.NextSession(), kKitCode)).Code(), QByteArray("16002"));
    QCOMPARE(Take(sat.DesbloquearSAT(folder.NextSession(), kKitCode)).Code(), unblock);
    QCOMPARE(Take(sat.ConsultarStatusOperacional(folder.NextSession(), kKitCode)).Field(28), shown);
}

void TestEmulatorRefusals::autonomousBlockAfterTenDaysOffline() {
    DeviceFolder folder("20250115103000");
    UseDeveloperKit();
    SatLibrary sat;
    QCOMPARE(Take(sat.ConsultarSAT(folder.NextSession())).Code(), QByteArray("08000"));
    SetSwitch("DVT_SAT_OFFLINE", "1");
    SetClock("20250125103000"); // ten days: not yet
    QCOMPARE(Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, SaleDocument())).Code(),
             QByteArray("06000"));
    SetClock("20250126103000");
    QCOMPARE(Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, SaleDocument())).Code(),
             QByteArray("06008"));
    SatAnswer status = Take(sat.ConsultarStatusOperacional(folder.NextSession(), kKitCode));
    QCOMPARE(status.Field(28), QByteArray("3"));
    QCOMPARE(status.Field(14), QByteArray("NAO_CONECTADO"));
    // Communication with SEFAZ back: the block ends by itself.
    SetSwitch("DVT_SAT_OFFLINE", "");
    QCOMPARE(Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, SaleDocument())).Code(),
             QByteArray("06000"));
    status = Take(sat.ConsultarStatusOperacional(folder.NextSession(), kKitCode));
    QCOMPARE(status.Field(28), QByteArray("0"));
    QCOMPARE(status.Field(25), QByteArray("20250126103000"));
}

void TestEmulatorRefusals::repeatedWrongCodesBlockIssuing() {
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    const SatAnswer sold =
        Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, SaleDocument()));
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(
            Take(sat.EnviarDadosVenda(folder.NextSession(), "errado00", SaleDocument())).Code(),
            QByteArray("06001"));
    }
    const SatAnswer locked =
        Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, SaleDocument()));
    QCOMPARE(locked.Code(), QByteArray("06009"));
    QCOMPARE(locked.Text(4), QStringLiteral("SAT bloqueado, código de ativação incorreto"));
    QCOMPARE(Take(sat.CancelarUltimaVenda(folder.NextSession(), kKitCode, sold.Field(9),
                                          CancellationDocument(sold.Field(9).mid(3))))
                 .Code(),
             QByteArray("07006"));
    // Queries still work; only the emergency code resets the code.
    QCOMPARE(Take(sat.ConsultarStatusOperacional(folder.NextSession(), kKitCode)).Code(),
             QByteArray("10000"));
    QCOMPARE(Take(sat.TrocarCodigoDeAtivacao(folder.NextSession(), kKitCode, 1, "novo-codigo",
                                             "novo-codigo"))
                 .Code(),
             QByteArray("18001"));
    QCOMPARE(Take(sat.TrocarCodigoDeAtivacao(folder.NextSession(), kEmergencyCode, 2, "novo-codigo",
                                             "novo-codigo"))
                 .Code(),
             QByteArray("18000"));
    QCOMPARE(Take(sat.EnviarDadosVenda(folder.NextSession(), "novo-codigo", SaleDocument())).Code(),
             QByteArray("06000"));
}

void TestEmulatorRefusals::cancellation_data() {
    QTest::addColumn<QByteArray>("keyChange"); // how the typed key differs from the sale's
    QTest::addColumn<QByteArray>("from");      // and the document from the right one
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QByteArray>("detail");
    const auto row = [](const char* name, const char* keyChange, const char* from, const char* to,
                        const char* code, const char* detail) {
        QTest::newRow(name) << QByteArray(keyChange) << QByteArray(from) << QByteArray(to)
                            << QByteArray(code) << QByteArray(detail);
    };
    row("right", "", "", "", "07000", "0000");
    row("key of 43 digits", "short", "", "", "07007", "1270");
    row("key check digit", "digit", "", "", "07007", "1270");
    row("key with blanks", "blanks", "", "", "07007", "1270");
    row("key without CFe", "bare", "", "", "07007", "1270");
    row("key of another sale", "other", "", "", "07002", "0000");
    row("document for another key", "", "chCanc=\"CFe35", "chCanc=\"CFe36", "07007", "1270");
    row("other software house", "", "<CNPJ>16716114000172", "<CNPJ>11222333000181", "07007",
        "1224");
    row("other signature", "", "<signAC>SGR", "<signAC>XGR", "07007", "1999");
    row("other buyer", "", "<CPF>52998224725", "<CPF>11144477735", "07007", "1999");
    row("buyer left out", "", "<dest><CPF>52998224725</CPF></dest>", "<dest/>", "07000", "0000");
    row("empty CPF", "", "<CPF>52998224725</CPF>", "<CPF></CPF>", "07000", "0000");
    row("buyer as CNPJ", "", "<CPF>52998224725</CPF>", "<CNPJ>11222333000181</CNPJ>", "07007",
        "1999");
    row("document type", "", "<CFeCanc>", "<!DOCTYPE CFeCanc><CFeCanc>", "07007", "1999");
    row("buyer CPF check digit", "", "<CPF>52998224725", "<CPF>52998224724", "07007", "1237");
    row("not well-formed", "", "</CFeCanc>", "</CFe>", "07007", "1999");
    row("a sale document", "", "<CFeCanc>", "<CFe>", "07007", "1999");
    // The layout: a cancellation's infAdic holds the authority's notes only.
    row("note for the authority", "", "<total/>",
        "<total/><infAdic><obsFisco xCampo=\"motivo\"><xTexto>erro de digitação</xTexto>"
        "</obsFisco></infAdic>",
        "07000", "0000");
    row("free note", "", "<total/>", "<total/><infAdic><infCpl>nota</infCpl></infAdic>", "07007",
        "1999");
    row("field in emit", "", "<emit/>", "<emit><CNPJ>61099008000141</CNPJ></emit>", "07007",
        "1999");
    row("unknown field in ide", "", "<numeroCaixa>001</numeroCaixa>",
        "<numeroCaixa>001</numeroCaixa><cor>azul</cor>", "07007", "1999");
    row("register of 2 digits", "", "<numeroCaixa>001", "<numeroCaixa>01", "07007", "1999");
}

void TestEmulatorRefusals::cancellation() {
    QFETCH(QByteArray, keyChange);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QByteArray, code);
    QFETCH(QByteArray, detail);
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    const SatAnswer sold =
        Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, SaleDocument()));
    QCOMPARE(sold.Code(), QByteArray("06000"));
    QByteArray key = sold.Field(9);
    QByteArray document = CancellationDocument(key.mid(3));
    if (keyChange == "short") {
        key.chop(1);
    } else if (keyChange == "digit") {
        key[46] = key[46] == '9' ? '0' : key[46] + 1;
    } else if (keyChange == "blanks") {
        key = " " + key + " ";
    } else if (keyChange == "bare") {
        key = key.mid(3);
    } else if (keyChange == "other") {
        // A well-formed key (right check digit) that is not this device's sale.
        key = "CFe35250161099008000141599000123450000011234565";
    }
    if (!from.isEmpty()) {
        QVERIFY2(document.contains(from), from.constData());
        document.replace(from, to);
    }
    const SatAnswer answer =
        Take(sat.CancelarUltimaVenda(folder.NextSession(), kKitCode, key, document));
    QCOMPARE(answer.Code(), code);
    QCOMPARE(answer.Field(3), detail);
    if (code == "07000") {
        QVERIFY(!DecodeXml(answer.Field(7)).isEmpty()); // valid against the schemas
    }
}

void TestEmulatorRefusals::cancellingTwice() {
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    QCOMPARE(Take(sat.CancelarUltimaVenda(folder.NextSession(), kKitCode,
                                          "CFe35250161099008000141599000123450000011234565", ""))
                 .Code(),
             QByteArray("07002")); // nothing sold yet
    const SatAnswer sold =
        Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, SaleDocument()));
    const QByteArray document = CancellationDocument(sold.Field(9).mid(3));
    QCOMPARE(Take(sat.CancelarUltimaVenda(folder.NextSession(), kKitCode, sold.Field(9), document))
                 .Code(),
             QByteArray("07000"));
    const SatAnswer again =
        Take(sat.CancelarUltimaVenda(folder.NextSession(), kKitCode, sold.Field(9), document));
    QCOMPARE(again.Code(), QByteArray("07007"));
    QCOMPARE(again.Field(3), QByteArray("1218"));
}

void TestEmulatorRefusals::sessionNumbers_data() {
    QTest::addColumn<int>("session");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QByteArray>("query");
    QTest::newRow("new number") << 500 << QByteArray("10000") << QByteArray("08000");
    QTest::newRow("just used") << 7 << QByteArray("10097") << QByteArray("08000");
    QTest::newRow("zero") << 0 << QByteArray("10097") << QByteArray("08000");
    QTest::newRow("negative") << -3 << QByteArray("10097") << QByteArray("08000");
    QTest::newRow("999999") << 999999 << QByteArray("10000") << QByteArray("08000");
    QTest::newRow("1000000") << 1000000 << QByteArray("10097") << QByteArray("08000");
}

void TestEmulatorRefusals::sessionNumbers() {
    QFETCH(int, session);
    QFETCH(QByteArray, status);
    QFETCH(QByteArray, query);
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    QCOMPARE(Take(sat.ConsultarStatusOperacional(7, kKitCode)).Code(), QByteArray("10000"));
    const SatAnswer answer = Take(sat.ConsultarStatusOperacional(session, kKitCode));
    QCOMPARE(answer.Code(), status);
    QCOMPARE(answer.Field(1), QByteArray::number(session));
    if (status == "10097") {
        QCOMPARE(answer.Text(3), QStringLiteral("Número de sessão inválido"));
        QCOMPARE(answer.fields.size(), 5);
    }
    // The general query is never refused for its number.
    QCOMPARE(Take(sat.ConsultarSAT(session)).Code(), query);
}

void TestEmulatorRefusals::sessionNumberFreeAgainAfterOneHundred() {
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    QCOMPARE(Take(sat.BloquearSAT(1, kKitCode)).Code(), QByteArray("16000"));
    for (int session = 2; session <= 100; ++session) {
        QCOMPARE(Take(sat.ConsultarSAT(session)).Code(), QByteArray("08000"));
    }
    QCOMPARE(Take(sat.DesbloquearSAT(1, kKitCode)).Code(), QByteArray("17097"));
    QCOMPARE(Take(sat.ConsultarNumeroSessao(101, kKitCode, 1)).Code(), QByteArray("16000"));
    // Session 1 has now left the last hundred.
    QCOMPARE(Take(sat.ConsultarNumeroSessao(102, kKitCode, 1)).Code(), QByteArray("11003"));
    QCOMPARE(Take(sat.DesbloquearSAT(1, kKitCode)).Code(), QByteArray("17000"));
}

void TestEmulatorRefusals::networkDocument_data() {
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QByteArray>("shownIp");
    const auto row = [](const char* name, const char* from, const char* to, const char* expected,
                        const char* shownIp) {
        QTest::newRow(name) << QByteArray(from) << QByteArray(to) << QByteArray(expected)
                            << QByteArray(shownIp);
    };
    row("fixed address", "", "", "12000", "192.168.000.010");
    row("without zero padding", "192.168.000.010", "192.168.0.10", "12000", "192.168.000.010");
    row("DHCP", "IPFIX", "DHCP", "12000", "192.168.000.200");
    row("PPPoE with user", "IPFIX</tipoLan>", "PPPOE</tipoLan>", "12000", "192.168.000.200");
    row("octet 256", "192.168.000.010", "192.168.000.256", "12002", "");
    row("three octets", "192.168.000.010", "192.168.000", "12002", "");
    row("letters", "192.168.000.010", "192.168.000.abc", "12002", "");
    row("unknown LAN type", "IPFIX", "FIXO", "12002", "");
    row("Wi-Fi without SSID", "ETHE", "WIFI", "12002", "");
    row("Wi-Fi with SSID", "<tipoInter>ETHE</tipoInter><SSID></SSID>",
        "<tipoInter>WIFI</tipoInter><SSID>loja</SSID>", "12000", "192.168.000.010");
    row("proxy 3", "<proxy>0", "<proxy>3", "12002", "");
    row("proxy port 65535", "<proxy_porta>0", "<proxy_porta>65535", "12000", "192.168.000.010");
    row("proxy port 65536", "<proxy_porta>0", "<proxy_porta>65536", "12002", "");
    row("user with a bare \"<\"", "<usuario></usuario>", "<usuario>a<b</usuario>", "12002", "");
    row("user with an escaped \"&\"", "<usuario></usuario>", "<usuario>a&amp;b</usuario>", "12000",
        "192.168.000.010");
    row("other root", "config>", "configuracao>", "12002", "");
}

void TestEmulatorRefusals::networkDocument() {
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QByteArray, expected);
    QFETCH(QByteArray, shownIp);
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    QByteArray document = NetworkDocument();
    if (!from.isEmpty()) {
        QVERIFY2(document.contains(from), from.constData());
        document.replace(from, to);
    }
    if (to == "PPPOE</tipoLan>") {
        document.replace("<usuario></usuario>", "<usuario>loja</usuario>");
    }
    QCOMPARE(Take(sat.ConfigurarInterfaceDeRede(folder.NextSession(), kKitCode, document)).Code(),
             expected);
    const SatAnswer status = Take(sat.ConsultarStatusOperacional(folder.NextSession(), kKitCode));
    // A refused document leaves the kit's DHCP configuration.
    QCOMPARE(status.Field(8), shownIp.isEmpty() ? QByteArray("192.168.000.200") : shownIp);
    if (to == "PPPOE</tipoLan>") {
        QCOMPARE(status.Field(7), QByteArray("PPPoE"));
    }
}

void TestEmulatorRefusals::codeChange_data() {
    QTest::addColumn<QByteArray>("current");
    QTest::addColumn<int>("option");
    QTest::addColumn<QByteArray>("newCode");
    QTest::addColumn<QByteArray>("confirmation");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("current code") << QByteArray(kKitCode) << 1 << QByteArray("novo-codigo")
                                  << QByteArray("novo-codigo") << QByteArray("18000");
    QTest::newRow("emergency code") << QByteArray(kEmergencyCode) << 2 << QByteArray("novo-codigo")
                                    << QByteArray("novo-codigo") << QByteArray("18000");
    QTest::newRow("wrong current code") << QByteArray("errado00") << 1 << QByteArray("novo-codigo")
                                        << QByteArray("novo-codigo") << QByteArray("18001");
    QTest::newRow("current code as emergency")
        << QByteArray(kKitCode) << 2 << QByteArray("novo-codigo") << QByteArray("novo-codigo")
        << QByteArray("18002");
    QTest::newRow("confirmation differs in case")
        << QByteArray(kKitCode) << 1 << QByteArray("novo-codigo") << QByteArray("Novo-codigo")
        << QByteArray("18001");
    QTest::newRow("new code of 7") << QByteArray(kKitCode) << 1 << QByteArray("1234567")
                                   << QByteArray("1234567") << QByteArray("18001");
    QTest::newRow("new code of 33") << QByteArray(kKitCode) << 1 << QByteArray(33, 'x')
                                    << QByteArray(33, 'x') << QByteArray("18001");
    QTest::newRow("option 3") << QByteArray(kKitCode) << 3 << QByteArray("novo-codigo")
                              << QByteArray("novo-codigo") << QByteArray("18099");
}

void TestEmulatorRefusals::codeChange() {
    QFETCH(QByteArray, current);
    QFETCH(int, option);
    QFETCH(QByteArray, newCode);
    QFETCH(QByteArray, confirmation);
    QFETCH(QByteArray, expected);
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    QCOMPARE(Take(sat.TrocarCodigoDeAtivacao(folder.NextSession(), current, option, newCode,
                                             confirmation))
                 .Code(),
             expected);
    const QByteArray inForce = expected == "18000" ? newCode : QByteArray(kKitCode);
    QCOMPARE(Take(sat.ConsultarStatusOperacional(folder.NextSession(), inForce)).Code(),
             QByteArray("10000"));
}

void TestEmulatorRefusals::softwareUpdate_data() {
    QTest::addColumn<QByteArray>("available");
    QTest::addColumn<bool>("offline");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QByteArray>("version");
    QTest::newRow("update available")
        << QByteArray("01.01.00") << false << QByteArray("14000") << QByteArray("01.01.00");
    QTest::newRow("up to date") << QByteArray() << false << QByteArray("14000")
                                << QByteArray("01.00.00");
    QTest::newRow("invalid update file")
        << QByteArray("1.1") << false << QByteArray("14004") << QByteArray("01.00.00");
    QTest::newRow("SEFAZ unreachable")
        << QByteArray("01.01.00") << true << QByteArray("14003") << QByteArray("01.00.00");
}

void TestEmulatorRefusals::softwareUpdate() {
    QFETCH(QByteArray, available);
    QFETCH(bool, offline);
    QFETCH(QByteArray, expected);
    QFETCH(QByteArray, version);
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    QCOMPARE(Take(sat.ConsultarSAT(folder.NextSession())).Code(), QByteArray("08000"));
    ReplaceInStateFile(folder, "available_update=01.01.00", "available_update=" + available);
    SetSwitch("DVT_SAT_OFFLINE", offline ? "1" : "");
    QCOMPARE(Take(sat.AtualizarSoftwareSAT(folder.NextSession(), kKitCode)).Code(), expected);
    QCOMPARE(Take(sat.ConsultarStatusOperacional(folder.NextSession(), kKitCode)).Field(19),
             version);
}

void TestEmulatorRefusals::icpBrasilCertificate() {
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    // The device's own certificate, as its sales carry it, stands for the
    // certificate the ICP-Brasil authority issues.
    const SatAnswer sold =
        Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, SaleDocument()));
    const QByteArray body =
        ElementText(DecodeXml(sold.Field(7)), QStringLiteral("X509Certificate")).toLatin1();
    const QByteArray pem = "-----BEGIN CERTIFICATE-----\n" + body + "\n-----END CERTIFICATE-----\n";
    QCOMPARE(Take(sat.ComunicarCertificadoICPBRASIL(folder.NextSession(), kKitCode, pem)).Code(),
             QByteArray("05003")); // no certificate request waiting
    QCOMPARE(Take(sat.AtivarSAT(folder.NextSession(), 3, kKitCode, kTaxpayer, 35)).Code(),
             QByteArray("04006"));
    QCOMPARE(Take(sat.ComunicarCertificadoICPBRASIL(folder.NextSession(), kKitCode,
                                                    "-----BEGIN CERTIFICATE-----\nAAAA\n"
                                                    "-----END CERTIFICATE-----\n"))
                 .Code(),
             QByteArray("05003"));
    SetSwitch("DVT_SAT_OFFLINE", "1");
    QCOMPARE(Take(sat.ComunicarCertificadoICPBRASIL(folder.NextSession(), kKitCode, pem)).Code(),
             QByteArray("05002"));
    SetSwitch("DVT_SAT_OFFLINE", "");
    QCOMPARE(Take(sat.ComunicarCertificadoICPBRASIL(folder.NextSession(), kKitCode, pem)).Code(),
             QByteArray("05000"));
    const SatAnswer status = Take(sat.ConsultarStatusOperacional(folder.NextSession(), kKitCode));
    QCOMPARE(status.Field(26), QByteArray("20250115"));
    QCOMPARE(status.Field(27), QByteArray("20300115"));
}

void TestEmulatorRefusals::endToEndTestRejection() {
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    QByteArray document = SaleDocument();
    document.replace("\"0.08\"", "\"0.05\"");
    const SatAnswer answer = Take(sat.TesteFimAFim(folder.NextSession(), kKitCode, document));
    QCOMPARE(answer.Code(), QByteArray("09099"));
    QCOMPARE(answer.Field(4), QByteArray("1004"));
    QCOMPARE(answer.fields.size(), 5);
}

QTEST_GUILESS_MAIN(TestEmulatorRefusals)
#include "test_emulator_refusals.moc"
