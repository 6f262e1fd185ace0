#include "storage/UserFile.h"

#include <cstdint>
#include <filesystem>
#include <system_error>
#include <vector>

#include "storage/TextFile.h"

namespace braxo {
namespace {

// The header, a nick and a scrambled password fit many times over; a larger
// file is not ours and is not read into memory.
constexpr std::uintmax_t kMaxUserFileBytes = 64 * 1024;

std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return line;
}

}  // namespace

std::optional<UserFileContent> ReadUserFile(const std::string& path) {
  // Also nothing, without waiting, for a folder or a FIFO of that name.
  const std::optional<std::vector<std::string>> lines = ReadLines(path, kMaxUserFileBytes);
  if (!lines || lines->empty() || (*lines)[0] != kUserFileHeader) return std::nullopt;
  UserFileContent content;
  if (lines->size() > 1) content.nick = Cp1251ToUtf8((*lines)[1]);
  if (lines->size() > 2) content.scrambled_password = (*lines)[2];
  return content;
}

bool WriteUserFile(const std::string& path, std::string_view nick,
                   std::string_view scrambled_password) {
  const std::optional<std::string> nick_bytes = TryUtf8ToCp1251(OneLine(nick));
  if (!nick_bytes) return false;
  return WriteLinesAtomic(path, {kUserFileHeader, *nick_bytes, OneLine(scrambled_password)});
}

bool DeleteUserFile(const std::string& path) {
  std::error_code error;
  std::filesystem::remove(path, error);
  return !std::filesystem::exists(path, error) && !error;
}

}  // namespace braxo
