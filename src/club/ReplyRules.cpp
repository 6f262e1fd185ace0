#include "club/ReplyRules.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "storage/TextFile.h"

namespace braxo {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A "$" that is the reply's last character opens nothing, so the searches
// below only look at the positions before it.
std::optional<size_t> LastOpeningDollar(std::string_view reply) {
  if (reply.size() < 2) return std::nullopt;
  const size_t pos = reply.rfind('$', reply.size() - 2);
  if (pos == std::string_view::npos) return std::nullopt;
  return pos;
}

std::optional<size_t> NextOpeningDollar(std::string_view reply, size_t from) {
  if (reply.size() < 2 || from > reply.size() - 2) return std::nullopt;
  const size_t pos = reply.find('$', from);
  if (pos == std::string_view::npos || pos + 1 >= reply.size()) return std::nullopt;
  return pos;
}

ReplyRecord SplitFields(std::string_view record, char separator) {
  ReplyRecord fields;
  size_t start = 0;
  while (true) {
    const size_t end = record.find(separator, start);
    if (end == std::string_view::npos) {
      fields.emplace_back(record.substr(start));
      return fields;
    }
    fields.emplace_back(record.substr(start, end - start));
    start = end + 1;
  }
}

std::optional<std::int32_t> DigitsToInt(std::string_view digits, bool negative) {
  std::int64_t value = 0;
  for (char c : digits) {
    value = value * 10 + (c - '0');
    if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max() ||
      value < std::numeric_limits<std::int32_t>::min()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace

bool MarkerReply(std::string_view reply, std::string_view marker) {
  return reply.find(marker) != std::string_view::npos;
}

std::string WriteNumberReply(std::int64_t number) { return "$" + std::to_string(number); }

std::optional<std::int32_t> NumberReply(std::string_view reply) {
  const std::optional<size_t> dollar = LastOpeningDollar(reply);
  if (!dollar) return std::nullopt;
  size_t end = *dollar + 1;
  while (end < reply.size() && IsDigit(reply[end])) ++end;
  if (end == *dollar + 1) return std::nullopt;
  return DigitsToInt(reply.substr(*dollar + 1, end - *dollar - 1), false);
}

std::optional<std::int32_t> FirstNumberReply(std::string_view reply) {
  const size_t dollar = reply.find('$');
  if (dollar == std::string_view::npos || dollar + 1 >= reply.size()) return std::nullopt;
  std::string_view text = reply.substr(dollar + 1);
  text = text.substr(0, text.find('$'));
  return ParseClubInteger(text);
}

std::optional<ReplyRecord> RecordReply(std::string_view reply, char terminator, char separator) {
  std::vector<ReplyRecord> records = RecordReplies(reply, terminator, separator, 1);
  if (records.empty()) return std::nullopt;
  return std::move(records.front());
}

std::vector<ReplyRecord> RecordReplies(std::string_view reply, char terminator, char separator,
                                       std::size_t max_records) {
  std::vector<ReplyRecord> records;
  size_t from = 0;
  while (records.size() < max_records) {
    const std::optional<size_t> dollar = NextOpeningDollar(reply, from);
    if (!dollar) break;
    std::string_view record = reply.substr(*dollar + 1);
    record = record.substr(0, record.find(terminator));
    records.push_back(SplitFields(record, separator));
    from = *dollar + 1;
  }
  return records;
}

std::string RecordField(const ReplyRecord& record, std::size_t number) {
  if (number == 0 || number > record.size()) return {};
  return record[number - 1];
}

std::string RecordText(const ReplyRecord& fields, char separator, char terminator) {
  std::string text = "$";
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) text += separator;
    text += fields[i];
  }
  text += terminator;
  return text;
}

std::string ReplyBytes(std::string utf8) {
  // ASCII reads the same in both character sets, and most replies are only
  // that.
  for (const char c : utf8) {
    if (static_cast<unsigned char>(c) >= 0x80) return Utf8ToCp1251(utf8);
  }
  return utf8;
}

bool TailMarkerReply(std::string_view reply) {
  const std::optional<size_t> dollar = LastOpeningDollar(reply);
  if (!dollar) return false;
  std::string_view tail = reply.substr(*dollar + 1);
  tail = tail.substr(0, tail.find('#'));
  return tail.size() >= 3 && tail[1] == 'o' && tail[2] == 'k';
}

std::string WriteTailMarkerReply() { return "$ ok#"; }

std::optional<std::int32_t> ParseClubInteger(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  for (char c : text) {
    if (!IsDigit(c)) return std::nullopt;
  }
  // Leading zeros must not count towards the overflow test.
  while (text.size() > 1 && text.front() == '0') text.remove_prefix(1);
  if (text.size() > 10) return std::nullopt;
  return DigitsToInt(text, negative);
}

std::string FormatClubNumber(double x) {
  if (!std::isfinite(x) || std::fabs(x) < 0.00001) return "0";
  // 15 significant digits: one before the point and 14 after, in scientific
  // form, which to_chars writes without regard to the locale.
  char buffer[64];
  const std::to_chars_result written =
      std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, 14);
  std::string_view text(buffer, static_cast<size_t>(written.ptr - buffer));
  std::string out;
  if (text.front() == '-') {
    out += '-';
    text.remove_prefix(1);
  }
  const size_t e_pos = text.find('e');
  std::string digits;
  for (char c : text.substr(0, e_pos)) {
    if (c != '.') digits += c;
  }
  int exponent = 0;
  std::string_view exponent_text = text.substr(e_pos + 1);
  if (exponent_text.front() == '+') exponent_text.remove_prefix(1);
  std::from_chars(exponent_text.data(), exponent_text.data() + exponent_text.size(), exponent);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  if (exponent < -5 || exponent >= 15) {
    out += digits.front();
    if (digits.size() > 1) {
      out += '.';
      out.append(digits, 1, std::string::npos);
    }
    out += 'E';
    out += std::to_string(exponent);
    return out;
  }
  if (exponent < 0) {
    out += "0.";
    out.append(static_cast<size_t>(-exponent - 1), '0');
    out += digits;
    return out;
  }
  const auto int_digits = static_cast<size_t>(exponent) + 1;
  if (digits.size() <= int_digits) {
    out += digits;
    out.append(int_digits - digits.size(), '0');
  } else {
    out.append(digits, 0, int_digits);
    out += '.';
    out.append(digits, int_digits, std::string::npos);
  }
  return out;
}

std::optional<double> ParseClubNumber(std::string_view text, double default_value) {
  if (text.empty()) return default_value;
  std::string changed(text);
  for (char& c : changed) {
    if (c != ' ' && c != '-' && !IsDigit(c)) {
      c = '.';
      break;
    }
  }
  std::string_view number = changed;
  while (!number.empty() && number.front() == ' ') number.remove_prefix(1);
  while (!number.empty() && number.back() == ' ') number.remove_suffix(1);
  if (number.empty()) return std::nullopt;
  double value = 0;
  const std::from_chars_result parsed = std::from_chars(
      number.data(), number.data() + number.size(), value, std::chars_format::general);
  if (parsed.ec != std::errc() || parsed.ptr != number.data() + number.size()) return std::nullopt;
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace braxo
