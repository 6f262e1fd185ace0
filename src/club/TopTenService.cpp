#include "club/TopTenService.h"

#include <cstddef>
#include <optional>

#include "club/NameRules.h"
#include "club/ReplyRules.h"
#include "storage/TextFile.h"

namespace braxo {

bool IsEmptyEntry(const TableEntry& entry) { return entry.Nick == "#"; }

TableEntryList PrefilledTable(std::int32_t id) {
  TableEntryList entries;
  for (TableEntry& entry : entries) {
    entry.GID = id;
    entry.Nick = entry.Country = entry.City = entry.R07 = entry.R08 = entry.R09 = "#";
    entry.R10 = "#*";
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
    entry.Place = *place;
    entry.Score = *score;
    std::string* const texts[] = {&entry.Nick, &entry.Country, &entry.City, &entry.R07,
                                  &entry.R08,  &entry.R09,     &entry.R10};
    for (std::size_t f = 0; f < 7; ++f) *texts[f] = Cp1251ToUtf8(RecordField(record, 4 + f));
  }
  return result;
}

std::vector<std::string> ReadTopTenLines(std::int32_t id) { return {"gid=" + std::to_string(id)}; }

std::vector<FormField> ReadOwnResultsFields(std::int32_t id, std::string_view nick,
                                            std::string_view city) {
  return {{"gid", std::to_string(id)},
          {"nick", std::string(nick)},
          {"city", id > 100 ? std::string("Moscow") : std::string(city)}};
}

std::vector<std::string> ReadGameCountLines(std::int32_t id) {
  return {"rgid=" + std::to_string(id)};
}

std::vector<FormField> WriteTopTenEntryFields(std::string_view nick, std::string_view city,
                                              std::string_view country, std::string_view r7,
                                              std::int32_t score, std::int32_t id,
                                              std::string_view r9, std::string_view r10) {
  return {{"gid", std::to_string(id)},
          {"nick", std::string(nick)},
          {"city", std::string(city)},
          {"country", std::string(country)},
          {"score", std::to_string(score)},
          {"R7", std::string(r7)},
          {"R8", "2.7"},
          {"R9", std::string(r9)},
          {"R10", std::string(r10) + "*"}};
}

int RateNameTextUtf8(std::string_view utf8, int kind) {
  const std::string cp1251 = Utf8ToCp1251(utf8);
  if (Cp1251ToUtf8(cp1251) != utf8) return kRateRefused;
  return RateNameText(cp1251, kind);
}

}  // namespace braxo
