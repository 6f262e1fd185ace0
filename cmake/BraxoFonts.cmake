# braxo_find_font(VAR FILE PACKAGE): the path of a font file from Debian's
# packages, or a clear error naming the package to install.
function(braxo_find_font out_var file_name package)
  find_file(${out_var} ${file_name}
    PATHS /usr/share/fonts/truetype/liberation2 /usr/share/fonts/opentype/comic-neue
          /usr/share/fonts/truetype/wqy
    NO_DEFAULT_PATH)
  if(NOT ${out_var})
    message(FATAL_ERROR "${file_name} not found: install the Debian package ${package} "
                        "(scripts/install-deps.sh).")
  endif()
endfunction()
