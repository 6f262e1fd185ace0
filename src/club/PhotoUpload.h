// A member's photo: what a file must be before it is sent, where it goes, and
// the upload itself (FTP in passive mode, logged in as the member, so that the
// club's FTP side lets each member replace only their own photo).
#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <string_view>

#include "club/ConfigPage.h"

namespace braxo {

inline constexpr int kPhotoWidth = 200;
inline constexpr int kPhotoHeight = 250;
inline constexpr std::size_t kMaxPhotoFileBytes = 200 * 1024;
// The club's FTP port when the configuration page names none.
inline constexpr int kDefaultPhotoFtpPort = 2121;

enum class PhotoCheck { kOk, kUnreadable, kNotJpeg, kWrongSize, kTooLarge };

// Checks the bytes of a chosen file: a JPEG picture (by its content, not its
// name) of exactly 200 x 250 pixels, in at most 200 KiB. An empty or foreign
// file is kNotJpeg.
PhotoCheck CheckPhotoBytes(const std::string& bytes);

// Reads a file of at most 200 KiB (one byte more is read to tell a larger
// file); kUnreadable when it cannot be opened, otherwise CheckPhotoBytes.
// `bytes` holds what was read, so that exactly the checked bytes are sent.
PhotoCheck ReadPhotoFile(const std::string& path, std::string& bytes);

// The FTP folder of the members' photos: the configuration page's "FtpPath"
// (scrambled in `services`) when there is one, otherwise "ftp://" + the host
// of the account service + ":2121/". Empty when neither gives an address.
std::string PhotoFtpFolder(const ClubServiceState& services);

// The upload address of `nick`'s photo in `folder` (the nick percent-encoded,
// then ".jpg").
std::string PhotoUploadAddress(std::string_view folder, std::string_view nick);

struct FtpLimits {
  std::chrono::milliseconds connect{5000};
  std::chrono::milliseconds total{20000};
};

// Stores `jpeg` at `address` (an "ftp://" address only) in passive mode,
// logged in as `user` with `password`. True only when the server confirmed
// the whole file. Never longer than `limits.total`. Blocks the calling
// thread; `stop` (when given) set from another thread breaks the transfer
// off soon after, as a failure.
bool UploadPhoto(const std::string& address, std::string_view user, std::string_view password,
                 const std::string& jpeg, FtpLimits limits = {},
                 const std::atomic<bool>* stop = nullptr);

}  // namespace braxo
