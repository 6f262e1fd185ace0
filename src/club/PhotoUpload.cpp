#include "club/PhotoUpload.h"

#include <curl/curl.h>

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QUrl>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <mutex>

#include "club/AccountService.h"
#include "club/BuiltinAddresses.h"
#include "club/Scramble.h"

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

void InitialiseCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
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
                 const std::string& jpeg, FtpLimits limits) {
  if (address.rfind("ftp://", 0) != 0) return false;
  InitialiseCurlOnce();
  CURL* curl = curl_easy_init();
  if (!curl) return false;
  Source source{&jpeg};
  const std::string user_text(user);
  const std::string password_text(password);
  curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
  curl_easy_setopt(curl, CURLOPT_USERNAME, user_text.c_str());
  curl_easy_setopt(curl, CURLOPT_PASSWORD, password_text.c_str());
  curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(curl, CURLOPT_READFUNCTION, ReadChunk);
  curl_easy_setopt(curl, CURLOPT_READDATA, &source);
  curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(jpeg.size()));
  // Passive mode: the game opens both connections, so no firewall in front
  // of the player has to let one in.
  curl_easy_setopt(curl, CURLOPT_FTPPORT, nullptr);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connect.count()));
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.total.count()));
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  const CURLcode result = curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  return result == CURLE_OK && source.sent == jpeg.size();
}

}  // namespace braxo
