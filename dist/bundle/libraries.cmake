# SDL2 and SDL2_mixer for the portable bundle, built from Debian's source
# tarballs (the versions Debian 12 ships, checked against the sha256 its .dsc
# files list) into BUNDLE_PREFIX in the build tree. The game links these
# instead of the system's, and the bundle carries them.
#
# Built lean, for what the game uses:
# - SDL2 without its video and render subsystems (the window and OpenGL are
#   Allegro's; SDL does the sound and the pads only). Every back-end it has
#   is loaded at run time with dlopen, never linked: ALSA, PulseAudio and
#   PipeWire for sound, libudev for pad hot-plug, D-Bus (rtkit) for the
#   sound thread's priority. Missing on a machine, each is skipped.
# - SDL2_mixer with WAV and its built-in MP3 decoder (dr_mp3) only: no
#   FluidSynth, ModPlug, Ogg, FLAC, Opus or mpg123, which the game never plays.
include(ExternalProject)

set(BUNDLE_PREFIX ${CMAKE_BINARY_DIR}/bundle-libraries)
set(BUNDLE_DOWNLOADS ${CMAKE_BINARY_DIR}/bundle-downloads)
set(DEBIAN_POOL http://deb.debian.org/debian/pool/main/libs)

ExternalProject_Add(sdl2_library
  URL ${DEBIAN_POOL}/libsdl2/libsdl2_2.26.5+dfsg.orig.tar.gz
  URL_HASH SHA256=b3f2c822151804125d08db94c65852f711c2e5df2145a59da120748dc32eb9c3
  DOWNLOAD_DIR ${BUNDLE_DOWNLOADS}
  DOWNLOAD_EXTRACT_TIMESTAMP ON
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=${BUNDLE_PREFIX} -DCMAKE_INSTALL_LIBDIR=lib
             -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=ON -DSDL2_DISABLE_UNINSTALL=ON
             -DSDL_VIDEO=OFF -DSDL_RENDER=OFF -DSDL_RPATH=OFF -DSDL_CCACHE=OFF
             -DSDL_ALSA=ON -DSDL_ALSA_SHARED=ON -DSDL_PULSEAUDIO=ON -DSDL_PULSEAUDIO_SHARED=ON
             -DSDL_PIPEWIRE=ON -DSDL_PIPEWIRE_SHARED=ON -DSDL_DBUS=ON
             -DSDL_JACK=OFF -DSDL_ESD=OFF -DSDL_ARTS=OFF -DSDL_NAS=OFF -DSDL_SNDIO=OFF
             -DSDL_LIBSAMPLERATE=OFF -DSDL_HIDAPI_LIBUSB=OFF
  INSTALL_COMMAND ${CMAKE_COMMAND} --install <BINARY_DIR> --strip
  BUILD_BYPRODUCTS ${BUNDLE_PREFIX}/lib/libSDL2-2.0.so)
# A bundle whose SDL could not find a sound system's headers would play
# silent on some desktops: the build stops instead.
ExternalProject_Add_Step(sdl2_library check_backends
  COMMAND ${CMAKE_COMMAND} -DCONFIG=${BUNDLE_PREFIX}/include/SDL2/SDL_config.h
          -P ${CMAKE_CURRENT_LIST_DIR}/check-sdl-backends.cmake
  DEPENDEES install)

ExternalProject_Add(sdl2_mixer_library
  URL ${DEBIAN_POOL}/libsdl2-mixer/libsdl2-mixer_2.6.2+dfsg.orig.tar.xz
  URL_HASH SHA256=648d9545a92a4839b5edecc775d54608516bc8963d609a8d2193df94518ca072
  DOWNLOAD_DIR ${BUNDLE_DOWNLOADS}
  DOWNLOAD_EXTRACT_TIMESTAMP ON
  DEPENDS sdl2_library
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=${BUNDLE_PREFIX} -DCMAKE_INSTALL_LIBDIR=lib
             -DCMAKE_PREFIX_PATH=${BUNDLE_PREFIX} -DCMAKE_INSTALL_RPATH=$ORIGIN
             -DBUILD_SHARED_LIBS=ON -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF
             -DSDL2MIXER_WAVE=ON -DSDL2MIXER_MP3=ON -DSDL2MIXER_MP3_DRMP3=ON -DSDL2MIXER_MP3_MPG123=OFF
             -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MIDI=OFF
             -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=
  INSTALL_COMMAND ${CMAKE_COMMAND} --install <BINARY_DIR> --strip
  BUILD_BYPRODUCTS ${BUNDLE_PREFIX}/lib/libSDL2_mixer-2.0.so)

# What the game's code sees of them, in place of pkg-config's SDL2_mixer.
file(MAKE_DIRECTORY ${BUNDLE_PREFIX}/include/SDL2)
add_library(sundown_sdl INTERFACE)
target_include_directories(sundown_sdl INTERFACE ${BUNDLE_PREFIX}/include/SDL2 ${BUNDLE_PREFIX}/include)
target_link_libraries(sundown_sdl INTERFACE
  ${BUNDLE_PREFIX}/lib/libSDL2_mixer-2.0.so ${BUNDLE_PREFIX}/lib/libSDL2-2.0.so)
add_dependencies(sundown_sdl sdl2_mixer_library)
