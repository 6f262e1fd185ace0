#include <gtest/gtest.h>

#include <QApplication>
#include <string>

#include "DialogTestKit.h"
#include "dialogs/PasswordWindow.h"

namespace braxo {
namespace {

using dialogs_test::TestGame;
using dialogs_test::TestPictures;
using dialogs_test::TypeKey;
using dialogs_test::TypeText;
using dialogs_test::WhenModalOpens;

class PasswordWindowTest : public ::testing::Test {
 protected:
  PasswordWindowTest() : pictures_(test_pictures_.Root()) {
    form_ = std::make_unique<PasswordWindow>(game(), player_name_, pictures_, &parent_);
  }

  GameState& game() { return test_game_.game(); }
  // Shows the window (not modally, so the test can drive it) in `role`.
  void Open(int role) {
    game().PasswordWindowRole = role;
    form_->show();
  }
  QLineEdit& edit() { return form_->Edit1(); }

  TestPictures test_pictures_;
  PictureStore pictures_;
  TestGame test_game_;
  std::string player_name_;
  QWidget parent_;
  std::unique_ptr<PasswordWindow> form_;
};

struct PasswordCase {
  const char* name;
  int role;
  std::string (*typed)(const GameState&);
  bool accepted;
};

void PrintTo(const PasswordCase& c, std::ostream* os) { *os << c.name; }

const PasswordCase kPasswordCases[] = {
    {"ExtraPasswordInRoleExtra", 0, [](const GameState& g) { return g.ExtraPassword; }, true},
    {"SuperPasswordInRoleSuper", 1, [](const GameState& g) { return g.SuperPassword; }, true},
    {"SuperPasswordInRoleExtra", 0, [](const GameState& g) { return g.SuperPassword; }, false},
    {"ExtraPasswordInRoleSuper", 1, [](const GameState& g) { return g.ExtraPassword; }, false},
    {"TrailingSpace", 0, [](const GameState& g) { return g.ExtraPassword + " "; }, false},
    {"LeadingSpace", 1, [](const GameState& g) { return " " + g.SuperPassword; }, false},
    {"OtherLetterCase", 0,
     [](const GameState& g) {
       return QString::fromStdString(g.ExtraPassword).toUpper().toStdString();
     },
     false},
    {"Empty", 0, [](const GameState&) { return std::string(); }, false},
};

class PasswordRoleTest : public PasswordWindowTest,
                         public ::testing::WithParamInterface<std::tuple<PasswordCase, bool>> {};

TEST_P(PasswordRoleTest, OnlyTheRolesExactPasswordStartsItsMode) {
  const auto& [c, confirm_with_enter] = GetParam();
  game().GameMode = 1;
  game().Level = 4;
  Open(c.role);
  TypeText(edit(), QString::fromStdString(c.typed(game())));
  if (confirm_with_enter)
    TypeKey(edit(), Qt::Key_Return);
  else
    form_->OkButton().click();

  const bool super = c.role == 1;
  EXPECT_EQ(form_->isVisible(), !c.accepted);
  EXPECT_EQ(form_->ErrorLabel().isVisible(), !c.accepted);
  EXPECT_EQ(super ? game().SuperPasswordAccepted : game().ExtraPasswordAccepted, c.accepted);
  EXPECT_FALSE(super ? game().ExtraPasswordAccepted : game().SuperPasswordAccepted);
  // The window only reports the password; the flow starts the mode after its
  // pre-game check, so the running game is untouched either way.
  EXPECT_EQ(game().GameMode, 1);
  EXPECT_EQ(game().Level, 4);
  if (!c.accepted) {
    EXPECT_EQ(form_->ErrorLabel().text().toStdString(), game().Text(MsgId::MsgInvalidPassword));
    EXPECT_EQ(form_->focusWidget(), &edit());
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, PasswordRoleTest,
                         ::testing::Combine(::testing::ValuesIn(kPasswordCases), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "_Enter" : "_OkButton");
                         });

TEST_F(PasswordWindowTest, PasswordRolesShowModeCaptionStopSignAndCancel) {
  for (int role : {0, 1}) {
    Open(role);
    const MsgId mode = role == 0 ? MsgId::MsgModeExtra : MsgId::MsgModeSuper;
    EXPECT_EQ(form_->windowTitle().toStdString(),
              game().Text(MsgId::MsgModeLabel) + " " + game().Text(mode));
    EXPECT_EQ(form_->PromptLabel().text().toStdString(), game().Text(MsgId::MsgEnterPassword));
    EXPECT_TRUE(form_->StopSign().isVisible());
    EXPECT_TRUE(form_->CancelButton().isVisible());
    EXPECT_EQ(form_->OkButton().pos(), QPoint(105, 114));
    EXPECT_FALSE(form_->ErrorLabel().isVisible());
    form_->close();
  }
}

TEST_F(PasswordWindowTest, AnyKeyAfterARefusalHidesTheError) {
  Open(0);
  TypeText(edit(), "wrong");
  TypeKey(edit(), Qt::Key_Return);
  ASSERT_TRUE(form_->ErrorLabel().isVisible());
  TypeKey(edit(), Qt::Key_Backspace);
  EXPECT_FALSE(form_->ErrorLabel().isVisible());
  EXPECT_EQ(edit().text(), "wron");
}

TEST_F(PasswordWindowTest, CancelCloseAndEscapeHaveNoEffect) {
  const std::function<void()> closers[] = {
      [&] { form_->CancelButton().click(); },
      [&] { form_->close(); },
      [&] { TypeKey(edit(), Qt::Key_Escape); },
  };
  for (const auto& close_window : closers) {
    game().GameMode = 1;
    Open(0);
    TypeText(edit(), QString::fromStdString(game().ExtraPassword));
    close_window();
    EXPECT_FALSE(form_->isVisible());
    EXPECT_FALSE(game().ExtraPasswordAccepted);
    EXPECT_EQ(game().GameMode, 1);
    edit().clear();
  }
}

TEST_F(PasswordWindowTest, ARefusedPasswordIsStillInTheFieldAtTheNextPrompt) {
  Open(1);
  TypeText(edit(), "guess1");
  TypeKey(edit(), Qt::Key_Return);
  TypeKey(edit(), Qt::Key_Escape);
  ASSERT_FALSE(form_->isVisible());
  Open(0);
  EXPECT_EQ(edit().text(), "guess1");
  EXPECT_FALSE(form_->ErrorLabel().isVisible());
}

TEST_F(PasswordWindowTest, AfterAChampionsNameTheNextPromptOpensEmpty) {
  player_name_ = "Anna";
  Open(2);
  TypeKey(edit(), Qt::Key_Return);
  ASSERT_EQ(game().ChampionName, "Anna");
  Open(0);
  EXPECT_EQ(edit().text(), "");
}

TEST_F(PasswordWindowTest, ChampionRoleOffersThePlayersNameWithoutStopSignOrCancel) {
  player_name_ = "Boris";
  Open(2);
  EXPECT_EQ(form_->windowTitle().toStdString(), game().Text(MsgId::MsgYouWon));
  EXPECT_EQ(form_->PromptLabel().text().toStdString(), game().Text(MsgId::MsgEnterName));
  EXPECT_EQ(edit().text(), "Boris");
  EXPECT_FALSE(form_->StopSign().isVisible());
  EXPECT_FALSE(form_->CancelButton().isVisible());
  EXPECT_FALSE(form_->ErrorLabel().isVisible());
  EXPECT_EQ(form_->OkButton().pos(), QPoint(55, 114));
  EXPECT_EQ(form_->focusWidget(), &edit());
}

TEST_F(PasswordWindowTest, ChampionRoleCopiesTypingIntoPlayerNameAndEscapeKeepsChampionName) {
  game().ChampionName = "Earlier";
  player_name_ = "Ann";
  Open(2);
  TypeKey(edit(), Qt::Key_End);  // the offered name starts selected
  TypeText(edit(), "ie");
  EXPECT_EQ(player_name_, "Annie");
  TypeKey(edit(), Qt::Key_Escape);
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(game().ChampionName, "Earlier");
  EXPECT_EQ(player_name_, "Annie");
  Open(2);
  EXPECT_EQ(edit().text(), "Annie");
  form_->OkButton().click();
  EXPECT_EQ(game().ChampionName, "Annie");
  EXPECT_FALSE(form_->isVisible());
}

TEST_F(PasswordWindowTest, ChampionRoleTakesTwelveTypedCharacters) {
  player_name_.clear();
  Open(2);
  TypeText(edit(), QString::fromUtf8("Катерина-Мария"));  // 14 characters, 26 UTF-8 bytes
  EXPECT_EQ(edit().text(), QString::fromUtf8("Катерина-Мар"));
  EXPECT_EQ(player_name_, "Катерина-Мар");
}

TEST_F(PasswordWindowTest, ALongerNameFromTheSettingsIsOfferedWholeButCannotGrow) {
  player_name_ = "Maximilianus XV";  // 15 characters
  Open(2);
  EXPECT_EQ(edit().text(), "Maximilianus XV");
  TypeKey(edit(), Qt::Key_End);
  TypeText(edit(), "I");
  EXPECT_EQ(edit().text(), "Maximilianus XV");
  TypeKey(edit(), Qt::Key_Backspace);
  EXPECT_EQ(edit().text(), "Maximilianus X");
  EXPECT_EQ(player_name_, "Maximilianus X");
  TypeKey(edit(), Qt::Key_Return);
  EXPECT_EQ(game().ChampionName, "Maximilianus X");
}

TEST_F(PasswordWindowTest, PasswordRolesHaveNoLengthLimitAfterTheNameRole) {
  Open(2);
  form_->close();
  Open(0);
  edit().clear();
  TypeText(edit(), "a-very-long-wrong-password");
  EXPECT_EQ(edit().text(), "a-very-long-wrong-password");
}

TEST_F(PasswordWindowTest, ChampionRoleDrawsTheMedalOverTheFrame) {
  Open(2);
  const QImage shown = form_->grab().toImage();
  EXPECT_EQ(shown.pixelColor(20, 45), dialogs_test::kMedal);  // under the hidden stop sign
  EXPECT_EQ(shown.pixelColor(150, 20), dialogs_test::kFrame);
  EXPECT_EQ(shown.pixelColor(2, 148), dialogs_test::kBackground);
}

// The game asks through the real modal window: an accepted Extra password
// starts an Extra game, a cancelled prompt leaves the game as it was.
struct ModalPasswordPorts : testing::NullPorts {
  PasswordWindow* form = nullptr;
  void ShowPasswordWindow(int) override { form->Execute(); }
};

TEST(PasswordWindowFlowTest, TheGameStartsExtraOnlyAfterTheModalWindowAcceptedThePassword) {
  TestPictures test_pictures;
  PictureStore pictures(test_pictures.Root());
  ModalPasswordPorts ports;
  FixedRandom random(5);
  GameState game({ports, ports, ports, ports, ports, ports.session}, random, {"", ""});
  game.ExtraPassword = "Xt4-q9z";
  std::string player_name;
  QWidget parent;
  PasswordWindow form(game, player_name, pictures, &parent);
  ports.form = &form;

  WhenModalOpens([](QWidget& modal) {
    auto& pw = static_cast<PasswordWindow&>(modal);
    TypeText(pw.Edit1(), "nope");
    TypeKey(pw.Edit1(), Qt::Key_Escape);
  });
  game.Button2Click();
  EXPECT_EQ(game.GameMode, 1);

  WhenModalOpens([](QWidget& modal) {
    auto& pw = static_cast<PasswordWindow&>(modal);
    pw.Edit1().clear();
    TypeText(pw.Edit1(), "Xt4-q9z");
    TypeKey(pw.Edit1(), Qt::Key_Return);
  });
  game.Button2Click();
  EXPECT_EQ(game.GameMode, 2);
  EXPECT_EQ(game.Level, 1);
  EXPECT_EQ(game.Score, kStartScore);
  EXPECT_FALSE(game.ExtraPasswordAccepted);  // the flow clears it once the game runs
}

// With a rated game open, the right Super password and "No" to abandoning it
// leave the running game exactly as it was.
TEST(PasswordWindowFlowTest, RefusingToAbandonARatedGameKeepsTheRunningGame) {
  TestPictures test_pictures;
  PictureStore pictures(test_pictures.Root());
  ModalPasswordPorts ports;  // every question is answered "No"
  FixedRandom random(5);
  GameState game({ports, ports, ports, ports, ports, ports.session}, random, {"", ""});
  game.SuperPassword = "Sp8-k2wq";
  std::string player_name;
  QWidget parent;
  PasswordWindow form(game, player_name, pictures, &parent);
  ports.form = &form;
  game.TitleScreen = true;
  game.Image1Click();  // a Normal game, the online icons shown
  game.Level = 3;
  ports.session.AccountState = 3;
  ports.session.RatedGameOpen = true;

  WhenModalOpens([](QWidget& modal) {
    auto& pw = static_cast<PasswordWindow&>(modal);
    TypeText(pw.Edit1(), "Sp8-k2wq");
    TypeKey(pw.Edit1(), Qt::Key_Return);
  });
  game.Button3Click();
  EXPECT_EQ(game.GameMode, 1);
  EXPECT_EQ(game.Level, 3);
  EXPECT_TRUE(ports.session.RatedGameOpen);
}

}  // namespace
}  // namespace braxo
