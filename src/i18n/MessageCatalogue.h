// The interface texts: one row per message, one cell per language.
//
// The rows and their texts live in src/i18n/messages/<code>.tsv, one file per
// language; the build turns them into a constant table and generates the
// MsgId enum (one enumerator per row, in the files' order, then kCount) and
// kLanguageCount from them (i18n/MsgId.h in the build tree).
#pragma once

#include <string>
#include <string_view>

#include "i18n/MsgId.h"

namespace braxo {

// The UTF-8 text of `id` in `language` (a LanguageIndex, 0 to kLanguageCount - 1).
// Never fails: every row has a non-empty cell in every language. A language
// outside the range reads as English (0); an id outside the enum's rows gives
// an empty text. The reference stays valid for the whole run.
const std::string& MessageText(MsgId id, int language);

// The row's name as written in the message files ("MsgTitle"); empty for an
// id outside the enum's rows.
std::string_view MessageName(MsgId id);

}  // namespace braxo
