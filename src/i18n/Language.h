// The interface languages and the language step of the options page.
#pragma once

#include <array>
#include <string_view>

#include "i18n/MsgId.h"

namespace braxo {

// What the program knows about one interface language besides its texts.
struct LanguageInfo {
  std::string_view code;             // column code of the message files, "en"
  std::string_view english_name;     // "English", "Russian", ...
  std::string_view flag_picture;     // 150 x 182 PNG resource, "FlagEng"
  std::string_view caption_picture;  // 450 x 70 PNG title lettering, "CapEng"
};

// Indexed by LanguageIndex. Only five letterings exist: the languages written
// in Latin script share "CapEng".
inline constexpr std::array<LanguageInfo, kLanguageCount> kLanguages = {{
    {"en", "English", "FlagEng", "CapEng"},
    {"ru", "Russian", "FlagRus", "CapRus"},
    {"de", "German", "FlagDeu", "CapEng"},
    {"fr", "French", "FlagFra", "CapEng"},
    {"es", "Spanish", "FlagEsp", "CapEng"},
    {"zh", "Chinese", "FlagChi", "CapChi"},
    {"it", "Italian", "FlagIta", "CapEng"},
    {"cs", "Czech", "FlagCze", "CapEng"},
    {"ja", "Japanese", "FlagJap", "CapJap"},
    {"ko", "Korean", "FlagKor", "CapKor"},
}};

// The table above and the message files must list the languages in the same
// order, or every text would show under the wrong flag.
constexpr bool LanguageTableMatchesCatalogue() {
  for (int i = 0; i < kLanguageCount; ++i) {
    if (kLanguages[i].code != kCatalogueLanguageCodes[i]) return false;
  }
  return true;
}
static_assert(LanguageTableMatchesCatalogue(),
              "kLanguages and the message files (BRAXO_LANGUAGES in src/i18n/CMakeLists.txt) "
              "list the languages in different orders");

inline constexpr int kEnglish = 0;

// True for 0 to kLanguageCount - 1.
constexpr bool IsLanguageIndex(int index) { return index >= 0 && index < kLanguageCount; }

// The language entry of `index`; an index outside the range gives English.
const LanguageInfo& Language(int index);

// The language's own name ("Deutsch", "日本語"): its MsgLanguageName cell.
std::string_view LanguageNativeName(int index);

// The options page's arrows. step 0 keeps the language, 1 goes to the previous
// one (English wraps to the last), 2 to the next one (the last wraps to
// English); any other step keeps it. An index outside the range counts as
// English. The result is always a valid LanguageIndex.
int StepLanguage(int index, int step);

}  // namespace braxo
