// The help pages the club serves at /help/<language>.html, one per language
// of the game (the rules, the modes and their passwords, the club), built
// into the server from server/help.
#pragma once

#include <optional>
#include <string_view>

namespace braxo::club {

// The page of a language code ("en", "ru", ...) as UTF-8 HTML; nullopt for a
// code without a page.
std::optional<std::string_view> HelpPage(std::string_view language);

}  // namespace braxo::club
