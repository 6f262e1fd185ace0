#include "ServerConfig.h"

#include <boost/asio/ip/address.hpp>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

namespace braxo::club {
namespace {

std::optional<std::int64_t> ParseWhole(const std::string& text, std::int64_t low,
                                       std::int64_t high) {
  std::int64_t value = 0;
  const auto* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || value < low || value > high) return std::nullopt;
  return value;
}

std::optional<bool> ParseFlag(const std::string& text) {
  if (text == "true" || text == "yes" || text == "on" || text == "1") return true;
  if (text == "false" || text == "no" || text == "off" || text == "0") return false;
  return std::nullopt;
}

// "COUNT/SECONDS".
std::optional<RateLimit> ParseLimit(const std::string& text) {
  const size_t slash = text.find('/');
  if (slash == std::string::npos) return std::nullopt;
  const auto count = ParseWhole(text.substr(0, slash), 1, 1000000000);
  const auto seconds = ParseWhole(text.substr(slash + 1), 1, 100000000);
  if (!count || !seconds) return std::nullopt;
  return RateLimit{static_cast<double>(*count), static_cast<double>(*seconds)};
}

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return {};
  const size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

// A value that goes onto the configuration page, where "#" ends a value.
bool IsPageValue(const std::string& v) { return v.find('#') == std::string::npos; }

}  // namespace

std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args,
                                            std::string& error) {
  CommandLine cl;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      cl.help = true;
      continue;
    }
    if (a != "--listen" && a != "--database" && a != "--public-url" && a != "--config") {
      error = "unknown argument: " + a;
      return std::nullopt;
    }
    if (i + 1 >= args.size() || args[i + 1].empty()) {
      error = a + " needs a value";
      return std::nullopt;
    }
    const std::string& v = args[++i];
    if (a == "--listen") {
      const size_t colon = v.rfind(':');
      const auto port =
          colon == std::string::npos ? std::nullopt : ParseWhole(v.substr(colon + 1), 0, 65535);
      if (colon == 0 || !port) {
        error = "--listen needs HOST:PORT, for example 127.0.0.1:8676 (got " + v + ")";
        return std::nullopt;
      }
      cl.host = v.substr(0, colon);
      cl.port = static_cast<std::uint16_t>(*port);
    } else if (a == "--database") {
      if (v.rfind("sqlite:", 0) != 0 && !IsPostgresUrl(v)) {
        error = "--database needs sqlite:PATH, sqlite: or postgresql://… (got " + v + ")";
        return std::nullopt;
      }
      cl.database_url = v;
    } else if (a == "--public-url") {
      if (v.rfind("http://", 0) != 0 && v.rfind("https://", 0) != 0) {
        error = "--public-url needs an http:// or https:// address (got " + v + ")";
        return std::nullopt;
      }
      cl.public_url = v.back() == '/' ? v : v + "/";
    } else {
      cl.config_file = v;
    }
  }
  return cl;
}

std::string ResolveDatabaseUrl(const std::string& url) {
  if (url != "sqlite:") return url;
  std::string base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.local/share";
  } else {
    base = ".";
  }
  return "sqlite:" + base + "/braxo-club/club.db";
}

std::optional<std::string> LoadServerSettings(const std::string& path, ServerSettings& s) {
  std::ifstream in(path);
  if (!in) return "cannot read the configuration file " + path;

  using Setter = std::function<bool(const std::string&)>;
  const auto text = [](std::string& target) {
    return Setter([&target](const std::string& v) {
      if (!IsPageValue(v)) return false;
      target = v;
      return true;
    });
  };
  const auto flag = [](bool& target) {
    return Setter([&target](const std::string& v) {
      const auto f = ParseFlag(v);
      if (f) target = *f;
      return f.has_value();
    });
  };
  const auto limit = [](RateLimit& target) {
    return Setter([&target](const std::string& v) {
      const auto l = ParseLimit(v);
      if (l) target = *l;
      return l.has_value();
    });
  };
  const auto millis = [](std::chrono::milliseconds& target) {
    return Setter([&target](const std::string& v) {
      const auto n = ParseWhole(v, 100, 600000);
      if (n) target = std::chrono::milliseconds(*n);
      return n.has_value();
    });
  };
  const std::map<std::string, Setter> setters = {
      {"announcement_show", flag(s.page.announcement_show)},
      {"announcement_text", text(s.page.announcement_text)},
      {"announcement_text2", text(s.page.announcement_text2)},
      {"announcement_link", text(s.page.announcement_link)},
      {"download_link", text(s.page.download_link)},
      {"store_link", text(s.page.store_link)},
      {"tournament_available", flag(s.page.tournament_available)},
      {"chat_available", flag(s.page.chat_available)},
      {"ftp_url", text(s.page.ftp_url)},
      {"photo_dir", Setter([&s](const std::string& v) {
         s.photo_dir = v;
         return !v.empty();
       })},
      {"log_requests", flag(s.log_requests)},
      {"ftp_spool_dir", Setter([&s](const std::string& v) {
         s.ftp_spool_dir = v;
         return !v.empty();
       })},
      {"trusted_proxies", Setter([&s](const std::string& v) {
         std::vector<std::string> proxies;
         std::stringstream list(v);
         std::string item;
         while (std::getline(list, item, ',')) {
           item = Trim(item);
           boost::system::error_code ec;
           const auto address = boost::asio::ip::make_address(item, ec);
           if (ec) return false;
           proxies.push_back(address.to_string());
         }
         s.trusted_proxies = proxies;
         s.http.trusted_proxies = std::move(proxies);
         return !s.trusted_proxies.empty();
       })},
      {"threads", Setter([&s](const std::string& v) {
         const auto n = ParseWhole(v, 1, 256);
         if (n) s.http.threads = static_cast<int>(*n);
         return n.has_value();
       })},
      {"max_connections", Setter([&s](const std::string& v) {
         const auto n = ParseWhole(v, 1, 100000);
         if (n) s.http.max_connections = static_cast<int>(*n);
         return n.has_value();
       })},
      {"max_connections_per_address", Setter([&s](const std::string& v) {
         const auto n = ParseWhole(v, 1, 100000);
         if (n) s.http.max_connections_per_address = static_cast<int>(*n);
         return n.has_value();
       })},
      {"body_limit_bytes", Setter([&s](const std::string& v) {
         const auto n = ParseWhole(v, 256, 16 * 1024);
         if (n) s.http.body_limit = static_cast<std::size_t>(*n);
         return n.has_value();
       })},
      {"idle_timeout_ms", millis(s.http.idle_timeout)},
      {"read_timeout_ms", millis(s.http.read_timeout)},
      {"session_days", Setter([&s](const std::string& v) {
         const auto n = ParseWhole(v, 1, 365);
         if (n) s.limits.session_seconds = *n * 86400;
         return n.has_value();
       })},
      {"password_memory_kib", Setter([&s](const std::string& v) {
         const auto n = ParseWhole(v, 19 * 1024, 1024 * 1024);
         if (n) s.limits.password_cost.memory_bytes = static_cast<std::size_t>(*n) * 1024;
         return n.has_value();
       })},
      {"password_passes", Setter([&s](const std::string& v) {
         const auto n = ParseWhole(v, 2, 100);
         if (n) s.limits.password_cost.passes = static_cast<std::uint64_t>(*n);
         return n.has_value();
       })},
      {"password_hashes_at_once", Setter([&s](const std::string& v) {
         const auto n = ParseWhole(v, 0, 256);
         if (n) s.limits.password_hashes_at_once = static_cast<int>(*n);
         return n.has_value();
       })},
      {"password_hash_queue", Setter([&s](const std::string& v) {
         const auto n = ParseWhole(v, 0, 100000);
         if (n) s.limits.password_hash_queue = static_cast<int>(*n);
         return n.has_value();
       })},
      {"password_hash_wait_ms", millis(s.limits.password_hash_wait)},
      {"verified_password_minutes", Setter([&s](const std::string& v) {
         const auto n = ParseWhole(v, 0, 1440);
         if (n) s.limits.verified_password_seconds = static_cast<double>(*n) * 60;
         return n.has_value();
       })},
      {"read_cache_ms", Setter([&s](const std::string& v) {
         const auto n = ParseWhole(v, 0, 60000);
         if (n) s.limits.read_cache_seconds = static_cast<double>(*n) / 1000;
         return n.has_value();
       })},
      {"limit.failed_logins", limit(s.limits.failed_logins)},
      {"limit.accounts_created", limit(s.limits.accounts_created)},
      {"limit.chat_messages", limit(s.limits.chat_messages)},
      {"limit.tournament_writes", limit(s.limits.tournament_writes)},
      {"limit.statistics_writes", limit(s.limits.statistics_writes)},
      {"limit.likes", limit(s.limits.likes)},
      {"limit.logins", limit(s.limits.logins)},
      {"limit.rated_starts", limit(s.limits.rated_starts)},
      {"sessions_per_member", Setter([&s](const std::string& v) {
         const auto n = ParseWhole(v, 1, 1000);
         if (n) s.limits.sessions_per_member = *n;
         return n.has_value();
       })},
  };

  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == '#') continue;
    const size_t eq = trimmed.find('=');
    const std::string where = path + ":" + std::to_string(number) + ": ";
    if (eq == std::string::npos) return where + "expected key = value";
    const std::string key = Trim(trimmed.substr(0, eq));
    const std::string value = Trim(trimmed.substr(eq + 1));
    const auto it = setters.find(key);
    if (it == setters.end()) return where + "unknown key " + key;
    if (!it->second(value)) return where + "bad value for " + key + ": " + value;
  }
  return std::nullopt;
}

}  // namespace braxo::club
