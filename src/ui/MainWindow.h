// The main window: designed at 850 x 510, which is its minimum size; larger,
// its content is scaled as one picture (StageFit) with its proportions kept
// and the room left over filled with the backdrop. It lays out, draws and forwards its
// events to the game; the game decides. Its keys: the arrows, Space, Enter
// and Esc on the board, N, E and S for new games, F1 for the help, P and
// Pause, and in a casual game H, Ctrl+Z, Ctrl+Y and R; while the game is
// paused any key resumes it. A game pauses on its own when the window is
// minimized, hidden or fully covered.
#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

#include "game/GameState.h"
#include "storage/OptionsFile.h"
#include "ui/BoardRenderer.h"
#include "ui/CoverWatch.h"
#include "ui/ImageControl.h"
#include "ui/Pictures.h"
#include "ui/SkinnedButton.h"
#include "ui/StageFit.h"
#include "ui/TitleScreen.h"

namespace braxo {

inline constexpr int kWindowWidth = 850;
inline constexpr int kWindowHeight = 510;

class MainWindow : public QWidget, public ViewPort {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(MainWindow)

 public:
  // `language` is the run's interface language, which the window's texts
  // follow; it must outlive the window.
  MainWindow(PictureStore& pictures, const InterfaceLanguage& language);
  ~MainWindow() override;

  // The game the window forwards its events to; set before the window is
  // shown. The window does not own it.
  void SetGame(GameState* game) { game_ = game; }
  // The store icon shows only when the club supplied a store link.
  void SetStoreIconVisible(bool visible);

  // --- ViewPort ---
  void RenderBoard() override;
  void DrawBurst(int frame, int x, int y) override;
  void ShowTitleLayout() override;
  void SetCaption(const std::string& caption) override;
  void DrawTitleScreen(bool first) override;
  void ShowBoardLayout() override;
  void DrawStatusPanel(int n) override;
  void DrawAccountLamp(AccountState state) override;
  void ShowMenuButtons() override;
  void ShowOnlineIcons() override;
  void RefreshLanguage() override;
  void SetHandCursor(bool hand) override;
  void SetTimerInterval(int milliseconds) override;
  void StartTimer() override;
  void StopTimer() override;
  void CloseWindow() override;
  void ShakeTile(const BoardCell& cell) override;

  // Takes the size, place and maximized state the player left the window
  // in; call before the window is shown. A size below the design size is
  // raised to it, and a place is taken only when it lies on a screen.
  void RestorePlacement(const Options& options);
  // Writes the window's size, place and maximized state into `options`
  // (the size it returns to when it is maximized).
  void KeepPlacement(Options& options) const;
  // How the design is scaled into the window now. (Every picture follows
  // it and the screen's ratio: BoardImage().PixelRatio().)
  const StageFit& Stage() const { return stage_; }

  // For tests and the scene renderer.
  ImageControl& BoardImage() { return *board_image_; }
  ImageControl& StatusPanel(int n) { return *panels_[n - 1]; }
  ImageControl& Caption() { return *caption_; }
  SkinnedButton& MenuButton(int index) { return *buttons_[static_cast<std::size_t>(index)]; }
  QTimer& TickTimer() { return tick_timer_; }
  QTimer& AnimationTimer() { return animation_timer_; }
  const TitleScreen& Title() const { return title_; }
  // The whole window as the player sees it.
  QImage Snapshot();
  // True while the title's steps wait for the window to be seen again.
  bool TitlePaused() const { return title_paused_; }
  // The shake of a blocked tile runs on this timer.
  QTimer& ShakeTimer() { return shake_timer_; }
  // What the board image shows over the board now, its texts in the
  // current language.
  BoardOverlay Overlay() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Places every control on the stage fitted to the window's size.
  void FitContent();
  // The board's layout is showing (not the title's).
  bool ShowingBoard() const;
  // Device pixels per design pixel the window's pictures are drawn at (1 to
  // 3): its stage's scale times the screen's ratio, the next larger ratio
  // for a fractional product.
  int PictureRatio() const;
  // Draws every picture of the window again at PictureRatio() when it is
  // not the ratio they were drawn at (a resize, another screen).
  void FollowPictureRatio();
  void DrawCaption();
  ImageControl* MakeIcon(int left, int top, const QString& picture, const QString& hint,
                         void (GameState::*action)());
  void PaintIcon(ImageControl& icon, const QString& picture);
  // Keeps the burst steps running while any burst is in the air.
  void WakeAnimation();
  // Minimized, hidden or fully covered windows are not exposed.
  bool TitleVisible() const;
  void ResumeTitleIfVisible();
  // A game going on pauses when nobody can see it.
  void PauseIfConcealed();
  // Every button, icon and the board carry an accessible name and
  // description in the current language.
  void UpdateAccessibleTexts();

  PictureStore& pictures_;
  const InterfaceLanguage& language_;
  GameState* game_ = nullptr;
  ImageControl* board_image_;
  ImageControl* caption_;
  std::array<ImageControl*, 4> panels_{};
  std::array<SkinnedButton*, 6> buttons_{};
  std::array<QRect, 6> button_places_{};
  StageFit stage_;
  // The ratio the window's pictures were last drawn at.
  int drawn_ratio_ = 1;
  bool screen_watched_ = false;
  struct Icon {
    ImageControl* control;
    QString picture;
  };
  std::vector<Icon> icons_;
  ImageControl* account_icon_ = nullptr;
  ImageControl* store_icon_ = nullptr;
  // The title's steps on the title screen, the clock's seconds while playing.
  QTimer tick_timer_;
  QTimer animation_timer_;
  TitleScreen title_;
  bool first_paint_scheduled_ = false;
  bool first_paint_done_ = false;
  bool destroyed_ = false;
  bool store_icon_wanted_ = false;
  bool title_paused_ = false;
  bool expose_filter_installed_ = false;
  CoverWatch cover_watch_;
  // The controls whose accessible texts follow the language.
  struct AccessibleText {
    QWidget* control;
    std::function<QString()> name;
    std::function<QString()> description;
  };
  std::vector<AccessibleText> accessible_;
  QTimer shake_timer_;
  BoardCell shaken_;
  int shake_step_ = 0;
};

}  // namespace braxo
