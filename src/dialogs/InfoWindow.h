// The information window with its three pages: about, options with the
// interface language and the play options, and the best five champions. Created once and reused;
// every showing redraws the page completely.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QUrl>
#include <array>
#include <functional>

#include "dialogs/NoticeWindow.h"
#include "game/InterfaceLanguage.h"
#include "game/Ports.h"
#include "storage/ChampionsFile.h"
#include "storage/OptionsFile.h"
#include "ui/ImageControl.h"
#include "ui/Pictures.h"
#include "ui/SkinnedButton.h"

namespace braxo {

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
  // Everything passed in must outlive the window. The window's texts follow
  // `language`. `open_url` opens the web pages and the mail address (the
  // desktop's handler in the game).
  InfoWindow(const InterfaceLanguage& language, const ChampionsFile& champions,
             PictureStore& pictures, InfoContacts contacts, QWidget* parent,
             UrlOpener open_url = OpenWithDesktop);

  // Shows the window modally on `page`; the options page's arrows step the
  // language through `step_language`.
  void Execute(InfoPage page, LanguageStepper step_language);
  // What Execute does before the window shows, for tests that show it
  // themselves.
  void Prepare(InfoPage page, LanguageStepper step_language);
  // The play options the options page shows above the language: the
  // free-tile marks and the casual mode. Each change of a check box changes
  // `options` and calls `changed` (which saves them). Without them the page
  // shows the language alone. `options` must outlive the window.
  void AttachOptions(Options* options, std::function<void()> changed);

  ImageControl& PagePicture() { return *page_picture_; }
  SkinnedButton& OkButton() { return *ok_button_; }
  QCheckBox& FreeTileMarksBox() { return *free_tile_marks_; }
  QCheckBox& CasualModeBox() { return *casual_mode_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void PrepareShowing();
  void UpdateCaption();
  // BG stretched over the whole window and the frame, as the page picture shows them
  // under every page.
  void PaintPageBackground(QPainter& painter);
  void DrawAboutPage(QPainter& painter);
  void DrawOptionsPage(QPainter& painter);
  void DrawChampionsPage(QPainter& painter);
  // Restores the flag's area from the page background and draws the current
  // language's flag over it.
  void DrawFlag();
  // The play options' check boxes and lines: shown on the options page when
  // options are attached, in the current language.
  void ShowPlayOptions();
  void PointerOverPage(QPoint point);
  void PagePressed(QPoint point);

  const InterfaceLanguage& language_;
  const ChampionsFile& champions_;
  PictureStore& pictures_;
  InfoContacts contacts_;
  UrlOpener open_url_;
  InfoPage page_ = InfoPage::kAbout;
  LanguageStepper step_language_;
  ImageControl* page_picture_;
  SkinnedButton* ok_button_;
  Options* options_ = nullptr;
  std::function<void()> options_changed_;
  QCheckBox* free_tile_marks_;
  QCheckBox* casual_mode_;
  QLabel* casual_note_;
  QLabel* casual_keys_;
};

}  // namespace braxo
