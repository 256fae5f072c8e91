// A scroll bar that reports what the user did in the scroll codes of a
// dialog procedure (line up/down, page up/down, thumb position) instead of
// moving itself: the owner decides the new value and sets it.
#pragma once

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
