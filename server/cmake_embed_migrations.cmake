# Writes a C++ source holding every migration file of one backend as a raw
# string, in the order of their numbers. Run with -DBACKEND= -DSOURCE_DIR= -DOUTPUT=.
file(GLOB files "${SOURCE_DIR}/*.sql")
list(SORT files)
set(body "")
foreach(f IN LISTS files)
  get_filename_component(name "${f}" NAME_WE)
  string(REGEX MATCH "^[0-9]+" number "${name}")
  math(EXPR number "${number}")
  file(READ "${f}" sql)
  string(APPEND body "    {${number}, \"${name}\", R\"braxo_sql(${sql})braxo_sql\"},\n")
endforeach()
file(WRITE "${OUTPUT}.tmp" "// Generated from server/migrations/${BACKEND}; do not edit.
#include \"store/Migrations.h\"

#include <array>

namespace braxo::club {
namespace {
const Migration kMigrations[] = {
${body}};
}  // namespace

std::span<const Migration> ${FUNCTION}() { return kMigrations; }

}  // namespace braxo::club
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
