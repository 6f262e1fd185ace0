// The photo upload's checks: the JPEG frame reader and the upload hook's
// decision, on real files in a real folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "PhotoKit.h"
#include "ServerTestKit.h"
#include "service/PhotoAcceptance.h"

namespace braxo::club {
namespace {

namespace fs = std::filesystem;
using test::MakeJpeg;
using test::ReadAll;

void WriteAll(const fs::path& path, const std::string& data) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << data;
}

TEST(ReadJpegSize, ReadsTheFrameOfWholeJpegsOnly) {
  const std::string photo = MakeJpeg(200, 250);
  const auto size = ReadJpegSize(photo);
  ASSERT_TRUE(size);
  EXPECT_EQ(size->width, 200);
  EXPECT_EQ(size->height, 250);
  const auto progressive = ReadJpegSize(MakeJpeg(31, 7, true));
  ASSERT_TRUE(progressive);
  EXPECT_EQ(progressive->width, 31);
  EXPECT_EQ(progressive->height, 7);

  // The frame's position: start marker, then JFIF (APP0), tables, frame.
  const size_t frame = photo.find("\xFF\xC0", 2);
  ASSERT_NE(frame, std::string::npos);
  std::string no_end = photo.substr(0, photo.size() - 2);
  std::string bad_length = photo;
  bad_length[frame + 2] = '\xFF';
  bad_length[frame + 3] = '\xFF';
  std::string zero_width = photo;
  zero_width[frame + 7] = 0;
  zero_width[frame + 8] = 0;
  const std::string scan_first = std::string("\xFF\xD8\xFF\xDA\x00\x02\xFF\xD9", 8);
  const std::string png = "\x89PNG\r\n\x1a\n" + photo.substr(8);
  for (const std::string& bad : {std::string(), std::string("\xFF\xD8\xFF\xD9", 4), no_end,
                                 photo.substr(0, frame + 5) + "\xFF\xD9", bad_length, zero_width,
                                 scan_first, png, std::string(1000, '\xFF')})
    EXPECT_FALSE(ReadJpegSize(bad)) << bad.size();
}

class AcceptPhotoTest : public ::testing::Test {
 protected:
  test::TempFolder folder_;
  fs::path spool_ = fs::path(folder_.path()) / "spool";
  fs::path photos_ = fs::path(folder_.path()) / "photos";

  PhotoVerdict Upload(const std::string& relative, const std::string& data) {
    const fs::path path = spool_ / relative;
    WriteAll(path, data);
    const PhotoVerdict verdict = AcceptPhoto(path.string(), spool_.string(), photos_.string());
    EXPECT_FALSE(fs::exists(path)) << "the upload stays: " << relative;
    return verdict;
  }
};

TEST_F(AcceptPhotoTest, OnlyTheMembersOwnJpegOfTheRightSizeBecomesTheirPhoto) {
  const std::string photo = MakeJpeg(200, 250);
  ASSERT_LE(photo.size(), kMaxPhotoUploadBytes);
  EXPECT_EQ(Upload("Player/Player.jpg", photo), PhotoVerdict::kAccepted);
  EXPECT_EQ(ReadAll(photos_ / "Player.jpg"), photo);

  struct Case {
    const char* path;
    std::string data;
    PhotoVerdict verdict;
  };
  const Case refused[] = {
      {"Player/Other.jpg", photo, PhotoVerdict::kWrongName},
      {"Player/Player.png", photo, PhotoVerdict::kWrongName},
      {"Player/sub/Player.jpg", photo, PhotoVerdict::kWrongName},
      {"Other/Player.jpg", photo, PhotoVerdict::kWrongName},
      {"Player/Player.jpg", "GIF89a not a photo", PhotoVerdict::kNotJpeg},
      {"Player/Player.jpg", photo.substr(0, photo.size() / 2), PhotoVerdict::kNotJpeg},
      {"Player/Player.jpg", MakeJpeg(250, 200), PhotoVerdict::kWrongSize},
      {"Player/Player.jpg", MakeJpeg(200, 251), PhotoVerdict::kWrongSize},
      {"Player/Player.jpg", MakeJpeg(200, 250, false, kMaxPhotoUploadBytes),
       PhotoVerdict::kTooLarge},
  };
  for (const Case& c : refused) {
    EXPECT_EQ(Upload(c.path, c.data), c.verdict) << c.path << " " << c.data.size();
    EXPECT_EQ(ReadAll(photos_ / "Player.jpg"), photo) << c.path;
    EXPECT_FALSE(fs::exists(photos_ / "Other.jpg"));
  }
  // Letter case aside, the name is the member's; the photo keeps the folder's spelling.
  const std::string newer = MakeJpeg(200, 250, true);
  EXPECT_EQ(Upload("Player/PLAYER.JPG", newer), PhotoVerdict::kAccepted);
  EXPECT_EQ(ReadAll(photos_ / "Player.jpg"), newer);
  // Only the photo itself is left in the folder: no temporary files.
  EXPECT_EQ(std::distance(fs::directory_iterator(photos_), fs::directory_iterator()), 1);
}

TEST_F(AcceptPhotoTest, ALinkIsNeverFollowed) {
  const std::string secret = folder_.path() + "/secret.jpg";
  WriteAll(secret, MakeJpeg(200, 250));
  fs::create_directories(spool_ / "Player");
  fs::create_symlink(secret, spool_ / "Player" / "Player.jpg");
  EXPECT_EQ(
      AcceptPhoto((spool_ / "Player" / "Player.jpg").string(), spool_.string(), photos_.string()),
      PhotoVerdict::kNotJpeg);
  EXPECT_FALSE(fs::exists(photos_ / "Player.jpg"));
  EXPECT_TRUE(fs::exists(secret));
}

TEST(IsSafeFileNick, RefusesWhatCouldLeaveTheFolder) {
  for (const char* good : {"Player", "Ann-Mari", "\xD0\x98\xD0\xB3\xD1\x80\xD0\xBE\xD0\xBA", "a.b"})
    EXPECT_TRUE(IsSafeFileNick(good)) << good;
  for (const char* bad : {"", ".", "..", "a/b", "a\\b", "..x", ".hidden", "x\ny", "a\x7F"})
    EXPECT_FALSE(IsSafeFileNick(bad)) << bad;
}

}  // namespace
}  // namespace braxo::club
