// Reversible scrambling of short texts: server addresses and the stored
// password are kept out of plain sight with it. Plain C++, no Qt, so the host
// tool that builds the scrambled built-in addresses can use it too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace braxo {

// Key of the configuration page address and of the tournament and statistics
// addresses (built in, in the settings file and on the configuration page).
inline constexpr std::uint16_t kConfigKey = 0x5A17;
// Key of the account service address, the photo folder address and the
// password in the local user file.
inline constexpr std::uint16_t kAccountKey = 0x3B62;

// The XOR stage. A running 16-bit value starts as the key; each output byte is
// the input byte XOR the running value's high byte, and the running value then
// advances from the scrambled byte of that position. Any length; the output has
// the input's length.
std::string XorScramble(std::string_view plain, std::uint16_t key);
std::string XorUnscramble(std::string_view scrambled, std::uint16_t key);

// The 64-character text form: groups of three bytes, first byte lowest, give
// their 6-bit digits lowest first (1 byte -> 2 characters, 2 -> 3, 3 -> 4), no
// padding. Not the standard Base64 bit order.
std::string Text64Encode(std::string_view bytes);
// Groups of four characters back to bytes. Characters outside the table count
// as digit 0; a final group of one character yields nothing. Never fails.
std::string Text64Decode(std::string_view text);

// True when `text` consists only of characters of the 64-character table.
bool IsText64(std::string_view text);

// ScrambleText = Text64Encode(XorScramble(plain, key)); UnscrambleText is its
// inverse: UnscrambleText(ScrambleText(t, k), k) == t for every t and k.
// Both take and return 8-bit texts (Windows-1251 beyond ASCII).
std::string ScrambleText(std::string_view plain, std::uint16_t key);
std::string UnscrambleText(std::string_view scrambled, std::uint16_t key);

}  // namespace braxo
