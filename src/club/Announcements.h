// The start-up announcement and the two download links carried by the remote
// configuration page, and what the download and store icons do with them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "club/ConfigPage.h"

namespace braxo {

// Longer links from the page are dropped; longer notice texts are cut.
inline constexpr std::size_t kMaxLinkBytes = 2048;
inline constexpr std::size_t kMaxNoticeTextBytes = 1024;

struct ClubAnnouncement {
  bool shown = false;  // show it once at start-up
  std::string main_text;
  std::string second_text;
  std::string link;
};

// Set once at start-up, UTF-8. Links are kept only when IsSafeWebLink holds;
// any other link from the page is dropped as if the page had none.
struct StartupNews {
  ClubAnnouncement announcement;
  std::string download_link;  // the installable package; empty when none
  std::string store_link;     // the store page; the store icon shows only when set
};

// Clears both links, then, when the page was fetched, takes "Google_Play_Link_Braxo",
// "DownLoad_Link_Braxo" and the five values of "NewsBraxo2.5" (flag "Y" shows
// the announcement, main text, second text, link, an unused number; each
// value ends at the next "#", the first starts one character after the key).
// Without that key the announcement is cleared. A failed fetch keeps the
// announcement and returns false.
bool ReadAnnouncements(const ConfigPageText& page, StartupNews& news);

// What the download icon does.
struct DownloadPlan {
  bool available = false;  // false: tell the player the package is unavailable
  std::string file_name;   // proposed to the save dialog
  std::string extension;   // without the dot; may be empty
  std::string filter;      // the dialog's filter: "|*." + extension
};

// `previous_file_name` is what the save dialog proposed last time; a link
// without "/" keeps it. The extension is the text after the last "." of the
// link's last path segment (a dot in the host does not count). A link that is
// not a safe web link is unavailable.
DownloadPlan PlanDownload(std::string_view download_link, std::string_view previous_file_name);

// The store link to open with the system's handler, or nothing when it is
// empty or not a safe web link.
std::optional<std::string> StoreLinkToOpen(std::string_view store_link);

}  // namespace braxo
