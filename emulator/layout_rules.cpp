#include "emulator/layout_rules.h"

#include "emulator/sale_document.h"
#include "emulator/text_encoding.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace satemu {
namespace {

enum class Form {
    Group,   // element children only, by `children`
    Text,    // minLength..maxLength characters
    Digits,  // minLength..maxLength digits, or one of the lengths in `values`
    Decimal, // minLength..maxLength integer digits, ".", minDecimals..maxDecimals
    OneOf,   // one of the "|"-separated `values`
};

struct AttributeRule {
    std::string_view name;
    bool required = true;
    int minLength = 1;
    int maxLength = 20;
};

struct FieldRule {
    std::string_view name;
    Form form = Form::Text;
    int minLength = 0;
    int maxLength = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
    std::string_view values;
    int minOccurs = 1;
    int maxOccurs = 1;
    int rejection = kUnidentified;
    // Rules of one choice share a number: at most one of them occurs, and
    // exactly one when they are not Optional().
    int choice = 0;
    std::span<const FieldRule> children;
    std::span<const AttributeRule> attributes;

    constexpr FieldRule Optional() const {
        FieldRule r = *this;
        r.minOccurs = 0;
        return r;
    }
    constexpr FieldRule Times(int least, int most) const {
        FieldRule r = *this;
        r.minOccurs = least;
        r.maxOccurs = most;
        return r;
    }
    constexpr FieldRule Code(int code) const {
        FieldRule r = *this;
        r.rejection = code;
        return r;
    }
    constexpr FieldRule Choice(int number) const {
        FieldRule r = *this;
        r.choice = number;
        return r;
    }
    constexpr FieldRule With(std::span<const AttributeRule> list) const {
        FieldRule r = *this;
        r.attributes = list;
        return r;
    }
};

constexpr FieldRule Field(std::string_view name, Form form, int least = 0, int most = 0) {
    FieldRule rule;
    rule.name = name;
    rule.form = form;
    rule.minLength = least;
    rule.maxLength = most;
    return rule;
}
constexpr FieldRule Text(std::string_view name, int least, int most) {
    return Field(name, Form::Text, least, most);
}
constexpr FieldRule Digits(std::string_view name, int least, int most) {
    return Field(name, Form::Digits, least, most);
}
// Digits of one of the listed lengths ("8|12|13|14").
constexpr FieldRule DigitsOfLength(std::string_view name, std::string_view lengths) {
    FieldRule rule = Field(name, Form::Digits);
    rule.values = lengths;
    return rule;
}
constexpr FieldRule Decimal(std::string_view name, int minInteger, int maxInteger, int minDecimals,
                            int maxDecimals) {
    FieldRule rule = Field(name, Form::Decimal, minInteger, maxInteger);
    rule.minDecimals = minDecimals;
    rule.maxDecimals = maxDecimals;
    return rule;
}
constexpr FieldRule Decimal(std::string_view name, int integerDigits, int decimals) {
    return Decimal(name, 1, integerDigits, decimals, decimals);
}
constexpr FieldRule OneOf(std::string_view name, std::string_view values) {
    FieldRule rule = Field(name, Form::OneOf);
    rule.values = values;
    return rule;
}
constexpr FieldRule Group(std::string_view name, std::span<const FieldRule> children) {
    FieldRule rule = Field(name, Form::Group);
    rule.children = children;
    return rule;
}
// Money: up to 13 integer digits and two decimals.
constexpr FieldRule Money(std::string_view name) {
    return Decimal(name, 13, 2);
}

// ---- The sale (CFe) ----

constexpr FieldRule kSaleIde[] = {
    Digits("CNPJ", 14, 14).Code(kBadSoftwareHouseCnpj),
    Text("signAC", 1, 344),
    Digits("numeroCaixa", 3, 3),
};

constexpr FieldRule kSaleEmit[] = {
    Digits("CNPJ", 14, 14).Code(kBadTaxpayerCnpj),
    Digits("IE", 12, 12),
    Text("IM", 1, 15).Optional(),
    Digits("cRegTribISSQN", 1, 1).Optional(),
    OneOf("indRatISSQN", "S|N"),
};

constexpr FieldRule kSaleDest[] = {
    Digits("CNPJ", 14, 14).Optional().Choice(1).Code(kBadBuyerCnpj),
    DigitsOfLength("CPF", "0|11").Optional().Choice(1).Code(kBadBuyerCpf),
    Text("xNome", 2, 60).Optional(),
};

constexpr FieldRule kDelivery[] = {
    Text("xLgr", 2, 60),    Text("nro", 1, 60),  Text("xCpl", 1, 60).Optional(),
    Text("xBairro", 1, 60), Text("xMun", 2, 60), Text("UF", 2, 2),
};

constexpr AttributeRule kDetailField[] = {{"xCampoDet"}};
constexpr FieldRule kObservation[] = {Text("xTextoDet", 1, 60)};

constexpr FieldRule kProd[] = {
    Text("cProd", 1, 60).Code(kBadProductCode),
    DigitsOfLength("cEAN", "8|12|13|14").Optional().Code(kBadProductCode),
    Text("xProd", 1, 120).Code(kBadProductDescription),
    // Its absence has a code of its own (1470), given where the values are read.
    DigitsOfLength("NCM", "2|8").Optional().Code(kBadNcm),
    Digits("CFOP", 4, 4).Code(kBadCfop),
    Text("uCom", 1, 6).Code(kBadUnit),
    Decimal("qCom", 11, 4).Code(kBadQuantity),
    Decimal("vUnCom", 1, 12, 2, 3).Code(kBadUnitPrice),
    OneOf("indRegra", "A|T").Code(kBadRule),
    Money("vDesc").Optional().Code(kBadDiscount),
    Money("vOutro").Optional().Code(kBadOtherCharges),
    Group("obsFiscoDet", kObservation).Times(0, 10).With(kDetailField),
};

constexpr FieldRule kIcms00[] = {Digits("Orig", 1, 1), Digits("CST", 2, 2), Decimal("pICMS", 3, 2)};
constexpr FieldRule kIcms40[] = {Digits("Orig", 1, 1), Digits("CST", 2, 2)};
constexpr FieldRule kIcmsSn102[] = {Digits("Orig", 1, 1), Digits("CSOSN", 3, 3)};
constexpr FieldRule kIcmsSn900[] = {Digits("Orig", 1, 1), Digits("CSOSN", 3, 3),
                                    Decimal("pICMS", 3, 2)};
constexpr FieldRule kIcms[] = {
    Group("ICMS00", kIcms00).Choice(1),
    Group("ICMS40", kIcms40).Choice(1),
    Group("ICMSSN102", kIcmsSn102).Choice(1),
    Group("ICMSSN900", kIcmsSn900).Choice(1),
};

constexpr FieldRule kIssqn[] = {
    Money("vDeducISSQN"),
    Decimal("vAliq", 3, 3, 2, 2), // "005.00": always three integer digits
    Digits("cMunFG", 7, 7).Optional(),
    Text("cListServ", 5, 5).Optional(),
    Text("cServTribMun", 20, 20).Optional(),
    Digits("cNatOp", 2, 2),
    OneOf("indIncFisc", "1|2"),
};

// The PIS and COFINS groups differ only in the rate's name.
template <const char* Rate> struct Contribution {
    static constexpr FieldRule kRate[] = {Digits("CST", 2, 2), Money("vBC"), Decimal(Rate, 1, 4)};
    static constexpr FieldRule kQuantity[] = {Digits("CST", 2, 2), Decimal("qBCProd", 12, 4),
                                              Decimal("vAliqProd", 11, 4)};
    static constexpr FieldRule kCodeOnly[] = {Digits("CST", 2, 2)};
    // Either the base and rate or the quantity and value per unit: which
    // pair, and that both of it, is checked where the value is computed.
    static constexpr FieldRule kOther[] = {
        Digits("CST", 2, 2), Money("vBC").Optional(), Decimal(Rate, 1, 4).Optional(),
        Decimal("qBCProd", 12, 4).Optional(), Decimal("vAliqProd", 11, 4).Optional()};
    static constexpr FieldRule kSubstitution[] = {
        Money("vBC").Optional(), Decimal(Rate, 1, 4).Optional(),
        Decimal("qBCProd", 12, 4).Optional(), Decimal("vAliqProd", 11, 4).Optional()};
};
constexpr char kPisRate[] = "pPIS";
constexpr char kCofinsRate[] = "pCOFINS";
using Pis = Contribution<kPisRate>;
using Cofins = Contribution<kCofinsRate>;

constexpr FieldRule kPis[] = {
    Group("PISAliq", Pis::kRate).Choice(1),   Group("PISQtde", Pis::kQuantity).Choice(1),
    Group("PISNT", Pis::kCodeOnly).Choice(1), Group("PISSN", Pis::kCodeOnly).Choice(1),
    Group("PISOutr", Pis::kOther).Choice(1),
};
constexpr FieldRule kCofins[] = {
    Group("COFINSAliq", Cofins::kRate).Choice(1),
    Group("COFINSQtde", Cofins::kQuantity).Choice(1),
    Group("COFINSNT", Cofins::kCodeOnly).Choice(1),
    Group("COFINSSN", Cofins::kCodeOnly).Choice(1),
    Group("COFINSOutr", Cofins::kOther).Choice(1),
};

constexpr FieldRule kImposto[] = {
    Money("vItem12741").Optional(),
    Group("ICMS", kIcms).Choice(1),
    Group("ISSQN", kIssqn).Choice(1),
    Group("PIS", kPis),
    Group("PISST", Pis::kSubstitution).Optional(),
    Group("COFINS", kCofins),
    Group("COFINSST", Cofins::kSubstitution).Optional(),
};

constexpr AttributeRule kItemNumber[] = {{"nItem", true, 1, 3}};
constexpr FieldRule kDet[] = {
    Group("prod", kProd),
    Group("imposto", kImposto).Code(kBadTaxes),
    Text("infAdProd", 1, 500).Optional(),
};

constexpr FieldRule kAdjustment[] = {
    Money("vDescSubtot").Choice(1),
    Money("vAcresSubtot").Choice(1),
};
constexpr FieldRule kSaleTotal[] = {
    Group("DescAcrEntr", kAdjustment).Optional(),
    Money("vCFeLei12741").Optional(),
};

constexpr FieldRule kPayment[] = {
    Digits("cMP", 2, 2).Code(kBadPaymentMethod),
    Money("vMP").Code(kBadPaymentValue),
    Digits("cAdmC", 3, 3).Optional().Code(kBadPaymentMethod),
};
constexpr FieldRule kPgto[] = {
    Group("MP", kPayment).Times(1, 10).Code(kBadPaymentMethod),
};

constexpr AttributeRule kFieldName[] = {{"xCampo"}};
constexpr FieldRule kTaxObservation[] = {Text("xTexto", 1, 60)};
constexpr FieldRule kSaleExtra[] = {
    Text("infCpl", 1, 5000).Optional(),
    Group("obsFisco", kTaxObservation).Times(0, 10).With(kFieldName),
};

constexpr FieldRule kSaleInfCFe[] = {
    Group("ide", kSaleIde),
    Group("emit", kSaleEmit),
    Group("dest", kSaleDest),
    Group("entrega", kDelivery).Optional(),
    Group("det", kDet).Times(1, 500).With(kItemNumber),
    Group("total", kSaleTotal),
    Group("pgto", kPgto).Code(kBadPaymentMethod),
    Group("infAdic", kSaleExtra).Optional(),
};
constexpr AttributeRule kSaleAttributes[] = {{"versaoDadosEnt", true, 4, 5}};

// ---- The cancellation (CFeCanc) ----

constexpr FieldRule kCancellationDest[] = {
    Digits("CNPJ", 14, 14).Optional().Choice(1).Code(kBadBuyerCnpj),
    DigitsOfLength("CPF", "0|11").Optional().Choice(1).Code(kBadBuyerCpf),
};
constexpr FieldRule kCancellationExtra[] = {
    Group("obsFisco", kTaxObservation).Times(0, 10).With(kFieldName),
};
constexpr FieldRule kCancellationInfCFe[] = {
    Group("ide", kSaleIde),
    Group("emit", {}),
    Group("dest", kCancellationDest),
    Group("total", {}),
    Group("infAdic", kCancellationExtra).Optional(),
};
constexpr AttributeRule kCancellationAttributes[] = {{"chCanc", true, 47, 47},
                                                     {"versaoDadosEnt", false, 4, 5}};

// ---- Checking ----

// The text of a field: its character data, CDATA sections included. Most
// fields hold one piece of text, which is given as it is; several pieces are
// joined in `joined`.
std::string_view FieldText(const pugi::xml_node& element, std::string& joined) {
    std::string_view single;
    int pieces = 0;
    joined.clear();
    for (const pugi::xml_node child : element.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            single = child.value();
            joined += single;
            ++pieces;
        }
    }
    return pieces == 1 ? single : std::string_view(joined);
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool Listed(std::string_view value, std::string_view list) {
    while (!list.empty()) {
        const std::size_t bar = list.find('|');
        if (list.substr(0, bar) == value) {
            return true;
        }
        list = bar == std::string_view::npos ? std::string_view() : list.substr(bar + 1);
    }
    return false;
}

bool TextKeepsTo(const FieldRule& rule, std::string_view text) {
    const auto within = [](std::size_t n, int least, int most) {
        return n >= static_cast<std::size_t>(least) && n <= static_cast<std::size_t>(most);
    };
    switch (rule.form) {
    case Form::Text:
        return within(Utf8Length(text), rule.minLength, rule.maxLength);
    case Form::Digits:
        return AllDigits(text) &&
               (rule.values.empty() ? within(text.size(), rule.minLength, rule.maxLength)
                                    : Listed(std::to_string(text.size()), rule.values));
    case Form::Decimal: {
        const std::size_t point = text.find('.');
        if (point == std::string_view::npos) {
            return false;
        }
        const std::string_view whole = text.substr(0, point);
        const std::string_view fraction = text.substr(point + 1);
        return AllDigits(whole) && AllDigits(fraction) &&
               within(whole.size(), rule.minLength, rule.maxLength) &&
               within(fraction.size(), rule.minDecimals, rule.maxDecimals);
    }
    case Form::OneOf:
        return Listed(text, rule.values);
    case Form::Group:
        break;
    }
    return false;
}

bool AttributesKeepTo(const pugi::xml_node& element, std::span<const AttributeRule> rules) {
    for (const pugi::xml_attribute attribute : element.attributes()) {
        bool known = false;
        for (const AttributeRule& rule : rules) {
            known = known || rule.name == attribute.name();
        }
        if (!known) {
            return false;
        }
    }
    for (const AttributeRule& rule : rules) {
        const std::string name(rule.name);
        const pugi::xml_attribute attribute = element.attribute(name.c_str());
        const std::size_t length = Utf8Length(attribute.value());
        if (attribute ? length < static_cast<std::size_t>(rule.minLength) ||
                            length > static_cast<std::size_t>(rule.maxLength)
                      : rule.required) {
            return false;
        }
    }
    return true;
}

// Checks the content of a group element against its rules; `code` is the
// group's own rejection, for what belongs to no field of it and for the
// fields without a code of their own (everything in imposto is 1469). Recursion
// follows the table, a handful of levels, never the document's own depth.
std::optional<int> CheckGroup(const pugi::xml_node& element, std::span<const FieldRule> rules,
                              int code) {
    const auto codeOf = [code](const FieldRule& rule) {
        return rule.rejection != kUnidentified ? rule.rejection : code;
    };
    std::array<int, 16> counts{};
    if (rules.size() > counts.size()) {
        return code;
    }
    std::size_t position = 0;
    std::string joined;
    for (const pugi::xml_node child : element.children()) {
        if (child.type() != pugi::node_element) {
            if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
                return code; // text between the fields
            }
            continue;
        }
        const std::string_view name = child.name();
        std::size_t found = position;
        while (found < rules.size() && rules[found].name != name) {
            ++found;
        }
        if (found == rules.size()) {
            // An unknown field, or a known one out of the layout's order.
            for (std::size_t earlier = 0; earlier < position; ++earlier) {
                if (rules[earlier].name == name) {
                    return codeOf(rules[earlier]);
                }
            }
            return code;
        }
        position = found;
        const FieldRule& rule = rules[found];
        if (++counts[found] > rule.maxOccurs || !AttributesKeepTo(child, rule.attributes)) {
            return codeOf(rule);
        }
        if (rule.form == Form::Group) {
            if (const auto rejection = CheckGroup(child, rule.children, codeOf(rule))) {
                return rejection;
            }
            continue;
        }
        if (child.find_child(
                [](const pugi::xml_node& n) { return n.type() == pugi::node_element; }) ||
            !TextKeepsTo(rule, FieldText(child, joined))) {
            return codeOf(rule);
        }
    }
    // Required fields, and choices.
    std::array<int, 4> chosen{};
    std::array<int, 4> firstOfChoice{-1, -1, -1, -1};
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const FieldRule& rule = rules[i];
        if (rule.choice > 0) {
            chosen[rule.choice] += counts[i];
            if (firstOfChoice[rule.choice] < 0) {
                firstOfChoice[rule.choice] = static_cast<int>(i);
            }
        } else if (counts[i] < rule.minOccurs) {
            return codeOf(rule);
        }
    }
    for (std::size_t choice = 1; choice < chosen.size(); ++choice) {
        if (firstOfChoice[choice] < 0) {
            continue;
        }
        const FieldRule& first = rules[static_cast<std::size_t>(firstOfChoice[choice])];
        if (chosen[choice] > 1) {
            return code; // both alternatives: the group itself is wrong
        }
        if (first.minOccurs > 0 && chosen[choice] == 0) {
            return codeOf(first);
        }
    }
    return std::nullopt;
}

std::optional<int> CheckDocument(const pugi::xml_node& infCFe, std::span<const FieldRule> rules,
                                 std::span<const AttributeRule> attributes) {
    if (!AttributesKeepTo(infCFe, attributes)) {
        return kUnidentified;
    }
    return CheckGroup(infCFe, rules, kUnidentified);
}

} // namespace

std::optional<int> CheckSaleLayout(const pugi::xml_node& infCFe) {
    return CheckDocument(infCFe, kSaleInfCFe, kSaleAttributes);
}

std::optional<int> CheckCancellationLayout(const pugi::xml_node& infCFe) {
    return CheckDocument(infCFe, kCancellationInfCFe, kCancellationAttributes);
}

} // namespace satemu
