// The scale editor's window (FLTK): 260 x 120 dialog units, one unit two
// pixels each way. Sixteen vertical scroll bars "&0" to "&F", the buttons
// below and to the right; the widgets pass their events to the logic of
// editor/tonality.h and show the view it leaves.
#include "editor/fl_tonality.h"

#include <FL/Fl.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_ask.H>

#include <string>

#include "editor/fl_dialog.h"
#include "editor/fl_helptip.h"
#include "editor/fl_hook.h"

namespace {

constexpr int U = fl_du;

class TonWin : public fl_dialog {
public:
    explicit TonWin(ton_editor& te);
    int handle(int event) override;
    void sync() override;

    ton_editor& d;
    RovScrollbar* bar[16];
    Fl_Box* status;
    Fl_Button* modebtn;

private:
    // Keys 0..9 and a..f move the focus to the scroll bars.
    Fl_Widget* focus_key(int k) override {
        if (k >= '0' && k <= '9') return bar[k - '0'];
        if (k >= 'a' && k <= 'f') return bar[10 + k - 'a'];
        return nullptr;
    }
};

template <void (*f)(ton_editor&)>
constexpr Fl_Callback* button_cb = fl_dialog_button_cb<TonWin, f>;

// The close box and Escape do what "&OK" does.
TonWin::TonWin(ton_editor& editor) : fl_dialog(260 * U, 120 * U, "Scale, Intervals, or Phrase", "tonality"), d(editor) {
    static const char* const names[16] = {"0", "1", "2", "3", "4", "5", "6", "7",
                                          "8", "9", "A", "B", "C", "D", "E", "F"};
    for (int i = 0; i < 16; ++i) {
        bar[i] = new RovScrollbar((12 + 12 * i) * U, 10 * U, 8 * U, 74 * U, true, i);
        bar[i]->range(0, ton_max);
        bar[i]->report(fl_dialog_scroll_cb<TonWin, ton_scroll>, this);
        auto* l = new Fl_Box((10 + 12 * i) * U, 85 * U, 12 * U, 9 * U, names[i]);
        l->labelsize(12);
    }
    fl_du_button(10, 99, 46, 14, "&Init", button_cb<ton_init>);
    status = fl_du_box(58, 99, 66, 14, FL_ALIGN_INSIDE | FL_ALIGN_CENTER | FL_ALIGN_CLIP);
    status->box(FL_DOWN_BOX);
    fl_du_button(126, 99, 46, 14, "&Reset", button_cb<ton_reset>);
    fl_du_button(174, 99, 46, 14, "&Show", button_cb<ton_show>);
    modebtn = fl_du_button(210, 12, 42, 16, "&Tone", button_cb<ton_mode>);
    fl_du_button(210, 34, 42, 16, "Sto&re", button_cb<ton_store>);
    fl_du_button(210, 54, 42, 15, "&Load", button_cb<ton_load>);
    auto* ok = new Fl_Return_Button(222 * U, 99 * U, 34 * U, 14 * U, "&OK");
    ok->labelsize(12);
    ok->callback(fl_dialog_ok_cb);
    end();
    // Shift + click shows the help of the place under it, whatever control
    // is there: each control's tooltip is the help at its middle.
    for (int i = 0; i < children(); ++i) {
        Fl_Widget* c = child(i);
        const rov_helpbox hb = ton_help(d, rov_du_x(c->x() + c->w() / 2), rov_du_y(c->y() + c->h() / 2));
        fl_set_tip(c, rov_help_tip(hb));
    }
}

int TonWin::handle(int event) {
    // Shift + left click anywhere shows the help of the place under it.
    if (event == FL_PUSH && Fl::event_button() == FL_LEFT_MOUSE && Fl::event_state(FL_SHIFT)) {
        const rov_helpbox hb = ton_help(d, rov_du_x(Fl::event_x()), rov_du_y(Fl::event_y()));
        fl_okbox(hb.caption, hb.text);
        return 1;
    }
    return fl_dialog::handle(event);
}

void TonWin::sync() {
    const ton_view& v = d.view;
    if (!label() || v.caption != label()) copy_label(v.caption.c_str());
    fl_set_label(status, v.status);
    fl_set_label(modebtn, v.modename);
    for (int i = 0; i < 16; ++i) bar[i]->position(v.pos[i]);
    if (fl_test_hook()) hook_changes(ton_dump(d));
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
    w.run(true);
}
