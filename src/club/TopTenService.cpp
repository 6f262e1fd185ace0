#include "club/TopTenService.h"

#include <cstddef>
#include <optional>
#include <utility>

#include "club/NameRules.h"
#include "club/ReplyRules.h"
#include "club/wire/RequestTable.h"
#include "storage/TextFile.h"

namespace braxo {

bool IsEmptyEntry(const TableEntry& entry) { return entry.nick == "#"; }

TableEntryList PrefilledTable(std::int32_t id) {
  TableEntryList entries;
  for (TableEntry& entry : entries) {
    entry.table_id = id;
    entry.nick = entry.country_code = entry.city = entry.sex = entry.writer_version =
        entry.time_stamp = "#";
    entry.message = "#*";
  }
  return entries;
}

TableReply ReadTableReply(std::string_view reply, std::int32_t id) {
  TableReply result{true, PrefilledTable(id)};
  const std::vector<ReplyRecord> records = RecordReplies(reply, '*', ' ', result.entries.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    const ReplyRecord& record = records[i];
    TableEntry& entry = result.entries[i];
    const std::optional<std::int32_t> place = ParseClubInteger(RecordField(record, 1));
    const std::optional<std::int32_t> score = ParseClubInteger(RecordField(record, 3));
    if (!place || !score) {
      result.ok = false;
      return result;
    }
    entry.place = *place;
    entry.score = *score;
    std::string* const texts[] = {&entry.nick,   &entry.country_code,   &entry.city,
                                  &entry.sex,    &entry.writer_version, &entry.time_stamp,
                                  &entry.message};
    for (std::size_t f = 0; f < 7; ++f) *texts[f] = Cp1251ToUtf8(RecordField(record, 4 + f));
  }
  return result;
}

std::string WriteTableReply(const std::vector<TableEntry>& entries) {
  std::string text;
  for (const TableEntry& e : entries) {
    text += RecordText(
        {std::to_string(e.place), std::to_string(e.table_id), std::to_string(e.score), e.nick,
         e.country_code, e.city, e.sex, e.writer_version, e.time_stamp, e.message},
        ' ', '*');
  }
  return ReplyBytes(std::move(text));
}

std::vector<std::string> ReadTopTenLines(std::int32_t id) {
  return wire::ListRequestLines(wire::Request::kReadTopTen, {std::to_string(id)});
}

std::vector<FormField> ReadOwnResultsFields(std::int32_t id, std::string_view nick,
                                            std::string_view city) {
  return wire::PlainRequestFields(wire::Request::kReadOwnResults,
                                  {std::to_string(id), nick, id > 100 ? "Moscow" : city});
}

std::vector<std::string> ReadGameCountLines(std::int32_t id) {
  return wire::ListRequestLines(wire::Request::kReadGameCount, {std::to_string(id)});
}

std::vector<FormField> WriteTopTenEntryFields(std::string_view nick, std::string_view city,
                                              std::string_view country_code, std::string_view sex,
                                              std::int32_t score, std::int32_t id,
                                              std::string_view time_stamp,
                                              std::string_view message) {
  return wire::PlainRequestFields(
      wire::Request::kWriteTopTenEntry,
      {std::to_string(id), nick, city, country_code, std::to_string(score), sex, time_stamp,
       std::string(message) + "*"});
}

int RateNameTextUtf8(std::string_view utf8, int kind) {
  const std::string cp1251 = Utf8ToCp1251(utf8);
  if (Cp1251ToUtf8(cp1251) != utf8) return kRateRefused;
  return RateNameText(cp1251, kind);
}

}  // namespace braxo
