// Every club operation of the account, results, tournament and statistics
// services over the one shared client, and the operations of the run that
// work on the club session: the start-up login, the two rated-game steps, the
// reward and the balance, the photos. Failures come back only in the results;
// nothing here shows anything or throws.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "club/AccountService.h"
#include "club/ClubClient.h"
#include "club/ClubSession.h"
#include "club/ConfigPage.h"
#include "club/GameRecords.h"
#include "club/StatisticsService.h"
#include "club/TopTenService.h"
#include "storage/SettingsFile.h"

namespace braxo {

class ClubAccess {
 public:
  // The addresses are read at each request, so a remote configuration applied
  // later takes effect. All three must outlive this object.
  ClubAccess(ClubClient& client, const ClubServiceState& services, const Settings& settings);

  // --- Account service ---
  // 0 created, 1 the nick is taken, 2 not created (also on any failure).
  int CreateAccount(const MemberAccount& user);
  LoginReply LoginAccount(std::string_view nick, std::string_view pw);
  // An empty record on any failure.
  PersonalInfo ReadPersonalInfo(std::string_view nick);
  bool SavePersonalInfo(std::string_view nick, const PersonalInfo& info);
  std::optional<std::int32_t> CountClubMembers();
  std::optional<std::int32_t> ReadRatingPlace(double rating);
  RatedTopTenReply ReadRatedTopTen();  // ok false on a failed request
  bool CreditKezs(std::string_view nick, std::int32_t amount);
  std::optional<std::int32_t> ReadKezsBalance(std::string_view nick);
  // The JPEG bytes of a member's photo, from the configuration page's photo
  // folder or else the built-in one; nothing unless a JPEG picture arrived.
  std::optional<std::string> LoadPhoto(std::string_view nick);

  // --- The game record ---
  GameRecordReply ReadGameRecord(std::string_view nick, std::string_view pw);
  GameRecordReply ReadGameRecordFull(std::string_view nick, std::string_view pw);
  bool SaveGameRecord(std::string_view nick, std::string_view pw, const GameRecord& record);

  // --- Tournament and chat tables (these reads set the 3 s read time-out) ---
  TableReply ReadTopTen(std::int32_t id);
  TableReply ReadOwnResults(std::int32_t id, std::string_view nick, std::string_view city);
  std::optional<std::int32_t> ReadGameCount(std::int32_t id);
  // The place of the new entry; nothing on failure.
  std::optional<std::int32_t> WriteTopTenEntry(std::string_view nick, std::string_view city,
                                               std::string_view country_code, std::string_view sex,
                                               std::int32_t score, std::int32_t id,
                                               std::string_view time_stamp,
                                               std::string_view message);

  // --- Usage statistics (the read sets the 3 s read time-out) ---
  UsageStatisticsReply ReadUsageStatistics();
  bool SendLike(std::string_view nick);

  // --- The session's operations ---
  // The start-up login from the user file at `user_file`: nobody logged in
  // and user_file_saved false first; a readable file sets user_file_saved, and the
  // stored password, with spaces, "#" and "$" made "-", is sent; current_user
  // becomes the login's record whatever the outcome, with the scrambled
  // password made from the password sent. True (and logged in) when the
  // login succeeded.
  bool LoginFromUserFile(ClubSession& session, const std::string& user_file);
  // Reads the player's record into current_game, counts one more game with the
  // rating as for a score of 0 and writes it back; a failed write restores the
  // rated games and the rating. True only when both the read and the write
  // succeeded.
  bool RegisterRatedGame(ClubSession& session);
  // Reads the record into current_game, adds score / rated games to the rating,
  // raises the best score and writes it back; a failed write restores the best
  // score and the rating.
  RatedSave SaveRatedResult(ClubSession& session, std::int32_t score);
  bool CreditKezs(ClubSession& session, std::int32_t amount);
  // The balance into current_user.kezs_balance; false (unchanged) on failure.
  bool ReadKezsBalance(ClubSession& session);
  // `nick`'s photo into slot 1 (the player's) or 2 (the chairman's); on
  // failure the slot keeps its picture.
  bool LoadPhoto(ClubSession& session, std::string_view nick, int slot);

 private:
  std::string AccountAddress() const;

  ClubClient& client_;
  const ClubServiceState& services_;
  const Settings& settings_;
};

}  // namespace braxo
