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

// Who plays, as the account lamp shows it.
enum class AccountState {
  kNobody = 1,    // nobody logged in (red)
  kLoggedIn = 2,  // a member logged in, the game does not count for the rating (yellow)
  kRated = 3,     // a member logged in and the game counts for the rating (green)
};

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
  ~ClubSession() = default;

  MemberAccount current_user;
  GameRecord current_game;
  AccountState account_state = AccountState::kNobody;
  // A game was registered as started for the rating and its result is not saved yet.
  bool rated_game_open = false;
  // A user file exists for the current player.
  bool user_file_saved = false;
  // JPEG bytes of the photos: [0] the player's (slot 1), [1] the club chairman's
  // (slot 2); empty until loaded. A slot keeps its picture until replaced.
  std::array<std::string, 2> photo_slots;
};

}  // namespace braxo
