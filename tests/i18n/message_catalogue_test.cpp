#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <string_view>

#include "i18n/Language.h"
#include "i18n/MessageCatalogue.h"

namespace braxo {
namespace {

constexpr int kRowCount = static_cast<int>(MsgId::kCount);

MsgId Row(int row) { return static_cast<MsgId>(row); }

// Counts characters as the title drawing does (one per code point).
int CodePoints(std::string_view utf8) {
  int count = 0;
  for (char ch : utf8) {
    if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) ++count;
  }
  return count;
}

TEST(MessageCatalogue, EveryRowHasANonEmptyTextInEveryLanguage) {
  for (int row = 0; row < kRowCount; ++row) {
    for (int language = 0; language < kLanguageCount; ++language) {
      const std::string& text = MessageText(Row(row), language);
      EXPECT_NE(text.find_first_not_of(' '), std::string::npos)
          << MessageName(Row(row)) << " is blank in language " << Language(language).code;
    }
  }
}

TEST(MessageCatalogue, RowNamesMatchTheEnumeratorsInOrder) {
  // A handful of enumerators spread over the table: if generation shifted the
  // names against the texts, these would disagree.
  const std::array<std::pair<MsgId, std::string_view>, 6> cases = {{
      {MsgId::MsgLanguageName, "MsgLanguageName"},
      {MsgId::MsgLivesLabel, "MsgLivesLabel"},
      {MsgId::MsgCannotConnect, "MsgCannotConnect"},
      {MsgId::MsgAfrica, "MsgAfrica"},
      {MsgId::MsgClubMembers, "MsgClubMembers"},
      {MsgId::MsgRefreshPhoto, "MsgRefreshPhoto"},
  }};
  for (const auto& [id, name] : cases) EXPECT_EQ(MessageName(id), name);

  std::set<std::string_view> names;
  for (int row = 0; row < kRowCount; ++row) names.insert(MessageName(Row(row)));
  EXPECT_EQ(static_cast<int>(names.size()), kRowCount) << "two rows share a name";
}

TEST(MessageCatalogue, EnglishTextsAreTheGameOwnWording) {
  // Texts the rest of the program concatenates or that players know by heart,
  // kept byte for byte (oddities included).
  const std::array<std::pair<MsgId, std::string_view>, 8> cases = {{
      {MsgId::MsgTitleCaps, "BRAXO"},
      {MsgId::MsgTitle, "Braxo"},
      {MsgId::MsgLivesLabel, "Lifes:"},
      {MsgId::MsgClubMembers, "Club members: "},
      {MsgId::MsgClubTitle, "CLUB \"ORVANTA GAMES\""},
      {MsgId::MsgChairmanOfClub, "Chairman of the club \"ORVANTA GAMES\" on the game"},
      {MsgId::MsgYourInstagram, "Your Instagramm"},
      {MsgId::MsgApkUnavailable, "in Apk is temporarily unavailable!"},
  }};
  for (const auto& [id, text] : cases)
    EXPECT_EQ(MessageText(id, kEnglish), text) << MessageName(id);
}

TEST(MessageCatalogue, EachLanguageNamesItselfInItsOwnLanguage) {
  const std::array<std::string_view, kLanguageCount> native_names = {
      "English", "Русский",  "Deutsch", "Français", "Español",
      "中文",    "Italiano", "Čeština", "日本語",   "한국어"};
  for (int language = 0; language < kLanguageCount; ++language) {
    EXPECT_EQ(MessageText(MsgId::MsgLanguageName, language), native_names[language])
        << "language " << language;
    EXPECT_EQ(LanguageNativeName(language), native_names[language]);
  }
}

TEST(MessageCatalogue, TranslationsAreNotLeftInEnglish) {
  // A translator who copies the English cell leaves the language unfinished;
  // these rows have no reason to read the same in any other language.
  const std::array<MsgId, 6> rows = {MsgId::MsgNewGame,        MsgId::MsgCannotConnect,
                                     MsgId::MsgClose,          MsgId::MsgConfirmNewGame,
                                     MsgId::MsgStatisticSince, MsgId::MsgAccountCreated};
  for (MsgId id : rows) {
    for (int language = 1; language < kLanguageCount; ++language) {
      EXPECT_NE(MessageText(id, language), MessageText(id, kEnglish))
          << MessageName(id) << " in " << Language(language).code;
    }
  }
}

TEST(MessageCatalogue, TitlesFitTheTitleScreenPalette) {
  // The title screen gives each letter its own palette entry (14 of them) and
  // picks the font size by length; an empty or one-letter title is a mistake.
  for (MsgId id : {MsgId::MsgTitleCaps, MsgId::MsgTitle}) {
    for (int language = 0; language < kLanguageCount; ++language) {
      const int length = CodePoints(MessageText(id, language));
      EXPECT_GE(length, 2) << MessageName(id) << " in " << Language(language).code;
      EXPECT_LE(length, 14) << MessageName(id) << " in " << Language(language).code;
    }
  }
}

TEST(MessageCatalogue, TextsJoinedToANumberKeepTheirSeparatingSpace) {
  for (int language = 0; language < kLanguageCount; ++language) {
    const std::string& text = MessageText(MsgId::MsgClubMembers, language);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), ' ') << "language " << Language(language).code;
  }
}

TEST(MessageCatalogue, OutOfRangeLanguageReadsAsEnglishAndBadIdAsEmpty) {
  for (int language : {-1, kLanguageCount, 255}) {
    EXPECT_EQ(MessageText(MsgId::MsgNewGame, language), "New game") << language;
  }
  EXPECT_EQ(MessageText(MsgId::kCount, 0), "");
  EXPECT_EQ(MessageText(static_cast<MsgId>(-1), 0), "");
  EXPECT_EQ(MessageName(MsgId::kCount), "");
}

TEST(MessageCatalogue, ReferencesStayValidAcrossLookups) {
  const std::string& first = MessageText(MsgId::MsgTitle, 1);
  const std::string* address = &first;
  for (int row = 0; row < kRowCount; ++row) MessageText(Row(row), 1);
  EXPECT_EQ(&MessageText(MsgId::MsgTitle, 1), address);
  EXPECT_EQ(first, "Браксо");
}

}  // namespace
}  // namespace braxo
