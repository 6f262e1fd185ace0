#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>
#include <QTest>
#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "TestHttpServer.h"
#include "WaitingClub.h"
#include "club/UsageStatistics.h"

namespace braxo {
namespace {

using testing::CannedResponse;
using testing::RecordedRequest;
using testing::Respond;
using testing::TestHttpServer;
using testing::WaitForReply;

HttpLimits QuickLimits() {
  HttpLimits limits;
  limits.connect_timeout = std::chrono::milliseconds(500);
  limits.overall_timeout = std::chrono::milliseconds(2000);
  return limits;
}

std::optional<bool> SendStart(ClubClient& client, const std::string& address, bool unique) {
  return WaitForReply<bool>([&](QObject* owner, std::function<void(bool)> done) {
    CountStart(client, owner, address, 76, unique, std::move(done));
  });
}

std::optional<bool> SendFinished(ClubClient& client, const std::string& address,
                                 const std::array<int, 12>& flags) {
  return WaitForReply<bool>([&](QObject* owner, std::function<void(bool)> done) {
    CountFinishedGame(client, owner, address, 76, flags, std::move(done));
  });
}

// The start of a run as the game sends it; the settled callback's value.
std::optional<bool> StartOfRun(ClubClient& client, Settings& settings) {
  return WaitForReply<bool>([&](QObject* owner, std::function<void(bool)> done) {
    CountStartOfRun(client, owner, 76, settings, std::move(done));
  });
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
    EXPECT_EQ(SendStart(client, server.Url("stat"), c.unique), c.ok) << c.reply;
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

  // no marker: still not counted
  EXPECT_EQ(StartOfRun(client, settings), false);
  EXPECT_FALSE(settings.unique_start_counted);
  reply = "$ ok#";
  // sent as unique again, now confirmed
  EXPECT_EQ(StartOfRun(client, settings), true);
  EXPECT_TRUE(settings.unique_start_counted);
  reply = "$ no#";
  // an ordinary start; the outcome is ignored
  EXPECT_EQ(StartOfRun(client, settings), false);
  EXPECT_TRUE(settings.unique_start_counted);

  const std::vector<RecordedRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].body, "gid=76&stat1=1&stat2=1");
  EXPECT_EQ(requests[1].body, "gid=76&stat1=1&stat2=1");
  EXPECT_EQ(requests[2].body, "gid=76&stat1=1&stat2=0");
}

TEST(UsageStatisticsTest, TheUniqueStartIsWrittenIntoTheSettingsOnlyOnceTheReplyIsIn) {
  TestHttpServer server([](const RecordedRequest&) {
    return Respond(CannedResponse::Mode::kDelayed, "$ ok#", std::chrono::milliseconds(300));
  });
  ClubClient client(QuickLimits());
  Settings settings;
  settings.stat_address.plain = server.Url("stat");
  settings.unique_start_counted = false;
  QObject owner;
  std::vector<bool> settled;
  CountStartOfRun(client, &owner, 76, settings, [&](bool changed) { settled.push_back(changed); });
  // The call returns before the reply: nothing is written yet.
  EXPECT_FALSE(settings.unique_start_counted);
  QTRY_COMPARE_WITH_TIMEOUT(server.Requests().size(), std::size_t{1}, 2000);
  EXPECT_FALSE(settings.unique_start_counted);
  EXPECT_TRUE(settled.empty());
  QTRY_COMPARE_WITH_TIMEOUT(settled.size(), std::size_t{1}, 3000);
  EXPECT_TRUE(settled[0]);
  EXPECT_TRUE(settings.unique_start_counted);
}

TEST(UsageStatisticsTest, AReportWhoseOwnerGoesIsCancelledAndChangesNothing) {
  TestHttpServer server([](const RecordedRequest&) {
    return Respond(CannedResponse::Mode::kDelayed, "$ ok#", std::chrono::milliseconds(300));
  });
  ClubClient client(QuickLimits());
  Settings settings;
  settings.stat_address.plain = server.Url("stat");
  settings.unique_start_counted = false;
  bool settled = false;
  auto owner = std::make_unique<QObject>();
  CountStartOfRun(client, owner.get(), 76, settings, [&](bool) { settled = true; });
  QTRY_COMPARE_WITH_TIMEOUT(server.Requests().size(), std::size_t{1}, 2000);
  owner.reset();
  // Longer than the server's delay: a reply would have come by now.
  QTest::qWait(600);
  EXPECT_FALSE(settled);
  EXPECT_FALSE(settings.unique_start_counted);
}

TEST(UsageStatisticsTest, CountFinishedGameSendsTheTwelveFlags) {
  TestHttpServer server(TestHttpServer::Always("$ ok#"));
  ClubClient client(QuickLimits());
  EXPECT_EQ(SendFinished(client, server.Url("stat"), {0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), true);
  const std::vector<RecordedRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].body,
            "gid=76&R1=0&R2=1&R3=0&R4=0&R5=0&R6=0&R7=0&R8=0&R9=0&R10=0&R11=0&R12=0");
}

TEST(UsageStatisticsTest, ReportsSentOneAfterAnotherAllArrive) {
  // A slow club: the second game's report is sent while the first one's
  // reply is still out, and must not take its place.
  TestHttpServer server([](const RecordedRequest&) {
    return Respond(CannedResponse::Mode::kDelayed, "$ ok#", std::chrono::milliseconds(200));
  });
  ClubClient client(QuickLimits());
  QObject owner;
  std::vector<bool> outcomes;
  const auto record = [&](bool confirmed) { outcomes.push_back(confirmed); };
  CountFinishedGame(client, &owner, server.Url("stat"), 76, {1}, record);
  CountFinishedGame(client, &owner, server.Url("stat"), 76, {0, 0, 1}, record);
  QTRY_COMPARE_WITH_TIMEOUT(outcomes.size(), std::size_t{2}, 3000);
  EXPECT_EQ(outcomes, (std::vector<bool>{true, true}));
  std::vector<std::string> bodies;
  for (const RecordedRequest& request : server.Requests()) bodies.push_back(request.body);
  std::sort(bodies.begin(), bodies.end());
  EXPECT_EQ(bodies, (std::vector<std::string>{
                        "gid=76&R1=0&R2=0&R3=1&R4=0&R5=0&R6=0&R7=0&R8=0&R9=0&R10=0&R11=0&R12=0",
                        "gid=76&R1=1&R2=0&R3=0&R4=0&R5=0&R6=0&R7=0&R8=0&R9=0&R10=0&R11=0&R12=0"}));
}

TEST(UsageStatisticsTest, WithoutAStatisticsAddressNothingIsSent) {
  ClubClient client(QuickLimits());
  EXPECT_EQ(SendStart(client, "", true), false);
  EXPECT_EQ(SendFinished(client, "", {1}), false);
}

}  // namespace
}  // namespace braxo
