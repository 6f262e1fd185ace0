#include "store/Repository.h"

#include <stdexcept>
#include <string_view>

#include "store/PostgresRepository.h"
#include "store/SqliteRepository.h"

namespace braxo::club {

char SexLetter(const std::string& stored) { return stored.empty() ? 'M' : stored[0]; }

bool IsPostgresUrl(const std::string& url) {
  return url.starts_with("postgresql://") || url.starts_with("postgres://");
}

std::unique_ptr<Repository> OpenRepository(const std::string& url) {
  constexpr std::string_view kSqlite = "sqlite:";
  if (url.starts_with(kSqlite)) {
    std::string path = url.substr(kSqlite.size());
    bool full_sync = true;
    constexpr std::string_view kNormalSync = "?synchronous=normal";
    if (path.size() > kNormalSync.size() && path.ends_with(kNormalSync)) {
      path.resize(path.size() - kNormalSync.size());
      full_sync = false;
    }
    if (path.empty()) throw std::runtime_error("the database URL sqlite: needs a path");
    return OpenSqliteRepository(path, full_sync);
  }
  if (IsPostgresUrl(url)) return OpenPostgresRepository(url);
  throw std::runtime_error("unsupported database URL: " + url +
                           " (use sqlite:PATH or postgresql://…)");
}

}  // namespace braxo::club
