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

// Sends one request and waits for the whole reply in a nested event loop
// that excludes user input. Everything the wait touches lives in this frame,
// so timers that fire during the wait may start further exchanges (they nest)
// or destroy the manager (the reply goes with it and the wait ends).
HttpResult Exchange(QNetworkAccessManager& manager, const QNetworkRequest& request,
                    const QByteArray* post_body, const HttpLimits& limits,
                    const ExchangeOptions& options) {
  HttpResult result;
  QNetworkReply* const raw =
      post_body != nullptr ? manager.post(request, *post_body) : manager.get(request);
  QPointer<QNetworkReply> reply(raw);
  QEventLoop loop;
  HttpError failure = HttpError::kNone;
  std::int64_t received = 0;

  QTimer connect_timer;
  QTimer read_timer;
  QTimer overall_timer;
  for (QTimer* timer : {&connect_timer, &read_timer, &overall_timer}) {
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
  }

  const auto fail = [&](HttpError error) {
    if (failure == HttpError::kNone) failure = error;
    if (reply && reply->isRunning()) reply->abort();
  };
  const auto drain = [&] {
    if (!reply || failure != HttpError::kNone) return;
    const QByteArray chunk = reply->readAll();
    if (chunk.isEmpty()) return;
    received += chunk.size();
    if (received > limits.max_body_bytes) {
      fail(HttpError::kTooLarge);
      return;
    }
    if (options.sink) {
      const HttpError sink_error = options.sink(chunk);
      if (sink_error != HttpError::kNone) fail(sink_error);
    } else {
      result.body.append(chunk.constData(), static_cast<size_t>(chunk.size()));
    }
  };
  // Once the request is on the wire the connect phase is over; from then on
  // every sign of life restarts the read time-out.
  const auto alive = [&] {
    connect_timer.stop();
    StartIfSet(read_timer, limits.read_timeout);
  };

  // A request started by a timer during this wait nests inside it, and this
  // call can only return after that one; a reply that has arrived meanwhile
  // must not be failed by a time-out that fires later.
  const auto time_out = [&](HttpError error) {
    if (reply && !reply->isFinished()) fail(error);
  };
  QObject::connect(&connect_timer, &QTimer::timeout, &loop,
                   [&] { time_out(HttpError::kConnectTimeout); });
  QObject::connect(&read_timer, &QTimer::timeout, &loop,
                   [&] { time_out(HttpError::kReadTimeout); });
  QObject::connect(&overall_timer, &QTimer::timeout, &loop,
                   [&] { time_out(HttpError::kOverallTimeout); });
  QObject::connect(raw, &QNetworkReply::requestSent, &loop, alive);
  QObject::connect(raw, &QNetworkReply::metaDataChanged, &loop, alive);
  QObject::connect(raw, &QNetworkReply::readyRead, &loop, [&] {
    alive();
    drain();
  });
  if (options.progress != nullptr && *options.progress) {
    QObject::connect(raw, &QNetworkReply::downloadProgress, &loop,
                     [&](qint64 bytes_received, qint64 bytes_total) {
                       if (!(*options.progress)(bytes_received, bytes_total)) {
                         fail(HttpError::kCancelled);
                       }
                     });
  }
  QObject::connect(raw, &QNetworkReply::redirected, &loop, [&](const QUrl& target) {
    if (options.follow_safe_redirects &&
        IsSafeWebLink(target.toString(QUrl::FullyEncoded).toStdString())) {
      Q_EMIT reply->redirectAllowed();
    } else {
      fail(HttpError::kBadAddress);
    }
  });
  QObject::connect(raw, &QNetworkReply::finished, &loop, [&] {
    connect_timer.stop();
    read_timer.stop();
    overall_timer.stop();
    loop.quit();
  });
  QObject::connect(raw, &QObject::destroyed, &loop, &QEventLoop::quit);

  // Qt 6.4 never reports an empty POST body as sent; for such a request the
  // connect phase cannot be told apart, so the read time-out runs from the
  // start instead and the overall limit still bounds the wait.
  if (post_body != nullptr && post_body->isEmpty()) {
    StartIfSet(read_timer, limits.read_timeout);
  } else {
    StartIfSet(connect_timer, limits.connect_timeout);
  }
  StartIfSet(overall_timer, limits.overall_timeout);
  if (!raw->isFinished()) loop.exec(options.wait_flags);

  if (!reply) {
    result.body.clear();
    result.error = HttpError::kClientDestroyed;
    return result;
  }
  // The loop also ends when the application quits while we wait.
  if (!reply->isFinished()) fail(HttpError::kNetwork);
  drain();
  reply->deleteLater();

  result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (failure == HttpError::kNone) {
    if (result.status != 0 && (result.status < 200 || result.status > 299)) {
      failure = HttpError::kHttpStatus;
    } else if (reply->error() != QNetworkReply::NoError) {
      failure = TransportError(reply->error());
    } else if (result.status == 0) {
      failure = HttpError::kNetwork;
    }
  }
  if (failure != HttpError::kNone) {
    qCDebug(lcClub) << "request to" << request.url().toString()
                    << "failed:" << QString::fromUtf8(HttpErrorName(failure).data())
                    << reply->errorString();
    result.error = failure;
    result.body.clear();
  }
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

ConfigPageText FetchConfigPage(const HttpLimits& limits) {
  const HttpResult result = HttpGet(ConfigPageAddress(), limits);
  if (!result.ok()) return std::nullopt;
  return QString::fromUtf8(result.body.data(), static_cast<qsizetype>(result.body.size()))
      .toStdString();
}

HttpLimits DefaultDownloadLimits() {
  HttpLimits limits;
  limits.connect_timeout = std::chrono::seconds(5);
  limits.read_timeout = std::chrono::seconds(20);
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
