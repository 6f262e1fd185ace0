// The world top ten table and result windows, real windows offscreen against
// the real braxo-club (a fresh database for each test), and against clubs
// that refuse, stay silent or answer garbage.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QTest>
#include <functional>

#include "ClubGameClient.h"
#include "ClubWindowKit.h"
#include "dialogs/TopTenEntryWindow.h"
#include "dialogs/TopTenTableWindow.h"
#include "i18n/MessageCatalogue.h"
#include "ui/Drawing.h"

namespace braxo {
namespace {

using dialogs_test::ClubConnection;
using dialogs_test::FailingClub;
using dialogs_test::Failure;
using dialogs_test::FailureName;
using dialogs_test::Find;
using dialogs_test::MakePassport;
using dialogs_test::PictureAt;
using dialogs_test::RecordedNotices;
using testing::CannedResponse;
using testing::ClubServerProcess;
using testing::RecordedRequest;
using testing::TestHttpServer;

int TableTextRight(const DrawnText& text) {
  return text.x +
         QFontMetrics(CellHeightFont(ArialFamily(), 16, true)).horizontalAdvance(text.text);
}

// The window's reads have all come back (or failed).
bool WaitForClub(const TopTenTableWindow& window) {
  return QTest::qWaitFor([&window] { return !window.ReadingClub(); }, 15000);
}

// The window's write has come back (or failed).
bool WaitForWrite(const TopTenEntryWindow& window) {
  return QTest::qWaitFor([&window] { return !window.Sending(); }, 15000);
}

void Write(ClubAccess& club, const std::string& nick, const std::string& city,
           const std::string& country, const char* sex, int score, int table) {
  ASSERT_TRUE(club.WriteTopTenEntry(nick, city, country, sex, score, table, "#", "#").has_value())
      << nick << " " << score;
}

class TopTenTableTest : public ::testing::Test {
 protected:
  ClubServerProcess server_;
  ClubConnection club_{server_.BaseUrl()};
  PictureStore pictures_;
  PlatformChoice platform_ = PlatformChoice::kWindows;
};

TEST_F(TopTenTableTest, EntriesAtTheirPlacesWithFlagsSexIconsCountAndOwnResults) {
  Write(club_.access, "Bob", "Paris", "1-015", "M", 4200, 76);
  Write(club_.access, "Ann", "Oslo", "1-035", "W", 3100, 76);
  Write(club_.access, "Cyd", "Rome", "1-024", "M", 3900, 76);
  Write(club_.access, "Ann", "Oslo", "1-035", "W", 2500, 76);
  const TournamentPassport passport = MakePassport("Ann", "Oslo", "1-035", 'W');

  TopTenTableWindow window(club_.access, passport, platform_, 0, pictures_, nullptr, nullptr);
  window.show();
  window.DrawTable();
  ASSERT_TRUE(WaitForClub(window));
  const auto& texts = window.TableTexts();

  // Rows at the fixed positions of their entry numbers: y = 140 + 16 k.
  struct Row {
    const char* place;
    const char* nick;
    const char* city;
    const char* score;
    const char* flag;
    const char* face;
  };
  const Row rows[] = {{"1.", "Bob", "Paris", "4200", "Country1015", "FaceMan16"},
                      {"2.", "Cyd", "Rome", "3900", "Country1024", "FaceMan16"},
                      {"3.", "Ann", "Oslo", "3100", "Country1035", "FaceWoman16"},
                      {"4.", "Ann", "Oslo", "2500", "Country1035", "FaceWoman16"}};
  std::vector<std::string> table_part;
  for (const DrawnText& t : texts)
    if (t.y < 320)
      table_part.push_back(t.text.toStdString() + "@" + std::to_string(t.x) + "," +
                           std::to_string(t.y));
  ASSERT_EQ(table_part.size(), 16u) << ::testing::PrintToString(table_part);
  for (int k = 1; k <= 4; ++k) {
    const Row& row = rows[k - 1];
    const int y = 140 + 16 * k;
    const std::vector<std::string> expected = {std::string(row.place) + "@85," + std::to_string(y),
                                               std::string(row.nick) + "@173," + std::to_string(y),
                                               std::string(row.city) + "@323," + std::to_string(y)};
    for (const std::string& e : expected)
      EXPECT_NE(std::find(table_part.begin(), table_part.end(), e), table_part.end()) << e;
    const DrawnText& score = texts[(k - 1) * 4 + 3];
    EXPECT_EQ(score.text, row.score);
    EXPECT_EQ(score.y, y);
    EXPECT_EQ(TableTextRight(score), 543);
    EXPECT_EQ(score.colour, kClubRed);
    EXPECT_TRUE(
        PictureAt(window.TableBox().Image(), pictures_.LoadPngResource(row.flag), 113, y + 2))
        << row.flag;
    EXPECT_TRUE(PictureAt(window.TableBox().Image(), pictures_.LoadPngResource(row.face), 143, y))
        << row.face;
  }

  const DrawnText* count = Find(texts, "Number of games: 4");
  ASSERT_NE(count, nullptr);
  EXPECT_EQ(count->y, 320);
  EXPECT_EQ(count->colour, kClubMaroon);

  // The player's own entries, under the passport nick, in blue.
  std::vector<std::string> own;
  for (const DrawnText& t : texts)
    if (t.y > 320)
      own.push_back(t.text.toStdString() + "@" + std::to_string(t.x) + "," + std::to_string(t.y));
  ASSERT_EQ(own.size(), 6u) << ::testing::PrintToString(own);
  EXPECT_EQ(own[0], "3.@185,336");
  EXPECT_EQ(own[1], "Ann@245,336");
  EXPECT_EQ(own[3], "4.@185,352");
  EXPECT_EQ(texts.back().colour, kClubBlue);
  EXPECT_EQ(texts.back().x +
                QFontMetrics(CellHeightFont(ArialFamily(), 16, true)).horizontalAdvance("2500"),
            455);
}

TEST_F(TopTenTableTest, AndroidTableShowsPlaceNickScoreOnlyAndTheOwnResultsUnderMoscow) {
  Write(club_.access, "Bob", "Paris", "1-015", "M", 4200, 76);
  // Android players write "Moscow" as their city.
  Write(club_.access, "Dan", "Moscow", "1-001", "M", 3000, 176);
  Write(club_.access, "Ann", "Moscow", "1-035", "W", 2000, 176);
  const TournamentPassport passport = MakePassport("Ann", "Oslo", "1-035", 'W');

  TopTenTableWindow window(club_.access, passport, platform_, 0, pictures_, nullptr, nullptr);
  window.show();
  window.DrawTable();
  ASSERT_TRUE(WaitForClub(window));
  ASSERT_NE(Find(window.TableTexts(), "Bob"), nullptr);

  window.TablePressed(QPoint(500, 330));  // the Android icon
  EXPECT_EQ(platform_, PlatformChoice::kAndroid);
  ASSERT_TRUE(WaitForClub(window));
  const auto& texts = window.TableTexts();
  EXPECT_EQ(Find(texts, "Bob"), nullptr);
  const DrawnText* dan = Find(texts, "Dan");
  ASSERT_NE(dan, nullptr);
  EXPECT_EQ(dan->x, 173);
  EXPECT_EQ(dan->y, 156);
  EXPECT_EQ(Find(texts, "Moscow"), nullptr) << "no cities on the Android table";
  EXPECT_FALSE(
      PictureAt(window.TableBox().Image(), pictures_.LoadPngResource("Country1001"), 113, 158));
  EXPECT_NE(Find(texts, "Number of games: 2"), nullptr);
  // The passport's city is Oslo; the Android table knows the player as Moscow.
  const DrawnText* own_place = nullptr;
  for (const DrawnText& t : texts)
    if (t.text == "2." && t.x == 185) own_place = &t;
  ASSERT_NE(own_place, nullptr);
  EXPECT_EQ(own_place->y, 336);

  // The choice stays for the next opening in this run.
  TopTenTableWindow again(club_.access, passport, platform_, 0, pictures_, nullptr, nullptr);
  again.DrawTable();
  ASSERT_TRUE(WaitForClub(again));
  EXPECT_NE(Find(again.TableTexts(), "Dan"), nullptr);
}

TEST_F(TopTenTableTest, PassportButtonRedrawsWithTheNewPassportAndTheHotspotWaitsForTheTimer) {
  Write(club_.access, "Eve", "Lyon", "1-015", "W", 3300, 76);
  TournamentPassport passport = MakePassport("Ann", "Oslo", "1-035", 'W');
  TopTenTableWindow window(
      club_.access, passport, platform_, 0, pictures_,
      [&passport](QWidget*) {
        passport.nick = "Eve";
        passport.city = "Lyon";
      },
      nullptr);
  window.show();
  window.DrawTable();
  ASSERT_TRUE(WaitForClub(window));
  EXPECT_EQ(Find(window.TableTexts(), "1.")->x, 85);
  int own_rows = 0;
  for (const DrawnText& t : window.TableTexts()) own_rows += t.x == 185;
  EXPECT_EQ(own_rows, 0);

  window.PassportButton().click();
  ASSERT_TRUE(WaitForClub(window));
  bool eve_own = false;
  for (const DrawnText& t : window.TableTexts()) eve_own |= t.text == "Eve" && t.x == 245;
  EXPECT_TRUE(eve_own);

  EXPECT_EQ(window.RefreshTimer().interval(), 10000);
  EXPECT_TRUE(window.RefreshHotspot().isVisible());
  Write(club_.access, "Fay", "Nice", "1-015", "W", 4400, 76);
  window.RefreshHotspotClicked();
  EXPECT_FALSE(window.RefreshHotspot().isVisible());
  ASSERT_TRUE(WaitForClub(window));
  EXPECT_NE(Find(window.TableTexts(), "Fay"), nullptr) << "the hotspot reads the table again";
  window.RefreshPeriodEnded();
  EXPECT_TRUE(window.RefreshHotspot().isVisible());
}

// Before any reply the window shows "Loading…" where each list goes; the next
// window given the same memory starts from the table the last one showed.
TEST_F(TopTenTableTest, ShowsLoadingBeforeTheRepliesAndTheNextWindowStartsFromTheLastTable) {
  Write(club_.access, "Bob", "Paris", "1-015", "M", 4200, 76);
  const TournamentPassport passport = MakePassport("Bob", "Paris", "1-015", 'M');
  const QString loading = QString::fromStdString(MessageText(MsgId::MsgClubLoading, 0));
  TopTenTablesShown shown;
  {
    TopTenTableWindow window(club_.access, passport, platform_, 0, pictures_, nullptr, nullptr,
                             &shown);
    window.show();
    window.DrawTable();
    EXPECT_TRUE(window.ReadingClub());
    std::vector<std::pair<int, QColor>> said;
    for (const DrawnText& t : window.TableTexts()) said.push_back({t.y, t.colour});
    EXPECT_EQ(said, (std::vector<std::pair<int, QColor>>{{200, kClubRed}, {350, kClubBlue}}));
    EXPECT_EQ(window.TableTexts()[0].text, loading);
    EXPECT_EQ(window.TableTexts()[1].text, loading);
    ASSERT_TRUE(WaitForClub(window));
    EXPECT_EQ(Find(window.TableTexts(), loading), nullptr);
  }
  Write(club_.access, "Cyd", "Rome", "1-024", "M", 4900, 76);
  TopTenTableWindow again(club_.access, passport, platform_, 0, pictures_, nullptr, nullptr,
                          &shown);
  again.show();
  again.DrawTable();
  ASSERT_TRUE(again.ReadingClub());
  // At once, before the club answered: the last table, its count and the
  // own results.
  EXPECT_EQ(Find(again.TableTexts(), loading), nullptr);
  EXPECT_NE(Find(again.TableTexts(), "Bob"), nullptr);
  EXPECT_EQ(Find(again.TableTexts(), "Cyd"), nullptr);
  EXPECT_NE(Find(again.TableTexts(), "Number of games: 1"), nullptr);
  ASSERT_TRUE(WaitForClub(again));
  EXPECT_NE(Find(again.TableTexts(), "Cyd"), nullptr);
  EXPECT_NE(Find(again.TableTexts(), "Number of games: 2"), nullptr);
  EXPECT_EQ(shown.at(76).top->entries[0].nick, "Cyd") << "the memory holds the newest table";
}

// What the window asks the club while its reads are out: a refresh, a redraw
// after the passport window and the platform already chosen send nothing
// more; another platform or another passport do.
TEST(TopTenTableReads, NoSecondCopyWhileTheSameReadsAreOut) {
  TestHttpServer club_server([](const RecordedRequest&) {
    CannedResponse r;
    r.body = "$1 76 3000 Ann 1-035 Oslo W 2.7 # #*";
    return r;
  });
  ClubConnection club(club_server.Url(""));
  PictureStore pictures;
  TournamentPassport passport = MakePassport("Ann", "Oslo", "1-035", 'W');
  PlatformChoice platform = PlatformChoice::kWindows;
  TopTenTableWindow window(
      club.access, passport, platform, 0, pictures, [](QWidget*) {}, nullptr);
  window.show();
  struct Step {
    const char* what;
    std::function<void()> act;
    std::size_t requests_after;  // once the reads are back
  };
  // clang-format off
  const Step steps[] = {
      {"opening",                  [&] { window.DrawTable(); },                                   3},
      {"refresh, passport, again", [&] { window.DrawTable();
                                         window.RefreshHotspotClicked();
                                         window.PassportButton().click();
                                         window.RefreshHotspotClicked(); },                       6},
      {"while reading: refresh",   [&] { window.RefreshHotspotClicked();
                                         window.RefreshHotspotClicked(); },                       9},
      {"the chosen platform",      [&] { window.TablePressed(QPoint(100, 340)); },                9},
      {"another platform",         [&] { window.TablePressed(QPoint(500, 330)); },               12},
  };
  // clang-format on
  for (const Step& step : steps) {
    step.act();
    ASSERT_TRUE(WaitForClub(window)) << step.what;
    QTest::qWait(20);
    EXPECT_EQ(club_server.Requests().size(), step.requests_after) << step.what;
  }

  // Another passport while the reads are out: the own results are asked for
  // the new nick and drawn under it (the reads for the old one are dropped,
  // whether or not they had left).
  window.DrawTable();
  passport.nick = "Eve";
  window.DrawTable();
  ASSERT_TRUE(WaitForClub(window));
  EXPECT_EQ(window.View().own_nick, "Eve");
  bool eve_own = false;
  for (const DrawnText& t : window.TableTexts()) eve_own |= t.text == "Eve" && t.x == 245;
  EXPECT_TRUE(eve_own);
  const auto requests = club_server.Requests();
  EXPECT_TRUE(std::any_of(requests.begin(), requests.end(), [](const RecordedRequest& r) {
    return r.body.find("nick=Eve") != std::string::npos;
  }));
}

// --- The result window and the reward ---

class TopTenResultTest : public ::testing::Test {
 protected:
  ClubServerProcess server_;
  ClubConnection club_{server_.BaseUrl()};
  PictureStore pictures_;
  RecordedNotices notices_;
};

TEST_F(TopTenResultTest, SendWritesOnceAndTheResultIsFoundInTheTableAtItsPlace) {
  Write(club_.access, "Bob", "Paris", "1-015", "M", 4200, 76);
  const TournamentPassport passport = MakePassport("Ann", "Oslo", "1-035", 'W');
  TopTenEntryWindow window(club_.access, passport, 3600, 0, pictures_, nullptr, nullptr,
                           notices_.Shower());
  window.show();
  EXPECT_FALSE(window.PrepareShowing()) << "the passport window opens by itself only for Incognito";
  EXPECT_TRUE(window.SendButton().isEnabled());
  EXPECT_EQ(Find(window.CardTexts(), "Your place:"), nullptr);
  const DrawnText* score = Find(window.CardTexts(), "3600");
  ASSERT_NE(score, nullptr);
  EXPECT_EQ(score->y, 200);
  EXPECT_TRUE(
      PictureAt(window.CardBox().Image(), pictures_.LoadPngResource("Country1035"), 385, 162));
  EXPECT_TRUE(
      PictureAt(window.CardBox().Image(), pictures_.LoadPngResource("FaceWoman16"), 385, 120));

  window.SendButton().click();
  ASSERT_TRUE(WaitForWrite(window));
  EXPECT_EQ(window.Place(), 2);
  EXPECT_TRUE(window.Sent());
  EXPECT_FALSE(window.SendButton().isEnabled());
  const DrawnText* place_label = Find(window.CardTexts(), "Your place:");
  ASSERT_NE(place_label, nullptr);
  EXPECT_EQ(place_label->y, 240);
  EXPECT_NE(Find(window.CardTexts(), "2"), nullptr);
  EXPECT_TRUE(notices_.messages.empty());

  // A second press (a queued click on the disabled button) writes nothing.
  window.SendClicked();
  EXPECT_EQ(club_.access.ReadGameCount(76), 2);

  PlatformChoice platform = PlatformChoice::kWindows;
  TopTenTableWindow table(club_.access, passport, platform, 0, pictures_, nullptr, nullptr);
  table.DrawTable();
  ASSERT_TRUE(WaitForClub(table));
  bool found = false;
  for (const DrawnText& t : table.TableTexts())
    found |= t.text == "Ann" && t.x == 173 && t.y == 172;
  EXPECT_TRUE(found) << "Ann at row 2 of the table";
}

// While the write is out the card says so and nothing takes a second press
// or closes the window; the place follows the club's answer.
TEST_F(TopTenResultTest, WhileTheWriteIsOutTheCardWaitsAndNothingElseIsSent) {
  const TournamentPassport passport = MakePassport("Ann", "Oslo", "1-035", 'W');
  TopTenEntryWindow window(club_.access, passport, 3600, 0, pictures_, nullptr, nullptr,
                           notices_.Shower());
  window.show();
  window.PrepareShowing();
  const QString waiting = QString::fromStdString(MessageText(MsgId::MsgWaitingForClub, 0));
  window.SendButton().click();
  ASSERT_TRUE(window.Sending());
  const DrawnText* said = Find(window.CardTexts(), waiting);
  ASSERT_NE(said, nullptr);
  EXPECT_EQ(said->y, 240);
  for (SkinnedButton* button :
       {&window.SendButton(), &window.PassportButton(), &window.CloseButton()})
    EXPECT_FALSE(button->isEnabled()) << button->text().toStdString();
  window.SendClicked();  // a queued press
  window.close();
  EXPECT_TRUE(window.isVisible()) << "the window waits for the place";

  ASSERT_TRUE(WaitForWrite(window));
  EXPECT_EQ(window.Place(), 1);
  EXPECT_EQ(Find(window.CardTexts(), waiting), nullptr);
  EXPECT_FALSE(window.SendButton().isEnabled());
  EXPECT_TRUE(window.CloseButton().isEnabled());
  EXPECT_TRUE(window.PassportButton().isEnabled());
  EXPECT_EQ(club_.access.ReadGameCount(76), 1) << "one result for the window";
  EXPECT_TRUE(notices_.messages.empty());
}

// A nick a member holds, sent without that member's login: the refusal is
// worded for the player, and Send may be pressed again.
TEST_F(TopTenResultTest, AMembersNickIsRefusedWithItsOwnNotice) {
  ClubConnection member_machine(server_.BaseUrl());
  ASSERT_EQ(member_machine.access.CreateAccount(testing::TestMember("Ann", "secret12")), 0);
  const TournamentPassport passport = MakePassport("Ann", "Oslo", "1-035", 'W');
  TopTenEntryWindow window(club_.access, passport, 3600, 0, pictures_, nullptr, nullptr,
                           notices_.Shower());
  window.show();
  window.PrepareShowing();
  window.SendButton().click();
  ASSERT_TRUE(WaitForWrite(window));
  EXPECT_EQ(notices_.messages, std::vector<std::string>{MessageText(MsgId::MsgNickOfMember, 0)});
  EXPECT_EQ(window.Place(), std::nullopt);
  EXPECT_TRUE(window.SendButton().isEnabled());
  EXPECT_TRUE(window.CloseButton().isEnabled());
  EXPECT_EQ(club_.access.ReadGameCount(76), 0);
}

TEST_F(TopTenResultTest, PassportDecidesSend) {
  // Incognito in Moscow is acceptable, so Send is enabled, and the passport
  // window opens at once; what it changes does not re-decide Send.
  TournamentPassport incognito;
  TopTenEntryWindow first(club_.access, incognito, 3000, 0, pictures_, nullptr, nullptr,
                          notices_.Shower());
  EXPECT_TRUE(first.PrepareShowing());
  EXPECT_TRUE(first.SendButton().isEnabled());

  // A Cyrillic nick enables Send on opening but not after the passport window.
  TournamentPassport passport = MakePassport("Аня", "Oslo", "1-035", 'W');
  TopTenEntryWindow second(
      club_.access, passport, 3000, 0, pictures_, [](QWidget*) {}, nullptr, notices_.Shower());
  EXPECT_FALSE(second.PrepareShowing());
  EXPECT_TRUE(second.SendButton().isEnabled());
  second.PassportButton().click();
  EXPECT_FALSE(second.SendButton().isEnabled());

  // A one-letter nick: refused on opening; a green nick from the passport
  // window enables it.
  TournamentPassport short_nick = MakePassport("A", "Oslo", "1-035", 'W');
  TopTenEntryWindow third(
      club_.access, short_nick, 3000, 0, pictures_,
      [&short_nick](QWidget*) { short_nick.nick = "Ann"; }, nullptr, notices_.Shower());
  third.PrepareShowing();
  EXPECT_FALSE(third.SendButton().isEnabled());
  third.PassportButton().click();
  EXPECT_TRUE(third.SendButton().isEnabled());
  EXPECT_EQ(Find(third.CardTexts(), "Ann")->x +
                QFontMetrics(CellHeightFont(ArialFamily(), 20, true)).horizontalAdvance("Ann"),
            375);
}

// --- Clubs that fail ---

class TopTenFailureTest : public ::testing::TestWithParam<Failure> {
 protected:
  std::string BaseUrl() const { return failing_.BaseUrl(); }
  FailingClub failing_{GetParam(), "<html><body>502 Bad Gateway $$ * x</body></html>"};
  PictureStore pictures_;
};

TEST_P(TopTenFailureTest, NoConnectInBothListsAndTheWindowsStayUsable) {
  ClubConnection club(BaseUrl());
  const TournamentPassport passport = MakePassport("Ann", "Oslo", "1-035", 'W');
  PlatformChoice platform = PlatformChoice::kWindows;
  TopTenTableWindow table(club.access, passport, platform, 0, pictures_, nullptr, nullptr);
  table.show();
  table.DrawTable();
  ASSERT_TRUE(WaitForClub(table));
  const auto& texts = table.TableTexts();
  std::vector<std::pair<int, QColor>> no_connect;
  for (const DrawnText& t : texts)
    if (t.text == kNoConnect) no_connect.push_back({t.y, t.colour});
  ASSERT_EQ(no_connect.size(), 2u);
  EXPECT_EQ(no_connect[0], std::make_pair(200, kClubRed));
  EXPECT_EQ(no_connect[1], std::make_pair(350, kClubBlue));
  for (const DrawnText& t : texts) EXPECT_FALSE(t.text.startsWith("Number of games"));
  // Still usable: the platform changes and the Ok button closes.
  table.TablePressed(QPoint(500, 330));
  EXPECT_EQ(platform, PlatformChoice::kAndroid);
  table.OkButton().click();
  EXPECT_FALSE(table.isVisible());

  RecordedNotices notices;
  TopTenEntryWindow result(club.access, passport, 3000, 0, pictures_, nullptr, nullptr,
                           notices.Shower());
  result.show();
  result.PrepareShowing();
  result.SendButton().click();
  ASSERT_TRUE(WaitForWrite(result));
  EXPECT_EQ(notices.messages, std::vector<std::string>{MessageText(MsgId::MsgResultNotWritten, 0)});
  EXPECT_EQ(result.Place(), std::nullopt);
  EXPECT_TRUE(result.SendButton().isEnabled()) << "Send may be pressed again";
  EXPECT_FALSE(result.Sent());
}

INSTANTIATE_TEST_SUITE_P(Clubs, TopTenFailureTest,
                         ::testing::Values(Failure::kRefused, Failure::kSilent, Failure::kGarbage),
                         FailureName);

TEST(TopTenPlatform, OnlyTheIconNotChosenSwitches) {
  EXPECT_EQ(PlatformSwitchAt({87, 325}, PlatformChoice::kAndroid), PlatformChoice::kWindows);
  EXPECT_EQ(PlatformSwitchAt({135, 373}, PlatformChoice::kAndroid), PlatformChoice::kWindows);
  EXPECT_EQ(PlatformSwitchAt({136, 373}, PlatformChoice::kAndroid), std::nullopt);
  EXPECT_EQ(PlatformSwitchAt({100, 340}, PlatformChoice::kWindows), std::nullopt);
  EXPECT_EQ(PlatformSwitchAt({495, 325}, PlatformChoice::kWindows), PlatformChoice::kAndroid);
  EXPECT_EQ(PlatformSwitchAt({543, 324}, PlatformChoice::kWindows), std::nullopt);
  EXPECT_EQ(PlatformSwitchAt({520, 340}, PlatformChoice::kAndroid), std::nullopt);
}

TEST(TopTenPlatform, ThePlatformAlreadyChosenSendsNoRequestAndAndroidOwnResultsAskForMoscow) {
  TestHttpServer club_server([](const RecordedRequest& request) {
    CannedResponse r;
    if (request.body.find("rgid") != std::string::npos)
      r.body = "$1";
    else
      r.body = "$1 176 3000 Ann 1-035 Moscow W 2.7 # #*";
    return r;
  });
  ClubConnection club(club_server.Url(""));
  PictureStore pictures;
  const TournamentPassport passport = MakePassport("Ann", "Oslo", "1-035", 'W');
  PlatformChoice platform = PlatformChoice::kAndroid;
  TopTenTableWindow window(club.access, passport, platform, 0, pictures, nullptr, nullptr);
  window.DrawTable();
  ASSERT_TRUE(WaitForClub(window));
  const auto requests = club_server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  // The three are sent together, so they may arrive in any order; the own
  // results' request is the one that names a city.
  const auto own = std::find_if(requests.begin(), requests.end(), [](const RecordedRequest& r) {
    return r.body.find("city=") != std::string::npos;
  });
  ASSERT_NE(own, requests.end());
  EXPECT_NE(own->body.find("city=Moscow"), std::string::npos) << own->body;
  EXPECT_NE(own->body.find("gid=176"), std::string::npos) << own->body;
  window.TablePressed(QPoint(500, 330));
  QTest::qWait(50);
  EXPECT_EQ(club_server.Requests().size(), 3u);
}

}  // namespace
}  // namespace braxo
