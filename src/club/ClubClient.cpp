#include "club/ClubClient.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLoggingCategory>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QPointer>
#include <QSaveFile>
#include <QSslSocket>
#include <QString>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <utility>

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
};

struct RequestSpec {
  QByteArray method;
  QUrl url;
  std::vector<std::pair<QByteArray, QByteArray>> headers;
  QByteArray body;
  bool has_body = false;
};

// The status line and the headers together; a server that sends more is not
// a club.
constexpr qsizetype kMaxHeadBytes = 32 * 1024;
// A chunk-size line ("1a2b;ext") of a chunked body.
constexpr qsizetype kMaxChunkLineBytes = 1024;
constexpr int kMaxRedirects = 5;
// The socket reads ahead of us at most this much; the rest waits in the
// kernel, so the body cap holds before the bytes pile up in memory.
constexpr qint64 kSocketBufferBytes = 64 * 1024;
// Bytes handled per pass of the event loop, so that a fast server cannot
// keep the thread from its timers.
constexpr qint64 kBytesPerPass = 256 * 1024;

std::optional<QUrl> WebUrl(std::string_view address) {
  if (!IsSafeWebLink(address)) return std::nullopt;
  QUrl url(QString::fromUtf8(address.data(), static_cast<qsizetype>(address.size())));
  if (!url.isValid() || url.host().isEmpty()) return std::nullopt;
  return url;
}

void StartIfSet(QTimer& timer, std::chrono::milliseconds timeout) {
  if (timeout.count() > 0) timer.start(timeout);
}

std::optional<qint64> ParseDecimal(QByteArrayView text) {
  text = text.trimmed();
  if (text.isEmpty() || text.size() > 18) return std::nullopt;
  qint64 value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<qint64> ParseChunkSize(QByteArrayView line) {
  const qsizetype extension = line.indexOf(';');
  if (extension >= 0) line = line.first(extension);
  line = line.trimmed();
  if (line.isEmpty() || line.size() > 15) return std::nullopt;
  qint64 value = 0;
  for (char c : line) {
    int digit = 0;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return std::nullopt;
    value = value * 16 + digit;
  }
  return value;
}

QString OriginOf(const QUrl& url) {
  const bool tls = url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
  return (tls ? QStringLiteral("https://") : QStringLiteral("http://")) + url.host().toLower() +
         ':' + QString::number(url.port(tls ? 443 : 80));
}

// A kept connection unused for longer is closed rather than reused: servers
// close idle connections on their own schedule, and a stale one costs a
// round trip to find out.
constexpr qint64 kMaxIdleMs = 10'000;
// Idle connections kept per club; requests sent together beyond this open
// connections that are closed after their reply.
constexpr std::size_t kMaxIdlePerOrigin = 6;
// The longest body of a refusal read to keep its connection.
constexpr qint64 kMaxRefusalBodyBytes = 16 * 1024;

}  // namespace

// The club's connections between requests, keyed by scheme, host and port.
// An idle connection that the server closes, or that receives anything while
// idle, is dropped at once.
class ConnectionPool : public QObject {
 public:
  ConnectionPool() = default;
  ~ConnectionPool() override {
    for (const Idle& idle : idle_) {
      QObject::disconnect(idle.socket, nullptr, this, nullptr);
      idle.socket->abort();
    }
  }
  ConnectionPool(const ConnectionPool&) = delete;
  ConnectionPool& operator=(const ConnectionPool&) = delete;

  // A connection to `origin` still open, or null. The caller owns it.
  QTcpSocket* TakeIdle(const QString& origin) {
    while (true) {
      const auto found = std::find_if(idle_.begin(), idle_.end(),
                                      [&](const Idle& idle) { return idle.origin == origin; });
      if (found == idle_.end()) return nullptr;
      QTcpSocket* socket = found->socket;
      const bool fresh = found->since.elapsed() < kMaxIdleMs;
      idle_.erase(found);
      QObject::disconnect(socket, nullptr, this, nullptr);
      socket->setParent(nullptr);
      if (fresh && socket->state() == QAbstractSocket::ConnectedState &&
          socket->bytesAvailable() == 0)
        return socket;
      Discard(socket);
    }
  }

  // Takes a connection whose last reply was read whole.
  void GiveBack(const QString& origin, QTcpSocket* socket) {
    const auto count = std::count_if(idle_.begin(), idle_.end(),
                                     [&](const Idle& idle) { return idle.origin == origin; });
    if (static_cast<std::size_t>(count) >= kMaxIdlePerOrigin ||
        socket->state() != QAbstractSocket::ConnectedState || socket->bytesAvailable() > 0) {
      Discard(socket);
      return;
    }
    socket->setParent(this);
    Idle idle{origin, socket, {}};
    idle.since.start();
    idle_.push_back(idle);
    const auto drop = [this, socket] { Drop(socket); };
    QObject::connect(socket, &QTcpSocket::disconnected, this, drop);
    QObject::connect(socket, &QTcpSocket::readyRead, this, drop);
    QObject::connect(socket, &QTcpSocket::errorOccurred, this, drop);
  }

 private:
  struct Idle {
    QString origin;
    QTcpSocket* socket;
    QElapsedTimer since;
  };

  static void Discard(QTcpSocket* socket) {
    socket->abort();
    // It may be inside one of its own signals right now.
    socket->deleteLater();
  }

  void Drop(QTcpSocket* socket) {
    const auto found = std::find_if(idle_.begin(), idle_.end(),
                                    [&](const Idle& idle) { return idle.socket == socket; });
    if (found == idle_.end()) return;
    idle_.erase(found);
    QObject::disconnect(socket, nullptr, this, nullptr);
    socket->setParent(nullptr);
    Discard(socket);
  }

  std::vector<Idle> idle_;
};

// One request and its reply (HTTP/1.1), with every bound of HttpLimits: the connect time-out, the
// header time-out and a cap on the head's size, the read time-out, the
// overall limit and the body cap, chunked or not. Everything runs on the
// calling thread's event loop, so an abort always takes effect at once.
// `done` runs once, from the event loop, with the result; the object must
// stay alive until then (or be destroyed, which aborts the request without
// calling it). When `jar` is given it supplies and keeps the cookies, and its
// destruction (the client going away) ends the exchange. Without `pool` the
// exchange has a connection of its own, closed after the reply; with it, the
// exchange takes a kept connection to the same server when there is one and
// gives its connection back after a whole reply the server did not close.
class PendingExchange {
 public:
  PendingExchange(RequestSpec request, QNetworkCookieJar* jar, const HttpLimits& limits,
                  ExchangeOptions options, std::function<void(HttpResult)> done,
                  ConnectionPool* pool = nullptr)
      : request_(std::move(request)),
        jar_(jar),
        has_jar_(jar != nullptr),
        pool_(pool),
        has_pool_(pool != nullptr),
        limits_(limits),
        options_(std::move(options)),
        done_(std::move(done)) {
    for (QTimer* timer : {&connect_timer_, &header_timer_, &read_timer_, &overall_timer_}) {
      timer->setSingleShot(true);
      timer->setTimerType(Qt::PreciseTimer);
    }
    QObject::connect(&connect_timer_, &QTimer::timeout, &context_,
                     [this] { TimeOut(HttpError::kConnectTimeout); });
    QObject::connect(&header_timer_, &QTimer::timeout, &context_,
                     [this] { TimeOut(HttpError::kHeaderTimeout); });
    QObject::connect(&read_timer_, &QTimer::timeout, &context_,
                     [this] { TimeOut(HttpError::kReadTimeout); });
    QObject::connect(&overall_timer_, &QTimer::timeout, &context_,
                     [this] { TimeOut(HttpError::kOverallTimeout); });
    if (jar != nullptr) {
      QObject::connect(jar, &QObject::destroyed, &context_, [this] {
        Fail(HttpError::kClientDestroyed);
        Finish();
      });
    }
    StartIfSet(overall_timer_, limits_.overall_timeout);
    Open(/*may_reuse=*/true);
  }

  ~PendingExchange() { DropSocket(); }
  PendingExchange(const PendingExchange&) = delete;
  PendingExchange& operator=(const PendingExchange&) = delete;

  bool finished() const { return finished_; }

  // Ends the exchange now (the application quits while a caller waits).
  void Abandon() {
    Fail(HttpError::kNetwork);
    Finish();
  }

 private:
  enum class Phase { kSending, kHead, kBody, kDone };
  enum class ChunkState { kSize, kData, kDataEnd, kTrailer };

  void Open(bool may_reuse) {
    phase_ = Phase::kSending;
    reply_bytes_ = 0;
    server_keeps_open_ = false;
    refused_ = false;
    head_.clear();
    status_ = 0;
    content_length_ = -1;
    chunked_ = false;
    chunk_state_ = ChunkState::kSize;
    chunk_line_.clear();
    chunk_left_ = 0;
    written_ = 0;

    const QUrl& url = request_.url;
    const bool tls = url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
    QByteArray wire = request_.method + ' ';
    QByteArray path = url.path(QUrl::FullyEncoded).toUtf8();
    if (path.isEmpty()) path = "/";
    wire += path;
    if (url.hasQuery()) wire += '?' + url.query(QUrl::FullyEncoded).toUtf8();
    wire += " HTTP/1.1\r\nHost: ";
    wire += url.adjusted(QUrl::RemoveUserInfo).authority(QUrl::FullyEncoded).toUtf8();
    wire += "\r\n";
    // HTTP/1.1 keeps the connection open unless told otherwise.
    if (!has_pool_) wire += "Connection: close\r\n";
    // An uncompressed body keeps the size limit meaningful: a few
    // compressed bytes cannot inflate behind its back.
    wire += "Accept-Encoding: identity\r\n";
    for (const auto& [name, value] : request_.headers) wire += name + ": " + value + "\r\n";
    if (jar_) {
      const QList<QNetworkCookie> cookies = jar_->cookiesForUrl(url);
      if (!cookies.isEmpty()) {
        QByteArray line;
        for (const QNetworkCookie& cookie : cookies) {
          if (!line.isEmpty()) line += "; ";
          line += cookie.toRawForm(QNetworkCookie::NameAndValueOnly);
        }
        wire += "Cookie: " + line + "\r\n";
      }
    }
    if (request_.has_body)
      wire += "Content-Length: " + QByteArray::number(request_.body.size()) + "\r\n";
    wire += "\r\n";
    if (request_.has_body) wire += request_.body;
    wire_ = std::move(wire);

    origin_ = OriginOf(url);
    QTcpSocket* kept = may_reuse && pool_ ? pool_->TakeIdle(origin_) : nullptr;
    reused_ = kept != nullptr;
    QTcpSocket* socket = kept;
    if (socket == nullptr) socket = tls ? new QSslSocket : new QTcpSocket;
    socket_ = socket;
    socket->setReadBufferSize(kSocketBufferBytes);
    const auto send = [this] {
      if (!socket_) return;
      socket_->write(wire_);
    };
    if (reused_) {
      ConnectSocket(socket);
      StartIfSet(connect_timer_, limits_.connect_timeout);
      StartIfSet(header_timer_, limits_.header_timeout);
      send();
      return;
    }
    if (tls)
      QObject::connect(static_cast<QSslSocket*>(socket), &QSslSocket::encrypted, &context_, send);
    else
      QObject::connect(socket, &QTcpSocket::connected, &context_, send);
    ConnectSocket(socket);

    StartIfSet(connect_timer_, limits_.connect_timeout);
    StartIfSet(header_timer_, limits_.header_timeout);
    const quint16 default_port = tls ? 443 : 80;
    const quint16 port = static_cast<quint16>(url.port(default_port));
    if (tls)
      static_cast<QSslSocket*>(socket)->connectToHostEncrypted(url.host(), port);
    else
      socket->connectToHost(url.host(), port);
  }

  void ConnectSocket(QTcpSocket* socket) {
    QObject::connect(socket, &QTcpSocket::bytesWritten, &context_, [this](qint64 bytes) {
      written_ += bytes;
      if (phase_ == Phase::kSending && written_ >= wire_.size()) {
        // Once the request is on the wire the connect phase is over.
        phase_ = Phase::kHead;
        connect_timer_.stop();
        StartIfSet(read_timer_, limits_.read_timeout);
      }
    });
    QObject::connect(socket, &QTcpSocket::readyRead, &context_, [this] { Read(); });
    QObject::connect(socket, &QTcpSocket::disconnected, &context_, [this] { Closed(); });
    QObject::connect(socket, &QTcpSocket::errorOccurred, &context_,
                     [this](QAbstractSocket::SocketError error) { SocketError(error); });
  }

  void DropSocket() {
    if (!socket_) return;
    QTcpSocket* socket = socket_;
    socket_ = nullptr;
    QObject::disconnect(socket, nullptr, &context_, nullptr);
    socket->abort();
    // It may be inside one of its own signals right now.
    socket->deleteLater();
  }

  void Fail(HttpError error) {
    if (failure_ == HttpError::kNone) failure_ = error;
    phase_ = Phase::kDone;
    DropSocket();
    QTimer::singleShot(0, &context_, [this] { Finish(); });
  }

  void Succeed() {
    phase_ = Phase::kDone;
    if (refused_) failure_ = HttpError::kHttpStatus;
    const bool whole = chunked_ || content_length_ >= 0;
    if (pool_ && socket_ && whole && server_keeps_open_ && socket_->bytesAvailable() == 0) {
      QTcpSocket* socket = socket_;
      socket_ = nullptr;
      QObject::disconnect(socket, nullptr, &context_, nullptr);
      pool_->GiveBack(origin_, socket);
    } else {
      DropSocket();
    }
    QTimer::singleShot(0, &context_, [this] { Finish(); });
  }

  // A request started by a timer during a wait nests inside it, and that wait
  // can only return after this one; a reply that has arrived meanwhile must
  // not be failed by a time-out that fires later.
  void TimeOut(HttpError error) {
    if (phase_ != Phase::kDone) Fail(error);
  }

  // A kept connection the server closed before a byte of the reply came: the
  // server dropped it while idle, so the request goes once more on a fresh
  // connection.
  bool RetriedOnFreshConnection() {
    if (!reused_ || reply_bytes_ > 0 || phase_ == Phase::kDone) return false;
    DropSocket();
    Open(/*may_reuse=*/false);
    return true;
  }

  void SocketError(QAbstractSocket::SocketError error) {
    if (phase_ == Phase::kDone) return;
    if (RetriedOnFreshConnection()) return;
    switch (error) {
      case QAbstractSocket::RemoteHostClosedError:
        Closed();
        return;
      case QAbstractSocket::ConnectionRefusedError:
      case QAbstractSocket::HostNotFoundError:
        Fail(phase_ == Phase::kSending ? HttpError::kConnectFailed : HttpError::kNetwork);
        return;
      default:
        Fail(HttpError::kNetwork);
        return;
    }
  }

  void Closed() {
    if (phase_ == Phase::kDone) return;
    Read();
    if (phase_ == Phase::kDone) return;
    if (RetriedOnFreshConnection()) return;
    // A body without a length ends with the connection; anything else
    // cut short is a failure.
    if (phase_ == Phase::kBody && !chunked_ && content_length_ < 0)
      Succeed();
    else
      Fail(HttpError::kNetwork);
  }

  void Read() {
    if (!socket_ || phase_ == Phase::kDone) return;
    qint64 handled = 0;
    while (socket_ && phase_ != Phase::kDone && socket_->bytesAvailable() > 0) {
      if (handled >= kBytesPerPass) {
        QTimer::singleShot(0, &context_, [this] { Read(); });
        return;
      }
      const QByteArray data = socket_->read(16 * 1024);
      if (data.isEmpty()) break;
      handled += data.size();
      reply_bytes_ += data.size();
      StartIfSet(read_timer_, limits_.read_timeout);
      Take(data);
    }
  }

  void Take(QByteArrayView data) {
    if (phase_ == Phase::kSending) {
      // A reply before the request was fully written still ends the
      // connect phase.
      phase_ = Phase::kHead;
      connect_timer_.stop();
    }
    if (phase_ == Phase::kHead) {
      head_.append(data);
      qsizetype end = head_.indexOf("\r\n\r\n");
      qsizetype end_size = 4;
      const qsizetype bare = head_.indexOf("\n\n");
      if (bare >= 0 && (end < 0 || bare < end)) {
        end = bare;
        end_size = 2;
      }
      if (end < 0) {
        if (head_.size() > kMaxHeadBytes) Fail(HttpError::kTooLarge);
        return;
      }
      if (end > kMaxHeadBytes) {
        Fail(HttpError::kTooLarge);
        return;
      }
      const qsizetype body_start = end + end_size;
      const QByteArray rest = head_.mid(body_start);
      head_.truncate(end);
      if (!TakeHead()) {
        // After an interim answer the real head follows in the same bytes.
        if (phase_ == Phase::kHead && !rest.isEmpty()) Take(rest);
        return;
      }
      if (phase_ == Phase::kBody && !rest.isEmpty()) TakeBody(rest);
      return;
    }
    if (phase_ == Phase::kBody) TakeBody(data);
  }

  // False when the exchange ended here.
  bool TakeHead() {
    header_timer_.stop();
    const QList<QByteArray> lines = head_.split('\n');
    const QByteArray status_line = lines.value(0).trimmed();
    if (!status_line.startsWith("HTTP/1.")) {
      Fail(HttpError::kNetwork);
      return false;
    }
    const QList<QByteArray> parts = status_line.split(' ');
    const std::optional<qint64> status = ParseDecimal(parts.value(1));
    if (!status || *status < 100 || *status > 999) {
      Fail(HttpError::kNetwork);
      return false;
    }
    status_ = static_cast<int>(*status);
    // HTTP/1.0 closes after each reply unless it says otherwise.
    bool keeps_open = !status_line.startsWith("HTTP/1.0");
    QByteArray location;
    for (qsizetype i = 1; i < lines.size(); ++i) {
      const QByteArray& line = lines[i];
      const qsizetype colon = line.indexOf(':');
      if (colon <= 0) continue;
      const QByteArray name = line.first(colon).trimmed().toLower();
      const QByteArray value = line.mid(colon + 1).trimmed();
      if (name == "content-length") {
        const std::optional<qint64> length = ParseDecimal(value);
        if (!length) {
          Fail(HttpError::kNetwork);
          return false;
        }
        content_length_ = *length;
      } else if (name == "transfer-encoding") {
        chunked_ = value.toLower().contains("chunked");
      } else if (name == "connection") {
        const QByteArray tokens = value.toLower();
        if (tokens.contains("close")) keeps_open = false;
        if (tokens.contains("keep-alive")) keeps_open = true;
      } else if (name == "location") {
        location = value;
      } else if (name == "set-cookie" && jar_) {
        jar_->setCookiesFromUrl(QNetworkCookie::parseCookies(value), request_.url);
      }
    }
    if (chunked_) content_length_ = -1;
    server_keeps_open_ = keeps_open;
    if (status_ >= 100 && status_ < 200) {
      // An interim answer: the real head follows.
      head_.clear();
      status_ = 0;
      StartIfSet(header_timer_, limits_.header_timeout);
      return false;
    }
    if (status_ >= 300 && status_ < 400 && options_.follow_safe_redirects) {
      Redirect(location);
      return false;
    }
    if (status_ < 200 || status_ > 299) {
      // A short refusal (a missing photo) is read to its end, so that its
      // connection can serve the next request.
      if (!pool_ || content_length_ < 0 || content_length_ > kMaxRefusalBodyBytes) {
        Fail(HttpError::kHttpStatus);
        return false;
      }
      refused_ = true;
    }
    if (content_length_ > limits_.max_body_bytes) {
      Fail(HttpError::kTooLarge);
      return false;
    }
    phase_ = Phase::kBody;
    if (content_length_ == 0 || status_ == 204) {
      Succeed();
      return false;
    }
    return true;
  }

  void Redirect(const QByteArray& location) {
    const QUrl target = request_.url.resolved(QUrl::fromEncoded(location));
    if (location.isEmpty() || ++redirects_ > kMaxRedirects ||
        !IsSafeWebLink(target.toString(QUrl::FullyEncoded).toStdString()) ||
        target.host().isEmpty()) {
      Fail(HttpError::kBadAddress);
      return;
    }
    DropSocket();
    request_.url = target;
    Open(/*may_reuse=*/true);
  }

  void TakeBody(QByteArrayView data) {
    if (!chunked_) {
      if (content_length_ >= 0) {
        const qint64 wanted = content_length_ - received_;
        if (data.size() > wanted) data = data.first(wanted);
      }
      Deliver(data);
      if (phase_ == Phase::kBody && content_length_ >= 0 && received_ >= content_length_) Succeed();
      return;
    }
    while (!data.isEmpty() && phase_ == Phase::kBody) {
      switch (chunk_state_) {
        case ChunkState::kSize:
        case ChunkState::kDataEnd:
        case ChunkState::kTrailer: {
          const qsizetype newline = data.indexOf('\n');
          const QByteArrayView part = newline < 0 ? data : data.first(newline);
          chunk_line_.append(part);
          if (chunk_line_.size() > kMaxChunkLineBytes) {
            Fail(HttpError::kTooLarge);
            return;
          }
          if (newline < 0) return;
          data = data.sliced(newline + 1);
          const QByteArray line = chunk_line_.trimmed();
          chunk_line_.clear();
          if (chunk_state_ == ChunkState::kDataEnd) {
            if (!line.isEmpty()) {
              Fail(HttpError::kNetwork);
              return;
            }
            chunk_state_ = ChunkState::kSize;
          } else if (chunk_state_ == ChunkState::kTrailer) {
            if (line.isEmpty()) Succeed();
          } else {
            const std::optional<qint64> size = ParseChunkSize(line);
            if (!size) {
              Fail(HttpError::kNetwork);
              return;
            }
            if (*size == 0) {
              chunk_state_ = ChunkState::kTrailer;
            } else {
              chunk_left_ = *size;
              chunk_state_ = ChunkState::kData;
            }
          }
          break;
        }
        case ChunkState::kData: {
          const qint64 take = std::min<qint64>(chunk_left_, data.size());
          Deliver(data.first(take));
          data = data.sliced(take);
          chunk_left_ -= take;
          if (chunk_left_ == 0) chunk_state_ = ChunkState::kDataEnd;
          break;
        }
      }
    }
  }

  void Deliver(QByteArrayView chunk) {
    if (chunk.isEmpty() || phase_ != Phase::kBody) return;
    received_ += chunk.size();
    if (received_ > limits_.max_body_bytes) {
      Fail(HttpError::kTooLarge);
      return;
    }
    if (refused_) return;
    if (options_.sink) {
      const HttpError sink_error = options_.sink(chunk.toByteArray());
      if (sink_error != HttpError::kNone) {
        Fail(sink_error);
        return;
      }
    } else {
      result_.body.append(chunk.data(), static_cast<size_t>(chunk.size()));
    }
    if (options_.progress != nullptr && *options_.progress &&
        !(*options_.progress)(received_, content_length_)) {
      Fail(HttpError::kCancelled);
    }
  }

  void Finish() {
    if (finished_) return;
    finished_ = true;
    phase_ = Phase::kDone;
    DropSocket();
    for (QTimer* timer : {&connect_timer_, &header_timer_, &read_timer_, &overall_timer_})
      timer->stop();
    if (has_jar_ && !jar_ && failure_ == HttpError::kNone) failure_ = HttpError::kClientDestroyed;
    result_.status = status_;
    if (failure_ == HttpError::kNone && (status_ < 200 || status_ > 299))
      failure_ = HttpError::kNetwork;
    if (failure_ != HttpError::kNone) {
      qCDebug(lcClub) << "request to" << request_.url.toString()
                      << "failed:" << QString::fromUtf8(HttpErrorName(failure_).data());
      result_.error = failure_;
      result_.body.clear();
    }
    // `done` may destroy this object.
    std::function<void(HttpResult)> done = std::move(done_);
    if (done) done(std::move(result_));
  }

  RequestSpec request_;
  QPointer<QNetworkCookieJar> jar_;
  bool has_jar_;
  QPointer<ConnectionPool> pool_;
  bool has_pool_;
  QString origin_;
  bool reused_ = false;
  bool server_keeps_open_ = false;
  bool refused_ = false;
  qint64 reply_bytes_ = 0;
  HttpLimits limits_;
  ExchangeOptions options_;
  std::function<void(HttpResult)> done_;
  QObject context_;
  QTimer connect_timer_;
  QTimer header_timer_;
  QTimer read_timer_;
  QTimer overall_timer_;
  QTcpSocket* socket_ = nullptr;
  QByteArray wire_;
  qint64 written_ = 0;
  Phase phase_ = Phase::kSending;
  QByteArray head_;
  int status_ = 0;
  qint64 content_length_ = -1;
  bool chunked_ = false;
  ChunkState chunk_state_ = ChunkState::kSize;
  QByteArray chunk_line_;
  qint64 chunk_left_ = 0;
  int redirects_ = 0;
  HttpResult result_;
  HttpError failure_ = HttpError::kNone;
  std::int64_t received_ = 0;
  bool finished_ = false;
};

namespace {

// Sends one request and waits for the whole reply in a nested event loop
// (excluding user input). Everything the
// wait touches lives in this frame, so timers that fire during the wait may
// start further exchanges (they nest) or destroy the client (the wait then
// ends with kClientDestroyed).
HttpResult Exchange(RequestSpec request, QNetworkCookieJar* jar, const HttpLimits& limits,
                    const ExchangeOptions& options, ConnectionPool* pool = nullptr) {
  HttpResult result;
  QEventLoop loop;
  PendingExchange exchange(
      std::move(request), jar, limits, options,
      [&](HttpResult r) {
        result = std::move(r);
        loop.quit();
      },
      pool);
  if (!exchange.finished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
  // The loop also ends when the application quits while we wait.
  if (!exchange.finished()) exchange.Abandon();
  return result;
}

RequestSpec Get(const QUrl& url) {
  RequestSpec request;
  request.method = "GET";
  request.url = url;
  return request;
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
    case HttpError::kHeaderTimeout:
      return "header time-out";
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

namespace {

RequestSpec ClubPost(const QUrl& url, const std::string& body) {
  RequestSpec request;
  request.method = "POST";
  request.url = url;
  request.headers = {{"User-Agent", "PlavoKeyStamp"},
                     {"Accept", "text/html, */*"},
                     {"Content-Type", "application/x-www-form-urlencoded"}};
  request.body = QByteArray(body.data(), static_cast<qsizetype>(body.size()));
  request.has_body = true;
  return request;
}

// Keeps a request tied to an owner's lifetime: a child of the owner, it goes
// with the owner (cancelling the request) or after the reply.
class OwnedRequest : public QObject {
 public:
  explicit OwnedRequest(QObject* owner) : QObject(owner) {}
  std::unique_ptr<ClubRequest> request;
};

}  // namespace

ClubRequest::ClubRequest() : context_(std::make_unique<QObject>()) {}

ClubRequest::~ClubRequest() = default;

void ClubRequest::Deliver(HttpResult result) {
  finished_ = true;
  // `done` may destroy this request.
  const HttpDone done = std::move(done_);
  if (done) done(std::move(result));
}

ClubClient::ClubClient(HttpLimits limits)
    : limits_(limits),
      jar_(std::make_unique<QNetworkCookieJar>()),
      pool_(std::make_unique<ConnectionPool>()) {}

ClubClient::~ClubClient() {
  // The exchanges still running end with kClientDestroyed when the jar goes;
  // their connections must not go back to a pool that is going too.
  pool_.reset();
}

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
  // Copies: `this` may be destroyed while the exchange waits.
  const HttpLimits limits = limits_;
  return Exchange(ClubPost(*url, body), jar_.get(), limits, ExchangeOptions{}, pool_.get());
}

HttpResult ClubClient::GetPlain(std::string_view address, const HttpLimits& limits) {
  const std::optional<QUrl> url = WebUrl(address);
  if (!url) return HttpResult{HttpError::kBadAddress, 0, {}};
  return Exchange(Get(*url), nullptr, limits, ExchangeOptions{}, pool_.get());
}

std::unique_ptr<ClubRequest> ClubClient::SendPlain(std::string_view address,
                                                   const std::vector<FormField>& fields,
                                                   HttpDone done) {
  return SendBody(address, PlainFormBody(fields), std::move(done));
}

std::unique_ptr<ClubRequest> ClubClient::SendList(std::string_view address,
                                                  const std::vector<std::string>& lines,
                                                  HttpDone done) {
  return SendBody(address, ListFormBody(lines), std::move(done));
}

std::unique_ptr<ClubRequest> ClubClient::SendBody(std::string_view address, const std::string& body,
                                                  HttpDone done) {
  return SendRequest(address, &body, limits_, std::move(done));
}

std::unique_ptr<ClubRequest> ClubClient::SendRequest(std::string_view address,
                                                     const std::string* post_body,
                                                     const HttpLimits& limits, HttpDone done) {
  std::unique_ptr<ClubRequest> request(new ClubRequest);
  ClubRequest* raw = request.get();
  raw->done_ = std::move(done);
  const std::optional<QUrl> url = WebUrl(address);
  if (!url) {
    QTimer::singleShot(0, raw->context_.get(), [raw] {
      raw->Deliver(HttpResult{HttpError::kBadAddress, 0, {}});
    });
    return request;
  }
  // A plain GET carries no cookie.
  raw->exchange_ = std::make_unique<PendingExchange>(
      post_body != nullptr ? ClubPost(*url, *post_body) : Get(*url),
      post_body != nullptr ? jar_.get() : nullptr, limits, ExchangeOptions{},
      [raw](HttpResult result) { raw->Deliver(std::move(result)); }, pool_.get());
  return request;
}

void ClubClient::SendBody(QObject* owner, std::string_view address, const std::string& body,
                          HttpDone done) {
  TieToOwner(owner, SendRequest(address, &body, limits_, {}), std::move(done));
}

void ClubClient::SendGet(QObject* owner, std::string_view address, HttpDone done,
                         const HttpLimits& limits) {
  TieToOwner(owner, SendRequest(address, nullptr, limits, {}), std::move(done));
}

void ClubClient::TieToOwner(QObject* owner, std::unique_ptr<ClubRequest> request, HttpDone done) {
  auto* holder = new OwnedRequest(owner);
  QPointer<OwnedRequest> alive(holder);
  // The request has not run `done` yet: that happens from the event loop.
  request->done_ = [alive, done = std::move(done)](HttpResult result) {
    // `done` may destroy the owner, and the holder with it.
    if (alive) alive->deleteLater();
    done(std::move(result));
  };
  holder->request = std::move(request);
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
  exchange_ = std::make_unique<PendingExchange>(Get(*url), nullptr, limits, ExchangeOptions{},
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

std::unique_ptr<BackgroundGet> FetchConfigPageInBackground(
    const HttpLimits& limits, std::function<void(ConfigPageText)> done) {
  return std::make_unique<BackgroundGet>(
      ConfigPageAddress(), limits,
      [done = std::move(done)](const HttpResult& result) { done(ConfigPageFromReply(result)); });
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

namespace {

ExchangeOptions DownloadOptions(QSaveFile& file, const DownloadProgress* progress) {
  ExchangeOptions options;
  options.follow_safe_redirects = true;
  options.progress = progress;
  options.sink = [&file](const QByteArray& chunk) {
    return file.write(chunk) == chunk.size() ? HttpError::kNone : HttpError::kWriteFailed;
  };
  return options;
}

}  // namespace

BackgroundDownload::BackgroundDownload(std::string_view url, const std::string& path,
                                       DownloadProgressShown progress,
                                       std::function<void(HttpError)> done,
                                       const HttpLimits& limits)
    : context_(std::make_unique<QObject>()),
      file_(std::make_unique<QSaveFile>(QFile::decodeName(QByteArray::fromStdString(path)))),
      shown_(std::move(progress)),
      done_(std::move(done)) {
  const std::optional<QUrl> web_url = WebUrl(url);
  const HttpError refused = !web_url                             ? HttpError::kBadAddress
                            : !file_->open(QIODevice::WriteOnly) ? HttpError::kWriteFailed
                                                                 : HttpError::kNone;
  if (refused != HttpError::kNone) {
    QTimer::singleShot(0, context_.get(), [this, refused] { End(refused); });
    return;
  }
  progress_ = [this](std::int64_t received, std::int64_t total) {
    received_ = received;
    total_ = total;
    // Shown from the next pass of the event loop, once for all that arrived
    // meanwhile: whatever the callback does (a modal progress window handles
    // events) happens outside the exchange.
    if (!progress_posted_) {
      progress_posted_ = true;
      QTimer::singleShot(0, context_.get(), [this] {
        progress_posted_ = false;
        if (shown_ && !finished_) shown_(received_, total_);
      });
    }
    return true;
  };
  exchange_ = std::make_unique<PendingExchange>(
      Get(*web_url), nullptr, limits, DownloadOptions(*file_, &progress_),
      [this](const HttpResult& result) {
        if (!result.ok()) {
          End(result.error);
          return;
        }
        End(file_->commit() ? HttpError::kNone : HttpError::kWriteFailed);
      });
}

BackgroundDownload::~BackgroundDownload() {
  // The exchange goes first (it writes into the file); an uncommitted save
  // file removes its temporary file as it goes.
  exchange_.reset();
}

void BackgroundDownload::End(HttpError error) {
  if (finished_) return;
  finished_ = true;
  if (file_->isOpen()) {
    // Nothing of a failed download stays: the temporary file goes now.
    file_->cancelWriting();
    file_->commit();
  }
  if (error == HttpError::kNone && progress_posted_ && shown_) shown_(received_, total_);
  progress_posted_ = false;
  // `done` may destroy this object.
  std::function<void(HttpError)> done = std::move(done_);
  if (done) done(error);
}

}  // namespace braxo
