// Sundown Arena: the game's entry point. Everything else lives in the
// game library; see shell/startup.cpp for what happens here.
#include <allegro.h>

#include "shell/shell.h"

int main() {
    return run_game();
}
END_OF_MAIN()
