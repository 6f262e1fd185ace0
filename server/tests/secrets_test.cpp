// The kept right passwords and the bound on hashes made at once.
#include "service/Secrets.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace braxo::club {
namespace {

using std::chrono::minutes;
using std::chrono::steady_clock;

TEST(VerifiedPasswords, KnowsOnlyTheRightPasswordOfItsAccountAndHash) {
  VerifiedPasswords known(600);
  const auto t = steady_clock::now();
  known.Add(1, "$argon2id$one", "secret1", t);
  EXPECT_TRUE(known.Contains(1, "$argon2id$one", "secret1", t + minutes(9)));
  struct Case {
    const char* what;
    std::int64_t account;
    const char* hash;
    const char* password;
    steady_clock::time_point at;
  };
  const Case refused[] = {
      {"another password", 1, "$argon2id$one", "secret2", t},
      {"a longer password", 1, "$argon2id$one", "secret1x", t},
      {"another account", 2, "$argon2id$one", "secret1", t},
      {"a changed stored hash", 1, "$argon2id$two", "secret1", t},
      {"after the age", 1, "$argon2id$one", "secret1", t + minutes(10)},
  };
  for (const Case& c : refused)
    EXPECT_FALSE(known.Contains(c.account, c.hash, c.password, c.at)) << c.what;
  // An outdated entry is gone, not only hidden.
  EXPECT_FALSE(known.Contains(1, "$argon2id$one", "secret1", t));
}

TEST(VerifiedPasswords, KeepsNothingWithoutAnAgeAndStaysWithinItsCapacity) {
  const auto t = steady_clock::now();
  VerifiedPasswords none(0);
  none.Add(1, "h", "pw", t);
  EXPECT_FALSE(none.Contains(1, "h", "pw", t));

  VerifiedPasswords small(600, 3);
  for (int id = 1; id <= 3; ++id) small.Add(id, "h", "pw", t);
  EXPECT_TRUE(small.Contains(3, "h", "pw", t));
  // Full of current entries: room is made, and the newest one is known.
  small.Add(4, "h", "pw", t);
  EXPECT_TRUE(small.Contains(4, "h", "pw", t));
  int still_known = 0;
  for (int id = 1; id <= 3; ++id) still_known += small.Contains(id, "h", "pw", t) ? 1 : 0;
  EXPECT_LT(still_known, 3);
}

TEST(HashGate, LetsInAtOnceOnlyItsNumberAndTurnsAwayAfterTheWait) {
  HashGate gate(1, std::chrono::milliseconds(50));
  {
    HashGate::Pass first = gate.Enter();
    ASSERT_TRUE(first);
    EXPECT_FALSE(gate.Enter());  // waited 50 ms for a turn that never came
  }
  EXPECT_TRUE(gate.Enter());

  // Ten callers on two places: never more than two inside, all get in.
  HashGate two(2, std::chrono::seconds(30));
  std::atomic<int> inside{0}, most{0}, entered{0};
  std::vector<std::thread> callers;
  for (int i = 0; i < 10; ++i)
    callers.emplace_back([&] {
      const HashGate::Pass pass = two.Enter();
      if (!pass) return;
      ++entered;
      const int now = ++inside;
      int seen = most.load();
      while (now > seen && !most.compare_exchange_weak(seen, now)) {
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      --inside;
    });
  for (auto& c : callers) c.join();
  EXPECT_EQ(entered.load(), 10);
  EXPECT_LE(most.load(), 2);
}

}  // namespace
}  // namespace braxo::club
