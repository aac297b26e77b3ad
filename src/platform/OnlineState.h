#pragma once

#include <functional>
#include <optional>
#include <string>

namespace gapwell {

// Whether the kernel's routing tables hold a usable default route: one that is up, not a
// rejecting route, and leaves through an interface other than the loopback "lo". The texts are
// the contents of /proc/net/route (IPv4, with its heading line) and /proc/net/ipv6_route; an
// empty or unreadable table holds no route.
bool HasDefaultRoute(const std::string& ipv4Routes, const std::string& ipv6Routes);

// The kernel's routing tables, as HasDefaultRoute reads them.
inline constexpr const char* kIpv4RoutesFile = "/proc/net/route";
inline constexpr const char* kIpv6RoutesFile = "/proc/net/ipv6_route";

// The text of a routing table file; nullopt when it cannot be read or holds more than 16 MiB
// (some 130 000 routes: a router's full table, not a desktop's, which tells nothing here).
std::optional<std::string> ReadRoutingTable(const std::string& path);

// Whether a proxy is configured in the environment (http_proxy, https_proxy, HTTPS_PROXY,
// ALL_PROXY or all_proxy set and not empty); `variable` reads one variable, nullptr when unset.
bool HasConfiguredProxy(const std::function<const char*(const char*)>& variable);

// Whether Live Update may try the network: a configured proxy reaches it without a route of
// our own; routing tables that cannot be read (nullopt, both) leave the answer unknown, which
// counts as online; otherwise a usable default route decides.
bool LooksOnline(bool proxyConfigured, const std::optional<std::string>& ipv4Routes,
                 const std::optional<std::string>& ipv6Routes);

}  // namespace gapwell
