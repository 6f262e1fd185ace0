#include "club/ClubAccess.h"

#include <QByteArray>
#include <QImage>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <memory>

#include "club/BuiltinAddresses.h"
#include "club/PhotoUpload.h"
#include "club/ReplyRules.h"
#include "club/Scramble.h"
#include "club/wire/WireConstants.h"

namespace braxo {
namespace {

bool IsJpegPicture(const std::string& bytes) {
  const QByteArray data =
      QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return !QImage::fromData(data, "JPEG").isNull();
}

}  // namespace

ClubAccess::ClubAccess(ClubClient& client, const ClubServiceState& services,
                       const Settings& settings)
    : client_(client), services_(services), settings_(settings) {}

// Unscrambled afresh for every request and dropped afterwards; empty (every
// request fails) until the remote configuration set it.
std::string ClubAccess::AccountAddress() const {
  if (services_.account_address.empty()) return {};
  return UnscrambleAddress(services_.account_address, kAccountKey);
}

int ClubAccess::CreateAccount(const MemberAccount& user) {
  const HttpResult reply = client_.PostPlain(AccountAddress(), CreateAccountFields(user));
  if (reply.status == wire::kClubBusyStatus) return kClubBusyCreation;
  return reply.ok() ? ReadCreateAccountReply(reply.body) : 2;
}

LoginReply ClubAccess::LoginAccount(std::string_view nick, std::string_view pw) {
  const HttpResult reply = client_.PostList(AccountAddress(), LoginAccountLines(nick, pw));
  if (!reply.ok())
    return LoginReply{false, PrefilledLoginUser(nick, pw), reply.status == wire::kClubBusyStatus};
  return ReadLoginReply(reply.body, nick, pw);
}

PersonalInfo ClubAccess::ReadPersonalInfo(std::string_view nick) {
  const HttpResult reply = client_.PostList(AccountAddress(), ReadPersonalInfoLines(nick));
  return reply.ok() ? ReadPersonalInfoReply(reply.body) : PersonalInfo{};
}

bool ClubAccess::SavePersonalInfo(std::string_view nick, const PersonalInfo& info) {
  const HttpResult reply = client_.PostPlain(AccountAddress(), SavePersonalInfoFields(nick, info));
  return reply.ok() && MarkerReply(reply.body, "ok");
}

std::optional<std::int32_t> ClubAccess::CountClubMembers() {
  const HttpResult reply = client_.PostPlain(AccountAddress(), CountClubMembersFields());
  if (!reply.ok()) return std::nullopt;
  return NumberReply(reply.body);
}

std::optional<std::int32_t> ClubAccess::ReadRatingPlace(double rating) {
  const HttpResult reply = client_.PostPlain(
      AccountAddress(), ReadRatingPlaceFields(services_.game_field_prefix, rating));
  if (!reply.ok()) return std::nullopt;
  return NumberReply(reply.body);
}

RatedTopTenReply ClubAccess::ReadRatedTopTen() {
  const HttpResult reply =
      client_.PostList(AccountAddress(), ReadRatedTopTenLines(services_.game_field_prefix));
  if (!reply.ok()) return RatedTopTenReply{false, {}};
  return ReadRatedTopTenReply(reply.body);
}

bool ClubAccess::CreditKezs(std::string_view nick, std::int32_t amount) {
  const HttpResult reply = client_.PostPlain(AccountAddress(), CreditKezsFields(nick, amount));
  return reply.ok() && MarkerReply(reply.body, "ok");
}

std::optional<std::int32_t> ClubAccess::ReadKezsBalance(std::string_view nick) {
  const HttpResult reply = client_.PostList(AccountAddress(), ReadKezsBalanceLines(nick));
  if (!reply.ok()) return std::nullopt;
  return ReadKezsBalanceReply(reply.body);
}

std::string ClubAccess::PhotoFolder() const {
  return UnscrambleAddress(services_.photo_address.empty()
                               ? BuiltinPhotoFolderAddress()
                               : std::string_view(services_.photo_address),
                           kAccountKey);
}

std::optional<std::string> ClubAccess::LoadPhoto(std::string_view nick) {
  HttpResult reply = client_.GetPlain(PhotoAddress(PhotoFolder(), nick));
  if (!reply.ok() || !IsJpegPicture(reply.body)) return std::nullopt;
  return std::move(reply.body);
}

bool ClubAccess::UploadPhoto(std::string_view nick, std::string_view password,
                             const std::string& jpeg) {
  const std::string folder = PhotoFtpFolder(services_);
  if (folder.empty()) return false;
  return braxo::UploadPhoto(PhotoUploadAddress(folder, nick), nick, password, jpeg);
}

GameRecordReply ClubAccess::ReadGameRecord(std::string_view nick, std::string_view pw) {
  const HttpResult reply = client_.PostList(
      AccountAddress(), ReadGameRecordLines(services_.game_field_prefix, nick, pw));
  if (!reply.ok()) return GameRecordReply{false, PrefilledGameRecord()};
  return ReadGameRecordReply(reply.body);
}

GameRecordReply ClubAccess::ReadGameRecordFull(std::string_view nick, std::string_view pw) {
  const HttpResult reply = client_.PostList(
      AccountAddress(), ReadGameRecordLines(services_.game_field_prefix, nick, pw));
  if (!reply.ok()) return GameRecordReply{false, PrefilledGameRecord()};
  return ReadGameRecordFullReply(reply.body);
}

bool ClubAccess::SaveGameRecord(std::string_view nick, std::string_view pw,
                                const GameRecord& record) {
  const HttpResult reply = client_.PostPlain(
      AccountAddress(), SaveGameRecordFields(services_.game_field_prefix, nick, pw, record));
  return reply.ok() && MarkerReply(reply.body, "ok");
}

TableReply ClubAccess::ReadTopTen(std::int32_t id) {
  client_.SetReadTimeout(kClubReadTimeout);
  const HttpResult reply = client_.PostList(settings_.top_ten_address.plain, ReadTopTenLines(id));
  if (!reply.ok()) return TableReply{false, PrefilledTable(id)};
  return ReadTableReply(reply.body, id);
}

TableReply ClubAccess::ReadOwnResults(std::int32_t id, std::string_view nick,
                                      std::string_view city) {
  client_.SetReadTimeout(kClubReadTimeout);
  const HttpResult reply =
      client_.PostPlain(settings_.top_ten_address.plain, ReadOwnResultsFields(id, nick, city));
  if (!reply.ok()) return TableReply{false, PrefilledTable(id)};
  return ReadTableReply(reply.body, id);
}

std::optional<std::int32_t> ClubAccess::ReadGameCount(std::int32_t id) {
  const HttpResult reply =
      client_.PostList(settings_.top_ten_address.plain, ReadGameCountLines(id));
  if (!reply.ok()) return std::nullopt;
  return NumberReply(reply.body);
}

std::optional<std::int32_t> ClubAccess::WriteTopTenEntry(
    std::string_view nick, std::string_view city, std::string_view country_code,
    std::string_view sex, std::int32_t score, std::int32_t id, std::string_view time_stamp,
    std::string_view message, EntryRefusal* why) {
  const HttpResult reply = client_.PostPlain(
      settings_.top_ten_address.plain,
      WriteTopTenEntryFields(nick, city, country_code, sex, score, id, time_stamp, message));
  if (why)
    *why =
        reply.status == wire::kMemberNickStatus ? EntryRefusal::kMemberNick : EntryRefusal::kOther;
  if (!reply.ok()) return std::nullopt;
  return NumberReply(reply.body);
}

UsageStatisticsReply ClubAccess::ReadUsageStatistics() {
  client_.SetReadTimeout(kClubReadTimeout);
  const HttpResult reply =
      client_.PostList(settings_.stat_address.plain, ReadUsageStatisticsLines(services_.game_id));
  if (!reply.ok()) {
    UsageStatisticsReply failed{false, {}};
    failed.stats.game_id = services_.game_id;
    return failed;
  }
  return ReadUsageStatisticsReply(reply.body, services_.game_id);
}

bool ClubAccess::SendLike(std::string_view nick) {
  const HttpResult reply =
      client_.PostPlain(settings_.stat_address.plain, SendLikeFields(services_.game_id, nick));
  return reply.ok() && TailMarkerReply(reply.body);
}

bool ClubAccess::RegisterRatedGame(ClubSession& session) {
  const MemberAccount& user = session.current_user;
  GameRecordReply read = ReadGameRecord(user.nick, user.password);
  session.current_game = std::move(read.record);
  if (!read.ok) return false;
  GameRecord& game = session.current_game;
  const std::int32_t rated_games = game.rated_games;
  const double rating = game.rating;
  if (!ApplyRatedStart(game)) return false;
  if (!SaveGameRecord(user.nick, user.password, game)) {
    game.rated_games = rated_games;
    game.rating = rating;
    return false;
  }
  return true;
}

RatedSave ClubAccess::SaveRatedResult(ClubSession& session, std::int32_t score) {
  const MemberAccount& user = session.current_user;
  GameRecordReply read = ReadGameRecord(user.nick, user.password);
  session.current_game = std::move(read.record);
  if (!read.ok) return RatedSave::kFailed;
  GameRecord& game = session.current_game;
  const std::int32_t best_score = game.best_score;
  const double rating = game.rating;
  if (!ApplyRatedScore(game, score)) return RatedSave::kNotRecordable;
  if (!SaveGameRecord(user.nick, user.password, game)) {
    game.best_score = best_score;
    game.rating = rating;
    return RatedSave::kFailed;
  }
  return RatedSave::kSaved;
}

bool ClubAccess::CreditKezs(ClubSession& session, std::int32_t amount) {
  return CreditKezs(session.current_user.nick, amount);
}

bool ClubAccess::ReadKezsBalance(ClubSession& session) {
  const std::optional<std::int32_t> balance = ReadKezsBalance(session.current_user.nick);
  if (!balance) return false;
  session.current_user.kezs_balance = *balance;
  return true;
}

bool ClubAccess::LoadPhoto(ClubSession& session, std::string_view nick, int slot) {
  if (slot != 1 && slot != 2) return false;
  std::optional<std::string> photo = LoadPhoto(nick);
  if (!photo) return false;
  session.photo_slots[static_cast<std::size_t>(slot - 1)] = std::move(*photo);
  return true;
}

void ClubAccess::ReadRatedTopTen(QObject* owner, Then<RatedTopTenReply> done) {
  client_.SendBody(
      owner, AccountAddress(), ListFormBody(ReadRatedTopTenLines(services_.game_field_prefix)),
      [done = std::move(done)](const HttpResult& reply) {
        done(reply.ok() ? ReadRatedTopTenReply(reply.body) : RatedTopTenReply{false, {}});
      });
}

void ClubAccess::CountClubMembers(QObject* owner, Then<std::optional<std::int32_t>> done) {
  client_.SendBody(owner, AccountAddress(), PlainFormBody(CountClubMembersFields()),
                   [done = std::move(done)](const HttpResult& reply) {
                     done(reply.ok() ? NumberReply(reply.body) : std::nullopt);
                   });
}

void ClubAccess::ReadRatingPlace(QObject* owner, double rating,
                                 Then<std::optional<std::int32_t>> done) {
  client_.SendBody(owner, AccountAddress(),
                   PlainFormBody(ReadRatingPlaceFields(services_.game_field_prefix, rating)),
                   [done = std::move(done)](const HttpResult& reply) {
                     done(reply.ok() ? NumberReply(reply.body) : std::nullopt);
                   });
}

void ClubAccess::ReadPersonalInfo(QObject* owner, std::string_view nick, Then<PersonalInfo> done) {
  client_.SendBody(owner, AccountAddress(), ListFormBody(ReadPersonalInfoLines(nick)),
                   [done = std::move(done)](const HttpResult& reply) {
                     done(reply.ok() ? ReadPersonalInfoReply(reply.body) : PersonalInfo{});
                   });
}

void ClubAccess::ReadGameRecord(QObject* owner, std::string_view nick, std::string_view pw,
                                Then<GameRecordReply> done) {
  client_.SendBody(owner, AccountAddress(),
                   ListFormBody(ReadGameRecordLines(services_.game_field_prefix, nick, pw)),
                   [done = std::move(done)](const HttpResult& reply) {
                     done(reply.ok() ? ReadGameRecordReply(reply.body)
                                     : GameRecordReply{false, PrefilledGameRecord()});
                   });
}

void ClubAccess::LoadPhoto(QObject* owner, std::string_view nick,
                           Then<std::optional<std::string>> done) {
  client_.SendGet(owner, PhotoAddress(PhotoFolder(), nick),
                  [done = std::move(done)](HttpResult reply) {
                    if (!reply.ok() || !IsJpegPicture(reply.body)) {
                      done(std::nullopt);
                      return;
                    }
                    done(std::move(reply.body));
                  });
}

void ClubAccess::RegisterRatedGame(QObject* owner, ClubSession& session, Then<bool> done) {
  // The nick and password are taken now: the member the step began for.
  const MemberAccount user = session.current_user;
  ReadGameRecord(owner, user.nick, user.password,
                 [this, owner, &session, user, done = std::move(done)](GameRecordReply read) {
                   session.current_game = std::move(read.record);
                   GameRecord started = session.current_game;
                   if (!read.ok || !ApplyRatedStart(started)) {
                     done(false);
                     return;
                   }
                   SaveRecordThen(owner, session, user, std::move(started),
                                  [done](bool saved) { done(saved); });
                 });
}

void ClubAccess::SaveRatedResult(QObject* owner, ClubSession& session, std::int32_t score,
                                 Then<RatedSave> done) {
  const MemberAccount user = session.current_user;
  ReadGameRecord(
      owner, user.nick, user.password,
      [this, owner, &session, user, score, done = std::move(done)](GameRecordReply read) {
        session.current_game = std::move(read.record);
        if (!read.ok) {
          done(RatedSave::kFailed);
          return;
        }
        GameRecord scored = session.current_game;
        if (!ApplyRatedScore(scored, score)) {
          done(RatedSave::kNotRecordable);
          return;
        }
        SaveRecordThen(owner, session, user, std::move(scored), [done](bool saved) {
          done(saved ? RatedSave::kSaved : RatedSave::kFailed);
        });
      });
}

void ClubAccess::SaveRecordThen(QObject* owner, ClubSession& session, const MemberAccount& user,
                                GameRecord record, Then<bool> done) {
  SaveGameRecord(owner, user.nick, user.password, record,
                 [&session, record, done = std::move(done)](bool saved) mutable {
                   if (saved) session.current_game = std::move(record);
                   done(saved);
                 });
}

void ClubAccess::CreditKezs(QObject* owner, ClubSession& session, std::int32_t amount,
                            Then<bool> done) {
  CreditKezs(owner, session.current_user.nick, amount, std::move(done));
}

void ClubAccess::ReadKezsBalance(QObject* owner, ClubSession& session, Then<bool> done) {
  ReadKezsBalance(owner, session.current_user.nick,
                  [&session, done = std::move(done)](std::optional<std::int32_t> balance) {
                    if (balance) session.current_user.kezs_balance = *balance;
                    done(balance.has_value());
                  });
}

void ClubAccess::ReadGameRecordFull(QObject* owner, std::string_view nick, std::string_view pw,
                                    Then<GameRecordReply> done) {
  client_.SendBody(owner, AccountAddress(),
                   ListFormBody(ReadGameRecordLines(services_.game_field_prefix, nick, pw)),
                   [done = std::move(done)](const HttpResult& reply) {
                     done(reply.ok() ? ReadGameRecordFullReply(reply.body)
                                     : GameRecordReply{false, PrefilledGameRecord()});
                   });
}

void ClubAccess::SaveGameRecord(QObject* owner, std::string_view nick, std::string_view pw,
                                const GameRecord& record, Then<bool> done) {
  client_.SendBody(
      owner, AccountAddress(),
      PlainFormBody(SaveGameRecordFields(services_.game_field_prefix, nick, pw, record)),
      [done = std::move(done)](const HttpResult& reply) {
        done(reply.ok() && MarkerReply(reply.body, "ok"));
      });
}

void ClubAccess::CreditKezs(QObject* owner, std::string_view nick, std::int32_t amount,
                            Then<bool> done) {
  client_.SendBody(owner, AccountAddress(), PlainFormBody(CreditKezsFields(nick, amount)),
                   [done = std::move(done)](const HttpResult& reply) {
                     done(reply.ok() && MarkerReply(reply.body, "ok"));
                   });
}

void ClubAccess::ReadKezsBalance(QObject* owner, std::string_view nick,
                                 Then<std::optional<std::int32_t>> done) {
  client_.SendBody(owner, AccountAddress(), ListFormBody(ReadKezsBalanceLines(nick)),
                   [done = std::move(done)](const HttpResult& reply) {
                     done(reply.ok() ? ReadKezsBalanceReply(reply.body) : std::nullopt);
                   });
}

void ClubAccess::ReadTopTen(QObject* owner, std::int32_t id, Then<TableReply> done) {
  client_.SetReadTimeout(kClubReadTimeout);
  client_.SendBody(
      owner, settings_.top_ten_address.plain, ListFormBody(ReadTopTenLines(id)),
      [id, done = std::move(done)](const HttpResult& reply) {
        done(reply.ok() ? ReadTableReply(reply.body, id) : TableReply{false, PrefilledTable(id)});
      });
}

void ClubAccess::ReadOwnResults(QObject* owner, std::int32_t id, std::string_view nick,
                                std::string_view city, Then<TableReply> done) {
  client_.SetReadTimeout(kClubReadTimeout);
  client_.SendBody(
      owner, settings_.top_ten_address.plain, PlainFormBody(ReadOwnResultsFields(id, nick, city)),
      [id, done = std::move(done)](const HttpResult& reply) {
        done(reply.ok() ? ReadTableReply(reply.body, id) : TableReply{false, PrefilledTable(id)});
      });
}

void ClubAccess::ReadGameCount(QObject* owner, std::int32_t id,
                               Then<std::optional<std::int32_t>> done) {
  client_.SendBody(owner, settings_.top_ten_address.plain, ListFormBody(ReadGameCountLines(id)),
                   [done = std::move(done)](const HttpResult& reply) {
                     done(reply.ok() ? NumberReply(reply.body) : std::nullopt);
                   });
}

void ClubAccess::WriteTopTenEntry(QObject* owner, std::string_view nick, std::string_view city,
                                  std::string_view country_code, std::string_view sex,
                                  std::int32_t score, std::int32_t id, std::string_view time_stamp,
                                  std::string_view message, Then<EntryWrite> done) {
  client_.SendBody(owner, settings_.top_ten_address.plain,
                   PlainFormBody(WriteTopTenEntryFields(nick, city, country_code, sex, score, id,
                                                        time_stamp, message)),
                   [done = std::move(done)](const HttpResult& reply) {
                     EntryWrite written;
                     if (reply.status == wire::kMemberNickStatus)
                       written.why = EntryRefusal::kMemberNick;
                     if (reply.ok()) written.place = NumberReply(reply.body);
                     done(written);
                   });
}

void ClubAccess::CreateAccount(QObject* owner, const MemberAccount& user, Then<int> done) {
  client_.SendBody(owner, AccountAddress(), PlainFormBody(CreateAccountFields(user)),
                   [done = std::move(done)](const HttpResult& reply) {
                     if (reply.status == wire::kClubBusyStatus) {
                       done(kClubBusyCreation);
                       return;
                     }
                     done(reply.ok() ? ReadCreateAccountReply(reply.body) : 2);
                   });
}

void ClubAccess::LoginAccount(QObject* owner, std::string_view nick, std::string_view pw,
                              Then<LoginReply> done) {
  client_.SendBody(owner, AccountAddress(), ListFormBody(LoginAccountLines(nick, pw)),
                   [nick = std::string(nick), pw = std::string(pw),
                    done = std::move(done)](const HttpResult& reply) {
                     if (!reply.ok()) {
                       done(LoginReply{false, PrefilledLoginUser(nick, pw),
                                       reply.status == wire::kClubBusyStatus});
                       return;
                     }
                     done(ReadLoginReply(reply.body, nick, pw));
                   });
}

void ClubAccess::SavePersonalInfo(QObject* owner, std::string_view nick, const PersonalInfo& info,
                                  Then<bool> done) {
  client_.SendBody(owner, AccountAddress(), PlainFormBody(SavePersonalInfoFields(nick, info)),
                   [done = std::move(done)](const HttpResult& reply) {
                     done(reply.ok() && MarkerReply(reply.body, "ok"));
                   });
}

void ClubAccess::UploadPhoto(QObject* owner, std::string_view nick, std::string_view password,
                             std::string jpeg, Then<bool> done) {
  const std::string folder = PhotoFtpFolder(services_);
  // What the worker shares with the event loop's side: its outcome, read
  // only after the thread has finished, and the flag that breaks it off.
  struct Upload {
    std::atomic<bool> stop{false};
    bool sent = false;
  };
  auto upload = std::make_shared<Upload>();
  QThread* worker = QThread::create(
      [upload, address = folder.empty() ? std::string() : PhotoUploadAddress(folder, nick),
       nick = std::string(nick), password = std::string(password), jpeg = std::move(jpeg)] {
        if (address.empty()) return;
        upload->sent =
            braxo::UploadPhoto(address, nick, password, jpeg, FtpLimits{}, &upload->stop);
      });
  // The thread object lives on this thread and goes once the worker ended,
  // whether or not anyone still waits for it.
  QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
  // Queued to `owner`'s thread; a destroyed owner takes the connection with it.
  QObject::connect(worker, &QThread::finished, owner,
                   [upload, done = std::move(done)] { done(upload->sent); });
  QObject::connect(owner, &QObject::destroyed, worker, [upload] { upload->stop = true; });
  worker->start();
}

void ClubAccess::ReadUsageStatistics(QObject* owner, Then<UsageStatisticsReply> done) {
  client_.SetReadTimeout(kClubReadTimeout);
  client_.SendBody(owner, settings_.stat_address.plain,
                   ListFormBody(ReadUsageStatisticsLines(services_.game_id)),
                   [game_id = services_.game_id, done = std::move(done)](const HttpResult& reply) {
                     if (!reply.ok()) {
                       UsageStatisticsReply failed{false, {}};
                       failed.stats.game_id = game_id;
                       done(std::move(failed));
                       return;
                     }
                     done(ReadUsageStatisticsReply(reply.body, game_id));
                   });
}

void ClubAccess::SendLike(QObject* owner, std::string_view nick, Then<bool> done) {
  client_.SendBody(owner, settings_.stat_address.plain,
                   PlainFormBody(SendLikeFields(services_.game_id, nick)),
                   [done = std::move(done)](const HttpResult& reply) {
                     done(reply.ok() && TailMarkerReply(reply.body));
                   });
}

void ClubAccess::LoadPhoto(QObject* owner, ClubSession& session, std::string_view nick, int slot,
                           Then<bool> done) {
  if (slot != 1 && slot != 2) {
    // From the event loop, as every other outcome.
    QTimer::singleShot(0, owner, [done = std::move(done)] { done(false); });
    return;
  }
  LoadPhoto(owner, nick,
            [&session, slot, done = std::move(done)](std::optional<std::string> photo) {
              if (photo)
                session.photo_slots[static_cast<std::size_t>(slot - 1)] = std::move(*photo);
              done(photo.has_value());
            });
}

}  // namespace braxo
