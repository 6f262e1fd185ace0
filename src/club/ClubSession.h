// The club's state for one run: who is logged in, the player's record of this
// game, the account lamp's state, whether a rated game is open, whether the
// user file exists, and the two photos. One object, owned by the application
// and handed to the game flow (which decides the lamp and the rated-game
// questions) and to the club windows (which log in and out and pick the
// rated mode).
#pragma once

#include <array>
#include <string>

#include "club/AccountService.h"
#include "club/GameRecords.h"

namespace braxo {

inline constexpr int kAccountNobody = 1;
inline constexpr int kAccountLoggedIn = 2;
inline constexpr int kAccountRated = 3;

// What saving a rated game's result came to.
enum class RatedSave {
  kSaved,
  kFailed,         // the record could not be read or written: worth a repeat
  kNotRecordable,  // the club's record holds no started game (none started): a repeat cannot help
};

struct ClubSession {
  ClubSession() = default;
  ClubSession(const ClubSession&) = delete;
  ClubSession& operator=(const ClubSession&) = delete;

  MemberAccount CurrentUser;
  GameRecord CurrentGame;
  // 1 nobody logged in, 2 logged in, 3 logged in and the game counts for the rating.
  int AccountState = kAccountNobody;
  // A game was registered as started for the rating and its result is not saved yet.
  bool RatedGameOpen = false;
  // A user file exists for the current player.
  bool UserFileSaved = false;
  // JPEG bytes of the photos: [0] the player's (slot 1), [1] the club chairman's
  // (slot 2); empty until loaded. A slot keeps its picture until replaced.
  std::array<std::string, 2> PhotoSlots;
};

}  // namespace braxo
