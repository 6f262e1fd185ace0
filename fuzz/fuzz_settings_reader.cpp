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
  return a.LanguageIndex == b.LanguageIndex && a.UniqueStartCounted == b.UniqueStartCounted &&
         a.LikeSent == b.LikeSent && a.PlayerName == b.PlayerName &&
         a.TopTenAddress.scrambled == b.TopTenAddress.scrambled &&
         a.TopTenAddress.plain == b.TopTenAddress.plain && a.Passport.Nick == b.Passport.Nick &&
         a.Passport.Country == b.Passport.Country && a.Passport.City == b.Passport.City &&
         a.Passport.Sex == b.Passport.Sex && a.StatAddress.scrambled == b.StatAddress.scrambled &&
         a.StatAddress.plain == b.StatAddress.plain;
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
  if (loaded.LanguageIndex < 0 || loaded.LanguageIndex > 9) std::abort();
  if (loaded.Passport.Sex != 'M' && loaded.Passport.Sex != 'W') std::abort();
  if (loaded.Passport.Country.size() != 5) std::abort();

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
