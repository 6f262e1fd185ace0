#include "game/SavedGame.h"

#include <charconv>
#include <cstdint>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "game/GameState.h"
#include "game/LevelGenerator.h"

namespace braxo {
namespace {

constexpr std::string_view kFirstLine = "Braxo saved game 1";
constexpr std::string_view kCheckKey = "check=";
constexpr int kMaxSeconds = 10 * 365 * 24 * 3600;

std::uint64_t Fnv1a64(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char byte : bytes) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

std::string Hex16(std::uint64_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out(16, '0');
  for (int i = 15; i >= 0; --i, value >>= 4) out[i] = kDigits[value & 0xF];
  return out;
}

std::optional<int> ParseInt(std::string_view text, int low, int high) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
    return std::nullopt;
  return value;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) {
      lines.push_back(text);
      break;
    }
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  return lines;
}

// The board's tiles could be what is left of `level`: every tile on a cell
// of the level's shape, every code one of the level's, each code at most as
// often as the level deals it and an even number of times.
bool BoardFitsLevel(const Board& board, int level) {
  std::set<int> shape;
  std::map<std::string, int> dealt;
  for (int p = 1; p <= LevelTileCount(level); ++p) {
    const BoardCell cell = LevelPosition(level, p);
    shape.insert(cell.layer * 100 + cell.row * 10 + cell.column);
    ++dealt[LevelCode(level, p)];
  }
  std::map<std::string, int> present;
  bool fits = true;
  ForEachCellInBoardOrder([&](const BoardCell& cell) {
    if (!board.HasTile(cell)) return;
    if (!shape.count(cell.layer * 100 + cell.row * 10 + cell.column)) fits = false;
    ++present[board.Code(cell)];
  });
  for (const auto& [code, count] : present) {
    const auto it = dealt.find(code);
    if (it == dealt.end() || count > it->second || count % 2 != 0) return false;
  }
  return fits;
}

}  // namespace

std::string EncodeSavedGame(const SavedGame& game) {
  std::string out(kFirstLine);
  out += '\n';
  out += "mode=" + std::to_string(static_cast<int>(game.mode)) + '\n';
  out += "level=" + std::to_string(game.level) + '\n';
  out += "score=" + std::to_string(game.score) + '\n';
  out += "seconds=" + std::to_string(game.elapsed_seconds) + '\n';
  out += std::string("casual=") + (game.casual ? "1" : "0") + '\n';
  out += std::string("clock=") + (game.clock_running ? "1" : "0") + '\n';
  out += "board=";
  bool first = true;
  ForEachCellInBoardOrder([&](const BoardCell& cell) {
    if (!first) out += ' ';
    first = false;
    out += game.board.HasTile(cell) ? game.board.Code(cell) : std::string("..");
  });
  out += '\n';
  out += std::string(kCheckKey) + Hex16(Fnv1a64(out)) + '\n';
  return out;
}

std::optional<SavedGame> DecodeSavedGame(std::string_view text) {
  const std::size_t check_at = text.rfind(kCheckKey);
  if (check_at == std::string_view::npos || (check_at > 0 && text[check_at - 1] != '\n'))
    return std::nullopt;
  const std::string_view body = text.substr(0, check_at);
  std::string_view check = text.substr(check_at + kCheckKey.size());
  if (!check.empty() && check.back() == '\n') check.remove_suffix(1);
  if (check != Hex16(Fnv1a64(body))) return std::nullopt;

  const std::vector<std::string_view> lines = SplitLines(body);
  static constexpr std::string_view kKeys[] = {"mode",   "level", "score", "seconds",
                                               "casual", "clock", "board"};
  if (lines.size() != 1 + std::size(kKeys) || lines[0] != kFirstLine) return std::nullopt;
  std::map<std::string_view, std::string_view> values;
  for (std::size_t i = 0; i < std::size(kKeys); ++i) {
    const std::string_view line = lines[i + 1];
    if (line.substr(0, kKeys[i].size()) != kKeys[i] || line.size() <= kKeys[i].size() ||
        line[kKeys[i].size()] != '=')
      return std::nullopt;
    values[kKeys[i]] = line.substr(kKeys[i].size() + 1);
  }

  SavedGame game;
  const auto mode = ParseInt(values["mode"], 1, 3);
  const auto level = ParseInt(values["level"], 1, kLevelCount);
  const auto score = ParseInt(values["score"], 0, 1000000);
  const auto seconds = ParseInt(values["seconds"], 0, kMaxSeconds);
  const auto casual = ParseInt(values["casual"], 0, 1);
  const auto clock = ParseInt(values["clock"], 0, 1);
  if (!mode || !level || !score || !seconds || !casual || !clock) return std::nullopt;
  game.mode = static_cast<GameMode>(*mode);
  game.level = *level;
  game.score = *score;
  game.elapsed_seconds = *seconds;
  game.casual = *casual == 1;
  game.clock_running = *clock == 1;

  std::istringstream codes{std::string(values["board"])};
  std::vector<std::string> words;
  for (std::string word; codes >> word;) words.push_back(word);
  if (words.size() != kCellCount) return std::nullopt;
  std::size_t next = 0;
  ForEachCellInBoardOrder([&](const BoardCell& cell) {
    const std::string& word = words[next++];
    game.board.SetCode(cell, word == ".." ? std::string() : word);
  });
  if (!BoardFitsLevel(game.board, game.level)) return std::nullopt;

  int pairs_taken = (LevelTileCount(game.level) - game.board.TileCount()) / 2;
  for (int earlier = 1; earlier < game.level; ++earlier) pairs_taken += LevelTileCount(earlier) / 2;
  if (game.score > kStartScore + kPairScore * pairs_taken) return std::nullopt;
  return game;
}

}  // namespace braxo
