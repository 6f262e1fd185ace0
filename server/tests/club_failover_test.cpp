// Failures under load on the deployed club (two processes, haproxy, one
// PostgreSQL): a process killed outright, and the database restarted. No
// write the club acknowledged may be lost, and the club must come back by
// itself. These tests stop the shared test database, so ctest runs them alone.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <set>

#include "ClusterKit.h"
#include "club/FormBody.h"
#include "club/ReplyRules.h"

namespace braxo::club {
namespace {

using Clock = std::chrono::steady_clock;
using test::ClubCluster;
using test::HttpsClient;
using test::HttpsReply;

constexpr const char* kUnlimited =
    "limit.tournament_writes = 1000000/1\nlimit.statistics_writes = 1000000/1\n";

// Writers posting tournament entries through the balancer, each its own nick
// and a rising score, keeping what the club acknowledged and when replies
// failed.
class WriteLoad {
 public:
  WriteLoad(const ClubCluster& cluster, int writers) : started_(Clock::now()) {
    for (int w = 0; w < writers; ++w) {
      threads_.emplace_back([this, &cluster, w] {
        HttpsClient client(cluster.BaseUrl(), cluster.ca());
        const std::string nick = std::string("Writer") + static_cast<char>('a' + w);
        for (int score = 1; !stop_ && score < 18000; ++score) {
          const HttpsReply r = client.Post("topten", test::EntryBody(76, nick, score));
          const bool acknowledged = r.status == 200 && NumberReply(r.body).has_value();
          std::lock_guard lock(mutex_);
          const double at = Seconds();
          if (acknowledged) {
            acknowledged_[nick].insert(score);
            last_success_ = at;
          } else {
            failures_.push_back(at);
            failure_kinds_.insert(std::to_string(r.status) + " " + r.server + " " + r.error);
          }
        }
      });
    }
  }
  ~WriteLoad() { Stop(); }

  void Stop() {
    stop_ = true;
    for (auto& t : threads_)
      if (t.joinable()) t.join();
  }
  double Seconds() const { return std::chrono::duration<double>(Clock::now() - started_).count(); }
  // After Stop().
  const std::map<std::string, std::set<int>>& acknowledged() const { return acknowledged_; }
  int FailuresBetween(double from, double to) const {
    int n = 0;
    for (const double at : failures_) n += at >= from && at < to;
    return n;
  }
  // What the failed replies were, for the message of a failed check.
  std::string FailureKinds() const {
    std::string text;
    for (const auto& k : failure_kinds_) text += "[" + k + "] ";
    return text;
  }
  int Acknowledged() const {
    size_t n = 0;
    for (const auto& [nick, scores] : acknowledged_) n += scores.size();
    return static_cast<int>(n);
  }
  double last_success() {
    std::lock_guard lock(mutex_);
    return last_success_;
  }

 private:
  Clock::time_point started_;
  std::atomic<bool> stop_{false};
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::map<std::string, std::set<int>> acknowledged_;
  std::vector<double> failures_;
  std::set<std::string> failure_kinds_;
  double last_success_ = 0;
};

// Every acknowledged entry is in the database.
void ExpectAllStored(const ClubCluster& cluster, const WriteLoad& load) {
  auto repository = OpenRepository(cluster.database_url());
  repository->Transact(Access::kRead, [&](Store& s) {
    for (const auto& [nick, scores] : load.acknowledged()) {
      std::set<int> stored;
      for (const TableEntry& e : s.EntriesOf(76, nick, "", 100000))
        stored.insert(static_cast<int>(e.score));
      for (const int score : scores) EXPECT_TRUE(stored.count(score)) << nick << " " << score;
    }
  });
}

void Sleep(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

TEST(ClubFailover, AProcessKilledUnderLoadLosesNoAcknowledgedWrite) {
  ClubCluster cluster(kUnlimited);
  WriteLoad load(cluster, 4);
  Sleep(1.0);
  const double killed_at = load.Seconds();
  cluster.club(0).Kill();
  Sleep(4.0);
  const double end = load.Seconds();
  load.Stop();

  EXPECT_GT(load.Acknowledged(), 0);
  // Requests that were inside the killed process may fail; once the
  // balancer's checks have seen it gone (two missed checks a second apart),
  // every request is answered by the other.
  EXPECT_EQ(load.FailuresBetween(killed_at + 2.5, end), 0) << load.FailureKinds();
  EXPECT_GT(load.last_success(), killed_at + 2.5);
  ExpectAllStored(cluster, load);
}

std::string PgCtl(const std::string& action) {
  const char* version = std::getenv("PGVERSION");
  const char* name = std::getenv("BRAXO_PG_CLUSTER");
  return std::string("pg_ctlcluster ") + (version ? version : "15") + " " +
         (name ? name : "regress") + " " + action;
}

TEST(ClubFailover, TheClubAnswersFailuresWhileTheDatabaseIsDownAndRecoversByItself) {
  ClubCluster cluster(kUnlimited);
  WriteLoad load(cluster, 4);
  Sleep(1.0);
  const std::string log = cluster.folder() + "/pg_ctl.log";
  test::Run(PgCtl("stop -m fast"), log);
  const double stopped_at = load.Seconds();
  Sleep(2.0);
  const double starting_at = load.Seconds();
  test::Run(PgCtl("start"), log);
  // Recovery: a success after the restart, without touching the processes.
  const double deadline = load.Seconds() + 20;
  while (load.last_success() < starting_at && load.Seconds() < deadline) Sleep(0.1);
  const double recovered_at = load.last_success();
  Sleep(2.0);
  const double end = load.Seconds();
  load.Stop();

  EXPECT_GT(load.FailuresBetween(stopped_at + 0.2, starting_at), 0)
      << "the club did not answer failures while its database was down";
  ASSERT_GT(recovered_at, starting_at) << "no success after the database came back";
  EXPECT_EQ(load.FailuresBetween(recovered_at + 0.5, end), 0) << load.FailureKinds();
  ExpectAllStored(cluster, load);
  // Both processes recovered, not just one: each answers directly.
  for (int i = 0; i < 2; ++i) {
    HttpsClient direct(cluster.club(i).BaseUrl(), cluster.ca());
    EXPECT_EQ(direct.Post("stat", "gid=76").status, 200) << "process " << i + 1;
  }
}

}  // namespace
}  // namespace braxo::club
