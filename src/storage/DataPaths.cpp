#include "storage/DataPaths.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "storage/ChampionsFile.h"
#include "storage/TextFile.h"

namespace braxo {
namespace {

// The shipped champions table and settings file are a few hundred bytes; a
// larger "shipped" file is not one and is not copied.
constexpr std::size_t kMaxShippedBytes = 64 * 1024;

std::string WithSlash(std::string_view directory) {
  std::string result(directory);
  if (result.empty() || result.back() != '/') result += '/';
  return result;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Creates `directory` and every missing parent; new directories are private
// to the player, as per-user data directories should be.
bool MakeDirectories(const std::string& directory) {
  std::size_t pos = 0;
  while (pos != std::string::npos) {
    pos = directory.find('/', pos + 1);
    std::string part = directory.substr(0, pos);
    if (part.empty() || IsDirectory(part)) continue;
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return IsDirectory(directory);
}

// Puts `data` at `target` unless something is already there. The bytes go
// to a temporary file first and are linked into place, so the target
// appears complete or not at all, and a file that appeared meanwhile (a
// second copy of the game starting) is never replaced.
void CreateFileOnce(const std::string& target, const std::string& data) {
  std::string temp = target + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return;
  bool ok = ::fchmod(fd, 0644) == 0 && WriteAll(fd, data) && ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (ok && ::link(temp.c_str(), target.c_str()) != 0 && errno != EEXIST) {
    // Some file systems have no hard links; fall back to a rename, which
    // replaces only when a file appeared in the instant since this check.
    if (!Exists(target)) ::rename(temp.c_str(), target.c_str());
  }
  ::unlink(temp.c_str());
}

DataPaths PathsFor(const std::string& directory) {
  DataPaths paths;
  paths.data_directory = directory;
  paths.settings_file = directory + kSettingsFileName;
  paths.champions_file = directory + kChampionsFileName;
  paths.user_file = ParentDirectory(directory) + kUserFileName;
  return paths;
}

}  // namespace

std::string DirectoryOfPath(std::string_view path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return "./";
  return std::string(path.substr(0, slash + 1));
}

std::string ExeDirectory() {
  std::vector<char> buffer(256);
  for (;;) {
    ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return "./";
    if (static_cast<std::size_t>(n) < buffer.size()) {
      return DirectoryOfPath(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
    }
    if (buffer.size() >= (1u << 20)) return "./";
    buffer.resize(buffer.size() * 2);
  }
}

std::string ParentDirectory(std::string_view directory) {
  std::string_view trimmed = directory;
  while (!trimmed.empty() && trimmed.back() == '/') trimmed.remove_suffix(1);
  if (trimmed.empty()) return directory.empty() ? "../" : "/";
  std::size_t slash = trimmed.rfind('/');
  std::string_view last = slash == std::string_view::npos ? trimmed : trimmed.substr(slash + 1);
  if (trimmed == ".") return "../";
  if (last == "." || last == "..") return WithSlash(trimmed) + "../";
  if (slash == std::string_view::npos) return "./";
  return std::string(trimmed.substr(0, slash + 1));
}

bool IsWritable(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
  return ::access(path.c_str(), W_OK) == 0;
}

DataEnvironment CurrentDataEnvironment() {
  DataEnvironment env;
  if (const char* xdg = std::getenv("XDG_DATA_HOME")) env.xdg_data_home = xdg;
  if (const char* home = std::getenv("HOME")) env.home = home;
  if (env.home.empty()) {
    std::vector<char> buffer(16384);
    struct passwd entry {};
    struct passwd* result = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result &&
        result->pw_dir) {
      env.home = result->pw_dir;
    }
  }
  return env;
}

DataPaths ResolveDataPaths(const std::string& exe_directory, const DataEnvironment& env) {
  const std::string exe_dir = WithSlash(exe_directory);
  if (IsWritable(exe_dir) && Exists(exe_dir + kChampionsFileName)) return PathsFor(exe_dir);

  std::string base;
  if (!env.xdg_data_home.empty() && env.xdg_data_home.front() == '/') {
    base = WithSlash(env.xdg_data_home);
  } else if (!env.home.empty() && env.home.front() == '/') {
    base = WithSlash(env.home) + ".local/share/";
  } else {
    return PathsFor(exe_dir);
  }
  const std::string data_dir = base + "braxo/";
  if (!MakeDirectories(data_dir)) return PathsFor(exe_dir);

  for (const char* name : {kChampionsFileName, kSettingsFileName}) {
    const std::string file = data_dir + name;
    if (Exists(file)) continue;
    const std::string sources[] = {
        exe_dir + name,
        ParentDirectory(exe_dir) + "share/braxo/" + name,
    };
    for (const std::string& source : sources) {
      if (std::optional<std::string> data = ReadSmallFile(source, kMaxShippedBytes)) {
        CreateFileOnce(file, *data);
        break;
      }
    }
  }
  return PathsFor(data_dir);
}

DataPaths ResolveDataPaths() { return ResolveDataPaths(ExeDirectory(), CurrentDataEnvironment()); }

}  // namespace braxo
