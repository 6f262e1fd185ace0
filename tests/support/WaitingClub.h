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

}  // namespace braxo::testing
