// The options file: the player's choices that the settings file has no place
// for (its 16 lines keep their format byte for byte). A small text file of
// its own beside the settings: one "key=value" a line, lines starting with
// "#" and blank lines ignored.
#pragma once

#include <string>
#include <string_view>

namespace braxo {

inline constexpr char kOptionsFileName[] = "Braxo.options";

struct Options {
  // Blocked tiles are drawn dimmed, so the free ones stand out.
  bool mark_free_tiles = true;
  // New games are casual: hint, undo and redo, shuffle and winnable deals,
  // and they count nowhere but in the usage report.
  bool casual_mode = false;
  // The main window as the player left it: its size in logical pixels
  // without the frame (the design size by default), its top-left corner
  // when `window_placed` (else the desktop places it), and whether it was
  // maximized (the size is then the one it returns to).
  int window_width = 850;
  int window_height = 510;
  bool window_placed = false;
  int window_left = 0;
  int window_top = 0;
  bool window_maximized = false;
};

// How an option's value is read from and written to its line: a flag is
// "1" or "0", a number is decimal. False, leaving the value, when the text
// is not one.
bool ParseOptionValue(std::string_view text, bool& flag);
bool ParseOptionValue(std::string_view text, int& number);
std::string OptionValueText(bool flag);
std::string OptionValueText(int number);

// An option's key in the file, and how its field is read and written.
struct OptionKey {
  const char* key;
  bool (*read)(std::string_view text, Options& options);
  std::string (*write)(const Options& options);
};

template <auto kField>
constexpr OptionKey MakeOptionKey(const char* key) {
  return {key,
          [](std::string_view text, Options& options) {
            return ParseOptionValue(text, options.*kField);
          },
          [](const Options& options) { return OptionValueText(options.*kField); }};
}

// One row per option, in the file's order: a new option is its field above
// and one row here.
inline constexpr OptionKey kOptionKeys[] = {
    MakeOptionKey<&Options::mark_free_tiles>("mark_free_tiles"),
    MakeOptionKey<&Options::casual_mode>("casual_mode"),
    MakeOptionKey<&Options::window_width>("window_width"),
    MakeOptionKey<&Options::window_height>("window_height"),
    MakeOptionKey<&Options::window_placed>("window_placed"),
    MakeOptionKey<&Options::window_left>("window_left"),
    MakeOptionKey<&Options::window_top>("window_top"),
    MakeOptionKey<&Options::window_maximized>("window_maximized"),
};

// The options file in `data_directory` (which ends with "/").
std::string OptionsFilePath(const std::string& data_directory);

struct OptionsLoad {
  Options options;
  // The file was there but is not an options file: a line without "=", a
  // known key twice or with a value it cannot take, or not readable as a
  // small regular file. The options are then all the defaults.
  bool damaged = false;
};

// Reads the file. A missing file gives the defaults, not damaged; keys the
// game does not know (a later version's) are skipped.
OptionsLoad LoadOptions(const std::string& path);

// The file's text for `options`: a comment line, then every key in table order.
std::string OptionsText(const Options& options);

// Rewrites the file atomically (WriteFileAtomic). A write-protected file
// (IsWritable) is left as it is. False when nothing was written.
bool SaveOptions(const std::string& path, const Options& options);

}  // namespace braxo
