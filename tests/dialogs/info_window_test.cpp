#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <set>
#include <vector>

#include "DialogTestKit.h"
#include "dialogs/InfoWindow.h"
#include "i18n/Language.h"
#include "i18n/MessageCatalogue.h"
#include "storage/ChampionsFile.h"
#include "storage/TextFile.h"
#include "ui/Drawing.h"

namespace braxo {
namespace {

using dialogs_test::FlagClothLeft;
using dialogs_test::FlagColour;
using dialogs_test::LetteringColour;
using dialogs_test::SendMouse;
using dialogs_test::TestGame;
using dialogs_test::TestPictures;
using dialogs_test::WhenModalOpens;

const InfoContacts kContacts = {
    {QUrl("https://club.example.org/"), QUrl("https://club.example.org/about/")},
    QUrl("mailto:club@club.example.org")};

// Ten entries; the fifth score is stored as three spaces and "950".
const std::array<ChampionEntry, kChampionEntryCount> kEntries = {{{"Anna", 9000},
                                                                  {"Boris", 8500},
                                                                  {"Clara", 8000},
                                                                  {"Dmitri", 7500},
                                                                  {"Elena", 950},
                                                                  {"Felix", 900},
                                                                  {"Galina", 800},
                                                                  {"Hugo", 700},
                                                                  {"Irina", 600},
                                                                  {"Jonas", 500}}};

class InfoWindowTest : public ::testing::Test {
 protected:
  InfoWindowTest()
      : pictures_(test_pictures_.Root()),
        champions_(QDir(dir_.path()).filePath("Braxo.clb").toStdString()) {
    WriteLinesAtomic(champions_.path(), NewChampionsTable(kEntries, 0, "rel"));
  }

  GameState& game() { return test_game_.game(); }
  InterfaceLanguage& interface_language() { return test_game_.language(); }
  // A window whose web and mail actions are recorded instead of opened.
  std::unique_ptr<InfoWindow> MakeForm() {
    return std::make_unique<InfoWindow>(interface_language(), champions_, pictures_, kContacts,
                                        nullptr, [this](const QUrl& url) {
                                          opened_.push_back(url);
                                          return mail_client_works_ || url.scheme() != "mailto";
                                        });
  }
  // Shows the window (not modally, so the test can drive it) on `page`, its
  // arrows stepping the language through the game.
  std::unique_ptr<InfoWindow> Open(InfoPage page) {
    auto form = MakeForm();
    form->Prepare(page, Stepper());
    form->show();
    return form;
  }
  LanguageStepper Stepper() {
    return [this](int step) { game().ChangeLanguage(step); };
  }
  static QColor PixelAt(InfoWindow& form, int x, int y) {
    return form.PagePicture().Image().pixelColor(x, y);
  }

  QTemporaryDir dir_;
  TestPictures test_pictures_;
  PictureStore pictures_;
  TestGame test_game_;
  ChampionsFile champions_;
  std::vector<QUrl> opened_;
  bool mail_client_works_ = true;
};

TEST_F(InfoWindowTest, HasTheFixedLayout) {
  auto form = Open(InfoPage::kAbout);
  EXPECT_EQ(form->size(), QSize(kInfoWidth, kInfoHeight));
  EXPECT_EQ(form->PagePicture().geometry(), QRect(0, 0, 610, 332));
  EXPECT_EQ(form->OkButton().geometry(), QRect(10, 345, 590, 45));
  EXPECT_EQ(form->OkButton().text(), "Ok");
  EXPECT_EQ(PixelAt(*form, 2, 2), dialogs_test::kBackground);
  EXPECT_EQ(PixelAt(*form, 5, 5), dialogs_test::kFrame);
  EXPECT_EQ(form->grab().toImage().pixelColor(3, 395), dialogs_test::kBackground);
}

TEST_F(InfoWindowTest, CaptionNamesThePage) {
  interface_language().Set(3);
  const std::pair<InfoPage, std::string> cases[] = {
      {InfoPage::kAbout, game().Text(MsgId::MsgAbout)},
      {InfoPage::kOptions, game().Text(MsgId::MsgOptions) + ": " + "Français"},
      {InfoPage::kChampions, game().Text(MsgId::MsgChampions)},
  };
  for (const auto& [page, caption] : cases) {
    auto form = Open(page);
    EXPECT_EQ(form->windowTitle().toStdString(), caption);
  }
}

struct ArrowEdgeCase {
  int x;
  int y;
  int language_after;  // starting from English
};

// Strict regions: the border of an arrow's square is outside it.
const ArrowEdgeCase kArrowEdges[] = {
    {90, 186, 0},  {91, 186, 9},  {161, 186, 9}, {162, 186, 0}, {126, 150, 0},
    {126, 151, 9}, {126, 221, 9}, {126, 222, 0}, {448, 186, 0}, {449, 186, 1},
    {519, 186, 1}, {520, 186, 0}, {484, 151, 1}, {484, 222, 0}, {300, 186, 0},
};

TEST_F(InfoWindowTest, ArrowsStepTheLanguageOnlyStrictlyInsideTheirSquares) {
  for (const ArrowEdgeCase& c : kArrowEdges) {
    interface_language().Set(0);
    auto form = Open(InfoPage::kOptions);
    SendMouse(form->PagePicture(), QEvent::MouseMove, {c.x, c.y});
    EXPECT_EQ(form->PagePicture().cursor().shape(),
              c.language_after != 0 ? Qt::PointingHandCursor : Qt::ArrowCursor)
        << c.x << "," << c.y;
    SendMouse(form->PagePicture(), QEvent::MouseButtonPress, {c.x, c.y});
    EXPECT_EQ(interface_language().Index(), c.language_after) << c.x << "," << c.y;
    EXPECT_TRUE(form->PagePicture().toolTip().isEmpty());
  }
}

TEST_F(InfoWindowTest, SteppingThroughAllLanguagesNamesEachInTheCaptionAndComesBack) {
  for (const auto& [arrow, step] : {std::pair{QPoint(484, 186), 1}, {QPoint(126, 186), -1}}) {
    interface_language().Set(4);
    auto form = Open(InfoPage::kOptions);
    for (int i = 1; i <= kLanguageCount; ++i) {
      SendMouse(form->PagePicture(), QEvent::MouseButtonPress, arrow);
      const int language = (4 + step * i + kLanguageCount) % kLanguageCount;
      ASSERT_EQ(interface_language().Index(), language);
      EXPECT_EQ(form->windowTitle().toStdString(), MessageText(MsgId::MsgOptions, language) + ": " +
                                                       std::string(LanguageNativeName(language)));
      // The new flag over a restored background: left of its cloth the
      // frame shows, not the flag before it.
      EXPECT_EQ(PixelAt(*form, 222 + 149, 200), FlagColour(language));
      EXPECT_EQ(PixelAt(*form, 222 + FlagClothLeft(language), 200), FlagColour(language));
      EXPECT_EQ(PixelAt(*form, 222 + FlagClothLeft(language) - 1, 200), dialogs_test::kFrame);
    }
    EXPECT_EQ(interface_language().Index(), 4);
  }
}

TEST_F(InfoWindowTest, OptionsPageDrawsArrowsAndTheCurrentFlag) {
  interface_language().Set(8);
  auto form = Open(InfoPage::kOptions);
  EXPECT_EQ(PixelAt(*form, 90, 150), dialogs_test::kArrow);
  EXPECT_EQ(PixelAt(*form, 519, 221), dialogs_test::kArrow);
  EXPECT_EQ(PixelAt(*form, 222 + 149, 110 + 181), FlagColour(8));
  EXPECT_EQ(PixelAt(*form, 222 + 150, 200), dialogs_test::kFrame);
}

TEST_F(InfoWindowTest, AboutPageShowsTheCurrentLanguagesLetteringAt270By45) {
  for (int language : {0, 1, 5, 7}) {
    interface_language().Set(language);
    auto form = Open(InfoPage::kAbout);
    const QColor lettering =
        LetteringColour(QString::fromUtf8(Language(language).caption_picture.data()));
    EXPECT_EQ(PixelAt(*form, 170, 110), lettering) << language;
    EXPECT_EQ(PixelAt(*form, 170 + 269, 110 + 20), lettering) << language;
    EXPECT_EQ(PixelAt(*form, 170 + 270, 110 + 20), dialogs_test::kFrame) << language;
    EXPECT_EQ(PixelAt(*form, 200, 110 + 45), dialogs_test::kFrame) << language;
    EXPECT_EQ(PixelAt(*form, 80, 85), dialogs_test::kIcon);
    EXPECT_EQ(PixelAt(*form, 466 + 63, 85 + 63), dialogs_test::kLogo);
  }
}

TEST_F(InfoWindowTest, AboutPageHintsAndHandOnlyStrictlyInsideIconAndLogo) {
  auto form = Open(InfoPage::kAbout);
  const std::string website = game().Text(MsgId::MsgVisitWebsite);
  const std::string letter = game().Text(MsgId::MsgWriteLetter);
  const std::pair<QPoint, std::string> cases[] = {
      {{81, 86}, website}, {{143, 148}, website}, {{80, 100}, ""},     {{144, 100}, ""},
      {{100, 85}, ""},     {{100, 149}, ""},      {{467, 86}, letter}, {{529, 148}, letter},
      {{466, 100}, ""},    {{530, 100}, ""},      {{300, 300}, ""},
  };
  for (const auto& [point, hint] : cases) {
    SendMouse(form->PagePicture(), QEvent::MouseMove, point);
    EXPECT_EQ(form->PagePicture().toolTip().toStdString(), hint) << point.x() << "," << point.y();
    EXPECT_EQ(form->PagePicture().cursor().shape(),
              hint.empty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
  }
}

TEST_F(InfoWindowTest, IconOpensOneOfTheTwoClubPagesAtRandom) {
  auto form = Open(InfoPage::kAbout);
  for (int i = 0; i < 64; ++i) SendMouse(form->PagePicture(), QEvent::MouseButtonPress, {100, 100});
  ASSERT_EQ(opened_.size(), 64u);
  const std::set<QString> seen = [&] {
    std::set<QString> urls;
    for (const QUrl& url : opened_) urls.insert(url.toString());
    return urls;
  }();
  EXPECT_EQ(seen,
            (std::set<QString>{"https://club.example.org/", "https://club.example.org/about/"}));
}

TEST_F(InfoWindowTest, LogoOpensAMailToTheClub) {
  auto form = Open(InfoPage::kAbout);
  SendMouse(form->PagePicture(), QEvent::MouseButtonPress, {500, 100});
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], QUrl("mailto:club@club.example.org"));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(InfoWindowTest, AFailedMailOpenSaysAutoMethodFailed) {
  mail_client_works_ = false;
  auto form = Open(InfoPage::kAbout);
  QString shown;
  WhenModalOpens([&](QWidget& modal) {
    if (auto* box = qobject_cast<QMessageBox*>(&modal)) shown = box->text();
  });
  SendMouse(form->PagePicture(), QEvent::MouseButtonPress, {500, 100});
  EXPECT_EQ(shown, "Auto method failed.");
}

// Red text pixels of champions row `n` (1-based): the band from its top
// y = 24 n + 135, one cell height (24) tall.
std::vector<int> RedColumnsOfRow(const QImage& image, int n) {
  std::vector<int> columns;
  for (int y = 24 * n + 135; y < 24 * n + 135 + 24; ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 200 && c.green() < 90 && c.blue() < 90) columns.push_back(x);
    }
  return columns;
}

TEST_F(InfoWindowTest, ChampionsPageShowsFiveRowsWithScoresEndingAtX460) {
  auto form = Open(InfoPage::kChampions);
  const QImage& image = form->PagePicture().Image();
  for (int n = 1; n <= 5; ++n) {
    const std::vector<int> red = RedColumnsOfRow(image, n);
    ASSERT_FALSE(red.empty()) << "row " << n;
    const auto [left, right] = std::minmax_element(red.begin(), red.end());
    EXPECT_GE(*left, 150) << "row " << n;
    EXPECT_LE(*left, 154) << "row " << n;
    EXPECT_LE(*right, 459) << "row " << n;
    EXPECT_GE(*right, 453) << "row " << n;
  }
  EXPECT_TRUE(RedColumnsOfRow(image, 6).empty());
  EXPECT_TRUE(RedColumnsOfRow(image, 7).empty());
}

TEST_F(InfoWindowTest, ChampionsPageDrawsTheFilesNamesAndScores) {
  // Drawn by the window and by hand with the same fonts, the row must match.
  auto form = Open(InfoPage::kChampions);
  QImage expected(610, 332, QImage::Format_RGB32);
  expected.fill(dialogs_test::kFrame);
  {
    QPainter painter(&expected);
    painter.setFont(CellHeightFont(ArialFamily(), 24, true));
    painter.setPen(QColor(255, 0, 0));
    const int y = 24 * 5 + 135;
    const int baseline = y + painter.fontMetrics().ascent();
    painter.drawText(150, baseline, "5.");
    painter.drawText(180, baseline, "Elena");
    DrawTextRight(painter, "950", 460, y);
  }
  const QImage& shown = form->PagePicture().Image();
  for (int y = 24 * 5 + 135; y < 24 * 5 + 135 + 24; ++y)
    for (int x = 100; x < 500; ++x)
      ASSERT_EQ(shown.pixelColor(x, y), expected.pixelColor(x, y)) << x << "," << y;
}

TEST_F(InfoWindowTest, EveryShowingRedrawsThePageCompletely) {
  interface_language().Set(2);
  auto form = MakeForm();
  form->Prepare(InfoPage::kOptions, Stepper());
  form->show();
  form->close();
  form->Prepare(InfoPage::kChampions, Stepper());
  form->show();
  EXPECT_EQ(PixelAt(*form, 222 + 120, 200), dialogs_test::kFrame);  // no flag left
  EXPECT_EQ(PixelAt(*form, 90, 150), dialogs_test::kFrame);         // no arrow left
  SendMouse(form->PagePicture(), QEvent::MouseButtonPress, {126, 186});
  EXPECT_EQ(interface_language().Index(), 2);  // the arrows belong to the options page only
}

TEST_F(InfoWindowTest, OkCloseBoxAndEscapeCloseIt) {
  const std::function<void(InfoWindow&)> closers[] = {
      [](InfoWindow& form) { form.OkButton().click(); },
      [](InfoWindow& form) { form.close(); },
      [](InfoWindow& form) { dialogs_test::TypeKey(form, Qt::Key_Escape); },
  };
  for (const auto& close_window : closers) {
    auto form = Open(InfoPage::kAbout);
    close_window(*form);
    EXPECT_FALSE(form->isVisible());
  }
}

TEST(InfoContactsTest, DerivedFromTheClubsAddress) {
  struct Case {
    const char* address;
    const char* home;
    const char* about;
    const char* mail;
  };
  const Case cases[] = {
      {"https://club.example.org/braxo/config?x=1", "https://club.example.org/",
       "https://club.example.org/about/", "mailto:club@club.example.org"},
      {"http://127.0.0.1:8080/config", "http://127.0.0.1:8080/", "http://127.0.0.1:8080/about/",
       "mailto:club@127.0.0.1"},
      {"HTTPS://Club.Example.ORG/", "https://club.example.org/", "https://club.example.org/about/",
       "mailto:club@club.example.org"},
      {"", "", "", ""},
      {"ftp://club.example.org/config", "", "", ""},
      {"config", "", "", ""},
  };
  for (const Case& c : cases) {
    const InfoContacts contacts = InfoContactsFromClubAddress(c.address);
    EXPECT_EQ(contacts.web_pages[0].toString(), c.home) << c.address;
    EXPECT_EQ(contacts.web_pages[1].toString(), c.about) << c.address;
    EXPECT_EQ(contacts.mail.toString(), c.mail) << c.address;
  }
}

TEST_F(InfoWindowTest, OptionsPageChangesThePlayOptionsAndSavesEachChange) {
  Options options;
  int saves = 0;
  auto form = MakeForm();
  form->AttachOptions(&options, [&] { ++saves; });
  form->Prepare(InfoPage::kOptions, Stepper());
  form->show();
  ASSERT_TRUE(form->FreeTileMarksBox().isVisible());
  ASSERT_TRUE(form->CasualModeBox().isVisible());
  EXPECT_TRUE(form->FreeTileMarksBox().isChecked());
  EXPECT_FALSE(form->CasualModeBox().isChecked());
  EXPECT_EQ(form->CasualModeBox().text().toStdString(), game().Text(MsgId::MsgOptionCasual));
  // Above the flag and the arrows, inside the frame.
  EXPECT_LT(form->CasualModeBox().geometry().bottom(), 110);

  // A click on the tick (a check box takes clicks on its tick and its text).
  const auto tick = [](const QCheckBox& box) { return QPoint(8, box.height() / 2); };
  QTest::mouseClick(&form->CasualModeBox(), Qt::LeftButton, {}, tick(form->CasualModeBox()));
  EXPECT_TRUE(options.casual_mode);
  QTest::mouseClick(&form->FreeTileMarksBox(), Qt::LeftButton, {}, tick(form->FreeTileMarksBox()));
  EXPECT_FALSE(options.mark_free_tiles);
  EXPECT_EQ(saves, 2);

  // The texts follow the language the arrows choose.
  SendMouse(form->PagePicture(), QEvent::MouseButtonPress, {484, 186});
  EXPECT_EQ(form->CasualModeBox().text().toStdString(),
            MessageText(MsgId::MsgOptionCasual, interface_language().Index()));
  EXPECT_NE(form->CasualModeBox().text().toStdString(), MessageText(MsgId::MsgOptionCasual, 0));
  EXPECT_TRUE(form->CasualModeBox().isChecked());
  EXPECT_EQ(saves, 2);  // showing the options again saves nothing

  // The other pages show no options.
  form->hide();
  form->Prepare(InfoPage::kAbout, Stepper());
  form->show();
  EXPECT_FALSE(form->CasualModeBox().isVisible());
}

TEST_F(InfoWindowTest, WithoutOptionsTheOptionsPageShowsTheLanguageAlone) {
  auto form = Open(InfoPage::kOptions);
  EXPECT_FALSE(form->FreeTileMarksBox().isVisible());
  EXPECT_FALSE(form->CasualModeBox().isVisible());
}

}  // namespace
}  // namespace braxo
