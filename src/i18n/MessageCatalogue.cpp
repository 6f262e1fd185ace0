#include "i18n/MessageCatalogue.h"

#include <array>
#include <memory>

#include "i18n/MessageTable.h"

namespace braxo {
namespace {

constexpr int kCellCount = kMessageCount * kLanguageCount;

bool IsRow(MsgId id) {
  const int row = static_cast<int>(id);
  return row >= 0 && row < kMessageCount;
}

// The callers keep `const std::string&` results (captions, labels), so the
// cells are turned into strings once, on first use; the table itself is
// constant data that needs no start-up work.
const std::array<std::string, kCellCount>& Cells() {
  static const auto cells = [] {
    auto result = std::make_unique<std::array<std::string, kCellCount>>();
    for (int i = 0; i < kCellCount; ++i) (*result)[i] = std::string(internal::kMessageCells[i]);
    return result;
  }();
  return *cells;
}

}  // namespace

const std::string& MessageText(MsgId id, int language) {
  static const std::string kNoText;
  if (!IsRow(id)) return kNoText;
  if (language < 0 || language >= kLanguageCount) language = 0;
  return Cells()[static_cast<int>(id) * kLanguageCount + language];
}

std::string_view MessageName(MsgId id) {
  if (!IsRow(id)) return {};
  return internal::kMessageNames[static_cast<int>(id)];
}

}  // namespace braxo
