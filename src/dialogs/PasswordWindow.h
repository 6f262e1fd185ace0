// The password window in its three roles, chosen by the game's
// PasswordWindowRole before it is shown: the password of mode "Extra"
// (role 0), the password of mode "Super" (role 1), and the name of a new
// champion (role 2).
//
// Created once and reused for the whole run, so the entry field keeps its
// text from one showing to the next.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QValidator>
#include <string>

#include "game/GameState.h"
#include "ui/Pictures.h"
#include "ui/SkinnedButton.h"

namespace braxo {

inline constexpr int kPasswordRoleExtra = 0;
inline constexpr int kPasswordRoleSuper = 1;
inline constexpr int kPasswordRoleChampion = 2;
// The most characters the player may type as a champion's name.
inline constexpr int kChampionNameTypedLimit = 12;

// Refuses an edit that leaves more than `limit` characters and more than the
// field held before. A longer text put into the field by the program stays
// whole; the player can shorten it but not lengthen it.
class TypedLengthValidator : public QValidator {
 public:
  explicit TypedLengthValidator(int limit, QObject* parent = nullptr)
      : QValidator(parent), limit_(limit) {}
  // The text the next edit starts from.
  void SetPrevious(const QString& text) { previous_ = text; }
  State validate(QString& input, int& position) const override;

 private:
  int limit_;
  QString previous_;
};

class PasswordWindow : public QDialog {
  Q_OBJECT

 public:
  // `game` supplies the role, the passwords and ChampionName and takes the
  // accepted flags (the flow starts the mode once the pre-game check
  // agreed); `player_name` is the settings' name, which role 2 offers and
  // keeps equal to the field. All must outlive the window.
  PasswordWindow(GameState& game, std::string& player_name, PictureStore& pictures,
                 QWidget* parent);

  // Shows the window modally in the game's current PasswordWindowRole.
  void Execute();

  QLineEdit& Edit1() { return *edit1_; }
  QLabel& PromptLabel() { return *prompt_label_; }
  QLabel& ErrorLabel() { return *error_label_; }
  QLabel& StopSign() { return *stop_sign_; }
  SkinnedButton& OkButton() { return *ok_button_; }
  SkinnedButton& CancelButton() { return *cancel_button_; }
  // The role the window was last shown in.
  int Role() const { return role_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormShow();
  void Confirm();
  void Edit1Change(const QString& text);

  GameState& game_;
  std::string& player_name_;
  PictureStore& pictures_;
  int role_ = kPasswordRoleExtra;
  QLabel* stop_sign_;
  QLabel* prompt_label_;
  QLabel* error_label_;
  QLineEdit* edit1_;
  SkinnedButton* cancel_button_;
  SkinnedButton* ok_button_;
  TypedLengthValidator name_validator_;
};

}  // namespace braxo
