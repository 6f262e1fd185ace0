// Waiting for the club in tests and benchmarks: the game never waits for a
// club reply, but a test that prepares a club or checks what it holds reads
// most plainly one step after another. WaitForReply runs one asynchronous
// call and waits for its callback in a local event loop, within a bound;
// WaitingClubAccess offers ClubAccess's operations that way.
#pragma once

#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "club/AccountService.h"
#include "club/ClubAccess.h"
#include "club/ClubClient.h"
#include "club/TopTenService.h"

namespace braxo::testing {

// Longer than any bound of the club client, so that a request always ends
// with its own outcome first.
inline constexpr std::chrono::milliseconds kReplyWaitBound{60'000};

// Starts `send` with an owner and a callback, and waits until the callback
// has run or `bound` has passed. The owner lives until then: requests tied to
// it are cancelled when the wait runs out. The callback's value, or nothing
// when it did not come within the bound.
template <typename Result>
std::optional<Result> WaitForReply(
    const std::function<void(QObject* owner, std::function<void(Result)> done)>& send,
    std::chrono::milliseconds bound = kReplyWaitBound) {
  std::optional<Result> result;
  QEventLoop loop;
  QTimer limit;
  limit.setSingleShot(true);
  QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
  // The flag outlives the frame: a callback that comes after the wait ran
  // out finds it and does nothing.
  auto waiting = std::make_shared<bool>(true);
  auto owner = std::make_unique<QObject>();
  send(owner.get(), [&result, &loop, waiting](Result value) {
    if (!*waiting) return;
    result = std::move(value);
    loop.quit();
  });
  if (!result) {
    limit.start(bound);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  *waiting = false;
  return result;
}

// ClubClient's requests, waited for: a POST over the client's kept
// connections, a plain GET over them, a plain GET on a connection of its own
// (BackgroundGet), the configuration page. A reply that did not come within
// the wait's bound is a kNetwork failure.
inline HttpResult ResultOrNoReply(std::optional<HttpResult> result) {
  return result ? std::move(*result) : HttpResult{HttpError::kNetwork, 0, {}};
}
inline HttpResult WaitForPlain(ClubClient& client, std::string_view address,
                               const std::vector<FormField>& fields) {
  std::unique_ptr<ClubRequest> request;
  return ResultOrNoReply(WaitForReply<HttpResult>([&](QObject*, HttpDone done) {
    request = client.SendPlain(address, fields, std::move(done));
  }));
}
inline HttpResult WaitForList(ClubClient& client, std::string_view address,
                              const std::vector<std::string>& lines) {
  std::unique_ptr<ClubRequest> request;
  return ResultOrNoReply(WaitForReply<HttpResult>([&](QObject*, HttpDone done) {
    request = client.SendList(address, lines, std::move(done));
  }));
}
inline HttpResult WaitForGet(ClubClient& client, std::string_view address,
                             const HttpLimits& limits = {}) {
  return ResultOrNoReply(WaitForReply<HttpResult>([&](QObject* owner, HttpDone done) {
    client.SendGet(owner, address, std::move(done), limits);
  }));
}
inline HttpResult WaitForFreshGet(std::string_view address, const HttpLimits& limits = {}) {
  std::unique_ptr<BackgroundGet> get;
  return ResultOrNoReply(WaitForReply<HttpResult>([&](QObject*, HttpDone done) {
    get = std::make_unique<BackgroundGet>(address, limits, std::move(done));
  }));
}
inline ConfigPageText WaitForConfigPage(const HttpLimits& limits = ConfigPageLimits()) {
  std::unique_ptr<BackgroundGet> get;
  return WaitForReply<ConfigPageText>([&](QObject*, std::function<void(ConfigPageText)> done) {
           get = FetchConfigPageInBackground(limits, std::move(done));
         })
      .value_or(std::nullopt);
}

// ClubAccess's operations, each sent without waiting and waited for here,
// with the results ClubAccess's waiting operations give (their failure value
// when the reply did not come within the wait's bound).
class WaitingClubAccess {
 public:
  explicit WaitingClubAccess(ClubAccess& access) : access_(access) {}
  ClubAccess& access() { return access_; }

  // --- Account service ---
  int CreateAccount(const MemberAccount& user) {
    return Wait<int>(2, [&](QObject* owner, ClubAccess::Then<int> done) {
      access_.CreateAccount(owner, user, std::move(done));
    });
  }
  LoginReply LoginAccount(std::string_view nick, std::string_view pw) {
    return Wait<LoginReply>(LoginReply{false, PrefilledLoginUser(nick, pw), false},
                            [&](QObject* owner, ClubAccess::Then<LoginReply> done) {
                              access_.LoginAccount(owner, nick, pw, std::move(done));
                            });
  }
  PersonalInfo ReadPersonalInfo(std::string_view nick) {
    return Wait<PersonalInfo>({}, [&](QObject* owner, ClubAccess::Then<PersonalInfo> done) {
      access_.ReadPersonalInfo(owner, nick, std::move(done));
    });
  }
  bool SavePersonalInfo(std::string_view nick, const PersonalInfo& info) {
    return Wait<bool>(false, [&](QObject* owner, ClubAccess::Then<bool> done) {
      access_.SavePersonalInfo(owner, nick, info, std::move(done));
    });
  }
  std::optional<std::int32_t> CountClubMembers() {
    return Wait<std::optional<std::int32_t>>(
        std::nullopt, [&](QObject* owner, ClubAccess::Then<std::optional<std::int32_t>> done) {
          access_.CountClubMembers(owner, std::move(done));
        });
  }
  std::optional<std::int32_t> ReadRatingPlace(double rating) {
    return Wait<std::optional<std::int32_t>>(
        std::nullopt, [&](QObject* owner, ClubAccess::Then<std::optional<std::int32_t>> done) {
          access_.ReadRatingPlace(owner, rating, std::move(done));
        });
  }
  RatedTopTenReply ReadRatedTopTen() {
    return Wait<RatedTopTenReply>(RatedTopTenReply{false, {}},
                                  [&](QObject* owner, ClubAccess::Then<RatedTopTenReply> done) {
                                    access_.ReadRatedTopTen(owner, std::move(done));
                                  });
  }
  bool CreditKezs(std::string_view nick, std::int32_t amount) {
    return Wait<bool>(false, [&](QObject* owner, ClubAccess::Then<bool> done) {
      access_.CreditKezs(owner, nick, amount, std::move(done));
    });
  }
  std::optional<std::int32_t> ReadKezsBalance(std::string_view nick) {
    return Wait<std::optional<std::int32_t>>(
        std::nullopt, [&](QObject* owner, ClubAccess::Then<std::optional<std::int32_t>> done) {
          access_.ReadKezsBalance(owner, nick, std::move(done));
        });
  }
  std::optional<std::string> LoadPhoto(std::string_view nick) {
    return Wait<std::optional<std::string>>(
        std::nullopt, [&](QObject* owner, ClubAccess::Then<std::optional<std::string>> done) {
          access_.LoadPhoto(owner, nick, std::move(done));
        });
  }
  bool UploadPhoto(std::string_view nick, std::string_view password, const std::string& jpeg) {
    return Wait<bool>(false, [&](QObject* owner, ClubAccess::Then<bool> done) {
      access_.UploadPhoto(owner, nick, password, jpeg, std::move(done));
    });
  }

  // --- The game record ---
  GameRecordReply ReadGameRecord(std::string_view nick, std::string_view pw) {
    return Wait<GameRecordReply>(GameRecordReply{false, PrefilledGameRecord()},
                                 [&](QObject* owner, ClubAccess::Then<GameRecordReply> done) {
                                   access_.ReadGameRecord(owner, nick, pw, std::move(done));
                                 });
  }
  GameRecordReply ReadGameRecordFull(std::string_view nick, std::string_view pw) {
    return Wait<GameRecordReply>(GameRecordReply{false, PrefilledGameRecord()},
                                 [&](QObject* owner, ClubAccess::Then<GameRecordReply> done) {
                                   access_.ReadGameRecordFull(owner, nick, pw, std::move(done));
                                 });
  }
  bool SaveGameRecord(std::string_view nick, std::string_view pw, const GameRecord& record) {
    return Wait<bool>(false, [&](QObject* owner, ClubAccess::Then<bool> done) {
      access_.SaveGameRecord(owner, nick, pw, record, std::move(done));
    });
  }

  // --- Tournament and chat tables ---
  TableReply ReadTopTen(std::int32_t id) {
    return Wait<TableReply>(TableReply{false, PrefilledTable(id)},
                            [&](QObject* owner, ClubAccess::Then<TableReply> done) {
                              access_.ReadTopTen(owner, id, std::move(done));
                            });
  }
  TableReply ReadOwnResults(std::int32_t id, std::string_view nick, std::string_view city) {
    return Wait<TableReply>(TableReply{false, PrefilledTable(id)},
                            [&](QObject* owner, ClubAccess::Then<TableReply> done) {
                              access_.ReadOwnResults(owner, id, nick, city, std::move(done));
                            });
  }
  std::optional<std::int32_t> ReadGameCount(std::int32_t id) {
    return Wait<std::optional<std::int32_t>>(
        std::nullopt, [&](QObject* owner, ClubAccess::Then<std::optional<std::int32_t>> done) {
          access_.ReadGameCount(owner, id, std::move(done));
        });
  }
  std::optional<std::int32_t> WriteTopTenEntry(std::string_view nick, std::string_view city,
                                               std::string_view country_code, std::string_view sex,
                                               std::int32_t score, std::int32_t id,
                                               std::string_view time_stamp,
                                               std::string_view message,
                                               ClubAccess::EntryRefusal* why = nullptr) {
    const ClubAccess::EntryWrite written = Wait<ClubAccess::EntryWrite>(
        ClubAccess::EntryWrite{},
        [&](QObject* owner, ClubAccess::Then<ClubAccess::EntryWrite> done) {
          access_.WriteTopTenEntry(owner, nick, city, country_code, sex, score, id, time_stamp,
                                   message, std::move(done));
        });
    if (!written.place && why != nullptr) *why = written.why;
    return written.place;
  }

  // --- Usage statistics ---
  UsageStatisticsReply ReadUsageStatistics() {
    return Wait<UsageStatisticsReply>(
        UsageStatisticsReply{false, {}},
        [&](QObject* owner, ClubAccess::Then<UsageStatisticsReply> done) {
          access_.ReadUsageStatistics(owner, std::move(done));
        });
  }
  bool SendLike(std::string_view nick) {
    return Wait<bool>(false, [&](QObject* owner, ClubAccess::Then<bool> done) {
      access_.SendLike(owner, nick, std::move(done));
    });
  }

  // --- The session's operations ---
  bool RegisterRatedGame(ClubSession& session) {
    return Wait<bool>(false, [&](QObject* owner, ClubAccess::Then<bool> done) {
      access_.RegisterRatedGame(owner, session, std::move(done));
    });
  }
  RatedSave SaveRatedResult(ClubSession& session, std::int32_t score) {
    return Wait<RatedSave>(RatedSave::kFailed,
                           [&](QObject* owner, ClubAccess::Then<RatedSave> done) {
                             access_.SaveRatedResult(owner, session, score, std::move(done));
                           });
  }
  bool CreditKezs(ClubSession& session, std::int32_t amount) {
    return Wait<bool>(false, [&](QObject* owner, ClubAccess::Then<bool> done) {
      access_.CreditKezs(owner, session, amount, std::move(done));
    });
  }
  bool ReadKezsBalance(ClubSession& session) {
    return Wait<bool>(false, [&](QObject* owner, ClubAccess::Then<bool> done) {
      access_.ReadKezsBalance(owner, session, std::move(done));
    });
  }
  bool LoadPhoto(ClubSession& session, std::string_view nick, int slot) {
    return Wait<bool>(false, [&](QObject* owner, ClubAccess::Then<bool> done) {
      access_.LoadPhoto(owner, session, nick, slot, std::move(done));
    });
  }

 private:
  template <typename Result>
  static Result Wait(Result on_no_reply,
                     const std::function<void(QObject*, std::function<void(Result)>)>& send) {
    std::optional<Result> reply = WaitForReply<Result>(send);
    return reply ? std::move(*reply) : std::move(on_no_reply);
  }

  ClubAccess& access_;
};

}  // namespace braxo::testing
