// What the dialog tests share: plain single-colour pictures under the game's
// names (so a pixel tells which picture lies where), a game state without a
// world around it, and mouse and key input sent straight to a widget.
#pragma once

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

#include "game/GameState.h"
#include "game/LevelGenerator.h"
#include "game/NullPorts.h"
#include "i18n/Language.h"
#include "ui/Pictures.h"

namespace braxo::dialogs_test {

inline const QColor kBackground(10, 20, 30);
inline const QColor kFrame(240, 230, 200);
inline const QColor kMedal(200, 150, 0);
inline const QColor kIcon(0, 0, 90);
inline const QColor kLogo(90, 0, 90);
inline const QColor kArrow(0, 128, 0);

// Each language's flag and lettering in a colour of its own.
inline QColor FlagColour(int language) { return QColor(0, 20 * language + 10, 200); }
// The first opaque column of a flag; the columns left of it are transparent.
inline int FlagClothLeft(int language) { return 30 + 10 * language; }
inline QColor LetteringColour(const QString& name) {
  return QColor(100 + static_cast<int>(qHash(name) % 100), 60, 60);
}

class TestPictures {
 public:
  TestPictures() {
    Save("BG", 850, 510, kBackground);
    Save("Ramka600", 600, 332, kFrame);
    Save("Ramka180", 180, 100, kFrame);
    Save("Medal", 48, 48, kMedal);
    Save("Icon064", 64, 64, kIcon);
    Save("Kez064", 64, 64, kLogo);
    Save("Arrow072L", 72, 72, kArrow);
    Save("Arrow072R", 72, 72, kArrow);
    Save("GFree", 10, 10, Qt::transparent);
    for (const char* name : {"CapEng", "CapRus", "CapChi", "CapJap", "CapKor"})
      Save(name, 450, 70, LetteringColour(name));
    // The flags are transparent left of their cloth, as a flag on a pole is,
    // and each cloth starts elsewhere: a redraw must not let the old flag
    // show through.
    for (int language = 0; language < kLanguageCount; ++language) {
      QImage flag(150, 182, QImage::Format_ARGB32);
      flag.fill(Qt::transparent);
      for (int y = 0; y < 182; ++y)
        for (int x = FlagClothLeft(language); x < 150; ++x)
          flag.setPixelColor(x, y, FlagColour(language));
      flag.save(Path(QString::fromUtf8(Language(language).flag_picture.data())));
    }
    for (const char* set : {"B29_", "B44_", "B59_"}) {
      const int height = set[1] == '2' ? 29 : set[1] == '4' ? 44 : 59;
      for (const char* piece : {"Left", "Right", "Telo"})
        for (const char* light : {"", "L"})
          Save(QString("%1%2%3").arg(set, piece, light), 23, height, QColor(192, 0, 0));
    }
  }
  QString Root() const { return dir_.path(); }

 private:
  QString Path(const QString& name) const { return QDir(dir_.path()).filePath(name + ".png"); }
  void Save(const QString& name, int width, int height, const QColor& colour) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    image.save(Path(name));
  }
  QTemporaryDir dir_;
};

// Passwords of the modes' lengths for the password window's tests.
inline const std::string kTestExtraPassword = "Xt4-q9z";
inline const std::string kTestSuperPassword = "Sp8!mW2k";

// A game state whose ports do nothing, and its interface language.
class TestGame {
 public:
  TestGame() : random_(7), game_(ports_.Ports(), random_, {"", ""}) {}
  GameState& game() { return game_; }
  InterfaceLanguage& language() { return ports_.language; }
  testing::NullPorts& ports() { return ports_; }

 private:
  testing::NullPorts ports_;
  FixedRandom random_;
  GameState game_;
};

inline void SendMouse(QWidget& widget, QEvent::Type type, QPoint point) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
  QMouseEvent event(type, QPointF(point), widget.mapToGlobal(QPointF(point)), button, buttons,
                    Qt::NoModifier);
  QApplication::sendEvent(&widget, &event);
}

inline void Click(QWidget& widget, QPoint point) {
  SendMouse(widget, QEvent::MouseButtonPress, point);
  SendMouse(widget, QEvent::MouseButtonRelease, point);
}

// A key typed into `widget` as the window system would deliver it.
inline void TypeKey(QWidget& widget, int key, const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(&widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(&widget, &release);
}

inline void TypeText(QWidget& widget, const QString& text) {
  // Qt's key codes for printable characters are their upper-case code points.
  for (const QChar c : text) TypeKey(widget, c.toUpper().unicode(), QString(c));
}

// Runs `action` once the next modal window has opened (from inside its event
// loop), then closes whatever modal window is still open so the test cannot
// hang.
inline void WhenModalOpens(std::function<void(QWidget& modal)> action) {
  QTimer::singleShot(0, [action] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      action(*modal);
      if (QWidget* still_open = QApplication::activeModalWidget()) still_open->close();
    }
  });
}

}  // namespace braxo::dialogs_test
