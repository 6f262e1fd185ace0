# Writes a C++ source holding every help page (help/<language>.html) as a raw
# string. Run with -DSOURCE_DIR= -DOUTPUT=.
file(GLOB files "${SOURCE_DIR}/*.html")
list(SORT files)
set(body "")
foreach(f IN LISTS files)
  get_filename_component(code "${f}" NAME_WE)
  file(READ "${f}" page)
  string(APPEND body "    {\"${code}\", R\"braxo_help(${page})braxo_help\"},\n")
endforeach()
file(WRITE "${OUTPUT}.tmp" "// Generated from server/help; do not edit.
#include \"http/HelpPages.h\"

#include <utility>

namespace braxo::club {
namespace {
const std::pair<std::string_view, std::string_view> kHelpPages[] = {
${body}};
}  // namespace

std::optional<std::string_view> HelpPage(std::string_view language) {
  for (const auto& [code, page] : kHelpPages)
    if (code == language) return page;
  return std::nullopt;
}

}  // namespace braxo::club
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
