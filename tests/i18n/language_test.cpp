#include "i18n/Language.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>

#include "i18n/Utf8.h"

namespace braxo {
namespace {

struct StepCase {
  int index;
  int step;
  int expected;
};

TEST(StepLanguage, StepsOneLanguageAndWrapsAtBothEnds) {
  const StepCase cases[] = {
      {0, 0, 0},   // keep
      {5, 0, 5},   //
      {9, 0, 9},   //
      {5, 1, 4},   // previous
      {1, 1, 0},   //
      {0, 1, 9},   // English back to Korean
      {5, 2, 6},   // next
      {8, 2, 9},   //
      {9, 2, 0},   // Korean on to English
      {4, 3, 4},   // unknown steps keep the language
      {4, -1, 4},  //
      {-1, 0, 0},  // an index outside 0-9 counts as English
      {10, 2, 1},  //
      {42, 1, 9},  //
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StepLanguage(c.index, c.step), c.expected)
        << "StepLanguage(" << c.index << ", " << c.step << ")";
  }
}

TEST(StepLanguage, TenStepsEitherWayVisitEveryLanguageAndReturn) {
  for (int step : {1, 2}) {
    std::set<int> seen;
    int index = 3;
    for (int i = 0; i < kLanguageCount; ++i) {
      index = StepLanguage(index, step);
      seen.insert(index);
    }
    EXPECT_EQ(index, 3) << "step " << step;
    EXPECT_EQ(static_cast<int>(seen.size()), kLanguageCount) << "step " << step;
  }
}

TEST(Language, EachLanguageHasItsOwnFlag) {
  std::set<std::string_view> flags;
  for (const auto& language : kLanguages) flags.insert(language.flag_picture);
  EXPECT_EQ(static_cast<int>(flags.size()), kLanguageCount);
}

TEST(Language, OnlyRussianChineseJapaneseAndKoreanHaveTheirOwnLettering) {
  const std::pair<int, std::string_view> cases[] = {
      {0, "CapEng"}, {1, "CapRus"}, {2, "CapEng"}, {3, "CapEng"}, {4, "CapEng"},
      {5, "CapChi"}, {6, "CapEng"}, {7, "CapEng"}, {8, "CapJap"}, {9, "CapKor"},
  };
  for (const auto& [index, caption] : cases) {
    EXPECT_EQ(Language(index).caption_picture, caption) << "language " << index;
  }
}

TEST(Language, OutOfRangeIndexGivesEnglish) {
  for (int index : {-1, kLanguageCount, 200}) {
    EXPECT_EQ(Language(index).flag_picture, "FlagEng") << index;
    EXPECT_EQ(LanguageNativeName(index), "English") << index;
  }
}

}  // namespace
}  // namespace braxo

namespace braxo {
namespace {

// The one UTF-8 rule of the catalogue generator and the club server.
TEST(Utf8Test, OnlyStrictUtf8IsValid) {
  struct Case {
    const char* what;
    std::string_view bytes;
    bool valid;
  };
  const Case cases[] = {
      {"empty", "", true},
      {"ASCII", "Moscow 76", true},
      {"two bytes", "\xD0\x9C\xD0\xBE", true},
      {"three bytes", "\xE2\x82\xAC", true},
      {"four bytes, the last character", "\xF4\x8F\xBF\xBF", true},
      {"a Windows-1251 letter", "\xCC", false},
      {"a lone continuation byte", "\x80", false},
      {"cut short", "\xE2\x82", false},
      {"overlong slash", "\xC0\xAF", false},
      {"overlong three bytes", "\xE0\x80\xAF", false},
      {"a surrogate", "\xED\xA0\x80", false},
      {"above U+10FFFF", "\xF4\x90\x80\x80", false},
      {"a five-byte lead", "\xF8\x88\x80\x80\x80", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.what;
}

}  // namespace
}  // namespace braxo
