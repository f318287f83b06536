/* A gamepad for the end-to-end tests, preloaded into the game: when the game
 * starts SDL's game-controller subsystem, SDL's virtual controller (six
 * axes, fifteen buttons) is attached as if plugged in, and a thread takes
 * commands from the FIFO that SUNDOWN_VIRTUAL_PAD names, one a line:
 *   axis N VALUE     an axis (SDL_GameControllerAxis order) to -32768..32767
 *   button N 0|1     a button (SDL_GameControllerButton order) up or down
 *   unplug | plug    the pad taken away, or plugged in again
 * No device files are needed, so it works where there is no /dev/input. */
#define _GNU_SOURCE
#include <SDL.h>
#include <dlfcn.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static SDL_Joystick* pad;
static int attached = -1;

static void plug(void) {
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = 15;
    desc.name = "Sundown test pad";
    attached = SDL_JoystickAttachVirtualEx(&desc);
    if (attached < 0) {
        fprintf(stderr, "virtual_pad: %s\n", SDL_GetError());
        return;
    }
    pad = SDL_JoystickOpen(attached);
}

static void unplug(void) {
    if (attached < 0) return;
    SDL_JoystickClose(pad);
    pad = NULL;
    /* The only joystick of the process: its device index is 0 now. */
    SDL_JoystickDetachVirtual(0);
    attached = -1;
}

static void* take_commands(void* path) {
    char line[128];
    for (;;) {
        FILE* in = fopen((const char*)path, "r");
        if (!in) return NULL;
        while (fgets(line, sizeof line, in)) {
            int n, value;
            if (sscanf(line, "axis %d %d", &n, &value) == 2 && pad) SDL_JoystickSetVirtualAxis(pad, n, (Sint16)value);
            if (sscanf(line, "button %d %d", &n, &value) == 2 && pad) SDL_JoystickSetVirtualButton(pad, n, (Uint8)value);
            if (strncmp(line, "unplug", 6) == 0) unplug();
            if (strncmp(line, "plug", 4) == 0 && attached < 0) plug();
        }
        fclose(in);
    }
}

int SDL_InitSubSystem(Uint32 flags) {
    static int (*real)(Uint32);
    if (!real) real = (int (*)(Uint32))dlsym(RTLD_NEXT, "SDL_InitSubSystem");
    const int result = real(flags);
    const char* path = getenv("SUNDOWN_VIRTUAL_PAD");
    if (result == 0 && (flags & SDL_INIT_GAMECONTROLLER) && attached < 0 && path) {
        plug();
        pthread_t thread;
        pthread_create(&thread, NULL, take_commands, (void*)path);
        pthread_detach(thread);
    }
    return result;
}
