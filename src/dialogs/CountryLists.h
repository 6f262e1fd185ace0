// The pair of lists a player picks a country with: the six continents, and
// the countries of the chosen continent, each with its 14 x 12 flag. Shared by
// the club account window and the tournament passport window; each window
// places the two boxes and gives them its own font and colours.
//
// The country list always holds every country of the continent in index
// order (entry 0 "Unknown"), so a list position is the country index.
// Choosing a continent resets the country to index 0, even when the new
// continent has the same index.
#pragma once

#include <QComboBox>
#include <QObject>
#include <QStyledItemDelegate>
#include <string>
#include <string_view>

#include "i18n/CountryCatalogue.h"
#include "ui/Pictures.h"

namespace braxo {

// The country items: the box's base colour (the selection colour when
// highlighted), the flag at (left + 2, top + 2), the English name at
// (left + 22, top) in the box's text colour, one row of ItemHeight() pixels.
class CountryItemDelegate : public QStyledItemDelegate {
 public:
  CountryItemDelegate(PictureStore& pictures, QObject* parent)
      : QStyledItemDelegate(parent), pictures_(pictures) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  int ItemHeight() const { return item_height_; }
  void SetItemHeight(int height) { item_height_ = height; }

 private:
  PictureStore& pictures_;
  int item_height_ = 18;
};

class CountryLists : public QObject {
  Q_OBJECT

 public:
  // The item role holding an entry's CountryCode text ("3-034").
  static constexpr int kCodeRole = Qt::UserRole + 1;

  // Creates both boxes as children of `parent`, unplaced, showing 1-000 with
  // English continent names. `pictures` supplies the flags ("Country3034")
  // and must outlive the lists.
  CountryLists(PictureStore& pictures, QWidget* parent);

  QComboBox& ContinentBox() { return *continent_box_; }
  QComboBox& CountryBox() { return *country_box_; }

  // Continent names in the interface language (a LanguageIndex); the choice
  // stays.
  void SetLanguage(int language);

  // Shows `code`: its continent chosen, the country list refilled and its
  // entry selected. A code that does not read as a CountryCode shows its
  // continent's "Unknown" when its first character is a continent digit,
  // otherwise Europe's. Emits nothing.
  void SetCode(std::string_view code);

  // The code of the shown choice.
  CountryCode Code() const { return code_; }
  std::string CodeText() const { return code_.ToString(); }
  // The club's form of the chosen country's name (what the club record keeps
  // beside the code).
  std::string ServerName() const { return std::string(code_.Info().server_name); }

  // Enables or disables both boxes.
  void SetEnabled(bool enabled);

  // Row height of the country items (18 unless a window asks otherwise).
  void SetItemHeight(int height);

 signals:
  // The player chose a continent or a country; Code() and ServerName() hold
  // the new choice.
  void CodeChanged();

 private:
  void FillCountries(int continent);
  void ContinentChosen(int position);
  void CountryChosen(int position);

  PictureStore& pictures_;
  QComboBox* continent_box_;
  QComboBox* country_box_;
  CountryItemDelegate* delegate_;
  CountryCode code_;
  bool filling_ = false;
};

}  // namespace braxo
