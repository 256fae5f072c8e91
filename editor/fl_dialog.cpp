#include "editor/fl_dialog.h"

#include <FL/Fl.H>

#include "editor/fl_helptip.h"
#include "editor/fl_hook.h"

Fl_Button* fl_du_button(int x, int y, int w, int h, const char* text, Fl_Callback* cb) {
    auto* b = new Fl_Button(x * fl_du, y * fl_du, w * fl_du, h * fl_du, text);
    b->labelsize(12);
    b->callback(cb);
    return b;
}

Fl_Box* fl_du_box(int x, int y, int w, int h, Fl_Align align) {
    auto* b = new Fl_Box(x * fl_du, y * fl_du, w * fl_du, h * fl_du);
    b->align(align);
    b->labelsize(12);
    return b;
}

void fl_set_label(Fl_Widget* w, const std::string& text) {
    if (w->label() && text == w->label()) return;
    w->copy_label(text.c_str());
    w->redraw_label();
}

namespace {

void window_cb(Fl_Widget* o, void* escape) {
    if (!escape && Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
    static_cast<fl_dialog*>(o)->close_request();
}

}  // namespace

fl_dialog::fl_dialog(int w, int h, const char* title, const char* who, bool escape)
    : Fl_Double_Window(w, h, title), who_(who), escape_(escape) {
    callback(window_cb, escape_ ? this : nullptr);
    set_modal();
}

void fl_dialog::close_request() {
    hide();
    fl_hook(who_ + " closed");
}

void fl_dialog::run(bool tips) {
    sync();
    show();
    if (tips) fl_hook_tips(who_, *this);
    fl_hook(who_ + " shown");
    while (shown()) Fl::wait();
}

int fl_dialog::handle(int event) {
    if (event == FL_SHORTCUT && !Fl::event_state(FL_CTRL | FL_META)) {
        if (Fl_Double_Window::handle(event)) return 1;
        Fl_Widget* to = focus_key(Fl::event_key());
        if (to && to->active()) return to->take_focus(), 1;
        return 0;
    }
    return Fl_Double_Window::handle(event);
}

void fl_dialog::hook_changes(const std::string& dump) { fl_hook_changes(who_, dump, hooked_); }

void fl_dialog_ok_cb(Fl_Widget* b, void*) { static_cast<fl_dialog*>(b->window())->close_request(); }
