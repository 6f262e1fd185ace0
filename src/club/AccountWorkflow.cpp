#include "club/AccountWorkflow.h"

#include <QTimer>
#include <memory>
#include <utility>

#include "club/AccountRules.h"
#include "club/ClubAccess.h"
#include "storage/TextFile.h"
#include "storage/UserFile.h"

namespace braxo {
AccountWorkflow::AccountWorkflow(ClubAccess& club, ClubSession& session, std::string user_file)
    : club_(club), session_(session), user_file_(std::move(user_file)) {}

bool AccountWorkflow::LogInAndAdopt(std::string_view nick, std::string password, bool adopt_refused,
                                    bool* club_busy) {
  LoginReply login = club_.LoginAccount(nick, password);
  if (club_busy != nullptr) *club_busy = login.club_busy;
  if (login.ok || adopt_refused) {
    MemberAccount& user = session_.current_user;
    user = std::move(login.user);
    user.scrambled_password = ScramblePassword(password);
    user.password = std::move(password);
  }
  return login.ok;
}

bool AccountWorkflow::AdoptGameRecord(GameRecordReply reply) {
  if (!reply.ok) return false;
  session_.current_game = std::move(reply.record);
  if (const std::optional<std::int32_t> place = club_.ReadRatingPlace(session_.current_game.rating))
    session_.current_game.rating_place = *place;
  return true;
}

bool AccountWorkflow::ReadOwnRecord() {
  const MemberAccount& user = session_.current_user;
  return AdoptGameRecord(club_.ReadGameRecord(user.nick, user.password));
}

bool AccountWorkflow::LogInFromUserFile() {
  session_.account_state = AccountState::kNobody;
  session_.user_file_saved = false;
  const std::optional<UserFileContent> file = ReadUserFile(user_file_);
  if (!file) return false;
  session_.user_file_saved = true;
  const bool logged_in =
      LogInAndAdopt(file->nick, StartupLoginPassword(UnscramblePassword(file->scrambled_password)),
                    /*adopt_refused=*/true);
  if (logged_in) session_.account_state = AccountState::kLoggedIn;
  return logged_in;
}

CreationOutcome AccountWorkflow::CreateAccount(std::string_view registered_on, AccountPages pages) {
  MemberAccount& user = session_.current_user;
  user.registered_on = registered_on;
  user.reserved_r01 = user.reserved_r02 = user.reserved_r03 = "xxx";
  user.kezs_balance = user.reserved_r05 = user.reserved_r06 = 0;
  CreationOutcome outcome;
  switch (club_.CreateAccount(user)) {
    case 0:
      outcome.creation = AccountCreation::kCreated;
      break;
    case 1:
      outcome.creation = AccountCreation::kNickTaken;
      break;
    case kClubBusyCreation:
      outcome.creation = AccountCreation::kClubBusy;
      break;
    default:
      outcome.creation = AccountCreation::kNotCreated;
      break;
  }
  if (outcome.creation != AccountCreation::kCreated) {
    session_.account_state = AccountState::kNobody;
    user.registered_on = kNoRegistrationDate;
    outcome.pages = std::move(pages);
    return outcome;
  }
  // The account exists whether or not the login that follows succeeds.
  session_.account_state = AccountState::kLoggedIn;
  pages.members_count = club_.CountClubMembers();
  LogInAndAdopt(user.nick, user.password, /*adopt_refused=*/false);
  const MemberAccount& member = session_.current_user;
  pages.own_record_read = AdoptGameRecord(club_.ReadGameRecordFull(member.nick, member.password));
  pages.player_photo_loaded = false;
  session_.current_user.personal_info = club_.ReadPersonalInfo(member.nick);
  outcome.pages = std::move(pages);
  return outcome;
}

LoginOutcome AccountWorkflow::LogIn(AccountPages pages) {
  const MemberAccount& user = session_.current_user;
  bool club_busy = false;
  if (!LogInAndAdopt(user.nick, user.password, /*adopt_refused=*/false, &club_busy)) {
    pages.own_record_read = false;
    pages.members_count.reset();
    return {false, club_busy, std::move(pages)};
  }
  session_.account_state = AccountState::kLoggedIn;
  pages.own_record_read = ReadOwnRecord();
  pages.members_count = club_.CountClubMembers();
  pages.player_photo_loaded = club_.LoadPhoto(session_, user.nick, 1);
  session_.current_user.personal_info = club_.ReadPersonalInfo(user.nick);
  return {true, false, RefreshChairman(std::move(pages))};
}

AccountPages AccountWorkflow::SignOut(AccountPages pages) {
  session_.account_state = AccountState::kNobody;
  MemberAccount& user = session_.current_user;
  user.kezs_balance = user.reserved_r05 = user.reserved_r06 = 0;
  pages.player_photo_loaded = false;
  return pages;
}

AccountState AccountWorkflow::ChooseRatedGame(bool rated) {
  AccountState& state = session_.account_state;
  if (rated && state == AccountState::kLoggedIn) state = AccountState::kRated;
  if (!rated && state == AccountState::kRated) state = AccountState::kLoggedIn;
  return state;
}

void AccountWorkflow::StartAccountForm() {
  if (session_.account_state != AccountState::kNobody) return;
  MemberAccount& user = session_.current_user;
  user.city.clear();
  user.country_code = "1-001";
  user.country_name = "Russia";
  user.sex = 'M';
  user.email.clear();
  user.registered_on = kNoRegistrationDate;
}

void AccountWorkflow::ReadPagesInBackground(QObject* owner, AccountPages start,
                                            std::function<void(const AccountPages&)> arrived,
                                            std::function<void(AccountPages)> done) {
  // What has come so far; `done` runs when nothing is out any more.
  struct Gathering {
    AccountPages pages;
    int out = 0;
    std::function<void(const AccountPages&)> arrived;
    std::function<void(AccountPages)> done;
  };
  auto gathering = std::make_shared<Gathering>();
  gathering->pages = std::move(start);
  gathering->arrived = std::move(arrived);
  gathering->done = std::move(done);
  // Each read counts itself out until its reply (and its follow-up) is in.
  const auto step = [gathering](auto&& apply) {
    ++gathering->out;
    return [gathering, apply = std::forward<decltype(apply)>(apply)](auto reply) {
      apply(std::move(reply));
      const bool last = --gathering->out == 0;
      if (gathering->arrived) gathering->arrived(gathering->pages);
      if (last && gathering->done) {
        const auto finish = std::move(gathering->done);
        finish(std::move(gathering->pages));
      }
    };
  };
  const bool member = session_.account_state != AccountState::kNobody;
  const std::string nick = session_.current_user.nick;
  if (!member) {
    gathering->pages.own_record_read = false;
    gathering->pages.player_photo_loaded = false;
  }
  const std::string shown_chairman = gathering->pages.top_ten.list[0].nick;

  club_.ReadRatedTopTen(
      owner, step([this, owner, gathering, step, shown_chairman](RatedTopTenReply top_ten) {
        gathering->pages.top_ten = std::move(top_ten);
        const std::string& chairman = gathering->pages.top_ten.list[0].nick;
        if (chairman != shown_chairman) gathering->pages.chairman_info = {};
        if (!gathering->pages.top_ten.ok || chairman.empty()) {
          gathering->pages.chairman_photo_loaded = false;
          return;
        }
        club_.ReadPersonalInfo(owner, chairman, step([gathering](PersonalInfo info) {
                                 if (!(info == PersonalInfo{}))
                                   gathering->pages.chairman_info = std::move(info);
                               }));
        club_.LoadPhoto(owner, chairman, step([this, gathering](std::optional<std::string> photo) {
                          gathering->pages.chairman_photo_loaded = photo.has_value();
                          if (photo) session_.photo_slots[1] = std::move(*photo);
                        }));
      }));
  if (member) {
    club_.ReadGameRecord(owner, nick, session_.current_user.password,
                         step([this, owner, gathering, step](GameRecordReply reply) {
                           gathering->pages.own_record_read = reply.ok;
                           if (!reply.ok) return;
                           session_.current_game = std::move(reply.record);
                           club_.ReadRatingPlace(owner, session_.current_game.rating,
                                                 step([this](std::optional<std::int32_t> place) {
                                                   if (place)
                                                     session_.current_game.rating_place = *place;
                                                 }));
                         }));
  }
  club_.CountClubMembers(owner, step([gathering](std::optional<std::int32_t> count) {
                           gathering->pages.members_count = count;
                         }));
  if (member) {
    club_.LoadPhoto(owner, nick, step([this, gathering](std::optional<std::string> photo) {
                      gathering->pages.player_photo_loaded = photo.has_value();
                      if (photo) session_.photo_slots[0] = std::move(*photo);
                    }));
    club_.ReadPersonalInfo(owner, nick, step([this](PersonalInfo info) {
                             session_.current_user.personal_info = std::move(info);
                           }));
  }
}

void AccountWorkflow::RefreshOwnRecordInBackground(QObject* owner, std::function<void(bool)> done) {
  if (session_.account_state == AccountState::kNobody) {
    // Still from the event loop, as every answer.
    QTimer::singleShot(0, owner, [done = std::move(done)] { done(false); });
    return;
  }
  const MemberAccount& user = session_.current_user;
  club_.ReadGameRecord(owner, user.nick, user.password,
                       [this, owner, done = std::move(done)](GameRecordReply reply) {
                         if (!reply.ok) {
                           done(false);
                           return;
                         }
                         session_.current_game = std::move(reply.record);
                         club_.ReadRatingPlace(owner, session_.current_game.rating,
                                               [this, done](std::optional<std::int32_t> place) {
                                                 if (place)
                                                   session_.current_game.rating_place = *place;
                                                 done(true);
                                               });
                       });
}

void AccountWorkflow::RefreshTopTenInBackground(QObject* owner,
                                                std::function<void(RatedTopTenReply)> done) {
  club_.ReadRatedTopTen(owner, std::move(done));
}

AccountPages AccountWorkflow::ReadPages() {
  const bool member = session_.account_state != AccountState::kNobody;
  AccountPages pages;
  pages.top_ten = club_.ReadRatedTopTen();
  if (member) pages.own_record_read = ReadOwnRecord();
  pages.members_count = club_.CountClubMembers();
  if (member) {
    const std::string& nick = session_.current_user.nick;
    pages.player_photo_loaded = club_.LoadPhoto(session_, nick, 1);
    session_.current_user.personal_info = club_.ReadPersonalInfo(nick);
  }
  return RefreshChairman(std::move(pages));
}

AccountPages AccountWorkflow::RefreshOwnRecord(AccountPages pages) {
  if (session_.account_state != AccountState::kNobody) pages.own_record_read = ReadOwnRecord();
  return pages;
}

AccountPages AccountWorkflow::RefreshTopTen(AccountPages pages) {
  pages.top_ten = club_.ReadRatedTopTen();
  return pages;
}

AccountPages AccountWorkflow::RefreshChairman(AccountPages pages) {
  const std::string& nick = pages.top_ten.list[0].nick;
  if (!pages.top_ten.ok || nick.empty()) {
    pages.chairman_photo_loaded = false;
    return pages;
  }
  PersonalInfo info = club_.ReadPersonalInfo(nick);
  if (!(info == PersonalInfo{})) pages.chairman_info = std::move(info);
  pages.chairman_photo_loaded = club_.LoadPhoto(session_, nick, 2);
  return pages;
}

namespace {

// The texts as the club keeps them: only what its 8-bit code page holds,
// with every "$" and "~" a space.
PersonalInfo AsTheClubKeepsThem(const PersonalInfo& typed) {
  PersonalInfo info;
  for (const auto text : kPersonalInfoRecordOrder)
    info.*text = Cp1251ToUtf8(Utf8ToCp1251(typed.*text));
  return CleanPersonalInfo(std::move(info));
}

}  // namespace

bool AccountWorkflow::SavePersonalInfo(const PersonalInfo& typed) {
  const std::string& nick = session_.current_user.nick;
  if (!club_.SavePersonalInfo(nick, AsTheClubKeepsThem(typed))) return false;
  session_.current_user.personal_info = club_.ReadPersonalInfo(nick);
  return true;
}

void AccountWorkflow::SavePersonalInfoInBackground(
    QObject* owner, const PersonalInfo& typed,
    std::function<void(std::optional<PersonalInfo>)> done) {
  const std::string nick = session_.current_user.nick;
  PersonalInfo kept = AsTheClubKeepsThem(typed);
  club_.SavePersonalInfo(
      owner, nick, kept, [this, owner, nick, kept, done = std::move(done)](bool saved) mutable {
        if (!saved) {
          done(std::nullopt);
          return;
        }
        club_.ReadPersonalInfo(owner, nick,
                               [this, kept = std::move(kept), done](PersonalInfo read) mutable {
                                 session_.current_user.personal_info = std::move(read);
                                 done(std::move(kept));
                               });
      });
}

void AccountWorkflow::UploadPhotoInBackground(QObject* owner, std::string jpeg,
                                              std::function<void(bool)> done) {
  const MemberAccount& user = session_.current_user;
  club_.UploadPhoto(owner, user.nick, user.password, std::move(jpeg), std::move(done));
}

bool AccountWorkflow::UploadPhoto(const std::string& jpeg) {
  const MemberAccount& user = session_.current_user;
  return club_.UploadPhoto(user.nick, user.password, jpeg);
}

bool AccountWorkflow::SaveUserFile() {
  const MemberAccount& user = session_.current_user;
  if (!WriteUserFile(user_file_, user.nick, user.scrambled_password)) return false;
  session_.user_file_saved = true;
  return true;
}

bool AccountWorkflow::DeleteUserFile() {
  if (!braxo::DeleteUserFile(user_file_)) return false;
  session_.user_file_saved = false;
  return true;
}

}  // namespace braxo
