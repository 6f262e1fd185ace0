// The club account and personal information windows as real offscreen
// windows against the real braxo-club (a fresh database for every test), and
// the photo upload against a real FTP server on loopback.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDate>
#include <QDir>
#include <QFontInfo>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <vector>

#include "ClubServerProcess.h"
#include "FtpServerProcess.h"
#include "club/ClubAccess.h"
#include "club/ClubClient.h"
#include "club/Scramble.h"
#include "dialogs/AccountWindow.h"
#include "dialogs/DialogTestKit.h"
#include "dialogs/PersonalInfoWindow.h"
#include "game/LevelGenerator.h"
#include "game/NullPorts.h"
#include "storage/UserFile.h"

namespace braxo {
namespace {

using dialogs_test::TypeText;
using dialogs_test::WhenModalOpens;

const QColor kPhotoColour(40, 160, 90);

std::string Jpeg(int width, int height, const QColor& colour = kPhotoColour) {
  QImage picture(width, height, QImage::Format_RGB32);
  picture.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, "JPG", 95);
  return bytes.toStdString();
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool Near(const QColor& a, const QColor& b, int tolerance = 6) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

// The flow's ports with the account window and the rated-game registration
// supplied by the test.
struct WindowPorts : testing::NullPorts {
  std::function<void()> account_window;
  std::function<bool()> register_rated;
  void ShowAccountWindow() override {
    if (account_window) account_window();
  }
  bool RegisterRatedGame() override { return register_rated ? register_rated() : false; }
};

class AccountWindowTest : public ::testing::Test {
 protected:
  AccountWindowTest()
      : random_(7),
        game_({ports_, ports_, ports_, ports_, ports_, ports_.session}, random_, {"", ""}),
        access_(client_, services_, settings_) {
    services_.AccountAddress = ScrambleText(server_.BaseUrl() + "account", kAccountKey);
    services_.PhotoAddress = ScrambleText(server_.BaseUrl() + "photos/", kAccountKey);
    user_file_ = dir_.filePath("KezUser.kez").toStdString();
  }

  ClubSession& Session() { return game_.Session(); }
  void ResetSession() {
    Session().CurrentUser = {};
    Session().CurrentGame = {};
    Session().AccountState = kAccountNobody;
    Session().RatedGameOpen = false;
  }
  std::string PhotoFolder() const { return server_.DataDir() + "/photos"; }

  ClubWindowParts Parts() {
    return {game_,
            access_,
            services_,
            user_file_,
            pictures_,
            [this](const Notice& notice) { notices_.push_back(notice.message); },
            [this](const QUrl& url) {
              opened_.push_back(url);
              return true;
            },
            [this](QWidget*) { return chosen_photo_; }};
  }
  std::unique_ptr<AccountWindow> OpenWindow(int role = 0) {
    game_.AccountWindowRole = role;
    auto window = std::make_unique<AccountWindow>(Parts(), nullptr);
    window->show();
    return window;
  }

  void CreateMember(const std::string& nick, const std::string& pw, const std::string& city,
                    const std::string& country, char sex) {
    MemberAccount user;
    user.Nick = nick;
    user.Pw = pw;
    user.PwC = ScramblePassword(pw);
    user.City = city;
    user.Country2 = country;
    user.Country1 = std::string(CountryCode::Parse(country)->Info().server_name);
    user.Sex = sex;
    user.EMail = nick + "@example.org";
    user.DateR = "01.02.2026";
    user.R01 = user.R02 = user.R03 = "xxx";
    ASSERT_EQ(access_.CreateAccount(user), 0) << nick;
  }
  // Plays one rated game of `score` for a member, as the flow does.
  void GiveRating(const std::string& nick, const std::string& pw, int score) {
    ClubSession session;
    const LoginReply login = access_.LoginAccount(nick, pw);
    ASSERT_TRUE(login.ok);
    session.CurrentUser = login.user;
    session.CurrentUser.Pw = pw;
    session.AccountState = kAccountRated;
    ASSERT_TRUE(access_.RegisterRatedGame(session));
    ASSERT_EQ(access_.SaveRatedResult(session, score), RatedSave::kSaved);
  }
  void LogIn(const std::string& nick, const std::string& pw) {
    const LoginReply login = access_.LoginAccount(nick, pw);
    ASSERT_TRUE(login.ok);
    Session().CurrentUser = login.user;
    Session().CurrentUser.Pw = pw;
    Session().CurrentUser.PwC = ScramblePassword(pw);
    Session().AccountState = kAccountLoggedIn;
  }
  QString WritePhotoFile(const std::string& name, const std::string& bytes) {
    const QString path = dir_.filePath(QString::fromStdString(name));
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
    return path;
  }
  // The lamp picture whose centre the page shows at (x, y).
  std::string LampAt(AccountWindow& window, int x, int y) {
    const QColor shown = window.PageImage(kPageAccount).Image().pixelColor(x + 12, y + 12);
    for (const char* name : {"LampR24", "LampY24", "LampG24"})
      if (pictures_.LoadPngResource(name).pixelColor(12, 12) == shown) return name;
    return "none";
  }

  testing::ClubServerProcess server_;
  QTemporaryDir dir_;
  WindowPorts ports_;
  FixedRandom random_;
  GameState game_;
  ClubClient client_;
  ClubServiceState services_;
  Settings settings_;
  ClubAccess access_;
  PictureStore pictures_;
  std::string user_file_;
  std::vector<std::string> notices_;
  std::vector<QUrl> opened_;
  QString chosen_photo_;
};

TEST_F(AccountWindowTest, AccountIsCreatedFromTheWindowsFields) {
  auto window = OpenWindow();
  EXPECT_EQ(window->Edit(6).text(), "00.00.0000");
  EXPECT_EQ(QFontInfo(window->Edit(1).font()).family(), "Comic Neue");
  EXPECT_TRUE(QFontInfo(window->Edit(1).font()).bold());
  EXPECT_FALSE(window->Button(1).isEnabled());
  TypeText(window->Edit(1), "Ann_7");
  TypeText(window->Edit(2), "secret1");
  EXPECT_TRUE(window->CheckBox1().isChecked());
  EXPECT_EQ(window->Edit(2).displayText(), "#######");
  window->CheckBox1().click();
  EXPECT_EQ(window->Edit(2).displayText(), "secret1");
  TypeText(window->Edit(4), "Oslo");
  EXPECT_FALSE(window->Button(1).isEnabled()) << "no e-mail yet";
  TypeText(window->Edit(5), "ann@example.org");
  window->Countries().SetCode("1-035");  // shown: Norway; the choice below is the player's
  window->Countries().CountryBox().setCurrentIndex(34);
  QTest::keyClick(&window->Countries().CountryBox(), Qt::Key_Down);
  window->ComboBox3().setCurrentIndex(0);
  QTest::keyClick(&window->ComboBox3(), Qt::Key_Down);
  EXPECT_EQ(window->Edit(3).text(), "Norway");
  ASSERT_TRUE(window->Button(1).isEnabled());

  window->Button(1).click();
  ASSERT_EQ(notices_, std::vector<std::string>{game_.Text(MsgId::MsgAccountCreated)});
  EXPECT_EQ(Session().AccountState, kAccountLoggedIn);
  EXPECT_EQ(Session().CurrentUser.Nick, "Ann_7");
  EXPECT_EQ(window->Button(2).text().toStdString(), game_.Text(MsgId::MsgSignOut));
  EXPECT_FALSE(window->Edit(1).isEnabled());
  EXPECT_EQ(window->MembersCount(), 1);
  EXPECT_TRUE(window->RecordRead());

  // The club holds what the window's fields said.
  const LoginReply stored = access_.LoginAccount("Ann_7", "secret1");
  ASSERT_TRUE(stored.ok);
  EXPECT_EQ(stored.user.City, "Oslo");
  EXPECT_EQ(stored.user.EMail, "ann@example.org");
  EXPECT_EQ(stored.user.Country2, "1-035");
  EXPECT_EQ(stored.user.Country1, "Norway");
  EXPECT_EQ(stored.user.Sex, 'W');
  EXPECT_EQ(stored.user.DateR, QDate::currentDate().toString("dd.MM.yyyy").toStdString());

  // The same nick again: refused, nobody logged in, no registration date.
  window.reset();
  ResetSession();
  notices_.clear();
  window = OpenWindow();
  TypeText(window->Edit(1), "Ann_7");
  TypeText(window->Edit(2), "other12");
  TypeText(window->Edit(4), "Rome");
  TypeText(window->Edit(5), "x@example.org");
  window->Button(1).click();
  EXPECT_EQ(notices_, std::vector<std::string>{game_.Text(MsgId::MsgNickTaken)});
  EXPECT_EQ(Session().AccountState, kAccountNobody);
  EXPECT_EQ(Session().CurrentUser.DateR, "00.00.0000");
}

TEST_F(AccountWindowTest, LoginSaveDeleteAndSignOut) {
  CreateMember("Bob", "pass42", "Bergen", "1-035", 'M');
  auto window = OpenWindow();
  TypeText(window->Edit(1), "Bob");
  TypeText(window->Edit(2), "wrong1");
  window->Button(2).click();
  EXPECT_EQ(notices_, std::vector<std::string>{game_.Text(MsgId::MsgLoginFailed)});
  EXPECT_EQ(Session().AccountState, kAccountNobody);

  window->Edit(2).clear();
  TypeText(window->Edit(2), "pass42");
  window->Button(2).click();
  ASSERT_EQ(Session().AccountState, kAccountLoggedIn);
  EXPECT_EQ(Session().CurrentUser.City, "Bergen");
  EXPECT_EQ(window->Edit(4).text(), "Bergen");
  EXPECT_EQ(window->Edit(3).text(), "Norway");
  EXPECT_EQ(window->Edit(6).text(), "01.02.2026");
  EXPECT_FALSE(window->CheckBox2().isEnabled()) << "the rating switch is for the pre-game check";

  // Save writes the user file with the scrambled password, Delete removes it.
  ASSERT_TRUE(window->Button(3).isEnabled());
  EXPECT_FALSE(window->Button(4).isEnabled());
  window->Button(3).click();
  const auto file = ReadUserFile(user_file_);
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(file->nick, "Bob");
  EXPECT_EQ(file->pwc, ScramblePassword("pass42"));
  EXPECT_EQ(ReadAll(user_file_).find("pass42"), std::string::npos);
  EXPECT_TRUE(Session().UserFileSaved);
  EXPECT_FALSE(window->Button(3).isEnabled());
  EXPECT_TRUE(window->Button(4).isEnabled());
  window->Button(4).click();
  EXPECT_FALSE(std::filesystem::exists(user_file_));
  EXPECT_FALSE(Session().UserFileSaved);
  EXPECT_TRUE(window->Button(3).isEnabled());
  EXPECT_FALSE(window->Button(4).isEnabled());
  // Deleting a file that is not there still leaves Save enabled.
  window->Button(4).setEnabled(true);
  window->Button(4).click();
  EXPECT_TRUE(window->Button(3).isEnabled());

  // Sign out keeps the nick and password for the next login.
  window->Button(2).click();
  EXPECT_EQ(Session().AccountState, kAccountNobody);
  EXPECT_EQ(window->Edit(1).text(), "Bob");
  EXPECT_TRUE(window->Edit(1).isEnabled());
  EXPECT_EQ(window->Button(2).text().toStdString(), game_.Text(MsgId::MsgLoginToAccount));
  EXPECT_EQ(window->StarName(), "StarR0");
  window->Button(2).click();
  EXPECT_EQ(Session().AccountState, kAccountLoggedIn);
  EXPECT_EQ(window->StarName(), "StarY0");
}

TEST_F(AccountWindowTest, FieldLampsFollowEachKindsRule) {
  struct Case {
    int box;
    QString typed;
    const char* lamp;
    QPoint at;
  };
  const QPoint nick(180, 91), city(410, 91), password(180, 165), email(410, 165);
  const Case cases[] = {
      {1, "Ann", "LampG24", nick},
      {1, "A", "LampR24", nick},
      {1, QString::fromUtf8("Анна"), "LampR24", nick},  // accepted as typed, but red
      {4, "Oslo", "LampG24", city},
      {4, QString::fromUtf8("Москва"), "LampY24", city},
      {4, "O", "LampR24", city},
      {2, "abc", "LampR24", password},
      {2, "abcd", "LampG24", password},
      {2, QString::fromUtf8("abcdЖ"), "LampG24", password},  // the Cyrillic letter is refused
      {5, "a@bc", "LampG24", email},
      {5, "abc", "LampR24", email},
      {5, "@abc", "LampR24", email},
      {5, "abc@", "LampR24", email},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    ResetSession();
    auto window = OpenWindow();
    TypeText(window->Edit(c.box), c.typed);
    EXPECT_EQ(LampAt(*window, c.at.x(), c.at.y()), c.lamp);
  }
  // The typed-character rule per box: Cyrillic passes into the nick and the
  // city, never into the password or the e-mail.
  auto window = OpenWindow();
  for (int box : {1, 2, 4, 5}) TypeText(window->Edit(box), QString::fromUtf8("Жx"));
  EXPECT_EQ(window->Edit(1).text(), QString::fromUtf8("Жx"));
  EXPECT_EQ(window->Edit(4).text(), QString::fromUtf8("Жx"));
  EXPECT_EQ(window->Edit(2).text(), "x");
  EXPECT_EQ(window->Edit(5).text(), "x");
  // A space is not let into any of them.
  TypeText(window->Edit(1), " y");
  EXPECT_EQ(window->Edit(1).text(), QString::fromUtf8("Жxy"));
}

TEST_F(AccountWindowTest, EditsEnableSaveOnlyAfterTheMouseMovedOverThePage) {
  auto window = OpenWindow();
  TypeText(window->Edit(1), "Jo_1");
  EXPECT_FALSE(window->Button(3).isEnabled());
  dialogs_test::SendMouse(window->PageImage(kPageAccount), QEvent::MouseMove, QPoint(300, 300));
  TypeText(window->Edit(4), "Oslo");
  EXPECT_FALSE(window->Button(3).isEnabled()) << "the city is not part of the user file";
  TypeText(window->Edit(2), "abcd");
  EXPECT_TRUE(window->Button(3).isEnabled());
}

TEST_F(AccountWindowTest, PreGameRatingSwitchDecidesWhetherTheNextGameIsRated) {
  CreateMember("Cleo", "pass42", "Nice", "1-015", 'W');
  LogIn("Cleo", "pass42");
  ports_.register_rated = [this] { return access_.RegisterRatedGame(Session()); };
  int opened = 0;
  bool tick = true;
  ports_.account_window = [&] {
    ++opened;
    AccountWindow window(Parts(), nullptr);
    WhenModalOpens([&](QWidget&) {
      EXPECT_TRUE(window.CheckBox2().isEnabled());
      if (window.CheckBox2().isChecked() != tick) window.CheckBox2().click();
      window.ButtonOk().click();
    });
    window.Execute();
  };
  game_.TitleScreen = true;
  game_.Image1Click();  // the first game starts without the check
  ASSERT_EQ(opened, 0);

  game_.Button1Click();
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(game_.AccountWindowRole, 1);
  EXPECT_EQ(Session().AccountState, kAccountRated);
  EXPECT_TRUE(Session().RatedGameOpen);
  GameRecordReply record = access_.ReadGameRecord("Cleo", "pass42");
  ASSERT_TRUE(record.ok);
  EXPECT_EQ(record.record.Kon, 1) << "the club counted the rated game";

  tick = false;
  // The rated game ended (the flow closes it with the result).
  Session().RatedGameOpen = false;
  game_.Button1Click();
  EXPECT_EQ(opened, 2);
  EXPECT_EQ(Session().AccountState, kAccountLoggedIn);
  EXPECT_FALSE(Session().RatedGameOpen);
  record = access_.ReadGameRecord("Cleo", "pass42");
  EXPECT_EQ(record.record.Kon, 1) << "an unrated game is not counted";
}

TEST_F(AccountWindowTest, PagesShowTheClubsDataWithTheBestRatedMemberAsChairman) {
  CreateMember("Dora", "pass42", "Oslo", "1-035", 'W');
  CreateMember("Emil", "pass43", "Turku", "1-014", 'M');
  GiveRating("Dora", "pass42", 900);
  GiveRating("Emil", "pass43", 4000);
  PersonalInfo emil;
  emil.Name1 = "Emil";
  emil.About = "Plays at night";
  emil.WebSite = "https://emil.example.org/";
  emil.VK = "javascript:alert(1)";
  ASSERT_TRUE(access_.SavePersonalInfo("Emil", emil));
  std::filesystem::create_directories(PhotoFolder());
  std::ofstream(PhotoFolder() + "/Emil.jpg", std::ios::binary) << Jpeg(200, 250);
  LogIn("Dora", "pass42");

  auto window = OpenWindow();
  ASSERT_TRUE(window->TopTen().ok);
  EXPECT_EQ(window->TopTen().list[0].Nick, "Emil");
  EXPECT_EQ(window->TopTen().list[1].Nick, "Dora");
  EXPECT_TRUE(window->TopTen().list[2].Nick.empty());
  EXPECT_EQ(window->ChairmanInfo().About, "Plays at night");
  EXPECT_TRUE(window->RecordRead());
  EXPECT_EQ(Session().CurrentGame.Kon, 1);
  EXPECT_EQ(Session().CurrentGame.Place, 2);
  EXPECT_EQ(window->MembersCount(), 2);

  // Top ten: Emil's flag (Finland) on the first row.
  window->PageControl1().setCurrentIndex(kPageTopTen);
  const QImage& flag = pictures_.LoadPngResource("Country1014");
  EXPECT_EQ(window->PageImage(kPageTopTen).Image().pixelColor(268 + 7, 100 + 6),
            flag.pixelColor(7, 6));

  // The chairman's photo from the club, and Dora's placeholder on "About me".
  window->PageControl1().setCurrentIndex(kPageChairman);
  EXPECT_TRUE(Near(window->PageImage(kPageChairman).Image().pixelColor(130, 160), kPhotoColour));
  window->PageControl1().setCurrentIndex(kPageAboutMe);
  EXPECT_EQ(window->PageImage(kPageAboutMe).Image().pixelColor(130, 150),
            pictures_.LoadPngResource("GAcNoF").pixelColor(100, 100));
  EXPECT_TRUE(window->ButtonAva1().isEnabled());

  // The chairman's rows: About is copied, the web site opened, a script not.
  window->PageControl1().setCurrentIndex(kPageChairman);
  ImageControl& chairman = window->PageImage(kPageChairman);
  const auto click_row = [&](int i) { dialogs_test::Click(chairman, QPoint(400, 31 * i + 20)); };
  click_row(1);
  EXPECT_EQ(QApplication::clipboard()->text(), "Plays at night");
  EXPECT_EQ(notices_.back(), game_.Text(MsgId::MsgCopied));
  click_row(4);
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0].toString(), "https://emil.example.org/");
  click_row(7);
  EXPECT_EQ(opened_.size(), 1u);

  // A failed refresh of the top ten shows it as not read.
  server_.Kill();
  window->PageControl1().setCurrentIndex(kPageTopTen);
  window->ButtonRef3().click();
  EXPECT_FALSE(window->TopTen().ok);
}

TEST_F(AccountWindowTest, ChairmansOwnEditsReachTheChairmanPage) {
  CreateMember("Kai", "pass42", "Oslo", "1-035", 'M');
  GiveRating("Kai", "pass42", 3000);
  LogIn("Kai", "pass42");
  auto window = OpenWindow();
  ASSERT_EQ(window->TopTen().list[0].Nick, "Kai");
  EXPECT_EQ(window->ChairmanInfo().About, "");
  window->PageControl1().setCurrentIndex(kPageAboutMe);
  WhenModalOpens([](QWidget& modal) {
    auto& info = dynamic_cast<PersonalInfoWindow&>(modal);
    TypeText(info.Edit(2), "Chair of the club");
    info.ButtonOkI().click();
  });
  window->ButtonAva1().click();
  EXPECT_EQ(Session().CurrentUser.Info.About, "Chair of the club");
  EXPECT_EQ(window->ChairmanInfo().About, "Chair of the club");
}

TEST_F(AccountWindowTest, WhileAGameIsInProgressOnlyTheDataCanBeBrowsed) {
  CreateMember("Finn", "pass42", "Oslo", "1-035", 'M');
  LogIn("Finn", "pass42");
  game_.GameInProgress = true;
  auto window = OpenWindow(1);
  for (int number = 1; number <= 4; ++number) EXPECT_FALSE(window->Button(number).isEnabled());
  EXPECT_FALSE(window->CheckBox2().isEnabled());
  EXPECT_FALSE(window->Countries().CountryBox().isEnabled());
  EXPECT_TRUE(window->ButtonRef2().isEnabled());
  EXPECT_TRUE(window->ButtonOk().isEnabled());
}

TEST_F(AccountWindowTest, PersonalInformationIsSavedAndReadBack) {
  CreateMember("Gina", "pass42", "Oslo", "1-035", 'W');
  LogIn("Gina", "pass42");
  PersonalInfoWindow window(Parts(), false, nullptr);
  window.show();
  EXPECT_FALSE(window.ButtonOkI().isEnabled());
  TypeText(window.Edit(0), "Gina");
  EXPECT_TRUE(window.ButtonOkI().isEnabled());
  TypeText(window.Edit(2), "cost $5 ~ or so");
  TypeText(window.Edit(5), "https://gina.example.org");
  window.ButtonOkI().click();
  EXPECT_FALSE(window.ButtonOkI().isEnabled());
  const PersonalInfo stored = access_.ReadPersonalInfo("Gina");
  EXPECT_EQ(stored.Name1, "Gina");
  EXPECT_EQ(stored.About, "cost  5   or so");
  EXPECT_EQ(stored.WebSite, "https://gina.example.org");
  EXPECT_EQ(Session().CurrentUser.Info, stored);

  // An edit changed back still counts as a change.
  TypeText(window.Edit(1), "x");
  QTest::keyClick(&window.Edit(1), Qt::Key_Backspace);
  EXPECT_TRUE(window.ButtonOkI().isEnabled());

  // A window opened later shows the stored texts.
  PersonalInfoWindow again(Parts(), false, nullptr);
  EXPECT_EQ(again.Edit(2).text(), "cost  5   or so");
  // Without a photo the placeholder of the member's sex.
  EXPECT_EQ(again.Image1().Image().pixelColor(120, 120),
            pictures_.LoadPngResource("GAcNoF").pixelColor(100, 100));
}

TEST_F(AccountWindowTest, PhotoIsUploadedAsTheMemberAndReadBackFromTheClub) {
  CreateMember("Hugo", "pass42", "Oslo", "1-035", 'M');
  LogIn("Hugo", "pass42");
  std::filesystem::create_directories(PhotoFolder());
  testing::FtpServerProcess ftp(PhotoFolder(), "Hugo", "pass42");
  services_.FtpAddress = ScrambleText(ftp.FolderUrl(), kAccountKey);
  PersonalInfoWindow window(Parts(), false, nullptr);
  window.show();
  EXPECT_FALSE(window.ButtonOKF().isEnabled());

  // Wrong sizes are refused before anything is sent.
  for (const auto& [width, height] : {std::pair{201, 250}, std::pair{200, 249}}) {
    notices_.clear();
    chosen_photo_ = WritePhotoFile("wrong.jpg", Jpeg(width, height));
    window.ChoosePhoto();
    EXPECT_EQ(notices_, std::vector<std::string>{game_.Text(MsgId::MsgPhotoFormat)});
    EXPECT_FALSE(window.ButtonOKF().isEnabled());
  }
  EXPECT_FALSE(std::filesystem::exists(PhotoFolder() + "/Hugo.jpg"));

  notices_.clear();
  const std::string photo = Jpeg(200, 250);
  chosen_photo_ = WritePhotoFile("me.jpg", photo);
  dialogs_test::Click(window.Image1(), QPoint(120, 140));  // a click on the photo box
  EXPECT_TRUE(notices_.empty());
  ASSERT_TRUE(window.ButtonOKF().isEnabled());
  window.ButtonOKF().click();
  EXPECT_TRUE(notices_.empty());
  EXPECT_EQ(ReadAll(PhotoFolder() + "/Hugo.jpg"), photo);
  EXPECT_TRUE(window.PhotoLoaded());
  EXPECT_EQ(Session().PhotoSlots[0], photo) << "the slot holds the photo as the club serves it";
  EXPECT_FALSE(window.ButtonOKF().isEnabled());
  EXPECT_TRUE(Near(window.Image1().Image().pixelColor(120, 140), kPhotoColour));
}

TEST_F(AccountWindowTest, FailedUploadChangesNothing) {
  CreateMember("Ida", "pass42", "Oslo", "1-035", 'W');
  LogIn("Ida", "pass42");
  services_.FtpAddress =
      ScrambleText("ftp://127.0.0.1:" + std::to_string(testing::FtpServerProcess::FreePort()) + "/",
                   kAccountKey);
  Session().PhotoSlots[0] = "old";
  PersonalInfoWindow window(Parts(), false, nullptr);
  chosen_photo_ = WritePhotoFile("me.jpg", Jpeg(200, 250));
  window.ChoosePhoto();
  window.ButtonOKF().click();
  EXPECT_EQ(notices_, std::vector<std::string>{game_.Text(MsgId::MsgPhotoUploadFailed)});
  EXPECT_EQ(Session().PhotoSlots[0], "old");
  EXPECT_FALSE(window.PhotoLoaded());
  EXPECT_TRUE(window.ButtonOKF().isEnabled()) << "the member may try again";
}

}  // namespace
}  // namespace braxo
