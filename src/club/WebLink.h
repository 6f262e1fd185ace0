// Which links that arrive from the network the program may open or fetch.
#pragma once

#include <string_view>

namespace braxo {

// True only for an absolute http or https address ("http://" or "https://",
// scheme in any case) with a non-empty host and no white space, control
// characters or backslashes anywhere. Everything else ("file:", "javascript:",
// a local path, a bare word, a scheme-relative "//host") is refused.
bool IsSafeWebLink(std::string_view link);

}  // namespace braxo
