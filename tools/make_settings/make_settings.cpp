// Writes the settings file that ships with the game beside its champions
// table: a new installation's flags (start not yet counted, no like sent), the
// default name and passport, and the built-in club addresses, so that the
// very first run reads a complete file and takes the club's addresses from
// its configuration page. Usage: make_settings OUTPUT
#include <cstdio>
#include <string>

#include "club/BuiltinAddresses.h"
#include "storage/SettingsFile.h"
#include "storage/TextFile.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
    return 2;
  }
  const std::string output = argv[1];
  const braxo::SettingsHooks hooks = braxo::ClubSettingsHooks();
  const auto lines = braxo::SettingsLines(braxo::NewInstallationSettings(hooks));
  if (!lines || !braxo::WriteLinesAtomic(output, *lines)) {
    std::fprintf(stderr, "make_settings: cannot write %s\n", output.c_str());
    return 1;
  }
  braxo::Settings check;
  if (braxo::LoadSettings({output, output + ".no-champions"}, hooks, check) !=
          braxo::LoadOutcome::kComplete ||
      check.unique_start_counted || check.like_sent) {
    std::fprintf(stderr, "make_settings: %s does not read back as a new installation's\n",
                 output.c_str());
    return 1;
  }
  return 0;
}
