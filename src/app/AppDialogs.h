// The flow's windows and questions on the desktop: message boxes for the
// notices and questions, the web browser for pages. Windows that the game
// does not have yet are not shown.
#pragma once

#include <QWidget>

#include "game/GameState.h"

namespace braxo {

class AppDialogs : public DialogPort {
 public:
  AppDialogs(QWidget& window, GameState*& game) : window_(window), game_(game) {}

  void ShowPasswordWindow(int role) override;
  bool AskYesNo(const std::string& question) override;
  void ShowNotice(const Notice& notice) override;
  void ShowError(const std::string& message) override;
  void ShowAccountWindow() override {}
  void ShowTopTenEntryWindow() override {}
  void ShowTopTenTableWindow() override {}
  void ShowChatWindow() override {}
  void ShowStatisticsWindow() override {}
  void ShowInfoWindow() override {}
  void OpenWebPage(const std::string& address) override;

 private:
  QWidget& window_;
  GameState*& game_;
};

}  // namespace braxo
