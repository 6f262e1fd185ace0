#include "club/PhotoUpload.h"

#include <curl/curl.h>

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QUrl>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <optional>

#include "club/AccountService.h"
#include "club/BuiltinAddresses.h"
#include "club/Scramble.h"
#include "system/LoadedLibrary.h"

namespace braxo {
namespace {

struct Source {
  const std::string* bytes = nullptr;
  std::size_t sent = 0;
};

std::size_t ReadChunk(char* buffer, std::size_t size, std::size_t count, void* user) {
  auto* source = static_cast<Source*>(user);
  const std::size_t left = source->bytes->size() - source->sent;
  const std::size_t chunk = std::min(left, size * count);
  std::memcpy(buffer, source->bytes->data() + source->sent, chunk);
  source->sent += chunk;
  return chunk;
}

// Asked by libcurl about once a second and at every transfer step; a
// non-zero answer breaks the transfer off.
int StopWhenAsked(void* stop, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<const std::atomic<bool>*>(stop)->load() ? 1 : 0;
}

// libcurl is opened at the first upload, not linked: it and the libraries it
// pulls in would otherwise be loaded before the window shows, for a photo few
// starts ever send.
struct CurlLibrary {
  decltype(&curl_global_init) global_init = nullptr;
  decltype(&curl_easy_init) easy_init = nullptr;
  decltype(&curl_easy_setopt) easy_setopt = nullptr;
  decltype(&curl_easy_perform) easy_perform = nullptr;
  decltype(&curl_easy_cleanup) easy_cleanup = nullptr;
};

// libcurl takes its numeric options as C long.
using CurlLong = long;  // NOLINT(google-runtime-int)

// The library, initialised once; nullptr when it cannot be opened (the
// upload then fails as one the club refused would).
const CurlLibrary* Curl() {
  static const std::optional<CurlLibrary> curl = []() -> std::optional<CurlLibrary> {
    LoadedLibrary library("libcurl.so.4");
    CurlLibrary fn;
    if (!(library.Resolve("curl_global_init", fn.global_init) &&
          library.Resolve("curl_easy_init", fn.easy_init) &&
          library.Resolve("curl_easy_setopt", fn.easy_setopt) &&
          library.Resolve("curl_easy_perform", fn.easy_perform) &&
          library.Resolve("curl_easy_cleanup", fn.easy_cleanup)))
      return std::nullopt;
    if (fn.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return std::nullopt;
    return fn;
  }();
  return curl ? &*curl : nullptr;
}

}  // namespace

PhotoCheck CheckPhotoBytes(const std::string& bytes) {
  if (bytes.size() > kMaxPhotoFileBytes) return PhotoCheck::kTooLarge;
  QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  // Judged by the content: a PNG named ".jpg" is not a photo.
  reader.setDecideFormatFromContent(true);
  if (reader.format() != "jpeg") return PhotoCheck::kNotJpeg;
  const QImage picture = reader.read();
  if (picture.isNull()) return PhotoCheck::kNotJpeg;
  if (picture.width() != kPhotoWidth || picture.height() != kPhotoHeight)
    return PhotoCheck::kWrongSize;
  return PhotoCheck::kOk;
}

PhotoCheck ReadPhotoFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  std::ifstream file(path, std::ios::binary);
  if (!file) return PhotoCheck::kUnreadable;
  bytes.resize(kMaxPhotoFileBytes + 1);
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (file.bad()) return PhotoCheck::kUnreadable;
  bytes.resize(static_cast<std::size_t>(file.gcount()));
  return CheckPhotoBytes(bytes);
}

std::string PhotoFtpFolder(const ClubServiceState& services) {
  if (!services.ftp_address.empty()) {
    std::string folder = UnscrambleAddress(services.ftp_address, kAccountKey);
    if (QUrl(QString::fromStdString(folder)).scheme() == "ftp") return folder;
  }
  const std::string account = UnscrambleAddress(services.account_address.empty()
                                                    ? BuiltinAccountAddress()
                                                    : std::string_view(services.account_address),
                                                kAccountKey);
  const QUrl url(QString::fromStdString(account));
  if (url.host().isEmpty()) return {};
  QUrl ftp;
  ftp.setScheme("ftp");
  ftp.setHost(url.host());
  ftp.setPort(kDefaultPhotoFtpPort);
  ftp.setPath("/");
  return ftp.toString(QUrl::FullyEncoded).toStdString();
}

std::string PhotoUploadAddress(std::string_view folder, std::string_view nick) {
  return PhotoAddress(folder, nick);
}

bool UploadPhoto(const std::string& address, std::string_view user, std::string_view password,
                 const std::string& jpeg, FtpLimits limits, const std::atomic<bool>* stop) {
  if (address.rfind("ftp://", 0) != 0) return false;
  const CurlLibrary* library = Curl();
  if (library == nullptr) return false;
  const auto setopt = library->easy_setopt;
  CURL* curl = library->easy_init();
  if (!curl) return false;
  Source source{&jpeg};
  const std::string user_text(user);
  const std::string password_text(password);
  setopt(curl, CURLOPT_URL, address.c_str());
  setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
  setopt(curl, CURLOPT_USERNAME, user_text.c_str());
  setopt(curl, CURLOPT_PASSWORD, password_text.c_str());
  setopt(curl, CURLOPT_UPLOAD, 1L);
  setopt(curl, CURLOPT_READFUNCTION, ReadChunk);
  setopt(curl, CURLOPT_READDATA, &source);
  setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(jpeg.size()));
  // Passive mode: the game opens both connections, so no firewall in front
  // of the player has to let one in.
  setopt(curl, CURLOPT_FTPPORT, nullptr);
  setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<CurlLong>(limits.connect.count()));
  setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<CurlLong>(limits.total.count()));
  setopt(curl, CURLOPT_NOSIGNAL, 1L);
  if (stop != nullptr) {
    setopt(curl, CURLOPT_XFERINFOFUNCTION, StopWhenAsked);
    // libcurl only hands the pointer back to StopWhenAsked.
    setopt(curl, CURLOPT_XFERINFODATA, stop);
    setopt(curl, CURLOPT_NOPROGRESS, 0L);
  }
  const CURLcode result = library->easy_perform(curl);
  library->easy_cleanup(curl);
  return result == CURLE_OK && source.sent == jpeg.size();
}

}  // namespace braxo
