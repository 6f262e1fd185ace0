// The passport window, a real window offscreen: the lamps, the typing rule,
// the changes acting on the passport at once, the refusal to close while a
// name is refused; and the passport kept in the settings file across runs.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>

#include "ClubWindowKit.h"
#include "DialogTestKit.h"
#include "dialogs/PassportWindow.h"

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

}  // namespace
}  // namespace braxo
