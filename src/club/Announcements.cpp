#include "club/Announcements.h"

#include "club/WebLink.h"
#include "club/wire/ConfigPageKeys.h"

namespace braxo {
namespace {

std::string SafeLink(std::optional<std::string> link) {
  if (!link || link->size() > kMaxLinkBytes || !IsSafeWebLink(*link)) return {};
  return std::move(*link);
}

// At most kMaxNoticeTextBytes, cut before a whole UTF-8 character.
std::string NoticeText(std::string text) {
  if (text.size() <= kMaxNoticeTextBytes) return text;
  size_t end = kMaxNoticeTextBytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}

// Reads the "#"-ended values that follow one another after a key. A value
// without a closing "#" runs to the end of the page; the values after it are
// empty.
class ValueCursor {
 public:
  ValueCursor(std::string_view page, size_t start) : page_(page), pos_(start) {}

  std::string Next() {
    if (pos_ >= page_.size()) {
      pos_ = page_.size() + 1;
      return {};
    }
    const size_t end = page_.find('#', pos_);
    if (end == std::string_view::npos) {
      std::string value(page_.substr(pos_));
      pos_ = page_.size() + 1;
      return value;
    }
    std::string value(page_.substr(pos_, end - pos_));
    pos_ = end + 1;
    return value;
  }

 private:
  std::string_view page_;
  size_t pos_;
};

}  // namespace

bool ReadAnnouncements(const ConfigPageText& page, StartupNews& news) {
  news.download_link.clear();
  news.store_link.clear();
  if (!page) return false;

  news.store_link = SafeLink(FindConfigValue(*page, wire::config_key::kStoreLink));
  news.download_link = SafeLink(FindConfigValue(*page, wire::config_key::kDownloadLink));

  const std::optional<size_t> start = FindConfigValueStart(*page, wire::config_key::kAnnouncement);
  if (!start) {
    news.announcement = ClubAnnouncement{};
    return true;
  }
  ValueCursor cursor(*page, *start);
  news.announcement.shown = cursor.Next() == "Y";
  news.announcement.main_text = NoticeText(cursor.Next());
  news.announcement.second_text = NoticeText(cursor.Next());
  news.announcement.link = SafeLink(cursor.Next());
  cursor.Next();
  return true;
}

DownloadPlan PlanDownload(std::string_view download_link, std::string_view previous_file_name) {
  DownloadPlan plan;
  plan.file_name = std::string(previous_file_name);
  if (download_link.empty() || !IsSafeWebLink(download_link)) return plan;
  plan.available = true;
  const size_t slash = download_link.rfind('/');
  if (slash != std::string_view::npos)
    plan.file_name = std::string(download_link.substr(slash + 1));
  const size_t dot = download_link.rfind('.');
  if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash)) {
    plan.extension = std::string(download_link.substr(dot + 1));
  }
  plan.filter = "|*." + plan.extension;
  return plan;
}

std::optional<std::string> StoreLinkToOpen(std::string_view store_link) {
  if (store_link.empty() || !IsSafeWebLink(store_link)) return std::nullopt;
  return std::string(store_link);
}

}  // namespace braxo
