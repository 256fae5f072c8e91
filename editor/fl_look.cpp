#include "editor/fl_look.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Button.H>

namespace {

// A cool grey that goes with the main window's icon field, dark text, and
// the blue of the program icon as the accent.
constexpr unsigned char bg[3] = {212, 216, 224};      // dialogs, buttons, menus
constexpr unsigned char bg2[3] = {246, 247, 250};     // troughs, text fields
constexpr unsigned char fg[3] = {22, 24, 32};         // labels
constexpr unsigned char accent[3] = {70, 120, 200};   // selections, a held button

}  // namespace

void fl_look_apply() {
    // FLTK's scheme and colours are process-wide: set once, by whichever
    // window of the program opens first.
    static bool done = false;
    if (done) return;
    done = true;
    Fl::scheme("gleam");
    Fl::background(bg[0], bg[1], bg[2]);
    Fl::background2(bg2[0], bg2[1], bg2[2]);
    Fl::foreground(fg[0], fg[1], fg[2]);
    Fl::set_color(FL_SELECTION_COLOR, accent[0], accent[1], accent[2]);
}

void fl_look_held(Fl_Button* b) {
    b->down_box(FL_DOWN_BOX);
    b->selection_color(fl_rgb_color(accent[0], accent[1], accent[2]));
}
