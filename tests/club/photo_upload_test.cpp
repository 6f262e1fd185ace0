#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "FtpServerProcess.h"
#include "club/PhotoUpload.h"
#include "club/Scramble.h"

namespace braxo {
namespace {

std::string Encoded(int width, int height, const char* format, int quality = 90) {
  QImage picture(width, height, QImage::Format_RGB32);
  picture.fill(QColor(30, 120, 200));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, format, quality);
  return bytes.toStdString();
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(PhotoUpload, OnlyAJpegOfExactly200By250In200KiBIsAPhoto) {
  // A real photo with a long tail after its end marker: decodable, too large.
  const std::string noisy_large = Encoded(200, 250, "JPG") + std::string(kMaxPhotoFileBytes, '\0');
  ASSERT_GT(noisy_large.size(), kMaxPhotoFileBytes);
  struct Case {
    const char* what;
    std::string bytes;
    PhotoCheck expected;
  };
  const Case cases[] = {
      {"200 x 250 JPEG", Encoded(200, 250, "JPG"), PhotoCheck::kOk},
      {"201 x 250 JPEG", Encoded(201, 250, "JPG"), PhotoCheck::kWrongSize},
      {"200 x 249 JPEG", Encoded(200, 249, "JPG"), PhotoCheck::kWrongSize},
      {"250 x 200 JPEG", Encoded(250, 200, "JPG"), PhotoCheck::kWrongSize},
      {"200 x 250 PNG", Encoded(200, 250, "PNG"), PhotoCheck::kNotJpeg},
      {"empty", "", PhotoCheck::kNotJpeg},
      {"JPEG head only", Encoded(200, 250, "JPG").substr(0, 40), PhotoCheck::kNotJpeg},
      {"over 200 KiB", noisy_large, PhotoCheck::kTooLarge},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckPhotoBytes(c.bytes), c.expected) << c.what;
}

TEST(PhotoUpload, FileIsReadOnceAndCheckedAsRead) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("me.jpg").toStdString();
  std::string bytes;
  EXPECT_EQ(ReadPhotoFile(path, bytes), PhotoCheck::kUnreadable);
  const std::string photo = Encoded(200, 250, "JPG");
  std::ofstream(path, std::ios::binary) << photo;
  EXPECT_EQ(ReadPhotoFile(path, bytes), PhotoCheck::kOk);
  EXPECT_EQ(bytes, photo);
  EXPECT_EQ(ReadPhotoFile(dir.path().toStdString(), bytes), PhotoCheck::kUnreadable)
      << "a folder is no photo";
}

TEST(PhotoUpload, FolderComesFromThePageOrTheClubsHost) {
  ClubServiceState services;
  services.account_address = ScrambleText("http://127.0.0.5:8676/account", kAccountKey);
  EXPECT_EQ(PhotoFtpFolder(services), "ftp://127.0.0.5:2121/");
  services.ftp_address = ScrambleText("ftp://127.0.0.9:21/photos/", kAccountKey);
  EXPECT_EQ(PhotoFtpFolder(services), "ftp://127.0.0.9:21/photos/");
  // Only an FTP address from the page is taken.
  services.ftp_address = ScrambleText("file:///tmp/", kAccountKey);
  EXPECT_EQ(PhotoFtpFolder(services), "ftp://127.0.0.5:2121/");
  EXPECT_EQ(PhotoUploadAddress("ftp://127.0.0.9:21/photos/", "Ann Lee"),
            "ftp://127.0.0.9:21/photos/Ann%20Lee.jpg");
}

TEST(PhotoUpload, SilentServerIsGivenUpWithinTheLimit) {
  // Accepts connections (the kernel completes them) but never says a word:
  // the wait for its greeting counts against the limits.
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 4), 0);
  ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
  const std::string url = "ftp://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/Ann.jpg";

  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(UploadPhoto(url, "Ann", "secret1", Encoded(200, 250, "JPG"),
                           {std::chrono::milliseconds(300), std::chrono::milliseconds(800)}));
  const auto spent = std::chrono::steady_clock::now() - start;
  EXPECT_LT(spent, std::chrono::seconds(3));
  close(listener);
}

class PhotoUploadServer : public ::testing::Test {
 protected:
  PhotoUploadServer() : server_(dir_.path().toStdString(), "Ann", "secret1") {}
  std::string Landed(const std::string& name) const {
    return ReadAll((std::filesystem::path(dir_.path().toStdString()) / name).string());
  }
  bool Exists(const std::string& name) const {
    return std::filesystem::exists(std::filesystem::path(dir_.path().toStdString()) / name);
  }

  QTemporaryDir dir_;
  testing::FtpServerProcess server_;
};

TEST_F(PhotoUploadServer, PhotoLandsUnderTheMembersNameAsTheMember) {
  const std::string photo = Encoded(200, 250, "JPG");
  ASSERT_TRUE(UploadPhoto(PhotoUploadAddress(server_.FolderUrl(), "Ann"), "Ann", "secret1", photo));
  EXPECT_EQ(Landed("Ann.jpg"), photo);
  // A second upload replaces the first.
  const std::string second = Encoded(200, 250, "JPG", 40);
  ASSERT_NE(second, photo);
  ASSERT_TRUE(
      UploadPhoto(PhotoUploadAddress(server_.FolderUrl(), "Ann"), "Ann", "secret1", second));
  EXPECT_EQ(Landed("Ann.jpg"), second);
}

TEST_F(PhotoUploadServer, RefusedLoginOrServerStoresNothing) {
  const std::string photo = Encoded(200, 250, "JPG");
  const std::string address = PhotoUploadAddress(server_.FolderUrl(), "Ann");
  EXPECT_FALSE(UploadPhoto(address, "Ann", "wrong", photo));
  EXPECT_FALSE(UploadPhoto(address, "Bob", "secret1", photo));
  EXPECT_FALSE(Exists("Ann.jpg"));
  EXPECT_FALSE(UploadPhoto("http://127.0.0.1:" + std::to_string(server_.Port()) + "/Ann.jpg", "Ann",
                           "secret1", photo))
      << "only FTP addresses are used";
  const auto start = std::chrono::steady_clock::now();
  const std::string nobody =
      "ftp://127.0.0.1:" + std::to_string(testing::FtpServerProcess::FreePort()) + "/Ann.jpg";
  EXPECT_FALSE(UploadPhoto(nobody, "Ann", "secret1", photo));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_FALSE(Exists("Ann.jpg"));
}

// The flag a closed window sets: an upload asked to stop stores nothing and
// counts as failed; one whose flag stays down goes through.
TEST_F(PhotoUploadServer, AnUploadAskedToStopStoresNothing) {
  const std::string photo = Encoded(200, 250, "JPG");
  const std::string address = PhotoUploadAddress(server_.FolderUrl(), "Ann");
  const std::atomic<bool> stop{true};
  EXPECT_FALSE(UploadPhoto(address, "Ann", "secret1", photo, FtpLimits{}, &stop));
  EXPECT_FALSE(Exists("Ann.jpg"));
  const std::atomic<bool> go_on{false};
  EXPECT_TRUE(UploadPhoto(address, "Ann", "secret1", photo, FtpLimits{}, &go_on));
  EXPECT_EQ(Landed("Ann.jpg"), photo);
}

}  // namespace
}  // namespace braxo
