#include "store/NickKey.h"

namespace braxo::club {

std::string NickKey(const std::string& nick) {
  std::string key;
  key.reserve(nick.size());
  for (size_t i = 0; i < nick.size(); ++i) {
    const auto c = static_cast<unsigned char>(nick[i]);
    if (c >= 'A' && c <= 'Z') {
      key += static_cast<char>(c + 32);
    } else if (c == 0xD0 && i + 1 < nick.size()) {
      // UTF-8 Cyrillic capitals: U+0410..U+042F are D0 90..D0 AF, Ё is D0 81.
      const auto d = static_cast<unsigned char>(nick[i + 1]);
      if (d >= 0x90 && d <= 0x9F) {
        key += '\xD0';
        key += static_cast<char>(d + 0x20);
      } else if (d >= 0xA0 && d <= 0xAF) {
        key += '\xD1';
        key += static_cast<char>(d - 0x20);
      } else if (d == 0x81) {
        key += "\xD1\x91";
      } else {
        key += static_cast<char>(c);
        key += static_cast<char>(d);
      }
      ++i;
    } else {
      key += static_cast<char>(c);
    }
  }
  return key;
}

}  // namespace braxo::club
