// The member's account workflow against the real braxo-club (a fresh database
// for every test, on a free loopback port), and the photo upload against a
// real FTP server on loopback whose folder is the club's photo folder.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QTemporaryDir>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "ClubGameClient.h"
#include "ClubServerProcess.h"
#include "DelayingProxy.h"
#include "FtpServerProcess.h"
#include "WaitingClub.h"
#include "club/AccountWorkflow.h"
#include "club/ClubAccess.h"
#include "club/ClubClient.h"
#include "club/Scramble.h"
#include "storage/UserFile.h"

namespace braxo {
namespace {

constexpr char kPassword[] = "pass42";

std::string Jpeg(const QColor& colour) {
  QImage picture(200, 250, QImage::Format_RGB32);
  picture.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, "JPG", 90);
  return bytes.toStdString();
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The game's club code for one player: its own client (and so its own
// session cookie), the club's account service and photo folder, the session
// and the workflow on them, with the user file in a temporary folder.
class AccountWorkflowTest : public ::testing::Test {
 protected:
  AccountWorkflowTest() {
    services_.account_address = ScrambleText(club_.BaseUrl() + "account", kAccountKey);
    services_.photo_address = ScrambleText(club_.BaseUrl() + "photos/", kAccountKey);
    std::filesystem::create_directories(PhotoFolder());
  }

  std::string PhotoFolder() const { return club_.DataDir() + "/photos"; }
  std::string UserFile() const { return dir_.path().toStdString() + "/KezUser.kez"; }

  // A member created and rated by another player's game, so that this
  // player's session stays its own.
  void AddRatedMember(const std::string& nick, int score) {
    ClubAccess other_access(other_client_, services_, settings_);
    testing::WaitingClubAccess other(other_access);
    ASSERT_EQ(other.CreateAccount(testing::TestMember(nick, kPassword)), 0) << nick;
    ClubSession session;
    session.current_user = other.LoginAccount(nick, kPassword).user;
    ASSERT_TRUE(other.RegisterRatedGame(session));
    ASSERT_EQ(other.SaveRatedResult(session, score), RatedSave::kSaved);
  }
  void SetChairmansInfo(const std::string& nick, const PersonalInfo& info) {
    ClubAccess other_access(other_client_, services_, settings_);
    testing::WaitingClubAccess other(other_access);
    ASSERT_TRUE(other.LoginAccount(nick, kPassword).ok);
    ASSERT_TRUE(other.SavePersonalInfo(nick, info));
  }
  // The form as the player fills it in before "Create an account".
  void FillForm(const std::string& nick, const std::string& password) {
    MemberAccount& user = session_.current_user;
    user = testing::TestMember(nick, password);
    user.registered_on.clear();
    user.reserved_r01 = user.reserved_r02 = user.reserved_r03 = "";
    user.kezs_balance = 7;
    user.scrambled_password = ScramblePassword(password);
  }

  testing::ClubServerProcess club_;
  QTemporaryDir dir_;
  ClubClient client_;
  ClubClient other_client_;
  ClubServiceState services_;
  Settings settings_;
  ClubAccess access_{client_, services_, settings_};
  testing::WaitingClubAccess waiting_{access_};
  ClubSession session_;
  AccountWorkflow account_{access_, session_, UserFile()};
};

TEST_F(AccountWorkflowTest, CreatingAnAccountLogsInAndReadsTheNewMembersData) {
  FillForm("Ann", "secret12");
  const CreationOutcome created = account_.CreateAccount("14.03.2026", AccountPages{});
  ASSERT_EQ(created.creation, AccountCreation::kCreated);
  EXPECT_EQ(session_.account_state, AccountState::kLoggedIn);
  EXPECT_EQ(created.pages.members_count, 1);
  EXPECT_TRUE(created.pages.own_record_read);
  EXPECT_FALSE(created.pages.player_photo_loaded);
  EXPECT_EQ(session_.current_game.rated_games, 0);
  EXPECT_EQ(session_.current_game.rating_place, 1);
  // The session's user is the club's record of the new member.
  EXPECT_EQ(session_.current_user.nick, "Ann");
  EXPECT_EQ(session_.current_user.password, "secret12");
  EXPECT_EQ(session_.current_user.scrambled_password, ScramblePassword("secret12"));
  EXPECT_EQ(session_.current_user.registered_on, "14.03.2026");
  EXPECT_EQ(session_.current_user.reserved_r01, "xxx");
  EXPECT_EQ(session_.current_user.kezs_balance, 0) << "a new account starts without points";
  EXPECT_EQ(session_.current_user.city, "Oslo");

  // The same nick again: refused, nobody logged in, no registration date, and
  // the pages as they were.
  FillForm("Ann", "other123");
  AccountPages shown;
  shown.members_count = 5;
  const CreationOutcome again = account_.CreateAccount("15.03.2026", shown);
  EXPECT_EQ(again.creation, AccountCreation::kNickTaken);
  EXPECT_EQ(session_.account_state, AccountState::kNobody);
  EXPECT_EQ(session_.current_user.registered_on, "00.00.0000");
  EXPECT_EQ(again.pages.members_count, 5);
  EXPECT_FALSE(again.pages.own_record_read);

  // A club that does not answer creates nothing.
  club_.Kill();
  FillForm("Bob", "secret34");
  EXPECT_EQ(account_.CreateAccount("15.03.2026", AccountPages{}).creation,
            AccountCreation::kNotCreated);
  EXPECT_EQ(session_.account_state, AccountState::kNobody);
}

TEST_F(AccountWorkflowTest, LoginReadsTheMembersPagesAndTheChairman) {
  AddRatedMember("Dora", 900);
  AddRatedMember("Emil", 4000);
  PersonalInfo emil;
  emil.about = "Plays at night";
  SetChairmansInfo("Emil", emil);
  const std::string chairman_photo = Jpeg(Qt::darkGreen);
  const std::string dora_photo = Jpeg(Qt::darkRed);
  std::ofstream(PhotoFolder() + "/Emil.jpg", std::ios::binary) << chairman_photo;
  std::ofstream(PhotoFolder() + "/Dora.jpg", std::ios::binary) << dora_photo;

  // What the window shows before anyone logs in.
  const AccountPages nobodys = account_.ReadPages();
  ASSERT_TRUE(nobodys.top_ten.ok);
  EXPECT_EQ(nobodys.top_ten.list[0].nick, "Emil");
  EXPECT_FALSE(nobodys.own_record_read) << "nobody has a record";
  EXPECT_FALSE(nobodys.player_photo_loaded);
  EXPECT_EQ(nobodys.members_count, 2);
  EXPECT_EQ(nobodys.chairman_info.about, "Plays at night");
  EXPECT_TRUE(nobodys.chairman_photo_loaded);
  EXPECT_EQ(session_.photo_slots[1], chairman_photo);

  // A wrong password: the typed nick and password stay, the pages lose the
  // record and the count.
  session_.current_user.nick = "Dora";
  session_.current_user.password = "wrong99";
  session_.current_user.city = "typed";
  LoginOutcome login = account_.LogIn(nobodys);
  EXPECT_FALSE(login.logged_in);
  EXPECT_EQ(session_.account_state, AccountState::kNobody);
  EXPECT_EQ(session_.current_user.password, "wrong99");
  EXPECT_EQ(session_.current_user.city, "typed");
  EXPECT_FALSE(login.pages.members_count.has_value());
  EXPECT_EQ(login.pages.top_ten.list[0].nick, "Emil");

  session_.current_user.password = kPassword;
  login = account_.LogIn(login.pages);
  ASSERT_TRUE(login.logged_in);
  EXPECT_EQ(session_.account_state, AccountState::kLoggedIn);
  EXPECT_EQ(session_.current_user.city, "Oslo");
  EXPECT_EQ(session_.current_user.scrambled_password, ScramblePassword(kPassword));
  EXPECT_TRUE(login.pages.own_record_read);
  EXPECT_EQ(session_.current_game.rated_games, 1);
  EXPECT_EQ(session_.current_game.rating_place, 2);
  EXPECT_EQ(login.pages.members_count, 2);
  EXPECT_TRUE(login.pages.player_photo_loaded);
  EXPECT_EQ(session_.photo_slots[0], dora_photo);
  EXPECT_TRUE(login.pages.chairman_photo_loaded);

  // Signing out keeps the nick and password, forgets the points and the photo.
  session_.current_user.kezs_balance = 30;
  const AccountPages signed_out = account_.SignOut(login.pages);
  EXPECT_EQ(session_.account_state, AccountState::kNobody);
  EXPECT_EQ(session_.current_user.nick, "Dora");
  EXPECT_EQ(session_.current_user.password, kPassword);
  EXPECT_EQ(session_.current_user.kezs_balance, 0);
  EXPECT_FALSE(signed_out.player_photo_loaded);
  EXPECT_TRUE(signed_out.own_record_read) << "the results page keeps what it read";

  // A member's pages read at once, as when the window opens.
  ASSERT_TRUE(account_.LogIn(signed_out).logged_in);
  session_.current_game = {};
  const AccountPages members = account_.ReadPages();
  EXPECT_TRUE(members.own_record_read);
  EXPECT_EQ(session_.current_game.rating_place, 2);
  EXPECT_TRUE(members.player_photo_loaded);
}

// Runs the event loop until `done` holds or `limit` has passed.
bool RunUntil(const std::function<bool()>& done,
              std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// A player whose club is across a network: the game's club code for one
// player, reaching the club through a proxy that adds a round trip and counts
// the connections the club accepts.
struct DistantPlayer {
  DistantPlayer(int club_port, const std::string& user_file)
      : proxy(static_cast<std::uint16_t>(club_port), std::chrono::milliseconds(20)) {
    services.account_address = ScrambleText(proxy.BaseUrl() + "account", kAccountKey);
    services.photo_address = ScrambleText(proxy.BaseUrl() + "photos/", kAccountKey);
    account = std::make_unique<AccountWorkflow>(access, session, user_file);
  }
  bool LogIn(const std::string& nick) {
    session.current_user.nick = nick;
    session.current_user.password = kPassword;
    return account->LogIn(AccountPages{}).logged_in;
  }
  // The pages as the window reads them without waiting.
  AccountPages PagesInBackground() {
    std::optional<AccountPages> pages;
    QObject window;
    account->ReadPagesInBackground(&window, [&pages](AccountPages read) { pages = read; });
    EXPECT_FALSE(pages.has_value()) << "never inside the call";
    EXPECT_TRUE(RunUntil([&] { return pages.has_value(); }));
    return pages.value_or(AccountPages{});
  }

  testing::DelayingProxy proxy;
  ClubClient client;
  ClubServiceState services;
  Settings settings;
  ClubAccess access{client, services, settings};
  ClubSession session;
  std::unique_ptr<AccountWorkflow> account;
};

// The login and every read of the member's pages, the photos included, share
// one kept connection.
TEST_F(AccountWorkflowTest, MembersPagesAreReadOverOneKeptConnection) {
  AddRatedMember("Dora", 900);
  const std::string dora_photo = Jpeg(Qt::darkRed);
  std::ofstream(PhotoFolder() + "/Dora.jpg", std::ios::binary) << dora_photo;
  DistantPlayer player(club_.Port(), UserFile());
  ASSERT_TRUE(player.LogIn("Dora"));
  EXPECT_EQ(player.session.photo_slots[0], dora_photo);
  EXPECT_EQ(player.proxy.connection_count(), 1);

  // A missing photo is a short refusal that keeps the connection too.
  std::filesystem::remove(PhotoFolder() + "/Dora.jpg");
  const AccountPages pages = player.account->ReadPages();
  EXPECT_TRUE(pages.own_record_read);
  EXPECT_FALSE(pages.player_photo_loaded);
  EXPECT_EQ(pages.members_count, 1);
  EXPECT_EQ(player.proxy.connection_count(), 1);
}

TEST_F(AccountWorkflowTest, PagesReadWithoutWaitingAreThePagesReadWaiting) {
  AddRatedMember("Dora", 900);
  AddRatedMember("Emil", 4000);
  PersonalInfo emil;
  emil.about = "Plays at night";
  SetChairmansInfo("Emil", emil);
  PersonalInfo dora;
  dora.about = "Mornings only";
  SetChairmansInfo("Dora", dora);
  const std::string chairman_photo = Jpeg(Qt::darkGreen);
  const std::string dora_photo = Jpeg(Qt::darkRed);
  std::ofstream(PhotoFolder() + "/Emil.jpg", std::ios::binary) << chairman_photo;
  std::ofstream(PhotoFolder() + "/Dora.jpg", std::ios::binary) << dora_photo;
  DistantPlayer player(club_.Port(), UserFile());

  // Nobody's pages.
  const AccountPages nobodys = player.PagesInBackground();
  ASSERT_TRUE(nobodys.top_ten.ok);
  EXPECT_EQ(nobodys.top_ten.list[0].nick, "Emil");
  EXPECT_EQ(nobodys.top_ten.list[1].nick, "Dora");
  EXPECT_EQ(nobodys.members_count, 2);
  EXPECT_FALSE(nobodys.own_record_read);
  EXPECT_FALSE(nobodys.player_photo_loaded);
  EXPECT_EQ(nobodys.chairman_info.about, "Plays at night");
  EXPECT_TRUE(nobodys.chairman_photo_loaded);
  EXPECT_EQ(player.session.photo_slots[1], chairman_photo);
  EXPECT_TRUE(player.session.photo_slots[0].empty());

  // A member's, against the waiting read of the same club.
  ASSERT_TRUE(player.LogIn("Dora"));
  const AccountPages waited = player.account->ReadPages();
  const GameRecord waited_record = player.session.current_game;
  player.session.current_game = {};
  player.session.photo_slots = {};
  player.session.current_user.personal_info = {};
  const int before = player.proxy.connection_count();
  const AccountPages read = player.PagesInBackground();
  const int after_first = player.proxy.connection_count();
  EXPECT_TRUE(read.own_record_read);
  EXPECT_EQ(waited.own_record_read, read.own_record_read);
  EXPECT_EQ(player.session.current_game.rated_games, waited_record.rated_games);
  EXPECT_EQ(player.session.current_game.rating_place, 2);
  EXPECT_EQ(player.session.current_game.rating_place, waited_record.rating_place);
  EXPECT_EQ(read.members_count, waited.members_count);
  EXPECT_EQ(read.top_ten.list[0].nick, waited.top_ten.list[0].nick);
  EXPECT_TRUE(read.player_photo_loaded);
  EXPECT_EQ(player.session.photo_slots[0], dora_photo);
  EXPECT_EQ(player.session.photo_slots[1], chairman_photo);
  EXPECT_EQ(read.chairman_info.about, waited.chairman_info.about);
  EXPECT_EQ(player.session.current_user.personal_info.about, "Mornings only");

  // The independent reads went out side by side, each on a connection of
  // its own; the next reading finds them all kept.
  EXPECT_GT(after_first, before);
  player.PagesInBackground();
  EXPECT_EQ(player.proxy.connection_count(), after_first);
}

TEST_F(AccountWorkflowTest, PagesReadWithoutWaitingGoWithTheirWindow) {
  AddRatedMember("Dora", 900);
  DistantPlayer player(club_.Port(), UserFile());
  ASSERT_TRUE(player.LogIn("Dora"));
  player.session.current_game.rated_games = -7;
  bool called = false;
  auto window = std::make_unique<QObject>();
  player.account->ReadPagesInBackground(window.get(),
                                        [&called](const AccountPages&) { called = true; });
  window.reset();
  // Long enough for every reply that was asked for to have come back.
  RunUntil([] { return false; }, std::chrono::milliseconds(600));
  EXPECT_FALSE(called);
  EXPECT_EQ(player.session.current_game.rated_games, -7) << "no reply reached the session";
}

TEST_F(AccountWorkflowTest, PagesReadWithoutWaitingFromAClubThatIsGone) {
  AddRatedMember("Dora", 900);
  DistantPlayer player(club_.Port(), UserFile());
  ASSERT_TRUE(player.LogIn("Dora"));
  player.session.photo_slots = {"kept", "kept too"};
  club_.Kill();
  const AccountPages pages = player.PagesInBackground();
  EXPECT_FALSE(pages.top_ten.ok);
  EXPECT_FALSE(pages.members_count.has_value());
  EXPECT_FALSE(pages.own_record_read);
  EXPECT_FALSE(pages.player_photo_loaded);
  EXPECT_FALSE(pages.chairman_photo_loaded);
  EXPECT_EQ(player.session.photo_slots[0], "kept");
  EXPECT_EQ(player.session.photo_slots[1], "kept too");
}

TEST_F(AccountWorkflowTest, RefreshesWithoutAClubKeepWhatTheyCan) {
  AddRatedMember("Emil", 4000);
  PersonalInfo emil;
  emil.first_name = "Emil";
  SetChairmansInfo("Emil", emil);
  session_.current_user = testing::TestMember("Emil", kPassword);
  ASSERT_TRUE(account_.LogIn(AccountPages{}).logged_in);
  AccountPages pages = account_.RefreshTopTen(AccountPages{});
  pages = account_.RefreshChairman(pages);
  ASSERT_EQ(pages.chairman_info.first_name, "Emil");

  club_.Kill();
  pages = account_.RefreshChairman(pages);
  EXPECT_EQ(pages.chairman_info.first_name, "Emil") << "a failed read keeps the texts";
  EXPECT_FALSE(pages.chairman_photo_loaded);
  pages = account_.RefreshOwnRecord(pages);
  EXPECT_FALSE(pages.own_record_read);
  pages = account_.RefreshTopTen(pages);
  EXPECT_FALSE(pages.top_ten.ok);
  pages = account_.RefreshChairman(pages);
  EXPECT_EQ(pages.chairman_info.first_name, "Emil");
  EXPECT_FALSE(pages.chairman_photo_loaded) << "no chairman without a top ten";

  // Nobody's record is not asked for: the pages stay as they were.
  session_.account_state = AccountState::kNobody;
  pages.own_record_read = true;
  EXPECT_TRUE(account_.RefreshOwnRecord(pages).own_record_read);
}

TEST_F(AccountWorkflowTest, RatedGameSwitchOnlyMovesAMemberBetweenTheTwoLoggedInStates) {
  struct Case {
    AccountState before;
    bool rated;
    AccountState after;
  };
  // clang-format off
  const Case cases[] = {
      {AccountState::kNobody,   true,  AccountState::kNobody},
      {AccountState::kNobody,   false, AccountState::kNobody},
      {AccountState::kLoggedIn, true,  AccountState::kRated},
      {AccountState::kLoggedIn, false, AccountState::kLoggedIn},
      {AccountState::kRated,    false, AccountState::kLoggedIn},
      {AccountState::kRated,    true,  AccountState::kRated},
  };
  // clang-format on
  for (const Case& c : cases) {
    session_.account_state = c.before;
    EXPECT_EQ(account_.ChooseRatedGame(c.rated), c.after);
    EXPECT_EQ(session_.account_state, c.after);
  }
}

TEST_F(AccountWorkflowTest, NobodysFormStartsAfreshAndAMembersIsLeftAlone) {
  session_.current_user = testing::TestMember("Ann", "secret12");
  session_.account_state = AccountState::kLoggedIn;
  const MemberAccount member = session_.current_user;
  account_.StartAccountForm();
  EXPECT_EQ(session_.current_user, member);

  session_.account_state = AccountState::kNobody;
  account_.StartAccountForm();
  const MemberAccount& form = session_.current_user;
  EXPECT_EQ(form.nick, "Ann");
  EXPECT_EQ(form.password, "secret12");
  EXPECT_EQ(form.city, "");
  EXPECT_EQ(form.email, "");
  EXPECT_EQ(form.country_code, "1-001");
  EXPECT_EQ(form.country_name, "Russia");
  EXPECT_EQ(form.sex, 'M');
  EXPECT_EQ(form.registered_on, "00.00.0000");
}

TEST_F(AccountWorkflowTest, PersonalInformationIsSavedAsTheClubKeepsItAndReadBack) {
  FillForm("Gina", "secret12");
  ASSERT_EQ(account_.CreateAccount("14.03.2026", AccountPages{}).creation,
            AccountCreation::kCreated);
  PersonalInfo typed;
  typed.first_name = "Gina";
  typed.about = "cost $5 ~ or so";
  typed.last_name = "李x";   // outside the club's code page
  typed.telegram = "Жанна";  // inside it
  ASSERT_TRUE(account_.SavePersonalInfo(typed));
  const PersonalInfo stored = waiting_.ReadPersonalInfo("Gina");
  EXPECT_EQ(stored.about, "cost  5   or so");
  EXPECT_EQ(stored.last_name, "?x");
  EXPECT_EQ(stored.telegram, "Жанна");
  EXPECT_EQ(session_.current_user.personal_info, stored);

  // Without the member's session the club refuses, and the session keeps
  // what it read.
  ClubAccess stranger(other_client_, services_, settings_);
  ClubSession strangers_session;
  strangers_session.current_user.nick = "Gina";
  AccountWorkflow strangers(stranger, strangers_session, UserFile());
  typed.about = "changed";
  EXPECT_FALSE(strangers.SavePersonalInfo(typed));
  EXPECT_EQ(waiting_.ReadPersonalInfo("Gina").about, "cost  5   or so");
  EXPECT_EQ(strangers_session.current_user.personal_info, PersonalInfo{});
}

// The windows show an uploaded photo from the bytes sent; the club serves the
// same bytes to the next reader of the member's photo.
TEST_F(AccountWorkflowTest, PhotoIsUploadedAsTheMemberAndReadBackIntoTheFirstSlot) {
  session_.current_user = testing::TestMember("Hugo", kPassword);
  session_.photo_slots[0] = "old";
  EXPECT_FALSE(waiting_.LoadPhoto(session_, "Hugo", 1)) << "no photo yet";
  EXPECT_EQ(session_.photo_slots[0], "old");
  // Neither the configuration page nor the account service names an FTP side.
  const ClubServiceState unconfigured;
  ClubAccess nowhere(client_, unconfigured, settings_);
  EXPECT_FALSE(AccountWorkflow(nowhere, session_, UserFile()).UploadPhoto(Jpeg(Qt::blue)));

  testing::FtpServerProcess ftp(PhotoFolder(), "Hugo", kPassword);
  services_.ftp_address = ScrambleText(ftp.FolderUrl(), kAccountKey);
  const std::string photo = Jpeg(Qt::blue);
  ASSERT_TRUE(account_.UploadPhoto(photo));
  EXPECT_EQ(ReadAll(PhotoFolder() + "/Hugo.jpg"), photo);
  ASSERT_TRUE(waiting_.LoadPhoto(session_, "Hugo", 1));
  EXPECT_EQ(session_.photo_slots[0], photo);

  session_.current_user.password = "wrong99";
  EXPECT_FALSE(account_.UploadPhoto(Jpeg(Qt::red))) << "the FTP side knows the member";
  EXPECT_EQ(ReadAll(PhotoFolder() + "/Hugo.jpg"), photo);
}

TEST_F(AccountWorkflowTest, UserFileKeepsTheNickAndTheScrambledPassword) {
  session_.current_user.nick = "Anna";
  session_.current_user.password = "pw 1";
  session_.current_user.scrambled_password = ScramblePassword("pw 1");
  ASSERT_TRUE(account_.SaveUserFile());
  EXPECT_TRUE(session_.user_file_saved);
  const std::optional<UserFileContent> stored = ReadUserFile(UserFile());
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->nick, "Anna");
  EXPECT_EQ(stored->scrambled_password, ScramblePassword("pw 1"));
  EXPECT_EQ(ReadAll(UserFile()).find("pw 1"), std::string::npos);

  // The next start logs in from it.
  ClubAccess other_access(other_client_, services_, settings_);
  testing::WaitingClubAccess other(other_access);
  ASSERT_EQ(other.CreateAccount(testing::TestMember("Anna", "pw-1")), 0);
  ClubSession next_session;
  AccountWorkflow next_start(access_, next_session, UserFile());
  EXPECT_TRUE(next_start.LogInFromUserFile()) << "the space is sent as \"-\"";
  EXPECT_EQ(next_session.current_user.city, "Oslo");

  ASSERT_TRUE(account_.DeleteUserFile());
  EXPECT_FALSE(session_.user_file_saved);
  EXPECT_FALSE(std::filesystem::exists(UserFile()));
  EXPECT_TRUE(account_.DeleteUserFile()) << "a file that is not there is gone";

  // A folder that does not exist: nothing written, nothing claimed.
  AccountWorkflow nowhere(access_, session_, UserFile() + ".missing/KezUser.kez");
  EXPECT_FALSE(nowhere.SaveUserFile());
  EXPECT_FALSE(session_.user_file_saved);
}

}  // namespace
}  // namespace braxo
