#include "editor/fl_helptip.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Menu_.H>
#include <FL/Fl_Valuator.H>

#include "editor/fl_hook.h"
#include "editor/fl_scrollbar.h"

void fl_set_tip(Fl_Widget* w, const std::string& tip) {
    if (w->tooltip() ? tip == w->tooltip() : tip.empty()) return;
    w->copy_tooltip(tip.empty() ? nullptr : tip.c_str());
}

void fl_helptips::set(Fl_Widget* w, const rov_helpbox& hb) {
    help_[w] = hb;
    fl_set_tip(w, rov_help_tip(hb));
}

bool fl_helptips::shift_click(int event) {
    if (event != FL_PUSH || Fl::event_button() != FL_LEFT_MOUSE || !Fl::event_state(FL_SHIFT)) return false;
    for (const auto& [w, hb] : help_)
        if (w->visible_r() && Fl::event_inside(w)) {
            fl_okbox(hb.caption, hb.text);
            return true;
        }
    return false;
}

namespace {

bool is_control(const Fl_Widget* w) {
    if (dynamic_cast<const Fl_Button*>(w) || dynamic_cast<const Fl_Valuator*>(w) ||
        dynamic_cast<const Fl_Menu_*>(w) || dynamic_cast<const RovScrollbar*>(w))
        return true;
    const char* l = w->label();
    return dynamic_cast<const Fl_Box*>(w) && l && std::string(l).find_first_not_of(' ') != std::string::npos;
}

void untipped(Fl_Group& g, int& n, std::string& names) {
    for (int i = 0; i < g.children(); ++i) {
        Fl_Widget* w = g.child(i);
        if (Fl_Group* sub = w->as_group()) {
            untipped(*sub, n, names);
        } else if (is_control(w) && !(w->tooltip() && *w->tooltip() && w->handle(FL_ENTER))) {
            ++n;
            names += " " + fl_hook_quote(w->label() ? w->label() : "");
        }
    }
}

}  // namespace

void fl_hook_tips(const std::string& who, Fl_Group& win) {
    if (!fl_test_hook()) return;
    int n = 0;
    std::string names;
    untipped(win, n, names);
    fl_hook("tips " + who + " missing=" + std::to_string(n) + names);
}
