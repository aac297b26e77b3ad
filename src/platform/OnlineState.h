#pragma once

#include <string>

namespace gapwell {

// Whether the kernel's routing tables hold a usable default route: one that is up, not a
// rejecting route, and leaves through an interface other than the loopback "lo". The texts are
// the contents of /proc/net/route (IPv4, with its heading line) and /proc/net/ipv6_route; an
// empty or unreadable table holds no route.
bool HasDefaultRoute(const std::string& ipv4Routes, const std::string& ipv6Routes);

}  // namespace gapwell
