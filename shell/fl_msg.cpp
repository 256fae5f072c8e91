#include "shell/fl_msg.h"

#include <FL/Fl.H>
#include <FL/Fl_Widget.H>
#include <FL/fl_ask.H>


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
