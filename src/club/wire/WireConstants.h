// The numbers and the name prefix that the game and the club server both put
// on the wire. Plain C++, with nothing to link: the server takes them from
// here instead of from the game's library.
#pragma once

#include <cstdint>
#include <string_view>

namespace braxo::wire {

// This game: its records on the account service, its statistics, and the
// tournament table of its Windows players.
inline constexpr int kGameId = 76;
// The tournament table of the game's Android players: the game's id + 100.
inline constexpr int kAndroidTableId = kGameId + 100;
// The chat's table.
inline constexpr int kChatTableId = 100;

// Put directly in front of the per-game field names of the account service.
inline constexpr std::string_view kGameFieldPrefix = "xxxbr";

// The largest score a game can reach, which bounds every score the club
// accepts: the start value 5000 plus 100 for every pair of the five levels
// (16 + 22 + 28 + 34 + 40 pairs). The game's tests check it against the
// level shapes, so a change of shapes cannot leave the club refusing scores.
inline constexpr std::int64_t kMaxGameScore = 19000;

// The HTTP status of a club that cannot answer now (its password hashing is
// full, or its database failed): the request changed nothing, and asking
// again in a moment may succeed. Its body is the request's refusal text.
inline constexpr int kClubBusyStatus = 503;

// The HTTP status of a tournament entry refused because its nick belongs to a
// club member and it came without that member's session. The body is the
// entry's usual refusal, so a reader that knows no more still sees a failure.
inline constexpr int kMemberNickStatus = 403;

}  // namespace braxo::wire
