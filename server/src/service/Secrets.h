// Password hashes and session tokens on libsodium.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace braxo::club {

struct PasswordCost {
  // Argon2id memory in bytes and passes; the floor is 19 MiB and 2 passes.
  std::size_t memory_bytes = 19u * 1024 * 1024;
  unsigned long long passes = 2;
};

// Initializes libsodium; throws std::runtime_error when it cannot.
void InitSecrets();

// An Argon2id hash in libsodium's self-describing text form. Throws
// std::runtime_error when the memory cannot be had.
std::string HashPassword(std::string_view password, const PasswordCost& cost);
bool VerifyPassword(std::string_view password, const std::string& hash);

// A fresh random session token (64 hex digits) and the hash under which it is
// stored (32 raw bytes), so a copy of the database holds no usable session.
std::string NewSessionToken();
std::string SessionTokenHash(std::string_view token);

// The passwords this process has lately found right, as digests under a key
// that exists only in its memory, so that a member's repeated requests with
// the same password (the game sends it with every game-record request) cost a
// digest instead of a whole Argon2id hash. Only a right password is kept, so
// guessing gains nothing from it; an entry is tied to the stored hash it was
// checked against and ends after `max_age_seconds`. Nothing of it is written
// anywhere.
class VerifiedPasswords {
 public:
  // A maximum age of 0 keeps nothing.
  explicit VerifiedPasswords(double max_age_seconds, std::size_t capacity = 10000);

  bool Contains(std::int64_t account_id, const std::string& stored_hash, std::string_view password,
                std::chrono::steady_clock::time_point now);
  void Add(std::int64_t account_id, const std::string& stored_hash, std::string_view password,
           std::chrono::steady_clock::time_point now);

 private:
  std::string Digest(const std::string& stored_hash, std::string_view password) const;

  struct Entry {
    std::string digest;
    std::chrono::steady_clock::time_point checked_at;
  };
  std::chrono::steady_clock::duration max_age_;
  std::size_t capacity_;
  unsigned char key_[32];
  std::mutex mutex_;
  std::unordered_map<std::int64_t, Entry> entries_;
};

// A bound on the Argon2id hashes made at once: each fills a processor and its
// memory for tens of milliseconds, and more at once than there are
// processors only adds memory and makes every one of them finish later.
// Callers beyond `at_once` wait their turn, for at most `max_wait`.
class HashGate {
 public:
  HashGate(int at_once, std::chrono::milliseconds max_wait);

  // A held turn; false when none came within the wait.
  class Pass {
   public:
    explicit Pass(HashGate* gate) : gate_(gate) {}
    Pass(Pass&& other) noexcept : gate_(other.gate_) { other.gate_ = nullptr; }
    Pass(const Pass&) = delete;
    Pass& operator=(const Pass&) = delete;
    Pass& operator=(Pass&&) = delete;
    ~Pass();
    explicit operator bool() const { return gate_ != nullptr; }

   private:
    HashGate* gate_;
  };
  Pass Enter();

 private:
  int at_once_;
  std::chrono::milliseconds max_wait_;
  std::mutex mutex_;
  std::condition_variable free_;
  int running_ = 0;
};

}  // namespace braxo::club
