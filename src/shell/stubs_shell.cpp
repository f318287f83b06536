// Placeholder definitions until the HUD and the menu screens land.
#include "shell/shell.h"
int8_t enter_latch;
float menu_phase;
int run_hud_pass(HudLine*, int) { return 0; }
void draw_hud() {}
void menu_tick() {}
void draw_title_screen() {}
void draw_item_box_screen() {}
int collect_title_lines(HudLine*, int) { return 0; }
int collect_item_box_screen_lines(HudLine*, int) { return 0; }
