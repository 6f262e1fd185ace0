// Open database connections, each lent to one transaction at a time: at most
// a fixed number open, idle ones reused, a borrower waiting while all are lent.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace braxo::club {

template <typename Connection>
class ConnectionPool {
 public:
  // `first` is already open (it applied the migrations) and counts as idle.
  ConnectionPool(int max_open, std::unique_ptr<Connection> first)
      : max_open_(std::max(1, max_open)) {
    idle_.push_back(std::move(first));
    open_ = 1;
  }

  // An idle connection, or a new one from `open()` while fewer than the
  // maximum are open; waits for one otherwise. When `open()` throws, nothing
  // stays counted and the exception is passed on.
  template <typename Open>
  std::unique_ptr<Connection> Borrow(Open&& open) {
    std::unique_lock lock(mutex_);
    available_.wait(lock, [this] { return !idle_.empty() || open_ < max_open_; });
    if (!idle_.empty()) {
      auto c = std::move(idle_.back());
      idle_.pop_back();
      return c;
    }
    ++open_;
    lock.unlock();
    try {
      return open();
    } catch (...) {
      Forget();
      throw;
    }
  }

  // A borrowed connection, ready for the next transaction.
  void GiveBack(std::unique_ptr<Connection> c) {
    std::lock_guard lock(mutex_);
    idle_.push_back(std::move(c));
    available_.notify_one();
  }

  // A borrowed connection that is closed, or closed by the caller now, and
  // no longer counts as open.
  void Forget() {
    std::lock_guard lock(mutex_);
    --open_;
    available_.notify_one();
  }

  // Closes every idle connection (the server they went to is gone).
  void CloseIdle() {
    std::lock_guard lock(mutex_);
    open_ -= static_cast<int>(idle_.size());
    idle_.clear();
    available_.notify_all();
  }

 private:
  const int max_open_;
  std::mutex mutex_;
  std::condition_variable available_;
  std::vector<std::unique_ptr<Connection>> idle_;
  int open_ = 0;
};

}  // namespace braxo::club
