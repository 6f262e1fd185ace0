#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "club/AccountRules.h"

namespace braxo {
namespace {

TEST(AccountRules, RatingIsWrittenWithThreeDecimalsAndAComma) {
  struct Case {
    double rating;
    const char* text;
  };
  const Case cases[] = {
      {12, "12,000"},
      {12.5, "12,500"},
      {12.25, "12,250"},
      {7, "7,000"},
      {7.5, "7,500"},
      {0, "0,000"},
      {0.0004, "0,000"},
      {0.0016, "0,002"},
      {1.9996, "2,000"},
      {-3.25, "-3,250"},
      {-0.0004, "0,000"},
      {123456.789, "123456,789"},
      {std::numeric_limits<double>::quiet_NaN(), "0,000"},
      {std::numeric_limits<double>::infinity(), "0,000"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatClubRating(c.rating), c.text) << c.rating;
}

TEST(AccountRules, OnlyWebAndMailAddressesFromTheClubAreOpened) {
  struct Case {
    const char* link;
    bool opened;
  };
  const Case cases[] = {
      {"https://example.org/me", true},
      {"http://example.org", true},
      {"HTTPS://example.org", true},
      {"mailto:me@example.org", true},
      {"MailTo:me@example.org", true},
      {"mailto:", false},
      {"mailto:me", false},
      {"mailto:@example.org", false},
      {"mailto:me@", false},
      {"mailto:me@example.org?body=x y", false},
      {"mailto:me@example.org\r\nBcc: x@y", false},
      {"file:///etc/passwd", false},
      {"javascript:alert(1)", false},
      {"/usr/bin/xterm", false},
      {"example.org", false},
      {"skype:someone", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsOpenableClubLink(c.link), c.opened) << c.link;
}

TEST(AccountRules, SeparatorsInPersonalInfoBecomeSpaces) {
  PersonalInfo info;
  for (int row = 0; row < kInfoRowCount; ++row) InfoRow(info, row) = "a$b~c" + std::to_string(row);
  const PersonalInfo clean = CleanPersonalInfo(info);
  for (int row = 0; row < kInfoRowCount; ++row)
    EXPECT_EQ(InfoRow(clean, row), "a b c" + std::to_string(row)) << row;
}

TEST(AccountRules, RowsFollowTheWindowsOrder) {
  PersonalInfo info;
  InfoRow(info, 5) = "site";
  InfoRow(info, 6) = "skype";
  InfoRow(info, 13) = "tube";
  EXPECT_EQ(info.website, "site");
  EXPECT_EQ(info.skype, "skype");
  EXPECT_EQ(info.youtube, "tube");
  EXPECT_EQ(InfoRow(info, 0), info.first_name);
}

}  // namespace
}  // namespace braxo

namespace braxo {
namespace {

TEST(AccountRules, AccountPageControlsFollowStatePurposeAndRatings) {
  using enum AccountState;
  using enum AccountWindowPurpose;
  const AccountFieldRatings all_green{3, 3, 3, 3};
  struct Case {
    const char* what;
    AccountState state;
    AccountWindowPurpose purpose;
    AccountFieldRatings ratings;
    bool locked;
    AccountPageEnabled expected;  // fields, create, login/sign out, rating switch
  };
  // clang-format off
  const Case cases[] = {
      {"nobody, all green", kNobody, kAccountIcon, all_green, false, {true, true, true, false}},
      {"yellow nick and city still create", kNobody, kAccountIcon, {2, 2, 3, 3}, false, {true, true, true, false}},
      {"red nick", kNobody, kAccountIcon, {1, 3, 3, 3}, false, {true, false, false, false}},
      {"red city blocks only create", kNobody, kAccountIcon, {3, 1, 3, 3}, false, {true, false, true, false}},
      {"red e-mail blocks only create", kNobody, kAccountIcon, {3, 3, 3, 1}, false, {true, false, true, false}},
      {"short password", kNobody, kAccountIcon, {3, 3, 1, 3}, false, {true, false, false, false}},
      {"yellow password", kNobody, kAccountIcon, {3, 3, 2, 3}, false, {true, false, false, false}},
      {"member from the icon", kLoggedIn, kAccountIcon, all_green, false, {false, false, true, false}},
      {"member before a game", kLoggedIn, kPreGameCheck, all_green, false, {false, false, true, true}},
      {"rated member before a game", kRated, kPreGameCheck, {1, 1, 1, 1}, false, {false, false, true, true}},
      {"game in progress", kLoggedIn, kPreGameCheck, all_green, true, {false, false, false, false}},
      {"nobody, game in progress", kNobody, kAccountIcon, all_green, true, {false, false, false, false}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const AccountPageEnabled got = AccountPageControls(c.state, c.purpose, c.ratings, c.locked);
    EXPECT_EQ(got.fields, c.expected.fields);
    EXPECT_EQ(got.create, c.expected.create);
    EXPECT_EQ(got.login_or_sign_out, c.expected.login_or_sign_out);
    EXPECT_EQ(got.rated_switch, c.expected.rated_switch);
  }
}

}  // namespace
}  // namespace braxo
