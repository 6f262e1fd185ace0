// The game's club code as one machine runs it, for tests and benchmarks
// against a club: its own client (and so its own cookies), and the service
// state and settings that the club's configuration page gives it. Needs
// braxo_club.
#pragma once

#include <string>

#include "WaitingClub.h"
#include "club/AccountService.h"
#include "club/ClubAccess.h"
#include "club/ClubClient.h"
#include "club/ConfigPage.h"

namespace braxo::testing {

class GameClient {
 public:
  // Reads the configuration page the game reads (BRAXO_CONFIG_URL names it).
  GameClient() : club_access_(client_, services_, settings_) {
    ApplyRemoteConfig(WaitForConfigPage(), settings_, services_);
  }
  GameClient(const GameClient&) = delete;
  GameClient& operator=(const GameClient&) = delete;

  // ClubAccess's operations, each waited for.
  WaitingClubAccess& access() { return access_; }
  ClubAccess& club_access() { return club_access_; }
  ClubClient& client() { return client_; }
  const ClubServiceState& services() const { return services_; }
  const Settings& settings() const { return settings_; }

 private:
  ClubClient client_;
  ClubServiceState services_;
  Settings settings_;
  ClubAccess club_access_;
  WaitingClubAccess access_{club_access_};
};

// A member whose every account field passes the club's rules: Ann-like, of
// Oslo; tests that look at a field set their own.
inline MemberAccount TestMember(const std::string& nick, const std::string& password) {
  MemberAccount user;
  user.nick = nick;
  user.password = password;
  user.city = "Oslo";
  user.country_name = "Norway";
  user.country_code = "1-035";
  user.sex = 'W';
  user.email = "ann@mail.it";
  user.registered_on = "21.06.2020";
  user.reserved_r01 = user.reserved_r02 = user.reserved_r03 = "xxx";
  return user;
}

}  // namespace braxo::testing
