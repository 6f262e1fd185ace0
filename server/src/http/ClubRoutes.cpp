#include "http/ClubRoutes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <sstream>

#include "http/HelpPages.h"

namespace braxo::club {
namespace {

constexpr std::size_t kMaxPhotoBytes = 1024 * 1024;
constexpr std::size_t kMaxNickBytes = 64;

double Now() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

std::string Path(const std::string& target) { return target.substr(0, target.find('?')); }

HttpResponse Text(int status, std::string body, const char* type = "text/plain") {
  HttpResponse r;
  r.status = status;
  r.body = std::move(body);
  r.content_type = type;
  return r;
}

// A file descriptor closed with its scope.
class OpenFile {
 public:
  explicit OpenFile(int fd) : fd_(fd) {}
  ~OpenFile() {
    if (fd_ >= 0) close(fd_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

// The photo `name` of the photo folder: a regular file with one name, opened
// in that folder without following a link, so that nothing anyone places
// there (a symbolic or hard link) can serve a file from elsewhere. `name`
// holds no "/".
std::optional<std::string> ReadPhoto(const std::string& folder, const std::string& name) {
  const OpenFile dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.fd() < 0) return std::nullopt;
  // Non-blocking: a pipe placed there must not hold the worker.
  const OpenFile file(
      openat(dir.fd(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  struct stat st {};
  if (file.fd() < 0 || fstat(file.fd(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 ||
      static_cast<std::size_t>(st.st_size) > kMaxPhotoBytes)
    return std::nullopt;
  std::string data(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t got = 0;
  while (got < data.size()) {
    const ssize_t n = read(file.fd(), data.data() + got, data.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  data.resize(got);
  return data;
}

// `text` with every byte outside printable ASCII, and the backslash, written
// as \xHH, cut to about `max` bytes: what a client or a database sends can
// neither break a log line nor reach an operator's terminal as a control
// sequence.
std::string LogText(std::string_view text, std::size_t max) {
  std::string out;
  for (const char ch : text) {
    if (out.size() >= max) break;
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += ch;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    }
  }
  return out;
}

void LogLine(const HttpRequest& request, const std::string& kind, const HttpResponse& reply,
             double started, const std::string& error) {
  const auto micros = static_cast<std::int64_t>((Now() - started) * 1e6);
  const std::time_t t = static_cast<std::time_t>(started);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &tm);
  // One write per line, so lines from several workers never interleave.
  char line[512];
  const int n = std::snprintf(
      line, sizeof line, "%s %s %s %s %s %d %zuB %" PRId64 "us%s%s\n", stamp,
      LogText(request.remote_address, 64).c_str(), LogText(request.method, 16).c_str(),
      LogText(Path(request.target), 100).c_str(), kind.c_str(), reply.status, reply.body.size(),
      micros, error.empty() ? "" : " ", LogText(error, 200).c_str());
  if (n > 0) std::fwrite(line, 1, std::min<std::size_t>(n, sizeof line - 1), stderr);
}

// "/help/<language>.html": that language's page, or a plain 404 naming the
// languages there are.
HttpResponse HelpReply(const std::string& path) {
  constexpr std::string_view kPrefix = "/help/";
  constexpr std::string_view kSuffix = ".html";
  const std::string_view rest = std::string_view(path).substr(kPrefix.size());
  if (rest.size() > kSuffix.size() && rest.ends_with(kSuffix)) {
    if (const auto page = HelpPage(rest.substr(0, rest.size() - kSuffix.size())))
      return Text(200, std::string(*page), "text/html; charset=utf-8");
  }
  return Text(404,
              "No help page here. The help pages are /help/<language>.html for the languages "
              "cs, de, en, es, fr, it, ja, ko, ru and zh.\n",
              "text/plain; charset=utf-8");
}

}  // namespace

std::string SessionFromCookie(const std::string& header) {
  const std::string key = std::string(kSessionCookie) + "=";
  size_t pos = 0;
  while (pos < header.size()) {
    while (pos < header.size() && (header[pos] == ' ' || header[pos] == ';')) ++pos;
    const size_t end = std::min(header.find(';', pos), header.size());
    if (header.compare(pos, key.size(), key) == 0) {
      std::string token = header.substr(pos + key.size(), end - pos - key.size());
      if (token.size() <= 128) return token;
      return {};
    }
    pos = end;
  }
  return {};
}

std::optional<std::string> PhotoNick(const std::string& target) {
  const std::string path = Path(target);
  constexpr std::string_view kPrefix = "/photos/";
  constexpr std::string_view kSuffix = ".jpg";
  if (path.size() <= kPrefix.size() + kSuffix.size() || path.rfind(kPrefix, 0) != 0 ||
      path.compare(path.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
    return std::nullopt;
  const std::string encoded =
      path.substr(kPrefix.size(), path.size() - kPrefix.size() - kSuffix.size());
  std::string nick;
  for (size_t i = 0; i < encoded.size(); ++i) {
    if (encoded[i] == '%') {
      if (i + 2 >= encoded.size()) return std::nullopt;
      const std::string hex = encoded.substr(i + 1, 2);
      if (hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return std::nullopt;
      nick += static_cast<char>(std::stoi(hex, nullptr, 16));
      i += 2;
    } else {
      nick += encoded[i];
    }
  }
  if (nick.empty() || nick.size() > kMaxNickBytes || nick.find("..") != std::string::npos)
    return std::nullopt;
  for (const char ch : nick) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F || c == '/' || c == '\\') return std::nullopt;
  }
  return nick;
}

std::string ClientAddress(const HttpRequest& request,
                          const std::vector<std::string>& trusted_proxies) {
  if (request.forwarded_for.empty() || std::find(trusted_proxies.begin(), trusted_proxies.end(),
                                                 request.remote_address) == trusted_proxies.end())
    return request.remote_address;
  const std::string client = ForwardedClientAddress(request.forwarded_for);
  // A balancer that sends nonsense gets its own address counted.
  return client.empty() ? request.remote_address : client;
}

namespace {

HttpResponse ClubReply(const ProtocolReply& r, std::int64_t session_seconds) {
  HttpResponse reply = Text(r.http_status, r.body, "text/plain; charset=windows-1251");
  if (!r.session_token.empty())
    reply.headers.emplace_back(
        "Set-Cookie", std::string(kSessionCookie) + "=" + r.session_token + "; Path=/; Max-Age=" +
                          std::to_string(session_seconds) + "; HttpOnly; SameSite=Strict");
  if (r.retry_after_seconds > 0)
    reply.headers.emplace_back("Retry-After", std::to_string(r.retry_after_seconds));
  return reply;
}

}  // namespace

HttpRefusalLog MakeRefusalLog() {
  return [](const HttpRefusal& refusal) {
    HttpRequest request;
    request.remote_address = refusal.remote_address;
    request.method = "-";
    request.target = "-";
    const std::string why = refusal.client_address.empty()
                                ? refusal.reason
                                : refusal.reason + " for " + refusal.client_address;
    LogLine(request, "refused", Text(refusal.status, ""), Now(), why);
  };
}

HttpHandler MakeClubHandler(ClubService& service, HashQueue& hashes, RoutesSettings settings) {
  return
      [&service, &hashes, settings = std::make_shared<const RoutesSettings>(std::move(settings))](
          const HttpRequest& request, const HttpResponder& respond) {
        const double started = Now();
        const std::string path = Path(request.target);
        std::string kind = "-";
        std::string error;
        HttpResponse reply;

        Service which = Service::kAccount;
        const bool post_route = path == "/account" || path == "/topten" || path == "/stat";
        if (path == "/topten") which = Service::kTopTen;
        if (path == "/stat") which = Service::kStat;

        if (path == "/config") {
          kind = "config";
          reply = request.method == "GET"
                      ? Text(200, WriteConfigPage(settings->page), "text/plain; charset=utf-8")
                      : Text(405, "no");
        } else if (post_route) {
          if (request.method != "POST") {
            reply = Text(405, "no");
          } else {
            RequestContext ctx{ClientAddress(request, settings->trusted_proxies),
                               SessionFromCookie(request.cookie), started};
            // A password hash waits in the hash queue, not on this worker; the
            // requests without one never wait behind it.
            if (NeedsPasswordHash(service, which, request.body)) {
              auto job = [&service, settings, request, ctx, which, respond] {
                const ProtocolReply r = HandleClubRequest(service, which, ctx, request.body);
                const HttpResponse late = ClubReply(r, settings->session_seconds);
                if (settings->log_requests) LogLine(request, r.kind, late, ctx.now, r.error);
                respond(late);
              };
              if (hashes.TryPush(std::move(job))) return;
              const ProtocolReply r = BusyReply(which, request.body);
              kind = r.kind;
              error = "busy: the hash queue is full";
              reply = ClubReply(r, settings->session_seconds);
            } else {
              const ProtocolReply r = HandleClubRequest(service, which, ctx, request.body);
              kind = r.kind;
              error = r.error;
              reply = ClubReply(r, settings->session_seconds);
            }
          }
        } else if (path.rfind("/photos/", 0) == 0) {
          kind = "photo";
          const auto nick = request.method == "GET" ? PhotoNick(request.target) : std::nullopt;
          const auto data = nick ? ReadPhoto(settings->photo_dir, *nick + ".jpg") : std::nullopt;
          reply = data ? Text(200, *data, "image/jpeg") : Text(404, "no");
        } else if (path.rfind("/help/", 0) == 0) {
          kind = "help";
          reply = request.method == "GET" ? HelpReply(path) : Text(405, "no");
        } else {
          reply = Text(404, "no");
        }
        if (settings->log_requests) LogLine(request, kind, reply, started, error);
        respond(std::move(reply));
      };
}

}  // namespace braxo::club
