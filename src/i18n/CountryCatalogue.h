// The fixed list of continents and countries a player picks a country from,
// and the five-character country code "d-nnn" that stores the choice.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "i18n/MsgId.h"

namespace braxo {

// Continents are numbered 1 to 6 (Europe, Asia, North America, South America,
// Oceania, Africa): the digit of a CountryCode.
inline constexpr int kFirstContinent = 1;
inline constexpr int kLastContinent = 6;
inline constexpr int kContinentCount = 6;
// The longest country list (Africa, indexes 0 to 54); windows keep one flag
// bitmap per entry.
inline constexpr int kMaxCountriesPerContinent = 55;

struct Country {
  std::string_view name;         // English display name, the same in every language
  std::string_view server_name;  // the club's form: at most 15 characters, no spaces
};

constexpr bool IsContinent(int continent) {
  return continent >= kFirstContinent && continent <= kLastContinent;
}

// The countries of a continent in index order; entry 0 is always "Unknown", so
// a list position equals the country index. Empty for a non-continent.
std::span<const Country> CountriesOf(int continent);

// The highest country index of a continent (48, 51, 35, 14, 23, 54); -1 for a
// non-continent.
int LastCountryIndex(int continent);

// The continent's name row (MsgEurope ... MsgAfrica); a non-continent reads as Europe.
MsgId ContinentNameId(int continent);

// The name of the continent's flag image list ("ILEuro", "ILAsia", "ILNAme",
// "ILSAme", "ILOcea", "ILAfri"); empty for a non-continent.
std::string_view ContinentFlagList(int continent);

// Name and server-form name of a country. A non-continent, a negative index or
// one above the continent's last gives {"Unknown", "Unknown"}, as does index 0.
Country CountryInfo(int continent, int index);

// A validated country code: continent 1-6, index 0 to the continent's last.
class CountryCode {
 public:
  static constexpr int kLength = 5;

  // Europe, "Unknown" (1-000).
  constexpr CountryCode() = default;

  // Accepts exactly five characters: a continent digit "1"-"6", "-", and three
  // decimal digits naming an index from 0 to that continent's last one
  // ("3-034"). Anything else (other lengths, continent 0 or 7, a missing
  // hyphen, signs or spaces in the number, an index past the list) is nullopt.
  static std::optional<CountryCode> Parse(std::string_view text);

  // nullopt unless IsContinent(continent) and 0 <= index <= LastCountryIndex.
  static std::optional<CountryCode> FromParts(int continent, int index);

  int continent() const { return continent_; }
  int index() const { return index_; }

  // "d-nnn", the index zero-padded to three digits.
  std::string ToString() const;

  // The country this code names.
  Country Info() const { return CountryInfo(continent_, index_); }

  friend bool operator==(const CountryCode&, const CountryCode&) = default;

 private:
  constexpr CountryCode(int continent, int index) : continent_(continent), index_(index) {}

  int continent_ = kFirstContinent;
  int index_ = 0;
};

// Shorthand for CountryCode::Parse(text).has_value().
bool IsValidCountryCode(std::string_view text);

// The name of the 14 x 12 flag picture of a country: "Country" followed by the
// five digits of its code without the hyphen ("Country3034" for 3-034).
std::string CountryFlagPicture(const CountryCode& code);

}  // namespace braxo
