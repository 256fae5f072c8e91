// The program's 32 x 32 icons, drawn in code: the algorithm icons of the
// algorithm table, the toolbar icons, "ALGEMPTY" and the program icon
// "WVTESSEL". Each algorithm family has its own background colour.
#pragma once

class Fl_RGB_Image;

// Draws icon `name` with its top-left corner at (x, y) in the current
// drawing surface; `active` false draws it dimmed (a function not available).
// Unknown names draw a plain frame.
void fl_icon_draw(const char* name, int x, int y, bool active = true);

// An algorithm icon (or "ALGEMPTY") has art of its own under `name`.
bool fl_icon_has_art(const char* name);

// The icon as an image (for a window's icon); nullptr without a display.
Fl_RGB_Image* fl_icon_image(const char* name);
