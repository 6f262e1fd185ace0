#include "storage/OptionsFile.h"

#include <sys/stat.h>

#include <charconv>
#include <optional>
#include <set>
#include <string_view>

#include "storage/DataPaths.h"
#include "storage/TextFile.h"

namespace braxo {
namespace {

constexpr std::size_t kMaxOptionsBytes = 16 * 1024;

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

std::optional<int> ParseNumber(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

const OptionKey* FindKey(std::string_view key) {
  for (const OptionKey& row : kOptionKeys)
    if (key == row.key) return &row;
  return nullptr;
}

}  // namespace

bool ParseOptionValue(std::string_view text, bool& flag) {
  if (text != "0" && text != "1") return false;
  flag = text == "1";
  return true;
}

bool ParseOptionValue(std::string_view text, int& number) {
  const std::optional<int> value = ParseNumber(text);
  if (value) number = *value;
  return value.has_value();
}

std::string OptionValueText(bool flag) { return flag ? "1" : "0"; }
std::string OptionValueText(int number) { return std::to_string(number); }

std::string OptionsFilePath(const std::string& data_directory) {
  return data_directory + kOptionsFileName;
}

OptionsLoad LoadOptions(const std::string& path) {
  OptionsLoad load;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return load;
  const std::optional<std::string> text = ReadSmallFile(path, kMaxOptionsBytes);
  const auto damaged = [] {
    OptionsLoad defaults;
    defaults.damaged = true;
    return defaults;
  };
  if (!text) return damaged();
  std::set<std::string_view> seen;
  std::string_view rest = *text;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = Trim(rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (line.empty() || line.front() == '#') continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return damaged();
    const std::string_view key = Trim(line.substr(0, equals));
    const OptionKey* row = FindKey(key);
    if (row == nullptr) continue;
    if (!seen.insert(key).second || !row->read(Trim(line.substr(equals + 1)), load.options))
      return damaged();
  }
  return load;
}

std::string OptionsText(const Options& options) {
  std::string text = "# Braxo options: key=value, one a line\n";
  for (const OptionKey& row : kOptionKeys) {
    text += row.key;
    text += '=';
    text += row.write(options);
    text += '\n';
  }
  return text;
}

bool SaveOptions(const std::string& path, const Options& options) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && !IsWritable(path)) return false;
  return WriteFileAtomic(path, OptionsText(options));
}

}  // namespace braxo
