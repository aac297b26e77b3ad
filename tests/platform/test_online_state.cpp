#include <gtest/gtest.h>

#include <string>

#include "platform/OnlineState.h"

namespace gapwell {
namespace {

const std::string kHeading =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
const std::string kLocalNetwork = "eth0\t0001A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n";

std::string Ipv4Route(const std::string& iface, const std::string& flags) {
    return iface + "\t00000000\t0101A8C0\t" + flags + "\t0\t0\t100\t00000000\t0\t0\t0\n";
}

std::string Ipv6Default(const std::string& flags, const std::string& iface) {
    return std::string(32, '0') + " 00 " + std::string(32, '0') + " 00 " +
           "fe800000000000000000000000000001 00000400 00000001 00000000 " + flags + " " + iface +
           "\n";
}

TEST(OnlineState, Ipv4DefaultRouteThatIsUpCounts) {
    EXPECT_TRUE(HasDefaultRoute(kHeading + kLocalNetwork + Ipv4Route("eth0", "0003"), ""));
    EXPECT_FALSE(HasDefaultRoute(kHeading + kLocalNetwork, ""));
    EXPECT_FALSE(HasDefaultRoute(kHeading + Ipv4Route("eth0", "0002"), ""));  // not up
    EXPECT_FALSE(HasDefaultRoute(kHeading + Ipv4Route("lo", "0003"), ""));
    EXPECT_FALSE(HasDefaultRoute(kHeading + Ipv4Route("eth0", "0203"), ""));  // rejecting
}

TEST(OnlineState, Ipv6DefaultRouteOffTheLoopbackCounts) {
    EXPECT_TRUE(HasDefaultRoute(kHeading, Ipv6Default("00450003", "wlan0")));
    // The kernel's unreachable default route lives on "lo" and rejects.
    EXPECT_FALSE(HasDefaultRoute(kHeading, Ipv6Default("00200200", "lo")));
    EXPECT_FALSE(HasDefaultRoute(kHeading, Ipv6Default("00000000", "wlan0")));
}

TEST(OnlineState, UnreadableTablesHoldNoRoute) {
    EXPECT_FALSE(HasDefaultRoute("", ""));
    EXPECT_FALSE(HasDefaultRoute(kHeading + "eth0\t00000000\tgarbage\n", "short line\n"));
    EXPECT_FALSE(HasDefaultRoute(kHeading + Ipv4Route("eth0", "zz"), ""));
}

}  // namespace
}  // namespace gapwell
