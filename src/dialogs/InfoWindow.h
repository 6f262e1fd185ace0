// The information window with its three pages: about (1), options with the
// interface language (2) and the best five champions (3), chosen by the
// game's InfoWindowPage before it is shown. Created once and reused; every
// showing redraws the page completely.
#pragma once

#include <QDialog>
#include <QUrl>
#include <array>

#include "dialogs/NoticeWindow.h"
#include "game/GameState.h"
#include "storage/ChampionsFile.h"
#include "ui/ImageControl.h"
#include "ui/Pictures.h"
#include "ui/SkinnedButton.h"

namespace braxo {

inline constexpr int kInfoPageAbout = 1;
inline constexpr int kInfoPageOptions = 2;
inline constexpr int kInfoPageChampions = 3;
inline constexpr int kInfoWidth = 610;
inline constexpr int kInfoHeight = 400;
inline constexpr int kInfoImageHeight = 332;

// Where the about page's icon and logo lead: two web pages of the club, one
// picked at random on each click, and its "mailto:" address.
struct InfoContacts {
  std::array<QUrl, 2> web_pages;
  QUrl mail;
};

// The club's contacts derived from any address on its site (the
// configuration page): its scheme and host (with the port, if any) with the
// pages "/" and "/about/", and "mailto:club@" + host. Empty addresses when
// `address` has no http or https scheme and host.
InfoContacts InfoContactsFromClubAddress(const QString& address);

class InfoWindow : public QDialog {
  Q_OBJECT

 public:
  // Everything passed in must outlive the window. `open_url` opens the web
  // pages and the mail address (the desktop's handler in the game).
  InfoWindow(GameState& game, const ChampionsFile& champions, PictureStore& pictures,
             InfoContacts contacts, QWidget* parent, UrlOpener open_url = OpenWithDesktop);

  // Shows the window modally on the game's current InfoWindowPage.
  void Execute();

  ImageControl& Image1() { return *image1_; }
  SkinnedButton& Button1() { return *button1_; }
  // The page the window was last shown on.
  int Page() const { return page_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void FormShow();
  void UpdateCaption();
  // BG stretched over the whole window and the frame, as Image1 shows them
  // under every page.
  void PaintPageBackground(QPainter& painter);
  void DrawAboutPage(QPainter& painter);
  void DrawOptionsPage(QPainter& painter);
  void DrawChampionsPage(QPainter& painter);
  // Restores the flag's area from the page background and draws the current
  // language's flag over it.
  void DrawFlag();
  void Image1MouseMove(QPoint point);
  void Image1MouseDown(QPoint point);

  GameState& game_;
  const ChampionsFile& champions_;
  PictureStore& pictures_;
  InfoContacts contacts_;
  UrlOpener open_url_;
  int page_ = kInfoPageAbout;
  ImageControl* image1_;
  SkinnedButton* button1_;
};

}  // namespace braxo
