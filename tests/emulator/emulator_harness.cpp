#include "emulator_harness.h"
#include "tests/file_contents.h"

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QXmlStreamReader>
#include <dlfcn.h>

namespace {

template <typename F> void Resolve(void* handle, const char* name, F& out) {
    out = reinterpret_cast<F>(dlsym(handle, name));
}

} // namespace

SatLibrary::SatLibrary() {
    handle_ = dlopen(DVT_SAT_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        error_ = QString::fromLocal8Bit(dlerror());
        return;
    }
    Resolve(handle_, "AtivarSAT", AtivarSAT);
    Resolve(handle_, "ComunicarCertificadoICPBRASIL", ComunicarCertificadoICPBRASIL);
    Resolve(handle_, "EnviarDadosVenda", EnviarDadosVenda);
    Resolve(handle_, "CancelarUltimaVenda", CancelarUltimaVenda);
    Resolve(handle_, "ConsultarSAT", ConsultarSAT);
    Resolve(handle_, "TesteFimAFim", TesteFimAFim);
    Resolve(handle_, "ConsultarStatusOperacional", ConsultarStatusOperacional);
    Resolve(handle_, "ConsultarNumeroSessao", ConsultarNumeroSessao);
    Resolve(handle_, "ConfigurarInterfaceDeRede", ConfigurarInterfaceDeRede);
    Resolve(handle_, "AssociarAssinatura", AssociarAssinatura);
    Resolve(handle_, "AtualizarSoftwareSAT", AtualizarSoftwareSAT);
    Resolve(handle_, "ExtrairLogs", ExtrairLogs);
    Resolve(handle_, "BloquearSAT", BloquearSAT);
    Resolve(handle_, "DesbloquearSAT", DesbloquearSAT);
    Resolve(handle_, "TrocarCodigoDeAtivacao", TrocarCodigoDeAtivacao);
    Resolve(handle_, "ConsultarUltimaSessaoFiscal", ConsultarUltimaSessaoFiscal);
    Resolve(handle_, "DesligarSAT", DesligarSAT);
    Resolve(handle_, "VersaoDLL", VersaoDLL);
}

SatLibrary::~SatLibrary() {
    if (handle_) {
        dlclose(handle_);
    }
}

SatAnswer Take(const char* answer) {
    SatAnswer taken;
    taken.isNull = answer == nullptr;
    taken.raw = answer ? QByteArray(answer) : QByteArray();
    taken.fields = taken.raw.split('|');
    return taken;
}

void SetSwitch(const char* name, const QByteArray& value) {
    if (value.isEmpty()) {
        qunsetenv(name);
    } else {
        qputenv(name, value);
    }
}

void SetClock(const QByteArray& stamp) {
    SetSwitch("DVT_SAT_CLOCK", stamp);
}

DeviceFolder::DeviceFolder(const QByteArray& clock) {
    qputenv("DVT_SAT_STATE", StatePath().toLocal8Bit());
    SetClock(clock);
    for (const char* name : {"DVT_SAT_MODE", "DVT_SAT_FAULT", "DVT_SAT_FAULT_ONLY",
                             "DVT_SAT_OFFLINE", "DVT_SAT_DELAY_MS"}) {
        qunsetenv(name);
    }
}

DeviceFolder::~DeviceFolder() {
    qunsetenv("DVT_SAT_STATE");
}

void UseDeveloperKit() {
    static QHash<QByteArray, QByteArray> kits; // by clock setting
    const QByteArray clock = qgetenv("DVT_SAT_CLOCK");
    const QByteArray statePath = qgetenv("DVT_SAT_STATE");
    qputenv("DVT_SAT_MODE", "kit");
    if (!kits.contains(clock)) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kit.txt"));
        qputenv("DVT_SAT_STATE", path.toLocal8Bit());
        {
            SatLibrary sat;
            Take(sat.ConsultarSAT(0)); // session 0 is not one the device keeps
        }
        if (const QByteArray made = ReadFile(path); !made.isEmpty()) {
            kits.insert(clock, made);
        }
        qputenv("DVT_SAT_STATE", statePath);
    }
    QFile state(QString::fromLocal8Bit(statePath));
    if (!state.exists() && state.open(QIODevice::WriteOnly)) {
        state.write(kits.value(clock));
    }
}

QByteArray DeviceCertificate(const QString& statePath) {
    for (const QByteArray& line : ReadFile(statePath).split('\n')) {
        if (line.startsWith("device_certificate=")) {
            return line.mid(19).replace("\\n", "\n");
        }
    }
    return {};
}

QList<int> LoggedSaleNumbers(const QString& logPath) {
    QList<int> numbers;
    for (const QByteArray& line : ReadFile(logPath).split('\n')) {
        const qsizetype at = line.indexOf("CF-e-SAT emitido: CFe");
        if (at >= 0) {
            numbers.append(line.mid(at + 21 + 31, 6).toInt());
        }
    }
    return numbers;
}

namespace {

// Runs a program; empty when it ends with status 0, else its output.
QString Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        return program + QStringLiteral(" did not run: ") + process.errorString();
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return QString::fromLocal8Bit(process.readAll()).trimmed() + QStringLiteral(" (") +
               program + QStringLiteral(")");
    }
    return {};
}

} // namespace

QString VerifyDocument(const QByteArray& xml, const QByteArray& certificatePem) {
    QTemporaryDir dir;
    const QString document = dir.filePath(QStringLiteral("document.xml"));
    const QString certificate = dir.filePath(QStringLiteral("certificate.pem"));
    if (!WriteFile(document, xml) || !WriteFile(certificate, certificatePem)) {
        return QStringLiteral("cannot write the files for xmlsec1");
    }
    QByteArray carried = certificatePem;
    carried.replace("-----BEGIN CERTIFICATE-----", "").replace("-----END CERTIFICATE-----", "");
    carried.replace("\n", "");
    if (ElementText(xml, QStringLiteral("X509Certificate")).toLatin1() != carried) {
        return QStringLiteral("the document carries another certificate");
    }
    return Run(QStringLiteral("xmlsec1"),
               {QStringLiteral("--verify"), QStringLiteral("--id-attr:Id"),
                QStringLiteral("infCFe"), QStringLiteral("--pubkey-cert-pem"), certificate,
                document});
}

QString ValidateAgainstSchema(const QByteArray& xml, IssuedKind kind) {
    const QString schemas = QStringLiteral(DVT_CFE_SCHEMAS_DIR) + QLatin1Char('/');
    const qsizetype declarationEnd = xml.startsWith("<?xml") ? xml.indexOf("?>") + 2 : 0;
    const QByteArray body = xml.mid(declarationEnd);
    QTemporaryDir dir;
    const QString document = dir.filePath(QStringLiteral("envelope.xml"));
    const auto validate = [&](const QByteArray& content, const QString& schema) {
        if (!WriteFile(document, content)) {
            return QStringLiteral("cannot write the file for xmllint");
        }
        return Run(
            QStringLiteral("xmllint"),
            {QStringLiteral("--noout"), QStringLiteral("--schema"), schemas + schema, document});
    };
    switch (kind) {
    case IssuedKind::Sale:
        return validate("<envCFe versao=\"0.07\"><tpAmb>2</tpAmb><idLote>1</idLote><cUF>35</cUF>"
                        "<LoteCFe>" +
                            body +
                            "</LoteCFe><nSeg>1</nSeg><dhEnvio>20250115103000</dhEnvio>"
                            "<nserieSAT>900012345</nserieSAT></envCFe>",
                        QStringLiteral("CfeRecepcao_0007+xmldsig.xsd"));
    case IssuedKind::EndToEndTest:
        return validate("<envTeste versao=\"0.07\"><tpAmb>2</tpAmb><idLote>1</idLote>"
                        "<optTeste>1</optTeste><cUF>35</cUF>" +
                            body +
                            "<nSeg>1</nSeg><dhEnvio>20250115103000</dhEnvio>"
                            "<nserieSAT>900012345</nserieSAT></envTeste>",
                        QStringLiteral("CfeTeste_0007+xmldsig.xsd"));
    case IssuedKind::Cancellation: {
        const qsizetype infStart = body.indexOf("<infCFe");
        const qsizetype infEnd = body.indexOf("</infCFe>");
        const qsizetype signatureStart = body.indexOf("<Signature");
        const qsizetype signatureEnd = body.indexOf("</Signature>");
        if (infStart < 0 || infEnd < 0 || signatureStart < 0 || signatureEnd < 0) {
            return QStringLiteral("no infCFe or Signature in the cancellation");
        }
        const QString info = validate(body.mid(infStart, infEnd + 9 - infStart),
                                      QStringLiteral("CfeCancelamento_0007.xsd"));
        if (!info.isEmpty()) {
            return info;
        }
        return validate(body.mid(signatureStart, signatureEnd + 12 - signatureStart),
                        QStringLiteral("xmldsig-core-schema.xsd"));
    }
    }
    return QStringLiteral("unknown kind");
}

QString VerifySignature(const QByteArray& data, const QByteArray& signatureBase64,
                        const QByteArray& certificatePem) {
    QTemporaryDir dir;
    const QString certificate = dir.filePath(QStringLiteral("certificate.pem"));
    const QString key = dir.filePath(QStringLiteral("key.pem"));
    const QString signature = dir.filePath(QStringLiteral("signature.bin"));
    const QString signedData = dir.filePath(QStringLiteral("data.bin"));
    if (!WriteFile(certificate, certificatePem) ||
        !WriteFile(signature, QByteArray::fromBase64(signatureBase64)) ||
        !WriteFile(signedData, data)) {
        return QStringLiteral("cannot write the files for openssl");
    }
    const QString extracted =
        Run(QStringLiteral("openssl"),
            {QStringLiteral("x509"), QStringLiteral("-in"), certificate, QStringLiteral("-pubkey"),
             QStringLiteral("-noout"), QStringLiteral("-out"), key});
    if (!extracted.isEmpty()) {
        return extracted;
    }
    return Run(QStringLiteral("openssl"),
               {QStringLiteral("dgst"), QStringLiteral("-sha256"), QStringLiteral("-verify"), key,
                QStringLiteral("-signature"), signature, signedData});
}

QByteArray SaleDocument() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
           "<CFe><infCFe versaoDadosEnt=\"0.08\">"
           "<ide><CNPJ>16716114000172</CNPJ>"
           "<signAC>SGR-SAT SISTEMA DE GESTAO E RETAGUARDA DO SAT</signAC>"
           "<numeroCaixa>001</numeroCaixa></ide>"
           "<emit><CNPJ>61099008000141</CNPJ><IE>111111111111</IE>"
           "<indRatISSQN>N</indRatISSQN></emit>"
           "<dest><CPF>52998224725</CPF></dest>"
           "<det nItem=\"1\"><prod><cProd>279</cProd><xProd>Perfume Ação 100ml</xProd>"
           "<NCM>33030010</NCM><CFOP>5102</CFOP><uCom>UN</uCom><qCom>1.0000</qCom>"
           "<vUnCom>50.00</vUnCom><indRegra>A</indRegra></prod>"
           "<imposto><ICMS><ICMS00><Orig>0</Orig><CST>00</CST><pICMS>18.00</pICMS></ICMS00>"
           "</ICMS><PIS><PISAliq><CST>01</CST><vBC>50.00</vBC><pPIS>0.0065</pPIS></PISAliq>"
           "</PIS><COFINS><COFINSAliq><CST>01</CST><vBC>50.00</vBC><pCOFINS>0.0300</pCOFINS>"
           "</COFINSAliq></COFINS></imposto></det>"
           "<det nItem=\"2\"><prod><cProd>12</cProd><xProd>Sabonete</xProd>"
           "<NCM>34011190</NCM><CFOP>5102</CFOP><uCom>UN</uCom><qCom>3.0000</qCom>"
           "<vUnCom>2.50</vUnCom><indRegra>A</indRegra></prod>"
           "<imposto><ICMS><ICMS40><Orig>0</Orig><CST>40</CST></ICMS40></ICMS>"
           "<PIS><PISNT><CST>04</CST></PISNT></PIS>"
           "<COFINS><COFINSNT><CST>04</CST></COFINSNT></COFINS></imposto></det>"
           "<total/>"
           "<pgto><MP><cMP>01</cMP><vMP>60.00</vMP></MP></pgto>"
           "</infCFe></CFe>\r\n";
}

QByteArray CancellationDocument(const QByteArray& key44) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<CFeCanc><infCFe chCanc=\"CFe" +
           key44 +
           "\"><ide><CNPJ>16716114000172</CNPJ>"
           "<signAC>SGR-SAT SISTEMA DE GESTAO E RETAGUARDA DO SAT</signAC>"
           "<numeroCaixa>001</numeroCaixa></ide>"
           "<emit/><dest><CPF>52998224725</CPF></dest><total/></infCFe></CFeCanc>";
}

QByteArray NetworkDocument(const QByteArray& lanType, const QByteArray& ip) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><config><tipoInter>ETHE</tipoInter>"
           "<SSID></SSID><seg></seg><codigo></codigo><tipoLan>" +
           lanType + "</tipoLan><lanIP>" + ip +
           "</lanIP><lanMask>255.255.255.000</lanMask><lanGW>192.168.000.001</lanGW>"
           "<lanDNS1>008.008.008.008</lanDNS1><lanDNS2>008.008.004.004</lanDNS2>"
           "<usuario></usuario><senha></senha><proxy>0</proxy><proxy_ip>000.000.000.000"
           "</proxy_ip><proxy_porta>0</proxy_porta><proxy_user></proxy_user><proxy_senha>"
           "</proxy_senha></config>";
}

QByteArray DecodeXml(const QByteArray& base64) {
    const auto decoded =
        QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        return {};
    }
    QXmlStreamReader reader(*decoded);
    while (!reader.atEnd()) {
        reader.readNext();
    }
    if (reader.hasError()) {
        return {};
    }
    // Every issued document the tests see is held against the schemas; a test
    // CF-e has the sale's infCFe, so the sale's envelope serves for both.
    const IssuedKind kind =
        (*decoded).contains("<CFeCanc") ? IssuedKind::Cancellation : IssuedKind::Sale;
    const QString complaint = ValidateAgainstSchema(*decoded, kind);
    if (!complaint.isEmpty()) {
        qWarning("issued document not valid against the schemas: %s", qPrintable(complaint));
        return {};
    }
    return *decoded;
}

QStringList ElementTexts(const QByteArray& xml, const QString& name) {
    QStringList texts;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == name) {
            texts.append(reader.readElementText(QXmlStreamReader::IncludeChildElements));
        }
    }
    return texts;
}

QString ElementText(const QByteArray& xml, const QString& name) {
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == name) {
            return reader.readElementText(QXmlStreamReader::IncludeChildElements);
        }
    }
    return {};
}
