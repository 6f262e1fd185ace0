// The account window against the real braxo-club behind a loopback proxy that
// adds a round trip, as a club across the internet: the window opens before
// any reply, fills as the replies come, asks nothing twice, lets go of its
// reads when it closes, and ends a read that is never answered as a failed
// one.
#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "ClubServerProcess.h"
#include "DelayingProxy.h"
#include "TestHttpServer.h"
#include "WaitingClub.h"
#include "club/AccountWorkflow.h"
#include "club/ClubAccess.h"
#include "club/Scramble.h"
#include "dialogs/AccountWindow.h"
#include "game/NullPorts.h"

namespace braxo {
namespace {

using namespace std::chrono_literals;

constexpr char kPassword[] = "pass42";

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

// The game's account objects for a club at `base_url`.
struct Player {
  explicit Player(const std::string& base_url, HttpLimits limits = {}) : client(limits) {
    services.account_address = ScrambleText(base_url + "account", kAccountKey);
    services.photo_address = ScrambleText(base_url + "photos/", kAccountKey);
  }
  ClubWindowParts Parts() {
    return {world.language, account, pictures,
            [this](const Notice& notice) { notices.push_back(notice.message); }};
  }

  ClubClient client;
  ClubServiceState services;
  Settings settings;
  ClubAccess access{client, services, settings};
  // The same operations, each waited for.
  testing::WaitingClubAccess waiting{access};
  testing::NullPorts world;
  AccountWorkflow account{access, world.session, ""};
  PictureStore pictures;
  std::vector<std::string> notices;
};

class AccountWindowDistantClubTest : public ::testing::Test {
 protected:
  // Two rated members, Emil the chairman; Dora logged in behind a proxy
  // adding `round_trip`.
  void SetUpClub(std::chrono::milliseconds round_trip) {
    Player setup(club_.BaseUrl());
    for (const auto& [nick, score] : {std::pair{"Dora", 900}, std::pair{"Emil", 4000}}) {
      MemberAccount user;
      user.nick = nick;
      user.password = kPassword;
      user.scrambled_password = ScramblePassword(kPassword);
      user.city = "Oslo";
      user.country_code = "1-035";
      user.country_name = "Norway";
      user.email = std::string(nick) + "@example.org";
      user.registered_on = "01.02.2026";
      user.reserved_r01 = user.reserved_r02 = user.reserved_r03 = "xxx";
      ASSERT_EQ(setup.waiting.CreateAccount(user), 0);
      ClubSession session;
      session.current_user = setup.waiting.LoginAccount(nick, kPassword).user;
      session.current_user.password = kPassword;
      ASSERT_TRUE(setup.waiting.RegisterRatedGame(session));
      ASSERT_EQ(setup.waiting.SaveRatedResult(session, score), RatedSave::kSaved);
    }
    proxy_ = std::make_unique<testing::DelayingProxy>(static_cast<std::uint16_t>(club_.Port()),
                                                      round_trip);
    player_ = std::make_unique<Player>(proxy_->BaseUrl());
    ClubSession& session = player_->world.session;
    session.current_user = player_->waiting.LoginAccount("Dora", kPassword).user;
    session.current_user.password = kPassword;
    session.account_state = AccountState::kLoggedIn;
  }
  std::unique_ptr<AccountWindow> Open() {
    auto window = std::make_unique<AccountWindow>(
        player_->Parts(), AccountWindowPurpose::kAccountIcon, /*game_in_progress=*/false, nullptr);
    window->show();
    return window;
  }
  static bool WaitForClub(const AccountWindow& window) {
    return QTest::qWaitFor([&window] { return !window.ReadingClub(); }, 10000);
  }
  // The club's log, every line written (the server is restarted for it).
  std::string ClubLog() {
    club_.Restart();
    return ReadAll(club_.DataDir() + "/server.log");
  }

  testing::ClubServerProcess club_;
  std::unique_ptr<testing::DelayingProxy> proxy_;
  std::unique_ptr<Player> player_;
};

TEST_F(AccountWindowDistantClubTest, OpensAtOnceAndFillsAsTheRepliesCome) {
  ASSERT_NO_FATAL_FAILURE(SetUpClub(300ms));
  auto window = Open();
  // Shown before any reply: the reads are out, the pages say so, and what
  // would read or write the club again waits.
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->ReadingClub());
  EXPECT_FALSE(window->ClubData().top_ten.ok);
  EXPECT_FALSE(window->ClubData().members_count.has_value());
  EXPECT_FALSE(window->RefreshTopTenButton().isEnabled());
  EXPECT_FALSE(window->RefreshResultsButton().isEnabled());
  EXPECT_FALSE(window->LoginOrSignOutButton().isEnabled());
  EXPECT_FALSE(window->EditPersonalInfoButton().isEnabled());
  window->PageTabs().setCurrentIndex(kPageTopTen);
  const QImage loading = window->PageImage(kPageTopTen).Image().copy();

  // The top ten is drawn as soon as it comes, while the chairman it names is
  // still being read.
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->ClubData().top_ten.ok; }, 10000));
  EXPECT_TRUE(window->ReadingClub());
  EXPECT_EQ(window->ClubData().top_ten.list[0].nick, "Emil");
  EXPECT_NE(window->PageImage(kPageTopTen).Image(), loading);

  ASSERT_TRUE(WaitForClub(*window));
  EXPECT_EQ(window->ClubData().members_count, 2);
  EXPECT_TRUE(window->ClubData().own_record_read);
  EXPECT_EQ(player_->world.session.current_game.rating_place, 2);
  EXPECT_TRUE(window->RefreshTopTenButton().isEnabled());
  EXPECT_TRUE(window->LoginOrSignOutButton().isEnabled());
  EXPECT_TRUE(window->EditPersonalInfoButton().isEnabled());
  EXPECT_TRUE(player_->notices.empty());

  // The login, then eight reads, the five independent ones side by side: the
  // dependent three reuse their connections, and the next window opens on
  // them all.
  const int connections = proxy_->connection_count();
  EXPECT_LE(connections, 1 + 5);
  window.reset();
  window = Open();
  // The next window starts from what the last one showed.
  EXPECT_TRUE(window->ClubData().top_ten.ok);
  EXPECT_EQ(window->ClubData().members_count, 2);
  ASSERT_TRUE(WaitForClub(*window));
  EXPECT_EQ(proxy_->connection_count(), connections);
}

TEST_F(AccountWindowDistantClubTest, ARefreshWhileAReadRunsAsksNothingMore) {
  ASSERT_NO_FATAL_FAILURE(SetUpClub(150ms));
  const std::string before = ClubLog();
  auto window = Open();
  window->PageTabs().setCurrentIndex(kPageTopTen);
  window->RefreshTopTenButton().click();  // while the window's own reads run
  ASSERT_TRUE(WaitForClub(*window));
  window->RefreshTopTenButton().click();
  EXPECT_TRUE(window->ReadingClub());
  window->RefreshTopTenButton().click();
  window->PageTabs().setCurrentIndex(kPageResults);
  window->RefreshResultsButton().click();
  window->RefreshResultsButton().click();
  ASSERT_TRUE(WaitForClub(*window));
  EXPECT_TRUE(window->ClubData().top_ten.ok);
  EXPECT_TRUE(window->ClubData().own_record_read);
  window.reset();
  const std::string log = ClubLog().substr(before.size());
  // Once by the opening and once by one refresh.
  EXPECT_EQ(Occurrences(log, " rated-top-ten "), 2) << log;
  EXPECT_EQ(Occurrences(log, " game-read "), 2) << log;
}

TEST_F(AccountWindowDistantClubTest, AWindowClosedWhileItsReadsRunHearsNoReply) {
  ASSERT_NO_FATAL_FAILURE(SetUpClub(300ms));
  ClubSession& session = player_->world.session;
  session.current_game.rated_games = -7;
  session.photo_slots = {"kept", "kept too"};
  auto window = Open();
  ASSERT_TRUE(window->ReadingClub());
  window.reset();
  // Long enough for every reply that was asked for to have come back.
  QTest::qWait(1500);
  EXPECT_EQ(session.current_game.rated_games, -7) << "no reply reached the session";
  EXPECT_EQ(session.photo_slots[0], "kept");
  EXPECT_EQ(session.photo_slots[1], "kept too");
  EXPECT_FALSE(player_->account.LastPages().top_ten.ok);
}

// A club that takes the requests and never answers: a fault the real club
// cannot be made to show.
TEST(AccountWindowSilentClub, AReadNeverAnsweredEndsAsNoConnectionWithinTheClientsBound) {
  testing::TestHttpServer silent([](const testing::RecordedRequest&) {
    return testing::Respond(testing::CannedResponse::Mode::kSilent);
  });
  const HttpLimits limits = testing::TestLimits();
  Player player(silent.Url(""), limits);
  player.world.session.current_user.nick = "Dora";
  player.world.session.account_state = AccountState::kLoggedIn;
  AccountWindow window(player.Parts(), AccountWindowPurpose::kAccountIcon, false, nullptr);
  window.show();
  ASSERT_TRUE(window.ReadingClub());
  // The photos are read within the default bounds, the rest within the
  // client's.
  const auto bound = std::max(limits.overall_timeout, HttpLimits{}.overall_timeout);
  EXPECT_TRUE(QTest::qWaitFor([&window] { return !window.ReadingClub(); },
                              static_cast<int>(bound.count()) + 2000));
  EXPECT_FALSE(window.ClubData().top_ten.ok);
  EXPECT_FALSE(window.ClubData().members_count.has_value());
  EXPECT_FALSE(window.ClubData().own_record_read);
  EXPECT_TRUE(window.RefreshTopTenButton().isEnabled());
  EXPECT_TRUE(player.notices.empty()) << "the pages say it; no notice";
}

}  // namespace
}  // namespace braxo
