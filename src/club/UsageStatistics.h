// Usage reports to the statistics service (the plain stat_address). Failures
// are reported only through the results.
#pragma once

#include <array>
#include <functional>
#include <string_view>

#include "club/ClubClient.h"
#include "storage/SettingsFile.h"

class QObject;

namespace braxo {

// The reports as the game sends them: each returns at once, its request tied
// to `owner` (destroyed first, it cancels the report and `done` never runs);
// `done` runs once from the event loop with whether the reply passed
// TailMarkerReply. Reports sent one after another are independent requests:
// a later one never cancels an earlier one.
void CountStart(ClubClient& client, QObject* owner, std::string_view stat_address, int game_id,
                bool unique, std::function<void(bool confirmed)> done);
void CountFinishedGame(ClubClient& client, QObject* owner, std::string_view stat_address,
                       int game_id, const std::array<int, 12>& flags,
                       std::function<void(bool confirmed)> done);

// The start-of-run report: unique while unique_start_counted is clear, and
// then, once the reply is in, its outcome becomes unique_start_counted;
// otherwise not unique and the outcome is ignored. `settled` runs once the
// reply is in (not when the report is cancelled), saying whether the
// settings changed, so that the caller saves them then. `settings` must
// outlive `owner`.
void CountStartOfRun(ClubClient& client, QObject* owner, int game_id, Settings& settings,
                     std::function<void(bool settings_changed)> settled);

// The same reports waiting for their reply (tests that prepare a club's
// figures use them).
bool CountStart(ClubClient& client, std::string_view stat_address, int game_id, bool unique);
bool CountFinishedGame(ClubClient& client, std::string_view stat_address, int game_id,
                       const std::array<int, 12>& flags);

}  // namespace braxo
