// The local user file "KezUser.kez": who was logged in, so that the next start
// (of this game or of a sibling game beside it) logs in again. Three lines
// ended by CR LF, Windows-1251: the header "Kez User File", the nick, and the
// scrambled password. The plain password is never written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace braxo {

inline constexpr char kUserFileHeader[] = "Kez User File";

struct UserFileContent {
  std::string nick;                // UTF-8
  std::string scrambled_password;  // as stored
};

// Nothing when the file is missing, unreadable, larger than any user file
// can be, or its first line is not exactly the header (a foreign file). Lines
// past the third are ignored, missing ones read as empty.
std::optional<UserFileContent> ReadUserFile(const std::string& path);

// Replaces the file atomically; false (old file untouched) on failure. A line
// break inside a value is written as a space, so the file keeps its lines.
bool WriteUserFile(const std::string& path, std::string_view nick,
                   std::string_view scrambled_password);

// Removes the file; true when it is gone afterwards (also when it never was).
bool DeleteUserFile(const std::string& path);

}  // namespace braxo
