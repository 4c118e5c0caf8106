#include "emulator/sale_document.h"

#include "emulator/decimal.h"
#include "emulator/document_numbers.h"
#include "emulator/layout_rules.h"
#include "emulator/text_encoding.h"
#include "emulator/xml_fields.h"

#include <algorithm>
#include <cstring>

namespace satemu {
namespace {

using Result = std::optional<SaleRejection>;

Result Reject(int detail) {
    return SaleRejection{6010, detail};
}

// Fields only the device fills: a document that sends them is refused.
bool SendsDeviceFields(const pugi::xml_node& infCFe) {
    static constexpr const char* kIde[] = {"cUF",  "cNF",  "mod", "nserieSAT",        "nCFe",
                                           "dEmi", "hEmi", "cDV", "assinaturaQRCODE", "tpAmb"};
    static constexpr const char* kEmit[] = {"xNome", "xFant", "enderEmit", "cRegTrib"};
    static constexpr const char* kProd[] = {"vProd", "vItem", "vRatDesc", "vRatAcr"};
    if (infCFe.attribute("Id")) {
        return true;
    }
    const pugi::xml_node ide = infCFe.child("ide");
    const pugi::xml_node emit = infCFe.child("emit");
    if (std::any_of(std::begin(kIde), std::end(kIde),
                    [&](const char* n) { return ide.child(n); }) ||
        std::any_of(std::begin(kEmit), std::end(kEmit),
                    [&](const char* n) { return emit.child(n); }) ||
        infCFe.child("pgto").child("vTroco")) {
        return true;
    }
    for (const pugi::xml_node det : infCFe.children("det")) {
        const pugi::xml_node prod = det.child("prod");
        if (std::any_of(std::begin(kProd), std::end(kProd),
                        [&](const char* n) { return prod.child(n); })) {
            return true;
        }
    }
    return false;
}

// PIS or COFINS contribution of one group (PISAliq, PISQtde, PISNT, PISSN,
// PISOutr, PISST and the COFINS ones): its value in cents, nothing when the
// group is malformed.
std::optional<std::int64_t> Contribution(const pugi::xml_node& group, const std::string& prefix) {
    const std::string name = group.name();
    const std::string kind = name.substr(prefix.size());
    const bool needsCst = kind != "ST";
    if (needsCst && !DigitsField(Child(group, "CST"), 2)) {
        return std::nullopt;
    }
    const std::string rateName = "p" + prefix;
    const bool byRate = group.child("vBC") || group.child(rateName.c_str());
    const bool byQuantity = group.child("qBCProd") || group.child("vAliqProd");
    if (kind == "NT" || kind == "SN") {
        return byRate || byQuantity ? std::nullopt : std::optional<std::int64_t>(0);
    }
    if ((kind == "Aliq" && !byRate) || (kind == "Qtde" && !byQuantity) || byRate == byQuantity) {
        return std::nullopt;
    }
    if (kind != "Aliq" && kind != "Qtde" && kind != "Outr" && kind != "ST") {
        return std::nullopt;
    }
    if (byRate) {
        const auto base = Amount(group, "vBC", 2, 2, 13, 2);
        const auto rate = Amount(group, rateName.c_str(), 4, 4, 1, 4);
        const auto product = base && rate ? CheckedMultiply(*base, *rate) : std::nullopt;
        return product ? std::optional(RoundedDivide(*product, 10000)) : std::nullopt;
    }
    const auto quantity = Amount(group, "qBCProd", 4, 4, 12, 4);
    const auto perUnit = Amount(group, "vAliqProd", 4, 4, 11, 4);
    const auto product = quantity && perUnit ? CheckedMultiply(*quantity, *perUnit) : std::nullopt;
    return product ? std::optional(RoundedDivide(*product, 1000000)) : std::nullopt;
}

// The single element child of a tax group (ICMS -> ICMS00, PIS -> PISAliq).
pugi::xml_node OnlyElement(const pugi::xml_node& parent) {
    pugi::xml_node found;
    for (const pugi::xml_node child : parent.children()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        if (found) {
            return {};
        }
        found = child;
    }
    return found;
}

// PIS and COFINS hold one group of their kind (PIS -> PISAliq); PISST and
// COFINSST are the group themselves, with vBC and the rate or qBCProd and
// vAliqProd directly inside.
bool ReadContribution(const pugi::xml_node& imposto, const std::string& tax, bool required,
                      std::int64_t& value) {
    const Single group = Child(imposto, tax.c_str());
    if (!group) {
        return !required;
    }
    const bool substitution = tax.ends_with("ST");
    const std::string prefix = tax.substr(0, tax.size() - (substitution ? 2 : 0));
    const pugi::xml_node inner = substitution ? group.node : OnlyElement(group.node);
    if (group.twice || !inner ||
        (!substitution && (std::strncmp(inner.name(), prefix.c_str(), prefix.size()) != 0 ||
                           std::string(inner.name()) == tax + "ST"))) {
        return false;
    }
    const auto computed = Contribution(inner, prefix);
    if (!computed) {
        return false;
    }
    value = *computed;
    return true;
}

bool ReadIcms(const pugi::xml_node& imposto, std::int64_t base, ItemValues& item) {
    const pugi::xml_node inner = OnlyElement(imposto.child("ICMS"));
    const std::string name = inner ? inner.name() : "";
    const bool simples = name == "ICMSSN102" || name == "ICMSSN900";
    if (name != "ICMS00" && name != "ICMS40" && !simples) {
        return false;
    }
    if (!DigitsField(Child(inner, "Orig"), 1) ||
        !DigitsField(Child(inner, simples ? "CSOSN" : "CST"), simples ? 3 : 2)) {
        return false;
    }
    if (name == "ICMS00" || name == "ICMSSN900") {
        const auto rate = Amount(inner, "pICMS", 2, 2, 3, 2);
        const auto product = rate && *rate <= 10000 ? CheckedMultiply(base, *rate) : std::nullopt;
        if (!product) {
            return false;
        }
        item.vICMS = RoundedDivide(*product, 10000);
    }
    return true;
}

bool ReadIssqn(const pugi::xml_node& imposto, std::int64_t base, ItemValues& item) {
    const pugi::xml_node issqn = imposto.child("ISSQN");
    const auto deduction = Amount(issqn, "vDeducISSQN", 2, 2, 13, 2);
    const auto rate = Amount(issqn, "vAliq", 2, 2, 3, 2);
    if (!deduction || !rate || *rate > 10000 || *deduction > base) {
        return false;
    }
    item.vBCISSQN = base - *deduction;
    const auto product = CheckedMultiply(item.vBCISSQN, *rate);
    if (!product) {
        return false;
    }
    item.vISSQN = RoundedDivide(*product, 10000);
    return true;
}

bool ReadTaxes(const pugi::xml_node& imposto, std::int64_t base, ItemValues& item) {
    for (const pugi::xml_node child : imposto.children()) {
        static constexpr const char* kAllowed[] = {"vItem12741", "ICMS",     "PIS",  "PISST",
                                                   "COFINS",     "COFINSST", "ISSQN"};
        if (child.type() == pugi::node_element &&
            std::none_of(std::begin(kAllowed), std::end(kAllowed),
                         [&](const char* n) { return std::strcmp(child.name(), n) == 0; })) {
            return false;
        }
    }
    const bool icms = static_cast<bool>(imposto.child("ICMS"));
    const bool issqn = static_cast<bool>(imposto.child("ISSQN"));
    if (icms == issqn || !Amount(imposto, "vItem12741", 2, 2, 13, 2, 0)) {
        return false;
    }
    if (icms ? !ReadIcms(imposto, base, item) : !ReadIssqn(imposto, base, item)) {
        return false;
    }
    return ReadContribution(imposto, "PIS", true, item.vPIS) &&
           ReadContribution(imposto, "PISST", false, item.vPISST) &&
           ReadContribution(imposto, "COFINS", true, item.vCOFINS) &&
           ReadContribution(imposto, "COFINSST", false, item.vCOFINSST);
}

// The product fields of one item and its own values (before the subtotal
// discount or increase is shared out).
Result ReadProduct(const pugi::xml_node& prod, ItemValues& item) {
    if (!prod || prod.next_sibling("prod")) {
        return Reject(kBadProductCode);
    }
    if (!TextBetween(Child(prod, "cProd"), 1, 60)) {
        return Reject(kBadProductCode);
    }
    if (const Single ean = Child(prod, "cEAN"); ean && !IsDigitsBetween(ean.Text(), 8, 14)) {
        return Reject(kBadProductCode);
    }
    if (!TextBetween(Child(prod, "xProd"), 1, 120)) {
        return Reject(kBadProductDescription);
    }
    const Single ncm = Child(prod, "NCM");
    if (!ncm) {
        return Reject(kMissingNcm);
    }
    if (ncm.twice || (!IsDigits(ncm.Text(), 2) && !IsDigits(ncm.Text(), 8))) {
        return Reject(kBadNcm);
    }
    if (!DigitsField(Child(prod, "CFOP"), 4)) {
        return Reject(kBadCfop);
    }
    if (!TextBetween(Child(prod, "uCom"), 1, 6)) {
        return Reject(kBadUnit);
    }
    const auto quantity = Amount(prod, "qCom", 4, 4, 11, 4);
    if (!quantity || *quantity == 0) {
        return Reject(kBadQuantity);
    }
    const auto unitPrice = Amount(prod, "vUnCom", 2, 3, 10, 3);
    if (!unitPrice) {
        return Reject(kBadUnitPrice);
    }
    const Single rule = Child(prod, "indRegra");
    if (!rule || rule.twice || (rule.Text() != "A" && rule.Text() != "T")) {
        return Reject(kBadRule);
    }
    const auto discount = Amount(prod, "vDesc", 2, 2, 13, 2, 0);
    if (!discount) {
        return Reject(kBadDiscount);
    }
    const auto other = Amount(prod, "vOutro", 2, 2, 13, 2, 0);
    if (!other) {
        return Reject(kBadOtherCharges);
    }
    const auto gross = ItemGross(*quantity, *unitPrice, rule.Text() == "T");
    if (!gross || *gross > 999'999'999'999'999LL / 100) {
        return Reject(kBadUnitPrice);
    }
    item.vProd = *gross;
    item.vDesc = *discount;
    item.vOutro = *other;
    if (item.Net() < 0) {
        return Reject(kBadDiscount);
    }
    return std::nullopt;
}

Result ReadIdentification(const pugi::xml_node& infCFe, const SaleRules& rules) {
    const pugi::xml_node ide = infCFe.child("ide");
    const Single cnpj = Child(ide, "CNPJ");
    if (!cnpj || cnpj.twice || !IsValidCnpj(cnpj.Text())) {
        return Reject(kBadSoftwareHouseCnpj);
    }
    const Single signature = Child(ide, "signAC");
    if (!TextBetween(signature, 1, 344) || !DigitsField(Child(ide, "numeroCaixa"), 3)) {
        return Reject(kUnidentified);
    }
    const bool known =
        std::any_of(rules.softwareHouses.begin(), rules.softwareHouses.end(), [&](const auto& sh) {
            return sh.cnpj == cnpj.Text() && sh.signature == signature.Text();
        });
    if (!known) {
        return SaleRejection{6004, 0};
    }
    return std::nullopt;
}

Result ReadIssuer(const pugi::xml_node& infCFe, const SaleRules& rules) {
    const pugi::xml_node emit = infCFe.child("emit");
    const Single cnpj = Child(emit, "CNPJ");
    const auto taxpayer =
        std::find_if(rules.taxpayers.begin(), rules.taxpayers.end(),
                     [&](const TaxpayerIdentity& t) { return cnpj && t.cnpj == cnpj.Text(); });
    if (!cnpj || cnpj.twice || !IsValidCnpj(cnpj.Text()) || taxpayer == rules.taxpayers.end()) {
        return Reject(kBadTaxpayerCnpj);
    }
    const Single ie = Child(emit, "IE");
    if (!ie || ie.twice || !IsDigitsBetween(ie.Text(), 2, 14) ||
        (!taxpayer->ie.empty() && taxpayer->ie != ie.Text())) {
        return Reject(kUnidentified);
    }
    const Single im = Child(emit, "IM");
    const Single regime = Child(emit, "cRegTribISSQN");
    const Single ratio = Child(emit, "indRatISSQN");
    if ((im && !TextBetween(im, 1, 15)) || (regime && !DigitsField(regime, 1)) || !ratio ||
        ratio.twice || (ratio.Text() != "S" && ratio.Text() != "N")) {
        return Reject(kUnidentified);
    }
    return std::nullopt;
}

Result ReadBuyer(const pugi::xml_node& infCFe, std::string& buyer) {
    const Single dest = Child(infCFe, "dest");
    if (!dest || dest.twice) {
        return Reject(kUnidentified);
    }
    const Single cnpj = Child(dest.node, "CNPJ");
    const Single cpf = Child(dest.node, "CPF");
    const bool hasCnpj = cnpj && !cnpj.Text().empty();
    const bool hasCpf = cpf && !cpf.Text().empty();
    if (hasCnpj && (cnpj.twice || !IsValidCnpj(cnpj.Text()))) {
        return Reject(kBadBuyerCnpj);
    }
    if (hasCpf && (cpf.twice || !IsValidCpf(cpf.Text()))) {
        return Reject(kBadBuyerCpf);
    }
    const Single name = Child(dest.node, "xNome");
    if ((hasCnpj && hasCpf) || (name && !TextBetween(name, 0, 60))) {
        return Reject(kUnidentified);
    }
    buyer = hasCnpj ? std::string(cnpj.Text()) : hasCpf ? std::string(cpf.Text()) : std::string();
    return std::nullopt;
}

Result ReadDocumentTotals(const pugi::xml_node& infCFe, SaleTotals& totals) {
    const Single total = Child(infCFe, "total");
    if (!total || total.twice) {
        return Reject(kUnidentified);
    }
    for (const pugi::xml_node child : total.node.children()) {
        if (child.type() == pugi::node_element && std::strcmp(child.name(), "DescAcrEntr") != 0 &&
            std::strcmp(child.name(), "vCFeLei12741") != 0) {
            return Reject(kUnidentified);
        }
    }
    if (!Amount(total.node, "vCFeLei12741", 2, 2, 13, 2, 0)) {
        return Reject(kUnidentified);
    }
    if (const Single adjust = Child(total.node, "DescAcrEntr"); adjust) {
        const bool discount = static_cast<bool>(adjust.node.child("vDescSubtot"));
        const bool increase = static_cast<bool>(adjust.node.child("vAcresSubtot"));
        const auto value =
            Amount(adjust.node, discount ? "vDescSubtot" : "vAcresSubtot", 2, 2, 13, 2);
        if (adjust.twice || discount == increase || !value) {
            return Reject(kUnidentified);
        }
        (discount ? totals.vDescSubtot : totals.vAcresSubtot) = *value;
    }
    return std::nullopt;
}

Result ReadPayments(const pugi::xml_node& infCFe, SaleTotals& totals) {
    const Single pgto = Child(infCFe, "pgto");
    if (!pgto || pgto.twice) {
        return Reject(kBadPaymentMethod);
    }
    int count = 0;
    for (const pugi::xml_node mp : pgto.node.children("MP")) {
        ++count;
        const Single method = Child(mp, "cMP");
        static constexpr const char* kMethods[] = {"01", "02", "03", "04", "05", "10", "11", "12",
                                                   "13", "14", "15", "16", "17", "18", "19", "99"};
        if (!method || method.twice ||
            std::none_of(std::begin(kMethods), std::end(kMethods),
                         [&](const char* m) { return method.Text() == m; })) {
            return Reject(kBadPaymentMethod);
        }
        const auto value = Amount(mp, "vMP", 2, 2, 13, 2);
        const auto sum = value && *value > 0 ? CheckedAdd(totals.vPaid, *value) : std::nullopt;
        if (!sum) {
            return Reject(kBadPaymentValue);
        }
        totals.vPaid = *sum;
        if (const Single admin = Child(mp, "cAdmC"); admin && !DigitsField(admin, 3)) {
            return Reject(kBadPaymentMethod);
        }
    }
    if (count < 1 || count > 10) {
        return Reject(kBadPaymentMethod);
    }
    return std::nullopt;
}

} // namespace

std::optional<SaleRejection> ReadSaleDocument(std::string_view text, const SaleRules& rules,
                                              SaleDocument& out) {
    if (!LoadSentDocument(text, out.xml)) {
        return Reject(kUnidentified);
    }
    out.sentBytes = text.size();
    const pugi::xml_node root = out.xml.document_element();
    out.infCFe = root.child("infCFe");
    if (std::strcmp(root.name(), "CFe") != 0 || !out.infCFe || out.infCFe.next_sibling() ||
        HasQualifiedNames(out.infCFe)) {
        return Reject(kUnidentified);
    }
    out.versaoDadosEnt = out.infCFe.attribute("versaoDadosEnt").value();
    if (out.versaoDadosEnt != "0.06" && out.versaoDadosEnt != "0.07" &&
        out.versaoDadosEnt != "0.08") {
        return Reject(kBadLayoutVersion);
    }
    if (!Child(out.infCFe, "ide") || !Child(out.infCFe, "emit") || SendsDeviceFields(out.infCFe)) {
        return Reject(kUnidentified);
    }
    if (const auto detail = CheckSaleLayout(out.infCFe)) {
        return Reject(*detail);
    }
    if (auto rejection = ReadIdentification(out.infCFe, rules)) {
        return rejection;
    }
    if (auto rejection = ReadIssuer(out.infCFe, rules)) {
        return rejection;
    }
    if (auto rejection = ReadBuyer(out.infCFe, out.buyer)) {
        return rejection;
    }
    int number = 0;
    for (const pugi::xml_node det : out.infCFe.children("det")) {
        ++number;
        if (number > 500 || det.attribute("nItem").as_int() != number ||
            std::to_string(number) != det.attribute("nItem").value()) {
            return Reject(kUnidentified);
        }
        ItemValues item;
        if (auto rejection = ReadProduct(det.child("prod"), item)) {
            return rejection;
        }
        item.service = static_cast<bool>(det.child("imposto").child("ISSQN"));
        out.items.push_back(item);
    }
    if (out.items.empty()) {
        return Reject(kUnidentified);
    }
    SaleTotals& totals = out.totals;
    if (auto rejection = ReadDocumentTotals(out.infCFe, totals)) {
        return rejection;
    }
    const bool servicesShare =
        out.infCFe.child("emit").child("indRatISSQN").text().get() == std::string_view("S");
    if (!ShareSubtotalAdjustment(out.items, totals.vDescSubtot, totals.vAcresSubtot,
                                 servicesShare)) {
        return Reject(kUnidentified);
    }
    // Taxes are computed on the item value after its share of the subtotal
    // discount or increase.
    std::size_t index = 0;
    for (const pugi::xml_node det : out.infCFe.children("det")) {
        ItemValues& item = out.items[index++];
        const pugi::xml_node imposto = det.child("imposto");
        if (!imposto || imposto.next_sibling("imposto") || !ReadTaxes(imposto, item.vItem, item)) {
            return Reject(kBadTaxes);
        }
    }
    if (!SumTotals(out.items, totals)) {
        return Reject(kUnidentified);
    }
    if (auto rejection = ReadPayments(out.infCFe, totals)) {
        return rejection;
    }
    if (totals.vPaid < totals.vCFe) {
        return Reject(kTotalAbovePayments);
    }
    totals.vTroco = totals.vPaid - totals.vCFe;
    if (const Single extra = Child(out.infCFe, "infAdic"); extra) {
        const Single note = Child(extra.node, "infCpl");
        if (extra.twice || (note && !TextBetween(note, 0, 5000))) {
            return Reject(kUnidentified);
        }
    }
    return std::nullopt;
}

} // namespace satemu
