#include "emulator/cfe_builder.h"

#include "emulator/access_key.h"
#include "emulator/base64.h"
#include "emulator/canonical_xml.h"
#include "emulator/decimal.h"
#include "emulator/device_clock.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <pugixml.hpp>
#include <span>
#include <string_view>

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

// An enveloped XML signature over infCFe (`id` its Id): the digest is the
// SHA-256 of infCFe's canonical form (`canonicalInfCFe`), the signature
// RSA-SHA256 over SignedInfo's canonical form (in the XML-DSig namespace it
// inherits from Signature), and the device's certificate goes along in
// KeyInfo.
pugi::xml_node AddSignature(pugi::xml_node parent, std::string_view id,
                            std::string_view canonicalInfCFe, const IssueContext& context) {
    std::string uri(1, '#');
    uri += id;
    pugi::xml_node signature = parent.append_child("Signature");
    signature.append_attribute("xmlns") = kDsigNamespace;
    pugi::xml_node info = signature.append_child("SignedInfo");
    info.append_child("CanonicalizationMethod").append_attribute("Algorithm") = kC14n;
    info.append_child("SignatureMethod").append_attribute("Algorithm") =
        "http://www.w3.org/2001/04/xmldsig-more#rsa-sha256";
    pugi::xml_node reference = info.append_child("Reference");
    reference.append_attribute("URI") = uri.c_str();
    pugi::xml_node transforms = reference.append_child("Transforms");
    transforms.append_child("Transform").append_attribute("Algorithm") =
        "http://www.w3.org/2000/09/xmldsig#enveloped-signature";
    transforms.append_child("Transform").append_attribute("Algorithm") = kC14n;
    reference.append_child("DigestMethod").append_attribute("Algorithm") =
        "http://www.w3.org/2001/04/xmlenc#sha256";
    Add(reference, "DigestValue", Base64Encode(Sha256(canonicalInfCFe)));
    Add(signature, "SignatureValue",
        Base64Encode(context.key.Sign(Canonical(info, kDsigNamespace))));
    Add(signature.append_child("KeyInfo").append_child("X509Data"), "X509Certificate",
        Base64Encode(context.key.CertificateDer()));
    return signature;
}

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

// The whole document: the declaration, then in canonical form the root
// (which has no attributes) holding infCFe, as `writeInfCFe` writes it, and
// its signature. infCFe is written once: its digest is taken from the text
// itself, so what is signed is byte for byte what is written.
template <typename WriteInfCFe>
std::string SignedDocument(std::string_view rootName, std::string_view id, std::size_t expectedSize,
                           const IssueContext& context, WriteInfCFe writeInfCFe) {
    std::string text;
    text.reserve(expectedSize + 4096);
    text += kDeclaration;
    text += '<';
    text += rootName;
    text += '>';
    const std::size_t start = text.size();
    writeInfCFe(text);
    pugi::xml_document signature;
    const pugi::xml_node node =
        AddSignature(signature, id, std::string_view(text).substr(start), context);
    AppendCanonical(text, node);
    text += "</";
    text += rootName;
    text += '>';
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

// The items of a sale are written in canonical form straight from the sent
// document, with the computed values put in their places, rather than copied
// into a tree and canonicalised: a sale of 500 items would otherwise copy
// every field twice more.

void WriteAmount(std::string& out, std::string_view name, std::int64_t cents) {
    AppendCanonicalField(out, name, FormatCents(cents));
}

// The sent product with the values the device computes, in layout order:
// vProd after vUnCom; vItem, vRatDesc and vRatAcr after vOutro, before
// obsFiscoDet.
void WriteProduct(std::string& out, const pugi::xml_node& sent, const ItemValues& item) {
    out += "<prod>";
    bool valuesWritten = false;
    const auto writeValues = [&] {
        WriteAmount(out, "vItem", item.vItem);
        if (item.vRatDesc > 0) {
            WriteAmount(out, "vRatDesc", item.vRatDesc);
        }
        if (item.vRatAcr > 0) {
            WriteAmount(out, "vRatAcr", item.vRatAcr);
        }
        valuesWritten = true;
    };
    for (const pugi::xml_node child : sent.children()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        if (std::strcmp(child.name(), "obsFiscoDet") == 0 && !valuesWritten) {
            writeValues();
        }
        AppendCanonical(out, child);
        if (std::strcmp(child.name(), "vUnCom") == 0) {
            WriteAmount(out, "vProd", item.vProd);
        }
    }
    if (!valuesWritten) {
        writeValues();
    }
    out += "</prod>";
}

// A computed field put into a copied group: at the end of `anchor`
// (`inside`), or right after it.
struct Addition {
    pugi::xml_node anchor;
    bool inside = true;
    const char* name = nullptr;
    std::int64_t cents = 0;
};

// Copies `element` with the additions that fall within it.
void CopyAdding(std::string& out, const pugi::xml_node& element,
                std::span<const Addition> additions) {
    // Whether `node` is `child` or inside it, walking up no further than the
    // element being copied.
    const auto within = [&element](pugi::xml_node node, const pugi::xml_node& child) {
        for (; node && node != element; node = node.parent()) {
            if (node == child) {
                return true;
            }
        }
        return false;
    };
    AppendCanonicalStartTag(out, element);
    for (const pugi::xml_node child : element.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            AppendCanonicalText(out, child.value());
            continue;
        }
        if (child.type() != pugi::node_element) {
            continue;
        }
        const bool changed =
            std::any_of(additions.begin(), additions.end(), [&](const Addition& a) {
                return within(a.inside ? a.anchor : a.anchor.parent(), child);
            });
        if (changed) {
            CopyAdding(out, child, additions);
        } else {
            AppendCanonical(out, child);
        }
        for (const Addition& addition : additions) {
            if (!addition.inside && addition.anchor == child) {
                WriteAmount(out, addition.name, addition.cents);
            }
        }
    }
    for (const Addition& addition : additions) {
        if (addition.inside && addition.anchor == element) {
            WriteAmount(out, addition.name, addition.cents);
        }
    }
    out += "</";
    out += element.name();
    out += '>';
}

// The sent taxes with the computed value added to each group that has one.
void WriteTaxes(std::string& out, const pugi::xml_node& imposto, const ItemValues& item) {
    // At most one value for each of ICMS, PIS, PISST, COFINS, COFINSST and
    // two for ISSQN.
    std::array<Addition, 7> additions;
    std::size_t count = 0;
    const auto add = [&](pugi::xml_node anchor, bool inside, const char* name, std::int64_t cents) {
        if (anchor && count < additions.size()) {
            additions[count++] = {anchor, inside, name, cents};
        }
    };
    const auto firstElement = [](const pugi::xml_node& group) {
        pugi::xml_node inner = group.first_child();
        while (inner && inner.type() != pugi::node_element) {
            inner = inner.next_sibling();
        }
        return inner;
    };
    if (const pugi::xml_node icms = imposto.child("ICMS")) {
        if (icms.child("ICMS00") || icms.child("ICMSSN900")) {
            add(firstElement(icms), true, "vICMS", item.vICMS);
        }
    }
    struct Contribution {
        const char* group;
        const char* name;
        std::int64_t value;
    };
    const Contribution contributions[] = {{"PIS", "vPIS", item.vPIS},
                                          {"COFINS", "vCOFINS", item.vCOFINS}};
    for (const Contribution& contribution : contributions) {
        const pugi::xml_node node = imposto.child(contribution.group);
        const bool exempt = node.child("PISNT") || node.child("PISSN") || node.child("COFINSNT") ||
                            node.child("COFINSSN");
        if (node && !exempt) {
            add(firstElement(node), true, contribution.name, contribution.value);
        }
    }
    // The substitution groups take their value directly, after the base.
    const Contribution substitutions[] = {{"PISST", "vPIS", item.vPISST},
                                          {"COFINSST", "vCOFINS", item.vCOFINSST}};
    for (const Contribution& substitution : substitutions) {
        add(imposto.child(substitution.group), true, substitution.name, substitution.value);
    }
    if (const pugi::xml_node issqn = imposto.child("ISSQN")) {
        // vDeducISSQN, vBC, vAliq, vISSQN, then the codes of the service.
        add(issqn.child("vDeducISSQN"), false, "vBC", item.vBCISSQN);
        add(issqn.child("vAliq"), false, "vISSQN", item.vISSQN);
    }
    CopyAdding(out, imposto, std::span(additions.data(), count));
}

void WriteItem(std::string& out, std::size_t number, const pugi::xml_node& sent,
               const ItemValues& item) {
    out += "<det nItem=\"";
    out += std::to_string(number);
    out += "\">";
    WriteProduct(out, sent.child("prod"), item);
    WriteTaxes(out, sent.child("imposto"), item);
    if (const pugi::xml_node extra = sent.child("infAdProd")) {
        AppendCanonical(out, extra);
    }
    out += "</det>";
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

    // The small groups are built as a tree and canonicalised; the items,
    // nearly all of the document, are written directly.
    pugi::xml_document head;
    pugi::xml_node infCFe = head.append_child("infCFe");
    const std::string id = "CFe" + issued.key;
    infCFe.append_attribute("Id") = id.c_str();
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
    AddTotals(infCFe, sale);
    pugi::xml_node pgto = infCFe.append_child("pgto");
    CopyChildren(pgto, sale.infCFe.child("pgto"));
    AddAmount(pgto, "vTroco", sale.totals.vTroco);

    const auto writeInfCFe = [&](std::string& out) {
        AppendCanonicalStartTag(out, infCFe);
        AppendCanonical(out, ide);
        AppendCanonical(out, infCFe.child("emit"));
        AppendCanonical(out, sale.infCFe.child("dest"));
        if (const pugi::xml_node delivery = sale.infCFe.child("entrega")) {
            AppendCanonical(out, delivery);
        }
        std::size_t index = 0;
        for (const pugi::xml_node sentDet : sale.infCFe.children("det")) {
            const ItemValues& item = sale.items[index++];
            WriteItem(out, index, sentDet, item);
        }
        AppendCanonical(out, infCFe.child("total"));
        AppendCanonical(out, pgto);
        if (const pugi::xml_node extra = sale.infCFe.child("infAdic")) {
            AppendCanonical(out, extra);
        }
        out += "</infCFe>";
    };
    // The issued document is about one and a half times the sent one.
    issued.xml =
        SignedDocument("CFe", id, sale.sentBytes + sale.sentBytes / 2, context, writeInfCFe);
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
    issued.xml = SignedDocument("CFeCanc", infCFe.attribute("Id").value(), 4096, context,
                                [&](std::string& out) { AppendCanonical(out, infCFe); });
    return issued;
}

} // namespace satemu
