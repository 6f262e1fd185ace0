// The real braxo-club, started fresh for each test on 127.0.0.1, driven over
// loopback with the bodies the game sends.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "ClubServerProcess.h"
#include "ServerTestKit.h"
#include "club/ConfigPage.h"
#include "club/FormBody.h"
#include "club/ReplyRules.h"
#include "club/Scramble.h"
#include "i18n/Language.h"
#include "i18n/MessageCatalogue.h"

namespace braxo::club {
namespace {

using braxo::testing::ClubServerProcess;
using test::EntryBody;
using test::LoopbackClient;
using test::RatedPlayer;
using test::ReadAll;
using test::Reply;

std::string WriteConfig(const std::string& folder, const std::string& text) {
  const std::string path = folder + "/club.conf";
  std::ofstream(path) << text;
  return path;
}

std::string LoginBody(const std::string& nick, const std::string& pw = "secret1") {
  return ListFormBody({"nick=" + nick, "pw=" + pw, "label0=0"});
}

TEST(ClubServer, ServesTheConfigurationPageForItsOwnPort) {
  ClubServerProcess club;
  LoopbackClient client(club.Port());
  const Reply page = client.Get("/config");
  EXPECT_EQ(page.status, 200);
  EXPECT_EQ(UnscrambleText(FindConfigValue(page.body, "AccPath").value_or(""), kAccountKey),
            club.BaseUrl() + "account");
  EXPECT_EQ(UnscrambleText(FindConfigValue(page.body, "WTGamesPatt").value_or(""), kConfigKey),
            club.BaseUrl() + "topten");
  EXPECT_EQ(client.Get("/nothing").status, 404);
  EXPECT_EQ(client.Get("/account").status, 405);
}

// Every language of the game has its help page: the rules, the modes by the
// names the game gives them, where their passwords are, and the club.
TEST(ClubServer, ServesOneHelpPagePerLanguageAndSaysWhenThereIsNone) {
  ClubServerProcess club;
  LoopbackClient client(club.Port());
  for (int language = 0; language < braxo::kLanguageCount; ++language) {
    const std::string code(braxo::Language(language).code);
    SCOPED_TRACE(code);
    const Reply page = client.Get("/help/" + code + ".html");
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.content_type, "text/html; charset=utf-8");
    EXPECT_NE(page.body.find("<html lang=\"" + code + "\">"), std::string::npos);
    for (const braxo::MsgId mode :
         {braxo::MsgId::MsgModeNormal, braxo::MsgId::MsgModeExtra, braxo::MsgId::MsgModeSuper})
      EXPECT_NE(page.body.find(braxo::MessageText(mode, language)), std::string::npos)
          << braxo::MessageName(mode);
    for (const char* word : {"Kestrel", "Nautilus", "README", "8676", "100"})
      EXPECT_NE(page.body.find(word), std::string::npos) << word;
  }
  for (const char* missing : {"/help/xx.html", "/help/", "/help/en", "/help/en.htm",
                              "/help/../en.html", "/help/en.html/x"}) {
    const Reply reply = client.Get(missing);
    EXPECT_EQ(reply.status, 404) << missing;
    EXPECT_NE(reply.body.find("/help/<language>.html"), std::string::npos) << missing;
  }
  EXPECT_EQ(client.Send("POST", "/help/en.html", "x").status, 405);
}

TEST(ClubServer, AnAccountsLifeOverLoopback) {
  // Its rated games come faster than a person can play them.
  test::TempFolder folder;
  ClubServerProcess club(
      {"--config", WriteConfig(folder.path(), "limit.rated_starts = 1000000/1\n")});
  LoopbackClient game(club.Port());

  // Creation (Windows-1251 body) hands out a session cookie that scripts cannot read.
  const Reply created =
      game.Post("/account", test::CreateAccountBody("Player", "secret1", "Москва"));
  EXPECT_EQ(created.body, "ok");
  EXPECT_NE(created.set_cookie.find("braxo_session="), std::string::npos);
  EXPECT_NE(created.set_cookie.find("HttpOnly"), std::string::npos);
  EXPECT_EQ(game.Post("/account", test::CreateAccountBody("PLAYER")).body, "is");
  EXPECT_EQ(game.Post("/account", PlainFormBody({{"label1", "0"}})).body, "$1");

  // Login (UTF-8 body); the reply's texts are Windows-1251.
  const Reply login = game.Post("/account", LoginBody("player"));
  EXPECT_EQ(login.body,
            "$\xCC\xEE\xF1\xEA\xE2\xE0 Russia 1-001 M p@mail.ru 21.06.2020 xxx xxx xxx 0 0 0$");
  EXPECT_NE(login.content_type.find("windows-1251"), std::string::npos);
  EXPECT_TRUE(MarkerReply(game.Post("/account", LoginBody("Player", "wrong1")).body, "no"));

  // Personal information, saved on the session.
  std::vector<FormField> info = {{"nick", "Player"}, {"labelinfosave", "0"}};
  for (const char* name : {"namei", "name2", "about", "telephone", "emailo", "website", "skype",
                           "ok", "vk", "telegram", "facebook", "twitter", "instagramm", "youtube"})
    info.push_back({name, std::string(name) + "1"});
  EXPECT_EQ(game.Post("/account", PlainFormBody(info)).body, "ok");
  const auto record = RecordReply(
      game.Post("/account", ListFormBody({"nick=Player", "labelinforead=0"})).body, '$', '~');
  ASSERT_TRUE(record);
  EXPECT_EQ(RecordField(*record, 6), "website1");
  EXPECT_EQ(RecordField(*record, 14), "youtube1");

  // The worked rating example: three games of 1000, 2000 and 3000, then one of 4000.
  RatedPlayer rated{game, "Player"};
  for (const int score : {1000, 2000, 3000}) {
    ASSERT_TRUE(rated.Start());
    ASSERT_TRUE(rated.Finish(score));
  }
  EXPECT_EQ(rated.Rating(), "2003");
  ASSERT_TRUE(rated.Start());
  EXPECT_EQ(rated.Rating(), "1504");
  ASSERT_TRUE(rated.Finish(4000));
  EXPECT_EQ(rated.Rating(), "2504");
  EXPECT_EQ(RecordField(*rated.Read(), 2), "4000");
  EXPECT_EQ(game.Post("/account", ListFormBody({"xxxbrkon=0"})).body,
            "$1 Player \xCC\xEE\xF1\xEA\xE2\xE0 Russia 1-001 M 2504*");
  EXPECT_EQ(game.Post("/account", PlainFormBody({{"xxxbrrating", "2504"}})).body, "$1");
  EXPECT_EQ(game.Post("/account", PlainFormBody({{"xxxbrrating", "2503.5"}})).body, "$2");

  // A result without a started game is refused and changes nothing.
  EXPECT_EQ(rated.Save(4, 4000, 2504 + 1000.0 / 4), "no");
  EXPECT_EQ(rated.Rating(), "2504");

  // A top-ten entry written on the session earns one credit of its place's amount.
  EXPECT_EQ(NumberReply(game.Post("/topten", EntryBody(76, "Player", 15000)).body), 1);
  const std::string credit25 =
      PlainFormBody({{"nick", "Player"}, {"labelkezsave", "0"}, {"R04", "25"}});
  EXPECT_EQ(game.Post("/account",
                      PlainFormBody({{"nick", "Player"}, {"labelkezsave", "0"}, {"R04", "100"}}))
                .body,
            "no");
  EXPECT_EQ(game.Post("/account", credit25).body, "ok");
  EXPECT_EQ(game.Post("/account", credit25).body, "no");
  EXPECT_EQ(
      FirstNumberReply(game.Post("/account", ListFormBody({"nick=Player", "labelkezread=0"})).body),
      25);

  // Another client without the session can neither write under the nick,
  // credit nor save information.
  LoopbackClient stranger(club.Port());
  const Reply posed = stranger.Post("/topten", EntryBody(76, "Player", 16000));
  EXPECT_EQ(posed.status, 403);
  EXPECT_EQ(posed.body, "no");
  EXPECT_EQ(stranger.Post("/account", credit25).body, "no");
  info[2].value = "Hacked";
  EXPECT_EQ(stranger.Post("/account", PlainFormBody(info)).body, "no");
  EXPECT_EQ(
      FirstNumberReply(game.Post("/account", ListFormBody({"nick=Player", "labelkezread=0"})).body),
      25);
  EXPECT_EQ(
      RecordField(
          *RecordReply(game.Post("/account", ListFormBody({"nick=Player", "labelinforead=0"})).body,
                       '$', '~'),
          1),
      "namei1");
}

TEST(ClubServer, TablesChatAndStatisticsOverLoopback) {
  ClubServerProcess club;
  LoopbackClient game(club.Port());
  EXPECT_EQ(game.Post("/topten", EntryBody(76, "Ann", 9000)).body, "$1");
  EXPECT_EQ(game.Post("/topten", EntryBody(76, "Bob", 12000)).body, "$1");
  EXPECT_EQ(game.Post("/topten", EntryBody(176, "Droid", 5000)).body, "$1");
  const auto top = RecordReplies(game.Post("/topten", ListFormBody({"gid=76"})).body, '*', ' ', 10);
  ASSERT_EQ(top.size(), 2u);
  EXPECT_EQ(RecordField(top[0], 1), "1");
  EXPECT_EQ(RecordField(top[0], 3), "12000");
  EXPECT_EQ(RecordField(top[0], 4), "Bob");
  EXPECT_EQ(RecordField(top[1], 4), "Ann");
  EXPECT_EQ(game.Post("/topten", ListFormBody({"rgid=76"})).body, "$2");
  // The game sends "Moscow" as the city for the Android table.
  EXPECT_EQ(
      game.Post("/topten", PlainFormBody({{"gid", "176"}, {"nick", "Droid"}, {"city", "Moscow"}}))
          .body,
      "$1 176 5000 Droid 1-001 Moscow M 2.7 # #*");

  // Chat: the server numbers the messages and answers newest first.
  EXPECT_EQ(game.Post("/topten", EntryBody(100, "Ann", 1, "10:00:00_10.12.2026_Braxo", "Hi")).body,
            "$1");
  const Reply too_soon =
      game.Post("/topten", EntryBody(100, "Ann", 2, "10:00:01_10.12.2026_Braxo", "Again"));
  EXPECT_EQ(too_soon.status, 429);
  EXPECT_FALSE(NumberReply(too_soon.body));
  EXPECT_EQ(game.Post("/topten", ListFormBody({"gid=100"})).body,
            "$1 100 1 Ann 1-001 Moscow M 2.7 10:00:00_10.12.2026_Braxo Hi*");

  EXPECT_EQ(game.Post("/stat", PlainFormBody({{"gid", "76"}, {"stat1", "1"}, {"stat2", "1"}})).body,
            "$ ok#");
  EXPECT_EQ(
      game.Post("/stat", PlainFormBody({{"gid", "76"}, {"stat3", "1"}, {"stat4", "Ann"}})).body,
      "$ ok#");
  std::vector<FormField> finished = {{"gid", "76"}};
  for (int i = 1; i <= 12; ++i) finished.push_back({"R" + std::to_string(i), i == 1 ? "1" : "0"});
  EXPECT_EQ(game.Post("/stat", PlainFormBody(finished)).body, "$ ok#");
  const auto stats = RecordReply(game.Post("/stat", ListFormBody({"gid=76"})).body, '*', ' ');
  ASSERT_TRUE(stats);
  EXPECT_EQ(RecordField(*stats, 1), "1");
  EXPECT_EQ(RecordField(*stats, 2), "1");
  EXPECT_EQ(RecordField(*stats, 3), "1");
  EXPECT_EQ(RecordField(*stats, 4), "Ann");
  EXPECT_EQ(RecordField(*stats, 5), "1");
}

TEST(ClubServer, AFieldWithASeparatorIsRefusedAndNothingIsStored) {
  ClubServerProcess club;
  LoopbackClient game(club.Port());
  ASSERT_EQ(game.Post("/topten", EntryBody(76, "Ann", 9000)).body, "$1");
  // The plain style sends a space unchanged; "*", "$" and "~" likewise.
  for (const char* nick : {"Ann Lee", "Ann*", "Ann$5", "Ann~x"}) {
    const Reply r = game.Post("/topten", EntryBody(76, nick, 9000));
    EXPECT_FALSE(NumberReply(r.body)) << nick;
  }
  EXPECT_EQ(game.Post("/topten", EntryBody(76, "Bob", 9000, "a b")).body, "no");
  EXPECT_EQ(game.Post("/account", test::CreateAccountBody("Bob", "secret1", "New York")).body,
            "no");
  EXPECT_EQ(game.Post("/topten", ListFormBody({"rgid=76"})).body, "$1");
  EXPECT_EQ(game.Post("/account", PlainFormBody({{"label1", "0"}})).body, "$0");
}

TEST(ClubServer, TheDatabaseHoldsAHashAndTheLogNoPassword) {
  const std::string password = "Zq7xPw42";
  std::string data_dir;
  std::string log;
  {
    ClubServerProcess club;
    data_dir = club.DataDir();
    LoopbackClient game(club.Port());
    ASSERT_EQ(game.Post("/account", test::CreateAccountBody("Keeper", password)).body, "ok");
    ASSERT_EQ(game.Post("/account", LoginBody("Keeper", password)).status, 200);
    const std::string db =
        ReadAll(club.DataDir() + "/club.db") + ReadAll(club.DataDir() + "/club.db-wal");
    EXPECT_EQ(db.find(password), std::string::npos);
    EXPECT_NE(db.find("$argon2id$"), std::string::npos);
    // The session token travels only as its hash.
    const std::string token = game.cookie.substr(game.cookie.find('=') + 1);
    ASSERT_FALSE(token.empty());
    EXPECT_EQ(db.find(token), std::string::npos);
    club.Restart();  // a SIGTERM; the log file is kept
    log = ReadAll(club.DataDir() + "/server.log");
  }
  EXPECT_NE(log.find("POST /account login 200"), std::string::npos);
  // The SIGTERM ended it cleanly.
  EXPECT_NE(log.find("braxo-club: stopped"), std::string::npos);
  EXPECT_EQ(log.find(password), std::string::npos);
  EXPECT_EQ(log.find("Keeper"), std::string::npos);
}

// Raw 8-bit and C1 bytes a client puts in a request path reach the log
// escaped: one line of printable ASCII that no terminal takes as a command.
TEST(ClubServer, TheLogEscapesEveryByteOutsidePrintableAscii) {
  std::string log;
  {
    ClubServerProcess club;
    namespace asio = boost::asio;
    asio::io_context ioc;
    asio::ip::tcp::socket raw(ioc);
    raw.connect(asio::ip::tcp::endpoint(asio::ip::make_address("127.0.0.1"),
                                        static_cast<unsigned short>(club.Port())));
    asio::write(raw, asio::buffer(std::string("GET /x\x9b"
                                              "31m\xc2\x9b"
                                              "2J\xff\\y HTTP/1.1\r\nHost: x\r\n\r\n")));
    char reply[64];
    boost::system::error_code ec;
    raw.read_some(asio::buffer(reply), ec);
    club.Restart();  // a SIGTERM: every line is written
    log = ReadAll(club.DataDir() + "/server.log");
  }
  EXPECT_NE(log.find("/x\\x9b31m\\xc2\\x9b2J\\xff\\x5cy"), std::string::npos) << log;
  for (const char ch : log) {
    const auto c = static_cast<unsigned char>(ch);
    EXPECT_TRUE(ch == '\n' || (c >= 0x20 && c < 0x7F)) << "byte " << int(c);
  }
}

TEST(ClubServer, PhotosAreServedOnlyByExactNick) {
  ClubServerProcess club;
  const std::string jpeg = "\xFF\xD8\xFF\xE0 not really a picture \xFF\xD9";
  std::ofstream(club.DataDir() + "/photos/Player.jpg", std::ios::binary) << jpeg;
  std::ofstream(club.DataDir() + "/secret.jpg", std::ios::binary) << "outside";
  LoopbackClient viewer(club.Port());
  const Reply photo = viewer.Get("/photos/Player.jpg");
  EXPECT_EQ(photo.status, 200);
  EXPECT_EQ(photo.content_type, "image/jpeg");
  EXPECT_EQ(photo.body, jpeg);
  for (const char* bad : {"/photos/player.jpg", "/photos/Nobody.jpg", "/photos/..%2Fsecret.jpg",
                          "/photos/%2E%2E/secret.jpg", "/photos/../secret.jpg"})
    EXPECT_EQ(viewer.Get(bad).status, 404) << bad;
}

// Whoever can write in the photo folder (a misconfigured upload spool) must
// not be able to serve anything else through it.
TEST(ClubServer, LinksInThePhotoFolderAreNotFollowed) {
  ClubServerProcess club;
  const std::string photos = club.DataDir() + "/photos/";
  const std::string outside = club.DataDir() + "/outside.jpg";
  std::ofstream(outside, std::ios::binary) << "\xFF\xD8 the club's own file \xFF\xD9";
  std::ofstream(photos + "Shown.jpg", std::ios::binary) << "\xFF\xD8 a photo \xFF\xD9";
  ASSERT_EQ(symlink("/etc/passwd", (photos + "Passwd.jpg").c_str()), 0);
  ASSERT_EQ(symlink("/proc/self/environ", (photos + "Environ.jpg").c_str()), 0);
  ASSERT_EQ(symlink(outside.c_str(), (photos + "Outside.jpg").c_str()), 0);
  ASSERT_EQ(symlink("Shown.jpg", (photos + "Alias.jpg").c_str()), 0);
  ASSERT_EQ(link(outside.c_str(), (photos + "Hard.jpg").c_str()), 0);
  ASSERT_EQ(mkfifo((photos + "Pipe.jpg").c_str(), 0600), 0);
  ASSERT_EQ(mkdir((photos + "Folder.jpg").c_str(), 0700), 0);
  LoopbackClient viewer(club.Port());
  EXPECT_EQ(viewer.Get("/photos/Shown.jpg").status, 200);
  for (const char* name : {"Passwd", "Environ", "Outside", "Alias", "Hard", "Pipe", "Folder"}) {
    const Reply r = viewer.Get(std::string("/photos/") + name + ".jpg");
    EXPECT_EQ(r.status, 404) << name;
    EXPECT_EQ(r.body.find("root:"), std::string::npos) << name;
  }
  EXPECT_EQ(viewer.Get("/photos/Shown.jpg").status, 200);  // the pipe held no worker
}

TEST(ClubServer, LimitsOnBodiesAndSlowClients) {
  braxo::club::test::TempFolder folder;
  ClubServerProcess club(
      {"--config", WriteConfig(folder.path(), "read_timeout_ms = 300\nidle_timeout_ms = 300\n")});
  LoopbackClient game(club.Port());
  EXPECT_EQ(game.Post("/topten", "gid=76&nick=" + std::string(17 * 1024, 'x')).status, 413);
  EXPECT_EQ(game.Post("/topten", ListFormBody({"rgid=76"})).body, "$0");

  // A client that starts a request and stalls is cut off.
  namespace asio = boost::asio;
  asio::io_context ioc;
  asio::ip::tcp::socket slow(ioc);
  slow.connect({asio::ip::make_address("127.0.0.1"), static_cast<unsigned short>(club.Port())});
  asio::write(slow, asio::buffer(std::string("POST /topten HTTP/1.1\r\nHost: x\r\n")));
  const auto started = std::chrono::steady_clock::now();
  char byte;
  boost::system::error_code ec;
  slow.read_some(asio::buffer(&byte, 1), ec);
  EXPECT_TRUE(ec);  // closed without an answer
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
  EXPECT_EQ(game.Post("/topten", ListFormBody({"rgid=76"})).body, "$0");
}

TEST(ClubServer, ConnectionsBeyondTheCapAreClosed) {
  braxo::club::test::TempFolder folder;
  ClubServerProcess club({"--config", WriteConfig(folder.path(), "max_connections = 2\n")});
  namespace asio = boost::asio;
  asio::io_context ioc;
  const asio::ip::tcp::endpoint club_address(asio::ip::make_address("127.0.0.1"),
                                             static_cast<unsigned short>(club.Port()));
  LoopbackClient first(club.Port());
  ASSERT_EQ(first.Post("/topten", ListFormBody({"rgid=76"})).status, 200);
  // Two connections in the middle of a request: none of them idle, so none
  // can give way to a new one.
  std::vector<std::unique_ptr<asio::ip::tcp::socket>> busy;
  for (int i = 0; i < 2; ++i) {
    busy.push_back(std::make_unique<asio::ip::tcp::socket>(ioc));
    busy.back()->connect(club_address);
    asio::write(*busy.back(), asio::buffer(std::string("POST /topten HTTP/1.1\r\n")));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // its bytes have arrived
  }
  asio::ip::tcp::socket third(ioc);
  third.connect(club_address);
  boost::system::error_code ec;
  // The write itself may meet the closed connection.
  asio::write(third, asio::buffer(std::string("GET /config HTTP/1.1\r\nHost: x\r\n\r\n")), ec);
  char byte;
  third.read_some(asio::buffer(&byte, 1), ec);
  EXPECT_TRUE(ec);  // closed at once, no answer
  busy.clear();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the club saw them go
  // Once they are gone the first client is served again.
  EXPECT_EQ(first.Post("/topten", ListFormBody({"rgid=76"})).status, 200);
}

TEST(ClubServer, FailedLoginsAreLimited) {
  braxo::club::test::TempFolder folder;
  ClubServerProcess club(
      {"--config", WriteConfig(folder.path(), "limit.failed_logins = 3/3600\n")});
  LoopbackClient game(club.Port());
  ASSERT_EQ(game.Post("/account", test::CreateAccountBody("Player")).body, "ok");
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(game.Post("/account", LoginBody("Player", "wrong1")).body, "no");
  const Reply locked = game.Post("/account", LoginBody("Player"));
  EXPECT_EQ(locked.status, 429);
  EXPECT_EQ(locked.body, "no");
}

TEST(ClubServer, AKilledServerKeepsEveryAcknowledgedWrite) {
  braxo::club::test::TempFolder folder;
  ClubServerProcess club({"--config", WriteConfig(folder.path(),
                                                  "limit.tournament_writes = 1000000/1\n"
                                                  "log_requests = false\n")});
  std::vector<int> acknowledged;
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    LoopbackClient game(club.Port());
    for (int i = 1; i <= 5000 && !stop; ++i) {
      try {
        const Reply r = game.Post("/topten", EntryBody(76, "W" + std::to_string(i), 1000 + i));
        if (r.status == 200 && NumberReply(r.body)) acknowledged.push_back(i);
      } catch (const std::exception&) {
        return;  // the server is gone
      }
    }
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  club.Kill();
  stop = true;
  writer.join();
  ASSERT_GT(acknowledged.size(), 5u);

  club.Restart();
  LoopbackClient reader(club.Port());
  const auto count = NumberReply(reader.Post("/topten", ListFormBody({"rgid=76"})).body);
  ASSERT_TRUE(count);
  EXPECT_GE(*count, static_cast<std::int32_t>(acknowledged.size()));
  for (const int i : acknowledged) {
    const Reply own = reader.Post(
        "/topten",
        PlainFormBody({{"gid", "76"}, {"nick", "W" + std::to_string(i)}, {"city", "Moscow"}}));
    ASSERT_EQ(RecordReplies(own.body, '*', ' ', 10).size(), 1u) << "lost write " << i;
  }
}

int RunServer(const std::string& args) {
  const int status = std::system(
      (std::string(BRAXO_CLUB_SERVER_BINARY) + " " + args + " >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ClubServerProcess, AServerThatCannotStartIsReportedWithItsMessage) {
  try {
    ClubServerProcess club({"--bogus"});
    FAIL() << "started with a bad argument";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("unknown argument: --bogus"), std::string::npos)
        << e.what();
  }
}

TEST(ClubServerProcess, RestartKeepsTheDatabaseAndThePort) {
  ClubServerProcess club;
  const int port = club.Port();
  {
    LoopbackClient game(port);
    ASSERT_EQ(game.Post("/topten", EntryBody(76, "Ann", 9000)).body, "$1");
  }
  club.Restart();
  EXPECT_EQ(club.Port(), port);
  LoopbackClient game(club.Port());
  EXPECT_EQ(game.Post("/topten", ListFormBody({"rgid=76"})).body, "$1");
}

TEST(ClubServer, CommandLineAnswers) {
  EXPECT_EQ(RunServer("--help"), 0);
  EXPECT_EQ(RunServer("--listen nowhere"), 2);
  EXPECT_EQ(RunServer("--database mysql://x"), 2);
  EXPECT_EQ(RunServer("--bogus"), 2);
  EXPECT_EQ(RunServer("--listen 127.0.0.1:0 --config /nonexistent/club.conf"), 2);
}

}  // namespace
}  // namespace braxo::club

namespace braxo::club {
namespace {

TEST(ClubServer, ConcurrentClientsAreAllAnswered) {
  braxo::club::test::TempFolder folder;
  ClubServerProcess club({"--config", WriteConfig(folder.path(),
                                                  "limit.tournament_writes = 1000000/1\n"
                                                  "limit.statistics_writes = 1000000/1\n"
                                                  "limit.accounts_created = 1000/1\n"
                                                  "log_requests = false\n")});
  constexpr int kClients = 16;
  constexpr int kRounds = 40;
  std::atomic<int> failures{0};
  std::vector<std::thread> clients;
  for (int c = 0; c < kClients; ++c) {
    clients.emplace_back([&, c] {
      LoopbackClient game(club.Port());
      const std::string member = "Member" + std::to_string(c);
      if (game.Post("/account", test::CreateAccountBody(member)).body != "ok") ++failures;
      for (int i = 0; i < kRounds; ++i) {
        if (i % 10 == 0 && game.Post("/account", LoginBody(member)).body.rfind("$Paris", 0) != 0)
          ++failures;
        const std::string nick = "C" + std::to_string(c) + "n" + std::to_string(i);
        const Reply replies[] = {
            game.Post("/topten", EntryBody(76, nick, 1000 + i)),
            game.Post("/topten", ListFormBody({"gid=76"})),
            game.Post("/stat", PlainFormBody({{"gid", "76"}, {"stat1", "1"}, {"stat2", "0"}})),
            game.Post("/stat", ListFormBody({"gid=76"})),
            game.Post("/topten", ListFormBody({"rgid=76"})),
        };
        for (const Reply& r : replies)
          if (r.status != 200) ++failures;
      }
    });
  }
  for (auto& t : clients) t.join();
  EXPECT_EQ(failures.load(), 0);
  LoopbackClient reader(club.Port());
  EXPECT_EQ(NumberReply(reader.Post("/topten", ListFormBody({"rgid=76"})).body),
            kClients * kRounds);
  const auto stats = RecordReply(reader.Post("/stat", ListFormBody({"gid=76"})).body, '*', ' ');
  EXPECT_EQ(RecordField(*stats, 1), std::to_string(kClients * kRounds));
}

}  // namespace
}  // namespace braxo::club
