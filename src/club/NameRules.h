// The club's name and character rules: which texts a player may use as a
// nick, city, password, e-mail or chat message. They work on the 8-bit
// (Windows-1251) form of a text; the game's windows rate what is typed with
// them and the club server refuses what they refuse. Plain C++.
#pragma once

#include <string_view>

namespace braxo {

// Ratings: 1 refused (red lamp), 2 accepted with Cyrillic letters (yellow),
// 3 accepted (green).
inline constexpr int kRateRefused = 1;
inline constexpr int kRateCyrillic = 2;
inline constexpr int kRateGood = 3;

// The characters a name or a chat message may hold (one Windows-1251 byte):
// A-Z, a-z, the Cyrillic letters (А-Я, а-я, Ё, ё), 0-9 and ! ( ) , - . ? @ _.
// The space is not one of them.
bool IsAllowedNameByte(unsigned char c);
bool IsCyrillicByte(unsigned char c);

// The tournament and chat rule (nick kind 1, city kind 2, one typed character
// kind 0): refused when empty, a nick over 12 or a city over 15 characters, a
// one-character nick or city, or any character outside the allowed set;
// otherwise 2 when it holds a Cyrillic letter, else 3.
int RateNameText(std::string_view text, int kind);

// Kinds of the account page's rule.
enum class AccountTextKind { kCharacter = 0, kNick = 1, kCity = 2, kPassword = 3, kEMail = 4 };

// The account page's rule: a nick is 2-12 allowed characters without Cyrillic
// letters; a city 2-15 allowed characters (2 with Cyrillic letters); a password
// 4-12 allowed characters without Cyrillic letters; an e-mail 2-30 allowed
// characters without Cyrillic letters with its first "@" neither first nor
// last; a typed character is 1 when not allowed, 2 when Cyrillic.
int RateAccountText(std::string_view text, AccountTextKind kind);

// A chat message as it is stored: 1 to 80 allowed characters (the window
// sends every other character as "_").
inline constexpr std::size_t kMaxChatMessageLength = 80;
bool IsValidChatMessage(std::string_view text);

}  // namespace braxo
