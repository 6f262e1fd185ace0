// The wire side: bodies as the game builds them go in, replies come out in
// the exact text the game's reply rules read.
#include <gtest/gtest.h>

#include "ServerTestKit.h"
#include "club/ConfigPage.h"
#include "club/FormBody.h"
#include "club/ReplyRules.h"
#include "club/Scramble.h"
#include "protocol/ClubProtocol.h"
#include "protocol/ConfigPageWriter.h"

namespace braxo::club {
namespace {

TEST(ParseForm, SplitsDecodesAndRefusesAmbiguousBodies) {
  const auto fields = ParseForm("nick=A%26B&city=New+York&empty=");
  ASSERT_TRUE(fields);
  ASSERT_EQ(fields->size(), 3u);
  EXPECT_EQ((*fields)[0].second, "A&B");
  EXPECT_EQ((*fields)[1].second, "New York");
  EXPECT_EQ((*fields)[2].second, "");
  for (const char* bad : {"nick", "nick=a&nick=b", "=x", "a=%4", "a=%zz", "a=1&&b=2", ""})
    EXPECT_FALSE(ParseForm(bad)) << bad;
}

class ProtocolTest : public ::testing::TestWithParam<test::Backend> {
 protected:
  ProtocolTest() : service_(*db_.repository, ServiceLimits{}) {}

  ProtocolReply Account(const std::string& body) { return Call(Service::kAccount, body); }
  ProtocolReply TopTen(const std::string& body) { return Call(Service::kTopTen, body); }
  ProtocolReply Stat(const std::string& body) { return Call(Service::kStat, body); }

  ProtocolReply Call(Service which, const std::string& body) {
    ProtocolReply r = HandleClubRequest(service_, which, {"127.0.0.1", session_, now_}, body);
    if (!r.session_token.empty()) session_ = r.session_token;
    return r;
  }

  std::string CreateBody(const std::string& nick, const std::string& city_utf8) {
    return PlainFormBody({{"nick", nick},
                          {"pw", "secret1"},
                          {"city", city_utf8},
                          {"country1", "Russia"},
                          {"country2", "1-001"},
                          {"sex", "M"},
                          {"email", "p@mail.ru"},
                          {"dater", "21.06.2020"},
                          {"R01", "xxx"},
                          {"R02", "xxx"},
                          {"R03", "xxx"},
                          {"R04", "0"},
                          {"R05", "0"},
                          {"R06", "0"}});
  }

  test::FreshDatabase db_{GetParam()};
  ClubService service_;
  std::string session_;
  double now_ = 1'800'000'000;
};

const std::string kMoscowUtf8 = "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0";
const std::string kMoscowCp1251 = "\xCC\xEE\xF1\xEA\xE2\xE0";

TEST_P(ProtocolTest, AccountCreationAndLoginInBothCharacterSets) {
  const ProtocolReply created = Account(CreateBody("Player", kMoscowUtf8));
  EXPECT_EQ(created.body, "ok");
  EXPECT_FALSE(created.session_token.empty());
  EXPECT_EQ(Account(CreateBody("player", "Paris")).body, "is");
  EXPECT_EQ(Account(CreateBody("P", "Paris")).body, "no");

  session_.clear();
  const ProtocolReply login = Account(ListFormBody({"nick=Player", "pw=secret1", "label0=0"}));
  EXPECT_EQ(login.body,
            "$" + kMoscowCp1251 + " Russia 1-001 M p@mail.ru 21.06.2020 xxx xxx xxx 0 0 0$");
  EXPECT_FALSE(login.session_token.empty());
  EXPECT_EQ(Account(ListFormBody({"nick=Player", "pw=wrong1", "label0=0"})).body, "no");
  EXPECT_TRUE(MarkerReply(Account(ListFormBody({"nick=Nobody", "pw=x", "label0=0"})).body, "no"));
}

TEST_P(ProtocolTest, PersonalInformationTravelsWithWebSiteBeforeSkype) {
  Account(CreateBody("Player", "Paris"));
  const std::string save = PlainFormBody({{"nick", "Player"},
                                          {"labelinfosave", "0"},
                                          {"namei", "Ivan"},
                                          {"name2", "Petrov"},
                                          {"about", "Plays at night"},
                                          {"telephone", "123"},
                                          {"emailo", "i@p.ru"},
                                          {"website", "site.ru"},
                                          {"skype", "ivan.sk"},
                                          {"ok", "o"},
                                          {"vk", "v"},
                                          {"telegram", "t"},
                                          {"facebook", "f"},
                                          {"twitter", "tw"},
                                          {"instagramm", "in"},
                                          {"youtube", "yt"}});
  EXPECT_EQ(Account(save).body, "ok");
  const ProtocolReply read = Account(ListFormBody({"nick=Player", "labelinforead=0"}));
  EXPECT_EQ(read.body, "$Ivan~Petrov~Plays at night~123~i@p.ru~site.ru~ivan.sk~o~v~t~f~tw~in~yt$");
  const auto record = RecordReply(read.body, '$', '~');
  ASSERT_TRUE(record);
  EXPECT_EQ(RecordField(*record, 6), "site.ru");
  EXPECT_EQ(RecordField(*record, 7), "ivan.sk");

  session_.clear();  // without the session the save is refused and nothing changes
  std::string changed = save;
  changed.replace(changed.find("Ivan"), 4, "Oleg");
  EXPECT_EQ(Account(changed).body, "no");
  EXPECT_EQ(Account(ListFormBody({"nick=Player", "labelinforead=0"})).body, read.body);
  EXPECT_EQ(Account(ListFormBody({"nick=Nobody", "labelinforead=0"})).body, "no");
}

TEST_P(ProtocolTest, GameRecordRepliesSuitBothOfTheGamesReaders) {
  Account(CreateBody("Player", "Paris"));
  const std::string read = ListFormBody({"nick=Player", "pw=secret1", "xxxbrbest=0"});
  EXPECT_EQ(Account(read).body, "$0 0 0 0 0 0 0 0$");
  const std::string start = PlainFormBody({{"nick", "Player"},
                                           {"pw", "secret1"},
                                           {"xxxbrkon", "1"},
                                           {"xxxbrbest", "0"},
                                           {"xxxbrrating", FormatClubNumber(1)},
                                           {"xxxbrR1", "0"},
                                           {"xxxbrR2", "0"}});
  EXPECT_EQ(Account(start).body, "ok");
  const std::string result = PlainFormBody({{"nick", "Player"},
                                            {"pw", "secret1"},
                                            {"xxxbrkon", "1"},
                                            {"xxxbrbest", "4000"},
                                            {"xxxbrrating", FormatClubNumber(4001)},
                                            {"xxxbrR1", "0"},
                                            {"xxxbrR2", "0"}});
  EXPECT_EQ(Account(result).body, "ok");
  EXPECT_EQ(Account(result).body, "no");  // the game was already closed
  EXPECT_EQ(Account(read).body, "$1 4000 4001 0 0 0 0 0$");

  // A wrong password: field 1 is not a number, so both readers fail.
  const std::string refused =
      Account(ListFormBody({"nick=Player", "pw=wrong1", "xxxbrbest=0"})).body;
  const auto record = RecordReply(refused, '$', ' ');
  ASSERT_TRUE(record);
  EXPECT_FALSE(ParseClubInteger(RecordField(*record, 1)));
}

TEST_P(ProtocolTest, CountsPlacesAndTheRatedTopTen) {
  EXPECT_EQ(Account(PlainFormBody({{"label1", "0"}})).body, "$0");
  Account(CreateBody("Player", "Paris"));
  EXPECT_EQ(NumberReply(Account(PlainFormBody({{"label1", "0"}})).body), 1);
  Account(PlainFormBody({{"nick", "Player"},
                         {"pw", "secret1"},
                         {"xxxbrkon", "1"},
                         {"xxxbrbest", "0"},
                         {"xxxbrrating", "1"},
                         {"xxxbrR1", "0"},
                         {"xxxbrR2", "0"}}));
  EXPECT_EQ(Account(ListFormBody({"xxxbrkon=0"})).body, "$1 Player Paris Russia 1-001 M 1*");
  EXPECT_EQ(Account(PlainFormBody({{"xxxbrrating", "0.5"}})).body, "$2");
  EXPECT_EQ(Account(PlainFormBody({{"xxxbrrating", "1"}})).body, "$1");
  EXPECT_EQ(Account(ListFormBody({"nick=Player", "labelkezread=0"})).body, "$0");
  EXPECT_EQ(FirstNumberReply(Account(ListFormBody({"nick=Player", "labelkezread=0"})).body), 0);
}

TEST_P(ProtocolTest, TablesComeBackAsStarEndedRecords) {
  const auto write = [&](const std::string& nick, int score) {
    return TopTen(test::EntryBody(76, nick, score));
  };
  EXPECT_EQ(TopTen(ListFormBody({"gid=76"})).body, "");
  EXPECT_EQ(write("Ann", 9000).body, "$1");
  EXPECT_EQ(write("Bob", 12000).body, "$1");
  EXPECT_EQ(write("Cid", 9000).body, "$3");
  EXPECT_EQ(write("Bob", 19001).body, "no");
  EXPECT_EQ(TopTen(ListFormBody({"gid=76"})).body,
            "$1 76 12000 Bob 1-001 Moscow M 2.7 # #*"
            "$2 76 9000 Ann 1-001 Moscow M 2.7 # #*"
            "$3 76 9000 Cid 1-001 Moscow M 2.7 # #*");
  EXPECT_EQ(TopTen(ListFormBody({"rgid=76"})).body, "$3");
  EXPECT_EQ(TopTen(PlainFormBody({{"gid", "76"}, {"nick", "Cid"}, {"city", "Moscow"}})).body,
            "$3 76 9000 Cid 1-001 Moscow M 2.7 # #*");
  EXPECT_EQ(TopTen(PlainFormBody({{"gid", "76"}, {"nick", "Cid"}, {"city", "Paris"}})).body, "");
  const auto records = RecordReplies(TopTen(ListFormBody({"gid=76"})).body, '*', ' ', 10);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(RecordField(records[1], 4), "Ann");
  EXPECT_EQ(RecordField(records[1], 10), "#");
}

TEST_P(ProtocolTest, StatisticsReplies) {
  EXPECT_EQ(Stat(PlainFormBody({{"gid", "76"}, {"stat1", "1"}, {"stat2", "1"}})).body, "$ ok#");
  EXPECT_TRUE(
      TailMarkerReply(Stat(PlainFormBody({{"gid", "76"}, {"stat3", "1"}, {"stat4", "Fan"}})).body));
  std::vector<FormField> finished = {{"gid", "76"}};
  for (int i = 1; i <= 12; ++i) finished.push_back({"R" + std::to_string(i), i == 2 ? "1" : "0"});
  EXPECT_EQ(Stat(PlainFormBody(finished)).body, "$ ok#");
  EXPECT_EQ(Stat(ListFormBody({"gid=76"})).body, "$1 1 1 Fan 0 1 0 0 0 0 0 0 0 0 0 0 0 #*");
  EXPECT_FALSE(
      TailMarkerReply(Stat(PlainFormBody({{"gid", "76"}, {"stat1", "1"}, {"stat2", "7"}})).body));
}

TEST_P(ProtocolTest, UnknownOrMalformedRequestsAreRefused) {
  EXPECT_EQ(Account("nick=a&pw=b").http_status, 400);
  EXPECT_EQ(Account("label1=0&extra=1").http_status, 400);
  EXPECT_EQ(TopTen("label1=0").http_status, 400);  // an account request at the table address
  EXPECT_EQ(Account("a=%zz").http_status, 400);
  // A list-style body that is not UTF-8.
  EXPECT_EQ(Account("nick=%FF%FE&pw=x&label0=0").body, "no");
  // A plain-style body with the one byte Windows-1251 has no character for:
  // refused, and nothing stored in its place.
  std::string body = CreateBody("Player", "Paris");
  ASSERT_NE(body.find("Paris"), std::string::npos);
  body.replace(body.find("Paris"), 5, "Par%98is");
  EXPECT_EQ(Account(body).body, "no");
  EXPECT_EQ(Account(CreateBody("Player", "Paris")).body, "ok");
  // A zero byte in a nick, in either body style and in each kind of request
  // that looks a nick up: a plain refusal on every store, never a failure.
  for (const std::string& zero :
       {std::string("nick=Pla%00yer&pw=secret1&label0=0"),
        std::string("nick=Pla%00yer&labelinforead=0"),
        PlainFormBody(
            {{"nick", std::string("Pla\0yer", 7)}, {"pw", "secret1"}, {"label0", "0"}})}) {
    const ProtocolReply r = Account(zero);
    EXPECT_EQ(r.http_status, 200) << zero;
    EXPECT_EQ(r.body, "no") << zero;
  }
}

TEST(ConfigPage, CarriesTheScrambledAddressesTheGameReads) {
  ConfigPageSettings s;
  s.public_url = "http://127.0.0.1:8676/";
  s.ftp_url = "ftp://127.0.0.1:2121/";
  s.download_link = "http://example.invalid/braxo.apk";
  s.announcement_show = true;
  s.announcement_text = "Welcome";
  s.announcement_text2 = "to the club";
  s.announcement_link = "http://example.invalid/news";
  const std::string page = WriteConfigPage(s);

  const auto plain = [&](const char* key, std::uint16_t k) {
    return UnscrambleText(FindConfigValue(page, key).value_or(""), k);
  };
  EXPECT_EQ(plain("WTGamesPatt", kConfigKey), "http://127.0.0.1:8676/topten");
  EXPECT_EQ(plain("StatPath", kConfigKey), "http://127.0.0.1:8676/stat");
  EXPECT_EQ(plain("AccPath", kAccountKey), "http://127.0.0.1:8676/account");
  EXPECT_EQ(plain("PhotoPath", kAccountKey), "http://127.0.0.1:8676/photos/");
  EXPECT_EQ(plain("FtpPath", kAccountKey), "ftp://127.0.0.1:2121/");
  EXPECT_EQ(FindConfigValue(page, "DownLoad_Link_Braxo"), "http://example.invalid/braxo.apk");
  EXPECT_FALSE(FindConfigValue(page, "Google_Play_Link_Braxo"));
  EXPECT_NE(page.find("NewsBraxo2.5=Y#Welcome#to the club#http://example.invalid/news#0#"),
            std::string::npos);
  const TopTenConfig open = FetchTopTenConfig(page);
  EXPECT_TRUE(open.chat_available);
  EXPECT_EQ(open.result, FindConfigValue(page, "WTGamesPatt"));

  s.tournament_available = false;
  s.chat_available = false;
  const TopTenConfig paused = FetchTopTenConfig(WriteConfigPage(s));
  EXPECT_EQ(paused.result, "pause");
  EXPECT_FALSE(paused.chat_available);
}

INSTANTIATE_TEST_SUITE_P(Backends, ProtocolTest,
                         ::testing::Values(test::Backend::kSqlite, test::Backend::kPostgres),
                         test::BackendName);

}  // namespace
}  // namespace braxo::club
