// The numbered schema migrations, embedded at build time from
// server/migrations/<backend>/NNN_name.sql.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace braxo::club {

struct Migration {
  int number;
  std::string_view name;
  std::string_view sql;
};

// In ascending order of number.
std::span<const Migration> SqliteMigrations();
std::span<const Migration> PostgresMigrations();

// Throws std::runtime_error when `found`, the highest migration applied to
// `database` (a description for the message), is beyond the last of `known`:
// a database of a newer club, which this one would misread or damage.
void RefuseNewerSchema(std::int64_t found, std::span<const Migration> known,
                       const std::string& database);

}  // namespace braxo::club
