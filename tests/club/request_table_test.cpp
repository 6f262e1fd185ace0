// The one table of the club's requests: every request the game builds is the
// one the club recognises by its field names, and the table leaves no two
// requests of a service alike.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "club/AccountService.h"
#include "club/GameRecords.h"
#include "club/StatisticsService.h"
#include "club/TopTenService.h"
#include "club/wire/RequestTable.h"

namespace braxo {
namespace {

using wire::Request;

std::vector<std::string> Names(const std::vector<FormField>& fields) {
  std::vector<std::string> names;
  for (const FormField& f : fields) names.push_back(f.name);
  return names;
}

std::vector<std::string> Names(const std::vector<std::string>& lines) {
  std::vector<std::string> names;
  for (const std::string& line : lines) names.push_back(line.substr(0, line.find('=')));
  return names;
}

// The field names of each request as the game's builder sends them.
std::map<Request, std::vector<std::string>> BuiltRequests(std::string_view prefix) {
  const MemberAccount user;
  const PersonalInfo info;
  const GameRecord record;
  return {
      {Request::kCreateAccount, Names(CreateAccountFields(user))},
      {Request::kLogin, Names(LoginAccountLines("Ann", "pw"))},
      {Request::kReadPersonalInfo, Names(ReadPersonalInfoLines("Ann"))},
      {Request::kSavePersonalInfo, Names(SavePersonalInfoFields("Ann", info))},
      {Request::kCountMembers, Names(CountClubMembersFields())},
      {Request::kReadRatingPlace, Names(ReadRatingPlaceFields(prefix, 2.5))},
      {Request::kReadRatedTopTen, Names(ReadRatedTopTenLines(prefix))},
      {Request::kCreditKezs, Names(CreditKezsFields("Ann", 25))},
      {Request::kReadKezsBalance, Names(ReadKezsBalanceLines("Ann"))},
      {Request::kReadGameRecord, Names(ReadGameRecordLines(prefix, "Ann", "pw"))},
      {Request::kSaveGameRecord, Names(SaveGameRecordFields(prefix, "Ann", "pw", record))},
      {Request::kReadTopTen, Names(ReadTopTenLines(76))},
      {Request::kReadOwnResults, Names(ReadOwnResultsFields(76, "Ann", "Oslo"))},
      {Request::kReadGameCount, Names(ReadGameCountLines(76))},
      {Request::kWriteTopTenEntry,
       Names(WriteTopTenEntryFields("Ann", "Oslo", "1-034", "W", 10, 76, "#", "#"))},
      {Request::kReadUsageStatistics, Names(ReadUsageStatisticsLines(76))},
      {Request::kCountStart, Names(CountStartFields(76, true))},
      {Request::kSendLike, Names(SendLikeFields(76, "Ann"))},
      {Request::kCountFinishedGame, Names(CountFinishedGameFields(76, {}))},
  };
}

TEST(RequestTableTest, EveryRequestTheGameBuildsIsTheOneTheClubRecognises) {
  const auto built = BuiltRequests(wire::kGameFieldPrefix);
  ASSERT_EQ(built.size(), wire::RequestKinds().size());
  for (const auto& [request, names] : built) {
    const wire::RequestKind& kind = wire::KindOf(request);
    SCOPED_TRACE(std::string(kind.log_name));
    const wire::RequestKind* found = wire::FindRequestKind(kind.service, names);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->request, request);
  }
}

TEST(RequestTableTest, TheGamesFieldPrefixGoesOnlyBeforeThePerGameNames) {
  const auto built = BuiltRequests("yyy");
  EXPECT_EQ(built.at(Request::kReadRatedTopTen), (std::vector<std::string>{"yyykon"}));
  EXPECT_EQ(
      built.at(Request::kSaveGameRecord),
      (std::vector<std::string>{"nick", "pw", "yyykon", "yyybest", "yyyrating", "yyyR1", "yyyR2"}));
  // The club serves this game only.
  EXPECT_EQ(wire::FindRequestKind(wire::Service::kAccount, built.at(Request::kReadRatedTopTen)),
            nullptr);
}

TEST(RequestTableTest, NoTwoRequestsOfAServiceHaveTheSameNames) {
  std::set<std::string> log_names;
  std::map<wire::Service, std::set<std::multiset<std::string>>> signatures;
  for (std::size_t i = 0; i < wire::RequestKinds().size(); ++i) {
    const wire::RequestKind& kind = wire::RequestKinds()[i];
    SCOPED_TRACE(std::string(kind.log_name));
    EXPECT_EQ(static_cast<std::size_t>(kind.request), i);
    EXPECT_TRUE(log_names.insert(std::string(kind.log_name)).second);
    std::multiset<std::string> names;
    for (const wire::RequestField& f : kind.fields) names.insert(wire::FieldName(f.field));
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    EXPECT_TRUE(signatures[kind.service].insert(names).second);
  }
}

TEST(RequestTableTest, BuildingARequestAgainstTheTableIsAProgrammingFault) {
  // Values for exactly the varying fields, in the table's order.
  EXPECT_EQ(wire::ListRequestLines(Request::kLogin, {"Ann", "pw"}),
            (std::vector<std::string>{"nick=Ann", "pw=pw", "label0=0"}));
  EXPECT_THROW(wire::ListRequestLines(Request::kLogin, {"Ann"}), std::logic_error);
  EXPECT_THROW(wire::ListRequestLines(Request::kLogin, {"Ann", "pw", "0"}), std::logic_error);
  EXPECT_THROW(wire::PlainRequestFields(Request::kLogin, {"Ann", "pw"}), std::logic_error);
  EXPECT_THROW(wire::ListRequestLines(Request::kCountMembers, {}), std::logic_error);
}

}  // namespace
}  // namespace braxo
