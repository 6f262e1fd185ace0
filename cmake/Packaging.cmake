# Installing and packaging. `cmake --install` puts the game and the club
# server where a Linux system expects them, and CPack builds two Debian
# packages from the same tree: braxo (the install component "game") and
# braxo-club (the component "club"):
#
#   cpack --config build/CPackConfig.cmake -B build/packages
#
# The game's own install rules (the executable, the shipped settings and
# champions table, the icons) sit beside their targets; this file adds the
# desktop's files, the manual pages and the Debian files.
#
# The club's service files (the systemd unit, /etc/braxo-club/club.conf and
# /etc/default/braxo-club) name the system's own folders, so installing the
# component "club" needs root; `cmake --install build --component game`
# installs the game alone under any prefix.

include(GNUInstallDirs)

# The game's name for the desktop: the AppStream id, the desktop entry's file
# name, and what the game tells Wayland desktops it is.
set(BRAXO_APP_ID "org.braxo.Braxo")
if(TARGET braxo)
  target_compile_definitions(braxo PRIVATE BRAXO_APP_ID="${BRAXO_APP_ID}")
endif()

# The installed programs bind every symbol at start, as Debian links its
# programs, so that their relocation tables can be made read-only.
foreach(program braxo braxo-club)
  if(TARGET ${program})
    target_link_options(${program} PRIVATE "LINKER:-z,now")
  endif()
endforeach()

set(BRAXO_PACKAGE_MAINTAINER "The Braxo developers <developers@braxo.invalid>"
    CACHE STRING "The packages' maintainer, \"Name <address>\"")
set(BRAXO_WEB_SITE "${BRAXO_HELP_MIRROR_1}/"
    CACHE STRING "The game's web site, for the software centres' page")
set(BRAXO_SCREENSHOT_URL "${BRAXO_WEB_SITE}screenshots/"
    CACHE STRING "Where the screenshots (the target braxo_screenshots) are published, ending in /")
set(BRAXO_SYSTEMD_UNIT_DIR "/lib/systemd/system"
    CACHE PATH "Where the club's systemd unit is installed")

set(braxo_packaging_dir "${PROJECT_SOURCE_DIR}/packaging")
set(braxo_packaging_out "${CMAKE_BINARY_DIR}/packaging")
# The packages' revision of this version (Debian's "2.7-1"), named in the
# changelog too.
set(braxo_deb_release 1)
set(BRAXO_DEB_VERSION "${PROJECT_VERSION}-${braxo_deb_release}")

# --- Generated texts ------------------------------------------------------------

configure_file("${braxo_packaging_dir}/${BRAXO_APP_ID}.metainfo.xml.in"
               "${braxo_packaging_out}/${BRAXO_APP_ID}.metainfo.xml" @ONLY)
file(READ "${PROJECT_SOURCE_DIR}/LICENSE" BRAXO_LICENSE_TEXT)
file(READ "${PROJECT_SOURCE_DIR}/art/LICENSE-flag-icons.txt" BRAXO_FLAG_LICENSE_TEXT)
file(READ "${braxo_packaging_dir}/licenses/OFL-1.1.txt" BRAXO_OFL_TEXT)
string(STRIP "${BRAXO_LICENSE_TEXT}" BRAXO_LICENSE_TEXT)
string(STRIP "${BRAXO_FLAG_LICENSE_TEXT}" BRAXO_FLAG_LICENSE_TEXT)
string(STRIP "${BRAXO_OFL_TEXT}" BRAXO_OFL_TEXT)
configure_file("${braxo_packaging_dir}/copyright-braxo.in" "${braxo_packaging_out}/braxo/copyright"
               @ONLY)
configure_file("${braxo_packaging_dir}/copyright-braxo-club.in"
               "${braxo_packaging_out}/braxo-club/copyright" @ONLY)
configure_file("${braxo_packaging_dir}/changelog.in" "${braxo_packaging_out}/changelog.Debian"
               @ONLY)

# Manual pages and the changelog are installed compressed, the way Debian
# keeps them; -n leaves the time out, so the same tree gives the same bytes.
find_program(BRAXO_GZIP gzip REQUIRED)
set(braxo_compressed "")
foreach(pair "braxo.6:${braxo_packaging_dir}/braxo.6"
             "braxo-club.1:${braxo_packaging_dir}/braxo-club.1"
             "changelog.Debian:${braxo_packaging_out}/changelog.Debian")
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 name)
  list(GET pair 1 source)
  add_custom_command(
    OUTPUT "${braxo_packaging_out}/${name}.gz"
    COMMAND "${BRAXO_GZIP}" -9 -n -c "${source}" > "${braxo_packaging_out}/${name}.gz"
    DEPENDS "${source}"
    COMMENT "Compressing ${name}")
  list(APPEND braxo_compressed "${braxo_packaging_out}/${name}.gz")
endforeach()
add_custom_target(braxo_packaging_files ALL DEPENDS ${braxo_compressed})

# A stripped program also loses its .comment section (the compilers'
# version strings), as Debian strips its programs.
if(CMAKE_OBJCOPY)
  foreach(entry "game:games/braxo" "club:bin/braxo-club")
    string(REPLACE ":" ";" entry "${entry}")
    list(GET entry 0 component)
    list(GET entry 1 path)
    install(CODE "
      if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${path}\"
                        COMMAND_ERROR_IS_FATAL ANY)
      endif()" COMPONENT ${component})
  endforeach()
endif()

# lintian's findings that do not apply to these packages, each with its reason.
install(FILES "${braxo_packaging_dir}/lintian/braxo"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/lintian/overrides" COMPONENT game)
install(FILES "${braxo_packaging_dir}/lintian/braxo-club"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/lintian/overrides" COMPONENT club)

# --- The game -----------------------------------------------------------------

install(FILES "${braxo_packaging_dir}/${BRAXO_APP_ID}.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications" COMPONENT game)
install(FILES "${braxo_packaging_out}/${BRAXO_APP_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo" COMPONENT game)
install(FILES "${braxo_packaging_out}/braxo.6.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man6"
        COMPONENT game)
install(FILES "${braxo_packaging_out}/braxo/copyright"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/braxo" COMPONENT game)
install(FILES "${braxo_packaging_out}/changelog.Debian.gz"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/braxo" COMPONENT game)

# The screenshots of the software centres' page, rendered by render_scene
# for publishing at BRAXO_SCREENSHOT_URL (not installed).
if(TARGET render_scene)
  add_custom_target(braxo_screenshots
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:render_scene> "${braxo_packaging_out}/screenshots"
    DEPENDS render_scene
    COMMENT "Rendering the screenshots of the metainfo"
    VERBATIM)
endif()

# --- The club server ------------------------------------------------------------

install(FILES "${braxo_packaging_out}/braxo-club.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1"
        COMPONENT club)
install(FILES "${braxo_packaging_out}/braxo-club/copyright"
              "${braxo_packaging_out}/changelog.Debian.gz"
              "${PROJECT_SOURCE_DIR}/server/club.conf.example"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/braxo-club" COMPONENT club)
install(FILES "${braxo_packaging_dir}/braxo-club.service" DESTINATION "${BRAXO_SYSTEMD_UNIT_DIR}"
        COMPONENT club)
install(FILES "${braxo_packaging_dir}/club.conf" DESTINATION /etc/braxo-club COMPONENT club)
install(FILES "${braxo_packaging_dir}/braxo-club.default" DESTINATION /etc/default
        RENAME braxo-club COMPONENT club)

# --- The Debian packages --------------------------------------------------------

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME braxo)
set(CPACK_PACKAGE_VENDOR "The Braxo developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${BRAXO_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/packages")
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL game club)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${braxo_deb_release})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${BRAXO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SOURCE braxo)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Dependencies come from the libraries the programs link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_GAME_PACKAGE_NAME braxo)
set(CPACK_DEBIAN_GAME_PACKAGE_SECTION games)
set(CPACK_COMPONENT_GAME_DESCRIPTION
    "tile-matching solitaire on a small pyramid, with an online club
Braxo is a tile-matching solitaire: take pairs of equal free tiles off a
small pyramid of up to four layers, through five levels a game, in three
modes that play the same boards behind different pictures.

Around the game sits an online club spoken to over HTTP: accounts with a
profile and a photo, a rating, a world top-ten tournament, a chat and usage
statistics. The game plays normally without a club; the package braxo-club
runs one. The interface speaks ten languages.")
set(CPACK_DEBIAN_GAME_PACKAGE_SUGGESTS braxo-club)
# Opened at run time rather than linked (the window shows before they load),
# so the linked libraries do not name them.
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS "libsdl2-mixer-2.0-0 (>= 2.6), libcurl4 (>= 7.85)")

set(CPACK_DEBIAN_CLUB_PACKAGE_NAME braxo-club)
# A network service; Debian's section games is for packages with a game in
# /usr/games, and the club's units run /usr/bin/braxo-club.
set(CPACK_DEBIAN_CLUB_PACKAGE_SECTION net)
set(CPACK_COMPONENT_CLUB_DESCRIPTION
    "club server of the Braxo game
braxo-club serves the online club of the game braxo over HTTP: accounts and
members' profiles and photos, game records and the rating, the world top-ten
tournament, the chat, usage statistics and the configuration page the game
reads at start-up.

The package runs one server as a systemd service on an SQLite database in
/var/lib/braxo-club, under its own system user. The units and settings for a
larger club of several processes on PostgreSQL behind a balancer are in
/usr/share/braxo-club/deploy.")
# The maintainer scripts create the system user with adduser.
set(CPACK_DEBIAN_CLUB_PACKAGE_DEPENDS adduser)
set(CPACK_DEBIAN_CLUB_PACKAGE_CONTROL_EXTRA
    "${braxo_packaging_dir}/debian/postinst" "${braxo_packaging_dir}/debian/prerm"
    "${braxo_packaging_dir}/debian/postrm" "${braxo_packaging_dir}/debian/conffiles")
set(CPACK_DEBIAN_CLUB_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

include(CPack)
