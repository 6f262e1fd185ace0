#include "club/WebLink.h"

namespace braxo {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

bool IsSafeWebLink(std::string_view link) {
  for (char ch : link) {
    const auto c = static_cast<unsigned char>(ch);
    if (c <= 0x20 || c == 0x7F || c == '\\') return false;
  }
  std::string_view rest;
  if (StartsWithNoCase(link, "http://")) {
    rest = link.substr(7);
  } else if (StartsWithNoCase(link, "https://")) {
    rest = link.substr(8);
  } else {
    return false;
  }
  const size_t host_end = rest.find_first_of("/?#");
  std::string_view authority = rest.substr(0, host_end);
  // User information before "@" is not the host.
  const size_t at = authority.rfind('@');
  if (at != std::string_view::npos) authority.remove_prefix(at + 1);
  const size_t colon = authority.rfind(':');
  const std::string_view host =
      (colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos)
          ? authority.substr(0, colon)
          : authority;
  return !host.empty();
}

}  // namespace braxo
