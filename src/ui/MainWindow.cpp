#include "ui/MainWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "i18n/Language.h"
#include "ui/BoardRenderer.h"
#include "ui/Drawing.h"
#include "ui/StatusPanels.h"

namespace braxo {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The side steps of a blocked tile's shake, one every kShakeStepMs.
constexpr int kShakeOffsets[] = {4, -4, 3, -3, 2, -2, 1, 0};
constexpr int kShakeStepMs = 25;

}  // namespace

MainWindow::MainWindow(PictureStore& pictures, const InterfaceLanguage& language)
    : pictures_(pictures), language_(language), cover_watch_(*this, [this] {
        ResumeTitleIfVisible();
        PauseIfConcealed();
      }) {
  setMinimumSize(kWindowWidth, kWindowHeight);
  resize(kWindowWidth, kWindowHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);

  drawn_ratio_ = PictureRatio();
  board_image_ = new ImageControl(this);
  board_image_->SetPixelRatio(drawn_ratio_);
  board_image_->Place(0, 0, kWindowWidth, kWindowHeight);
  board_image_->setCursor(Qt::PointingHandCursor);
  // The board takes the keys; the keys it does not use reach the window.
  board_image_->setFocusPolicy(Qt::StrongFocus);
  setFocusPolicy(Qt::StrongFocus);
  connect(board_image_, &ImageControl::Pressed, this, [this](QPoint p) {
    if (!game_) return;
    game_->PressBoardAt(p.x(), p.y());
    WakeAnimation();
  });
  connect(board_image_, &ImageControl::Clicked, this, [this] {
    if (game_) game_->LeaveTitleScreen();
  });
  connect(board_image_, &ImageControl::Moved, this, [this](QPoint p) {
    if (game_) game_->PointAt(p.x(), p.y());
  });

  caption_ = new ImageControl(this);
  caption_->hide();

  for (int n = 1; n <= 4; ++n) {
    panels_[n - 1] = new ImageControl(this);
    panels_[n - 1]->hide();
  }

  // The six menu buttons: new games on the left, pages on the right.
  const std::array<void (GameState::*)(), 6> actions = {
      &GameState::StartNormalGame,   &GameState::StartExtraGame,  &GameState::StartSuperGame,
      &GameState::ShowChampionsPage, &GameState::ShowOptionsPage, &GameState::ShowAboutPage};
  const std::array<ButtonColour, 6> schemes = {ButtonColour::kRed,    ButtonColour::kYellow,
                                               ButtonColour::kGreen,  ButtonColour::kRed,
                                               ButtonColour::kYellow, ButtonColour::kGreen};
  for (int i = 0; i < 6; ++i) {
    auto* button = new SkinnedButton(pictures_, this);
    button_places_[i] = QRect(i < 3 ? 5 : 665, 90 + 70 * (i % 3), 180, 60);
    button->setGeometry(button_places_[i]);
    button->SetHeightSB(ButtonHeight::k60);
    button->SetColorSB(schemes[i]);
    button->SetLightRect(true);
    button->SetLightFont(false);
    button->SetColorMouse(Qt::black);
    button->SetGrayDis(false);
    button->SetKLightSB(0);
    button->SetKontur(true);
    button->SetGlyphLayout(GlyphLayout::kBottom);
    button->hide();
    connect(button, &QPushButton::clicked, this, [this, action = actions[i]] {
      if (!game_) return;
      (game_->*action)();
      WakeAnimation();
    });
    // Reached with Tab; a click leaves the keys with the board.
    button->setFocusPolicy(Qt::TabFocus);
    buttons_[i] = button;
  }
  QWidget::setTabOrder(board_image_, buttons_[0]);
  for (int i = 0; i + 1 < 6; ++i) QWidget::setTabOrder(buttons_[i], buttons_[i + 1]);

  const auto text = [this](MsgId id) { return [this, id] { return Q(language_.Text(id)); }; };
  const auto new_game = [this](MsgId mode, const char* key) {
    return AccessibleText{
        nullptr,
        [this, mode] { return Q(language_.Text(MsgId::MsgNewGame) + ": " + language_.Text(mode)); },
        [this, key] {
          return Q(language_.Text(MsgId::MsgA11yNewGameKey)).replace("%1", QLatin1String(key));
        }};
  };
  const std::array<AccessibleText, 6> button_texts = {
      new_game(MsgId::MsgModeNormal, "N"),
      new_game(MsgId::MsgModeExtra, "E"),
      new_game(MsgId::MsgModeSuper, "S"),
      AccessibleText{nullptr, text(MsgId::MsgChampions), text(MsgId::MsgA11yOpensPage)},
      AccessibleText{nullptr, text(MsgId::MsgOptions), text(MsgId::MsgA11yOpensPage)},
      AccessibleText{nullptr, text(MsgId::MsgAbout), text(MsgId::MsgA11yOpensPage)}};
  for (int i = 0; i < 6; ++i) {
    accessible_.push_back(button_texts[i]);
    accessible_.back().control = buttons_[i];
  }
  accessible_.push_back({board_image_, text(MsgId::MsgA11yBoard), text(MsgId::MsgA11yBoardKeys)});

  shake_timer_.setInterval(kShakeStepMs);
  connect(&shake_timer_, &QTimer::timeout, this, [this] {
    if (++shake_step_ >= static_cast<int>(std::size(kShakeOffsets))) {
      shake_timer_.stop();
      shaken_ = BoardCell{};
    }
    RenderBoard();
  });

  tick_timer_.setTimerType(Qt::PreciseTimer);
  connect(&tick_timer_, &QTimer::timeout, this, [this] {
    if (!game_) return;
    // Nobody sees the title while the window is minimized or covered: its
    // steps wait (and the timer with them) until the window shows again.
    if (game_->OnTitleScreen() && !TitleVisible()) {
      tick_timer_.stop();
      title_paused_ = true;
      return;
    }
    game_->Tick();
  });
  // The bursts step every 10 ms while any is in the air; the window stays
  // responsive between steps.
  animation_timer_.setTimerType(Qt::PreciseTimer);
  animation_timer_.setInterval(10);
  connect(&animation_timer_, &QTimer::timeout, this, [this] {
    if (!game_ || !game_->StepBurstsIfRunning()) animation_timer_.stop();
  });
}

MainWindow::~MainWindow() = default;

void MainWindow::SetStoreIconVisible(bool visible) {
  store_icon_wanted_ = visible;
  // The link may arrive after the icons are out.
  if (store_icon_) store_icon_->setVisible(visible);
}

void MainWindow::WakeAnimation() {
  if (game_ && game_->Bursts().AnyActive() && !animation_timer_.isActive())
    animation_timer_.start();
}

bool MainWindow::TitleVisible() const {
  if (isMinimized() || !isVisible() || cover_watch_.FullyCovered()) return false;
  const QWindow* window = windowHandle();
  return window == nullptr || window->isExposed();
}

void MainWindow::ResumeTitleIfVisible() {
  if (!title_paused_ || !TitleVisible()) return;
  title_paused_ = false;
  if (game_ && game_->OnTitleScreen()) tick_timer_.start();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == windowHandle() && event->type() == QEvent::Expose) {
    // After the window has handled it, so that isExposed() is up to date.
    QTimer::singleShot(0, this, [this] { ResumeTitleIfVisible(); });
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) {
    ResumeTitleIfVisible();
    PauseIfConcealed();
  }
}

void MainWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  PauseIfConcealed();
}

void MainWindow::PauseIfConcealed() {
  if (game_ && game_->GameGoingOn() && !game_->Paused() && !TitleVisible()) game_->Pause();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  if (!game_ || !game_->Playing()) {
    QWidget::keyPressEvent(event);
    return;
  }
  if (game_->Paused()) {
    game_->Resume();
    return;
  }
  const bool control = event->modifiers().testFlag(Qt::ControlModifier);
  switch (event->key()) {
    case Qt::Key_Left:
      game_->MoveKeyboardFocus(FocusStep::kLeft);
      break;
    case Qt::Key_Right:
      game_->MoveKeyboardFocus(FocusStep::kRight);
      break;
    case Qt::Key_Up:
      game_->MoveKeyboardFocus(FocusStep::kUp);
      break;
    case Qt::Key_Down:
      game_->MoveKeyboardFocus(FocusStep::kDown);
      break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      game_->PressFocusedTile();
      break;
    case Qt::Key_Escape:
      game_->PressEscape();
      break;
    case Qt::Key_N:
      game_->StartNormalGame();
      break;
    case Qt::Key_E:
      game_->StartExtraGame();
      break;
    case Qt::Key_S:
      game_->StartSuperGame();
      break;
    case Qt::Key_F1:
      game_->OpenHelp();
      break;
    case Qt::Key_P:
    case Qt::Key_Pause:
      game_->TogglePause();
      break;
    case Qt::Key_H:
      game_->ShowHint();
      break;
    case Qt::Key_Z:
      if (control) game_->Undo();
      break;
    case Qt::Key_Y:
      if (control) game_->Redo();
      break;
    case Qt::Key_R:
      game_->ShuffleOnDemand();
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  WakeAnimation();
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (windowHandle() != nullptr && !expose_filter_installed_) {
    windowHandle()->installEventFilter(this);
    expose_filter_installed_ = true;
  }
  if (windowHandle() != nullptr && !screen_watched_) {
    // A screen of another ratio: every picture is drawn again for it.
    connect(windowHandle(), &QWindow::screenChanged, this, [this] { FollowPictureRatio(); });
    screen_watched_ = true;
  }
  FollowPictureRatio();
  cover_watch_.Watch();
  ResumeTitleIfVisible();
  if (first_paint_scheduled_) return;
  // The first paint's sequence may open modal windows, which must not run
  // inside a paint event; and while the title covers the whole window the
  // window itself gets no paint event. It runs once the window is shown.
  first_paint_scheduled_ = true;
  QTimer::singleShot(0, this, [this] {
    first_paint_done_ = true;
    if (game_) game_->Paint();
  });
}

void MainWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (size() == QSize(kWindowWidth, kWindowHeight)) {
    painter.drawImage(0, 0, pictures_.LoadJpegResource("BG"));
  } else {
    // The backdrop at the stage's scale, repeated into the room around it.
    QBrush backdrop(pictures_.LoadJpegResource("BG"));
    backdrop.setTransform(
        QTransform(stage_.scale, 0, 0, stage_.scale, stage_.offset.x(), stage_.offset.y()));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(rect(), backdrop);
  }
  if (game_ && first_paint_done_) game_->Paint();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FitContent();
}

void MainWindow::FitContent() {
  stage_ = FitStage(size(), QSize(kWindowWidth, kWindowHeight));
  board_image_->SetStage(stage_);
  caption_->SetStage(stage_);
  for (ImageControl* panel : panels_) panel->SetStage(stage_);
  for (const Icon& icon : icons_) icon.control->SetStage(stage_);
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i]->SetDrawScale(stage_.scale);
    buttons_[i]->setGeometry(stage_.ToWindow(button_places_[i]));
  }
  FollowPictureRatio();
  update();
}

void MainWindow::FollowPictureRatio() {
  const int ratio = PictureRatio();
  if (ratio == drawn_ratio_) return;
  drawn_ratio_ = ratio;
  board_image_->SetPixelRatio(ratio);
  if (ShowingBoard()) {
    {
      QPainter painter(&board_image_->Image());
      PaintBackdrop(painter, pictures_.LoadJpegResource("BG"), kBoardImageLeft, kBoardImageTop);
    }
    RenderBoard();
  } else if (game_ && game_->OnTitleScreen() && first_paint_done_) {
    title_.Redraw(board_image_->Image(), Q(language_.Text(MsgId::MsgAuthorName)),
                  Q(language_.Text(MsgId::MsgTitleCaps)), pictures_);
    board_image_->update();
  }
  caption_->SetPixelRatio(ratio);
  if (!caption_->isHidden()) DrawCaption();
  for (int n = 1; n <= 4; ++n) {
    panels_[n - 1]->SetPixelRatio(ratio);
    if (!panels_[n - 1]->isHidden()) DrawStatusPanel(n);
  }
  for (const Icon& icon : icons_) {
    icon.control->SetPixelRatio(ratio);
    PaintIcon(*icon.control, icon.picture);
  }
  if (account_icon_ && game_) DrawAccountLamp(game_->Session().account_state);
  // The menu buttons follow their own scale and screen when they paint.
  for (SkinnedButton* button : buttons_) button->update();
}

bool MainWindow::ShowingBoard() const {
  return board_image_->DesignRect() ==
         QRect(kBoardImageLeft, kBoardImageTop, kBoardImageWidth, kBoardImageHeight);
}

int MainWindow::PictureRatio() const {
  return PictureRatioForScale(stage_.scale * devicePixelRatioF());
}

void MainWindow::RestorePlacement(const Options& options) {
  // Beyond any screen a player has; a damaged size must not ask for gigabytes.
  constexpr int kLargest = 16384;
  const QSize size(std::clamp(options.window_width, kWindowWidth, kLargest),
                   std::clamp(options.window_height, kWindowHeight, kLargest));
  resize(size);
  if (options.window_placed) {
    const QRect placed(QPoint(options.window_left, options.window_top), size);
    if (QGuiApplication::screenAt(placed.center()) != nullptr) setGeometry(placed);
  }
  if (options.window_maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::KeepPlacement(Options& options) const {
  const QRect normal = isMaximized() ? normalGeometry() : geometry();
  if (normal.isValid()) {
    options.window_width = normal.width();
    options.window_height = normal.height();
    options.window_left = normal.left();
    options.window_top = normal.top();
    options.window_placed = true;
  }
  options.window_maximized = isMaximized();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!destroyed_ && game_) {
    destroyed_ = true;
    tick_timer_.stop();
    animation_timer_.stop();
    game_->ShutDown();
  }
  event->accept();
}

BoardOverlay MainWindow::Overlay() const {
  BoardOverlay overlay;
  if (!game_) return overlay;
  const BoardView view = game_->View();
  overlay.selection = view.selection;
  overlay.mark_free_tiles = view.mark_free_tiles;
  overlay.focus = view.focus;
  overlay.hint = view.hint;
  overlay.shaken = shaken_;
  overlay.shake_offset = shaken_.IsNone() ? 0 : kShakeOffsets[shake_step_];
  overlay.paused = view.paused;
  overlay.pause_title = Q(language_.Text(MsgId::MsgPaused));
  overlay.pause_hint = Q(language_.Text(MsgId::MsgPausedHint));
  const QString score =
      Q(language_.Text(MsgId::MsgScoreLabel)) + " " + QString::number(game_->Score());
  const QString menu = Q(language_.Text(MsgId::MsgUseMenuButtons));
  switch (view.message) {
    case BoardMessage::kNone:
      break;
    case BoardMessage::kLevelCleared:
      overlay.message = {
          Q(language_.Text(MsgId::MsgLevelCleared)).replace("%1", QString::number(game_->Level()))};
      break;
    case BoardMessage::kModeCompleted:
      overlay.message = {Q(language_.Text(MsgId::MsgModeCompleted)), score, menu};
      break;
    case BoardMessage::kGameOver:
      overlay.message = {Q(language_.Text(MsgId::MsgGameOverNoPair)), score, menu};
      break;
    case BoardMessage::kNoPairDealt:
      overlay.message = {Q(language_.Text(MsgId::MsgNoPairDealt)), score, menu};
      break;
    case BoardMessage::kNoHint:
      overlay.message = {Q(language_.Text(MsgId::MsgNoHint))};
      break;
  }
  // The wait for the club says so over whatever the board said, with the
  // way out of it.
  if (view.waiting_for_club) {
    overlay.message = {Q(language_.Text(MsgId::MsgWaitingForClub)),
                       Q(language_.Text(MsgId::MsgWaitingForClubHint))};
  }
  return overlay;
}

void MainWindow::RenderBoard() {
  if (!game_) return;
  braxo::RenderBoard(board_image_->Image(), game_->GameBoard(), Overlay(), game_->Status(),
                     pictures_);
  // The pointer says the game waits; the next move over the board sets it
  // back once the wait is over.
  if (game_->WaitingForClub())
    board_image_->setCursor(Qt::BusyCursor);
  else if (board_image_->cursor().shape() == Qt::BusyCursor)
    board_image_->setCursor(Qt::ArrowCursor);
  board_image_->update();
}

void MainWindow::ShakeTile(const BoardCell& cell) {
  shaken_ = cell;
  shake_step_ = 0;
  shake_timer_.start();
  RenderBoard();
}

void MainWindow::DrawBurst(int frame, int x, int y) {
  braxo::DrawBurst(board_image_->Image(), frame, x, y, pictures_);
  board_image_->update();
}

void MainWindow::ShowTitleLayout() {
  board_image_->Place(0, 0, kWindowWidth, kWindowHeight);
  board_image_->SetPixelRatio(drawn_ratio_);
  board_image_->show();
}

void MainWindow::SetCaption(const std::string& caption) { setWindowTitle(Q(caption)); }

void MainWindow::DrawTitleScreen(bool first) {
  if (first) {
    title_.DrawStill(board_image_->Image(), Q(language_.Text(MsgId::MsgAuthorName)), pictures_);
    board_image_->update();
    return;
  }
  // Only the squares the sprites crossed and, at a palette turn, the title
  // are repainted: the idle title screen costs next to nothing.
  board_image_->UpdatePicture(
      title_.DrawTick(board_image_->Image(), Q(language_.Text(MsgId::MsgTitleCaps)), pictures_));
}

void MainWindow::ShowBoardLayout() {
  board_image_->Place(kBoardImageLeft, kBoardImageTop, kBoardImageWidth, kBoardImageHeight);
  board_image_->SetPixelRatio(drawn_ratio_);
  {
    QPainter painter(&board_image_->Image());
    PaintBackdrop(painter, pictures_.LoadJpegResource("BG"), kBoardImageLeft, kBoardImageTop);
  }
  board_image_->show();
  board_image_->update();
  board_image_->setFocus();
  update();  // the window shows the background around the board again
}

void MainWindow::DrawStatusPanel(int n) {
  if (!game_ || n < 1 || n > 4) return;
  for (int i = 1; i <= 4; ++i) {
    const QPoint at = StatusPanelPosition(i);
    panels_[i - 1]->SetPixelRatio(drawn_ratio_);
    panels_[i - 1]->Place(at.x(), at.y(), kPanelWidth, kPanelHeight);
  }
  ImageControl& panel = *panels_[n - 1];
  braxo::DrawStatusPanel(panel.Image(), n, game_->Status(), language_, pictures_);
  panel.show();
  panel.update();
}

void MainWindow::DrawAccountLamp(AccountState state) {
  if (!account_icon_ || !game_) return;
  const MsgId hint = braxo::DrawAccountLamp(account_icon_->Image(), state, pictures_);
  account_icon_->setToolTip(Q(language_.Text(hint)));
  account_icon_->update();
}

void MainWindow::ShowMenuButtons() {
  const std::array<const char*, 6> glyphs = {"GlyphN",         "GlyphE",       "GlyphS",
                                             "GlyphChampions", "GlyphOptions", "GlyphAbout"};
  for (int i = 0; i < 6; ++i) {
    buttons_[i]->SetGlyphPicture(QString::fromLatin1(glyphs[i]));
    buttons_[i]->show();
  }
}

void MainWindow::PaintIcon(ImageControl& icon, const QString& picture) {
  QPainter painter(&icon.Image());
  PaintBackdrop(painter, pictures_.LoadJpegResource("BG"), icon.DesignRect().left(),
                icon.DesignRect().top());
  painter.drawImage(0, 0, pictures_.PictureFor(painter, picture));
  icon.update();
}

ImageControl* MainWindow::MakeIcon(int left, int top, const QString& picture, const QString& hint,
                                   void (GameState::*action)()) {
  auto* icon = new ImageControl(this);
  icon->SetStage(stage_);
  icon->SetPixelRatio(drawn_ratio_);
  icon->Place(left, top, 48, 48);
  icon->setCursor(Qt::PointingHandCursor);
  icon->setToolTip(hint);
  connect(icon, &ImageControl::Clicked, this, [this, action] {
    if (game_) (game_->*action)();
  });
  PaintIcon(*icon, picture);
  icons_.push_back({icon, picture});
  return icon;
}

void MainWindow::ShowOnlineIcons() {
  if (!game_ || !icons_.empty()) return;
  MakeIcon(5, 51, "Android", "DownLoad Braxo.apk", &GameState::DownloadNewVersion)->show();
  MakeIcon(58, 5, "Help48", Q(language_.Text(MsgId::MsgHelp)), &GameState::OpenHelp)->show();
  account_icon_ = MakeIcon(111, 5, "Account48", QString(), &GameState::OpenAccount);
  DrawAccountLamp(game_->Session().account_state);
  account_icon_->show();
  store_icon_ = MakeIcon(164, 51, "GPlay", "Braxo " + Q(language_.Text(MsgId::MsgOnGooglePlay)),
                         &GameState::OpenStorePage);
  store_icon_->setVisible(store_icon_wanted_);
  MakeIcon(691, 5, "Stat48", Q(language_.Text(MsgId::MsgStatistics)), &GameState::OpenStatistics)
      ->show();
  MakeIcon(744, 51, "GChat048", Q(language_.Text(MsgId::MsgChatTitle)), &GameState::OpenChat)
      ->show();
  ImageControl* top_ten = MakeIcon(797, 52, "Earth48", Q(language_.Text(MsgId::MsgWorldTopTenName)),
                                   &GameState::OpenWorldTopTen);
  top_ten->show();

  // The icons in the order they were made: download, help, account, store,
  // statistics, chat, world top ten.
  const auto text = [this](MsgId id) { return [this, id] { return Q(language_.Text(id)); }; };
  const std::array<AccessibleText, 7> icon_texts = {
      AccessibleText{nullptr, text(MsgId::MsgA11yDownload), text(MsgId::MsgA11yOpensWindow)},
      AccessibleText{nullptr, text(MsgId::MsgHelp), text(MsgId::MsgA11yOpensBrowser)},
      AccessibleText{nullptr, text(MsgId::MsgMyAccount), text(MsgId::MsgA11yOpensWindow)},
      AccessibleText{nullptr,
                     [this] { return "Braxo " + Q(language_.Text(MsgId::MsgOnGooglePlay)); },
                     text(MsgId::MsgA11yOpensBrowser)},
      AccessibleText{nullptr, text(MsgId::MsgStatistics), text(MsgId::MsgA11yOpensWindow)},
      AccessibleText{nullptr, text(MsgId::MsgChatTitle), text(MsgId::MsgA11yOpensWindow)},
      AccessibleText{nullptr, text(MsgId::MsgWorldTopTenName), text(MsgId::MsgA11yOpensWindow)}};
  for (std::size_t i = 0; i < icons_.size() && i < icon_texts.size(); ++i) {
    accessible_.push_back(icon_texts[i]);
    accessible_.back().control = icons_[i].control;
  }
  UpdateAccessibleTexts();
}

void MainWindow::UpdateAccessibleTexts() {
  for (const AccessibleText& entry : accessible_) {
    entry.control->setAccessibleName(entry.name());
    entry.control->setAccessibleDescription(entry.description());
  }
}

void MainWindow::RefreshLanguage() {
  if (!game_) return;
  setWindowTitle(Q(language_.Text(MsgId::MsgTitle)));
  DrawCaption();
  caption_->show();
  const std::string colon = ": ";
  const std::array<std::string, 6> hints = {
      language_.Text(MsgId::MsgNewGame) + colon + language_.Text(MsgId::MsgModeNormal),
      language_.Text(MsgId::MsgNewGame) + colon + language_.Text(MsgId::MsgModeExtra),
      language_.Text(MsgId::MsgNewGame) + colon + language_.Text(MsgId::MsgModeSuper),
      language_.Text(MsgId::MsgChampions),
      language_.Text(MsgId::MsgOptions),
      language_.Text(MsgId::MsgAbout)};
  for (int i = 0; i < 6; ++i) buttons_[i]->setToolTip(Q(hints[i]));
  UpdateAccessibleTexts();
}

void MainWindow::DrawCaption() {
  caption_->SetPixelRatio(drawn_ratio_);
  caption_->Place(200, 7, 450, 70);
  {
    QPainter painter(&caption_->Image());
    PaintBackdrop(painter, pictures_.LoadJpegResource("BG"), 200, 7);
    const std::string_view picture = Language(language_.Index()).caption_picture;
    painter.drawImage(
        0, 0,
        pictures_.PictureFor(
            painter, QString::fromLatin1(picture.data(), static_cast<qsizetype>(picture.size()))));
  }
  caption_->update();
}

void MainWindow::SetHandCursor(bool hand) {
  board_image_->setCursor(hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void MainWindow::SetTimerInterval(int milliseconds) { tick_timer_.setInterval(milliseconds); }
void MainWindow::StartTimer() {
  if (!tick_timer_.isActive()) tick_timer_.start();
}
void MainWindow::StopTimer() {
  tick_timer_.stop();
  title_paused_ = false;
}
void MainWindow::CloseWindow() { close(); }

QImage MainWindow::Snapshot() { return grab().toImage(); }

}  // namespace braxo
