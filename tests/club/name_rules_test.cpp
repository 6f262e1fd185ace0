// The name and character rules on Windows-1251 texts.
#include <gtest/gtest.h>

#include "club/NameRules.h"

namespace braxo {
namespace {

// "Иван" in Windows-1251.
const std::string kIvan = "\xC8\xE2\xE0\xED";

TEST(RateNameText, TournamentNicksAndCities) {
  struct Case {
    std::string text;
    int kind;
    int rating;
  };
  const Case cases[] = {
      {"Ab", 1, kRateGood},
      {kIvan, 1, kRateCyrillic},
      {"\xA8\xB8xx", 1, kRateCyrillic},  // Ё and ё count as Cyrillic letters
      {"Abcdefghijklm", 1, kRateRefused},
      {"Abcdefghijklm", 2, kRateGood},
      {"Abcdefghijklmnop", 2, kRateRefused},
      {"A", 1, kRateRefused},
      {"A", 2, kRateRefused},
      {"", 1, kRateRefused},
      {"Big Fan", 1, kRateRefused},
      {"a_b!(),-.?@", 1, kRateGood},
      {"a*b", 1, kRateRefused},
      {"a$b", 2, kRateRefused},
      {"a~b", 2, kRateRefused},
      {"a&b", 1, kRateRefused},
      {"\xE9", 0, kRateCyrillic},
      {" ", 0, kRateRefused},
      {"x", 0, kRateGood},
  };
  for (const Case& c : cases) EXPECT_EQ(RateNameText(c.text, c.kind), c.rating) << c.text;
}

TEST(RateAccountText, AccountPageKinds) {
  struct Case {
    std::string text;
    AccountTextKind kind;
    int rating;
  };
  const Case cases[] = {
      {"Player", AccountTextKind::kNick, kRateGood},
      {kIvan, AccountTextKind::kNick, kRateRefused},
      {kIvan, AccountTextKind::kCity, kRateCyrillic},
      {"abc", AccountTextKind::kPassword, kRateRefused},
      {"abcd", AccountTextKind::kPassword, kRateGood},
      {"abcdefghijklm", AccountTextKind::kPassword, kRateRefused},
      {"a\xE9"
       "bcd",
       AccountTextKind::kPassword, kRateRefused},
      {"a@b", AccountTextKind::kEMail, kRateGood},
      {"@ab", AccountTextKind::kEMail, kRateRefused},
      {"ab@", AccountTextKind::kEMail, kRateRefused},
      {"mail.ru", AccountTextKind::kEMail, kRateRefused},
      {"a@b@", AccountTextKind::kEMail, kRateGood},  // the first "@" counts
      {std::string(31, 'a') + "@", AccountTextKind::kEMail, kRateRefused},
      {"\xE9", AccountTextKind::kCharacter, kRateCyrillic},
      {"#", AccountTextKind::kCharacter, kRateRefused},
  };
  for (const Case& c : cases) EXPECT_EQ(RateAccountText(c.text, c.kind), c.rating) << c.text;
}

TEST(ChatMessage, AllowedCharactersUpToEighty) {
  EXPECT_TRUE(IsValidChatMessage("Hello_all!"));
  EXPECT_TRUE(IsValidChatMessage(std::string(80, 'x')));
  EXPECT_FALSE(IsValidChatMessage(std::string(81, 'x')));
  EXPECT_FALSE(IsValidChatMessage(""));
  EXPECT_FALSE(IsValidChatMessage("Hello all"));
  EXPECT_FALSE(IsValidChatMessage("a*"));
}

}  // namespace
}  // namespace braxo
