#include "editor/fl_scrollbar.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

RovScrollbar::RovScrollbar(int x, int y, int w, int h, bool vertical, int slot)
    : Fl_Widget(x, y, w, h), vertical_(vertical), slot_(slot) {
    box(FL_DOWN_BOX);
    color(FL_BACKGROUND2_COLOR);
}

void RovScrollbar::range(int lo, int hi) {
    lo_ = lo;
    hi_ = hi > lo ? hi : lo;
    redraw();
}

void RovScrollbar::position(int pos) {
    if (pos == pos_) return;
    pos_ = pos;
    redraw();
}

// The arrows and the thumb are squares of the bar's breadth.
int RovScrollbar::thumb_at() const {
    const int b = breadth();
    const int track = length() - 3 * b;
    if (track <= 0 || hi_ == lo_) return b;
    int p = pos_ < lo_ ? lo_ : pos_ > hi_ ? hi_ : pos_;
    return b + static_cast<int>(static_cast<long>(p - lo_) * track / (hi_ - lo_));
}

RovScrollbar::part RovScrollbar::hit(int px, int py) const {
    const int a = along(px, py);
    const int b = breadth();
    if (a < 0 || a >= length()) return none;
    if (a < b) return arrow_lo;
    if (a >= length() - b) return arrow_hi;
    const int t = thumb_at();
    if (a < t) return trough_lo;
    if (a < t + b) return thumb;
    return trough_hi;
}

int RovScrollbar::pos_for(int offset) const {
    const int b = breadth();
    const int track = length() - 3 * b;
    if (track <= 0) return lo_;
    int o = offset - b;
    if (o < 0) o = 0;
    if (o > track) o = track;
    return lo_ + static_cast<int>((static_cast<long>(o) * (hi_ - lo_) + track / 2) / track);
}

void RovScrollbar::act(part p) {
    if (!report_) return;
    switch (p) {
    case arrow_lo: report_(this, rov_sc_lineup, 0, data_); break;
    case arrow_hi: report_(this, rov_sc_linedown, 0, data_); break;
    case trough_lo: report_(this, rov_sc_pageup, 0, data_); break;
    case trough_hi: report_(this, rov_sc_pagedown, 0, data_); break;
    default: break;
    }
}

// Holding an arrow or the trough repeats the step; a page step stops when
// the thumb has reached the mouse.
void RovScrollbar::repeat_cb(void* self) {
    auto* sb = static_cast<RovScrollbar*>(self);
    if (sb->held_ == none || sb->held_ == thumb) return;
    if (sb->held_ == trough_lo || sb->held_ == trough_hi) {
        if (sb->hit(Fl::event_x(), Fl::event_y()) != sb->held_) return;
    }
    sb->act(sb->held_);
    Fl::repeat_timeout(0.05, repeat_cb, self);
}

int RovScrollbar::handle(int event) {
    switch (event) {
    case FL_PUSH: {
        if (Fl::event_button() != FL_LEFT_MOUSE) return 0;
        if (Fl::visible_focus()) take_focus();
        held_ = hit(Fl::event_x(), Fl::event_y());
        if (held_ == thumb) {
            grab_ = along(Fl::event_x(), Fl::event_y()) - thumb_at();
            drag_pos_ = pos_;
        } else if (held_ != none) {
            act(held_);
            Fl::add_timeout(0.35, repeat_cb, this);
        }
        return 1;
    }
    case FL_DRAG:
        if (held_ == thumb) {
            const int p = pos_for(along(Fl::event_x(), Fl::event_y()) - grab_);
            if (p != drag_pos_) {
                drag_pos_ = p;
                if (report_) report_(this, rov_sc_thumbtrack, p, data_);
            }
        }
        return 1;
    case FL_RELEASE:
        Fl::remove_timeout(repeat_cb, this);
        // The thumb ends where the button went up: the window system may
        // have folded the last moves into the release.
        if (held_ == thumb) drag_pos_ = pos_for(along(Fl::event_x(), Fl::event_y()) - grab_);
        if (held_ == thumb && report_) report_(this, rov_sc_thumbpos, drag_pos_, data_);
        if (held_ != none && report_) report_(this, rov_sc_other, 0, data_);  // end of scroll
        held_ = none;
        return 1;
    case FL_FOCUS:
    case FL_UNFOCUS:
        redraw();
        return 1;
    case FL_ENTER:  // the bar is under the pointer: its tooltip can show
    case FL_LEAVE:
        return 1;
    case FL_KEYBOARD: {
        if (!report_) return 0;
        rov_scrollcode c;
        switch (Fl::event_key()) {
        case FL_Left:
        case FL_Up: c = rov_sc_lineup; break;
        case FL_Right:
        case FL_Down: c = rov_sc_linedown; break;
        case FL_Page_Up: c = rov_sc_pageup; break;
        case FL_Page_Down: c = rov_sc_pagedown; break;
        case FL_Home:
        case FL_End: c = rov_sc_other; break;
        default: return 0;
        }
        report_(this, c, 0, data_);
        return 1;
    }
    default:
        return Fl_Widget::handle(event);
    }
}

void RovScrollbar::draw() {
    const int b = breadth();
    draw_box(box(), x(), y(), w(), h(), color());
    auto square = [&](int off, Fl_Boxtype bt) {
        if (vertical_)
            draw_box(bt, x(), y() + off, b, b, FL_BACKGROUND_COLOR);
        else
            draw_box(bt, x() + off, y(), b, b, FL_BACKGROUND_COLOR);
    };
    square(0, held_ == arrow_lo ? FL_DOWN_BOX : FL_UP_BOX);
    square(length() - b, held_ == arrow_hi ? FL_DOWN_BOX : FL_UP_BOX);
    if (active_r()) square(thumb_at(), FL_UP_BOX);

    // Arrow glyphs.
    fl_color(active_r() ? FL_FOREGROUND_COLOR : fl_inactive(FL_FOREGROUND_COLOR));
    const int c = b / 2, s = b / 5 > 2 ? b / 5 : 2;
    if (vertical_) {
        const int cx = x() + c;
        fl_polygon(cx, y() + c - s, cx - s, y() + c + s / 2, cx + s, y() + c + s / 2);
        const int ey = y() + h() - b + c;
        fl_polygon(cx, ey + s, cx - s, ey - s / 2, cx + s, ey - s / 2);
    } else {
        const int cy = y() + c;
        fl_polygon(x() + c - s, cy, x() + c + s / 2, cy - s, x() + c + s / 2, cy + s);
        const int ex = x() + w() - b + c;
        fl_polygon(ex + s, cy, ex - s / 2, cy - s, ex - s / 2, cy + s);
    }
    if (Fl::focus() == this) draw_focus(FL_FLAT_BOX, x() + 1, y() + 1, w() - 2, h() - 2);
}
