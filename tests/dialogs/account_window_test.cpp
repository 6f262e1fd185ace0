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
#include <QToolTip>
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
#include "dialogs/ClubWindowShared.h"
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
  std::function<AccountState(AccountWindowPurpose purpose, bool game_in_progress)> account_window;
  std::function<bool()> register_rated;
  std::optional<AccountState> ShowAccountWindow(AccountWindowPurpose purpose,
                                                bool game_in_progress) override {
    if (!account_window) return std::nullopt;
    return account_window(purpose, game_in_progress);
  }
  // The registration waits for FinishRegistration, as for the club's reply.
  void RegisterRatedGame(std::function<void(bool)> done) override {
    registration = std::move(done);
  }
  void FinishRegistration() {
    ASSERT_TRUE(registration) << "no registration under way";
    std::function<void(bool)> done = std::move(registration);
    registration = nullptr;
    done(register_rated ? register_rated() : false);
  }
  std::function<void(bool)> registration;
};

class AccountWindowTest : public ::testing::Test {
 protected:
  AccountWindowTest()
      : random_(7),
        game_(ports_.Ports(), random_, {"", ""}),
        access_(client_, services_, settings_),
        user_file_(dir_.filePath("KezUser.kez").toStdString()),
        account_(access_, game_.Session(), user_file_) {
    services_.account_address = ScrambleText(server_.BaseUrl() + "account", kAccountKey);
    services_.photo_address = ScrambleText(server_.BaseUrl() + "photos/", kAccountKey);
  }

  ClubSession& Session() { return game_.Session(); }
  void ResetSession() {
    Session().current_user = {};
    Session().current_game = {};
    Session().account_state = AccountState::kNobody;
    Session().rated_game_open = false;
  }
  std::string PhotoFolder() const { return server_.DataDir() + "/photos"; }

  ClubWindowParts Parts() {
    return {ports_.language,
            account_,
            pictures_,
            [this](const Notice& notice) {
              notices_.push_back(notice.message);
              if (when_notice_) when_notice_();
            },
            [this](const QUrl& url) {
              opened_.push_back(url);
              return true;
            },
            [this](QWidget*) { return chosen_photo_; }};
  }
  std::unique_ptr<AccountWindow> OpenWindow(
      AccountWindowPurpose purpose = AccountWindowPurpose::kAccountIcon,
      bool game_in_progress = false) {
    auto window = std::make_unique<AccountWindow>(Parts(), purpose, game_in_progress, nullptr);
    window->show();
    WaitForClub(*window);
    return window;
  }
  // Runs the event loop until the window's club reads are in.
  static void WaitForClub(const AccountWindow& window) {
    EXPECT_TRUE(QTest::qWaitFor([&window] { return !window.ReadingClub(); }, 10000));
  }

  void CreateMember(const std::string& nick, const std::string& pw, const std::string& city,
                    const std::string& country, char sex) {
    MemberAccount user;
    user.nick = nick;
    user.password = pw;
    user.scrambled_password = ScramblePassword(pw);
    user.city = city;
    user.country_code = country;
    user.country_name = std::string(CountryCode::Parse(country)->Info().server_name);
    user.sex = sex;
    user.email = nick + "@example.org";
    user.registered_on = "01.02.2026";
    user.reserved_r01 = user.reserved_r02 = user.reserved_r03 = "xxx";
    ASSERT_EQ(access_.CreateAccount(user), 0) << nick;
  }
  // Plays one rated game of `score` for a member, as the flow does.
  void GiveRating(const std::string& nick, const std::string& pw, int score) {
    ClubSession session;
    const LoginReply login = access_.LoginAccount(nick, pw);
    ASSERT_TRUE(login.ok);
    session.current_user = login.user;
    session.current_user.password = pw;
    session.account_state = AccountState::kRated;
    ASSERT_TRUE(access_.RegisterRatedGame(session));
    ASSERT_EQ(access_.SaveRatedResult(session, score), RatedSave::kSaved);
  }
  void LogIn(const std::string& nick, const std::string& pw) {
    const LoginReply login = access_.LoginAccount(nick, pw);
    ASSERT_TRUE(login.ok);
    Session().current_user = login.user;
    Session().current_user.password = pw;
    Session().current_user.scrambled_password = ScramblePassword(pw);
    Session().account_state = AccountState::kLoggedIn;
  }
  QString WritePhotoFile(const std::string& name, const std::string& bytes) {
    const QString path = dir_.filePath(QString::fromStdString(name));
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
    return path;
  }
  // The upload runs on a worker thread; its outcome comes from the event loop.
  static bool UploadEnded(const PersonalInfoWindow& window) {
    return QTest::qWaitFor([&window] { return !window.UploadingPhoto(); }, 30000);
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
  AccountWorkflow account_;
  std::vector<std::string> notices_;
  // Runs while a notice is up, to see the window the notice covers.
  std::function<void()> when_notice_;
  std::vector<QUrl> opened_;
  QString chosen_photo_;
};

TEST_F(AccountWindowTest, AccountIsCreatedFromTheWindowsFields) {
  auto window = OpenWindow();
  EXPECT_EQ(window->RegistrationField().text(), "00.00.0000");
  EXPECT_EQ(QFontInfo(window->NickField().font()).family(), "Comic Neue");
  EXPECT_TRUE(QFontInfo(window->NickField().font()).bold());
  EXPECT_FALSE(window->CreateAccountButton().isEnabled());
  TypeText(window->NickField(), "Ann_7");
  TypeText(window->PasswordField(), "secret1");
  EXPECT_TRUE(window->HidePasswordSwitch().isChecked());
  EXPECT_EQ(window->PasswordField().displayText(), "#######");
  window->HidePasswordSwitch().click();
  EXPECT_EQ(window->PasswordField().displayText(), "secret1");
  TypeText(window->CityField(), "Oslo");
  EXPECT_FALSE(window->CreateAccountButton().isEnabled()) << "no e-mail yet";
  TypeText(window->EmailField(), "ann@example.org");
  window->Countries().SetCode("1-035");  // shown: Norway; the choice below is the player's
  window->Countries().CountryBox().setCurrentIndex(34);
  QTest::keyClick(&window->Countries().CountryBox(), Qt::Key_Down);
  window->SexBox().setCurrentIndex(0);
  QTest::keyClick(&window->SexBox(), Qt::Key_Down);
  EXPECT_EQ(window->CountryNameField().text(), "Norway");
  ASSERT_TRUE(window->CreateAccountButton().isEnabled());

  window->CreateAccountButton().click();
  ASSERT_EQ(notices_, std::vector<std::string>{game_.Text(MsgId::MsgAccountCreated)});
  EXPECT_EQ(Session().account_state, AccountState::kLoggedIn);
  EXPECT_EQ(Session().current_user.nick, "Ann_7");
  EXPECT_EQ(window->LoginOrSignOutButton().text().toStdString(), game_.Text(MsgId::MsgSignOut));
  EXPECT_FALSE(window->NickField().isEnabled());
  EXPECT_EQ(window->ClubData().members_count, 1);
  EXPECT_TRUE(window->ClubData().own_record_read);

  // The club holds what the window's fields said.
  const LoginReply stored = access_.LoginAccount("Ann_7", "secret1");
  ASSERT_TRUE(stored.ok);
  EXPECT_EQ(stored.user.city, "Oslo");
  EXPECT_EQ(stored.user.email, "ann@example.org");
  EXPECT_EQ(stored.user.country_code, "1-035");
  EXPECT_EQ(stored.user.country_name, "Norway");
  EXPECT_EQ(stored.user.sex, 'W');
  EXPECT_EQ(stored.user.registered_on, QDate::currentDate().toString("dd.MM.yyyy").toStdString());

  // The same nick again: refused, nobody logged in, no registration date.
  window.reset();
  ResetSession();
  notices_.clear();
  window = OpenWindow();
  TypeText(window->NickField(), "Ann_7");
  TypeText(window->PasswordField(), "other12");
  TypeText(window->CityField(), "Rome");
  TypeText(window->EmailField(), "x@example.org");
  window->CreateAccountButton().click();
  EXPECT_EQ(notices_, std::vector<std::string>{game_.Text(MsgId::MsgNickTaken)});
  EXPECT_EQ(Session().account_state, AccountState::kNobody);
  EXPECT_EQ(Session().current_user.registered_on, "00.00.0000");
}

// The notice after a creation or a login covers the window: what the window
// shows under it is already the state the club gave, and the one button the
// new member then presses signs out and logs in again at the first click.
TEST_F(AccountWindowTest, NewMemberSeesTheClubsStateUnderTheNoticeAndLogsInAtOnce) {
  auto window = OpenWindow();
  TypeText(window->NickField(), "Nora");
  TypeText(window->PasswordField(), "secret1");
  TypeText(window->CityField(), "Oslo");
  TypeText(window->EmailField(), "nora@example.org");
  std::string button_under_notice;
  std::string star_under_notice;
  bool nick_editable_under_notice = true;
  when_notice_ = [&] {
    button_under_notice = window->LoginOrSignOutButton().text().toStdString();
    star_under_notice = window->StarName().toStdString();
    nick_editable_under_notice = window->NickField().isEnabled();
  };
  window->CreateAccountButton().click();
  ASSERT_EQ(notices_, std::vector<std::string>{game_.Text(MsgId::MsgAccountCreated)});
  EXPECT_EQ(button_under_notice, game_.Text(MsgId::MsgSignOut));
  EXPECT_EQ(star_under_notice, "StarY0");
  EXPECT_FALSE(nick_editable_under_notice);

  window->LoginOrSignOutButton().click();
  ASSERT_EQ(Session().account_state, AccountState::kNobody);
  window->LoginOrSignOutButton().click();
  EXPECT_EQ(Session().account_state, AccountState::kLoggedIn);
  EXPECT_EQ(window->LoginOrSignOutButton().text().toStdString(), game_.Text(MsgId::MsgSignOut));
  EXPECT_EQ(window->StarName(), "StarY0");
  EXPECT_EQ(notices_.size(), 1U) << "no login failure";

  // A refused login: the window under its notice shows nobody logged in.
  window->LoginOrSignOutButton().click();
  window->PasswordField().clear();
  TypeText(window->PasswordField(), "wrong12");
  window->LoginOrSignOutButton().click();
  EXPECT_EQ(notices_.back(), game_.Text(MsgId::MsgLoginFailed));
  EXPECT_EQ(button_under_notice, game_.Text(MsgId::MsgLoginToAccount));
  EXPECT_EQ(star_under_notice, "StarR0");
  EXPECT_TRUE(nick_editable_under_notice);
}

// The longest nick and password the club accepts are typed whole and make an
// account the club logs in; a key or a paste past a field's limit is refused
// with the limit said at the field, never cut without a word.
TEST_F(AccountWindowTest, FieldsTakeWhatTheClubAcceptsAndSayTheirLimit) {
  auto window = OpenWindow();
  struct Case {
    QLineEdit* field;
    QString longest;
  };
  // clang-format off
  const Case cases[] = {
      {&window->NickField(),     "Twelve_Chars"},
      {&window->PasswordField(), "pw3456789012"},
      {&window->CityField(),     "Fifteen-Letters"},
      {&window->EmailField(),    "a-thirty-character@example.org"},
  };
  // clang-format on
  const int language = ports_.language.Index();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.longest.toStdString());
    const QString limit = LengthLimitText(static_cast<int>(c.longest.size()), language);
    EXPECT_EQ(c.field->toolTip(), limit);
    TypeText(*c.field, c.longest);
    ASSERT_EQ(c.field->text(), c.longest);
    QToolTip::hideText();
    TypeText(*c.field, "x");
    EXPECT_EQ(c.field->text(), c.longest);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), limit);
    // A paste that would run past the limit is said as well.
    QToolTip::hideText();
    c.field->setSelection(0, 2);
    QApplication::clipboard()->setText("abcd");
    QTest::keyClick(c.field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(QToolTip::text(), limit);
    EXPECT_TRUE(QToolTip::isVisible());
    c.field->setText(c.longest);
    c.field->textEdited(c.longest);
  }
  window->CreateAccountButton().click();
  ASSERT_EQ(notices_, std::vector<std::string>{game_.Text(MsgId::MsgAccountCreated)});
  EXPECT_TRUE(access_.LoginAccount("Twelve_Chars", "pw3456789012").ok);
}

TEST_F(AccountWindowTest, LoginSaveDeleteAndSignOut) {
  CreateMember("Bob", "pass42", "Bergen", "1-035", 'M');
  auto window = OpenWindow();
  TypeText(window->NickField(), "Bob");
  TypeText(window->PasswordField(), "wrong1");
  window->LoginOrSignOutButton().click();
  EXPECT_EQ(notices_, std::vector<std::string>{game_.Text(MsgId::MsgLoginFailed)});
  EXPECT_EQ(Session().account_state, AccountState::kNobody);

  window->PasswordField().clear();
  TypeText(window->PasswordField(), "pass42");
  window->LoginOrSignOutButton().click();
  ASSERT_EQ(Session().account_state, AccountState::kLoggedIn);
  EXPECT_EQ(Session().current_user.city, "Bergen");
  EXPECT_EQ(window->CityField().text(), "Bergen");
  EXPECT_EQ(window->CountryNameField().text(), "Norway");
  EXPECT_EQ(window->RegistrationField().text(), "01.02.2026");
  EXPECT_FALSE(window->RatedGameSwitch().isEnabled())
      << "the rating switch is for the pre-game check";

  // Save writes the user file with the scrambled password, Delete removes it.
  ASSERT_TRUE(window->SaveUserFileButton().isEnabled());
  EXPECT_FALSE(window->DeleteUserFileButton().isEnabled());
  window->SaveUserFileButton().click();
  const auto file = ReadUserFile(user_file_);
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(file->nick, "Bob");
  EXPECT_EQ(file->scrambled_password, ScramblePassword("pass42"));
  EXPECT_EQ(ReadAll(user_file_).find("pass42"), std::string::npos);
  EXPECT_TRUE(Session().user_file_saved);
  EXPECT_FALSE(window->SaveUserFileButton().isEnabled());
  EXPECT_TRUE(window->DeleteUserFileButton().isEnabled());
  window->DeleteUserFileButton().click();
  EXPECT_FALSE(std::filesystem::exists(user_file_));
  EXPECT_FALSE(Session().user_file_saved);
  EXPECT_TRUE(window->SaveUserFileButton().isEnabled());
  EXPECT_FALSE(window->DeleteUserFileButton().isEnabled());
  // Deleting a file that is not there still leaves Save enabled.
  window->DeleteUserFileButton().setEnabled(true);
  window->DeleteUserFileButton().click();
  EXPECT_TRUE(window->SaveUserFileButton().isEnabled());

  // Sign out keeps the nick and password for the next login.
  window->LoginOrSignOutButton().click();
  EXPECT_EQ(Session().account_state, AccountState::kNobody);
  EXPECT_EQ(window->NickField().text(), "Bob");
  EXPECT_TRUE(window->NickField().isEnabled());
  EXPECT_EQ(window->LoginOrSignOutButton().text().toStdString(),
            game_.Text(MsgId::MsgLoginToAccount));
  EXPECT_EQ(window->StarName(), "StarR0");
  window->LoginOrSignOutButton().click();
  EXPECT_EQ(Session().account_state, AccountState::kLoggedIn);
  EXPECT_EQ(window->StarName(), "StarY0");
}

TEST_F(AccountWindowTest, FieldLampsFollowEachKindsRule) {
  struct Case {
    QLineEdit& (AccountWindow::*box)();
    QString typed;
    const char* lamp;
    QPoint at;
  };
  const QPoint nick(180, 91), city(410, 91), password(180, 165), email(410, 165);
  const Case cases[] = {
      {&AccountWindow::NickField, "Ann", "LampG24", nick},
      {&AccountWindow::NickField, "A", "LampR24", nick},
      {&AccountWindow::NickField, QString::fromUtf8("Анна"), "LampR24",
       nick},  // accepted as typed, but red
      {&AccountWindow::CityField, "Oslo", "LampG24", city},
      {&AccountWindow::CityField, QString::fromUtf8("Москва"), "LampY24", city},
      {&AccountWindow::CityField, "O", "LampR24", city},
      {&AccountWindow::PasswordField, "abc", "LampR24", password},
      {&AccountWindow::PasswordField, "abcd", "LampG24", password},
      {&AccountWindow::PasswordField, QString::fromUtf8("abcdЖ"), "LampG24",
       password},  // the Cyrillic letter is refused
      {&AccountWindow::EmailField, "a@bc", "LampG24", email},
      {&AccountWindow::EmailField, "abc", "LampR24", email},
      {&AccountWindow::EmailField, "@abc", "LampR24", email},
      {&AccountWindow::EmailField, "abc@", "LampR24", email},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    ResetSession();
    auto window = OpenWindow();
    TypeText(((*window).*c.box)(), c.typed);
    EXPECT_EQ(LampAt(*window, c.at.x(), c.at.y()), c.lamp);
  }
  // The typed-character rule per box: Cyrillic passes into the nick and the
  // city, never into the password or the e-mail.
  auto window = OpenWindow();
  for (QLineEdit* box : {&window->NickField(), &window->PasswordField(), &window->CityField(),
                         &window->EmailField()})
    TypeText(*box, QString::fromUtf8("Жx"));
  EXPECT_EQ(window->NickField().text(), QString::fromUtf8("Жx"));
  EXPECT_EQ(window->CityField().text(), QString::fromUtf8("Жx"));
  EXPECT_EQ(window->PasswordField().text(), "x");
  EXPECT_EQ(window->EmailField().text(), "x");
  // A space is not let into any of them.
  TypeText(window->NickField(), " y");
  EXPECT_EQ(window->NickField().text(), QString::fromUtf8("Жxy"));
}

TEST_F(AccountWindowTest, EditsEnableSaveOnlyAfterTheMouseMovedOverThePage) {
  auto window = OpenWindow();
  TypeText(window->NickField(), "Jo_1");
  EXPECT_FALSE(window->SaveUserFileButton().isEnabled());
  dialogs_test::SendMouse(window->PageImage(kPageAccount), QEvent::MouseMove, QPoint(300, 300));
  TypeText(window->CityField(), "Oslo");
  EXPECT_FALSE(window->SaveUserFileButton().isEnabled()) << "the city is not part of the user file";
  TypeText(window->PasswordField(), "abcd");
  EXPECT_TRUE(window->SaveUserFileButton().isEnabled());
}

TEST_F(AccountWindowTest, PreGameRatingSwitchDecidesWhetherTheNextGameIsRated) {
  CreateMember("Cleo", "pass42", "Nice", "1-015", 'W');
  LogIn("Cleo", "pass42");
  ports_.register_rated = [this] { return access_.RegisterRatedGame(Session()); };
  int opened = 0;
  bool tick = true;
  std::optional<AccountWindowPurpose> purpose_seen;
  ports_.account_window = [&](AccountWindowPurpose purpose, bool game_in_progress) {
    ++opened;
    purpose_seen = purpose;
    AccountWindow window(Parts(), purpose, game_in_progress, nullptr);
    WhenModalOpens([&](QWidget&) {
      EXPECT_TRUE(window.RatedGameSwitch().isEnabled());
      if (window.RatedGameSwitch().isChecked() != tick) window.RatedGameSwitch().click();
      window.OkButton().click();
    });
    return window.Execute();
  };
  game_.Start();             // the title screen
  game_.LeaveTitleScreen();  // the first game starts without the check
  ASSERT_EQ(opened, 0);

  game_.StartNormalGame();
  EXPECT_TRUE(game_.WaitingForClub());
  ports_.FinishRegistration();
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(purpose_seen, AccountWindowPurpose::kPreGameCheck);
  EXPECT_EQ(Session().account_state, AccountState::kRated);
  EXPECT_TRUE(Session().rated_game_open);
  GameRecordReply record = access_.ReadGameRecord("Cleo", "pass42");
  ASSERT_TRUE(record.ok);
  EXPECT_EQ(record.record.rated_games, 1) << "the club counted the rated game";

  tick = false;
  // The rated game ended (the flow closes it with the result).
  Session().rated_game_open = false;
  game_.StartNormalGame();
  EXPECT_EQ(opened, 2);
  EXPECT_EQ(Session().account_state, AccountState::kLoggedIn);
  EXPECT_FALSE(Session().rated_game_open);
  record = access_.ReadGameRecord("Cleo", "pass42");
  EXPECT_EQ(record.record.rated_games, 1) << "an unrated game is not counted";
}

TEST_F(AccountWindowTest, PagesShowTheClubsDataWithTheBestRatedMemberAsChairman) {
  CreateMember("Dora", "pass42", "Oslo", "1-035", 'W');
  CreateMember("Emil", "pass43", "Turku", "1-014", 'M');
  GiveRating("Dora", "pass42", 900);
  GiveRating("Emil", "pass43", 4000);
  PersonalInfo emil;
  emil.first_name = "Emil";
  emil.about = "Plays at night";
  emil.website = "https://emil.example.org/";
  emil.vkontakte = "javascript:alert(1)";
  ASSERT_TRUE(access_.SavePersonalInfo("Emil", emil));
  std::filesystem::create_directories(PhotoFolder());
  std::ofstream(PhotoFolder() + "/Emil.jpg", std::ios::binary) << Jpeg(200, 250);
  LogIn("Dora", "pass42");

  auto window = OpenWindow();
  ASSERT_TRUE(window->ClubData().top_ten.ok);
  EXPECT_EQ(window->ClubData().top_ten.list[0].nick, "Emil");
  EXPECT_EQ(window->ClubData().top_ten.list[1].nick, "Dora");
  EXPECT_TRUE(window->ClubData().top_ten.list[2].nick.empty());
  EXPECT_EQ(window->ClubData().chairman_info.about, "Plays at night");
  EXPECT_TRUE(window->ClubData().own_record_read);
  EXPECT_EQ(Session().current_game.rated_games, 1);
  EXPECT_EQ(Session().current_game.rating_place, 2);
  EXPECT_EQ(window->ClubData().members_count, 2);

  // Top ten: Emil's flag (Finland) on the first row.
  window->PageTabs().setCurrentIndex(kPageTopTen);
  const QImage& flag = pictures_.LoadPngResource("Country1014");
  EXPECT_EQ(window->PageImage(kPageTopTen).Image().pixelColor(268 + 7, 100 + 6),
            flag.pixelColor(7, 6));

  // The chairman's photo from the club, and Dora's placeholder on "About me".
  window->PageTabs().setCurrentIndex(kPageChairman);
  EXPECT_TRUE(Near(window->PageImage(kPageChairman).Image().pixelColor(130, 160), kPhotoColour));
  window->PageTabs().setCurrentIndex(kPageAboutMe);
  EXPECT_EQ(window->PageImage(kPageAboutMe).Image().pixelColor(130, 150),
            pictures_.LoadPngResource("GAcNoF").pixelColor(100, 100));
  EXPECT_TRUE(window->EditPersonalInfoButton().isEnabled());

  // The chairman's rows: About is copied, the web site opened, a script not.
  window->PageTabs().setCurrentIndex(kPageChairman);
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
  window->PageTabs().setCurrentIndex(kPageTopTen);
  window->RefreshTopTenButton().click();
  WaitForClub(*window);
  EXPECT_FALSE(window->ClubData().top_ten.ok);
}

TEST_F(AccountWindowTest, ChairmansOwnEditsReachTheChairmanPage) {
  CreateMember("Kai", "pass42", "Oslo", "1-035", 'M');
  GiveRating("Kai", "pass42", 3000);
  LogIn("Kai", "pass42");
  auto window = OpenWindow();
  ASSERT_EQ(window->ClubData().top_ten.list[0].nick, "Kai");
  EXPECT_EQ(window->ClubData().chairman_info.about, "");
  window->PageTabs().setCurrentIndex(kPageAboutMe);
  WhenModalOpens([](QWidget& modal) {
    auto& info = dynamic_cast<PersonalInfoWindow&>(modal);
    TypeText(info.InfoField(2), "Chair of the club");
    info.UpdateInfoButton().click();
    ASSERT_TRUE(QTest::qWaitFor([&info] { return !info.SavingInfo(); }, 10000));
  });
  window->EditPersonalInfoButton().click();
  EXPECT_EQ(Session().current_user.personal_info.about, "Chair of the club");
  EXPECT_EQ(window->ClubData().chairman_info.about, "Chair of the club");
}

TEST_F(AccountWindowTest, WhileAGameIsInProgressOnlyTheDataCanBeBrowsed) {
  CreateMember("Finn", "pass42", "Oslo", "1-035", 'M');
  LogIn("Finn", "pass42");
  auto window = OpenWindow(AccountWindowPurpose::kPreGameCheck, /*game_in_progress=*/true);
  for (SkinnedButton* button : {&window->CreateAccountButton(), &window->LoginOrSignOutButton(),
                                &window->SaveUserFileButton(), &window->DeleteUserFileButton()})
    EXPECT_FALSE(button->isEnabled());
  EXPECT_FALSE(window->RatedGameSwitch().isEnabled());
  EXPECT_FALSE(window->Countries().CountryBox().isEnabled());
  EXPECT_TRUE(window->RefreshResultsButton().isEnabled());
  EXPECT_TRUE(window->OkButton().isEnabled());
}

TEST_F(AccountWindowTest, PersonalInformationIsSavedAndReadBack) {
  CreateMember("Gina", "pass42", "Oslo", "1-035", 'W');
  LogIn("Gina", "pass42");
  PersonalInfoWindow window(Parts(), false, nullptr);
  window.show();
  EXPECT_FALSE(window.UpdateInfoButton().isEnabled());
  TypeText(window.InfoField(0), "Gina");
  EXPECT_TRUE(window.UpdateInfoButton().isEnabled());
  TypeText(window.InfoField(2), "cost $5 ~ or so");
  TypeText(window.InfoField(5), "https://gina.example.org");
  window.UpdateInfoButton().click();
  EXPECT_FALSE(window.UpdateInfoButton().isEnabled());
  ASSERT_TRUE(QTest::qWaitFor([&window] { return !window.SavingInfo(); }, 10000));
  EXPECT_FALSE(window.UpdateInfoButton().isEnabled());
  // The boxes show what the club keeps.
  EXPECT_EQ(window.InfoField(2).text(), "cost  5   or so");
  const PersonalInfo stored = access_.ReadPersonalInfo("Gina");
  EXPECT_EQ(stored.first_name, "Gina");
  EXPECT_EQ(stored.about, "cost  5   or so");
  EXPECT_EQ(stored.website, "https://gina.example.org");
  EXPECT_EQ(Session().current_user.personal_info, stored);

  // An edit changed back still counts as a change.
  TypeText(window.InfoField(1), "x");
  QTest::keyClick(&window.InfoField(1), Qt::Key_Backspace);
  EXPECT_TRUE(window.UpdateInfoButton().isEnabled());

  // A window opened later shows the stored texts.
  PersonalInfoWindow again(Parts(), false, nullptr);
  EXPECT_EQ(again.InfoField(2).text(), "cost  5   or so");
  // Without a photo the placeholder of the member's sex.
  EXPECT_EQ(again.PhotoBox().Image().pixelColor(120, 120),
            pictures_.LoadPngResource("GAcNoF").pixelColor(100, 100));
}

TEST_F(AccountWindowTest, PhotoIsUploadedAsTheMemberAndReadBackFromTheClub) {
  CreateMember("Hugo", "pass42", "Oslo", "1-035", 'M');
  LogIn("Hugo", "pass42");
  std::filesystem::create_directories(PhotoFolder());
  testing::FtpServerProcess ftp(PhotoFolder(), "Hugo", "pass42");
  services_.ftp_address = ScrambleText(ftp.FolderUrl(), kAccountKey);
  PersonalInfoWindow window(Parts(), false, nullptr);
  window.show();
  EXPECT_FALSE(window.UploadPhotoButton().isEnabled());

  // Wrong sizes are refused before anything is sent.
  for (const auto& [width, height] : {std::pair{201, 250}, std::pair{200, 249}}) {
    notices_.clear();
    chosen_photo_ = WritePhotoFile("wrong.jpg", Jpeg(width, height));
    window.ChoosePhoto();
    EXPECT_EQ(notices_, std::vector<std::string>{game_.Text(MsgId::MsgPhotoFormat)});
    EXPECT_FALSE(window.UploadPhotoButton().isEnabled());
  }
  EXPECT_FALSE(std::filesystem::exists(PhotoFolder() + "/Hugo.jpg"));

  notices_.clear();
  const std::string photo = Jpeg(200, 250);
  chosen_photo_ = WritePhotoFile("me.jpg", photo);
  dialogs_test::Click(window.PhotoBox(), QPoint(120, 140));  // a click on the photo box
  EXPECT_TRUE(notices_.empty());
  ASSERT_TRUE(window.UploadPhotoButton().isEnabled());
  window.UploadPhotoButton().click();
  ASSERT_TRUE(UploadEnded(window));
  EXPECT_EQ(notices_, std::vector<std::string>{game_.Text(MsgId::MsgPhotoUploaded)});
  EXPECT_EQ(ReadAll(PhotoFolder() + "/Hugo.jpg"), photo);
  EXPECT_TRUE(window.PhotoLoaded());
  EXPECT_EQ(Session().photo_slots[0], photo) << "the slot holds the photo as the club serves it";
  EXPECT_FALSE(window.UploadPhotoButton().isEnabled());
  EXPECT_TRUE(Near(window.PhotoBox().Image().pixelColor(120, 140), kPhotoColour));
}

// The club may not serve an upload yet when the window would read it back:
// the window shows the uploaded picture at once and says the upload worked.
TEST_F(AccountWindowTest, UploadedPhotoIsShownAtOnceEvenBeforeTheClubServesIt) {
  CreateMember("Lena", "pass42", "Oslo", "1-035", 'W');
  LogIn("Lena", "pass42");
  std::filesystem::create_directories(PhotoFolder());
  testing::FtpServerProcess ftp(PhotoFolder(), "Lena", "pass42");
  services_.ftp_address = ScrambleText(ftp.FolderUrl(), kAccountKey);
  services_.photo_address = ScrambleText(server_.BaseUrl() + "not-yet/", kAccountKey);
  PersonalInfoWindow window(Parts(), false, nullptr);
  window.show();
  const std::string photo = Jpeg(200, 250);
  chosen_photo_ = WritePhotoFile("me.jpg", photo);
  window.ChoosePhoto();
  ASSERT_TRUE(window.UploadPhotoButton().isEnabled());
  window.UploadPhotoButton().click();
  ASSERT_TRUE(UploadEnded(window));
  EXPECT_EQ(notices_, std::vector<std::string>{game_.Text(MsgId::MsgPhotoUploaded)});
  EXPECT_TRUE(window.PhotoLoaded());
  EXPECT_EQ(Session().photo_slots[0], photo);
  EXPECT_TRUE(Near(window.PhotoBox().Image().pixelColor(120, 140), kPhotoColour));
}

TEST_F(AccountWindowTest, FailedUploadChangesNothing) {
  CreateMember("Ida", "pass42", "Oslo", "1-035", 'W');
  LogIn("Ida", "pass42");
  services_.ftp_address =
      ScrambleText("ftp://127.0.0.1:" + std::to_string(testing::FtpServerProcess::FreePort()) + "/",
                   kAccountKey);
  Session().photo_slots[0] = "old";
  PersonalInfoWindow window(Parts(), false, nullptr);
  chosen_photo_ = WritePhotoFile("me.jpg", Jpeg(200, 250));
  window.ChoosePhoto();
  window.UploadPhotoButton().click();
  ASSERT_TRUE(UploadEnded(window));
  EXPECT_EQ(notices_, std::vector<std::string>{game_.Text(MsgId::MsgPhotoUploadFailed)});
  EXPECT_EQ(Session().photo_slots[0], "old");
  EXPECT_FALSE(window.PhotoLoaded());
  EXPECT_TRUE(window.UploadPhotoButton().isEnabled()) << "the member may try again";
}

}  // namespace
}  // namespace braxo
