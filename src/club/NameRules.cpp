#include "club/NameRules.h"

#include <string_view>

namespace braxo {

bool IsCyrillicByte(unsigned char c) { return c >= 0xC0 || c == 0xA8 || c == 0xB8; }

bool IsAllowedNameByte(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  constexpr std::string_view kSigns = "!(),-.?@_";
  return kSigns.find(static_cast<char>(c)) != std::string_view::npos || IsCyrillicByte(c);
}

namespace {

struct Scan {
  bool all_allowed = true;
  bool cyrillic = false;
};

Scan ScanText(std::string_view text) {
  Scan scan;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (!IsAllowedNameByte(c)) scan.all_allowed = false;
    if (IsCyrillicByte(c)) scan.cyrillic = true;
  }
  return scan;
}

}  // namespace

int RateNameText(std::string_view text, int kind) {
  if (text.empty()) return kRateRefused;
  if (kind == 1 && text.size() > 12) return kRateRefused;
  if (kind == 2 && text.size() > 15) return kRateRefused;
  if ((kind == 1 || kind == 2) && text.size() == 1) return kRateRefused;
  const Scan scan = ScanText(text);
  if (!scan.all_allowed) return kRateRefused;
  return scan.cyrillic ? kRateCyrillic : kRateGood;
}

int RateAccountText(std::string_view text, AccountTextKind kind) {
  const Scan scan = ScanText(text);
  switch (kind) {
    case AccountTextKind::kCharacter:
      if (!scan.all_allowed) return kRateRefused;
      return scan.cyrillic ? kRateCyrillic : kRateGood;
    case AccountTextKind::kNick:
      if (text.size() < 2 || text.size() > 12 || !scan.all_allowed || scan.cyrillic)
        return kRateRefused;
      return kRateGood;
    case AccountTextKind::kCity:
      if (text.size() < 2 || text.size() > 15 || !scan.all_allowed) return kRateRefused;
      return scan.cyrillic ? kRateCyrillic : kRateGood;
    case AccountTextKind::kPassword:
      if (text.size() < 4 || text.size() > 12 || !scan.all_allowed || scan.cyrillic)
        return kRateRefused;
      return kRateGood;
    case AccountTextKind::kEMail: {
      if (text.size() < 2 || text.size() > 30 || !scan.all_allowed || scan.cyrillic)
        return kRateRefused;
      // The first "@" must stand at a position from 2 to length - 1 (1-based).
      const std::size_t at = text.find('@');
      if (at == std::string_view::npos || at == 0 || at + 1 == text.size()) return kRateRefused;
      return kRateGood;
    }
  }
  return kRateRefused;
}

bool IsValidChatMessage(std::string_view text) {
  return !text.empty() && text.size() <= kMaxChatMessageLength && ScanText(text).all_allowed;
}

}  // namespace braxo
