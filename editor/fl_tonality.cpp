// The scale editor's window (FLTK): 260 x 120 dialog units, one unit two
// pixels each way. Sixteen vertical scroll bars "&0" to "&F", the buttons
// below and to the right; the widgets pass their events to the logic of
// editor/tonality.h and show the view it leaves.
#include "editor/fl_tonality.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_ask.H>

#include <map>
#include <string>

#include "editor/fl_helptip.h"
#include "editor/fl_hook.h"
#include "editor/fl_scrollbar.h"

namespace {

constexpr int U = 2;  // pixels per dialog unit

class TonWin : public Fl_Double_Window {
public:
    explicit TonWin(ton_editor& te);
    int handle(int event) override;
    void sync();
    void close_request() {
        hide();
        fl_hook("tonality closed");
    }

    ton_editor& te;
    RovScrollbar* bar[16];
    Fl_Box* status;
    Fl_Button* modebtn;
    std::map<std::string, std::string> hooked;
};

TonWin* win_of(Fl_Widget* w) { return static_cast<TonWin*>(w->window()); }

void scroll_report(RovScrollbar* sb, rov_scrollcode code, int pos, void* data) {
    auto* w = static_cast<TonWin*>(data);
    ton_scroll(w->te, sb->slot(), code, pos);
    w->sync();
}

template <void (*f)(ton_editor&)>
void button_cb(Fl_Widget* b, void*) {
    TonWin* w = win_of(b);
    f(w->te);
    w->sync();
}

void ok_cb(Fl_Widget* b, void*) { win_of(b)->close_request(); }

// The close box and Escape do what "&OK" does.
void window_cb(Fl_Widget* o, void*) { static_cast<TonWin*>(o)->close_request(); }

Fl_Button* du_button(int x, int y, int w, int h, const char* text, Fl_Callback* cb) {
    auto* b = new Fl_Button(x * U, y * U, w * U, h * U, text);
    b->labelsize(12);
    b->callback(cb);
    return b;
}

TonWin::TonWin(ton_editor& editor)
    : Fl_Double_Window(260 * U, 120 * U, "Scale, Intervals, or Phrase"), te(editor) {
    static const char* const names[16] = {"0", "1", "2", "3", "4", "5", "6", "7",
                                          "8", "9", "A", "B", "C", "D", "E", "F"};
    for (int i = 0; i < 16; ++i) {
        bar[i] = new RovScrollbar((12 + 12 * i) * U, 10 * U, 8 * U, 74 * U, true, i);
        bar[i]->range(0, ton_max);
        bar[i]->report(scroll_report, this);
        auto* l = new Fl_Box((10 + 12 * i) * U, 85 * U, 12 * U, 9 * U, names[i]);
        l->labelsize(12);
    }
    du_button(10, 99, 46, 14, "&Init", button_cb<ton_init>);
    status = new Fl_Box(58 * U, 99 * U, 66 * U, 14 * U);
    status->box(FL_DOWN_BOX);
    status->labelsize(12);
    status->align(FL_ALIGN_INSIDE | FL_ALIGN_CENTER | FL_ALIGN_CLIP);
    du_button(126, 99, 46, 14, "&Reset", button_cb<ton_reset>);
    du_button(174, 99, 46, 14, "&Show", button_cb<ton_show>);
    modebtn = du_button(210, 12, 42, 16, "&Tone", button_cb<ton_mode>);
    du_button(210, 34, 42, 16, "Sto&re", button_cb<ton_store>);
    du_button(210, 54, 42, 15, "&Load", button_cb<ton_load>);
    auto* ok = new Fl_Return_Button(222 * U, 99 * U, 34 * U, 14 * U, "&OK");
    ok->labelsize(12);
    ok->callback(ok_cb);
    end();
    callback(window_cb);
    set_modal();
    // Shift + click shows the help of the place under it, whatever control
    // is there: each control's tooltip is the help at its middle.
    for (int i = 0; i < children(); ++i) {
        Fl_Widget* c = child(i);
        const rov_helpbox hb = ton_help(te, rov_du_x(c->x() + c->w() / 2), rov_du_y(c->y() + c->h() / 2));
        fl_set_tip(c, rov_help_tip(hb));
    }
}

int TonWin::handle(int event) {
    // Shift + left click anywhere shows the help of the place under it.
    if (event == FL_PUSH && Fl::event_button() == FL_LEFT_MOUSE && Fl::event_state(FL_SHIFT)) {
        const rov_helpbox hb = ton_help(te, rov_du_x(Fl::event_x()), rov_du_y(Fl::event_y()));
        fl_okbox(hb.caption, hb.text);
        return 1;
    }
    if (event == FL_SHORTCUT && !Fl::event_state(FL_CTRL | FL_META)) {
        if (Fl_Double_Window::handle(event)) return 1;
        // Keys 0..9 and a..f move the focus to the scroll bars.
        const int k = Fl::event_key();
        if (k >= '0' && k <= '9') return bar[k - '0']->take_focus(), 1;
        if (k >= 'a' && k <= 'f') return bar[10 + k - 'a']->take_focus(), 1;
        return 0;
    }
    return Fl_Double_Window::handle(event);
}

void TonWin::sync() {
    const ton_view& v = te.view;
    if (!label() || v.caption != label()) copy_label(v.caption.c_str());
    if (!status->label() || v.status != status->label()) {
        status->copy_label(v.status.c_str());
        status->redraw_label();
    }
    if (std::string(modebtn->label()) != v.modename) modebtn->label(v.modename);
    for (int i = 0; i < 16; ++i) bar[i]->position(v.pos[i]);
    if (!fl_test_hook()) return;
    const std::string d = ton_dump(te);
    fl_hook_changes("tonality", d, hooked);
}

}  // namespace

bool ton_ask_assign() {
    const char* caption = "Edit scale, phrase, envelope, wave";
    const char* text = "Assign scale number to soundscape ?";
    fl_hook(std::string("question caption=") + fl_hook_quote(caption) + " text=" + fl_hook_quote(text));
    fl_message_title(caption);
    Fl_Widget* icon = fl_message_icon();
    icon->label("?");
    icon->color(FL_WHITE);
    icon->labelcolor(FL_BLUE);
    return fl_choice("%s", "&No", "&Yes", nullptr, text) == 1;
}

void ton_dialog_run(ton_editor& te, const tonscal& ts) {
    ton_open(te, ts);
    TonWin w(te);
    w.sync();
    w.show();
    fl_hook_tips("tonality", w);
    fl_hook("tonality shown");
    while (w.shown()) Fl::wait();
}
