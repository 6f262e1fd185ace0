// Text64Decode and UnscrambleText on arbitrary text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "club/Scramble.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string bytes = braxo::Text64Decode(text);
  const std::size_t rest = size % 4;
  if (bytes.size() != size / 4 * 3 + (rest >= 2 ? rest - 1 : 0)) std::abort();
  if (braxo::Text64Decode(braxo::Text64Encode(bytes)) != bytes) std::abort();

  for (std::uint16_t key : {braxo::kConfigKey, braxo::kAccountKey}) {
    const std::string plain = braxo::UnscrambleText(text, key);
    if (plain.size() != bytes.size()) std::abort();
    const std::string scrambled = braxo::ScrambleText(plain, key);
    if (!braxo::IsText64(scrambled) || braxo::UnscrambleText(scrambled, key) != plain) {
      std::abort();
    }
  }
  return 0;
}
