// Every request's reply, written by the club's writer of its reply form and
// read by the game's reader: the record comes back whole, texts outside ASCII
// included, and the form's refusal reads as a failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "club/AccountService.h"
#include "club/GameRecords.h"
#include "club/ReplyRules.h"
#include "club/StatisticsService.h"
#include "club/TopTenService.h"
#include "club/wire/RequestTable.h"

namespace braxo {
namespace {

using wire::Request;

struct RoundTrip {
  std::string reply;  // a success, as the club writes it
  // Whether the game's reader takes a reply as a success.
  std::function<bool(std::string_view)> read_ok;
  // Whether it reads back the record the reply was written from.
  std::function<bool(std::string_view)> read_same;
};

MemberAccount SampleMember() {
  MemberAccount user;
  user.nick = "Ann";
  user.password = "pw";
  user.city = "Москва";
  user.country_name = "Россия";
  user.country_code = "1-001";
  user.sex = 'W';
  user.email = "ann@x.ru";
  user.registered_on = "21.06.2020";
  user.reserved_r01 = user.reserved_r02 = user.reserved_r03 = "xxx";
  user.kezs_balance = 35;
  user.reserved_r05 = 0;
  user.reserved_r06 = 7;
  return user;
}

PersonalInfo SampleInfo() {
  return {"Анна",        "Lee",   "likes tiles at night",
          "555",         "a@b.c", "sk",
          "https://a.b", "ok1",   "vk1",
          "tg",          "fb",    "tw",
          "ig",          "yt"};
}

std::vector<RatedPlayer> SamplePlayers() {
  return {{"Ann", "Москва", "1-001", 'W', 4001.5, "Россия"},
          {"Bob", "Oslo", "1-034", 'M', 12, "Norway"}};
}

std::vector<TableEntry> SampleEntries(std::int64_t table) {
  TableEntry first;
  first.table_id = table;
  first.place = 1;
  first.score = 12000;
  first.nick = "Анна";
  first.country_code = "1-001";
  first.city = "Москва";
  first.sex = "W";
  first.writer_version = "2.7";
  first.time_stamp = "12:00_01.02.2026";
  first.message = "Привет";
  TableEntry second = first;
  second.place = 2;
  second.score = 9000;
  second.nick = "Bob";
  second.city = "Oslo";
  second.time_stamp = second.message = "#";
  return {first, second};
}

UsageStats SampleStats() {
  UsageStats stats;
  stats.game_id = 76;
  stats.starts = 120;
  stats.unique_starts = 17;
  stats.likes = 3;
  stats.last_like_nick = "Анна";
  stats.finished_games_by_flag = {5, 4, 3, 0, 0, 0, 0, 0, 0, 0, 0, 1};
  stats.reserved_y = 0;
  stats.reserved_z = "#";
  return stats;
}

RoundTrip Marker(std::string_view marker) {
  const auto ok = [](std::string_view r) { return MarkerReply(r, kDoneMarker); };
  return {std::string(marker), ok, ok};
}

RoundTrip Number(std::int64_t n) {
  return {WriteNumberReply(n), [](std::string_view r) { return NumberReply(r).has_value(); },
          [n](std::string_view r) { return NumberReply(r) == n; }};
}

RoundTrip TailMarker() {
  const auto ok = [](std::string_view r) { return TailMarkerReply(r); };
  return {WriteTailMarkerReply(), ok, ok};
}

RoundTrip Table(std::int64_t id) {
  return {WriteTableReply(SampleEntries(id)),
          [id](std::string_view r) { return ReadTableReply(r, static_cast<std::int32_t>(id)).ok; },
          [id](std::string_view r) {
            const TableReply read = ReadTableReply(r, static_cast<std::int32_t>(id));
            const std::vector<TableEntry> sample = SampleEntries(id);
            return std::equal(sample.begin(), sample.end(), read.entries.begin()) &&
                   IsEmptyEntry(read.entries[sample.size()]);
          }};
}

std::map<Request, RoundTrip> RoundTrips() {
  std::map<Request, RoundTrip> trips;
  trips[Request::kCreateAccount] = {
      std::string(kDoneMarker), [](std::string_view r) { return ReadCreateAccountReply(r) == 0; },
      [](std::string_view r) { return ReadCreateAccountReply(r) == 0; }};
  trips[Request::kLogin] = {
      WriteLoginReply(SampleMember()),
      [](std::string_view r) { return ReadLoginReply(r, "Ann", "pw").ok; },
      [](std::string_view r) { return ReadLoginReply(r, "Ann", "pw").user == SampleMember(); }};
  trips[Request::kReadPersonalInfo] = {
      WritePersonalInfoReply(SampleInfo()),
      [](std::string_view r) { return ReadPersonalInfoReply(r) != PersonalInfo{}; },
      [](std::string_view r) { return ReadPersonalInfoReply(r) == SampleInfo(); }};
  trips[Request::kSavePersonalInfo] = Marker(kDoneMarker);
  trips[Request::kCountMembers] = Number(4711);
  trips[Request::kReadRatingPlace] = Number(3);
  trips[Request::kReadRatedTopTen] = {WriteRatedTopTenReply(SamplePlayers()),
                                      [](std::string_view r) { return ReadRatedTopTenReply(r).ok; },
                                      [](std::string_view r) {
                                        const RatedTopTenReply read = ReadRatedTopTenReply(r);
                                        std::vector<RatedPlayer> sample = SamplePlayers();
                                        // The game reads no country name.
                                        for (RatedPlayer& p : sample) p.country_name.clear();
                                        return std::equal(sample.begin(), sample.end(),
                                                          read.list.begin()) &&
                                               read.list[sample.size()] == RatedPlayer{};
                                      }};
  trips[Request::kCreditKezs] = Marker(kDoneMarker);
  trips[Request::kReadKezsBalance] = {
      WriteNumberReply(35), [](std::string_view r) { return ReadKezsBalanceReply(r).has_value(); },
      [](std::string_view r) { return ReadKezsBalanceReply(r) == 35; }};
  trips[Request::kReadGameRecord] = {
      WriteGameRecordReply(4, 4000, 1504.25),
      [](std::string_view r) { return ReadGameRecordReply(r).ok && ReadGameRecordFullReply(r).ok; },
      [](std::string_view r) {
        GameRecord kept;
        kept.rated_games = 4;
        kept.best_score = 4000;
        kept.rating = 1504.25;
        kept.reserved_r2 = "0";
        return ReadGameRecordReply(r).record == kept && ReadGameRecordFullReply(r).record == kept;
      }};
  trips[Request::kSaveGameRecord] = Marker(kDoneMarker);
  trips[Request::kReadTopTen] = Table(wire::kChatTableId);
  trips[Request::kReadOwnResults] = Table(wire::kAndroidTableId);
  trips[Request::kReadGameCount] = Number(42);
  trips[Request::kWriteTopTenEntry] = Number(1);
  trips[Request::kReadUsageStatistics] = {
      WriteUsageStatisticsReply(SampleStats()),
      [](std::string_view r) { return ReadUsageStatisticsReply(r, 76).ok; },
      [](std::string_view r) { return ReadUsageStatisticsReply(r, 76).stats == SampleStats(); }};
  trips[Request::kCountStart] = TailMarker();
  trips[Request::kSendLike] = TailMarker();
  trips[Request::kCountFinishedGame] = TailMarker();
  return trips;
}

TEST(ReplyRoundTripTest, EveryReplyReadsBackWhatTheClubWrote) {
  const std::map<Request, RoundTrip> trips = RoundTrips();
  for (const wire::RequestKind& kind : wire::RequestKinds()) {
    SCOPED_TRACE(std::string(kind.log_name));
    ASSERT_TRUE(trips.count(kind.request));
    const RoundTrip& trip = trips.at(kind.request);
    EXPECT_TRUE(trip.read_ok(trip.reply)) << trip.reply;
    EXPECT_TRUE(trip.read_same(trip.reply)) << trip.reply;
    // The club never refuses the rated players' list; a bare "no" reads as an
    // empty list.
    if (kind.request == Request::kReadRatedTopTen) continue;
    const std::string_view refusal = wire::RefusalReply(kind.reply);
    EXPECT_FALSE(trip.read_ok(refusal)) << refusal;
  }
}

TEST(ReplyRoundTripTest, RepliesGoOutInTheCodePage) {
  // "Москва" in Windows-1251.
  EXPECT_EQ(WriteLoginReply(SampleMember()).substr(0, 8), "$\xCC\xEE\xF1\xEA\xE2\xE0 ");
  EXPECT_EQ(WriteGameRecordReply(1, 4000, 4001), "$1 4000 4001 0 0 0 0 0$");
  EXPECT_EQ(WriteTailMarkerReply(), "$ ok#");
  EXPECT_EQ(WriteNumberReply(12), "$12");
}

TEST(ReplyRoundTripTest, ANickTakenAndARefusalAreNoCreatedAccount) {
  EXPECT_EQ(ReadCreateAccountReply(kNickTakenMarker), 1);
  EXPECT_EQ(ReadCreateAccountReply(wire::RefusalReply(wire::ReplyForm::kMarker)), 2);
}

}  // namespace
}  // namespace braxo
