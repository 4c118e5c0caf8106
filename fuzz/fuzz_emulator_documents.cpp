// The emulator's readers of what a point-of-sale system sends, on any bytes:
// the first byte picks the sale ('s'), the cancellation ('c') or the network
// document (anything else), the rest is the document. A sale or cancellation
// the reader accepts is issued as the device issues it, and the issued CF-e
// must be well-formed XML.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "emulator/cancellation_document.h"
#include "emulator/cfe_builder.h"
#include "emulator/network_config.h"
#include "emulator/sale_document.h"
#include "fuzz/fuzz_check.h"

namespace {

const satemu::DeviceState& Device() {
    static const satemu::DeviceState device = satemu::MakeDeveloperKit(1736947800);
    return device;
}

const satemu::DeviceKey& Key() {
    static const satemu::DeviceKey key =
        satemu::DeviceKey::Create({"900012345", "61099008000141"}, 1736947800, 1894714200);
    return key;
}

satemu::SaleRules Rules() {
    satemu::SaleRules rules;
    rules.softwareHouses.push_back({satemu::kTestSoftwareHouseCnpj, satemu::kTestSignature});
    rules.taxpayers.push_back({satemu::kTestTaxpayerCnpj, satemu::kTestTaxpayerIe});
    return rules;
}

void IssuedIsWellFormed(const satemu::IssuedDocument& issued) {
    pugi::xml_document xml;
    FUZZ_CHECK(xml.load_buffer(issued.xml.data(), issued.xml.size()));
    FUZZ_CHECK(issued.key.size() == 44);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const satemu::IssueContext context{Device(), Key(), 1736947800, 1, 123456, false};
    if (data[0] == 's') {
        satemu::SaleDocument sale;
        if (!satemu::ReadSaleDocument(text, Rules(), sale)) {
            IssuedIsWellFormed(satemu::BuildSaleDocument(sale, context));
        }
    } else if (data[0] == 'c') {
        satemu::SaleRecord last;
        last.number = 1;
        last.key = "35250161099008000141599000123450000011234565";
        last.issuedAt = 1736947800;
        last.totalCents = 5750;
        last.buyer = "52998224725";
        satemu::CancellationDocument cancellation;
        if (!satemu::ReadCancellationDocument(text, Rules(), last, cancellation)) {
            IssuedIsWellFormed(
                satemu::BuildCancellationDocument(cancellation.input, last, context));
        }
    } else {
        (void)satemu::ParseNetworkConfig(text);
    }
    return 0;
}
