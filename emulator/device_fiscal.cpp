// The fiscal documents: sales, the cancellation of the last sale and the
// end-to-end test.

#include "emulator/access_key.h"
#include "emulator/answers.h"
#include "emulator/base64.h"
#include "emulator/cancellation_document.h"
#include "emulator/cfe_builder.h"
#include "emulator/decimal.h"
#include "emulator/sat_device.h"

#include <cstdio>

namespace satemu {
namespace {

// numeroSessao|EEEEE|CCCC|mensagem|cod|mensagemSEFAZ|arquivoCFeSAT|timeStamp|
// chaveConsulta|valorTotalCFe|CPFCNPJValue|assinaturaQRCODE
// The CF-e's Base64 is written into the answer in place: for a large sale it
// is most of the answer.
std::string IssuedAnswer(int session, int code, const IssuedDocument& document) {
    const std::string head = JoinFields(
        {std::to_string(session), ReturnCode(code), "0000", MessageFor(code), "", "", ""});
    const std::string tail =
        JoinFields({"", document.timestamp, "CFe" + document.key, FormatCents(document.totalCents),
                    document.buyer, document.qrSignature});
    std::string answer;
    answer.reserve(head.size() + (document.xml.size() + 2) / 3 * 4 + tail.size());
    answer += head;
    AppendBase64(answer, document.xml);
    answer += tail;
    return answer;
}

} // namespace

std::string SatDevice::EnviarDadosVenda(const CallContext& c, int session, const std::string& code,
                                        std::string_view document) {
    if (!state_.activated) {
        return FiscalRefusal(session, 6002, 0);
    }
    if (!AcceptCode(c, code)) {
        return FiscalRefusal(session, 6001, 0);
    }
    if (state_.codeLocked) {
        return FiscalRefusal(session, 6009, 0);
    }
    if (const int blocked = BlockedCode(kEnviarDadosVenda)) {
        return FiscalRefusal(session, blocked, 0);
    }
    if (state_.softwareHouseCnpj.empty()) {
        return FiscalRefusal(session, 6003, 0);
    }
    if (document.size() > kMaxDocumentBytes) {
        return FiscalRefusal(session, 6005, 0);
    }
    SaleDocument sale;
    if (const auto rejection = ReadSaleDocument(document, RulesForSales(), sale)) {
        return FiscalRefusal(session, rejection->code, rejection->detail);
    }
    if (c.now < state_.lastSale.issuedAt) {
        return FiscalRefusal(session, 6010, kClockProblem); // the clock went back
    }
    const pugi::xml_node sentIssuer = sale.infCFe.child("emit");
    if (state_.taxpayerIe.empty()) {
        // The first sale's IE becomes the one the device checks from now on.
        state_.taxpayerIe = sentIssuer.child_value("IE");
    }
    const DeviceKey& key = Key(c.now);
    const IssueContext context{state_,
                               key,
                               c.now,
                               NextDocumentNumber(),
                               static_cast<int>(random_() % 1000000),
                               !state_.developerKit};
    const IssuedDocument issued = BuildSaleDocument(sale, context);
    if (issued.xml.size() > kMaxDocumentBytes) {
        return FiscalRefusal(session, 6005, 0);
    }
    state_.lastDocumentNumber = context.number;
    state_.lastSale = {context.number,
                       issued.key,
                       c.now,
                       issued.totalCents,
                       issued.buyer,
                       false,
                       sentIssuer.child_value("IM")};
    CountUp(state_.salesIssued, kMaxLargeValue);
    KeepInWorkingMemory(issued.key, issued.xml.size());
    Log(c, "SAT", "INFO",
        "CF-e-SAT emitido: CFe" + issued.key + " valor " + FormatCents(issued.totalCents));
    return IssuedAnswer(session, 6000, issued);
}

std::string SatDevice::CancelarUltimaVenda(const CallContext& c, int session,
                                           const std::string& code, const std::string& key,
                                           const std::string& document) {
    if (!state_.activated || !AcceptCode(c, code)) {
        return FiscalRefusal(session, 7001, 0);
    }
    if (state_.codeLocked) {
        return FiscalRefusal(session, 7006, 0);
    }
    if (const int blocked = BlockedCode(kCancelarUltimaVenda)) {
        return FiscalRefusal(session, blocked, 0);
    }
    const std::string digits = key.substr(0, 3) == "CFe" ? key.substr(3) : std::string();
    if (!IsWellFormedAccessKey(digits)) {
        return FiscalRefusal(session, 7007, 1270); // not an access key at all
    }
    SaleRecord& sale = state_.lastSale;
    if (sale.key.empty() || digits != sale.key) {
        return FiscalRefusal(session, 7002, 0); // only the last sale can be cancelled
    }
    if (sale.cancelled) {
        return FiscalRefusal(session, 7007, 1218);
    }
    if (c.now < sale.issuedAt) {
        return FiscalRefusal(session, 7007, kClockProblem);
    }
    if (c.now - sale.issuedAt > kCancellationWindow) {
        return FiscalRefusal(session, 7007, 1210);
    }
    if (document.size() > kMaxDocumentBytes) {
        return FiscalRefusal(session, 7007, kUnidentified);
    }
    CancellationDocument cancellation;
    if (const auto detail =
            ReadCancellationDocument(document, RulesForSales(), sale, cancellation)) {
        return FiscalRefusal(session, 7007, *detail);
    }
    const IssueContext context{state_,
                               Key(c.now),
                               c.now,
                               NextDocumentNumber(),
                               static_cast<int>(random_() % 1000000),
                               !state_.developerKit};
    const IssuedDocument issued = BuildCancellationDocument(cancellation.input, sale, context);
    state_.lastDocumentNumber = context.number;
    sale.cancelled = true;
    CountUp(state_.salesCancelled, kMaxLargeValue);
    KeepInWorkingMemory(issued.key, issued.xml.size());
    Log(c, "SAT", "INFO", "CF-e-SAT CFe" + sale.key + " cancelado por CFe" + issued.key);
    return IssuedAnswer(session, 7000, issued);
}

std::string SatDevice::TesteFimAFim(const CallContext& c, int session, const std::string& code,
                                    const std::string& document) {
    if (!state_.activated) {
        return StandardAnswer(session, 9002);
    }
    if (!AcceptCode(c, code)) {
        return StandardAnswer(session, 9001);
    }
    // The test goes to SEFAZ and back; it takes the standard's test
    // identities besides the device's own.
    SaleRules rules = RulesForSales();
    rules.softwareHouses.push_back({kTestSoftwareHouseCnpj, kTestSignature});
    rules.taxpayers.push_back({kTestTaxpayerCnpj, kTestTaxpayerIe});
    SaleDocument sale;
    if (document.size() > kMaxDocumentBytes) {
        return StandardAnswer(session, 9099);
    }
    if (const auto rejection = ReadSaleDocument(document, rules, sale)) {
        // SEFAZ's refusal: its rejection code in the cod field.
        const std::string detail = rejection->detail ? DetailCode(rejection->detail) : "";
        return JoinFields(
            {std::to_string(session), ReturnCode(9099), MessageFor(9099), detail, ""});
    }
    if (!SefazReachable(c)) {
        return StandardAnswer(session, 9099);
    }
    // A test document has its own numbering and never becomes a sale.
    const int number = state_.testDocuments >= 999999 ? 1 : state_.testDocuments + 1;
    const IssueContext context{
        state_, Key(c.now), c.now, number, static_cast<int>(random_() % 1000000), false};
    const IssuedDocument issued = BuildSaleDocument(sale, context);
    state_.testDocuments = number;
    Communicate(c);
    Log(c, "SAT", "INFO", "teste fim a fim: CFe" + issued.key);
    char numberText[16];
    std::snprintf(numberText, sizeof numberText, "%06d", number);
    return StandardAnswer(
        session, 9000,
        {Base64Encode(issued.xml), issued.timestamp, numberText, "CFe" + issued.key});
}

} // namespace satemu
