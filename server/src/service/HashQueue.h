// The club's password hashing, off the request workers: a bounded queue of
// jobs with threads of its own. An Argon2id hash fills a processor and its
// memory for tens of milliseconds, so a burst of logins waits here, where it
// holds no request worker, and a burst larger than the queue is turned away
// at once instead of waiting past the game's patience.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace braxo::club {

class HashQueue {
 public:
  // `threads` run the jobs (0: one per processor); at most `capacity` jobs
  // wait for a thread (0: 32 per thread).
  HashQueue(int threads, int capacity);
  // Jobs still waiting are dropped unrun; the running ones finish first.
  ~HashQueue();
  HashQueue(const HashQueue&) = delete;
  HashQueue& operator=(const HashQueue&) = delete;

  // Queues `job` to run on one of the queue's threads; false, and `job` never
  // runs, when `capacity` jobs already wait. A job must not throw.
  bool TryPush(std::function<void()> job);

  int threads() const { return static_cast<int>(threads_.size()); }
  std::size_t capacity() const { return capacity_; }

 private:
  void Work();

  std::size_t capacity_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> jobs_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace braxo::club
