// The personal information window against the real braxo-club behind a
// loopback proxy that adds a round trip, and against a real FTP server: the
// save and the upload never hold the window, a second press sends nothing
// more, a window closed while either runs hears nothing of it, and a save
// never answered ends as a failed one.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ClubServerProcess.h"
#include "DelayingProxy.h"
#include "FtpServerProcess.h"
#include "TestHttpServer.h"
#include "club/AccountWorkflow.h"
#include "club/ClubAccess.h"
#include "club/PhotoUpload.h"
#include "club/Scramble.h"
#include "dialogs/PersonalInfoWindow.h"
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

std::string Jpeg() {
  QImage picture(kPhotoWidth, kPhotoHeight, QImage::Format_RGB32);
  picture.fill(QColor(30, 160, 90));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, "JPG", 95);
  return bytes.toStdString();
}

// The game's account objects for a club at `base_url`, with "Gina" logged in.
struct Member {
  explicit Member(const std::string& base_url, HttpLimits limits = {}) : client(limits) {
    services.account_address = ScrambleText(base_url + "account", kAccountKey);
    ClubSession& session = world.session;
    session.current_user.nick = "Gina";
    session.current_user.password = kPassword;
    session.current_user.sex = 'W';
    session.account_state = AccountState::kLoggedIn;
  }
  ClubWindowParts Parts() {
    ClubWindowParts parts{world.language, account, pictures,
                          [this](const Notice& notice) { notices.push_back(notice.message); }};
    parts.choose_photo = [this](QWidget*) { return chosen_photo; };
    return parts;
  }

  ClubClient client;
  ClubServiceState services;
  Settings settings;
  ClubAccess access{client, services, settings};
  testing::NullPorts world;
  AccountWorkflow account{access, world.session, ""};
  PictureStore pictures;
  std::vector<std::string> notices;
  QString chosen_photo;
};

class PersonalInfoWindowDistantClubTest : public ::testing::Test {
 protected:
  // "Gina" a member logged in, the club behind a proxy adding `round_trip`.
  void SetUpClub(std::chrono::milliseconds round_trip) {
    Member setup(club_.BaseUrl());
    MemberAccount user;
    user.nick = "Gina";
    user.password = kPassword;
    user.city = "Oslo";
    user.country_code = "1-035";
    user.country_name = "Norway";
    user.email = "gina@example.org";
    user.registered_on = "01.02.2026";
    user.reserved_r01 = user.reserved_r02 = user.reserved_r03 = "xxx";
    ASSERT_EQ(setup.access.CreateAccount(user), 0);
    proxy_ = std::make_unique<testing::DelayingProxy>(static_cast<std::uint16_t>(club_.Port()),
                                                      round_trip);
    member_ = std::make_unique<Member>(proxy_->BaseUrl());
    // The club's session cookie, as the account window's login leaves it.
    ASSERT_TRUE(member_->access.LoginAccount("Gina", kPassword).ok);
  }
  std::unique_ptr<PersonalInfoWindow> Open() {
    auto window = std::make_unique<PersonalInfoWindow>(member_->Parts(), false, nullptr);
    window->show();
    return window;
  }
  // The club's log, every line written (the server is restarted for it).
  std::string ClubLog() {
    club_.Restart();
    return ReadAll(club_.DataDir() + "/server.log");
  }

  testing::ClubServerProcess club_;
  std::unique_ptr<testing::DelayingProxy> proxy_;
  std::unique_ptr<Member> member_;
};

TEST_F(PersonalInfoWindowDistantClubTest, TheSaveRunsWhileTheWindowWaitsAndIsSentOnce) {
  ASSERT_NO_FATAL_FAILURE(SetUpClub(300ms));
  const std::string before = ClubLog();
  auto window = Open();
  QTest::keyClicks(&window->InfoField(2), "cost $5");
  ASSERT_TRUE(window->UpdateInfoButton().isEnabled());
  window->UpdateInfoButton().click();
  // Waiting: no second press, no typing that the save would not carry.
  EXPECT_TRUE(window->SavingInfo());
  EXPECT_FALSE(window->UpdateInfoButton().isEnabled());
  EXPECT_TRUE(window->InfoField(2).isReadOnly());
  window->UpdateInfo();
  window->UpdateInfoButton().click();
  ASSERT_TRUE(QTest::qWaitFor([&window] { return !window->SavingInfo(); }, 10000));
  EXPECT_FALSE(window->InfoField(2).isReadOnly());
  EXPECT_FALSE(window->UpdateInfoButton().isEnabled());
  EXPECT_EQ(window->InfoField(2).text(), "cost  5");
  EXPECT_EQ(member_->world.session.current_user.personal_info.about, "cost  5");
  window.reset();
  const std::string log = ClubLog().substr(before.size());
  EXPECT_EQ(Occurrences(log, " info-save "), 1) << log;
}

TEST_F(PersonalInfoWindowDistantClubTest, AWindowClosedWhileItsSaveRunsHearsNoReply) {
  ASSERT_NO_FATAL_FAILURE(SetUpClub(300ms));
  member_->world.session.current_user.personal_info.about = "as read before";
  auto window = Open();
  QTest::keyClicks(&window->InfoField(2), " and typed");
  window->UpdateInfoButton().click();
  ASSERT_TRUE(window->SavingInfo());
  window.reset();
  // Long enough for the save and its read-back to have come back.
  QTest::qWait(1500);
  EXPECT_EQ(member_->world.session.current_user.personal_info.about, "as read before");
}

// A club that takes the save and never answers: a fault the real club cannot
// be made to show.
TEST(PersonalInfoWindowSilentClub, ASaveNeverAnsweredEndsAsAFailedOneWithinTheClientsBound) {
  testing::TestHttpServer silent([](const testing::RecordedRequest&) {
    return testing::Respond(testing::CannedResponse::Mode::kSilent);
  });
  const HttpLimits limits = testing::TestLimits();
  Member member(silent.Url(""), limits);
  member.world.session.current_user.personal_info.about = "as read before";
  PersonalInfoWindow window(member.Parts(), false, nullptr);
  window.show();
  QTest::keyClicks(&window.InfoField(2), " and typed");
  window.UpdateInfoButton().click();
  ASSERT_TRUE(window.SavingInfo());
  EXPECT_TRUE(QTest::qWaitFor([&window] { return !window.SavingInfo(); },
                              static_cast<int>(limits.overall_timeout.count()) + 2000));
  // As a refused save: the texts stay as typed, ready to be sent again.
  EXPECT_TRUE(window.UpdateInfoButton().isEnabled());
  EXPECT_FALSE(window.InfoField(2).isReadOnly());
  EXPECT_EQ(window.InfoField(2).text(), "as read before and typed");
  EXPECT_EQ(member.world.session.current_user.personal_info.about, "as read before");
  EXPECT_TRUE(member.notices.empty());
}

// The upload against a real FTP server: a second press during it sends
// nothing more, and a window closed during it hears nothing of it.
class PersonalInfoWindowUploadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    std::filesystem::create_directories(Folder());
    ftp_ = std::make_unique<testing::FtpServerProcess>(Folder(), "Gina", kPassword);
    member_.services.ftp_address = ScrambleText(ftp_->FolderUrl(), kAccountKey);
    const std::string path = dir_.filePath("me.jpg").toStdString();
    std::ofstream(path, std::ios::binary) << photo_;
    member_.chosen_photo = QString::fromStdString(path);
    member_.world.session.photo_slots[0] = "old";
  }
  std::string Folder() const { return dir_.filePath("photos").toStdString(); }

  QTemporaryDir dir_;
  std::unique_ptr<testing::FtpServerProcess> ftp_;
  // The photos are never read back here: no HTTP club is needed.
  Member member_{"http://127.0.0.1:1/"};
  const std::string photo_ = Jpeg();
};

TEST_F(PersonalInfoWindowUploadTest, ASecondPressDuringTheUploadSendsNothingMore) {
  PersonalInfoWindow window(member_.Parts(), false, nullptr);
  window.show();
  window.ChoosePhoto();
  window.UploadPhotoButton().click();
  EXPECT_TRUE(window.UploadingPhoto());
  EXPECT_FALSE(window.UploadPhotoButton().isEnabled());
  window.UploadChosenPhoto();
  window.ChoosePhoto();  // the photo box takes no new choice meanwhile
  EXPECT_FALSE(window.UploadPhotoButton().isEnabled());
  ASSERT_TRUE(QTest::qWaitFor([&window] { return !window.UploadingPhoto(); }, 30000));
  EXPECT_EQ(member_.notices,
            std::vector<std::string>{member_.world.language.Text(MsgId::MsgPhotoUploaded)});
  EXPECT_EQ(ReadAll(Folder() + "/Gina.jpg"), photo_);
  EXPECT_EQ(member_.world.session.photo_slots[0], photo_);
  EXPECT_TRUE(window.PhotoLoaded());
  EXPECT_FALSE(window.UploadPhotoButton().isEnabled());
}

TEST_F(PersonalInfoWindowUploadTest, AWindowClosedDuringTheUploadHearsNothingOfIt) {
  auto window = std::make_unique<PersonalInfoWindow>(member_.Parts(), false, nullptr);
  window->show();
  window->ChoosePhoto();
  window->UploadPhotoButton().click();
  ASSERT_TRUE(window->UploadingPhoto());
  window.reset();
  // Long enough for the worker to have ended, broken off or not.
  QTest::qWait(2000);
  EXPECT_TRUE(member_.notices.empty());
  EXPECT_EQ(member_.world.session.photo_slots[0], "old");
}

}  // namespace
}  // namespace braxo
