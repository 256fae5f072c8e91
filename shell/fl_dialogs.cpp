#include "shell/fl_dialogs.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_draw.H>

#include <memory>
#include <vector>

#include "shell/calc.h"
#include "shell/fl_codescroll.h"
#include "editor/fl_helptip.h"
#include "editor/fl_hook.h"
#include "shell/fl_msg.h"
#include "shell/info.h"

namespace {

constexpr int du(int v) { return 2 * v; }

void close_cb(Fl_Widget* w, void*) {
    Fl_Window* win = w->as_window() ? w->as_window() : w->window();
    win->hide();
}

void run_modal(Fl_Window& win) {
    win.set_modal();
    win.show();
    while (win.shown()) Fl::wait();
}

// The calculator's window: Shift + click on a control shows its help.
class calc_window : public Fl_Double_Window {
public:
    using Fl_Double_Window::Fl_Double_Window;
    fl_helptips tips;
    int handle(int event) override { return tips.shift_click(event) ? 1 : Fl_Double_Window::handle(event); }
};

}  // namespace

void fl_calc_run(rov_setting& s) {
    sh_calc c;
    sh_calc_open(c);
    calc_window win(du(150), du(110), "x[i+1] = (m*x[i] + 1) MOD n");
    Fl_Box* text[3];
    fl_codescroll* bar[3];
    std::string labels[4];
    Fl_Box* result = new Fl_Box(du(5), du(80), du(140), du(10));
    result->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    static const char* const keys[3] = {"&x", "&m", "&n"};
    for (int i = 0; i < 3; ++i) {
        text[i] = new Fl_Box(du(5 + 30 * i), du(5), du(28), du(10));
        text[i]->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
        bar[i] = new fl_codescroll(du(12 + 30 * i), du(17), du(10), du(58), keys[i]);
        bar[i]->type(FL_VERTICAL);
        bar[i]->align(FL_ALIGN_LEFT);
        const rov_helpbox hb = sh_calc_help(static_cast<sh_calcctl>(sh_cc_x0 + i));
        win.tips.set(text[i], hb);
        win.tips.set(bar[i], hb);
    }
    win.tips.set(result, sh_calc_help(sh_cc_result));
    auto show = [&] {
        const int max[3] = {c.maxx0, c.maxm, 2048};
        const int val[3] = {c.calcx0, c.calcm, c.calcn};
        for (int i = 0; i < 3; ++i) {
            labels[i] = sh_calc_text(c, static_cast<sh_calcbar>(i));
            text[i]->label(labels[i].c_str());
            bar[i]->bounds(1, max[i]);
            bar[i]->value(val[i]);
        }
        labels[3] = c.result;
        result->label(labels[3].c_str());
        win.redraw();
        fl_hook("calc " + labels[0] + " " + labels[1] + " " + labels[2] + " " + fl_hook_quote(c.result));
    };
    for (int i = 0; i < 3; ++i)
        bar[i]->on_scroll = [&, i](pd_code code, int pos) {
            sh_calc_scroll(c, static_cast<sh_calcbar>(i), code, pos);
            show();
        };
    auto* ok = new Fl_Return_Button(du(100), du(8), du(44), du(14), "&OK");
    ok->callback(close_cb);
    win.tips.set(ok, sh_calc_help(sh_cc_ok));
    struct store { sh_calc* c; rov_setting* s; sh_calcstore w; } st[3] = {
        {&c, &s, sh_store_pan}, {&c, &s, sh_store_ton}, {&c, &s, sh_store_pit}};
    static const char* const names[3] = {"P&an700", "&Ton1001", "&Pit804"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new Fl_Button(du(100), du(28 + 16 * i), du(44), du(14), names[i]);
        static const sh_calcctl helps[3] = {sh_cc_pan, sh_cc_ton, sh_cc_pit};
        win.tips.set(b, sh_calc_help(helps[i]));
        b->callback([](Fl_Widget*, void* p) {
            auto* x = static_cast<store*>(p);
            sh_calc_store(*x->c, *x->s, x->w);
            fl_hook("calc stored n=" + std::to_string(x->c->calcn));
        }, &st[i]);
    }
    win.end();
    show();
    fl_hook_tips("calc", win);
    run_modal(win);
}

namespace {

// The page's window: its contents are a tall group of texts moved up and
// down by the window's own scroll bar; the scroll keys move the page
// wherever the focus is.
using info_window = fl_keyscroll_window;

// The pages' font.
constexpr Fl_Font info_font = FL_HELVETICA;
constexpr Fl_Fontsize info_size = 12;

// Height of a text wrapped to a width, as info_text draws it.
int info_measure(const std::string& t, int width) {
    fl_font(info_font, info_size);
    int w = width, h = 0;
    fl_measure(t.c_str(), w, h, 0);
    return h;
}

// One paragraph, drawn wrapped to exactly the width it was measured at.
class info_text : public Fl_Widget {
public:
    info_text(const sh_inforect& r, const std::string& t) : Fl_Widget(r.x, r.y, r.w, r.h), text(t) {}
    void draw() override {
        fl_font(info_font, info_size);
        fl_color(FL_FOREGROUND_COLOR);
        fl_draw(text.c_str(), x(), y(), w(), h(), FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_WRAP | FL_ALIGN_INSIDE,
                nullptr, 0);
    }
    int handle(int) override { return 0; }

private:
    std::string text;
};

}  // namespace

void fl_info_run(const std::string& name) {
    const std::optional<sh_infopage> p = sh_info_page(name);
    if (!p) return;
    fl_hook("info " + name + " " + fl_hook_quote(p->title));
    constexpr int w = sh_info_w, h = sh_info_h, bar_w = sh_info_bar_w;
    info_window win(w, h, p->title.c_str());
    const sh_infolayout lay = sh_info_layout(*p, info_measure);
    auto* page = new Fl_Group(0, 0, w - bar_w, lay.height);
    for (std::size_t i = 0; i < p->text.size(); ++i) new info_text(lay.text[i], p->text[i]);
    auto* ok = new Fl_Return_Button(lay.ok.x, lay.ok.y, lay.ok.w, lay.ok.h, "&OK");
    ok->callback(close_cb);
    page->end();
    sh_infoscroll sc;
    auto* bar = new fl_codescroll(w - bar_w, 0, bar_w, h);
    bar->type(FL_VERTICAL);
    bar->bounds(0, 100);
    bar->slider_size(0.1);
    win.bar = bar;
    bar->on_scroll = [&](pd_code code, int pos) {
        const int change = sh_info_scroll(sc, code, pos);
        if (change != 0) {
            page->position(0, sc.ypos);
            win.redraw();
        }
        bar->value(sc.bar);
        fl_hook("info-scroll " + std::to_string(-sc.ypos) + " bar=" + std::to_string(sc.bar));
    };
    win.end();
    win.callback(close_cb);
    run_modal(win);
}

void fl_caps_run(const sh_woc& woc, uint32_t devno) {
    const std::vector<std::string> t = sh_caps_texts(woc, devno);
    Fl_Double_Window win(du(200), du(120), "waveOutDeviceCapabilities");
    const std::string title = fl_plain_label(t[0]);
    auto* name = new Fl_Box(du(5), du(4), du(190), du(12), title.c_str());
    name->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
    name->labelfont(FL_HELVETICA_BOLD);
    for (int r = 0; r < 4; ++r) {
        auto* row = new Fl_Box(du(5), du(20 + 14 * r), du(70), du(12), t[1 + 4 * r].c_str());
        row->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
        for (int k = 0; k < 3; ++k) new Fl_Box(du(78 + 38 * k), du(20 + 14 * r), du(36), du(12), t[2 + 4 * r + k].c_str());
    }
    auto* sync = new Fl_Box(du(5), du(78), du(120), du(12), t[17].c_str());
    sync->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    auto* vol = new Fl_Box(du(5), du(90), du(120), du(12), t[18].c_str());
    vol->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    auto* ok = new Fl_Return_Button(du(150), du(100), du(44), du(14), "&OK");
    ok->callback(close_cb);
    win.end();
    win.callback(close_cb);
    std::string line;
    for (const std::string& s : t) line += "|" + s;
    fl_hook("caps " + fl_hook_quote(line));
    run_modal(win);
}
