// Usage reports to the statistics service (the plain stat_address). Failures
// are reported only through the results.
#pragma once

#include <array>
#include <string_view>

#include "club/ClubClient.h"
#include "storage/SettingsFile.h"

namespace braxo {

// Counts one start of the game (CountStartFields), unique for a new
// installation. True when the reply passes TailMarkerReply.
bool CountStart(ClubClient& client, std::string_view stat_address, int game_id, bool unique);

// The start-of-run report as the main window sends it: unique while
// unique_start_counted is clear, and then its outcome becomes
// unique_start_counted; otherwise not unique and the outcome is ignored. The
// caller saves the settings afterwards.
void CountStartOfRun(ClubClient& client, int game_id, Settings& settings);

// Counts one finished game (CountFinishedGameFields). True on TailMarkerReply.
bool CountFinishedGame(ClubClient& client, std::string_view stat_address, int game_id,
                       const std::array<int, 12>& flags);

}  // namespace braxo
