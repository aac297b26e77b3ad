#include "platform/OnlineState.h"

#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "base/PosixFile.h"

namespace gapwell {

namespace {

constexpr unsigned long kRouteUp = 0x0001;      // RTF_UP
constexpr unsigned long kRouteReject = 0x0200;  // RTF_REJECT

bool Usable(const std::string& interfaceName, const std::string& flagsHex) {
    unsigned long flags = 0;
    try {
        flags = std::stoul(flagsHex, nullptr, 16);
    } catch (const std::exception&) {
        return false;
    }
    return interfaceName != "lo" && (flags & kRouteUp) != 0 && (flags & kRouteReject) == 0;
}

// "Iface Destination Gateway Flags RefCnt Use Metric Mask ...", after one heading line.
bool HasIpv4DefaultRoute(const std::string& table) {
    std::istringstream lines(table);
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string interfaceName, destination, gateway, flags, refCount, use, metric, mask;
        if ((fields >> interfaceName >> destination >> gateway >> flags >> refCount >> use >>
             metric >> mask) &&
            destination == "00000000" && mask == "00000000" && Usable(interfaceName, flags)) {
            return true;
        }
    }
    return false;
}

// "destination prefix source prefix next-hop metric refcount use flags interface".
bool HasIpv6DefaultRoute(const std::string& table) {
    std::istringstream lines(table);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string destination, prefix, source, sourcePrefix, nextHop, metric, refCount, use,
            flags, interfaceName;
        if ((fields >> destination >> prefix >> source >> sourcePrefix >> nextHop >> metric >>
             refCount >> use >> flags >> interfaceName) &&
            destination == std::string(32, '0') && prefix == "00" && Usable(interfaceName, flags)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool HasDefaultRoute(const std::string& ipv4Routes, const std::string& ipv6Routes) {
    return HasIpv4DefaultRoute(ipv4Routes) || HasIpv6DefaultRoute(ipv6Routes);
}

std::optional<std::string> ReadRoutingTable(const std::string& path) {
    constexpr std::int64_t kMaxRoutingTableBytes = 16LL * 1024 * 1024;
    const std::optional<std::vector<std::uint8_t>> bytes =
        ReadWholeFile(path, kMaxRoutingTableBytes);
    if (!bytes) {
        return std::nullopt;
    }
    return std::string(bytes->begin(), bytes->end());
}

bool HasConfiguredProxy(const std::function<const char*(const char*)>& variable) {
    for (const char* name :
         {"http_proxy", "https_proxy", "HTTPS_PROXY", "ALL_PROXY", "all_proxy"}) {
        const char* value = variable(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

bool LooksOnline(bool proxyConfigured, const std::optional<std::string>& ipv4Routes,
                 const std::optional<std::string>& ipv6Routes) {
    if (proxyConfigured || (!ipv4Routes && !ipv6Routes)) {
        return true;
    }
    return HasDefaultRoute(ipv4Routes.value_or(""), ipv6Routes.value_or(""));
}

}  // namespace gapwell
