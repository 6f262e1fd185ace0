#include "club/Announcements.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "club/WebLink.h"

namespace braxo {
namespace {

TEST(WebLinkTest, OnlyHttpAndHttpsAddressesAreSafe) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"http://example.org/Braxo.apk", true},
      {"https://example.org", true},
      {"HTTPS://Example.org/a?b=c#d", true},
      {"http://127.0.0.1:8676/", true},
      {"http://user@host/", true},
      {"http://[::1]:80/", true},
      {"", false},
      {"http://", false},
      {"http:///path", false},
      {"http://:80/", false},
      {"http://user@/", false},
      {"file:///etc/passwd", false},
      {"javascript:alert(1)", false},
      {"mailto:a@b.c", false},
      {"ftp://example.org/x", false},
      {"//example.org/x", false},
      {"example.org", false},
      {"/usr/bin/xterm", false},
      {"C:\\Windows\\calc.exe", false},
      {"http://example.org/a b", false},
      {"http://example.org/\n", false},
      {"http://exa\\mple.org/", false},
      {" http://example.org/", false},
  };
  for (const auto& [link, safe] : cases) EXPECT_EQ(IsSafeWebLink(link), safe) << link;
}

struct NewsCase {
  std::string page;
  ClubAnnouncement announcement;
  std::string download;
  std::string store;
};

TEST(AnnouncementsTest, ReadsLinksAndTheFiveAnnouncementValues) {
  const std::vector<NewsCase> cases = {
      {"", {}, "", ""},
      {"NewsBraxo2.5=Y#Hello#World#https://example.org/news#7#",
       {true, "Hello", "World", "https://example.org/news"},
       "",
       ""},
      // Lower-case "y" or "N" is not shown; the texts are still read.
      {"NewsBraxo2.5=y#Hello#World#https://e.org/#1#",
       {false, "Hello", "World", "https://e.org/"},
       "",
       ""},
      {"NewsBraxo2.5:N#Привет#мир##0#", {false, "Привет", "мир", ""}, "", ""},
      // Missing values: the last one runs to the end, the rest stay empty.
      {"NewsBraxo2.5=Y#Only text", {true, "Only text", "", ""}, "", ""},
      {"NewsBraxo2.5=Y", {true, "", "", ""}, "", ""},
      {"NewsBraxo2.5=Y#a#b#file:///etc/passwd#0#", {true, "a", "b", ""}, "", ""},
      {"DownLoad_Link_Braxo=https://example.org/Braxo.apk#Google_Play_Link_Braxo=https://"
       "store.example/braxo#",
       {},
       "https://example.org/Braxo.apk",
       "https://store.example/braxo"},
      {"DownLoad_Link_Braxo=file:///bin/sh#Google_Play_Link_Braxo=javascript:x#", {}, "", ""},
      {"DownLoad_Link_Braxo=https://example.org/Braxo.apk",
       {},
       "https://example.org/Braxo.apk",
       ""},
  };
  for (const NewsCase& c : cases) {
    StartupNews news;
    news.download_link = "stale";
    news.store_link = "stale";
    news.announcement = {true, "stale", "stale", "stale"};
    EXPECT_TRUE(ReadAnnouncements(ConfigPageText(c.page), news));
    EXPECT_EQ(news.announcement.shown, c.announcement.shown) << c.page;
    EXPECT_EQ(news.announcement.main_text, c.announcement.main_text) << c.page;
    EXPECT_EQ(news.announcement.second_text, c.announcement.second_text) << c.page;
    EXPECT_EQ(news.announcement.link, c.announcement.link) << c.page;
    EXPECT_EQ(news.download_link, c.download) << c.page;
    EXPECT_EQ(news.store_link, c.store) << c.page;
  }
}

TEST(AnnouncementsTest, OverlongValuesAreCutOrDropped) {
  const std::string long_link = "https://club.example/" + std::string(kMaxLinkBytes, 'a');
  std::string text;
  while (text.size() < 2 * kMaxNoticeTextBytes) text += "Ж";  // two bytes each
  text = "x" + text;  // so that the cut falls inside a character
  StartupNews news;
  ASSERT_TRUE(ReadAnnouncements(ConfigPageText("DownLoad_Link_Braxo=" + long_link +
                                               "#Google_Play_Link_Braxo=https://s.example/#"
                                               "NewsBraxo2.5=Y#" +
                                               text + "#short#" + long_link + "#0#"),
                                news));
  EXPECT_EQ(news.download_link, "");
  EXPECT_EQ(news.store_link, "https://s.example/");
  EXPECT_TRUE(news.announcement.shown);
  EXPECT_EQ(news.announcement.main_text.size(), kMaxNoticeTextBytes - 1);
  EXPECT_EQ(news.announcement.main_text, text.substr(0, kMaxNoticeTextBytes - 1));
  EXPECT_EQ(news.announcement.second_text, "short");
  EXPECT_EQ(news.announcement.link, "");
}

TEST(AnnouncementsTest, FailedFetchClearsTheLinksAndKeepsTheAnnouncement) {
  StartupNews news;
  news.download_link = "https://example.org/old.apk";
  news.store_link = "https://example.org/store";
  news.announcement = {true, "kept", "", ""};
  EXPECT_FALSE(ReadAnnouncements(std::nullopt, news));
  EXPECT_EQ(news.download_link, "");
  EXPECT_EQ(news.store_link, "");
  EXPECT_TRUE(news.announcement.shown);
  EXPECT_EQ(news.announcement.main_text, "kept");
}

TEST(AnnouncementsTest, PlanDownloadProposesTheNameAndExtension) {
  struct Case {
    std::string link;
    std::string previous;
    DownloadPlan plan;
  };
  const std::vector<Case> cases = {
      {"https://example.org/files/Braxo.apk", "", {true, "Braxo.apk", "apk", "|*.apk"}},
      {"https://example.org/files/Braxo.tar.gz", "x", {true, "Braxo.tar.gz", "gz", "|*.gz"}},
      // No dot in the last segment: the host's dots do not make an extension.
      {"https://example.org/download", "", {true, "download", "", "|*."}},
      {"https://example.org/", "old.apk", {true, "", "", "|*."}},
      {"", "old.apk", {false, "old.apk", "", ""}},
      {"file:///tmp/Braxo.apk", "", {false, "", "", ""}},
      {"Braxo.apk", "", {false, "", "", ""}},
  };
  for (const Case& c : cases) {
    const DownloadPlan plan = PlanDownload(c.link, c.previous);
    EXPECT_EQ(plan.available, c.plan.available) << c.link;
    EXPECT_EQ(plan.file_name, c.plan.file_name) << c.link;
    EXPECT_EQ(plan.extension, c.plan.extension) << c.link;
    EXPECT_EQ(plan.filter, c.plan.filter) << c.link;
  }
}

TEST(AnnouncementsTest, StoreLinkIsOpenedOnlyWhenItIsAWebAddress) {
  EXPECT_EQ(StoreLinkToOpen("https://store.example/braxo"), "https://store.example/braxo");
  EXPECT_EQ(StoreLinkToOpen(""), std::nullopt);
  EXPECT_EQ(StoreLinkToOpen("file:///usr/bin/xterm"), std::nullopt);
  EXPECT_EQ(StoreLinkToOpen("/usr/bin/xterm"), std::nullopt);
}

}  // namespace
}  // namespace braxo
