// The club's side of the photo upload. Members upload over FTP to a packaged
// daemon (pure-ftpd) that asks braxo-club two things: is this nick and club
// password a member (its external authentication), and may this uploaded file
// become that member's photo (its upload hook). Each member logs in to a
// folder of their own; only a JPEG of exactly 200 × 250 pixels, at most
// 200 KiB, named after the member, replaces "<nick>.jpg" in the photo folder.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "service/ClubService.h"

namespace braxo::club {

inline constexpr std::size_t kMaxPhotoUploadBytes = 200 * 1024;
inline constexpr int kPhotoWidth = 200;
inline constexpr int kPhotoHeight = 250;

struct JpegSize {
  int width = 0;
  int height = 0;
};

// The frame size of a baseline or progressive JPEG, read from its start of
// frame marker; nothing for bytes that are not a whole JPEG (start and end
// markers, well-formed segments before the frame).
std::optional<JpegSize> ReadJpegSize(std::string_view bytes);

enum class PhotoVerdict { kAccepted, kWrongName, kNotJpeg, kWrongSize, kTooLarge, kFailed };

const char* PhotoVerdictText(PhotoVerdict verdict);

// Whether `nick` can name a member's folder and photo file: not empty, no
// "/", "\", "..", control bytes or leading dot.
bool IsSafeFileNick(const std::string& nick);

// Decides on one uploaded file at `upload_path`, which must lie directly in
// the member's folder `<spool_dir>/<nick>/` and be named "<nick>.jpg" (letter
// case aside). An accepted photo replaces `<photo_dir>/<nick>.jpg`
// atomically. The upload is removed whatever the verdict.
PhotoVerdict AcceptPhoto(const std::string& upload_path, const std::string& spool_dir,
                         const std::string& photo_dir);

// What the daemon's external authentication reads back: "auth_ok:1" with
// the member's uid, gid and folder, or "auth_ok:-1" (refused).
struct FtpLogin {
  bool ok = false;
  std::string folder;
};

// Checks a member's nick and club password (with the club's failed-login
// limits, counted against `address`) and, for a member, empties and makes
// their folder `<spool_dir>/<nick>` owned by the spool folder's owner, whom
// the daemon then runs the session as.
FtpLogin CheckFtpLogin(ClubService& service, const std::string& nick, const std::string& password,
                       const std::string& address, double now, const std::string& spool_dir);

// The reply text for the daemon, with the spool folder's owner as uid and gid.
std::string FtpLoginReply(const FtpLogin& login, const std::string& spool_dir);

}  // namespace braxo::club
