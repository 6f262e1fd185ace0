// What the tournament, chat and statistics windows share: their colours, the
// stretched background behind their picture boxes, the title lettering, the
// skinned button look, a painter that remembers what it wrote (so that a
// test can read a box back), and the small decisions the windows take on the
// passport and on chat texts.
#pragma once

#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "game/Ports.h"
#include "storage/SettingsFile.h"
#include "ui/ImageControl.h"
#include "ui/Pictures.h"
#include "ui/SkinnedButton.h"

class QWidget;

namespace braxo {

inline const QColor kClubRed(255, 0, 0);
inline const QColor kClubMaroon(128, 0, 0);
inline const QColor kClubBlue(0, 0, 255);
inline const QColor kClubNavy(0, 0, 128);
inline const QColor kClubEditBackground(208, 213, 234);

// The tournament tables: the game's Windows players (the game's id), and its
// Android players (the id + 100). Results are always written to the first.
inline constexpr int kWindowsTableId = 76;
inline constexpr int kAndroidTableId = 176;

// What a list window shows in place of entries the club did not deliver.
inline constexpr char kNoConnect[] = "No Connect";

// The nick every new installation plays under until the player names itself.
inline constexpr char kIncognito[] = "Incognito";

// Opens the passport window modally over `parent` and returns once it has
// closed; the passport may have changed meanwhile.
using PassportOpener = std::function<void(QWidget* parent)>;
// Shows a notice modally over `parent`.
using NoticeOverShower = std::function<void(QWidget* parent, const Notice& notice)>;
// The desktop's notice window.
void ShowNoticeWindow(QWidget* parent, const Notice& notice);

// --- Decisions ---

// The kinds of text the tournament name rule rates.
inline constexpr int kRateCharacter = 0;
inline constexpr int kRateNick = 1;
inline constexpr int kRateCity = 2;

// Both the nick and the city rated at least 2 (yellow): the passport may be
// used in the tournament and the chat.
bool IsPassportAcceptable(const TournamentPassport& passport);
// The result window's Send after the passport window: only a green nick (3),
// a city rated at least 2, and no result sent yet.
bool SendAllowedAfterPassport(const TournamentPassport& passport, bool already_sent);
// The chat's form of a typed message: at most 80 characters, each one
// outside the name characters (the space, "&", "=", "$", "*" ...) made "_".
// UTF-8 in and out.
std::string ChatMessageToSend(std::string_view typed);
// A stored chat text as shown: every "_" a space.
QString ShownWithSpaces(std::string_view stored);
// The time stamp a chat message carries: the time (hours, minutes,
// seconds), "_", the date in the system's short form, "_", "Braxo"; spaces
// inside either part are "_" as well, since the club's lists are cut at
// spaces.
std::string ChatTimeStamp(const QDateTime& when);

// --- Drawing ---

// The part of `background` stretched to `client` that lies under `box`, drawn
// at the painter's origin: what a picture box at `box` shows as its own
// background.
void PaintStretchedBackdrop(QPainter& painter, const QImage& background, QSize client, QRect box);
// Gives the image box its background (see PaintStretchedBackdrop).
void FillBoxBackdrop(ImageControl& box, PictureStore& pictures, QSize client);
// A box with its background and `picture` at its top left.
void DrawPictureBox(ImageControl& box, PictureStore& pictures, QSize client,
                    const QString& picture);
// A title box: its background and `title` in red with a shadow, bold Arial
// of cell height 40 (plain when `bold` is false), centred across the box at
// `top`.
void DrawTitleBox(ImageControl& box, PictureStore& pictures, QSize client, const QString& title,
                  int top, bool bold = true);
// Fills `area` row by row from `top` to `bottom`: row i of n gets
// top - (top - bottom) * i / (n - 1) in each component, rounded.
void FillVerticalGradient(QPainter& painter, const QRect& area, const QColor& top,
                          const QColor& bottom);
// The windows' buttons: `scheme` face, white under the mouse, light face and
// rectangle, contour, yellow bold Arial of character height `char_height`.
void StyleClubButton(SkinnedButton& button, ButtonColour scheme, int char_height);

// A text as a box shows it: where its top-left corner lies and its colour.
struct DrawnText {
  QString text;
  int x = 0;
  int y = 0;
  QColor colour;
};

// Writes texts with their top at the given y, remembering each one.
class TextWriter {
 public:
  TextWriter(QPainter& painter, std::vector<DrawnText>& record)
      : painter_(painter), record_(record) {}
  void SetColour(const QColor& colour) { painter_.setPen(colour); }
  void Left(const QString& text, int x, int y);
  void Centred(const QString& text, int x1, int x2, int y);
  // Ends at x.
  void Right(const QString& text, int x, int y);

 private:
  QPainter& painter_;
  std::vector<DrawnText>& record_;
};

}  // namespace braxo
