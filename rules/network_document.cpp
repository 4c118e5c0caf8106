#include "rules/network_document.h"

#include "rules/cp1252.h"
#include "rules/text_utils.h"
#include "rules/whole_number_format.h"

namespace {

struct Messages {
    std::string fixedAddress = Utf8ToCp1252("Configurações de REDE ( IP FIXO ) incorretas !\r\n"
                                            "Revise as opções e tente novamente.");
    std::string mask = Utf8ToCp1252("Configurações de REDE ( MÁSCARA DE SUB-REDE ) incorretas !\r\n"
                                    "Revise as opções e tente novamente.");
    std::string proxy = Utf8ToCp1252("Configurações de REDE ( PROXY ) incorretas !\r\n"
                                     "Revise as opções e tente novamente.");
    std::string proxyCredentials =
        Utf8ToCp1252("Configurações de REDE ( PROXY COM CONFIGURAÇÃO) incorretas !\r\n"
                     "Revise as opções e tente novamente.");
};

const Messages& Texts() {
    static const Messages messages;
    return messages;
}

std::string DottedAddress(const OctetTexts& octets) {
    return octets[0] + "." + octets[1] + "." + octets[2] + "." + octets[3];
}

// The five characters that XML gives a meaning to, replaced by their entity
// references.
std::string EscapedXml(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped.append("&amp;");
            break;
        case '<':
            escaped.append("&lt;");
            break;
        case '>':
            escaped.append("&gt;");
            break;
        case '"':
            escaped.append("&quot;");
            break;
        case '\'':
            escaped.append("&apos;");
            break;
        default:
            escaped.push_back(c);
            break;
        }
    }
    return escaped;
}

void AppendElement(std::string& document, const char* name, const std::string& content) {
    document.append("<").append(name).append(">");
    document.append(content);
    document.append("</").append(name).append(">");
}

} // namespace

bool BuildNetworkDocument(const NetworkFields& fields, TVexa_Rede& values,
                          std::string& dadosConfiguracao, const ShowMessage& show) {
    values = TVexa_Rede{};
    dadosConfiguracao.clear();

    if (fields.rede_dhcp_opt) {
        values.usuario = fields.rede_dhcp_user;
        values.senha = fields.rede_dhcp_pass;
    }

    if (fields.rede_manual_opt) {
        const OctetTexts* lan[] = {&fields.rede_manual_ip, &fields.rede_manual_masc,
                                   &fields.rede_manual_gate, &fields.rede_manual_dns1,
                                   &fields.rede_manual_dns2};
        for (const OctetTexts* group : lan) {
            if (!AreOctetsInRange(*group)) {
                return ShowRefusal(show, Texts().fixedAddress);
            }
        }
        if (!IsNetworkMask(fields.rede_manual_masc)) {
            return ShowRefusal(show, Texts().mask);
        }
        values.lanIP = PaddedOctets(fields.rede_manual_ip);
        values.lanMask = PaddedOctets(fields.rede_manual_masc);
        values.lanGW = PaddedOctets(fields.rede_manual_gate);
        values.lanDNS1 = PaddedOctets(fields.rede_manual_dns1);
        values.lanDNS2 = PaddedOctets(fields.rede_manual_dns2);
    }

    if (fields.rede_proxy_opt >= 1) {
        const double port = WholeNumberValue(fields.rede_proxy_port);
        if (!AreOctetsInRange(fields.rede_proxy_ip) || !(port > 0)) {
            return ShowRefusal(show, Texts().proxy);
        }
        const bool withCredentials = fields.rede_proxy_opt == 1;
        if (withCredentials && TrimBlanks(fields.rede_proxy_user).empty() &&
            TrimBlanks(fields.rede_proxy_pass).empty()) {
            return ShowRefusal(show, Texts().proxyCredentials);
        }
        values.proxy_ip = PaddedOctets(fields.rede_proxy_ip);
        values.proxy_porta = FormatWholeNumber(port, 1);
        if (withCredentials) {
            values.proxy_user = fields.rede_proxy_user;
            values.proxy_senha = fields.rede_proxy_pass;
        }
    }

    std::string& document = dadosConfiguracao;
    document.append(R"(<?xml version="1.0" encoding="UTF-8"?>)");
    document.append("<config>");
    document.append("<tipoInter>ETHE</tipoInter>");
    document.append("<SSID></SSID>");
    document.append("<seg></seg>");
    document.append("<codigo></codigo>");
    AppendElement(document, "tipoLan", fields.rede_dhcp_opt ? "DHCP" : "IPFIX");
    AppendElement(document, "lanIP", DottedAddress(values.lanIP));
    AppendElement(document, "lanMask", DottedAddress(values.lanMask));
    AppendElement(document, "lanGW", DottedAddress(values.lanGW));
    AppendElement(document, "lanDNS1", DottedAddress(values.lanDNS1));
    AppendElement(document, "lanDNS2", DottedAddress(values.lanDNS2));
    AppendElement(document, "usuario", EscapedXml(values.usuario));
    AppendElement(document, "senha", EscapedXml(values.senha));
    AppendElement(document, "proxy", std::to_string(fields.rede_proxy_opt));
    AppendElement(document, "proxy_ip", DottedAddress(values.proxy_ip));
    AppendElement(document, "proxy_porta", values.proxy_porta);
    AppendElement(document, "proxy_user", EscapedXml(values.proxy_user));
    AppendElement(document, "proxy_senha", EscapedXml(values.proxy_senha));
    document.append("</config>");
    return true;
}
