#include "dialogs/CountryLists.h"

#include <QAbstractItemView>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

#include "i18n/MessageCatalogue.h"
#include "ui/ClubIcons.h"

namespace braxo {
namespace {

constexpr int kFlagWidth = 14;
constexpr int kFlagHeight = 12;

// The flag of `code` on a transparent 14 x 12 picture; a null picture when
// there is no such flag.
QImage FlagPicture(const CountryCode& code, PictureStore& pictures) {
  if (!pictures.Has(QString::fromStdString(CountryFlagPicture(code)))) return {};
  QImage flag(kFlagWidth, kFlagHeight, QImage::Format_ARGB32_Premultiplied);
  flag.fill(Qt::transparent);
  QPainter painter(&flag);
  DrawCountryFlag(code.ToString(), painter, 0, 0, pictures);
  return flag;
}

}  // namespace

void CountryItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  const QRect rect = option.rect;
  const bool highlighted = option.state & QStyle::State_Selected;
  painter->save();
  painter->fillRect(rect, option.palette.color(highlighted ? QPalette::Highlight : QPalette::Base));
  int text_left = rect.left();
  const QString code = index.data(CountryLists::kCodeRole).toString();
  if (const auto parsed = CountryCode::Parse(code.toStdString());
      parsed && pictures_.Has(QString::fromStdString(CountryFlagPicture(*parsed)))) {
    DrawCountryFlag(code.toStdString(), *painter, rect.left() + 2, rect.top() + 2, pictures_);
    text_left = rect.left() + kFlagWidth + 8;
  }
  painter->setFont(option.font);
  painter->setPen(option.palette.color(highlighted ? QPalette::HighlightedText : QPalette::Text));
  painter->drawText(QRect(text_left, rect.top(), rect.right() - text_left + 1, rect.height()),
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                    index.data(Qt::DisplayRole).toString());
  painter->restore();
}

QSize CountryItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
  return {QStyledItemDelegate::sizeHint(option, index).width() + kFlagWidth + 8, item_height_};
}

CountryLists::CountryLists(PictureStore& pictures, QWidget* parent)
    : QObject(parent),
      pictures_(pictures),
      continent_box_(new QComboBox(parent)),
      country_box_(new QComboBox(parent)),
      delegate_(new CountryItemDelegate(pictures, this)) {
  for (int continent = kFirstContinent; continent <= kLastContinent; ++continent)
    continent_box_->addItem(QString());
  SetLanguage(0);
  country_box_->setItemDelegate(delegate_);
  country_box_->setIconSize(QSize(kFlagWidth, kFlagHeight));
  // A long list scrolls instead of covering the screen.
  country_box_->setMaxVisibleItems(16);
  FillCountries(code_.continent());
  country_box_->setCurrentIndex(code_.index());
  connect(continent_box_, &QComboBox::activated, this, &CountryLists::ContinentChosen);
  connect(country_box_, &QComboBox::activated, this, &CountryLists::CountryChosen);
}

void CountryLists::SetLanguage(int language) {
  for (int continent = kFirstContinent; continent <= kLastContinent; ++continent) {
    continent_box_->setItemText(
        continent - 1, QString::fromStdString(MessageText(ContinentNameId(continent), language)));
  }
}

void CountryLists::SetCode(std::string_view code) {
  if (const auto parsed = CountryCode::Parse(code)) {
    code_ = *parsed;
  } else {
    const int continent =
        !code.empty() && IsContinent(code[0] - '0') ? code[0] - '0' : kFirstContinent;
    code_ = *CountryCode::FromParts(continent, 0);
  }
  continent_box_->setCurrentIndex(code_.continent() - 1);
  FillCountries(code_.continent());
  country_box_->setCurrentIndex(code_.index());
}

void CountryLists::SetEnabled(bool enabled) {
  continent_box_->setEnabled(enabled);
  country_box_->setEnabled(enabled);
}

void CountryLists::SetItemHeight(int height) {
  delegate_->SetItemHeight(height);
  // The popup lays its rows out again from the new size hint.
  country_box_->view()->reset();
}

void CountryLists::FillCountries(int continent) {
  filling_ = true;
  country_box_->clear();
  const auto countries = CountriesOf(continent);
  for (int index = 0; index < static_cast<int>(countries.size()); ++index) {
    const CountryCode code = *CountryCode::FromParts(continent, index);
    const QImage flag = FlagPicture(code, pictures_);
    const QString name = QString::fromUtf8(countries[index].name.data(),
                                           static_cast<int>(countries[index].name.size()));
    if (flag.isNull())
      country_box_->addItem(name);
    else
      country_box_->addItem(QIcon(QPixmap::fromImage(flag)), name);
    country_box_->setItemData(index, QString::fromStdString(code.ToString()), kCodeRole);
  }
  filling_ = false;
}

void CountryLists::ContinentChosen(int position) {
  const auto code = CountryCode::FromParts(position + 1, 0);
  if (!code) return;
  code_ = *code;
  FillCountries(code_.continent());
  country_box_->setCurrentIndex(0);
  emit CodeChanged();
}

void CountryLists::CountryChosen(int position) {
  if (filling_) return;
  const auto code = CountryCode::FromParts(code_.continent(), position);
  if (!code) return;
  code_ = *code;
  emit CodeChanged();
}

}  // namespace braxo
