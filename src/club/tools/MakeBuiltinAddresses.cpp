// Build-time tool: reads the club's base address and the two help sites from
// a file (one a line) and writes a C++ source that holds the built-in
// addresses in scrambled form only.
// Usage: MakeBuiltinAddresses <file with the addresses> <output .cpp>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "club/Scramble.h"

namespace {

struct Entry {
  const char* function;
  const char* path;
  std::uint16_t key;
};

constexpr Entry kEntries[] = {
    {"BuiltinConfigPageAddress", "config", braxo::kConfigKey},
    {"BuiltinTopTenAddress", "topten", braxo::kConfigKey},
    {"BuiltinStatAddress", "stat", braxo::kConfigKey},
    {"BuiltinAccountAddress", "account", braxo::kAccountKey},
    {"BuiltinPhotoFolderAddress", "photos/", braxo::kAccountKey},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: MakeBuiltinAddresses <base address file> <output.cpp>\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::string lines[3];
  for (std::string& line : lines) {
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line.empty()) {
      std::cerr << "MakeBuiltinAddresses: an address is missing\n";
      return 1;
    }
  }
  std::string base = lines[0];
  if (base.back() != '/') base += '/';
  const std::string mirrors[2] = {lines[1], lines[2]};

  std::string source =
      "// Generated at build time; do not edit.\n"
      "#include \"club/BuiltinAddresses.h\"\n\n"
      "namespace braxo {\n";
  for (const Entry& entry : kEntries) {
    // Scrambled texts use only the 64-character table, so they need no
    // escaping inside a string literal.
    source += "\nstd::string_view " + std::string(entry.function) + "() { return \"" +
              braxo::ScrambleText(base + entry.path, entry.key) + "\"; }\n";
  }
  for (int i = 0; i < 2; ++i) {
    std::string mirror = mirrors[i];
    while (!mirror.empty() && mirror.back() == '/') mirror.pop_back();
    source += "\nstd::string_view BuiltinHelpMirror" + std::to_string(i + 1) + "() { return \"" +
              braxo::ScrambleText(mirror, braxo::kConfigKey) + "\"; }\n";
  }
  source += "\n}  // namespace braxo\n";

  const std::string temp = std::string(argv[2]) + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << source;
    if (!out) return 1;
  }
  return std::rename(temp.c_str(), argv[2]) == 0 ? 0 : 1;
}
