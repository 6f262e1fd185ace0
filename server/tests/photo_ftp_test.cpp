// The photo upload end to end: the real braxo-club, the packaged FTP daemon
// (pure-ftpd) with its external authentication (pure-authd) and upload hook
// (pure-uploadscript) running deploy/ftp's scripts, a member uploading in
// passive mode with libcurl, and the photo address serving the result.
// pure-uploadscript runs only as root and listens on one fixed pipe per
// machine, so this test needs root and runs alone.
#include <curl/curl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "ClusterKit.h"
#include "PhotoKit.h"
#include "club/FormBody.h"

namespace braxo::club {
namespace {

namespace fs = std::filesystem;
using braxo::testing::ClubServerProcess;
using test::ChildProcess;
using test::LoopbackClient;
using test::MakeJpeg;

// One passive-mode upload, as the game makes it.
CURLcode Upload(int port, const std::string& user, const std::string& password,
                const std::string& remote, const std::string& data, bool create_dirs = false) {
  CURL* curl = curl_easy_init();
  const std::string url = "ftp://127.0.0.1:" + std::to_string(port) + "/" + remote;
  struct Source {
    const std::string* data;
    size_t at = 0;
  } source{&data};
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_USERNAME, user.c_str());
  curl_easy_setopt(curl, CURLOPT_PASSWORD, password.c_str());
  curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(curl, CURLOPT_FTP_USE_EPSV, 0L);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 15L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
  if (create_dirs) curl_easy_setopt(curl, CURLOPT_FTP_CREATE_MISSING_DIRS, CURLFTP_CREATE_DIR);
  curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(data.size()));
  curl_easy_setopt(curl, CURLOPT_READDATA, &source);
  curl_easy_setopt(
      curl, CURLOPT_READFUNCTION, +[](char* buffer, size_t size, size_t n, void* in) -> size_t {
        auto* s = static_cast<Source*>(in);
        const size_t part = std::min(size * n, s->data->size() - s->at);
        std::memcpy(buffer, s->data->data() + s->at, part);
        s->at += part;
        return part;
      });
  const CURLcode rc = curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  return rc;
}

class PhotoFtpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(geteuid(), 0u) << "pure-uploadscript, the FTP daemon's upload hook, runs only as "
                                "root: run this test as root (the test command in CI does)";
    // The daemon runs each member's session as the spool folder's owner.
    fs::create_directories(spool_);
    ASSERT_EQ(chown(spool_.c_str(), 65534, 65534), 0);
    chmod(folder_.path().c_str(), 0755);
    const std::string config = folder_.path() + "/club.conf";
    std::ofstream(config) << "photo_dir = " << photos_.string() << "\n"
                          << "ftp_spool_dir = " << spool_.string() << "\n"
                          << "limit.failed_logins = 100/60\n";
    club_ = std::make_unique<ClubServerProcess>(
        std::vector<std::string>{"--database", database_, "--config", config});
    LoopbackClient web(club_->Port());
    ASSERT_EQ(web.Post("/account", test::CreateAccountBody("Player")).body, "ok");
    LoopbackClient other(club_->Port());
    ASSERT_EQ(other.Post("/account", test::CreateAccountBody("Other")).body, "ok");

    const std::vector<std::string> env = {"BRAXO_CLUB_BIN=" BRAXO_CLUB_SERVER_BINARY,
                                          "BRAXO_CLUB_DATABASE=" + database_,
                                          "BRAXO_CLUB_CONFIG=" + config};
    const std::string socket = folder_.path() + "/auth.sock";
    const std::string log = folder_.path() + "/ftp.log";
    authd_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"pure-authd", "-s", socket, "-r",
                                 BRAXO_DEPLOY_DIR "/ftp/braxo-ftp-auth"},
        env, log);
    upload_hook_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"pure-uploadscript", "-r",
                                 BRAXO_DEPLOY_DIR "/ftp/braxo-ftp-upload"},
        env, log);
    port_ = test::FreePort();
    const int passive = test::FreePort();
    ftpd_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"pure-ftpd", "-S", "127.0.0.1," + std::to_string(port_), "-l",
                                 "extauth:" + socket, "-o", "-E", "-A", "-H", "-p",
                                 std::to_string(passive) + ":" + std::to_string(passive + 20), "-g",
                                 folder_.path() + "/ftpd.pid"},
        std::vector<std::string>{}, log);
    // Ready when a login is answered (refused: no such member).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Upload(port_, "nobody", "x", "x.jpg", "x") == CURLE_COULDNT_CONNECT &&
           std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }

  // The hook runs after the daemon has answered the upload: wait until the
  // member's folder holds no file any more.
  void WaitForTheHook() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      bool files = false;
      std::error_code ec;
      for (auto it = fs::recursive_directory_iterator(spool_, ec);
           !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        files = files || it->is_regular_file();
      if (!files) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ADD_FAILURE() << "the upload hook left a file:\n"
                  << test::ReadFile(folder_.path() + "/ftp.log");
  }

  std::string Photo(const std::string& nick) {
    LoopbackClient web(club_->Port());
    const test::Reply r = web.Get("/photos/" + nick + ".jpg");
    return r.status == 200 ? r.body : "";
  }

  test::TempFolder folder_;
  fs::path spool_ = fs::path(folder_.path()) / "spool";
  fs::path photos_ = fs::path(folder_.path()) / "photos";
  std::string database_ = "sqlite:" + folder_.path() + "/club.db";
  std::unique_ptr<ClubServerProcess> club_;
  std::unique_ptr<ChildProcess> authd_;
  std::unique_ptr<ChildProcess> upload_hook_;
  std::unique_ptr<ChildProcess> ftpd_;
  int port_ = 0;
};

TEST_F(PhotoFtpTest, AMemberStoresOnlyTheirOwnPhoto) {
  const std::string photo = MakeJpeg(200, 250);
  ASSERT_EQ(Upload(port_, "Player", "secret1", "Player.jpg", photo), CURLE_OK);
  WaitForTheHook();
  EXPECT_EQ(Photo("Player"), photo);

  struct Case {
    const char* what;
    const char* password;
    const char* remote;
    std::string data;
    bool create_dirs = false;
  };
  const Case refused[] = {
      {"another member's name", "secret1", "Other.jpg", MakeJpeg(200, 250, true)},
      {"not a JPEG", "secret1", "Player.jpg", "GIF89a, not a photo"},
      {"a wrong size", "secret1", "Player.jpg", MakeJpeg(250, 200)},
      {"a wrong password", "wrong1", "Player.jpg", MakeJpeg(200, 250, true)},
      {"a path with /", "secret1", "sub/Player.jpg", MakeJpeg(200, 250, true), true},
      {"a path with ..", "secret1", "../Other/Other.jpg", MakeJpeg(200, 250, true), true},
  };
  for (const Case& c : refused) {
    const CURLcode rc = Upload(port_, "Player", c.password, c.remote, c.data, c.create_dirs);
    if (std::string(c.password) == "wrong1") {
      EXPECT_EQ(rc, CURLE_LOGIN_DENIED) << c.what;
    }
    WaitForTheHook();
    EXPECT_EQ(Photo("Player"), photo) << c.what;
    EXPECT_EQ(Photo("Other"), "") << c.what;
  }
  // The other member's own upload is theirs alone.
  const std::string theirs = MakeJpeg(200, 250, true);
  ASSERT_EQ(Upload(port_, "Other", "secret1", "Other.jpg", theirs), CURLE_OK);
  WaitForTheHook();
  EXPECT_EQ(Photo("Other"), theirs);
  EXPECT_EQ(Photo("Player"), photo);
}

}  // namespace
}  // namespace braxo::club
