// The program's one look for every window: the FLTK scheme and the colour
// palette, set once before the first window shows.
#pragma once

class Fl_Button;

// Sets the scheme and the palette; later calls do nothing.
void fl_look_apply();

// Makes a push button show a held state: drawn pressed, in the accent
// colour, while its value() is 1.
void fl_look_held(Fl_Button* b);
