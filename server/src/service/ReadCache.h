// The answers of the club's frequent reads (the tables, the statistics, the
// rated players, the member count), kept between the writes that change them.
//
// Every kept answer belongs to one topic. A write that may change a topic
// moves the topic's generation on after its commit; an answer is handed out
// again only while its topic is still at the generation it was read under
// (the generation is taken before the read, so an answer read across a commit
// is never kept as current) and while it is younger than the maximum age.
// Where several processes share the store, each topic also has a generation
// in the store, moved on inside every write's own transaction and read before
// each answer is handed out: a write through any process shows in the next
// read through any other. Where one process serves the store, the age bounds
// how long a write it does not see itself (a tool on the same database file)
// can stay hidden.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>

namespace braxo::club {

enum class Topic : std::size_t {
  kTopTen76,   // the top ten of table 76
  kTopTen176,  // the top ten of table 176
  kChat,       // the newest chat messages
  kEntries76,  // every entry of table 76: counts, places, own results
  kEntries176,
  kChatEntries,
  kStats76,  // the usage statistics of game 76
  kStats176,
  kRatings,  // the rated players
  kMembers,  // the accounts
  kCount,
};

class ReadCache {
  using Clock = std::chrono::steady_clock;

 public:
  // The generation of a topic in a store shared with other processes.
  using SharedGeneration = std::function<std::uint64_t(Topic)>;

  // A maximum age of 0 keeps nothing. Without `shared`, only this process's
  // writes move the generations on.
  explicit ReadCache(double max_age_seconds, SharedGeneration shared = {})
      : max_age_(Seconds(max_age_seconds)), shared_(std::move(shared)) {}

  bool enabled() const { return max_age_.count() > 0; }

  // After a committed write that may have changed `topic`.
  void Changed(Topic topic) {
    generations_[static_cast<std::size_t>(topic)].fetch_add(1, std::memory_order_acq_rel);
  }

  // One kind of answer, by key.
  template <typename Value>
  class Shelf {
   public:
    // The answer for `key`: the kept one while it is current, otherwise
    // `load()`, kept for later.
    template <typename Load>
    Value Get(ReadCache& cache, Topic topic, const std::string& key, Load&& load) {
      if (!cache.enabled()) return load();
      const std::uint64_t generation =
          cache.generations_[static_cast<std::size_t>(topic)].load(std::memory_order_acquire);
      const std::uint64_t shared = cache.shared_ ? cache.shared_(topic) : 0;
      const auto now = Clock::now();
      {
        std::lock_guard lock(mutex_);
        const auto it = slots_.find(key);
        if (it != slots_.end() && it->second.generation == generation &&
            it->second.shared == shared && now - it->second.read_at < cache.max_age_)
          return it->second.value;
      }
      Value value = load();
      std::lock_guard lock(mutex_);
      // A bound on the keys a stream of distinct requests can leave behind.
      if (slots_.size() >= kMaxKeys && slots_.find(key) == slots_.end()) slots_.clear();
      slots_.insert_or_assign(key, Slot{generation, shared, now, value});
      return value;
    }

   private:
    static constexpr std::size_t kMaxKeys = 4096;
    struct Slot {
      std::uint64_t generation;
      std::uint64_t shared;
      Clock::time_point read_at;
      Value value;
    };
    std::mutex mutex_;
    std::unordered_map<std::string, Slot> slots_;
  };

 private:
  static Clock::duration Seconds(double s) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(s));
  }

  Clock::duration max_age_;
  SharedGeneration shared_;
  std::array<std::atomic<std::uint64_t>, static_cast<std::size_t>(Topic::kCount)> generations_{};
};

}  // namespace braxo::club
