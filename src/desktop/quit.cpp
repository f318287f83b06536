// Ending the run from outside: SIGTERM, SIGINT and SIGHUP, and the desktop
// closing the window, end the game like Escape, through the main loop and
// the teardown. Allegro's own handlers are replaced: they call abort(), or
// shut Allegro down from inside the signal while OpenGL may hold its locks.
#include <allegro.h>

#include <csignal>
#include <unistd.h>

#include "desktop/desktop_local.h"

std::atomic<int> quit_request{0};
std::atomic<bool> main_loop_running{false};

static const int QUIT_SIGNALS[] = {SIGTERM, SIGINT, SIGHUP};
// Allegro catches these to shut itself down, which can hang; the default
// action ends the process at once (the game never changes the video mode,
// so there is nothing on the desktop to put back).
static const int DEFAULT_ACTION_SIGNALS[] = {SIGQUIT, SIGABRT, SIGFPE, SIGILL, SIGSEGV};
static const int SIGNAL_EXIT_BASE = 128;

static_assert(std::atomic<int>::is_always_lock_free, "quit_request is written by signal handlers");
static_assert(std::atomic<bool>::is_always_lock_free, "main_loop_running is read by signal handlers");

static void on_quit_signal(int number) {
    // Before the main loop runs, start-up may be stuck in a library (an
    // audio server that never answers): nothing is on screen to tear down,
    // so the game ends now.
    if (!main_loop_running.load()) _exit(SIGNAL_EXIT_BASE + number);
    int none = 0;
    // The first request ends the main loop; another while the game is
    // already on its way out ends it now.
    if (!quit_request.compare_exchange_strong(none, number)) _exit(SIGNAL_EXIT_BASE + number);
}

void request_quit_from_window() {
    int none = 0;
    quit_request.compare_exchange_strong(none, QUIT_FROM_WINDOW);
}
END_OF_FUNCTION(request_quit_from_window)

void install_quit_signal_handlers() {
    quit_request = 0;
    struct sigaction action = {};
    action.sa_handler = on_quit_signal;
    sigemptyset(&action.sa_mask);
    for (int number : QUIT_SIGNALS) sigaction(number, &action, nullptr);
    for (int number : DEFAULT_ACTION_SIGNALS) std::signal(number, SIG_DFL);
}

int quit_exit_status(int request) {
    return request > 0 ? SIGNAL_EXIT_BASE + request : 0;
}
