#include "emulator_harness.h"

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
    qputenv("DVT_SAT_MODE", "kit");
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
    return reader.hasError() ? QByteArray() : *decoded;
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
