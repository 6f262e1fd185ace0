#include "club/Scramble.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace braxo {
namespace {

std::string AllByteValues() {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  return bytes;
}

TEST(ScrambleTest, UnscrambleRestoresEveryTextUnderBothKeys) {
  const std::vector<std::string> texts = {
      "",
      "A",
      "ab",
      "abc",
      "abcd",
      "http://127.0.0.1:8676/account",
      "\xCF\xE0\xF0\xEE\xEB\xFC 123",  // Windows-1251 Cyrillic
      AllByteValues(),
      std::string(70000, 'z'),
  };
  for (std::uint16_t key : {kConfigKey, kAccountKey, std::uint16_t{0}, std::uint16_t{0xFFFF}}) {
    for (const std::string& text : texts) {
      const std::string scrambled = ScrambleText(text, key);
      EXPECT_TRUE(IsText64(scrambled));
      EXPECT_EQ(UnscrambleText(scrambled, key), text) << "key " << key << " size " << text.size();
    }
  }
}

TEST(ScrambleTest, ScrambledLengthIsUnpadded) {
  const std::vector<std::pair<size_t, size_t>> cases = {{0, 0}, {1, 2}, {2, 3}, {3, 4},
                                                        {4, 6}, {5, 7}, {6, 8}, {7, 10}};
  for (const auto& [plain_size, scrambled_size] : cases) {
    EXPECT_EQ(ScrambleText(std::string(plain_size, 'q'), kConfigKey).size(), scrambled_size)
        << plain_size;
  }
}

TEST(ScrambleTest, XorStageMatchesTheRunningKeyRule) {
  // First byte: "A" XOR the key's high byte 0x5A = 0x1B. Second byte: the
  // running value advanced from that scrambled byte,
  // (0x1B + 0x5A17) * 52845 + 22719 mod 65536, has the high byte 0xFC, and
  // "B" XOR 0xFC = 0xBE.
  EXPECT_EQ(XorScramble("AB", kConfigKey), std::string("\x1B\xBE"));
  EXPECT_EQ(XorScramble("Braxo", kAccountKey), std::string("\x79\x7C\x7A\x89\xD7"));
  EXPECT_EQ(XorUnscramble(std::string("\x79\x7C\x7A\x89\xD7"), kAccountKey), "Braxo");
  EXPECT_EQ(ScrambleText("A", kConfigKey), "bA");
}

TEST(ScrambleTest, Text64PutsTheLowestBitsFirst) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {std::string("\x01"), "BA"},  // standard Base64 would give "AQ"
      {std::string("\xFF"), "/D"},           {std::string("\x01\x02"), "BIA"},
      {std::string("\x01\x02\x03"), "BIwA"}, {std::string("\x00\x00\x00", 3), "AAAA"},
      {std::string("\xFF\xFF\xFF"), "////"}, {std::string("\x01\x02\x03\x04"), "BIwAEA"},
  };
  for (const auto& [bytes, text] : cases) {
    EXPECT_EQ(Text64Encode(bytes), text);
    EXPECT_EQ(Text64Decode(text), bytes) << text;
  }
}

TEST(ScrambleTest, Text64DecodeToleratesAnyText) {
  // A lone character left over yields nothing.
  EXPECT_EQ(Text64Decode("BIwAB"), Text64Decode("BIwA"));
  EXPECT_EQ(Text64Decode("B"), "");
  // Characters outside the table count as digit 0.
  EXPECT_EQ(Text64Decode("B*"), std::string("\x01"));
  EXPECT_EQ(Text64Decode("B\xC3\xA9"), Text64Decode("BAA"));
  EXPECT_EQ(UnscrambleText("not scrambled!", kConfigKey).size(), 10u);
}

TEST(ScrambleTest, OneChangedByteChangesItsPositionAndTheKeyStreamAfterIt) {
  const std::string a = "aaaaaaaa";
  const std::string b = "aaabaaaa";
  const std::string xa = XorScramble(a, kConfigKey);
  const std::string xb = XorScramble(b, kConfigKey);
  EXPECT_EQ(XorScramble(a, kConfigKey), xa);
  EXPECT_EQ(xa.substr(0, 3), xb.substr(0, 3));
  EXPECT_NE(xa[3], xb[3]);
  // The plain bytes after position 3 are equal, so any difference there comes
  // from the running key.
  EXPECT_NE(xa.substr(4), xb.substr(4));
}

TEST(ScrambleTest, KeysAreNotInterchangeable) {
  const std::string scrambled = ScrambleText("http://example.org/", kAccountKey);
  EXPECT_NE(UnscrambleText(scrambled, kConfigKey), "http://example.org/");
}

}  // namespace
}  // namespace braxo
