#include "store/Repository.h"

#include <stdexcept>
#include <string_view>

#include "store/Migrations.h"
#include "store/PostgresRepository.h"
#include "store/SqliteRepository.h"

namespace braxo::club {

char SexLetter(const std::string& stored) { return stored.empty() ? 'M' : stored[0]; }

void RefuseNewerSchema(std::int64_t found, std::span<const Migration> known,
                       const std::string& database) {
  const int last = known.empty() ? 0 : known.back().number;
  if (found <= last) return;
  throw std::runtime_error(database + " has schema version " + std::to_string(found) +
                           ", newer than this braxo-club knows (" + std::to_string(last) +
                           "): refusing to start; run the newer braxo-club");
}

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
