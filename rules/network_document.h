#pragma once
// The network configuration document that ConfigurarInterfaceDeRede takes:
// the network page's fields are checked, gathered into TVexa_Rede and written
// as one line of XML.

#include <string>

#include "rules/octet_texts.h"
#include "rules/show_message.h"

// The network page's fields as the page holds them (Windows-1252 texts, the
// option buttons' states and the proxy list's item index).
struct NetworkFields {
    bool rede_dhcp_opt = true;    // "Obter endereço IP automaticamente ( DHCP )"
    bool rede_manual_opt = false; // "Utilizar o seguinte endereço IP ( IP FIXO )"
    std::string rede_dhcp_user;
    std::string rede_dhcp_pass;
    OctetTexts rede_manual_ip;
    OctetTexts rede_manual_masc;
    OctetTexts rede_manual_gate;
    OctetTexts rede_manual_dns1;
    OctetTexts rede_manual_dns2;
    int rede_proxy_opt = 0; // 0 no proxy, 1 proxy with credentials, 2 transparent
    OctetTexts rede_proxy_ip;
    std::string rede_proxy_port;
    std::string rede_proxy_user;
    std::string rede_proxy_pass;
};

// The 29 values of the document. Octets hold three digits, the port a whole
// number without leading zeros; user names and passwords are held as typed.
struct TVexa_Rede {
    std::string usuario; // DHCP user
    std::string senha;   // DHCP password
    OctetTexts lanIP{"000", "000", "000", "000"};
    OctetTexts lanMask{"000", "000", "000", "000"};
    OctetTexts lanGW{"000", "000", "000", "000"};
    OctetTexts lanDNS1{"000", "000", "000", "000"};
    OctetTexts lanDNS2{"000", "000", "000", "000"};
    OctetTexts proxy_ip{"000", "000", "000", "000"};
    std::string proxy_porta = "0";
    std::string proxy_user;
    std::string proxy_senha;
};

// Resets `values` and `dadosConfiguracao`, checks the fixed address (when
// chosen: every octet in range, then a mask that is a network mask) and then the proxy (when one is
// chosen), and builds the document into dadosConfiguracao. On the first failing check it shows that
// check's one message and returns false; dadosConfiguracao is then empty and must not be sent. User
// names and passwords are XML-escaped in the document, so that a "<" or "&" in a password stays
// part of the password. The document is Windows-1252 like every core text; it is converted to the
// UTF-8 it declares only where it is handed to the SAT library.
bool BuildNetworkDocument(const NetworkFields& fields, TVexa_Rede& values,
                          std::string& dadosConfiguracao, const ShowMessage& show);
