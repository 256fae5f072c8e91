#include "shell/fl_msg.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Widget.H>
#include <FL/fl_ask.H>

#include <cstdint>


sh_answer fl_msgbox(const sh_question& q) {
    fl_hook("message caption=" + fl_hook_quote(q.caption) + " text=" + fl_hook_quote(q.text));
    fl_message_title(q.caption.c_str());
    Fl_Widget* icon = fl_message_icon();
    switch (q.icon) {
    case sh_icon_stop:
        icon->label("X");
        icon->color(FL_RED);
        icon->labelcolor(FL_WHITE);
        break;
    case sh_icon_question:
        icon->label("?");
        icon->color(FL_WHITE);
        icon->labelcolor(FL_BLUE);
        break;
    default:
        fl_info_icon();
        break;
    }
    // The text goes through "%s" so that a '%' in it is shown as it is.
    // Buttons are laid out right to left; the middle one is the default.
    switch (q.buttons) {
    case sh_btn_ok:
        fl_choice("%s", nullptr, "OK", nullptr, q.text.c_str());
        return sh_ans_ok;
    case sh_btn_okcancel:
        return fl_choice("%s", "&Cancel", "OK", nullptr, q.text.c_str()) == 1 ? sh_ans_ok
                                                                               : sh_ans_cancel;
    case sh_btn_yesno:
        return fl_choice("%s", "&No", "&Yes", nullptr, q.text.c_str()) == 1 ? sh_ans_yes
                                                                             : sh_ans_no;
    case sh_btn_yesnocancel:
        switch (fl_choice("%s", "&Cancel", "&Yes", "&No", q.text.c_str())) {
        case 1: return sh_ans_yes;
        case 2: return sh_ans_no;
        default: return sh_ans_cancel;
        }
    }
    return sh_ans_cancel;
}

std::string fl_symbol_free(const std::string& s) {
    std::string t;
    for (const char c : s) {
        if (c == '@') t += '@';
        t += c;
    }
    return t;
}

std::string fl_plain_label(const std::string& s) {
    std::string t;
    for (const char c : fl_symbol_free(s)) {
        if (c == '&') t += '&';
        t += c;
    }
    return t;
}

namespace {

// The box of a question that can be left unasked from now on.
struct remember_box {
    Fl_Double_Window* win = nullptr;
    sh_answer answer = sh_ans_cancel;
};

void answer_cb(Fl_Widget* w, void* data) {
    auto* box = static_cast<remember_box*>(w->window()->user_data());
    box->answer = static_cast<sh_answer>(reinterpret_cast<intptr_t>(data));
    box->win->hide();
}

}  // namespace

sh_answer fl_msgbox_remember(const sh_question& q, bool& remember) {
    fl_hook("message caption=" + fl_hook_quote(q.caption) + " text=" + fl_hook_quote(q.text));
    const bool cancel = q.buttons == sh_btn_yesnocancel;
    remember_box box;
    // Closing the box (or Escape) is the last button's answer, as in the plain boxes.
    box.answer = cancel ? sh_ans_cancel : sh_ans_no;
    Fl_Double_Window win(340, 130, q.caption.c_str());
    box.win = &win;
    win.user_data(&box);
    auto* icon = new Fl_Box(10, 10, 50, 50, "?");
    icon->box(FL_THIN_UP_BOX);
    icon->labelfont(FL_TIMES_BOLD);
    icon->labelsize(34);
    icon->color(FL_WHITE);
    icon->labelcolor(FL_BLUE);
    auto* text = new Fl_Box(70, 10, 260, 50);
    text->copy_label(q.text.c_str());
    text->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
    auto* again = new Fl_Check_Button(70, 62, 260, 22, "&Don't ask again");
    again->value(0);
    int x = cancel ? 70 : 160;
    auto button = [&](const char* label, sh_answer a, bool ret) {
        Fl_Button* b = ret ? new Fl_Return_Button(x, 94, 80, 26, label) : new Fl_Button(x, 94, 80, 26, label);
        b->callback(answer_cb, reinterpret_cast<void*>(static_cast<intptr_t>(a)));
        x += 90;
        return b;
    };
    button("&Yes", sh_ans_yes, true);
    button("&No", sh_ans_no, false);
    if (cancel) button("&Cancel", sh_ans_cancel, false);
    win.end();
    win.callback([](Fl_Widget* w, void*) { w->hide(); });
    win.position((Fl::w() - win.w()) / 2, (Fl::h() - win.h()) / 2);  // as the plain boxes, mid-screen
    win.set_modal();
    win.show();
    while (win.shown()) Fl::wait();
    remember = again->value() != 0;
    fl_hook(std::string("dont-ask-again ") + (remember ? "1" : "0"));
    return box.answer;
}
