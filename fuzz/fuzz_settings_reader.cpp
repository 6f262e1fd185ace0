// The settings reader on arbitrary settings and champions files, and the
// writer on whatever the reader produced: once written, a file reads back
// complete and unchanged.

#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "ScratchFiles.h"
#include "storage/SettingsFile.h"

namespace {

using braxo::fuzz::ScratchPath;
using braxo::fuzz::WriteFile;

bool SameValues(const braxo::Settings& a, const braxo::Settings& b) {
  return a.language_index == b.language_index && a.unique_start_counted == b.unique_start_counted &&
         a.like_sent == b.like_sent && a.player_name == b.player_name &&
         a.top_ten_address.scrambled == b.top_ten_address.scrambled &&
         a.top_ten_address.plain == b.top_ten_address.plain && a.passport.nick == b.passport.nick &&
         a.passport.country_code == b.passport.country_code && a.passport.city == b.passport.city &&
         a.passport.sex == b.passport.sex && a.stat_address.scrambled == b.stat_address.scrambled &&
         a.stat_address.plain == b.stat_address.plain;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider provider(data, size);
  const std::string champions = provider.ConsumeRandomLengthString(1024);
  const std::string settings_bytes = provider.ConsumeRemainingBytesAsString();

  const braxo::SettingsPaths paths{ScratchPath() + "Braxo.ini", ScratchPath() + "Braxo.clb"};
  WriteFile(paths.champions_file, champions);
  WriteFile(paths.settings_file, settings_bytes);
  const braxo::SettingsHooks hooks{"DEFTOP", "DEFSTAT",
                                   [](const std::string& s) { return "plain " + s; }};

  braxo::Settings loaded;
  braxo::LoadSettings(paths, hooks, loaded);
  if (loaded.language_index < 0 || loaded.language_index > 9) std::abort();
  if (loaded.passport.sex != 'M' && loaded.passport.sex != 'W') std::abort();
  if (loaded.passport.country_code.size() != 5) std::abort();

  // The first save settles line breaks and characters the code page lacks;
  // from then on save and load are exact inverses.
  braxo::SaveSettings(paths, loaded);
  braxo::Settings first;
  if (braxo::LoadSettings(paths, hooks, first) != braxo::LoadOutcome::kComplete) std::abort();
  braxo::SaveSettings(paths, first);
  braxo::Settings second;
  if (braxo::LoadSettings(paths, hooks, second) != braxo::LoadOutcome::kComplete) std::abort();
  if (!SameValues(first, second)) std::abort();
  return 0;
}
