// The chat window, a real window offscreen against the real braxo-club (a
// fresh database for each test), and against clubs that refuse, stay silent
// or answer garbage; and the chat's text rules.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "ClubWindowKit.h"
#include "DialogTestKit.h"
#include "dialogs/ChatWindow.h"
#include "i18n/MessageCatalogue.h"

namespace braxo {
namespace {

using dialogs_test::ClubConnection;
using dialogs_test::FailingClub;
using dialogs_test::Failure;
using dialogs_test::FailureName;
using dialogs_test::Find;
using dialogs_test::MakePassport;
using dialogs_test::PictureAt;
using dialogs_test::RecordedNotices;
using dialogs_test::TypeKey;
using dialogs_test::TypeText;
using testing::CannedResponse;
using testing::ClubServerProcess;
using testing::RecordedRequest;
using testing::TestHttpServer;

const QDateTime kNoon(QDate(2026, 3, 14), QTime(12, 30, 45));

// The club allows one message per address and nick every ten seconds; the
// tests send from one address, so they get a club that allows more.
std::vector<std::string> ChattyClubArguments(const QTemporaryDir& folder) {
  const QString path = QDir(folder.path()).filePath("club.conf");
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write("limit.chat_messages = 100/10\n");
  return {"--config", path.toStdString()};
}

// The window's list read and the message it sends have come back (or failed).
bool WaitForClub(const ChatWindow& window) {
  return QTest::qWaitFor([&window] { return !window.ReadingClub() && !window.Sending(); }, 15000);
}

class ChatWindowTest : public ::testing::Test {
 protected:
  std::unique_ptr<ChatWindow> Open(TournamentPassport& passport) {
    auto window = std::make_unique<ChatWindow>(club_.access, passport, 0, pictures_, nullptr,
                                               nullptr, notices_.Shower(), [] { return kNoon; });
    window->show();
    window->PrepareShowing();
    EXPECT_TRUE(WaitForClub(*window));
    return window;
  }
  void Send(ChatWindow& window, const QString& text) {
    window.InputLine().setText(text);
    TypeKey(window.InputLine(), Qt::Key_Return);
    EXPECT_TRUE(WaitForClub(window));
  }
  // The texts drawn into slot s (1 at the top).
  static std::vector<QString> Slot(const ChatWindow& window, int s) {
    std::vector<QString> out;
    for (const DrawnText& t : window.MessageTexts())
      if (t.y >= 50 * (s - 1) && t.y < 50 * s) out.push_back(t.text);
    return out;
  }

  QTemporaryDir folder_;
  ClubServerProcess server_{ChattyClubArguments(folder_)};
  ClubConnection club_{server_.BaseUrl()};
  PictureStore pictures_;
  RecordedNotices notices_;
};

TEST_F(ChatWindowTest, TwoPassportsInOrderNewestAtTheBottomWithFlagsAndNumbers) {
  TournamentPassport ann = MakePassport("Ann", "Oslo", "1-035", 'W');
  TournamentPassport bob = MakePassport("Bob", "Paris", "1-015", 'M');
  {
    auto window = Open(ann);
    for (int s = 1; s <= 10; ++s) EXPECT_TRUE(Slot(*window, s).empty()) << s;
    ASSERT_TRUE(window->InputLine().isEnabled());
    Send(*window, "Hello");
    EXPECT_TRUE(notices_.messages.empty());
  }
  auto window = Open(bob);
  Send(*window, "Hi Ann");
  EXPECT_TRUE(notices_.messages.empty());

  // Newest at the bottom (slot 10), the one before above it.
  const std::vector<QString> newest = Slot(*window, 10);
  ASSERT_EQ(newest.size(), 3u);
  EXPECT_EQ(newest[0], "2.");
  EXPECT_EQ(newest[1], "Paris : " + ShownWithSpaces(ChatTimeStamp(kNoon)) + " 2.7 : Bob");
  EXPECT_TRUE(newest[1].startsWith("Paris : 12:30:45 ")) << newest[1].toStdString();
  EXPECT_EQ(newest[2], "Hi Ann");
  const std::vector<QString> older = Slot(*window, 9);
  ASSERT_EQ(older.size(), 3u);
  EXPECT_EQ(older[0], "1.");
  EXPECT_TRUE(older[1].startsWith("Oslo : ") && older[1].endsWith(" : Ann"))
      << older[1].toStdString();
  EXPECT_EQ(older[2], "Hello");
  for (int s = 1; s <= 8; ++s) EXPECT_TRUE(Slot(*window, s).empty()) << s;

  // Where each part lies: number, flag, sex icon, header, body.
  const DrawnText* number = Find(window->MessageTexts(), "2.");
  EXPECT_EQ(number->x, 5);
  EXPECT_EQ(number->y, 454);
  EXPECT_EQ(number->colour, kClubRed);
  EXPECT_EQ(Find(window->MessageTexts(), "Hi Ann")->y, 479);
  EXPECT_EQ(Find(window->MessageTexts(), "Hi Ann")->colour, kClubNavy);
  const QImage& list = window->MessageList().Image();
  EXPECT_TRUE(PictureAt(list, pictures_.LoadPngResource("Country1015"), 60, 456));
  EXPECT_TRUE(PictureAt(list, pictures_.LoadPngResource("FaceMan16"), 80, 454));
  EXPECT_TRUE(PictureAt(list, pictures_.LoadPngResource("Country1035"), 60, 406));
  EXPECT_TRUE(PictureAt(list, pictures_.LoadPngResource("FaceWoman16"), 80, 404));
  // The bands: a maroon outline around the pink header, navy around the
  // light blue body, each fading to white.
  EXPECT_EQ(list.pixelColor(0, 0), kClubMaroon);
  EXPECT_EQ(list.pixelColor(699, 24), kClubMaroon);
  EXPECT_EQ(list.pixelColor(0, 25), kClubNavy);
  EXPECT_EQ(list.pixelColor(699, 49), kClubNavy);
  EXPECT_EQ(list.pixelColor(650, 1), QColor(255, 200, 200));
  EXPECT_EQ(list.pixelColor(650, 23), QColor(255, 255, 255));
  EXPECT_EQ(list.pixelColor(650, 26), QColor(200, 200, 255));
  EXPECT_EQ(list.pixelColor(650, 48), QColor(255, 255, 255));
}

TEST_F(ChatWindowTest, SignsOutsideTheNameCharactersAreSentAsUnderscoresAndShownAsSpaces) {
  TournamentPassport ann = MakePassport("Ann", "Oslo", "1-035", 'W');
  auto window = Open(ann);
  Send(*window, "a b&c=d$e*f_g");
  EXPECT_TRUE(notices_.messages.empty());
  const std::vector<QString> slot = Slot(*window, 10);
  ASSERT_EQ(slot.size(), 3u);
  EXPECT_EQ(slot[2], "a b c d e f g");
  // Stored as the club keeps it.
  EXPECT_EQ(club_.access.ReadTopTen(kChatTableId).entries[0].message, "a_b_c_d_e_f_g");
}

TEST_F(ChatWindowTest, InputWaitsForAnAcceptablePassportAndForTheTickAfterASend) {
  TournamentPassport passport = MakePassport("A", "Oslo", "1-035", 'W');
  auto window = Open(passport);
  EXPECT_FALSE(window->InputLine().isEnabled()) << "a one-letter nick is refused";
  // Enter and the envelope do nothing while the line is disabled.
  window->InputLine().setText("refused");
  window->SendMessage();
  window->EnvelopeButton().click();
  EXPECT_TRUE(club_.access.ReadTopTen(kChatTableId).entries[0].nick == "#");

  passport.city = "New York";  // a space is not a name character
  window->RefreshPeriodEnded();
  EXPECT_FALSE(window->InputLine().isEnabled());

  // The passport window puts it right: the line is enabled at once.
  ChatWindow fixed(
      club_.access, passport, 0, pictures_,
      [&passport](QWidget*) {
        passport.nick = "Ann";
        passport.city = "NewYork";
      },
      nullptr, notices_.Shower(), [] { return kNoon; });
  fixed.show();
  fixed.PrepareShowing();
  EXPECT_FALSE(fixed.InputLine().isEnabled());
  fixed.PassportButton().click();
  ASSERT_TRUE(fixed.InputLine().isEnabled());

  // The envelope sends as Enter does; then the line waits for the tick.
  fixed.InputLine().setText("First");
  fixed.EnvelopeButton().click();
  ASSERT_TRUE(WaitForClub(fixed));
  EXPECT_TRUE(notices_.messages.empty());
  EXPECT_TRUE(fixed.WaitingForTick());
  EXPECT_FALSE(fixed.EnvelopeButton().isEnabled());
  EXPECT_TRUE(fixed.InputLine().text().isEmpty());
  EXPECT_FALSE(fixed.RefreshHotspot().isVisible());
  EXPECT_EQ(fixed.RefreshTimer().interval(), 15000);
  fixed.RefreshPeriodEnded();
  EXPECT_TRUE(fixed.InputLine().isEnabled());
  EXPECT_FALSE(fixed.WaitingForTick());
  EXPECT_TRUE(fixed.EnvelopeButton().isEnabled());
  EXPECT_TRUE(fixed.RefreshHotspot().isVisible());
  Send(fixed, "Second");
  EXPECT_EQ(club_.access.ReadTopTen(kChatTableId).entries[0].score, 2);
  EXPECT_EQ(club_.access.ReadTopTen(kChatTableId).entries[0].message, "Second");
}

// After a send the line keeps the focus and whatever is typed while it waits
// for the tick, says how long it waits, keeps Space and Enter out of the
// buttons, and sends the kept text once the tick has come.
TEST_F(ChatWindowTest, TypedTextAndFocusAreKeptWhileTheLineWaitsForTheTick) {
  TournamentPassport ann = MakePassport("Ann", "Oslo", "1-035", 'W');
  auto window = Open(ann);
  window->activateWindow();
  window->InputLine().setFocus();
  TypeText(window->InputLine(), "Hello");
  TypeKey(window->InputLine(), Qt::Key_Return);
  ASSERT_TRUE(WaitForClub(*window));
  ASSERT_TRUE(window->WaitingForTick());
  EXPECT_TRUE(window->InputLine().isEnabled());
  EXPECT_TRUE(window->InputLine().hasFocus());
  const QString wait = QString::fromStdString(MessageText(MsgId::MsgChatWaitSeconds, 0));
  // The whole period at most, counted down from the send.
  QStringList possible;
  for (int seconds = 1; seconds <= 15; ++seconds) possible << wait.arg(seconds);
  EXPECT_TRUE(possible.contains(window->InputNote())) << window->InputNote().toStdString();
  EXPECT_EQ(window->InputLine().placeholderText(), window->InputNote());

  // Typing goes on; Space stays in the line; Enter sends nothing and keeps it.
  TypeText(window->InputLine(), "next one");
  TypeKey(window->InputLine(), Qt::Key_Space, " ");
  TypeKey(window->InputLine(), Qt::Key_Return);
  EXPECT_EQ(window->InputLine().text(), "next one ");
  EXPECT_TRUE(window->isVisible()) << "no button took the Space";
  EXPECT_EQ(club_.access.ReadTopTen(kChatTableId).entries[0].message, "Hello");
  for (QPushButton* button : window->findChildren<QPushButton*>())
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << button->text().toStdString();

  window->RefreshPeriodEnded();
  EXPECT_TRUE(window->InputNote().isEmpty());
  TypeKey(window->InputLine(), Qt::Key_Return);
  ASSERT_TRUE(WaitForClub(*window));
  EXPECT_EQ(club_.access.ReadTopTen(kChatTableId).entries[0].message, "next_one_");
  EXPECT_TRUE(window->InputLine().text().isEmpty());
}

// The characters that would arrive as spaces are said while typing, before
// anything is sent.
TEST_F(ChatWindowTest, CharactersThatCannotBeSentAreSaidBeforeSending) {
  TournamentPassport ann = MakePassport("Ann", "Oslo", "1-035", 'W');
  auto window = Open(ann);
  TypeText(window->InputLine(), "at 10:30; ok");
  const QString said =
      QString::fromStdString(MessageText(MsgId::MsgChatCannotSend, 0)).arg(QStringLiteral(":;"));
  EXPECT_EQ(window->InputNote(), said);
  EXPECT_EQ(window->InputLine().toolTip(), said);
  EXPECT_EQ(club_.access.ReadGameCount(kChatTableId), 0) << "said before any send";
  window->InputLine().clear();
  TypeText(window->InputLine(), "plain words");
  EXPECT_TRUE(window->InputNote().isEmpty());
}

TEST_F(ChatWindowTest, AnEmptyLineSendsNothing) {
  TournamentPassport ann = MakePassport("Ann", "Oslo", "1-035", 'W');
  auto window = Open(ann);
  Send(*window, "");
  EXPECT_TRUE(window->InputLine().isEnabled());
  EXPECT_EQ(club_.access.ReadGameCount(kChatTableId), 0);
}

// The window shows before the club answers, and a message goes out while
// the player goes on: a second Enter sends no second copy, and what is typed
// meanwhile stays in the line.
TEST_F(ChatWindowTest, ShownBeforeTheReplyAndOneMessagePerEnterWhileItIsOut) {
  TournamentPassport ann = MakePassport("Ann", "Oslo", "1-035", 'W');
  ChatWindow window(club_.access, ann, 0, pictures_, nullptr, nullptr, notices_.Shower(),
                    [] { return kNoon; });
  window.show();
  window.PrepareShowing();
  ASSERT_TRUE(window.ReadingClub());
  ASSERT_EQ(window.MessageTexts().size(), 1u);
  EXPECT_EQ(window.MessageTexts()[0].text.toStdString(), MessageText(MsgId::MsgClubLoading, 0));
  EXPECT_EQ(window.MessageTexts()[0].y, 4);
  window.RefreshHotspotClicked();  // while the read is out
  ASSERT_TRUE(WaitForClub(window));
  EXPECT_TRUE(window.MessageTexts().empty()) << "an empty chat";

  window.activateWindow();
  window.InputLine().setFocus();
  TypeText(window.InputLine(), "Hello");
  TypeKey(window.InputLine(), Qt::Key_Return);
  ASSERT_TRUE(window.Sending());
  EXPECT_FALSE(window.EnvelopeButton().isEnabled());
  EXPECT_TRUE(window.InputNote().startsWith(
      QString::fromStdString(MessageText(MsgId::MsgWaitingForClub, 0))))
      << window.InputNote().toStdString();
  TypeKey(window.InputLine(), Qt::Key_Return);
  window.EnvelopeButton().click();
  TypeText(window.InputLine(), " again");
  ASSERT_TRUE(WaitForClub(window));

  EXPECT_TRUE(notices_.messages.empty());
  EXPECT_EQ(club_.access.ReadGameCount(kChatTableId), 1) << "one message for the Enters";
  EXPECT_EQ(club_.access.ReadTopTen(kChatTableId).entries[0].message, "Hello");
  EXPECT_EQ(window.InputLine().text(), " again") << "typed while the message was out";
  EXPECT_TRUE(window.InputLine().hasFocus());
  EXPECT_TRUE(window.WaitingForTick());
  ASSERT_EQ(Slot(window, 10).size(), 3u);
  EXPECT_EQ(Slot(window, 10)[2], "Hello");
}

class ChatFailureTest : public ::testing::TestWithParam<Failure> {
 protected:
  std::string BaseUrl() const { return failing_.BaseUrl(); }
  FailingClub failing_{GetParam(), "<html>proxy error $ 12 x*</html>"};
  PictureStore pictures_;
};

TEST_P(ChatFailureTest, NoConnectAtTheTopAndANoticeForTheSendWhichKeepsTheText) {
  ClubConnection club(BaseUrl());
  TournamentPassport ann = MakePassport("Ann", "Oslo", "1-035", 'W');
  RecordedNotices notices;
  ChatWindow window(club.access, ann, 0, pictures_, nullptr, nullptr, notices.Shower());
  window.show();
  window.PrepareShowing();
  ASSERT_TRUE(WaitForClub(window));
  const auto& texts = window.MessageTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, kNoConnect);
  EXPECT_EQ(texts[0].y, 4);
  EXPECT_TRUE(window.InputLine().isEnabled()) << "a failed read does not touch the input line";

  window.InputLine().setText("Hello");
  TypeKey(window.InputLine(), Qt::Key_Return);
  ASSERT_TRUE(WaitForClub(window));
  EXPECT_EQ(notices.messages, std::vector<std::string>{MessageText(MsgId::MsgMessageNotSent, 0)});
  EXPECT_EQ(window.InputLine().text(), "Hello");
  EXPECT_TRUE(window.InputLine().isEnabled());
  window.CloseButton().click();
  EXPECT_FALSE(window.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Clubs, ChatFailureTest,
                         ::testing::Values(Failure::kRefused, Failure::kSilent, Failure::kGarbage),
                         FailureName);

TEST(ChatTexts, WhatIsSentAndWhatIsShown) {
  struct Case {
    const char* typed;
    const char* sent;
  };
  const Case cases[] = {
      {"Hello", "Hello"},
      {"a b", "a_b"},
      {"&=$*#~", "______"},
      {"Привет, мир!", "Привет,_мир!"},
      {"Ёлка ёж", "Ёлка_ёж"},
      {"ok?", "ok?"},
      {"日本", "__"},   // characters the code page lacks
      {"x\ty", "x_y"},  // control characters
      {"é", "_"},       // in no allowed set, though the code page may have it
  };
  for (const Case& c : cases) EXPECT_EQ(ChatMessageToSend(c.typed), c.sent) << c.typed;
  EXPECT_EQ(ChatMessageToSend(std::string(100, 'a')), std::string(80, 'a'));
  EXPECT_EQ(ShownWithSpaces("a_b__c"), "a b  c");
  EXPECT_EQ(ChatSlotOf(1), 10);
  EXPECT_EQ(ChatSlotOf(10), 1);

  const std::string stamp = ChatTimeStamp(kNoon);
  EXPECT_EQ(stamp.substr(0, 9), "12:30:45_");
  EXPECT_EQ(stamp.substr(stamp.size() - 6), "_Braxo");
  EXPECT_EQ(stamp.find(' '), std::string::npos);
}

}  // namespace
}  // namespace braxo
