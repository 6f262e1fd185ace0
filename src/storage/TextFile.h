// Line-based access to the game's small 8-bit text files, and the one way any
// of the game's files is replaced.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace braxo {

// The game's own files are a few hundred bytes; anything past this is not one
// of them and is not read.
inline constexpr std::size_t kMaxTextFileBytes = 256 * 1024;

// Reads a regular file whole. Nothing when the path is missing, is not a
// regular file (a folder, a FIFO, a device: none of them is opened in a way
// that could block), cannot be read, or holds more than `max_bytes`.
std::optional<std::string> ReadSmallFile(const std::string& path,
                                         std::size_t max_bytes = kMaxTextFileBytes);

// Reads a file as lines of bytes. A line ends at LF; a CR right before the LF
// is dropped. A last line without an end still counts. Returns nothing when
// ReadSmallFile does.
std::optional<std::vector<std::string>> ReadLines(const std::string& path,
                                                  std::size_t max_bytes = kMaxTextFileBytes);

// Replaces the file at `path` with `data`:
//  - the bytes go to a temporary file in the same folder, are synced and are
//    renamed over the target, and the folder is synced after the rename, so a
//    crash, a full disk or a power cut leaves the old file or the new one;
//  - a target that is a symbolic link is replaced where the link points, the
//    link itself stays;
//  - an existing target keeps its permission bits (and its owner when this
//    process may keep it); a new file gets 0644 less the umask.
// Returns false and leaves the old file untouched when anything fails.
bool WriteFileAtomic(const std::string& path, std::string_view data);

// Writes every byte of `data` to `fd`, going on after interrupted and short
// writes; false on an error.
bool WriteAll(int fd, std::string_view data);

// WriteFileAtomic with `lines`, each ended by CR LF.
bool WriteLinesAtomic(const std::string& path, const std::vector<std::string>& lines);

// The name of a temporary file that WriteFileAtomic makes for `file_name`
// ends with this mark and six more characters.
inline constexpr char kTemporaryMark[] = ".tmp-";

// Removes the temporary files that a write to one of `file_names` in
// `directory` left behind when the game was killed during it: our naming
// pattern only, and only when older than `min_age_seconds` (a second copy of
// the game may be writing one at this moment). Returns how many were removed.
int RemoveStaleTemporaries(const std::string& directory, const std::vector<std::string>& file_names,
                           int min_age_seconds = 10);

// Converts between character sets with the system's converter. Characters
// the target lacks and malformed input become "?". Nothing when the converter
// for that pair is not available.
std::optional<std::string> ConvertCharset(std::string_view input, const char* to, const char* from);

// Windows-1251, the 8-bit code page of the game's files and of the club's
// plain form bodies. Characters the code page lacks become "?". Nothing when
// the conversion cannot run; writers of files then refuse to write.
std::optional<std::string> TryUtf8ToCp1251(std::string_view utf8);

// The same where a text must go out regardless (a club form body): when the
// conversion cannot run, every byte outside ASCII becomes "?"; the UTF-8
// bytes never pass through.
std::string Utf8ToCp1251(std::string_view utf8);
// When the conversion cannot run, every byte outside ASCII becomes "?".
std::string Cp1251ToUtf8(std::string_view cp1251);

}  // namespace braxo
