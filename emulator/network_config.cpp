#include "emulator/network_config.h"

#include "emulator/document_numbers.h"
#include "emulator/xml_fields.h"

#include <charconv>
#include <cstdio>
#include <pugixml.hpp>

namespace satemu {
namespace {

constexpr const char* kNoAddress = "000.000.000.000";

bool IsZero(const std::string& address) {
    return address == kNoAddress;
}

// The value of an optional element; fails when it is present more than once.
bool ReadText(const pugi::xml_node& config, const char* name, std::size_t maxLength,
              std::string& out) {
    const pugi::xml_node node = config.child(name);
    if (!node) {
        return true;
    }
    if (node.next_sibling(name)) {
        return false;
    }
    out = node.child_value();
    return out.size() <= maxLength;
}

bool ReadAddress(const pugi::xml_node& config, const char* name, std::string& out) {
    std::string text;
    if (!ReadText(config, name, 15, text)) {
        return false;
    }
    if (text.empty()) {
        return true; // keeps 000.000.000.000
    }
    const auto normalised = NormaliseAddress(text);
    if (!normalised) {
        return false;
    }
    out = *normalised;
    return true;
}

bool ReadNumber(const pugi::xml_node& config, const char* name, int maxValue, int& out) {
    std::string text;
    if (!ReadText(config, name, 5, text)) {
        return false;
    }
    if (text.empty()) {
        return true;
    }
    int value = 0;
    if (!IsDigitsBetween(text, 1, 5) ||
        std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc{} ||
        value > maxValue) {
        return false;
    }
    out = value;
    return true;
}

} // namespace

std::optional<std::string> NormaliseAddress(std::string_view dotted) {
    std::string out;
    std::size_t start = 0;
    for (int octet = 0; octet < 4; ++octet) {
        const std::size_t dot = dotted.find('.', start);
        if ((octet < 3) == (dot == std::string_view::npos)) {
            return std::nullopt;
        }
        const std::string_view part = dotted.substr(start, dot - start);
        int value = 0;
        if (!IsDigitsBetween(part, 1, 3)) {
            return std::nullopt;
        }
        std::from_chars(part.data(), part.data() + part.size(), value);
        if (value > 255) {
            return std::nullopt;
        }
        char padded[16];
        std::snprintf(padded, sizeof padded, "%03d", value);
        if (octet > 0) {
            out += '.';
        }
        out += padded;
        start = dot + 1;
    }
    return out;
}

std::optional<NetworkConfig> ParseNetworkConfig(std::string_view xml) {
    pugi::xml_document document;
    if (!LoadSentDocument(xml, document)) {
        return std::nullopt;
    }
    const pugi::xml_node config = document.child("config");
    if (!config || document.first_child() != config || config.next_sibling()) {
        return std::nullopt;
    }
    NetworkConfig result;
    const bool read =
        ReadText(config, "tipoInter", 4, result.interfaceType) &&
        ReadText(config, "SSID", 32, result.ssid) && ReadText(config, "seg", 16, result.security) &&
        ReadText(config, "codigo", 64, result.wifiKey) &&
        ReadText(config, "tipoLan", 5, result.lanType) && ReadAddress(config, "lanIP", result.ip) &&
        ReadAddress(config, "lanMask", result.mask) &&
        ReadAddress(config, "lanGW", result.gateway) &&
        ReadAddress(config, "lanDNS1", result.dns1) &&
        ReadAddress(config, "lanDNS2", result.dns2) &&
        ReadText(config, "usuario", 64, result.pppoeUser) &&
        ReadText(config, "senha", 64, result.pppoePassword) &&
        ReadNumber(config, "proxy", 2, result.proxyMode) &&
        ReadAddress(config, "proxy_ip", result.proxyIp) &&
        ReadNumber(config, "proxy_porta", 65535, result.proxyPort) &&
        ReadText(config, "proxy_user", 64, result.proxyUser) &&
        ReadText(config, "proxy_senha", 64, result.proxyPassword);
    if (!read) {
        return std::nullopt;
    }
    if (result.interfaceType != "ETHE" && result.interfaceType != "WIFI") {
        return std::nullopt;
    }
    if (result.interfaceType == "WIFI" && result.ssid.empty()) {
        return std::nullopt;
    }
    if (result.lanType != "DHCP" && result.lanType != "PPPOE" && result.lanType != "IPFIX") {
        return std::nullopt;
    }
    return result;
}

bool HasNetworkLink(const NetworkConfig& config) {
    if (config.lanType == "IPFIX") {
        return !IsZero(config.ip) && !IsZero(config.mask);
    }
    if (config.lanType == "PPPOE") {
        return !config.pppoeUser.empty();
    }
    return true;
}

ShownAddresses AddressesInUse(const NetworkConfig& config, bool linked) {
    if (!linked) {
        return {kNoAddress, kNoAddress, kNoAddress, kNoAddress, kNoAddress};
    }
    if (config.lanType == "IPFIX") {
        return {config.ip, config.mask, config.gateway, config.dns1, config.dns2};
    }
    // The emulated network's DHCP server (and PPPoE concentrator).
    return {"192.168.000.200", "255.255.255.000", "192.168.000.001", "192.168.000.001",
            "008.008.008.008"};
}

} // namespace satemu
