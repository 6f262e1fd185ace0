// What the tournament, chat and statistics windows share besides their look
// (ClubWindowStyle.h): the tables they show, a painter that remembers what it
// wrote (so that a test can read a box back), and the small decisions the
// windows take on the passport and on chat texts.
#pragma once

#include <QColor>
#include <QDateTime>
#include <QPainter>
#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/ClubWindowStyle.h"
#include "game/Ports.h"
#include "storage/SettingsFile.h"

class QLineEdit;
class QWidget;

namespace braxo {

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

// Makes a field's length limit known instead of cutting silently: the
// field's tool tip names the limit, and a key or a paste refused for it rings
// the bell and shows the limit at the field. `language` picks the words; the
// limit is the field's maxLength, which must be what the club accepts.
void SayLengthLimit(QLineEdit& field, int language);
// The text SayLengthLimit shows for a limit of `characters`.
QString LengthLimitText(int characters, int language);

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
// The characters of a typed chat line that cannot be sent as they are (each
// would arrive as a space), each once, in the order typed. The space itself
// arrives as a space and is not among them.
QString ChatCharactersNotSent(const QString& typed);
// A stored chat text as shown: every "_" a space.
QString ShownWithSpaces(std::string_view stored);
// The time stamp a chat message carries: the time (hours, minutes,
// seconds), "_", the date in the system's short form, "_", "Braxo"; spaces
// inside either part are "_" as well, since the club's lists are cut at
// spaces.
std::string ChatTimeStamp(const QDateTime& when);

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
