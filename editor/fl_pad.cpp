// The player pad's window "Wave Tessellon Player" (FLTK): 270 x 144 dialog
// units, one unit two pixels each way. Left of the sliders is the player
// area (client pixels 0..256); the widgets pass their events to the logic of
// player/pad.h, and the area draws the lines it lists.
#include "editor/fl_pad.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>

#include <map>
#include <string>

#include "editor/fl_hook.h"
#include "editor/fl_scrollbar.h"

namespace {

constexpr int U = 2;  // pixels per dialog unit

class PadWin;

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

class PadWin : public Fl_Double_Window {
public:
    explicit PadWin(pad_dlg& d);
    int handle(int event) override;
    void sync();
    void close_request() {
        hide();
        fl_hook("pad closed");
    }

    pad_dlg& d;
    PadArea* area;
    RovScrollbar* bar[pad_nsliders];
    Fl_Box* label[pad_nsliders];
    Fl_Button *qtz, *mid, *env;
    std::map<std::string, std::string> hooked;
};

PadWin* win_of(Fl_Widget* w) { return static_cast<PadWin*>(w->window()); }

void scroll_report(RovScrollbar* sb, rov_scrollcode code, int pos, void* data) {
    auto* w = static_cast<PadWin*>(data);
    pad_scroll(w->d, sb->slot(), code, pos);
    w->sync();
}

template <void (*f)(pad_dlg&)>
void button_cb(Fl_Widget* b, void*) {
    PadWin* w = win_of(b);
    f(w->d);
    w->sync();
}

void ok_cb(Fl_Widget* b, void*) { win_of(b)->close_request(); }

// The close box and Escape do what "&OK" does.
void window_cb(Fl_Widget* o, void*) { static_cast<PadWin*>(o)->close_request(); }

// Every control's tooltip is the text of its Shift-click help.
void help_tip(Fl_Widget* w, int part) { w->copy_tooltip(pad_part_help(part).text.c_str()); }

Fl_Button* du_button(int x, int y, const char* text, Fl_Callback* cb, int part) {
    auto* b = new Fl_Button(x * U, y * U, 50 * U, 14 * U, text);
    b->labelsize(12);
    b->callback(cb);
    if (part >= 0) help_tip(b, part);
    return b;
}

PadWin::PadWin(pad_dlg& dlg) : Fl_Double_Window(270 * U, 144 * U, "Wave Tessellon Player"), d(dlg) {
    // The area ends at client pixel 256 and reaches the bottom.
    area = new PadArea(0, 0, 257, 144 * U, d);
    help_tip(area, pad_part_area);
    // Each slider: its value above, its name below (keys 1 to 6 focus it).
    for (int i = 0; i < pad_nsliders; ++i) {
        const int x = 145 + 20 * i;
        bar[i] = new RovScrollbar(x * U, 20 * U, 10 * U, 80 * U, true, i);
        bar[i]->report(scroll_report, this);
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
    du_button(205, 125, "&OK", ok_cb, -1)->tooltip("close the player pad (Escape)");
    end();
    callback(window_cb);
    set_modal();
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
    if (event == FL_SHORTCUT && !Fl::event_state(FL_CTRL | FL_META)) {
        if (Fl_Double_Window::handle(event)) return 1;
        const int k = Fl::event_key();
        if (k >= '1' && k <= '6') return bar[k - '1']->take_focus(), 1;
        return 0;
    }
    return Fl_Double_Window::handle(event);
}

void PadWin::sync() {
    const pad_view& v = d.view;
    for (int i = 0; i < pad_nsliders; ++i) {
        bar[i]->range(0, v.max[i]);
        bar[i]->position(v.pos[i]);
        if (!label[i]->label() || std::string(label[i]->label()) != v.label[i]) {
            label[i]->copy_label(v.label[i]);
            label[i]->redraw_label();
        }
    }
    if (std::string(qtz->label()) != v.qtz) qtz->label(v.qtz);
    if (std::string(mid->label()) != v.mid) mid->label(v.mid);
    if (std::string(env->label()) != v.env) env->label(v.env);
    if (!fl_test_hook()) return;
    const std::string s = pad_dump(d);
    fl_hook_changes("pad", s, hooked);
}

}  // namespace

void pad_dialog_run(wvpl_par& w, int setnr) {
    pad_dlg d;
    pad_open(d, &w, setnr);
    PadWin win(d);
    win.sync();
    win.show();
    fl_hook("pad shown");
    while (win.shown()) Fl::wait();
}
