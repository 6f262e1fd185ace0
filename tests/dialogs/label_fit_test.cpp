// Every text a window puts into a label, a button or a check box fits the
// box it is given, in every language: each window is built for real on the
// offscreen platform (the club windows against the real braxo-club), and each
// text is measured with the widget's own font against the room its box
// leaves for it. A text wider than its room would be cut or elided on a
// player's screen. The texts the windows paint into their pictures are
// measured in tests/i18n/text_fit_test.cpp.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ClubServerProcess.h"
#include "club/AccountWorkflow.h"
#include "dialogs/AccountWindow.h"
#include "dialogs/ChatWindow.h"
#include "dialogs/ClubWindowKit.h"
#include "dialogs/DialogTestKit.h"
#include "dialogs/InfoWindow.h"
#include "dialogs/NoticeWindow.h"
#include "dialogs/PassportWindow.h"
#include "dialogs/PasswordWindow.h"
#include "dialogs/PersonalInfoWindow.h"
#include "dialogs/StatisticsWindow.h"
#include "dialogs/TopTenEntryWindow.h"
#include "dialogs/TopTenTableWindow.h"
#include "game/LevelGenerator.h"
#include "game/NullPorts.h"
#include "i18n/Language.h"
#include "storage/ChampionsFile.h"
#include "storage/TextFile.h"

namespace braxo {
namespace {

using dialogs_test::ClubConnection;
using dialogs_test::MakePassport;

// The plain text a label shows (a rich label's markup taken off), one line
// per entry.
QStringList ShownLines(const QString& text) {
  QString plain = text;
  if (Qt::mightBeRichText(text)) {
    QTextDocument document;
    document.setHtml(text);
    plain = document.toPlainText();
  }
  plain.remove(QChar('&'));  // mnemonics are drawn as an underline, not a character
  return plain.split(QChar('\n'));
}

// The rectangle a button's style leaves for its text.
QRect ButtonTextRoom(QAbstractButton& button) {
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  option.icon = button.icon();
  option.iconSize = button.iconSize();
  if (auto* box = qobject_cast<QCheckBox*>(&button))
    return button.style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
  if (qobject_cast<SkinnedButton*>(&button) != nullptr) return button.rect();
  return button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
}

// Each text of `window` that is wider (or, wrapped, taller) than its room,
// as "object: text (width > room)".
std::vector<std::string> CutTexts(QWidget& window) {
  std::vector<std::string> cut;
  int measured = 0;
  const auto check = [&](QWidget& widget, const QString& text, const QRect& room, bool wraps) {
    if (text.trimmed().isEmpty()) return;
    ++measured;
    widget.ensurePolished();
    const QFontMetrics metrics(widget.font());
    const QStringList lines = ShownLines(text);
    const QString joined = lines.join(QChar('\n'));
    QSize need;
    if (wraps) {
      const QRect wrapped =
          metrics.boundingRect(QRect(0, 0, room.width(), 100000), Qt::TextWordWrap, joined);
      need = wrapped.size();
      // A single word wider than the box is cut even when the label wraps.
      for (const QString& word : joined.split(QRegularExpression(QStringLiteral("\\s+"))))
        need.setWidth(std::max(need.width(), metrics.horizontalAdvance(word)));
    } else {
      for (const QString& line : lines)
        need.setWidth(std::max(need.width(), metrics.horizontalAdvance(line)));
      need.setHeight(metrics.height() * static_cast<int>(lines.size()));
    }
    // Wrapped texts must also keep to the box's height; one line may use the
    // font's whole height even when its box is a pixel or two lower, as Qt
    // still draws it whole.
    const bool too_tall = wraps && lines.size() >= 1 && need.height() > room.height() &&
                          need.height() > metrics.height();
    if (need.width() > room.width() || too_tall) {
      cut.push_back(widget.metaObject()->className() + std::string(" \"") + joined.toStdString() +
                    "\" needs " + std::to_string(need.width()) + "x" +
                    std::to_string(need.height()) + ", has " + std::to_string(room.width()) + "x" +
                    std::to_string(room.height()));
    }
  };
  for (QLabel* label : window.findChildren<QLabel*>()) {
    if (!label->pixmap().isNull() || label->movie() != nullptr) continue;
    QRect room = label->contentsRect();
    const int margin = label->margin();
    room.adjust(margin, margin, -margin, -margin);
    if (label->indent() > 0) room.setLeft(room.left() + label->indent());
    check(*label, label->text(), room, label->wordWrap());
  }
  for (QAbstractButton* button : window.findChildren<QAbstractButton*>())
    check(*button, button->text(), ButtonTextRoom(*button), false);
  if (measured == 0) cut.push_back("no text measured: the window was not filled");
  return cut;
}

// Builds a window in a language and fills it as it is before it shows; the
// windows are kept until the end of the case.
class WindowWorld {
 public:
  WindowWorld()
      : club_(server_.BaseUrl()),
        account_(club_.access, game_.game().Session(), dir_.filePath("KezUser.kez").toStdString()) {
    club_.services.photo_address =
        ScrambleText(server_.BaseUrl() + "photos/", kAccountKey);  // the account pages' photos
    WriteLinesAtomic(champions_path_, NewChampionsTable({}, 0, "rel"));
  }

  InterfaceLanguage& language() { return game_.language(); }
  ClubConnection& club() { return club_; }
  AccountWorkflow& account() { return account_; }
  PictureStore& pictures() { return pictures_; }
  TournamentPassport& passport() { return passport_; }
  const std::string& champions_path() const { return champions_path_; }
  ClubWindowParts Parts() {
    return {game_.language(),
            account_,
            pictures_,
            [](const Notice&) {},
            [](const QUrl&) { return true; },
            [](QWidget*) { return QString(); }};
  }
  std::string& player_name() { return player_name_; }

 private:
  QTemporaryDir dir_;
  testing::ClubServerProcess server_;
  ClubConnection club_;
  dialogs_test::TestGame game_;
  AccountWorkflow account_;
  PictureStore pictures_;
  TournamentPassport passport_ = MakePassport("Ann", "Oslo", "1-035", 'W');
  std::string champions_path_ = dir_.filePath("Braxo.clb").toStdString();
  std::string player_name_ = "Ann";
};

using Windows = std::vector<std::unique_ptr<QWidget>>;

template <typename Window>
Window& Shown(Windows& windows, std::unique_ptr<Window> window) {
  Window& shown = *window;
  shown.show();
  windows.push_back(std::move(window));
  return shown;
}

struct WindowCase {
  const char* name;
  std::function<void(WindowWorld& world, int language, Windows& windows)> open;
};

std::vector<WindowCase> WindowCases() {
  return {
      {"Account",
       [](WindowWorld& world, int, Windows& windows) {
         Shown(windows, std::make_unique<AccountWindow>(
                            world.Parts(), AccountWindowPurpose::kAccountIcon, false, nullptr));
       }},
      {"PersonalInfo",
       [](WindowWorld& world, int, Windows& windows) {
         Shown(windows, std::make_unique<PersonalInfoWindow>(world.Parts(), false, nullptr));
       }},
      {"TopTenTable",
       [](WindowWorld& world, int language, Windows& windows) {
         static PlatformChoice platform = PlatformChoice::kWindows;
         Shown(windows,
               std::make_unique<TopTenTableWindow>(world.club().access, world.passport(), platform,
                                                   language, world.pictures(), nullptr, nullptr))
             .DrawTable();
       }},
      {"TopTenEntry",
       [](WindowWorld& world, int language, Windows& windows) {
         Shown(windows, std::make_unique<TopTenEntryWindow>(
                            world.club().access, world.passport(), 1234, language, world.pictures(),
                            nullptr, nullptr, [](QWidget*, const Notice&) {}))
             .PrepareShowing();
       }},
      {"Passport",
       [](WindowWorld& world, int language, Windows& windows) {
         Shown(windows, std::make_unique<PassportWindow>(world.passport(), language,
                                                         world.pictures(), nullptr));
       }},
      {"Chat",
       [](WindowWorld& world, int language, Windows& windows) {
         Shown(windows, std::make_unique<ChatWindow>(world.club().access, world.passport(),
                                                     language, world.pictures(), nullptr, nullptr,
                                                     [](QWidget*, const Notice&) {}))
             .PrepareShowing();
       }},
      {"Statistics",
       [](WindowWorld& world, int language, Windows& windows) {
         static LastUsageStats last;
         StatisticsWindow& window = Shown(
             windows, std::make_unique<StatisticsWindow>(
                          world.club().access, world.club().settings, [] {}, last, language,
                          world.pictures(), nullptr,
                          [](QWidget*, const QString&, const QString& value) { return value; }));
         window.PrepareShowing();
         // Measured filled: the note under the grid is the reading's until then.
         ASSERT_TRUE(QTest::qWaitFor([&window] { return !window.ReadingClub(); }, 10000));
       }},
      {"Passwords",
       [](WindowWorld& world, int, Windows& windows) {
         // The mode passwords and the champion's name share one window.
         for (PasswordPrompt prompt :
              {PasswordPrompt::kExtraPassword, PasswordPrompt::kSuperPassword,
               PasswordPrompt::kChampionName}) {
           auto window = std::make_unique<PasswordWindow>(world.language(), world.player_name(),
                                                          world.pictures(), nullptr);
           window->Prepare(prompt, "secret1");
           Shown(windows, std::move(window));
         }
       }},
      {"Information",
       [](WindowWorld& world, int, Windows& windows) {
         static ChampionsFile champions(world.champions_path());
         static Options options;
         for (InfoPage page : {InfoPage::kAbout, InfoPage::kOptions, InfoPage::kChampions}) {
           auto window = std::make_unique<InfoWindow>(
               world.language(), champions, world.pictures(),
               InfoContacts{{QUrl("https://club.example.org/"), QUrl("https://club.example.org/")},
                            QUrl("mailto:club@club.example.org")},
               nullptr, [](const QUrl&) { return true; });
           window->AttachOptions(&options, [] {});
           window->Prepare(page, [](int) {});
           Shown(windows, std::move(window));
         }
       }},
      {"Notices",
       [](WindowWorld& world, int, Windows& windows) {
         using enum MsgId;
         for (MsgId id : {MsgTopTenUnavailable, MsgChatUnavailable, MsgCannotConnect,
                          MsgGameNotOnRating, MsgResultNotWritten, MsgMessageNotSent,
                          MsgAccountCreated, MsgNickTaken, MsgAccountNotCreated, MsgLoginFailed,
                          MsgCopied, MsgPhotoFormat, MsgPhotoUploadFailed, MsgPhotoUploaded}) {
           Shown(windows, std::make_unique<NoticeWindow>(Notice{world.language().Text(id), "", ""},
                                                         nullptr));
         }
         const std::string help = "http://127.0.0.1:8676/help/" +
                                  std::string(Language(world.language().Index()).code) + ".html";
         Shown(windows, std::make_unique<NoticeWindow>(
                            Notice{world.language().Text(MsgNoBrowser), "", help}, nullptr));
       }},
  };
}

struct FitCase {
  WindowCase window;
  int language;
};

std::vector<FitCase> FitCases() {
  std::vector<FitCase> cases;
  for (const WindowCase& window : WindowCases())
    for (int language = 0; language < kLanguageCount; ++language)
      cases.push_back({window, language});
  return cases;
}

void PrintTo(const FitCase& c, std::ostream* out) {
  *out << c.window.name << " in " << Language(c.language).english_name;
}

class LabelFit : public ::testing::TestWithParam<FitCase> {
 protected:
  static void SetUpTestSuite() { world_ = new WindowWorld; }
  static void TearDownTestSuite() {
    delete world_;
    world_ = nullptr;
  }
  static WindowWorld* world_;
};

WindowWorld* LabelFit::world_ = nullptr;

TEST_P(LabelFit, Fits) {
  const FitCase& c = GetParam();
  world_->language().Set(c.language);
  Windows windows;
  c.window.open(*world_, c.language, windows);
  ASSERT_FALSE(windows.empty());
  for (auto& window : windows) {
    for (const std::string& cut : CutTexts(*window)) ADD_FAILURE() << cut;
  }
}

INSTANTIATE_TEST_SUITE_P(Windows, LabelFit, ::testing::ValuesIn(FitCases()),
                         [](const ::testing::TestParamInfo<FitCase>& info) {
                           return std::string(info.param.window.name) + "_" +
                                  std::string(Language(info.param.language).code);
                         });

}  // namespace
}  // namespace braxo
