#pragma once
// The device's network interface settings and the <config> document of
// ConfigurarInterfaceDeRede that sets them.

#include <optional>
#include <string>
#include <string_view>

namespace satemu {

struct NetworkConfig {
    std::string interfaceType = "ETHE"; // ETHE or WIFI
    std::string ssid;
    std::string security;
    std::string wifiKey;
    std::string lanType = "DHCP"; // DHCP, PPPOE or IPFIX
    // Fixed addresses (IPFIX), zero-padded: 192.168.000.010.
    std::string ip = "000.000.000.000";
    std::string mask = "000.000.000.000";
    std::string gateway = "000.000.000.000";
    std::string dns1 = "000.000.000.000";
    std::string dns2 = "000.000.000.000";
    std::string pppoeUser;
    std::string pppoePassword;
    int proxyMode = 0; // 0 none, 1 with configuration, 2 transparent
    std::string proxyIp = "000.000.000.000";
    int proxyPort = 0;
    std::string proxyUser;
    std::string proxyPassword;

    bool operator==(const NetworkConfig&) const = default;
};

// A dotted IPv4 address of four octets 0..255, each of one to three digits
// (zero padding allowed), written back zero-padded; nothing otherwise.
std::optional<std::string> NormaliseAddress(std::string_view dotted);

// The settings of a <config> document; nothing when the document is not
// well-formed XML or any value is outside what the SAT standard allows.
std::optional<NetworkConfig> ParseNetworkConfig(std::string_view xml);

// The link state: a fixed address needs an address and a mask, PPPoE a user.
bool HasNetworkLink(const NetworkConfig& config);

// The addresses the device shows in its status: the fixed ones, or for DHCP
// and PPPoE the lease of the emulated network.
struct ShownAddresses {
    std::string ip, mask, gateway, dns1, dns2;
};
ShownAddresses AddressesInUse(const NetworkConfig& config, bool linked);

} // namespace satemu
