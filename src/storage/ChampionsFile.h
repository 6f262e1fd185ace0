// The local champions table "Braxo.clb": ten sealed entries, the interface
// language digit and the developer marker.
//
// Layout: exactly 12 lines of 8-bit (Windows-1251) bytes, each written with
// CR LF; byte positions below are 1-based within a line.
//   lines 1-10  ChampionEntry 1 (best) .. 10: bytes 1-12 the name padded with
//               spaces, byte 13 a space, bytes 14-19 the score right-aligned.
//   line 11     marker line, at least 28 bytes: byte 1 = 176, byte 2 = 113.
//   line 12     control line, 28 bytes: byte 1 the language digit, bytes 7-9
//               the developer marker, bytes 11-16 / 17-22 / 23-28 the sums
//               S1 / S2 / S3 as six zero-padded digits.
// The sums run over the first 218 bytes of lines 1-11 joined without line
// ends (positions i = 1..218): S1 all bytes, S2 the even positions, S3 the
// positions divisible by 3. Line 12 lies outside the seal.
#pragma once

#include <array>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace braxo {

inline constexpr char kChampionsFileName[] = "Braxo.clb";
inline constexpr int kChampionEntryCount = 10;
// The champions page shows this many entries, and a result must reach the
// score of this entry to be admitted.
inline constexpr int kChampionsShown = 5;
inline constexpr int kChampionsLineCount = 12;
inline constexpr std::size_t kChampionNameBytes = 12;
inline constexpr std::size_t kChampionEntryBytes = 19;
inline constexpr std::size_t kSealedBytes = 218;
inline constexpr std::size_t kControlLineBytes = 28;
inline constexpr unsigned char kMarkerByte1 = 176;  // GameId + 100
inline constexpr unsigned char kMarkerByte2 = 113;
// Scores outside this range do not fit the six bytes of an entry.
inline constexpr int kMinChampionScore = -99999;
inline constexpr int kMaxChampionScore = 999999;
// A developer marker equal to this switches off the start-of-run report.
inline constexpr std::string_view kDeveloperMarker = "qzx";
// ChampionsThreshold() when the table cannot be read: no result reaches it.
inline constexpr int kNoAdmission = std::numeric_limits<int>::max();

// What the start-up check of the champions table found.
enum class ChampionsCheck { kOk, kNotFound, kInvalid };

struct ChampionEntry {
  std::string name;  // UTF-8, without the padding spaces
  int score = 0;
};

// One entry line of 19 bytes. The name is converted to Windows-1251 (missing
// characters become "?", control characters become spaces), cut to 12 bytes
// and padded with spaces; the score is clamped to
// [kMinChampionScore, kMaxChampionScore] and right-aligned in six bytes.
std::string FormatChampionEntry(std::string_view name_utf8, int score);

// Returns `lines` with line 12 rebuilt: its first 10 bytes are kept (padded
// with spaces when shorter) and S1, S2, S3 over lines 1-11 follow, so line 12
// is exactly 28 bytes. Missing lines are added empty; missing bytes of the
// sealed area count as zero. Lines past the 12th are dropped.
std::vector<std::string> SealChampionsFile(std::vector<std::string> lines);

// A complete sealed table: the ten entries, the marker line, and a control
// line carrying `language` (0-9) and `developer_marker` (3 bytes, padded or
// cut to 3).
std::vector<std::string> NewChampionsTable(
    const std::array<ChampionEntry, kChampionEntryCount>& entries, int language,
    std::string_view developer_marker);

// The champions table at one path. Every operation reads the file again; no
// table is kept in memory. Any operation that finds the file missing or
// damaged (also after a successful check) leaves it untouched: the table then
// reads as empty, admits no result and stores none.
class ChampionsFile {
 public:
  explicit ChampionsFile(std::string path);

  const std::string& path() const { return path_; }

  // The start-up check: the file is present and intact (all 12 lines in
  // their layout, the three sums and the two marker bytes right). On Ok it
  // also takes the developer marker and the write protection of the file.
  ChampionsCheck CheckChampionsFile();

  // Set by an Ok check when the player cannot (or chose not to) let the game
  // rewrite the file: the file is not writable by this process, or has no
  // write permission bit at all, or its directory cannot take the new copy.
  // While set, nothing is ever written to the file.
  bool ChampionsReadOnly() const { return read_only_; }
  // Bytes 7-9 of line 12 as taken by the last Ok check; empty before it.
  const std::string& DeveloperMarker() const { return developer_marker_; }
  bool HasDeveloperMarker() const { return developer_marker_ == kDeveloperMarker; }

  // The score of entry 5; a result is admitted when it is at least this.
  // kNoAdmission when the file cannot be read as a table.
  int ChampionsThreshold() const;

  // Puts (name, score) at the first position whose score it reaches (ties go
  // to the new result), pushes the later entries down, drops entry 10,
  // reseals and atomically rewrites the file. Returns the position 1-10 when
  // the entry was stored; 0 when it was not: score below every entry,
  // write-protected file, damaged file, or a failed write (the old file then
  // stays as it was).
  int AddChampion(std::string_view name_utf8, int score);

  // All ten entries in order; empty when the file cannot be read as a table.
  std::vector<ChampionEntry> ReadChampions() const;
  // The first kChampionsShown entries, for the champions page.
  std::vector<ChampionEntry> ChampionsPage() const;

  // The language digit (byte 1 of line 12): 0-9, or 0 when the file is
  // missing or the byte is not a digit. Does not need an intact seal.
  int ReadLanguageDigit() const;
  // Writes `language` (0-9) into byte 1 of line 12 and atomically rewrites
  // the 12 lines; the seal is unaffected. Returns false, leaving the file as
  // it was, when the file is write-protected (now or at the check), is not
  // an intact table, or the write fails. Returns true without writing when
  // the digit is already there.
  bool WriteLanguageDigit(int language) const;

 private:
  bool WriteProtected() const;

  std::string path_;
  bool read_only_ = false;
  std::string developer_marker_;
};

}  // namespace braxo
