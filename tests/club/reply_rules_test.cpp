#include <gtest/gtest.h>

#include <cmath>
#include <locale>
#include <optional>
#include <string>
#include <vector>

#include "club/ReplyRules.h"

namespace braxo {
namespace {

TEST(ReplyRulesTest, MarkerReplyFindsTheMarkerAnywhere) {
  struct Case {
    std::string reply;
    std::string marker;
    bool found;
  };
  const std::vector<Case> cases = {
      {"$ok$", "ok", true},       {"ok", "ok", true},
      {"OK", "ok", false},        {"o k", "ok", false},
      {"", "ok", false},          {"$Sinop Turkey$", "no", true},  // inside ordinary data
      {"$Nowhere$", "no", false}, {"is ok", "is", true},
  };
  for (const Case& c : cases) EXPECT_EQ(MarkerReply(c.reply, c.marker), c.found) << c.reply;
}

TEST(ReplyRulesTest, NumberReplyReadsTheDigitsAfterTheLastDollar) {
  const std::vector<std::pair<std::string, std::optional<std::int32_t>>> cases = {
      {"$123a", 123},
      {"abc$12$345", 345},
      {"members: $4711", 4711},  // a reply ending with the number keeps all digits
      {"$12$", 12},              // a final "$" opens nothing
      {"x$007", 7},
      {"$2147483647", 2147483647},
      {"$a12", std::nullopt},
      {"$12$a", std::nullopt},  // only the last "$" counts
      {"no dollar", std::nullopt},
      {"12$", std::nullopt},
      {"$", std::nullopt},
      {"", std::nullopt},
      {"$-5", std::nullopt},
      {"$2147483648", std::nullopt},
      {"$99999999999999999999999", std::nullopt},
  };
  for (const auto& [reply, number] : cases) EXPECT_EQ(NumberReply(reply), number) << reply;
}

TEST(ReplyRulesTest, FirstNumberReplyNeedsAWholeInteger) {
  const std::vector<std::pair<std::string, std::optional<std::int32_t>>> cases = {
      {"$42$junk$7", 42},
      {"$42", 42},
      {"balance $-17$", -17},
      {"$+8$", 8},
      {"$0042$", 42},
      {"$4a2$", std::nullopt},
      {"$$5", std::nullopt},
      {"$ 5$", std::nullopt},
      {"$5.0$", std::nullopt},
      {"$2147483648$", std::nullopt},
      {"$-2147483648$", -2147483647 - 1},
      {"no number", std::nullopt},
      {"$", std::nullopt},
  };
  for (const auto& [reply, number] : cases) EXPECT_EQ(FirstNumberReply(reply), number) << reply;
}

TEST(ReplyRulesTest, RecordReplyCutsTheFirstRecordIntoFields) {
  struct Case {
    std::string reply;
    char terminator;
    char separator;
    std::optional<ReplyRecord> record;
  };
  const std::vector<Case> cases = {
      {"$Moscow Russia 1-001 M a@b.c 21.06.2020 xxx xxx xxx 100 0 0$", '$', ' ',
       ReplyRecord{"Moscow", "Russia", "1-001", "M", "a@b.c", "21.06.2020", "xxx", "xxx", "xxx",
                   "100", "0", "0"}},
      {"$a  b*rest", '*', ' ', ReplyRecord{"a", "", "b"}},
      {"$Ann~~About me~~~~~~~~~~~~$", '$', '~',
       ReplyRecord{"Ann", "", "About me", "", "", "", "", "", "", "", "", "", "", "", ""}},
      {"junk$x y", '*', ' ', ReplyRecord{"x", "y"}},  // no terminator: to the end
      {"$*", '*', ' ', ReplyRecord{""}},
      {"no dollar", '$', ' ', std::nullopt},
      {"abc$", '$', ' ', std::nullopt},
      {"", '$', ' ', std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RecordReply(c.reply, c.terminator, c.separator), c.record) << c.reply;
  }
}

TEST(ReplyRulesTest, RecordRepliesContinueAfterTheOpeningDollar) {
  EXPECT_EQ(RecordReplies("$1 0 300 Ann*$2 0 200 Bob*$3 0 100 Cy*", '*', ' ', 10),
            (std::vector<ReplyRecord>{
                {"1", "0", "300", "Ann"}, {"2", "0", "200", "Bob"}, {"3", "0", "100", "Cy"}}));
  EXPECT_EQ(RecordReplies("$a*$b*$c*$d*", '*', ' ', 2).size(), 2u);
  // With "$" as terminator the closing "$" of one record opens the next.
  EXPECT_EQ(RecordReplies("$a b$c d$", '$', ' ', 10),
            (std::vector<ReplyRecord>{{"a", "b"}, {"c", "d"}}));
  // A "$" inside a record is data there and also opens the next record.
  EXPECT_EQ(RecordReplies("$x $y*", '*', ' ', 10), (std::vector<ReplyRecord>{{"x", "$y"}, {"y"}}));
  EXPECT_TRUE(RecordReplies("nothing here", '*', ' ', 10).empty());
  EXPECT_TRUE(RecordReplies("$a*", '*', ' ', 0).empty());
}

TEST(ReplyRulesTest, RecordFieldOutsideTheRecordIsEmpty) {
  const ReplyRecord record = {"a", "b"};
  EXPECT_EQ(RecordField(record, 1), "a");
  EXPECT_EQ(RecordField(record, 2), "b");
  EXPECT_EQ(RecordField(record, 3), "");
  EXPECT_EQ(RecordField(record, 0), "");
}

TEST(ReplyRulesTest, TailMarkerReplyWantsOkAtTheSecondAndThirdCharacter) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"$ ok#", true},     {"counted$ ok", true}, {"$ ok$", true},  // the final "$" opens nothing
      {"$xok#tail", true}, {"$ok#", false},  // directly after the "$" is too early
      {"$ no#$ ok", true}, {"$ ok#$ no", false},  {"$ o", false},
      {" ok", false},      {"", false},           {"$ OK#", false},
  };
  for (const auto& [reply, ok] : cases) EXPECT_EQ(TailMarkerReply(reply), ok) << reply;
}

TEST(ClubNumberTest, FormatClubNumberWritesTheShortestGeneralForm) {
  const std::vector<std::pair<double, std::string>> cases = {
      {0.0, "0"},           {0.000001, "0"},     {-0.0000099, "0"},
      {0.00001, "0.00001"}, {1.0, "1"},          {1504.0, "1504"},
      {2504.5, "2504.5"},   {-3.25, "-3.25"},    {1.0 / 3.0, "0.333333333333333"},
      {0.1 + 0.2, "0.3"},   {4001.0, "4001"},    {123456789012345.0, "123456789012345"},
      {1e15, "1E15"},       {1.5e20, "1.5E20"},  {-1e16, "-1E16"},
      {100.0, "100"},       {std::nan(""), "0"}, {HUGE_VAL, "0"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(FormatClubNumber(value), text) << text;
}

TEST(ClubNumberTest, ParseClubNumberReplacesTheFirstOtherCharacterByThePoint) {
  const std::vector<std::pair<std::string, std::optional<double>>> cases = {
      {"12", 12.0},
      {"12.5", 12.5},
      {"12,5", 12.5},
      {"-3,25", -3.25},
      {" 42 ", 42.0},
      {"2504.5E1", 25045.0},
      {"1e3", 1.3},  // "e" is the first other character and becomes the point
      {"+5", 0.5},
      {"abc", std::nullopt},
      {"1.5.3", std::nullopt},
      {"1,234.5", std::nullopt},
      {"-", std::nullopt},
      {"  ", std::nullopt},
      {"1 2", std::nullopt},
      {"1.5e999", std::nullopt},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseClubNumber(text), value) << text;
  EXPECT_EQ(ParseClubNumber("", 7.0), 7.0);
}

// A program-wide locale with a decimal comma must not change the texts.
TEST(ClubNumberTest, NumberTextsIgnoreTheProgramLocale) {
  struct CommaPoint : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  const std::locale previous = std::locale::global(std::locale(std::locale(), new CommaPoint));
  EXPECT_EQ(FormatClubNumber(2504.5), "2504.5");
  EXPECT_EQ(ParseClubNumber("12.5"), 12.5);
  EXPECT_EQ(ParseClubNumber("12,5"), 12.5);
  std::locale::global(previous);
}

}  // namespace
}  // namespace braxo
