// The club's requests that run while their owner goes on, and the club's kept
// connections, against a real HTTP server on loopback.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "TestHttpServer.h"
#include "WaitingClub.h"
#include "club/ClubClient.h"

namespace braxo {
namespace {

using namespace std::chrono_literals;
using testing::CannedResponse;
using testing::RecordedRequest;
using testing::Respond;
using testing::TestHttpServer;
using testing::TestLimits;
using Mode = CannedResponse::Mode;

// Runs the event loop until `done` holds or `limit` has passed; says whether
// it holds.
bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 5000ms) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

void RunFor(std::chrono::milliseconds duration) {
  RunUntil([] { return false; }, duration);
}

TEST(ClubRequestTest, ReplyComesThroughTheEventLoopWithTheClubHeadersAndCookies) {
  TestHttpServer server([](const RecordedRequest& request) {
    CannedResponse response;
    response.body = "$ ok " + request.target + "#";
    if (request.target == "/login")
      response.headers.emplace_back("Set-Cookie", "sid=abc123; Path=/");
    return response;
  });
  ClubClient client(TestLimits());
  std::optional<HttpResult> login;
  auto first = client.SendList(server.Url("login"), {"nick=Вася П", "pw=a+b"},
                               [&login](HttpResult result) { login = std::move(result); });
  // Never inside the call that made the request.
  EXPECT_FALSE(login.has_value());
  EXPECT_FALSE(first->finished());
  ASSERT_TRUE(RunUntil([&] { return login.has_value(); }));
  EXPECT_TRUE(first->finished());
  ASSERT_TRUE(login->ok()) << HttpErrorName(login->error);
  EXPECT_EQ(login->body, "$ ok /login#");

  std::optional<HttpResult> stat;
  auto second = client.SendPlain(server.Url("stat"), {{"gid", "76"}, {"nick", "Вася"}},
                                 [&stat](HttpResult result) { stat = std::move(result); });
  ASSERT_TRUE(RunUntil([&] { return stat.has_value(); }));
  EXPECT_EQ(stat->body, "$ ok /stat#");

  const std::vector<RecordedRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  for (const RecordedRequest& request : requests) {
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.Header("user-agent"), "PlavoKeyStamp");
    EXPECT_EQ(request.Header("accept"), "text/html, */*");
    EXPECT_EQ(request.Header("content-type"), "application/x-www-form-urlencoded");
  }
  EXPECT_EQ(requests[0].body, "nick=%D0%92%D0%B0%D1%81%D1%8F+%D0%9F&pw=a%2Bb");
  EXPECT_FALSE(requests[0].HasHeader("cookie"));
  EXPECT_EQ(requests[1].body, "gid=76&nick=\xC2\xE0\xF1\xFF");
  EXPECT_EQ(requests[1].Header("cookie"), "sid=abc123");
}

TEST(ClubRequestTest, EveryBoundHoldsWithoutAWait) {
  struct Case {
    const char* name;
    CannedResponse response;
    std::chrono::milliseconds read_timeout;
    std::int64_t max_body_bytes;
    HttpError error;
  };
  CannedResponse not_found = Respond(Mode::kAnswer, "gone");
  not_found.status = 404;
  CannedResponse redirect = Respond(Mode::kAnswer, "moved");
  redirect.status = 302;
  redirect.headers.emplace_back("Location", "/elsewhere");
  // clang-format off
  const std::vector<Case> cases = {
      {"silent, read time-out set", Respond(Mode::kSilent), 300ms, 1 << 20, HttpError::kReadTimeout},
      {"silent, overall limit only", Respond(Mode::kSilent), 0ms, 1 << 20, HttpError::kOverallTimeout},
      {"header line that never ends", Respond(Mode::kEndlessHeader), 0ms, 1 << 20, HttpError::kTooLarge},
      {"trickling header line", Respond(Mode::kEndlessHeader, {}, 5ms), 0ms, 1 << 20, HttpError::kHeaderTimeout},
      {"chunked body that never ends", Respond(Mode::kEndlessChunked), 0ms, 1 << 20, HttpError::kTooLarge},
      {"body over the cap", Respond(Mode::kAnswer, std::string(2048, 'x')), 0ms, 1024, HttpError::kTooLarge},
      {"closed without an answer", Respond(Mode::kCloseAtOnce), 0ms, 1 << 20, HttpError::kNetwork},
      {"status 404", not_found, 0ms, 1 << 20, HttpError::kHttpStatus},
      {"redirect not followed", redirect, 0ms, 1 << 20, HttpError::kHttpStatus},
  };
  // clang-format on
  for (const Case& c : cases) {
    TestHttpServer server([&c](const RecordedRequest&) { return c.response; });
    HttpLimits limits = TestLimits();
    // The header time-out is the first to end only a trickling head.
    limits.header_timeout = c.error == HttpError::kHeaderTimeout ? 600ms : 6000ms;
    limits.overall_timeout = 1500ms;
    limits.read_timeout = c.read_timeout;
    limits.max_body_bytes = c.max_body_bytes;
    ClubClient client(limits);
    std::optional<HttpResult> result;
    auto request = client.SendPlain(server.Url("x"), {{"a", "1"}},
                                    [&result](HttpResult r) { result = std::move(r); });
    ASSERT_TRUE(RunUntil([&] { return result.has_value(); })) << c.name;
    EXPECT_EQ(HttpErrorName(result->error), HttpErrorName(c.error)) << c.name;
    EXPECT_TRUE(result->body.empty()) << c.name;
    EXPECT_EQ(server.Requests().size(), 1u) << c.name;
  }
}

TEST(ClubRequestTest, AddressesThatCannotBeContactedFailFromTheEventLoop) {
  ClubClient client(TestLimits());
  const std::vector<std::pair<std::string, HttpError>> cases = {
      {"", HttpError::kBadAddress},
      {"ftp://127.0.0.1/", HttpError::kBadAddress},
      {"http://127.0.0.1:" + std::to_string(testing::UnusedPort()) + "/",
       HttpError::kConnectFailed},
  };
  for (const auto& [address, error] : cases) {
    std::optional<HttpResult> result;
    auto request =
        client.SendBody(address, "a=1", [&result](HttpResult r) { result = std::move(r); });
    EXPECT_FALSE(result.has_value()) << address;
    ASSERT_TRUE(RunUntil([&] { return result.has_value(); })) << address;
    EXPECT_EQ(result->error, error) << address;
  }
}

TEST(ClubRequestTest, DestroyedRequestIsCancelledAndItsConnectionClosed) {
  TestHttpServer server(
      [](const RecordedRequest&) { return Respond(Mode::kDelayed, "$ ok#", 300ms); });
  ClubClient client(TestLimits());
  bool called = false;
  auto request = client.SendBody(server.Url("x"), "a=1", [&called](HttpResult) { called = true; });
  ASSERT_TRUE(RunUntil([&] { return server.Requests().size() == 1; }));
  request.reset();
  RunFor(600ms);
  EXPECT_FALSE(called);
  EXPECT_TRUE(RunUntil([&] { return server.open_connection_count() == 0; }));

  // The cut connection is never handed to the next request.
  std::optional<HttpResult> next;
  auto again =
      client.SendBody(server.Url("y"), "a=2", [&next](HttpResult r) { next = std::move(r); });
  ASSERT_TRUE(RunUntil([&] { return next.has_value(); }));
  EXPECT_EQ(next->body, "$ ok#");
  EXPECT_EQ(server.connection_count(), 2);
}

TEST(ClubRequestTest, RequestsTiedToAnOwnerGoWithIt) {
  TestHttpServer server(
      [](const RecordedRequest&) { return Respond(Mode::kDelayed, "$ ok#", 200ms); });
  ClubClient client(TestLimits());

  // An owner that outlives its request gets the reply, and nothing of the
  // request stays behind.
  QObject window;
  std::optional<HttpResult> kept;
  client.SendBody(&window, server.Url("a"), "a=1", [&kept](HttpResult r) { kept = std::move(r); });
  ASSERT_TRUE(RunUntil([&] { return kept.has_value(); }));
  EXPECT_EQ(kept->body, "$ ok#");
  EXPECT_TRUE(RunUntil([&] { return window.children().isEmpty(); }));

  // An owner destroyed first cancels all of its requests.
  auto closing = std::make_unique<QObject>();
  int replies = 0;
  for (const char* path : {"b", "c"})
    client.SendBody(closing.get(), server.Url(path), "a=1", [&replies](HttpResult) { ++replies; });
  ASSERT_TRUE(RunUntil([&] { return server.Requests().size() == 3; }));
  closing.reset();
  RunFor(500ms);
  EXPECT_EQ(replies, 0);

  // A reply that destroys its own owner.
  auto dialog = std::make_unique<QObject>();
  bool closed = false;
  client.SendBody(dialog.get(), server.Url("d"), "a=1", [&](HttpResult) {
    dialog.reset();
    closed = true;
  });
  ASSERT_TRUE(RunUntil([&] { return closed; }));
  RunFor(50ms);
  EXPECT_EQ(dialog, nullptr);
}

TEST(ClubRequestTest, DestroyedClientEndsItsRequests) {
  TestHttpServer server([](const RecordedRequest&) { return Respond(Mode::kSilent); });
  auto client = std::make_unique<ClubClient>(TestLimits());
  std::optional<HttpResult> result;
  auto request =
      client->SendBody(server.Url("x"), "a=1", [&result](HttpResult r) { result = std::move(r); });
  ASSERT_TRUE(RunUntil([&] { return server.Requests().size() == 1; }));
  client.reset();
  ASSERT_TRUE(RunUntil([&] { return result.has_value(); }));
  EXPECT_EQ(result->error, HttpError::kClientDestroyed);
}

TEST(ClubKeptConnectionTest, OneConnectionServesRequestsOneAfterAnother) {
  TestHttpServer server([](const RecordedRequest& request) {
    CannedResponse response;
    response.body = "$ " + request.body + "#";
    if (request.body == "n=1") response.headers.emplace_back("Set-Cookie", "sid=s1; Path=/");
    return response;
  });
  ClubClient client(TestLimits());
  EXPECT_EQ(testing::WaitForPlain(client, server.Url("a"), {{"n", "1"}}).body, "$ n=1#");
  EXPECT_EQ(testing::WaitForPlain(client, server.Url("b"), {{"n", "2"}}).body, "$ n=2#");
  std::optional<HttpResult> third;
  auto request = client.SendPlain(server.Url("c"), {{"n", "3"}},
                                  [&third](HttpResult r) { third = std::move(r); });
  ASSERT_TRUE(RunUntil([&] { return third.has_value(); }));
  EXPECT_EQ(third->body, "$ n=3#");
  EXPECT_EQ(testing::WaitForPlain(client, server.Url("d"), {{"n", "4"}}).body, "$ n=4#");

  EXPECT_EQ(server.connection_count(), 1);
  const std::vector<RecordedRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 4u);
  for (size_t i = 0; i < requests.size(); ++i) {
    EXPECT_NE(requests[i].Header("connection"), "close") << i;
    if (i > 0) {
      EXPECT_EQ(requests[i].Header("cookie"), "sid=s1") << i;
    }
  }
  // The one-off reads keep to a connection each.
  ASSERT_TRUE(testing::WaitForFreshGet(server.Url("config"), TestLimits()).ok());
  EXPECT_EQ(server.Requests().back().Header("connection"), "close");
}

TEST(ClubKeptConnectionTest, ConnectionIsKeptOnlyWhenTheReplyAllowsIt) {
  struct Case {
    const char* name;
    CannedResponse response;
    HttpError error;
    int connections;  // for three requests
  };
  CannedResponse closes = Respond(Mode::kAnswer, "$ ok#");
  closes.headers.emplace_back("Connection", "close");
  CannedResponse unbounded = Respond(Mode::kAnswer, "$ ok#");
  unbounded.send_length = false;
  CannedResponse missing = Respond(Mode::kAnswer, "no such photo");
  missing.status = 404;
  CannedResponse long_refusal = Respond(Mode::kAnswer, std::string(20000, 'e'));
  long_refusal.status = 500;
  CannedResponse unbounded_refusal = Respond(Mode::kAnswer, "down");
  unbounded_refusal.status = 503;
  unbounded_refusal.send_length = false;
  // clang-format off
  const std::vector<Case> cases = {
      {"server says close", closes, HttpError::kNone, 3},
      {"body ends with the connection", unbounded, HttpError::kNone, 3},
      {"short refusal read to its end", missing, HttpError::kHttpStatus, 1},
      {"long refusal", long_refusal, HttpError::kHttpStatus, 3},
      {"refusal without a length", unbounded_refusal, HttpError::kHttpStatus, 3},
  };
  // clang-format on
  for (const Case& c : cases) {
    TestHttpServer server([&c](const RecordedRequest&) { return c.response; });
    ClubClient client(TestLimits());
    for (int i = 0; i < 3; ++i) {
      const HttpResult result =
          i == 1 ? testing::WaitForGet(client, server.Url("photo.jpg"), TestLimits())
                 : testing::WaitForPlain(client, server.Url("x"), {{"n", "1"}});
      EXPECT_EQ(result.error, c.error) << c.name << " " << HttpErrorName(result.error);
      EXPECT_EQ(result.body, c.error == HttpError::kNone ? "$ ok#" : "") << c.name;
      EXPECT_EQ(result.status, c.response.status) << c.name;
    }
    EXPECT_EQ(server.connection_count(), c.connections) << c.name;
    // The plain read carries nothing of the club's.
    const std::vector<RecordedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u) << c.name;
    EXPECT_EQ(requests[1].method, "GET") << c.name;
    EXPECT_FALSE(requests[1].HasHeader("cookie")) << c.name;
    EXPECT_NE(requests[1].Header("user-agent"), "PlavoKeyStamp") << c.name;
  }
}

TEST(ClubKeptConnectionTest, KeptConnectionClosedBeforeTheReplyIsRetriedOnceOnAFreshOne) {
  std::atomic<int> seen{0};
  std::atomic<bool> close_all{false};
  TestHttpServer server([&](const RecordedRequest&) {
    const int n = ++seen;
    if (n == 2 || (close_all && n > 1)) return Respond(Mode::kCloseAtOnce);
    return Respond(Mode::kAnswer, "$ ok " + std::to_string(n) + "#");
  });
  ClubClient client(TestLimits());
  EXPECT_EQ(testing::WaitForPlain(client, server.Url("a"), {}).body, "$ ok 1#");
  // Sent on the kept connection, which the server closes: sent again, once.
  const HttpResult retried = testing::WaitForPlain(client, server.Url("b"), {});
  ASSERT_TRUE(retried.ok()) << HttpErrorName(retried.error);
  EXPECT_EQ(retried.body, "$ ok 3#");
  EXPECT_EQ(server.connection_count(), 2);

  // A fresh connection that fails the same way is not tried again.
  close_all = true;
  EXPECT_EQ(testing::WaitForPlain(client, server.Url("c"), {}).error, HttpError::kNetwork);
  EXPECT_EQ(seen.load(), 5);
  EXPECT_EQ(server.connection_count(), 3);
}

TEST(ClubKeptConnectionTest, SilenceOnAKeptConnectionStillTimesOut) {
  TestHttpServer server([](const RecordedRequest& request) {
    if (request.target == "/silent") return Respond(Mode::kSilent);
    return Respond(Mode::kAnswer, "$ ok#");
  });
  HttpLimits limits = TestLimits();
  limits.read_timeout = 300ms;
  ClubClient client(limits);
  ASSERT_TRUE(testing::WaitForPlain(client, server.Url("first"), {}).ok());
  std::optional<HttpResult> result;
  auto request = client.SendBody(server.Url("silent"), "a=1",
                                 [&result](HttpResult r) { result = std::move(r); });
  ASSERT_TRUE(RunUntil([&] { return result.has_value(); }));
  EXPECT_EQ(result->error, HttpError::kReadTimeout);
  EXPECT_EQ(server.connection_count(), 1);
}

TEST(ClubKeptConnectionTest, RequestsSentTogetherRunSideBySideAndTheirConnectionsAreKept) {
  TestHttpServer server([](const RecordedRequest& request) {
    return Respond(Mode::kDelayed, "$ " + request.target + "#", 200ms);
  });
  ClubClient client(TestLimits());
  for (int round = 0; round < 2; ++round) {
    std::vector<std::optional<HttpResult>> results(3);
    std::vector<std::unique_ptr<ClubRequest>> requests;
    for (size_t i = 0; i < results.size(); ++i) {
      requests.push_back(
          client.SendBody(server.Url(std::to_string(i)), "a=1",
                          [&results, i](HttpResult r) { results[i] = std::move(r); }));
    }
    // All three are on the wire before any reply has come.
    ASSERT_TRUE(RunUntil([&] { return server.Requests().size() == 3u * (round + 1); }))
        << "round " << round;
    EXPECT_FALSE(results[0].has_value());
    ASSERT_TRUE(RunUntil([&] {
      for (const auto& result : results)
        if (!result) return false;
      return true;
    }));
    for (size_t i = 0; i < results.size(); ++i)
      EXPECT_EQ(results[i]->body, "$ /" + std::to_string(i) + "#");
    EXPECT_EQ(server.connection_count(), 3) << "round " << round;
  }
}

}  // namespace
}  // namespace braxo
