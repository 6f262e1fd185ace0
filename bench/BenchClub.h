// What the club benchmarks share: one club reached at a base address (the
// account service, the photos and the top ten beside it), a club filled with
// five rated members, and the loop that times one read per iteration.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

#include "WaitingClub.h"
#include "club/ClubAccess.h"
#include "club/Scramble.h"

namespace braxo::bench {

// The password of every member FillClub creates.
inline constexpr char kMemberPassword[] = "bench42";

// The game's club objects, pointed at a club served from `base_url`, with
// `nick` of Oslo as the passport.
struct Club {
  explicit Club(const std::string& base_url, const std::string& nick = "Kenji") {
    services.account_address = ScrambleText(base_url + "account", kAccountKey);
    services.photo_address = ScrambleText(base_url + "photos/", kAccountKey);
    settings.top_ten_address.plain = base_url + "topten";
    settings.passport.nick = nick;
    settings.passport.city = "Oslo";
  }
  ClubClient client;
  ClubServiceState services;
  Settings settings;
  ClubAccess access{client, services, settings};
  // The same operations, each waited for.
  testing::WaitingClubAccess waiting{access};
};

// Five members of Oslo (Marta, Kenji, Lucia, Tom_B, Ines), each with one
// rated game of 5000, 4300, 3600, 2900 and 2200 points. False when the club
// refused any step.
inline bool FillClub(const std::string& base_url) {
  Club club(base_url);
  const char* nicks[] = {"Marta", "Kenji", "Lucia", "Tom_B", "Ines"};
  int score = 5000;
  for (const char* nick : nicks) {
    MemberAccount user;
    user.nick = nick;
    user.password = kMemberPassword;
    user.scrambled_password = ScramblePassword(kMemberPassword);
    user.city = "Oslo";
    user.country_code = "1-035";
    user.country_name = "Norway";
    user.email = std::string(nick) + "@example.org";
    user.registered_on = "14.03.2026";
    user.reserved_r01 = user.reserved_r02 = user.reserved_r03 = "xxx";
    if (club.waiting.CreateAccount(user) != 0) return false;
    ClubSession session;
    session.current_user = club.waiting.LoginAccount(nick, kMemberPassword).user;
    session.current_user.password = kMemberPassword;
    session.account_state = AccountState::kRated;
    if (!club.waiting.RegisterRatedGame(session) ||
        club.waiting.SaveRatedResult(session, score) != RatedSave::kSaved)
      return false;
    score -= 700;
  }
  return true;
}

// Times `read` once per iteration; a read that says it failed (false) ends
// the benchmark with `failure`.
template <typename Read>
void TimeReads(benchmark::State& state, Read&& read, const char* failure) {
  for (auto _ : state) {
    if (!read()) state.SkipWithError(failure);
  }
}

}  // namespace braxo::bench
