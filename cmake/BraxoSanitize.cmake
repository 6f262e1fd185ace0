# BRAXO_SANITIZE builds everything in this build directory with
# AddressSanitizer and UndefinedBehaviorSanitizer. The first report ends the
# program with a failure, so that a test run cannot pass over one; frame
# pointers keep the reports' stacks whole. Programs that run during the build
# (the catalogue generator, the address scrambler) are checked too.
#
# scripts/test.sh uses it in a build directory of its own, for the unit tests
# of the plain C++ libraries, the club client and the server:
#   cmake -S . -B build-sanitize -G Ninja -DBRAXO_SANITIZE=ON -DBRAXO_BUILD_BENCH=OFF
option(BRAXO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(BRAXO_SANITIZE)
  if(BRAXO_BUILD_FUZZ)
    message(FATAL_ERROR "BRAXO_SANITIZE and BRAXO_BUILD_FUZZ each set their own sanitizer flags: "
                        "use one build directory for each")
  endif()
  set(braxo_sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=all
                           -fno-omit-frame-pointer)
  add_compile_options(${braxo_sanitize_flags})
  add_link_options(${braxo_sanitize_flags})
endif()
