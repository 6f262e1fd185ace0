// Which address a request counts against when a balancer stands in front.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "ServerConfig.h"
#include "ServerTestKit.h"
#include "http/ClubRoutes.h"

namespace braxo::club {
namespace {

TEST(ClientAddress, OnlyATrustedBalancersLastForwardedAddressCounts) {
  const std::vector<std::string> trusted = {"10.0.0.5", "::1"};
  struct Case {
    const char* peer;
    const char* forwarded;
    const char* expected;
  };
  const Case cases[] = {
      {"203.0.113.7", "", "203.0.113.7"},
      // A client cannot choose its address by sending the header itself.
      {"203.0.113.7", "198.51.100.1", "203.0.113.7"},
      {"10.0.0.5", "198.51.100.1", "198.51.100.1"},
      // The balancer appends: what stands before its entry is the client's word.
      {"10.0.0.5", "1.2.3.4, 198.51.100.1", "198.51.100.1"},
      {"10.0.0.5", "1.2.3.4,198.51.100.1 ", "198.51.100.1"},
      {"::1", "2001:db8::1", "2001:db8::1"},
      {"10.0.0.5", "", "10.0.0.5"},
      {"10.0.0.5", "not-an-address", "10.0.0.5"},
      {"10.0.0.5", "198.51.100.1, ", "10.0.0.5"},
  };
  for (const Case& c : cases) {
    HttpRequest request;
    request.remote_address = c.peer;
    request.forwarded_for = c.forwarded;
    EXPECT_EQ(ClientAddress(request, trusted), c.expected) << c.peer << " / " << c.forwarded;
  }
}

TEST(ClientAddress, TheTrustedBalancersComeFromTheSettingsFile) {
  test::TempFolder folder;
  const std::string path = folder.path() + "/club.conf";
  ServerSettings settings;
  std::ofstream(path) << "trusted_proxies = 127.0.0.1, ::1\n";
  EXPECT_FALSE(LoadServerSettings(path, settings));
  EXPECT_EQ(settings.trusted_proxies, (std::vector<std::string>{"127.0.0.1", "::1"}));
  for (const char* bad : {"trusted_proxies = localhost\n", "trusted_proxies = 127.0.0.1,,\n",
                          "trusted_proxies =\n"}) {
    std::ofstream(path) << bad;
    ServerSettings other;
    EXPECT_TRUE(LoadServerSettings(path, other)) << bad;
  }
}

}  // namespace
}  // namespace braxo::club
