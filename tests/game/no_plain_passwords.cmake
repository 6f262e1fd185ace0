# Fails when either mode password stands as a plain string in any of FILES
# (a list separated by ";").
foreach(file IN LISTS FILES)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "no file ${file}")
  endif()
  file(STRINGS "${file}" hits REGEX "Kestrel|Nautilus")
  if(hits)
    message(FATAL_ERROR "a mode password is readable in ${file}: ${hits}")
  endif()
endforeach()
