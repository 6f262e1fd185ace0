#include <gtest/gtest.h>

#include <QApplication>
#include <QUrl>
#include <ostream>
#include <vector>

#include "DialogTestKit.h"
#include "dialogs/NoticeWindow.h"

namespace braxo {
namespace {

using dialogs_test::Click;
using dialogs_test::TypeKey;
using dialogs_test::WhenModalOpens;

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

struct WidthCase {
  const char* name;
  Notice notice;
  int width;
};

// ctest lists a case by its name; the bytes of the notice would make a line
// hundreds of characters wide.
void PrintTo(const WidthCase& width_case, std::ostream* out) { *out << width_case.name; }

const WidthCase kWidthCases[] = {
    {"ThreeTextsOfFifty", {Repeat("a", 50), Repeat("b", 50), Repeat("c", 50)}, 400},
    {"MessageOfFiftyOne", {Repeat("a", 51), "", ""}, 620},
    {"SecondLineOfFiftyOne", {"Hello", Repeat("b", 51), ""}, 620},
    {"LinkOfFiftyOne", {"Hello", "", "https://" + Repeat("l", 39) + ".org"}, 620},
    // Characters count, not bytes: 50 Cyrillic letters are 100 UTF-8 bytes.
    {"FiftyCyrillicCharacters", {Repeat("ж", 50), "", ""}, 400},
    {"FiftyOneCyrillicCharacters", {Repeat("ж", 51), "", ""}, 620},
    {"FiftyCharactersOutsideTheBasicPlane", {Repeat("😀", 50), "", ""}, 400},
};

class NoticeWidthTest : public ::testing::TestWithParam<WidthCase> {};

TEST_P(NoticeWidthTest, WidensOnlyForATextLongerThanFiftyCharacters) {
  const WidthCase& c = GetParam();
  NoticeWindow form(c.notice, nullptr);
  form.show();
  EXPECT_EQ(form.width(), c.width);
  EXPECT_EQ(form.height(), kNoticeHeight);
  EXPECT_EQ(form.OkButton().geometry(), QRect(5, 58, c.width - 10, 27));
}

INSTANTIATE_TEST_SUITE_P(Cases, NoticeWidthTest, ::testing::ValuesIn(kWidthCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NoticeWindowTest, EmptyLinesAreHiddenAndTheOthersKeepTheirPlaces) {
  struct Case {
    Notice notice;
    bool second_shown;
    bool link_shown;
  };
  const Case cases[] = {
      {{"Only a message", "", ""}, false, false},
      {{"Message", "", "https://example.org/"}, false, true},
      {{"Message", "Second", ""}, true, false},
  };
  for (const Case& c : cases) {
    NoticeWindow form(c.notice, nullptr);
    form.show();
    EXPECT_TRUE(form.MessageLabel().isVisible());
    EXPECT_EQ(form.MessageLabel().text().toStdString(), c.notice.message);
    EXPECT_EQ(form.MessageLabel().pos(), QPoint(59, 5));
    EXPECT_EQ(form.SecondLabel().isVisible(), c.second_shown);
    EXPECT_EQ(form.LinkLabel().isVisible(), c.link_shown);
    if (c.second_shown) {
      EXPECT_EQ(form.SecondLabel().pos(), QPoint(59, 21));
    }
    if (c.link_shown) {
      EXPECT_EQ(form.LinkLabel().pos(), QPoint(59, 37));
    }
    EXPECT_TRUE(form.OkButton().isVisible());
    EXPECT_EQ(form.windowTitle(), "Attention");
  }
}

TEST(NoticeWindowTest, LinkLineIsBlueUnderlinedWithAHandCursor) {
  NoticeWindow form({"Message", "", "https://example.org/"}, nullptr);
  form.show();
  EXPECT_EQ(form.LinkLabel().palette().color(QPalette::WindowText), QColor(0, 0, 255));
  EXPECT_TRUE(form.LinkLabel().font().underline());
  EXPECT_EQ(form.LinkLabel().cursor().shape(), Qt::PointingHandCursor);
}

TEST(NoticeWindowTest, ClickOnTheLinkOpensOnlyWebAddressesAndKeepsTheWindowOpen) {
  struct Case {
    std::string link;
    bool opened;
  };
  const Case cases[] = {
      {"https://example.org/news?id=5", true},
      {"http://example.org/", true},
      {"HTTPS://example.org/", true},
      {"file:///etc/passwd", false},
      {"javascript:alert(1)", false},
      {"/usr/bin/xterm", false},
      {"https://", false},
  };
  for (const Case& c : cases) {
    std::vector<QUrl> opened;
    NoticeWindow form({"Message", "", c.link}, nullptr, [&](const QUrl& url) {
      opened.push_back(url);
      return true;
    });
    form.show();
    Click(form.LinkLabel(), QPoint(3, 3));
    ASSERT_EQ(opened.size(), c.opened ? 1u : 0u) << c.link;
    if (c.opened) {
      EXPECT_EQ(opened[0], QUrl(QString::fromStdString(c.link)));
    }
    EXPECT_TRUE(form.isVisible());
  }
}

TEST(NoticeWindowTest, OkCloseBoxAndEscapeCloseIt) {
  const std::function<void(NoticeWindow&)> closers[] = {
      [](NoticeWindow& form) { form.OkButton().click(); },
      [](NoticeWindow& form) { form.close(); },
      [](NoticeWindow& form) { TypeKey(form, Qt::Key_Escape); },
  };
  for (const auto& close_window : closers) {
    NoticeWindow form({"Message", "", ""}, nullptr);
    form.show();
    close_window(form);
    EXPECT_FALSE(form.isVisible());
  }
}

TEST(NoticeWindowTest, ShowNoticeReturnsWhenThePlayerClosesTheWindow) {
  QWidget parent;
  parent.setGeometry(100, 100, 850, 510);
  parent.show();
  QString seen_title;
  QSize seen_size;
  QPoint seen_centre;
  WhenModalOpens([&](QWidget& modal) {
    seen_title = modal.windowTitle();
    seen_size = modal.size();
    seen_centre = modal.frameGeometry().center();
    static_cast<NoticeWindow&>(modal).OkButton().click();
  });
  ShowNotice(&parent, {"Could not connect to server!", "The game is not on the rating!", ""});
  EXPECT_EQ(seen_title, "Attention");
  EXPECT_EQ(seen_size, QSize(400, 90));
  EXPECT_LE((seen_centre - parent.frameGeometry().center()).manhattanLength(), 2);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace braxo
