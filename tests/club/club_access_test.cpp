// Every club request of the account, game-record, tournament and statistics
// services against the recording server: the exact bytes sent, the body
// style, and how each reply is read, with the reply rules' edge cases.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "TestHttpServer.h"
#include "WaitingClub.h"
#include "club/AccountWorkflow.h"
#include "club/ClubAccess.h"
#include "club/Scramble.h"
#include "storage/TextFile.h"
#include "storage/UserFile.h"

namespace braxo {
namespace {

using testing::CannedResponse;
using testing::RecordedRequest;
using testing::TestHttpServer;

// "Москва" in Windows-1251.
const std::string kMoscow1251 = "\xCC\xEE\xF1\xEA\xE2\xE0";

HttpLimits QuickLimits() {
  HttpLimits limits;
  limits.connect_timeout = std::chrono::milliseconds(500);
  limits.overall_timeout = std::chrono::milliseconds(2000);
  return limits;
}

std::string SmallJpeg() {
  QImage image(8, 6, QImage::Format_RGB32);
  image.fill(Qt::darkCyan);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPEG");
  return bytes.toStdString();
}

// A recording club: every request is answered with the next queued reply, or
// with `reply` and `status` when the queue is empty.
class ClubAccessTest : public ::testing::Test {
 protected:
  ClubAccessTest()
      : server_([this](const RecordedRequest&) {
          CannedResponse response;
          if (!queue_.empty()) {
            response.body = queue_.front();
            queue_.pop_front();
          } else {
            response.body = reply_;
            response.status = status_;
          }
          return response;
        }),
        client_(QuickLimits()),
        club_access_(client_, services_, settings_) {
    services_.account_address = ScrambleText(server_.Url("account"), kAccountKey);
    settings_.top_ten_address.plain = server_.Url("topten");
    settings_.stat_address.plain = server_.Url("stat");
  }

  std::vector<RecordedRequest> Requests() const { return server_.Requests(); }
  RecordedRequest Last() const {
    const auto requests = server_.Requests();
    return requests.empty() ? RecordedRequest{} : requests.back();
  }

  std::string reply_;
  int status_ = 200;
  std::deque<std::string> queue_;
  TestHttpServer server_;
  ClubClient client_;
  ClubServiceState services_;
  Settings settings_;
  ClubAccess club_access_;
  testing::WaitingClubAccess access_{club_access_};
};

TEST_F(ClubAccessTest, EveryRequestSendsItsFieldsInItsStyle) {
  MemberAccount user;
  user.nick = "Ann";
  user.password = "p w&1";
  user.city = "Москва";
  user.country_name = "Russia";
  user.country_code = "1-001";
  user.sex = 'W';
  user.email = "ann@x.ru";
  user.registered_on = "21.06.2020";
  user.reserved_r01 = user.reserved_r02 = user.reserved_r03 = "xxx";
  PersonalInfo info{"Ann", "Lee", "likes tiles", "555", "a@b.c", "sk", "https://a.b",
                    "ok1", "vk1", "tg",          "fb",  "tw",    "ig", "yt"};
  GameRecord record;
  record.rated_games = 4;
  record.best_score = 4000;
  record.rating = 1504.25;
  record.reserved_r1 = 7;
  record.reserved_r2 = "#";

  struct Case {
    const char* name;
    std::function<void()> call;
    const char* path;
    std::string body;
  };
  const std::vector<Case> cases = {
      {"CreateAccount", [&] { access_.CreateAccount(user); }, "/account",
       "nick=Ann&pw=p w%261&city=" + kMoscow1251 +
           "&country1=Russia&country2=1-001&sex=W&email=ann@x.ru&dater=21.06.2020&R01=xxx"
           "&R02=xxx&R03=xxx&R04=0&R05=0&R06=0"},
      {"LoginAccount", [&] { access_.LoginAccount("Ann Lee", "p&w=1"); }, "/account",
       "nick=Ann+Lee&pw=p%26w%3D1&label0=0"},
      {"ReadPersonalInfo", [&] { access_.ReadPersonalInfo("Анна"); }, "/account",
       "nick=%D0%90%D0%BD%D0%BD%D0%B0&labelinforead=0"},
      {"SavePersonalInfo", [&] { access_.SavePersonalInfo("Ann", info); }, "/account",
       "nick=Ann&labelinfosave=0&namei=Ann&name2=Lee&about=likes tiles&telephone=555"
       "&emailo=a@b.c&website=https://a.b&skype=sk&ok=ok1&vk=vk1&telegram=tg&facebook=fb"
       "&twitter=tw&instagramm=ig&youtube=yt"},
      {"CountClubMembers", [&] { access_.CountClubMembers(); }, "/account", "label1=0"},
      {"ReadRatingPlace", [&] { access_.ReadRatingPlace(2504); }, "/account", "xxxbrrating=2504"},
      {"ReadRatingPlace tiny", [&] { access_.ReadRatingPlace(0.000001); }, "/account",
       "xxxbrrating=0"},
      {"ReadRatedTopTen", [&] { access_.ReadRatedTopTen(); }, "/account", "xxxbrkon=0"},
      {"CreditKezs", [&] { access_.CreditKezs("Ann", 25); }, "/account",
       "nick=Ann&labelkezsave=0&R04=25"},
      {"ReadKezsBalance", [&] { access_.ReadKezsBalance("Ann"); }, "/account",
       "nick=Ann&labelkezread=0"},
      {"ReadGameRecord", [&] { access_.ReadGameRecord("Ann", "p w"); }, "/account",
       "nick=Ann&pw=p+w&xxxbrbest=0"},
      {"ReadGameRecordFull", [&] { access_.ReadGameRecordFull("Ann", "pw"); }, "/account",
       "nick=Ann&pw=pw&xxxbrbest=0"},
      {"SaveGameRecord", [&] { access_.SaveGameRecord("Ann", "pw", record); }, "/account",
       "nick=Ann&pw=pw&xxxbrkon=4&xxxbrbest=4000&xxxbrrating=1504.25&xxxbrR1=7&xxxbrR2=#"},
      {"ReadTopTen", [&] { access_.ReadTopTen(76); }, "/topten", "gid=76"},
      {"ReadOwnResults 76", [&] { access_.ReadOwnResults(76, "Ann", "Oslo"); }, "/topten",
       "gid=76&nick=Ann&city=Oslo"},
      {"ReadOwnResults 176", [&] { access_.ReadOwnResults(176, "Ann", "Oslo"); }, "/topten",
       "gid=176&nick=Ann&city=Moscow"},
      {"ReadGameCount", [&] { access_.ReadGameCount(176); }, "/topten", "rgid=176"},
      {"WriteTopTenEntry",
       [&] { access_.WriteTopTenEntry("Ann", "Oslo", "1-034", "W", 4321, 76, "#", "#"); },
       "/topten", "gid=76&nick=Ann&city=Oslo&country=1-034&score=4321&R7=W&R8=2.7&R9=#&R10=#*"},
      {"WriteTopTenEntry chat",
       [&] { access_.WriteTopTenEntry("Ann", "Oslo", "1-034", "hi there", 0, 100, "a", "b+c"); },
       "/topten",
       "gid=100&nick=Ann&city=Oslo&country=1-034&score=0&R7=hi there&R8=2.7&R9=a&R10=b%2Bc*"},
      {"ReadUsageStatistics", [&] { access_.ReadUsageStatistics(); }, "/stat", "gid=76"},
      {"SendLike", [&] { access_.SendLike("Ann"); }, "/stat", "gid=76&stat3=1&stat4=Ann"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t before = Requests().size();
    c.call();
    const auto requests = Requests();
    ASSERT_EQ(requests.size(), before + 1);
    const RecordedRequest& r = requests.back();
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.target, c.path);
    EXPECT_EQ(r.body, c.body);
    EXPECT_EQ(r.Header("user-agent"), "PlavoKeyStamp");
    EXPECT_EQ(r.Header("content-type"), "application/x-www-form-urlencoded");
  }
}

TEST_F(ClubAccessTest, WithoutAnAccountAddressNoAccountRequestIsSent) {
  services_.account_address.clear();
  reply_ = "$Oslo Norway 1-034 W a@b.c 21.06.2020 x x x 0 0 0$";
  EXPECT_FALSE(access_.LoginAccount("Ann", "pw").ok);
  EXPECT_EQ(access_.CreateAccount(MemberAccount{}), 2);
  EXPECT_FALSE(access_.ReadGameRecord("Ann", "pw").ok);
  EXPECT_TRUE(Requests().empty());
}

TEST_F(ClubAccessTest, CreateAccountReplies) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"$ok", 0}, {"nick is taken", 1}, {"ok is", 1}, {"", 2}, {"no", 2}, {"OK", 2}};
  for (const auto& [reply, result] : cases) {
    reply_ = reply;
    EXPECT_EQ(access_.CreateAccount(MemberAccount{}), result) << reply;
  }
  reply_ = "ok";
  status_ = 500;
  EXPECT_EQ(access_.CreateAccount(MemberAccount{}), 2);
  // A busy club is told apart: the player may simply try again.
  reply_ = "no";
  status_ = 503;
  EXPECT_EQ(access_.CreateAccount(MemberAccount{}), kClubBusyCreation);
}

TEST_F(ClubAccessTest, LoginReplies) {
  struct Case {
    const char* name;
    std::string reply;
    int status;
    bool ok;
    std::string city;
    char sex;
    std::string email;
    std::string date;
    int balance;
    bool busy = false;
  };
  const std::vector<Case> cases = {
      {"record", "$Oslo Norway 1-034 W ann@x.no 21.06.2020 xxx xxx xxx 15 0 0$", 200, true, "Oslo",
       'W', "ann@x.no", "21.06.2020", 15},
      {"no inside the city and the e-mail",
       "$Genova Italy 1-020 M jnoble@mail.it 01.01.2021 a b c 3 0 0", 200, true, "Genova", 'M',
       "jnoble@mail.it", "01.01.2021", 3},
      {"Windows-1251 city", "$" + kMoscow1251 + " Russia 1-001 M m@m.ru 01.02.2003 a b c 0 0 0$",
       200, true, "Москва", 'M', "m@m.ru", "01.02.2003", 0},
      {"further fields ignored", "$Oslo Norway 1-034 W e d a b c 1 2 3 extra more$", 200, true,
       "Oslo", 'W', "e", "d", 1},
      {"refused", "no", 200, false, "#", '#', "#", "00.00.0000", 0},
      {"empty reply", "", 200, false, "#", '#', "#", "00.00.0000", 0},
      {"error page from a proxy", "<html><body>Bad gateway</body></html>", 200, false, "#", '#',
       "#", "00.00.0000", 0},
      {"empty sex field", "$Oslo Norway 1-034  e d a b c 1 2 3$", 200, false, "Oslo", '#', "#",
       "00.00.0000", 0},
      {"balance not an integer", "$Oslo Norway 1-034 W e d a b c 1x 2 3$", 200, false, "Oslo", 'W',
       "e", "d", 0},
      {"field 12 missing", "$Oslo Norway 1-034 W e d a b c 1 2$", 200, false, "Oslo", 'W', "e", "d",
       1},
      {"busy club", "no", 503, false, "#", '#', "#", "00.00.0000", 0, true},
      {"busy club with a record", "$Oslo Norway 1-034 W e d a b c 1 2 3$", 503, false, "#", '#',
       "#", "00.00.0000", 0, true},
      {"HTTP error", "$Oslo Norway 1-034 W e d a b c 1 2 3$", 500, false, "#", '#', "#",
       "00.00.0000", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reply_ = c.reply;
    status_ = c.status;
    const LoginReply login = access_.LoginAccount("Ann", "pw");
    EXPECT_EQ(login.ok, c.ok);
    EXPECT_EQ(login.club_busy, c.busy);
    EXPECT_EQ(login.user.nick, "Ann");
    EXPECT_EQ(login.user.password, "pw");
    EXPECT_EQ(login.user.city, c.city);
    EXPECT_EQ(login.user.sex, c.sex);
    EXPECT_EQ(login.user.email, c.email);
    EXPECT_EQ(login.user.registered_on, c.date);
    EXPECT_EQ(login.user.kezs_balance, c.balance);
    EXPECT_TRUE(login.user.scrambled_password.empty());
  }
}

TEST_F(ClubAccessTest, PersonalInfoReplies) {
  reply_ = "$Ann~Lee~about me~555~pub@x.io~https://ann.io~annsk~ok~vk~tg~fb~tw~ig~yt$";
  const PersonalInfo info = access_.ReadPersonalInfo("Ann");
  EXPECT_EQ(info, (PersonalInfo{"Ann", "Lee", "about me", "555", "pub@x.io", "annsk",
                                "https://ann.io", "ok", "vk", "tg", "fb", "tw", "ig", "yt"}));

  reply_ = "$Anno~Nowak";  // "no" inside a record is data
  PersonalInfo names;
  names.first_name = "Anno";
  names.last_name = "Nowak";
  EXPECT_EQ(access_.ReadPersonalInfo("Ann"), names);
  reply_ = "$A~B~x~y~z~~";  // fewer fields: the rest stay empty
  PersonalInfo five;
  five.first_name = "A";
  five.last_name = "B";
  five.about = "x";
  five.telephone = "y";
  five.public_email = "z";
  EXPECT_EQ(access_.ReadPersonalInfo("Ann"), five);
  for (const std::string reply : {"no", "", "<html>proxy</html>"}) {
    reply_ = reply;
    EXPECT_EQ(access_.ReadPersonalInfo("Ann"), PersonalInfo{}) << reply;
  }
  reply_ = "$Ann~Lee$";
  status_ = 404;
  EXPECT_EQ(access_.ReadPersonalInfo("Ann"), PersonalInfo{});

  status_ = 200;
  for (const auto& [reply, ok] :
       std::vector<std::pair<std::string, bool>>{{"$ok$", true}, {"no", false}, {"", false}}) {
    reply_ = reply;
    EXPECT_EQ(access_.SavePersonalInfo("Ann", PersonalInfo{}), ok) << reply;
  }
}

TEST_F(ClubAccessTest, NumberReplies) {
  const std::vector<std::pair<std::string, std::optional<std::int32_t>>> cases = {
      {"members$4711", 4711}, {"$12$7x", 7}, {"$x", std::nullopt}, {"", std::nullopt}};
  for (const auto& [reply, number] : cases) {
    SCOPED_TRACE(reply);
    reply_ = reply;
    EXPECT_EQ(access_.CountClubMembers(), number);
    EXPECT_EQ(access_.ReadRatingPlace(100), number);
    EXPECT_EQ(access_.ReadGameCount(76), number);
    EXPECT_EQ(access_.WriteTopTenEntry("Ann", "Oslo", "1-034", "W", 1, 76, "#", "#"), number);
  }
}

TEST_F(ClubAccessTest, RatedTopTenReplies) {
  reply_ =
      "$1 Ann Oslo Norway 1-034 W 2504.5*$2 Bob Rome Italy 1-020  1504,25*$3 Cy Kyiv x 1-050 M 7*";
  RatedTopTenReply top = access_.ReadRatedTopTen();
  EXPECT_TRUE(top.ok);
  EXPECT_EQ(top.list[0], (RatedPlayer{"Ann", "Oslo", "1-034", 'W', 2504.5, ""}));
  EXPECT_EQ(top.list[1], (RatedPlayer{"Bob", "Rome", "1-020", 'M', 1504.25, ""}));
  EXPECT_EQ(top.list[2], (RatedPlayer{"Cy", "Kyiv", "1-050", 'M', 7, ""}));
  for (size_t i = 3; i < 10; ++i) EXPECT_EQ(top.list[i], RatedPlayer{});

  reply_.clear();
  for (int i = 1; i <= 12; ++i)
    reply_ += "$" + std::to_string(i) + " P" + std::to_string(i) + " C x 1-001 M " +
              std::to_string(100 - i) + "*";
  top = access_.ReadRatedTopTen();
  EXPECT_TRUE(top.ok);
  EXPECT_EQ(top.list[9].nick, "P10");

  reply_ = "$1 Ann Oslo Norway 1-034 W 12*$2 Bob Rome Italy 1-020 M high*";
  top = access_.ReadRatedTopTen();
  EXPECT_FALSE(top.ok);
  EXPECT_EQ(top.list[0].nick, "Ann");  // lines read before the bad one stay
  status_ = 500;
  EXPECT_FALSE(access_.ReadRatedTopTen().ok);
}

TEST_F(ClubAccessTest, KezsBalanceReplies) {
  const std::vector<std::pair<std::string, std::optional<std::int32_t>>> cases = {
      {"$125$", 125}, {"Genova$40", 40},  // a "no" outside the number is no refusal
      {"$-5", -5},    {"no", std::nullopt}, {"$12 Kezs", std::nullopt}, {"", std::nullopt},
  };
  for (const auto& [reply, balance] : cases) {
    reply_ = reply;
    EXPECT_EQ(access_.ReadKezsBalance("Ann"), balance) << reply;
  }
  for (const auto& [reply, ok] :
       std::vector<std::pair<std::string, bool>>{{"ok", true}, {"no", false}, {"", false}}) {
    reply_ = reply;
    EXPECT_EQ(access_.CreditKezs("Ann", 10), ok) << reply;
  }
}

TEST_F(ClubAccessTest, GameRecordReplies) {
  struct Case {
    const char* name;
    std::string reply;
    bool ok;
    int rated_games;
    int best_score;
    double rating;
    int r1;
    std::string r2;
  };
  const std::vector<Case> cases = {
      {"five fields", "$3 4000 2003 5 tag$", true, 3, 4000, 2003, 5, "tag"},
      {"decimal comma", "$3 4000 2003,5$", true, 3, 4000, 2003.5, 0, "#"},
      {"empty rating", "$3 4000 $", true, 3, 4000, 0, 0, "#"},
      {"no record", "no", false, 0, 0, 0, 0, "#"},
      {"error page", "<html>502</html>", false, 0, 0, 0, 0, "#"},
      {"empty", "", false, 0, 0, 0, 0, "#"},
      {"best not a number", "$3 x 2003$", false, 3, 0, 0, 0, "#"},
      {"rating not a number", "$3 4000 high$", false, 3, 4000, 0, 0, "#"},
      {"R1 not a number", "$3 4000 2003 r$", false, 3, 4000, 2003, 0, "#"},
      {"only two fields", "$3 4000$", false, 0, 0, 0, 0, "#"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reply_ = c.reply;
    const GameRecordReply read = access_.ReadGameRecord("Ann", "pw");
    EXPECT_EQ(read.ok, c.ok);
    EXPECT_EQ(read.record.rated_games, c.rated_games);
    EXPECT_EQ(read.record.best_score, c.best_score);
    EXPECT_DOUBLE_EQ(read.record.rating, c.rating);
    EXPECT_EQ(read.record.reserved_r1, c.r1);
    EXPECT_EQ(read.record.reserved_r2, c.r2);
    EXPECT_EQ(read.record.playing_now, 'N');
  }
  reply_ = "$3 4000 2003.5 9 2 7000 11 r2$";
  const GameRecordReply full = access_.ReadGameRecordFull("Ann", "pw");
  EXPECT_TRUE(full.ok);
  EXPECT_EQ(full.record.rated_games, 3);
  EXPECT_EQ(full.record.best_score, 4000);
  EXPECT_DOUBLE_EQ(full.record.rating, 2003.5);
  EXPECT_EQ(full.record.sessions, 9);
  EXPECT_EQ(full.record.long_form_games, 2);
  EXPECT_EQ(full.record.score, 7000);
  EXPECT_EQ(full.record.reserved_r1, 11);
  EXPECT_EQ(full.record.reserved_r2, "r2");
  reply_ = "<html>proxy</html>";
  EXPECT_FALSE(access_.ReadGameRecordFull("Ann", "pw").ok);
  for (const auto& [reply, ok] :
       std::vector<std::pair<std::string, bool>>{{"$ok", true}, {"no", false}}) {
    reply_ = reply;
    EXPECT_EQ(access_.SaveGameRecord("Ann", "pw", GameRecord{}), ok);
  }
}

// The figures of a rated game: three games scoring 1000, 2000 and 3000 give
// 3 rated games and rating 2003; a fourth game's start makes it 1504, its score of
// 4000 then 2504 (10000 / 4 + 4).
TEST_F(ClubAccessTest, RatedGameFigures) {
  ClubSession session;
  session.current_user.nick = "Ann";
  session.current_user.password = "pw";
  queue_ = {"$3 3000 2003 0 #$", "$ok"};
  EXPECT_TRUE(access_.RegisterRatedGame(session));
  EXPECT_EQ(Last().body,
            "nick=Ann&pw=pw&xxxbrkon=4&xxxbrbest=3000&xxxbrrating=1504&xxxbrR1=0&xxxbrR2=#");
  EXPECT_EQ(session.current_game.rated_games, 4);
  EXPECT_DOUBLE_EQ(session.current_game.rating, 1504);

  queue_ = {"$4 3000 1504 0 #$", "$ok"};
  EXPECT_EQ(access_.SaveRatedResult(session, 4000), RatedSave::kSaved);
  EXPECT_EQ(Last().body,
            "nick=Ann&pw=pw&xxxbrkon=4&xxxbrbest=4000&xxxbrrating=2504&xxxbrR1=0&xxxbrR2=#");
  EXPECT_EQ(session.current_game.best_score, 4000);

  // A lower score keeps Best and still moves the rating.
  queue_ = {"$4 4000 2504 0 #$", "$ok"};
  EXPECT_EQ(access_.SaveRatedResult(session, 1000), RatedSave::kSaved);
  EXPECT_EQ(Last().body,
            "nick=Ann&pw=pw&xxxbrkon=4&xxxbrbest=4000&xxxbrrating=2754&xxxbrR1=0&xxxbrR2=#");

  // The very first rated game.
  queue_ = {"$0 0 0$", "$ok", "$1 0 1$", "$ok"};
  EXPECT_TRUE(access_.RegisterRatedGame(session));
  EXPECT_EQ(Last().body, "nick=Ann&pw=pw&xxxbrkon=1&xxxbrbest=0&xxxbrrating=1&xxxbrR1=0&xxxbrR2=#");
  EXPECT_EQ(access_.SaveRatedResult(session, 4000), RatedSave::kSaved);
  EXPECT_EQ(Last().body,
            "nick=Ann&pw=pw&xxxbrkon=1&xxxbrbest=4000&xxxbrrating=4001&xxxbrR1=0&xxxbrR2=#");
}

TEST_F(ClubAccessTest, RatedGameFailuresLeaveNoHalfChangedRecord) {
  ClubSession session;
  session.current_user.nick = "Ann";
  session.current_user.password = "pw";

  // A failed write puts back the remembered values.
  queue_ = {"$3 3000 2003 0 #$", "no"};
  EXPECT_FALSE(access_.RegisterRatedGame(session));
  EXPECT_EQ(session.current_game.rated_games, 3);
  EXPECT_DOUBLE_EQ(session.current_game.rating, 2003);
  queue_ = {"$4 3000 1504 0 #$", "no"};
  EXPECT_EQ(access_.SaveRatedResult(session, 9000), RatedSave::kFailed);
  EXPECT_EQ(session.current_game.best_score, 3000);
  EXPECT_DOUBLE_EQ(session.current_game.rating, 1504);

  // A page without the record (a proxy's error page) is no record of zeros:
  // nothing is written back.
  for (const std::string page : {"<html>Service unavailable</html>", ""}) {
    const size_t before = Requests().size();
    queue_ = {page};
    EXPECT_FALSE(access_.RegisterRatedGame(session));
    queue_ = {page};
    EXPECT_EQ(access_.SaveRatedResult(session, 4000), RatedSave::kFailed);
    EXPECT_EQ(Requests().size(), before + 2);  // the two reads, no write
  }

  // The club lost the started game: the score cannot be put on 0 rated games.
  const size_t before = Requests().size();
  queue_ = {"$0 0 0 0 #$"};
  EXPECT_EQ(access_.SaveRatedResult(session, 4000), RatedSave::kNotRecordable);
  EXPECT_EQ(Requests().size(), before + 1);
  EXPECT_EQ(session.current_game.rated_games, 0);
}

TEST_F(ClubAccessTest, TableReplies) {
  reply_ = "$1 9 5200 Ann 1-034 Oslo W 2.7 # #*$2 9 5100 Bob 1-020 Rome M 2.7 # #*$3 9 4000 " +
           kMoscow1251 + " 1-001 Omsk M 2.6 # #*";
  TableReply table = access_.ReadTopTen(76);
  EXPECT_TRUE(table.ok);
  EXPECT_EQ(client_.limits().read_timeout, kClubReadTimeout);
  EXPECT_EQ(table.entries[0],
            (TableEntry{0, 76, 5200, "Ann", "1-034", "Oslo", "W", "2.7", "#", "#", 1}));
  EXPECT_EQ(table.entries[2].nick, "Москва");
  EXPECT_EQ(table.entries[2].writer_version, "2.6");
  for (size_t i = 3; i < 10; ++i) {
    EXPECT_TRUE(IsEmptyEntry(table.entries[i]));
    EXPECT_EQ(table.entries[i].message, "#*");
    EXPECT_EQ(table.entries[i].table_id, 76);
  }

  reply_ = "$1 9 5200 Ann 1-034 Oslo W 2.7 # #*$x 9 5100 Bob 1-020 Rome M 2.7 # #*";
  table = access_.ReadOwnResults(176, "Ann", "Oslo");
  EXPECT_FALSE(table.ok);
  EXPECT_EQ(table.entries[0].nick, "Ann");
  EXPECT_TRUE(IsEmptyEntry(table.entries[1]));

  reply_ = "";  // an empty table
  table = access_.ReadTopTen(176);
  EXPECT_TRUE(table.ok);
  EXPECT_TRUE(IsEmptyEntry(table.entries[0]));
  status_ = 500;
  EXPECT_FALSE(access_.ReadTopTen(76).ok);
}

TEST_F(ClubAccessTest, UsageStatisticsReplies) {
  reply_ = "$120 40 7 Ann 30 12 5 0 0 0 0 0 0 0 0 0 9 z*";
  UsageStatisticsReply stat = access_.ReadUsageStatistics();
  EXPECT_TRUE(stat.ok);
  EXPECT_EQ(client_.limits().read_timeout, kClubReadTimeout);
  EXPECT_EQ(stat.stats.game_id, 76);
  EXPECT_EQ(stat.stats.starts, 120);
  EXPECT_EQ(stat.stats.unique_starts, 40);
  EXPECT_EQ(stat.stats.likes, 7);
  EXPECT_EQ(stat.stats.last_like_nick, "Ann");
  EXPECT_EQ(stat.stats.finished_games_by_flag, (std::array<std::int64_t, 12>{30, 12, 5}));
  EXPECT_EQ(stat.stats.reserved_y, 9);
  EXPECT_EQ(stat.stats.reserved_z, "z");

  reply_ = "$120 40 x Ann*";
  stat = access_.ReadUsageStatistics();
  EXPECT_FALSE(stat.ok);
  EXPECT_EQ(stat.stats.unique_starts, 40);  // what was read stays
  reply_ = "<html>proxy</html>";
  EXPECT_FALSE(access_.ReadUsageStatistics().ok);

  for (const auto& [reply, ok] :
       std::vector<std::pair<std::string, bool>>{{"$ ok#", true}, {"$ok#", false}, {"", false}}) {
    reply_ = reply;
    EXPECT_EQ(access_.SendLike("Ann"), ok) << reply;
  }
}

TEST_F(ClubAccessTest, PhotosComeFromTheConfiguredFolderWithTheNickEncoded) {
  const std::string jpeg = SmallJpeg();
  services_.photo_address = ScrambleText(server_.Url("photos/"), kAccountKey);
  ClubSession session;
  reply_ = jpeg;
  EXPECT_TRUE(access_.LoadPhoto(session, "a?b@(c) d", 1));
  EXPECT_EQ(Last().method, "GET");
  EXPECT_EQ(Last().target, "/photos/a%3Fb%40%28c%29%20d.jpg");
  EXPECT_NE(Last().Header("user-agent"), "PlavoKeyStamp");
  EXPECT_EQ(session.photo_slots[0], jpeg);

  reply_ = "<html>not a picture</html>";
  EXPECT_FALSE(access_.LoadPhoto(session, "Ann", 1));
  EXPECT_EQ(session.photo_slots[0], jpeg);  // the slot keeps its picture
  reply_ = jpeg;
  status_ = 404;
  EXPECT_FALSE(access_.LoadPhoto(session, "Ann", 2));
  EXPECT_TRUE(session.photo_slots[1].empty());
  status_ = 200;
  EXPECT_TRUE(access_.LoadPhoto(session, "Анна", 2));
  EXPECT_EQ(Last().target, "/photos/%D0%90%D0%BD%D0%BD%D0%B0.jpg");
  EXPECT_EQ(session.photo_slots[1], jpeg);
}

// The start-up login of the account workflow, against replies a real club
// does not give.
class StartUpLoginTest : public ClubAccessTest {
 protected:
  std::string UserFile() const { return dir_.path().toStdString() + "/KezUser.kez"; }
  QTemporaryDir dir_;
  ClubSession session_;
  AccountWorkflow account_{club_access_, session_, UserFile()};
};

// The stored password holds a space, "#" and "$": each is sent as "-", and
// the password sent is what the scrambled password holds afterwards.
TEST_F(StartUpLoginTest, StoredPasswordIsSentWithItsSeparatorsReplaced) {
  ASSERT_TRUE(WriteUserFile(UserFile(), "Анна", ScramblePassword("my pw#1$x")));
  reply_ = "$Genova Italy 1-020 W jnoble@mail.it 21.06.2020 xxx xxx xxx 35 0 0$";
  EXPECT_TRUE(account_.LogInFromUserFile());
  ASSERT_EQ(Requests().size(), 1u);
  EXPECT_EQ(Requests()[0].body, "nick=%D0%90%D0%BD%D0%BD%D0%B0&pw=my-pw-1-x&label0=0");
  EXPECT_EQ(session_.account_state, AccountState::kLoggedIn);
  EXPECT_TRUE(session_.user_file_saved);
  EXPECT_EQ(session_.current_user.nick, "Анна");
  EXPECT_EQ(session_.current_user.password, "my-pw-1-x");
  EXPECT_EQ(session_.current_user.scrambled_password, ScramblePassword("my-pw-1-x"));
  EXPECT_EQ(session_.current_user.city, "Genova");
  EXPECT_EQ(session_.current_user.kezs_balance, 35);
}

TEST_F(StartUpLoginTest, RefusedLoginKeepsTheFileAndLeavesNobodyLoggedIn) {
  const std::string pwc = ScramblePassword("secret");
  ASSERT_TRUE(WriteUserFile(UserFile(), "Ann", pwc));
  const auto file_before = ReadLines(UserFile());
  session_.current_user.personal_info.first_name = "old";
  for (const std::string reply : {"no", "<html>Bad gateway</html>"}) {
    reply_ = reply;
    EXPECT_FALSE(account_.LogInFromUserFile());
    EXPECT_EQ(session_.account_state, AccountState::kNobody);
    EXPECT_TRUE(session_.user_file_saved);
    EXPECT_EQ(session_.current_user.nick, "Ann");
    EXPECT_EQ(session_.current_user.city, "#");
    EXPECT_EQ(session_.current_user.registered_on, "00.00.0000");
    EXPECT_EQ(session_.current_user.personal_info, PersonalInfo{});
    EXPECT_EQ(session_.current_user.scrambled_password, pwc);
  }
  EXPECT_EQ(ReadLines(UserFile()), file_before);
}

TEST_F(StartUpLoginTest, NoRequestWithoutAUsableUserFile) {
  // Missing, then foreign.
  EXPECT_FALSE(account_.LogInFromUserFile());
  ASSERT_TRUE(WriteLinesAtomic(UserFile(), {"Other File", "Ann", ScramblePassword("pw")}));
  session_.account_state = AccountState::kLoggedIn;
  EXPECT_FALSE(account_.LogInFromUserFile());
  EXPECT_EQ(session_.account_state, AccountState::kNobody);
  EXPECT_FALSE(session_.user_file_saved);
  EXPECT_TRUE(Requests().empty());

  // The header and the nick only: an empty password is sent.
  ASSERT_TRUE(WriteLinesAtomic(UserFile(), {"Kez User File", "Ann"}));
  reply_ = "no";
  EXPECT_FALSE(account_.LogInFromUserFile());
  ASSERT_EQ(Requests().size(), 1u);
  EXPECT_EQ(Requests()[0].body, "nick=Ann&pw=&label0=0");
}

}  // namespace
}  // namespace braxo
