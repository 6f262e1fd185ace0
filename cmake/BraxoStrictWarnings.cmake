# Stricter warnings, as errors, for the libraries that must stay plain C++
# (the game, storage, the catalogue, the club core and the club server).
# On by default (-DBRAXO_STRICT_WARNINGS=OFF for a compiler newer than the
# ones we build with, whose new warnings would stop the build). They apply to
# the library's own sources (and our headers these include), not to what links
# the library; the system's headers are not judged.
option(BRAXO_STRICT_WARNINGS "Build the plain C++ libraries with strict warnings as errors" ON)

# Left out, with the reason:
#   -Wsign-conversion        69 places, int indices and int lengths from C APIs
#                            checked before use: casts would add noise, not safety
#   -Wnull-dereference       gcc reports inlined Boost.Asio and libstdc++ code
#   -Wzero-as-null-pointer-constant  fires on Boost.Beast's own default arguments
set(braxo_strict_warning_flags
    -Werror
    -Wpedantic
    -Wshadow
    -Wconversion
    -Wno-sign-conversion  # clang counts it in -Wconversion
    -Wold-style-cast
    -Wnon-virtual-dtor
    -Woverloaded-virtual
    -Wsuggest-override
    -Wcast-qual
    -Wformat=2
    -Wimplicit-fallthrough
    -Wdouble-promotion
    -Wmissing-declarations
    -Wextra-semi
    -Wredundant-decls
    -Wundef)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  list(APPEND braxo_strict_warning_flags
       -Wuseless-cast
       -Wduplicated-cond
       -Wduplicated-branches
       -Wlogical-op)
elseif(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  list(APPEND braxo_strict_warning_flags
       -Wshadow-all
       -Wcomma
       -Wunused-member-function
       -Wunreachable-code-aggressive
       -Wshorten-64-to-32
       -Wimplicit-int-conversion)
endif()

# Gives the target's own sources the strict warnings when BRAXO_STRICT_WARNINGS
# is on; nothing that links the target is affected.
function(braxo_strict_warnings target)
  if(BRAXO_STRICT_WARNINGS)
    target_compile_options(${target} PRIVATE ${braxo_strict_warning_flags})
  endif()
endfunction()
