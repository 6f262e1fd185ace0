#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(ClubClientTest, PostPlainSendsTheClubHeadersAndWindows1251Bytes) {
  TestHttpServer server(TestHttpServer::Always("$ ok#"));
  ClubClient client(TestLimits());
  const HttpResult result = testing::WaitForPlain(
      client, server.Url("stat"), {{"gid", "76"}, {"nick", "Вася"}, {"city", "a b&c"}});
  ASSERT_TRUE(result.ok()) << HttpErrorName(result.error);
  EXPECT_EQ(result.body, "$ ok#");
  const std::vector<RecordedRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  const RecordedRequest& request = requests[0];
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.target, "/stat");
  EXPECT_EQ(request.Header("user-agent"), "PlavoKeyStamp");
  EXPECT_EQ(request.Header("accept"), "text/html, */*");
  EXPECT_EQ(request.Header("content-type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(request.body, "gid=76&nick=\xC2\xE0\xF1\xFF&city=a b%26c");
}

TEST(ClubClientTest, PostListSendsPercentEncodedUtf8) {
  TestHttpServer server(TestHttpServer::Always("ok"));
  ClubClient client(TestLimits());
  ASSERT_TRUE(
      testing::WaitForList(client, server.Url("acc"), {"nick=Вася П", "pw=a+b", "label0=0"}).ok());
  const std::vector<RecordedRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Header("user-agent"), "PlavoKeyStamp");
  EXPECT_EQ(requests[0].Header("content-type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(requests[0].body, "nick=%D0%92%D0%B0%D1%81%D1%8F+%D0%9F&pw=a%2Bb&label0=0");
}

TEST(ClubClientTest, ReplyBytesComeBackUnchanged) {
  std::string bytes = "$";
  for (int i = 1; i < 256; ++i) bytes += static_cast<char>(i);
  TestHttpServer server(TestHttpServer::Always(bytes));
  ClubClient client(TestLimits());
  EXPECT_EQ(testing::WaitForPlain(client, server.Url("x"), {}).body, bytes);
}

TEST(ClubClientTest, StatusOutsideTwoHundredsIsAFailure) {
  const std::vector<std::pair<int, HttpError>> cases = {
      {200, HttpError::kNone},       {204, HttpError::kNone},       {302, HttpError::kHttpStatus},
      {404, HttpError::kHttpStatus}, {500, HttpError::kHttpStatus},
  };
  for (const auto& [status, error] : cases) {
    TestHttpServer server([status = status](const RecordedRequest&) {
      CannedResponse response;
      response.status = status;
      response.body = "$ ok#";
      if (status == 302) response.headers.emplace_back("Location", "/elsewhere");
      return response;
    });
    ClubClient client(TestLimits());
    const HttpResult result = testing::WaitForPlain(client, server.Url("x"), {});
    EXPECT_EQ(result.error, error) << status;
    EXPECT_EQ(result.status, status);
    if (error != HttpError::kNone) {
      EXPECT_TRUE(result.body.empty());
    }
    EXPECT_EQ(server.Requests().size(), 1u) << "no redirect is followed";
  }
}

TEST(ClubClientTest, AddressesThatAreNotWebAddressesAreNeverContacted) {
  TestHttpServer server(TestHttpServer::Always("ok"));
  ClubClient client(TestLimits());
  const std::string port = std::to_string(server.port());
  for (const std::string& address :
       {std::string(), std::string("127.0.0.1:") + port, "ftp://127.0.0.1:" + port + "/",
        std::string("file:///etc/passwd"), std::string("http://"),
        "http://127.0.0.1:" + port + "/a b"}) {
    EXPECT_EQ(testing::WaitForPlain(client, address, {}).error, HttpError::kBadAddress) << address;
    EXPECT_EQ(testing::WaitForFreshGet(address, TestLimits()).error, HttpError::kBadAddress)
        << address;
  }
  EXPECT_TRUE(server.Requests().empty());
}

TEST(ClubClientTest, RefusedConnectionFailsAtOnce) {
  ClubClient client(TestLimits());
  const std::string address = "http://127.0.0.1:" + std::to_string(testing::UnusedPort()) + "/";
  EXPECT_EQ(testing::WaitForPlain(client, address, {}).error, HttpError::kConnectFailed);
}

TEST(ClubClientTest, ServerThatClosesWithoutAnswerIsAFailure) {
  TestHttpServer server([](const RecordedRequest&) { return Respond(Mode::kCloseAtOnce); });
  ClubClient client(TestLimits());
  EXPECT_FALSE(testing::WaitForPlain(client, server.Url("x"), {}).ok());
}

TEST(ClubClientTest, SilentServerFailsAtTheReadTimeoutOnceItIsSet) {
  TestHttpServer server([](const RecordedRequest&) { return Respond(Mode::kSilent); });
  ClubClient client(TestLimits());
  client.SetReadTimeout(200ms);
  EXPECT_EQ(testing::WaitForPlain(client, server.Url("x"), {{"gid", "76"}}).error,
            HttpError::kReadTimeout);
  // The setting stays on the client for later requests, also without a body.
  EXPECT_EQ(testing::WaitForList(client, server.Url("y"), {"gid=76"}).error,
            HttpError::kReadTimeout);
  EXPECT_EQ(testing::WaitForPlain(client, server.Url("z"), {}).error, HttpError::kReadTimeout);
}

TEST(ClubClientTest, SilentServerIsCutOffByTheOverallLimitWithoutAReadTimeout) {
  TestHttpServer server([](const RecordedRequest&) { return Respond(Mode::kSilent); });
  HttpLimits limits = TestLimits();
  limits.overall_timeout = 400ms;
  ClubClient client(limits);
  EXPECT_EQ(testing::WaitForPlain(client, server.Url("x"), {}).error, HttpError::kOverallTimeout);
  EXPECT_EQ(testing::WaitForFreshGet(server.Url("config"), limits).error,
            HttpError::kOverallTimeout);
}

TEST(ClubClientTest, EndlessRepliesAreCutOffInEveryPhase) {
  // No overall limit and no read time-out: the header bound and the body cap
  // alone must end these, and the connection must go with them.
  struct Case {
    const char* label;
    Mode mode;
    std::chrono::milliseconds delay;
    HttpError expected;
  };
  const Case cases[] = {
      {"header line that never ends", Mode::kEndlessHeader, 0ms, HttpError::kTooLarge},
      {"header line that trickles", Mode::kEndlessHeader, 20ms, HttpError::kHeaderTimeout},
      {"chunked body that never ends", Mode::kEndlessChunked, 0ms, HttpError::kTooLarge},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TestHttpServer server([&c](const RecordedRequest&) {
      CannedResponse response = Respond(c.mode, {}, c.delay);
      response.endless_cap = std::int64_t{1} << 30;
      return response;
    });
    HttpLimits limits;
    limits.connect_timeout = 500ms;
    limits.header_timeout = 500ms;
    limits.overall_timeout = 0ms;
    limits.max_body_bytes = std::int64_t{1} << 20;
    EXPECT_EQ(testing::WaitForFreshGet(server.Url("config"), limits).error, c.expected);
    ClubClient client(limits);
    EXPECT_EQ(testing::WaitForPlain(client, server.Url("stat"), {{"gid", "76"}}).error, c.expected);
    for (int i = 0; i < 300 && server.open_connection_count() > 0; ++i) {
      QCoreApplication::processEvents();
      std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(server.open_connection_count(), 0);
    // What the client let in stays near its cap, not the gigabyte on offer.
    EXPECT_LT(server.bytes_sent(), std::int64_t{64} << 20);
  }
}

TEST(ClubClientTest, UnansweredConnectionFailsAtTheConnectTimeout) {
  const testing::UnansweredListener listener;
  HttpLimits limits = TestLimits();
  limits.connect_timeout = 300ms;
  ClubClient client(limits);
  EXPECT_EQ(testing::WaitForPlain(client, listener.Url("x"), {{"gid", "76"}}).error,
            HttpError::kConnectTimeout);
  EXPECT_EQ(testing::WaitForFreshGet(listener.Url("config"), limits).error,
            HttpError::kConnectTimeout);
}

TEST(ClubClientTest, SteadySlowReplyPassesTheReadTimeoutButNotTheOverallLimit) {
  TestHttpServer server(
      [](const RecordedRequest&) { return Respond(Mode::kDribble, "$12345", 40ms); });
  HttpLimits limits = TestLimits();
  limits.read_timeout = 1000ms;
  ClubClient client(limits);
  EXPECT_EQ(testing::WaitForPlain(client, server.Url("x"), {}).body, "$12345");

  limits.overall_timeout = 100ms;
  ClubClient hurried(limits);
  EXPECT_EQ(testing::WaitForPlain(hurried, server.Url("x"), {}).error, HttpError::kOverallTimeout);
}

TEST(ClubClientTest, OversizedReplyIsRefused) {
  TestHttpServer server(TestHttpServer::Always(std::string(5000, 'x')));
  HttpLimits limits = TestLimits();
  limits.max_body_bytes = 4096;
  ClubClient client(limits);
  EXPECT_EQ(testing::WaitForPlain(client, server.Url("x"), {}).error, HttpError::kTooLarge);
}

TEST(ClubClientTest, CookiesAreKeptForTheRunAndNotSharedWithFreshClients) {
  TestHttpServer server([](const RecordedRequest& request) {
    CannedResponse response;
    response.body = "ok";
    if (request.target == "/login")
      response.headers.emplace_back("Set-Cookie", "sid=abc123; Path=/");
    return response;
  });
  ClubClient client(TestLimits());
  ASSERT_TRUE(testing::WaitForList(client, server.Url("login"), {"nick=a"}).ok());
  ASSERT_TRUE(testing::WaitForList(client, server.Url("next"), {"nick=a"}).ok());
  ASSERT_TRUE(testing::WaitForFreshGet(server.Url("config"), TestLimits()).ok());
  const std::vector<RecordedRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_FALSE(requests[0].HasHeader("cookie"));
  EXPECT_EQ(requests[1].Header("cookie"), "sid=abc123");
  EXPECT_FALSE(requests[2].HasHeader("cookie"));
}

TEST(ClubClientTest, TimersKeepFiringAndMayStartRequestsDuringAWait) {
  TestHttpServer server([](const RecordedRequest& request) {
    if (request.target == "/slow") return Respond(Mode::kDelayed, "slow reply", 300ms);
    return Respond(Mode::kAnswer, "fast reply");
  });
  ClubClient client(TestLimits());
  int ticks = 0;
  QTimer clock;
  QObject::connect(&clock, &QTimer::timeout, [&ticks] { ++ticks; });
  clock.start(20);
  HttpResult inner;
  QTimer::singleShot(50, [&] {
    inner = testing::WaitForPlain(client, server.Url("fast"), {{"n", "2"}});
  });

  const HttpResult outer = testing::WaitForPlain(client, server.Url("slow"), {{"n", "1"}});
  clock.stop();
  EXPECT_EQ(outer.body, "slow reply");
  EXPECT_EQ(inner.body, "fast reply");
  EXPECT_GT(ticks, 0);
  EXPECT_EQ(server.Requests().size(), 2u);
}

// A call cannot return while a request started inside its wait is still
// waiting; its reply has arrived by then and must not time out afterwards.
TEST(ClubClientTest, ArrivedReplyOutlastsItsTimeoutsDuringANestedWait) {
  TestHttpServer server([](const RecordedRequest& request) {
    if (request.target == "/config") return Respond(Mode::kDelayed, "page", 800ms);
    return Respond(Mode::kDelayed, "$ ok#", 100ms);
  });
  HttpLimits limits = TestLimits();
  limits.read_timeout = 300ms;
  limits.overall_timeout = 400ms;
  ClubClient client(limits);
  HttpResult nested;
  QTimer::singleShot(50, [&] {
    HttpLimits patient = TestLimits();
    nested = testing::WaitForFreshGet(server.Url("config"), patient);
  });
  const HttpResult outer = testing::WaitForPlain(client, server.Url("stat"), {{"gid", "76"}});
  EXPECT_EQ(nested.body, "page");
  EXPECT_TRUE(outer.ok()) << HttpErrorName(outer.error);
  EXPECT_EQ(outer.body, "$ ok#");
}

TEST(ClubClientTest, DestroyingTheClientDuringAWaitEndsTheWait) {
  TestHttpServer server([](const RecordedRequest&) { return Respond(Mode::kSilent); });
  auto client = std::make_unique<ClubClient>(TestLimits());
  ClubClient* waiting = client.get();
  QTimer::singleShot(50, [&client] { client.reset(); });
  EXPECT_EQ(testing::WaitForPlain(*waiting, server.Url("x"), {}).error,
            HttpError::kClientDestroyed);
  EXPECT_EQ(client, nullptr);
}

TEST(ClubClientTest, BackgroundGetIsAPlainGetWithoutTheClubUserAgent) {
  TestHttpServer server(TestHttpServer::Always("page"));
  const HttpResult result = testing::WaitForFreshGet(server.Url("config"), TestLimits());
  EXPECT_EQ(result.body, "page");
  const std::vector<RecordedRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "GET");
  EXPECT_EQ(requests[0].target, "/config");
  EXPECT_NE(requests[0].Header("user-agent"), "PlavoKeyStamp");
  EXPECT_TRUE(requests[0].body.empty());
}

class ConfigUrlOverride {
 public:
  explicit ConfigUrlOverride(const std::string& url) { setenv("BRAXO_CONFIG_URL", url.c_str(), 1); }
  ~ConfigUrlOverride() { unsetenv("BRAXO_CONFIG_URL"); }
};

TEST(ClubClientTest, ConfigPageReadsTheOverriddenAddressAsUtf8) {
  TestHttpServer server(TestHttpServer::Always("StatPath=QWER#News=\xD0\x9F\xFF#"));
  const ConfigUrlOverride override_url(server.Url("my-club/config"));
  const ConfigPageText page = testing::WaitForConfigPage(TestLimits());
  ASSERT_TRUE(page.has_value());
  EXPECT_EQ(*page, "StatPath=QWER#News=\xD0\x9F\xEF\xBF\xBD#");
  EXPECT_EQ(server.Requests().at(0).target, "/my-club/config");
}

TEST(ClubClientTest, ConfigPageGivesNothingOnFailure) {
  TestHttpServer server([](const RecordedRequest&) {
    CannedResponse response;
    response.status = 404;
    response.body = "WTGamesPause#";
    return response;
  });
  const ConfigUrlOverride override_url(server.Url("config"));
  EXPECT_FALSE(testing::WaitForConfigPage(TestLimits()).has_value());
}

TEST(ClubClientTest, ConfigurationPageIsCappedWhateverItsTransfer) {
  struct Case {
    const char* label;
    CannedResponse response;
    bool arrives;
  };
  CannedResponse just_fits;
  just_fits.body = std::string(kMaxConfigPageBytes, 'k');
  CannedResponse too_long;
  too_long.body = std::string(kMaxConfigPageBytes + 1, 'k');
  const Case cases[] = {
      {"page at the cap", just_fits, true},
      {"page past the cap", too_long, false},
      {"chunked page without end", Respond(Mode::kEndlessChunked), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TestHttpServer server([&c](const RecordedRequest&) { return c.response; });
    const ConfigUrlOverride override_url(server.Url("config"));
    EXPECT_EQ(testing::WaitForConfigPage().has_value(), c.arrives);
    EXPECT_LT(server.bytes_sent(), std::int64_t{16} << 20);
  }
}

TEST(ClubClientTest, ConfigurationPageArrivesInTheBackground) {
  TestHttpServer server(
      [](const RecordedRequest&) { return Respond(Mode::kDelayed, "NewsBraxo2.5=Y#", 100ms); });
  const ConfigUrlOverride override_url(server.Url("config"));
  std::optional<ConfigPageText> arrived;
  const auto fetch = FetchConfigPageInBackground(
      TestLimits(), [&arrived](ConfigPageText page) { arrived = std::move(page); });
  // The caller goes on at once; the page comes through the event loop.
  EXPECT_FALSE(arrived.has_value());
  for (int i = 0; i < 300 && !arrived; ++i) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(10ms);
  }
  ASSERT_TRUE(arrived.has_value());
  EXPECT_EQ(*arrived, ConfigPageText("NewsBraxo2.5=Y#"));
  EXPECT_TRUE(fetch->finished());

  // Given up before it arrives: no call at all.
  bool called = false;
  auto dropped =
      FetchConfigPageInBackground(TestLimits(), [&called](ConfigPageText) { called = true; });
  dropped.reset();
  for (int i = 0; i < 30; ++i) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_FALSE(called);
}

class DownloadTest : public ::testing::Test {
 protected:
  DownloadTest()
      : dir_(std::filesystem::temp_directory_path() /
             ("braxo_download_" + std::to_string(::getpid()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    std::filesystem::create_directories(dir_);
  }
  ~DownloadTest() override { std::filesystem::remove_all(dir_); }

  HttpLimits Limits() const {
    HttpLimits limits = TestLimits();
    limits.read_timeout = 1000ms;
    return limits;
  }

  std::filesystem::path dir_;
};

// Downloads as the game does, waiting for the end.
HttpError Download(const std::string& url, const std::string& path, const HttpLimits& limits,
                   DownloadProgressShown progress = {}) {
  std::unique_ptr<BackgroundDownload> download;
  return testing::WaitForReply<HttpError>([&](QObject*, std::function<void(HttpError)> done) {
           download =
               std::make_unique<BackgroundDownload>(url, path, progress, std::move(done), limits);
         })
      .value_or(HttpError::kNetwork);
}

TEST_F(DownloadTest, DownloadsTheWholeBodyAndReportsProgress) {
  const std::string package(100000, 'P');
  TestHttpServer server(TestHttpServer::Always(package));
  const std::string target = (dir_ / "Braxo.apk").string();
  std::int64_t last_received = 0;
  std::int64_t last_total = 0;
  const HttpError error = Download(server.Url("Braxo.apk"), target, Limits(),
                                   [&](std::int64_t received, std::int64_t total) {
                                     last_received = received;
                                     last_total = total;
                                   });
  EXPECT_EQ(error, HttpError::kNone);
  EXPECT_EQ(ReadFile(target), package);
  EXPECT_EQ(last_received, 100000);
  EXPECT_EQ(last_total, 100000);
}

TEST_F(DownloadTest, FailedOrCancelledDownloadLeavesTheOldFile) {
  TestHttpServer server([](const RecordedRequest& request) {
    CannedResponse response;
    response.body = std::string(50000, 'N');
    if (request.target == "/missing") response.status = 404;
    if (request.target == "/slow") {
      response.mode = Mode::kDribble;
      response.body = std::string(400, 'S');
      response.delay = 10ms;
    }
    return response;
  });
  const std::filesystem::path target = dir_ / "Braxo.apk";
  std::ofstream(target) << "old package";

  EXPECT_EQ(Download(server.Url("missing"), target.string(), Limits()), HttpError::kHttpStatus);
  // Cancelled as the player cancels: the download is destroyed once bytes
  // have come, and its callback never runs.
  std::optional<HttpError> cancelled_outcome;
  bool bytes_came = false;
  std::unique_ptr<BackgroundDownload> download;
  download = std::make_unique<BackgroundDownload>(
      server.Url("slow"), target.string(),
      [&](std::int64_t, std::int64_t) {
        bytes_came = true;
        QTimer::singleShot(0, [&download] { download.reset(); });
      },
      [&](HttpError error) { cancelled_outcome = error; }, Limits());
  QTRY_VERIFY_WITH_TIMEOUT(download == nullptr, 3000);
  EXPECT_TRUE(bytes_came);
  QTest::qWait(50);
  EXPECT_FALSE(cancelled_outcome.has_value());
  HttpLimits small = Limits();
  small.max_body_bytes = 1000;
  EXPECT_EQ(Download(server.Url("pkg"), target.string(), small), HttpError::kTooLarge);
  EXPECT_EQ(ReadFile(target), "old package");
  // Nothing but the old file is left in the directory.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(DownloadTest, AFileThatCannotBeWrittenEndsTheDownloadFromTheEventLoop) {
  TestHttpServer server(TestHttpServer::Always("package"));
  std::optional<HttpError> outcome;
  BackgroundDownload download(
      server.Url("pkg"), (dir_ / "no-such-folder" / "Braxo.apk").string(), {},
      [&outcome](HttpError error) { outcome = error; }, Limits());
  EXPECT_FALSE(outcome.has_value());
  QTRY_COMPARE_WITH_TIMEOUT(outcome, std::optional<HttpError>(HttpError::kWriteFailed), 1000);
  EXPECT_TRUE(server.Requests().empty());
}

TEST_F(DownloadTest, FollowsRedirectsOnlyToWebAddresses) {
  TestHttpServer server([](const RecordedRequest& request) {
    CannedResponse response;
    if (request.target == "/moved") {
      response.status = 302;
      response.headers.emplace_back("Location", "/Braxo.apk");
    } else if (request.target == "/to-file") {
      response.status = 302;
      response.headers.emplace_back("Location", "file:///etc/hostname");
    } else {
      response.body = "package";
    }
    return response;
  });
  const std::filesystem::path target = dir_ / "Braxo.apk";
  EXPECT_EQ(Download(server.Url("moved"), target.string(), Limits()), HttpError::kNone);
  EXPECT_EQ(ReadFile(target), "package");

  const std::filesystem::path other = dir_ / "other.apk";
  EXPECT_NE(Download(server.Url("to-file"), other.string(), Limits()), HttpError::kNone);
  EXPECT_FALSE(std::filesystem::exists(other));
  EXPECT_EQ(Download("file:///etc/hostname", other.string(), Limits()), HttpError::kBadAddress);
  EXPECT_FALSE(std::filesystem::exists(other));
}

}  // namespace
}  // namespace braxo
