// The top-ten table, top-ten entry and chat windows against the real
// braxo-club behind a loopback proxy that adds a round trip, as a club across
// the internet: each window is on the screen before the club answers, asks
// nothing twice while its request is out, lets go of it when it closes, and
// ends a request that is never answered in today's message within the
// client's bounds.
#include <gtest/gtest.h>

#include <QTest>
#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "ClubGameClient.h"
#include "ClubServerProcess.h"
#include "ClubWindowKit.h"
#include "DelayingProxy.h"
#include "DialogTestKit.h"
#include "TestHttpServer.h"
#include "dialogs/ChatWindow.h"
#include "dialogs/TopTenEntryWindow.h"
#include "dialogs/TopTenTableWindow.h"
#include "i18n/MessageCatalogue.h"

namespace braxo {
namespace {

using namespace std::chrono_literals;
using dialogs_test::ClubConnection;
using dialogs_test::Find;
using dialogs_test::MakePassport;
using dialogs_test::RecordedNotices;
using dialogs_test::TypeKey;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

int Occurrences(const std::string& text, const std::string& piece) {
  int count = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
    ++count;
  return count;
}

// What a test needs of one window: the window, whether its request is out,
// and whether a reply has reached what the window leaves behind (the tables
// shown, the notices), which a window closed in time must never show.
struct OpenWindow {
  std::unique_ptr<QDialog> window;
  std::function<bool()> request_out;
};

// The world the windows live in: a club whose nick "Ann" is a member's and
// whose chat has just taken a message from this address (so the next one
// within ten seconds is refused), reached through a proxy adding 300 ms.
class TournamentWindowsDistantClubTest : public ::testing::Test {
 public:
  void SetUp() override {
    ClubConnection direct(club_.BaseUrl());
    ASSERT_EQ(direct.access.CreateAccount(testing::TestMember("Ann", "secret12")), 0);
    ASSERT_TRUE(direct.access
                    .WriteTopTenEntry("Bob", "Paris", "1-015", "M", 1, kChatTableId,
                                      "12:00:00_01.01.2026_Braxo", "Hi")
                    .has_value());
    proxy_ =
        std::make_unique<testing::DelayingProxy>(static_cast<std::uint16_t>(club_.Port()), 300ms);
    player_ = std::make_unique<ClubConnection>(proxy_->BaseUrl());
  }

  // The club's log, every line written (the server is restarted for it).
  std::string ClubLog() {
    club_.Restart();
    return ReadAll(club_.DataDir() + "/server.log");
  }

  // Each window as the player opens it, its request sent.
  // clang-format off
  OpenWindow OpenTable() {
    auto window = std::make_unique<TopTenTableWindow>(player_->access, passport_, platform_, 0,
                                                      pictures_, nullptr, nullptr, &shown_);
    window->show();
    window->DrawTable();
    auto* table = window.get();
    return {std::move(window), [table] { return table->ReadingClub(); }};
  }
  OpenWindow OpenEntry() {
    auto window = std::make_unique<TopTenEntryWindow>(player_->access, passport_, 3000, 0,
                                                      pictures_, nullptr, nullptr,
                                                      notices_.Shower());
    window->show();
    window->PrepareShowing();
    window->SendButton().click();
    auto* entry = window.get();
    return {std::move(window), [entry] { return entry->Sending(); }};
  }
  OpenWindow OpenChatSending() {
    auto window = std::make_unique<ChatWindow>(player_->access, passport_, 0, pictures_, nullptr,
                                               nullptr, notices_.Shower());
    window->show();
    window->PrepareShowing();
    window->InputLine().setText("Hello");
    TypeKey(window->InputLine(), Qt::Key_Return);
    auto* chat = window.get();
    return {std::move(window), [chat] { return chat->ReadingClub() || chat->Sending(); }};
  }
  // clang-format on

  // Whether any reply reached what the windows leave behind.
  bool AReplyArrived() const { return !shown_.empty() || !notices_.messages.empty(); }

  testing::ClubServerProcess club_;
  std::unique_ptr<testing::DelayingProxy> proxy_;
  std::unique_ptr<ClubConnection> player_;
  const TournamentPassport passport_ = MakePassport("Ann", "Oslo", "1-035", 'W');
  PlatformChoice platform_ = PlatformChoice::kWindows;
  TopTenTablesShown shown_;
  RecordedNotices notices_;
  PictureStore pictures_;
};

struct WindowCase {
  const char* name;
  OpenWindow (TournamentWindowsDistantClubTest::*open)();
};

// clang-format off
const WindowCase kWindows[] = {
    {"table", &TournamentWindowsDistantClubTest::OpenTable},
    {"entry", &TournamentWindowsDistantClubTest::OpenEntry},
    {"chat",  &TournamentWindowsDistantClubTest::OpenChatSending},
};
// clang-format on

// Each window is on the screen with its request out; left open, the reply
// comes (the control); closed first, no reply reaches anything.
TEST_F(TournamentWindowsDistantClubTest, OnTheScreenBeforeTheReplyAndAClosedWindowHearsNothing) {
  for (const WindowCase& c : kWindows) {
    for (const bool close_early : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (close_early ? " closed early" : " left open"));
      shown_.clear();
      notices_.messages.clear();
      OpenWindow open = (this->*c.open)();
      EXPECT_TRUE(open.window->isVisible());
      ASSERT_TRUE(open.request_out()) << "the window did not wait for the reply to show";
      if (close_early) open.window.reset();
      // Long enough for every reply asked for to have come back.
      QTest::qWait(2000);
      EXPECT_EQ(AReplyArrived(), !close_early);
      if (open.window) {
        EXPECT_FALSE(open.request_out());
      }
    }
  }
}

// A refresh, a second press or a second Enter while the request is out sends
// no second copy: the club's log has each request once.
TEST_F(TournamentWindowsDistantClubTest, ASecondPressWhileTheRequestIsOutSendsNothing) {
  const std::string before = ClubLog();
  {
    OpenWindow table = OpenTable();
    auto& window = static_cast<TopTenTableWindow&>(*table.window);
    window.RefreshHotspotClicked();
    window.DrawTable();
    window.TablePressed(QPoint(100, 340));  // the platform already chosen
    ASSERT_TRUE(QTest::qWaitFor([&] { return !table.request_out(); }, 10000));
    EXPECT_NE(Find(window.TableTexts(), "Number of games: 0"), nullptr);
  }
  {
    OpenWindow entry = OpenEntry();
    auto& window = static_cast<TopTenEntryWindow&>(*entry.window);
    window.SendButton().click();
    window.SendClicked();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !entry.request_out(); }, 10000));
  }
  {
    OpenWindow chat = OpenChatSending();
    auto& window = static_cast<ChatWindow&>(*chat.window);
    window.RefreshHotspotClicked();
    TypeKey(window.InputLine(), Qt::Key_Return);
    window.EnvelopeButton().click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !chat.request_out(); }, 10000));
  }
  const std::string log = ClubLog().substr(before.size());
  // The table's three reads, the chat's list read and the one its send
  // makes before the write.
  EXPECT_EQ(Occurrences(log, " topten-read "), 1 + 2) << log;
  EXPECT_EQ(Occurrences(log, " topten-count "), 1) << log;
  EXPECT_EQ(Occurrences(log, " topten-own "), 1) << log;
  // The entry (refused: a member's nick) and the chat message (refused: the
  // chat's limit), each once.
  EXPECT_EQ(Occurrences(log, " topten-write "), 2) << log;
}

// A club that takes the requests and never answers, a fault the real club
// cannot be made to show: each window ends in today's message within the
// client's bound.
TEST(TournamentWindowsSilentClub, ARequestNeverAnsweredEndsInTodaysMessageWithinTheBound) {
  testing::TestHttpServer silent([](const testing::RecordedRequest&) {
    return testing::Respond(testing::CannedResponse::Mode::kSilent);
  });
  const HttpLimits limits = testing::TestLimits();
  ClubConnection club(silent.Url(""), limits);
  PictureStore pictures;
  const TournamentPassport passport = MakePassport("Ann", "Oslo", "1-035", 'W');
  const int bound = static_cast<int>(limits.overall_timeout.count()) + 2000;

  PlatformChoice platform = PlatformChoice::kWindows;
  TopTenTableWindow table(club.access, passport, platform, 0, pictures, nullptr, nullptr);
  table.show();
  table.DrawTable();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !table.ReadingClub(); }, bound));
  int no_connect = 0;
  for (const DrawnText& t : table.TableTexts()) no_connect += t.text == kNoConnect;
  EXPECT_EQ(no_connect, 2);

  RecordedNotices notices;
  TopTenEntryWindow entry(club.access, passport, 3000, 0, pictures, nullptr, nullptr,
                          notices.Shower());
  entry.show();
  entry.PrepareShowing();
  entry.SendButton().click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !entry.Sending(); }, bound));
  EXPECT_EQ(notices.messages, std::vector<std::string>{MessageText(MsgId::MsgResultNotWritten, 0)});

  notices.messages.clear();
  ChatWindow chat(club.access, passport, 0, pictures, nullptr, nullptr, notices.Shower());
  chat.show();
  chat.PrepareShowing();
  chat.InputLine().setText("Hello");
  TypeKey(chat.InputLine(), Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !chat.Sending() && !chat.ReadingClub(); }, bound));
  ASSERT_EQ(chat.MessageTexts().size(), 1u);
  EXPECT_EQ(chat.MessageTexts()[0].text, kNoConnect);
  EXPECT_EQ(notices.messages, std::vector<std::string>{MessageText(MsgId::MsgMessageNotSent, 0)});
  EXPECT_EQ(chat.InputLine().text(), "Hello");
}

}  // namespace
}  // namespace braxo
