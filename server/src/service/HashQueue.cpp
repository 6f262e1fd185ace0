#include "service/HashQueue.h"

#include <algorithm>
#include <utility>

namespace braxo::club {

HashQueue::HashQueue(int threads, int capacity) {
  const int count =
      threads > 0 ? threads : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  capacity_ = capacity > 0 ? static_cast<std::size_t>(capacity) : 32u * count;
  threads_.reserve(count);
  for (int i = 0; i < count; ++i) threads_.emplace_back([this] { Work(); });
}

HashQueue::~HashQueue() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    jobs_.clear();
  }
  ready_.notify_all();
  for (auto& t : threads_) t.join();
}

bool HashQueue::TryPush(std::function<void()> job) {
  {
    const std::lock_guard lock(mutex_);
    if (stopping_ || jobs_.size() >= capacity_) return false;
    jobs_.push_back(std::move(job));
  }
  ready_.notify_one();
  return true;
}

void HashQueue::Work() {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock lock(mutex_);
      ready_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      if (stopping_) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    job();
  }
}

}  // namespace braxo::club
