// The reply rules and the number texts on arbitrary server replies.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "club/ReplyRules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view reply(reinterpret_cast<const char*>(data), size);
  size_t dollars = 0;
  for (char c : reply) dollars += c == '$';

  braxo::MarkerReply(reply, "ok");
  braxo::MarkerReply(reply, "no");
  braxo::TailMarkerReply(reply);
  if (const auto number = braxo::NumberReply(reply); number && *number < 0) std::abort();
  braxo::FirstNumberReply(reply);
  braxo::ParseClubInteger(reply);

  for (const auto& [terminator, separator] :
       {std::pair{'$', ' '}, std::pair{'*', ' '}, std::pair{'$', '~'}}) {
    const auto records = braxo::RecordReplies(reply, terminator, separator, 1000);
    if (records.size() > dollars) std::abort();
    for (const auto& record : records) {
      if (record.empty()) std::abort();
    }
    const auto first = braxo::RecordReply(reply, terminator, separator);
    if (first.has_value() != !records.empty()) std::abort();
  }

  // Whatever reads as a number in plain notation reads back from its own
  // club text to 15 significant digits.
  if (const auto value = braxo::ParseClubNumber(reply)) {
    const double magnitude = std::fabs(*value);
    if (magnitude >= 0.00001 && magnitude < 1e15) {
      const auto again = braxo::ParseClubNumber(braxo::FormatClubNumber(*value));
      if (!again || std::fabs(*again - *value) > magnitude * 1e-14) std::abort();
    }
  }
  return 0;
}
