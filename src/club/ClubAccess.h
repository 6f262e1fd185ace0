// Every club operation of the account, results, tournament and statistics
// services over the one shared client, the photos, and the operations of the
// run that work on the club session: the two rated-game steps, the reward and
// the balance, the photo slots. The member's account as a whole (logging in
// and out, the account pages, the user file) is AccountWorkflow's. Failures
// come back only in the results; nothing here shows anything or throws.
#pragma once

#include <cstdint>
#include <functional>
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
  // 0 created, 1 the nick is taken, 2 not created (also on any failure),
  // kClubBusyCreation when the club answered that it is busy.
  int CreateAccount(const MemberAccount& user);
  // A busy club's answer sets club_busy.
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
  // Stores `jpeg` as `nick`'s photo in the club's FTP folder (PhotoFtpFolder),
  // logged in with the member's nick and club password. False when there is
  // no folder or the club did not confirm the whole file.
  bool UploadPhoto(std::string_view nick, std::string_view password, const std::string& jpeg);

  // --- The game record ---
  GameRecordReply ReadGameRecord(std::string_view nick, std::string_view pw);
  GameRecordReply ReadGameRecordFull(std::string_view nick, std::string_view pw);
  bool SaveGameRecord(std::string_view nick, std::string_view pw, const GameRecord& record);

  // --- Tournament and chat tables (these reads set the 3 s read time-out) ---
  TableReply ReadTopTen(std::int32_t id);
  TableReply ReadOwnResults(std::int32_t id, std::string_view nick, std::string_view city);
  std::optional<std::int32_t> ReadGameCount(std::int32_t id);
  // Why the club refused an entry, where the player can do something about it.
  enum class EntryRefusal {
    kOther,
    // The nick belongs to a club member, and the entry came without that
    // member's session (log in as that member, or pick another nick).
    kMemberNick,
  };
  // The place of the new entry; nothing on failure, and then `why` (when
  // given) says why.
  std::optional<std::int32_t> WriteTopTenEntry(std::string_view nick, std::string_view city,
                                               std::string_view country_code, std::string_view sex,
                                               std::int32_t score, std::int32_t id,
                                               std::string_view time_stamp,
                                               std::string_view message,
                                               EntryRefusal* why = nullptr);

  // --- Usage statistics (the read sets the 3 s read time-out) ---
  UsageStatisticsReply ReadUsageStatistics();
  bool SendLike(std::string_view nick);

  // --- The session's operations ---
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

  // --- The same reads without waiting ---
  // Each sends its request at once and runs its callback from the event loop
  // with what the waiting read above returns; the request is tied to `owner`
  // (destroyed first, it cancels the read and the callback never runs).
  template <typename Reply>
  using Then = std::function<void(Reply)>;
  void ReadRatedTopTen(QObject* owner, Then<RatedTopTenReply> done);
  void CountClubMembers(QObject* owner, Then<std::optional<std::int32_t>> done);
  void ReadRatingPlace(QObject* owner, double rating, Then<std::optional<std::int32_t>> done);
  void ReadPersonalInfo(QObject* owner, std::string_view nick, Then<PersonalInfo> done);
  void ReadGameRecord(QObject* owner, std::string_view nick, std::string_view pw,
                      Then<GameRecordReply> done);
  void LoadPhoto(QObject* owner, std::string_view nick, Then<std::optional<std::string>> done);

  // The session's rated-game steps, the reward and the balance without
  // waiting, tied to `owner` in the same way, with the outcomes of the
  // waiting calls above. The session must outlive `owner`. The record the
  // club is sent reaches session.current_game only once the club has
  // confirmed it: a step cancelled before then leaves the record as read.
  void RegisterRatedGame(QObject* owner, ClubSession& session, Then<bool> done);
  void SaveRatedResult(QObject* owner, ClubSession& session, std::int32_t score,
                       Then<RatedSave> done);
  void CreditKezs(QObject* owner, ClubSession& session, std::int32_t amount, Then<bool> done);
  void ReadKezsBalance(QObject* owner, ClubSession& session, Then<bool> done);

  // --- Tournament and chat tables without waiting ---
  // The same requests as the waiting calls above, tied to `owner` in the same
  // way, with the same outcomes; the reads set the same read time-out.
  void ReadTopTen(QObject* owner, std::int32_t id, Then<TableReply> done);
  void ReadOwnResults(QObject* owner, std::int32_t id, std::string_view nick, std::string_view city,
                      Then<TableReply> done);
  void ReadGameCount(QObject* owner, std::int32_t id, Then<std::optional<std::int32_t>> done);
  // What an entry's write came to: the place, or nothing and the reason.
  struct EntryWrite {
    std::optional<std::int32_t> place;
    EntryRefusal why = EntryRefusal::kOther;
  };
  void WriteTopTenEntry(QObject* owner, std::string_view nick, std::string_view city,
                        std::string_view country_code, std::string_view sex, std::int32_t score,
                        std::int32_t id, std::string_view time_stamp, std::string_view message,
                        Then<EntryWrite> done);

  // --- The account service's writes without waiting ---
  // Tied to `owner` as the reads above, with the outcomes of the waiting
  // calls (the club-busy answers included).
  void CreateAccount(QObject* owner, const MemberAccount& user, Then<int> done);
  void LoginAccount(QObject* owner, std::string_view nick, std::string_view pw,
                    Then<LoginReply> done);
  void SavePersonalInfo(QObject* owner, std::string_view nick, const PersonalInfo& info,
                        Then<bool> done);
  // UploadPhoto on a worker thread, within the same time bounds: `done` runs
  // from the event loop with its outcome unless `owner` was destroyed first;
  // then the transfer is broken off and its outcome dropped.
  void UploadPhoto(QObject* owner, std::string_view nick, std::string_view password,
                   std::string jpeg, Then<bool> done);

  // --- Usage statistics without waiting ---
  // Tied to `owner` as the reads above, with the outcomes of the waiting
  // calls; the read sets the 3 s read time-out as the waiting one does.
  void ReadUsageStatistics(QObject* owner, Then<UsageStatisticsReply> done);
  void SendLike(QObject* owner, std::string_view nick, Then<bool> done);

  // --- The game record, the reward, the balance and the photo slots
  // without waiting ---
  // Tied to `owner` as above, with what the waiting calls above return.
  void ReadGameRecordFull(QObject* owner, std::string_view nick, std::string_view pw,
                          Then<GameRecordReply> done);
  void SaveGameRecord(QObject* owner, std::string_view nick, std::string_view pw,
                      const GameRecord& record, Then<bool> done);
  void CreditKezs(QObject* owner, std::string_view nick, std::int32_t amount, Then<bool> done);
  void ReadKezsBalance(QObject* owner, std::string_view nick,
                       Then<std::optional<std::int32_t>> done);
  // The session must outlive `owner`.
  void LoadPhoto(QObject* owner, ClubSession& session, std::string_view nick, int slot,
                 Then<bool> done);

 private:
  std::string AccountAddress() const;
  // Writes `record` as `user`'s game record; on the club's confirmation it
  // becomes session.current_game.
  void SaveRecordThen(QObject* owner, ClubSession& session, const MemberAccount& user,
                      GameRecord record, Then<bool> done);
  std::string PhotoFolder() const;

  ClubClient& client_;
  const ClubServiceState& services_;
  const Settings& settings_;
};

}  // namespace braxo
