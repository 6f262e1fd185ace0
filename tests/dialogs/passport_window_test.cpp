// The passport window, a real window offscreen: the lamps, the typing rule,
// the changes acting on the passport at once, the refusal to close while a
// name is refused; and the passport kept in the settings file across runs.
#include <gtest/gtest.h>

#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <optional>
#include <string>

#include "ClubServerProcess.h"
#include "ClubWindowKit.h"
#include "DialogTestKit.h"
#include "club/Scramble.h"
#include "dialogs/PassportStart.h"
#include "dialogs/PassportWindow.h"
#include "i18n/CountryCatalogue.h"

namespace braxo {
namespace {

using dialogs_test::MakePassport;
using dialogs_test::PictureAt;
using dialogs_test::TypeKey;
using dialogs_test::TypeText;

class PassportWindowTest : public ::testing::Test {
 protected:
  // Moves a list one entry down as the player does with the arrow key.
  static void StepDown(QComboBox& box, int from) {
    box.setCurrentIndex(from);
    QTest::keyClick(&box, Qt::Key_Down);
  }
  PictureStore pictures_;
  TournamentPassport passport_ = MakePassport("Ann", "Москва", "3-034", 'W');
};

TEST_F(PassportWindowTest, OpensOnThePassportWithItsLamps) {
  PassportWindow window(passport_, 0, pictures_, nullptr);
  window.show();
  EXPECT_EQ(window.windowTitle(), "Passport");
  EXPECT_EQ(window.NickField().text(), "Ann");
  EXPECT_EQ(window.CityField().text(), "Москва");
  EXPECT_EQ(window.NickLampPicture(), "LampG24");
  EXPECT_EQ(window.CityLampPicture(), "LampY24");
  EXPECT_TRUE(PictureAt(window.NickLamp().Image(), pictures_.LoadPngResource("LampG24"), 0, 0));
  EXPECT_TRUE(PictureAt(window.CityLamp().Image(), pictures_.LoadPngResource("LampY24"), 0, 0));
  EXPECT_EQ(window.ContinentBox().currentIndex(), 2);
  EXPECT_EQ(window.CountryBox().currentIndex(), 34);
  EXPECT_EQ(window.SexBox().currentIndex(), 1);
  EXPECT_EQ(window.SexBox().currentText(), "Female");
  EXPECT_TRUE(window.OkButton().isEnabled());
  EXPECT_EQ(window.NickField().maxLength(), 12);
  EXPECT_EQ(window.CityField().maxLength(), 15);
}

TEST_F(PassportWindowTest, TypedCharactersOutsideTheNameCharactersAreDropped) {
  PassportWindow window(passport_, 0, pictures_, nullptr);
  window.show();
  window.NickField().setFocus();
  window.NickField().end(false);
  TypeText(window.NickField(), "a b&c=d");
  EXPECT_EQ(window.NickField().text(), "Annabcd");
  EXPECT_EQ(passport_.nick, "Annabcd");
  TypeKey(window.NickField(), Qt::Key_Backspace);
  EXPECT_EQ(window.NickField().text(), "Annabc");
  EXPECT_EQ(passport_.nick, "Annabc");
}

TEST_F(PassportWindowTest, ARefusedNameKeepsThePassportAndTheWindowOpen) {
  PassportWindow window(passport_, 0, pictures_, nullptr);
  window.show();
  window.NickField().setText("A");
  EXPECT_EQ(window.NickLampPicture(), "LampR24");
  EXPECT_FALSE(window.OkButton().isEnabled());
  EXPECT_FALSE(window.Valid());
  EXPECT_EQ(passport_.nick, "Ann");

  // While the nick is refused the city typed is shown but cannot be kept yet.
  window.CityField().setText("Oslo");
  EXPECT_EQ(passport_.city, "Москва");

  window.reject();  // Esc and the close box
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.focusWidget(), &window.NickField()) << "the refused nick gets the focus";
  // Both names acceptable again: both boxes reach the passport, the city
  // typed while the nick was refused too.
  window.NickField().setText("Bob");
  EXPECT_EQ(passport_.nick, "Bob");
  EXPECT_EQ(passport_.city, "Oslo");
  window.CityField().setText("O");
  window.reject();
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.focusWidget(), &window.CityField()) << "then the refused city";
  window.CityField().setText("Oslo");

  window.NickField().setText("Bo");
  EXPECT_TRUE(window.OkButton().isEnabled());
  EXPECT_EQ(passport_.nick, "Bo");
  EXPECT_EQ(passport_.city, "Oslo");
  window.OkButton().click();
  EXPECT_FALSE(window.isVisible());
}

TEST_F(PassportWindowTest, ARefusedCityTurnsItsLampRed) {
  PassportWindow window(passport_, 0, pictures_, nullptr);
  window.show();
  for (const char* city : {"", "New York", "O"}) {
    window.CityField().setText(city);
    EXPECT_EQ(window.CityLampPicture(), "LampR24") << city;
    EXPECT_FALSE(window.OkButton().isEnabled()) << city;
    EXPECT_EQ(passport_.city, "Москва") << city;
  }
  window.accept();
  EXPECT_TRUE(window.isVisible());
}

TEST_F(PassportWindowTest, ContinentCountryAndSexActOnThePassportAtOnce) {
  PassportWindow window(passport_, 0, pictures_, nullptr);
  window.show();
  StepDown(window.ContinentBox(), 3);  // Oceania
  EXPECT_EQ(passport_.country_code, "5-000");
  EXPECT_EQ(window.CountryBox().currentIndex(), 0);
  StepDown(window.CountryBox(), 1);  // index 2, Australia
  EXPECT_EQ(passport_.country_code, "5-002");
  StepDown(window.SexBox(), 0);
  EXPECT_EQ(passport_.sex, 'W');
  window.SexBox().setCurrentIndex(1);
  QTest::keyClick(&window.SexBox(), Qt::Key_Up);
  EXPECT_EQ(passport_.sex, 'M');
}

TEST(PassportLamps, OneLampPerRating) {
  EXPECT_EQ(LampPicture(1), "LampR24");
  EXPECT_EQ(LampPicture(2), "LampY24");
  EXPECT_EQ(LampPicture(3), "LampG24");
}

// The passport is kept in the settings file: what the window changed comes
// back in the next run.
TEST(PassportSettings, ThePassportEditedIsReadBackAfterARestart) {
  QTemporaryDir folder;
  const SettingsPaths paths{folder.filePath("Braxo.ini").toStdString(),
                            folder.filePath("Braxo.clb").toStdString()};
  const SettingsHooks hooks{"top", "stat", [](const std::string& s) { return s; }};
  Settings first;
  LoadSettings(paths, hooks, first);  // no file yet: the defaults
  ASSERT_EQ(first.passport.nick, "Incognito");
  {
    PictureStore pictures;
    PassportWindow window(first.passport, 0, pictures, nullptr);
    window.show();
    window.NickField().setText("Пётр");
    window.CityField().setText("Oslo");
    QTest::keyClick(&window.SexBox(), Qt::Key_Down);
    window.ContinentBox().setCurrentIndex(4);
    QTest::keyClick(&window.ContinentBox(), Qt::Key_Down);  // Africa
    window.CountryBox().setCurrentIndex(45);
    QTest::keyClick(&window.CountryBox(), Qt::Key_Down);  // 46, South Africa
    window.OkButton().click();
  }
  ASSERT_TRUE(SaveSettings(paths, first).settings_file_written);

  Settings second;
  ASSERT_EQ(LoadSettings(paths, hooks, second), LoadOutcome::kComplete);
  EXPECT_EQ(second.passport.nick, "Пётр");
  EXPECT_EQ(second.passport.city, "Oslo");
  EXPECT_EQ(second.passport.sex, 'W');
  EXPECT_EQ(second.passport.country_code, "6-046");
}

// A passport never filled in starts from the member logged in to the real
// club, or else with the desktop's country; one the player filled in stays.
class PassportStartTest : public ::testing::Test {
 protected:
  // Creates a member on the club and logs in as the game does: the session
  // holds the member as the club gave it back.
  void LogIn(ClubSession& session, const std::string& nick, const std::string& city,
             const std::string& country, char sex) {
    MemberAccount user;
    user.nick = nick;
    user.password = "pw123456";
    user.scrambled_password = ScramblePassword(user.password);
    user.city = city;
    user.country_code = country;
    user.country_name = std::string(CountryCode::Parse(country)->Info().server_name);
    user.sex = sex;
    user.email = "member@example.org";
    user.registered_on = "01.02.2026";
    user.reserved_r01 = user.reserved_r02 = user.reserved_r03 = "xxx";
    EXPECT_EQ(club_.waiting.CreateAccount(user), 0);
    const LoginReply login = club_.waiting.LoginAccount(nick, user.password);
    EXPECT_TRUE(login.ok);
    session.current_user = login.user;
    session.account_state = AccountState::kLoggedIn;
  }

  testing::ClubServerProcess server_;
  dialogs_test::ClubConnection club_{server_.BaseUrl()};
  PictureStore pictures_;
};

TEST_F(PassportStartTest, StartsFromTheMemberOrTheDesktopsCountryUnlessFilledIn) {
  ClubSession member;
  LogIn(member, "Kasia", "Краков", "1-036", 'W');
  const ClubSession nobody;
  const TournamentPassport untouched;
  const TournamentPassport filled = MakePassport("Ann", "Oslo", "1-035", 'W');
  struct Case {
    const char* label;
    const ClubSession& session;
    QLocale::Territory territory;
    const TournamentPassport& before;
    TournamentPassport shown;
  };
  // clang-format off
  const Case cases[] = {
      {"member, untouched", member, QLocale::Germany, untouched,
       MakePassport("Kasia", "Краков", "1-036", 'W')},
      {"member, filled in", member, QLocale::Germany, filled, filled},
      {"nobody, German desktop", nobody, QLocale::Germany, untouched,
       MakePassport("Incognito", "Moscow", "1-016", 'M')},
      {"nobody, American desktop", nobody, QLocale::UnitedStates, untouched,
       MakePassport("Incognito", "Moscow", "3-034", 'M')},
      {"nobody, country not listed", nobody, QLocale::Antarctica, untouched, untouched},
      {"nobody, locale without a country", nobody, QLocale::AnyTerritory, untouched, untouched},
      {"nobody, filled in", nobody, QLocale::Germany, filled, filled},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TournamentPassport passport = c.before;
    PassportStart start = DesktopPassportStart(c.session);
    start.territory = c.territory;
    PassportWindow window(passport, 0, pictures_, nullptr, start);
    window.show();
    EXPECT_EQ(window.NickField().text().toStdString(), c.shown.nick);
    EXPECT_EQ(window.CityField().text().toStdString(), c.shown.city);
    const auto code = CountryCode::Parse(c.shown.country_code);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(window.ContinentBox().currentIndex(), code->continent() - 1);
    EXPECT_EQ(window.CountryBox().currentIndex(), code->index());
    EXPECT_EQ(window.SexBox().currentIndex(), c.shown.sex == 'M' ? 0 : 1);
    window.OkButton().click();
    EXPECT_EQ(passport.nick, c.shown.nick);
    EXPECT_EQ(passport.city, c.shown.city);
    EXPECT_EQ(passport.country_code, c.shown.country_code);
    EXPECT_EQ(passport.sex, c.shown.sex);
  }
}

// The desktop's territory is found in the country list by its name, however
// the two spell it.
TEST(CountryOfTerritory, FindsTheListsCountry) {
  struct Case {
    QLocale::Territory territory;
    std::optional<std::string> code;
  };
  // clang-format off
  const Case cases[] = {
      {QLocale::Russia, "1-001"},
      {QLocale::Germany, "1-016"},
      {QLocale::BosniaAndHerzegowina, "1-007"},     // "&" in the list
      {QLocale::CzechRepublic, "1-010"},            // "Czechia" in the locale
      {QLocale::UnitedStates, "3-034"},             // "USA" in the list
      {QLocale::Japan, "2-020"},
      {QLocale::AnyTerritory, std::nullopt},
      {QLocale::Antarctica, std::nullopt},
  };
  // clang-format on
  for (const Case& c : cases) {
    const auto code = CountryCodeOfTerritory(c.territory);
    EXPECT_EQ(code, c.code) << QLocale::territoryToString(c.territory).toStdString();
    if (code) {
      const auto parsed = CountryCode::Parse(*code);
      ASSERT_TRUE(parsed.has_value()) << *code;
      EXPECT_NE(parsed->Info().name, "Unknown") << *code;
    }
  }
}

// The relative luminance and contrast ratio of two colours, as the web's
// accessibility guidelines define them.
double Luminance(const QColor& colour) {
  const auto channel = [](double c) {
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
         0.0722 * channel(colour.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST_F(PassportWindowTest, LabelsStandOutFromTheBackdrop) {
  PassportWindow window(passport_, 0, pictures_, nullptr);
  window.show();
  ASSERT_EQ(window.Labels().size(), 4);
  // The backdrop under each label, drawn with the labels hidden.
  for (QLabel* label : window.Labels()) label->hide();
  const QImage backdrop = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  for (QLabel* label : window.Labels()) {
    const QColor text = label->palette().color(QPalette::WindowText);
    const QRect box = label->geometry();
    double worst = 1e9;
    for (int y = box.top(); y <= box.bottom(); ++y)
      for (int x = box.left(); x <= box.right(); ++x)
        worst = std::min(worst, Contrast(text, backdrop.pixelColor(x, y)));
    EXPECT_GE(worst, 4.5) << label->text().toStdString();
  }
}

}  // namespace
}  // namespace braxo
