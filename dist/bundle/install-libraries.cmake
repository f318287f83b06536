# Installs beside the game every shared library it needs, found by CMake
# from the libraries the game names and those they name in turn, except the
# ones every desktop has and that must be the system's own (the list below).
# Each library installed gets the search path $ORIGIN, so it finds its
# siblings in the bundle. Run at install time from bundle.cmake with
# BUNDLE_GAME (the game in the build tree), BUNDLE_LIBRARY_DIR (where the
# bundle's own SDL2 and SDL2_mixer were built), BUNDLE_PATCHELF and
# BUNDLE_DESTINATION (lib, relative to the install prefix). Then it writes
# the bundle's README.txt from BUNDLE_README (a template naming
# @SUNDOWN_TITLE@, @PROJECT_VERSION@ and @BUNDLE_GLIBC_FLOOR@) with the
# oldest glibc the bundle runs on: the highest GLIBC_ symbol version that
# the game and the bundled libraries ask for (objdump -T).

# What is left to the system, by the name a binary asks for (the one list):
# - glibc (the C library, its loader, libm, and the libdl, libpthread and
#   librt it keeps for older programs): a system has exactly one, matched to
#   its loader; the bundle needs the version its binaries' symbol versions
#   name, printed by tests/install/bundle-check.
# - The C++ runtime and libgcc_s, for the bundled libGLU (written in C++):
#   every desktop has them, since its OpenGL driver needs them too, and an
#   older copy in the bundle would be loaded before the driver's newer one.
#   The game itself carries its own, linked in.
# - OpenGL and GLX (libglvnd's libGL, libGLX, libOpenGL and libGLdispatch,
#   libEGL): the player's driver, which must match the GPU.
# - The X11 and xcb client libraries (libX11, libXext, libXcursor, libXpm,
#   libXxf86vm, libXfixes, libXrender, libXrandr, libXinerama, libxcb, ...):
#   the X server's own protocol, there on every desktop with X11 or
#   Xwayland.
# Not named by any binary, so never seen here: the sound systems and pad
# libraries the bundled SDL2 loads at run time when present (ALSA,
# PulseAudio, PipeWire, libudev, D-Bus).
set(left_to_system
  "^ld-linux" "^libc\\.so" "^libm\\.so" "^libdl\\.so" "^libpthread\\.so" "^librt\\.so"
  "^libstdc\\+\\+\\.so" "^libgcc_s\\.so"
  "^libGL\\.so" "^libGLX\\.so" "^libOpenGL\\.so" "^libGLdispatch\\.so" "^libEGL\\.so"
  "^libX[A-Za-z0-9]*\\.so" "^libX11-xcb\\.so" "^libxcb")

file(GET_RUNTIME_DEPENDENCIES
  EXECUTABLES "${BUNDLE_GAME}"
  DIRECTORIES "${BUNDLE_LIBRARY_DIR}"
  PRE_EXCLUDE_REGEXES ${left_to_system}
  RESOLVED_DEPENDENCIES_VAR bundled
  UNRESOLVED_DEPENDENCIES_VAR unresolved
  CONFLICTING_DEPENDENCIES_PREFIX conflicting)
if(unresolved)
  message(FATAL_ERROR "The game needs libraries that cannot be found here: ${unresolved}")
endif()
foreach(name IN LISTS conflicting_FILENAMES)
  message(FATAL_ERROR "${name} is found in more than one place: ${conflicting_${name}}")
endforeach()

set(destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${BUNDLE_DESTINATION}")
set(names)
foreach(library IN LISTS bundled)
  get_filename_component(name "${library}" NAME)
  # A library the bundle builds itself must be that one, not the system's.
  string(FIND "${library}" "${BUNDLE_LIBRARY_DIR}/" at)
  if(EXISTS "${BUNDLE_LIBRARY_DIR}/${name}" AND NOT at EQUAL 0)
    message(FATAL_ERROR "${name} was found at ${library}, not in ${BUNDLE_LIBRARY_DIR}")
  endif()
  # One plain file under the name the binaries ask for.
  file(REAL_PATH "${library}" real)
  file(INSTALL DESTINATION "${destination}" TYPE FILE RENAME "${name}" FILES "${real}")
  execute_process(COMMAND "${BUNDLE_PATCHELF}" --force-rpath --set-rpath "$ORIGIN" "${destination}/${name}"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "patchelf could not set the search path of ${destination}/${name}")
  endif()
  list(APPEND names "${name}")
endforeach()
set(BUNDLE_GLIBC_FLOOR 0)
foreach(binary IN LISTS names ITEMS sundown)
  execute_process(COMMAND objdump -T "${destination}/${binary}" OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "GLIBC_[0-9][0-9.]*" versions "${symbols}")
  foreach(version IN LISTS versions)
    string(REPLACE "GLIBC_" "" version "${version}")
    if(version VERSION_GREATER BUNDLE_GLIBC_FLOOR)
      set(BUNDLE_GLIBC_FLOOR ${version})
    endif()
  endforeach()
endforeach()
configure_file("${BUNDLE_README}" "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/README.txt" @ONLY)

list(JOIN names ", " names)
message(STATUS "Bundled beside the game: ${names}; glibc ${BUNDLE_GLIBC_FLOOR} or newer")
