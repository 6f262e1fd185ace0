#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <memory>
#include <string>

#include "dialogs/CountryLists.h"
#include "i18n/MessageCatalogue.h"

namespace braxo {
namespace {

const QColor kUsaFlag(0, 0, 200);
const QColor kRussiaFlag(0, 160, 0);
const QColor kItemBase(255, 255, 200);

// Flags in colours of their own for a few countries; the others have none.
class CountryListsTest : public ::testing::Test {
 protected:
  CountryListsTest() {
    Save("Country3034", kUsaFlag);
    Save("Country1001", kRussiaFlag);
    Save("Country3000", QColor(90, 90, 90));
    pictures_ = std::make_unique<PictureStore>(dir_.path());
    lists_ = std::make_unique<CountryLists>(*pictures_, &window_);
  }
  void Save(const QString& name, const QColor& colour) {
    QImage image(14, 12, QImage::Format_ARGB32);
    image.fill(colour);
    image.save(QDir(dir_.path()).filePath(name + ".png"));
  }
  // Moves a list one entry down as the player does with the arrow key.
  static void StepDown(QComboBox& box, int from) {
    box.setCurrentIndex(from);
    QTest::keyClick(&box, Qt::Key_Down);
  }

  QTemporaryDir dir_;
  std::unique_ptr<PictureStore> pictures_;
  QWidget window_;
  std::unique_ptr<CountryLists> lists_;
};

TEST_F(CountryListsTest, ShownCodeSelectsContinentAndCountry) {
  struct Case {
    std::string code;
    std::string shown;
    int countries;
    std::string country_name;
    std::string server_name;
  };
  const Case cases[] = {
      {"3-034", "3-034", 36, "USA", "USA"},
      {"1-001", "1-001", 49, "Russia", "Russia"},
      {"6-054", "6-054", 55, "Zimbabwe", "Zimbabwe"},
      {"3-031", "3-031", 36, "Saint Vincent and the Grenadines", "S.V._Grenadines"},
      // Unreadable codes fall back to the continent's "Unknown", or Europe's.
      {"2-999", "2-000", 52, "Unknown", "Unknown"},
      {"4-0x1", "4-000", 15, "Unknown", "Unknown"},
      {"7-001", "1-000", 49, "Unknown", "Unknown"},
      {"", "1-000", 49, "Unknown", "Unknown"},
      {"3-034 ", "3-000", 36, "Unknown", "Unknown"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    lists_->SetCode(c.code);
    EXPECT_EQ(lists_->CodeText(), c.shown);
    EXPECT_EQ(lists_->ContinentBox().currentIndex(), c.shown[0] - '1');
    EXPECT_EQ(lists_->CountryBox().count(), c.countries);
    EXPECT_EQ(lists_->CountryBox().currentIndex(), std::stoi(c.shown.substr(2)));
    EXPECT_EQ(lists_->CountryBox().currentText().toStdString(), c.country_name);
    EXPECT_EQ(lists_->ServerName(), c.server_name);
  }
}

TEST_F(CountryListsTest, ContinentNamesFollowTheLanguageAndKeepTheChoice) {
  ASSERT_EQ(lists_->ContinentBox().count(), 6);
  lists_->SetCode("5-002");
  for (int language : {0, 1}) {
    lists_->SetLanguage(language);
    for (int continent = 1; continent <= 6; ++continent) {
      EXPECT_EQ(lists_->ContinentBox().itemText(continent - 1).toStdString(),
                MessageText(ContinentNameId(continent), language));
    }
    EXPECT_EQ(lists_->CodeText(), "5-002");
    EXPECT_EQ(lists_->ContinentBox().currentIndex(), 4);
  }
  EXPECT_NE(MessageText(MsgId::MsgEurope, 0), MessageText(MsgId::MsgEurope, 1));
}

TEST_F(CountryListsTest, PlayersChoicesKeepCodeAndServerNameInStep) {
  QSignalSpy changed(lists_.get(), &CountryLists::CodeChanged);
  lists_->SetCode("1-005");
  EXPECT_EQ(changed.count(), 0) << "showing a code is not a choice";

  // North America, then "USA": the index from the list position.
  StepDown(lists_->ContinentBox(), 1);
  EXPECT_EQ(lists_->CodeText(), "3-000");
  EXPECT_EQ(lists_->CountryBox().count(), 36);
  EXPECT_EQ(lists_->CountryBox().currentIndex(), 0);
  StepDown(lists_->CountryBox(), 33);
  EXPECT_EQ(lists_->CodeText(), "3-034");
  EXPECT_EQ(lists_->ServerName(), "USA");
  StepDown(lists_->CountryBox(), 30);
  EXPECT_EQ(lists_->CodeText(), "3-031");
  EXPECT_EQ(lists_->ServerName(), "S.V._Grenadines");
  EXPECT_EQ(changed.count(), 3);

  // A new continent starts at "Unknown" though index 31 exists there too.
  StepDown(lists_->ContinentBox(), 2);
  EXPECT_EQ(lists_->CodeText(), "4-000");
  EXPECT_EQ(lists_->ServerName(), "Unknown");
  EXPECT_EQ(lists_->CountryBox().count(), 15);
  EXPECT_EQ(lists_->CountryBox().currentIndex(), 0);
}

TEST_F(CountryListsTest, DisabledListsTakeNoChoice) {
  lists_->SetCode("3-034");
  lists_->SetEnabled(false);
  QSignalSpy changed(lists_.get(), &CountryLists::CodeChanged);
  StepDown(lists_->ContinentBox(), 2);
  StepDown(lists_->CountryBox(), 34);
  EXPECT_EQ(lists_->CodeText(), "3-034");
  EXPECT_EQ(changed.count(), 0);
  lists_->SetEnabled(true);
  StepDown(lists_->CountryBox(), 33);
  EXPECT_EQ(lists_->CodeText(), "3-034");
  EXPECT_EQ(changed.count(), 1);
}

TEST_F(CountryListsTest, CountriesCarryTheirFlags) {
  lists_->SetCode("3-034");
  QComboBox& box = lists_->CountryBox();
  EXPECT_FALSE(box.itemIcon(34).isNull());
  EXPECT_FALSE(box.itemIcon(0).isNull());
  EXPECT_TRUE(box.itemIcon(1).isNull()) << "Anguilla has no flag among the test pictures";
  EXPECT_EQ(box.itemData(34, CountryLists::kCodeRole).toString(), "3-034");
  EXPECT_EQ(box.iconSize(), QSize(14, 12));
}

TEST_F(CountryListsTest, ItemShowsFlagBesideTheName) {
  lists_->SetCode("3-034");
  QComboBox& box = lists_->CountryBox();
  QAbstractItemDelegate* delegate = box.itemDelegate();
  QStyleOptionViewItem option;
  option.rect = QRect(10, 20, 170, 18);
  option.palette.setColor(QPalette::Base, kItemBase);
  option.palette.setColor(QPalette::Text, QColor(255, 0, 0));
  option.font = box.font();
  EXPECT_EQ(delegate->sizeHint(option, box.model()->index(34, 0)).height(), 18);
  lists_->SetItemHeight(22);
  EXPECT_EQ(delegate->sizeHint(option, box.model()->index(34, 0)).height(), 22);

  QImage canvas(200, 50, QImage::Format_ARGB32);
  canvas.fill(Qt::black);
  {
    QPainter painter(&canvas);
    delegate->paint(&painter, option, box.model()->index(34, 0));
  }
  EXPECT_EQ(canvas.pixelColor(12, 22), kUsaFlag);   // flag's top left at (left + 2, top + 2)
  EXPECT_EQ(canvas.pixelColor(25, 33), kUsaFlag);   // and its bottom right
  EXPECT_EQ(canvas.pixelColor(11, 21), kItemBase);  // the filled item around it
  EXPECT_EQ(canvas.pixelColor(26, 34), kItemBase);
  EXPECT_EQ(canvas.pixelColor(5, 5), QColor(Qt::black));  // nothing outside the item
  bool red_text = false;
  for (int x = 32; x < 180 && !red_text; ++x)
    for (int y = 20; y < 38 && !red_text; ++y)
      red_text = canvas.pixelColor(x, y).red() > 200 && canvas.pixelColor(x, y).blue() < 100;
  EXPECT_TRUE(red_text) << "the name is written right of the flag";
}

}  // namespace
}  // namespace braxo
