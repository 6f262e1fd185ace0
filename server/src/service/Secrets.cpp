#include "service/Secrets.h"

#include <sodium.h>

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace braxo::club {

void InitSecrets() {
  if (sodium_init() < 0) throw std::runtime_error("libsodium cannot be initialized");
}

std::string HashPassword(std::string_view password, const PasswordCost& cost) {
  char out[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str_alg(out, password.data(), password.size(), cost.passes, cost.memory_bytes,
                            crypto_pwhash_ALG_ARGON2ID13) != 0)
    throw std::runtime_error("not enough memory to hash a password");
  return out;
}

bool VerifyPassword(std::string_view password, const std::string& hash) {
  return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

std::string NewSessionToken() {
  unsigned char bytes[32];
  randombytes_buf(bytes, sizeof bytes);
  char hex[sizeof bytes * 2 + 1];
  sodium_bin2hex(hex, sizeof hex, bytes, sizeof bytes);
  return hex;
}

std::string SessionTokenHash(std::string_view token) {
  unsigned char hash[crypto_generichash_BYTES];
  crypto_generichash(hash, sizeof hash, reinterpret_cast<const unsigned char*>(token.data()),
                     token.size(), nullptr, 0);
  return std::string(reinterpret_cast<const char*>(hash), sizeof hash);
}

VerifiedPasswords::VerifiedPasswords(double max_age_seconds, std::size_t capacity)
    : max_age_(std::chrono::duration_cast<std::chrono::steady_clock::duration>(
          std::chrono::duration<double>(max_age_seconds))),
      capacity_(capacity) {
  crypto_generichash_keygen(key_);
}

std::string VerifiedPasswords::Digest(const std::string& stored_hash,
                                      std::string_view password) const {
  crypto_generichash_state state;
  crypto_generichash_init(&state, key_, sizeof key_, crypto_generichash_BYTES);
  // The stored hash is self-delimiting text without a zero byte.
  crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(stored_hash.data()),
                            stored_hash.size());
  const unsigned char zero = 0;
  crypto_generichash_update(&state, &zero, 1);
  crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(password.data()),
                            password.size());
  unsigned char out[crypto_generichash_BYTES];
  crypto_generichash_final(&state, out, sizeof out);
  return std::string(reinterpret_cast<const char*>(out), sizeof out);
}

bool VerifiedPasswords::Contains(std::int64_t account_id, const std::string& stored_hash,
                                 std::string_view password,
                                 std::chrono::steady_clock::time_point now) {
  if (max_age_.count() <= 0) return false;
  const std::string digest = Digest(stored_hash, password);
  std::lock_guard lock(mutex_);
  const auto it = entries_.find(account_id);
  if (it == entries_.end()) return false;
  if (now - it->second.checked_at >= max_age_) {
    entries_.erase(it);
    return false;
  }
  return it->second.digest.size() == digest.size() &&
         sodium_memcmp(it->second.digest.data(), digest.data(), digest.size()) == 0;
}

void VerifiedPasswords::Add(std::int64_t account_id, const std::string& stored_hash,
                            std::string_view password, std::chrono::steady_clock::time_point now) {
  if (max_age_.count() <= 0) return;
  std::string digest = Digest(stored_hash, password);
  std::lock_guard lock(mutex_);
  if (entries_.size() >= capacity_ && entries_.find(account_id) == entries_.end()) {
    // Full: the outdated entries go, and all of them when none is.
    for (auto it = entries_.begin(); it != entries_.end();)
      it = now - it->second.checked_at >= max_age_ ? entries_.erase(it) : std::next(it);
    if (entries_.size() >= capacity_) entries_.clear();
  }
  entries_.insert_or_assign(account_id, Entry{std::move(digest), now});
}

HashGate::HashGate(int at_once, std::chrono::milliseconds max_wait)
    : at_once_(std::max(1, at_once)), max_wait_(max_wait) {}

HashGate::Pass HashGate::Enter() {
  std::unique_lock lock(mutex_);
  if (!free_.wait_for(lock, max_wait_, [this] { return running_ < at_once_; }))
    return Pass(nullptr);
  ++running_;
  return Pass(this);
}

HashGate::Pass::~Pass() {
  if (!gate_) return;
  {
    std::lock_guard lock(gate_->mutex_);
    --gate_->running_;
  }
  gate_->free_.notify_one();
}

}  // namespace braxo::club
