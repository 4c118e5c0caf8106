// The issued sale is written as text straight from the sent document, not
// canonicalised from a tree: whatever the items hold, the text must be the
// canonical form of the document it describes, and its digest that of its
// infCFe as any verifier computes it.

#include "emulator/base64.h"
#include "emulator/canonical_xml.h"
#include "emulator/cfe_builder.h"
#include "emulator/device_key.h"
#include "emulator/device_state.h"
#include "emulator/sale_document.h"

#include <QTest>

using namespace satemu;

namespace {

std::string Std(const QByteArray& b) {
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

QByteArray Bytes(const std::string& s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

// A product of 50.00 with ICMS, PIS and COFINS by rate.
const QByteArray kProduct =
    "<det nItem=\"1\"><prod><cProd>279</cProd><xProd>Perfume 100ml</xProd><NCM>33030010</NCM>"
    "<CFOP>5102</CFOP><uCom>UN</uCom><qCom>1.0000</qCom><vUnCom>50.00</vUnCom>"
    "<indRegra>A</indRegra></prod><imposto><ICMS><ICMS00><Orig>0</Orig><CST>00</CST>"
    "<pICMS>18.00</pICMS></ICMS00></ICMS><PIS><PISAliq><CST>01</CST><vBC>50.00</vBC>"
    "<pPIS>0.0065</pPIS></PISAliq></PIS><COFINS><COFINSAliq><CST>01</CST><vBC>50.00</vBC>"
    "<pCOFINS>0.0300</pCOFINS></COFINSAliq></COFINS></imposto></det>";

QByteArray Sale(const QByteArray& items, const QByteArray& total, const QByteArray& extra) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><CFe><infCFe versaoDadosEnt=\"0.08\">"
           "<ide><CNPJ>" +
           QByteArray(kTestSoftwareHouseCnpj) + "</CNPJ><signAC>" + QByteArray(kTestSignature) +
           "</signAC><numeroCaixa>001</numeroCaixa></ide><emit><CNPJ>" +
           QByteArray(kTestTaxpayerCnpj) + "</CNPJ><IE>" + QByteArray(kTestTaxpayerIe) +
           "</IE><indRatISSQN>S</indRatISSQN></emit><dest><CPF>11144477735</CPF></dest>" + items +
           total + "<pgto><MP><cMP>01</cMP><vMP>1000.00</vMP></MP></pgto>" + extra +
           "</infCFe></CFe>";
}

} // namespace

class TestEmulatorIssuedText : public QObject {
    Q_OBJECT

private slots:
    void issuedSaleIsCanonical_data();
    void issuedSaleIsCanonical();
};

void TestEmulatorIssuedText::issuedSaleIsCanonical_data() {
    QTest::addColumn<QByteArray>("items");
    QTest::addColumn<QByteArray>("total");
    QTest::addColumn<QByteArray>("extra");
    QTest::newRow("one product") << kProduct << QByteArray("<total/>") << QByteArray();
    QByteArray escaped = kProduct;
    escaped.replace("Perfume 100ml", "Creme &amp; loção &lt;5&gt; \"nº 3\" <![CDATA[a&b]]>");
    QTest::newRow("escaped text and CDATA") << escaped << QByteArray("<total/>") << QByteArray();
    QByteArray notes = kProduct;
    notes.replace("<indRegra>A</indRegra>",
                  "<indRegra>A</indRegra><vDesc>1.00</vDesc><vOutro>0.50</vOutro>"
                  "<obsFiscoDet xCampoDet=\"Cod.Produto\"><xTextoDet>a &amp; b</xTextoDet>"
                  "</obsFiscoDet>");
    notes.replace("</imposto></det>", "</imposto><infAdProd>lote 7</infAdProd></det>");
    QTest::newRow("discount, notes and subtotal discount")
        << notes
        << QByteArray("<total><DescAcrEntr><vDescSubtot>2.00</vDescSubtot></DescAcrEntr></total>")
        << QByteArray("<infAdic><infCpl>obrigado &amp; volte</infCpl></infAdic>");
    QByteArray exempt = kProduct;
    exempt.replace("<ICMS00><Orig>0</Orig><CST>00</CST><pICMS>18.00</pICMS></ICMS00>",
                   "<ICMS40><Orig>0</Orig><CST>40</CST></ICMS40>");
    exempt.replace("<PISAliq><CST>01</CST><vBC>50.00</vBC><pPIS>0.0065</pPIS></PISAliq>",
                   "<PISNT><CST>04</CST></PISNT>");
    exempt.replace("</PIS>", "</PIS><PISST><vBC>50.00</vBC><pPIS>0.0065</pPIS></PISST>");
    exempt.replace("</COFINS>",
                   "</COFINS><COFINSST><qBCProd>2.0000</qBCProd><vAliqProd>0.1000</vAliqProd>"
                   "</COFINSST>");
    QByteArray service =
        "<det nItem=\"2\"><prod><cProd>900</cProd><xProd>Instalação</xProd><NCM>99</NCM>"
        "<CFOP>5933</CFOP><uCom>UN</uCom><qCom>1.0000</qCom><vUnCom>20.00</vUnCom>"
        "<indRegra>A</indRegra></prod><imposto><ISSQN><vDeducISSQN>0.00</vDeducISSQN>"
        "<vAliq>005.00</vAliq><cMunFG>3550308</cMunFG><cListServ>14.01</cListServ>"
        "<cServTribMun>14010000000000000001</cServTribMun><cNatOp>01</cNatOp>"
        "<indIncFisc>1</indIncFisc></ISSQN><PIS><PISAliq><CST>01</CST><vBC>20.00</vBC>"
        "<pPIS>0.0065</pPIS></PISAliq></PIS><COFINS><COFINSAliq><CST>01</CST><vBC>20.00</vBC>"
        "<pCOFINS>0.0300</pCOFINS></COFINSAliq></COFINS></imposto></det>";
    QTest::newRow("exempt product with substitution, and a service")
        << exempt + service
        << QByteArray("<total><DescAcrEntr><vAcresSubtot>3.00</vAcresSubtot></DescAcrEntr></total>")
        << QByteArray();
}

void TestEmulatorIssuedText::issuedSaleIsCanonical() {
    QFETCH(QByteArray, items);
    QFETCH(QByteArray, total);
    QFETCH(QByteArray, extra);
    const std::int64_t now = 1736937000; // 2025-01-15 10:30:00 UTC
    const DeviceState device = MakeDeveloperKit(now);
    SaleRules rules;
    rules.softwareHouses.push_back({device.softwareHouseCnpj, device.acSignature});
    rules.taxpayers.push_back({device.taxpayerCnpj, device.taxpayerIe});
    SaleDocument sale;
    const auto rejection = ReadSaleDocument(Std(Sale(items, total, extra)), rules, sale);
    QVERIFY2(!rejection, rejection ? QByteArray::number(rejection->detail).constData() : "");
    const DeviceKey key = DeviceKey::Create({device.serial, device.taxpayerCnpj}, now, now + 1000);
    const IssuedDocument issued = BuildSaleDocument(sale, {device, key, now, 1, 123456, false});

    pugi::xml_document parsed;
    QVERIFY(parsed.load_buffer(issued.xml.data(), issued.xml.size()));
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    QCOMPARE(Bytes(issued.xml), Bytes(declaration + Canonical(parsed.document_element())));
    const pugi::xml_node infCFe = parsed.document_element().child("infCFe");
    const char* digest = parsed.document_element()
                             .child("Signature")
                             .child("SignedInfo")
                             .child("Reference")
                             .child_value("DigestValue");
    QCOMPARE(QByteArray(digest), Bytes(Base64Encode(Sha256(Canonical(infCFe)))));
    // Every sent item is in the issued document, in order.
    QCOMPARE(static_cast<std::size_t>(
                 std::distance(infCFe.children("det").begin(), infCFe.children("det").end())),
             sale.items.size());
}

QTEST_GUILESS_MAIN(TestEmulatorIssuedText)
#include "test_emulator_issued_text.moc"
