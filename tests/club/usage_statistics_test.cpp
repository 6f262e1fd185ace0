#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestHttpServer.h"
#include "club/UsageStatistics.h"

namespace braxo {
namespace {

using testing::RecordedRequest;
using testing::TestHttpServer;

HttpLimits QuickLimits() {
  HttpLimits limits;
  limits.connect_timeout = std::chrono::milliseconds(500);
  limits.overall_timeout = std::chrono::milliseconds(2000);
  return limits;
}

TEST(UsageStatisticsTest, CountStartSendsTheStartFieldsAndNeedsTheTailMarker) {
  struct Case {
    bool unique;
    std::string reply;
    std::string body;
    bool ok;
  };
  const std::vector<Case> cases = {
      {true, "$ ok#", "gid=76&stat1=1&stat2=1", true},
      {false, "counted$ ok", "gid=76&stat1=1&stat2=0", true},
      {true, "$ok#", "gid=76&stat1=1&stat2=1", false},
      {false, "", "gid=76&stat1=1&stat2=0", false},
  };
  for (const Case& c : cases) {
    TestHttpServer server(TestHttpServer::Always(c.reply));
    ClubClient client(QuickLimits());
    EXPECT_EQ(CountStart(client, server.Url("stat"), 76, c.unique), c.ok) << c.reply;
    const std::vector<RecordedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].body, c.body);
    EXPECT_EQ(requests[0].Header("user-agent"), "PlavoKeyStamp");
  }
}

TEST(UsageStatisticsTest, FirstStartIsReportedAsUniqueUntilTheServerConfirmsIt) {
  std::string reply = "$ no#";
  TestHttpServer server([&reply](const RecordedRequest&) {
    testing::CannedResponse response;
    response.body = reply;
    return response;
  });
  ClubClient client(QuickLimits());
  Settings settings;
  settings.stat_address.plain = server.Url("stat");
  settings.unique_start_counted = false;

  CountStartOfRun(client, 76, settings);  // no marker: still not counted
  EXPECT_FALSE(settings.unique_start_counted);
  reply = "$ ok#";
  CountStartOfRun(client, 76, settings);  // sent as unique again, now confirmed
  EXPECT_TRUE(settings.unique_start_counted);
  reply = "$ no#";
  CountStartOfRun(client, 76, settings);  // an ordinary start; the outcome is ignored
  EXPECT_TRUE(settings.unique_start_counted);

  const std::vector<RecordedRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].body, "gid=76&stat1=1&stat2=1");
  EXPECT_EQ(requests[1].body, "gid=76&stat1=1&stat2=1");
  EXPECT_EQ(requests[2].body, "gid=76&stat1=1&stat2=0");
}

TEST(UsageStatisticsTest, CountFinishedGameSendsTheTwelveFlags) {
  TestHttpServer server(TestHttpServer::Always("$ ok#"));
  ClubClient client(QuickLimits());
  EXPECT_TRUE(
      CountFinishedGame(client, server.Url("stat"), 76, {0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  const std::vector<RecordedRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].body,
            "gid=76&R1=0&R2=1&R3=0&R4=0&R5=0&R6=0&R7=0&R8=0&R9=0&R10=0&R11=0&R12=0");
}

TEST(UsageStatisticsTest, WithoutAStatisticsAddressNothingIsSent) {
  ClubClient client(QuickLimits());
  EXPECT_FALSE(CountStart(client, "", 76, true));
  EXPECT_FALSE(CountFinishedGame(client, "", 76, {1}));
}

}  // namespace
}  // namespace braxo
