#include "dialogs/ClubWindowShared.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QLocale>
#include <QToolTip>

#include "club/NameRules.h"
#include "club/TopTenService.h"
#include "dialogs/NoticeWindow.h"
#include "i18n/MessageCatalogue.h"
#include "storage/TextFile.h"
#include "ui/Drawing.h"

namespace braxo {

void ShowNoticeWindow(QWidget* parent, const Notice& notice) { ShowNotice(parent, notice); }

QString LengthLimitText(int characters, int language) {
  return QString::fromStdString(MessageText(MsgId::MsgLengthLimit, language)).arg(characters);
}

void SayLengthLimit(QLineEdit& field, int language) {
  const QString text = LengthLimitText(field.maxLength(), language);
  field.setToolTip(text);
  QObject::connect(&field, &QLineEdit::inputRejected, &field, [&field, text] {
    // A refusal for another reason (a validator) is not about the length.
    if (field.text().size() < field.maxLength()) return;
    QApplication::beep();
    QToolTip::showText(field.mapToGlobal(QPoint(0, field.height())), text, &field);
  });
}

bool IsPassportAcceptable(const TournamentPassport& passport) {
  return RateNameTextUtf8(passport.nick, kRateNick) >= kRateCyrillic &&
         RateNameTextUtf8(passport.city, kRateCity) >= kRateCyrillic;
}

bool SendAllowedAfterPassport(const TournamentPassport& passport, bool already_sent) {
  return !already_sent && RateNameTextUtf8(passport.nick, kRateNick) == kRateGood &&
         RateNameTextUtf8(passport.city, kRateCity) >= kRateCyrillic;
}

std::string ChatMessageToSend(std::string_view typed) {
  const QString text = QString::fromUtf8(typed.data(), static_cast<qsizetype>(typed.size()));
  QString sent;
  int count = 0;
  for (const char32_t c : text.toUcs4()) {
    if (count == static_cast<int>(kMaxChatMessageLength)) break;
    ++count;
    const QString one = QString::fromUcs4(&c, 1);
    const std::string byte = Utf8ToCp1251(one.toStdString());
    // A character the code page lacks comes back as "?", which is itself
    // allowed: only a real "?" may stay.
    const bool allowed = byte.size() == 1 &&
                         IsAllowedNameByte(static_cast<unsigned char>(byte[0])) &&
                         (byte[0] != '?' || c == U'?');
    sent += allowed ? one : QStringLiteral("_");
  }
  return sent.toStdString();
}

QString ChatCharactersNotSent(const QString& typed) {
  const QString sent = QString::fromStdString(ChatMessageToSend(typed.toStdString()));
  const QList<uint> typed_points = typed.toUcs4();
  const QList<uint> sent_points = sent.toUcs4();
  QString refused;
  for (qsizetype i = 0; i < sent_points.size() && i < typed_points.size(); ++i) {
    const uint c = typed_points[i];
    if (sent_points[i] != c && c != U' ') {
      const char32_t point = c;
      const QString one = QString::fromUcs4(&point, 1);
      if (!refused.contains(one)) refused += one;
    }
  }
  return refused;
}

QString ShownWithSpaces(std::string_view stored) {
  QString text = QString::fromUtf8(stored.data(), static_cast<qsizetype>(stored.size()));
  text.replace(QLatin1Char('_'), QLatin1Char(' '));
  return text;
}

std::string ChatTimeStamp(const QDateTime& when) {
  // The desktop's long time format carries the time zone's name, which
  // would make the stamp longer than the club keeps; hours, minutes and
  // seconds are what the long format shows of the time itself.
  QString stamp = when.time().toString(QStringLiteral("HH:mm:ss")) + QLatin1Char('_') +
                  QLocale::system().toString(when.date(), QLocale::ShortFormat) +
                  QStringLiteral("_Braxo");
  stamp.replace(QLatin1Char(' '), QLatin1Char('_'));
  return stamp.toStdString();
}

void TextWriter::Left(const QString& text, int x, int y) {
  painter_.drawText(x, y + QFontMetrics(painter_.font()).ascent(), text);
  record_.push_back({text, x, y, painter_.pen().color()});
}

void TextWriter::Centred(const QString& text, int x1, int x2, int y) {
  DrawTextCentered(painter_, text, x1, x2, y);
  const int width = QFontMetrics(painter_.font()).horizontalAdvance(text);
  record_.push_back({text, CenteredLeft(x1, x2, width), y, painter_.pen().color()});
}

void TextWriter::Right(const QString& text, int x, int y) {
  DrawTextRight(painter_, text, x, y);
  const int width = QFontMetrics(painter_.font()).horizontalAdvance(text);
  record_.push_back({text, x - width, y, painter_.pen().color()});
}

}  // namespace braxo
