// Password hashes and session tokens on libsodium.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

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

}  // namespace braxo::club
