// The help of a window's controls where the user looks for it: each
// control's tooltip shows its help box's caption and text.
#pragma once

#include <FL/Fl_Group.H>
#include <FL/Fl_Widget.H>

#include <map>
#include <string>

#include "editor/teswin.h"

class fl_helptips {
public:
    // The control's help; its tooltip changes only when the text does.
    void set(Fl_Widget* w, const rov_helpbox& hb);
    // Shift + left click (`event` being FL_PUSH) on a control that has a
    // help shows it in a message box; true when one was shown.
    bool shift_click(int event);

private:
    std::map<Fl_Widget*, rov_helpbox> help_;
};

// Sets a tooltip (a copy) when it differs from the one shown.
void fl_set_tip(Fl_Widget* w, const std::string& tip);

// The test hook "tips <who> missing=N" with the labels of the window's
// controls (buttons, scroll bars, menus, labelled texts) that have no
// tooltip, or do not take the pointer's arrival that shows it.
void fl_hook_tips(const std::string& who, Fl_Group& win);
