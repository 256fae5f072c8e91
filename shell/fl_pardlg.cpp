#include "shell/fl_pardlg.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Button.H>
#include <FL/Fl_Return_Button.H>

#include "shell/fl_codescroll.h"
#include "shell/fl_msg.h"

namespace {

// Dialog units to pixels: base units 8 x 16 give two pixels per unit.
constexpr int du(int v) { return 2 * v; }

// The dialog's window: the scroll keys move the value wherever the focus is.
using pardlg_window = fl_keyscroll_window;

struct dlgpars {
    pardlg d;
    Fl_Double_Window* win = nullptr;
    Fl_Box* value = nullptr;
    fl_codescroll* bar = nullptr;
    std::string text;

    void show_value() {
        text = pardlg_text(d);
        value->label(text.c_str());
        fl_hook("pardlg " + fl_hook_quote(d.pd.descr) + " value=" + text);
    }
    void scroll(pd_code code, int pos) {
        pardlg_scroll(d, code, pos);
        bar->value(*d.pd.pval);
        show_value();
    }
    void help() {
        if (d.pd.phlp) fl_msgbox({d.pd.descr, d.pd.phlp, sh_btn_ok, sh_icon_info});
    }
    void end(bool cancel) {
        if (cancel) pardlg_cancel(d);
        fl_hook("pardlg-end " + fl_hook_quote(d.pd.descr) + " value=" + pardlg_text(d));
        win->hide();
    }
};

}  // namespace

void fl_pardlg_run(const pardef& pd) {
    dlgpars s;
    pardlg_open(s.d, pd);

    // 160 x 80 dialog units; the template caption is replaced by the title.
    pardlg_window win(du(160), du(80), "Recording Time in Seconds:");
    s.win = &win;
    win.label(pd.descr);

    s.value = new Fl_Box(du(8), du(10), du(70), du(14));
    s.value->align(FL_ALIGN_RIGHT | FL_ALIGN_INSIDE);
    s.value->labelsize(22);
    s.value->labelfont(FL_HELVETICA_BOLD);

    auto* ok = new Fl_Return_Button(du(100), du(8), du(44), du(14), "&OK");
    auto* help = new Fl_Button(du(100), du(30), du(44), du(14), "&Help");
    auto* cancel = new Fl_Button(du(100), du(52), du(44), du(14), "&Cancel");
    ok->callback([](Fl_Widget*, void* p) { static_cast<dlgpars*>(p)->end(false); }, &s);
    help->callback([](Fl_Widget*, void* p) { static_cast<dlgpars*>(p)->help(); }, &s);
    cancel->callback([](Fl_Widget*, void* p) { static_cast<dlgpars*>(p)->end(true); }, &s);

    // The window's own vertical scroll bar along its right edge.
    s.bar = new fl_codescroll(du(152), 0, du(8), du(80));
    s.bar->type(FL_VERTICAL);
    s.bar->bounds(pd.pmin, pd.pmax);
    s.bar->slider_size(0.08);
    s.bar->value(*pd.pval);
    s.bar->on_scroll = [&s](pd_code c, int pos) { s.scroll(c, pos); };
    win.bar = s.bar;

    // The five items of the window's system menu, in a small menu of their own.
    auto* sys = new Fl_Menu_Button(du(4), du(62), du(16), du(12), "@-2menu");
    sys->tooltip("System menu");
    static const int ids[] = {pd_sys_plus, pd_sys_minus, pd_sys_inc, pd_sys_dec, pd_sys_help};
    static const char* const texts[] = {"&Plus", "&Minus", "&Inc", "&Dec", "&Help"};
    for (int i = 0; i < 5; ++i)
        sys->add(texts[i], 0,
                 [](Fl_Widget* w, void* id) {
                     auto* st = static_cast<dlgpars*>(w->user_data());
                     const int n = static_cast<int>(reinterpret_cast<intptr_t>(id));
                     if (n == pd_sys_help) st->help();
                     else st->scroll(pardlg_sysmenu_code(n), 0);
                 },
                 reinterpret_cast<void*>(static_cast<intptr_t>(ids[i])));
    sys->user_data(&s);

    win.end();
    // Closing the window keeps the value; Escape is Cancel.
    win.callback([](Fl_Widget*, void* p) {
        auto* st = static_cast<dlgpars*>(p);
        st->end(Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape);
    }, &s);
    win.set_modal();
    s.show_value();
    win.show();
    s.bar->take_focus();
    while (win.shown()) Fl::wait();
}
