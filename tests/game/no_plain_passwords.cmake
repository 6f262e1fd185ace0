# Fails when either mode password stands as a plain string in FILE.
file(STRINGS "${FILE}" hits REGEX "Kestrel|Nautilus")
if(hits)
  message(FATAL_ERROR "a mode password is readable in ${FILE}: ${hits}")
endif()
file(STRINGS "${FILE}" all LIMIT_COUNT 1)
if(NOT EXISTS "${FILE}")
  message(FATAL_ERROR "no file ${FILE}")
endif()
