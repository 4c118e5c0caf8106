// The network configuration document: the order of its checks, its messages,
// the pieces for DHCP, fixed address and the three proxy modes, and the
// escaping of user names and passwords.

#include <QByteArrayList>
#include <QMap>
#include <QTest>
#include <QXmlStreamReader>

#include <string>
#include <utility>

using namespace Qt::StringLiterals;

#include "rules/cp1252.h"
#include "rules/network_document.h"
#include "tests/field_rules/message_recorder.h"

Q_DECLARE_METATYPE(NetworkFields)

namespace {

const QByteArray kRevise = "\r\nRevise as opções e tente novamente.";
const QByteArray kFixedMessage = "Configurações de REDE ( IP FIXO ) incorretas !" + kRevise;
const QByteArray kMaskMessage =
    "Configurações de REDE ( MÁSCARA DE SUB-REDE ) incorretas !" + kRevise;
const QByteArray kProxyMessage = "Configurações de REDE ( PROXY ) incorretas !" + kRevise;
const QByteArray kCredentialsMessage =
    "Configurações de REDE ( PROXY COM CONFIGURAÇÃO) incorretas !" + kRevise;

const QByteArray kHead = R"(<?xml version="1.0" encoding="UTF-8"?><config>)"
                         "<tipoInter>ETHE</tipoInter><SSID></SSID><seg></seg><codigo></codigo>";

OctetTexts Octets(const char* a, const char* b, const char* c, const char* d) {
    return {a, b, c, d};
}

NetworkFields FixedAddress() {
    NetworkFields fields;
    fields.rede_dhcp_opt = false;
    fields.rede_manual_opt = true;
    fields.rede_manual_ip = Octets("192", "168", "0", "10");
    fields.rede_manual_masc = Octets("255", "255", "255", "0");
    fields.rede_manual_gate = Octets("192", "168", "0", "1");
    fields.rede_manual_dns1 = Octets("8", "8", "8", "8");
    fields.rede_manual_dns2 = Octets("8", "8", "4", "4");
    return fields;
}

NetworkFields Proxy(int mode) {
    NetworkFields fields;
    fields.rede_proxy_opt = mode;
    fields.rede_proxy_ip = Octets("10", "0", "0", "254");
    fields.rede_proxy_port = "3128";
    fields.rede_proxy_user = "proxy-user";
    fields.rede_proxy_pass = "proxy-pass";
    return fields;
}

// The element texts of a document, read back by an XML parser; an empty map
// when the document is not well formed.
QMap<QString, QString> ElementTexts(const std::string& document) {
    QMap<QString, QString> texts;
    QXmlStreamReader reader(QByteArray::fromStdString(Cp1252ToUtf8(document)));
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement &&
            reader.name() != QStringLiteral("config")) {
            const QString name = reader.name().toString();
            texts.insert(name, reader.readElementText());
        }
    }
    if (reader.hasError()) {
        return {};
    }
    return texts;
}

} // namespace

class TestNetworkDocument : public QObject {
    Q_OBJECT

private slots:
    void wholeDocument_data();
    void wholeDocument();
    void refusals_data();
    void refusals();
    void elements_data();
    void elements();
    void credentialsAreEscaped_data();
    void credentialsAreEscaped();
    void valuesRecord();
};

void TestNetworkDocument::wholeDocument_data() {
    QTest::addColumn<NetworkFields>("fields");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("DHCP, nothing typed")
        << NetworkFields{}
        << kHead + "<tipoLan>DHCP</tipoLan><lanIP>000.000.000.000</lanIP>"
                   "<lanMask>000.000.000.000</lanMask><lanGW>000.000.000.000</lanGW>"
                   "<lanDNS1>000.000.000.000</lanDNS1><lanDNS2>000.000.000.000</lanDNS2>"
                   "<usuario></usuario><senha></senha><proxy>0</proxy>"
                   "<proxy_ip>000.000.000.000</proxy_ip><proxy_porta>0</proxy_porta>"
                   "<proxy_user></proxy_user><proxy_senha></proxy_senha></config>";
    QTest::newRow("fixed address, no proxy")
        << FixedAddress()
        << kHead + "<tipoLan>IPFIX</tipoLan><lanIP>192.168.000.010</lanIP>"
                   "<lanMask>255.255.255.000</lanMask><lanGW>192.168.000.001</lanGW>"
                   "<lanDNS1>008.008.008.008</lanDNS1><lanDNS2>008.008.004.004</lanDNS2>"
                   "<usuario></usuario><senha></senha><proxy>0</proxy>"
                   "<proxy_ip>000.000.000.000</proxy_ip><proxy_porta>0</proxy_porta>"
                   "<proxy_user></proxy_user><proxy_senha></proxy_senha></config>";
}

void TestNetworkDocument::wholeDocument() {
    QFETCH(NetworkFields, fields);
    QFETCH(QByteArray, expected);

    TVexa_Rede values;
    std::string document = "left over from an earlier call";
    MessageRecorder recorder;
    QVERIFY(BuildNetworkDocument(fields, values, document, recorder.Shower()));
    QCOMPARE(QByteArray::fromStdString(document), expected);
    QCOMPARE(recorder.shown, QList<QByteArray>{});
}

void TestNetworkDocument::refusals_data() {
    QTest::addColumn<NetworkFields>("fields");
    QTest::addColumn<QByteArray>("message");

    NetworkFields ip256 = FixedAddress();
    ip256.rede_manual_ip[3] = "256";
    QTest::newRow("fixed octet 256") << ip256 << kFixedMessage;

    NetworkFields lastGroup = FixedAddress();
    lastGroup.rede_manual_dns2[0] = "999";
    QTest::newRow("second DNS 999") << lastGroup << kFixedMessage;

    NetworkFields lanBeforeProxy = FixedAddress();
    lanBeforeProxy.rede_manual_masc[0] = "256";
    lanBeforeProxy.rede_proxy_opt = 1;
    lanBeforeProxy.rede_proxy_port = "0";
    QTest::newRow("LAN checked before the proxy") << lanBeforeProxy << kFixedMessage;

    // A mask that is no network mask would cut the device off its network.
    const std::pair<const char*, OctetTexts> masks[] = {
        {"mask 0.0.0.0", Octets("0", "0", "0", "0")},
        {"mask left empty", Octets("", "", "", "")},
        {"mask with a hole", Octets("255", "0", "255", "0")},
        {"mask ending in a one", Octets("255", "255", "255", "1")},
    };
    for (const auto& [name, octets] : masks) {
        NetworkFields notAMask = FixedAddress();
        notAMask.rede_manual_masc = octets;
        QTest::newRow(name) << notAMask << kMaskMessage;
    }
    NetworkFields maskBeforeProxy = FixedAddress();
    maskBeforeProxy.rede_manual_masc = Octets("0", "0", "0", "0");
    maskBeforeProxy.rede_proxy_opt = 2;
    maskBeforeProxy.rede_proxy_port = "0";
    QTest::newRow("mask checked before the proxy") << maskBeforeProxy << kMaskMessage;

    NetworkFields transparentPortZero = Proxy(2);
    transparentPortZero.rede_proxy_port = "0";
    QTest::newRow("transparent proxy, port 0") << transparentPortZero << kProxyMessage;

    NetworkFields emptyPort = Proxy(1);
    emptyPort.rede_proxy_port = "";
    QTest::newRow("configured proxy, empty port") << emptyPort << kProxyMessage;

    NetworkFields proxyIp = Proxy(1);
    proxyIp.rede_proxy_ip[1] = "300";
    QTest::newRow("proxy octet 300") << proxyIp << kProxyMessage;

    NetworkFields proxyBeforeCredentials = Proxy(1);
    proxyBeforeCredentials.rede_proxy_port = "0";
    proxyBeforeCredentials.rede_proxy_user = "";
    proxyBeforeCredentials.rede_proxy_pass = "";
    QTest::newRow("address and port before credentials") << proxyBeforeCredentials << kProxyMessage;

    NetworkFields blankCredentials = Proxy(1);
    blankCredentials.rede_proxy_user = "   ";
    blankCredentials.rede_proxy_pass = "";
    QTest::newRow("configured proxy, blank credentials") << blankCredentials << kCredentialsMessage;
}

void TestNetworkDocument::refusals() {
    QFETCH(NetworkFields, fields);
    QFETCH(QByteArray, message);

    TVexa_Rede values;
    std::string document = "left over from an earlier call";
    MessageRecorder recorder;
    QVERIFY(!BuildNetworkDocument(fields, values, document, recorder.Shower()));
    QCOMPARE(recorder.shown, QList<QByteArray>{message});
    // Nothing that could be sent is left behind.
    QCOMPARE(QByteArray::fromStdString(document), QByteArray());
}

void TestNetworkDocument::elements_data() {
    QTest::addColumn<NetworkFields>("fields");
    QTest::addColumn<QStringList>("expected"); // "element=text" pairs

    NetworkFields none = Proxy(0);
    none.rede_proxy_ip = Octets("999", "x", "", "");
    none.rede_proxy_port = "0";
    QTest::newRow("no proxy ignores the proxy fields")
        << none
        << QStringList{u"proxy=0"_s, u"proxy_ip=000.000.000.000"_s, u"proxy_porta=0"_s,
                       u"proxy_user="_s, u"proxy_senha="_s};
    NetworkFields configured = Proxy(1);
    configured.rede_proxy_port = "008080";
    QTest::newRow("configured") << configured
                                << QStringList{u"proxy=1"_s, u"proxy_ip=010.000.000.254"_s,
                                               u"proxy_porta=8080"_s, u"proxy_user=proxy-user"_s,
                                               u"proxy_senha=proxy-pass"_s};
    NetworkFields onlyPassword = Proxy(1);
    onlyPassword.rede_proxy_user = "";
    QTest::newRow("configured, password only")
        << onlyPassword << QStringList{u"proxy_user="_s, u"proxy_senha=proxy-pass"_s};
    NetworkFields onlyUser = Proxy(1);
    onlyUser.rede_proxy_pass = "  ";
    QTest::newRow("configured, user only, password as typed")
        << onlyUser << QStringList{u"proxy_user=proxy-user"_s, u"proxy_senha=  "_s};
    QTest::newRow("transparent sends no credentials")
        << Proxy(2)
        << QStringList{u"proxy=2"_s, u"proxy_porta=3128"_s, u"proxy_user="_s, u"proxy_senha="_s};
    NetworkFields emptyOctets = FixedAddress();
    emptyOctets.rede_manual_dns2 = Octets("", "", "", "");
    QTest::newRow("empty octets count as 0")
        << emptyOctets << QStringList{u"lanDNS2=000.000.000.000"_s, u"tipoLan=IPFIX"_s};
    NetworkFields shortMask = FixedAddress();
    shortMask.rede_manual_masc = Octets("255", "255", "254", "");
    QTest::newRow("mask of 23 ones") << shortMask << QStringList{u"lanMask=255.255.254.000"_s};
    NetworkFields hostMask = FixedAddress();
    hostMask.rede_manual_masc = Octets("255", "255", "255", "255");
    QTest::newRow("mask of 32 ones") << hostMask << QStringList{u"lanMask=255.255.255.255"_s};
    NetworkFields dhcp;
    dhcp.rede_dhcp_user = "  user ";
    dhcp.rede_dhcp_pass = " ";
    dhcp.rede_manual_ip = Octets("999", "1", "1", "1");
    QTest::newRow("DHCP: credentials as typed, fixed address not read")
        << dhcp << QStringList{u"usuario=  user "_s, u"senha= "_s, u"lanIP=000.000.000.000"_s};
    NetworkFields fixedWithDhcpUser = FixedAddress();
    fixedWithDhcpUser.rede_dhcp_user = "user";
    QTest::newRow("fixed address sends no DHCP user")
        << fixedWithDhcpUser << QStringList{u"usuario="_s, u"tipoLan=IPFIX"_s};
}

void TestNetworkDocument::elements() {
    QFETCH(NetworkFields, fields);
    QFETCH(QStringList, expected);

    TVexa_Rede values;
    std::string document;
    MessageRecorder recorder;
    QVERIFY(BuildNetworkDocument(fields, values, document, recorder.Shower()));
    QCOMPARE(recorder.shown, QList<QByteArray>{});
    const QMap<QString, QString> texts = ElementTexts(document);
    for (const QString& pair : expected) {
        const QString name = pair.section(u'=', 0, 0);
        QCOMPARE(texts.value(name, u"<missing>"_s), pair.section(u'=', 1));
    }
}

void TestNetworkDocument::credentialsAreEscaped_data() {
    QTest::addColumn<QByteArray>("utf8Credential");
    QTest::addColumn<QByteArray>("inDocument");
    QTest::newRow("ampersand") << QByteArray("a&b") << QByteArray("a&amp;b");
    QTest::newRow("less than") << QByteArray("a<b") << QByteArray("a&lt;b");
    QTest::newRow("greater than") << QByteArray("a>b") << QByteArray("a&gt;b");
    QTest::newRow("quote") << QByteArray("a\"b") << QByteArray("a&quot;b");
    QTest::newRow("apostrophe") << QByteArray("a'b") << QByteArray("a&apos;b");
    QTest::newRow("an entity stays text") << QByteArray("&amp;") << QByteArray("&amp;amp;");
    QTest::newRow("element injection")
        << QByteArray("x</proxy_senha><proxy>9</proxy><proxy_senha>")
        << QByteArray("x&lt;/proxy_senha&gt;&lt;proxy&gt;9&lt;/proxy&gt;&lt;proxy_senha&gt;");
    QTest::newRow("accents untouched") << QByteArray("senhaçã") << QByteArray("senhaçã");
}

void TestNetworkDocument::credentialsAreEscaped() {
    QFETCH(QByteArray, utf8Credential);
    QFETCH(QByteArray, inDocument);
    const std::string credential = Utf8ToCp1252(utf8Credential.toStdString());

    // The DHCP pair and the proxy pair, each both as user and password.
    NetworkFields dhcp;
    dhcp.rede_dhcp_user = credential;
    dhcp.rede_dhcp_pass = credential;
    NetworkFields proxy = Proxy(1);
    proxy.rede_proxy_user = credential;
    proxy.rede_proxy_pass = credential;

    for (const NetworkFields& fields : {dhcp, proxy}) {
        TVexa_Rede values;
        std::string document;
        QVERIFY(BuildNetworkDocument(fields, values, document, ShowMessage{}));
        const QByteArray utf8 = QByteArray::fromStdString(Cp1252ToUtf8(document));
        QCOMPARE(utf8.count(inDocument), 2);

        // Read back by a parser, the value is exactly what was typed and no
        // element was added.
        const QMap<QString, QString> texts = ElementTexts(document);
        QCOMPARE(texts.size(), 17);
        const QString typed = QString::fromUtf8(utf8Credential);
        const bool isDhcp = fields.rede_proxy_opt == 0;
        QCOMPARE(texts.value(isDhcp ? QStringLiteral("usuario") : QStringLiteral("proxy_user")),
                 typed);
        QCOMPARE(texts.value(isDhcp ? QStringLiteral("senha") : QStringLiteral("proxy_senha")),
                 typed);
        QCOMPARE(texts.value(QStringLiteral("proxy")),
                 isDhcp ? QStringLiteral("0") : QStringLiteral("1"));
    }
}

void TestNetworkDocument::valuesRecord() {
    // A successful call after a failed one rebuilds the record from its reset
    // values: nothing of the earlier fields survives.
    TVexa_Rede values;
    std::string document;
    QVERIFY(BuildNetworkDocument(Proxy(1), values, document, ShowMessage{}));
    QCOMPARE(QByteArray::fromStdString(values.proxy_user), QByteArray("proxy-user"));

    NetworkFields broken = FixedAddress();
    broken.rede_manual_gate[2] = "256";
    QVERIFY(!BuildNetworkDocument(broken, values, document, ShowMessage{}));
    QCOMPARE(QByteArray::fromStdString(values.proxy_user), QByteArray());

    QVERIFY(BuildNetworkDocument(FixedAddress(), values, document, ShowMessage{}));
    const OctetTexts expectedIp{"192", "168", "000", "010"};
    QVERIFY(values.lanIP == expectedIp);
    QCOMPARE(QByteArray::fromStdString(values.proxy_porta), QByteArray("0"));
    const OctetTexts zeros{"000", "000", "000", "000"};
    QVERIFY(values.proxy_ip == zeros);
}

QTEST_APPLESS_MAIN(TestNetworkDocument)
#include "test_network_document.moc"
