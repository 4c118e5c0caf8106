// A whole device life through the library as the program loads it: fresh,
// network, activation, association, sales and cancellation, status, session
// lookup, logs, block and unblock, code change; and the developer kit.

#include "emulator_harness.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

// The SAT standard's check digit: weights 2..9 from the right, modulo 11.
int CheckDigit(const QByteArray& first43) {
    int sum = 0;
    int weight = 2;
    for (qsizetype i = first43.size() - 1; i >= 0; --i) {
        sum += (first43[i] - '0') * weight;
        weight = weight == 9 ? 2 : weight + 1;
    }
    const int digit = 11 - sum % 11;
    return digit >= 10 ? 0 : digit;
}

void VerifyAccessKey(const QByteArray& key, const QByteArray& yearMonth, const QByteArray& number) {
    QVERIFY2(QRegularExpression(QStringLiteral("^CFe\\d{44}$"))
                 .match(QString::fromLatin1(key))
                 .hasMatch(),
             key.constData());
    const QByteArray digits = key.mid(3);
    QCOMPARE(digits.left(2), QByteArray("35"));
    QCOMPARE(digits.mid(2, 4), yearMonth);
    QCOMPARE(digits.mid(6, 14), QByteArray(kTaxpayer));
    QCOMPARE(digits.mid(20, 2), QByteArray("59"));
    QCOMPARE(digits.mid(22, 9), QByteArray("900012345"));
    QCOMPARE(digits.mid(31, 6), number);
    QCOMPARE(digits[43] - '0', CheckDigit(digits.left(43)));
}

} // namespace

class TestEmulatorLife : public QObject {
    Q_OBJECT

private slots:
    void wholeDeviceLife();
    void developerKitSellsAtOnce();
    void saleDocumentCarriesComputedValues();
    void issuedDocumentsVerify_data();
    void issuedDocumentsVerify();
    void saleArithmetic_data();
    void saleArithmetic();
    void cancellationWindow_data();
    void cancellationWindow();
    void workingMemoryIsTransmittedPeriodically();
    void endToEndTestIsNotASale();
    void cancellationRepeatsTheMunicipalRegistration();
    void versionTextHasNoSeparator();
};

void TestEmulatorLife::wholeDeviceLife() {
    DeviceFolder folder;
    SatLibrary sat;
    QVERIFY2(sat.IsLoaded(), qPrintable(sat.Error()));

    // Factory-fresh: only the query, the network and the activation work.
    SatAnswer a = Take(sat.ConsultarSAT(folder.NextSession()));
    QCOMPARE(a.Code(), QByteArray("08000"));
    QCOMPARE(a.Text(3), QStringLiteral("SAT em operação"));
    QCOMPARE(a.fields.size(), 5);
    QCOMPARE(Take(sat.ConsultarStatusOperacional(folder.NextSession(), "")).Code(),
             QByteArray("10001"));
    QCOMPARE(Take(sat.EnviarDadosVenda(folder.NextSession(), "", SaleDocument())).Code(),
             QByteArray("06002"));
    a = Take(sat.ConfigurarInterfaceDeRede(folder.NextSession(), "anything",
                                           NetworkDocument("IPFIX", "10.0.0.108")));
    QCOMPARE(a.Code(), QByteArray("12000"));

    const QByteArray code = "codigo-01";
    a = Take(sat.AtivarSAT(folder.NextSession(), 1, code, kTaxpayer, 35));
    QCOMPARE(a.Code(), QByteArray("04000"));
    QCOMPARE(a.Text(3), QStringLiteral("Ativado corretamente"));
    QCOMPARE(a.fields.size(), 6);
    const QByteArray request = QByteArray::fromBase64(a.Field(6));
    QVERIFY(request.startsWith("-----BEGIN CERTIFICATE REQUEST-----\n"));
    QVERIFY(request.endsWith("-----END CERTIFICATE REQUEST-----\n"));
    QCOMPARE(Take(sat.AtivarSAT(folder.NextSession(), 1, code, kTaxpayer, 35)).Code(),
             QByteArray("04003"));

    // Not yet associated: no sale.
    QCOMPARE(Take(sat.EnviarDadosVenda(folder.NextSession(), code, SaleDocument())).Code(),
             QByteArray("06003"));
    a = Take(sat.AssociarAssinatura(folder.NextSession(), code,
                                    QByteArray(kSoftwareHouse) + kTaxpayer, kSignature));
    QCOMPARE(a.Code(), QByteArray("13000"));

    const int saleSession = folder.NextSession();
    const SatAnswer sale = Take(sat.EnviarDadosVenda(saleSession, code, SaleDocument()));
    QCOMPARE(sale.Code(), QByteArray("06000"));
    QCOMPARE(sale.fields.size(), 12);
    QCOMPARE(sale.Field(1), QByteArray::number(saleSession));
    QCOMPARE(sale.Field(3), QByteArray("0000"));
    QCOMPARE(sale.Text(4), QStringLiteral("Emitido com sucesso + conteúdo notas"));
    QCOMPARE(sale.Field(8), QByteArray("20250115103000"));
    VerifyAccessKey(sale.Field(9), "2501", "000001");
    QCOMPARE(sale.Field(10), QByteArray("57.50"));
    QCOMPARE(sale.Field(11), QByteArray("52998224725"));
    QCOMPARE(sale.Field(12).size(), 344);
    QCOMPARE(QByteArray::fromBase64(sale.Field(12)).size(), 256);
    QVERIFY(!DecodeXml(sale.Field(7)).isEmpty());

    // The status shows the network, the document and the working memory.
    a = Take(sat.ConsultarStatusOperacional(folder.NextSession(), code));
    QCOMPARE(a.Code(), QByteArray("10000"));
    QCOMPARE(a.fields.size(), 28);
    QCOMPARE(a.Field(6), QByteArray("900012345"));
    QCOMPARE(a.Field(7), QByteArray("IPFIX"));
    QCOMPARE(a.Field(8), QByteArray("010.000.000.108"));
    QCOMPARE(a.Field(10), QByteArray("255.255.255.000"));
    QCOMPARE(a.Field(14), QByteArray("CONECTADO"));
    QVERIFY(a.Field(17).toLongLong() > 0);
    QCOMPARE(a.Field(18), QByteArray("20250115103000"));
    QCOMPARE(a.Field(21), sale.Field(9).mid(3));
    QCOMPARE(a.Field(22), sale.Field(9).mid(3));
    QCOMPARE(a.Field(23), sale.Field(9).mid(3));
    QCOMPARE(a.Field(26), QByteArray("20250115"));
    QCOMPARE(a.Field(27), QByteArray("20300115"));
    QCOMPARE(a.Field(28), QByteArray("0"));

    // Session lookup gives the stored answer verbatim, code and all.
    QCOMPARE(Take(sat.ConsultarNumeroSessao(folder.NextSession(), code, saleSession)).raw,
             sale.raw);
    a = Take(sat.ConsultarNumeroSessao(folder.NextSession(), code, 999));
    QCOMPARE(a.Code(), QByteArray("11003"));
    QCOMPARE(a.Text(3), QStringLiteral("Sessão não existe"));
    QCOMPARE(Take(sat.ConsultarUltimaSessaoFiscal(folder.NextSession(), code)).raw, sale.raw);

    const SatAnswer cancel = Take(sat.CancelarUltimaVenda(
        folder.NextSession(), code, sale.Field(9), CancellationDocument(sale.Field(9).mid(3))));
    QCOMPARE(cancel.Code(), QByteArray("07000"));
    QCOMPARE(cancel.fields.size(), 12);
    VerifyAccessKey(cancel.Field(9), "2501", "000002");
    QCOMPARE(cancel.Field(10), QByteArray("57.50"));
    const QByteArray cancelXml = DecodeXml(cancel.Field(7));
    QVERIFY(cancelXml.contains("chCanc=\"" + sale.Field(9) + "\""));
    QCOMPARE(Take(sat.ConsultarUltimaSessaoFiscal(folder.NextSession(), code)).raw, cancel.raw);

    // One log line per event.
    a = Take(sat.ExtrairLogs(folder.NextSession(), code));
    QCOMPARE(a.Code(), QByteArray("15000"));
    const QList<QByteArray> lines = QByteArray::fromBase64(a.Field(6)).split('\n');
    QVERIFY(lines.size() > 10);
    const QRegularExpression line(
        QStringLiteral("^\\d{14}\\|(AC|SAT|SEFAZ)\\|(INFO|ALERTA|ERRO)\\|[^|]+$"));
    for (const QByteArray& l : lines) {
        if (!l.isEmpty()) {
            QVERIFY2(line.match(QString::fromUtf8(l)).hasMatch(), l.constData());
        }
    }

    // Block and unblock.
    QCOMPARE(Take(sat.BloquearSAT(folder.NextSession(), code)).Code(), QByteArray("16000"));
    QCOMPARE(Take(sat.BloquearSAT(folder.NextSession(), code)).Code(), QByteArray("16002"));
    QCOMPARE(Take(sat.EnviarDadosVenda(folder.NextSession(), code, SaleDocument())).Code(),
             QByteArray("06006"));
    QCOMPARE(Take(sat.ConsultarStatusOperacional(folder.NextSession(), code)).Field(28),
             QByteArray("2"));
    QCOMPARE(Take(sat.DesbloquearSAT(folder.NextSession(), code)).Code(), QByteArray("17000"));
    QCOMPARE(Take(sat.DesbloquearSAT(folder.NextSession(), code)).Code(), QByteArray("17005"));

    // Code change with the current code, then with the emergency code.
    QCOMPARE(Take(sat.TrocarCodigoDeAtivacao(folder.NextSession(), code, 1, "novo-codigo",
                                             "novo-codigo"))
                 .Code(),
             QByteArray("18000"));
    QCOMPARE(Take(sat.ConsultarStatusOperacional(folder.NextSession(), code)).Code(),
             QByteArray("10001"));
    QCOMPARE(Take(sat.ConsultarStatusOperacional(folder.NextSession(), "novo-codigo")).Code(),
             QByteArray("10000"));
    QCOMPARE(Take(sat.TrocarCodigoDeAtivacao(folder.NextSession(), kEmergencyCode, 2,
                                             "terceiro-codigo", "terceiro-codigo"))
                 .Code(),
             QByteArray("18000"));
    QCOMPARE(Take(sat.ConsultarStatusOperacional(folder.NextSession(), "terceiro-codigo")).Code(),
             QByteArray("10000"));
}

void TestEmulatorLife::developerKitSellsAtOnce() {
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    const SatAnswer status = Take(sat.ConsultarStatusOperacional(folder.NextSession(), kKitCode));
    QCOMPARE(status.Code(), QByteArray("10000"));
    QCOMPARE(status.Field(7), QByteArray("DHCP"));
    QCOMPARE(status.Field(8), QByteArray("192.168.000.200"));
    QCOMPARE(status.Field(21), QByteArray(44, '0'));
    QCOMPARE(Take(sat.AtivarSAT(folder.NextSession(), 1, kKitCode, kTaxpayer, 35)).Code(),
             QByteArray("04003"));
    const SatAnswer sale =
        Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, SaleDocument()));
    QCOMPARE(sale.Code(), QByteArray("06000"));
    QCOMPARE(ElementText(DecodeXml(sale.Field(7)), QStringLiteral("tpAmb")), QStringLiteral("2"));
}

void TestEmulatorLife::saleDocumentCarriesComputedValues() {
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    const SatAnswer sale =
        Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, SaleDocument()));
    QCOMPARE(sale.Code(), QByteArray("06000"));
    const QByteArray xml = DecodeXml(sale.Field(7));
    QVERIFY(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    // The sent UTF-8 text comes back unchanged.
    QCOMPARE(ElementText(xml, QStringLiteral("xProd")), QStringLiteral("Perfume Ação 100ml"));
    const struct {
        const char* element;
        const char* value;
    } expected[] = {
        {"cUF", "35"},      {"mod", "59"},          {"nserieSAT", "900012345"},
        {"nCFe", "000001"}, {"dEmi", "20250115"},   {"hEmi", "103000"},
        {"vProd", "50.00"}, {"vItem", "50.00"},     {"vICMS", "9.00"},
        {"vPIS", "0.33"},   {"vCOFINS", "1.50"},    {"vCFe", "57.50"},
        {"vTroco", "2.50"}, {"numeroCaixa", "001"}, {"CPF", "52998224725"},
    };
    for (const auto& e : expected) {
        QCOMPARE(ElementText(xml, QString::fromLatin1(e.element)), QString::fromLatin1(e.value));
    }
    const QByteArray key = sale.Field(9).mid(3);
    QCOMPARE(ElementText(xml, QStringLiteral("cNF")).toLatin1(), key.mid(37, 6));
    QCOMPARE(ElementText(xml, QStringLiteral("cDV")).toLatin1(), key.right(1));
    QCOMPARE(ElementText(xml, QStringLiteral("assinaturaQRCODE")).toLatin1(), sale.Field(12));
    QVERIFY(xml.contains("Id=\"CFe" + key + "\""));
    // A well-formed enveloped signature whose digest is the SHA-256 of infCFe
    // as written, which is its canonical form.
    QVERIFY(xml.contains("<Signature xmlns=\"http://www.w3.org/2000/09/xmldsig#\">"));
    QVERIFY(xml.contains("<Reference URI=\"#CFe" + key + "\">"));
    const qsizetype begin = xml.indexOf("<infCFe");
    const qsizetype end = xml.indexOf("</infCFe>") + 9;
    const QByteArray digest =
        QCryptographicHash::hash(xml.mid(begin, end - begin), QCryptographicHash::Sha256);
    QCOMPARE(ElementText(xml, QStringLiteral("DigestValue")).toLatin1(), digest.toBase64());
    QCOMPARE(QByteArray::fromBase64(ElementText(xml, QStringLiteral("SignatureValue")).toLatin1())
                 .size(),
             256);
    const QByteArray certificate =
        QByteArray::fromBase64(ElementText(xml, QStringLiteral("X509Certificate")).toLatin1());
    QCOMPARE(certificate.at(0), '\x30'); // a DER SEQUENCE
}

void TestEmulatorLife::issuedDocumentsVerify_data() {
    QTest::addColumn<QByteArray>("kind"); // sale, cancellation or end-to-end test
    QTest::addColumn<QByteArray>("from"); // what changes in the sale document
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<bool>("tamper"); // one byte of infCFe changed after issue
    const QByteArray dest = "<dest><CPF>52998224725</CPF></dest>";
    const QByteArray note = "</pgto><infAdic><infCpl>";
    QTest::newRow("sale with buyer") << QByteArray("sale") << QByteArray() << QByteArray() << false;
    QTest::newRow("sale without buyer")
        << QByteArray("sale") << dest << QByteArray("<dest/>") << false;
    QTest::newRow("sale, empty CPF")
        << QByteArray("sale") << dest << QByteArray("<dest><CPF></CPF></dest>") << false;
    QTest::newRow("infCpl with CR and special characters")
        << QByteArray("sale") << QByteArray("</pgto>")
        << note + "linha 1&#13;\nlinha 2 &amp; &lt;3&gt; \"aspas\" 'apóstrofo' ç\t€</infCpl>"
                  "</infAdic>"
        << false;
    QTest::newRow("infCpl in CDATA")
        << QByteArray("sale") << QByteArray("</pgto>")
        << note + "<![CDATA[a < b & c > d]]> e <![CDATA[]]>fim</infCpl></infAdic>" << false;
    QTest::newRow("item attribute in other quotes")
        << QByteArray("sale") << QByteArray("<det nItem=\"1\">") << QByteArray("<det nItem='1'  >")
        << false;
    QTest::newRow("cancellation with buyer")
        << QByteArray("cancellation") << QByteArray() << QByteArray() << false;
    QTest::newRow("cancellation of a sale without buyer")
        << QByteArray("cancellation") << dest << QByteArray("<dest/>") << false;
    QTest::newRow("end-to-end test")
        << QByteArray("test") << dest << QByteArray("<dest/>") << false;
    QTest::newRow("tampered sale") << QByteArray("sale") << QByteArray() << QByteArray() << true;
}

void TestEmulatorLife::issuedDocumentsVerify() {
    QFETCH(QByteArray, kind);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(bool, tamper);
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    QByteArray document = SaleDocument();
    if (!from.isEmpty()) {
        QVERIFY2(document.contains(from), from.constData());
        document.replace(from, to);
    }
    SatAnswer answer;
    QByteArray xml;
    if (kind == "test") {
        answer = Take(sat.TesteFimAFim(folder.NextSession(), kKitCode, document));
        QCOMPARE(answer.Code(), QByteArray("09000"));
        xml = DecodeXml(answer.Field(6));
    } else {
        answer = Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, document));
        QCOMPARE(answer.Code(), QByteArray("06000"));
        if (kind == "cancellation") {
            QByteArray cancellation = CancellationDocument(answer.Field(9).mid(3));
            if (!from.isEmpty()) {
                cancellation.replace(from, to);
            }
            answer = Take(sat.CancelarUltimaVenda(folder.NextSession(), kKitCode, answer.Field(9),
                                                  cancellation));
            QCOMPARE(answer.Code(), QByteArray("07000"));
        }
        xml = DecodeXml(answer.Field(7));
    }
    QVERIFY(!xml.isEmpty());
    if (tamper) {
        xml.replace("<vCFe>57.50</vCFe>", "<vCFe>57.49</vCFe>");
    }
    const QByteArray certificate = DeviceCertificate(folder.StatePath());
    QVERIFY(certificate.startsWith("-----BEGIN CERTIFICATE-----\n"));
    const QString verified = VerifyDocument(xml, certificate);
    QVERIFY2(verified.isEmpty() != tamper, qPrintable(verified));
    const IssuedKind issuedKind = kind == "test"           ? IssuedKind::EndToEndTest
                                  : kind == "cancellation" ? IssuedKind::Cancellation
                                                           : IssuedKind::Sale;
    const QString valid = ValidateAgainstSchema(xml, issuedKind);
    QVERIFY2(valid.isEmpty(), qPrintable(valid));
    // The QR code's signature, over the QR code's text without its last field:
    // key|date and time|total|buyer.
    const QString qrSignature = ElementText(xml, QStringLiteral("assinaturaQRCODE"));
    QCOMPARE(qrSignature.size(), 344);
    const QByteArray key = xml.mid(xml.indexOf("Id=\"CFe") + 7, 44);
    const QByteArray signedText =
        key + "|20250115103000|57.50|" + ElementText(xml, QStringLiteral("dest")).toLatin1();
    const QString qrVerified = VerifySignature(signedText, qrSignature.toLatin1(), certificate);
    QVERIFY2(qrVerified.isEmpty(), qPrintable(qrVerified));
}

void TestEmulatorLife::saleArithmetic_data() {
    // The test sale (50.00 and 3 x 2.50, ICMS) with a service of 20.00 (ISSQN
    // 5 %, PIS 0.65 % and COFINS 3 % on 20.00). Values worked out by hand.
    QTest::addColumn<QByteArray>("ratio");  // indRatISSQN
    QTest::addColumn<QByteArray>("adjust"); // DescAcrEntr's content, empty: none
    QTest::addColumn<QByteArray>("second"); // qCom, vUnCom and indRegra of item 2
    QTest::addColumn<QString>("vProd");     // items, then ICMSTot
    QTest::addColumn<QString>("vItem");
    QTest::addColumn<QString>("shares");   // vRatDesc or vRatAcr of the items that have one
    QTest::addColumn<QByteArray>("total"); // the issued <total>
    const QByteArray plain = "<qCom>3.0000</qCom><vUnCom>2.50</vUnCom><indRegra>A</indRegra>";
    const QByteArray icms = "<ICMSTot><vICMS>%1</vICMS><vProd>%2</vProd><vDesc>0.00</vDesc>"
                            "<vPIS>0.33</vPIS><vCOFINS>1.50</vCOFINS><vPISST>0.00</vPISST>"
                            "<vCOFINSST>0.00</vCOFINSST><vOutro>0.00</vOutro></ICMSTot>";
    const QByteArray issqn = "<ISSQNtot><vBC>%1</vBC><vISS>%2</vISS><vPIS>0.13</vPIS>"
                             "<vCOFINS>0.60</vCOFINS><vPISST>0.00</vPISST>"
                             "<vCOFINSST>0.00</vCOFINSST></ISSQNtot>";
    const auto total = [&](const char* vICMS, const char* vProd, const char* vCFe, const char* vBC,
                           const char* vISS, const QByteArray& adjust) {
        QByteArray text = "<total>" + QByteArray(icms).replace("%1", vICMS).replace("%2", vProd) +
                          "<vCFe>" + vCFe + "</vCFe>" +
                          QByteArray(issqn).replace("%1", vBC).replace("%2", vISS);
        if (!adjust.isEmpty()) {
            text += "<DescAcrEntr>" + adjust + "</DescAcrEntr>";
        }
        return text + "</total>";
    };
    QTest::newRow("no adjustment")
        << QByteArray("N") << QByteArray() << plain << QStringLiteral("50.00 7.50 20.00 57.50")
        << QStringLiteral("50.00 7.50 20.00") << QString()
        << total("9.00", "57.50", "77.50", "20.00", "1.00", {});
    QTest::newRow("discount, service out")
        << QByteArray("N") << QByteArray("<vDescSubtot>5.75</vDescSubtot>") << plain
        << QStringLiteral("50.00 7.50 20.00 57.50") << QStringLiteral("45.00 6.75 20.00")
        << QStringLiteral("5.00 0.75")
        << total("8.10", "57.50", "71.75", "20.00", "1.00", "<vDescSubtot>5.75</vDescSubtot>");
    QTest::newRow("discount, service in")
        << QByteArray("S") << QByteArray("<vDescSubtot>7.75</vDescSubtot>") << plain
        << QStringLiteral("50.00 7.50 20.00 57.50") << QStringLiteral("45.00 6.75 18.00")
        << QStringLiteral("5.00 0.75 2.00")
        << total("8.10", "57.50", "69.75", "18.00", "0.90", "<vDescSubtot>7.75</vDescSubtot>");
    // 1.00 x 50.00/77.50 = 0.645 -> 0.65, x 7.50/77.50 = 0.097 -> 0.10,
    // x 20.00/77.50 = 0.258 -> 0.26: 1.01, the heaviest item gives back 0.01.
    QTest::newRow("increase, service in, remainder")
        << QByteArray("S") << QByteArray("<vAcresSubtot>1.00</vAcresSubtot>") << plain
        << QStringLiteral("50.00 7.50 20.00 57.50") << QStringLiteral("50.64 7.60 20.26")
        << QStringLiteral("0.64 0.10 0.26")
        << total("9.12", "57.50", "78.50", "20.26", "1.01", "<vAcresSubtot>1.00</vAcresSubtot>");
    // 1.2345 x 3.999 = 4.9367655: 4.94 rounded, 4.93 truncated.
    QTest::newRow("rounded")
        << QByteArray("N") << QByteArray()
        << QByteArray("<qCom>1.2345</qCom><vUnCom>3.999</vUnCom><indRegra>A</indRegra>")
        << QStringLiteral("50.00 4.94 20.00 54.94") << QStringLiteral("50.00 4.94 20.00")
        << QString() << total("9.00", "54.94", "74.94", "20.00", "1.00", {});
    QTest::newRow("truncated")
        << QByteArray("N") << QByteArray()
        << QByteArray("<qCom>1.2345</qCom><vUnCom>3.999</vUnCom><indRegra>T</indRegra>")
        << QStringLiteral("50.00 4.93 20.00 54.93") << QStringLiteral("50.00 4.93 20.00")
        << QString() << total("9.00", "54.93", "74.93", "20.00", "1.00", {});
}

void TestEmulatorLife::saleArithmetic() {
    QFETCH(QByteArray, ratio);
    QFETCH(QByteArray, adjust);
    QFETCH(QByteArray, second);
    QFETCH(QString, vProd);
    QFETCH(QString, vItem);
    QFETCH(QString, shares);
    QFETCH(QByteArray, total);
    QByteArray document = SaleDocument();
    document.replace("<indRatISSQN>N</indRatISSQN>", "<indRatISSQN>" + ratio + "</indRatISSQN>");
    document.replace("<qCom>3.0000</qCom><vUnCom>2.50</vUnCom><indRegra>A</indRegra>", second);
    document.replace(
        "<total/>",
        "<det nItem=\"3\"><prod><cProd>900</cProd><xProd>Instalação</xProd><NCM>99</NCM>"
        "<CFOP>5933</CFOP><uCom>UN</uCom><qCom>1.0000</qCom><vUnCom>20.00</vUnCom>"
        "<indRegra>A</indRegra></prod><imposto><ISSQN><vDeducISSQN>0.00</vDeducISSQN>"
        "<vAliq>005.00</vAliq><cMunFG>3550308</cMunFG><cListServ>14.01</cListServ>"
        "<cServTribMun>14010000000000000001</cServTribMun><cNatOp>01</cNatOp><indIncFisc>1</"
        "indIncFisc>"
        "</ISSQN><PIS><PISAliq><CST>01</CST><vBC>20.00</vBC><pPIS>0.0065</pPIS></PISAliq></PIS>"
        "<COFINS><COFINSAliq><CST>01</CST><vBC>20.00</vBC><pCOFINS>0.0300</pCOFINS>"
        "</COFINSAliq></COFINS></imposto></det>" +
            (adjust.isEmpty() ? QByteArray("<total/>")
                              : "<total><DescAcrEntr>" + adjust + "</DescAcrEntr></total>"));
    document.replace("<vMP>60.00</vMP>", "<vMP>100.00</vMP>");
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    const SatAnswer sale = Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, document));
    QCOMPARE(sale.Code(), QByteArray("06000"));
    const QByteArray xml = DecodeXml(sale.Field(7));
    QCOMPARE(ElementTexts(xml, QStringLiteral("vProd")).join(u' '), vProd);
    QCOMPARE(ElementTexts(xml, QStringLiteral("vItem")).join(u' '), vItem);
    QCOMPARE((ElementTexts(xml, QStringLiteral("vRatDesc")) +
              ElementTexts(xml, QStringLiteral("vRatAcr")))
                 .join(u' '),
             shares);
    const qsizetype begin = xml.indexOf("<total>");
    QCOMPARE(xml.mid(begin, xml.indexOf("</total>") + 8 - begin), total);
    // The service in the layout's order: vDeducISSQN, vBC, vAliq, vISSQN.
    QVERIFY(xml.contains("<ISSQN><vDeducISSQN>0.00</vDeducISSQN><vBC>"));
    QVERIFY(xml.contains("</vBC><vAliq>005.00</vAliq><vISSQN>"));
    QCOMPARE(sale.Field(10), ElementText(xml, QStringLiteral("vCFe")).toLatin1());
}

void TestEmulatorLife::cancellationWindow_data() {
    QTest::addColumn<QByteArray>("cancelAt");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QByteArray>("detail");
    QTest::newRow("at once") << QByteArray("20250115103000") << QByteArray("07000")
                             << QByteArray("0000");
    QTest::newRow("exactly 30 minutes")
        << QByteArray("20250115110000") << QByteArray("07000") << QByteArray("0000");
    QTest::newRow("30 minutes and 1 second")
        << QByteArray("20250115110001") << QByteArray("07007") << QByteArray("1210");
    QTest::newRow("next day") << QByteArray("20250116103000") << QByteArray("07007")
                              << QByteArray("1210");
    QTest::newRow("clock went back")
        << QByteArray("20250115102959") << QByteArray("07007") << QByteArray("1258");
}

void TestEmulatorLife::cancellationWindow() {
    QFETCH(QByteArray, cancelAt);
    QFETCH(QByteArray, code);
    QFETCH(QByteArray, detail);
    DeviceFolder folder("20250115103000");
    UseDeveloperKit();
    SatLibrary sat;
    const SatAnswer sale =
        Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, SaleDocument()));
    QCOMPARE(sale.Code(), QByteArray("06000"));
    SetClock(cancelAt);
    const SatAnswer cancel = Take(sat.CancelarUltimaVenda(
        folder.NextSession(), kKitCode, sale.Field(9), CancellationDocument(sale.Field(9).mid(3))));
    QCOMPARE(cancel.Code(), code);
    QCOMPARE(cancel.Field(3), detail);
    QCOMPARE(cancel.fields.size(), code == "07000" ? 12 : 6);
}

void TestEmulatorLife::workingMemoryIsTransmittedPeriodically() {
    DeviceFolder folder("20250115103000");
    UseDeveloperKit();
    SatLibrary sat;
    const SatAnswer sale =
        Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, SaleDocument()));
    SetClock("20250115103200");
    SatAnswer status = Take(sat.ConsultarStatusOperacional(folder.NextSession(), kKitCode));
    QCOMPARE(status.Field(22), sale.Field(9).mid(3));
    QCOMPARE(status.Field(24), QByteArray());
    SetClock("20250115103600");
    status = Take(sat.ConsultarStatusOperacional(folder.NextSession(), kKitCode));
    QCOMPARE(status.Field(21), sale.Field(9).mid(3)); // still the last document
    QCOMPARE(status.Field(22), QByteArray(44, '0'));
    QCOMPARE(status.Field(23), QByteArray(44, '0'));
    QCOMPARE(status.Field(17), QByteArray("0"));
    QCOMPARE(status.Field(24), QByteArray("20250115103600"));
    QCOMPARE(status.Field(25), QByteArray("20250115103600"));
}

void TestEmulatorLife::endToEndTestIsNotASale() {
    DeviceFolder folder;
    UseDeveloperKit();
    SatLibrary sat;
    const SatAnswer sale =
        Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, SaleDocument()));
    // The program's own test sale: CR LF line ends, an empty CPF, <total/>.
    QByteArray program = SaleDocument();
    program.replace("<CPF>52998224725</CPF>", "<CPF></CPF>");
    program.replace("><", ">\r\n<");
    program.replace("<CPF>\r\n</CPF>", "<CPF></CPF>");
    const SatAnswer test = Take(sat.TesteFimAFim(folder.NextSession(), kKitCode, program));
    QCOMPARE(test.Code(), QByteArray("09000"));
    QCOMPARE(test.Text(3), QStringLiteral("Emitido com sucesso"));
    QCOMPARE(test.fields.size(), 9);
    QVERIFY(!DecodeXml(test.Field(6)).isEmpty());
    QCOMPARE(test.Field(7), QByteArray("20250115103000"));
    QCOMPARE(test.Field(8), QByteArray("000001"));
    QVERIFY(test.Field(9).startsWith("CFe"));
    QVERIFY(test.Field(9) != sale.Field(9));
    // The real sale is still the last one, and can still be cancelled.
    QCOMPARE(Take(sat.ConsultarUltimaSessaoFiscal(folder.NextSession(), kKitCode)).raw, sale.raw);
    QCOMPARE(Take(sat.ConsultarStatusOperacional(folder.NextSession(), kKitCode)).Field(21),
             sale.Field(9).mid(3));
    QCOMPARE(Take(sat.CancelarUltimaVenda(folder.NextSession(), kKitCode, sale.Field(9),
                                          CancellationDocument(sale.Field(9).mid(3))))
                 .Code(),
             QByteArray("07000"));
    // The next sale takes the next real number.
    SetClock("20250115103500");
    const SatAnswer next =
        Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, SaleDocument()));
    QCOMPARE(next.Field(9).mid(34, 6), QByteArray("000003"));
}

void TestEmulatorLife::cancellationRepeatsTheMunicipalRegistration() {
    DeviceFolder folder;
    UseDeveloperKit();
    QByteArray key;
    {
        SatLibrary sat;
        QByteArray document = SaleDocument();
        document.replace("</IE>", "</IE><IM>123456</IM>");
        const SatAnswer sold = Take(sat.EnviarDadosVenda(folder.NextSession(), kKitCode, document));
        QCOMPARE(sold.Code(), QByteArray("06000"));
        QCOMPARE(ElementText(DecodeXml(sold.Field(7)), QStringLiteral("IM")),
                 QStringLiteral("123456"));
        key = sold.Field(9);
    }
    // Loaded again: the registration comes back from the state file.
    SatLibrary sat;
    const SatAnswer cancelled = Take(sat.CancelarUltimaVenda(folder.NextSession(), kKitCode, key,
                                                             CancellationDocument(key.mid(3))));
    QCOMPARE(cancelled.Code(), QByteArray("07000"));
    const QByteArray xml = DecodeXml(cancelled.Field(7));
    QVERIFY(!xml.isEmpty());
    QVERIFY2(xml.contains("<IE>111111111111</IE><IM>123456</IM></emit>"), xml.constData());
}

void TestEmulatorLife::versionTextHasNoSeparator() {
    SatLibrary sat;
    const QByteArray version = sat.VersaoDLL();
    QVERIFY(!version.isEmpty());
    QVERIFY(!version.contains('|'));
}

QTEST_GUILESS_MAIN(TestEmulatorLife)
#include "test_emulator_life.moc"
