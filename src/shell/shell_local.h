// Shell-private state shared by its files.
#pragma once

#include <allegro.h>

extern FONT* hud_font;  // the HUD font, converted for AllegroGL at start-up
