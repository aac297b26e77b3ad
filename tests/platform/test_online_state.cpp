#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/OnlineState.h"
#include "support/TempFiles.h"

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

// A network reached only through a proxy has no default route of its own.
TEST(OnlineState, ConfiguredProxyCountsAsOnline) {
    const std::map<std::string, std::string> variables = {{"HTTPS_PROXY", "http://proxy:3128"},
                                                          {"no_proxy", "localhost"}};
    const auto lookup = [&](const std::map<std::string, std::string>& set) {
        return [&set](const char* name) -> const char* {
            const auto found = set.find(name);
            return found == set.end() ? nullptr : found->second.c_str();
        };
    };
    EXPECT_TRUE(HasConfiguredProxy(lookup(variables)));
    for (const char* name : {"http_proxy", "https_proxy", "ALL_PROXY", "all_proxy"}) {
        const std::map<std::string, std::string> one = {{name, "socks5://proxy:1080"}};
        EXPECT_TRUE(HasConfiguredProxy(lookup(one))) << name;
    }
    const std::map<std::string, std::string> none = {{"no_proxy", "*"}, {"HTTPS_PROXY", ""}};
    EXPECT_FALSE(HasConfiguredProxy(lookup(none)));

    EXPECT_TRUE(LooksOnline(true, kHeading + kLocalNetwork, ""));
    EXPECT_FALSE(LooksOnline(false, kHeading + kLocalNetwork, ""));
}

// Tables that cannot be read say nothing: "Check Now..." stays usable; one readable table
// without a default route is an answer.
TEST(OnlineState, UnknownRouteCountsAsOnline) {
    EXPECT_TRUE(LooksOnline(false, std::nullopt, std::nullopt));
    EXPECT_FALSE(LooksOnline(false, kHeading, std::nullopt));
    EXPECT_FALSE(LooksOnline(false, std::nullopt, ""));
    EXPECT_TRUE(LooksOnline(false, std::nullopt, Ipv6Default("00450003", "wlan0")));
}

// The kernel's table reports a size of 0 and is still read whole.
TEST(OnlineState, RoutingTableIsReadWholeWithinItsBound) {
    const std::optional<std::string> routes = ReadRoutingTable(kIpv4RoutesFile);
    ASSERT_TRUE(routes.has_value());
    EXPECT_EQ(routes->substr(0, 18), "Iface\tDestination\t");
    EXPECT_EQ(routes->back(), '\n');

    const test::TempFolder folder;
    EXPECT_EQ(ReadRoutingTable((folder.Path() / "missing").string()), std::nullopt);
    const std::string table = folder.Write("route", {});
    std::filesystem::resize_file(table, 16 * 1024 * 1024);
    EXPECT_EQ(ReadRoutingTable(table)->size(), 16u * 1024 * 1024);
    std::filesystem::resize_file(table, 16 * 1024 * 1024 + 1);
    EXPECT_EQ(ReadRoutingTable(table), std::nullopt);
}

}  // namespace
}  // namespace gapwell
