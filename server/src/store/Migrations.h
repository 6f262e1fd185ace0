// The numbered schema migrations, embedded at build time from
// server/migrations/<backend>/NNN_name.sql.
#pragma once

#include <span>
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

}  // namespace braxo::club
