// The champions-file reader on arbitrary bytes, and the writers on whatever
// the reader accepted: a file the check refuses is never written, and a file
// the game writes passes the check again.

#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "ScratchFiles.h"
#include "storage/ChampionsFile.h"

namespace {

using braxo::fuzz::ReadFile;
using braxo::fuzz::ScratchPath;
using braxo::fuzz::WriteFile;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = ScratchPath() + "Braxo.clb";
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  WriteFile(path, bytes);

  braxo::ChampionsFile file(path);
  const braxo::ChampionsCheck check = file.CheckChampionsFile();
  const int language = file.ReadLanguageDigit();
  if (language < 0 || language > 9) std::abort();
  const auto entries = file.ReadChampions();
  const int threshold = file.ChampionsThreshold();

  if (check != braxo::ChampionsCheck::kOk) {
    // Refused: it reads as empty, admits nothing and is never touched.
    if (!entries.empty() || threshold != braxo::kNoAdmission) std::abort();
    if (file.AddChampion("Fuzz", braxo::kMaxChampionScore) != 0) std::abort();
    if (file.WriteLanguageDigit((language + 1) % 10)) std::abort();
    if (ReadFile(path) != bytes) std::abort();
    return 0;
  }

  if (entries.size() != braxo::kChampionEntryCount) std::abort();
  if (threshold != entries[braxo::kChampionsShown - 1].score) std::abort();
  // Accepted: whatever the game writes into it passes the check again.
  const int place = file.AddChampion("Fuzz", braxo::kMaxChampionScore);
  if (place != 1) std::abort();
  if (!file.WriteLanguageDigit((language + 1) % 10)) std::abort();
  braxo::ChampionsFile again(path);
  if (again.CheckChampionsFile() != braxo::ChampionsCheck::kOk) std::abort();
  if (again.ReadChampions().front().name != "Fuzz") std::abort();
  if (again.ReadLanguageDigit() != (language + 1) % 10) std::abort();
  return 0;
}
