#include "service/PhotoAcceptance.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "store/NickKey.h"

namespace braxo::club {
namespace {

namespace fs = std::filesystem;

bool IsFrameMarker(unsigned char m) {
  // SOF0..SOF15 but DHT (C4), JPG (C8) and DAC (CC), which share the range.
  return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

// Reads at most `limit` + 1 bytes of a regular file, never through a link.
std::optional<std::string> ReadUpload(const std::string& path, std::size_t limit) {
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return std::nullopt;
  }
  std::string data;
  char buffer[16384];
  while (data.size() <= limit) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0) {
      close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    data.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  return data;
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = write(fd, data.data(), data.size());
    if (n <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Replaces `target` by `data`: a temporary file in the same folder, flushed,
// then renamed over it, so a reader sees the old photo or the new one.
bool ReplaceFile(const fs::path& target, std::string_view data) {
  std::string temp =
      (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  const bool written = WriteAll(fd, data) && fchmod(fd, 0644) == 0 && fsync(fd) == 0;
  close(fd);
  if (!written || rename(temp.c_str(), target.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  const int dir = open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

}  // namespace

std::optional<JpegSize> ReadJpegSize(std::string_view bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  if (n < 4 || b[0] != 0xFF || b[1] != 0xD8 || b[n - 2] != 0xFF || b[n - 1] != 0xD9)
    return std::nullopt;
  std::optional<JpegSize> size;
  std::size_t pos = 2;
  while (pos < n) {
    if (b[pos] != 0xFF) return std::nullopt;
    while (pos < n && b[pos] == 0xFF) ++pos;
    if (pos >= n) return std::nullopt;
    const unsigned char marker = b[pos++];
    if (marker == 0x00 || marker == 0xD8 || marker == 0xD9) return std::nullopt;
    if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) continue;
    if (pos + 2 > n) return std::nullopt;
    const std::size_t length = (std::size_t{b[pos]} << 8) | b[pos + 1];
    if (length < 2 || length > n - pos) return std::nullopt;
    if (IsFrameMarker(marker)) {
      if (size || length < 8) return std::nullopt;
      const int height = (b[pos + 3] << 8) | b[pos + 4];
      const int width = (b[pos + 5] << 8) | b[pos + 6];
      if (width == 0 || height == 0) return std::nullopt;
      size = JpegSize{width, height};
    } else if (marker == 0xDA) {
      // The first scan: the frame must have come before it.
      return size;
    }
    pos += length;
  }
  return std::nullopt;
}

const char* PhotoVerdictText(PhotoVerdict verdict) {
  switch (verdict) {
    case PhotoVerdict::kAccepted:
      return "accepted";
    case PhotoVerdict::kWrongName:
      return "refused: not the member's own photo file";
    case PhotoVerdict::kNotJpeg:
      return "refused: not a JPEG picture";
    case PhotoVerdict::kWrongSize:
      return "refused: not 200 x 250 pixels";
    case PhotoVerdict::kTooLarge:
      return "refused: larger than 200 KiB";
    case PhotoVerdict::kFailed:
      return "failed: the photo could not be stored";
  }
  return "failed";
}

bool IsSafeFileNick(const std::string& nick) {
  if (nick.empty() || nick.size() > 64 || nick.front() == '.' ||
      nick.find("..") != std::string::npos)
    return false;
  for (const char ch : nick) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F || c == '/' || c == '\\') return false;
  }
  return true;
}

PhotoVerdict AcceptPhoto(const std::string& upload_path, const std::string& spool_dir,
                         const std::string& photo_dir) {
  struct RemoveUpload {
    const std::string& path;
    ~RemoveUpload() { unlink(path.c_str()); }
  } remove_upload{upload_path};

  std::error_code ec;
  const fs::path upload(upload_path);
  const fs::path folder = fs::canonical(upload.parent_path(), ec);
  if (ec) return PhotoVerdict::kWrongName;
  const fs::path spool = fs::canonical(spool_dir, ec);
  if (ec) return PhotoVerdict::kFailed;
  const std::string nick = folder.filename().string();
  if (folder.parent_path() != spool || !IsSafeFileNick(nick) ||
      NickKey(upload.filename().string()) != NickKey(nick + ".jpg"))
    return PhotoVerdict::kWrongName;

  const auto data = ReadUpload(upload_path, kMaxPhotoUploadBytes);
  if (!data) return PhotoVerdict::kNotJpeg;
  if (data->size() > kMaxPhotoUploadBytes) return PhotoVerdict::kTooLarge;
  const auto size = ReadJpegSize(*data);
  if (!size) return PhotoVerdict::kNotJpeg;
  if (size->width != kPhotoWidth || size->height != kPhotoHeight) return PhotoVerdict::kWrongSize;
  fs::create_directories(photo_dir, ec);
  return ReplaceFile(fs::path(photo_dir) / (nick + ".jpg"), *data) ? PhotoVerdict::kAccepted
                                                                   : PhotoVerdict::kFailed;
}

FtpLogin CheckFtpLogin(ClubService& service, const std::string& nick, const std::string& password,
                       const std::string& address, double now, const std::string& spool_dir) {
  FtpLogin login;
  const SessionResult checked =
      service.CheckPassword(RequestContext{address, "", now}, nick, password);
  if (checked.status != Status::kOk || !IsSafeFileNick(checked.account.nick)) return login;
  struct stat owner {};
  if (stat(spool_dir.c_str(), &owner) != 0 || !S_ISDIR(owner.st_mode)) return login;
  // A fresh, empty folder at each login: nothing a member left there before
  // (folders, refused files) survives.
  const fs::path folder = fs::path(spool_dir) / checked.account.nick;
  std::error_code ec;
  fs::remove_all(folder, ec);
  if (ec || !fs::create_directory(folder, ec) || ec) return login;
  if (chown(folder.c_str(), owner.st_uid, owner.st_gid) != 0 && geteuid() == 0) return login;
  chmod(folder.c_str(), 0700);
  login.ok = true;
  login.folder = folder.string();
  return login;
}

std::string FtpLoginReply(const FtpLogin& login, const std::string& spool_dir) {
  struct stat owner {};
  if (!login.ok || stat(spool_dir.c_str(), &owner) != 0) return "auth_ok:-1\nend\n";
  return "auth_ok:1\nuid:" + std::to_string(owner.st_uid) +
         "\ngid:" + std::to_string(owner.st_gid) + "\ndir:" + login.folder + "\nend\n";
}

}  // namespace braxo::club
