// Writes the champions table that ships with the game: ten starting entries,
// language 0 (English), no developer marker. Usage: make_champions OUTPUT
#include <array>
#include <cstdio>
#include <string>

#include "storage/ChampionsFile.h"
#include "storage/TextFile.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
    return 2;
  }
  const std::array<braxo::ChampionEntry, braxo::kChampionEntryCount> entries = {{
      {"Alice", 9000},
      {"Bruno", 8500},
      {"Chiara", 8000},
      {"Dmitry", 7500},
      {"Emma", 7000},
      {"Farid", 6500},
      {"Greta", 6000},
      {"Hiroshi", 5500},
      {"Ingrid", 5000},
      {"Jamal", 4500},
  }};
  const std::string output = argv[1];
  if (!braxo::WriteLinesAtomic(output, braxo::NewChampionsTable(entries, 0, "rel"))) {
    std::fprintf(stderr, "make_champions: cannot write %s\n", output.c_str());
    return 1;
  }
  braxo::ChampionsFile check(output);
  if (check.CheckChampionsFile() != braxo::ChampionsCheck::kOk || check.HasDeveloperMarker()) {
    std::fprintf(stderr, "make_champions: %s does not pass the check\n", output.c_str());
    return 1;
  }
  return 0;
}
