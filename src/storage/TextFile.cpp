#include "storage/TextFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace braxo {
namespace {

// Converts with iconv; unconvertible input is replaced by `replacement`.
std::optional<std::string> Convert(std::string_view input, const char* to, const char* from,
                                   std::string_view replacement) {
  iconv_t cd = iconv_open(to, from);
  // iconv_open's failure value is the pointer (iconv_t)-1.
  // NOLINTNEXTLINE(performance-no-int-to-ptr)
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  out.reserve(input.size() * 2);
  char* in_ptr = const_cast<char*>(input.data());
  size_t in_left = input.size();
  char buffer[256];
  while (in_left > 0) {
    char* out_ptr = buffer;
    size_t out_left = sizeof buffer;
    size_t rc = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
    out.append(buffer, out_ptr);
    if (rc == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: skip one input character and put the replacement.
      out.append(replacement);
      size_t skip = 1;
      if (std::string_view(from) == "UTF-8") {
        // Skip the whole (possibly broken) UTF-8 sequence.
        while (skip < in_left && (static_cast<unsigned char>(in_ptr[skip]) & 0xC0) == 0x80) ++skip;
      }
      in_ptr += skip;
      in_left -= skip;
    }
  }
  iconv_close(cd);
  return out;
}

std::string AsciiOnly(std::string_view input) {
  std::string out(input);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) >= 0x80) c = '?';
  }
  return out;
}

std::string DirectoryPart(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NamePart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Where a write to `path` must land: the final target of a chain of symbolic
// links (relative links resolve against the folder of the link). Nothing for
// a loop or an overlong chain.
std::optional<std::string> WriteTarget(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string link(PATH_MAX, '\0');
    const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
    if (n <= 0 || static_cast<size_t>(n) >= link.size()) return std::nullopt;
    link.resize(static_cast<size_t>(n));
    path = link.front() == '/' ? link : DirectoryPart(path).append("/").append(link);
  }
  return std::nullopt;
}

void SyncDirectory(const std::string& directory) {
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool IsOurTemporary(std::string_view entry, const std::string& file_name) {
  // "<name>.tmp-XXXXXX", and "<name>.tmp<digits>" from earlier versions.
  if (entry.substr(0, file_name.size()) != file_name) return false;
  std::string_view rest = entry.substr(file_name.size());
  const std::string_view mark = kTemporaryMark;
  if (rest.substr(0, mark.size()) == mark) return rest.size() == mark.size() + 6;
  if (rest.substr(0, 4) != ".tmp" || rest.size() == 4) return false;
  for (char c : rest.substr(4)) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

bool WriteAll(int fd, std::string_view data) {
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t max_bytes) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<std::size_t>(st.st_size) > max_bytes) {
    ::close(fd);
    return std::nullopt;
  }
  std::string data;
  data.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[8192];
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    if (n == 0) break;
    data.append(buffer, static_cast<size_t>(n));
    // The file may have grown since fstat.
    if (data.size() > max_bytes) {
      ok = false;
      break;
    }
  }
  ::close(fd);
  if (!ok) return std::nullopt;
  return data;
}

std::optional<std::vector<std::string>> ReadLines(const std::string& path, std::size_t max_bytes) {
  const std::optional<std::string> data = ReadSmallFile(path, max_bytes);
  if (!data) return std::nullopt;
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < data->size()) {
    size_t end = data->find('\n', start);
    if (end == std::string::npos) end = data->size();
    size_t line_end = end;
    if (line_end > start && (*data)[line_end - 1] == '\r') --line_end;
    lines.emplace_back(*data, start, line_end - start);
    start = end + 1;
  }
  return lines;
}

bool WriteFileAtomic(const std::string& path, std::string_view data) {
  const std::optional<std::string> target = WriteTarget(path);
  if (!target) return false;
  struct stat old {};
  const bool exists = ::stat(target->c_str(), &old) == 0;
  // Renaming over a folder or a device would not replace a file.
  if (exists && !S_ISREG(old.st_mode)) return false;

  const std::string directory = DirectoryPart(*target);
  std::string temp = directory + "/" + NamePart(*target) + kTemporaryMark + "XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = true;
  if (exists) {
    // The owner first: changing it may clear the set-id bits that the mode
    // then puts back.
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) [[maybe_unused]]
      const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
    ok = ::fchmod(fd, old.st_mode & 07777) == 0;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ok = ::fchmod(fd, 0644 & ~mask) == 0;
  }
  ok = ok && WriteAll(fd, data) && ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (ok && std::rename(temp.c_str(), target->c_str()) != 0) ok = false;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  SyncDirectory(directory);
  return true;
}

bool WriteLinesAtomic(const std::string& path, const std::vector<std::string>& lines) {
  std::string data;
  for (const std::string& line : lines) {
    data += line;
    data += "\r\n";
  }
  return WriteFileAtomic(path, data);
}

int RemoveStaleTemporaries(const std::string& directory, const std::vector<std::string>& file_names,
                           int min_age_seconds) {
  DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
  if (dir == nullptr) return 0;
  const int dir_fd = ::dirfd(dir);
  const std::time_t now = std::time(nullptr);
  int removed = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    bool ours = false;
    for (const std::string& file_name : file_names) ours = ours || IsOurTemporary(name, file_name);
    if (!ours) continue;
    struct stat st {};
    if (::fstatat(dir_fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
      continue;
    if (now - st.st_mtime < min_age_seconds) continue;
    if (::unlinkat(dir_fd, entry->d_name, 0) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

std::optional<std::string> ConvertCharset(std::string_view input, const char* to,
                                          const char* from) {
  return Convert(input, to, from, "?");
}

std::optional<std::string> TryUtf8ToCp1251(std::string_view utf8) {
  return ConvertCharset(utf8, "CP1251", "UTF-8");
}

std::string Utf8ToCp1251(std::string_view utf8) {
  std::optional<std::string> converted = TryUtf8ToCp1251(utf8);
  return converted ? std::move(*converted) : AsciiOnly(utf8);
}

std::string Cp1251ToUtf8(std::string_view cp1251) {
  std::optional<std::string> converted = ConvertCharset(cp1251, "UTF-8", "CP1251");
  return converted ? std::move(*converted) : AsciiOnly(cp1251);
}

}  // namespace braxo
