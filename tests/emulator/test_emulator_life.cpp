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
    void cancellationWindow_data();
    void cancellationWindow();
    void workingMemoryIsTransmittedPeriodically();
    void endToEndTestIsNotASale();
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
    // A well-formed enveloped signature whose digest is the SHA-256 of infCFe.
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

void TestEmulatorLife::versionTextHasNoSeparator() {
    SatLibrary sat;
    const QByteArray version = sat.VersaoDLL();
    QVERIFY(!version.isEmpty());
    QVERIFY(!version.contains('|'));
}

QTEST_GUILESS_MAIN(TestEmulatorLife)
#include "test_emulator_life.moc"
