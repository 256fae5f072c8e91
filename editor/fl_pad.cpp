// The player pad's window "Wave Tessellon Player" (FLTK): 270 x 144 dialog
// units, one unit two pixels each way. Left of the sliders is the player
// area (client pixels 0..256); the widgets pass their events to the logic of
// player/pad.h, and the area draws the lines it lists.
#include "editor/fl_pad.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <string>

#include "editor/fl_dialog.h"
#include "editor/fl_hook.h"

namespace {

constexpr int U = fl_du;

// The player area: draws the lines of the last click over the background.
class PadArea : public Fl_Widget {
public:
    PadArea(int x, int y, int w, int h, const pad_dlg& d) : Fl_Widget(x, y, w, h), d_(d) {}
    void draw() override {
        fl_push_clip(x(), y(), w(), h());
        fl_color(FL_BACKGROUND_COLOR);
        fl_rectf(x(), y(), w(), h());
        for (const pad_line& l : d_.view.lines) {
            fl_color(l.red ? FL_RED : FL_BLACK);
            fl_line(x() + l.x0, y() + l.y0, x() + l.x1, y() + l.y1);
        }
        fl_pop_clip();
    }
    // Takes the pointer (for its tooltip) but leaves the clicks to the window.
    int handle(int event) override { return event == FL_ENTER || event == FL_LEAVE ? 1 : 0; }

private:
    const pad_dlg& d_;
};

class PadWin : public fl_dialog {
public:
    explicit PadWin(pad_dlg& d);
    int handle(int event) override;
    void sync() override;

    pad_dlg& d;
    PadArea* area;
    RovScrollbar* bar[pad_nsliders];
    Fl_Box* label[pad_nsliders];
    Fl_Button *qtz, *mid, *env;

private:
    // Keys 1 to 6 focus the sliders.
    Fl_Widget* focus_key(int k) override { return k >= '1' && k <= '6' ? bar[k - '1'] : nullptr; }
};

template <void (*f)(pad_dlg&)>
constexpr Fl_Callback* button_cb = fl_dialog_button_cb<PadWin, f>;

// Every control's tooltip is the text of its Shift-click help.
void help_tip(Fl_Widget* w, int part) { w->copy_tooltip(pad_part_help(part).text.c_str()); }

Fl_Button* du_button(int x, int y, const char* text, Fl_Callback* cb, int part) {
    Fl_Button* b = fl_du_button(x, y, 50, 14, text, cb);
    if (part >= 0) help_tip(b, part);
    return b;
}

// The close box and Escape do what "&OK" does.
PadWin::PadWin(pad_dlg& dlg) : fl_dialog(270 * U, 144 * U, "Wave Tessellon Player", "pad"), d(dlg) {
    // The area ends at client pixel 256 and reaches the bottom.
    area = new PadArea(0, 0, 257, 144 * U, d);
    help_tip(area, pad_part_area);
    // Each slider: its value above, its name below (keys 1 to 6 focus it).
    for (int i = 0; i < pad_nsliders; ++i) {
        const int x = 145 + 20 * i;
        bar[i] = new RovScrollbar(x * U, 20 * U, 10 * U, 80 * U, true, i);
        bar[i]->report(fl_dialog_scroll_cb<PadWin, pad_scroll>, this);
        help_tip(bar[i], i);
        label[i] = new Fl_Box((x - 5) * U, 8 * U, 20 * U, 10 * U);
        label[i]->labelsize(11);
        label[i]->align(FL_ALIGN_INSIDE | FL_ALIGN_CENTER | FL_ALIGN_CLIP);
        help_tip(label[i], i);
        auto* name = new Fl_Box((x - 5) * U, 100 * U, 20 * U, 8 * U, pad_slider_name(i));
        name->labelsize(10);
        name->align(FL_ALIGN_INSIDE | FL_ALIGN_CENTER | FL_ALIGN_CLIP);
        help_tip(name, i);
    }
    qtz = du_button(145, 108, "&Qtz", button_cb<pad_pitq>, pad_part_qtz);
    mid = du_button(205, 108, "&Mid", button_cb<pad_range>, pad_part_mid);
    env = du_button(145, 125, "&Env", button_cb<pad_mode>, pad_part_env);
    du_button(205, 125, "&OK", fl_dialog_ok_cb, -1)->tooltip("close the player pad (Escape)");
    end();
}

int PadWin::handle(int event) {
    if (event == FL_PUSH && Fl::event_button() == FL_LEFT_MOUSE) {
        const int x = Fl::event_x(), y = Fl::event_y();
        if (Fl::event_state(FL_SHIFT)) {
            const rov_helpbox hb = pad_help(rov_du_x(x), rov_du_y(y));
            fl_okbox(hb.caption, hb.text);
            return 1;
        }
        // Clicks on the controls go to them; everywhere else is the pad's.
        if (Fl_Double_Window::handle(event)) return 1;
        pad_click(d, x, y);
        area->redraw();
        sync();
        return 1;
    }
    return fl_dialog::handle(event);
}

void PadWin::sync() {
    const pad_view& v = d.view;
    for (int i = 0; i < pad_nsliders; ++i) {
        bar[i]->range(0, v.max[i]);
        bar[i]->position(v.pos[i]);
        fl_set_label(label[i], v.label[i]);
    }
    fl_set_label(qtz, v.qtz);
    fl_set_label(mid, v.mid);
    fl_set_label(env, v.env);
    if (fl_test_hook()) hook_changes(pad_dump(d));
}

}  // namespace

void pad_dialog_run(wvpl_par& w, int setnr) {
    pad_dlg d;
    pad_open(d, &w, setnr);
    PadWin win(d);
    win.run(false);
}
