#include "Secrets.h"

#include <sodium.h>

#include <stdexcept>

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

}  // namespace braxo::club
