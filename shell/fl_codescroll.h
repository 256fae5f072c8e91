// A scroll bar that reports what the user did in the scroll codes of a
// dialog procedure (line up/down, page up/down, thumb position) instead of
// moving itself: the owner decides the new value and sets it.
#pragma once

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Scrollbar.H>

#include <functional>

#include "shell/pardef.h"

class fl_codescroll : public Fl_Scrollbar {
public:
    fl_codescroll(int x, int y, int w, int h, const char* l = nullptr);
    ~fl_codescroll() override;
    // Called with the code and, for pd_thumb, the thumb's position.
    std::function<void(pd_code code, int pos)> on_scroll;
    int handle(int event) override;
    // Sends the code of an FLTK key as the bar does when it has the focus;
    // false, sending nothing, for keys that do not scroll. Lets the owner
    // route keys here from wherever the focus is.
    bool key(int fl_key);

private:
    static void repeat_cb(void* self);
    void fire(pd_code code, int pos = 0);
    pd_code area_code(int ex, int ey) const;
    pd_code held_ = pd_other;  // code repeated while the button is held
};

// A dialog window whose scroll keys move its scroll bar wherever the focus
// is (on a button too), sent as the bar sends them, so that the dialog's own
// steps apply and neither FLTK's focus moves nor its scroll bar steps do.
class fl_keyscroll_window : public Fl_Double_Window {
public:
    using Fl_Double_Window::Fl_Double_Window;
    fl_codescroll* bar = nullptr;
    int handle(int event) override {
        if ((event == FL_KEYBOARD || event == FL_SHORTCUT) && bar && bar->key(Fl::event_key())) return 1;
        return Fl_Double_Window::handle(event);
    }
};
