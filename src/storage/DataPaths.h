// Where the game finds its executable and keeps its files.
#pragma once

#include <string>
#include <string_view>

namespace braxo {

inline constexpr char kSettingsFileName[] = "Braxo.ini";
inline constexpr char kUserFileName[] = "KezUser.kez";

// The directory of the running executable, always ending with "/". Falls
// back to "./" when the executable's path cannot be read.
std::string ExeDirectory();

// The directory part of an executable's path, always ending with "/":
// "/usr/games/braxo" -> "/usr/games/", "/braxo" -> "/", "braxo" -> "./".
std::string DirectoryOfPath(std::string_view path);

// The parent of a directory (with or without the final "/"), ending with
// "/": "/home/ann/Games/Braxo/" -> "/home/ann/Games/"; the root stays "/".
// A relative name without a parent gives "./" ("Braxo/" -> "./"), and "./"
// itself gives "../".
std::string ParentDirectory(std::string_view directory);

// True when the game may rewrite `path` (a file or a directory): this
// process has write access to it and it carries at least one write
// permission bit. An entry without any write bit counts as marked read-only
// by the player, even for a process (such as root) that could write it
// anyway. False when the path does not exist.
bool IsWritable(const std::string& path);

// What the choice of the data directory reads from the environment.
struct DataEnvironment {
  std::string xdg_data_home;  // $XDG_DATA_HOME; ignored unless absolute
  std::string home;           // $HOME, or the account's home directory
};

DataEnvironment CurrentDataEnvironment();

// The files of one run. Every directory ends with "/".
struct DataPaths {
  std::string data_directory;  // holds the settings and the champions table
  std::string settings_file;   // data_directory + "Braxo.ini"
  std::string champions_file;  // data_directory + "Braxo.clb"
  std::string user_file;       // ParentDirectory(data_directory) + "KezUser.kez"
};

// Chooses the data directory for an executable in `exe_directory`:
//  - the executable's directory itself when it is writable (IsWritable) and
//    holds "Braxo.clb": a build tree or a portable copy;
//  - otherwise the per-user directory "braxo/" under $XDG_DATA_HOME, or under
//    "$HOME/.local/share" when that is unset or not absolute. It is created
//    when missing, and when it holds no "Braxo.clb" or no "Braxo.ini" yet,
//    the shipped one is copied in: from beside the executable, else from
//    "../share/braxo/" relative to the executable's directory. An existing
//    champions or settings file is never replaced;
//  - the executable's directory again when neither variable gives a home or
//    the per-user directory cannot be created.
DataPaths ResolveDataPaths(const std::string& exe_directory, const DataEnvironment& env);

// ResolveDataPaths(ExeDirectory(), CurrentDataEnvironment()).
DataPaths ResolveDataPaths();

}  // namespace braxo
