// The member's account with the club, as one workflow over the club session:
// the start-up login from the user file, creating an account (which logs
// in), logging in and signing out, choosing a rated game, reading what the
// account pages show (the rated top ten, the player's record and rating
// place, the members count, the photos, the personal information, the
// chairman), saving the personal information and the photo, and keeping or
// removing the user file.
//
// Every operation sends its requests one after another through ClubAccess
// (whose client waits for each reply), leaves its result in the session (the
// user, the game record, the account state, the photo slots, the user file
// flag) and returns everything else as a value. It shows nothing, holds no
// window and waits for nothing else, so a window only draws what came back,
// and an operation can later run in the background with its value applied
// when it arrives.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "club/AccountService.h"
#include "club/ClubRecords.h"
#include "club/ClubSession.h"

class QObject;

namespace braxo {

class ClubAccess;

// The registration date of an account that has none.
inline constexpr char kNoRegistrationDate[] = "00.00.0000";

// What the account pages show of the club beyond the session's own records.
struct AccountPages {
  // The ten best-rated players; the first is the club's chairman.
  RatedTopTenReply top_ten{false, {}};
  // The session's game record (with its rating place) was read from the club.
  bool own_record_read = false;
  std::optional<std::int32_t> members_count;
  // Photo slot 1 holds the player's photo as read from the club.
  bool player_photo_loaded = false;
  // The chairman's texts; a failed read keeps the ones shown before.
  PersonalInfo chairman_info;
  // Photo slot 2 holds the chairman's photo as read from the club.
  bool chairman_photo_loaded = false;
};

// kClubBusy: the club could not check a password now; asking again in a
// moment may succeed.
enum class AccountCreation { kCreated, kNickTaken, kNotCreated, kClubBusy };

struct CreationOutcome {
  AccountCreation creation = AccountCreation::kNotCreated;
  AccountPages pages;
};

struct LoginOutcome {
  bool logged_in = false;
  bool club_busy = false;  // refused because the club was busy, not for the password
  AccountPages pages;
};

class AccountWorkflow {
 public:
  // `club` and `session` must outlive the workflow; `user_file` is where
  // "KezUser.kez" is kept.
  AccountWorkflow(ClubAccess& club, ClubSession& session, std::string user_file);
  AccountWorkflow(const AccountWorkflow&) = delete;
  AccountWorkflow& operator=(const AccountWorkflow&) = delete;
  ~AccountWorkflow() = default;

  ClubSession& Session() { return session_; }
  const ClubSession& Session() const { return session_; }

  // --- Logging in and out ---

  // The start-up login: nobody logged in and no user file first; a readable
  // user file sets user_file_saved, and its password, with spaces, "#" and
  // "$" made "-", is sent. The session's user becomes the login's record
  // whatever the outcome (so a refused login still shows the stored nick),
  // with the scrambled form of the password sent. True (and logged in) when
  // the login succeeded.
  bool LogInFromUserFile();

  // Creates an account from the session's user (the form the player filled
  // in), registered on `registered_on` ("dd.mm.yyyy"), with the reserved
  // fields a new account starts with. Once created the member counts as
  // logged in and is logged in, and the members count, the player's record
  // of this game (the long form) with its place and the personal
  // information are read; the photo slot is not. Refused, nobody is logged
  // in and the registration date is "00.00.0000". `pages` comes back with
  // what changed.
  CreationOutcome CreateAccount(std::string_view registered_on, AccountPages pages);
  // Logs in with the session user's nick and password. On success the
  // login's record becomes the session's user, and the player's record with
  // its place, the members count, the photo, the personal information and
  // the chairman of `pages.top_ten` are read. A refused login keeps the
  // session's user and leaves the pages without the record and the count.
  LoginOutcome LogIn(AccountPages pages);
  // Nobody logged in; the nick and password stay for the next login, the
  // club's points are forgotten and the player's photo is no longer shown.
  AccountPages SignOut(AccountPages pages);
  // The rating switch: a logged-in member's next game counts for the rating
  // (or no longer does). Nobody's state does not change. The new state.
  AccountState ChooseRatedGame(bool rated);
  // While nobody is logged in the account form starts afresh: no city, no
  // e-mail, Russia, male, no registration date; the nick and the password
  // stay. A member's form is left alone.
  void StartAccountForm();

  // --- What the pages show ---

  // Everything, in the order the club is asked: the rated top ten; a
  // member's record with its place; the members count; a member's photo and
  // personal information; the chairman.
  AccountPages ReadPages();
  // The same pages without waiting, tied to `owner`: the reads that do not
  // depend on each other go out together (the top ten, the members count, a
  // member's record, photo and personal information), the record's place and
  // the chairman's texts and photo as soon as what they need has come. `done`
  // runs once from the event loop with what ReadPages would return; the
  // session changes as each reply arrives. Destroying `owner` cancels what is
  // still out, and `done` never runs.
  void ReadPagesInBackground(QObject* owner, std::function<void(AccountPages)> done) {
    ReadPagesInBackground(owner, {}, {}, std::move(done));
  }
  // The same, starting from `start` (what a window showed before): a part
  // keeps its value from `start` until its reply has come, and `arrived`
  // (when set) runs after each reply with the pages so far, before `done`.
  // Parts that a reply replaces end as ReadPages leaves them; the chairman's
  // texts from `start` stay only while the same member is chairman.
  void ReadPagesInBackground(QObject* owner, AccountPages start,
                             std::function<void(const AccountPages&)> arrived,
                             std::function<void(AccountPages)> done);
  // RefreshOwnRecord without waiting, tied to `owner`: `done` runs once from
  // the event loop with whether the record was read (the session changes as
  // with RefreshOwnRecord). Nobody's record is not asked for: `done` gets
  // false. Destroying `owner` cancels the read and `done` never runs.
  void RefreshOwnRecordInBackground(QObject* owner, std::function<void(bool)> done);
  // RefreshTopTen without waiting, in the same way.
  void RefreshTopTenInBackground(QObject* owner, std::function<void(RatedTopTenReply)> done);

  // The pages the last account window showed, for the next one to show at
  // once while it reads them again; empty (not read) at first.
  const AccountPages& LastPages() const { return last_pages_; }
  void KeepPages(AccountPages pages) { last_pages_ = std::move(pages); }
  // A member's record of this game with its place again; nobody's pages
  // stay.
  AccountPages RefreshOwnRecord(AccountPages pages);
  AccountPages RefreshTopTen(AccountPages pages);
  // The chairman (the first of `pages.top_ten`): the texts and the photo into
  // slot 2. Without a chairman no photo is shown.
  AccountPages RefreshChairman(AccountPages pages);

  // --- The personal information window ---

  // Saves the member's fourteen texts (UTF-8, in any characters) as the club
  // keeps them: only what its 8-bit code page holds, with every "$" and "~" a
  // space. On success the texts are read back into the session's user.
  bool SavePersonalInfo(const PersonalInfo& typed);
  // Sends a checked JPEG photo (the bytes of the chosen file) to the club as
  // the member. True when the club confirmed it.
  bool UploadPhoto(const std::string& jpeg);
  // SavePersonalInfo without waiting, tied to `owner`: `done` runs once from
  // the event loop with the texts as the club keeps them once it confirmed
  // them (they are then read back into the session's user), or nothing when
  // it did not. Destroying `owner` cancels what is still out, and `done`
  // never runs.
  void SavePersonalInfoInBackground(QObject* owner, const PersonalInfo& typed,
                                    std::function<void(std::optional<PersonalInfo>)> done);
  // UploadPhoto off the calling thread (ClubAccess::UploadPhoto), tied to
  // `owner` in the same way.
  void UploadPhotoInBackground(QObject* owner, std::string jpeg, std::function<void(bool)> done);

  // --- The user file ---

  // Writes the session user's nick and scrambled password; user_file_saved on
  // success. False (nothing changed) when it could not be written.
  bool SaveUserFile();
  // Removes the file; user_file_saved false on success. False when it could
  // not be removed.
  bool DeleteUserFile();

 private:
  // The one login of the workflow: on success (or whatever the outcome, when
  // `adopt_refused`) the login's record becomes the session's user, with the
  // password's scrambled form. True when the club accepted the login;
  // `club_busy`, when given, tells whether a refusal came from a busy club.
  bool LogInAndAdopt(std::string_view nick, std::string password, bool adopt_refused,
                     bool* club_busy = nullptr);
  // The record's place is asked for only when the record arrived.
  bool AdoptGameRecord(GameRecordReply reply);
  bool ReadOwnRecord();

  ClubAccess& club_;
  ClubSession& session_;
  std::string user_file_;
  AccountPages last_pages_;
};

}  // namespace braxo
