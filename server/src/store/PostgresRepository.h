// The PostgreSQL backend, for a club served by several processes on one
// shared database. Reads run on a consistent snapshot, side by side. Write
// transactions run SERIALIZABLE and one at a time across all processes (they
// all touch the same few limit rows, and would otherwise keep aborting one
// another); a transaction that still fails with a serialization failure or a
// deadlock is run again a bounded number of times. A connection lost with the
// database (a restart, a network cut) is replaced on the next request, so no
// server process needs a restart.
#pragma once

#include <memory>
#include <string>

#include "store/Repository.h"

namespace braxo::club {

// How often one transaction is tried before it fails for good.
inline constexpr int kPostgresAttempts = 10;

// Connects to `url` (a libpq address, "postgresql://…"), brings its schema to
// the newest migration (one process at a time, under an advisory lock) and
// keeps up to `max_connections` connections. Throws std::runtime_error with a
// readable message.
std::unique_ptr<Repository> OpenPostgresRepository(const std::string& url,
                                                   int max_connections = 16);

}  // namespace braxo::club
