#pragma once
// Sale documents for the emulator's benchmark: the kit's identities, and
// sales of many items whose data vary with the item and the variant (codes,
// descriptions with accents and escaped characters, NCM, quantities, prices,
// rounding rule, ICMS taxed or exempt, PIS and COFINS by rate or not taxed),
// so neither the device nor the floor sees one item repeated.

#include <string>

namespace bench {

inline const std::string kSaleHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><CFe><infCFe versaoDadosEnt=\"0.08\">"
    "<ide><CNPJ>16716114000172</CNPJ><signAC>SGR-SAT SISTEMA DE GESTAO E RETAGUARDA DO SAT"
    "</signAC><numeroCaixa>001</numeroCaixa></ide><emit><CNPJ>61099008000141</CNPJ>"
    "<IE>111111111111</IE><indRatISSQN>N</indRatISSQN></emit><dest/>";

// One item, number `n` (1-based) of variant `variant`.
inline std::string SaleItem(int n, int variant) {
    static const char* const kNames[] = {"Perfume 100ml",          "Sabonete líquido 250ml",
                                         "Creme &amp; loção nº 3", "Shampoo \"anticaspa\"",
                                         "Escova de cabelo",       "Condicionador 1L"};
    static const char* const kNcm[] = {"33030010", "34011190", "33049910", "33051000", "96032100"};
    const int k = n * 7 + variant * 13;
    const std::string code = std::to_string(1000 + (k * 37) % 9000);
    const std::string quantity = std::to_string(1 + k % 12) + "." + std::to_string(1000 + k % 9000);
    const std::string price = std::to_string(1 + (k * 53) % 480) + "." +
                              std::to_string(10 + k % 90) + (k % 3 == 0 ? "5" : "");
    const bool taxed = k % 4 != 0;
    const std::string base = std::to_string(5 + k % 300) + ".00";
    std::string item = "<det nItem=\"" + std::to_string(n) + "\"><prod><cProd>" + code +
                       "</cProd><xProd>" + kNames[k % 6] + " lote " + std::to_string(k) +
                       "</xProd><NCM>" + kNcm[k % 5] + "</NCM><CFOP>5102</CFOP><uCom>" +
                       (k % 2 ? "UN" : "CX") + "</uCom><qCom>" + quantity + "</qCom><vUnCom>" +
                       price + "</vUnCom><indRegra>" + (k % 5 ? "A" : "T") +
                       "</indRegra></prod><imposto>";
    item += taxed ? "<ICMS><ICMS00><Orig>0</Orig><CST>00</CST><pICMS>" +
                        std::to_string(7 + k % 12) + ".00</pICMS></ICMS00></ICMS>"
                  : std::string("<ICMS><ICMS40><Orig>0</Orig><CST>40</CST></ICMS40></ICMS>");
    item += taxed ? "<PIS><PISAliq><CST>01</CST><vBC>" + base +
                        "</vBC><pPIS>0.0065</pPIS></PISAliq></PIS><COFINS><COFINSAliq><CST>01</CST>"
                        "<vBC>" +
                        base + "</vBC><pCOFINS>0.0300</pCOFINS></COFINSAliq></COFINS>"
                  : std::string("<PIS><PISNT><CST>04</CST></PISNT></PIS><COFINS><COFINSNT>"
                                "<CST>04</CST></COFINSNT></COFINS>");
    return item + "</imposto></det>";
}

// A sale of `items` items; paid with more than any such sale costs.
inline std::string SaleDocument(int items, int variant) {
    std::string sale = kSaleHead;
    for (int n = 1; n <= items; ++n) {
        sale += SaleItem(n, variant);
    }
    return sale +
           "<total/><pgto><MP><cMP>01</cMP><vMP>99999999.00</vMP></MP></pgto></infCFe></CFe>";
}

} // namespace bench
