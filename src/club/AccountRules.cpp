#include "club/AccountRules.h"

#include <cmath>
#include <cstdio>

#include "club/WebLink.h"

namespace braxo {

std::string FormatClubRating(double rating) {
  if (!std::isfinite(rating)) return "0,000";
  // Rounded in thousandths first, so that the printed form cannot round a
  // second time in the other direction.
  const double thousandths = std::round(rating * 1000.0);
  const bool negative = thousandths < 0;
  const double magnitude = std::fabs(thousandths);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s%.0f,%03.0f", negative ? "-" : "",
                std::floor(magnitude / 1000.0), std::fmod(magnitude, 1000.0));
  return buffer;
}

bool IsOpenableClubLink(std::string_view link) {
  if (IsSafeWebLink(link)) return true;
  constexpr std::string_view kMailto = "mailto:";
  if (link.size() <= kMailto.size()) return false;
  for (std::size_t i = 0; i < kMailto.size(); ++i) {
    const char c = link[i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != kMailto[i]) return false;
  }
  const std::string_view address = link.substr(kMailto.size());
  const std::size_t at = address.find('@');
  if (at == std::string_view::npos || at == 0 || at + 1 == address.size()) return false;
  for (const char c : address) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7f || c == '\\' || c == '"' || c == '<' || c == '>') return false;
  }
  return true;
}

PersonalInfo CleanPersonalInfo(PersonalInfo info) {
  for (int row = 0; row < kInfoRowCount; ++row) {
    for (char& c : InfoRow(info, row))
      if (c == '$' || c == '~') c = ' ';
  }
  return info;
}

std::string& InfoRow(PersonalInfo& info, int row) {
  // A row out of range reads as the last one.
  const int shown = row >= 0 && row < kInfoRowCount ? row : kInfoRowCount - 1;
  return info.*kPersonalInfoWireOrder[static_cast<std::size_t>(shown)];
}

const std::string& InfoRow(const PersonalInfo& info, int row) {
  return InfoRow(const_cast<PersonalInfo&>(info), row);
}

}  // namespace braxo

namespace braxo {

AccountPageEnabled AccountPageControls(AccountState account_state, AccountWindowPurpose purpose,
                                       AccountFieldRatings r, bool locked) {
  if (locked) return {};
  const bool nobody = account_state == AccountState::kNobody;
  AccountPageEnabled enabled;
  enabled.fields = nobody;
  enabled.create = nobody && r.nick >= 2 && r.city >= 2 && r.password == 3 && r.email == 3;
  enabled.login_or_sign_out = !nobody || (r.nick >= 2 && r.password == 3);
  enabled.rated_switch = !nobody && purpose == AccountWindowPurpose::kPreGameCheck;
  return enabled;
}

}  // namespace braxo
