// The command line and the operator's configuration file of braxo-club.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "http/HttpServer.h"
#include "protocol/ConfigPageWriter.h"
#include "service/ClubService.h"

namespace braxo::club {

inline constexpr const char* kUsage =
    "usage: braxo-club [--listen HOST:PORT] [--database URL] [--public-url URL] [--config FILE]\n"
    "\n"
    "  --listen HOST:PORT  address to serve on (default 127.0.0.1:8676; port 0 picks a free one)\n"
    "  --database URL      sqlite:PATH, or sqlite: for $XDG_DATA_HOME/braxo-club/club.db,\n"
    "                      or postgresql://USER@HOST/DATABASE for a shared PostgreSQL\n"
    "  --public-url URL    the address the game reaches this club at (default from --listen)\n"
    "  --config FILE       the operator's settings: announcement, links, availability, limits\n"
    "  --help              this text\n";

struct CommandLine {
  bool help = false;
  std::string host = "127.0.0.1";
  std::uint16_t port = 8676;
  std::string database_url = "sqlite:";
  std::string public_url;  // empty: made from the listen address
  std::string config_file;
};

// Nothing and a message in `error` for bad arguments.
std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args,
                                            std::string& error);

// The database URL with "sqlite:" alone replaced by the default file:
// $XDG_DATA_HOME/braxo-club/club.db, or ~/.local/share/braxo-club/club.db.
std::string ResolveDatabaseUrl(const std::string& url);

struct ServerSettings {
  ConfigPageSettings page;
  ServiceLimits limits;
  HttpLimits http;
  std::string photo_dir;  // empty: "photos" beside the database file
  bool log_requests = true;
  std::vector<std::string> trusted_proxies;
  // Where the FTP daemon's members' folders are made (the photo upload).
  std::string ftp_spool_dir;
};

// Reads "key = value" lines ("#" starts a comment line) into `settings`.
// Returns a message naming the file and line for an unknown key or a bad value.
std::optional<std::string> LoadServerSettings(const std::string& path, ServerSettings& settings);

}  // namespace braxo::club
