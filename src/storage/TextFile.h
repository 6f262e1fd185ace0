// Line-based access to the game's small 8-bit text files.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace braxo {

// Reads a file as lines of bytes. A line ends at LF; a CR right before the LF
// is dropped. A last line without an end still counts. Returns nothing when the
// file cannot be opened or read.
std::optional<std::vector<std::string>> ReadLines(const std::string& path);

// Replaces the file with `lines`, each ended by CR LF. The text goes to a
// temporary file beside the target first and is renamed over it, so a crash or
// a full disk leaves either the old file or the new one, never a mix.
// Returns false (and leaves the old file untouched) when anything fails.
bool WriteLinesAtomic(const std::string& path, const std::vector<std::string>& lines);

// Windows-1251, the 8-bit code page of the game's files and of the club's
// plain form bodies. Characters the code page lacks become "?".
std::string Utf8ToCp1251(std::string_view utf8);
std::string Cp1251ToUtf8(std::string_view cp1251);

}  // namespace braxo
