#include "club/Scramble.h"

#include <array>

namespace braxo {
namespace {

constexpr std::string_view kText64Table =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int, 256> MakeDigitTable() {
  std::array<int, 256> digits{};
  for (int& d : digits) d = -1;
  for (int i = 0; i < 64; ++i) digits[static_cast<unsigned char>(kText64Table[i])] = i;
  return digits;
}

constexpr std::array<int, 256> kText64Digits = MakeDigitTable();

// Both directions advance the running value from the scrambled byte, so the
// key stream of a position depends on every scrambled byte before it.
std::uint16_t Advance(std::uint16_t r, unsigned char scrambled_byte) {
  return static_cast<std::uint16_t>((scrambled_byte + r) * 52845u + 22719u);
}

}  // namespace

std::string XorScramble(std::string_view plain, std::uint16_t key) {
  std::string out(plain.size(), '\0');
  std::uint16_t r = key;
  for (size_t i = 0; i < plain.size(); ++i) {
    const auto c = static_cast<unsigned char>(static_cast<unsigned char>(plain[i]) ^ (r >> 8));
    out[i] = static_cast<char>(c);
    r = Advance(r, c);
  }
  return out;
}

std::string XorUnscramble(std::string_view scrambled, std::uint16_t key) {
  std::string out(scrambled.size(), '\0');
  std::uint16_t r = key;
  for (size_t i = 0; i < scrambled.size(); ++i) {
    const auto c = static_cast<unsigned char>(scrambled[i]);
    out[i] = static_cast<char>(c ^ (r >> 8));
    r = Advance(r, c);
  }
  return out;
}

std::string Text64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t group = bytes.size() - i < 3 ? bytes.size() - i : 3;
    std::uint32_t v = 0;
    for (size_t k = 0; k < group; ++k) {
      v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + k])) << (8 * k);
    }
    for (size_t k = 0; k < group + 1; ++k) {
      out += kText64Table[v & 63u];
      v >>= 6;
    }
  }
  return out;
}

std::string Text64Decode(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 4 * 3 + 2);
  for (size_t i = 0; i < text.size(); i += 4) {
    const size_t group = text.size() - i < 4 ? text.size() - i : 4;
    if (group < 2) break;
    std::uint32_t v = 0;
    for (size_t k = 0; k < group; ++k) {
      const int d = kText64Digits[static_cast<unsigned char>(text[i + k])];
      v |= static_cast<std::uint32_t>(d < 0 ? 0 : d) << (6 * k);
    }
    for (size_t k = 0; k + 1 < group; ++k) {
      out += static_cast<char>(v & 0xFFu);
      v >>= 8;
    }
  }
  return out;
}

bool IsText64(std::string_view text) {
  for (char c : text) {
    if (kText64Digits[static_cast<unsigned char>(c)] < 0) return false;
  }
  return true;
}

std::string ScrambleText(std::string_view plain, std::uint16_t key) {
  return Text64Encode(XorScramble(plain, key));
}

std::string UnscrambleText(std::string_view scrambled, std::uint16_t key) {
  return XorUnscramble(Text64Decode(scrambled), key);
}

}  // namespace braxo
