# Fails unless the SDL2 just built loads each sound system and libudev at
# run time (its SDL_config.h names the library it will dlopen for each).
#   cmake -DCONFIG=.../SDL_config.h -P check-sdl-backends.cmake
file(READ "${CONFIG}" config)
foreach(backend SDL_AUDIO_DRIVER_ALSA_DYNAMIC SDL_AUDIO_DRIVER_PULSEAUDIO_DYNAMIC
                SDL_AUDIO_DRIVER_PIPEWIRE_DYNAMIC HAVE_LIBUDEV_H HAVE_DBUS_DBUS_H)
  if(NOT config MATCHES "#define ${backend} ")
    message(FATAL_ERROR "The bundled SDL2 was built without ${backend}: "
                        "install the -dev packages scripts/install-deps bundle names, then build again.")
  endif()
endforeach()
string(REGEX MATCHALL "#define SDL_AUDIO_DRIVER_[A-Z]+_DYNAMIC \"[^\"]+\"" loaded "${config}")
message(STATUS "The bundled SDL2 loads at run time: ${loaded}")
