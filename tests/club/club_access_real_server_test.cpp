// The game's club code against the real braxo-club: on a free loopback port,
// with a fresh database, reached through its own configuration page as the
// game reaches it.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "ClubGameClient.h"
#include "ClubServerProcess.h"
#include "WaitingClub.h"
#include "club/AccountWorkflow.h"
#include "club/ClubAccess.h"
#include "club/UsageStatistics.h"
#include "storage/UserFile.h"

namespace braxo {
namespace {

using testing::GameClient;

// "no" inside a login record is data: a member from Genova.
MemberAccount NewMember(const std::string& nick, const std::string& password) {
  MemberAccount user = testing::TestMember(nick, password);
  user.city = "Genova";
  user.country_name = "Italy";
  user.country_code = "1-020";
  user.sex = 'M';
  user.email = "jnoble@mail.it";
  return user;
}

class ClubServerTest : public ::testing::Test {
 protected:
  ClubServerTest() { setenv("BRAXO_CONFIG_URL", (club_.BaseUrl() + "config").c_str(), 1); }
  ~ClubServerTest() override { unsetenv("BRAXO_CONFIG_URL"); }

  // A member `nick` logged in on `game` (its session cookie kept there).
  void Join(GameClient& game, const std::string& nick, const std::string& password) {
    ASSERT_EQ(game.access().CreateAccount(NewMember(nick, password)), 0);
    ASSERT_TRUE(game.access().LoginAccount(nick, password).ok);
  }

  // Ends every session in the club's database, as time would.
  void ExpireSessions() {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((club_.DataDir() + "/club.db").c_str(), &db), SQLITE_OK);
    sqlite3_busy_timeout(db, 2000);
    EXPECT_EQ(sqlite3_exec(db, "UPDATE sessions SET expires_at = 0", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
  }

  testing::ClubServerProcess club_;
};

TEST_F(ClubServerTest, AccountsLoginsAndTheStartUpLogin) {
  GameClient game;
  ASSERT_FALSE(game.services().account_address.empty());
  EXPECT_TRUE(game.services().top_ten_available);
  EXPECT_TRUE(game.services().chat_available);
  EXPECT_EQ(game.access().CreateAccount(NewMember("Ann", "secret12")), 0);
  EXPECT_EQ(game.access().CreateAccount(NewMember("Ann", "other123")), 1);
  EXPECT_EQ(game.access().CountClubMembers(), 1);

  const LoginReply login = game.access().LoginAccount("Ann", "secret12");
  ASSERT_TRUE(login.ok);
  EXPECT_EQ(login.user.city, "Genova");
  EXPECT_EQ(login.user.email, "jnoble@mail.it");
  EXPECT_EQ(login.user.country_code, "1-020");
  EXPECT_EQ(login.user.sex, 'M');
  EXPECT_EQ(login.user.kezs_balance, 0);
  EXPECT_FALSE(game.access().LoginAccount("Ann", "wrong123").ok);
  EXPECT_FALSE(game.access().LoginAccount("Nobody", "secret12").ok);

  // The next start logs in from the user file.
  QTemporaryDir dir;
  const std::string user_file = dir.path().toStdString() + "/KezUser.kez";
  ASSERT_TRUE(WriteUserFile(user_file, "Ann", ScramblePassword("secret12")));
  GameClient next_start;
  ClubSession session;
  AccountWorkflow start_up(next_start.club_access(), session, user_file);
  EXPECT_TRUE(start_up.LogInFromUserFile());
  EXPECT_EQ(session.account_state, AccountState::kLoggedIn);
  EXPECT_EQ(session.current_user.city, "Genova");
  EXPECT_EQ(session.current_user.scrambled_password, ScramblePassword("secret12"));

  ASSERT_TRUE(WriteUserFile(user_file, "Ann", ScramblePassword("stale999")));
  EXPECT_FALSE(start_up.LogInFromUserFile());
  EXPECT_EQ(session.account_state, AccountState::kNobody);
}

TEST_F(ClubServerTest, PersonalInformationNeedsTheMembersSession) {
  GameClient game;
  Join(game, "Ann", "secret12");
  PersonalInfo info;
  info.first_name = "Ann";
  info.about = "Tiles_every_day";
  info.website = "ann.example";
  info.skype = "annsk";
  EXPECT_TRUE(game.access().SavePersonalInfo("Ann", info));
  GameClient other;
  EXPECT_EQ(other.access().ReadPersonalInfo("Ann"), info);

  // Without a session, with another member's session, with a stale one.
  PersonalInfo changed = info;
  changed.first_name = "Mallory";
  EXPECT_FALSE(other.access().SavePersonalInfo("Ann", changed));
  Join(other, "Bob", "secret34");
  EXPECT_FALSE(other.access().SavePersonalInfo("Ann", changed));
  ExpireSessions();
  EXPECT_FALSE(game.access().SavePersonalInfo("Ann", changed));
  EXPECT_EQ(other.access().ReadPersonalInfo("Ann"), info);
}

// The rating rule on the club: the first rated game, started and
// ended with 4000, gives 1 rated game, rating 4001, best score 4000; a second client sees
// the new rating and its place.
TEST_F(ClubServerTest, RatedGameIsRegisteredAndItsResultSaved) {
  GameClient game;
  Join(game, "Ann", "secret12");
  ClubSession session;
  session.current_user = game.access().LoginAccount("Ann", "secret12").user;
  session.account_state = AccountState::kRated;

  ASSERT_TRUE(game.access().RegisterRatedGame(session));
  EXPECT_EQ(session.current_game.rated_games, 1);
  EXPECT_DOUBLE_EQ(session.current_game.rating, 1);
  ASSERT_EQ(game.access().SaveRatedResult(session, 4000), RatedSave::kSaved);
  EXPECT_DOUBLE_EQ(session.current_game.rating, 4001);
  EXPECT_EQ(session.current_game.best_score, 4000);
  // The result is saved once: the club has no open game for a second one.
  EXPECT_EQ(game.access().SaveRatedResult(session, 4000), RatedSave::kFailed);

  GameClient second;
  Join(second, "Bob", "secret34");
  const GameRecordReply read = second.access().ReadGameRecordFull("Ann", "secret12");
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.record.rated_games, 1);
  EXPECT_EQ(read.record.best_score, 4000);
  EXPECT_DOUBLE_EQ(read.record.rating, 4001);
  EXPECT_EQ(second.access().ReadRatingPlace(4001), 1);
  EXPECT_EQ(second.access().ReadRatingPlace(10), 2);
  const RatedTopTenReply top = second.access().ReadRatedTopTen();
  ASSERT_TRUE(top.ok);
  EXPECT_EQ(top.list[0].nick, "Ann");
  EXPECT_EQ(top.list[0].city, "Genova");
  EXPECT_EQ(top.list[0].country_code, "1-020");
  EXPECT_DOUBLE_EQ(top.list[0].rating, 4001);

  // A second rated game: 4001 with 1 rated game becomes (4000 / 2) + 2 = 2002 at
  // the start, and a score of 1000 gives 2002 + 500 = 2502 (5000 / 2 + 2).
  ASSERT_TRUE(game.access().RegisterRatedGame(session));
  EXPECT_DOUBLE_EQ(session.current_game.rating, 2002);
  ASSERT_EQ(game.access().SaveRatedResult(session, 1000), RatedSave::kSaved);
  EXPECT_DOUBLE_EQ(session.current_game.rating, 2502);
  EXPECT_EQ(session.current_game.best_score, 4000);
  EXPECT_DOUBLE_EQ(second.access().ReadGameRecord("Ann", "secret12").record.rating, 2502);

  // A wrong password reads no record, and so registers nothing.
  session.current_user.password = "wrong123";
  EXPECT_FALSE(game.access().RegisterRatedGame(session));
}

// A member's nick is that member's in the tournament: another game gets its
// entry refused with the reason, which the game can tell its player.
TEST_F(ClubServerTest, AMembersNickIsRefusedToAnotherGameWithTheReason) {
  GameClient member;
  Join(member, "Ann", "secret12");
  GameClient other;
  using Refusal = ClubAccess::EntryRefusal;
  Refusal why = Refusal::kOther;
  EXPECT_EQ(other.access().WriteTopTenEntry("ANN", "Oslo", "1-034", "W", 5400, 76, "#", "#", &why),
            std::nullopt);
  EXPECT_EQ(why, Refusal::kMemberNick);
  // A refusal of another kind is not taken for it.
  EXPECT_EQ(other.access().WriteTopTenEntry("Ann", "Oslo", "1-034", "W", -5, 76, "#", "#", &why),
            std::nullopt);
  EXPECT_EQ(why, Refusal::kOther);
  EXPECT_EQ(other.access().WriteTopTenEntry("Bob", "Oslo", "1-034", "M", 5300, 76, "#", "#", &why),
            1);
  EXPECT_EQ(member.access().WriteTopTenEntry("Ann", "Oslo", "1-034", "W", 5400, 76, "#", "#", &why),
            1);
}

TEST_F(ClubServerTest, TournamentTablesChatAndTheReward) {
  GameClient game;
  Join(game, "Ann", "secret12");
  ClubSession session;
  session.current_user = game.access().LoginAccount("Ann", "secret12").user;

  EXPECT_EQ(game.access().WriteTopTenEntry("Ann", "Oslo", "1-034", "W", 5400, 76, "#", "#"), 1);
  EXPECT_EQ(game.access().WriteTopTenEntry("Ann", "Oslo", "1-034", "W", 5100, 176, "#", "#"), 1);

  GameClient other;
  TableReply table = other.access().ReadTopTen(76);
  ASSERT_TRUE(table.ok);
  EXPECT_EQ(table.entries[0].nick, "Ann");
  EXPECT_EQ(table.entries[0].score, 5400);
  EXPECT_EQ(table.entries[0].country_code, "1-034");
  EXPECT_EQ(table.entries[0].sex, "W");
  EXPECT_EQ(table.entries[0].writer_version, "2.7");
  EXPECT_EQ(table.entries[0].place, 1);
  EXPECT_TRUE(IsEmptyEntry(table.entries[1]));
  table = other.access().ReadTopTen(176);
  ASSERT_TRUE(table.ok);
  EXPECT_EQ(table.entries[0].score, 5100);
  EXPECT_EQ(other.access().ReadGameCount(76), 1);
  table = other.access().ReadOwnResults(76, "Ann", "Oslo");
  ASSERT_TRUE(table.ok);
  EXPECT_EQ(table.entries[0].score, 5400);

  // A chat entry in table 100: the message travels in the last field.
  EXPECT_TRUE(game.access()
                  .WriteTopTenEntry("Ann", "Oslo", "1-034", "W", 0, kChatTableId,
                                    "10.12.2026_14:50", "Hello_club!")
                  .has_value());
  table = other.access().ReadTopTen(kChatTableId);
  ASSERT_TRUE(table.ok);
  EXPECT_EQ(table.entries[0].nick, "Ann");
  EXPECT_EQ(table.entries[0].message, "Hello_club!");

  // A place-1 reward, and the balance read back into the current user; the
  // session earned two (tables 76 and 176), each paid once.
  EXPECT_TRUE(game.access().CreditKezs(session, 25));
  EXPECT_TRUE(game.access().ReadKezsBalance(session));
  EXPECT_EQ(session.current_user.kezs_balance, 25);
  EXPECT_TRUE(game.access().CreditKezs(session, 25));
  EXPECT_FALSE(game.access().CreditKezs(session, 25));
  EXPECT_EQ(other.access().ReadKezsBalance("Ann"), 50);
  EXPECT_FALSE(other.access().ReadKezsBalance("Nobody").has_value());
}

TEST_F(ClubServerTest, CreditsAreRefusedWithoutTheSessionThatEarnedThem) {
  GameClient game;
  Join(game, "Ann", "secret12");
  ASSERT_EQ(game.access().WriteTopTenEntry("Ann", "Oslo", "1-034", "W", 5400, 76, "#", "#"), 1);

  // No session at all.
  GameClient stranger;
  EXPECT_FALSE(stranger.access().CreditKezs("Ann", 25));
  // A stale session.
  ExpireSessions();
  EXPECT_FALSE(game.access().CreditKezs("Ann", 25));
  EXPECT_EQ(stranger.access().ReadKezsBalance("Ann"), 0);
}

TEST_F(ClubServerTest, UsageStatisticsAndALike) {
  GameClient game;
  Settings settings = game.settings();
  settings.unique_start_counted = false;
  const auto start_of_run = [&] {
    return testing::WaitForReply<bool>([&](QObject* owner, std::function<void(bool)> done) {
      CountStartOfRun(game.client(), owner, game.services().game_id, settings, std::move(done));
    });
  };
  start_of_run();
  EXPECT_TRUE(settings.unique_start_counted);
  start_of_run();
  EXPECT_EQ(testing::WaitForReply<bool>([&](QObject* owner, std::function<void(bool)> done) {
              CountFinishedGame(game.client(), owner, settings.stat_address.plain,
                                game.services().game_id, {0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                std::move(done));
            }),
            true);
  EXPECT_TRUE(game.access().SendLike("Ann"));

  GameClient other;
  const UsageStatisticsReply stat = other.access().ReadUsageStatistics();
  ASSERT_TRUE(stat.ok);
  EXPECT_EQ(stat.stats.starts, 2);
  EXPECT_EQ(stat.stats.unique_starts, 1);
  EXPECT_EQ(stat.stats.likes, 1);
  EXPECT_EQ(stat.stats.last_like_nick, "Ann");
  EXPECT_EQ(stat.stats.finished_games_by_flag[1], 1);
  EXPECT_EQ(stat.stats.finished_games_by_flag[0], 0);
}

TEST_F(ClubServerTest, PhotosComeFromTheFolderOnTheConfigurationPage) {
  QImage picture(20, 25, QImage::Format_RGB32);
  picture.fill(Qt::darkGreen);
  ASSERT_TRUE(
      picture.save(QString::fromStdString(club_.DataDir() + "/photos/Ann?(1).jpg"), "JPEG"));
  std::ifstream in(club_.DataDir() + "/photos/Ann?(1).jpg", std::ios::binary);
  const std::string jpeg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  GameClient game;
  ASSERT_FALSE(game.services().photo_address.empty());
  ClubSession session;
  EXPECT_TRUE(game.access().LoadPhoto(session, "Ann?(1)", 2));
  EXPECT_EQ(session.photo_slots[1], jpeg);
  // No photo of that member: the slot keeps its picture.
  EXPECT_FALSE(game.access().LoadPhoto(session, "Bob", 2));
  EXPECT_EQ(session.photo_slots[1], jpeg);
}

}  // namespace
}  // namespace braxo
