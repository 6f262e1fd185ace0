// The rules by which the program reads the club server's replies, the club's
// side of the simple reply forms and of a reply record, and the number texts
// exchanged with the account service. Replies are 8-bit texts; the rules look
// only for ASCII markers, separators and digits. Plain C++, independent of the
// system's locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace braxo {

// The fields of one record, field 1 first.
using ReplyRecord = std::vector<std::string>;

// The marker replies: done, the nick is taken (an account creation only), and
// refused.
inline constexpr std::string_view kDoneMarker = "ok";
inline constexpr std::string_view kNickTakenMarker = "is";
inline constexpr std::string_view kRefusedMarker = "no";

// True when `marker` (two characters: "ok", "no", "is") occurs anywhere in the
// reply, case-sensitive, also inside ordinary data such as a city name.
bool MarkerReply(std::string_view reply, std::string_view marker);

// The club's side of NumberReply and FirstNumberReply: "$" and the number (a
// count, a place or a balance; the readers take no sign).
std::string WriteNumberReply(std::int64_t number);

// The run of digits right after the last "$" that is not the reply's last
// character. Nothing when there is no such "$", no digit follows it, or the
// digits exceed the 32-bit range.
std::optional<std::int32_t> NumberReply(std::string_view reply);

// The text between the first "$" that is not the last character and the next
// "$" (or the end), read as a whole decimal integer (ParseClubInteger).
std::optional<std::int32_t> FirstNumberReply(std::string_view reply);

// The first record: it starts after the first "$" that is not the reply's last
// character and runs up to, not including, the next `terminator` or the end;
// it is cut into fields at every `separator` (two in a row give an empty
// field, so a record always has at least one field). Nothing without such "$".
std::optional<ReplyRecord> RecordReply(std::string_view reply, char terminator, char separator);

// Up to `max_records` records in reply order; the search for each next "$"
// continues after the "$" that opened the previous record.
std::vector<ReplyRecord> RecordReplies(std::string_view reply, char terminator, char separator,
                                       std::size_t max_records);

// Field `number` (1-based) of a record, or empty when the record is shorter.
std::string RecordField(const ReplyRecord& record, std::size_t number);

// The club's side of RecordReply and RecordReplies: "$", the fields joined by
// `separator`, then `terminator`. The texts stay UTF-8 (see ReplyBytes).
std::string RecordText(const ReplyRecord& fields, char separator, char terminator);

// A reply as it goes on the wire: its UTF-8 text in Windows-1251.
std::string ReplyBytes(std::string utf8);

// The text after the last "$" that is not the last character, up to the next
// "#" (or the end): success when its second and third characters are "ok".
bool TailMarkerReply(std::string_view reply);
// The club's side of it on success: "$ ok#".
std::string WriteTailMarkerReply();

// A whole decimal integer: an optional "+" or "-", then one or more digits,
// nothing else, within the 32-bit signed range.
std::optional<std::int32_t> ParseClubInteger(std::string_view text);

// 0 when |x| < 0.00001 (and for values that are not finite); otherwise x with
// up to 15 significant digits, trailing zeros dropped, "." as decimal point
// and plain notation for 0.00001 <= |x| < 1e15, else mantissa "E" exponent
// ("1E20", "-2.5E-7").
std::string FormatClubNumber(double x);

// Scans from the start over spaces, "-" and digits; the first character of any
// other kind becomes the decimal point and the scan stops. The changed text,
// without surrounding spaces, must then read as a decimal real (an exponent is
// allowed); otherwise nothing. An empty text gives `default_value`.
std::optional<double> ParseClubNumber(std::string_view text, double default_value = 0.0);

}  // namespace braxo
