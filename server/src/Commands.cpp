#include "Commands.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <stdexcept>

#include "ServerConfig.h"
#include "service/ClubService.h"
#include "service/PhotoAcceptance.h"
#include "service/Secrets.h"
#include "store/Repository.h"

namespace braxo::club {
namespace {

double Now() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// "--name value" pairs and plain arguments after the command's name.
struct Arguments {
  std::map<std::string, std::string> options;
  std::vector<std::string> plain;
};

std::optional<Arguments> Parse(const std::vector<std::string>& args,
                               const std::vector<std::string>& known, std::string& error) {
  Arguments parsed;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i].rfind("--", 0) != 0) {
      parsed.plain.push_back(args[i]);
      continue;
    }
    if (std::find(known.begin(), known.end(), args[i]) == known.end()) {
      error = "unknown argument: " + args[i];
      return std::nullopt;
    }
    if (i + 1 >= args.size() || args[i + 1].empty()) {
      error = args[i] + " needs a value";
      return std::nullopt;
    }
    parsed.options[args[i]] = args[i + 1];
    ++i;
  }
  return parsed;
}

std::optional<ServerSettings> Settings(const Arguments& a, std::string& error) {
  ServerSettings settings;
  if (const auto it = a.options.find("--config"); it != a.options.end()) {
    if (const auto problem = LoadServerSettings(it->second, settings)) {
      error = *problem;
      return std::nullopt;
    }
  }
  return settings;
}

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

int AuthFtp(const Arguments& a) {
  // The daemon reads the reply from standard output: every failure is a
  // refusal there, and the reason goes to standard error for its log.
  const auto refuse = [](const std::string& why) {
    std::cout << "auth_ok:-1\nend\n" << std::flush;
    std::cerr << "braxo-club auth-ftp: " << why << "\n";
    return 0;
  };
  std::string error;
  const auto settings = Settings(a, error);
  if (!settings) return refuse(error);
  const auto db = a.options.find("--database");
  if (db == a.options.end()) return refuse("--database is needed");
  if (settings->ftp_spool_dir.empty()) return refuse("ftp_spool_dir is not set in the settings");
  try {
    InitSecrets();
    auto repository = OpenRepository(ResolveDatabaseUrl(db->second));
    ClubService service(*repository, settings->limits);
    const FtpLogin login = CheckFtpLogin(service, Env("AUTHD_ACCOUNT"), Env("AUTHD_PASSWORD"),
                                         Env("AUTHD_REMOTE_IP"), Now(), settings->ftp_spool_dir);
    if (!login.ok) return refuse("refused " + Env("AUTHD_ACCOUNT"));
    std::cout << FtpLoginReply(login, settings->ftp_spool_dir) << std::flush;
    return 0;
  } catch (const std::exception& e) {
    return refuse(e.what());
  }
}

int AcceptPhotoCommand(const Arguments& a) {
  std::string error;
  const auto settings = Settings(a, error);
  if (!settings || a.plain.size() != 1) {
    std::cerr << "braxo-club accept-photo: "
              << (settings ? "needs the uploaded file's path" : error) << "\n";
    return 2;
  }
  if (settings->ftp_spool_dir.empty() || settings->photo_dir.empty()) {
    std::cerr << "braxo-club accept-photo: ftp_spool_dir and photo_dir must be set\n";
    return 2;
  }
  const PhotoVerdict verdict =
      AcceptPhoto(a.plain[0], settings->ftp_spool_dir, settings->photo_dir);
  std::cerr << "braxo-club accept-photo: " << a.plain[0] << ": " << PhotoVerdictText(verdict)
            << "\n";
  return verdict == PhotoVerdict::kAccepted ? 0 : 1;
}

// The tables in an order that keeps every reference valid.
constexpr const char* kTables[] = {"accounts",    "personal_info", "game_records",  "table_entries",
                                   "usage_stats", "sessions",      "credit_rights", "rate_buckets"};

struct PgConnection {
  explicit PgConnection(const std::string& url) : conn(PQconnectdb(url.c_str())) {
    if (PQstatus(conn) != CONNECTION_OK)
      throw std::runtime_error(std::string("cannot connect to ") + url + ": " +
                               PQerrorMessage(conn));
  }
  ~PgConnection() { PQfinish(conn); }
  void Exec(const std::string& sql) {
    PGresult* r = PQexec(conn, sql.c_str());
    const auto status = PQresultStatus(r);
    const std::string message = PQresultErrorMessage(r);
    PQclear(r);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
      throw std::runtime_error("database: " + message);
  }
  std::int64_t Count(const std::string& table) {
    PGresult* r = PQexec(conn, ("SELECT count(*) FROM " + table).c_str());
    const bool ok = PQresultStatus(r) == PGRES_TUPLES_OK;
    const std::int64_t n = ok ? std::atoll(PQgetvalue(r, 0, 0)) : -1;
    PQclear(r);
    if (!ok) throw std::runtime_error("database: cannot count " + table);
    return n;
  }
  PGconn* conn;
};

// Copies every row of one table, values as they are stored (numbers in full
// precision, bytes as bytes).
std::int64_t CopyTable(sqlite3* from, PgConnection& to, const std::string& table) {
  sqlite3_stmt* select = nullptr;
  if (sqlite3_prepare_v2(from, ("SELECT * FROM " + table).c_str(), -1, &select, nullptr) !=
      SQLITE_OK)
    throw std::runtime_error("reading " + table + ": " + sqlite3_errmsg(from));
  std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(select, sqlite3_finalize);
  const int columns = sqlite3_column_count(select);
  std::string insert = "INSERT INTO " + table + " (";
  for (int c = 0; c < columns; ++c)
    insert += (c ? ", " : "") + std::string(sqlite3_column_name(select, c));
  insert += ") VALUES (";
  for (int c = 0; c < columns; ++c) insert += (c ? ", $" : "$") + std::to_string(c + 1);
  insert += ")";
  std::int64_t rows = 0;
  int rc;
  while ((rc = sqlite3_step(select)) == SQLITE_ROW) {
    std::vector<std::string> values(columns);
    std::vector<const char*> pointers(columns);
    std::vector<int> lengths(columns);
    std::vector<int> formats(columns);
    for (int c = 0; c < columns; ++c) {
      switch (sqlite3_column_type(select, c)) {
        case SQLITE_NULL:
          pointers[c] = nullptr;
          continue;
        case SQLITE_INTEGER:
          values[c] = std::to_string(sqlite3_column_int64(select, c));
          break;
        case SQLITE_FLOAT: {
          char buffer[64];
          const auto end =
              std::to_chars(buffer, buffer + sizeof buffer, sqlite3_column_double(select, c)).ptr;
          values[c].assign(buffer, end);
          break;
        }
        case SQLITE_BLOB: {
          const auto* p = static_cast<const char*>(sqlite3_column_blob(select, c));
          values[c].assign(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(select, c)));
          formats[c] = 1;
          break;
        }
        default: {
          const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(select, c));
          values[c].assign(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(select, c)));
          // The limit buckets keep their subjects as bytes on PostgreSQL.
          if (table == "rate_buckets" && std::string(sqlite3_column_name(select, c)) == "subject")
            formats[c] = 1;
        }
      }
      pointers[c] = values[c].c_str();
      lengths[c] = static_cast<int>(values[c].size());
    }
    PGresult* r = PQexecParams(to.conn, insert.c_str(), columns, nullptr, pointers.data(),
                               lengths.data(), formats.data(), 0);
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    const std::string message = PQresultErrorMessage(r);
    PQclear(r);
    if (!ok) throw std::runtime_error("writing " + table + ": " + message);
    ++rows;
  }
  if (rc != SQLITE_DONE) throw std::runtime_error("reading " + table + ": " + sqlite3_errmsg(from));
  return rows;
}

int Copy(const Arguments& a) {
  const auto from = a.options.find("--from");
  const auto to = a.options.find("--to");
  if (from == a.options.end() || to == a.options.end()) {
    std::cerr << "braxo-club copy: needs --from sqlite:PATH and --to postgresql://…\n";
    return 2;
  }
  const std::string source = ResolveDatabaseUrl(from->second);
  if (source.rfind("sqlite:", 0) != 0 || !IsPostgresUrl(to->second)) {
    std::cerr << "braxo-club copy: copies from SQLite (sqlite:PATH) to PostgreSQL "
                 "(postgresql://…)\n";
    return 2;
  }
  try {
    // Both schemas brought to their newest migration first.
    OpenRepository(source);
    OpenRepository(to->second);
    sqlite3* db = nullptr;
    const std::string path = source.substr(7);
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
      const std::string message = db ? sqlite3_errmsg(db) : "out of memory";
      sqlite3_close(db);
      throw std::runtime_error("cannot open " + path + ": " + message);
    }
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> guard(db, sqlite3_close);
    PgConnection target(to->second);
    // One snapshot of the source, one transaction on the target: a copy is
    // whole or not there at all.
    if (sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
      throw std::runtime_error(std::string("reading: ") + sqlite3_errmsg(db));
    target.Exec("BEGIN ISOLATION LEVEL SERIALIZABLE");
    for (const char* table : kTables)
      if (target.Count(table) != 0)
        throw std::runtime_error(std::string("the target database is not empty (") + table + ")");
    for (const char* table : kTables)
      std::cout << table << ": " << CopyTable(db, target, table) << " rows\n";
    // New rows continue after the copied numbers.
    for (const char* table : {"accounts", "table_entries"})
      target.Exec(std::string("SELECT setval(pg_get_serial_sequence('") + table +
                  "', 'id'), coalesce(max(id), 0) + 1, false) FROM " + table);
    target.Exec("COMMIT");
    std::cout << "copied " << source << " to " << to->second << "\n";
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "braxo-club copy: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace

std::optional<int> RunCommand(const std::vector<std::string>& args) {
  if (args.empty()) return std::nullopt;
  const std::string& name = args[0];
  std::vector<std::string> known;
  if (name == "auth-ftp") {
    known = {"--database", "--config"};
  } else if (name == "accept-photo") {
    known = {"--config"};
  } else if (name == "copy") {
    known = {"--from", "--to"};
  } else {
    return std::nullopt;
  }
  std::string error;
  const auto parsed = Parse(args, known, error);
  if (!parsed) {
    std::cerr << "braxo-club " << name << ": " << error << "\n";
    if (name == "auth-ftp") std::cout << "auth_ok:-1\nend\n";
    return 2;
  }
  if (name == "auth-ftp") return AuthFtp(*parsed);
  if (name == "accept-photo") return AcceptPhotoCommand(*parsed);
  return Copy(*parsed);
}

}  // namespace braxo::club
