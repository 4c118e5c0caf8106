#include "emulator/cancellation_document.h"

#include "emulator/document_numbers.h"
#include "emulator/layout_rules.h"
#include "emulator/text_encoding.h"
#include "emulator/xml_fields.h"

#include <algorithm>
#include <cstring>

namespace satemu {
namespace {

bool HasElements(const pugi::xml_node& node) {
    return std::any_of(
        node.children().begin(), node.children().end(),
        [](const pugi::xml_node& child) { return child.type() == pugi::node_element; });
}

std::optional<int> ReadBuyer(const pugi::xml_node& infCFe, const SaleRecord& sale) {
    const Single dest = Child(infCFe, "dest");
    if (!dest || dest.twice) {
        return kUnidentified;
    }
    const Single cnpj = Child(dest.node, "CNPJ");
    const Single cpf = Child(dest.node, "CPF");
    if (cnpj && !cnpj.Text().empty() && !IsValidCnpj(cnpj.Text())) {
        return kBadBuyerCnpj;
    }
    if (cpf && !cpf.Text().empty() && !IsValidCpf(cpf.Text())) {
        return kBadBuyerCpf;
    }
    // Later versions of the standard leave the buyer out of the cancellation,
    // earlier ones repeat the sale's: either is taken, another buyer is not.
    const std::string buyer(cnpj && !cnpj.Text().empty() ? cnpj.Text() : cpf.Text());
    if (!buyer.empty() && buyer != sale.buyer) {
        return kUnidentified;
    }
    return std::nullopt;
}

} // namespace

std::optional<int> ReadCancellationDocument(std::string_view text, const SaleRules& rules,
                                            const SaleRecord& sale, CancellationDocument& out) {
    if (!LoadSentDocument(text, out.xml)) {
        return kUnidentified;
    }
    const pugi::xml_node root = out.xml.document_element();
    const pugi::xml_node infCFe = root.child("infCFe");
    if (std::strcmp(root.name(), "CFeCanc") != 0 || !infCFe || infCFe.next_sibling() ||
        infCFe.attribute("Id") || HasQualifiedNames(infCFe)) {
        return kUnidentified;
    }
    if (const pugi::xml_attribute version = infCFe.attribute("versaoDadosEnt")) {
        const std::string_view value = version.value();
        if (value != "0.06" && value != "0.07" && value != "0.08") {
            return kBadLayoutVersion;
        }
    }
    if (std::string_view(infCFe.attribute("chCanc").value()) != "CFe" + sale.key) {
        return 1270; // chave inválida: not the key of the sale being cancelled
    }
    if (const auto detail = CheckCancellationLayout(infCFe)) {
        return detail;
    }
    const pugi::xml_node ide = infCFe.child("ide");
    const Single cnpj = Child(ide, "CNPJ");
    if (!cnpj || cnpj.twice || !IsValidCnpj(cnpj.Text()) ||
        std::none_of(rules.softwareHouses.begin(), rules.softwareHouses.end(),
                     [&](const SoftwareHouseIdentity& sh) { return sh.cnpj == cnpj.Text(); })) {
        return kBadSoftwareHouseCnpj;
    }
    const Single signature = Child(ide, "signAC");
    const Single cashRegister = Child(ide, "numeroCaixa");
    const bool signed_ =
        signature && !signature.twice &&
        std::any_of(rules.softwareHouses.begin(), rules.softwareHouses.end(),
                    [&](const SoftwareHouseIdentity& sh) {
                        return sh.cnpj == cnpj.Text() && sh.signature == signature.Text();
                    });
    if (!signed_ || !DigitsField(cashRegister, 3)) {
        return kUnidentified;
    }
    for (const char* field :
         {"cUF", "cNF", "mod", "nserieSAT", "nCFe", "dEmi", "hEmi", "cDV", "assinaturaQRCODE"}) {
        if (ide.child(field)) {
            return kUnidentified; // the device fills these itself
        }
    }
    const Single emit = Child(infCFe, "emit");
    const Single total = Child(infCFe, "total");
    if (!emit || emit.twice || HasElements(emit.node) || !total || total.twice ||
        HasElements(total.node)) {
        return kUnidentified;
    }
    if (const auto rejection = ReadBuyer(infCFe, sale)) {
        return rejection;
    }
    const Single extra = Child(infCFe, "infAdic");
    if (extra.twice) {
        return kUnidentified;
    }
    out.input.softwareHouseCnpj = cnpj.Text();
    out.input.signature = signature.Text();
    out.input.cashRegister = cashRegister.Text();
    out.input.extra = extra.node;
    return std::nullopt;
}

} // namespace satemu
