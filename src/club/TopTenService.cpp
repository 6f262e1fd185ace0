#include "club/TopTenService.h"

#include <cstddef>
#include <optional>

#include "club/ReplyRules.h"
#include "storage/TextFile.h"

namespace braxo {
namespace {

// The next code point of `text` from `pos`, or nothing for bytes that are
// not well-formed UTF-8 (overlong forms and surrogates included).
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char first = byte(pos);
  std::size_t length = 0;
  char32_t value = 0;
  if (first < 0x80) {
    ++pos;
    return first;
  } else if ((first & 0xE0) == 0xC0) {
    length = 2;
    value = first & 0x1F;
  } else if ((first & 0xF0) == 0xE0) {
    length = 3;
    value = first & 0x0F;
  } else if ((first & 0xF8) == 0xF0) {
    length = 4;
    value = first & 0x07;
  } else {
    return std::nullopt;
  }
  if (pos + length > text.size()) return std::nullopt;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) return std::nullopt;
    value = (value << 6) | (byte(pos + i) & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return std::nullopt;
  }
  pos += length;
  return value;
}

bool IsCyrillicLetter(char32_t c) { return (c >= 0x410 && c <= 0x44F) || c == 0x401 || c == 0x451; }

bool IsOtherAllowed(char32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  for (char allowed : std::string_view("!(),-.?@_")) {
    if (c == static_cast<char32_t>(allowed)) return true;
  }
  return false;
}

}  // namespace

bool IsEmptyEntry(const TKezRecord& entry) { return entry.Nick == "#"; }

TKezRecordList PrefilledTable(std::int32_t id) {
  TKezRecordList entries;
  for (TKezRecord& entry : entries) {
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
    TKezRecord& entry = result.entries[i];
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

std::vector<std::string> ReadTopTenLines(std::int32_t id) {
  return {"gid=" + std::to_string(id)};
}

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

int RateNameText(std::string_view text, NameKind kind) {
  std::size_t characters = 0;
  bool cyrillic = false;
  bool refused = false;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::optional<char32_t> c = NextCodePoint(text, pos);
    if (!c) return 1;
    ++characters;
    if (IsCyrillicLetter(*c))
      cyrillic = true;
    else if (!IsOtherAllowed(*c))
      refused = true;
  }
  if (characters == 0) return 1;
  if (kind == NameKind::kNick && characters > 12) return 1;
  if (kind == NameKind::kCity && characters > 15) return 1;
  if (kind != NameKind::kCharacter && characters == 1) return 1;
  if (refused) return 1;
  return cyrillic ? 2 : 3;
}

}  // namespace braxo
