# The portable bundle, one folder that plays wherever it is unpacked:
#   sundown                  the launcher (dist/sundown.in): goes to this
#                            folder, where datos/ is, and starts lib/sundown
#   menu-entry               adds the game to the player's own menu, or removes it
#   README.txt               how to play and what the system must have
#   datos/                   the asset files
#   lib/sundown              the game
#   lib/lib*.so.*            every library it needs that a desktop lacks
#   share/                   the menu entry, icons, metainfo, manual page, copyright
# The libraries are found by install-libraries.cmake when the bundle is
# installed (CPack installs it to pack it), which also holds the one list of
# what is left to the system. The game and each library find theirs in
# lib/ through an $ORIGIN search path.
find_program(PATCHELF patchelf REQUIRED)

# DT_RPATH rather than DT_RUNPATH: it comes before LD_LIBRARY_PATH, so a
# Steam runtime's or a player's library path cannot put another SDL under
# the game, and it also covers the game's libraries' own needs. The C++
# runtime is linked in, so the game does not depend on the system's being
# as new as the one it was built with.
set_target_properties(sundown PROPERTIES INSTALL_RPATH "$ORIGIN")
target_link_options(sundown PRIVATE LINKER:--disable-new-dtags -static-libstdc++ -static-libgcc)

install(CODE "
  set(BUNDLE_GAME \"$<TARGET_FILE:sundown>\")
  set(BUNDLE_LIBRARY_DIR \"${BUNDLE_PREFIX}/lib\")
  set(BUNDLE_PATCHELF \"${PATCHELF}\")
  set(BUNDLE_DESTINATION \"${SUNDOWN_GAME_DIR}\")
  set(BUNDLE_README \"${CMAKE_CURRENT_LIST_DIR}/README.txt.in\")
  set(SUNDOWN_TITLE \"${SUNDOWN_TITLE}\")
  set(PROJECT_VERSION \"${PROJECT_VERSION}\")
  include(\"${CMAKE_CURRENT_LIST_DIR}/install-libraries.cmake\")
")

configure_file(${CMAKE_CURRENT_LIST_DIR}/menu-entry.in ${CMAKE_CURRENT_BINARY_DIR}/menu-entry @ONLY)
install(PROGRAMS ${CMAKE_CURRENT_BINARY_DIR}/menu-entry DESTINATION .)
note_installed(. menu-entry)
# README.txt is written by install-libraries.cmake, which knows the glibc the
# bundle needs.
note_installed(. README.txt)

set(CPACK_GENERATOR TGZ)
set(CPACK_PACKAGE_NAME sundown-arena)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME sundown-arena-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
