#include "i18n/Language.h"

#include "i18n/MessageCatalogue.h"

namespace braxo {

const LanguageInfo& Language(int index) {
  return kLanguages[IsLanguageIndex(index) ? index : kEnglish];
}

std::string_view LanguageNativeName(int index) {
  return MessageText(MsgId::MsgLanguageName, IsLanguageIndex(index) ? index : kEnglish);
}

int StepLanguage(int index, int step) {
  if (!IsLanguageIndex(index)) index = kEnglish;
  switch (step) {
    case 1:
      return index > 0 ? index - 1 : kLanguageCount - 1;
    case 2:
      return index < kLanguageCount - 1 ? index + 1 : 0;
    default:
      return index;
  }
}

}  // namespace braxo
