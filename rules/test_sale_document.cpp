#include "rules/test_sale_document.h"

#include <array>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 61> kLines{
    R"(<?xml version="1.0" encoding="UTF-8"?>)",
    "<CFe>",
    R"(<infCFe versaoDadosEnt="0.06">)",
    "<ide>",
    "<CNPJ>16716114000172</CNPJ>",
    "<signAC>SGR-SAT SISTEMA DE GESTAO E RETAGUARDA DO SAT</signAC>",
    "<numeroCaixa>927</numeroCaixa>",
    "</ide>",
    "<emit>",
    "<CNPJ>61099008000141</CNPJ>",
    "<IE>111111111111</IE>",
    "<indRatISSQN>N</indRatISSQN>",
    "</emit>",
    "<dest>",
    "<CPF></CPF>",
    "</dest>",
    R"(<det nItem="1">)",
    "<prod>",
    "<cProd>279</cProd>",
    "<xProd>315 PRESTIGE 100ML</xProd>",
    "<NCM>33030010</NCM>",
    "<CFOP>5403</CFOP>",
    "<uCom>UN</uCom>",
    "<qCom>1.0000</qCom>",
    "<vUnCom>50.00</vUnCom>",
    "<indRegra>A</indRegra>",
    "</prod>",
    "<imposto>",
    "<vItem12741>28.83</vItem12741>",
    "<ICMS>",
    "<ICMS00>",
    "<Orig>0</Orig>",
    "<CST>00</CST>",
    "<pICMS>18.00</pICMS>",
    "</ICMS00>",
    "</ICMS>",
    "<PIS>",
    "<PISAliq>",
    "<CST>01</CST>",
    "<vBC>50.00</vBC>",
    "<pPIS>0.0065</pPIS>",
    "</PISAliq>",
    "</PIS>",
    "<COFINS>",
    "<COFINSAliq>",
    "<CST>01</CST>",
    "<vBC>50.00</vBC>",
    "<pCOFINS>0.0300</pCOFINS>",
    "</COFINSAliq>",
    "</COFINS>",
    "</imposto>",
    "</det>",
    // The document carries no totals: the device computes them.
    "<total/>",
    "<pgto>",
    "<MP>",
    "<cMP>01</cMP>",
    "<vMP>50.00</vMP>",
    "</MP>",
    "</pgto>",
    "</infCFe>",
    "</CFe>",
};

} // namespace

void BuildTestSaleDocument(std::vector<std::string>& lines) {
    lines.clear();
    lines.reserve(kLines.size());
    for (const std::string_view line : kLines) {
        lines.emplace_back(line);
    }
}
