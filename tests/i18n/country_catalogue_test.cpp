#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "i18n/CountryCatalogue.h"
#include "i18n/MessageCatalogue.h"

namespace braxo {
namespace {

TEST(CountryCatalogue, EachContinentListsIndexZeroToItsLastIndex) {
  const std::pair<int, int> last_indexes[] = {{1, 48}, {2, 51}, {3, 35}, {4, 14}, {5, 23}, {6, 54}};
  for (const auto& [continent, last] : last_indexes) {
    EXPECT_EQ(LastCountryIndex(continent), last) << "continent " << continent;
    EXPECT_EQ(static_cast<int>(CountriesOf(continent).size()), last + 1)
        << "continent " << continent;
    EXPECT_LE(last + 1, kMaxCountriesPerContinent);
  }
  for (int not_a_continent : {0, 7, -1}) {
    EXPECT_TRUE(CountriesOf(not_a_continent).empty());
    EXPECT_EQ(LastCountryIndex(not_a_continent), -1);
  }
}

TEST(CountryCatalogue, EntryZeroIsUnknownOnEveryContinent) {
  for (int continent = kFirstContinent; continent <= kLastContinent; ++continent) {
    const Country first = CountriesOf(continent).front();
    EXPECT_EQ(first.name, "Unknown");
    EXPECT_EQ(first.server_name, "Unknown");
  }
}

TEST(CountryCatalogue, CountryInfoGivesUnknownOutsideTheLists) {
  const std::pair<int, int> outside[] = {{1, 49}, {4, 99}, {4, 15}, {6, 55},
                                         {1, -1}, {0, 1},  {7, 1},  {9, 999}};
  for (const auto& [continent, index] : outside) {
    const Country country = CountryInfo(continent, index);
    EXPECT_EQ(country.name, "Unknown") << continent << "-" << index;
    EXPECT_EQ(country.server_name, "Unknown") << continent << "-" << index;
  }
}

TEST(CountryCatalogue, NamesAtKnownPositions) {
  struct Case {
    int continent;
    int index;
    std::string_view name;
    std::string_view server_name;
  };
  const Case cases[] = {
      {1, 1, "Russia", "Russia"},
      {1, 10, "Czech Republic", "Czech_Republic"},
      {1, 48, "United Kingdom", "United_Kingdom"},
      {2, 51, "Yemen", "Yemen"},
      {3, 34, "USA", "USA"},
      {3, 31, "Saint Vincent and the Grenadines", "S.V._Grenadines"},
      {4, 14, "Venezuela", "Venezuela"},
      {5, 23, "Wallis and Futuna", "Wallis-Futuna"},
      {6, 12, "Congo Republic", "Congo_Republic"},
      {6, 54, "Zimbabwe", "Zimbabwe"},
  };
  for (const auto& c : cases) {
    const Country country = CountryInfo(c.continent, c.index);
    EXPECT_EQ(country.name, c.name) << c.continent << "-" << c.index;
    EXPECT_EQ(country.server_name, c.server_name) << c.continent << "-" << c.index;
  }
}

// The club record keeps the server-form name: it is the English name with
// spaces turned into "_", except for the short forms below.
TEST(CountryCatalogue, ServerNamesFollowTheUnderscoreRuleOrTheShortForms) {
  const std::map<std::pair<int, int>, std::string_view> short_forms = {
      {{1, 7}, "Bosnia_Herz."},     {{1, 40}, "Serbia-Mont."},
      {{2, 7}, "B.I.O.T."},         {{2, 48}, "UAE"},
      {{3, 2}, "Antigua-Barbuda"},  {{3, 8}, "BVI"},
      {{3, 14}, "Dominican_Rep."},  {{3, 28}, "Saint_Kitts_N."},
      {{3, 30}, "Saint_Pierre_M."}, {{3, 31}, "S.V._Grenadines"},
      {{3, 32}, "Trinidad_Tobago"}, {{3, 33}, "Turks_Caicos_I."},
      {{4, 7}, "Falkland_Isl."},    {{5, 5}, "Fr._Polynesia"},
      {{5, 8}, "Marshall_Isl."},    {{5, 14}, "N._Mariana_Isl."},
      {{5, 16}, "Papua_New_G."},    {{5, 17}, "Pitcairn_Isl."},
      {{5, 23}, "Wallis-Futuna"},   {{6, 9}, "CAR"},
      {{6, 13}, "Congo_DR"},        {{6, 16}, "Eq._Guinea"},
      {{6, 24}, "Cote_Divoire"},    {{6, 41}, "Sao_Tome_Pr."},
  };
  for (int continent = kFirstContinent; continent <= kLastContinent; ++continent) {
    const auto countries = CountriesOf(continent);
    for (int index = 0; index < static_cast<int>(countries.size()); ++index) {
      const Country& country = countries[index];
      std::string expected(country.name);
      for (char& ch : expected) {
        if (ch == ' ') ch = '_';
      }
      if (const auto it = short_forms.find({continent, index}); it != short_forms.end()) {
        expected = it->second;
      }
      EXPECT_EQ(country.server_name, expected) << continent << "-" << index;
      EXPECT_FALSE(country.server_name.empty()) << continent << "-" << index;
      EXPECT_LE(country.server_name.size(), 15u) << continent << "-" << index;
      EXPECT_EQ(country.server_name.find(' '), std::string_view::npos);
    }
  }
}

TEST(CountryCatalogue, ContinentsUseTheirCatalogueNamesAndFlagLists) {
  const std::pair<MsgId, std::string_view> expected[] = {
      {MsgId::MsgEurope, "ILEuro"},       {MsgId::MsgAsia, "ILAsia"},
      {MsgId::MsgNorthAmerica, "ILNAme"}, {MsgId::MsgSouthAmerica, "ILSAme"},
      {MsgId::MsgOceania, "ILOcea"},      {MsgId::MsgAfrica, "ILAfri"},
  };
  for (int continent = kFirstContinent; continent <= kLastContinent; ++continent) {
    const auto& [name, list] = expected[continent - 1];
    EXPECT_EQ(ContinentNameId(continent), name) << continent;
    EXPECT_EQ(ContinentFlagList(continent), list) << continent;
  }
  EXPECT_TRUE(ContinentFlagList(7).empty());
}

struct ParseCase {
  std::string_view text;
  std::optional<std::pair<int, int>> expected;  // continent, index
};

TEST(CountryCode, ParseAcceptsOnlyCodesOfListedCountries) {
  const ParseCase cases[] = {
      {"1-001", std::pair{1, 1}},
      {"3-034", std::pair{3, 34}},
      {"1-000", std::pair{1, 0}},
      {"1-048", std::pair{1, 48}},  // last of Europe
      {"2-051", std::pair{2, 51}},
      {"4-014", std::pair{4, 14}},
      {"5-023", std::pair{5, 23}},
      {"6-054", std::pair{6, 54}},
      {"1-049", std::nullopt},  // one past the last of Europe
      {"4-015", std::nullopt},
      {"6-055", std::nullopt},
      {"2-999", std::nullopt},
      {"7-001", std::nullopt},  // no continent 7
      {"0-001", std::nullopt},
      {"9-000", std::nullopt},
      {"1_001", std::nullopt},  // second character not a hyphen
      {"1 001", std::nullopt},
      {"11001", std::nullopt},
      {"1-01", std::nullopt},    // 4 characters
      {"1-0010", std::nullopt},  // 6 characters
      {"", std::nullopt},
      {"1-", std::nullopt},
      {"1-+01", std::nullopt},  // the number is three plain digits
      {"1- 01", std::nullopt},
      {"1--01", std::nullopt},
      {"1-0a1", std::nullopt},
      {"A-001", std::nullopt},
      {std::string_view("1-0\0"
                        "1",
                        5),
       std::nullopt},
      {"\xD0\x90-001", std::nullopt},  // a multi-byte letter makes it 6 bytes
  };
  for (const auto& c : cases) {
    const auto code = CountryCode::Parse(c.text);
    EXPECT_EQ(IsValidCountryCode(c.text), c.expected.has_value()) << '"' << c.text << '"';
    ASSERT_EQ(code.has_value(), c.expected.has_value()) << '"' << c.text << '"';
    if (code) {
      EXPECT_EQ(code->continent(), c.expected->first) << c.text;
      EXPECT_EQ(code->index(), c.expected->second) << c.text;
      EXPECT_EQ(code->ToString(), c.text);
    }
  }
}

TEST(CountryCode, EveryListedCountryRoundTripsThroughItsText) {
  std::set<std::string> texts;
  std::set<std::string> flags;
  for (int continent = kFirstContinent; continent <= kLastContinent; ++continent) {
    for (int index = 0; index <= LastCountryIndex(continent); ++index) {
      const auto code = CountryCode::FromParts(continent, index);
      ASSERT_TRUE(code.has_value()) << continent << "-" << index;
      const std::string text = code->ToString();
      ASSERT_EQ(text.size(), 5u) << text;
      EXPECT_EQ(CountryCode::Parse(text), code) << text;
      EXPECT_EQ(code->Info().name, CountryInfo(continent, index).name);
      texts.insert(text);
      flags.insert(CountryFlagPicture(*code));
    }
  }
  EXPECT_EQ(texts.size(), flags.size());
  EXPECT_EQ(texts.size(), 49u + 52u + 36u + 15u + 24u + 55u);
}

TEST(CountryCode, FromPartsRefusesWhatParseRefuses) {
  const std::pair<int, int> refused[] = {{0, 0}, {7, 0}, {1, 49}, {1, -1}, {4, 15}, {6, 1000}};
  for (const auto& [continent, index] : refused) {
    EXPECT_FALSE(CountryCode::FromParts(continent, index).has_value()) << continent << "-" << index;
  }
}

TEST(CountryCode, ChoosingAContinentThenACountryGivesItsCodeAndServerName) {
  const auto usa = CountryCode::FromParts(3, 34);
  ASSERT_TRUE(usa);
  EXPECT_EQ(usa->ToString(), "3-034");
  EXPECT_EQ(usa->Info().server_name, "USA");

  const auto grenadines = CountryCode::FromParts(3, 31);
  ASSERT_TRUE(grenadines);
  EXPECT_EQ(grenadines->ToString(), "3-031");
  EXPECT_EQ(grenadines->Info().server_name, "S.V._Grenadines");

  // A new continent starts at "Unknown", whatever index was chosen before.
  const auto africa = CountryCode::FromParts(6, 0);
  ASSERT_TRUE(africa);
  EXPECT_EQ(africa->ToString(), "6-000");
  EXPECT_EQ(africa->Info().server_name, "Unknown");
}

TEST(CountryCode, DefaultIsEuropeUnknownAndFlagNamesCarryTheDigits) {
  EXPECT_EQ(CountryCode().ToString(), "1-000");
  const std::pair<std::string_view, std::string_view> cases[] = {{"1-001", "Country1001"},
                                                                 {"3-034", "Country3034"},
                                                                 {"6-054", "Country6054"},
                                                                 {"4-000", "Country4000"}};
  for (const auto& [text, flag] : cases) {
    const auto code = CountryCode::Parse(text);
    ASSERT_TRUE(code) << text;
    EXPECT_EQ(CountryFlagPicture(*code), flag);
  }
}

}  // namespace
}  // namespace braxo
