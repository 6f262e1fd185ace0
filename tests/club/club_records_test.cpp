// The plain rules behind the club operations: the rating steps, the name
// check, the password forms and the photo address.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "club/AccountService.h"
#include "club/GameRecords.h"
#include "club/Scramble.h"
#include "club/TopTenService.h"
#include "storage/TextFile.h"

namespace braxo {
namespace {

TEST(RatingTest, FormulasWithTheGamesConstants) {
  struct Case {
    double kon, old_rating, after_start;
  };
  // RatingAfterStart(newKon, 1, 0, 1, r) = oldKon * (r - oldKon) / newKon + newKon.
  for (const Case& c : {Case{1, 0, 1}, Case{4, 2003, 1504}, Case{2, 4001, 2002}}) {
    EXPECT_DOUBLE_EQ(RatingAfterStart(c.kon, 1, 0, 1, c.old_rating), c.after_start);
  }
  // RatingAfterScore(rated games, score, 0, 1, r) = r + score / rated games.
  EXPECT_DOUBLE_EQ(RatingAfterScore(4, 4000, 0, 1, 1504), 2504);
  EXPECT_DOUBLE_EQ(RatingAfterScore(1, 4000, 0, 1, 1), 4001);
  // The general form, with C and D not at the game's values.
  EXPECT_DOUBLE_EQ(RatingAfterStart(4, 2, 3, 2, 10), (2 * (10 - 1.0) - 3) / 4 + 2);
  EXPECT_DOUBLE_EQ(RatingAfterScore(4, 2, 3, 2, 10), (3 + 4 * (10 - 2.0) + 2) / 4 + 2);
}

TEST(RatingTest, RatedStepsRefuseRecordsTheFormulaCannotTake) {
  GameRecord game;
  game.rated_games = -1;
  game.rating = 5;
  EXPECT_FALSE(ApplyRatedStart(game));
  EXPECT_EQ(game.rated_games, -1);
  game.rated_games = std::numeric_limits<std::int32_t>::max();
  EXPECT_FALSE(ApplyRatedStart(game));
  for (const std::int32_t kon : {0, -3}) {
    game.rated_games = kon;
    game.best_score = 7;
    EXPECT_FALSE(ApplyRatedScore(game, 4000));
    EXPECT_EQ(game.best_score, 7);
    EXPECT_DOUBLE_EQ(game.rating, 5);
  }
  game.rated_games = 2;
  game.best_score = 5000;
  EXPECT_TRUE(ApplyRatedScore(game, 1000));
  EXPECT_EQ(game.best_score, 5000);  // a lower score keeps Best
  EXPECT_DOUBLE_EQ(game.rating, 505);
}

// The rule itself is the club's (NameRules); here, what the windows' UTF-8
// texts come to.
TEST(RateNameTextTest, Utf8TextsAsTheWindowsHoldThem) {
  struct Case {
    std::string text;
    int kind;
    int rate;
  };
  const std::vector<Case> cases = {
      {"Al", 1, 3},
      {"Анна", 1, 2},
      {"AnnaЁё", 1, 2},
      {"abcdefghijklm", 1, 1},  // 13 characters
      {"abcdefghijklm", 2, 3},
      {"abcdefghijklmnop", 2, 1},  // 16
      {"ЖЖЖЖЖЖЖЖЖЖЖЖ", 1, 2},      // 12 Cyrillic letters, 24 bytes of UTF-8
      {"A", 1, 1},
      {"A", 2, 1},
      {"A", 0, 3},
      {"", 1, 1},
      {"Ann Lee", 1, 1},
      {"Анна$", 1, 1},  // 1 wins over 2
      {"a!(),-.?@_", 1, 3},
      {"Zoë", 1, 1},     // in the code page, not in the allowed set
      {"李小龙", 1, 1},  // not in the code page: not an allowed "?"
      {"ab?", 1, 3},     // a typed "?" is allowed
      {"ab\xC3", 1, 1},  // not UTF-8
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RateNameTextUtf8(c.text, c.kind), c.rate) << c.text << " kind " << c.kind;
  }
}

TEST(PasswordFormsTest, ScrambledInTheCodePageAndRewrittenForTheStartUpLogin) {
  EXPECT_EQ(ScramblePassword("пароль"), ScrambleText(Utf8ToCp1251("пароль"), kAccountKey));
  EXPECT_EQ(UnscramblePassword(ScramblePassword("пароль 1")), "пароль 1");
  EXPECT_EQ(StartupLoginPassword("a b#c$d"), "a-b-c-d");
  EXPECT_EQ(StartupLoginPassword("plain"), "plain");
}

TEST(PhotoAddressTest, TheNickIsPercentEncoded) {
  EXPECT_EQ(PhotoAddress("http://h/photos/", "Ann_1.x~y-z"), "http://h/photos/Ann_1.x~y-z.jpg");
  EXPECT_EQ(PhotoAddress("http://h/photos/", "a?b@(c)/#%"),
            "http://h/photos/a%3Fb%40%28c%29%2F%23%25.jpg");
  EXPECT_EQ(PhotoAddress("http://h/p/", "Ян"), "http://h/p/%D0%AF%D0%BD.jpg");
}

TEST(TableFieldsTest, WriteTopTenEntryEndsTheLastFieldWithTheTerminator) {
  const std::vector<FormField> fields =
      WriteTopTenEntryFields("Ann", "Oslo", "1-034", "W", 5000, 176, "#", "#");
  ASSERT_EQ(fields.size(), 9u);
  EXPECT_EQ(fields.back().name, "R10");
  EXPECT_EQ(fields.back().value, "#*");
  EXPECT_EQ(PlainFormBody(fields),
            "gid=176&nick=Ann&city=Oslo&country=1-034&score=5000&R7=W&R8=2.7&R9=#&R10=#*");
}

}  // namespace
}  // namespace braxo
