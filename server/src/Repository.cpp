#include <stdexcept>
#include <string_view>

#include "PostgresRepository.h"
#include "Repository.h"
#include "SqliteRepository.h"

namespace braxo::club {

bool IsPostgresUrl(const std::string& url) {
  return url.starts_with("postgresql://") || url.starts_with("postgres://");
}

std::unique_ptr<Repository> OpenRepository(const std::string& url) {
  constexpr std::string_view kSqlite = "sqlite:";
  if (url.starts_with(kSqlite)) {
    const std::string path = url.substr(kSqlite.size());
    if (path.empty()) throw std::runtime_error("the database URL sqlite: needs a path");
    return OpenSqliteRepository(path);
  }
  if (IsPostgresUrl(url)) return OpenPostgresRepository(url);
  throw std::runtime_error("unsupported database URL: " + url +
                           " (use sqlite:PATH or postgresql://…)");
}

}  // namespace braxo::club
