// A scroll bar that reports what the user did (line, page, thumb, other)
// rather than only a new value, so that the editor can apply its own page
// rules. It shows the position it is given and never moves on its own.
#pragma once

#include <FL/Fl_Widget.H>

#include "editor/editor.h"

class RovScrollbar : public Fl_Widget {
public:
    // `report` is called with the widget, the scroll code and, for the thumb
    // codes, the position under the mouse.
    using Report = void (*)(RovScrollbar* sb, rov_scrollcode code, int pos, void* data);

    RovScrollbar(int x, int y, int w, int h, bool vertical, int slot);

    void report(Report r, void* data) {
        report_ = r;
        data_ = data;
    }
    void range(int lo, int hi);
    void position(int pos);  // redraws when it changes
    int position() const { return pos_; }
    int slot() const { return slot_; }

    int handle(int event) override;
    void draw() override;

private:
    enum part { none, arrow_lo, trough_lo, thumb, trough_hi, arrow_hi };

    int along(int px, int py) const { return vertical_ ? py - y() : px - x(); }
    int length() const { return vertical_ ? h() : w(); }
    int breadth() const { return vertical_ ? w() : h(); }
    int thumb_at() const;  // offset of the thumb along the bar
    part hit(int px, int py) const;
    int pos_for(int offset) const;
    void act(part p);
    static void repeat_cb(void* self);

    bool vertical_;
    int slot_;
    int lo_ = 0, hi_ = 0, pos_ = 0;
    part held_ = none;
    int grab_ = 0;  // mouse offset within the thumb while dragging
    int drag_pos_ = 0;
    Report report_ = nullptr;
    void* data_ = nullptr;
};
