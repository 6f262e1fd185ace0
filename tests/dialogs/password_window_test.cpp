#include <gtest/gtest.h>

#include <QApplication>
#include <string>

#include "DialogTestKit.h"
#include "dialogs/PasswordWindow.h"

namespace braxo {
namespace {

using dialogs_test::kTestExtraPassword;
using dialogs_test::kTestSuperPassword;
using dialogs_test::TestGame;
using dialogs_test::TestPictures;
using dialogs_test::TypeKey;
using dialogs_test::TypeText;
using dialogs_test::WhenModalOpens;

class PasswordWindowTest : public ::testing::Test {
 protected:
  PasswordWindowTest() : pictures_(test_pictures_.Root()) {
    form_ =
        std::make_unique<PasswordWindow>(test_game_.language(), player_name_, pictures_, &parent_);
  }

  GameState& game() { return test_game_.game(); }
  // Shows the window (not modally, so the test can drive it) for `prompt`; a
  // mode's prompt checks against the test password of its mode.
  void Open(PasswordPrompt prompt) {
    form_->Prepare(prompt, prompt == PasswordPrompt::kExtraPassword   ? kTestExtraPassword
                           : prompt == PasswordPrompt::kSuperPassword ? kTestSuperPassword
                                                                      : std::string());
    form_->show();
  }
  QLineEdit& edit() { return form_->EntryField(); }

  TestPictures test_pictures_;
  PictureStore pictures_;
  TestGame test_game_;
  std::string player_name_;
  QWidget parent_;
  std::unique_ptr<PasswordWindow> form_;
};

struct PasswordCase {
  const char* name;
  PasswordPrompt role;
  std::string (*typed)();
  bool accepted;
};

void PrintTo(const PasswordCase& c, std::ostream* os) { *os << c.name; }

constexpr PasswordPrompt kExtra = PasswordPrompt::kExtraPassword;
constexpr PasswordPrompt kSuper = PasswordPrompt::kSuperPassword;
constexpr PasswordPrompt kChampion = PasswordPrompt::kChampionName;

const PasswordCase kPasswordCases[] = {
    {"ExtraPasswordInRoleExtra", kExtra, [] { return kTestExtraPassword; }, true},
    {"SuperPasswordInRoleSuper", kSuper, [] { return kTestSuperPassword; }, true},
    {"SuperPasswordInRoleExtra", kExtra, [] { return kTestSuperPassword; }, false},
    {"ExtraPasswordInRoleSuper", kSuper, [] { return kTestExtraPassword; }, false},
    {"TrailingSpace", kExtra, [] { return kTestExtraPassword + " "; }, false},
    {"LeadingSpace", kSuper, [] { return " " + kTestSuperPassword; }, false},
    {"OtherLetterCase", kExtra,
     [] { return QString::fromStdString(kTestExtraPassword).toUpper().toStdString(); }, false},
    {"Empty", kExtra, [] { return std::string(); }, false},
};

class PasswordRoleTest : public PasswordWindowTest,
                         public ::testing::WithParamInterface<std::tuple<PasswordCase, bool>> {};

TEST_P(PasswordRoleTest, OnlyTheRolesExactPasswordStartsItsMode) {
  const auto& [c, confirm_with_enter] = GetParam();
  Open(c.role);
  TypeText(edit(), QString::fromStdString(c.typed()));
  if (confirm_with_enter)
    TypeKey(edit(), Qt::Key_Return);
  else
    form_->OkButton().click();

  EXPECT_EQ(form_->isVisible(), !c.accepted);
  EXPECT_EQ(form_->ErrorLabel().isVisible(), !c.accepted);
  // The window only reports the password; the flow starts the mode after its
  // pre-game check.
  EXPECT_EQ(form_->PasswordAccepted(), c.accepted);
  if (!c.accepted) {
    EXPECT_EQ(form_->ErrorLabel().text().toStdString(), game().Text(MsgId::MsgInvalidPassword));
    EXPECT_EQ(form_->focusWidget(), &edit());
  }
  // The answer belongs to this prompt: the other mode's prompt starts
  // unanswered.
  form_->Prepare(c.role == kSuper ? kExtra : kSuper,
                 c.role == kSuper ? kTestExtraPassword : kTestSuperPassword);
  EXPECT_FALSE(form_->PasswordAccepted());
}

INSTANTIATE_TEST_SUITE_P(Cases, PasswordRoleTest,
                         ::testing::Combine(::testing::ValuesIn(kPasswordCases), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "_Enter" : "_OkButton");
                         });

TEST_F(PasswordWindowTest, PasswordRolesShowModeCaptionStopSignAndCancel) {
  for (PasswordPrompt role : {kExtra, kSuper}) {
    Open(role);
    const MsgId mode = role == kExtra ? MsgId::MsgModeExtra : MsgId::MsgModeSuper;
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
  Open(kExtra);
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
    Open(kExtra);
    TypeText(edit(), QString::fromStdString(kTestExtraPassword));
    close_window();
    EXPECT_FALSE(form_->isVisible());
    EXPECT_FALSE(form_->PasswordAccepted());
    edit().clear();
  }
}

TEST_F(PasswordWindowTest, ARefusedPasswordIsStillInTheFieldAtTheNextPrompt) {
  Open(kSuper);
  TypeText(edit(), "guess1");
  TypeKey(edit(), Qt::Key_Return);
  TypeKey(edit(), Qt::Key_Escape);
  ASSERT_FALSE(form_->isVisible());
  Open(kExtra);
  EXPECT_EQ(edit().text(), "guess1");
  EXPECT_FALSE(form_->ErrorLabel().isVisible());
}

TEST_F(PasswordWindowTest, AfterAChampionsNameTheNextPromptOpensEmpty) {
  player_name_ = "Anna";
  Open(kChampion);
  TypeKey(edit(), Qt::Key_Return);
  ASSERT_EQ(form_->ConfirmedName(), "Anna");
  Open(kExtra);
  EXPECT_EQ(edit().text(), "");
}

TEST_F(PasswordWindowTest, ChampionRoleOffersThePlayersNameWithoutStopSignOrCancel) {
  player_name_ = "Boris";
  Open(kChampion);
  EXPECT_EQ(form_->windowTitle().toStdString(), game().Text(MsgId::MsgChampionCaption));
  EXPECT_EQ(form_->PromptLabel().text().toStdString(), game().Text(MsgId::MsgEnterName));
  EXPECT_EQ(edit().text(), "Boris");
  EXPECT_FALSE(form_->StopSign().isVisible());
  EXPECT_FALSE(form_->CancelButton().isVisible());
  EXPECT_FALSE(form_->ErrorLabel().isVisible());
  EXPECT_EQ(form_->OkButton().pos(), QPoint(55, 114));
  EXPECT_EQ(form_->focusWidget(), &edit());
}

TEST_F(PasswordWindowTest, ChampionRoleCopiesTypingIntoPlayerNameAndEscapeConfirmsNoName) {
  player_name_ = "Ann";
  Open(kChampion);
  TypeKey(edit(), Qt::Key_End);  // the offered name starts selected
  TypeText(edit(), "ie");
  EXPECT_EQ(player_name_, "Annie");
  TypeKey(edit(), Qt::Key_Escape);
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(form_->ConfirmedName(), std::nullopt);
  EXPECT_EQ(player_name_, "Annie");
  Open(kChampion);
  EXPECT_EQ(edit().text(), "Annie");
  form_->OkButton().click();
  EXPECT_EQ(form_->ConfirmedName(), "Annie");
  EXPECT_FALSE(form_->isVisible());
}

TEST_F(PasswordWindowTest, ChampionRoleTakesTwelveTypedCharacters) {
  player_name_.clear();
  Open(kChampion);
  TypeText(edit(), QString::fromUtf8("Катерина-Мария"));  // 14 characters, 26 UTF-8 bytes
  EXPECT_EQ(edit().text(), QString::fromUtf8("Катерина-Мар"));
  EXPECT_EQ(player_name_, "Катерина-Мар");
}

TEST_F(PasswordWindowTest, ALongerNameFromTheSettingsIsOfferedWholeButCannotGrow) {
  player_name_ = "Maximilianus XV";  // 15 characters
  Open(kChampion);
  EXPECT_EQ(edit().text(), "Maximilianus XV");
  TypeKey(edit(), Qt::Key_End);
  TypeText(edit(), "I");
  EXPECT_EQ(edit().text(), "Maximilianus XV");
  TypeKey(edit(), Qt::Key_Backspace);
  EXPECT_EQ(edit().text(), "Maximilianus X");
  EXPECT_EQ(player_name_, "Maximilianus X");
  TypeKey(edit(), Qt::Key_Return);
  EXPECT_EQ(form_->ConfirmedName(), "Maximilianus X");
}

TEST_F(PasswordWindowTest, PasswordRolesHaveNoLengthLimitAfterTheNameRole) {
  Open(kChampion);
  form_->close();
  Open(kExtra);
  edit().clear();
  TypeText(edit(), "a-very-long-wrong-password");
  EXPECT_EQ(edit().text(), "a-very-long-wrong-password");
}

TEST_F(PasswordWindowTest, ChampionRoleDrawsTheMedalOverTheFrame) {
  Open(kChampion);
  const QImage shown = form_->grab().toImage();
  EXPECT_EQ(shown.pixelColor(20, 45), dialogs_test::kMedal);  // under the hidden stop sign
  EXPECT_EQ(shown.pixelColor(150, 20), dialogs_test::kFrame);
  EXPECT_EQ(shown.pixelColor(2, 148), dialogs_test::kBackground);
}

// The game asks through the real modal window: an accepted Extra password
// starts an Extra game, a cancelled prompt leaves the game as it was.
struct ModalPasswordPorts : testing::NullPorts {
  PasswordWindow* form = nullptr;
  bool AskModePassword(GameMode mode, const std::string& password) override {
    return form->AskModePassword(mode, password);
  }
};

TEST(PasswordWindowFlowTest, TheGameStartsExtraOnlyAfterTheModalWindowAcceptedThePassword) {
  TestPictures test_pictures;
  PictureStore pictures(test_pictures.Root());
  ModalPasswordPorts ports;
  FixedRandom random(5);
  GameState game(ports.Ports(), random, {"", ""});
  std::string player_name;
  QWidget parent;
  PasswordWindow form(ports.language, player_name, pictures, &parent);
  ports.form = &form;

  WhenModalOpens([](QWidget& modal) {
    auto& pw = static_cast<PasswordWindow&>(modal);
    TypeText(pw.EntryField(), "nope");
    TypeKey(pw.EntryField(), Qt::Key_Escape);
  });
  game.StartExtraGame();
  EXPECT_EQ(game.Mode(), GameMode::kNormal);

  WhenModalOpens([](QWidget& modal) {
    auto& pw = static_cast<PasswordWindow&>(modal);
    pw.EntryField().clear();
    TypeText(pw.EntryField(), QString::fromStdString(AssembleExtraPassword()));
    TypeKey(pw.EntryField(), Qt::Key_Return);
  });
  game.StartExtraGame();
  EXPECT_EQ(game.Mode(), GameMode::kExtra);
  EXPECT_EQ(game.Level(), 1);
  EXPECT_EQ(game.Score(), kStartScore);
}

// With a rated game open, the right Super password and "No" to abandoning it
// leave the running game exactly as it was.
TEST(PasswordWindowFlowTest, RefusingToAbandonARatedGameKeepsTheRunningGame) {
  TestPictures test_pictures;
  PictureStore pictures(test_pictures.Root());
  ModalPasswordPorts ports;  // every question is answered "No"
  FixedRandom random(5);
  GameState game(ports.Ports(), random, {"", ""});
  std::string player_name;
  QWidget parent;
  PasswordWindow form(ports.language, player_name, pictures, &parent);
  ports.form = &form;
  game.Start();
  game.LeaveTitleScreen();  // a Normal game, the online icons shown
  GamePosition position = game.Position();
  position.level = 3;
  game.SetPosition(std::move(position));
  ports.session.account_state = AccountState::kRated;
  ports.session.rated_game_open = true;

  WhenModalOpens([](QWidget& modal) {
    auto& pw = static_cast<PasswordWindow&>(modal);
    TypeText(pw.EntryField(), QString::fromStdString(AssembleSuperPassword()));
    TypeKey(pw.EntryField(), Qt::Key_Return);
  });
  game.StartSuperGame();
  EXPECT_EQ(game.Mode(), GameMode::kNormal);
  EXPECT_EQ(game.Level(), 3);
  EXPECT_TRUE(ports.session.rated_game_open);
}

}  // namespace
}  // namespace braxo
