#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempDir.h"
#include "storage/UserFile.h"

namespace braxo {
namespace {

using storage_test::DirectoryEntries;
using storage_test::FileSizeLimit;
using storage_test::ReadBytes;
using storage_test::TempDir;
using storage_test::WriteBytes;

class UserFileTest : public ::testing::Test {
 protected:
  std::string Path() const { return dir_.path() + "KezUser.kez"; }
  TempDir dir_;
};

TEST_F(UserFileTest, WritesThreeLinesInTheCodePageWithCrLf) {
  ASSERT_TRUE(WriteUserFile(Path(), "Анна", "Zm9v+/"));
  EXPECT_EQ(ReadBytes(Path()), "Kez User File\r\n\xC0\xED\xED\xE0\r\nZm9v+/\r\n");
  const auto content = ReadUserFile(Path());
  ASSERT_TRUE(content);
  EXPECT_EQ(content->nick, "Анна");
  EXPECT_EQ(content->scrambled_password, "Zm9v+/");
  // Only the file itself is left: the temporary one was renamed over it.
  EXPECT_EQ(DirectoryEntries(dir_.path()), std::vector<std::string>{"KezUser.kez"});
}

TEST_F(UserFileTest, ReadsWhatTheFileHolds) {
  struct Case {
    const char* name;
    std::string bytes;
    bool ok;
    std::string nick;
    std::string pwc;
  };
  const std::vector<Case> cases = {
      {"three lines", "Kez User File\r\nAnn\r\nabc\r\n", true, "Ann", "abc"},
      {"LF only, no final break", "Kez User File\nAnn\nabc", true, "Ann", "abc"},
      {"lines past the third", "Kez User File\r\nAnn\r\nabc\r\nmore\r\n", true, "Ann", "abc"},
      {"two lines: empty password", "Kez User File\r\nAnn\r\n", true, "Ann", ""},
      {"header only", "Kez User File", true, "", ""},
      {"foreign header", "Kez User File 2\r\nAnn\r\nabc\r\n", false, "", ""},
      {"header in other case", "kez user file\r\nAnn\r\nabc\r\n", false, "", ""},
      {"empty", "", false, "", ""},
      {"larger than any user file", "Kez User File\r\nAnn\r\n" + std::string(100000, 'x'), false,
       "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(Path(), c.bytes);
    const auto content = ReadUserFile(Path());
    ASSERT_EQ(content.has_value(), c.ok);
    if (!c.ok) continue;
    EXPECT_EQ(content->nick, c.nick);
    EXPECT_EQ(content->scrambled_password, c.pwc);
  }
  EXPECT_FALSE(ReadUserFile(dir_.path() + "missing.kez"));
  EXPECT_FALSE(ReadUserFile(dir_.path()));  // a directory
}

TEST_F(UserFileTest, LineBreaksInValuesCannotAddLines) {
  ASSERT_TRUE(WriteUserFile(Path(), "Ann\r\nKez User File", "abc\ndef"));
  const auto content = ReadUserFile(Path());
  ASSERT_TRUE(content);
  EXPECT_EQ(content->nick, "Ann  Kez User File");
  EXPECT_EQ(content->scrambled_password, "abc def");
}

TEST_F(UserFileTest, AFailedWriteKeepsTheOldFile) {
  ASSERT_TRUE(WriteUserFile(Path(), "Ann", "abc"));
  const std::string before = ReadBytes(Path());
  {
    FileSizeLimit limit(10);
    EXPECT_FALSE(WriteUserFile(Path(), "Bob", std::string(100, 'x')));
  }
  EXPECT_EQ(ReadBytes(Path()), before);
  EXPECT_EQ(DirectoryEntries(dir_.path()), std::vector<std::string>{"KezUser.kez"});
}

TEST_F(UserFileTest, DeleteRemovesTheFileAndAMissingFileIsAlreadyGone) {
  ASSERT_TRUE(WriteUserFile(Path(), "Ann", "abc"));
  EXPECT_TRUE(DeleteUserFile(Path()));
  EXPECT_FALSE(ReadUserFile(Path()));
  EXPECT_TRUE(DeleteUserFile(Path()));
}

}  // namespace
}  // namespace braxo
