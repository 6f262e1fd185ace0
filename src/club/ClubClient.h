// HTTP access to the club server. A request to the club is an object of its
// own (ClubRequest) whose completion callback runs from the event loop; the
// caller goes on meanwhile, and destroying the request (or the object it was
// tied to) cancels it without a reply. The older PostPlain, PostList and
// GetPlain wait for their reply in a nested event loop that excludes user
// input; only ClubAccess's remaining waiting calls use them. Every exchange is
// bounded by a connect time-out, a header time-out and an overall limit, and
// every reply by a cap on its head and its body. The exchanges run on the
// calling thread (HTTP/1.1), so that a reply that never ends can always be
// cut off. The club's connections are kept open and reused (keep-alive);
// requests sent together each get a connection of their own.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "club/ConfigPage.h"
#include "club/FormBody.h"

class QNetworkCookieJar;
class QObject;
class QSaveFile;

namespace braxo {

class ConnectionPool;
class PendingExchange;

// The read time-out that the tournament and statistics reads set on the
// shared client; it stays for the rest of the run.
inline constexpr std::chrono::milliseconds kClubReadTimeout{3000};

enum class HttpError {
  kNone,
  kBadAddress,       // empty, malformed, or not an http/https address
  kConnectFailed,    // refused, unknown host, unreachable
  kConnectTimeout,   // no connection (request not sent) within the connect time-out
  kHeaderTimeout,    // the status line and headers did not all arrive in time
  kReadTimeout,      // no data for the read time-out once the request was sent
  kOverallTimeout,   // the whole exchange took longer than the overall limit
  kHttpStatus,       // the server answered with a status outside 200-299
  kTooLarge,         // the head or the body exceeded its size limit
  kWriteFailed,      // a download could not be written to its file
  kCancelled,        // the player cancelled the download
  kClientDestroyed,  // the client was destroyed while the request waited
  kNetwork,          // any other transport failure
};

std::string_view HttpErrorName(HttpError error);

struct HttpResult {
  HttpError error = HttpError::kNone;
  int status = 0;    // the HTTP status when the server answered, else 0
  std::string body;  // the whole body, as bytes; empty on failure
  bool ok() const { return error == HttpError::kNone; }
};

// Bounds of one exchange. A zero duration means no limit of that kind.
struct HttpLimits {
  // From the start until the request has been written to a connection.
  std::chrono::milliseconds connect_timeout{4000};
  // From the start until the status line and every header have arrived,
  // however slowly they trickle in (a header line that never ends).
  std::chrono::milliseconds header_timeout{6000};
  // Longest silence once the request was sent (reset by every byte received).
  std::chrono::milliseconds read_timeout{0};
  // From the start until the whole reply has arrived.
  std::chrono::milliseconds overall_timeout{6000};
  // The body as it arrives, chunked or not.
  std::int64_t max_body_bytes = std::int64_t{4} << 20;
};

using HttpDone = std::function<void(HttpResult)>;

// One exchange with the club running while its owner goes on. `done` runs
// once, from the event loop (never inside the call that made the request),
// with the result, also for a bad address. Destroying the request before then
// cancels it: its connection is closed and `done` never runs. A request whose
// client is destroyed first ends with kClientDestroyed.
class ClubRequest {
 public:
  ~ClubRequest();
  ClubRequest(const ClubRequest&) = delete;
  ClubRequest& operator=(const ClubRequest&) = delete;
  bool finished() const { return finished_; }

 private:
  friend class ClubClient;
  ClubRequest();
  void Deliver(HttpResult result);

  HttpDone done_;
  std::unique_ptr<QObject> context_;
  std::unique_ptr<PendingExchange> exchange_;
  bool finished_ = false;
};

// The one client of the club's POST requests, owned by the application: a
// cookie jar for the run, "User-Agent: PlavoKeyStamp", "Accept: text/html,
// */*", no redirects (a 3xx answer is a failure), at most one read time-out
// that, once set, applies to every later request. Its connections to a club
// stay open after a complete reply and serve the next request to the same
// club (a few idle ones per club, for a few seconds); a request that finds its
// kept connection closed by the server before any reply byte arrives is sent
// once more on a fresh one. Needs a QCoreApplication on the calling thread.
class ClubClient {
 public:
  explicit ClubClient(HttpLimits limits = {});
  ~ClubClient();
  ClubClient(const ClubClient&) = delete;
  ClubClient& operator=(const ClubClient&) = delete;

  void SetReadTimeout(std::chrono::milliseconds timeout);
  const HttpLimits& limits() const { return limits_; }

  // POST with a PlainFormBody / ListFormBody ("application/x-www-form-urlencoded").
  // `address` is a plain UTF-8 address. The client may be destroyed by code
  // that runs during the wait; the call then returns kClientDestroyed.
  HttpResult PostPlain(std::string_view address, const std::vector<FormField>& fields);
  HttpResult PostList(std::string_view address, const std::vector<std::string>& lines);

  // A plain GET (no cookie, none of the club's headers) over the client's
  // kept connections, waiting in the same way: the photos come from the
  // club's own host.
  HttpResult GetPlain(std::string_view address, const HttpLimits& limits = {});

  // The same requests without waiting: the caller keeps the request (a
  // member of a window, say) for as long as it wants the reply.
  [[nodiscard]] std::unique_ptr<ClubRequest> SendPlain(std::string_view address,
                                                       const std::vector<FormField>& fields,
                                                       HttpDone done);
  [[nodiscard]] std::unique_ptr<ClubRequest> SendList(std::string_view address,
                                                      const std::vector<std::string>& lines,
                                                      HttpDone done);
  [[nodiscard]] std::unique_ptr<ClubRequest> SendBody(std::string_view address,
                                                      const std::string& body, HttpDone done);
  // A request tied to `owner`: it lives until `done` has run, or is cancelled
  // (without `done`) when `owner` is destroyed first.
  void SendBody(QObject* owner, std::string_view address, const std::string& body, HttpDone done);
  // A plain GET over the kept connections, tied to `owner` in the same way.
  void SendGet(QObject* owner, std::string_view address, HttpDone done,
               const HttpLimits& limits = {});

 private:
  HttpLimits limits_;
  std::unique_ptr<QNetworkCookieJar> jar_;
  std::unique_ptr<ConnectionPool> pool_;

  HttpResult PostBody(std::string_view address, const std::string& body);
  // A POST of `post_body` with the club's headers and cookies, or a plain GET
  // without them when it is null.
  std::unique_ptr<ClubRequest> SendRequest(std::string_view address, const std::string* post_body,
                                           const HttpLimits& limits, HttpDone done);
  static void TieToOwner(QObject* owner, std::unique_ptr<ClubRequest> request, HttpDone done);
};

// A plain GET through a connection of its own (default headers, no cookies,
// no "PlavoKeyStamp", no redirects), as for the configuration page, that
// runs while the caller goes on. `done` runs
// once from the event loop with the result (also for a bad address).
// Destroying the object aborts the request without calling `done`.
class BackgroundGet {
 public:
  BackgroundGet(std::string_view address, const HttpLimits& limits,
                std::function<void(HttpResult)> done);
  ~BackgroundGet();
  BackgroundGet(const BackgroundGet&) = delete;
  BackgroundGet& operator=(const BackgroundGet&) = delete;
  bool finished() const { return finished_; }

 private:
  std::unique_ptr<QObject> context_;
  std::unique_ptr<PendingExchange> exchange_;
  bool finished_ = false;
};

// The configuration page is a few hundred bytes of keys; a reply past this
// is not one.
inline constexpr std::int64_t kMaxConfigPageBytes = 64 * 1024;

// The bounds of the configuration page read at start-up: three seconds in
// all, and kMaxConfigPageBytes.
HttpLimits ConfigPageLimits();

// Fetches the configuration page from ConfigPageAddress() in the
// background: `done` gets it decoded as UTF-8 (malformed sequences become
// U+FFFD), or nothing on any failure.
std::unique_ptr<BackgroundGet> FetchConfigPageInBackground(
    const HttpLimits& limits, std::function<void(ConfigPageText)> done);

// Limits for package downloads: a larger body and a longer overall time, but
// the same prompt connect time-out and a bound on silence.
HttpLimits DefaultDownloadLimits();

// received and total bytes (total -1 when unknown); false stops the exchange.
using DownloadProgress = std::function<bool(std::int64_t received, std::int64_t total)>;

// received and total bytes (total -1 when unknown).
using DownloadProgressShown = std::function<void(std::int64_t received, std::int64_t total)>;

// Downloads `url` (http or https only, also after redirects) to `path` while
// the caller goes on. The file appears only when the whole body has arrived
// (written to a temporary file beside it and renamed); on any failure, and
// when the download is destroyed before its end, an existing file at `path`
// is untouched and the temporary file is gone. `progress` runs from the event
// loop as bytes arrive (the last time before `done` when all came) and must
// not destroy the download; `done` runs once, from the event loop (never inside
// the constructor, also for a bad address or a file that cannot be written),
// with kNone or the failure, and may destroy the download. Destroying the
// download first cancels it without calling `done`.
class BackgroundDownload {
 public:
  BackgroundDownload(std::string_view url, const std::string& path, DownloadProgressShown progress,
                     std::function<void(HttpError)> done,
                     const HttpLimits& limits = DefaultDownloadLimits());
  ~BackgroundDownload();
  BackgroundDownload(const BackgroundDownload&) = delete;
  BackgroundDownload& operator=(const BackgroundDownload&) = delete;
  bool finished() const { return finished_; }

 private:
  void End(HttpError error);

  std::unique_ptr<QObject> context_;
  std::unique_ptr<QSaveFile> file_;
  DownloadProgressShown shown_;
  DownloadProgress progress_;
  std::function<void(HttpError)> done_;
  std::int64_t received_ = 0;
  std::int64_t total_ = -1;
  bool progress_posted_ = false;
  // Last, so that it goes first: it writes into the file.
  std::unique_ptr<PendingExchange> exchange_;
  bool finished_ = false;
};

}  // namespace braxo
