// ClubService's rules on a fresh database each, without HTTP.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ServerTestKit.h"
#include "service/ClubService.h"

namespace braxo::club {
namespace {

class ClubServiceTest : public ::testing::TestWithParam<test::Backend> {
 protected:
  ClubServiceTest() : service_(*db_.repository, ServiceLimits{}) {}

  RequestContext Ctx(const std::string& session = "", const std::string& address = "127.0.0.1") {
    return {address, session, now_};
  }

  NewAccount Valid(const std::string& nick = "Player") {
    return {nick,        "secret1",    "Moscow", "Russia", "1-001", "M",
            "p@mail.ru", "21.06.2020", "xxx",    "xxx",    "xxx"};
  }

  std::string Create(const std::string& nick = "Player") {
    const SessionResult r = service_.CreateAccount(Ctx(), Valid(nick));
    EXPECT_EQ(r.status, Status::kOk);
    return r.session_token;
  }

  GameRecordResult Record(const std::string& nick = "Player") {
    return service_.ReadGameRecord(Ctx(), nick, "secret1");
  }

  // What the game sends at the start of a rated game and at its end.
  // A game lasts at least a second, so each start comes a second after the last.
  Status Start(const std::string& nick = "Player") {
    now_ += 1;
    const GameRecordResult r = Record(nick);
    const double k = static_cast<double>(r.record.rated_games);
    const double rating = k * (r.rating - k) / (k + 1) + (k + 1);
    return service_.SaveGameRecord(Ctx(), nick, "secret1", r.record.rated_games + 1,
                                   r.record.best_score, rating);
  }
  Status Finish(std::int64_t score, const std::string& nick = "Player") {
    const GameRecordResult r = Record(nick);
    const double rating =
        r.rating + static_cast<double>(score) / static_cast<double>(r.record.rated_games);
    return service_.SaveGameRecord(Ctx(), nick, "secret1", r.record.rated_games,
                                   std::max(r.record.best_score, score), rating);
  }

  test::FreshDatabase db_{GetParam()};
  ClubService service_;
  double now_ = 1'800'000'000;
};

TEST_P(ClubServiceTest, RatedGamesKeepTheRatingInvariant) {
  Create();
  // The first rated game: 1 game, rating 1; 4000 then gives 4001 and best 4000.
  ASSERT_EQ(Start(), Status::kOk);
  EXPECT_EQ(Record().record.rated_games, 1);
  EXPECT_DOUBLE_EQ(Record().rating, 1);
  ASSERT_EQ(Finish(4000), Status::kOk);
  EXPECT_DOUBLE_EQ(Record().rating, 4001);
  EXPECT_EQ(Record().record.best_score, 4000);
}

TEST_P(ClubServiceTest, TheWorkedRatingExample) {
  Create();
  for (const int score : {1000, 2000, 3000}) {
    ASSERT_EQ(Start(), Status::kOk);
    ASSERT_EQ(Finish(score), Status::kOk);
  }
  EXPECT_EQ(Record().record.rated_games, 3);
  EXPECT_DOUBLE_EQ(Record().rating, 2003);
  ASSERT_EQ(Start(), Status::kOk);
  EXPECT_DOUBLE_EQ(Record().rating, 1504);
  ASSERT_EQ(Finish(4000), Status::kOk);
  EXPECT_DOUBLE_EQ(Record().rating, 2504);
  EXPECT_EQ(Record().record.best_score, 4000);
  // A lower score leaves the best but still moves the rating.
  ASSERT_EQ(Start(), Status::kOk);
  ASSERT_EQ(Finish(500), Status::kOk);
  EXPECT_EQ(Record().record.best_score, 4000);
  EXPECT_DOUBLE_EQ(Record().rating, 10500.0 / 5 + 5);
}

TEST_P(ClubServiceTest, SavesThatBreakTheInvariantChangeNothing) {
  Create();
  ASSERT_EQ(Start(), Status::kOk);
  ASSERT_EQ(Finish(3000), Status::kOk);
  ASSERT_EQ(Start(), Status::kOk);  // kon 2, sum 3000, rating 1502, a game open
  const GameRecordResult before = Record();
  ASSERT_DOUBLE_EQ(before.rating, 1502);

  struct Case {
    const char* what;
    std::int64_t rated_games;
    std::int64_t best_score;
    double rating;
  };
  const Case cases[] = {
      {"two games at once", 4, 3000, 3000.0 / 4 + 4},
      {"games counted down", 1, 3000, 3001},
      {"a start with the wrong rating", 3, 3000, 5000},
      {"a start that lowers the best", 3, 0, 3000.0 / 3 + 3},
      {"a score above the largest", 2, 20000, 1502 + 20000.0 / 2},
      {"a negative score", 2, 3000, 1502 - 100.0 / 2},
      {"a score that is not whole", 2, 3000, 1502 + 1000.5 / 2},
      {"a best that does not follow the score", 2, 3000, 1502 + 5000.0 / 2},
      {"a best above the score", 2, 9000, 1502 + 1000.0 / 2},
      {"a rating that is not a number", 2, 3000, std::nan("")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(
        service_.SaveGameRecord(Ctx(), "Player", "secret1", c.rated_games, c.best_score, c.rating),
        Status::kRefused)
        << c.what;
    const GameRecordResult after = Record();
    EXPECT_EQ(after.record.rated_games, before.record.rated_games) << c.what;
    EXPECT_EQ(after.record.best_score, before.record.best_score) << c.what;
    EXPECT_DOUBLE_EQ(after.rating, before.rating) << c.what;
  }
  EXPECT_EQ(service_.SaveGameRecord(Ctx(), "Player", "wrong1", 2, 3000, 1502 + 1000.0 / 2),
            Status::kRefused);
  EXPECT_DOUBLE_EQ(Record().rating, before.rating);

  // One result per started game.
  ASSERT_EQ(Finish(1000), Status::kOk);
  const GameRecordResult done = Record();
  EXPECT_EQ(service_.SaveGameRecord(Ctx(), "Player", "secret1", 2, 3000, done.rating + 500),
            Status::kRefused);
  EXPECT_DOUBLE_EQ(Record().rating, done.rating);
}

TEST_P(ClubServiceTest, AccountsNeedTheAccountRules) {
  struct Case {
    const char* what;
    void (*change)(NewAccount&);
  };
  const Case cases[] = {
      {"a one-letter nick", [](NewAccount& a) { a.nick = "P"; }},
      {"a Cyrillic nick", [](NewAccount& a) { a.nick = "\xD0\x98\xD0\xB3\xD1\x80\xD0\xBE"; }},
      {"a nick with a space", [](NewAccount& a) { a.nick = "Pla yer"; }},
      {"a nick with a star", [](NewAccount& a) { a.nick = "Play*er"; }},
      {"a three-letter password", [](NewAccount& a) { a.password = "abc"; }},
      {"a city with a dollar", [](NewAccount& a) { a.city = "Mos$cow"; }},
      {"a city with a tilde", [](NewAccount& a) { a.city = "Mos~cow"; }},
      {"an e-mail without @", [](NewAccount& a) { a.email = "mail.ru"; }},
      {"an e-mail ending with @", [](NewAccount& a) { a.email = "mail.ru@"; }},
      {"a country code out of range", [](NewAccount& a) { a.country_code = "1-049"; }},
      {"a country name with a space", [](NewAccount& a) { a.country_name = "New Zealand"; }},
      {"a sex letter that is not M or W", [](NewAccount& a) { a.sex = "X"; }},
      {"a date with a space", [](NewAccount& a) { a.registered_on = "21 06 2020"; }},
      {"a reserved field with a space", [](NewAccount& a) { a.reserved_r01 = "x x"; }},
      {"a character Windows-1251 lacks", [](NewAccount& a) { a.city = "Kyoto\xE4\xBA\xAC"; }},
  };
  for (const Case& c : cases) {
    NewAccount a = Valid();
    c.change(a);
    EXPECT_EQ(service_.CreateAccount(Ctx(), a).status, Status::kRefused) << c.what;
  }
  EXPECT_EQ(service_.CountMembers(), 0);

  NewAccount cyrillic_city = Valid();
  cyrillic_city.city = "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0";  // "Москва"
  EXPECT_EQ(service_.CreateAccount(Ctx(), cyrillic_city).status, Status::kOk);
  EXPECT_EQ(service_.CreateAccount(Ctx(), Valid("PLAYER")).status, Status::kNickTaken);
  // "no" inside a record is data: the game takes a reply as a refusal only
  // when it holds no record.
  NewAccount genova = Valid("Marco");
  genova.city = "Genova";
  genova.country_name = "Lebanon";
  genova.email = "jnoble@mail.it";
  EXPECT_EQ(service_.CreateAccount(Ctx(), genova).status, Status::kOk);
  EXPECT_EQ(service_.CountMembers(), 2);
}

TEST_P(ClubServiceTest, AccountCreationIsLimitedPerAddress) {
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(
        service_.CreateAccount(Ctx("", "10.0.0.9"), Valid("Maker" + std::to_string(i))).status,
        Status::kOk);
  EXPECT_EQ(service_.CreateAccount(Ctx("", "10.0.0.9"), Valid("Maker5")).status, Status::kLimited);
  EXPECT_FALSE(service_.ReadPersonalInfo("Maker5"));
  EXPECT_EQ(service_.CreateAccount(Ctx("", "10.0.0.8"), Valid("Maker5")).status, Status::kOk);
  EXPECT_EQ(service_.CountMembers(), 6);
}

TEST_P(ClubServiceTest, PasswordsAreCheckedAgainstAHash) {
  Create();
  EXPECT_EQ(service_.Login(Ctx(), "player", "secret1").status, Status::kOk);
  EXPECT_EQ(service_.Login(Ctx(), "Player", "Secret1").status, Status::kRefused);
  EXPECT_EQ(service_.Login(Ctx(), "Nobody", "secret1").status, Status::kRefused);
  db_.repository->Transact(Access::kRead, [](Store& s) {
    const auto a = s.FindAccount("Player");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->password_hash.rfind("$argon2id$", 0), 0u);
    EXPECT_EQ(a->password_hash.find("secret1"), std::string::npos);
  });
}

TEST_P(ClubServiceTest, FailedLoginsLockTheNickAndTheAddress) {
  Create();
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(service_.Login(Ctx("", "10.0.0.1"), "Player", "wrong1").status, Status::kRefused);
  // The right password no longer helps, from anywhere, for this nick...
  EXPECT_EQ(service_.Login(Ctx("", "10.0.0.2"), "Player", "secret1").status, Status::kLimited);
  // ...and that address is locked for other nicks too.
  Create("Other");
  EXPECT_EQ(service_.Login(Ctx("", "10.0.0.1"), "Other", "secret1").status, Status::kLimited);
  EXPECT_EQ(service_.Login(Ctx("", "10.0.0.3"), "Other", "secret1").status, Status::kOk);
  now_ += 900;
  EXPECT_EQ(service_.Login(Ctx("", "10.0.0.2"), "Player", "secret1").status, Status::kOk);
}

// Each guess takes its token before its hash, so guesses made at once can
// never check more passwords than the bucket holds.
TEST_P(ClubServiceTest, ConcurrentGuessesCheckNoMorePasswordsThanTheLimit) {
  Create();
  constexpr int kGuesses = 32;
  std::atomic<int> refused{0}, limited{0};
  std::vector<std::thread> guessers;
  for (int i = 0; i < kGuesses; ++i)
    guessers.emplace_back([&, i] {
      const auto status =
          service_.Login(Ctx("", "10.9.0." + std::to_string(i)), "Player", "wrong1").status;
      if (status == Status::kRefused) ++refused;
      if (status == Status::kLimited) ++limited;
    });
  for (auto& t : guessers) t.join();
  EXPECT_EQ(refused.load(), 10);
  EXPECT_EQ(limited.load(), kGuesses - 10);
  EXPECT_EQ(service_.Login(Ctx("", "10.9.1.1"), "Player", "secret1").status, Status::kLimited);
}

TEST_P(ClubServiceTest, ARightPasswordGivesItsTokenBack) {
  Create();
  // Another server on the same store: it has checked no password yet, so
  // its first right login is a hash that takes a token and gives it back.
  ClubService other(*db_.repository, ServiceLimits{});
  for (int i = 0; i < 9; ++i)
    ASSERT_EQ(other.Login(Ctx(), "Player", "wrong1").status, Status::kRefused);
  EXPECT_EQ(other.Login(Ctx(), "Player", "secret1").status, Status::kOk);
  EXPECT_EQ(other.Login(Ctx(), "Player", "wrong2").status, Status::kRefused);
  EXPECT_EQ(other.Login(Ctx(), "Player", "wrong3").status, Status::kLimited);
}

// Accounts ignore letter case, so a spelling of a nick must not get around
// that nick's limits. Each action comes from a new address, so only the
// nick's bucket can refuse it.
TEST_P(ClubServiceTest, EveryPerNickLimitIgnoresLetterCase) {
  Create("Victim");
  int address = 0;
  const auto ctx = [&] { return Ctx("", "10.7.0." + std::to_string(++address)); };
  for (int i = 0; i < 10; ++i)
    ASSERT_EQ(service_.Login(ctx(), i % 2 ? "vICTIM" : "VICTIM", "wrong1").status,
              Status::kRefused);
  EXPECT_EQ(service_.Login(ctx(), "Victim", "secret1").status, Status::kLimited);
  EXPECT_EQ(service_.Login(ctx(), "victim", "wrong1").status, Status::kLimited);

  // clang-format off
  struct Case { std::int64_t table; const char* first; const char* second; };
  const Case cases[] = {
      {76,  "Writer",                       "wRITER"},
      {100, "Talker",                       "TALKER"},
      {76,  "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD", "\xD0\xB8\xD0\x92\xD0\x90\xD0\x9D"},  // Иван, иВАН
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.second);
    EntryRequest e{c.table, c.first, "Moscow", "1-001", 10, "M", "2.7", "12:00", "Hi*"};
    const std::int64_t allowed = c.table == 100 ? 1 : 20;
    for (std::int64_t i = 0; i < allowed; ++i)
      ASSERT_EQ(service_.WriteEntry(ctx(), e).status, Status::kOk);
    e.nick = c.second;
    EXPECT_EQ(service_.WriteEntry(ctx(), e).status, Status::kLimited);
  }
}

// Each login leaves a session row: right passwords are limited per nick too,
// and a member keeps only the newest sessions.
TEST_P(ClubServiceTest, LoginsAndAMembersSessionsAreBounded) {
  ServiceLimits limits;
  limits.logins = {4, 3600};
  limits.sessions_per_member = 3;
  ClubService service(*db_.repository, limits);
  ASSERT_EQ(service.CreateAccount(Ctx(), Valid()).status, Status::kOk);
  std::vector<std::string> sessions;
  for (int i = 0; i < 4; ++i) {
    const SessionResult r = service.Login(Ctx(), i % 2 ? "PLAYER" : "Player", "secret1");
    ASSERT_EQ(r.status, Status::kOk);
    sessions.push_back(r.session_token);
  }
  const SessionResult fifth = service.Login(Ctx(), "player", "secret1");
  EXPECT_EQ(fifth.status, Status::kLimited);
  EXPECT_TRUE(fifth.session_token.empty());
  // The creation's session and the first login's are gone; the newest three remain.
  PersonalInfo info;
  info.first_name = "Ivan";
  for (size_t i = 0; i < sessions.size(); ++i)
    EXPECT_EQ(service.SavePersonalInfo(Ctx(sessions[i]), "Player", info),
              i == 0 ? Status::kRefused : Status::kOk)
        << "login " << i;
  EXPECT_EQ(test::CountRows(db_, "sessions"), 3);
  now_ += 3600;
  EXPECT_EQ(service.Login(Ctx(), "Player", "secret1").status, Status::kOk);
}

// Expired sessions and buckets that have refilled are removed as the club
// runs; a bucket still being refilled stays, so its limit still holds.
TEST_P(ClubServiceTest, ExpiredSessionsAndRefilledLimitRowsAreRemoved) {
  ServiceLimits limits;
  limits.session_seconds = 86400;
  limits.accounts_created = {1, 86400};
  ClubService service(*db_.repository, limits);
  ASSERT_EQ(service.CreateAccount(Ctx("", "10.0.0.1"), Valid()).status, Status::kOk);
  for (int i = 0; i < 5; ++i)
    ASSERT_EQ(service.CountStart(Ctx("", "10.0.1." + std::to_string(i)), 76, false), Status::kOk);
  ASSERT_EQ(service.Login(Ctx("", "10.0.0.2"), "Player", "wrong1").status, Status::kRefused);
  ASSERT_EQ(test::CountRows(db_, "sessions"), 1);
  // One creation bucket, five statistics buckets, the address's and the nick's failed-login ones.
  ASSERT_EQ(test::CountRows(db_, "rate_buckets"), 8);

  // Two hours on (any write sweeps): the hour-long and quarter-hour buckets
  // have refilled and go; the day-long creation bucket is still refilling and
  // stays, beside the new write's; the day-long session stays.
  now_ += 7200;
  ASSERT_EQ(service.CountStart(Ctx("", "10.0.2.1"), 76, false), Status::kOk);
  EXPECT_EQ(test::CountRows(db_, "rate_buckets"), 2);
  EXPECT_EQ(test::CountRows(db_, "sessions"), 1);
  // The creation limit still counts the account made two hours ago.
  EXPECT_EQ(service.CreateAccount(Ctx("", "10.0.0.1"), Valid("Second")).status, Status::kLimited);

  // A day later the session has expired and the rest have refilled.
  now_ += 86400;
  ASSERT_EQ(service.CountStart(Ctx("", "10.0.2.2"), 76, false), Status::kOk);
  EXPECT_EQ(test::CountRows(db_, "sessions"), 0);
  EXPECT_EQ(test::CountRows(db_, "rate_buckets"), 1);
}

TEST_P(ClubServiceTest, PersonalInfoNeedsASessionOfThatNick) {
  const std::string mine = Create();
  const std::string theirs = Create("Other");
  PersonalInfo info;
  info.first_name = "Ivan";
  info.about = "Plays at night";  // spaces are content in the "~"-separated record
  EXPECT_EQ(service_.SavePersonalInfo(Ctx(), "Player", info), Status::kRefused);
  EXPECT_EQ(service_.SavePersonalInfo(Ctx(theirs), "Player", info), Status::kRefused);
  EXPECT_EQ(service_.SavePersonalInfo(Ctx("forged"), "Player", info), Status::kRefused);
  EXPECT_EQ(service_.ReadPersonalInfo("Player").value().first_name, "");

  PersonalInfo tilde = info;
  tilde.skype = "a~b";
  EXPECT_EQ(service_.SavePersonalInfo(Ctx(mine), "Player", tilde), Status::kRefused);
  PersonalInfo too_long = info;
  too_long.first_name = std::string(21, 'x');
  EXPECT_EQ(service_.SavePersonalInfo(Ctx(mine), "Player", too_long), Status::kRefused);
  EXPECT_EQ(service_.ReadPersonalInfo("Player").value().first_name, "");

  EXPECT_EQ(service_.SavePersonalInfo(Ctx(mine), "Player", info), Status::kOk);
  EXPECT_EQ(service_.ReadPersonalInfo("Player").value(), info);
  now_ += 31 * 86400;  // the session has expired
  EXPECT_EQ(service_.SavePersonalInfo(Ctx(mine), "Player", PersonalInfo{}), Status::kRefused);
}

TEST_P(ClubServiceTest, AKezCreditIsHonouredOncePerTopTenEntryOfTheSession) {
  const std::string session = Create();
  const std::string other = Create("Other");
  const EntryRequest entry{76, "Player", "Moscow", "1-001", 9000, "M", "2.7", "#", "#*"};

  // No entry written in this session yet.
  EXPECT_EQ(service_.CreditKezs(Ctx(session), "Player", 25), Status::kRefused);
  const WriteResult first = service_.WriteEntry(Ctx(session), entry);
  ASSERT_EQ(first.status, Status::kOk);
  EXPECT_EQ(first.place, 1);
  EXPECT_EQ(service_.CreditKezs(Ctx(session), "Player", 10), Status::kRefused);  // place 1 earns 25
  EXPECT_EQ(service_.CreditKezs(Ctx(other), "Player", 25), Status::kRefused);
  EXPECT_EQ(service_.CreditKezs(Ctx(), "Player", 25), Status::kRefused);
  EXPECT_EQ(service_.CreditKezs(Ctx(session), "Player", 1000), Status::kRefused);
  EXPECT_EQ(service_.KezBalance("Player"), 0);
  EXPECT_EQ(service_.CreditKezs(Ctx(session), "Player", 25), Status::kOk);
  EXPECT_EQ(service_.CreditKezs(Ctx(session), "Player", 25), Status::kRefused);
  EXPECT_EQ(service_.KezBalance("Player"), 25);

  // A second entry reaches place 2 and earns 10, once.
  const WriteResult second = service_.WriteEntry(Ctx(session), entry);
  EXPECT_EQ(second.place, 2);
  EXPECT_EQ(service_.CreditKezs(Ctx(session), "Player", 10), Status::kOk);
  EXPECT_EQ(service_.CreditKezs(Ctx(session), "Player", 10), Status::kRefused);
  EXPECT_EQ(service_.KezBalance("Player"), 35);
  EXPECT_EQ(service_.Login(Ctx(), "Player", "secret1").account.kezs_balance, 35);
}

TEST_P(ClubServiceTest, TournamentEntriesFollowTheNameRulesAndTheScoreRange) {
  const EntryRequest good{
      76,  "\xD0\x98\xD0\xB3\xD1\x80\xD0\xBE\xD0\xBA", "Moscow", "2-010", 19000, "W", "2.7", "#",
      "#*"};
  EXPECT_EQ(service_.WriteEntry(Ctx(), good).status, Status::kOk);
  struct Case {
    const char* what;
    void (*change)(EntryRequest&);
  };
  const Case cases[] = {
      {"a score above the largest", [](EntryRequest& e) { e.score = 19001; }},
      {"a negative score", [](EntryRequest& e) { e.score = -1; }},
      {"a nick with a space", [](EntryRequest& e) { e.nick = "Big Player"; }},
      {"a 13-letter nick", [](EntryRequest& e) { e.nick = "Abcdefghijklm"; }},
      {"a city with a star", [](EntryRequest& e) { e.city = "Mos*cow"; }},
      {"a bad country code", [](EntryRequest& e) { e.country_code = "7-001"; }},
      {"a sex letter that is not M or W", [](EntryRequest& e) { e.sex = "Q"; }},
      {"a version with a space", [](EntryRequest& e) { e.writer_version = "2 7"; }},
      {"a last field without its star", [](EntryRequest& e) { e.message = "#"; }},
      {"a field with a dollar", [](EntryRequest& e) { e.time_stamp = "$"; }},
      {"an unknown table", [](EntryRequest& e) { e.table_id = 77; }},
  };
  for (const Case& c : cases) {
    EntryRequest e = good;
    c.change(e);
    EXPECT_EQ(service_.WriteEntry(Ctx(), e).status, Status::kRefused) << c.what;
  }
  EXPECT_EQ(service_.GameCount(76), 1);
}

TEST_P(ClubServiceTest, ChatIsNumberedByTheServerAndLimitedToOneMessageInTenSeconds) {
  EntryRequest m{100,         "Writer", "Moscow", "1-001",
                 999,         "M",      "2.7",    "14:03:12 PM_10.12.2026_Braxo",
                 "Hello_all*"};
  ASSERT_EQ(service_.WriteEntry(Ctx(), m).status, Status::kOk);
  EXPECT_EQ(service_.WriteEntry(Ctx(), m).status, Status::kLimited);
  now_ += 10;
  m.message = "Again*";
  ASSERT_EQ(service_.WriteEntry(Ctx(), m).status, Status::kOk);
  // Another nick from the same address waits as well; the same nick from elsewhere too.
  m.nick = "Another";
  EXPECT_EQ(service_.WriteEntry(Ctx(), m).status, Status::kLimited);
  m.nick = "Writer";
  EXPECT_EQ(service_.WriteEntry(Ctx("", "10.1.1.1"), m).status, Status::kLimited);

  const auto table = service_.ReadTable(100).value();
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0].score, 2);  // newest first, numbered 1, 2 by the server
  EXPECT_EQ(table[0].message, "Again");
  EXPECT_EQ(table[1].score, 1);
  EXPECT_EQ(table[1].time_stamp, "14:03:12_PM_10.12.2026_Braxo");

  now_ += 10;
  for (const char* bad : {"Hello all*", "a&b*", "*", "Hello~*"}) {
    m.message = bad;
    EXPECT_EQ(service_.WriteEntry(Ctx(), m).status, Status::kRefused) << bad;
  }
  m.message = std::string(81, 'x') + "*";
  EXPECT_EQ(service_.WriteEntry(Ctx(), m).status, Status::kRefused);
  m.message = std::string(80, 'x') + "*";
  EXPECT_EQ(service_.WriteEntry(Ctx(), m).status, Status::kOk);
}

// A write refused by one of its limits spends nothing of the others: the
// address whose nick had to wait may write another nick's message at once.
TEST_P(ClubServiceTest, AWriteRefusedByOneLimitSpendsNoneOfTheOthers) {
  EntryRequest m{100, "Writer", "Moscow", "1-001", 0, "M", "2.7", "12:00", "Hello*"};
  ASSERT_EQ(service_.WriteEntry(Ctx(), m).status, Status::kOk);
  EXPECT_EQ(service_.WriteEntry(Ctx("", "10.1.1.1"), m).status, Status::kLimited);
  m.nick = "Another";
  EXPECT_EQ(service_.WriteEntry(Ctx("", "10.1.1.1"), m).status, Status::kOk);
}

TEST_P(ClubServiceTest, StatisticsCountAndRefuseStrangeFlags) {
  EXPECT_EQ(service_.CountStart(Ctx(), 76, true), Status::kOk);
  EXPECT_EQ(service_.CountStart(Ctx(), 76, false), Status::kOk);
  EXPECT_EQ(service_.Like(Ctx(), 76, "Fan"), Status::kOk);
  EXPECT_EQ(service_.Like(Ctx(), 76, "Big Fan"), Status::kRefused);
  std::array<std::int64_t, 12> flags{};
  flags[2] = 1;
  EXPECT_EQ(service_.CountFinishedGame(Ctx(), 76, flags), Status::kOk);
  flags[2] = 1000;
  EXPECT_EQ(service_.CountFinishedGame(Ctx(), 76, flags), Status::kRefused);
  EXPECT_EQ(service_.CountStart(Ctx(), 99, true), Status::kRefused);
  const UsageStats s = service_.ReadStats(76).value();
  EXPECT_EQ(s.starts, 2);
  EXPECT_EQ(s.unique_starts, 1);
  EXPECT_EQ(s.likes, 1);
  EXPECT_EQ(s.last_like_nick, "Fan");
  EXPECT_EQ(s.finished_games_by_flag[2], 1);
  EXPECT_FALSE(service_.ReadStats(99));
}

std::string Text(const std::optional<std::vector<TableEntry>>& entries) {
  std::string out;
  for (const TableEntry& e : entries.value_or(std::vector<TableEntry>{}))
    out += std::to_string(e.place) + ":" + e.nick + ":" + std::to_string(e.score) + " ";
  return out;
}
std::string Text(const std::optional<UsageStats>& s) {
  std::string out = std::to_string(s->starts) + " " + std::to_string(s->unique_starts) + " " +
                    std::to_string(s->likes) + " " + s->last_like_nick;
  for (const auto f : s->finished_games_by_flag) out += " " + std::to_string(f);
  return out;
}
std::string Text(const std::vector<RatedPlayer>& players) {
  std::string out;
  for (const RatedPlayer& p : players) out += p.nick + ":" + std::to_string(p.rating) + " ";
  return out;
}

// Reads may be answered from what the service kept from an earlier read;
// every write must still show in the very next read of what it changes. A
// service of its own, with nothing kept yet, tells what the database holds.
TEST_P(ClubServiceTest, EveryWriteShowsInTheNextReadOfWhatItChanges) {
  Create("Rated");
  const std::string chatter = Create("Chatter");
  for (int i = 0; i < 10; ++i) {
    RequestContext ctx = Ctx("", "10.0.0." + std::to_string(i));
    ASSERT_EQ(service_
                  .WriteEntry(ctx, {76, "Top" + std::to_string(i), "Moscow", "1-001", 18000 + i,
                                    "M", "2.7", "#", "#*"})
                  .status,
              Status::kOk);
  }
  const auto reads = [](ClubService& s) {
    return std::vector<std::string>{
        Text(s.ReadTable(76)),
        Text(s.ReadTable(176)),
        Text(s.ReadTable(100)),
        std::to_string(s.GameCount(76).value()),
        std::to_string(s.GameCount(100).value()),
        Text(s.OwnResults(76, "Low", "Moscow")),
        Text(s.ReadStats(76)),
        Text(s.ReadStats(176)),
        Text(s.RatedTopTen()),
        std::to_string(s.RatingPlace(1)),
        std::to_string(s.CountMembers()),
    };
  };
  struct Case {
    const char* write;
    std::function<void()> run;
    std::vector<int> changes;  // which reads it changes
  };
  const Case cases[] = {
      {"an entry below the tenth place",
       [&] {
         EXPECT_EQ(service_
                       .WriteEntry(Ctx("", "10.1.0.1"),
                                   {76, "Low", "Moscow", "1-001", 100, "M", "2.7", "#", "#*"})
                       .place,
                   11);
       },
       {3, 5}},
      {"an entry into the top ten",
       [&] {
         EXPECT_EQ(service_
                       .WriteEntry(Ctx("", "10.1.0.2"),
                                   {76, "Star", "Moscow", "1-001", 19000, "M", "2.7", "#", "#*"})
                       .place,
                   1);
       },
       {0, 3, 5}},
      {"a chat message",
       [&] {
         EXPECT_EQ(service_
                       .WriteEntry(Ctx(chatter), {100, "Chatter", "Moscow", "1-001", 0, "M", "2.7",
                                                  "12:00:00", "Hello*"})
                       .status,
                   Status::kOk);
       },
       {2, 4}},
      {"a start", [&] { EXPECT_EQ(service_.CountStart(Ctx(), 76, true), Status::kOk); }, {6}},
      {"a like", [&] { EXPECT_EQ(service_.Like(Ctx(), 176, "Fan"), Status::kOk); }, {7}},
      {"a finished game",
       [&] {
         std::array<std::int64_t, 12> flags{};
         flags[0] = 1;
         EXPECT_EQ(service_.CountFinishedGame(Ctx(), 76, flags), Status::kOk);
       },
       {6}},
      {"a rated game's start", [&] { EXPECT_EQ(Start("Rated"), Status::kOk); }, {8}},
      {"a rated game's result", [&] { EXPECT_EQ(Finish(3000, "Rated"), Status::kOk); }, {8, 9}},
      {"a new account",
       [&] {
         EXPECT_EQ(service_.CreateAccount(Ctx("", "10.2.0.1"), Valid("Newcomer")).status,
                   Status::kOk);
       },
       {10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.write);
    const std::vector<std::string> before = reads(service_);
    EXPECT_EQ(reads(service_), before);  // read twice: now it may be kept
    c.run();
    const std::vector<std::string> after = reads(service_);
    ClubService truth(*db_.repository, ServiceLimits{});
    EXPECT_EQ(after, reads(truth));
    for (size_t i = 0; i < before.size(); ++i) {
      const bool changed =
          std::find(c.changes.begin(), c.changes.end(), static_cast<int>(i)) != c.changes.end();
      EXPECT_EQ(after[i] != before[i], changed) << "read " << i << ": " << before[i];
    }
  }
}

// A right password is known again without a new hash; that must never let a
// wrong one through, nor another member's right one.
TEST_P(ClubServiceTest, AKnownRightPasswordLetsNoOtherPasswordIn) {
  Create("Alice");
  NewAccount bob = Valid("Bob");
  bob.password = "secret2";
  ASSERT_EQ(service_.CreateAccount(Ctx("", "10.3.0.1"), bob).status, Status::kOk);
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(service_.Login(Ctx(), "Alice", "secret1").status, Status::kOk);
    EXPECT_EQ(service_.Login(Ctx(), "Bob", "secret2").status, Status::kOk);
    EXPECT_EQ(service_.Login(Ctx(), "Alice", "secret2").status, Status::kRefused);
    EXPECT_EQ(service_.Login(Ctx(), "Alice", "secret1 ").status, Status::kRefused);
    EXPECT_EQ(service_.ReadGameRecord(Ctx(), "Bob", "secret1").status, Status::kRefused);
    EXPECT_EQ(service_.ReadGameRecord(Ctx(), "bob", "secret2").status, Status::kOk);
  }
}

// Another process on the same SQLite file (two repositories here): what it
// writes is not seen through a kept answer, so the answer's age bounds how
// long it stays hidden.
TEST(ClubServiceCache, AnotherProcessesWriteShowsOnceTheKeptAnswerIsOld) {
  test::TempFolder folder;
  const std::string url = "sqlite:" + folder.path() + "/club.db";
  auto ours = OpenRepository(url);
  auto theirs = OpenRepository(url);
  ServiceLimits long_kept, short_kept;
  long_kept.read_cache_seconds = 3600;
  short_kept.read_cache_seconds = 0.05;
  ClubService kept_long(*ours, long_kept), kept_short(*ours, short_kept), other(*theirs, {});
  EXPECT_EQ(kept_long.GameCount(76), 0);
  EXPECT_EQ(kept_short.GameCount(76), 0);
  ASSERT_EQ(other
                .WriteEntry({"127.0.0.1", "", 1'800'000'000},
                            {76, "Other", "Moscow", "1-001", 5000, "M", "2.7", "#", "#*"})
                .status,
            Status::kOk);
  EXPECT_EQ(kept_long.GameCount(76), 0);  // kept: the write was not this process's
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(kept_short.GameCount(76), 1);
  EXPECT_EQ(Text(kept_short.ReadTable(76)), "1:Other:5000 ");
}

INSTANTIATE_TEST_SUITE_P(Backends, ClubServiceTest,
                         ::testing::Values(test::Backend::kSqlite, test::Backend::kPostgres),
                         test::BackendName);

}  // namespace
}  // namespace braxo::club
