#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempDir.h"
#include "storage/TextFile.h"

namespace braxo {
namespace {

using storage_test::DirectoryEntries;
using storage_test::FileSizeLimit;
using storage_test::ReadBytes;
using storage_test::TempDir;
using storage_test::WriteBytes;

TEST(TextFileTest, ReadLinesSplitsOnEveryLineEndStyle) {
  struct Case {
    const char* label;
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"CR LF", "one\r\ntwo\r\n", {"one", "two"}},
      {"LF", "one\ntwo\n", {"one", "two"}},
      {"no final line end", "one\r\ntwo", {"one", "two"}},
      {"mixed", "one\ntwo\r\nthree", {"one", "two", "three"}},
      {"empty file", "", {}},
      {"one empty line", "\r\n", {""}},
      {"empty line inside", "one\r\n\r\nthree\r\n", {"one", "", "three"}},
      {"lone CR stays in the line", "a\rb\r\n", {"a\rb"}},
      {"8-bit and NUL bytes kept", std::string("\xB0q\0z\r\n", 6), {std::string("\xB0q\0z", 4)}},
  };
  TempDir dir;
  ASSERT_FALSE(dir.path().empty());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string path = dir.path() + "lines.txt";
    WriteBytes(path, c.bytes);
    std::optional<std::vector<std::string>> lines = ReadLines(path);
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(*lines, c.lines);
  }
}

TEST(TextFileTest, ReadLinesOfMissingFileGivesNothing) {
  TempDir dir;
  EXPECT_FALSE(ReadLines(dir.path() + "missing.txt").has_value());
}

TEST(TextFileTest, WriteLinesAtomicEndsEveryLineWithCrLfAndReplacesTheWholeFile) {
  TempDir dir;
  const std::string path = dir.path() + "out.txt";
  WriteBytes(path, "a much longer old content that must disappear entirely\n");
  ASSERT_TRUE(WriteLinesAtomic(path, {"first", "", "\xC1\xF0"}));
  EXPECT_EQ(ReadBytes(path), "first\r\n\r\n\xC1\xF0\r\n");
  EXPECT_EQ(DirectoryEntries(dir.path()), std::vector<std::string>{"out.txt"});
}

TEST(TextFileTest, WriteLinesAtomicFailureKeepsTheOldFile) {
  TempDir dir;
  const std::string path = dir.path() + "out.txt";
  const std::string old_bytes = "old\r\n";
  WriteBytes(path, old_bytes);
  const std::vector<std::string> long_lines(20, std::string(40, 'x'));
  {
    // The new text cannot be written in full, as on a full disk.
    FileSizeLimit limit(100);
    EXPECT_FALSE(WriteLinesAtomic(path, long_lines));
  }
  EXPECT_EQ(ReadBytes(path), old_bytes);
  EXPECT_EQ(DirectoryEntries(dir.path()), std::vector<std::string>{"out.txt"});
}

TEST(TextFileTest, WriteLinesAtomicIntoMissingDirectoryFails) {
  TempDir dir;
  EXPECT_FALSE(WriteLinesAtomic(dir.path() + "no/such/dir/out.txt", {"x"}));
}

TEST(TextFileTest, Utf8ToCp1251ConvertsCyrillicAndMarksMissingCharacters) {
  struct Case {
    std::string utf8;
    std::string cp1251;
  };
  const Case cases[] = {
      {"Braxo 2.7", "Braxo 2.7"},
      {"Привет", "\xCF\xF0\xE8\xE2\xE5\xF2"},
      {"Ёё", "\xA8\xB8"},
      {"€", "\x88"},
      {"日本", "??"},
      {"a😀b", "a?b"},
      {"a\xFF"
       "b",
       "a?b"},  // not UTF-8 at all
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(Utf8ToCp1251(c.utf8), c.cp1251);
  }
}

TEST(TextFileTest, Cp1251ToUtf8ConvertsCyrillicAndMarksUndefinedBytes) {
  struct Case {
    std::string cp1251;
    std::string utf8;
  };
  const Case cases[] = {
      {"Braxo", "Braxo"},
      {"\xCF\xF0\xE8\xE2\xE5\xF2", "Привет"},
      {"\xA8\xB8", "Ёё"},
      {"a\x98"
       "b",
       "a?b"},  // 0x98 has no character in the code page
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(Cp1251ToUtf8(c.cp1251), c.utf8);
  }
}

}  // namespace
}  // namespace braxo
