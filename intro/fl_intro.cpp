// The introduction's window: eleven static lines, the icon at (24, 24) and
// OK. Events go to the wvintro_* calls; the window only shows their texts.
#include "intro/fl_intro.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Widget.H>

#include <string>

#include "editor/fl_cycle.h"
#include "editor/fl_hook.h"
#include "editor/fl_look.h"
#include "intro/intro.h"

namespace {

constexpr int U = 2;  // pixels per dialog unit
constexpr int dlg_w = 225 * U, dlg_h = 135 * U;

class IconBox : public Fl_Widget {
public:
    IconBox(int x, int y, fl_icon_painter p) : Fl_Widget(x, y, 32, 32), paint(p) { box(FL_NO_BOX); }
    void draw() override {
        if (paint && !name.empty()) paint(name.c_str(), x(), y(), true);
    }
    int handle(int) override { return 0; }
    std::string name;

private:
    fl_icon_painter paint;
};

class IntroWin : public Fl_Double_Window, public wi_view {
public:
    IntroWin(fl_icon_painter painter) : Fl_Double_Window(dlg_w, dlg_h, "Wave Tessellon Intro") {
        // Header lines 101..104 (centred), notes 105..110, caption and tour line 111.
        static const int ys[11] = {10, 20, 30, 45, 60, 70, 80, 90, 100, 110, 120};
        for (int i = 0; i < 11; ++i) {
            const int id = wi_line_first + i;
            Fl_Box* b;
            if (id < wi_line_notes)
                b = new Fl_Box(40 * U, ys[i] * U, 145 * U, 10 * U);
            else if (id <= wi_line_last_note)
                b = new Fl_Box(10 * U, ys[i] * U, 205 * U, 10 * U);
            else
                b = new Fl_Box(5 * U, ys[i] * U, 170 * U, 10 * U);
            b->box(FL_NO_BOX);
            b->align(id >= wi_line_notes && id <= wi_line_last_note ? FL_ALIGN_LEFT | FL_ALIGN_INSIDE
                                                                    : FL_ALIGN_CENTER | FL_ALIGN_INSIDE);
            b->labelsize(12);
            lines[i] = b;
        }
        lines[0]->labelfont(FL_HELVETICA_BOLD);
        iconbox = new IconBox(24, 24, painter);
        ok = new Fl_Button(180 * U, 116 * U, 40 * U, 14 * U, "&OK");
        ok->callback([](Fl_Widget* b, void*) { static_cast<IntroWin*>(b->window())->close_request(); });
        end();
        callback([](Fl_Widget* w, void*) { static_cast<IntroWin*>(w)->close_request(); });
        set_modal();
        Fl::add_check(check_cb, this);
        Fl::add_timeout(0.5, watch_cb, this);
    }
    ~IntroWin() override {
        Fl::remove_check(check_cb, this);
        Fl::remove_timeout(watch_cb, this);
        cyc.kill();
    }

    void line(int id, const std::string& text) override {
        const int i = id - wi_line_first;
        if (i < 0 || i >= 11) return;
        if (!lines[i]->label() || text != lines[i]->label()) {
            lines[i]->copy_label(text.c_str());
            // A shorter text leaves nothing of the longer one behind.
            damage(FL_DAMAGE_ALL, lines[i]->x(), lines[i]->y(), lines[i]->w(), lines[i]->h());
        }
        fl_hook("intro line " + std::to_string(id) + " text=" + fl_hook_quote(text));
    }
    void icon(const std::string& name) override {
        iconbox->name = name;
        iconbox->redraw();
        fl_hook("intro icon " + name);
    }
    void busy(bool on) override { cursor(on ? FL_CURSOR_WAIT : FL_CURSOR_DEFAULT); }

    int handle(int event) override {
        if (event == FL_SHOW) wvintro_paint(intro);
        if (event == FL_PUSH && Fl::event_button() == FL_LEFT_MOUSE) {
            if (Fl_Double_Window::handle(event)) return 1;  // the OK button
            const bool shift = Fl::event_state(FL_SHIFT) != 0;
            wvintro_click(intro, shift);
            fl_hook(std::string("intro skip") + (shift ? " example" : "") + " bufidle=" +
                    std::to_string(intro.bufidle));
            return 1;
        }
        return Fl_Double_Window::handle(event);
    }

    void close_request() {
        if (closed) return;
        closed = true;
        wvintro_close(intro);
        hide();
        fl_hook("intro closed");
    }

    wv_intro intro;
    // The device's notifications and the gap timer; the stream closes and
    // releases the device before the window goes.
    fl_cycle cyc;

private:
    static void check_cb(void* self) { static_cast<IntroWin*>(self)->pump(); }
    static void watch_cb(void* self) {
        auto* w = static_cast<IntroWin*>(self);
        if (!w->closed && wvintro_check_device(w->intro)) fl_hook("intro device lost");
        Fl::repeat_timeout(0.5, watch_cb, self);
    }
    void pump() {
        wv_event ev;
        while (wv_evq_pop(cyc.q, ev))
            if (!closed) wvintro_dispatch(intro, ev);
    }

    Fl_Box* lines[11]{};
    IconBox* iconbox = nullptr;
    Fl_Button* ok = nullptr;
    bool closed = false;
};

}  // namespace

int fl_intro_run(int flag, wv_stream& ws, wv_device* dev, fl_icon_painter icon, const char* welcome) {
    fl_cycle_threads();
    fl_look_apply();
    IntroWin* w = new IntroWin(icon);
    ws.dev = dev;
    ws.sink = &w->cyc;
    ws.timer = &w->cyc;
    w->intro.ws = &ws;
    w->intro.view = w;
    wvintro_init(w->intro, dev ? flag : 0, welcome);
    w->show();
    fl_hook("intro shown flag=" + std::to_string(dev ? flag : 0));
    while (w->shown()) Fl::wait();
    w->close_request();
    ws.sink = nullptr;
    ws.timer = nullptr;
    delete w;
    return 1;
}
