#include "emulator/cfe_builder.h"

#include "emulator/access_key.h"
#include "emulator/base64.h"
#include "emulator/canonical_xml.h"
#include "emulator/decimal.h"
#include "emulator/device_clock.h"

#include <cstdio>
#include <cstring>
#include <pugixml.hpp>

namespace satemu {
namespace {

constexpr const char* kLayoutVersion = "0.08";
constexpr const char* kDsigNamespace = "http://www.w3.org/2000/09/xmldsig#";
constexpr const char* kC14n = "http://www.w3.org/TR/2001/REC-xml-c14n-20010315";

pugi::xml_node Add(pugi::xml_node parent, const char* name, const std::string& value) {
    pugi::xml_node node = parent.append_child(name);
    node.text().set(value.c_str());
    return node;
}

void CopyChildren(pugi::xml_node to, const pugi::xml_node& from) {
    for (const pugi::xml_node child : from.children()) {
        if (child.type() == pugi::node_element) {
            to.append_copy(child);
        }
    }
}

std::string Padded(int value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    return text;
}

// "01.00.00" -> "010000", the versaoSB attribute.
std::string SoftwareVersionDigits(const std::string& version) {
    std::string digits;
    for (const char c : version) {
        if (c >= '0' && c <= '9') {
            digits += c;
        }
    }
    return digits;
}

std::string AccessKeyFor(const IssueContext& context) {
    AccessKeyParts parts;
    parts.uf = context.device.ufCode;
    parts.yearMonth = FormatYearMonth(context.now);
    parts.cnpj = context.device.taxpayerCnpj;
    parts.serial = context.device.serial;
    parts.number = context.number;
    parts.code = context.code;
    return BuildAccessKey(parts);
}

// ide up to hEmi and the check digit, the part every issued document shares.
pugi::xml_node AddIdentification(pugi::xml_node infCFe, const IssueContext& context,
                                 const std::string& key) {
    pugi::xml_node ide = infCFe.append_child("ide");
    Add(ide, "cUF", Padded(context.device.ufCode, 2));
    Add(ide, "cNF", Padded(context.code, 6));
    Add(ide, "mod", "59");
    Add(ide, "nserieSAT", context.device.serial);
    Add(ide, "nCFe", Padded(context.number, 6));
    Add(ide, "dEmi", FormatDate(context.now));
    Add(ide, "hEmi", FormatTime(context.now));
    Add(ide, "cDV", key.substr(43, 1));
    return ide;
}

// An enveloped XML signature over infCFe: the digest is the SHA-256 of
// infCFe's canonical form, the signature RSA-SHA256 over SignedInfo's
// canonical form (in the XML-DSig namespace it inherits from Signature), and
// the device's certificate goes along in KeyInfo.
void AddSignature(pugi::xml_node root, const pugi::xml_node& infCFe, const IssueContext& context) {
    const std::string id = std::string("#") + infCFe.attribute("Id").value();
    pugi::xml_node signature = root.append_child("Signature");
    signature.append_attribute("xmlns") = kDsigNamespace;
    pugi::xml_node info = signature.append_child("SignedInfo");
    info.append_child("CanonicalizationMethod").append_attribute("Algorithm") = kC14n;
    info.append_child("SignatureMethod").append_attribute("Algorithm") =
        "http://www.w3.org/2001/04/xmldsig-more#rsa-sha256";
    pugi::xml_node reference = info.append_child("Reference");
    reference.append_attribute("URI") = id.c_str();
    pugi::xml_node transforms = reference.append_child("Transforms");
    transforms.append_child("Transform").append_attribute("Algorithm") =
        "http://www.w3.org/2000/09/xmldsig#enveloped-signature";
    transforms.append_child("Transform").append_attribute("Algorithm") = kC14n;
    reference.append_child("DigestMethod").append_attribute("Algorithm") =
        "http://www.w3.org/2001/04/xmlenc#sha256";
    Add(reference, "DigestValue", Base64Encode(Sha256(Canonical(infCFe))));
    Add(signature, "SignatureValue",
        Base64Encode(context.key.Sign(Canonical(info, kDsigNamespace))));
    Add(signature.append_child("KeyInfo").append_child("X509Data"), "X509Certificate",
        Base64Encode(context.key.CertificateDer()));
}

// The declaration, then the document in canonical form: infCFe as written is
// byte for byte what its digest was computed over.
std::string DocumentText(const pugi::xml_document& document) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    AppendCanonical(text, document.document_element());
    return text;
}

// emit: the device's taxpayer, with the optional fields the sale sent.
void AddIssuer(pugi::xml_node infCFe, const DeviceState& device, const pugi::xml_node& sent,
               const std::string& municipalRegistration, bool sale) {
    pugi::xml_node emit = infCFe.append_child("emit");
    Add(emit, "CNPJ", device.taxpayerCnpj);
    Add(emit, "xNome",
        device.taxpayerName.empty() ? "CONTRIBUINTE " + device.taxpayerCnpj : device.taxpayerName);
    // The taxpayer's address, as SEFAZ's parametrisation of the emulated
    // device gives it.
    pugi::xml_node address = emit.append_child("enderEmit");
    Add(address, "xLgr", "AVENIDA RANGEL PESTANA");
    Add(address, "nro", "300");
    Add(address, "xBairro", "CENTRO");
    Add(address, "xMun", "SAO PAULO");
    Add(address, "CEP", "01017911");
    // The IE the device was parametrised with, else (before its first sale)
    // the one the document names.
    Add(emit, "IE",
        device.taxpayerIe.empty() ? std::string(sent.child_value("IE")) : device.taxpayerIe);
    if (!municipalRegistration.empty()) {
        Add(emit, "IM", municipalRegistration);
    }
    if (!sale) {
        return;
    }
    Add(emit, "cRegTrib", "3"); // regime normal, as the kit's parametrisation says
    for (const char* optional : {"cRegTribISSQN", "indRatISSQN"}) {
        if (sent.child(optional)) {
            emit.append_copy(sent.child(optional));
        }
    }
}

void AddAmount(pugi::xml_node parent, const char* name, std::int64_t cents) {
    Add(parent, name, FormatCents(cents));
}

// The sent product with the values the device computes, in layout order:
// vProd after vUnCom; vItem, vRatDesc and vRatAcr after vOutro, before
// obsFiscoDet.
void AddProduct(pugi::xml_node det, const pugi::xml_node& sent, const ItemValues& item) {
    pugi::xml_node prod = det.append_child("prod");
    bool valuesWritten = false;
    const auto addValues = [&] {
        AddAmount(prod, "vItem", item.vItem);
        if (item.vRatDesc > 0) {
            AddAmount(prod, "vRatDesc", item.vRatDesc);
        }
        if (item.vRatAcr > 0) {
            AddAmount(prod, "vRatAcr", item.vRatAcr);
        }
        valuesWritten = true;
    };
    for (const pugi::xml_node child : sent.children()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        if (std::strcmp(child.name(), "obsFiscoDet") == 0 && !valuesWritten) {
            addValues();
        }
        prod.append_copy(child);
        if (std::strcmp(child.name(), "vUnCom") == 0) {
            AddAmount(prod, "vProd", item.vProd);
        }
    }
    if (!valuesWritten) {
        addValues();
    }
}

// The sent taxes with the computed value added to each group that has one.
void AddTaxes(pugi::xml_node det, const pugi::xml_node& sent, const ItemValues& item) {
    pugi::xml_node imposto = det.append_copy(sent);
    const auto complete = [](pugi::xml_node group, const char* name, std::int64_t cents,
                             bool computed) {
        pugi::xml_node inner = group.first_child();
        while (inner && inner.type() != pugi::node_element) {
            inner = inner.next_sibling();
        }
        if (inner && computed) {
            AddAmount(inner, name, cents);
        }
    };
    if (pugi::xml_node icms = imposto.child("ICMS")) {
        const bool rated = icms.child("ICMS00") || icms.child("ICMSSN900");
        complete(icms, "vICMS", item.vICMS, rated);
    }
    struct Contribution {
        const char* group;
        const char* name;
        std::int64_t value;
    };
    const Contribution contributions[] = {{"PIS", "vPIS", item.vPIS},
                                          {"COFINS", "vCOFINS", item.vCOFINS}};
    for (const Contribution& contribution : contributions) {
        pugi::xml_node node = imposto.child(contribution.group);
        const bool exempt = node.child("PISNT") || node.child("PISSN") || node.child("COFINSNT") ||
                            node.child("COFINSSN");
        if (node) {
            complete(node, contribution.name, contribution.value, !exempt);
        }
    }
    // The substitution groups take their value directly, after the base.
    const Contribution substitutions[] = {{"PISST", "vPIS", item.vPISST},
                                          {"COFINSST", "vCOFINS", item.vCOFINSST}};
    for (const Contribution& substitution : substitutions) {
        if (pugi::xml_node node = imposto.child(substitution.group)) {
            AddAmount(node, substitution.name, substitution.value);
        }
    }
    if (pugi::xml_node issqn = imposto.child("ISSQN")) {
        // vDeducISSQN, vBC, vAliq, vISSQN, then the codes of the service.
        issqn.insert_child_after("vBC", issqn.child("vDeducISSQN"))
            .text()
            .set(FormatCents(item.vBCISSQN).c_str());
        issqn.insert_child_after("vISSQN", issqn.child("vAliq"))
            .text()
            .set(FormatCents(item.vISSQN).c_str());
    }
}

// ICMSTot of the products, vCFe, ISSQNtot of the services, then what the
// sale sent (DescAcrEntr, vCFeLei12741).
void AddTotals(pugi::xml_node infCFe, const SaleDocument& sale) {
    const SaleTotals& t = sale.totals;
    pugi::xml_node total = infCFe.append_child("total");
    if (t.anyProduct) {
        const ProductTotals& p = t.products;
        pugi::xml_node icms = total.append_child("ICMSTot");
        AddAmount(icms, "vICMS", p.vICMS);
        AddAmount(icms, "vProd", p.vProd);
        AddAmount(icms, "vDesc", p.vDesc);
        AddAmount(icms, "vPIS", p.vPIS);
        AddAmount(icms, "vCOFINS", p.vCOFINS);
        AddAmount(icms, "vPISST", p.vPISST);
        AddAmount(icms, "vCOFINSST", p.vCOFINSST);
        AddAmount(icms, "vOutro", p.vOutro);
    }
    AddAmount(total, "vCFe", t.vCFe);
    if (t.anyService) {
        const ServiceTotals& v = t.services;
        pugi::xml_node issqn = total.append_child("ISSQNtot");
        AddAmount(issqn, "vBC", v.vBC);
        AddAmount(issqn, "vISS", v.vISS);
        AddAmount(issqn, "vPIS", v.vPIS);
        AddAmount(issqn, "vCOFINS", v.vCOFINS);
        AddAmount(issqn, "vPISST", v.vPISST);
        AddAmount(issqn, "vCOFINSST", v.vCOFINSST);
    }
    CopyChildren(total, sale.infCFe.child("total"));
}

} // namespace

std::string QrCodeSignedText(const std::string& accessKey, const std::string& stamp,
                             std::int64_t totalCents, const std::string& buyer) {
    return accessKey + '|' + stamp + '|' + FormatCents(totalCents) + '|' + buyer;
}

std::string QrCodeSignature(const DeviceKey& key, const std::string& accessKey,
                            const std::string& stamp, std::int64_t totalCents,
                            const std::string& buyer) {
    return Base64Encode(key.Sign(QrCodeSignedText(accessKey, stamp, totalCents, buyer)));
}

IssuedDocument BuildSaleDocument(const SaleDocument& sale, const IssueContext& context) {
    IssuedDocument issued;
    issued.key = AccessKeyFor(context);
    issued.timestamp = FormatStamp(context.now);
    issued.totalCents = sale.totals.vCFe;
    issued.buyer = sale.buyer;
    issued.qrSignature =
        QrCodeSignature(context.key, issued.key, issued.timestamp, issued.totalCents, issued.buyer);

    pugi::xml_document document;
    pugi::xml_node root = document.append_child("CFe");
    pugi::xml_node infCFe = root.append_child("infCFe");
    infCFe.append_attribute("Id") = ("CFe" + issued.key).c_str();
    infCFe.append_attribute("versao") = kLayoutVersion;
    infCFe.append_attribute("versaoDadosEnt") = sale.versaoDadosEnt.c_str();
    infCFe.append_attribute("versaoSB") =
        SoftwareVersionDigits(context.device.softwareVersion).c_str();

    const pugi::xml_node sentIde = sale.infCFe.child("ide");
    pugi::xml_node ide = AddIdentification(infCFe, context, issued.key);
    Add(ide, "tpAmb", context.production ? "1" : "2");
    ide.append_copy(sentIde.child("CNPJ"));
    ide.append_copy(sentIde.child("signAC"));
    Add(ide, "assinaturaQRCODE", issued.qrSignature);
    ide.append_copy(sentIde.child("numeroCaixa"));

    const pugi::xml_node sentIssuer = sale.infCFe.child("emit");
    AddIssuer(infCFe, context.device, sentIssuer, sentIssuer.child_value("IM"), true);
    infCFe.append_copy(sale.infCFe.child("dest"));
    if (const pugi::xml_node delivery = sale.infCFe.child("entrega")) {
        infCFe.append_copy(delivery);
    }
    std::size_t index = 0;
    for (const pugi::xml_node sentDet : sale.infCFe.children("det")) {
        const ItemValues& item = sale.items[index++];
        pugi::xml_node det = infCFe.append_child("det");
        det.append_attribute("nItem") = static_cast<unsigned>(index);
        AddProduct(det, sentDet.child("prod"), item);
        AddTaxes(det, sentDet.child("imposto"), item);
        if (const pugi::xml_node extra = sentDet.child("infAdProd")) {
            det.append_copy(extra);
        }
    }
    AddTotals(infCFe, sale);
    pugi::xml_node pgto = infCFe.append_child("pgto");
    CopyChildren(pgto, sale.infCFe.child("pgto"));
    AddAmount(pgto, "vTroco", sale.totals.vTroco);
    if (const pugi::xml_node extra = sale.infCFe.child("infAdic")) {
        infCFe.append_copy(extra);
    }
    AddSignature(root, infCFe, context);
    issued.xml = DocumentText(document);
    return issued;
}

IssuedDocument BuildCancellationDocument(const CancellationInput& input, const SaleRecord& sale,
                                         const IssueContext& context) {
    IssuedDocument issued;
    issued.key = AccessKeyFor(context);
    issued.timestamp = FormatStamp(context.now);
    issued.totalCents = sale.totalCents;
    issued.buyer = sale.buyer;
    issued.qrSignature =
        QrCodeSignature(context.key, issued.key, issued.timestamp, issued.totalCents, issued.buyer);

    pugi::xml_document document;
    pugi::xml_node root = document.append_child("CFeCanc");
    pugi::xml_node infCFe = root.append_child("infCFe");
    infCFe.append_attribute("Id") = ("CFe" + issued.key).c_str();
    infCFe.append_attribute("chCanc") = ("CFe" + sale.key).c_str();
    infCFe.append_attribute("versao") = kLayoutVersion;
    Add(infCFe, "dEmi", FormatDate(sale.issuedAt));
    Add(infCFe, "hEmi", FormatTime(sale.issuedAt));

    pugi::xml_node ide = AddIdentification(infCFe, context, issued.key);
    Add(ide, "CNPJ", input.softwareHouseCnpj);
    Add(ide, "signAC", input.signature);
    Add(ide, "assinaturaQRCODE", issued.qrSignature);
    Add(ide, "numeroCaixa", input.cashRegister);

    AddIssuer(infCFe, context.device, pugi::xml_node(), sale.municipalRegistration, false);
    pugi::xml_node dest = infCFe.append_child("dest");
    if (sale.buyer.size() == 14) {
        Add(dest, "CNPJ", sale.buyer);
    } else if (sale.buyer.size() == 11) {
        Add(dest, "CPF", sale.buyer);
    }
    AddAmount(infCFe.append_child("total"), "vCFe", sale.totalCents);
    if (input.extra) {
        infCFe.append_copy(input.extra);
    }
    AddSignature(root, infCFe, context);
    issued.xml = DocumentText(document);
    return issued;
}

} // namespace satemu
