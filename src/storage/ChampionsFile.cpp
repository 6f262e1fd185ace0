#include "storage/ChampionsFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>

#include "storage/DataPaths.h"
#include "storage/TextFile.h"

namespace braxo {
namespace {

// A champions table is 12 lines of about 20 bytes; anything much larger is not
// one, and reading it whole would only cost memory.
constexpr std::size_t kMaxFileBytes = 64 * 1024;
constexpr std::size_t kScoreOffset = 13;  // bytes 14-19
constexpr std::size_t kScoreBytes = 6;
constexpr std::size_t kMarkerOffset = 6;  // bytes 7-9 of line 12
constexpr std::size_t kMarkerBytes = 3;
constexpr std::size_t kSumsOffset = 10;  // bytes 11-28 of line 12
constexpr std::size_t kSumDigits = 6;

struct Sums {
  int s1 = 0;
  int s2 = 0;
  int s3 = 0;
};

Sums ComputeSums(const std::vector<std::string>& lines) {
  Sums sums;
  std::size_t position = 0;
  for (std::size_t line = 0; line < 11 && line < lines.size() && position < kSealedBytes; ++line) {
    for (unsigned char byte : lines[line]) {
      if (++position > kSealedBytes) break;
      sums.s1 += byte;
      if (position % 2 == 0) sums.s2 += byte;
      if (position % 3 == 0) sums.s3 += byte;
    }
  }
  return sums;
}

std::string SixDigits(int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%06d", value);
  return buffer;
}

// Exactly six decimal digits.
std::optional<int> ParseSum(std::string_view text) {
  if (text.size() != kSumDigits) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// Bytes 14-19 of an entry: leading spaces, an optional minus sign, then
// digits up to the end of the field.
std::optional<int> ParseScore(std::string_view field) {
  std::size_t i = 0;
  while (i < field.size() && field[i] == ' ') ++i;
  bool negative = false;
  if (i < field.size() && field[i] == '-') {
    negative = true;
    ++i;
  }
  if (i == field.size()) return std::nullopt;
  int value = 0;
  for (; i < field.size(); ++i) {
    char c = field[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

// The file's lines when it is a regular file of sane size that can be read.
std::optional<std::vector<std::string>> ReadTableLines(const std::string& path) {
  return ReadLines(path, kMaxFileBytes);
}

// The table as read from `lines`, only when every part the game relies on
// is in place: at least 12 lines, entries of at least 19 bytes with a
// readable score, a marker line of at least 28 bytes with its two marker
// bytes, a control line of at least 28 bytes whose sums are six digits and
// match the sealed bytes.
struct Table {
  std::vector<std::string> lines;  // exactly 12
  std::array<int, kChampionEntryCount> scores{};
};

std::optional<Table> ParseTable(std::vector<std::string> lines) {
  if (lines.size() < static_cast<std::size_t>(kChampionsLineCount)) return std::nullopt;
  lines.resize(kChampionsLineCount);
  Table table;
  for (int i = 0; i < kChampionEntryCount; ++i) {
    const std::string& line = lines[i];
    if (line.size() < kChampionEntryBytes) return std::nullopt;
    std::optional<int> score = ParseScore(std::string_view(line).substr(kScoreOffset, kScoreBytes));
    if (!score) return std::nullopt;
    table.scores[i] = *score;
  }
  const std::string& marker_line = lines[10];
  if (marker_line.size() < kControlLineBytes) return std::nullopt;
  if (static_cast<unsigned char>(marker_line[0]) != kMarkerByte1 ||
      static_cast<unsigned char>(marker_line[1]) != kMarkerByte2) {
    return std::nullopt;
  }
  const std::string& control = lines[11];
  if (control.size() < kControlLineBytes) return std::nullopt;
  std::string_view sums_text = std::string_view(control).substr(kSumsOffset);
  std::optional<int> s1 = ParseSum(sums_text.substr(0, kSumDigits));
  std::optional<int> s2 = ParseSum(sums_text.substr(kSumDigits, kSumDigits));
  std::optional<int> s3 = ParseSum(sums_text.substr(2 * kSumDigits, kSumDigits));
  if (!s1 || !s2 || !s3) return std::nullopt;
  Sums sums = ComputeSums(lines);
  if (sums.s1 != *s1 || sums.s2 != *s2 || sums.s3 != *s3) return std::nullopt;
  table.lines = std::move(lines);
  return table;
}

std::optional<Table> LoadTable(const std::string& path) {
  std::optional<std::vector<std::string>> lines = ReadTableLines(path);
  if (!lines) return std::nullopt;
  return ParseTable(std::move(*lines));
}

std::string TrimRight(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

std::string FormatChampionEntry(std::string_view name_utf8, int score) {
  std::string name = Utf8ToCp1251(name_utf8);
  // A line break inside the name would split the entry into two lines.
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  // A longer name would push the score out of bytes 14-19.
  name.resize(kChampionNameBytes, ' ');
  score = std::clamp(score, kMinChampionScore, kMaxChampionScore);
  std::string score_text = std::to_string(score);
  return name + ' ' + std::string(kScoreBytes - score_text.size(), ' ') + score_text;
}

std::vector<std::string> SealChampionsFile(std::vector<std::string> lines) {
  lines.resize(kChampionsLineCount);
  Sums sums = ComputeSums(lines);
  std::string& control = lines[11];
  control.resize(kSumsOffset, ' ');
  control += SixDigits(sums.s1) + SixDigits(sums.s2) + SixDigits(sums.s3);
  return lines;
}

std::vector<std::string> NewChampionsTable(
    const std::array<ChampionEntry, kChampionEntryCount>& entries, int language,
    std::string_view developer_marker) {
  std::vector<std::string> lines;
  lines.reserve(kChampionsLineCount);
  for (const ChampionEntry& entry : entries)
    lines.push_back(FormatChampionEntry(entry.name, entry.score));
  std::string marker_line;
  marker_line += static_cast<char>(kMarkerByte1);
  marker_line += static_cast<char>(kMarkerByte2);
  marker_line += " Braxo champions V 2.7";
  marker_line.resize(kControlLineBytes, ' ');
  lines.push_back(std::move(marker_line));
  std::string control;
  control += static_cast<char>('0' + std::clamp(language, 0, 9));
  control += "-----";
  std::string marker(developer_marker.substr(0, kMarkerBytes));
  marker.resize(kMarkerBytes, '-');
  control += marker;
  control += '-';
  lines.push_back(std::move(control));
  return SealChampionsFile(std::move(lines));
}

ChampionsFile::ChampionsFile(std::string path) : path_(std::move(path)) {}

ChampionsCheck ChampionsFile::CheckChampionsFile() {
  struct stat st {};
  if (::stat(path_.c_str(), &st) != 0) return ChampionsCheck::kNotFound;
  std::optional<Table> table = LoadTable(path_);
  if (!table) return ChampionsCheck::kInvalid;
  developer_marker_ = table->lines[11].substr(kMarkerOffset, kMarkerBytes);
  read_only_ = WriteProtected();
  return ChampionsCheck::kOk;
}

bool ChampionsFile::WriteProtected() const {
  // The new copy is renamed over the old one, so the directory must take it
  // as well; and a file the player made read-only stays as it is.
  return !IsWritable(path_) || !IsWritable(DirectoryOfPath(path_));
}

int ChampionsFile::ChampionsThreshold() const {
  std::optional<Table> table = LoadTable(path_);
  if (!table) return kNoAdmission;
  return table->scores[kChampionsShown - 1];
}

int ChampionsFile::AddChampion(std::string_view name_utf8, int score) {
  std::optional<Table> table = LoadTable(path_);
  if (!table) return 0;
  score = std::clamp(score, kMinChampionScore, kMaxChampionScore);
  int position = 0;
  for (int p = 0; p < kChampionEntryCount; ++p) {
    if (score >= table->scores[p]) {
      position = p + 1;
      break;
    }
  }
  if (position == 0) return 0;
  std::vector<std::string>& lines = table->lines;
  for (int i = kChampionEntryCount - 1; i >= position; --i) lines[i] = std::move(lines[i - 1]);
  lines[position - 1] = FormatChampionEntry(name_utf8, score);
  std::vector<std::string> sealed = SealChampionsFile(std::move(lines));
  if (read_only_ || WriteProtected()) return 0;
  if (!WriteLinesAtomic(path_, sealed)) return 0;
  return position;
}

std::vector<ChampionEntry> ChampionsFile::ReadChampions() const {
  std::optional<Table> table = LoadTable(path_);
  if (!table) return {};
  std::vector<ChampionEntry> entries;
  entries.reserve(kChampionEntryCount);
  for (int i = 0; i < kChampionEntryCount; ++i) {
    entries.push_back(ChampionEntry{
        Cp1251ToUtf8(TrimRight(table->lines[i].substr(0, kChampionNameBytes))), table->scores[i]});
  }
  return entries;
}

std::vector<ChampionEntry> ChampionsFile::ChampionsPage() const {
  std::vector<ChampionEntry> entries = ReadChampions();
  if (entries.size() > static_cast<std::size_t>(kChampionsShown)) entries.resize(kChampionsShown);
  return entries;
}

int ChampionsFile::ReadLanguageDigit() const {
  std::optional<std::vector<std::string>> lines = ReadTableLines(path_);
  if (!lines || lines->size() < static_cast<std::size_t>(kChampionsLineCount)) return 0;
  const std::string& control = (*lines)[11];
  if (control.empty() || control[0] < '0' || control[0] > '9') return 0;
  return control[0] - '0';
}

bool ChampionsFile::WriteLanguageDigit(int language) const {
  if (language < 0 || language > 9) return false;
  // Only an intact table is rewritten: a damaged file stays as it was, for
  // the next start-up check to report.
  std::optional<Table> table = LoadTable(path_);
  if (!table) return false;
  std::string& control = table->lines[11];
  const char digit = static_cast<char>('0' + language);
  if (control[0] == digit) return true;
  if (read_only_ || WriteProtected()) return false;
  control[0] = digit;
  return WriteLinesAtomic(path_, table->lines);
}

}  // namespace braxo
