// Shared pieces of the club server's tests: a fresh temporary database of
// either backend for each test and a small blocking HTTP client for loopback.
#pragma once

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "club/FormBody.h"
#include "club/GameRecords.h"
#include "club/ReplyRules.h"
#include "store/Repository.h"

namespace braxo::club::test {

// The whole content of a file (a log, a stored photo); empty when it cannot be read.
inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The fields of an account creation as the game sends them: a valid member
// `nick` with password `pw` from `city`.
inline std::vector<FormField> CreateAccountFields(const std::string& nick,
                                                  const std::string& pw = "secret1",
                                                  const std::string& city = "Paris") {
  return {{"nick", nick},        {"pw", pw},     {"city", city},         {"country1", "Russia"},
          {"country2", "1-001"}, {"sex", "M"},   {"email", "p@mail.ru"}, {"dater", "21.06.2020"},
          {"R01", "xxx"},        {"R02", "xxx"}, {"R03", "xxx"},         {"R04", "0"},
          {"R05", "0"},          {"R06", "0"}};
}

inline std::string CreateAccountBody(const std::string& nick, const std::string& pw = "secret1",
                                     const std::string& city = "Paris") {
  return PlainFormBody(CreateAccountFields(nick, pw, city));
}

// A tournament or chat entry as the game writes it: `r10` gets the "*" the
// game puts after it.
inline std::string EntryBody(int table, const std::string& nick, int score,
                             const std::string& r9 = "#", const std::string& r10 = "#") {
  return PlainFormBody({{"gid", std::to_string(table)},
                        {"nick", nick},
                        {"city", "Moscow"},
                        {"country", "1-001"},
                        {"score", std::to_string(score)},
                        {"R7", "M"},
                        {"R8", "2.7"},
                        {"R9", r9},
                        {"R10", r10 + "*"}});
}

// A stored account of a valid member `nick` (the hash is no real one).
inline StoredAccount Account(const std::string& nick) {
  StoredAccount row;
  row.nick = nick;
  row.password_hash = "hash";
  row.city = "Moscow";
  row.country_name = "Russia";
  row.country_code = "1-001";
  row.sex = "M";
  row.email = "a@b.c";
  row.registered_on = "21.06.2020";
  row.reserved_r01 = row.reserved_r02 = row.reserved_r03 = "xxx";
  return row;
}

// A new folder under the temporary directory, removed with its contents.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "braxo-srv-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

enum class Backend { kSqlite, kPostgres };

inline void PrintTo(Backend backend, std::ostream* out) {
  *out << (backend == Backend::kSqlite ? "SQLite" : "PostgreSQL");
}

inline std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
  return info.param == Backend::kSqlite ? "Sqlite" : "Postgres";
}

// An empty PostgreSQL database of its own on the server the environment names
// (PGHOST, PGPORT, PGUSER, PGPASSWORD, PGDATABASE, as pg_virtualenv sets
// them), dropped at the end. No server there is a failure, never a skip.
class PostgresDatabase {
 public:
  PostgresDatabase() {
    static std::atomic<int> counter{0};
    name_ = "braxo_test_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
    Admin("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
    Admin("CREATE DATABASE " + name_);
  }
  ~PostgresDatabase() {
    try {
      Admin("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
    } catch (const std::exception&) {
    }
  }
  PostgresDatabase(const PostgresDatabase&) = delete;
  PostgresDatabase& operator=(const PostgresDatabase&) = delete;

  const std::string& name() const { return name_; }
  // Host, port and user come from the environment.
  std::string url() const { return "postgresql:///" + name_; }

  // Runs one statement on the server's default database.
  static void Admin(const std::string& sql) {
    PGconn* conn = PQconnectdb("");
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    const bool connected = PQstatus(conn) == CONNECTION_OK;
    std::string error = connected ? "" : PQerrorMessage(conn);
    if (connected) {
      PGresult* r = PQexec(conn, sql.c_str());
      const auto status = PQresultStatus(r);
      if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) error = PQresultErrorMessage(r);
      PQclear(r);
    }
    PQfinish(conn);
    if (!error.empty())
      throw std::runtime_error("PostgreSQL for the tests (run them under pg_virtualenv): " + error);
  }

 private:
  std::string name_;
};

// A fresh database of one backend: a new SQLite file in its own folder, or a
// new PostgreSQL database.
struct FreshDatabase {
  explicit FreshDatabase(Backend backend = Backend::kSqlite)
      : postgres(backend == Backend::kPostgres ? std::make_unique<PostgresDatabase>() : nullptr),
        url(postgres ? postgres->url() : "sqlite:" + file),
        repository(OpenRepository(url)) {}

  TempFolder folder;
  std::string file = folder.path() + "/club.db";
  std::unique_ptr<PostgresDatabase> postgres;
  std::string url;
  // Declared last: closed before its database is dropped.
  std::unique_ptr<Repository> repository;
};

// The number of rows in `table`, read past the repository: what the club keeps
// on disk, for the tests of what it must not let grow.
inline std::int64_t CountRows(const FreshDatabase& db, const std::string& table) {
  const std::string sql = "SELECT count(*) FROM " + table;
  std::int64_t rows = -1;
  if (db.postgres) {
    PGconn* conn = PQconnectdb(("dbname=" + db.postgres->name()).c_str());
    PGresult* r = PQexec(conn, sql.c_str());
    if (PQresultStatus(r) == PGRES_TUPLES_OK) rows = std::stoll(PQgetvalue(r, 0, 0));
    PQclear(r);
    PQfinish(conn);
  } else {
    sqlite3* conn = nullptr;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_open_v2(db.file.c_str(), &conn, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(conn, sql.c_str(), -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW)
      rows = sqlite3_column_int64(s, 0);
    sqlite3_finalize(s);
    sqlite3_close(conn);
  }
  if (rows < 0) throw std::runtime_error("cannot count the rows of " + table);
  return rows;
}

struct Reply {
  int status = 0;
  std::string body;
  std::string content_type;
  std::string set_cookie;
  std::string retry_after;
};

// One keep-alive connection to 127.0.0.1 that keeps the session cookie the
// server sets, as the game's client does for its run. With a `source` such as
// "127.0.3.7" it connects from that loopback address, so that one test can be
// many distinct clients (all of 127/8 is loopback).
class LoopbackClient {
 public:
  explicit LoopbackClient(int port, std::string source = {})
      : port_(port), source_(std::move(source)) {}

  Reply Post(const std::string& path, const std::string& body) { return Send("POST", path, body); }
  Reply Get(const std::string& path) { return Send("GET", path, ""); }

  std::string cookie;  // "braxo_session=..." or empty

  Reply Send(const std::string& method, const std::string& path, const std::string& body) {
    namespace beast = boost::beast;
    namespace http = beast::http;
    for (int attempt = 0; attempt < 2; ++attempt) {
      try {
        if (!stream_) Connect();
        http::request<http::string_body> req{http::string_to_verb(method), path, 11};
        req.set(http::field::host, "127.0.0.1");
        req.set(http::field::user_agent, "PlavoKeyStamp");
        if (method == "POST")
          req.set(http::field::content_type, "application/x-www-form-urlencoded");
        if (!cookie.empty()) req.set(http::field::cookie, cookie);
        req.body() = body;
        req.prepare_payload();
        http::write(*stream_, req);
        beast::flat_buffer buffer;
        http::response<http::string_body> res;
        http::read(*stream_, buffer, res);
        Reply reply;
        reply.status = res.result_int();
        reply.body = res.body();
        reply.content_type = std::string(res[http::field::content_type]);
        reply.set_cookie = std::string(res[http::field::set_cookie]);
        reply.retry_after = std::string(res[http::field::retry_after]);
        if (!reply.set_cookie.empty())
          cookie = reply.set_cookie.substr(0, reply.set_cookie.find(';'));
        if (!res.keep_alive()) stream_.reset();
        return reply;
      } catch (const std::exception&) {
        // A server that closed an idle connection: reconnect once.
        stream_.reset();
        if (attempt == 1) throw;
      }
    }
    return {};
  }

 private:
  void Connect() {
    namespace asio = boost::asio;
    stream_ = std::make_unique<boost::beast::tcp_stream>(ioc_);
    if (!source_.empty()) {
      auto& socket = stream_->socket();
      socket.open(asio::ip::tcp::v4());
      socket.bind(asio::ip::tcp::endpoint(asio::ip::make_address(source_), 0));
    }
    stream_->connect(asio::ip::tcp::endpoint(asio::ip::make_address("127.0.0.1"),
                                             static_cast<unsigned short>(port_)));
  }

  int port_;
  std::string source_;
  boost::asio::io_context ioc_;
  std::unique_ptr<boost::beast::tcp_stream> stream_;
};

// The game's two rated-game operations, as it computes them from the record it reads.
struct RatedPlayer {
  LoopbackClient& client;
  std::string nick;

  std::optional<std::vector<std::string>> Read() {
    const Reply r =
        client.Post("/account", ListFormBody({"nick=" + nick, "pw=secret1", "xxxbrbest=0"}));
    const auto record = RecordReply(r.body, '$', ' ');
    if (!record || !ParseClubInteger(RecordField(*record, 1))) return std::nullopt;
    return *record;
  }
  std::string Save(std::int64_t kon, std::int64_t best, double rating) {
    return client
        .Post("/account", PlainFormBody({{"nick", nick},
                                         {"pw", "secret1"},
                                         {"xxxbrkon", std::to_string(kon)},
                                         {"xxxbrbest", std::to_string(best)},
                                         {"xxxbrrating", FormatClubNumber(rating)},
                                         {"xxxbrR1", "0"},
                                         {"xxxbrR2", "0"}}))
        .body;
  }
  bool Start() {
    const auto r = Read();
    const auto kon = *ParseClubInteger(RecordField(*r, 1));
    const auto best = *ParseClubInteger(RecordField(*r, 2));
    const double rating = *ParseClubNumber(RecordField(*r, 3));
    return Save(kon + 1, best, kon * (rating - kon) / (kon + 1) + (kon + 1)) == "ok";
  }
  bool Finish(int score) {
    const auto r = Read();
    const auto kon = *ParseClubInteger(RecordField(*r, 1));
    const auto best = *ParseClubInteger(RecordField(*r, 2));
    const double rating = *ParseClubNumber(RecordField(*r, 3));
    return Save(kon, std::max<std::int64_t>(best, score), rating + double(score) / kon) == "ok";
  }
  std::string Rating() { return RecordField(*Read(), 3); }
};

}  // namespace braxo::club::test
