// Measures every language's texts with the fonts the game embeds (Liberation
// Sans for Arial, Comic Neue for Comic Sans MS, WenQuanYi Zen Hei for Chinese,
// Japanese and Korean) at the sizes of the places that draw them, so that a
// translation that would run out of its panel, button or column fails here
// rather than on a player's screen.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QString>
#include <QStringList>
#include <cmath>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "i18n/Language.h"
#include "i18n/MessageCatalogue.h"

namespace braxo {
namespace {

enum class Face { kArial, kArialBold, kComicBold, kComicBoldItalic };

QString Family(Face face) {
  return face == Face::kComicBold || face == Face::kComicBoldItalic ? "Comic Neue"
                                                                    : "Liberation Sans";
}

// The windows give font heights as cell heights (ascent plus descent); the
// pixel size is found from the font's own proportions.
QFont MakeFont(Face face, int cell_height) {
  QFont font;
  font.setFamilies({Family(face), "WenQuanYi Zen Hei"});
  font.setBold(face != Face::kArial);
  font.setItalic(face == Face::kComicBoldItalic);
  font.setPixelSize(1000);
  const QFontMetricsF big(font);
  const double cell_per_pixel = (big.ascent() + big.descent()) / 1000.0;
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(cell_height / cell_per_pixel))));
  return font;
}

double Width(Face face, int cell_height, const std::string& utf8) {
  return QFontMetricsF(MakeFont(face, cell_height)).horizontalAdvance(QString::fromStdString(utf8));
}

struct Place {
  const char* name;   // test name
  const char* where;  // for the failure message
  Face face;
  int cell_height;
  int max_width;  // room for the text, margins already taken off
  std::vector<MsgId> rows;
  const char* prefix = "";          // what the window draws before the text
  const char* suffix = "";          // and after it
  bool quoted_title_after = false;  // then a space and the game's name in quotes
};

void PrintTo(const Place& place, std::ostream* out) { *out << place.where; }

std::vector<Place> Places() {
  using enum MsgId;
  return {
      {"StatusPanels",
       "status panel (180 px, Arial bold 20)",
       Face::kArialBold,
       20,
       168,
       {MsgModeLabel, MsgModeNormal, MsgModeExtra, MsgModeSuper, MsgLevelLabel, MsgScoreLabel,
        MsgMovesLabel, MsgLivesLabel}},
      {"TitleScreenAuthor",
       "author line of the title screen",
       Face::kArialBold,
       24,
       540,
       {MsgAuthorName}},
      {"AboutCreditLine", "about page, credit line", Face::kArialBold, 16, 580, {MsgCreditsLine}},
      {"AboutSecondCreditLine",
       "about page, second credit line",
       Face::kArialBold,
       20,
       580,
       {MsgCreditsPlace}},
      {"ChampionsPageTitle", "champions page title", Face::kArialBold, 30, 580, {MsgChampions}},
      {"PasswordPrompts",
       "password window prompt (130 px)",
       Face::kArial,
       14,
       130,
       {MsgEnterName, MsgEnterPassword}},
      {"PasswordError",
       "password window error line (130 px)",
       Face::kArial,
       12,
       130,
       {MsgInvalidPassword}},
      {"PasswordCancelButton",
       "password window Cancel button (90 px)",
       Face::kArialBold,
       16,
       82,
       {MsgCancel}},
      {"AccountLabelsLeft",
       "account page labels, left column",
       Face::kComicBold,
       24,
       220,
       {MsgAccountNick, MsgPassword, MsgAccountCountry},
       "",
       ":"},
      {"AccountLabelsRight",
       "account page labels, right column",
       Face::kComicBold,
       24,
       210,
       {MsgAccountCity, MsgAccountSex, MsgRegistration},
       "",
       ":"},
      {"AccountHidePasswordBox",
       "account page Hide password box (170 px with its tick)",
       Face::kComicBold,
       20,
       146,
       {MsgHidePassword}},
      {"AccountGlobalRatingBox",
       "account page Play global rating box (420 px with its tick)",
       Face::kComicBold,
       20,
       396,
       {MsgPlayGlobalRating}},
      {"AccountLists",
       "account page lists (170 px with the arrow)",
       Face::kComicBold,
       20,
       146,
       {MsgEurope, MsgAsia, MsgNorthAmerica, MsgSouthAmerica, MsgOceania, MsgAfrica, MsgMale,
        MsgFemale}},
      {"AccountButtons",
       "account page buttons (240 px)",
       Face::kComicBold,
       20,
       226,
       {MsgCreateAccount, MsgLoginToAccount, MsgSignOut, MsgSave, MsgDelete, MsgEditMyInfo}},
      {"AccountPageTitles",
       "account window page titles",
       Face::kComicBold,
       36,
       676,
       {MsgAccountInfo, MsgGamesInfo, MsgTopTenRated}},
      {"AccountWindowTitle",
       "account window title box (605 px)",
       Face::kComicBold,
       40,
       595,
       {MsgClubTitle}},
      {"MembersCount", "members count", Face::kComicBold, 24, 676, {MsgClubMembers}, "", "123456"},
      {"LoadingInTheTopTen",
       "loading in a top ten cell (200 px)",
       Face::kComicBold,
       20,
       196,
       {MsgClubLoading}},
      {"LoadingInTheResults",
       "loading in a results value cell (342 px)",
       Face::kComicBold,
       30,
       336,
       {MsgClubLoading}},
      {"ResultsLabels",
       "results page labels (cell of 341 px)",
       Face::kComicBold,
       30,
       325,
       {MsgGame, MsgPlayer, MsgRating, MsgPlace, MsgPlayedGames, MsgMyBestScore},
       "",
       ":"},
      {"TopTenSexColumn",
       "top ten header, sex column (50 px)",
       Face::kComicBold,
       20,
       50,
       {MsgAccountSex}},
      {"TopTenNickAndCityColumns",
       "top ten header, nick and city columns (200 px)",
       Face::kComicBold,
       20,
       196,
       {MsgAccountNick, MsgAccountCity}},
      {"TopTenRatingColumn",
       "top ten header, rating column (142 px)",
       Face::kComicBold,
       20,
       138,
       {MsgRating}},
      {"PassportTitle", "passport window title (400 px)", Face::kArialBold, 40, 390, {MsgPassport}},
      {"PassportLabels",
       "passport window labels",
       Face::kArialBold,
       16,
       165,
       {MsgNick, MsgCity, MsgSex, MsgCountry},
       "",
       ":"},
      {"PassportLists",
       "passport window lists (170 px with the arrow)",
       Face::kArial,
       13,
       146,
       {MsgEurope, MsgAsia, MsgNorthAmerica, MsgSouthAmerica, MsgOceania, MsgAfrica, MsgMale,
        MsgFemale}},
      {"TopTenAndChatButtons",
       "world top ten and chat buttons (310 px)",
       Face::kArialBold,
       16,
       290,
       {MsgPassport, MsgSend, MsgClose}},
      {"ResultCardLabels",
       "result card labels",
       Face::kArialBold,
       20,
       300,
       {MsgNick, MsgYourScore, MsgYourPlace, MsgNumberOfGames},
       "",
       ":"},
      {"ChatTitle", "chat window title (500 px)", Face::kArialBold, 40, 490, {MsgChatTitle}},
      {"WorldTopTenTitle",
       "world top ten windows' title (500 px)",
       Face::kArialBold,
       40,
       490,
       {MsgWorldTopTen}},
      {"StatisticsGrid",
       "statistics grid (198 px column)",
       Face::kArialBold,
       12,
       186,
       {MsgNumberOfStarts, MsgNumberOfUniqueStarts, MsgLikes, MsgLastLike},
       "",
       ":"},
      {"StatisticsGridModes",
       "statistics grid, games per mode",
       Face::kArialBold,
       12,
       186,
       {MsgStatPlayedGames},
       "",
       " Normal:"},

      {"StatisticsNote",
       "statistics note (one line of 400 px)",
       Face::kArialBold,
       15,
       396,
       {MsgStatisticSince}},
      {"StatisticsLikeButton",
       "statistics like button (400 px)",
       Face::kArialBold,
       19,
       380,
       {MsgILikeThisGame}},
      {"PersonalInformationNote",
       "personal information note (two lines of 485 px)",
       Face::kComicBoldItalic,
       13,
       900,
       {MsgInfoVisible}},
      {"PersonalInformationButtons",
       "personal information buttons (735 px)",
       Face::kComicBold,
       16,
       700,
       {MsgUpdateInfo, MsgRefreshPhoto}},
      {"ChairmanPageTitle",
       "chairman page title (700 px)",
       Face::kComicBold,
       24,
       696,
       {MsgChairmanOfClub},
       "",
       "",
       true},
      {"CasualMark",
       "casual mark under the mode (180 px panel, Arial bold 14)",
       Face::kArialBold,
       14,
       168,
       {MsgCasual}},
      {"PlayOptionsBoxes",
       "options page check boxes (550 px with the tick)",
       Face::kArialBold,
       16,
       526,
       {MsgOptionFreeTiles, MsgOptionCasual}},
      {"PlayOptionsLines",
       "options page lines under the casual mode (528 px)",
       Face::kArial,
       13,
       528,
       {MsgCasualCountsNowhere, MsgCasualKeys}},
      {"PausePanelTitle", "pause panel title (420 px)", Face::kArialBold, 44, 400, {MsgPaused}},
  };
}

class TextFit : public ::testing::TestWithParam<Place> {};

TEST_P(TextFit, EveryLanguageFitsItsPlace) {
  const Place& place = GetParam();
  for (MsgId id : place.rows) {
    for (int language = 0; language < kLanguageCount; ++language) {
      std::string text = place.prefix + MessageText(id, language) + place.suffix;
      if (place.quoted_title_after) text += " \"" + MessageText(MsgId::MsgTitle, language) + "\"";
      const double width = Width(place.face, place.cell_height, text);
      EXPECT_LE(width, place.max_width)
          << place.where << ": " << MessageName(id) << " in " << Language(language).english_name
          << " \"" << text << "\" is " << width << " px wide";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Windows, TextFit, ::testing::ValuesIn(Places()),
                         [](const ::testing::TestParamInfo<Place>& info) {
                           return std::string(info.param.name);
                         });

int Characters(const std::string& utf8) {
  return static_cast<int>(QString::fromStdString(utf8).size());
}

// The title screen draws the title letter by letter, 50 px high up to seven
// letters, 40 px for eight or nine, 36 px beyond, centred in 410 px.
TEST(TitleFit, TitleFitsTheInnerFrameOfTheTitleScreen) {
  for (int language = 0; language < kLanguageCount; ++language) {
    const QString title = QString::fromStdString(MessageText(MsgId::MsgTitleCaps, language));
    const int height = title.size() <= 7 ? 50 : title.size() <= 9 ? 40 : 36;
    const QFontMetricsF metrics(MakeFont(Face::kArialBold, height));
    double width = 0;
    for (const QChar ch : title) width += metrics.horizontalAdvance(ch);
    EXPECT_LE(width, 400) << Language(language).english_name << " \"" << title.toStdString()
                          << "\" is " << width << " px wide";
  }
}

// Notices are written in the 8-point dialog font from x = 59 in a window of 400
// px, which widens to 620 px when one of its lines is over 50 characters.
TEST(NoticeFit, NoticesFitTheNoticeWindow) {
  struct Notice {
    MsgId id;
    const char* prefix;
    const char* suffix;
  };
  using enum MsgId;
  const Notice notices[] = {
      {MsgApkUnavailable, "Braxo ", ""},
      {MsgTopTenUnavailable, "", ""},
      {MsgChatUnavailable, "", ""},
      {MsgCannotConnect, "", ""},
      {MsgGameNotOnRating, "", ""},
      {MsgYouGet, "", " 25 Kezs!!!"},
      {MsgResultNotWritten, "", ""},
      {MsgMessageNotSent, "", ""},
      {MsgAccountCreated, "", ""},
      {MsgNickTaken, "", ""},
      {MsgAccountNotCreated, "", ""},
      {MsgLoginFailed, "", ""},
      {MsgCopied, "", ""},
      {MsgPhotoFormat, "", ""},
      {MsgPhotoUploadFailed, "", ""},
      {MsgPhotoUploaded, "", ""},
      {MsgNoBrowser, "", ""},
  };
  QFont font;
  font.setFamilies({"Liberation Sans", "WenQuanYi Zen Hei"});
  font.setPixelSize(11);
  const QFontMetricsF metrics(font);
  for (const auto& notice : notices) {
    for (int language = 0; language < kLanguageCount; ++language) {
      const std::string text = notice.prefix + MessageText(notice.id, language) + notice.suffix;
      const int room = Characters(text) > 50 ? 620 - 64 : 400 - 64;
      const double width = metrics.horizontalAdvance(QString::fromStdString(text));
      EXPECT_LE(width, room) << MessageName(notice.id) << " in " << Language(language).english_name
                             << " \"" << text << "\" is " << width << " px wide";
    }
  }
}

}  // namespace
}  // namespace braxo

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  for (const char* path : {BRAXO_FONT_SANS_REGULAR, BRAXO_FONT_SANS_BOLD, BRAXO_FONT_COMIC_BOLD,
                           BRAXO_FONT_COMIC_BOLD_ITALIC, BRAXO_FONT_CJK}) {
    if (QFontDatabase::addApplicationFont(QString::fromUtf8(path)) < 0) {
      fprintf(stderr, "cannot load the font %s\n", path);
      return 1;
    }
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
