#include "shell/fl_codescroll.h"

#include <FL/Fl.H>

#include <optional>

namespace {

// The scroll code an FLTK key sends to a bar of that orientation; empty for
// keys that do not scroll.
std::optional<pd_code> key_code(int fl_key, bool vertical) {
    switch (fl_key) {
    case FL_Up: return pardlg_key_code(pd_key_up, vertical);
    case FL_Down: return pardlg_key_code(pd_key_down, vertical);
    case FL_Left: return pardlg_key_code(pd_key_left, vertical);
    case FL_Right: return pardlg_key_code(pd_key_right, vertical);
    case FL_Page_Up: return pardlg_key_code(pd_key_pageup, vertical);
    case FL_Page_Down: return pardlg_key_code(pd_key_pagedown, vertical);
    case FL_Home: return pardlg_key_code(pd_key_home, vertical);
    case FL_End: return pardlg_key_code(pd_key_end, vertical);
    default: return std::nullopt;
    }
}

}  // namespace

fl_codescroll::fl_codescroll(int x, int y, int w, int h, const char* l) : Fl_Scrollbar(x, y, w, h, l) {
    when(FL_WHEN_CHANGED);
    // A label's '&' underlines its key letter, as on buttons, instead of showing.
    set_flag(SHORTCUT_LABEL);
    // The base class moves the thumb while it is dragged; the position is
    // passed on as a thumb-track code.
    callback([](Fl_Widget* w, void*) {
        auto* s = static_cast<fl_codescroll*>(w);
        s->fire(pd_thumb, static_cast<int>(s->value()));
    });
}

fl_codescroll::~fl_codescroll() { Fl::remove_timeout(repeat_cb, this); }

void fl_codescroll::fire(pd_code code, int pos) {
    if (on_scroll) on_scroll(code, pos);
}

// Which part of the bar lies under (ex, ey): an arrow, the trough before or
// after the thumb, or the thumb itself (pd_thumb).
pd_code fl_codescroll::area_code(int ex, int ey) const {
    const bool vert = !horizontal();
    int X = x() + Fl::box_dx(box()), Y = y() + Fl::box_dy(box());
    int W = w() - Fl::box_dw(box()), H = h() - Fl::box_dh(box());
    const int pos = vert ? ey - Y : ex - X;
    const int len = vert ? H : W;
    const int arrow = vert ? W : H;
    if (pos < arrow) return pd_lineup;
    if (pos >= len - arrow) return pd_linedown;
    // Thumb placement as the slider draws it.
    const double lo = minimum(), hi = maximum();
    double v = hi == lo ? 0.5 : (value() - lo) / (hi - lo);
    if (v < 0) v = 0;
    if (v > 1) v = 1;
    const int track = len - 2 * arrow;
    int S = static_cast<int>(slider_size() * track + 0.5);
    const int T = arrow / 2 + 1;
    if (S < T) S = T;
    const int t0 = arrow + static_cast<int>(v * (track - S) + 0.5);
    if (pos < t0) return pd_pageup;
    if (pos >= t0 + S) return pd_pagedown;
    return pd_thumb;
}

void fl_codescroll::repeat_cb(void* p) {
    auto* s = static_cast<fl_codescroll*>(p);
    if (s->held_ == pd_other) return;
    s->fire(s->held_);
    Fl::repeat_timeout(0.05, repeat_cb, p);
}

bool fl_codescroll::key(int fl_key) {
    const auto code = key_code(fl_key, !horizontal());
    if (code) fire(*code);
    return code.has_value();
}

int fl_codescroll::handle(int event) {
    switch (event) {
    case FL_PUSH: {
        if (Fl::visible_focus()) take_focus();
        const pd_code c = area_code(Fl::event_x(), Fl::event_y());
        if (c == pd_thumb) return Fl_Scrollbar::handle(event);
        held_ = c;
        fire(c);
        Fl::add_timeout(0.4, repeat_cb, this);
        return 1;
    }
    case FL_DRAG:
        return held_ == pd_other ? Fl_Scrollbar::handle(event) : 1;
    case FL_RELEASE:
        if (held_ != pd_other) {
            held_ = pd_other;
            Fl::remove_timeout(repeat_cb, this);
            return 1;
        }
        return Fl_Scrollbar::handle(event);
    case FL_MOUSEWHEEL: {
        const int d = horizontal() ? Fl::event_dx() : Fl::event_dy();
        if (d == 0) return 0;
        fire(d < 0 ? pd_lineup : pd_linedown);
        return 1;
    }
    case FL_KEYBOARD:
        return key(Fl::event_key());
    case FL_SHORTCUT:
        // The underlined letter of the label moves the focus here, as on a
        // dialog's labelled control. The base class would step by sizes of
        // its own on the scroll keys that reach it while another control has
        // the focus; the owner translates those.
        if (label() && active_r() && visible_r() && test_shortcut()) {
            take_focus();
            return 1;
        }
        return 0;
    case FL_FOCUS:
    case FL_UNFOCUS:
        redraw();
        return 1;
    default:
        return Fl_Scrollbar::handle(event);
    }
}
