// The language the game speaks in during a run: read from the settings,
// stepped on the options page, saved with the settings. One object, owned by
// the application and handed to the game, the main window and the windows,
// which all read their texts through it.
#pragma once

#include <string>

#include "i18n/Language.h"
#include "i18n/MessageCatalogue.h"

namespace braxo {

class InterfaceLanguage {
 public:
  InterfaceLanguage() = default;
  InterfaceLanguage(const InterfaceLanguage&) = delete;
  InterfaceLanguage& operator=(const InterfaceLanguage&) = delete;
  ~InterfaceLanguage() = default;

  // Always a valid language index, 0 to kLanguageCount - 1.
  int Index() const { return index_; }
  // An index outside the range gives English.
  void Set(int index) { index_ = IsLanguageIndex(index) ? index : kEnglish; }
  // The options page's arrows: 0 keeps the language, 1 goes to the previous
  // one, 2 to the next one, wrapping at both ends.
  void Step(int step) { index_ = StepLanguage(index_, step); }
  // A message in this language.
  const std::string& Text(MsgId id) const { return MessageText(id, index_); }

 private:
  int index_ = kEnglish;
};

}  // namespace braxo
