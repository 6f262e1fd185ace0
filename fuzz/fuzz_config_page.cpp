// The configuration page readers, the remote configuration and the
// announcements on arbitrary page text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "club/Announcements.h"
#include "club/ConfigPage.h"
#include "club/Scramble.h"
#include "club/WebLink.h"

namespace {

bool UsableAddress(const std::string& scrambled) {
  return !scrambled.empty() && braxo::IsText64(scrambled);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const braxo::ConfigPageText page(std::string(reinterpret_cast<const char*>(data), size));

  for (const char* key : {"WTGamesPatt", "StatPath", "AccPath", "NewsBraxo2.5", ""}) {
    const auto value = braxo::FindConfigValue(*page, key);
    if (value && value->size() > size) std::abort();
  }

  const braxo::TopTenConfig top_ten = braxo::FetchTopTenConfig(page);
  if (top_ten.result != "old" && top_ten.result != "pause" && !UsableAddress(top_ten.result)) {
    std::abort();
  }
  for (const std::string& address :
       {braxo::FetchStatConfig(page), braxo::FetchAccountConfig(page)}) {
    if (!address.empty() && !braxo::IsText64(address)) std::abort();
  }

  braxo::Settings settings;
  settings.top_ten_address.scrambled = "AAAA";
  settings.stat_address.scrambled = "BBBB";
  braxo::ClubServiceState services;
  braxo::ApplyRemoteConfig(page, settings, services);
  if (!UsableAddress(settings.top_ten_address.scrambled) ||
      !UsableAddress(settings.stat_address.scrambled) || !UsableAddress(services.account_address)) {
    std::abort();
  }

  braxo::StartupNews news;
  braxo::ReadAnnouncements(page, news);
  for (const std::string* link : {&news.download_link, &news.store_link, &news.announcement.link}) {
    if (!link->empty() && !braxo::IsSafeWebLink(*link)) std::abort();
  }
  const braxo::DownloadPlan plan = braxo::PlanDownload(news.download_link, "");
  if (plan.available == news.download_link.empty()) std::abort();
  braxo::StoreLinkToOpen(news.store_link);
  return 0;
}
