#include "dialogs/PasswordWindow.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <utility>

#include "dialogs/DialogFrame.h"
#include "ui/Drawing.h"

namespace braxo {
namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 150;

QString Q(const std::string& text) { return QString::fromStdString(text); }

int CharacterCount(const QString& text) { return static_cast<int>(text.toUcs4().size()); }

void SetTextColour(QWidget& widget, const QColor& colour) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::WindowText, colour);
  palette.setColor(QPalette::Text, colour);
  widget.setPalette(palette);
}

QLabel* CentredLabel(QWidget* parent, int left, int top, int width, int cell_height,
                     const QColor& colour) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  label->setFont(CellHeightFont(ArialFamily(), cell_height, false));
  label->setGeometry(left, top, width, cell_height + 2);
  SetTextColour(*label, colour);
  return label;
}

}  // namespace

QValidator::State TypedLengthValidator::validate(QString& input, int&) const {
  const int length = CharacterCount(input);
  if (length > limit_ && length > CharacterCount(previous_)) return Invalid;
  return Acceptable;
}

PasswordWindow::PasswordWindow(const InterfaceLanguage& language, std::string& player_name,
                               PictureStore& pictures, QWidget* parent)
    : QDialog(parent),
      language_(language),
      player_name_(player_name),
      pictures_(pictures),
      name_validator_(kChampionNameTypedLimit) {
  SetFixedDialogFrame(*this, kWidth, kHeight);

  stop_sign_ = new QLabel(this);
  stop_sign_->setGeometry(5, 5, 45, 45);
  stop_sign_->setPixmap(QPixmap::fromImage(DrawStopSign()));

  prompt_label_ = CentredLabel(this, 35, 40, 130, 14, QColor(0, 0, 255));
  error_label_ = CentredLabel(this, 35, 77, 130, 12, QColor(255, 0, 0));
  error_label_->hide();

  entry_field_ = new QLineEdit(this);
  entry_field_->setGeometry(50, 55, 100, 21);
  entry_field_->setFont(CellHeightFont(ArialFamily(), 14, true));
  QPalette edit_palette = entry_field_->palette();
  edit_palette.setColor(QPalette::Base, QColor(208, 213, 234));
  edit_palette.setColor(QPalette::Text, QColor(128, 0, 0));
  entry_field_->setPalette(edit_palette);
  entry_field_->installEventFilter(this);
  connect(entry_field_, &QLineEdit::textChanged, this, &PasswordWindow::EntryChanged);

  cancel_button_ = new SkinnedButton(pictures_, this);
  cancel_button_->setGeometry(5, 115, 90, 30);
  StyleDialogButton(*cancel_button_, ButtonColour::kBlue, 16);
  connect(cancel_button_, &QPushButton::clicked, this, &QDialog::reject);

  ok_button_ = new SkinnedButton(pictures_, this);
  ok_button_->setText(QStringLiteral("Ok"));
  ok_button_->setGeometry(105, 114, 90, 30);
  StyleDialogButton(*ok_button_, ButtonColour::kGreen, 16);
  connect(ok_button_, &QPushButton::clicked, this, &PasswordWindow::Confirm);
}

void PasswordWindow::Prepare(PasswordPrompt prompt, std::string password) {
  prompt_ = prompt;
  password_ = std::move(password);
  password_accepted_ = false;
  confirmed_name_.reset();
}

bool PasswordWindow::AskModePassword(GameMode mode, const std::string& password) {
  Prepare(
      mode == GameMode::kSuper ? PasswordPrompt::kSuperPassword : PasswordPrompt::kExtraPassword,
      password);
  exec();
  return password_accepted_;
}

std::optional<std::string> PasswordWindow::AskChampionName() {
  Prepare(PasswordPrompt::kChampionName);
  exec();
  return confirmed_name_;
}

void PasswordWindow::PrepareShowing() {
  error_label_->setText(Q(language_.Text(MsgId::MsgInvalidPassword)));
  error_label_->hide();
  cancel_button_->setText(Q(language_.Text(MsgId::MsgCancel)));
  if (prompt_ == PasswordPrompt::kChampionName) {
    setWindowTitle(Q(language_.Text(MsgId::MsgChampionCaption)));
    prompt_label_->setText(Q(language_.Text(MsgId::MsgEnterName)));
    stop_sign_->hide();
    const QString name = Q(player_name_);
    name_validator_.SetPrevious(name);
    entry_field_->setValidator(&name_validator_);
    entry_field_->setText(name);
    ok_button_->move(55, 114);
    cancel_button_->hide();
  } else {
    const MsgId mode =
        prompt_ == PasswordPrompt::kSuperPassword ? MsgId::MsgModeSuper : MsgId::MsgModeExtra;
    setWindowTitle(Q(language_.Text(MsgId::MsgModeLabel) + " " + language_.Text(mode)));
    prompt_label_->setText(Q(language_.Text(MsgId::MsgEnterPassword)));
    stop_sign_->show();
    entry_field_->setValidator(nullptr);
    // A champion's name confirmed last time is not offered as a password; any
    // other earlier text (a refused password) stays for another try.
    if (entry_field_->text().toStdString() == last_champion_name_) entry_field_->clear();
    ok_button_->move(105, 114);
    cancel_button_->show();
  }
  entry_field_->setFocus();
}

void PasswordWindow::showEvent(QShowEvent* event) {
  PrepareShowing();
  QDialog::showEvent(event);
  CentreOnParent(*this);
}

void PasswordWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(QRect(0, 0, kWidth, kHeight), pictures_.LoadJpegResource("BG"));
  painter.drawImage(10, 5, pictures_.PictureFor(painter, QStringLiteral("Ramka180")));
  if (prompt_ == PasswordPrompt::kChampionName)
    painter.drawImage(10, 5, pictures_.PictureFor(painter, QStringLiteral("Medal")));
}

bool PasswordWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == entry_field_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      Confirm();
      return true;
    }
    if (key != Qt::Key_Escape && prompt_ != PasswordPrompt::kChampionName) error_label_->hide();
  }
  return QDialog::eventFilter(watched, event);
}

void PasswordWindow::EntryChanged(const QString& text) {
  name_validator_.SetPrevious(text);
  if (prompt_ == PasswordPrompt::kChampionName) player_name_ = text.toStdString();
}

void PasswordWindow::Confirm() {
  const std::string text = entry_field_->text().toStdString();
  if (prompt_ == PasswordPrompt::kChampionName) {
    last_champion_name_ = text;
    confirmed_name_ = text;
    accept();
    return;
  }
  // Compared whole and exactly: a trailing space or another letter case is a
  // different password. A prompt without a password accepts nothing.
  if (!password_.empty() && text == password_) {
    accept();
    password_accepted_ = true;
    return;
  }
  error_label_->show();
  entry_field_->setFocus();
}

}  // namespace braxo
