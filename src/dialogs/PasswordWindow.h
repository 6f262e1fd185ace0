// The password window in its three roles: the password of mode "Extra", the
// password of mode "Super", and the name of a new champion.
//
// Created once and reused for the whole run, so the entry field keeps its
// text from one showing to the next.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QValidator>
#include <optional>
#include <string>

#include "game/InterfaceLanguage.h"
#include "game/Ports.h"
#include "ui/Pictures.h"
#include "ui/SkinnedButton.h"

namespace braxo {

// What the window asks for.
enum class PasswordPrompt { kExtraPassword, kSuperPassword, kChampionName };
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
  // `player_name` is the settings' name, which the champion's prompt offers
  // and keeps equal to the field. All must outlive the window.
  PasswordWindow(const InterfaceLanguage& language, std::string& player_name,
                 PictureStore& pictures, QWidget* parent);

  // Asks modally for the password of `mode` (Extra or Super): true once
  // `password` was typed exactly, compared whole (a wrong one keeps the
  // window open); false when the window was closed without it. The window
  // only answers: the flow starts the mode.
  bool AskModePassword(GameMode mode, const std::string& password);
  // Asks modally for a new champion's name: the confirmed name, or none when
  // the window was closed without confirming.
  std::optional<std::string> AskChampionName();

  // What both do before the window shows, for tests that show it themselves:
  // the prompt and, for a mode's password, the password to check against.
  // The answer then reads from PasswordAccepted() or ConfirmedName().
  void Prepare(PasswordPrompt prompt, std::string password = {});
  bool PasswordAccepted() const { return password_accepted_; }
  const std::optional<std::string>& ConfirmedName() const { return confirmed_name_; }

  QLineEdit& EntryField() { return *entry_field_; }
  QLabel& PromptLabel() { return *prompt_label_; }
  QLabel& ErrorLabel() { return *error_label_; }
  QLabel& StopSign() { return *stop_sign_; }
  SkinnedButton& OkButton() { return *ok_button_; }
  SkinnedButton& CancelButton() { return *cancel_button_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PrepareShowing();
  void Confirm();
  void EntryChanged(const QString& text);

  const InterfaceLanguage& language_;
  std::string& player_name_;
  PictureStore& pictures_;
  PasswordPrompt prompt_ = PasswordPrompt::kExtraPassword;
  // What the prompt checks against; never shown.
  std::string password_;
  bool password_accepted_ = false;
  std::optional<std::string> confirmed_name_;
  // The name the last champion confirmed: it is not offered as a password.
  std::string last_champion_name_;
  QLabel* stop_sign_;
  QLabel* prompt_label_;
  QLabel* error_label_;
  QLineEdit* entry_field_;
  SkinnedButton* cancel_button_;
  SkinnedButton* ok_button_;
  TypedLengthValidator name_validator_;
};

}  // namespace braxo
