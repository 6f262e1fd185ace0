// How the club windows look: their colours, the vertical gradients of their
// pages, bands and cells, the stretched background behind their picture
// boxes, the title lettering, the lamps, and the look of their buttons and
// entry fields. Every club window (account, personal information, world top
// ten, result, chat, statistics, passport) draws through this one module.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <QString>

#include "club/ClubSession.h"
#include "ui/ImageControl.h"
#include "ui/Pictures.h"
#include "ui/SkinnedButton.h"

class QWidget;

namespace braxo {

// --- Colours ---

inline const QColor kClubRed(255, 0, 0);
inline const QColor kClubMaroon(128, 0, 0);
inline const QColor kClubBlue(0, 0, 255);
inline const QColor kClubNavy(0, 0, 128);
inline const QColor kClubYellow(255, 255, 0);
inline const QColor kClubWhite(255, 255, 255);
// The entry fields of the passport window.
inline const QColor kClubEditBackground(208, 213, 234);
// The entry fields of the account window.
inline const QColor kAccountFieldBackground(255, 255, 200);
// Every account page is a gradient from the first to the second.
inline const QColor kAccountPageTop(100, 100, 255);
inline const QColor kAccountPageBottom(100, 255, 255);
// The account pages' bands, each a gradient from its colour to white.
inline const QColor kAccountPink(255, 100, 100);
inline const QColor kAccountLightYellow(255, 255, 100);
inline const QColor kAccountLightGreen(100, 255, 100);
// The chat's message bands, each a gradient from its colour to white: the
// header line, then the text.
inline const QColor kChatHeaderBand(255, 200, 200);
inline const QColor kChatTextBand(200, 200, 255);
// The statistics grid's cells, each a gradient from its row's colour to
// white, in a grey outline.
inline const QColor kStatisticsStartsRow(255, 204, 204);
inline const QColor kStatisticsLikesRow(204, 255, 204);
inline const QColor kStatisticsGamesRow(204, 204, 255);
inline const QColor kStatisticsOutline(128, 128, 128);

// --- Gradients ---

// How a gradient row whose colour falls exactly half-way between two values
// is rounded: the account window's pages and bands round it away from zero,
// the list windows' bands and cells to the even value.
enum class GradientRounding { kHalfAwayFromZero, kHalfToEven };

// Fills `area` row by row: row i of n gets top - (top - bottom) * i / (n - 1)
// in each component, rounded as `rounding` says. Leaves the painter's pen and
// brush as they were.
void FillVerticalGradient(QPainter& painter, const QRect& area, const QColor& top,
                          const QColor& bottom,
                          GradientRounding rounding = GradientRounding::kHalfToEven);

// --- Backgrounds and titles ---

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
// A club window's own background: "BG" stretched over its client area.
void PaintClubWindowBackground(QPainter& painter, PictureStore& pictures, QSize client);
// The red rule under a club window's title: `width` pixels from (5, 55), 6
// pixels high.
void PaintTitleRule(QPainter& painter, int width);
// The account window's boxes at (`left`, `top`) show the part of
// "BGAccount" under them, unstretched.
void PaintAccountBackdrop(QPainter& painter, PictureStore& pictures, int left, int top);
// The account window's caption: its backdrop and `title` in yellow with a
// shadow, bold Comic of cell height 40, centred across the box at top 5.
void DrawAccountCaption(ImageControl& box, PictureStore& pictures, const QString& title);

// --- Lamps ---

// The lamp of a name's rating: "LampG24" green (3 and more), "LampY24"
// yellow (2), "LampR24" red (anything else).
QString LampPicture(int rating);
// The light of an account state: "LampR24" nobody, "LampY24" logged in,
// "LampG24" rated.
QString AccountLampPicture(AccountState account_state);

// --- Buttons and fields ---

// The list windows' buttons: `scheme` face, white under the mouse, light face
// and rectangle, contour, yellow bold Arial of character height `char_height`.
void StyleClubButton(SkinnedButton& button, ButtonColour scheme, int char_height);
// The account and personal information windows' buttons: red, 45 pixels
// high, contour, yellow plain Comic of cell height `cell_height`; grey when
// disabled if `gray_disabled`.
void StyleAccountButton(SkinnedButton& button, int cell_height, bool gray_disabled);
// The account window's entry fields and lists: bold Comic of cell height 20,
// red on the field background.
void StyleAccountField(QWidget& field);
// The passport window's entry fields and lists: bold Arial of character
// height 13, maroon on the edit background.
void StyleClubField(QWidget& field);

}  // namespace braxo
