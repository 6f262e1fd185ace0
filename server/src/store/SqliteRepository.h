// The SQLite backend: WAL journal, synchronous=FULL (a write whose success
// reply went out survives a killed process and a power cut), a busy time-out,
// one connection per concurrent transaction, numbered migrations at open.
#pragma once

#include <memory>
#include <string>

#include "store/Repository.h"

namespace braxo::club {

// Opens (creating when needed) the database file at `path`, its folder
// included, and brings its schema to the newest migration. Throws
// std::runtime_error with a readable message. Without `full_sync` a commit
// still survives a killed process but not a power cut.
std::unique_ptr<Repository> OpenSqliteRepository(const std::string& path, bool full_sync = true);

}  // namespace braxo::club
