# Copies SOURCE to DESTINATION unless DESTINATION exists: a player's table is
# never replaced.
if(NOT EXISTS "${DESTINATION}")
  get_filename_component(directory "${DESTINATION}" DIRECTORY)
  file(MAKE_DIRECTORY "${directory}")
  file(COPY_FILE "${SOURCE}" "${DESTINATION}")
endif()
