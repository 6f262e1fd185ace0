#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "TempDir.h"
#include "storage/OptionsFile.h"
#include "storage/TextFile.h"

namespace braxo {
namespace {

class OptionsFileTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& text) {
    EXPECT_TRUE(WriteFileAtomic(path_, text));
    return path_;
  }
  storage_test::TempDir dir_;
  std::string path_ = OptionsFilePath(dir_.path());
};

TEST_F(OptionsFileTest, AMissingFileGivesTheDefaults) {
  const OptionsLoad load = LoadOptions(path_);
  EXPECT_FALSE(load.damaged);
  EXPECT_TRUE(load.options.mark_free_tiles);
  EXPECT_FALSE(load.options.casual_mode);
  EXPECT_EQ(path_, dir_.path() + "Braxo.options");
}

TEST_F(OptionsFileTest, SavedOptionsReadBackAndTheFileIsReplacedWhole) {
  Options options;
  options.mark_free_tiles = false;
  options.casual_mode = true;
  ASSERT_TRUE(SaveOptions(path_, options));
  EXPECT_EQ(*ReadSmallFile(path_),
            "# Braxo options: key=value, one a line\nmark_free_tiles=0\ncasual_mode=1\n"
            "window_width=850\nwindow_height=510\nwindow_placed=0\nwindow_left=0\nwindow_top=0\n"
            "window_maximized=0\n");
  const OptionsLoad load = LoadOptions(path_);
  EXPECT_FALSE(load.damaged);
  EXPECT_FALSE(load.options.mark_free_tiles);
  EXPECT_TRUE(load.options.casual_mode);

  options.casual_mode = false;
  ASSERT_TRUE(SaveOptions(path_, options));
  EXPECT_FALSE(LoadOptions(path_).options.casual_mode);
  // Nothing of the atomic write is left behind.
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_.path()))
    ++files;
  EXPECT_EQ(files, 1);
}

TEST_F(OptionsFileTest, ReadsWhatAPlayerMayWriteByHand) {
  struct Case {
    const char* label;
    const char* text;
    bool marks;
    bool casual;
  };
  const Case cases[] = {
      {"one option, the other by default", "casual_mode=1\n", true, true},
      {"spaces, CR LF, comments and blank lines",
       "# mine\r\n\r\n  casual_mode = 1 \r\nmark_free_tiles=0\r\n", false, true},
      {"a last line without its end", "mark_free_tiles=0", false, false},
      {"a key of a later version is skipped", "window_scale=2\ncasual_mode=1\n", true, true},
  };
  for (const Case& c : cases) {
    const OptionsLoad load = LoadOptions(Write(c.text));
    EXPECT_FALSE(load.damaged) << c.label;
    EXPECT_EQ(load.options.mark_free_tiles, c.marks) << c.label;
    EXPECT_EQ(load.options.casual_mode, c.casual) << c.label;
  }
}

TEST_F(OptionsFileTest, ADamagedFileGivesAllTheDefaults) {
  const char* cases[] = {
      "casual_mode=1\nmark_free_tiles=yes\n",  // a value the option cannot take
      "casual_mode=1\ngarbage\n",              // a line without "="
      "casual_mode=1\ncasual_mode=0\n",        // a key twice
      "casual_mode=1\nmark_free_tiles=\n",     // an empty value
      "casual_mode=1\n\x01\x02\x03",           // bytes of something else
  };
  for (const char* text : cases) {
    const OptionsLoad load = LoadOptions(Write(text));
    EXPECT_TRUE(load.damaged) << text;
    EXPECT_TRUE(load.options.mark_free_tiles) << text;
    EXPECT_FALSE(load.options.casual_mode) << text;
  }
  // A folder in the file's place, and a file too big to be an options file.
  std::filesystem::create_directory(path_ + "x");
  EXPECT_TRUE(LoadOptions(path_ + "x").damaged);
  EXPECT_TRUE(LoadOptions(Write(std::string(1 << 20, '#'))).damaged);
}

TEST_F(OptionsFileTest, TheWindowsGeometryReadsBackAndADamagedOneGivesTheDefaults) {
  Options options;
  options.window_width = 1700;
  options.window_height = 1020;
  options.window_placed = true;
  options.window_left = -1366;  // a screen left of the primary one
  options.window_top = 40;
  options.window_maximized = true;
  ASSERT_TRUE(SaveOptions(path_, options));
  OptionsLoad load = LoadOptions(path_);
  EXPECT_FALSE(load.damaged);
  EXPECT_EQ(load.options.window_width, 1700);
  EXPECT_EQ(load.options.window_height, 1020);
  EXPECT_TRUE(load.options.window_placed);
  EXPECT_EQ(load.options.window_left, -1366);
  EXPECT_EQ(load.options.window_top, 40);
  EXPECT_TRUE(load.options.window_maximized);

  const char* damaged[] = {
      "window_width=1700\nwindow_height=tall\n",         // not a number
      "window_width=1700\nwindow_height=99999999999\n",  // beyond an int
      "window_width=1700\nwindow_maximized=2\n",         // not a flag
      "window_width=1700\nwindow_left=12.5\n",           // not a whole number
      "window_width=1700\nwindow_width=900\n",           // a key twice
  };
  const Options defaults;
  for (const char* text : damaged) {
    load = LoadOptions(Write(text));
    EXPECT_TRUE(load.damaged) << text;
    EXPECT_EQ(load.options.window_width, defaults.window_width) << text;
    EXPECT_EQ(load.options.window_height, defaults.window_height) << text;
    EXPECT_FALSE(load.options.window_placed) << text;
    EXPECT_FALSE(load.options.window_maximized) << text;
  }
}

TEST_F(OptionsFileTest, AWriteProtectedFileIsLeftAsItIs) {
  Write("casual_mode=1\n");
  ASSERT_EQ(::chmod(path_.c_str(), 0444), 0);
  EXPECT_FALSE(SaveOptions(path_, Options{}));
  EXPECT_EQ(*ReadSmallFile(path_), "casual_mode=1\n");
}

}  // namespace
}  // namespace braxo
