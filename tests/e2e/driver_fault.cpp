// The test build of the game (sundown_test_build): its timer, mouse or
// keyboard driver fails to install when SUNDOWN_FAIL_DRIVER names it
// ("timer", "mouse", "keyboard").
// These definitions stand in front of Allegro's at link time; every other
// call goes on to Allegro. The game itself has no such switch.
#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

static bool driver_fails(const char* name) {
    const char* failing = std::getenv("SUNDOWN_FAIL_DRIVER");
    return failing && std::strcmp(failing, name) == 0;
}

static int call_allegro(const char* symbol) {
    int (*install)() = reinterpret_cast<int (*)()>(dlsym(RTLD_NEXT, symbol));
    return install ? install() : -1;
}

extern "C" int install_timer() {
    return driver_fails("timer") ? -1 : call_allegro("install_timer");
}

extern "C" int install_mouse() {
    return driver_fails("mouse") ? -1 : call_allegro("install_mouse");
}

extern "C" int install_keyboard() {
    return driver_fails("keyboard") ? -1 : call_allegro("install_keyboard");
}
