#include "club/ClubClient.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSaveFile>
#include <QString>
#include <QTimer>
#include <QUrl>

#include "club/BuiltinAddresses.h"
#include "club/WebLink.h"

Q_LOGGING_CATEGORY(lcClub, "braxo.club", QtWarningMsg)

namespace braxo {
namespace {

// Receives the body chunk by chunk; any error but kNone stops the exchange.
using BodySink = std::function<HttpError(const QByteArray& chunk)>;

struct ExchangeOptions {
  bool follow_safe_redirects = false;
  BodySink sink;  // none: the body is collected into the result
  const DownloadProgress* progress = nullptr;
  QEventLoop::ProcessEventsFlags wait_flags = QEventLoop::ExcludeUserInputEvents;
};

std::optional<QUrl> WebUrl(std::string_view address) {
  if (!IsSafeWebLink(address)) return std::nullopt;
  QUrl url(QString::fromUtf8(address.data(), static_cast<qsizetype>(address.size())));
  if (!url.isValid() || url.host().isEmpty()) return std::nullopt;
  return url;
}

// Headers every request of ours carries. An uncompressed body keeps the size
// limit meaningful: a few compressed bytes cannot inflate behind its back.
QNetworkRequest BaseRequest(const QUrl& url, bool follow_safe_redirects) {
  QNetworkRequest request(url);
  request.setRawHeader("Accept-Encoding", "identity");
  if (follow_safe_redirects) {
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
  } else {
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
  }
  return request;
}

HttpError TransportError(QNetworkReply::NetworkError error) {
  switch (error) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyNotFoundError:
      return HttpError::kConnectFailed;
    default:
      return HttpError::kNetwork;
  }
}

void StartIfSet(QTimer& timer, std::chrono::milliseconds timeout) {
  if (timeout.count() > 0) timer.start(timeout);
}

// One request and its reply, with every bound of HttpLimits: the connect
// time-out, the header time-out (the status line and every header must have
// arrived, however slowly they trickle), the read time-out, the overall
// limit and the body cap (chunked or not; Qt's own buffer for the reply is
// kept small so that the cap holds before the bytes pile up). `done` runs
// once, from the event loop, with the result; the object must stay alive
// until then (or be destroyed, which aborts the request without calling it).
}  // namespace

class PendingExchange {
 public:
  PendingExchange(QNetworkAccessManager& manager, const QNetworkRequest& request,
                  const QByteArray* post_body, const HttpLimits& limits,
                  ExchangeOptions options, std::function<void(HttpResult)> done)
      : limits_(limits), options_(std::move(options)), done_(std::move(done)),
        url_(request.url()) {
    QNetworkReply* const raw =
        post_body != nullptr ? manager.post(request, *post_body) : manager.get(request);
    reply_ = raw;
    raw->setReadBufferSize(kReplyBufferBytes);
    for (QTimer* timer : {&connect_timer_, &header_timer_, &read_timer_, &overall_timer_}) {
      timer->setSingleShot(true);
      timer->setTimerType(Qt::PreciseTimer);
    }
    QObject::connect(&connect_timer_, &QTimer::timeout, &context_,
                     [this] { TimeOut(HttpError::kConnectTimeout); });
    QObject::connect(&header_timer_, &QTimer::timeout, &context_,
                     [this] { TimeOut(HttpError::kReadTimeout); });
    QObject::connect(&read_timer_, &QTimer::timeout, &context_,
                     [this] { TimeOut(HttpError::kReadTimeout); });
    QObject::connect(&overall_timer_, &QTimer::timeout, &context_,
                     [this] { TimeOut(HttpError::kOverallTimeout); });
    QObject::connect(raw, &QNetworkReply::requestSent, &context_, [this] { Alive(); });
    QObject::connect(raw, &QNetworkReply::metaDataChanged, &context_, [this] {
      header_timer_.stop();
      Alive();
    });
    QObject::connect(raw, &QNetworkReply::readyRead, &context_, [this] {
      header_timer_.stop();
      Alive();
      Drain();
    });
    if (options_.progress != nullptr && *options_.progress) {
      QObject::connect(raw, &QNetworkReply::downloadProgress, &context_,
                       [this](qint64 bytes_received, qint64 bytes_total) {
                         if (!(*options_.progress)(bytes_received, bytes_total)) {
                           Fail(HttpError::kCancelled);
                         }
                       });
    }
    QObject::connect(raw, &QNetworkReply::redirected, &context_, [this](const QUrl& target) {
      if (options_.follow_safe_redirects &&
          IsSafeWebLink(target.toString(QUrl::FullyEncoded).toStdString())) {
        Q_EMIT reply_->redirectAllowed();
      } else {
        Fail(HttpError::kBadAddress);
      }
    });
    QObject::connect(raw, &QNetworkReply::finished, &context_, [this] { Finish(); });
    QObject::connect(raw, &QObject::destroyed, &context_, [this] { Finish(); });

    // Qt 6.4 never reports an empty POST body as sent; for such a request the
    // connect phase cannot be told apart, so the read time-out runs from the
    // start instead and the overall limit still bounds the wait.
    if (post_body != nullptr && post_body->isEmpty()) {
      StartIfSet(read_timer_, limits_.read_timeout);
    } else {
      StartIfSet(connect_timer_, limits_.connect_timeout);
    }
    StartIfSet(header_timer_, limits_.header_timeout);
    StartIfSet(overall_timer_, limits_.overall_timeout);
  }

  ~PendingExchange() {
    if (reply_) {
      QObject::disconnect(reply_, nullptr, &context_, nullptr);
      if (reply_->isRunning()) reply_->abort();
      reply_->deleteLater();
    }
  }
  PendingExchange(const PendingExchange&) = delete;
  PendingExchange& operator=(const PendingExchange&) = delete;

  bool finished() const { return finished_; }

  // Ends the exchange now (the application quits while a caller waits).
  void Abandon() {
    Fail(HttpError::kNetwork);
    Finish();
  }

 private:
  // Qt reads ahead of us at most this much; the rest waits in the socket.
  static constexpr qint64 kReplyBufferBytes = 64 * 1024;

  void Fail(HttpError error) {
    if (failure_ == HttpError::kNone) failure_ = error;
    if (reply_ && reply_->isRunning()) reply_->abort();
  }

  void Drain() {
    if (!reply_ || failure_ != HttpError::kNone) return;
    const QByteArray chunk = reply_->readAll();
    if (chunk.isEmpty()) return;
    received_ += chunk.size();
    if (received_ > limits_.max_body_bytes) {
      Fail(HttpError::kTooLarge);
      return;
    }
    if (options_.sink) {
      const HttpError sink_error = options_.sink(chunk);
      if (sink_error != HttpError::kNone) Fail(sink_error);
    } else {
      result_.body.append(chunk.constData(), static_cast<size_t>(chunk.size()));
    }
  }

  // Once the request is on the wire the connect phase is over; from then on
  // every sign of life restarts the read time-out.
  void Alive() {
    connect_timer_.stop();
    StartIfSet(read_timer_, limits_.read_timeout);
  }

  // A request started by a timer during a wait nests inside it, and that wait
  // can only return after this one; a reply that has arrived meanwhile must
  // not be failed by a time-out that fires later.
  void TimeOut(HttpError error) {
    if (!finished_ && reply_ && !reply_->isFinished()) Fail(error);
  }

  void Finish() {
    if (finished_) return;
    finished_ = true;
    for (QTimer* timer : {&connect_timer_, &header_timer_, &read_timer_, &overall_timer_})
      timer->stop();
    if (!reply_) {
      result_.body.clear();
      result_.error = HttpError::kClientDestroyed;
    } else {
      if (!reply_->isFinished()) Fail(HttpError::kNetwork);
      Drain();
      result_.status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
      if (failure_ == HttpError::kNone) {
        if (result_.status != 0 && (result_.status < 200 || result_.status > 299)) {
          failure_ = HttpError::kHttpStatus;
        } else if (reply_->error() != QNetworkReply::NoError) {
          failure_ = TransportError(reply_->error());
        } else if (result_.status == 0) {
          failure_ = HttpError::kNetwork;
        }
      }
      if (failure_ != HttpError::kNone) {
        qCDebug(lcClub) << "request to" << url_.toString()
                        << "failed:" << QString::fromUtf8(HttpErrorName(failure_).data())
                        << reply_->errorString();
        result_.error = failure_;
        result_.body.clear();
      }
    }
    // `done` may destroy this object.
    std::function<void(HttpResult)> done = std::move(done_);
    if (done) done(std::move(result_));
  }

  HttpLimits limits_;
  ExchangeOptions options_;
  std::function<void(HttpResult)> done_;
  QUrl url_;
  QPointer<QNetworkReply> reply_;
  QObject context_;
  QTimer connect_timer_;
  QTimer header_timer_;
  QTimer read_timer_;
  QTimer overall_timer_;
  HttpResult result_;
  HttpError failure_ = HttpError::kNone;
  std::int64_t received_ = 0;
  bool finished_ = false;
};

namespace {

// Sends one request and waits for the whole reply in a nested event loop
// (excluding user input unless the options say otherwise). Everything the
// wait touches lives in this frame, so timers that fire during the wait may
// start further exchanges (they nest) or destroy the manager (the reply goes
// with it and the wait ends).
HttpResult Exchange(QNetworkAccessManager& manager, const QNetworkRequest& request,
                    const QByteArray* post_body, const HttpLimits& limits,
                    const ExchangeOptions& options) {
  HttpResult result;
  QEventLoop loop;
  PendingExchange exchange(manager, request, post_body, limits, options,
                           [&](HttpResult r) {
                             result = std::move(r);
                             loop.quit();
                           });
  if (!exchange.finished()) loop.exec(options.wait_flags);
  // The loop also ends when the application quits while we wait.
  if (!exchange.finished()) exchange.Abandon();
  return result;
}

}  // namespace

std::string_view HttpErrorName(HttpError error) {
  switch (error) {
    case HttpError::kNone:
      return "none";
    case HttpError::kBadAddress:
      return "bad address";
    case HttpError::kConnectFailed:
      return "connect failed";
    case HttpError::kConnectTimeout:
      return "connect time-out";
    case HttpError::kReadTimeout:
      return "read time-out";
    case HttpError::kOverallTimeout:
      return "overall time-out";
    case HttpError::kHttpStatus:
      return "HTTP status";
    case HttpError::kTooLarge:
      return "body too large";
    case HttpError::kWriteFailed:
      return "write failed";
    case HttpError::kCancelled:
      return "cancelled";
    case HttpError::kClientDestroyed:
      return "client destroyed";
    case HttpError::kNetwork:
      return "network";
  }
  return "unknown";
}

ClubClient::ClubClient(HttpLimits limits)
    : limits_(limits), manager_(std::make_unique<QNetworkAccessManager>()) {
  manager_->setCookieJar(new QNetworkCookieJar(manager_.get()));
}

ClubClient::~ClubClient() = default;

void ClubClient::SetReadTimeout(std::chrono::milliseconds timeout) {
  limits_.read_timeout = timeout;
}

HttpResult ClubClient::PostPlain(std::string_view address, const std::vector<FormField>& fields) {
  return PostBody(address, PlainFormBody(fields));
}

HttpResult ClubClient::PostList(std::string_view address, const std::vector<std::string>& lines) {
  return PostBody(address, ListFormBody(lines));
}

HttpResult ClubClient::PostBody(std::string_view address, const std::string& body) {
  const std::optional<QUrl> url = WebUrl(address);
  if (!url) return HttpResult{HttpError::kBadAddress, 0, {}};
  QNetworkRequest request = BaseRequest(*url, false);
  request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("PlavoKeyStamp"));
  request.setRawHeader("Accept", "text/html, */*");
  request.setHeader(QNetworkRequest::ContentTypeHeader,
                    QByteArrayLiteral("application/x-www-form-urlencoded"));
  const QByteArray bytes(body.data(), static_cast<qsizetype>(body.size()));
  // Copies: `this` may be destroyed while the exchange waits.
  const HttpLimits limits = limits_;
  return Exchange(*manager_, request, &bytes, limits, ExchangeOptions{});
}

HttpResult HttpGet(std::string_view address, const HttpLimits& limits) {
  const std::optional<QUrl> url = WebUrl(address);
  if (!url) return HttpResult{HttpError::kBadAddress, 0, {}};
  QNetworkAccessManager manager;
  return Exchange(manager, BaseRequest(*url, false), nullptr, limits, ExchangeOptions{});
}

BackgroundGet::BackgroundGet(std::string_view address, const HttpLimits& limits,
                             std::function<void(HttpResult)> done)
    : context_(std::make_unique<QObject>()) {
  const std::optional<QUrl> url = WebUrl(address);
  if (!url) {
    QTimer::singleShot(0, context_.get(), [this, done = std::move(done)] {
      finished_ = true;
      done(HttpResult{HttpError::kBadAddress, 0, {}});
    });
    return;
  }
  manager_ = std::make_unique<QNetworkAccessManager>();
  exchange_ = std::make_unique<PendingExchange>(
      *manager_, BaseRequest(*url, false), nullptr, limits, ExchangeOptions{},
      [this, done = std::move(done)](HttpResult result) {
        finished_ = true;
        done(std::move(result));
      });
}

BackgroundGet::~BackgroundGet() = default;

namespace {

ConfigPageText ConfigPageFromReply(const HttpResult& result) {
  if (!result.ok()) return std::nullopt;
  return QString::fromUtf8(result.body.data(), static_cast<qsizetype>(result.body.size()))
      .toStdString();
}

}  // namespace

ConfigPageText FetchConfigPage(const HttpLimits& limits) {
  return ConfigPageFromReply(HttpGet(ConfigPageAddress(), limits));
}

std::unique_ptr<BackgroundGet> FetchConfigPageInBackground(
    const HttpLimits& limits, std::function<void(ConfigPageText)> done) {
  return std::make_unique<BackgroundGet>(
      ConfigPageAddress(), limits,
      [done = std::move(done)](HttpResult result) { done(ConfigPageFromReply(result)); });
}

HttpLimits ConfigPageLimits() {
  HttpLimits limits;
  limits.connect_timeout = std::chrono::milliseconds(2500);
  limits.header_timeout = std::chrono::milliseconds(3000);
  limits.overall_timeout = std::chrono::milliseconds(3000);
  limits.max_body_bytes = kMaxConfigPageBytes;
  return limits;
}

HttpLimits DefaultDownloadLimits() {
  HttpLimits limits;
  limits.connect_timeout = std::chrono::seconds(5);
  limits.read_timeout = std::chrono::seconds(20);
  limits.header_timeout = std::chrono::seconds(20);
  limits.overall_timeout = std::chrono::minutes(30);
  limits.max_body_bytes = std::int64_t{1} << 30;
  return limits;
}

HttpError DownloadToFile(std::string_view url, const std::string& path,
                         const DownloadProgress& progress, const HttpLimits& limits,
                         DownloadWait wait) {
  const std::optional<QUrl> web_url = WebUrl(url);
  if (!web_url) return HttpError::kBadAddress;
  QSaveFile file(QFile::decodeName(QByteArray::fromStdString(path)));
  if (!file.open(QIODevice::WriteOnly)) return HttpError::kWriteFailed;

  ExchangeOptions options;
  options.follow_safe_redirects = true;
  options.progress = &progress;
  if (wait == DownloadWait::kAcceptUserInput) options.wait_flags = QEventLoop::AllEvents;
  options.sink = [&file](const QByteArray& chunk) {
    return file.write(chunk) == chunk.size() ? HttpError::kNone : HttpError::kWriteFailed;
  };
  QNetworkAccessManager manager;
  const HttpResult result =
      Exchange(manager, BaseRequest(*web_url, true), nullptr, limits, options);
  if (!result.ok()) {
    file.cancelWriting();
    return result.error;
  }
  return file.commit() ? HttpError::kNone : HttpError::kWriteFailed;
}

}  // namespace braxo
