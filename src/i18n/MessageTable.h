// The raw message table produced at build time from messages/*.tsv. Only the
// catalogue's own sources read it; everyone else uses MessageCatalogue.h.
#pragma once

#include <array>
#include <string_view>

#include "i18n/MsgId.h"

namespace braxo::internal {

// Row names ("MsgTitle", ...), indexed by MsgId.
extern const std::array<std::string_view, kMessageCount> kMessageNames;

// UTF-8 texts, row-major: cell (row, language) is at row * kLanguageCount + language.
extern const std::array<std::string_view, kMessageCount * kLanguageCount> kMessageCells;

}  // namespace braxo::internal
