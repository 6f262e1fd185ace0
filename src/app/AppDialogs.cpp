#include "app/AppDialogs.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace braxo {

void AppDialogs::ShowPasswordWindow(int) {
  // The password window comes with the dialogs; until then no password is
  // accepted and no name is asked.
}

bool AppDialogs::AskYesNo(const std::string& question) {
  return QMessageBox::question(&window_, window_.windowTitle(), QString::fromStdString(question),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void AppDialogs::ShowNotice(const Notice& notice) {
  QString text = QString::fromStdString(notice.message);
  if (!notice.second.empty()) text += "\n" + QString::fromStdString(notice.second);
  if (!notice.link.empty()) text += "\n" + QString::fromStdString(notice.link);
  QMessageBox::information(&window_, QStringLiteral("Attention"), text);
}

void AppDialogs::ShowError(const std::string& message) {
  QMessageBox::critical(&window_, window_.windowTitle(), QString::fromStdString(message));
}

void AppDialogs::OpenWebPage(const std::string& address) {
  const QUrl url(QString::fromStdString(address));
  if (url.scheme() == "http" || url.scheme() == "https") QDesktopServices::openUrl(url);
}

}  // namespace braxo
