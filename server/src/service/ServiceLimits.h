// The limits of the club's service: how often each thing may be done, how
// long sessions and kept answers last, what a password's hash costs.
#pragma once

#include <chrono>
#include <cstdint>

#include "service/Secrets.h"

namespace braxo::club {

// A token bucket: `count` actions per `window_seconds`.
struct RateLimit {
  double count = 1;
  double window_seconds = 1;
};

struct ServiceLimits {
  RateLimit failed_logins{10, 900};        // per address and per nick
  RateLimit accounts_created{5, 86400};    // per address
  RateLimit chat_messages{1, 10};          // per address and per nick
  RateLimit tournament_writes{20, 3600};   // per address and per nick
  RateLimit statistics_writes{120, 3600};  // per address
  RateLimit likes{3, 86400};               // per address
  RateLimit logins{60, 3600};              // successful logins per nick
  // Rated-game starts per member. The shortest rated game lasts one tick of
  // the game's one-second clock after its first pair, and each start goes
  // through the account window: one start a second, three at once for
  // requests the network bunched together.
  RateLimit rated_starts{3, 3};
  std::int64_t session_seconds = 30 * 86400;
  // A member's open sessions; a new one beyond them drops the oldest.
  std::int64_t sessions_per_member = 20;
  // How often expired sessions and limit buckets left full are removed.
  double sweep_seconds = 60;
  PasswordCost password_cost;
  // How long the answer of a frequent read is kept between the writes that
  // change it (0: read every time). On a store one process serves, the age
  // also bounds how long a write by anything else stays unseen; on a shared
  // store every write is seen by the next read through any process.
  double read_cache_seconds = 1;
  // How long a right password is known again without a new hash (0: never).
  double verified_password_seconds = 600;
  // Password hashes made at once (0: one per processor): the threads of the
  // hash queue. Requests that need a hash wait in that queue, at most
  // `password_hash_queue` of them (0: 32 per thread); one more is answered as
  // busy at once. A check from outside the queue (the photo upload's login)
  // waits for a turn at most `password_hash_wait`.
  int password_hashes_at_once = 0;
  int password_hash_queue = 0;
  std::chrono::milliseconds password_hash_wait{10000};
};

}  // namespace braxo::club
